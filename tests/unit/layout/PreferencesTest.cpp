// The preference readers and writer: only preferences that are set are read or written.
#include <gtest/gtest.h>

#include "FakeLayoutHost.h"
#include "core/Preferences.h"

namespace {

TEST(Preferences, ReadOnlyWhatIsSet) {
    FakeLayoutHost host;
    host.preferences["includeStrokeInBounds"] = 1;
    host.preferences["policyForPreservingCorners"] = 2;
    bool stroke = false;
    int corners = 0;
    EXPECT_TRUE(ReadPluginPrefBool("", "includeStrokeInBounds", stroke));
    EXPECT_TRUE(stroke);
    EXPECT_TRUE(ReadPluginPrefInt("", "policyForPreservingCorners", corners));
    EXPECT_EQ(corners, 2);
    bool untouched = true;
    int alsoUntouched = 7;
    EXPECT_FALSE(ReadPluginPrefBool("", "missing", untouched));
    EXPECT_FALSE(ReadPluginPrefInt("PlimUtils", "policyForPreservingCorners", alsoUntouched));
    EXPECT_TRUE(untouched);
    EXPECT_EQ(alsoUntouched, 7);
}

TEST(Preferences, WriteOnlyWhatIsSet) {
    FakeLayoutHost host;
    host.preferences["policyForPreservingCorners"] = 2;
    EXPECT_TRUE(WritePluginPrefInt("", "policyForPreservingCorners", 1));
    EXPECT_EQ(host.preferences["policyForPreservingCorners"], 1);
    EXPECT_FALSE(WritePluginPrefInt("", "missing", 1));
    EXPECT_FALSE(host.preferences.contains("missing"));
}

TEST(Preferences, WithoutTheSuiteNothingIsReadOrWritten) {
    bool value = false;
    EXPECT_FALSE(ReadPluginPrefBool("", "includeStrokeInBounds", value));
    EXPECT_FALSE(WritePluginPrefInt("", "policyForPreservingCorners", 1));
}

}  // namespace

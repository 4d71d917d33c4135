// The preference readers and writer: only preferences that are set are read or written.
#include <gtest/gtest.h>

#include "StandIn.h"
#include "core/Preferences.h"

namespace {

TEST(Preferences, ReadOnlyWhatIsSet) {
    unittest::StandIn host;
    host::PreferenceStore& preferences = host.App().Preferences();
    preferences.Set("", "includeStrokeInBounds", true);
    preferences.Set("", "policyForPreservingCorners", ai::int32{2});
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
    unittest::StandIn host;
    host::PreferenceStore& preferences = host.App().Preferences();
    preferences.Set("", "policyForPreservingCorners", ai::int32{2});
    EXPECT_TRUE(WritePluginPrefInt("", "policyForPreservingCorners", 1));
    EXPECT_EQ(preferences.Get("", "policyForPreservingCorners"), host::PreferenceStore::Value(ai::int32{1}));
    EXPECT_FALSE(WritePluginPrefInt("", "missing", 1));
    EXPECT_FALSE(preferences.Get("", "missing"));
}

TEST(Preferences, WithoutTheSuiteNothingIsReadOrWritten) {
    bool value = false;
    EXPECT_FALSE(ReadPluginPrefBool("", "includeStrokeInBounds", value));
    EXPECT_FALSE(WritePluginPrefInt("", "policyForPreservingCorners", 1));
}

}  // namespace

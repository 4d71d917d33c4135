// The panel library bridge when the library is missing or has gone: every call answers without
// calling into it.
#include <gtest/gtest.h>

#include "IAIFilePath.hpp"
#include "core/SDKPlugPlug.h"

namespace {

void Listener(const csxs::event::Event*, void*) {}

AIErr FailingFindFolder(AIFolderType, AIBoolean, ai::FilePath&) {
    return FourCharCode("FLDR");
}

TEST(SDKPlugPlug, WithoutALibraryEveryCallAnswersAsMissing) {
    SDKPlugPlug library;
    const csxs::event::Event event{"type", 1, "HOST", nullptr, "{}"};
    EXPECT_FALSE(library.isPlugPlugLoaded());
    EXPECT_EQ(library.AddEventListener("type", &Listener, nullptr), 1);
    EXPECT_EQ(library.RemoveEventListener("type", &Listener, nullptr), 1);
    EXPECT_EQ(library.DispatchEvent(&event), 1);
    EXPECT_EQ(library.LoadExtension("id"), 0);
    EXPECT_EQ(library.UnloadExtension("id"), 0);
}

TEST(SDKPlugPlug, LoadPassesOnTheFoldersError) {
    AIFoldersSuite folders{&FailingFindFolder};
    SDKPlugPlug library;
    EXPECT_EQ(library.Load(&folders), FourCharCode("FLDR"));
    EXPECT_FALSE(library.isPlugPlugLoaded());
}

TEST(SDKPlugPlug, LoadWithoutFoldersSuiteCannotFindTheLibrary) {
    SDKPlugPlug library;
    EXPECT_EQ(library.Load(nullptr), kCantHappenErr);
}

TEST(SDKPlugPlug, UnloadTwiceIsHarmless) {
    SDKPlugPlug library;
    EXPECT_EQ(library.Unload(), 0);
    EXPECT_EQ(library.Unload(), 0);
    EXPECT_EQ(library.AddEventListener("type", &Listener, nullptr), 1);
}

}  // namespace

// The suites a plug-in acquires first, and the theme, undo and extension suites: bookkeeping,
// journal entries, and errors for null or stale handles.
#include <unistd.h>

#include <filesystem>

#include "AICSXSExtension.h"
#include "AIContext.h"
#include "AIFolders.h"
#include "AINotifier.h"
#include "AIUITheme.h"
#include "AIUndo.h"
#include "AIUser.h"
#include "HostFixture.h"
#include "IAIFilePath.hpp"
#include "SPAccess.h"
#include "SPPlugins.h"

namespace {

// A loaded (not started) probe gives the application a plug-in reference.
class Suites : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app->Load()) << app->LoadError();
        self = app->PluginRef();
        ASSERT_NE(self, nullptr);
    }

    template <typename Suite>
    const Suite* Get(const char* name, ASInt32 version) {
        const Suite* suite = hosttest::Acquire<Suite>(app->BasicSuite(), name, version);
        EXPECT_NE(suite, nullptr) << name;
        return suite;
    }

    std::unique_ptr<host::Application> app = std::make_unique<host::Application>(hosttest::ProbeOptions());
    SPPluginRef self = nullptr;
};

SPPluginRef BogusPlugin() {
    return reinterpret_cast<SPPluginRef>(0x5000);
}

// --- Application context ------------------------------------------------------------------------

using Context = Suites;

TEST_F(Context, NestedPushesPopInReverseOrder) {
    const auto* context = Get<AIAppContextSuite>(kAIAppContextSuite, kAIAppContextSuiteVersion);
    AIAppContextHandle outer = nullptr;
    AIAppContextHandle inner = nullptr;
    ASSERT_EQ(context->PushAppContext(self, &outer), kNoErr);
    ASSERT_EQ(context->PushAppContext(self, &inner), kNoErr);
    EXPECT_NE(outer, inner);
    EXPECT_EQ(app->ContextDepth(), 2);
    EXPECT_EQ(context->PopAppContext(inner), kNoErr);
    EXPECT_EQ(context->PopAppContext(outer), kNoErr);
    EXPECT_EQ(app->ContextDepth(), 0);
    EXPECT_EQ(app->ContextPushes(), 2);
    EXPECT_EQ(app->ContextPops(), 2);
    EXPECT_EQ(app->Journal().Count("PushAppContext"), 2u);
    EXPECT_EQ(app->Journal().Count("PopAppContext"), 2u);
}

TEST_F(Context, UnknownStaleAndOutOfOrderPopsAreRefused) {
    const auto* context = Get<AIAppContextSuite>(kAIAppContextSuite, kAIAppContextSuiteVersion);
    AIAppContextHandle outer = nullptr;
    AIAppContextHandle inner = nullptr;
    ASSERT_EQ(context->PushAppContext(self, &outer), kNoErr);
    ASSERT_EQ(context->PushAppContext(self, &inner), kNoErr);
    EXPECT_EQ(context->PopAppContext(outer), kBadParameterErr);
    EXPECT_EQ(context->PopAppContext(nullptr), kBadParameterErr);
    EXPECT_EQ(context->PopAppContext(reinterpret_cast<AIAppContextHandle>(0x1234)), kBadParameterErr);
    EXPECT_EQ(app->ContextDepth(), 2);
    EXPECT_EQ(context->PopAppContext(inner), kNoErr);
    EXPECT_EQ(context->PopAppContext(inner), kBadParameterErr);
    EXPECT_EQ(context->PopAppContext(outer), kNoErr);
    EXPECT_EQ(context->PopAppContext(outer), kBadParameterErr);
    EXPECT_EQ(app->ContextPops(), 2);
}

TEST_F(Context, PushNeedsAKnownPluginAndAPlaceForTheHandle) {
    const auto* context = Get<AIAppContextSuite>(kAIAppContextSuite, kAIAppContextSuiteVersion);
    AIAppContextHandle handle = reinterpret_cast<AIAppContextHandle>(0x77);
    EXPECT_EQ(context->PushAppContext(BogusPlugin(), &handle), kBadParameterErr);
    EXPECT_EQ(handle, nullptr);
    EXPECT_EQ(context->PushAppContext(nullptr, &handle), kBadParameterErr);
    EXPECT_EQ(context->PushAppContext(self, nullptr), kBadParameterErr);
    EXPECT_EQ(app->ContextPushes(), 0);
}

// --- Notifiers, access, plug-in names -----------------------------------------------------------

TEST_F(Suites, NotifierHandlesAreNewEachTimeAndStaleOnesAreRefused) {
    const auto* notifier = Get<AINotifierSuite>(kAINotifierSuite, kAINotifierSuiteVersion);
    AINotifierHandle first = nullptr;
    AINotifierHandle second = nullptr;
    ASSERT_EQ(notifier->AddNotifier(self, "one", kAIArtSelectionChangedNotifier, &first), kNoErr);
    ASSERT_EQ(notifier->AddNotifier(self, "one", kAIArtSelectionChangedNotifier, &second), kNoErr);
    EXPECT_NE(first, second);
    EXPECT_EQ(app->NotifierTypes(),
              (std::vector<std::string>{kAIArtSelectionChangedNotifier, kAIArtSelectionChangedNotifier}));
    EXPECT_TRUE(app->Journal().Contains("AddNotifier(one, AI Art Selection Changed Notifier)"));
    EXPECT_EQ(notifier->SetNotifierActive(first, false), kNoErr);
    EXPECT_EQ(notifier->SetNotifierActive(reinterpret_cast<AINotifierHandle>(0x10), true), kBadParameterErr);
    AINotifierHandle refused = first;
    EXPECT_EQ(notifier->AddNotifier(BogusPlugin(), "x", "y", &refused), kBadParameterErr);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(notifier->AddNotifier(self, nullptr, "y", &refused), kBadParameterErr);
    EXPECT_EQ(notifier->AddNotifier(self, "x", nullptr, &refused), kBadParameterErr);
    EXPECT_EQ(notifier->AddNotifier(self, "x", "y", nullptr), kBadParameterErr);
    EXPECT_EQ(app->NotifierTypes().size(), 2u);
}

TEST_F(Suites, AccessReferencesAreCountedAndReleasedOnce) {
    const auto* access = Get<SPAccessSuite>(kSPAccessSuite, kSPAccessSuiteVersion);
    SPAccessRef first = nullptr;
    SPAccessRef second = nullptr;
    ASSERT_EQ(access->AcquirePlugin(self, &first), kNoErr);
    ASSERT_EQ(access->AcquirePlugin(self, &second), kNoErr);
    EXPECT_EQ(app->AccessCount(), 2);
    EXPECT_EQ(access->ReleasePlugin(first), kNoErr);
    EXPECT_EQ(access->ReleasePlugin(first), kSPBadParameterError);
    EXPECT_EQ(access->ReleasePlugin(nullptr), kSPBadParameterError);
    EXPECT_EQ(app->AccessCount(), 1);
    SPAccessRef refused = second;
    EXPECT_EQ(access->AcquirePlugin(BogusPlugin(), &refused), kSPBadParameterError);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(access->AcquirePlugin(self, nullptr), kSPBadParameterError);
    EXPECT_EQ(app->Journal().Count("AcquirePlugin"), 4u);
    EXPECT_EQ(app->Journal().Count("ReleasePlugin"), 3u);
}

TEST_F(Suites, PluginsAreNamedThroughThePluginsSuite) {
    const auto* plugins = Get<SPPluginsSuite>(kSPPluginsSuite, kSPPluginsSuiteVersion);
    ASSERT_EQ(plugins->SetPluginName(self, "com_example"), kNoErr);
    EXPECT_EQ(app->PluginName(), "com_example");
    const char* name = nullptr;
    ASSERT_EQ(plugins->GetPluginName(self, &name), kNoErr);
    EXPECT_STREQ(name, "com_example");
    EXPECT_EQ(plugins->SetPluginName(self, nullptr), kSPBadParameterError);
    EXPECT_EQ(plugins->SetPluginName(BogusPlugin(), "x"), kSPBadParameterError);
    EXPECT_EQ(plugins->GetPluginName(BogusPlugin(), &name), kSPBadParameterError);
    EXPECT_EQ(plugins->GetPluginName(self, nullptr), kSPBadParameterError);
    EXPECT_TRUE(app->Journal().Contains("SetPluginName(com_example)"));
}

// --- User, undo, extensions ---------------------------------------------------------------------

TEST_F(Suites, ErrorAlertsAreRecorded) {
    const auto* user = Get<AIUserSuite>(kAIUserSuite, kAIUserSuiteVersion);
    user->ErrorAlert(FourCharCode("OOPS"));
    user->ErrorAlert(7);
    EXPECT_EQ(app->ErrorAlerts(), (std::vector<AIErr>{FourCharCode("OOPS"), 7}));
    EXPECT_TRUE(app->Journal().Contains("ErrorAlert('OOPS')"));
    EXPECT_TRUE(app->Journal().Contains("ErrorAlert(7)"));
}

TEST_F(Suites, UndoKindsAreRecordedInOrder) {
    const auto* undo = Get<AIUndoSuite>(kAIUndoSuite, kAIUndoSuiteVersion);
    EXPECT_FALSE(app->LastUndoKind().has_value());
    EXPECT_EQ(undo->SetKind(kAIAppendUndoContext), kNoErr);
    EXPECT_EQ(undo->SetKind(kAIStandardUndoContext), kNoErr);
    EXPECT_EQ(undo->SetKind(3), kBadParameterErr);
    EXPECT_EQ(undo->SetKind(-1), kBadParameterErr);
    EXPECT_EQ(app->LastUndoKind(), 0);
    EXPECT_EQ(app->UndoKinds(), (std::vector<ai::int32>{2, 0}));
    EXPECT_TRUE(app->Journal().Contains("SetKind(2)"));
}

TEST_F(Suites, ExtensionStatesAreWhatTheApplicationSet) {
    const auto* extensions = Get<AICSXSExtensionSuite>(kAICSXSExtensionSuite, kAICSXSExtensionSuiteVersion);
    ai::int32 state = -1;
    ASSERT_EQ(extensions->GetExtensionState("com.torvi.panel", &state), kNoErr);
    EXPECT_EQ(state, 0);
    app->SetExtensionState("com.torvi.panel", 3);
    ASSERT_EQ(extensions->GetExtensionState("com.torvi.panel", &state), kNoErr);
    EXPECT_EQ(state, 3);
    EXPECT_EQ(extensions->GetExtensionState(nullptr, &state), kBadParameterErr);
    EXPECT_EQ(extensions->GetExtensionState("x", nullptr), kBadParameterErr);
}

// --- Theme ---------------------------------------------------------------------------------------

class Theme : public Suites, public testing::WithParamInterface<int> {};

TEST_P(Theme, AFailingColourLeavesTheCallersColourAndTheOthersWork) {
    const auto* theme = Get<AIUIThemeSuite>(kAIUIThemeSuite, kAIUIThemeSuiteVersion);
    const int failing = GetParam();
    ASSERT_TRUE(app->FailThemeColor(failing, FourCharCode("THEM")));
    for (int number = 0; number < host::kThemeColorCount; ++number) {
        AIUIThemeColor color{1, 0, 0, 0};
        const AIErr error = theme->GetUIComponentColor(number, 1, color);
        if (number == failing) {
            EXPECT_EQ(error, FourCharCode("THEM"));
            EXPECT_EQ(color.red, 0.0);
            continue;
        }
        EXPECT_EQ(error, kNoErr);
        EXPECT_EQ(color.red, app->ThemeColor(number)->red);
    }
}

INSTANTIATE_TEST_SUITE_P(Colours, Theme, testing::Values(0, 1, 2, 3, 4));

TEST_F(Suites, ThemeColoursCanBeSetAndOnlyFiveExist) {
    const auto* theme = Get<AIUIThemeSuite>(kAIUIThemeSuite, kAIUIThemeSuiteVersion);
    ASSERT_TRUE(app->SetThemeColor(host::kThemeInputBackground, {0.5, 0.25, 0.75, 1.0}));
    AIUIThemeColor color{};
    ASSERT_EQ(theme->GetUIComponentColor(host::kThemeInputBackground, 1, color), kNoErr);
    EXPECT_EQ(color.alpha, 0.5);
    EXPECT_EQ(color.red, 0.25);
    EXPECT_EQ(color.green, 0.75);
    EXPECT_EQ(color.blue, 1.0);
    EXPECT_EQ(theme->GetUIComponentColor(5, 1, color), kBadParameterErr);
    EXPECT_EQ(theme->GetUIComponentColor(-1, 1, color), kBadParameterErr);
    EXPECT_FALSE(app->SetThemeColor(5, color));
    EXPECT_FALSE(app->FailThemeColor(-1, 1));
    EXPECT_FALSE(app->ThemeColor(5).has_value());
    EXPECT_TRUE(app->Journal().Contains("GetUIComponentColor(4)"));
}

// --- Folders -------------------------------------------------------------------------------------

TEST_F(Suites, TheApplicationFolderHoldsThePanelLibrary) {
    const auto* folders = Get<AIFoldersSuite>(kAIFoldersSuite, kAIFoldersSuiteVersion);
    ai::FilePath path;
    ASSERT_EQ(folders->FindFolder(kAIApplicationFolderType, false, path), kNoErr);
    EXPECT_EQ(path.GetFullPathUTF8(), std::string(HOST_BIN_DIR));
    path.AddComponent(ai::UnicodeString("/Frameworks/PlugPlugOwl.framework"));
    EXPECT_TRUE(path.Exists(false));
    EXPECT_TRUE(app->Journal().Contains("FindFolder(52)"));
}

TEST_F(Suites, UnknownFolderTypesAreRefusedAndLeaveThePath) {
    const auto* folders = Get<AIFoldersSuite>(kAIFoldersSuite, kAIFoldersSuiteVersion);
    ai::FilePath path(std::string("/untouched"));
    EXPECT_EQ(folders->FindFolder(9999, false, path), kBadParameterErr);
    EXPECT_EQ(path.GetFullPathUTF8(), "/untouched");
}

TEST(Folders, ConfiguredTypesAreAnsweredAndCreatedOnRequest) {
    const std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("host_folders_" + std::to_string(getpid())) / "deep";
    host::ApplicationOptions options = hosttest::ProbeOptions();
    options.folders[7] = scratch;
    host::Application app(options);
    const auto* folders =
        hosttest::Acquire<AIFoldersSuite>(app.BasicSuite(), kAIFoldersSuite, kAIFoldersSuiteVersion);
    ai::FilePath path;
    ASSERT_EQ(folders->FindFolder(7, false, path), kNoErr);
    EXPECT_EQ(path.GetFullPathUTF8(), scratch.string());
    EXPECT_FALSE(path.Exists(false));
    ASSERT_EQ(folders->FindFolder(7, true, path), kNoErr);
    EXPECT_TRUE(path.Exists(false));
    std::filesystem::remove_all(scratch.parent_path());
}

TEST(Folders, AFilePathWithoutALiveReferenceGetsANewOne) {
    host::Application app(hosttest::ProbeOptions());
    const auto* folders =
        hosttest::Acquire<AIFoldersSuite>(app.BasicSuite(), kAIFoldersSuite, kAIFoldersSuiteVersion);
    ai::FilePath path;
    ai::FilePath moved = std::move(path);  // path now holds no reference
    ASSERT_EQ(folders->FindFolder(kAIApplicationFolderType, false, path), kNoErr);
    EXPECT_EQ(path.GetFullPathUTF8(), std::string(HOST_BIN_DIR));
}

}  // namespace

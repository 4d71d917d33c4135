// Plug-in loading and messages, seen from the probe plug-in: message records, globals kept between
// messages, script messages in and out, notifier delivery and its timing, start-up and shut-down.
#include <algorithm>
#include <stdexcept>

#include "AINotifier.h"
#include "AIUndo.h"
#include "AIUnicodeString.h"
#include "HostFixture.h"

namespace {

using hosttest::Has;
using hosttest::ProbeTest;

// The position of the first journal entry with that text; -1 when there is none.
long Position(const host::CallJournal& journal, const std::string& text) {
    const std::vector<std::string> texts = journal.Texts();
    const auto found = std::find(texts.begin(), texts.end(), text);
    return found == texts.end() ? -1 : found - texts.begin();
}

// --- Start-up and shut-down ---------------------------------------------------------------------

TEST_F(ProbeTest, StartupRegistersWhatThePluginAsksFor) {
    EXPECT_TRUE(app->IsStarted());
    EXPECT_EQ(app->PluginName(), "probe");
    EXPECT_EQ(app->NotifierTypes(),
              (std::vector<std::string>{kAIApplicationStartedNotifier, kAIArtSelectionChangedNotifier,
                                        kAIUIBrightnessChangedNotifier, kAIArtSelectionChangedNotifier}));
    EXPECT_EQ(app->AccessCount(), 1);
    EXPECT_EQ(app->Suites().TotalAcquired(), 7);
    EXPECT_TRUE(app->Journal().Contains("PluginMain(SP Interface, Startup)"));
    EXPECT_EQ(ProbeLog().front(), "SP Interface/Startup");
}

TEST_F(ProbeTest, ShutdownEndsDeliveryAndTheNotifiersGoStale) {
    ASSERT_EQ(app->Shutdown(), kNoErr);
    EXPECT_FALSE(app->IsStarted());
    EXPECT_EQ(app->Suites().TotalAcquired(), 0);
    EXPECT_EQ(app->AccessCount(), 0);
    EXPECT_TRUE(app->NotifierTypes().empty());
    app->Journal().Clear();
    EXPECT_EQ(app->NotifySelectionChanged(), kNoErr);
    EXPECT_EQ(app->Journal().Count("PluginMain"), 0u);
    EXPECT_EQ(app->Shutdown(), kCantHappenErr);
}

TEST_F(ProbeTest, ARestartedPluginStartsFromNewGlobals) {
    Script("echo", "before");
    ASSERT_EQ(app->Shutdown(), kNoErr);
    // Without globals the plug-in has nothing to record with.
    EXPECT_EQ(app->ScriptMessage("log", "").output, "");
    ASSERT_EQ(app->Startup(), kNoErr);
    EXPECT_EQ(ProbeLog(), (std::vector<std::string>{"SP Interface/Startup"}));
    EXPECT_EQ(app->NotifierTypes().size(), 4u);
}

TEST_F(ProbeTest, StartingTwiceIsRefusedWithoutAMessage) {
    app->Journal().Clear();
    EXPECT_EQ(app->Startup(), kCantHappenErr);
    EXPECT_EQ(app->Journal().Count("PluginMain"), 0u);
}

TEST(ProbeStartup, AFailedStartLeavesNothingBehind) {
    host::Application app(hosttest::ProbeOptions());
    app.Faults().FailSuite("AI Folders Suite");
    EXPECT_EQ(app.Startup(), kSPSuiteNotFoundError);
    EXPECT_FALSE(app.IsStarted());
    EXPECT_EQ(app.Suites().TotalAcquired(), 0);
    EXPECT_TRUE(app.NotifierTypes().empty());
    app.Faults().Clear();
    EXPECT_EQ(app.Startup(), kNoErr);
}

// --- Message records and globals ----------------------------------------------------------------

TEST_F(ProbeTest, EveryMessageCarriesAValidRecordAndTheKeptGlobals) {
    EXPECT_EQ(app->SendMessage("Some Caller", "Some Selector"), kNoErr);
    EXPECT_EQ(app->Reload(), kNoErr);
    EXPECT_EQ(app->Unload(), kNoErr);
    app->NotifySelectionChanged();
    const std::vector<std::string> log = ProbeLog();
    EXPECT_TRUE(Has(log, "Some Caller/Some Selector"));
    EXPECT_TRUE(Has(log, "SP Access/Reload"));
    EXPECT_TRUE(Has(log, "SP Access/Unload"));
    EXPECT_FALSE(Has(log, "bad record"));
    EXPECT_FALSE(Has(log, "nested"));
}

TEST_F(ProbeTest, NullCallersAndSelectorsAreNotSent) {
    app->Journal().Clear();
    EXPECT_EQ(app->SendMessage(nullptr, "x"), kSPBadParameterError);
    EXPECT_EQ(app->SendMessage("x", nullptr), kSPBadParameterError);
    EXPECT_EQ(app->Journal().Count("PluginMain"), 0u);
}

TEST_F(ProbeTest, PluginMainResultsComeBackToTheHost) {
    EXPECT_EQ(app->ScriptMessage("fail", "42").error, 42);
    const auto returns = app->Journal().Find("PluginReturn");
    EXPECT_EQ(returns.back().result, 42);
}

TEST_F(ProbeTest, AnExceptionOutOfPluginMainIsCaughtAndReported) {
    const host::ScriptResult result = app->ScriptMessage("throw", "");
    EXPECT_EQ(result.error, kCantHappenErr);
    const auto caught = app->Journal().Find("PluginException");
    ASSERT_EQ(caught.size(), 1u);
    EXPECT_EQ(caught[0].arguments.back(), "the probe throws");
    EXPECT_EQ(Script("echo", "still alive"), "still alive");
}

// The selector is a C string: a name holding a NUL ("fail<NUL>x" would run "fail") is not sent.
TEST_F(ProbeTest, AScriptMessageNameHoldingANulIsNotSent) {
    const std::size_t calls = app->Journal().Count("PluginMain");
    const host::ScriptResult result = app->ScriptMessage(std::string("fail") + '\0' + "x", "42");
    EXPECT_EQ(result.error, kSPBadParameterError);
    EXPECT_EQ(result.output, "");
    EXPECT_EQ(app->Journal().Count("PluginMain"), calls);
}

// --- Script messages ----------------------------------------------------------------------------

struct ScriptCase {
    const char* command;
    std::string input;
    std::string output;
};

class ScriptMessages : public ProbeTest, public testing::WithParamInterface<ScriptCase> {};

TEST_P(ScriptMessages, CarryTheRequestInAndTheReplyOut) {
    EXPECT_EQ(Script(GetParam().command, GetParam().input), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptMessages,
    testing::Values(ScriptCase{"echo", R"({"a":[1,2]})", R"({"a":[1,2]})"}, ScriptCase{"echo", "", ""},
                    ScriptCase{"echo", "caf\xC3\xA9 \xF0\x9F\x98\x80", "caf\xC3\xA9 \xF0\x9F\x98\x80"},
                    ScriptCase{"echo", "bad \xFF byte", "bad \xEF\xBF\xBD byte"},
                    ScriptCase{"lower", "\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9"},
                    ScriptCase{"length", "\xF0\x9F\x98\x80", "2"},
                    ScriptCase{"nothing", "", "unknown nothing"}));

TEST_F(ProbeTest, ScriptMessagesLeaveNoStringsBehind) {
    const size_t before = app->LiveStrings();
    Script("echo", "some text");
    Script("lower", "MORE");
    EXPECT_EQ(app->LiveStrings(), before);
}

TEST_F(ProbeTest, InjectedStringFaultsSpareTheHostsOwnRecords) {
    app->Faults().FailOperation(kAIUnicodeStringSuite, "Create", FourCharCode("BOOM"));
    // The record is built regardless; the plug-in's own attempt to make the reply fails.
    EXPECT_EQ(app->ScriptMessage("echo", "text").output, "");
    EXPECT_EQ(app->Faults().Calls(kAIUnicodeStringSuite, "Create"), 1);
}

// --- Notifications ------------------------------------------------------------------------------

TEST_F(ProbeTest, NotificationsReachEachNotifierOfTheTypeInOrder) {
    EXPECT_EQ(app->NotifySelectionChanged(), kNoErr);
    EXPECT_EQ(app->NotifyApplicationStarted(), kNoErr);
    EXPECT_EQ(app->Notify("Nobody Listens"), kNoErr);
    std::vector<std::string> log = ProbeLog();
    log.erase(log.begin());
    EXPECT_EQ(log, (std::vector<std::string>{
                       "notify probe selection 1 AI Art Selection Changed Notifier",
                       "notify probe selection 2 AI Art Selection Changed Notifier",
                       "notify probe started AI Application Started Notifier",
                   }));
    EXPECT_TRUE(app->Journal().Contains("Notify(AI Art Selection Changed Notifier, probe selection 2)"));
}

TEST_F(ProbeTest, InactiveNotifiersHearNothing) {
    const auto* notifiers =
        hosttest::Acquire<AINotifierSuite>(app->BasicSuite(), kAINotifierSuite, kAINotifierSuiteVersion);
    AINotifierHandle extra = nullptr;
    ASSERT_EQ(notifiers->AddNotifier(app->PluginRef(), "extra", "Extra Notifier", &extra), kNoErr);
    app->Notify("Extra Notifier");
    ASSERT_EQ(notifiers->SetNotifierActive(extra, false), kNoErr);
    app->Notify("Extra Notifier");
    const std::vector<std::string> log = ProbeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "notify  Extra Notifier"), 1);
}

TEST_F(ProbeTest, ANotificationRaisedDuringACallArrivesAfterItReturns) {
    ASSERT_EQ(Script("panel"), "0");
    ASErr raisedResult = -1;
    app->Panel().OnDispatch([&](const host::PanelEvent&) { raisedResult = app->NotifySelectionChanged(); });
    app->Journal().Clear();
    EXPECT_EQ(Script("dispatch", "com.torvi.event.result"), "0");
    EXPECT_EQ(raisedResult, kNoErr);  // it had to wait

    const std::vector<std::string> log = ProbeLog();
    EXPECT_FALSE(Has(log, "nested"));
    const long scriptReturned = Position(app->Journal(), "PluginReturn(AI Script Message Caller, dispatch)");
    const long notified = Position(app->Journal(), "PluginMain(AI Notifier, AI Notify)");
    ASSERT_GE(scriptReturned, 0);
    ASSERT_GE(notified, 0);
    EXPECT_LT(scriptReturned, notified);
    EXPECT_EQ(app->Journal().Count("Notify"), 2u);
}

// --- Host services reached from a plug-in module ------------------------------------------------

TEST_F(ProbeTest, ContextsPushedByThePluginArePoppedByHandle) {
    EXPECT_EQ(Script("push"), "0");
    EXPECT_EQ(Script("push"), "0");
    EXPECT_EQ(app->ContextDepth(), 2);
    EXPECT_EQ(Script("popBogus"), std::to_string(kBadParameterErr));
    EXPECT_EQ(Script("pop"), "0");
    EXPECT_EQ(Script("pop"), "0");
    EXPECT_EQ(Script("pop"), std::to_string(kBadParameterErr));
    EXPECT_EQ(app->ContextDepth(), 0);
    EXPECT_EQ(app->ContextPushes(), 2);
    EXPECT_EQ(app->ContextPops(), 2);
}

TEST_F(ProbeTest, SuitesAcquiredByThePluginAreCounted) {
    EXPECT_EQ(Script("acquire", "AI Undo Suite|1012"), "0");
    EXPECT_EQ(app->Suites().AcquireCount(kAIUndoSuite, kAIUndoSuiteVersion), 1);
    EXPECT_EQ(Script("acquire", "AI Undo Suite|1011"), std::to_string(kSPSuiteNotFoundError));
    EXPECT_EQ(Script("release", "AI Undo Suite|1012"), "0");
    EXPECT_EQ(Script("release", "AI Undo Suite|1012"), std::to_string(kSPBadParameterError));
    EXPECT_EQ(app->Suites().AcquireCount(kAIUndoSuite, kAIUndoSuiteVersion), 0);
}

TEST_F(ProbeTest, ThePluginFindsTheApplicationFolderAndThePanelLibrary) {
    EXPECT_EQ(Script("folder", "52"), std::string(HOST_BIN_DIR));
    EXPECT_EQ(Script("folder", "12345"), "error " + std::to_string(kBadParameterErr));
    EXPECT_EQ(Script("exists", std::string(HOST_BIN_DIR) + "/Frameworks/PlugPlugOwl.framework/PlugPlugOwl"),
              "1");
    EXPECT_EQ(Script("panel"), "0");
}

}  // namespace

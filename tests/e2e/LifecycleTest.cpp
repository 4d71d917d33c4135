// Start-up, shut-down, reload and unload of the plug-in, the suites it holds, and its error reports.
#include <time.h>

#include <atomic>
#include <ctime>

#include "AIUndo.h"
#include "PluginFixture.h"
#include "SPAccess.h"

// The clock every module of this process reads: the system's, or while a test sets it, the time
// it set (so that a busy machine doesn't move it between two steps).
namespace {
std::atomic<time_t> gSetClock{0};
}

extern "C" time_t time(time_t* out) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const time_t set = gSetClock.load();
    const time_t value = set != 0 ? set : now.tv_sec;
    if (out != nullptr) {
        *out = value;
    }
    return value;
}

namespace {

constexpr int kBasicSuites = 7;
constexpr int kImportedRows = 160;
constexpr const char* kStringFormatSuite = "AI String Format Utils Suite";

TEST(Lifecycle, StartupRegistersNotifiersInOrder) {
    host::Application app(PluginOptions());
    ASSERT_EQ(app.Startup(), kNoErr);
    EXPECT_EQ(app.PluginName(), "com_torvi_ai");
    EXPECT_EQ(app.NotifierTypes(), (std::vector<std::string>{
                                       "AI Application Started Notifier",
                                       "AI Application Shutdown Notifier",
                                       "AI UI Brightness Changed Notifier",
                                       "AI CSXS PlugPlug Setup Complete",
                                       "AI Application Shutdown Notifier",
                                       "GetSymbolListNotifier",
                                       "AI Art Selection Changed Notifier",
                                   }));
    EXPECT_TRUE(app.Journal().Contains(
        "AddNotifier(com_torvi_ai App Started Notifier, AI Application Started Notifier)"));
    EXPECT_TRUE(app.Journal().Contains(
        "AddNotifier(com_torvi_ai Application Shutdown Notifier, AI Application Shutdown Notifier)"));
    EXPECT_TRUE(
        app.Journal().Contains("AddNotifier(Register Event Notify, AI CSXS PlugPlug Setup Complete)"));
    EXPECT_EQ(app.AccessCount(), 1);
}

TEST(Lifecycle, SuitesAreHeldWhileStartedAndAllReleasedAtShutdown) {
    host::Application app(PluginOptions());
    ASSERT_EQ(app.Startup(), kNoErr);
    // Every row is one acquisition; the string format suite stands in two rows.
    EXPECT_EQ(app.Suites().TotalAcquired(), kBasicSuites + kImportedRows);
    EXPECT_EQ(app.Suites().AcquireCount(kStringFormatSuite, 1003), 2);
    EXPECT_EQ(app.Suites().AcquireCount("AI Art Suite", 1021), 1);
    EXPECT_EQ(app.Suites().AcquireCount("ATE TextRange Suite", 2), 1);
    EXPECT_EQ(app.Suites().AcquireCount("AI CSXS Extension Suite", 1004), 0);

    ASSERT_EQ(app.NotifyApplicationStarted(), kNoErr);
    EXPECT_EQ(app.Suites().AcquireCount("AI CSXS Extension Suite", 1004), 1);

    ASSERT_EQ(app.Shutdown(), kNoErr);
    EXPECT_EQ(app.Suites().TotalAcquired(), 0);
    EXPECT_FALSE(app.IsStarted());
    // The panel's listeners are gone with the plug-in.
    EXPECT_EQ(app.Panel().ListenerCount(), 0u);
}

TEST(Lifecycle, ShutdownUnlocksThePlugin) {
    host::Application app(PluginOptions());
    ASSERT_EQ(app.Startup(), kNoErr);
    ASSERT_EQ(app.Shutdown(), kNoErr);
    EXPECT_EQ(app.AccessCount(), 0);
}

struct StartupFault {
    const char* name;
    std::function<void(host::FaultInjector&)> inject;

    friend void PrintTo(const StartupFault& fault, std::ostream* out) { *out << fault.name; }
};

class FailingStartup : public testing::TestWithParam<StartupFault> {};

// A start-up that fails at any step leaves nothing behind: no suites, no lock, no notifiers that
// could call the plug-in, and a later start-up works.
TEST_P(FailingStartup, UndoesWhatItDid) {
    host::Application app(PluginOptions());
    GetParam().inject(app.Faults());
    EXPECT_NE(app.Startup(), kNoErr);
    EXPECT_FALSE(app.IsStarted());
    EXPECT_EQ(app.Suites().TotalAcquired(), 0);
    EXPECT_EQ(app.AccessCount(), 0);
    EXPECT_EQ(app.ScriptMessage("version", "{}").output, "");

    app.Faults().Clear();
    ASSERT_EQ(app.Startup(), kNoErr);
    EXPECT_EQ(app.Suites().TotalAcquired(), kBasicSuites + kImportedRows);
    EXPECT_EQ(app.AccessCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FailingStartup,
    testing::Values(
        StartupFault{"FirstBasicSuite",
                     [](auto& f) { f.FailSuite("SP Access Suite", FourCharCode("BOOM")); }},
        StartupFault{"ImportedSuite", [](auto& f) { f.FailSuite("AI Art Suite", FourCharCode("BOOM")); }},
        StartupFault{"LastImportedSuite",
                     [](auto& f) { f.FailSuite("ATE ArrayComposerEngine Suite", FourCharCode("BOOM")); }},
        StartupFault{
            "PluginName",
            [](auto& f) { f.FailOperation("SP Plug-ins Suite", "SetPluginName", FourCharCode("BOOM")); }},
        StartupFault{
            "BaseNotifier",
            [](auto& f) { f.FailOperation("AI Notifier Suite", "AddNotifier", FourCharCode("BOOM"), 2); }},
        StartupFault{
            "PluginNotifier",
            [](auto& f) { f.FailOperation("AI Notifier Suite", "AddNotifier", FourCharCode("BOOM"), 5); }},
        StartupFault{
            "LastNotifier",
            [](auto& f) { f.FailOperation("AI Notifier Suite", "AddNotifier", FourCharCode("BOOM"), 7); }}),
    [](const testing::TestParamInfo<StartupFault>& info) { return info.param.name; });

TEST(Lifecycle, PostStartupSuiteFailureIsReportedButKeepsThePlugin) {
    host::Application app(PluginOptions());
    ASSERT_EQ(app.Startup(), kNoErr);
    app.Faults().FailSuite("AI CSXS Extension Suite", FourCharCode("BOOM"));
    EXPECT_EQ(app.NotifyApplicationStarted(), FourCharCode("BOOM"));
    EXPECT_TRUE(app.IsStarted());
    app.Faults().Clear();
    ASSERT_EQ(app.Shutdown(), kNoErr);
    EXPECT_EQ(app.Suites().TotalAcquired(), 0);
}

// Shut-down releases the post-start-up suite (call 1), the basic suites (calls 2 to 8), then the
// imported rows (calls 9 to 168). Whichever release fails, every other suite is released and the
// failure is the answer.
class FailingRelease : public testing::TestWithParam<int> {};

TEST_P(FailingRelease, LeavesOnlyThatSuiteHeldAndIsReported) {
    host::Application app(PluginOptions());
    ASSERT_EQ(app.Startup(), kNoErr);
    ASSERT_EQ(app.NotifyApplicationStarted(), kNoErr);
    app.Faults().FailOperation("SP Basic Suite", "ReleaseSuite", FourCharCode("BOOM"), GetParam());
    EXPECT_EQ(app.Shutdown(), FourCharCode("BOOM"));
    EXPECT_FALSE(app.IsStarted());
    EXPECT_EQ(app.Suites().TotalAcquired(), 1);
}

INSTANTIATE_TEST_SUITE_P(Calls, FailingRelease, testing::Values(1, 2, 9, 1 + kBasicSuites + kImportedRows));

TEST(Lifecycle, UnloadReleasesTheSuitesAndReloadTakesThemAgain) {
    host::Application app(PluginOptions());
    ASSERT_EQ(app.Startup(), kNoErr);
    ASSERT_EQ(app.Unload(), kNoErr);
    EXPECT_EQ(app.Suites().TotalAcquired(), 0);
    // Without suites the plug-in answers nothing and does nothing.
    const host::ScriptResult unloaded = app.ScriptMessage("version", "{}");
    EXPECT_EQ(unloaded.error, kNoErr);
    EXPECT_EQ(unloaded.output, "");

    ASSERT_EQ(app.Reload(), kNoErr);
    EXPECT_EQ(app.Suites().TotalAcquired(), kBasicSuites + kImportedRows);
    EXPECT_EQ(json::parse(app.ScriptMessage("version", "{}").output)["version"], "1.0.5095");

    ASSERT_EQ(app.Shutdown(), kNoErr);
    EXPECT_EQ(app.Suites().TotalAcquired(), 0);
}

TEST(Lifecycle, ReloadWhileStartedKeepsOneAcquisition) {
    host::Application app(PluginOptions());
    ASSERT_EQ(app.Startup(), kNoErr);
    ASSERT_EQ(app.Reload(), kNoErr);
    ASSERT_EQ(app.Reload(), kNoErr);
    EXPECT_EQ(app.Suites().TotalAcquired(), kBasicSuites + kImportedRows);
    ASSERT_EQ(app.Shutdown(), kNoErr);
    EXPECT_EQ(app.Suites().TotalAcquired(), 0);
}

TEST(Lifecycle, ReloadThatCannotAcquireReportsTheError) {
    host::Application app(PluginOptions());
    ASSERT_EQ(app.Startup(), kNoErr);
    ASSERT_EQ(app.Unload(), kNoErr);
    app.Faults().FailSuite("AI Art Suite", FourCharCode("BOOM"));
    EXPECT_EQ(app.Reload(), FourCharCode("BOOM"));
    EXPECT_EQ(app.Suites().TotalAcquired(), 0);
    app.Faults().Clear();
    ASSERT_EQ(app.Reload(), kNoErr);
}

TEST(Lifecycle, UnhandledMessagesWarnAndSucceed) {
    host::Application app(PluginOptions());
    ASSERT_EQ(app.Startup(), kNoErr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(app.SendMessage("AI Menu", "AI Go"), kNoErr);
    EXPECT_EQ(app.SendMessage("Some Caller", "Some Selector"), kNoErr);
    EXPECT_EQ(app.SendMessage("SP Interface", "About"), kNoErr);
    const std::string warnings = testing::internal::GetCapturedStderr();
    EXPECT_NE(warnings.find("Warning: Unhandled plugin message: caller \"AI Menu\" selector \"AI Go\""),
              std::string::npos);
    EXPECT_NE(warnings.find("caller \"Some Caller\" selector \"Some Selector\""), std::string::npos);
    EXPECT_EQ(warnings.find("About"), std::string::npos);
}

TEST(Lifecycle, CachePurgeIsAnsweredWithoutFlushing) {
    host::Application app(PluginOptions());
    ASSERT_EQ(app.Startup(), kNoErr);
    EXPECT_EQ(app.SendMessage("SP Cache", "Plug-in Purge"), kNoErr);
}

// The same error reported again within five seconds is not reported; after that, or after another
// error, it is.
TEST(Lifecycle, RepeatedErrorsAreReportedOncePerWindow) {
    host::Application app(PluginOptions());
    ASSERT_EQ(app.Startup(), kNoErr);
    const ASErr boom = FourCharCode("BOOM");
    const ASErr bang = FourCharCode("BANG");
    auto reportsOf = [&](ASErr error) {
        app.Faults().FailSuite("AI CSXS Extension Suite", error);
        testing::internal::CaptureStderr();
        EXPECT_EQ(app.NotifyApplicationStarted(), error);
        const std::string output = testing::internal::GetCapturedStderr();
        return output.find("PlimUtils: error") != std::string::npos;
    };
    const time_t start = std::time(nullptr);
    gSetClock = start;
    EXPECT_TRUE(reportsOf(boom));
    EXPECT_FALSE(reportsOf(boom));
    gSetClock = start + 4;
    EXPECT_FALSE(reportsOf(boom));
    gSetClock = start + 6;
    EXPECT_TRUE(reportsOf(boom));
    EXPECT_TRUE(reportsOf(bang));
    EXPECT_TRUE(reportsOf(boom));
    // Filtered codes are never reported.
    gSetClock = start + 20;
    EXPECT_FALSE(reportsOf(FourCharCode("STOP")));
    gSetClock = 0;
}

TEST(Lifecycle, MessagesWithoutAPluginObjectAreAnsweredWithZero) {
    host::Application app(PluginOptions());
    ASSERT_TRUE(app.Load());
    EXPECT_EQ(app.SendMessage("AI Menu", "AI Go"), kNoErr);
    EXPECT_EQ(app.SendMessage("SP Interface", "Shutdown"), kNoErr);
    EXPECT_EQ(app.ScriptMessage("version", "{}").output, "");
}

}  // namespace

// Application: the simulated application. It offers the suites, loads one plug-in module, sends it
// messages and notifications, and plays its panel.
//
//     host::Application app({.pluginPath = "bin/PlimUtils.so"});
//     ASSERT_EQ(app.Startup(), kNoErr);              // loads the module, "SP Interface"/"Startup"
//     app.NotifyApplicationStarted();                // "AI Application Started Notifier"
//     app.NotifyPanelLibraryReady();                 // "AI CSXS PlugPlug Setup Complete"
//
//     host::ScriptResult reply = app.ScriptMessage("version", "{}");
//     EXPECT_EQ(reply.error, kNoErr);                // reply.output holds the plug-in's reply text
//
//     app.Panel().Send("com.torvi.event.version", "{}");    // the panel asks
//     std::vector<host::PanelEvent> events = app.Panel().TakeDispatched();
//
//     app.Faults().FailOperation(kSPAccessSuite, "AcquirePlugin", kCantHappenErr);
//     EXPECT_EQ(app.Suites().AcquireCount(kAIUndoSuite, kAIUndoSuiteVersion), 1);
//     EXPECT_TRUE(app.Journal().Contains("SetKind(0)"));
//     // The destructor shuts the plug-in down if it is still started.
//
// One application exists at a time (the suites are plain C functions and find it through
// CurrentApplication()); everything runs on one thread. Notifications and panel events raised while
// the host is inside a call into the plug-in are delivered after the outermost call returns.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "AIFolders.h"
#include "AIUITheme.h"
#include "SPMessageData.h"
#include "host/CallJournal.h"
#include "host/Document.h"
#include "host/FaultInjector.h"
#include "host/PanelBus.h"
#include "host/SuiteRegistry.h"

namespace host {

struct HostState;

struct ApplicationOptions {
    // The application folder (folder type 52), which holds Frameworks/PlugPlugOwl.framework.
    // Empty: the folder of the running executable.
    std::filesystem::path applicationFolder;
    // The plug-in module. Empty: PlimUtils.so in the application folder.
    std::filesystem::path pluginPath;
    // Further folder types that the folders suite answers, besides type 52.
    std::map<AIFolderType, std::filesystem::path> folders;
};

struct ScriptResult {
    ASErr error = kNoErr;  // PluginMain's result
    std::string output;    // the output string, as UTF-8
};

// The colours of the user-interface theme, by number.
enum ThemeColorNumber : AIUIComponentColor {
    kThemeBackground = 0,
    kThemeText = 1,
    kThemeFocus = 2,
    kThemeInputText = 3,
    kThemeInputBackground = 4,
};
inline constexpr int kThemeColorCount = 5;

// The notifier types the application raises.
inline constexpr const char* kSymbolListNotifier = "GetSymbolListNotifier";

class Application {
public:
    explicit Application(ApplicationOptions options = {});
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The application the suites serve; null when there is none.
    static Application* Current();

    const std::filesystem::path& ApplicationFolder() const;
    const std::filesystem::path& PluginPath() const;

    // --- The plug-in ---------------------------------------------------------------------------
    // Opens the module (dlopen of its canonical path, RTLD_NOW | RTLD_LOCAL) and finds PluginMain.
    // False when it can't; LoadError() tells why. Loading twice does nothing.
    bool Load();
    const std::string& LoadError() const;
    bool IsLoaded() const;
    // Between a successful start-up and shut-down.
    bool IsStarted() const;

    // "SP Interface"/"Startup", loading the module first when needed (kCantHappenErr when it can't
    // be loaded, or when the plug-in is started already).
    ASErr Startup();
    // "SP Interface"/"Shutdown"; the plug-in's notifiers are dropped. kCantHappenErr when not started.
    ASErr Shutdown();
    // "SP Access"/"Reload" and "SP Access"/"Unload". The module stays in memory either way.
    ASErr Reload();
    ASErr Unload();
    // Any caller/selector pair, with a plain message record (kSPBadParameterError for a null text).
    ASErr SendMessage(const char* caller, const char* selector);
    // A script message: caller "AI Script Message Caller", selector name, the request as the input
    // string. kCantHappenErr in error when the module isn't loaded.
    ScriptResult ScriptMessage(std::string_view name, std::string_view request);

    // The plug-in's host reference (null before the module is loaded).
    SPPluginRef PluginRef() const;
    // The name the plug-in gave itself through the plug-ins suite.
    std::string PluginName() const;
    // Access references the plug-in holds (SP Access Suite).
    int AccessCount() const;

    // --- Application events --------------------------------------------------------------------
    // Sends "AI Notifier"/"AI Notify" for each active notifier of the type, in the order they were
    // added. Answers the first non-zero result; 0 when the notification had to wait for the
    // outermost call into the plug-in to return.
    ASErr Notify(std::string_view type, void* notifyData = nullptr);
    ASErr NotifyApplicationStarted();  // "AI Application Started Notifier"
    ASErr NotifyPanelLibraryReady();   // "AI CSXS PlugPlug Setup Complete"
    ASErr NotifyBrightnessChanged();   // "AI UI Brightness Changed Notifier"
    ASErr NotifySelectionChanged();    // "AI Art Selection Changed Notifier"
    ASErr NotifySymbolList();          // "GetSymbolListNotifier"
    // The types of the plug-in's notifiers, one per notifier, in the order they were added.
    std::vector<std::string> NotifierTypes() const;

    // --- Host state that plug-ins change -------------------------------------------------------
    int ContextDepth() const;
    int ContextPushes() const;
    int ContextPops() const;
    // The last kind given to the undo suite's SetKind, and every kind in order.
    std::optional<ai::int32> LastUndoKind() const;
    const std::vector<ai::int32>& UndoKinds() const;
    // Errors reported through the user suite's ErrorAlert.
    const std::vector<AIErr>& ErrorAlerts() const;
    // Unicode strings and file paths the plug-in (or the host) holds and hasn't disposed.
    std::size_t LiveStrings() const;
    std::size_t LivePaths() const;

    // --- Host settings -------------------------------------------------------------------------
    // Colour number 0 to 4; false for another number.
    bool SetThemeColor(AIUIComponentColor number, const AIUIThemeColor& color);
    std::optional<AIUIThemeColor> ThemeColor(AIUIComponentColor number) const;
    // The colour query for that number fails with error (0 makes it succeed again).
    bool FailThemeColor(AIUIComponentColor number, ASErr error);
    // What the extension suite answers for an extension (0 unless set).
    void SetExtensionState(std::string extensionId, ai::int32 state);

    // --- The document --------------------------------------------------------------------------
    // Null when no document is open. The application starts with a new, empty document.
    Document* CurrentDocument();
    void NewDocument();
    void SetDocument(std::unique_ptr<Document> document);
    void CloseDocument();

    // --- Test access ---------------------------------------------------------------------------
    // The basic suite every message carries: tests acquire suites through it as a plug-in does
    // (and their acquisitions count like a plug-in's).
    const SPBasicSuite& BasicSuite() const;
    SuiteRegistry& Suites();
    FaultInjector& Faults();
    CallJournal& Journal();
    PanelBus& Panel();

private:
    friend class PanelBus;
    friend HostState* CurrentState();

    // Runs work as a call into the plug-in: at once when no call is running (then delivers what
    // waited for it and answers true); otherwise queues it for when the outermost call returns.
    bool RunAsPluginCall(std::function<void()> work);
    ASErr CallPluginMain(const char* caller, const char* selector, SPMessageData* message);
    ASErr DeliverNotification(const std::string& type, void* notifyData);
    void DrainPending();
    void DropPluginNotifiers();

    std::unique_ptr<HostState> fState;
};

}  // namespace host

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
#include "host/Preferences.h"
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
    // The root of the cloud storage (AICloudDocument.h); empty: the application has none, and
    // every cloud operation fails.
    std::filesystem::path cloudFolder;
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

// The brightness of the user interface, which the user picks; each has its own theme colours.
enum class UIBrightness { dark, mediumDark, mediumLight, light };

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
    // Memory blocks handed out (matching-art answers) and not yet freed, and dictionary references
    // with counts outstanding.
    std::size_t LiveMemoryBlocks() const;
    std::size_t LiveDictionaryRefs() const;

    // --- Host settings -------------------------------------------------------------------------
    // Colour number 0 to 4; false for another number.
    bool SetThemeColor(AIUIComponentColor number, const AIUIThemeColor& color);
    std::optional<AIUIThemeColor> ThemeColor(AIUIComponentColor number) const;
    // The colour query for that number fails with error (0 makes it succeed again).
    bool FailThemeColor(AIUIComponentColor number, ASErr error);
    // What the extension suite answers for an extension (0 unless set).
    void SetExtensionState(std::string extensionId, ai::int32 state);
    // The user picks another brightness: the five theme colours become that brightness's and
    // "AI UI Brightness Changed Notifier" is raised (after the outermost call into the plug-in
    // when one is running). Answers what Notify answers.
    ASErr SetBrightness(UIBrightness brightness);

    // --- The document --------------------------------------------------------------------------
    // Null when no document is open. The application starts with a new document (one layer,
    // "Layer 1", and nothing on it); the suites work on the current document.
    Document* CurrentDocument();
    void NewDocument();
    void SetDocument(std::unique_ptr<Document> document);
    // Loads a swatch library file (document-format.md, Swatch libraries) after those loaded
    // before; the libraries suite counts the current document's own list as library 0, so this is
    // library 1, 2, ... False, with the reason in *error, when the file can't be read.
    bool LoadSwatchLibrary(const std::filesystem::path& file, std::string* error = nullptr);
    void CloseDocument();

    // --- Leaks -----------------------------------------------------------------------------------
    // What the plug-in holds of the style suites right now: live parsers, paint fields and live
    // effects made by parsers and never inserted, and stand-alone dictionaries (made by the plug-in,
    // or copies handed out) not yet released. All zero between commands of a plug-in that leaks
    // nothing.
    struct HeldStyleObjects {
        int parsers = 0;
        int newPaintFields = 0;
        int newEffects = 0;
        int dictionaries = 0;
        bool operator==(const HeldStyleObjects&) const = default;
    };
    HeldStyleObjects HeldStyleObjectCounts() const;

    // --- Several documents ---------------------------------------------------------------------
    // Other documents can be open behind the current one. The document list (AIDocumentList.h)
    // counts the current document first, then the others from the most recently current. Closing
    // the current document brings the most recently current of the others forward.
    //
    // Opens the document as the current one; the one current until now stays open behind it, with
    // its handle and undo history. The path is the file it came from (empty: a new document).
    void OpenDocument(std::unique_ptr<Document> document, std::string path = {});
    // Open documents, the current one included.
    int DocumentCount() const;
    // Makes the document at position n of the list current (0: the current one, which changes
    // nothing). False, changing nothing, out of range or while the host is inside a call into the
    // plug-in.
    bool ActivateDocument(int n);
    // The current document's file; empty for a new document or without one.
    std::string DocumentPath() const;
    void SetDocumentPath(std::string path);
    // The position in the list (0: the current one) of the first open document whose file is the
    // file at the path: by identity when both exist (the same file by a link or another spelling),
    // else by the path as the system resolves it. -1 when none is.
    int DocumentOfFile(const std::filesystem::path& file) const;
    // Whether the current document has changes that were not saved (AIDocument.h).
    bool DocumentModified();
    // The current document's colour model: 0 grey, 1 RGB, 2 CMYK.
    int DocumentColorModel();

    // --- Preferences ---------------------------------------------------------------------------
    // What the preference suite reads and writes (host/Preferences.h).
    PreferenceStore& Preferences();

    // --- Undo ----------------------------------------------------------------------------------
    // Each outermost call into the plug-in is one transaction of the current document's changes
    // (sdk/include/AIUndo.h). These are the user's Undo and Redo, one transaction each:
    // kCantHappenErr when there is nothing to undo or redo (nothing changes), kNoDocumentErr
    // without a document. A selection they change raises "AI Art Selection Changed Notifier".
    ASErr Undo();
    ASErr Redo();
    // Transactions that undo can take back and redo can repeat (0 without a document).
    int PastTransactions() const;
    int FutureTransactions() const;
    // The tag of transaction n: -PastTransactions() to -1 (-1 the newest), 1 to
    // FutureTransactions() (1 the next to redo); none for 0 and numbers out of range.
    std::optional<std::string> TransactionTag(int n) const;

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

// The simulated application: plug-in loading, message records, notifications and their timing.
#include "host/Application.h"

#include <exception>
#include <memory>
#include <stdexcept>

#include "AINotifier.h"
#include "AIScriptMessage.h"
#include "Documents.h"
#include "HostState.h"
#include "Transactions.h"
#include "host/Picture.h"
#include "render/Renderer.h"
#include "suites/HostSuites.h"

namespace host {
namespace {

Application* gCurrent = nullptr;

// Work that waits for the outermost call is bounded, so that a plug-in answering every
// notification with another one can't hang the host.
constexpr int kMaxPendingRuns = 10000;

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return std::filesystem::current_path();
    }
    return executable.parent_path();
}

ApplicationOptions Resolve(ApplicationOptions options) {
    if (options.applicationFolder.empty()) {
        options.applicationFolder = ExecutableFolder();
    }
    if (options.pluginPath.empty()) {
        options.pluginPath = options.applicationFolder / "PlimUtils.so";
    }
    return options;
}

std::filesystem::path PanelLibraryPath(const std::filesystem::path& applicationFolder) {
    return applicationFolder / "Frameworks" / "PlugPlugOwl.framework" / "PlugPlugOwl";
}

const char* OrEmpty(const char* text) {
    return text != nullptr ? text : "";
}

// One call into the plug-in, as seen from the host: while any is running, notifications and panel
// events wait; when the outermost one ends, they are delivered.
class ScopedCall {
public:
    ScopedCall(HostState& state, std::function<void()> drain) : fState(state), fDrain(std::move(drain)) {
        if (++fState.plugin.callDepth == 1) {
            BeginCallTransaction(fState);
        }
    }
    ~ScopedCall() {
        if (fState.plugin.callDepth == 1) {
            EndCallTransaction(fState);
        }
        if (--fState.plugin.callDepth == 0) {
            fDrain();
        }
    }
    ScopedCall(const ScopedCall&) = delete;
    ScopedCall& operator=(const ScopedCall&) = delete;

private:
    HostState& fState;
    std::function<void()> fDrain;
};

}  // namespace

Application::Application(ApplicationOptions options) {
    if (gCurrent != nullptr) {
        throw std::logic_error("host::Application: only one application can exist at a time");
    }
    fState = std::make_unique<HostState>(*this, Resolve(std::move(options)));
    gCurrent = this;
    RegisterHostSuites(fState->suites);
    fState->documents.current = NewHostDocument(fState->documents.newDocuments++);
    DocumentBecameCurrent(*fState);
    std::string reason;
    if (!fState->panel.Bind(PanelLibraryPath(fState->options.applicationFolder), &reason)) {
        fState->journal.Record("PanelLibraryMissing", {reason});
    }
}

Application::~Application() {
    if (IsStarted()) {
        Shutdown();
    }
    fState->plugin.pending.clear();
    // The library's listeners point into the plug-in module: drop them before the module goes.
    fState->panel.Unbind();
    // The module's own clean-up may still dispose strings, so the suites stay served until it is gone.
    fState->plugin.module.Close();
    gCurrent = nullptr;
}

Application* Application::Current() {
    return gCurrent;
}

const std::filesystem::path& Application::ApplicationFolder() const {
    return fState->options.applicationFolder;
}
const std::filesystem::path& Application::PluginPath() const {
    return fState->options.pluginPath;
}

// --- The plug-in ------------------------------------------------------------------------------

bool Application::Load() {
    HostState& state = *fState;
    if (state.plugin.module.IsOpen()) {
        return true;
    }
    if (!state.plugin.module.Open(state.options.pluginPath, &state.plugin.loadError)) {
        state.journal.Record("LoadPlugin", {state.options.pluginPath.string()}, kCantHappenErr);
        return false;
    }
    state.plugin.loadError.clear();
    if (state.plugin.self == nullptr) {
        state.plugin.self = state.plugin.records.Add<SPPluginRef>(std::make_unique<PluginRecord>());
    }
    state.journal.Record("LoadPlugin", {state.plugin.module.Path().string()});
    return true;
}

const std::string& Application::LoadError() const {
    return fState->plugin.loadError;
}
bool Application::IsLoaded() const {
    return fState->plugin.module.IsOpen();
}

bool Application::IsStarted() const {
    const PluginRecord* record = fState->plugin.records.Find(fState->plugin.self);
    return record != nullptr && record->started;
}

ASErr Application::CallPluginMain(const char* caller, const char* selector, SPMessageData* message) {
    HostState& state = *fState;
    PluginRecord* record = state.plugin.records.Find(state.plugin.self);
    if (!state.plugin.module.IsOpen() || record == nullptr) {
        return kCantHappenErr;
    }
    message->SPCheck = kSPValidSPMessageData;
    message->self = state.plugin.self;
    message->globals = record->globals;
    message->basic = &gBasicSuite;
    state.journal.Record("PluginMain", {OrEmpty(caller), OrEmpty(selector)});

    ScopedCall call(state, [this] { DrainPending(); });
    // The pictures the call draws (an export's artboards, a rasterize) share one bound.
    const PictureJob pictures;
    ASErr result = kCantHappenErr;
    try {
        result = state.plugin.module.Main()(caller, selector, message);
    } catch (const std::exception& exception) {
        state.journal.Record("PluginException", {OrEmpty(caller), OrEmpty(selector), exception.what()});
    } catch (...) {
        state.journal.Record("PluginException", {OrEmpty(caller), OrEmpty(selector), "unknown exception"});
    }
    record->globals = message->globals;
    state.journal.Record("PluginReturn", {OrEmpty(caller), OrEmpty(selector)}, result);
    return result;
}

ASErr Application::Startup() {
    if (!Load() || IsStarted()) {
        return kCantHappenErr;
    }
    HostState& state = *fState;
    ScopedCall call(state, [this] { DrainPending(); });
    // Started from the moment start-up begins, so that what it raises reaches it once it is done.
    PluginRecord* record = state.plugin.records.Find(state.plugin.self);
    record->started = true;
    SPMessageData message{};
    const ASErr result = CallPluginMain(kSPInterfaceCaller, kSPInterfaceStartupSelector, &message);
    if (result != kNoErr) {
        record->started = false;
        DropPluginNotifiers();
    }
    return result;
}

ASErr Application::Shutdown() {
    if (!IsStarted()) {
        return kCantHappenErr;
    }
    HostState& state = *fState;
    ScopedCall call(state, [this] { DrainPending(); });
    SPMessageData message{};
    const ASErr result = CallPluginMain(kSPInterfaceCaller, kSPInterfaceShutdownSelector, &message);
    state.plugin.records.Find(state.plugin.self)->started = false;
    DropPluginNotifiers();
    return result;
}

ASErr Application::Reload() {
    return SendMessage(kSPAccessCaller, kSPAccessReloadSelector);
}
ASErr Application::Unload() {
    return SendMessage(kSPAccessCaller, kSPAccessUnloadSelector);
}

ASErr Application::SendMessage(const char* caller, const char* selector) {
    if (caller == nullptr || selector == nullptr) {
        return kSPBadParameterError;
    }
    if (!Load()) {
        return kCantHappenErr;
    }
    SPMessageData message{};
    return CallPluginMain(caller, selector, &message);
}

ScriptResult Application::ScriptMessage(std::string_view name, std::string_view request) {
    ScriptResult result;
    // The selector is a C string: a name holding a NUL would reach the plug-in as the command
    // named by the text before it.
    if (name.find('\0') != std::string_view::npos) {
        result.error = kSPBadParameterError;
        return result;
    }
    if (!Load()) {
        result.error = kCantHappenErr;
        return result;
    }
    HostState& state = *fState;
    ScopedCall call(state, [this] { DrainPending(); });
    std::unique_ptr<AIScriptMessage> message;
    {
        // Building and reading the record is the host's own work: no injected faults.
        FaultInjector::Suspension suspension(state.faults);
        message = std::make_unique<AIScriptMessage>();
        message->inParam = ai::UnicodeString::FromUTF8(std::string(request));
    }
    const std::string selector(name);
    result.error = CallPluginMain(kCallerAIScriptMessage, selector.c_str(), &message->d);
    FaultInjector::Suspension suspension(state.faults);
    result.output = message->outParam.as_UTF8();
    message.reset();
    return result;
}

SPPluginRef Application::PluginRef() const {
    return fState->plugin.self;
}

std::string Application::PluginName() const {
    const PluginRecord* record = fState->plugin.records.Find(fState->plugin.self);
    return record != nullptr ? record->name : std::string();
}

int Application::AccessCount() const {
    int count = 0;
    fState->plugin.accesses.ForEach([&](std::uintptr_t, const AccessRecord& access) {
        count += access.plugin == fState->plugin.self ? 1 : 0;
    });
    return count;
}

// --- Notifications ----------------------------------------------------------------------------

bool Application::RunAsPluginCall(std::function<void()> work) {
    HostState& state = *fState;
    if (state.plugin.callDepth > 0 || state.plugin.draining) {
        state.plugin.pending.push_back(std::move(work));
        return false;
    }
    ScopedCall call(state, [this] { DrainPending(); });
    // The pictures the call draws (an export's artboards, a rasterize) share one bound.
    const PictureJob pictures;
    work();
    return true;
}

void Application::DrainPending() {
    HostState& state = *fState;
    if (state.plugin.draining) {
        return;
    }
    state.plugin.draining = true;
    int runs = 0;
    while (!state.plugin.pending.empty()) {
        if (++runs > kMaxPendingRuns) {
            state.journal.Record("PendingDropped", {std::to_string(state.plugin.pending.size())});
            state.plugin.pending.clear();
            break;
        }
        std::function<void()> work = std::move(state.plugin.pending.front());
        state.plugin.pending.pop_front();
        ++state.plugin.callDepth;
        BeginCallTransaction(state);
        work();
        EndCallTransaction(state);
        --state.plugin.callDepth;
    }
    state.plugin.draining = false;
}

ASErr Application::DeliverNotification(const std::string& type, void* notifyData) {
    HostState& state = *fState;
    if (!IsStarted()) {
        return kNoErr;
    }
    std::vector<std::uintptr_t> handles;
    state.plugin.notifiers.ForEach([&](std::uintptr_t number, const NotifierRecord& notifier) {
        if (notifier.owner == state.plugin.self && notifier.type == type) {
            handles.push_back(number);
        }
    });
    ASErr first = kNoErr;
    for (const std::uintptr_t number : handles) {
        auto* handle = reinterpret_cast<AINotifierHandle>(number);
        const NotifierRecord* notifier = state.plugin.notifiers.Find(handle);
        // A notifier switched off or dropped by an earlier delivery is skipped.
        if (notifier == nullptr || !notifier->active || !IsStarted()) {
            continue;
        }
        state.journal.Record("Notify", {type, notifier->name});
        AINotifierMessage message{};
        message.notifier = handle;
        message.type = type.c_str();
        message.notifyData = notifyData;
        const ASErr result = CallPluginMain(kCallerAINotify, kSelectorAINotify, &message.d);
        if (first == kNoErr) {
            first = result;
        }
    }
    return first;
}

ASErr Application::Notify(std::string_view type, void* notifyData) {
    auto result = std::make_shared<ASErr>(kNoErr);
    RunAsPluginCall([this, type = std::string(type), notifyData, result] {
        *result = DeliverNotification(type, notifyData);
    });
    return *result;
}

ASErr Application::NotifyApplicationStarted() {
    return Notify(kAIApplicationStartedNotifier);
}
ASErr Application::NotifyPanelLibraryReady() {
    return Notify(kAICSXSPlugPlugSetupCompleteNotifier);
}
ASErr Application::NotifyBrightnessChanged() {
    return Notify(kAIUIBrightnessChangedNotifier);
}
ASErr Application::NotifySelectionChanged() {
    return Notify(kAIArtSelectionChangedNotifier);
}
ASErr Application::NotifySymbolList() {
    return Notify(kSymbolListNotifier);
}

std::vector<std::string> Application::NotifierTypes() const {
    std::vector<std::string> types;
    fState->plugin.notifiers.ForEach([&](std::uintptr_t, const NotifierRecord& notifier) {
        if (notifier.owner == fState->plugin.self) {
            types.push_back(notifier.type);
        }
    });
    return types;
}

// A plug-in that is shut down (or failed to start) hears nothing more; the handles it was given
// become stale.
void Application::DropPluginNotifiers() {
    HostState& state = *fState;
    std::vector<std::uintptr_t> dropped;
    state.plugin.notifiers.ForEach([&](std::uintptr_t number, const NotifierRecord& notifier) {
        if (notifier.owner == state.plugin.self) {
            dropped.push_back(number);
        }
    });
    for (const std::uintptr_t number : dropped) {
        state.plugin.notifiers.Remove(reinterpret_cast<const void*>(number));
    }
}

// --- Host state -------------------------------------------------------------------------------

int Application::ContextDepth() const {
    return static_cast<int>(fState->ui.contexts.size());
}
int Application::ContextPushes() const {
    return fState->ui.contextPushes;
}
int Application::ContextPops() const {
    return fState->ui.contextPops;
}

std::optional<ai::int32> Application::LastUndoKind() const {
    if (fState->documents.undoKinds.empty()) {
        return std::nullopt;
    }
    return fState->documents.undoKinds.back();
}

const std::vector<ai::int32>& Application::UndoKinds() const {
    return fState->documents.undoKinds;
}
const std::vector<AIErr>& Application::ErrorAlerts() const {
    return fState->ui.errorAlerts;
}
std::size_t Application::LiveStrings() const {
    return fState->text.strings.Size();
}
std::size_t Application::LivePaths() const {
    return fState->text.paths.Size();
}
std::size_t Application::LiveMemoryBlocks() const {
    return fState->art.memoryBlocks.size();
}
std::size_t Application::LiveDictionaryRefs() const {
    return fState->art.dictionaries.Size();
}

bool Application::SetThemeColor(AIUIComponentColor number, const AIUIThemeColor& color) {
    ThemeSlot* slot = fState->ui.ThemeSlotOf(number);
    if (slot == nullptr) {
        return false;
    }
    slot->color = color;
    return true;
}

std::optional<AIUIThemeColor> Application::ThemeColor(AIUIComponentColor number) const {
    const ThemeSlot* slot = fState->ui.ThemeSlotOf(number);
    if (slot == nullptr) {
        return std::nullopt;
    }
    return slot->color;
}

bool Application::FailThemeColor(AIUIComponentColor number, ASErr error) {
    ThemeSlot* slot = fState->ui.ThemeSlotOf(number);
    if (slot == nullptr) {
        return false;
    }
    slot->failure = error;
    return true;
}

void Application::SetExtensionState(std::string extensionId, ai::int32 state) {
    fState->ui.extensionStates[std::move(extensionId)] = state;
}

ASErr Application::SetBrightness(UIBrightness brightness) {
    if (!fState->ui.SetTheme(brightness)) {
        return kBadParameterErr;
    }
    return NotifyBrightnessChanged();
}

// --- The document -----------------------------------------------------------------------------

Document* Application::CurrentDocument() {
    return fState->documents.current.get();
}
void Application::NewDocument() {
    DocumentLeaving(*fState);
    fState->documents.current = NewHostDocument(fState->documents.newDocuments++);
    DocumentBecameCurrent(*fState);
}
void Application::SetDocument(std::unique_ptr<Document> document) {
    DocumentLeaving(*fState);
    ForgetDocument(*fState, fState->documents.handle);
    fState->documents.current = std::move(document);
    DocumentBecameCurrent(*fState);
}
void Application::CloseDocument() {
    CloseOpenDocument(*fState, fState->documents.handle);
}

// --- Undo -------------------------------------------------------------------------------------

ASErr Application::Undo() {
    return StepHistory(*fState, false);
}
ASErr Application::Redo() {
    return StepHistory(*fState, true);
}
int Application::PastTransactions() const {
    return fState->documents.current != nullptr ? fState->documents.undo.PastCount() : 0;
}
int Application::FutureTransactions() const {
    return fState->documents.current != nullptr ? fState->documents.undo.FutureCount() : 0;
}
std::optional<std::string> Application::TransactionTag(int n) const {
    if (fState->documents.current == nullptr) {
        return std::nullopt;
    }
    return fState->documents.undo.TagOf(n);
}

// --- Test access ------------------------------------------------------------------------------

const SPBasicSuite& Application::BasicSuite() const {
    return gBasicSuite;
}
SuiteRegistry& Application::Suites() {
    return fState->suites;
}
FaultInjector& Application::Faults() {
    return fState->faults;
}
CallJournal& Application::Journal() {
    return fState->journal;
}
PanelBus& Application::Panel() {
    return fState->panel;
}

bool WriteArtboardPicture(const model::Document& document, const std::filesystem::path& file,
                          std::string* error) {
    return WriteArtboardPng(document, file, CurrentDocumentFolder(), error);
}

}  // namespace host

// The simulated application: plug-in loading, message records, notifications and their timing.
#include "host/Application.h"

#include <exception>
#include <memory>
#include <stdexcept>

#include "AINotifier.h"
#include "AIScriptMessage.h"
#include "Documents.h"
#include "HostState.h"
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
        if (++fState.callDepth == 1) {
            BeginCallTransaction(fState);
        }
    }
    ~ScopedCall() {
        if (fState.callDepth == 1) {
            EndCallTransaction(fState);
        }
        if (--fState.callDepth == 0) {
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
    fState->document = std::make_unique<Document>();
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
    fState->pending.clear();
    // The library's listeners point into the plug-in module: drop them before the module goes.
    fState->panel.Unbind();
    // The module's own clean-up may still dispose strings, so the suites stay served until it is gone.
    fState->module.Close();
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
    if (state.module.IsOpen()) {
        return true;
    }
    if (!state.module.Open(state.options.pluginPath, &state.loadError)) {
        state.journal.Record("LoadPlugin", {state.options.pluginPath.string()}, kCantHappenErr);
        return false;
    }
    state.loadError.clear();
    if (state.plugin == nullptr) {
        state.plugin = state.plugins.Add<SPPluginRef>(std::make_unique<PluginRecord>());
    }
    state.journal.Record("LoadPlugin", {state.module.Path().string()});
    return true;
}

const std::string& Application::LoadError() const {
    return fState->loadError;
}
bool Application::IsLoaded() const {
    return fState->module.IsOpen();
}

bool Application::IsStarted() const {
    const PluginRecord* record = fState->plugins.Find(fState->plugin);
    return record != nullptr && record->started;
}

ASErr Application::CallPluginMain(const char* caller, const char* selector, SPMessageData* message) {
    HostState& state = *fState;
    PluginRecord* record = state.plugins.Find(state.plugin);
    if (!state.module.IsOpen() || record == nullptr) {
        return kCantHappenErr;
    }
    message->SPCheck = kSPValidSPMessageData;
    message->self = state.plugin;
    message->globals = record->globals;
    message->basic = &gBasicSuite;
    state.journal.Record("PluginMain", {OrEmpty(caller), OrEmpty(selector)});

    ScopedCall call(state, [this] { DrainPending(); });
    ASErr result = kCantHappenErr;
    try {
        result = state.module.Main()(caller, selector, message);
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
    PluginRecord* record = state.plugins.Find(state.plugin);
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
    state.plugins.Find(state.plugin)->started = false;
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
    return fState->plugin;
}

std::string Application::PluginName() const {
    const PluginRecord* record = fState->plugins.Find(fState->plugin);
    return record != nullptr ? record->name : std::string();
}

int Application::AccessCount() const {
    int count = 0;
    fState->accesses.ForEach([&](std::uintptr_t, const AccessRecord& access) {
        count += access.plugin == fState->plugin ? 1 : 0;
    });
    return count;
}

// --- Notifications ----------------------------------------------------------------------------

bool Application::RunAsPluginCall(std::function<void()> work) {
    HostState& state = *fState;
    if (state.callDepth > 0 || state.draining) {
        state.pending.push_back(std::move(work));
        return false;
    }
    ScopedCall call(state, [this] { DrainPending(); });
    work();
    return true;
}

void Application::DrainPending() {
    HostState& state = *fState;
    if (state.draining) {
        return;
    }
    state.draining = true;
    int runs = 0;
    while (!state.pending.empty()) {
        if (++runs > kMaxPendingRuns) {
            state.journal.Record("PendingDropped", {std::to_string(state.pending.size())});
            state.pending.clear();
            break;
        }
        std::function<void()> work = std::move(state.pending.front());
        state.pending.pop_front();
        ++state.callDepth;
        BeginCallTransaction(state);
        work();
        EndCallTransaction(state);
        --state.callDepth;
    }
    state.draining = false;
}

ASErr Application::DeliverNotification(const std::string& type, void* notifyData) {
    HostState& state = *fState;
    if (!IsStarted()) {
        return kNoErr;
    }
    std::vector<std::uintptr_t> handles;
    state.notifiers.ForEach([&](std::uintptr_t number, const NotifierRecord& notifier) {
        if (notifier.owner == state.plugin && notifier.type == type) {
            handles.push_back(number);
        }
    });
    ASErr first = kNoErr;
    for (const std::uintptr_t number : handles) {
        auto* handle = reinterpret_cast<AINotifierHandle>(number);
        const NotifierRecord* notifier = state.notifiers.Find(handle);
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
    fState->notifiers.ForEach([&](std::uintptr_t, const NotifierRecord& notifier) {
        if (notifier.owner == fState->plugin) {
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
    state.notifiers.ForEach([&](std::uintptr_t number, const NotifierRecord& notifier) {
        if (notifier.owner == state.plugin) {
            dropped.push_back(number);
        }
    });
    for (const std::uintptr_t number : dropped) {
        state.notifiers.Remove(reinterpret_cast<const void*>(number));
    }
}

// --- Host state -------------------------------------------------------------------------------

int Application::ContextDepth() const {
    return static_cast<int>(fState->contexts.size());
}
int Application::ContextPushes() const {
    return fState->contextPushes;
}
int Application::ContextPops() const {
    return fState->contextPops;
}

std::optional<ai::int32> Application::LastUndoKind() const {
    if (fState->undoKinds.empty()) {
        return std::nullopt;
    }
    return fState->undoKinds.back();
}

const std::vector<ai::int32>& Application::UndoKinds() const {
    return fState->undoKinds;
}
const std::vector<AIErr>& Application::ErrorAlerts() const {
    return fState->errorAlerts;
}
std::size_t Application::LiveStrings() const {
    return fState->strings.Size();
}
std::size_t Application::LivePaths() const {
    return fState->paths.Size();
}
std::size_t Application::LiveMemoryBlocks() const {
    return fState->memoryBlocks.size();
}
std::size_t Application::LiveDictionaryRefs() const {
    return fState->dictionaries.Size();
}

bool Application::SetThemeColor(AIUIComponentColor number, const AIUIThemeColor& color) {
    if (number < 0 || number >= kThemeColorCount) {
        return false;
    }
    fState->theme[static_cast<std::size_t>(number)].color = color;
    return true;
}

std::optional<AIUIThemeColor> Application::ThemeColor(AIUIComponentColor number) const {
    if (number < 0 || number >= kThemeColorCount) {
        return std::nullopt;
    }
    return fState->theme[static_cast<std::size_t>(number)].color;
}

bool Application::FailThemeColor(AIUIComponentColor number, ASErr error) {
    if (number < 0 || number >= kThemeColorCount) {
        return false;
    }
    fState->theme[static_cast<std::size_t>(number)].failure = error;
    return true;
}

void Application::SetExtensionState(std::string extensionId, ai::int32 state) {
    fState->extensionStates[std::move(extensionId)] = state;
}

ASErr Application::SetBrightness(UIBrightness brightness) {
    // Background, text, focus, input text, input background: alpha, red, green, blue.
    static const std::map<UIBrightness, std::array<AIUIThemeColor, kThemeColorCount>> kThemes{
        {UIBrightness::dark,
         {{{1.0, 0.196, 0.196, 0.196},
           {1.0, 0.839, 0.839, 0.839},
           {1.0, 0.275, 0.541, 0.898},
           {1.0, 0.937, 0.937, 0.937},
           {1.0, 0.118, 0.118, 0.118}}}},
        {UIBrightness::mediumDark,
         {{{1.0, 0.325, 0.325, 0.325},
           {1.0, 0.937, 0.937, 0.937},
           {1.0, 0.275, 0.541, 0.898},
           {1.0, 0.937, 0.937, 0.937},
           {1.0, 0.216, 0.216, 0.216}}}},
        {UIBrightness::mediumLight,
         {{{1.0, 0.722, 0.722, 0.722},
           {1.0, 0.110, 0.110, 0.110},
           {1.0, 0.118, 0.420, 0.820},
           {1.0, 0.000, 0.000, 0.000},
           {1.0, 0.929, 0.929, 0.929}}}},
        {UIBrightness::light,
         {{{1.0, 0.941, 0.941, 0.941},
           {1.0, 0.157, 0.157, 0.157},
           {1.0, 0.118, 0.420, 0.820},
           {1.0, 0.000, 0.000, 0.000},
           {1.0, 1.000, 1.000, 1.000}}}},
    };
    const auto theme = kThemes.find(brightness);
    if (theme == kThemes.end()) {
        return kBadParameterErr;
    }
    for (std::size_t i = 0; i < fState->theme.size(); ++i) {
        fState->theme[i].color = theme->second[i];
    }
    return NotifyBrightnessChanged();
}

// --- The document -----------------------------------------------------------------------------

Document* Application::CurrentDocument() {
    return fState->document.get();
}
void Application::NewDocument() {
    fState->document = std::make_unique<Document>();
    DocumentBecameCurrent(*fState);
}
void Application::SetDocument(std::unique_ptr<Document> document) {
    fState->document = std::move(document);
    DocumentBecameCurrent(*fState);
}
void Application::CloseDocument() {
    fState->document.reset();
    DocumentBecameCurrent(*fState);
    BringNextDocumentForward(*fState);
}

// --- Undo -------------------------------------------------------------------------------------

ASErr Application::Undo() {
    return StepHistory(*fState, false);
}
ASErr Application::Redo() {
    return StepHistory(*fState, true);
}
int Application::PastTransactions() const {
    return fState->document != nullptr ? fState->undo.PastCount() : 0;
}
int Application::FutureTransactions() const {
    return fState->document != nullptr ? fState->undo.FutureCount() : 0;
}
std::optional<std::string> Application::TransactionTag(int n) const {
    if (fState->document == nullptr) {
        return std::nullopt;
    }
    return fState->undo.TagOf(n);
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

}  // namespace host

// The plug-in object: construction, start-up, the suites acquired after start-up, shut-down.
#include "core/PlimUtilsPlugin.h"

#include <cstdio>
#include <new>

#include "AIUndo.h"
#include "core/PlimPanelController.h"
#include "core/Registration.h"

PlimUtilsPlugin::PlimUtilsPlugin(SPPluginRef pluginRef) : Plugin(pluginRef) {
    std::snprintf(fPluginName, sizeof fPluginName, "%s", "com_torvi_ai");
}

PlimUtilsPlugin::~PlimUtilsPlugin() = default;

PlimUtilsPlugin* AllocatePlugin(SPPluginRef pluginRef) {
    return new (std::nothrow) PlimUtilsPlugin(pluginRef);
}

PlimUtilsPlugin* GetPlimPlugin() {
    return static_cast<PlimUtilsPlugin*>(gPlugin);
}

void FixupReload(Plugin* plugin) {
    auto* plim = static_cast<PlimUtilsPlugin*>(plugin);
    plim->ForgetBaseNotifiers();
    plim->fCounters = Counters();
}

ASErr PlimUtilsPlugin::SetGlobal(Plugin* plugin) {
    gPlugin = plugin;
    return kNoErr;
}

ASErr PlimUtilsPlugin::StartupPlugin(SPMessageData* message) {
    RegisterPluginServices();
    if (ASErr error = Plugin::StartupPlugin(message)) {
        return error;
    }
    if (fPanelController == nullptr) {
        fPanelController.reset(new (std::nothrow) PlimPanelController());
        if (fPanelController == nullptr) {
            return kSPOutOfMemoryError;
        }
    }
    struct Subscription {
        const char* owner;
        const char* type;
        AINotifierHandle* handle;
    };
    const Subscription subscriptions[] = {
        {"PlimUtilsPlugin", kAIUIBrightnessChangedNotifier, &fBrightnessNotifier},
        {"Register Event Notify", kAICSXSPlugPlugSetupCompleteNotifier, &fPlugPlugNotifier},
        {"PlimUtilsPlugin", kAIApplicationShutdownNotifier, &fShutdownNotifier},
        {"PlimUtilsPlugin", "GetSymbolListNotifier", &fSymbolListNotifier},
        {"PlimUtilsPlugin", kAIArtSelectionChangedNotifier, &fSelectionNotifier},
    };
    ASErr result = kNoErr;
    for (const Subscription& subscription : subscriptions) {
        result =
            sAINotifier->AddNotifier(fPluginRef, subscription.owner, subscription.type, subscription.handle);
        if (result != kNoErr) {
            break;
        }
    }
    return result;
}

void PlimUtilsPlugin::AbandonStartup() {
    fPanelController.reset();
    if (fLockCount > 0) {
        fLockCount = 1;
        LockPlugin(false);
    }
    DestroySuites();
    SetGlobal(nullptr);
}

ASErr PlimUtilsPlugin::PostStartupPlugin() {
    return AcquirePostStartupSuites();
}

ASErr PlimUtilsPlugin::ShutdownPlugin(SPMessageData* message) {
    if (fPanelController != nullptr) {
        fPanelController->RemoveEventListeners();
        fPanelController.reset();
        LockPlugin(false);
    }
    // Every suite is released whatever an earlier release answered; the first failure is reported.
    const ASErr postStartup = ReleasePostStartupSuites();
    const ASErr base = Plugin::ShutdownPlugin(message);
    return postStartup != kNoErr ? postStartup : base;
}

ASErr PlimUtilsPlugin::AcquirePostStartupSuites() {
    ASErr result = kNoErr;
    for (ImportSuite* row = gPostStartupSuites; row->name != nullptr; ++row) {
        ASErr error = Suites::AcquireSuite(row);
        if (result == kNoErr) {
            result = error;
        }
    }
    return result;
}

ASErr PlimUtilsPlugin::ReleasePostStartupSuites() {
    ASErr result = kNoErr;
    for (ImportSuite* row = gPostStartupSuites; row->name != nullptr; ++row) {
        ASErr error = Suites::ReleaseSuite(row);
        if (result == kNoErr) {
            result = error;
        }
    }
    return result;
}

void PlimUtilsPlugin::SetUndoKind(ai::int32 kind) {
    if (sAIUndo != nullptr) {
        sAIUndo->SetKind(kind);
    }
}

void PlimUtilsPlugin::SetUndoKindFromContext() const {
    SetUndoKind(fUndoContext ? kAIAppendUndoContext : kAIStandardUndoContext);
}

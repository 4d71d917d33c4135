// Plugin: the general plug-in base class. It owns the suites, routes host messages (caller and
// selector pairs) to virtual operations, reports errors and keeps the plug-in locked in memory.
#pragma once

#include <ctime>
#include <memory>

#include "AINotifier.h"
#include "SPMessageData.h"
#include "core/Suites.h"

class Plugin {
public:
    explicit Plugin(SPPluginRef pluginRef);
    virtual ~Plugin();

    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    SPPluginRef GetPluginRef() const { return fPluginRef; }

    // Operations a plug-in leaves alone answer no error, messages it does not handle
    // kSPUnimplementedError.
    virtual void ReportError(ASErr error, const char* caller, const char* selector, void* message);
    virtual ASErr LockPlugin(bool lock);
    virtual ASErr StartupPlugin(SPMessageData* message);
    virtual ASErr PostStartupPlugin() { return kNoErr; }
    virtual ASErr PreShutdownPlugin() { return kNoErr; }
    virtual ASErr ShutdownPlugin(SPMessageData* message);
    virtual ASErr UnloadPlugin(SPMessageData* message);
    virtual ASErr ReloadPlugin(SPMessageData* message);
    virtual ASErr AcquireProperty(SPMessageData*) { return kSPUnimplementedError; }
    virtual ASErr ReleaseProperty(SPMessageData*) { return kSPUnimplementedError; }
    // Copies the name into buffer, cut to fit and always terminated; returns the name's length.
    virtual size_t GetPluginName(char* buffer, size_t length) const;
    virtual bool Purge() { return false; }
    virtual ASErr Message(const char* caller, const char* selector, void* message);
    virtual ASErr SetGlobal(Plugin*) { return kNoErr; }
    virtual ASErr AllocateSuiteTables() { return kNoErr; }
    virtual ASErr FillSuiteTables() { return kNoErr; }
    virtual ASErr EmptySuiteTables() { return kNoErr; }
    virtual ASErr AcquireOptionalSuites();
    virtual ASErr Notify(AINotifierMessage*) { return kNoErr; }
    virtual ASErr GoAction(void*) { return kNoErr; }
    virtual ASErr GoMenuItem(void*) { return kSPUnimplementedError; }
    virtual ASErr UpdateMenuItem(void*) { return kSPUnimplementedError; }
    virtual ASErr GetFilterParameters(void*) { return kSPUnimplementedError; }
    virtual ASErr GoFilter(void*) { return kSPUnimplementedError; }
    virtual ASErr PluginGroupNotify(void*) { return kSPUnimplementedError; }
    virtual ASErr PluginGroupUpdate(void*) { return kSPUnimplementedError; }
    virtual ASErr GetFileFormatParameters(void*) { return kSPUnimplementedError; }
    virtual ASErr GoFileFormat(void*) { return kSPUnimplementedError; }
    virtual ASErr CheckFileFormat(void*) { return kSPUnimplementedError; }
    virtual ASErr FileFormatUpdate(void*) { return kSPUnimplementedError; }
    virtual ASErr SetFileFormatParameters(void*) { return kSPUnimplementedError; }
    virtual ASErr EditTool(void*) { return kSPUnimplementedError; }
    virtual ASErr TrackToolCursor(void*) { return kSPUnimplementedError; }
    virtual ASErr ToolMouseDown(void*) { return kSPUnimplementedError; }
    virtual ASErr ToolMouseDrag(void*) { return kSPUnimplementedError; }
    virtual ASErr ToolMouseUp(void*) { return kSPUnimplementedError; }
    virtual ASErr SelectTool(void*) { return kSPUnimplementedError; }
    virtual ASErr DeselectTool(void*) { return kSPUnimplementedError; }
    virtual ASErr ReselectTool(void*) { return kNoErr; }
    virtual ASErr DecreaseDiameter(void*) { return kNoErr; }
    virtual ASErr IncreaseDiameter(void*) { return kNoErr; }
    virtual ASErr EditLiveEffectParameters(void*) { return kSPUnimplementedError; }
    virtual ASErr GoLiveEffect(void*) { return kSPUnimplementedError; }
    virtual ASErr LiveEffectInterpolate(void*) { return kSPUnimplementedError; }
    virtual ASErr LiveEffectGetInputType(void*) { return kSPUnimplementedError; }
    virtual ASErr LiveEffectConvertColorSpace(void*) { return kSPUnimplementedError; }
    virtual ASErr LiveEffectScaleParameters(void*) { return kSPUnimplementedError; }
    virtual ASErr LiveEffectAdjustColors(void*) { return kSPUnimplementedError; }
    virtual ASErr LiveEffectHandleMerge(void*) { return kSPUnimplementedError; }
    virtual ASErr GoTimer(void*) { return kSPUnimplementedError; }
    virtual ASErr GoClipboard(void*) { return kSPUnimplementedError; }
    virtual ASErr CanCopyClipboard(void*) { return kSPUnimplementedError; }
    virtual ASErr CloneClipboard(void*) { return kSPUnimplementedError; }
    virtual ASErr DisposeClipboard(void*) { return kSPUnimplementedError; }
    virtual ASErr WorkspaceWrite(void*) { return kSPUnimplementedError; }
    virtual ASErr WorkspaceRestore(void*) { return kSPUnimplementedError; }
    virtual ASErr WorkspaceDefault(void*) { return kSPUnimplementedError; }

    static void DefaultError(SPPluginRef pluginRef, ASErr error);
    static bool FilterError(ASErr error);
    static bool IsReloadMsg(const char* caller, const char* selector);

    bool HasSuites() const { return fSuites != nullptr; }

protected:
    // Clears the base's notifier handles before a reload.
    void ForgetBaseNotifiers();
    // Creates the Suites object for start-up and reload; 0, !MEM or the acquisition's error.
    ASErr CreateSuites();
    // Releases the suites (every one is tried) and answers the first failed release.
    ASErr DestroySuites();

    SPPluginRef fPluginRef;
    char fPluginName[256];
    std::unique_ptr<Suites> fSuites;
    ASInt32 fLockCount = 0;
    SPAccessRef fPluginAccess = nullptr;
    ASErr fLastError = kNoErr;
    long fErrorTimeout = 5;
    bool fSupressDuplicateErrors = true;
    std::time_t fLastErrorTime = 0;
    AINotifierHandle fApplicationStartedNotifier = nullptr;
    AINotifierHandle fApplicationShutdownNotifier = nullptr;
};

// The one plug-in object, from the start of start-up until shut-down ends.
extern Plugin* gPlugin;

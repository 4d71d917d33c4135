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

    virtual void ReportError(ASErr error, const char* caller, const char* selector, void* message);
    virtual ASErr LockPlugin(bool lock);
    virtual ASErr StartupPlugin(SPMessageData* message);
    virtual ASErr PostStartupPlugin();
    virtual ASErr PreShutdownPlugin();
    virtual ASErr ShutdownPlugin(SPMessageData* message);
    virtual ASErr UnloadPlugin(SPMessageData* message);
    virtual ASErr ReloadPlugin(SPMessageData* message);
    virtual ASErr AcquireProperty(SPMessageData* message);
    virtual ASErr ReleaseProperty(SPMessageData* message);
    // Copies the name into buffer, cut to fit and always terminated; returns the name's length.
    virtual size_t GetPluginName(char* buffer, size_t length) const;
    virtual bool Purge();
    virtual ASErr Message(const char* caller, const char* selector, void* message);
    virtual ASErr SetGlobal(Plugin* plugin);
    virtual ASErr AllocateSuiteTables();
    virtual ASErr FillSuiteTables();
    virtual ASErr EmptySuiteTables();
    virtual ASErr AcquireOptionalSuites();
    virtual ASErr Notify(AINotifierMessage* message);
    virtual ASErr GoAction(void* message);
    virtual ASErr GoMenuItem(void* message);
    virtual ASErr UpdateMenuItem(void* message);
    virtual ASErr GetFilterParameters(void* message);
    virtual ASErr GoFilter(void* message);
    virtual ASErr PluginGroupNotify(void* message);
    virtual ASErr PluginGroupUpdate(void* message);
    virtual ASErr GetFileFormatParameters(void* message);
    virtual ASErr GoFileFormat(void* message);
    virtual ASErr CheckFileFormat(void* message);
    virtual ASErr FileFormatUpdate(void* message);
    virtual ASErr SetFileFormatParameters(void* message);
    virtual ASErr EditTool(void* message);
    virtual ASErr TrackToolCursor(void* message);
    virtual ASErr ToolMouseDown(void* message);
    virtual ASErr ToolMouseDrag(void* message);
    virtual ASErr ToolMouseUp(void* message);
    virtual ASErr SelectTool(void* message);
    virtual ASErr DeselectTool(void* message);
    virtual ASErr ReselectTool(void* message);
    virtual ASErr DecreaseDiameter(void* message);
    virtual ASErr IncreaseDiameter(void* message);
    virtual ASErr EditLiveEffectParameters(void* message);
    virtual ASErr GoLiveEffect(void* message);
    virtual ASErr LiveEffectInterpolate(void* message);
    virtual ASErr LiveEffectGetInputType(void* message);
    virtual ASErr LiveEffectConvertColorSpace(void* message);
    virtual ASErr LiveEffectScaleParameters(void* message);
    virtual ASErr LiveEffectAdjustColors(void* message);
    virtual ASErr LiveEffectHandleMerge(void* message);
    virtual ASErr GoTimer(void* message);
    virtual ASErr GoClipboard(void* message);
    virtual ASErr CanCopyClipboard(void* message);
    virtual ASErr CloneClipboard(void* message);
    virtual ASErr DisposeClipboard(void* message);
    virtual ASErr WorkspaceWrite(void* message);
    virtual ASErr WorkspaceRestore(void* message);
    virtual ASErr WorkspaceDefault(void* message);

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

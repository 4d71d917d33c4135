// The plug-in base class: lifetime, suites, message routing, error reports, memory lock.
#include "core/Plugin.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "AIUser.h"
#include "SPAccess.h"
#include "SPPlugins.h"
#include "core/AppContext.h"
#include "core/TextHelpers.h"

Plugin* gPlugin = nullptr;

namespace {

// Formats an error code for the log: its four characters when they are printable, else the number.
void WriteErrorCode(ASErr error) {
    char code[5] = {};
    bool printable = true;
    for (int i = 0; i < 4; ++i) {
        code[i] = static_cast<char>((static_cast<ASUInt32>(error) >> (24 - 8 * i)) & 0xFF);
        printable = printable && code[i] >= 0x20 && code[i] < 0x7F;
    }
    if (printable) {
        std::fprintf(stderr, "PlimUtils: error '%s'\n", code);
    } else {
        std::fprintf(stderr, "PlimUtils: error %d\n", static_cast<int>(error));
    }
}

constexpr ASErr kFilteredErrors[] = {
    FourCharCode("FMT?"),
    FourCharCode("RFSE"),
    FourCharCode("AFTR"),
    FourCharCode("VALD"),
    FourCharCode("MOOT"),
    FourCharCode("TRSH"),
    FourCharCode("CHEK"),
    FourCharCode("CHIT"),
    FourCharCode("TLTK"),
    FourCharCode("pFls"),
    FourCharCode("S!Fd"),
    FourCharCode("!Acq"),
    FourCharCode("dsRP"),
    FourCharCode("skpE"),
    FourCharCode("DONE"),
    FourCharCode("STOP"),
    361,
};

}  // namespace

Plugin::Plugin(SPPluginRef pluginRef) : fPluginRef(pluginRef) {
    std::snprintf(fPluginName, sizeof fPluginName, "%s", "Plugin");
}

Plugin::~Plugin() = default;

bool Plugin::FilterError(ASErr error) {
    for (ASErr filtered : kFilteredErrors) {
        if (error == filtered) {
            return true;
        }
    }
    return false;
}

bool Plugin::IsReloadMsg(const char* caller, const char* selector) {
    return Is(caller, kSPAccessCaller) && Is(selector, kSPAccessReloadSelector);
}

void Plugin::ReportError(ASErr error, const char*, const char*, void*) {
    if (FilterError(error)) {
        return;
    }
    const std::time_t now = std::time(nullptr);
    if (error == fLastError && fSupressDuplicateErrors && now < fLastErrorTime + fErrorTimeout) {
        return;
    }
    fLastError = error;
    fLastErrorTime = now;
    DefaultError(fPluginRef, error);
}

void Plugin::DefaultError(SPPluginRef, ASErr error) {
    if (FilterError(error)) {
        return;
    }
    // No dialog: the report goes to the host's console.
    WriteErrorCode(error);
    if (sAIUser == nullptr && sSPBasic != nullptr) {
        const void* suite = nullptr;
        if (sSPBasic->AcquireSuite(kAIUserSuite, kAIUserSuiteVersion, &suite) == kNoErr) {
            sSPBasic->ReleaseSuite(kAIUserSuite, kAIUserSuiteVersion);
        }
    }
}

ASErr Plugin::LockPlugin(bool lock) {
    if (lock) {
        if (fLockCount++ == 0 && sSPAccess != nullptr) {
            sSPAccess->AcquirePlugin(fPluginRef, &fPluginAccess);
        }
        return kNoErr;
    }
    if (fLockCount == 1) {
        if (sSPAccess != nullptr && fPluginAccess != nullptr) {
            sSPAccess->ReleasePlugin(fPluginAccess);
        }
        fPluginAccess = nullptr;
    }
    fLockCount = fLockCount > 1 ? fLockCount - 1 : 0;
    return kNoErr;
}

ASErr Plugin::CreateSuites() {
    fSuites.reset(new (std::nothrow) Suites());
    if (fSuites == nullptr) {
        return kSPOutOfMemoryError;
    }
    Suites::fAcquiredCount = 1;
    if (ASErr error = fSuites->Error()) {
        DestroySuites();
        return error;
    }
    return kNoErr;
}

ASErr Plugin::DestroySuites() {
    const ASErr error = fSuites != nullptr ? fSuites->Release() : kNoErr;
    fSuites.reset();
    return error;
}

ASErr Plugin::StartupPlugin(SPMessageData*) {
    SetGlobal(this);
    if (ASErr error = CreateSuites()) {
        return error;
    }
    if (ASErr error = sSPPlugins->SetPluginName(fPluginRef, fPluginName)) {
        return error;
    }
    char notifierName[300];
    std::snprintf(notifierName, sizeof notifierName, "%s App Started Notifier", fPluginName);
    if (ASErr error = sAINotifier->AddNotifier(fPluginRef, notifierName, kAIApplicationStartedNotifier,
                                               &fApplicationStartedNotifier)) {
        return error;
    }
    std::snprintf(notifierName, sizeof notifierName, "%s Application Shutdown Notifier", fPluginName);
    if (ASErr error = sAINotifier->AddNotifier(fPluginRef, notifierName, kAIApplicationShutdownNotifier,
                                               &fApplicationShutdownNotifier)) {
        return error;
    }
    if (ASErr error = AllocateSuiteTables()) {
        return error;
    }
    FillSuiteTables();
    LockPlugin(true);
    return kNoErr;
}

ASErr Plugin::ShutdownPlugin(SPMessageData*) {
    const ASErr error = DestroySuites();
    SetGlobal(nullptr);
    return error;
}

ASErr Plugin::UnloadPlugin(SPMessageData*) {
    EmptySuiteTables();
    SetGlobal(nullptr);
    DestroySuites();
    return kNoErr;
}

ASErr Plugin::ReloadPlugin(SPMessageData*) {
    SetGlobal(this);
    if (fSuites == nullptr) {
        if (ASErr error = CreateSuites()) {
            return error;
        }
    } else {
        Suites::fAcquiredCount = 1;
    }
    FillSuiteTables();
    return kNoErr;
}

void Plugin::ForgetBaseNotifiers() {
    fApplicationStartedNotifier = nullptr;
    fApplicationShutdownNotifier = nullptr;
}

size_t Plugin::GetPluginName(char* buffer, size_t length) const {
    const size_t nameLength = std::strlen(fPluginName);
    if (buffer != nullptr && length > 0) {
        const size_t copied = nameLength < length ? nameLength : length - 1;
        std::memcpy(buffer, fPluginName, copied);
        buffer[copied] = '\0';
    }
    return nameLength;
}

ASErr Plugin::AcquireOptionalSuites() {
    if (fSuites != nullptr) {
        fSuites->acquire_Optional_Suites();
    }
    return kNoErr;
}

namespace {

using MessageOperation = ASErr (Plugin::*)(void*);

struct MessageRoute {
    const char* caller;
    const char* selector;
    MessageOperation operation;
};

// The messages that go straight to one operation with the message record.
const MessageRoute kMessageRoutes[] = {
    {"Action Manager", "Do Action", &Plugin::GoAction},
    {"AI Menu", "AI Go", &Plugin::GoMenuItem},
    {"AI Menu", "AI Update", &Plugin::UpdateMenuItem},
    {"AI Filter", "AI Get Parameters", &Plugin::GetFilterParameters},
    {"AI Filter", "AI Go", &Plugin::GoFilter},
    {"AI Plugin Group", "AI Notify Edits", &Plugin::PluginGroupNotify},
    {"AI Plugin Group", "AI Update", &Plugin::PluginGroupUpdate},
    {"AI File Format", "AI Get Parameters", &Plugin::GetFileFormatParameters},
    {"AI File Format", "AI Go", &Plugin::GoFileFormat},
    {"AI File Format", "AI Check", &Plugin::CheckFileFormat},
    {"AI File Format", "AI Update AI140", &Plugin::FileFormatUpdate},
    {"AI File Format", "Do Action", &Plugin::SetFileFormatParameters},
    {"AI Tool", "AI Edit Options", &Plugin::EditTool},
    {"AI Tool", "AI Track Cursor", &Plugin::TrackToolCursor},
    {"AI Tool", "AI Mouse Down", &Plugin::ToolMouseDown},
    {"AI Tool", "AI Mouse Drag", &Plugin::ToolMouseDrag},
    {"AI Tool", "AI Mouse Up", &Plugin::ToolMouseUp},
    {"AI Tool", "AI Select", &Plugin::SelectTool},
    {"AI Tool", "AI Deselect", &Plugin::DeselectTool},
    {"AI Tool", "AI Reselect", &Plugin::ReselectTool},
    {"AI Tool", "AI Decrease Diameter", &Plugin::DecreaseDiameter},
    {"AI Tool", "AI Increase Diameter", &Plugin::IncreaseDiameter},
    {"AI Live Effect", "AI Live Effect Edit Parameters", &Plugin::EditLiveEffectParameters},
    {"AI Live Effect", "AI Live Effect Go Live", &Plugin::GoLiveEffect},
    {"AI Live Effect", "AI Live Effect Interpolate Parameters", &Plugin::LiveEffectInterpolate},
    {"AI Live Effect", "AI Live Effect Input Type", &Plugin::LiveEffectGetInputType},
    {"AI Live Effect", "AI Live Effect Scale Parameters", &Plugin::LiveEffectScaleParameters},
    {"AI Live Effect", "AI Live Effect Convert Color Space", &Plugin::LiveEffectConvertColorSpace},
    {"AI Live Effect", "AI Live Effect Adjust Colors", &Plugin::LiveEffectAdjustColors},
    {"AI Live Effect", "AI Live Effect Handle Merge", &Plugin::LiveEffectHandleMerge},
    {"AI Timer", "AI Go", &Plugin::GoTimer},
    {"AI Clipboard", "AI Go", &Plugin::GoClipboard},
    {"AI Clipboard", "AI Can Copy", &Plugin::CanCopyClipboard},
    {"AI Clipboard", "AI Clone", &Plugin::CloneClipboard},
    {"AI Clipboard", "AI Dispose", &Plugin::DisposeClipboard},
    {"Workspace Manager", "Write Workspace", &Plugin::WorkspaceWrite},
    {"Workspace Manager", "Restore Workspace", &Plugin::WorkspaceRestore},
    {"Workspace Manager", "Default Workspace", &Plugin::WorkspaceDefault},
};

}  // namespace

ASErr Plugin::Message(const char* caller, const char* selector, void* message) {
    AcquireOptionalSuites();
    auto* data = static_cast<SPMessageData*>(message);

    if (Is(caller, kSPAccessCaller)) {
        if (Is(selector, kSPAccessUnloadSelector)) {
            return UnloadPlugin(data);
        }
        if (Is(selector, kSPAccessReloadSelector)) {
            return ReloadPlugin(data);
        }
        return kSPUnimplementedError;
    }
    if (Is(caller, kSPInterfaceCaller)) {
        return Is(selector, kSPInterfaceAboutSelector) || Is(selector, kSPInterfaceStartupSelector)
                   ? kNoErr
                   : kSPUnimplementedError;
    }
    if (Is(caller, kSPCacheCaller)) {
        if (Is(selector, kSPPluginPurgeSelector)) {
            return Purge() ? kSPPluginCachesFlushResponse : kNoErr;
        }
        return kSPUnimplementedError;
    }
    if (Is(caller, kSPPropertiesCaller)) {
        if (Is(selector, kSPPropertiesAcquireSelector)) {
            return AcquireProperty(data);
        }
        if (Is(selector, kSPPropertiesReleaseSelector)) {
            return ReleaseProperty(data);
        }
        return kSPUnimplementedError;
    }
    if (Is(caller, kCallerAINotify)) {
        auto* notification = static_cast<AINotifierMessage*>(message);
        AppContext context(data->self);
        ASErr result = kSPUnimplementedError;
        if (notification->notifier == fApplicationStartedNotifier && fApplicationStartedNotifier != nullptr) {
            result = PostStartupPlugin();
        } else if (notification->notifier == fApplicationShutdownNotifier &&
                   fApplicationShutdownNotifier != nullptr) {
            result = PreShutdownPlugin();
        }
        if (result != kNoErr && result != kSPUnimplementedError) {
            return result;
        }
        return Is(selector, kSelectorAINotify) ? Notify(notification) : result;
    }
    for (const MessageRoute& route : kMessageRoutes) {
        if (Is(caller, route.caller) && Is(selector, route.selector)) {
            return (this->*route.operation)(message);
        }
    }
    return kSPUnimplementedError;
}

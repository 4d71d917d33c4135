// The entry point: the host calls PluginMain for every message it sends the plug-in.
#include <cstdio>
#include <exception>

#include "core/PlimUtilsPlugin.h"
#include "core/TextHelpers.h"

namespace {

SPErr Dispatch(const char* caller, const char* selector, SPMessageData* message) {
    sSPBasic = message->basic;
    auto* plugin = static_cast<Plugin*>(message->globals);

    if (Is(caller, kSPInterfaceCaller) && Is(selector, kSPInterfaceStartupSelector)) {
        PlimUtilsPlugin* created = AllocatePlugin(message->self);
        if (created == nullptr) {
            Plugin::DefaultError(message->self, kSPOutOfMemoryError);
            return kSPOutOfMemoryError;
        }
        message->globals = created;
        if (ASErr error = created->StartupPlugin(message)) {
            created->AbandonStartup();
            delete created;
            message->globals = nullptr;
            Plugin::DefaultError(message->self, error);
            return error;
        }
        plugin = created;
    } else if (Is(caller, kSPInterfaceCaller) && Is(selector, kSPInterfaceShutdownSelector)) {
        if (plugin == nullptr) {
            return kNoErr;
        }
        ASErr error = plugin->ShutdownPlugin(message);
        delete plugin;
        message->globals = nullptr;
        if (error != kNoErr) {
            Plugin::DefaultError(message->self, error);
        }
        return error;
    } else if (plugin == nullptr) {
        return kNoErr;
    }

    ASErr result = kNoErr;
    if (Plugin::IsReloadMsg(caller, selector)) {
        FixupReload(plugin);
        result = plugin->ReloadPlugin(message);
    } else if (!plugin->HasSuites()) {
        return kNoErr;
    } else {
        result = plugin->Message(caller, selector, message);
    }

    if (result == kSPUnimplementedError) {
        std::fprintf(stderr, "Warning: Unhandled plugin message: caller \"%s\" selector \"%s\"\n",
                     caller != nullptr ? caller : "", selector != nullptr ? selector : "");
        return kNoErr;
    }
    if (result != kNoErr) {
        plugin->ReportError(result, caller, selector, message);
    }
    return result;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) SPErr PluginMain(const char* caller, const char* selector,
                                                                   void* message) {
    if (message == nullptr) {
        return kSPBadParameterError;
    }
    // Nothing may be thrown into the host.
    try {
        return Dispatch(caller, selector, static_cast<SPMessageData*>(message));
    } catch (const std::bad_alloc&) {
        return kSPOutOfMemoryError;
    } catch (...) {
        return kCantHappenErr;
    }
}

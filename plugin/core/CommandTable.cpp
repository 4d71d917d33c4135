// The command table and its dispatch; script messages, where the selector names the command, the
// input string carries the request JSON and the reply JSON goes into the output string.
#include "core/CommandTable.h"

#include <map>

#include "AIScriptMessage.h"
#include "AIUndo.h"
#include "core/AppContext.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "core/PlimPanelController.h"

namespace {

// Runs the member; any exception becomes the failure reply.
std::string RunMember(const CommandRow& row, PlimUtilsPlugin& plugin, const std::string& request) {
    if (row.handler == nullptr) {
        return {};
    }
    try {
        return (plugin.*row.handler)(request);
    } catch (const std::exception& exception) {
        return ExceptionReply(row.name, request, exception);
    } catch (...) {
        return ExceptionReply(row.name, request, std::runtime_error(kUnexpectedFailure));
    }
}

// The undo kind a route sets before its member runs.
void SetUndoKindFor(Route route, const PlimUtilsPlugin& plugin) {
    if (route == Route::kStartContext) {
        PlimUtilsPlugin::SetUndoKind(kAIStandardUndoContext);
    } else if (route == Route::kUndoable || route == Route::kExportFile) {
        plugin.SetUndoKindFromContext();
    }
}

// The reply to a name that no row of the way in has: "error" alone, with the request's "uid" when
// it has one.
std::string UnknownCommandReply(const std::string& name, const std::string& request) {
    json reply = json::object();
    if (std::optional<std::string> uid = FindUid(request)) {
        reply["uid"] = std::move(*uid);
    }
    reply["error"] = kUnknownEventType + name;
    return DumpReply(reply);
}

}  // namespace

const CommandRow* FindCommand(std::string_view name, unsigned way) {
    // Built once, on first use; never changed afterwards.
    static const std::map<std::string_view, const CommandRow*> sCommandTable = [] {
        std::map<std::string_view, const CommandRow*> byName;
        for (const CommandRow& row : kCommandRows) {
            byName.emplace(row.name, &row);
        }
        return byName;
    }();
    const auto found = sCommandTable.find(name);
    return found != sCommandTable.end() && found->second->TakenBy(way) ? found->second : nullptr;
}

std::string RunCommand(const CommandRow& row, const std::string& request, unsigned way,
                       const std::function<void(const std::string&)>& answer) {
    PlimUtilsPlugin& plugin = *GetPlimPlugin();
    if (way == kInBatch) {
        return RunMember(row, plugin, request);
    }
    switch (row.route) {
        case Route::kTagNotifyOn:
        case Route::kTagNotifyOff:
            plugin.fTagNotify = row.route == Route::kTagNotifyOn;
            return {};
        case Route::kNoContext: {
            std::string reply = RunMember(row, plugin, request);
            if (answer) {
                answer(reply);
            }
            return reply;
        }
        case Route::kStartContext:
            plugin.fUndoContext = true;
            break;
        case Route::kUndoChanges:
            plugin.fUndoContext = false;
            break;
        default:
            break;
    }
    CommandContext context;
    if (row.route == Route::kExportFile) {
        plugin.fUndoContext = false;
    }
    SetUndoKindFor(row.route, plugin);
    if (row.route == Route::kPanelReady) {
        if (const PlimPanelController* panel = plugin.PanelController()) {
            panel->StartupMessageToPanel();
        }
        return {};
    }
    std::string reply = RunMember(row, plugin, request);
    if (answer) {
        answer(reply);
    }
    return reply;
}

ASErr PlimUtilsPlugin::Message(const char* caller, const char* selector, void* message) {
    if (caller == nullptr || std::string_view(caller) != kCallerAIScriptMessage) {
        return Plugin::Message(caller, selector, message);
    }
    auto* scriptMessage = static_cast<AIScriptMessage*>(message);
    const std::string name = selector != nullptr ? selector : "";
    std::string request = scriptMessage->inParam.as_UTF8();
    if (request.empty()) {
        request = "{}";
    }
    const CommandRow* row = FindCommand(name, kByScript);
    const std::string reply =
        row != nullptr ? RunCommand(*row, request, kByScript) : UnknownCommandReply(name, request);

    scriptMessage->outParam = ai::UnicodeString::FromUTF8(reply);
    // A reply that the host could not take is a failure, not an empty answer.
    if (!reply.empty() && scriptMessage->outParam.ref() == nullptr) {
        return kCantHappenErr;
    }
    return kNoErr;
}

// The command table and its dispatch; script messages, where the selector names the command, the
// input string carries the request JSON and the reply JSON goes into the output string.
#include "core/CommandTable.h"

#include <map>
#include <string_view>
#include <utility>

#include "AIScriptMessage.h"
#include "AIUndo.h"
#include "core/AppContext.h"
#include "core/Failures.h"
#include "core/HostScopes.h"
#include "core/Json.h"
#include "core/PlimPanelController.h"

namespace {

// The "eventType" of a command's replies: its name, but for the commands whose replies carry
// another.
constexpr std::pair<std::string_view, const char*> kReplyEventTypes[] = {
    {"z-order", "move"},
};

std::string ReplyEventType(const CommandRow& row) {
    for (const auto& [name, eventType] : kReplyEventTypes) {
        if (name == row.name) {
            return eventType;
        }
    }
    return row.name;
}

// Runs the member; any exception becomes the failure reply, with the event type the command's
// other replies carry.
std::string RunMember(const CommandRow& row, PlimUtilsPlugin& plugin, const std::string& request) {
    if (row.handler == nullptr) {
        return {};
    }
    try {
        return (plugin.*row.handler)(request);
    } catch (const std::exception& exception) {
        return ExceptionReply(ReplyEventType(row), request, exception);
    } catch (...) {
        return ExceptionReply(ReplyEventType(row), request, std::runtime_error(kUnexpectedFailure));
    }
}

// Reads a reply text as far as its top-level keys, and tells whether "error" is one of them. Values
// are skipped without being built, however large or deep they are.
class TopLevelError : public nlohmann::json_sax<json> {
public:
    bool null() override { return true; }
    bool boolean(bool /*value*/) override { return true; }
    bool number_integer(number_integer_t /*value*/) override { return true; }
    bool number_unsigned(number_unsigned_t /*value*/) override { return true; }
    bool number_float(number_float_t /*value*/, const string_t& /*text*/) override { return true; }
    bool string(string_t& /*value*/) override { return true; }
    bool binary(binary_t& /*value*/) override { return true; }
    bool start_object(std::size_t /*size*/) override { return Enter(); }
    bool end_object() override { return Leave(); }
    bool start_array(std::size_t /*size*/) override { return Enter(); }
    bool end_array() override { return Leave(); }
    bool key(string_t& name) override {
        found = found || (fDepth == 1 && name == "error");
        return !found;  // nothing after it matters
    }
    bool parse_error(std::size_t /*position*/, const std::string& /*token*/,
                     const nlohmann::detail::exception& /*error*/) override {
        return false;
    }

    bool found = false;

private:
    bool Enter() {
        ++fDepth;
        return true;
    }
    bool Leave() {
        --fDepth;
        return true;
    }
    int fDepth = 0;
};

// A reply that can't be read counts as one holding "error".
bool HoldsError(const std::string& reply) noexcept {
    try {
        TopLevelError reader;
        return !json::sax_parse(reply, &reader, json::input_format_t::json, false) || reader.found;
    } catch (...) {
        return true;
    }
}

// Whether a route's member may change the document, and so runs between a revert mark and its
// outcome. "undoChanges" steps the history itself, which no mark outlives; the panel's XML
// requests answer in a form of their own.
bool ChangesDocument(Route route) {
    return route == Route::kUndoable || route == Route::kStartContext || route == Route::kExportFile;
}

// Set by the running member when it answers "error" on purpose about a part of its work while the
// rest stands (null while no member that may change the document runs).
bool* gKeepChanges = nullptr;

// The flag of the running member for the scope's length; the enclosing member's flag (a batch's)
// is in force again when the scope ends.
class KeepFlag {
public:
    KeepFlag() : fOuter(std::exchange(gKeepChanges, &fKeep)) {}
    ~KeepFlag() { gKeepChanges = fOuter; }
    KeepFlag(const KeepFlag&) = delete;
    KeepFlag& operator=(const KeepFlag&) = delete;

    bool Kept() const { return fKeep; }

private:
    bool fKeep = false;
    bool* fOuter;
};

// A member's reply, and whether the member failed: its reply holds "error" and it did not keep its
// work on purpose.
struct Outcome {
    std::string reply;
    bool failed = false;
};

// Runs the member. When it may change the document and its reply holds "error", what it changed is
// taken back: no command leaves half its work, and a failure leaves no undo step, the steps to redo
// and the document's modified state as they were. The revert comes before anyone hears the reply,
// and the selection it puts back is no change to announce. Inside a batch each entry is its own
// member: a failed entry takes back only its own changes.
Outcome RunAllOrNothing(const CommandRow& row, PlimUtilsPlugin& plugin, const std::string& request) {
    if (!ChangesDocument(row.route)) {
        Outcome outcome{RunMember(row, plugin, request)};
        outcome.failed = RepliesWithJson(row.route) && HoldsError(outcome.reply);
        return outcome;
    }
    RevertMark mark;
    const KeepFlag keep;
    Outcome outcome{RunMember(row, plugin, request)};
    outcome.failed = !keep.Kept() && HoldsError(outcome.reply);
    if (outcome.failed && mark.IsSet()) {
        mark.Revert();
    }
    return outcome;
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

void KeepChangesDespiteError() {
    if (gKeepChanges != nullptr) {
        *gKeepChanges = true;
    }
}

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
        return RunAllOrNothing(row, plugin, request).reply;
    }
    // The undo context as the command found it: a command that fails leaves it so, whatever its
    // route opens or closes (an export that fails ends no context, a start or an undo that fails
    // neither opens nor closes one).
    const bool contextBefore = plugin.fUndoContext;
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
    Outcome outcome = RunAllOrNothing(row, plugin, request);
    if (outcome.failed) {
        plugin.fUndoContext = contextBefore;
    }
    if (answer) {
        answer(outcome.reply);
    }
    return std::move(outcome.reply);
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

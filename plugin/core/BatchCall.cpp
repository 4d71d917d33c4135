// "batchCall": runs a list of commands in order and answers all of them in one reply.
#include "core/CommandTable.h"
#include "core/Failures.h"
#include "core/Json.h"

namespace {

// Runs one entry and answers its sub-reply.
json RunBatchEntry(const json& entry) {
    json subReply = json::object();
    std::string eventType;
    if (!ReadJsonValue(entry, "eventType", eventType) || eventType.size() <= kEventPrefix.size() ||
        eventType.compare(0, kEventPrefix.size(), kEventPrefix) != 0) {
        subReply["error"] = "No eventType found";
        return subReply;
    }
    const std::string name = eventType.substr(kEventPrefix.size());
    subReply["eventType"] = eventType;

    const json* data = FindKey(entry, "data");
    if (data == nullptr || !data->is_object()) {
        subReply["error"] = "No event data found";
        return subReply;
    }
    const CommandRow* row = FindCommand(name, kInBatch);
    if (row == nullptr) {
        subReply["error"] = kUnknownBatchEventType + name;
        return subReply;
    }
    const std::string reply = RunCommand(*row, DumpReply(*data), kInBatch);
    try {
        subReply["data"] = json::parse(reply);
    } catch (const json::exception& error) {
        subReply["error"] = "The command's reply is not valid JSON";
    }
    return subReply;
}

}  // namespace

std::string PlimUtilsPlugin::BatchCall(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("batchCall", parsed);
    json results = json::array();
    bool errors = false;
    bool warnings = false;

    const json* entries = FindKey(parsed, "data");
    if (entries == nullptr || !entries->is_array()) {
        reply["error"] = "No data found";
    } else {
        for (const json& entry : *entries) {
            json subReply = RunBatchEntry(entry);
            const json* data = FindKey(subReply, "data");
            errors = errors || HasKey(subReply, "error") || (data != nullptr && HasKey(*data, "error"));
            warnings =
                warnings || HasKey(subReply, "warning") || (data != nullptr && HasKey(*data, "warning"));
            results.push_back(std::move(subReply));
        }
    }
    reply["data"] = std::move(results);
    reply["errorsPresent"] = errors;
    reply["warningsPresent"] = warnings;
    return DumpReply(reply);
}

// The command "counters": lists, reads, edits, advances, resets, adds and removes the plug-in's
// counters.
#include "core/Counters.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"

namespace {

// "counters", when given, must be an array of names; anything else fails the request before it
// changes anything. Read as "none named", a lone name would select every counter.
void CheckCounterNames(const json& request) {
    ReadTextArrayStrictly(request, "counters");
}

// "increment" and "triggerIncrement", "reset" and "triggerReset": the selection must not be empty;
// the trigger filter may then keep nothing.
bool AdvanceCounters(Counters& counters, const json& request, const std::string& method) {
    const Counters::Indices selected = counters.JsonToCountersVector(request, true);
    if (selected.empty()) {
        return false;
    }
    const bool increment = method == "increment" || method == "triggerIncrement";
    if (increment) {
        const Counters::Indices kept =
            method == "triggerIncrement" ? counters.FilterByIncrementTrigger(selected, request) : selected;
        int by = 0;
        if (ReadJsonValue(request, "incrementBy", by)) {
            counters.Increment(kept, by);
        } else {
            counters.Increment(kept);
        }
        return true;
    }
    const Counters::Indices kept =
        method == "triggerReset" ? counters.FilterByResetTrigger(selected, request) : selected;
    int value = 0;
    if (ReadJsonValue(request, "value", value)) {
        counters.Reset(kept, value);
    } else {
        counters.Reset(kept);
    }
    return true;
}

json Names(const Counters& counters, bool standardOnly) {
    json names = json::array();
    for (const Counter& counter : counters.All()) {
        if (!standardOnly || counter.standard) {
            names.push_back(counter.name);
        }
    }
    return names;
}

}  // namespace

std::string PlimUtilsPlugin::ProcessCounters(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("counters", parsed);
    if (!HasKey(parsed, "method")) {
        reply["error"] = "No method found";
        return DumpReply(reply);
    }
    const std::string method = ReadTextStrictly(parsed, "method");
    reply["method"] = method;
    CheckCounterNames(parsed);

    if (method == "list") {
        reply["counters"] = Names(fCounters, false);
    } else if (method == "standards") {
        reply["standardCounters"] = Names(fCounters, true);
    } else if (method == "getProperties") {
        json found = json::array();
        for (const std::size_t i : fCounters.JsonToCountersVector(parsed, true)) {
            found.push_back(fCounters.All()[i].WriteJson());
        }
        reply["counters"] = std::move(found);
    } else if (method == "setProperties") {
        json fields = parsed.is_object() ? parsed : json::object();
        fields.erase("builtin");
        fields.erase("erasable");
        if (!fCounters.AddEdit(fields)) {
            reply["error"] = "Can't set counter properties";
        }
    } else if (method == "increment" || method == "triggerIncrement" || method == "reset" ||
               method == "triggerReset") {
        if (!AdvanceCounters(fCounters, parsed, method)) {
            reply["error"] = "Can't read counters";
        }
    } else if (method == "add") {
        if (!fCounters.Add(parsed)) {
            reply["error"] = "Can't add a counter";
        }
    } else if (method == "remove") {
        if (!fCounters.Remove(parsed)) {
            reply["error"] = "Can't remove counters";
        }
    } else if (method == "hardReset") {
        fCounters.HardReset();
    } else {
        reply["error"] = "Unknown method";
    }
    return DumpReply(reply);
}

#include "core/Counters.h"

namespace {

struct BuiltinCounter {
    const char* name;
    const char* incrementTrigger;
    const char* resetTrigger;
};

// "artboard", "row_file" and "job" count within one export; "file" and "running_file" over the
// plug-in's life; "export" counts exports; "template_file" moves only when a client says so.
constexpr BuiltinCounter kBuiltinCounters[] = {
    {"artboard", "artboard", "export"}, {"file", "file", "manual"},
    {"row_file", "file", "export"},     {"running_file", "file", "manual"},
    {"template_file", "template_file", "manual"}, {"job", "job", "export"},
    {"export", "export", "manual"},
};

}  // namespace

Counters::Counters() {
    for (const BuiltinCounter& builtin : kBuiltinCounters) {
        Counter counter;
        counter.name = builtin.name;
        counter.incrementTrigger = builtin.incrementTrigger;
        counter.resetTrigger = builtin.resetTrigger;
        counter.builtin = true;
        fCounters.push_back(std::move(counter));
    }
}

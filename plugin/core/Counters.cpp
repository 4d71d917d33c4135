#include "core/Counters.h"

#include <algorithm>
#include <cstdint>
#include <set>

#include "core/Json.h"
#include "core/TextHelpers.h"

namespace {

struct BuiltinCounter {
    const char* name;
    const char* incrementTrigger;
    const char* resetTrigger;
};

// "artboard", "row_file" and "job" count within one export; "file" and "running_file" over the
// plug-in's life; "export" counts exports; "template_file" moves only when a client says so.
constexpr BuiltinCounter kBuiltinCounters[] = {
    {"artboard", "artboard", "export"},
    {"file", "file", "manual"},
    {"row_file", "file", "export"},
    {"running_file", "file", "manual"},
    {"template_file", "template_file", "manual"},
    {"job", "job", "export"},
    {"export", "export", "manual"},
};

std::string ReadName(const json& fields, const char* key) {
    std::string name;
    ReadJsonValue(fields, key, name);
    return NormalizeCounterName(name);
}

// The counter a request names: "counter", else "name".
std::string NamedCounter(const json& fields) {
    std::string name = ReadName(fields, "counter");
    return name.empty() ? ReadName(fields, "name") : name;
}

}  // namespace

std::string NormalizeCounterName(const std::string& name) {
    std::string normalized;
    for (char c : name) {
        c = AsciiLower(c);
        if (c == '-' || c == ' ') {
            c = '_';
        }
        if (c == '_' && !normalized.empty() && normalized.back() == '_') {
            continue;
        }
        normalized += c;
    }
    if (!normalized.empty() && normalized.front() == '_') {
        normalized.erase(0, 1);
    }
    if (!normalized.empty() && normalized.back() == '_') {
        normalized.pop_back();
    }
    return normalized;
}

int WrappingAdd(int count, long long step) {
    const auto sum =
        static_cast<std::uint64_t>(static_cast<long long>(count)) + static_cast<std::uint64_t>(step);
    return static_cast<int>(static_cast<std::uint32_t>(sum));
}

void Counter::AddToCounter(const json& fields) {
    ReadJsonValue(fields, "start", start);
    ReadJsonValue(fields, "incrementBy", incrementBy);
    ReadJsonValue(fields, "count", count);
    if (ReadJsonValue(fields, "incrementTrigger", incrementTrigger)) {
        incrementTrigger = NormalizeCounterName(incrementTrigger);
    }
    if (ReadJsonValue(fields, "resetTrigger", resetTrigger)) {
        resetTrigger = NormalizeCounterName(resetTrigger);
    }
    ReadJsonValue(fields, "padding", padding);
    ReadJsonValue(fields, "standard", standard);
    ReadJsonValue(fields, "builtin", builtin);
    ReadJsonValue(fields, "erasable", erasable);
}

json Counter::WriteJson() const {
    return json{{"name", name},
                {"start", start},
                {"incrementBy", incrementBy},
                {"count", count},
                {"incrementTrigger", incrementTrigger},
                {"resetTrigger", resetTrigger},
                {"padding", padding},
                {"standard", standard},
                {"builtin", builtin},
                {"erasable", erasable}};
}

std::string Counter::Pad() const {
    std::string digits = std::to_string(count);
    const auto width = static_cast<std::size_t>(std::clamp(padding, 0, kMaxCounterPadding));
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    return digits;
}

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

std::size_t Counters::Find(const std::string& name) const {
    const std::string key = NormalizeCounterName(name);
    for (std::size_t i = 0; i < fCounters.size(); ++i) {
        if (fCounters[i].name == key) {
            return i;
        }
    }
    return kNotFound;
}

Counters::Indices Counters::FindByTrigger(const std::string& trigger, std::string Counter::*field) const {
    const std::string key = NormalizeCounterName(trigger);
    Indices found;
    for (std::size_t i = 0; i < fCounters.size(); ++i) {
        if (fCounters[i].*field == key) {
            found.push_back(i);
        }
    }
    return found;
}

Counters::Indices Counters::FindByIncrementTrigger(const std::string& trigger) const {
    return FindByTrigger(trigger, &Counter::incrementTrigger);
}

Counters::Indices Counters::FindByResetTrigger(const std::string& trigger) const {
    return FindByTrigger(trigger, &Counter::resetTrigger);
}

Counters::Indices Counters::GetAllCounters() const {
    Indices all(fCounters.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i] = i;
    }
    return all;
}

Counters::Indices Counters::GetNonBuiltinCounters() const {
    Indices found;
    for (std::size_t i = 0; i < fCounters.size(); ++i) {
        if (!fCounters[i].builtin) {
            found.push_back(i);
        }
    }
    return found;
}

void Counters::Increment(const Indices& indices) {
    for (const std::size_t i : indices) {
        if (i < fCounters.size()) {
            fCounters[i].count = WrappingAdd(fCounters[i].count, fCounters[i].incrementBy);
        }
    }
}

void Counters::Increment(const Indices& indices, int by) {
    for (const std::size_t i : indices) {
        if (i < fCounters.size()) {
            fCounters[i].count = WrappingAdd(fCounters[i].count, by);
        }
    }
}

void Counters::Reset(const Indices& indices) {
    for (const std::size_t i : indices) {
        if (i < fCounters.size()) {
            fCounters[i].count = fCounters[i].start;
        }
    }
}

void Counters::Reset(const Indices& indices, int value) {
    for (const std::size_t i : indices) {
        if (i < fCounters.size()) {
            fCounters[i].count = value;
        }
    }
}

void Counters::Reset(const std::string& trigger) {
    Reset(FindByResetTrigger(trigger));
}

void Counters::Increment(const std::string& trigger) {
    Increment(FindByIncrementTrigger(trigger));
}

void Counters::ResetAndIncrement(const std::string& trigger) {
    Reset(trigger);
    Increment(trigger);
}

void Counters::Increment(const json& job) {
    Increment(JsonToCountersVector(job, false));
}

Counters::Indices Counters::JsonToCountersVector(const json& request, bool allWhenNoneNamed) const {
    bool all = false;
    if (ReadJsonValue(request, "all", all) && all) {
        return GetAllCounters();
    }
    std::set<std::string> names;
    if (const json* listed = FindKey(request, "counters"); listed != nullptr && listed->is_array()) {
        for (const json& name : *listed) {
            if (name.is_string()) {
                names.insert(NormalizeCounterName(name.get<std::string>()));
            }
        }
    }
    if (names.empty()) {
        return allWhenNoneNamed ? GetAllCounters() : Indices{};
    }
    Indices selected;
    for (std::size_t i = 0; i < fCounters.size(); ++i) {
        if (names.contains(fCounters[i].name)) {
            selected.push_back(i);
        }
    }
    return selected;
}

Counters::Indices Counters::Filter(const Indices& indices, const json& request, const char* key,
                                   std::string Counter::*trigger) const {
    std::string wanted;
    if (!ReadJsonValue(request, key, wanted) || wanted.empty()) {
        return indices;
    }
    wanted = NormalizeCounterName(wanted);
    Indices kept;
    for (const std::size_t i : indices) {
        if (i < fCounters.size() && fCounters[i].*trigger == wanted) {
            kept.push_back(i);
        }
    }
    return kept;
}

Counters::Indices Counters::FilterByIncrementTrigger(const Indices& indices, const json& request) const {
    return Filter(indices, request, "incrementTrigger", &Counter::incrementTrigger);
}

Counters::Indices Counters::FilterByResetTrigger(const Indices& indices, const json& request) const {
    return Filter(indices, request, "resetTrigger", &Counter::resetTrigger);
}

bool Counters::Add(const json& fields) {
    const std::string name = ReadName(fields, "name");
    if (name.empty() || Find(name) != kNotFound) {
        return false;
    }
    Counter counter;
    counter.name = name;
    counter.AddToCounter(fields);
    fCounters.push_back(std::move(counter));
    return true;
}

bool Counters::Edit(const json& fields) {
    const std::string name = NamedCounter(fields);
    const std::size_t found = name.empty() ? kNotFound : Find(name);
    if (found == kNotFound) {
        return false;
    }
    fCounters[found].AddToCounter(fields);
    return true;
}

bool Counters::AddEdit(const json& fields) {
    const std::string name = NamedCounter(fields);
    const std::string newName = ReadName(fields, "newName");
    const std::size_t found = name.empty() ? kNotFound : Find(name);
    if (found != kNotFound) {
        fCounters[found].AddToCounter(fields);
        if (!newName.empty()) {
            fCounters[found].name = newName;
        }
        return true;
    }
    if (newName.empty()) {
        return false;
    }
    Counter counter;
    counter.AddToCounter(fields);
    counter.name = newName;
    fCounters.push_back(std::move(counter));
    return true;
}

bool Counters::Remove(const json& request) {
    Indices selected = JsonToCountersVector(request, false);
    bool all = false;
    if (ReadJsonValue(request, "all", all) && all) {
        selected = GetNonBuiltinCounters();
    }
    if (selected.empty()) {
        return false;
    }
    Remove(std::move(selected));
    return true;
}

void Counters::Remove(Indices indices) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
        if (*it < fCounters.size() && !fCounters[*it].builtin && fCounters[*it].erasable) {
            fCounters.erase(fCounters.begin() + static_cast<std::ptrdiff_t>(*it));
        }
    }
}

void Counters::HardReset() {
    *this = Counters();
}

// Named counters that name templates print into exported file and folder names. The plug-in object
// holds one ordered set for its whole life; seven counters are built in.
//
// A counter advances and restarts through triggers: firing a trigger name resets every counter
// whose reset trigger has that name, and increments every counter whose increment trigger has it.
// Arithmetic on counts is done in 64 bits and stored modulo 2^32, so that a count wraps round
// instead of overflowing.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// The widest a printed count is padded to: a larger padding counts as this.
inline constexpr int kMaxCounterPadding = 255;

// A name or trigger as counters keep it: ASCII lower case, "-" and spaces as "_", runs of "_" as
// one, no "_" at either end.
std::string NormalizeCounterName(const std::string& name);

// count + step, done in 64 bits and stored modulo 2^32.
int WrappingAdd(int count, long long step);

struct Counter {
    std::string name;
    int start = 1;
    int incrementBy = 1;
    int count = 1;
    std::string incrementTrigger = "manual";
    std::string resetTrigger = "manual";
    int padding = 1;
    bool standard = true;
    bool builtin = false;
    bool erasable = true;

    // Sets the fields that the object holds with the right type ("name" is not read); triggers are
    // normalised.
    void AddToCounter(const nlohmann::json& fields);
    // The ten fields under their keys.
    nlohmann::json WriteJson() const;
    // The count in decimal, left-filled with "0" to "padding" characters (at most
    // kMaxCounterPadding); the zeros stand before a minus sign.
    std::string Pad() const;
};

class Counters {
public:
    using Indices = std::vector<std::size_t>;
    static constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

    // The built-in counters, in their fixed order.
    Counters();

    const std::vector<Counter>& All() const { return fCounters; }
    Counter& At(std::size_t index) { return fCounters.at(index); }

    // The first counter with the (normalised) name; kNotFound when none.
    std::size_t Find(const std::string& name) const;
    Indices FindByIncrementTrigger(const std::string& trigger) const;
    Indices FindByResetTrigger(const std::string& trigger) const;
    Indices GetAllCounters() const;
    Indices GetNonBuiltinCounters() const;

    // Indices out of range are skipped; an index listed twice counts twice.
    void Increment(const Indices& indices);
    void Increment(const Indices& indices, int by);
    void Reset(const Indices& indices);
    void Reset(const Indices& indices, int value);

    // Firing a trigger.
    void Reset(const std::string& trigger);
    void Increment(const std::string& trigger);
    void Increment(const char* trigger) { Increment(std::string(trigger)); }
    void ResetAndIncrement(const std::string& trigger);
    // The counters that an export job names ("counters", or "all").
    void Increment(const nlohmann::json& job);

    // "all" true: every counter; else those named by the "counters" array, in list order, each once;
    // no names given: every counter when allWhenNoneNamed, none otherwise.
    Indices JsonToCountersVector(const nlohmann::json& request, bool allWhenNoneNamed) const;
    // The given indices whose counter has the request's "incrementTrigger" ("resetTrigger"); all of
    // them when the request names no trigger.
    Indices FilterByIncrementTrigger(const Indices& indices, const nlohmann::json& request) const;
    Indices FilterByResetTrigger(const Indices& indices, const nlohmann::json& request) const;

    // A new counter from "name" and the counter keys; false when the name is empty or taken.
    bool Add(const nlohmann::json& fields);
    // Changes the counter named by "counter" (else "name"); false when none is found.
    bool Edit(const nlohmann::json& fields);
    // Edit, renamed to "newName" when given; or, for no known counter, a new one named "newName".
    bool AddEdit(const nlohmann::json& fields);
    // Removes the selected counters that are neither built-in nor kept; false for no selection.
    bool Remove(const nlohmann::json& request);
    void Remove(Indices indices);
    // Back to the seven built-ins with their defaults.
    void HardReset();

private:
    Indices Filter(const Indices& indices, const nlohmann::json& request, const char* key,
                   std::string Counter::*trigger) const;
    Indices FindByTrigger(const std::string& trigger, std::string Counter::*field) const;

    std::vector<Counter> fCounters;
};

// Named counters that name templates print into exported file and folder names. The plug-in object
// holds one ordered set for its whole life; seven counters are built in.
#pragma once

#include <string>
#include <vector>

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
};

class Counters {
public:
    // The built-in counters, in their fixed order.
    Counters();

    const std::vector<Counter>& All() const { return fCounters; }

private:
    std::vector<Counter> fCounters;
};

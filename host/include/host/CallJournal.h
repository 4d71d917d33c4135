// CallJournal: the record of what plug-ins asked of the host, in order, for tests to read.
//
// Recorded: suite acquisitions and releases, notifier registrations, application-context pushes
// and pops, undo kinds, plug-in names, plug-in access, error alerts, folder look-ups, theme colour
// queries, extension states, every message sent to a plug-in (and its return), panel events both
// ways, listener changes and exceptions stopped at a suite's boundary. String and file-path
// operations are too many to be worth recording.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "SPTypes.h"

namespace host {

struct JournalEntry {
    std::string operation;               // e.g. "AcquireSuite"
    std::vector<std::string> arguments;  // e.g. {"AI Undo Suite", "1012"}
    ASErr result = kNoErr;

    // "AcquireSuite(AI Undo Suite, 1012)"
    std::string Text() const;
};

class CallJournal {
public:
    void Record(std::string operation, std::vector<std::string> arguments = {}, ASErr result = kNoErr);
    void Clear() { fEntries.clear(); }
    // A long-running host can stop recording; queries then see what was recorded before.
    void SetEnabled(bool enabled) { fEnabled = enabled; }
    // Whether Record keeps entries: callers may skip building one that would be dropped.
    bool Enabled() const { return fEnabled; }

    const std::vector<JournalEntry>& Entries() const { return fEntries; }
    // Every entry as Text(), in order.
    std::vector<std::string> Texts() const;
    // The entries of one operation, in order.
    std::vector<JournalEntry> Find(std::string_view operation) const;
    std::size_t Count(std::string_view operation) const;
    // Whether an entry's Text() is exactly text.
    bool Contains(std::string_view text) const;

private:
    std::vector<JournalEntry> fEntries;
    bool fEnabled = true;
};

}  // namespace host

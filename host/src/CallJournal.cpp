// The call journal: what plug-ins asked of the host, in order.
#include "host/CallJournal.h"

#include <algorithm>

namespace host {

std::string JournalEntry::Text() const {
    std::string text = operation + "(";
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        text += (i == 0 ? "" : ", ") + arguments[i];
    }
    return text + ")";
}

void CallJournal::Record(std::string operation, std::vector<std::string> arguments, ASErr result) {
    if (fEnabled) {
        fEntries.push_back({std::move(operation), std::move(arguments), result});
    }
}

std::vector<std::string> CallJournal::Texts() const {
    std::vector<std::string> texts;
    texts.reserve(fEntries.size());
    for (const JournalEntry& entry : fEntries) {
        texts.push_back(entry.Text());
    }
    return texts;
}

std::vector<JournalEntry> CallJournal::Find(std::string_view operation) const {
    std::vector<JournalEntry> found;
    std::copy_if(fEntries.begin(), fEntries.end(), std::back_inserter(found),
                 [&](const JournalEntry& entry) { return entry.operation == operation; });
    return found;
}

std::size_t CallJournal::Count(std::string_view operation) const {
    return static_cast<std::size_t>(
        std::count_if(fEntries.begin(), fEntries.end(),
                      [&](const JournalEntry& entry) { return entry.operation == operation; }));
}

bool CallJournal::Contains(std::string_view text) const {
    return std::any_of(fEntries.begin(), fEntries.end(),
                       [&](const JournalEntry& entry) { return entry.Text() == text; });
}

}  // namespace host

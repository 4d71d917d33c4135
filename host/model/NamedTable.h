// NamedTable: an ordered list of records that each have a handle (`id`, a number from the handle
// counter, 0 for none) and a name, found by position, by handle and by name in constant time.
//
// The document's colour resources, swatches, named styles and symbols are such lists: panels show
// them in their order, while commands and suites ask for one record by its handle or its name, one
// after the other for every record of the list. Beside the records the table keeps where each handle
// sits and which handle holds each name, and every change of the list goes through the table so that
// both stay right: records are added and removed, and renamed, only here. The rest of a record may be
// changed in place (edit, editEach), which leaves its handle and name alone.
//
// Names need not be unique here (a swatch waiting for its name has the empty name, as every other
// such swatch): a name finds the first record in the list's order that has it. Two tables are equal
// when their records are; the indexes follow from the records and are left out of the comparison.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace host::model {

template <typename Record>
class NamedTable {
public:
    using Id = decltype(Record::id);

    std::size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }
    const std::vector<Record>& records() const { return records_; }
    const Record& operator[](std::size_t index) const { return records_[index]; }
    auto begin() const { return records_.begin(); }
    auto end() const { return records_.end(); }

    // The record's place in the list; size() for a handle that names none (the null handle too).
    std::size_t indexOf(Id id) const {
        const auto found = id ? places_.find(id.value) : places_.end();
        if (found == places_.end()) {
            return records_.size();
        }
        if (found->second >= settled_) {
            renumber();
        }
        return found->second;
    }
    // Null for a handle that names no record.
    const Record* find(Id id) const {
        const std::size_t index = indexOf(id);
        return index < records_.size() ? &records_[index] : nullptr;
    }
    // The first record in order with the name; null when none has it.
    const Record* byName(std::string_view name) const {
        const auto found = names_.find(name);
        return found == names_.end() ? nullptr : find(found->second.first);
    }

    // Adds the record at the index (beyond the last: at the end). Its handle must be new to the table.
    void insert(std::size_t index, Record record) {
        const std::size_t at = std::min(index, records_.size());
        records_.insert(records_.begin() + static_cast<std::ptrdiff_t>(at), std::move(record));
        places_[records_[at].id.value] = at;
        unsettleFrom(at);
        addName(at);
    }
    void pushBack(Record record) { insert(records_.size(), std::move(record)); }

    // Removes the record the handle names, if any.
    void erase(Id id) {
        const std::size_t index = indexOf(id);
        if (index == records_.size()) {
            return;
        }
        dropName(index);
        places_.erase(id.value);
        records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index));
        unsettleFrom(index);
    }

    // Gives the record the handle names (if any) the name.
    void rename(Id id, std::string name) {
        const std::size_t index = indexOf(id);
        if (index == records_.size()) {
            return;
        }
        dropName(index);
        records_[index].name = std::move(name);
        addName(index);
    }

    // The record to change in place: anything but its handle and its name. Null when none.
    Record* edit(Id id) {
        const std::size_t index = indexOf(id);
        return index < records_.size() ? &records_[index] : nullptr;
    }
    Record& editAt(std::size_t index) { return records_[index]; }
    // Offers every record in order to visit, which may change anything but handles and names.
    template <typename Visit>
    void editEach(Visit visit) {
        for (Record& record : records_) {
            visit(record);
        }
    }

    friend bool operator==(const NamedTable& a, const NamedTable& b) { return a.records_ == b.records_; }

private:
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    // For each name: the handle of its first record in order, and how many records have it.
    using NameIndex = std::unordered_map<std::string, std::pair<Id, std::size_t>, NameHash, std::equal_to<>>;

    // The records from the index on have moved. Their places are put right when one of them is
    // next asked for, so that a run of removals that goes from the back of the list to its front,
    // each after a look-up of the record it removes, renumbers nothing until the run ends.
    void unsettleFrom(std::size_t index) { settled_ = std::min(settled_, index); }
    void renumber() const {
        for (std::size_t i = settled_; i < records_.size(); ++i) {
            places_[records_[i].id.value] = i;
        }
        settled_ = records_.size();
    }

    // The record at the index has joined the holders of its name.
    void addName(std::size_t index) {
        const Record& record = records_[index];
        const auto [entry, added] = names_.try_emplace(record.name, record.id, 0);
        ++entry->second.second;
        if (!added && index < indexOf(entry->second.first)) {
            entry->second.first = record.id;
        }
    }

    // The record at the index is about to leave the holders of its name; the next holder in order
    // takes its place as the first.
    void dropName(std::size_t index) {
        const Record& record = records_[index];
        const auto entry = names_.find(std::string_view(record.name));
        if (--entry->second.second == 0) {
            names_.erase(entry);
            return;
        }
        if (entry->second.first == record.id) {
            std::size_t next = index + 1;
            while (records_[next].name != record.name) {
                ++next;
            }
            entry->second.first = records_[next].id;
        }
    }

    std::vector<Record> records_;
    // Handle -> index in records_; right for every index below settled_, and for the others once
    // renumbered.
    mutable std::unordered_map<std::uint64_t, std::size_t> places_;
    mutable std::size_t settled_ = 0;
    NameIndex names_;
};

}  // namespace host::model

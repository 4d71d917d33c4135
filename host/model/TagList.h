// The tag entries of one art object: named, typed text values kept in ascending order of their
// names.
#pragma once

#include <cstddef>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/Status.h"

namespace host::model {

struct TagEntry {
    std::string name;   // unique within the list, non-empty UTF-8
    std::string type;   // the value's type name as the writer gave it, e.g. "string"; non-empty UTF-8
    std::string value;  // UTF-8, may be empty

    bool operator==(const TagEntry&) const = default;
};

// Entry n (counting from 0) is the n-th in byte-wise ascending order of names, so indices change as
// entries are added or removed; walking from the last index down while removing stays valid.
// Setting, reading and removing by name take logarithmic time; reading by index is constant once
// the order has been listed, which happens again only after a new name is added. Copies share the
// entries until one of them changes, so that copying an object's data for an edit that leaves its
// tags alone costs a pointer.
class TagList {
public:
    struct ByName {
        using is_transparent = void;
        bool operator()(const TagEntry& a, const TagEntry& b) const { return a.name < b.name; }
        bool operator()(const TagEntry& a, std::string_view b) const { return a.name < b; }
        bool operator()(std::string_view a, const TagEntry& b) const { return a < b.name; }
    };
    using Entries = std::set<TagEntry, ByName>;

    TagList() = default;
    TagList(const TagList& other) : entries_(other.entries_) {}
    TagList(TagList&& other) noexcept : entries_(std::exchange(other.entries_, nullptr)) {}
    TagList& operator=(const TagList& other);
    TagList& operator=(TagList&& other) noexcept;

    // Adds the entry, or overwrites type and value of the entry of that name.
    // badParameter: empty or malformed name or type, malformed value.
    Status set(std::string_view name, std::string_view type, std::string_view value);
    // The value of the named entry. notFound: no such entry; wrongType: the entry has another type.
    Result<std::string> get(std::string_view name, std::string_view type) const;
    // notFound when there is no such entry.
    Status remove(std::string_view name);

    bool contains(std::string_view name) const { return find(name) != nullptr; }
    std::size_t size() const { return entries().size(); }
    bool empty() const { return entries().empty(); }
    // The named entry; null when there is none.
    const TagEntry* find(std::string_view name) const;
    // The n-th entry; null when n is out of range.
    const TagEntry* at(std::size_t index) const;
    // The name of the n-th entry. notFound when n is out of range.
    Result<std::string> nameAt(std::size_t index) const;
    // Every entry, in order.
    const Entries& entries() const;

    bool operator==(const TagList& other) const {
        return entries_ == other.entries_ || entries() == other.entries();
    }

private:
    void forgetOrder() const;
    // The entries, made this list's own first when another list shares them.
    Entries& editEntries();

    // Shared with copies until one of them changes; null for no entries.
    std::shared_ptr<Entries> entries_;
    // The entries in order, for reading by index; listed when first needed after a name was added.
    mutable std::vector<const TagEntry*> order_;
    mutable bool ordered_ = false;
};

}  // namespace host::model

// The tag entries of one art object: named, typed text values kept in ascending order of their
// names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
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
class TagList {
public:
    // Adds the entry, or overwrites type and value of the entry of that name.
    // badParameter: empty or malformed name or type, malformed value.
    Status set(std::string_view name, std::string_view type, std::string_view value);
    // The value of the named entry. notFound: no such entry; wrongType: the entry has another type.
    Result<std::string> get(std::string_view name, std::string_view type) const;
    // notFound when there is no such entry.
    Status remove(std::string_view name);

    bool contains(std::string_view name) const;
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    // The name of the n-th entry. notFound when n is out of range.
    Result<std::string> nameAt(std::size_t index) const;
    const std::vector<TagEntry>& entries() const { return entries_; }

    bool operator==(const TagList&) const = default;

private:
    std::vector<TagEntry>::const_iterator lowerBound(std::string_view name) const;

    std::vector<TagEntry> entries_;
};

}  // namespace host::model

#include "model/TagList.h"

#include <algorithm>

#include "model/Utf8.h"

namespace host::model {

std::vector<TagEntry>::const_iterator TagList::lowerBound(std::string_view name) const {
    return std::lower_bound(entries_.begin(), entries_.end(), name,
                            [](const TagEntry& entry, std::string_view key) { return entry.name < key; });
}

Status TagList::set(std::string_view name, std::string_view type, std::string_view value) {
    if (name.empty() || type.empty() || !isValidUtf8(name) || !isValidUtf8(type) || !isValidUtf8(value)) {
        return Status::badParameter;
    }
    const auto found = lowerBound(name);
    const auto offset = found - entries_.begin();
    if (found != entries_.end() && found->name == name) {
        entries_[offset].type = type;
        entries_[offset].value = value;
        return Status::ok;
    }
    entries_.insert(entries_.begin() + offset,
                    TagEntry{std::string(name), std::string(type), std::string(value)});
    return Status::ok;
}

Result<std::string> TagList::get(std::string_view name, std::string_view type) const {
    const auto found = lowerBound(name);
    if (found == entries_.end() || found->name != name) {
        return Status::notFound;
    }
    if (found->type != type) {
        return Status::wrongType;
    }
    return found->value;
}

Status TagList::remove(std::string_view name) {
    const auto found = lowerBound(name);
    if (found == entries_.end() || found->name != name) {
        return Status::notFound;
    }
    entries_.erase(found);
    return Status::ok;
}

bool TagList::contains(std::string_view name) const {
    const auto found = lowerBound(name);
    return found != entries_.end() && found->name == name;
}

Result<std::string> TagList::nameAt(std::size_t index) const {
    if (index >= entries_.size()) {
        return Status::notFound;
    }
    return entries_[index].name;
}

}  // namespace host::model

#include "model/TagList.h"

#include <algorithm>
#include <utility>

#include "model/Utf8.h"

namespace host::model {

TagList& TagList::operator=(const TagList& other) {
    if (this != &other) {
        entries_ = other.entries_;
        forgetOrder();
    }
    return *this;
}

TagList& TagList::operator=(TagList&& other) noexcept {
    entries_ = std::move(other.entries_);
    forgetOrder();
    other.forgetOrder();
    return *this;
}

const TagList::Entries& TagList::entries() const {
    static const Entries none;
    return entries_ != nullptr ? *entries_ : none;
}

TagList::Entries& TagList::editEntries() {
    if (entries_ == nullptr) {
        entries_ = std::make_shared<Entries>();
    } else if (entries_.use_count() > 1) {
        // The listed order points into the shared entries, not into this list's new copy.
        entries_ = std::make_shared<Entries>(*entries_);
        forgetOrder();
    }
    return *entries_;
}

void TagList::forgetOrder() const {
    order_.clear();
    ordered_ = false;
}

Status TagList::set(std::string_view name, std::string_view type, std::string_view value) {
    if (name.empty() || type.empty() || !isValidUtf8(name) || !isValidUtf8(type) || !isValidUtf8(value)) {
        return Status::badParameter;
    }
    Entries& entries = editEntries();
    const auto found = entries.find(name);
    if (found != entries.end()) {
        // The entry keeps its node, so the listed order (pointers to entries) stays valid.
        auto node = entries.extract(found);
        node.value().type = type;
        node.value().value = value;
        entries.insert(std::move(node));
        return Status::ok;
    }
    entries.insert(TagEntry{std::string(name), std::string(type), std::string(value)});
    forgetOrder();
    return Status::ok;
}

Result<std::string> TagList::get(std::string_view name, std::string_view type) const {
    const TagEntry* entry = find(name);
    if (entry == nullptr) {
        return Status::notFound;
    }
    if (entry->type != type) {
        return Status::wrongType;
    }
    return entry->value;
}

Status TagList::remove(std::string_view name) {
    if (!contains(name)) {
        return Status::notFound;
    }
    Entries& entries = editEntries();
    const auto found = entries.find(name);
    if (ordered_) {
        const auto listed =
            std::lower_bound(order_.begin(), order_.end(), name,
                             [](const TagEntry* entry, std::string_view key) { return entry->name < key; });
        order_.erase(listed);
    }
    entries.erase(found);
    return Status::ok;
}

const TagEntry* TagList::find(std::string_view name) const {
    const Entries& entries = this->entries();
    const auto found = entries.find(name);
    return found == entries.end() ? nullptr : &*found;
}

const TagEntry* TagList::at(std::size_t index) const {
    const Entries& entries = this->entries();
    if (index >= entries.size()) {
        return nullptr;
    }
    if (!ordered_) {
        order_.clear();
        order_.reserve(entries.size());
        for (const TagEntry& entry : entries) {
            order_.push_back(&entry);
        }
        ordered_ = true;
    }
    return order_[index];
}

Result<std::string> TagList::nameAt(std::size_t index) const {
    const TagEntry* entry = at(index);
    if (entry == nullptr) {
        return Status::notFound;
    }
    return entry->name;
}

}  // namespace host::model

// IdMap: a map from object handles to values for the records one edit gathers by the
// thousand: the change log's earlier states and the selection marks.
//
// Entries lie side by side in the order they were added; a table of their handles and places, open
// addressed and at most half full, finds one. Growing rebuilds only that table, so a command
// that touches every object of a large document never walks entries scattered over the heap, as a
// node-based map does each time it grows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace host::model {

template <typename Id, typename Value>
class IdMap {
public:
    using Entry = std::pair<Id, Value>;

    auto begin() { return entries_.begin(); }
    auto end() { return entries_.end(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    bool contains(Id id) const { return find(id) != nullptr; }

    // The value of the handle; null when the map has none.
    const Value* find(Id id) const {
        const std::uint32_t index = slots_.empty() ? kFree : slots_[slotOf(id)].index;
        return index == kFree ? nullptr : &entries_[index].second;
    }
    Value* find(Id id) { return const_cast<Value*>(std::as_const(*this).find(id)); }

    // Adds the handle with a value made of the arguments, unless the map has it already (then the
    // arguments are left alone); true when added.
    template <typename... Args>
    bool try_emplace(Id id, Args&&... args) {
        if (2 * (entries_.size() + 1) > slots_.size()) {
            rebuildSlots(slots_.empty() ? kFirstSlots : 2 * slots_.size());
        }
        Slot& slot = slots_[slotOf(id)];
        if (slot.index != kFree) {
            return false;
        }
        entries_.emplace_back(std::piecewise_construct, std::forward_as_tuple(id),
                              std::forward_as_tuple(std::forward<Args>(args)...));
        slot = Slot{id, static_cast<std::uint32_t>(entries_.size() - 1)};
        return true;
    }

    // Removes every entry the predicate holds for; the others keep their order.
    template <typename Predicate>
    void eraseIf(Predicate erases) {
        std::erase_if(entries_, erases);
        rebuildSlots(slots_.size());
    }

private:
    static constexpr std::uint32_t kFree = UINT32_MAX;
    static constexpr std::size_t kFirstSlots = 16;

    // A place in the table: the handle beside its entry's index, so that probing reads the table only.
    struct Slot {
        Id id;
        std::uint32_t index = kFree;
    };

    // The slot that holds the handle's entry, or the free slot where it would go. Handles are
    // numbers from one counter, so their product with an odd constant spreads them well.
    std::size_t slotOf(Id id) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t slot = static_cast<std::size_t>((id.value * 0x9E3779B97F4A7C15ull) >> 32) & mask;
        while (slots_[slot].index != kFree && slots_[slot].id != id) {
            slot = (slot + 1) & mask;
        }
        return slot;
    }

    void rebuildSlots(std::size_t count) {
        slots_.assign(count, Slot{});
        for (std::size_t index = 0; index < entries_.size(); ++index) {
            const Id id = entries_[index].first;
            slots_[slotOf(id)] = Slot{id, static_cast<std::uint32_t>(index)};
        }
    }

    std::vector<Entry> entries_;
    std::vector<Slot> slots_;  // a power of two of them, or none
};

}  // namespace host::model

// HandleTable: the objects behind one kind of opaque host handle.
//
// A handle is a number dressed as a pointer; it is never dereferenced. Numbers come from one
// process-wide counter, so a handle is never reused (not even by another table or another
// application), and a disposed, foreign or made-up handle simply isn't found. Numbers only grow, so
// a table keeps its objects in the order of their numbers and finds one by bisection.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace host {

namespace detail {
// The next unused handle number.
std::uintptr_t NextHandleNumber();
}  // namespace detail

template <typename Object>
class HandleTable {
public:
    // Takes the object and answers its new handle, as the pointer type Handle.
    template <typename Handle>
    Handle Add(std::unique_ptr<Object> object) {
        const std::uintptr_t number = detail::NextHandleNumber();
        if (fVisiting == 0 && fRemoved > kKeptRemoved && 2 * fRemoved > fEntries.size()) {
            Compact();
        }
        fEntries.push_back(Entry{number, std::move(object)});
        return reinterpret_cast<Handle>(number);
    }

    // Takes the object by value, into the storage of one removed earlier when the table kept some:
    // the text engine hands out and releases several short-lived objects per call of a script.
    template <typename Handle>
    Handle Add(Object object) {
        static_assert(std::is_nothrow_move_constructible_v<Object>);
        void* storage = fSpare.Take();
        return Add<Handle>(storage != nullptr
                               ? std::unique_ptr<Object>(new (storage) Object(std::move(object)))
                               : std::make_unique<Object>(std::move(object)));
    }

    // The object behind a handle; null for a null, disposed or unknown handle.
    Object* Find(const void* handle) const {
        const Entry* entry = EntryOf(handle);
        return entry != nullptr ? entry->object.get() : nullptr;
    }

    // False when the handle names nothing.
    bool Remove(const void* handle) {
        Entry* entry = const_cast<Entry*>(EntryOf(handle));
        if (entry == nullptr) {
            return false;
        }
        std::unique_ptr<Object> removed = std::move(entry->object);
        ++fRemoved;
        while (fVisiting == 0 && !fEntries.empty() && fEntries.back().object == nullptr) {
            fEntries.pop_back();
            --fRemoved;
        }
        fSpare.Keep(std::move(removed));
        return true;
    }

    std::size_t Size() const { return fEntries.size() - fRemoved; }
    void Clear() {
        fEntries.clear();
        fRemoved = 0;
    }

    // Calls visit(handle number, object) in the order the handles were made. The visitor may add
    // and remove handles: entries keep their places until the walk ends, and handles added during
    // the walk are visited too.
    template <typename Visitor>
    void ForEach(Visitor&& visit) const {
        const Walk walk(fVisiting);
        for (std::size_t i = 0; i < fEntries.size(); ++i) {
            if (const Object* object = fEntries[i].object.get()) {
                visit(fEntries[i].number, *object);
            }
        }
    }
    template <typename Visitor>
    void ForEach(Visitor&& visit) {
        const Walk walk(fVisiting);
        for (std::size_t i = 0; i < fEntries.size(); ++i) {
            if (Object* object = fEntries[i].object.get()) {
                visit(fEntries[i].number, *object);
            }
        }
    }

private:
    // Entries stay in the order their handles were made, which is the order of their numbers; a
    // removed one keeps its place, empty, until the table is compacted.
    struct Entry {
        std::uintptr_t number = 0;
        std::unique_ptr<Object> object;
    };
    // Removed entries kept before the table is compacted (once they are also half of it).
    static constexpr std::size_t kKeptRemoved = 32;

    // The live entry of the handle; null when there is none.
    const Entry* EntryOf(const void* handle) const {
        const auto number = reinterpret_cast<std::uintptr_t>(handle);
        const auto found =
            std::lower_bound(fEntries.begin(), fEntries.end(), number,
                             [](const Entry& entry, std::uintptr_t n) { return entry.number < n; });
        return found != fEntries.end() && found->number == number && found->object != nullptr ? &*found
                                                                                              : nullptr;
    }

    // Counts a walk in progress for as long as it lasts.
    struct Walk {
        explicit Walk(int& walks) : count(walks) { ++count; }
        ~Walk() { --count; }
        Walk(const Walk&) = delete;
        Walk& operator=(const Walk&) = delete;
        int& count;
    };

    // The storage of a few removed objects, destroyed but not yet freed, for the next Adds.
    class SpareStorage {
    public:
        SpareStorage() = default;
        SpareStorage(SpareStorage&& other) noexcept
            : fKept(other.fKept), fCount(std::exchange(other.fCount, 0)) {}
        SpareStorage& operator=(SpareStorage&& other) noexcept {
            std::swap(fKept, other.fKept);
            std::swap(fCount, other.fCount);
            return *this;
        }
        ~SpareStorage() {
            for (std::size_t i = 0; i < fCount; ++i) {
                ::operator delete(fKept[i]);
            }
        }

        // Destroys the object, keeping its storage while there is room (freeing it otherwise).
        void Keep(std::unique_ptr<Object> object) {
            if (fCount < fKept.size()) {
                Object* storage = object.release();
                storage->~Object();
                fKept[fCount++] = storage;
            }
        }
        // Storage for one object; null when none is kept.
        void* Take() { return fCount > 0 ? fKept[--fCount] : nullptr; }

    private:
        std::array<void*, 16> fKept{};
        std::size_t fCount = 0;
    };

    void Compact() {
        std::erase_if(fEntries, [](const Entry& entry) { return entry.object == nullptr; });
        fRemoved = 0;
    }

    std::vector<Entry> fEntries;  // in increasing number
    SpareStorage fSpare;
    std::size_t fRemoved = 0;   // empty entries
    mutable int fVisiting = 0;  // walks in progress: no entry moves while one runs
};

}  // namespace host

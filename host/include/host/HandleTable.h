// HandleTable: the objects behind one kind of opaque host handle.
//
// A handle is a number dressed as a pointer; it is never dereferenced. Numbers come from one
// process-wide counter, so a handle is never reused (not even by another table or another
// application), and a disposed, foreign or made-up handle simply isn't found.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

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
        fObjects.emplace(number, std::move(object));
        return reinterpret_cast<Handle>(number);
    }

    // The object behind a handle; null for a null, disposed or unknown handle.
    Object* Find(const void* handle) const {
        const auto found = fObjects.find(reinterpret_cast<std::uintptr_t>(handle));
        return found != fObjects.end() ? found->second.get() : nullptr;
    }

    // False when the handle names nothing.
    bool Remove(const void* handle) { return fObjects.erase(reinterpret_cast<std::uintptr_t>(handle)) != 0; }

    std::size_t Size() const { return fObjects.size(); }
    void Clear() { fObjects.clear(); }

    // Calls visit(handle number, object) in the order the handles were made.
    template <typename Visitor>
    void ForEach(Visitor&& visit) const {
        for (const auto& [number, object] : fObjects) {
            visit(number, *object);
        }
    }
    template <typename Visitor>
    void ForEach(Visitor&& visit) {
        for (auto& [number, object] : fObjects) {
            visit(number, *object);
        }
    }

private:
    std::map<std::uintptr_t, std::unique_ptr<Object>> fObjects;
};

}  // namespace host

// DerivedCache: a value worked out from the state of its owner and kept with it while that state
// holds still, so that a run of operations pays for working it out once.
//
// The owner forgets it (clear) at every change that could make it wrong. A copy or a move of the
// holder starts empty, and a moved-from holder is emptied too: a value never outlives, or travels
// apart from, the state it was worked out from. Holders always compare equal, so the owner's
// equality is that of its state alone.
#pragma once

#include <optional>
#include <utility>

namespace host::model {

template <typename T>
class DerivedCache {
public:
    DerivedCache() = default;
    DerivedCache(const DerivedCache&) {}
    DerivedCache(DerivedCache&& other) noexcept { other.clear(); }
    DerivedCache& operator=(const DerivedCache&) {
        clear();
        return *this;
    }
    DerivedCache& operator=(DerivedCache&& other) noexcept {
        clear();
        other.clear();
        return *this;
    }

    void clear() { value_.reset(); }
    // The value kept, handed out and forgotten (none when there is none): the caller keeps it
    // again once the change it makes is reflected in it.
    std::optional<T> take() { return std::exchange(value_, std::nullopt); }
    void keep(T value) { value_ = std::move(value); }

    bool operator==(const DerivedCache&) const { return true; }

private:
    std::optional<T> value_;
};

}  // namespace host::model

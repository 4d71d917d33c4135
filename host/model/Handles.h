// Handles: opaque, never reused numbers that name art objects, layers and symbols of a document.
#pragma once

#include <compare>
#include <cstdint>
#include <functional>

namespace host::model {

// Every handle of every document in the process is drawn from one counter, so a handle value is
// never given out twice: not after its object is disposed, not by another document, not after a
// document is restored from an older copy of itself. 0 is the null handle.
std::uint64_t nextHandleValue();

struct ArtId {
    std::uint64_t value = 0;

    explicit operator bool() const { return value != 0; }
    auto operator<=>(const ArtId&) const = default;
};

struct LayerId {
    std::uint64_t value = 0;

    explicit operator bool() const { return value != 0; }
    auto operator<=>(const LayerId&) const = default;
};

struct SymbolId {
    std::uint64_t value = 0;

    explicit operator bool() const { return value != 0; }
    auto operator<=>(const SymbolId&) const = default;
};

}  // namespace host::model

template <>
struct std::hash<host::model::ArtId> {
    std::size_t operator()(host::model::ArtId id) const noexcept {
        return std::hash<std::uint64_t>{}(id.value);
    }
};

template <>
struct std::hash<host::model::LayerId> {
    std::size_t operator()(host::model::LayerId id) const noexcept {
        return std::hash<std::uint64_t>{}(id.value);
    }
};

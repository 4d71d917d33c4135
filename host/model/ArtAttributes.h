// The user-attribute bits of art objects, as the host's art suite reads and writes them.
#pragma once

#include <cstdint>

namespace host::model {

using ArtAttributes = std::uint32_t;

namespace attribute {

inline constexpr ArtAttributes selected = 0x1;
inline constexpr ArtAttributes locked = 0x2;
inline constexpr ArtAttributes hidden = 0x4;
// Derived, read only: a leaf that is selected, or a container with children all fully selected.
inline constexpr ArtAttributes fullySelected = 0x8;
inline constexpr ArtAttributes clippingMask = 0x1000;
inline constexpr ArtAttributes textWrap = 0x10000;

// The bits an art object stores. Writing other bits (fully selected included) changes nothing.
inline constexpr ArtAttributes stored = selected | locked | hidden | clippingMask | textWrap;
// Every bit the host reports.
inline constexpr ArtAttributes known = stored | fullySelected;

}  // namespace attribute
}  // namespace host::model

// Where new, copied or moved art goes relative to a target ("prep") art object.
#pragma once

#include <optional>

namespace host::model {

// The codes are the host's paint-order numbers.
enum class PaintOrder : int {
    above = 1,           // directly in front of the target, in the target's container
    below = 2,           // directly behind the target
    insideOnTop = 3,     // first (front-most) child of the target container
    insideOnBottom = 4,  // last (back-most) child of the target container
    aboveAll = 5,        // in front of all art: first child of the first layer (target ignored)
    belowAll = 6,        // behind all art: last child of the last layer (target ignored)
};

inline std::optional<PaintOrder> paintOrderFromCode(int code) {
    if (code < 1 || code > 6) {
        return std::nullopt;
    }
    return static_cast<PaintOrder>(code);
}

inline bool needsTarget(PaintOrder order) {
    return order != PaintOrder::aboveAll && order != PaintOrder::belowAll;
}

}  // namespace host::model

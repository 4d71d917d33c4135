// Artboards: the pages of a document, each a rectangle of the artwork with the settings the
// application shows it with.
#pragma once

#include <string>

#include "model/Point.h"
#include "model/Rect.h"

namespace host::model {

struct Artboard {
    // Where the artboard lies, in document coordinates (y grows upward); width and height above 0.
    // A new artboard is a letter page.
    Rect bounds{0.0, 792.0, 612.0, 0.0};
    std::string name;  // UTF-8
    // Where the rulers count from, measured from the artboard's top-left corner with y growing
    // downward, as the rulers count.
    Point rulerOrigin;
    double pixelAspectRatio = 1.0;  // above 0
    bool showCenter = false;
    bool showCrossHairs = false;
    bool showSafeAreas = false;
    bool operator==(const Artboard&) const = default;
};

// The artboard a new document has: a letter page named "Artboard 1".
Artboard defaultArtboard();

// Finite numbers, a rectangle of positive width and height, a ratio above 0 and UTF-8 text.
bool isValidArtboard(const Artboard& artboard);

// A document holds at most this many artboards.
inline constexpr std::size_t kMaxArtboards = 1000;

}  // namespace host::model

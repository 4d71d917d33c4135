// Where on the surface an object's drawing can reach, so that the images an object is composited in
// (for its opacity, its blend mode or its effects) are the size of what they hold rather than the
// size of all the surface shows.
#pragma once

#include <cmath>
#include <optional>

#include "model/Document.h"

typedef struct _cairo cairo_t;

namespace host {

// The rectangle, in the object's own coordinates, that holds everything drawing the object can touch:
// its geometry, its strokes (mitred joins included), its effects' reach and a pixel's margin for
// antialiasing. Empty for an object that draws nothing (hidden, or a group of such); none when it
// is not known beforehand (text, symbol instances, or a group that holds them).
std::optional<model::Rect> DrawnExtent(const model::Document& document, const model::ArtNode& art);
std::optional<model::Rect> DrawnExtent(const model::Document& document, const model::ArtTree& art);

// A rectangle in device units, y growing downward; whole units where the functions below make one.
struct DeviceBox {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;

    double width() const { return right - left; }
    double height() const { return bottom - top; }
    // No area, or not finite.
    bool isEmpty() const { return !(width() > 0.0 && height() > 0.0 && std::isfinite(width() * height())); }
};

// What the context shows, in device units grown outward to whole units.
DeviceBox DeviceClip(cairo_t* cr);

// Saves the context's state and clips it further to the extent (user space), grown outward to whole
// device units, so that a group pushed next is no larger than it. False, with nothing saved, when
// the matrix or the extent can't be used that way (the clip is then left as it was).
bool ClipToExtent(cairo_t* cr, const model::Rect& extent);

}  // namespace host

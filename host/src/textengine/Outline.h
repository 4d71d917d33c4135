// Where the glyphs of laid-out text stand, and their outlines, for drawing text frames, outlining
// them and expanding text.
//
// Each laid-out character stands where the layout put it: its glyph scaled to its size and
// horizontal and vertical scale, turned by its character rotation about its origin, lifted by its
// baseline shift, moved by its line's justification (area text), and painted with its fill and
// stroke. Overset characters stand nowhere. Glyphs on a path stand upright at their place along it.
// Drawing and outlining take their places from here, so a frame's picture and its outline agree.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "model/Document.h"

namespace host::text {

// One laid-out character of a frame (paragraph breaks and the second halves of surrogate pairs
// have none).
struct PlacedGlyph {
    std::size_t unit = 0;  // its first unit in the story
    std::size_t face = 0;  // in the installed font list
    char32_t codePoint = 0;
    model::Matrix place;                     // font units (y upward) to document points
    std::optional<model::TextColor> fill;    // none: not filled
    std::optional<model::TextColor> stroke;  // none: not stroked
    double strokeWidth = 0;
};

// The frame's own characters, in story order; none for art that is no text frame.
std::vector<PlacedGlyph> PlaceGlyphs(const model::Document& document, model::ArtId frame);

// The shapes of the frame's own characters that have a glyph outline, in story order.
std::vector<model::OutlineShape> GlyphShapes(const model::Document& document, model::ArtId frame);

}  // namespace host::text

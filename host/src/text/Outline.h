// Glyph outlines of laid-out text, for outlining text frames and expanding text.
//
// Each laid-out character with a glyph becomes one shape: the glyph's contours from the font
// (quadratic pieces raised to cubics) scaled to its size and horizontal and vertical scale, turned
// by its character rotation about its origin, lifted by its baseline shift, moved by its line's
// justification (area text), and painted with its fill and stroke. Overset characters have no
// shape. Glyphs on a path stand upright at their place along it.
#pragma once

#include <vector>

#include "model/Document.h"

namespace host::text {

// The shapes of the frame's own characters, in story order; none for art that is no text frame.
std::vector<model::OutlineShape> GlyphShapes(const model::Document& document, model::ArtId frame);

}  // namespace host::text

// The text engine's line layout: where each unit of a story stands in the frames of its thread.
//
// One glyph per code point, advances from the font (font units, unhinted) times size / units per
// em times horizontal scale, plus tracking in thousandths of an em. Area text wraps greedily at
// spaces (trailing spaces hang outside the frame); a word longer than the line breaks where it
// stops fitting. The first line of a paragraph starts at its first-line indent. A line's ascent and
// descent are the largest of its fonts'; lines are spaced by their leading (auto leading: 120 % of
// the largest size). A line fits when its baseline plus its descent lies within the frame's
// height; what no frame takes is overset. Point text never wraps nor overflows; text on a path
// takes one line as long as the path.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "model/Document.h"

namespace host::text {

struct LaidLine {
    std::size_t start = 0;  // the units of the story the line holds
    std::size_t end = 0;
    double baseline = 0;  // distance below the frame's top
    double ascent = 0;
    double descent = 0;
    std::vector<double> x;        // each unit's left edge, from the frame's left
    std::vector<double> advance;  // each unit's advance
};

struct FrameLayout {
    model::ArtId frame;
    std::size_t start = 0;  // the units the frame holds
    std::size_t end = 0;
    std::vector<LaidLine> lines;
};

struct StoryLayout {
    std::vector<FrameLayout> frames;
    std::size_t laidEnd = 0;  // units before this are laid out; the rest is overset

    // The frame and line holding the unit; none for a unit that is not laid out.
    std::optional<std::pair<std::size_t, std::size_t>> Locate(std::size_t unit) const;
};

// The layout of the story of the frame's thread; empty for art that is no text frame.
StoryLayout LayOut(const model::Document& document, model::ArtId frame);

// The bounds of the laid-out units of the span in document coordinates; none when one of them is
// not laid out.
std::optional<model::Rect> SpanBounds(const model::Document& document, const StoryLayout& layout,
                                      model::TextSpan span);

// The code point that starts at the unit (a lone surrogate stands for itself).
char32_t CodePointAt(const std::u16string& text, std::size_t position);
// The unit is the second half of a surrogate pair.
bool IsSecondOfPair(const std::u16string& text, std::size_t position);

// The point at a distance along the path (its last anchor beyond its length).
model::Point PointAlong(const model::PathGeometry& path, double distance);

// The height an auto-sized area frame needs for what it holds.
double NeededHeight(const FrameLayout& frame);

}  // namespace host::text

// BoundsGrid: finds which of many rectangles overlap a given one without comparing it with every one
// of them, for the commands that match every artboard against all the art.
//
// Each rectangle is filed under the cells of a uniform grid (about as many cells as rectangles, over
// the area they cover) that it covers; one that covers many cells, or has no finite bounds, is kept
// apart and offered to every search. A search offers the rectangles filed under the cells the area
// covers, so a rectangle that overlaps the area, edges touching included, is always among them.
#pragma once

#include <cstddef>
#include <vector>

#include "AIRealMath.h"

class BoundsGrid {
public:
    explicit BoundsGrid(std::vector<AIRealRect> rects);

    // The indexes of the rectangles that may overlap the area, in increasing order, each once: every
    // one that overlaps it, and perhaps some others near it.
    std::vector<std::size_t> Near(const AIRealRect& area) const;

private:
    struct Span {
        std::size_t first = 0;
        std::size_t last = 0;  // inclusive
    };
    // The columns and rows the rectangle covers, clamped to the grid; false for a rectangle without
    // finite bounds.
    bool Cells(const AIRealRect& rect, Span& columns, Span& rows) const;

    std::vector<AIRealRect> fRects;
    double fLeft = 0;
    double fBottom = 0;
    double fCellWidth = 1;
    double fCellHeight = 1;
    std::size_t fColumns = 1;
    std::size_t fRows = 1;
    std::vector<std::vector<std::size_t>> fCells;  // row by row
    std::vector<std::size_t> fEverywhere;          // offered to every search
};

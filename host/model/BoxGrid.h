// Finds which of many boxes may meet a given box without looking at all of them: a grid of square
// cells laid over an extent, each box listed in the cells it covers. The pathfinder asks it which
// shapes can overlap a shape, so that an operation over n shapes cuts each shape only by its
// neighbours.
#pragma once

#include <cstddef>
#include <vector>

#include "model/Rect.h"

namespace host::model {

class BoxGrid {
public:
    // A grid over the extent with about `expected` cells, each about the size of `typical`: the
    // boxes that will be added are about that size.
    BoxGrid(const Rect& extent, std::size_t expected, const Rect& typical);

    // Adds a box under the caller's number for it. An empty box is never found.
    void add(std::size_t id, const Rect& box);
    // The numbers of the boxes added so far that meet the box (touching edges count), each once, in
    // the order they were added.
    std::vector<std::size_t> meeting(const Rect& box);

private:
    struct Cells {
        std::size_t firstColumn = 0;
        std::size_t lastColumn = 0;
        std::size_t firstRow = 0;
        std::size_t lastRow = 0;
        std::size_t count() const { return (lastColumn - firstColumn + 1) * (lastRow - firstRow + 1); }
    };
    Cells cellsOf(const Rect& box) const;

    Rect extent_;
    double cellSize_ = 1.0;
    std::size_t columns_ = 1;
    std::size_t rows_ = 1;
    std::vector<std::vector<std::size_t>> cells_;  // row by row
    std::vector<std::size_t> wide_;                // boxes over too many cells to list in each
    std::vector<Rect> boxes_;                      // by id
    std::vector<std::size_t> seen_;                // by id: the query that last reported it
    std::size_t query_ = 0;
};

}  // namespace host::model

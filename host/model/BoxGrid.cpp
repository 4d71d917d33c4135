#include "model/BoxGrid.h"

#include <algorithm>
#include <cmath>

namespace host::model {

namespace {

// A box over more cells than this is kept in one list that every query reads.
constexpr std::size_t kMostCellsOfABox = 64;

std::size_t CellIndex(double offset, double cellSize, std::size_t count) {
    const double index = std::floor(offset / cellSize);
    if (!(index > 0)) {  // negative, or not a number
        return 0;
    }
    return std::min(static_cast<std::size_t>(std::min(index, 1e18)), count - 1);
}

}  // namespace

BoxGrid::BoxGrid(const Rect& extent, std::size_t expected, const Rect& typical) : extent_(extent) {
    if (extent.isEmpty()) {
        return;
    }
    const double area = std::max(extent.width() * extent.height(), 0.0);
    // Cells the size of a typical box, but never more than about four cells per box, nor more than
    // that many in a row.
    const double most = static_cast<double>(4 * std::max<std::size_t>(expected, 1));
    const double fewest = std::max(std::sqrt(area / most), std::max(extent.width(), extent.height()) / most);
    cellSize_ = std::max({typical.width(), typical.height(), fewest});
    if (!std::isfinite(cellSize_) || cellSize_ <= 0) {
        cellSize_ = std::max({extent.width(), extent.height(), 1.0});
    }
    if (!std::isfinite(cellSize_)) {
        return;  // one cell holds everything
    }
    columns_ = std::max<std::size_t>(1, CellIndex(extent.width(), cellSize_, 1u << 20) + 1);
    rows_ = std::max<std::size_t>(1, CellIndex(extent.height(), cellSize_, 1u << 20) + 1);
    if (columns_ * rows_ > 16 * std::max<std::size_t>(expected, 1) + 16) {
        columns_ = rows_ = 1;
    }
    cells_.resize(columns_ * rows_);
}

BoxGrid::Cells BoxGrid::cellsOf(const Rect& box) const {
    return {CellIndex(box.left - extent_.left, cellSize_, columns_),
            CellIndex(box.right - extent_.left, cellSize_, columns_),
            CellIndex(box.bottom - extent_.bottom, cellSize_, rows_),
            CellIndex(box.top - extent_.bottom, cellSize_, rows_)};
}

void BoxGrid::add(std::size_t id, const Rect& box) {
    if (boxes_.size() <= id) {
        boxes_.resize(id + 1);
        seen_.resize(id + 1, 0);
    }
    boxes_[id] = box;
    if (box.isEmpty()) {
        return;
    }
    if (cells_.empty()) {
        wide_.push_back(id);
        return;
    }
    const Cells cells = cellsOf(box);
    if (cells.count() > kMostCellsOfABox) {
        wide_.push_back(id);
        return;
    }
    for (std::size_t row = cells.firstRow; row <= cells.lastRow; ++row) {
        for (std::size_t column = cells.firstColumn; column <= cells.lastColumn; ++column) {
            cells_[row * columns_ + column].push_back(id);
        }
    }
}

std::vector<std::size_t> BoxGrid::meeting(const Rect& box) {
    std::vector<std::size_t> found;
    if (box.isEmpty()) {
        return found;
    }
    ++query_;
    const auto consider = [&](std::size_t id) {
        if (seen_[id] != query_ && boxes_[id].intersects(box)) {
            seen_[id] = query_;
            found.push_back(id);
        }
    };
    for (const std::size_t id : wide_) {
        consider(id);
    }
    if (!cells_.empty()) {
        const Cells cells = cellsOf(box);
        for (std::size_t row = cells.firstRow; row <= cells.lastRow; ++row) {
            for (std::size_t column = cells.firstColumn; column <= cells.lastColumn; ++column) {
                for (const std::size_t id : cells_[row * columns_ + column]) {
                    consider(id);
                }
            }
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace host::model

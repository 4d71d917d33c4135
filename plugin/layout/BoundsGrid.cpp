#include "layout/BoundsGrid.h"

#include <algorithm>
#include <cmath>

namespace {

// A rectangle that covers more cells than this is offered to every search instead, so that filing
// costs at most this many entries per rectangle.
constexpr std::size_t kMostCells = 16;

bool Finite(const AIRealRect& rect) {
    return std::isfinite(rect.left) && std::isfinite(rect.right) && std::isfinite(rect.top) &&
           std::isfinite(rect.bottom);
}

// The cell of the coordinate, clamped to [0, count - 1].
std::size_t CellOf(double coordinate, double origin, double size, std::size_t count) {
    const double cell = std::floor((coordinate - origin) / size);
    if (!(cell > 0)) {
        return 0;
    }
    return cell >= static_cast<double>(count - 1) ? count - 1 : static_cast<std::size_t>(cell);
}

}  // namespace

BoundsGrid::BoundsGrid(std::vector<AIRealRect> rects) : fRects(std::move(rects)) {
    double left = 0, right = 0, bottom = 0, top = 0;
    bool any = false;
    for (const AIRealRect& rect : fRects) {
        if (!Finite(rect)) {
            continue;
        }
        left = any ? std::min({left, rect.left, rect.right}) : std::min(rect.left, rect.right);
        right = any ? std::max({right, rect.left, rect.right}) : std::max(rect.left, rect.right);
        bottom = any ? std::min({bottom, rect.bottom, rect.top}) : std::min(rect.bottom, rect.top);
        top = any ? std::max({top, rect.bottom, rect.top}) : std::max(rect.bottom, rect.top);
        any = true;
    }
    // About as many cells as rectangles, shaped like the area they cover, so that a row of art gets
    // a row of cells.
    const double count = static_cast<double>(std::max<std::size_t>(1, fRects.size()));
    const double width = right - left;
    const double height = top - bottom;
    const bool wide = width > 0 && std::isfinite(width);
    const bool high = height > 0 && std::isfinite(height);
    double columnCount = 1;
    if (wide && high) {
        columnCount = std::clamp(std::round(std::sqrt(count * width / height)), 1.0, count);
    } else if (wide) {
        columnCount = count;
    }
    const double rowCount = high ? std::max(1.0, std::floor(count / columnCount)) : 1.0;
    fColumns = static_cast<std::size_t>(columnCount);
    fRows = static_cast<std::size_t>(rowCount);
    fLeft = left;
    fBottom = bottom;
    // A span too wide for doubles, or none, leaves one cell across it, which is still right, only
    // slower.
    fCellWidth = wide ? width / columnCount : 1;
    fCellHeight = high ? height / rowCount : 1;
    if (!(fCellWidth > 0)) {
        fColumns = 1;
        fCellWidth = 1;
    }
    if (!(fCellHeight > 0)) {
        fRows = 1;
        fCellHeight = 1;
    }
    fCells.resize(fColumns * fRows);
    for (std::size_t index = 0; index < fRects.size(); ++index) {
        Span columns, rows;
        if (!Cells(fRects[index], columns, rows) ||
            (columns.last - columns.first + 1) * (rows.last - rows.first + 1) > kMostCells) {
            fEverywhere.push_back(index);
            continue;
        }
        for (std::size_t row = rows.first; row <= rows.last; ++row) {
            for (std::size_t column = columns.first; column <= columns.last; ++column) {
                fCells[row * fColumns + column].push_back(index);
            }
        }
    }
}

bool BoundsGrid::Cells(const AIRealRect& rect, Span& columns, Span& rows) const {
    if (!Finite(rect)) {
        return false;
    }
    columns = {CellOf(std::min(rect.left, rect.right), fLeft, fCellWidth, fColumns),
               CellOf(std::max(rect.left, rect.right), fLeft, fCellWidth, fColumns)};
    rows = {CellOf(std::min(rect.bottom, rect.top), fBottom, fCellHeight, fRows),
            CellOf(std::max(rect.bottom, rect.top), fBottom, fCellHeight, fRows)};
    return true;
}

std::vector<std::size_t> BoundsGrid::Near(const AIRealRect& area) const {
    Span columns, rows;
    if (!Cells(area, columns, rows)) {
        // No cell can be told for an area without finite bounds: every rectangle is offered.
        std::vector<std::size_t> all(fRects.size());
        for (std::size_t index = 0; index < all.size(); ++index) {
            all[index] = index;
        }
        return all;
    }
    std::vector<std::size_t> found = fEverywhere;
    for (std::size_t row = rows.first; row <= rows.last; ++row) {
        for (std::size_t column = columns.first; column <= columns.last; ++column) {
            const std::vector<std::size_t>& cell = fCells[row * fColumns + column];
            found.insert(found.end(), cell.begin(), cell.end());
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

#include "documents/RasterBuffer.h"

#include <algorithm>
#include <limits>

bool RasterBuffer::IsConsistent() const {
    constexpr std::size_t kLargest = std::numeric_limits<std::size_t>::max();
    if (channels == 0 || width == 0 || height == 0) {
        return data.empty();
    }
    if (width > kLargest / channels || height > kLargest / (width * channels)) {
        return false;
    }
    return data.size() == width * height * channels;
}

bool RasterBuffer::Trim(std::size_t dx, std::size_t dy, RasterBuffer& out) const {
    if (!IsConsistent()) {
        return false;
    }
    if (dx == 0 && dy == 0) {
        out = *this;
        return true;
    }
    if (dx >= width / 2 + width % 2 || dy >= height / 2 + height % 2) {
        return false;  // 2 × dx >= width: nothing would be left
    }
    RasterBuffer trimmed;
    trimmed.channels = channels;
    trimmed.width = width - 2 * dx;
    trimmed.height = height - 2 * dy;
    const std::size_t rowBytes = trimmed.width * channels;
    trimmed.data.resize(rowBytes * trimmed.height);
    for (std::size_t y = 0; y < trimmed.height; ++y) {
        const auto from = data.begin() + static_cast<std::ptrdiff_t>(((dy + y) * width + dx) * channels);
        std::copy_n(from, rowBytes, trimmed.data.begin() + static_cast<std::ptrdiff_t>(y * rowBytes));
    }
    out = std::move(trimmed);
    return true;
}

bool RasterBuffer::MoveAlphaFromBeginToEnd(RasterBuffer& out) const {
    if (channels < 2 || !IsConsistent()) {
        return false;
    }
    RasterBuffer moved = *this;
    for (std::size_t pixel = 0; pixel < data.size(); pixel += channels) {
        std::rotate(moved.data.begin() + static_cast<std::ptrdiff_t>(pixel),
                    moved.data.begin() + static_cast<std::ptrdiff_t>(pixel + 1),
                    moved.data.begin() + static_cast<std::ptrdiff_t>(pixel + channels));
    }
    out = std::move(moved);
    return true;
}

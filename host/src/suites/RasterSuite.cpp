// The raster suite: a raster art's record and its pixels as tiles. The model keeps a pixel's
// alpha after its colour channels; the suite shows it first, in the application's channel order.
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "AIRaster.h"
#include "render/Renderer.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIRasterSuite;

using model::RasterPixels;

ai::int16 SpaceCode(const RasterPixels& pixels) {
    const ai::int16 space = pixels.space == RasterPixels::Space::gray  ? kGrayColorSpace
                            : pixels.space == RasterPixels::Space::rgb ? kRGBColorSpace
                                                                       : kCMYKColorSpace;
    return static_cast<ai::int16>(space | (pixels.alpha ? kColorSpaceHasAlpha : 0));
}

// The model's pixels of a colour-space code; none for a code this host has no rasters of.
std::optional<RasterPixels> PixelsOfSpace(ai::int16 code) {
    RasterPixels pixels;
    pixels.alpha = (code & kColorSpaceHasAlpha) != 0;
    switch (code & ~kColorSpaceHasAlpha) {
        case kGrayColorSpace:
            pixels.space = RasterPixels::Space::gray;
            return pixels;
        case kRGBColorSpace:
            pixels.space = RasterPixels::Space::rgb;
            return pixels;
        case kCMYKColorSpace:
            pixels.space = RasterPixels::Space::cmyk;
            return pixels;
        default:
            return std::nullopt;
    }
}

AIRasterRecord RecordOf(const RasterPixels& pixels) {
    AIRasterRecord record;
    record.bounds = AIRect{0, 0, static_cast<ai::int32>(pixels.width), static_cast<ai::int32>(pixels.height)};
    record.colorSpace = SpaceCode(pixels);
    record.bitsPerPixel = static_cast<ai::int16>(8 * pixels.channels());
    record.byteWidth = static_cast<ai::int32>(pixels.width * pixels.channels());
    return record;
}

AIErr GetRasterInfo(AIArtHandle raster, AIRasterRecord* info) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetRasterInfo");
    const model::RasterContent* content =
        error == kNoErr ? document->contentAs<model::RasterContent>(ArtIdOf(raster)) : nullptr;
    if (error == kNoErr && (content == nullptr || info == nullptr)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(info, error);
    }
    *info = RecordOf(content->pixels);
    return kNoErr;
}

// The pixels a record asks for, transparent black; none for a size or space this host refuses
// (no pixels, a side beyond the renderer's, bits that are not 8 per channel).
std::optional<RasterPixels> PixelsOfRecord(const AIRasterRecord& record) {
    std::optional<RasterPixels> pixels = PixelsOfSpace(record.colorSpace);
    const std::int64_t width = std::int64_t{record.bounds.right} - record.bounds.left;
    const std::int64_t height = std::int64_t{record.bounds.bottom} - record.bounds.top;
    if (!pixels || width < 1 || height < 1 || width > kLargestPictureSide || height > kLargestPictureSide ||
        record.bitsPerPixel != static_cast<ai::int16>(8 * pixels->channels())) {
        return std::nullopt;
    }
    pixels->width = static_cast<std::size_t>(width);
    pixels->height = static_cast<std::size_t>(height);
    pixels->bytes.assign(pixels->width * pixels->height * pixels->channels(), 0);
    return pixels;
}

AIErr SetRasterInfo(AIArtHandle raster, const AIRasterRecord* info) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "SetRasterInfo");
    const model::ArtId id = ArtIdOf(raster);
    const model::RasterContent* content =
        error == kNoErr ? document->contentAs<model::RasterContent>(id) : nullptr;
    std::optional<RasterPixels> pixels = info != nullptr ? PixelsOfRecord(*info) : std::nullopt;
    if (error == kNoErr && (content == nullptr || !pixels)) {
        error = kBadParameterErr;
    }
    const bool same = error == kNoErr && content->pixels.width == pixels->width &&
                      content->pixels.height == pixels->height && content->pixels.space == pixels->space &&
                      content->pixels.alpha == pixels->alpha;
    if (error == kNoErr && !same) {
        model::RasterContent* edited = document->editContent<model::RasterContent>(id);
        // A raster that had no extent yet shows its pixels at 72 per inch, its top-left corner at
        // the origin.
        if (edited->box.bounds().width() <= 0.0 || edited->box.bounds().height() <= 0.0) {
            edited->box.frame = model::Rect(0.0, 0.0, static_cast<double>(pixels->width),
                                            -static_cast<double>(pixels->height));
            edited->box.matrix = model::Matrix::identity();
        }
        edited->pixels = std::move(*pixels);
    }
    Record(state, "SetRasterInfo",
           {ArtLabel(document, raster), info != nullptr ? std::to_string(info->colorSpace) + "," +
                                                              std::to_string(info->bounds.right) + "x" +
                                                              std::to_string(info->bounds.bottom)
                                                        : "null"},
           error);
    return error;
}

// Where channel c of the pixel at (row, column) of the raster goes in the tile, both walks
// checked once: the slices must have one size, lie inside the raster and the tile, and name
// channels the raster has.
struct TileWalk {
    const AISlice& art;
    const AITile& tile;
    const AISlice& work;
    std::size_t channels;

    bool Fits(const RasterPixels& pixels) const {
        const auto inside = [](const AISlice& slice, std::int64_t top, std::int64_t left, std::int64_t bottom,
                               std::int64_t right) {
            return slice.top >= top && slice.left >= left && slice.bottom <= bottom && slice.right <= right &&
                   slice.top < slice.bottom && slice.left < slice.right;
        };
        const bool sameSize = std::int64_t{art.bottom} - art.top == std::int64_t{work.bottom} - work.top &&
                              std::int64_t{art.right} - art.left == std::int64_t{work.right} - work.left &&
                              art.front == work.front && art.back == work.back;
        const bool channelsKnown = art.front >= 0 && art.front < art.back &&
                                   static_cast<std::size_t>(art.back) <= channels &&
                                   art.back - art.front <= kMaxChannels;
        if (!sameSize || !channelsKnown || tile.data == nullptr || tile.rowBytes <= 0 || tile.colBytes <= 0 ||
            !inside(art, 0, 0, static_cast<std::int64_t>(pixels.height),
                    static_cast<std::int64_t>(pixels.width)) ||
            !inside(work, tile.bounds.top, tile.bounds.left, tile.bounds.bottom, tile.bounds.right)) {
            return false;
        }
        for (int c = 0; c < art.back - art.front; ++c) {
            if (tile.channelInterleave[c] < 0 || tile.channelInterleave[c] >= tile.colBytes) {
                return false;
            }
        }
        return true;
    }

    // The model's index of the application's channel c (alpha first there, last in the model).
    std::size_t ModelChannel(int c, bool alpha) const {
        if (!alpha) {
            return static_cast<std::size_t>(c);
        }
        return c == 0 ? channels - 1 : static_cast<std::size_t>(c - 1);
    }

    // Whether every row of the slice is one run of bytes in both: all the raster's channels, in the
    // model's order (no alpha to move), packed in the tile's columns.
    bool RowsAreRuns(const RasterPixels& pixels) const {
        if (pixels.alpha || art.front != 0 || static_cast<std::size_t>(art.back) != channels ||
            static_cast<std::size_t>(tile.colBytes) != channels) {
            return false;
        }
        for (int c = 0; c < art.back; ++c) {
            if (tile.channelInterleave[c] != c) {
                return false;
            }
        }
        return true;
    }

    // Copies the slice row by row, from the pixels to the tile or back; only where RowsAreRuns.
    void CopyRuns(const std::uint8_t* from, std::uint8_t* to, std::size_t width, bool toPixels) const {
        auto* data = static_cast<std::uint8_t*>(tile.data);
        const auto runBytes = static_cast<std::size_t>(art.right - art.left) * channels;
        for (std::int64_t row = art.top; row < art.bottom; ++row) {
            const std::int64_t tileRow = work.top + (row - art.top) - tile.bounds.top;
            const std::int64_t cell =
                tileRow * tile.rowBytes + (work.left - tile.bounds.left) * tile.colBytes;
            const std::size_t pixel =
                (static_cast<std::size_t>(row) * width + static_cast<std::size_t>(art.left)) * channels;
            if (toPixels) {
                std::memcpy(to + pixel, data + cell, runBytes);
            } else {
                std::memcpy(data + cell, from + pixel, runBytes);
            }
        }
    }

    template <typename Copy>
    void ForEach(const RasterPixels& pixels, Copy copy) const {
        auto* data = static_cast<std::uint8_t*>(tile.data);
        for (std::int64_t row = art.top; row < art.bottom; ++row) {
            const std::int64_t tileRow = work.top + (row - art.top) - tile.bounds.top;
            for (std::int64_t column = art.left; column < art.right; ++column) {
                const std::int64_t tileColumn = work.left + (column - art.left) - tile.bounds.left;
                const std::size_t pixel =
                    (static_cast<std::size_t>(row) * pixels.width + static_cast<std::size_t>(column)) *
                    channels;
                for (int c = art.front; c < art.back; ++c) {
                    std::uint8_t* cell = data + tileRow * tile.rowBytes + tileColumn * tile.colBytes +
                                         tile.channelInterleave[c - art.front];
                    copy(pixel + ModelChannel(c, pixels.alpha), *cell);
                }
            }
        }
    }
};

// Reads or writes the tile; the work is the same walk in either direction.
template <bool kWrite>
AIErr MoveTile(const char* operation, AIArtHandle raster, const AISlice* artSlice, const AITile* workTile,
               const AISlice* workSlice) {
    auto [state, document, error] = StartDocumentOperation(kSuite, operation);
    const model::ArtId id = ArtIdOf(raster);
    const model::RasterContent* content =
        error == kNoErr ? document->contentAs<model::RasterContent>(id) : nullptr;
    if (error == kNoErr &&
        (content == nullptr || artSlice == nullptr || workTile == nullptr || workSlice == nullptr)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return error;
    }
    const TileWalk walk{*artSlice, *workTile, *workSlice, content->pixels.channels()};
    if (content->pixels.empty() || !walk.Fits(content->pixels)) {
        return kBadParameterErr;
    }
    const bool runs = walk.RowsAreRuns(content->pixels);
    if constexpr (kWrite) {
        model::RasterContent* edited = document->editContent<model::RasterContent>(id);
        if (runs) {
            walk.CopyRuns(nullptr, edited->pixels.bytes.data(), edited->pixels.width, true);
        } else {
            walk.ForEach(edited->pixels,
                         [&](std::size_t at, const std::uint8_t& cell) { edited->pixels.bytes[at] = cell; });
        }
        Record(state, operation, {ArtLabel(document, raster)}, kNoErr);
    } else if (runs) {
        walk.CopyRuns(content->pixels.bytes.data(), nullptr, content->pixels.width, false);
    } else {
        walk.ForEach(content->pixels,
                     [&](std::size_t at, std::uint8_t& cell) { cell = content->pixels.bytes[at]; });
    }
    return kNoErr;
}

AIErr GetRasterTile(AIArtHandle raster, const AISlice* artSlice, const AITile* workTile,
                    const AISlice* workSlice) {
    return MoveTile<false>("GetRasterTile", raster, artSlice, workTile, workSlice);
}

AIErr SetRasterTile(AIArtHandle raster, const AISlice* artSlice, const AITile* workTile,
                    const AISlice* workSlice) {
    return MoveTile<true>("SetRasterTile", raster, artSlice, workTile, workSlice);
}

}  // namespace

AIRasterSuite gRasterSuite = {
    PLIM_SUITE_FUNCTION(GetRasterInfo),
    PLIM_SUITE_FUNCTION(SetRasterInfo),
    PLIM_SUITE_FUNCTION(GetRasterTile),
    PLIM_SUITE_FUNCTION(SetRasterTile),
};

}  // namespace host

// The raster suite: the record of raster art (its pixel size and colour space) and its pixels, read
// and written as tiles.
#pragma once

#include "AIArt.h"
#include "SPTypes.h"

#define kAIRasterSuite "AI Raster Suite"
constexpr ASInt32 kAIRasterSuiteVersion = 1010;

// Colour spaces of raster art, 8 bits per channel. With kColorSpaceHasAlpha every pixel carries an
// alpha channel, which comes first: alpha, grey; alpha, red, green, blue; alpha, cyan, magenta,
// yellow, black. Grey is light (0 black); CMYK channels are ink (0 none).
enum AIRasterColorSpace : ai::int16 {
    kGrayColorSpace = 0,
    kRGBColorSpace = 1,
    kCMYKColorSpace = 2,
    kColorSpaceHasAlpha = 0x10,
    kAlphaGrayColorSpace = kGrayColorSpace | kColorSpaceHasAlpha,
    kAlphaRGBColorSpace = kRGBColorSpace | kColorSpaceHasAlpha,
    kAlphaCMYKColorSpace = kCMYKColorSpace | kColorSpaceHasAlpha,
};

// The most channels a pixel has (CMYK with alpha).
constexpr int kMaxChannels = 5;

// A rectangle of pixels: columns left to right - 1, rows top (the first row) to bottom - 1.
struct AIRect {
    ai::int32 left = 0;
    ai::int32 top = 0;
    ai::int32 right = 0;
    ai::int32 bottom = 0;
};

struct AIRasterRecord {
    ai::uint16 flags = 0;
    AIRect bounds;            // the pixels: (0, 0) to (width, height)
    ai::int32 byteWidth = 0;  // bytes of one row
    ai::int16 colorSpace = kRGBColorSpace;
    ai::int16 bitsPerPixel = 24;  // 8 per channel
    ai::int16 originalColorSpace = -1;
};

// Pixels and channels: rows top to bottom - 1, columns left to right - 1, channels front to
// back - 1 (0 is alpha when the raster has one).
struct AISlice {
    ai::int32 top = 0;
    ai::int32 left = 0;
    ai::int32 bottom = 0;
    ai::int32 right = 0;
    ai::int32 front = 0;
    ai::int32 back = 0;
};

// The caller's memory for pixels. Channel c of the pixel at (row, column) of the tile lies at
// data + (row - bounds.top) * rowBytes + (column - bounds.left) * colBytes +
// channelInterleave[c - front].
struct AITile {
    void* data = nullptr;
    AISlice bounds;
    ai::int32 rowBytes = 0;
    ai::int32 colBytes = 0;
    ai::int32 planeBytes = 0;
    ai::int16 channelInterleave[kMaxChannels] = {0, 1, 2, 3, 4};
};

// Every operation answers kBadParameterErr for a stale handle, art that is not raster art, a null
// pointer, or a slice or tile that does not fit (see host.md), and kNoDocumentErr without a document.
struct AIRasterSuite {
    AIErr (*GetRasterInfo)(AIArtHandle raster, AIRasterRecord* info);
    // Gives the raster new pixels of the record's size and colour space (transparent black), or
    // keeps them when both are what the raster has.
    AIErr (*SetRasterInfo)(AIArtHandle raster, const AIRasterRecord* info);
    // Copies the art slice of the raster into the work slice of the tile.
    AIErr (*GetRasterTile)(AIArtHandle raster, const AISlice* artSlice, const AITile* workTile,
                           const AISlice* workSlice);
    // Copies the work slice of the tile into the art slice of the raster.
    AIErr (*SetRasterTile)(AIArtHandle raster, const AISlice* artSlice, const AITile* workTile,
                           const AISlice* workSlice);
};

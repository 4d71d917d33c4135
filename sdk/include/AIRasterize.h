// Rasterizing: drawing a set of art into a new raster image.
#pragma once

#include "AIArt.h"
#include "AIArtSet.h"
#include "AIColorConversion.h"
#include "SPTypes.h"

#define kAIRasterizeSuite "AI Rasterize Suite"
constexpr ASInt32 kAIRasterizeSuiteVersion = 1012;

// The pixels of a raster: colour model, and whether they carry an alpha channel (a transparent
// background) or lie on white.
enum AIRasterizeType : ai::int16 {
    kRasterizeRGB = 0,
    kRasterizeCMYK = 1,
    kRasterizeGrayscale = 2,
    kRasterizeBitmap = 3,  // refused by this host
    kRasterizeARGB = 4,
    kRasterizeACMYK = 5,
    kRasterizeAGrayscale = 6,
};

// Anti-aliasing: 1 none (hard edges), 2 smooth art edges.
enum AIRasterizeAntialiasing : ai::int16 { kRasterizeNoAntialiasing = 1, kRasterizeArtOptimized = 2 };

enum AIRasterizeOptions : ai::int32 {
    kRasterizeOptionsNone = 0,
    kRasterizeOptionsUseEffectsRes = 4,          // effects are drawn at the raster's resolution
    kRasterizeOptionsDoSpotColorPreserve = 512,  // spot colours stay spot colours
};

struct AIRasterizeSettings {
    AIRasterizeType type = kRasterizeRGB;
    AIReal resolution = 72;  // pixels per inch: one pixel per point at 72
    ai::int16 antialiasing = kRasterizeArtOptimized;
    ai::int32 options = kRasterizeOptionsNone;
    AIColorConvertOptions ccoptions;
    AIBoolean preserveSpotColors = false;
};

// Every operation answers kNoDocumentErr without a document and kBadParameterErr for an unknown
// set, a set holding art that is not valid, or a null out-pointer.
struct AIRasterizeSuite {
    // The visible bounds of the set's art (strokes included; clip groups by their masks).
    // kBadParameterErr when the set is empty or its art has no extent.
    AIErr (*ComputeArtBounds)(AIArtSet artSet, AIRealRect* artBounds, AIBoolean honorCropping);
    // Draws the set's art, within the bounds, into a new raster placed relative to the prep art.
    // The raster covers the bounds; its pixel size is the bounds' size at the resolution, rounded
    // up. kBadParameterErr: bounds that are empty or not finite, a resolution that is not finite or
    // not above 0, a pixel size above 16383 on either side, or an unknown raster type.
    AIErr (*Rasterize)(AIArtSet artSet, const AIRasterizeSettings* settings, const AIRealRect* artBounds,
                       ai::int16 paintOrder, AIArtHandle prepArt, AIArtHandle* raster);
};

// The budget of one picture: the most it may draw, counted across every level of its drawing
// (symbols, pattern tiles, placed native documents), so that a small document can't ask for more
// work than a picture could ever use.
//
// Two kinds of count. Symbol instances and points of paths are what the document holds: a picture
// that asks for more of them is refused as a whole. The work cairo does for what is drawn is priced
// before it is drawn: the pieces of a path's fill or stroke after dashing and the places where they
// may cross one another (cairo's rasterizer sorts its edges at every crossing), and the device pixels
// of every image the picture composites (groups for opacity, blend modes and knockout, and the
// images effects are worked out in). An object whose work the picture can no longer pay for is drawn
// simpler or left out (render/Simplified.h), and the rest of the picture is drawn.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <optional>
#include <vector>

#include "render/PictureMeter.h"

namespace host {

// The most one picture draws: symbol instances (those inside pattern tiles and placed documents
// included) and points of paths. A picture that asks for more is refused as a whole.
inline constexpr std::size_t kInstancesPerPicture = 100'000;
inline constexpr std::size_t kPointsPerPicture = 20'000'000;
// The work of fills and strokes (PathWork): about a second of cairo's rasterizer per 1,000,000.
inline constexpr double kPathWorkPerPicture = 4'000'000.0;
// The pixel work of one picture: a device pixel of a group it composites counts GroupPixelPrice of
// the mode it is put back in (kGroupPixelPrice for opacity, knockout or isolation alone), one it
// paints (a fill, a stroke, glyphs, a raster's pixels) kPaintPixelPrice or its paint's price, and
// one of an effect's image kEffectPixelPrice for each effect. About a second per 50,000,000. A
// picture of pixels may do kPixelWorkPerSurfacePixel for each pixel of its surface when that is
// more: a page drawn at print resolution composites as many layers over each pixel as it does on
// the screen (a collage of a few thousand half-opaque shapes lies about 40 deep at places).
inline constexpr double kPixelWorkPerPicture = 300'000'000.0;
inline constexpr double kPixelWorkPerSurfacePixel = 40.0;
inline constexpr double kPaintPixelPrice = 0.012;
// A pixel of glyphs painted: cairo composites each glyph's own mask.
inline constexpr double kGlyphPixelPrice = 0.05;
// A device row an edge of a path's outline crosses as cairo fills or strokes it: its rasterizer
// steps every edge down every row it spans, so long edges that lie side by side (a zigzag, a
// hatching) cost far more than the pixels they cover.
inline constexpr double kEdgeRowPrice = 0.2;
inline constexpr double kGroupPixelPrice = 0.3;
// A group put back in a blend mode: each of the separable modes (multiply to exclusion) works out
// every channel of every pixel in floating point, and the others (hue, saturation, colour,
// luminosity) mix the channels of each pixel besides.
inline constexpr double kBlendPixelPrice = 0.75;
inline constexpr double kMixingBlendPixelPrice = 1.5;
inline constexpr int kFirstMixingBlendMode = 12;

// The price of a device pixel of a group put back in the blend mode (0 normal).
inline double GroupPixelPrice(int mode) {
    return mode == 0                       ? kGroupPixelPrice
           : mode >= kFirstMixingBlendMode ? kMixingBlendPixelPrice
                                           : kBlendPixelPrice;
}
// A pixel a gradient paints, where cairo works its colour out pixel by pixel (PaintPixelPrice of
// PaintSource.h): linear or radial, and for each stop cairo walks past to reach it.
inline constexpr double kLinearGradientPixelPrice = 0.35;
inline constexpr double kRadialGradientPixelPrice = 0.6;
inline constexpr double kGradientStopPrice = 0.012;
// A pixel a pattern paints: its tile's image repeated through the art's transformation.
inline constexpr double kPatternPixelPrice = 0.03;
// An effect works out its image in several passes (the object's alpha, three box blurs each way, a
// mask painted through): each of its pixels costs this many of a group's; a Gaussian blur blurs
// four channels where the others blur one.
inline constexpr double kEffectPixelPrice = 2.0;
inline constexpr double kBlurPixelPrice = 12.0;

// The pieces a path of that length is cut into by the dash array (cairo repeats an array of an odd
// count twice, the second time with its dashes and gaps swapped): its length over the array's
// period, times the dashes of each period. 0 for an array that draws solid.
inline double DashPieces(double length, const std::vector<double>& dashes) {
    double period = 0.0;
    for (const double dash : dashes) {
        period += dash;
    }
    if (!(period > 0.0)) {
        return 0.0;
    }
    const double perPeriod = static_cast<double>((dashes.size() + 1) / 2);
    return std::ceil(length / period) * perPeriod;
}

// The work of one fill or stroke of a path whose pieces (its segments, or its dash pieces) lie in
// span x by span y units and are stroked width units wide (0 for a fill): the pieces each count
// once when counted is set (dash pieces, a glyph's points: a path's segment is a point the
// picture already counts), and so does every pair of pieces
// that may cross. cairo's rasterizer pays for each such crossing as it sorts its edges, so a
// stroke whose pieces lie on top of one another (dashes, joins or glyphs far closer together than
// the stroke is wide) costs the square of their number. The pairs are estimated from how much of
// the area one piece's stroke covers: all of them when it covers the whole area.
inline double PathWork(double pieces, double width, double spanX, double spanY, bool counted) {
    const double area = (spanX + width) * (spanY + width);
    const double covered = area > 0.0 ? std::min(1.0, std::numbers::pi * width * width / area) : 1.0;
    const double crossings = width > 0.0 ? pieces * pieces * covered : 0.0;
    return (counted ? pieces : 0.0) + crossings;
}

// Painting under a clip path onto pixels, cairo intersects what is painted with the clip's outline,
// sorting its edges at every place where two of them cross, and scans the result row by row, every
// edge on each device row it spans: the work of one paint under the clip, as path work (a
// self-crossing star of 12,001 points over 4,000 rows takes cairo about 3.5 s on each paint). The
// pairs of pieces that cross are estimated from the outline's length over its area, as random
// pieces of that length cross one another (a star whose points reach across the outline: about
// every pair; a circle: none), and are at most every pair.
inline constexpr double kClipRowWork = 0.1;
inline constexpr double kClipCrossingWork = 0.01;

inline double ClipWork(double pieces, double edgeRows, double length, double area) {
    const double pairs = pieces * (pieces - 1.0) / 2.0;
    const double estimate = length * length / (std::numbers::pi * area);
    const double crossings = estimate < pairs ? estimate : pairs;  // a clip of no area: every pair
    return edgeRows * kClipRowWork + crossings * kClipCrossingWork;
}

// The pixel work a picture of that many surface pixels may do (none for a page of a vector copy).
inline double PixelWorkOf(std::size_t pixels) {
    return std::max(kPixelWorkPerPicture, kPixelWorkPerSurfacePixel * static_cast<double>(pixels));
}

// What one picture may draw at most.
struct RenderLimits {
    std::size_t instances = kInstancesPerPicture;
    std::size_t points = kPointsPerPicture;
    double pathWork = kPathWorkPerPicture;
    std::optional<double> pixelWork = std::nullopt;  // none: PixelWorkOf the picture's surface
};

// The work one picture has done so far, against its limits.
class RenderBudget {
public:
    RenderBudget() = default;
    explicit RenderBudget(const RenderLimits& limits) : limits_(limits) {}

    // False, and the budget exceeded from then on, when the picture would draw more than it may.
    bool SpendInstance() { return Spend(instances_, 1, limits_.instances); }
    bool SpendPoints(std::size_t count) { return Spend(points_, count, limits_.points); }
    bool exceeded() const { return exceeded_; }

    // False, with nothing spent, when the picture can't pay for that much more: the object is then
    // drawn simpler or left out, and cheaper ones after it are still drawn.
    bool SpendPathWork(double work) {
        return SpendPriced(pathWork_, work, limits_.pathWork, &PictureMeter::pathWork);
    }
    bool SpendPixels(double work) {
        return SpendPriced(pixelWork_, work, limits_.pixelWork.value_or(kPixelWorkPerPicture),
                           &PictureMeter::pixelWork);
    }

    const RenderLimits& limits() const { return limits_; }

private:
    bool Spend(std::size_t& spent, std::size_t count, std::size_t limit) {
        if (exceeded_ || count > limit - spent) {
            exceeded_ = true;
            return false;
        }
        spent += count;
        return true;
    }

    // What is spent is told to the picture's meter too, so that its bound grows with it.
    static bool SpendPriced(double& spent, double price, double limit,
                            std::atomic<double> PictureMeter::*meter) {
        if (!(price >= 0.0) || !std::isfinite(price) || price > limit - spent) {
            return false;
        }
        spent += price;
        MeterWork(meter, price);
        return true;
    }

    RenderLimits limits_;
    std::size_t instances_ = 0;
    std::size_t points_ = 0;
    double pathWork_ = 0.0;
    double pixelWork_ = 0.0;
    bool exceeded_ = false;
};

}  // namespace host

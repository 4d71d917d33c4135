// How the renderer turns a document's colours into what cairo paints with: process colours as a
// screen shows them, custom (spot and global) colours by their own definition at their tint,
// gradients as cairo linear and radial gradients, and patterns as their tile's art repeated. Every
// drawing of the stand-in (paths, text glyphs, placed art) sets its paint through these, so that one
// colour looks the same whatever it paints.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include <cairo.h>

#include "model/Document.h"
#include "render/CairoHandles.h"
#include "render/RenderContext.h"

namespace host {

// A gradient of more stops than kPlainGradientStops is drawn from those of its stops that 8-bit
// channels can tell apart: a stop that lies within kShownStopError (in every channel, colour and
// opacity, from 0 to 1) of the line between the stops kept around it is left out, so that no pixel
// moves by more than one of 255 and a smooth ramp of any number of stops is drawn from a few.
// cairo looks each pixel's colour up along the stops, at a cost that grows with their number.
// What is left of more than kMostGradientStops is drawn from that many even samples of its ramp.
inline constexpr std::size_t kPlainGradientStops = 16;
inline constexpr double kShownStopError = 0.4 / 255.0;
inline constexpr std::size_t kMostGradientStops = 256;

// A colour stop as cairo takes it: colour and opacity from 0 to 1.
struct RampStop {
    double offset = 0.0;
    std::array<double, 4> rgba{};
};

// The stops of the ramp (in order) that 8-bit channels can tell apart: drawn from these, no colour
// or opacity of the ramp moves by more than kShownStopError. Stops at one offset (a sharp change)
// are all kept.
std::vector<RampStop> ShownStops(const std::vector<RampStop>& ramp);

// The colour as the screen shows it: red, green and blue from 0 to 1. Process colours are converted
// (grey g as 1 - g, CMYK as (1 - c)(1 - k) ...), a custom colour shows its definition mixed with white
// by its tint (a Lab definition converted to sRGB), and a gradient or pattern its flat colour. None
// for a colour that paints nothing or names a resource the document lacks.
std::optional<std::array<double, 3>> ScreenRgb(const model::Document& document, const model::Color& color);

// The cairo operator of a blend mode of the document format (0 normal to 15 luminosity); over for a
// code out of range.
cairo_operator_t BlendOperator(int mode);

// The gradients and pattern tiles of one picture, each built once however many objects it paints:
// laid out in a space of their own, which each use maps onto the painted art by the pattern's
// matrix. A null pattern is one that can't be built (or a tile being drawn inside itself).
class PaintCache {
public:
    // The resource, the opacity it is built at, and (radial gradients) where its focus lies.
    using Key = std::tuple<const model::PaintResource*, double, double>;
    std::map<Key, CairoPattern> patterns;

    // Keeps a recording surface that a tile, or an object composited by itself (a group of cairo's),
    // is drawn into until the picture ends; the surface, which the cache owns.
    cairo_surface_t* Keep(CairoSurface recording);

    // Releases the paints once the vector surface (PDF, SVG, PostScript) drawn with them is finished
    // and its context destroyed. cairo 1.16's SVG surface takes a reference to every recording
    // surface it writes out as a pattern or a group and never gives it back, so that each tile, and
    // each object with an opacity, blend mode or effect, of an SVG copy would stay in memory for
    // good; here those references are given back.
    void ReleaseAfterFinish();

private:
    std::vector<CairoSurface> recordings_;
};

// Where a colour paints, for the paints that are laid out in space.
struct PaintPlace {
    // The geometric bounds of the painted art, in document coordinates: a gradient without a layout
    // of its own (length 0) spans them.
    model::Rect bounds;
    // The transformation the art's fill or stroke pattern went through: the pattern's tiles, laid
    // from the document's origin, are mapped by it.
    model::Matrix patternMatrix;
};

// What painting one device pixel with the colour costs, in pixels of a group (RenderBudget.h), laid
// out as SetPaintSource would lay it out: kPaintPixelPrice for a solid colour or a gradient that
// cairo works out once a row or a column (a linear one along the device's axes); a gradient
// otherwise its kind's price, and for each of its stops more when they lie closer together than
// pixels (cairo walks its stops to each pixel's colour); a pattern kPatternPixelPrice.
double PaintPixelPrice(const RenderContext& context, const model::Color& color, double opacity,
                       const PaintPlace& place = {});

// Makes the colour the source of the context at the opacity (0 to 1): a solid colour, a gradient or
// a pattern, laid out in the context's current user space, which must be document coordinates (as
// the renderer's is). False, with the source left alone, when the colour paints nothing: none, a
// resource the document lacks, or a layout cairo cannot use.
bool SetPaintSource(const RenderContext& context, const model::Color& color, double opacity,
                    const PaintPlace& place = {});

}  // namespace host

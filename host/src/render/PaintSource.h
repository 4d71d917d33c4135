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

// A gradient passes at most this many stops to cairo: one with more is drawn from this many even
// samples of its ramp, so that building it takes time in proportion to its stops.
inline constexpr std::size_t kMostGradientStops = 1024;

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

// Makes the colour the source of the context at the opacity (0 to 1): a solid colour, a gradient or
// a pattern, laid out in the context's current user space, which must be document coordinates (as
// the renderer's is). False, with the source left alone, when the colour paints nothing: none, a
// resource the document lacks, or a layout cairo cannot use.
bool SetPaintSource(const RenderContext& context, const model::Color& color, double opacity,
                    const PaintPlace& place = {});

}  // namespace host

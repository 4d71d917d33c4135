// The application's renderer: draws art of a document with cairo into pixels, for rasterizing and
// for pictures of artboards.
//
// What it draws: paths and compound paths with every painting paint field of their styles (fills
// by their fill rule, strokes with width, caps, joins, miter limit and dashes, each at its
// opacity), groups, clip groups (their other members only inside their clipping-mask members),
// rasters (their pixels, or their frame filled grey without pixels) and placed files (their file,
// PlacedPainter.h). Text frames and symbol instances are not drawn. Hidden art and the art of hidden
// layers is not drawn, nor is a raster whose frame or matrix flattens it to no area.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/Picture.h"
#include "model/Document.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace host {

struct RenderSettings {
    double resolution = 72.0;  // pixels per inch: 72 draws one pixel per point
    model::RasterPixels::Space space = model::RasterPixels::Space::rgb;
    bool antiAlias = true;
    bool transparent = false;  // an alpha channel instead of a white background
};

// The largest side of a picture, in pixels.
inline constexpr double kLargestPictureSide = 16383.0;

// The pixel size of bounds drawn at the resolution: each side rounded up, at least 1. None when
// the bounds are empty or not finite, the resolution is not finite or not above 0, or a side would
// exceed kLargestPictureSide.
std::optional<std::pair<std::size_t, std::size_t>> PictureSize(const model::Rect& bounds, double resolution);

// Draws the art (each with everything below it, in the order given, the first lowest) within the
// bounds. None when PictureSize refuses or cairo fails to draw.
std::optional<model::RasterPixels> RenderArt(const model::Document& document,
                                             const std::vector<model::ArtId>& art, const model::Rect& bounds,
                                             const RenderSettings& settings);

// The art groups of the document's layers, the bottom layer first: what a picture of the document
// draws, in drawing order.
std::vector<model::ArtId> LayerGroupsBottomFirst(const model::Document& document);

// Draws the art onto a cairo context (of any surface: image, PDF, SVG, PostScript) at one unit per
// point, the bounds' top-left corner at the origin and y growing downward. False when the context
// is in its error state afterwards.
bool DrawArtOnto(cairo_t* cr, const model::Document& document, const std::vector<model::ArtId>& art,
                 const model::Rect& bounds);

// A new image surface (premultiplied ARGB) of the pixels, which the caller destroys; null when
// cairo can't hold them (a side beyond its limit).
cairo_surface_t* MakePixelSurface(const model::RasterPixels& pixels);

}  // namespace host

// The application's renderer: draws art of a document with cairo, for rasterizing, for pictures of
// artboards and for the vector copies (PDF, SVG, EPS).
//
// What it draws: paths and compound paths with every painting paint field of their styles (fills
// by their fill rule, strokes with width, caps, joins, miter limit and dashes), groups, clip groups
// (their other members only inside their clipping-mask members), symbol instances (the symbol's
// artwork through the instance's frame and matrix, nested up to model::kSymbolNestingLimit), rasters
// (their pixels, or their frame filled grey without pixels) and placed files (the files they link
// to, PlacedPainter.h). Paint goes through PaintSource.h: process and custom colours, gradients and patterns.
// An object's opacity and blend mode apply once to the whole object, drawn by itself first (only when it has
// them); isolated and knockout groups are kept apart likewise; drop shadows, glows and Gaussian blurs are
// drawn around it (Effects.h). Text frames show the glyphs the layout puts in them, as text (TextPainter.h).
// Hidden art and the art of hidden layers is not drawn, nor is a raster whose frame or matrix flattens it to
// no area, nor a path, raster or placed file wholly outside what the surface shows.
//
// Each drawing is one picture (RenderContext.h): the context handed down to every level holds its
// budget (RenderBudget.h), its paints built once and its placed files read once. An object whose
// matrix cairo can't draw through is left out, and a picture past its budget is refused.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Document.h"
#include "render/PictureProcess.h"
#include "render/RenderBudget.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace host {

struct RenderSettings {
    double resolution = 72.0;  // pixels per inch: 72 draws one pixel per point
    model::RasterPixels::Space space = model::RasterPixels::Space::rgb;
    bool antiAlias = true;
    bool transparent = false;  // an alpha channel instead of a white background
    RenderLimits limits;       // the most the picture may draw; past it the picture is refused
    std::filesystem::path
        linkFolder;  // where relative links of placed files resolve (empty: the working folder)
};

// The largest side of a picture, in pixels.
inline constexpr double kLargestPictureSide = 16383.0;

// The pixel size of bounds drawn at the resolution: each side rounded up, at least 1. None when
// the bounds are empty or not finite, the resolution is not finite or not above 0, or a side would
// exceed kLargestPictureSide.
std::optional<std::pair<std::size_t, std::size_t>> PictureSize(const model::Rect& bounds, double resolution);

// What a picture of pixels holds in its own process for each of its pixels: its surface (4 bytes)
// and the pixels it hands back (5 at most), allowed besides the bound's memory (PictureProcess.h).
inline constexpr std::size_t kPictureBytesPerPixel = 9;

// What a picture of the art holds: its objects and points of paths as the document holds them
// (each symbol's artwork once); no surface.
PictureLoad HeldLoad(const model::Document& document, const std::vector<model::ArtId>& art);

// The same for a picture of pixels of that size, with its surface.
PictureLoad PictureLoadOf(const model::Document& document, const std::vector<model::ArtId>& art,
                          const std::pair<std::size_t, std::size_t>& size);

// Draws the art (each with everything below it, in the order given, the first lowest) within the
// bounds, as a whole in a process of its own under the picture's bound (PictureProcess.h). None
// when PictureSize refuses, cairo fails to draw, the picture asks for more than its budget, or it
// goes beyond the bound (its reason then on standard error).
std::optional<model::RasterPixels> RenderArt(const model::Document& document,
                                             const std::vector<model::ArtId>& art, const model::Rect& bounds,
                                             const RenderSettings& settings);

// The work of RenderArt's process, done in this process with no bound but the picture's budget:
// for the fuzzers, whose coverage a child's work doesn't reach, after the bounded picture ended
// within its bound.
std::optional<model::RasterPixels> RenderArtHere(const model::Document& document,
                                                 const std::vector<model::ArtId>& art,
                                                 const model::Rect& bounds, const RenderSettings& settings);

// Writes a PNG picture of the document's active artboard (the application's artboard picture),
// relative links of placed files resolving against linkFolder; the picture is drawn in a process
// of its own under the picture's bound.
bool WriteArtboardPng(const model::Document& document, const std::filesystem::path& file,
                      const std::filesystem::path& linkFolder, std::string* error);

// The art groups of the document's layers, the bottom layer first: what a picture of the document
// draws, in drawing order.
std::vector<model::ArtId> LayerGroupsBottomFirst(const model::Document& document);

// Sets the size of a vector surface's next page (cairo_pdf_surface_set_size).
using PageSizeSetter = void (*)(cairo_surface_t* surface, double width, double height);

// Draws the art onto a vector surface (PDF, SVG, PostScript), one page for each of the bounds, at
// one unit per point, the bounds' top-left corner at the origin and y growing downward, then
// finishes the surface. The page's size is set first when setSize is given. Each page is a picture
// of its own budget; the paints built and the placed files read serve every page and are released
// only after the surface is finished: these surfaces write a recorded pattern tile out when they
// finish, and cairo copies a tile released before that, a copy that is never freed. Relative links
// of placed files resolve against linkFolder (empty: the working folder). False when a page asked
// for more than its budget, or the context or the surface is in its error state. It draws in this
// process: the vector writers call it inside a job's worker (DrawVectorPages).
bool DrawPagesOnto(cairo_surface_t* surface, const model::Document& document,
                   const std::vector<model::ArtId>& art, const std::vector<model::Rect>& pages,
                   PageSizeSetter setSize, const std::filesystem::path& linkFolder = {});

// Makes the vector surface a copy is drawn onto, writing to the output, of the first page's size;
// setting is the writer's own (the EPS title comment), empty when it has none. A function of this
// program: the job's worker holds it at the same address.
using VectorSurfaceMaker = cairo_surface_t* (*)(PictureOutput& output, const model::Rect& first,
                                                std::string_view setting);

// Draws the document's layers onto a vector surface made by make, one page for each of the bounds
// (DrawPagesOnto), in the job's worker under the picture's bound (DrawPictureInWorker), the picture
// holding what load says: the bytes the surface wrote, or why it was not drawn.
PictureResult DrawVectorPages(const model::Document& document, const std::vector<model::Rect>& pages,
                              VectorSurfaceMaker make, std::string_view setting, PageSizeSetter setSize,
                              const std::filesystem::path& linkFolder, const PictureLoad& load);

}  // namespace host

// What the drawing of one picture hands down to everything that draws into it: the cairo context
// and the document drawn, and the picture's own state, shared by every level of the drawing (pattern
// tiles, symbols, placed native documents): its budget of work, its cache of paints and of placed
// files, and the drawer of art that those below the renderer ask to draw (a pattern's tile, a
// placed document). Nothing below the renderer calls back up into it: what it needs comes down here.
//
// Every matrix that reaches cairo is checked here once (FitsDevice): cairo keeps device coordinates
// as 24.8 fixed-point numbers and aborts, or records numbers no reader takes, on a transformation
// that is not finite, not invertible or beyond that range. What fails is skipped or painted flat by
// the caller, and the rest of the picture is drawn.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>

#include <cairo.h>

#include "model/Document.h"
#include "render/RenderBudget.h"

namespace host {

class PaintCache;
class PlacedPainter;

// Pattern tiles drawn inside one another (a tile's art painted with a pattern) stop this deep.
inline constexpr int kTileDepthLimit = 8;

// The largest device coordinate, and scale, cairo can work with: its fixed-point range.
inline constexpr double kDeviceRange = 8'388'607.0;

struct RenderContext;

// Draws art for those below the renderer, within the same picture (its budget, its caches).
class ArtDrawer {
public:
    // Detached artwork (a pattern's tile) in the context's current user space, document coordinates.
    // False when the context is in its error state afterwards.
    virtual bool DrawDetached(const RenderContext& context, const model::ArtTree& art) = 0;
    // The art of the document's layers within the artboard, its top-left corner at the origin of
    // the context's user space, y growing downward (a placed native document).
    virtual bool DrawDocument(cairo_t* cr, const model::Document& document, const model::Rect& artboard) = 0;

protected:
    ~ArtDrawer() = default;
};

// What a picture drew simpler than its document asks, or left out, for want of budget.
enum class Simplification {
    dashesDrawnSolid,     // a dashed stroke drawn solid
    fillLeftOut,          // a fill, or a raster's pixels, not drawn
    strokeLeftOut,        // a stroke not drawn
    textStrokeLeftOut,    // the stroke of glyphs not drawn
    transparencyLeftOut,  // drawn in normal mode at full opacity, without knocking out
    effectsLeftOut,       // drawn without its effects
};

// The objects a picture drew simpler or left out, by kind: each kind is named on standard error
// once the picture is drawn, with how many objects it touched and the first of them.
class Simplifications {
public:
    void Note(Simplification kind, const model::ArtData& art);
    // One line on standard error for each kind noted since the last report; then forgets them.
    void Report();

private:
    struct Noted {
        std::size_t count = 0;
        std::string first;
    };
    std::array<Noted, 6> noted_{};  // by Simplification
};

// The state of one picture, shared by every level of its drawing.
struct PictureState {
    RenderBudget budget;
    Simplifications simplified;
    PaintCache* paints = nullptr;
    PlacedPainter* placed = nullptr;
    ArtDrawer* drawer = nullptr;
    int tileDepth = 0;  // pattern tiles being drawn inside one another
    // The work of each paint under the clip paths in effect (ClipWork), paid by what pays for its
    // clip (SpendClip): the clip groups being drawn, those of placed native documents included.
    double clipWork = 0.0;
};

// What a drawing function is handed: where to draw, what document the art belongs to, and the
// picture it is part of.
struct RenderContext {
    cairo_t* cr;
    const model::Document& document;
    PictureState& picture;

    // The same picture and document, drawn onto another context (a pattern tile's recording).
    RenderContext On(cairo_t* other) const { return RenderContext{other, document, picture}; }
};

cairo_matrix_t ToCairo(const model::Matrix& matrix);

// Keeps the context's state for one scope: saved when made (or by Save), restored when it ends
// (or by Restore), so that every way out of a drawing puts the state back.
class SavedState {
public:
    SavedState() = default;
    explicit SavedState(cairo_t* cr) { Save(cr); }
    ~SavedState() { Restore(); }
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

    void Save(cairo_t* cr) {
        Restore();
        cairo_save(cr);
        cr_ = cr;
    }
    void Restore() {
        if (cr_ != nullptr) {
            cairo_restore(cr_);
            cr_ = nullptr;
        }
    }
    bool saved() const { return cr_ != nullptr; }

private:
    cairo_t* cr_ = nullptr;
};

// Where content width by height units large, y growing downward from its top-left corner, goes
// when placed in a frame: it fills the frame's rectangle, its top-left corner at the frame's, and
// the frame's matrix places it. A side of no length keeps its scale. Rasters, placed files and
// symbol instances are placed by it.
cairo_matrix_t FramePlacement(const model::BoxGeometry& box, double width, double height);

// Whether cairo can draw through the matrix from user space to device space: finite, invertible
// with a finite inverse, and neither it nor its inverse scaling beyond kDeviceRange (an object drawn
// smaller than that shows nothing).
bool FitsDevice(const cairo_matrix_t& userToDevice);

// The matrix followed by the context's current transformation, when cairo can draw through both.
std::optional<cairo_matrix_t> DeviceMatrix(cairo_t* cr, const cairo_matrix_t& matrix);

// Whether the context's current matrix maps user space onto the device both ways with finite numbers:
// a matrix of a very small scale inverts to infinities, which cairo can't draw through.
bool HasUsableMatrix(cairo_t* cr);

// Whether a length (a line width, a blur radius) is finite, not negative and within the device range.
bool FitsDeviceLength(double length);

// Antialiasing touches the pixels around a shape's edge.
inline constexpr double kAntialiasMargin = 1.0;

// A rectangle in device units, y growing downward; whole units where the functions below make one.
struct DeviceBox {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;

    double width() const { return right - left; }
    double height() const { return bottom - top; }
    // No area, or not finite.
    bool isEmpty() const { return !(width() > 0.0 && height() > 0.0 && std::isfinite(width() * height())); }
};

// What the context shows, in device units grown outward to whole units.
DeviceBox DeviceClip(cairo_t* cr);

// The device pixels the context shows: what a group pushed now holds.
double ShownPixels(cairo_t* cr);

// The device pixels of the extent (user space) within shown (what the context shows, DeviceClip):
// what painting the extent touches.
double ExtentPixels(cairo_t* cr, const model::Rect& extent, const DeviceBox& shown);

// Pays for painting the pixels of the bounds (user space) grown by the reach within shown, each at
// the price (by default kPaintPixelPrice), and for the device rows of the edges that bound them;
// false when the picture can't.
bool SpendPaint(const RenderContext& context, const model::Rect& bounds, double reach, const DeviceBox& shown,
                double price = kPaintPixelPrice, double edgeRows = 0.0);

// Whether the context's clip is whole device pixels (none, or rectangles on the pixels' edges), which
// cairo paints under without rasterizing it.
bool ClipIsWholePixels(cairo_t* cr);

// Whether a paint onto the context rasterizes its clip: a picture of pixels whose clip is not whole
// pixels (a vector copy writes the clip as it is).
bool PaintRasterizesClip(cairo_t* cr);

// Pays for rasterizing the clip paths in effect (PictureState::clipWork) for one paint, when the
// paint does (PaintRasterizesClip); false when the picture can't.
bool SpendClip(const RenderContext& context);

// Saves the context's state into saved and clips it further to the extent (user space), grown
// outward to whole device units, so that a group pushed next is no larger than it. False, with
// nothing saved, when the matrix or the extent can't be used that way (the clip is then left as it was).
bool ClipToExtent(cairo_t* cr, const model::Rect& extent, SavedState& saved);

}  // namespace host

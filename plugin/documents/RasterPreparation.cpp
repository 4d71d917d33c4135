#include "documents/RasterPreparation.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "AILayer.h"
#include "AIPathStyle.h"
#include "AIShapeConstruction.h"
#include "IAIArtboards.hpp"
#include "appearance/Colors.h"
#include "art/ArtTree.h"
#include "core/DocumentSettings.h"
#include "core/Json.h"
#include "core/Suites.h"
#include "core/Units.h"
#include "documents/ExportScope.h"
#include "documents/ImageEncoders.h"
#include "documents/RasterBuffer.h"
#include "documents/VectorExport.h"
#include "layout/Geometry.h"
#include "layout/ReferencePoints.h"

namespace {

using nlohmann::json;

double CurUnitsToPoints(double value) {
    return LenUnitsToPoints(value, "current");
}

double NumberOr(const json& job, std::string_view key, double fallback) {
    return ReadNumberStrictly(job, key, fallback);
}

// The first artboard's rectangle.
bool GetArtboardBounds(AIRealRect& bounds) {
    ai::ArtboardList list;
    ArtboardID count = 0;
    ai::ArtboardProperties properties;
    return list.IsValid() && list.GetCount(count) == kNoErr && count > 0 &&
           list.GetArtboardProperties(0, properties) == kNoErr && properties.GetPosition(bounds) == kNoErr;
}

// The visible bounds of the document's top-level objects.
bool GetAllObjectsBounds(AIRealRect& bounds) {
    const ArtHandleSet top = GetTopObjects();
    return !top.empty() && GetArtVectorBounds(ArtList(top.begin(), top.end()), bounds, {.visible = true});
}

// Scales and moves the art so that its bounds lie on the pixel grid.
bool AlignObjectToPixelGrid(ArtObject* art, double resolution) {
    const std::optional<AIRealRect> old = art != nullptr ? ArtBounds(art, false) : std::nullopt;
    if (!old) {
        return false;
    }
    const AIRealRect snapped = AlignRectangleToPixelGrid(*old, resolution > 0 ? resolution : 72.0);
    const double oldWidth = old->right - old->left;
    const double oldHeight = old->top - old->bottom;
    const double newWidth = snapped.right - snapped.left;
    const double newHeight = snapped.top - snapped.bottom;
    if (oldWidth == 0 || oldHeight == 0 || newWidth == 0 || newHeight == 0) {
        return false;
    }
    const AIRealMatrix matrix =
        Concat(Concat(TranslationMatrix(-old->left, -old->top),
                      ScaleMatrix(std::abs(newWidth / oldWidth), std::abs(newHeight / oldHeight))),
               TranslationMatrix(snapped.left, snapped.top));
    return TransformTree(art, matrix, 1.0, kMoveOptions, false);
}

void AlignArtToPixelGrid(const json& job) {
    const double resolution = NumberOr(job, "resolution", 72.0);
    const ArtHandleSet top = GetTopObjects();
    for (ArtObject* leaf : FindLeaves(ArtList(top.begin(), top.end()))) {
        AlignObjectToPixelGrid(leaf, resolution);
    }
}

// A rectangle without stroke filled with the job's "background" (no paint without one) on top of
// the layer's art.
ArtObject* InsertBounds(const AIRealRect& rect, AILayerHandle layer, const json& job) {
    ArtObject* group = nullptr;
    ArtObject* made = nullptr;
    if (sAIArt->GetFirstArtOfLayer(layer, &group) != kNoErr || group == nullptr ||
        sAIShapeConstruction->NewRect(rect.top, rect.left, rect.bottom, rect.right, false, &made) != kNoErr ||
        made == nullptr || sAIArt->ReorderArt(made, kPlaceInsideOnTop, group) != kNoErr) {
        return nullptr;
    }
    PFieldColor color;
    if (const json* background = FindKey(job, "background"); background != nullptr) {
        bool ok = false;
        const PFieldColor read(*background, ok);
        if (ok) {
            color = read;
        }
    }
    // The colour as the rectangle's fill, without a stroke; a colour of kind none paints nothing.
    AIPathStyle style;
    style.fill.color = color.HostColor();
    style.fillPaint = style.fill.color.kind != kNoneColor;
    return sAIPathStyle->SetPathStyle(made, &style) == kNoErr ? made : nullptr;
}

AILayerHandle NewLayer(ai::int16 order) {
    AILayerHandle layer = nullptr;
    return sAILayer->InsertLayer(nullptr, order, &layer) == kNoErr ? layer : nullptr;
}

// The rectangle grown by k times the sides, and by the margin on the sides that take it.
AIRealRect Grown(const AIRealRect& bounds, const PaddingData& sides, double k, const PaddingData& margin) {
    return AIRealRect{bounds.left - k * sides.left - margin.left, bounds.top + k * sides.top + margin.top,
                      bounds.right + k * sides.right + margin.right,
                      bounds.bottom - k * sides.bottom - margin.bottom};
}

// Background, padding and bleed as art: the background on a new bottom layer, covers where the
// padding reaches beyond the bleed on a new top layer. exportRect becomes the union of both
// rectangles with a 3-pixel margin on the outer side. Null when a step fails.
ArtObject* MakeBoundsBackground(const json& job, const AIRealRect& bounds, double k, AIRealRect& exportRect) {
    const PaddingData bleed(job, "bleed");
    const PaddingData padding(job, "padding");
    const double resolution = NumberOr(job, "resolution", 72.0);
    if (resolution == 0) {
        return nullptr;
    }
    const double margin = (kRasterBorder * 72.0 / resolution) / GetDocumentScale();
    PaddingData bleedMargin;
    PaddingData paddingMargin;
    const auto share = [&](double bleedSide, double paddingSide, double& toBleed, double& toPadding) {
        (bleedSide < paddingSide ? toPadding : toBleed) = margin;
    };
    share(bleed.left, padding.left, bleedMargin.left, paddingMargin.left);
    share(bleed.right, padding.right, bleedMargin.right, paddingMargin.right);
    share(bleed.top, padding.top, bleedMargin.top, paddingMargin.top);
    share(bleed.bottom, padding.bottom, bleedMargin.bottom, paddingMargin.bottom);
    const AIRealRect b = AlignRectangleToPixelGrid(Grown(bounds, bleed, k, bleedMargin), resolution);
    const AIRealRect p = AlignRectangleToPixelGrid(Grown(bounds, padding, k, paddingMargin), resolution);
    exportRect = Union(b, p);
    const AILayerHandle below = NewLayer(kPlaceBelowAll);
    ArtObject* background = below != nullptr ? InsertBounds(p, below, job) : nullptr;
    const AILayerHandle above = background != nullptr ? NewLayer(kPlaceAboveAll) : nullptr;
    if (above == nullptr) {
        return nullptr;
    }
    const struct {
        bool needed;
        AIRealRect rect;
    } covers[] = {
        {b.left > p.left, {p.left, p.top, b.left, p.bottom}},
        {p.right > b.right, {b.right, p.top, p.right, p.bottom}},
        {p.top > b.top, {p.left, p.top, p.right, b.top}},
        {b.bottom > p.bottom, {p.left, b.bottom, p.right, p.bottom}},
    };
    for (const auto& cover : covers) {
        if (cover.needed && InsertBounds(cover.rect, above, job) == nullptr) {
            return nullptr;
        }
    }
    return background;
}

}  // namespace

PaddingData::PaddingData(const json& job, const std::string& key) {
    const json* value = FindKey(job, key);
    if (value == nullptr) {
        return;
    }
    if (value->is_number()) {
        left = right = top = bottom = CurUnitsToPoints(value->get<double>());
        return;
    }
    if (!value->is_object()) {
        return;
    }
    const auto side = [&](const char* name) {
        const json* number = FindKey(*value, name);
        return number != nullptr && number->is_number() ? CurUnitsToPoints(number->get<double>()) : 0.0;
    };
    left = side("left");
    right = side("right");
    top = side("top");
    bottom = side("bottom");
}

bool GetScaleFromJson(const json& job, AIRealPoint size, double& scale) {
    if (HasKey(job, "scale")) {
        const double given = NumberOr(job, "scale", 1.0);
        if (!(given > 0) || !std::isfinite(given)) {
            return false;
        }
        scale = given;
        return true;
    }
    if (!(size.h > 0 && size.v > 0)) {
        return false;
    }
    const double width = CurUnitsToPoints(NumberOr(job, "width", 0.0));
    const double height = CurUnitsToPoints(NumberOr(job, "height", 0.0));
    scale = width > 0 ? width / size.h : height > 0 ? height / size.v : 1.0;
    return std::isfinite(scale) && scale > 0;
}

AIRealRect AlignRectangleToPixelGrid(AIRealRect rect, double resolution) {
    const double pixel = resolution > 0 ? 72.0 / resolution : 1.0;
    const auto snap = [pixel](double v) { return std::floor(v / pixel + 0.5) * pixel; };
    return AIRealRect{snap(rect.left), snap(rect.top), snap(rect.right), snap(rect.bottom)};
}

bool PrepareRasterExport(json& job, const ArtList& selectedArt, AIRealRect& exportRect, std::string& error) {
    const std::string range = ReadTextStrictly(job, "artboardRange");
    if (!CutDocumentToJob(job, selectedArt, error)) {
        return false;
    }
    FitJobText(job);
    CreateSingleArtboard(job);
    const bool padFromArtwork = ReadBoolStrictly(job, "padFromArtwork", range.empty());
    const bool padFirst = ReadBoolStrictly(job, "padFirst", false);
    AIRealRect bounds{};
    if (range.empty() || padFromArtwork) {
        if (!GetAllObjectsBounds(bounds)) {
            error = "Can't get objects size";
            return false;
        }
    } else if (!GetArtboardBounds(bounds)) {
        error = "Can't get artboards size";
        return false;
    }
    const double width = std::abs(bounds.left - bounds.right);
    const double height = std::abs(bounds.top - bounds.bottom);
    double scale = 0;
    int resolution = 0;
    int fileResolution = 0;
    // A scale or resolution that gives no drawable raster fails here, before anything is drawn.
    if (!GetScaleFromJson(job, AIRealPoint{width, height}, scale) || scale == 0 ||
        !ExportResolutions(NumberOr(job, "resolution", 72.0), GetDocumentScale(), std::max(width, height),
                           scale, resolution, fileResolution)) {
        error = "Can't get an export scale";
        return false;
    }
    job["resolution"] = resolution;
    job["fileResolution"] = fileResolution;
    if (ReadBoolStrictly(job, "pixelPerfect", false)) {
        AlignArtToPixelGrid(job);
    }
    if (MakeBoundsBackground(job, bounds, padFirst ? 1.0 : 1.0 / scale, exportRect) == nullptr) {
        error = "Can't add a clipping";
        return false;
    }
    return true;
}

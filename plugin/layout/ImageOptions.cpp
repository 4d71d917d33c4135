// Raster options read from requests, and rasterizing art with them through the host's rasterize
// suite. Everything the host lends for the work (the art set, the helper rectangle of a clipping
// offset) is given back by scope objects on every way out.
#include "layout/ImageOptions.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "AIArtSet.h"
#include "AIDocument.h"
#include "AIRasterize.h"
#include "AIShapeConstruction.h"
#include "art/ArtChanges.h"
#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "core/DocumentSettings.h"
#include "core/Json.h"
#include "core/Suites.h"
#include "core/Units.h"
#include "layout/LayoutScopes.h"
#include "layout/Structure.h"

namespace {

// The longest side of a raster the host makes, in pixels.
constexpr double kLargestRasterSide = 16383.0;

// The colour spaces by their request names.
constexpr std::pair<const char*, int> kColorSpaceNames[] = {
    {"RGB", kImageRGB}, {"CMYK", kImageCMYK}, {"Grayscale", kImageGrayscale}};

// The document's colour model as a raster colour space; none when it can't be read.
std::optional<int> DocumentColorSpace() {
    ai::int16 model = 0;
    if (sAIDocument == nullptr || sAIDocument->GetDocumentColorModel(&model) != kNoErr) {
        return std::nullopt;
    }
    switch (model) {
        case kDocGrayColor:
            return kImageGrayscale;
        case kDocRGBColor:
            return kImageRGB;
        case kDocCMYKColor:
            return kImageCMYK;
        default:
            return std::nullopt;
    }
}

std::optional<int> ColorSpaceOf(const std::string& name) {
    if (name.empty()) {
        return DocumentColorSpace();
    }
    for (const auto& [known, space] : kColorSpaceNames) {
        if (name == known) {
            return space;
        }
    }
    return std::nullopt;
}

bool ComputeBounds(const ArtSetScope& set, AIRealRect& bounds) {
    return set.Get() != nullptr && sAIRasterize->ComputeArtBounds(set.Get(), &bounds, false) == kNoErr;
}

// Best effort: a rectangle without paint over the bounds enlarged by the offset, below the last
// operand, added to the set; the bounds are computed again. A failure leaves the rest undone.
void AddClippingMargin(ArtSetScope& set, ArtObject* lastOperand, double offset, AIRealRect& bounds,
                       ArtChanges& rectangle) {
    const AIRealRect enlarged{bounds.left - offset, bounds.top + offset, bounds.right + offset,
                              bounds.bottom - offset};
    if (enlarged.left > enlarged.right || enlarged.bottom > enlarged.top || sAIShapeConstruction == nullptr) {
        return;
    }
    ArtObject* made = nullptr;
    if (sAIArt->SetInsertionPoint(lastOperand) != kNoErr ||
        sAIShapeConstruction->NewRect(enlarged.top, enlarged.left, enlarged.bottom, enlarged.right, false,
                                      &made) != kNoErr ||
        made == nullptr) {
        return;
    }
    rectangle.Made(made);
    if (sAIArt->ReorderArt(made, kPlaceBelow, lastOperand) != kNoErr || !SetNoneStyle(made) ||
        !set.Add(made)) {
        return;
    }
    AIRealRect again;
    if (ComputeBounds(set, again)) {
        bounds = again;
    }
}

std::optional<AIRasterizeType> RasterType(int colorSpace, bool transparent) {
    switch (colorSpace) {
        case kImageRGB:
            return transparent ? kRasterizeARGB : kRasterizeRGB;
        case kImageCMYK:
            return transparent ? kRasterizeACMYK : kRasterizeCMYK;
        case kImageGrayscale:
            return transparent ? kRasterizeAGrayscale : kRasterizeGrayscale;
        default:
            return std::nullopt;
    }
}

// The resolution scaled by the document's scale, lowered so that the longer side of the bounds is
// at most kLargestRasterSide pixels.
double LimitedResolution(double resolution, const AIRealRect& bounds) {
    resolution *= GetDocumentScale();
    const double longer = std::max(bounds.right - bounds.left, bounds.top - bounds.bottom);
    const double pixels = resolution / 72.0 * longer;
    if (pixels > kLargestRasterSide) {
        resolution *= kLargestRasterSide / pixels;
    }
    return resolution;
}

// The raster clipped to the united outline of the list's paths; the raster alone when that can't
// be made (a clip path made on the way is not left behind).
ArtObject* ClipRaster(ArtObject* raster, const ArtList& list) {
    ArtObject* clipPath = ArtToClippingPath(list);
    if (clipPath == nullptr) {
        return raster;
    }
    ArtObject* group = nullptr;
    if (sAIArt->ReorderArt(clipPath, kPlaceAbove, raster) == kNoErr) {
        group = CreateClipGroup(raster, clipPath);
    }
    if (group == nullptr && sAIArt->ValidArt(clipPath, true)) {
        sAIArt->DisposeArt(clipPath);
    }
    return group != nullptr ? group : raster;
}

}  // namespace

ImageOptions::ImageOptions(const json& request, bool& ok) {
    ok = false;
    const std::optional<int> space = ColorSpaceOf(ReadTextStrictly(request, "colorSpace"));
    if (!space) {
        return;
    }
    colorSpace = *space;
    ReadJsonValue(request, "transparentBackground", transparentBackground);
    resolution = ReadNumberStrictly(request, "resolution", resolution);
    antiAlias = ReadBoolStrictly(request, "antiAlias", true) ? 2 : 0;
    preserveSpotColors = ReadBoolStrictly(request, "preserveSpotColors", preserveSpotColors);
    lzwCompression = ReadBoolStrictly(request, "lzwCompression", lzwCompression);
    if (const json* offset = FindKey(request, "clippingMaskOffset");
        offset != nullptr && offset->is_number()) {
        clippingMaskOffset = LenUnitsToPoints(offset->get<double>(), "current");
    }
    // A resolution or offset out of range would reach the host's renderer unchecked.
    const bool offsetUsable = !clippingMaskOffset || std::isfinite(*clippingMaskOffset);
    ok = std::isfinite(resolution) && resolution > 0.0 && offsetUsable;
}

ArtObject* ImageOptions::RasterizeArt(const ArtList& list) {
    const ArtList operands = SortArtByPaintOrder(RemoveLeaves2(list), false);
    if (operands.empty() || sAIRasterize == nullptr || sAIArt == nullptr) {
        return nullptr;
    }
    ArtSetScope set;
    AIRealRect bounds;
    const bool added =
        std::all_of(operands.begin(), operands.end(), [&](ArtObject* art) { return set.Add(art); });
    if (!added || !ComputeBounds(set, bounds)) {
        return nullptr;
    }
    ArtChanges rectangle;  // the helper rectangle of the offset, disposed of on every way out
    if (clippingMaskOffset) {
        AddClippingMargin(set, operands.back(), *clippingMaskOffset, bounds, rectangle);
    }
    const std::optional<AIRasterizeType> type = RasterType(colorSpace, transparentBackground);
    if (!type) {
        return nullptr;
    }
    resolution = LimitedResolution(resolution, bounds);
    AIRasterizeSettings settings;
    settings.type = *type;
    settings.resolution = resolution;
    settings.antialiasing = antiAlias != 0 ? kRasterizeArtOptimized : kRasterizeNoAntialiasing;
    settings.options =
        kRasterizeOptionsUseEffectsRes | (preserveSpotColors ? kRasterizeOptionsDoSpotColorPreserve : 0);
    settings.preserveSpotColors = preserveSpotColors;
    ArtObject* raster = nullptr;
    if (sAIRasterize->Rasterize(set.Get(), &settings, &bounds, kPlaceAbove, operands.front(), &raster) !=
            kNoErr ||
        raster == nullptr) {
        return nullptr;
    }
    // A raster whose rasterizing can't be finished does not stay behind.
    ArtChanges made;
    made.Made(raster);
    if (!set.Dispose()) {
        return nullptr;
    }
    if (clippingMaskOffset) {
        rectangle.TakeBack();
        raster = ClipRaster(raster, list);
    }
    made.Keep();
    return raster;
}

ArtObject* ImageOptions::RasterizeLayers(const AIRealRect& rect) const {
    const std::optional<AIRasterizeType> type = RasterType(colorSpace, transparentBackground);
    if (!type || sAIRasterize == nullptr || sAIArt == nullptr) {
        return nullptr;
    }
    ArtSetScope set;
    bool any = false;
    for (AILayerHandle layer : GetTopLayers()) {
        ArtObject* group = nullptr;
        if (sAIArt->GetFirstArtOfLayer(layer, &group) != kNoErr || !set.Add(group)) {
            break;
        }
        any = true;
    }
    if (!any) {
        return nullptr;
    }
    AIRasterizeSettings settings;
    settings.type = *type;
    settings.resolution = resolution;
    settings.antialiasing = antiAlias != 0 ? kRasterizeArtOptimized : kRasterizeNoAntialiasing;
    ArtObject* raster = nullptr;
    if (sAIRasterize->Rasterize(set.Get(), &settings, &rect, kPlaceAboveAll, nullptr, &raster) != kNoErr) {
        return nullptr;
    }
    return raster;
}

ArtObject* ArtToClippingPath(const ArtList& list) {
    ArtList kept;
    std::copy_if(list.begin(), list.end(), std::back_inserter(kept), [](ArtObject* art) {
        return hostart::IsOfType(art, kPathArt) || hostart::IsOfType(art, kCompoundPathArt);
    });
    if (kept.empty()) {
        return nullptr;
    }
    std::string error;
    ArtObject* united = Pathfinder2(kept, "unite", error);
    if (united == nullptr) {
        return nullptr;
    }
    // What was made on the way goes when a later step fails.
    ArtChanges made;
    made.Made(united);
    ArtObject* compound = MakeCompoundPathArt({united});
    if (compound == nullptr) {
        return nullptr;
    }
    made.Made(compound);
    if (!SetNoneStyle(compound)) {
        return nullptr;
    }
    made.Keep();
    return compound;
}

// Raster options read from requests, and rasterizing art with them through the host's rasterize
// suite. Everything the host lends for the work (the art set, the helper rectangle of a clipping
// offset) is given back by scope objects on every way out.
#include "layout/ImageOptions.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "AIArtSet.h"
#include "AIDocument.h"
#include "AIExpand.h"
#include "AIPathStyle.h"
#include "AIRasterize.h"
#include "AIShapeConstruction.h"
#include "art/ArtChanges.h"
#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "art/Tags.h"
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

// The raster clipped to the united outline of the list's paths grown by the offset; the raster
// alone when that can't be made (a clip path made on the way is not left behind).
ArtObject* ClipRaster(ArtObject* raster, const ArtList& list, double offset) {
    ArtObject* clipPath = ArtToClippingPath(list, offset);
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

// The paths and compound paths that give the art its outline: the art itself, or those inside a
// group; a clip group shows only within its clipping path, so that path alone stands for it. Other
// art (text, images, symbol instances) gives none.
void CollectOutlineShapes(ArtObject* art, ArtList& shapes) {
    const std::optional<ai::int16> type = hostart::Type(art);
    if (type == kPathArt || type == kCompoundPathArt) {
        shapes.push_back(art);
    } else if (type == kGroupArt) {
        if (ArtObject* mask = FindClippingMask(art)) {
            CollectOutlineShapes(mask, shapes);
            return;
        }
        for (ArtObject* child : hostart::Children(art)) {
            CollectOutlineShapes(child, shapes);
        }
    }
}

// A filled shape stroked twice the distance wide with round joins and caps, so that the stroke's
// outline reaches the distance out from the shape's edge and in from it. False when the host
// refuses.
bool StrokeForOffset(ArtObject* shape, double distance) {
    AIPathStyle style;
    if (sAIPathStyle == nullptr || sAIPathStyle->GetPathStyle(shape, &style, nullptr) != kNoErr) {
        return false;
    }
    style.fillPaint = true;
    style.fill = AIFillStyle{};
    style.fill.color.kind = kGrayColor;
    style.strokePaint = true;
    style.stroke = AIStrokeStyle{};
    style.stroke.color.kind = kGrayColor;
    style.stroke.width = 2.0 * std::abs(distance);
    style.stroke.cap = kAIRoundCap;
    style.stroke.join = kAIRoundJoin;
    return sAIPathStyle->SetPathStyle(shape, &style) == kNoErr;
}

// The shape grown by the distance on every side (shrunk for a negative distance): its stroke of
// twice the distance is expanded into a filled outline, which is united with the shape's fill (or
// taken from it). The shape is consumed; null when a step fails, and what was made on the way does
// not stay.
ArtObject* GrowShape(ArtObject* shape, double distance) {
    if (distance == 0.0) {
        return shape;
    }
    if (sAIExpand == nullptr || !StrokeForOffset(shape, distance)) {
        return nullptr;
    }
    const ArtList before = GetAllObjects(false);
    if (sAIExpand->Expand(shape, kExpandStroke, 0) != kNoErr) {
        return nullptr;
    }
    // The expanded shape: a group of its fill and, above it, the outline of its stroke.
    const ArtList added = RemoveLeaves2(FindAddedArt(before));
    ArtChanges made;
    for (ArtObject* art : added) {
        made.Made(art);
    }
    const ArtList pieces = added.size() == 1 ? hostart::Children(added.front()) : ArtList{};
    if (pieces.size() != 2) {
        return nullptr;
    }
    std::string error;
    ArtObject* grown =
        distance > 0.0 ? Pathfinder2(added, "unite", error) : Pathfinder2(pieces, "minusFront", error);
    if (grown == nullptr ||
        (distance < 0.0 && sAIArt->ReorderArt(grown, kPlaceAbove, added.front()) != kNoErr)) {
        return nullptr;
    }
    made.Made(grown);  // the group, emptied or consumed, goes with the pieces made
    if (sAIArt->ValidArt(added.front(), true)) {
        sAIArt->DisposeArt(added.front());
    }
    made.Keep();
    return grown;
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
        raster = ClipRaster(raster, list, *clippingMaskOffset);
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

ArtObject* ArtToClippingPath(const ArtList& list, double offset) {
    ArtList kept;
    for (ArtObject* art : RemoveLeaves2(list)) {
        CollectOutlineShapes(art, kept);
    }
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
    ArtObject* grown = GrowShape(united, offset);
    if (grown == nullptr) {
        return nullptr;
    }
    made.Made(grown);
    ArtObject* compound = MakeCompoundPathArt({grown});
    if (compound == nullptr) {
        return nullptr;
    }
    made.Made(compound);
    if (!SetNoneStyle(compound)) {
        return nullptr;
    }
    // The pathfinder gave the outline the tags of the paths it united; the mask is no object of its
    // own to find, so that a tag finds the clipped raster alone.
    for (ArtObject* art : GetObjectsTree(compound)) {
        RemoveTags(art);
    }
    made.Keep();
    return compound;
}

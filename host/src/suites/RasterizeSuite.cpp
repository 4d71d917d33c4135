// The rasterize suite: the bounds of an art set, and drawing it into a new raster with the
// application's renderer.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

#include "AIRasterize.h"
#include "render/Renderer.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIRasterizeSuite;

using model::ArtId;

// The art of a set; none when the set is unknown, empty or holds art that is no longer valid.
std::optional<std::vector<ArtId>> SetArt(HostState& state, const model::Document& document, AIArtSet set) {
    const ArtSetMembers* members = state.art.sets.Find(set);
    if (members == nullptr || members->order.empty()) {
        return std::nullopt;
    }
    for (const ArtId art : members->order) {
        if (!document.isValid(art)) {
            return std::nullopt;
        }
    }
    return members->order;
}

std::optional<model::Rect> VisibleBounds(const model::Document& document, const std::vector<ArtId>& art) {
    model::Rect bounds;
    for (const ArtId id : art) {
        bounds = bounds.united(document.bounds(id, model::BoundsKind::visible).valueOr(model::Rect()));
    }
    if (bounds.isEmpty()) {
        return std::nullopt;
    }
    return bounds;
}

AIErr ComputeArtBounds(AIArtSet artSet, AIRealRect* artBounds, AIBoolean) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "ComputeArtBounds");
    const std::optional<std::vector<ArtId>> art =
        error == kNoErr ? SetArt(*state, *document, artSet) : std::nullopt;
    const std::optional<model::Rect> bounds = art ? VisibleBounds(*document, *art) : std::nullopt;
    if (error == kNoErr && (!bounds || artBounds == nullptr)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        *artBounds = AIRealRect{bounds->left, bounds->top, bounds->right, bounds->bottom};
    }
    return error;
}

// The renderer's settings for a raster type; none for a type this host does not make.
std::optional<RenderSettings> SettingsFor(const AIRasterizeSettings& settings) {
    RenderSettings result;
    result.linkFolder = CurrentDocumentFolder();
    result.resolution = settings.resolution;
    result.antiAlias = settings.antialiasing != kRasterizeNoAntialiasing;
    switch (settings.type) {
        case kRasterizeARGB:
            result.transparent = true;
            [[fallthrough]];
        case kRasterizeRGB:
            result.space = model::RasterPixels::Space::rgb;
            return result;
        case kRasterizeACMYK:
            result.transparent = true;
            [[fallthrough]];
        case kRasterizeCMYK:
            result.space = model::RasterPixels::Space::cmyk;
            return result;
        case kRasterizeAGrayscale:
            result.transparent = true;
            [[fallthrough]];
        case kRasterizeGrayscale:
            result.space = model::RasterPixels::Space::gray;
            return result;
        default:
            return std::nullopt;
    }
}

// The art of the set in painting order (the lowest first): back to front in document order, art
// outside the document order (in no layer) lowest. Each object's place in the document order is
// looked up once, in one walk of the document.
std::vector<ArtId> PaintingOrder(const model::Document& document, const std::vector<ArtId>& art) {
    std::unordered_map<ArtId, std::optional<std::size_t>> places;
    for (const ArtId id : art) {
        places.emplace(id, std::nullopt);
    }
    std::size_t place = 0;
    for (const ArtId id : document.documentOrder()) {
        if (const auto found = places.find(id); found != places.end() && !found->second) {
            found->second = place;
        }
        ++place;
    }
    std::vector<std::pair<std::size_t, ArtId>> placed;
    placed.reserve(art.size());
    for (const ArtId id : art) {
        placed.emplace_back(places.at(id).value_or(place), id);
    }
    std::sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<ArtId> ordered;
    ordered.reserve(placed.size());
    for (const auto& [_, id] : placed) {
        ordered.push_back(id);
    }
    return ordered;
}

AIErr Rasterize(AIArtSet artSet, const AIRasterizeSettings* settings, const AIRealRect* artBounds,
                ai::int16 paintOrder, AIArtHandle prepArt, AIArtHandle* raster) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "Rasterize");
    const std::string prepLabel = ArtLabel(document, prepArt);
    const std::optional<std::vector<ArtId>> art =
        error == kNoErr ? SetArt(*state, *document, artSet) : std::nullopt;
    const std::optional<RenderSettings> render = settings != nullptr ? SettingsFor(*settings) : std::nullopt;
    const std::optional<model::PaintOrder> order = model::paintOrderFromCode(paintOrder);
    std::optional<model::Rect> bounds;
    if (artBounds != nullptr) {
        bounds = model::Rect(artBounds->left, artBounds->top, artBounds->right, artBounds->bottom);
    }
    std::optional<model::RasterPixels> pixels;
    if (error == kNoErr && art && render && order && bounds && raster != nullptr) {
        pixels = RenderArt(*document, PaintingOrder(*document, *art), *bounds, *render);
    }
    if (error == kNoErr && !pixels) {
        error = kBadParameterErr;
    }
    model::Result<ArtId> made = model::Status::badParameter;
    if (error == kNoErr) {
        made = document->newArt(model::ArtType::raster, *order, ArtIdOf(prepArt));
        error = made ? kNoErr : ErrorFromStatus(made.status());
    }
    if (error == kNoErr) {
        model::RasterContent* content = document->editContent<model::RasterContent>(*made);
        content->box.frame = *bounds;
        content->pixels = std::move(*pixels);
    }
    if (raster != nullptr) {
        *raster = error == kNoErr ? ArtHandleOf(*made) : nullptr;
    }
    if (state != nullptr) {
        const std::string resolution = settings != nullptr ? std::to_string(settings->resolution) : "null";
        const std::string type = settings != nullptr ? std::to_string(settings->type) : "null";
        state->journal.Record("Rasterize", {type, resolution, std::to_string(paintOrder), prepLabel}, error);
    }
    return error;
}

}  // namespace

AIRasterizeSuite gRasterizeSuite = {
    PLIM_SUITE_FUNCTION(ComputeArtBounds),
    PLIM_SUITE_FUNCTION(Rasterize),
};

}  // namespace host

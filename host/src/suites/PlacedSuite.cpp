// The placed-art suite: files placed as new art or in place of a placed or raster art. What the
// file gives (PlacedFiles.h) becomes art: a linked file is placed art naming it; an embedded image
// a raster with its pixels; an embedded native document a group holding one clip group (the
// artboard's rectangle clipping the document's art); a text file point text. New art goes to the
// insertion point, centred on the active artboard; art placed in place of another is fitted to
// its geometric bounds by that art's place options and takes its place.
#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "AIPlaced.h"
#include "Documents.h"
#include "HostState.h"
#include "model/ResolvedPath.h"
#include "render/PlacedFiles.h"
#include "render/PlacedPainter.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/InsertionPoint.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIPlacedSuite;

bool IsPlacedOrRaster(const model::Document& document, model::ArtId art) {
    const model::Result<model::ArtType> type = document.type(art);
    return type && (*type == model::ArtType::placed || *type == model::ArtType::raster);
}

// The place options of placed or raster art, kept in its content; null for other art.
const model::PlaceFit* PlaceFitOf(const model::Document& document, model::ArtId art) {
    if (const auto* placed = document.contentAs<model::PlacedContent>(art)) {
        return &placed->fit;
    }
    const auto* raster = document.contentAs<model::RasterContent>(art);
    return raster != nullptr ? &raster->fit : nullptr;
}

// The same for a change, which the document records like any edit of the art.
model::PlaceFit* EditPlaceFit(model::Document& document, model::ArtId art) {
    if (auto* placed = document.editContent<model::PlacedContent>(art)) {
        return &placed->fit;
    }
    auto* raster = document.editContent<model::RasterContent>(art);
    return raster != nullptr ? &raster->fit : nullptr;
}

// The matrix that takes content of the frame into the target rectangle: scaled by the method (as
// is 0, fill 1, fit 2, conform 3; any other as is) and aligned by one of nine positions.
model::Matrix FitFrame(const model::Rect& frame, const model::Rect& target, const model::PlaceFit& options) {
    const double rx = frame.width() > 0.0 ? target.width() / frame.width() : 1.0;
    const double ry = frame.height() > 0.0 ? target.height() / frame.height() : 1.0;
    double sx = 1.0;
    double sy = 1.0;
    switch (options.method) {
        case 1:
            sx = sy = std::max(rx, ry);
            break;
        case 2:
            sx = sy = std::min(rx, ry);
            break;
        case 3:
            sx = rx;
            sy = ry;
            break;
        default:
            break;
    }
    const double width = frame.width() * sx;
    const double height = frame.height() * sy;
    const int column = options.alignment >= 0 && options.alignment <= 8 ? options.alignment / 3 : 1;
    const int row = options.alignment >= 0 && options.alignment <= 8 ? options.alignment % 3 : 1;
    const double left = target.left + (target.width() - width) * column / 2.0;
    const double top = target.top - (target.height() - height) * row / 2.0;
    return model::Matrix::translation(-frame.left, -frame.top)
        .then(model::Matrix::scaling(sx, sy))
        .then(model::Matrix::translation(left, top));
}

// An embedded native document: a group holding one clip group whose clipping path is the
// artboard's rectangle, over copies of the document's art.
model::Result<model::ArtId> EmbedDocument(model::Document& document, const model::Document& source,
                                          const model::Rect& artboard, model::PaintOrder order,
                                          model::ArtId target) {
    const model::Result<model::ArtId> group = document.newArt(model::ArtType::group, order, target);
    const model::Result<model::ArtId> clip =
        group ? document.newArt(model::ArtType::group, model::PaintOrder::insideOnTop, *group) : group;
    const model::Result<model::ArtId> mask =
        clip ? document.newArt(model::ArtType::path, model::PaintOrder::insideOnTop, *clip) : clip;
    if (!mask) {
        return mask;
    }
    document.editContent<model::GroupContent>(*clip)->clipped = true;
    document.editContent<model::PathContent>(*mask)->geometry = model::PathGeometry::rectangle(artboard);
    document.setAttributes(*mask, model::attribute::clippingMask, model::attribute::clippingMask);
    for (std::size_t layer = 0; layer < source.layers().count(); ++layer) {
        const model::Result<model::ArtId> layerGroup = source.layers().group(*source.layers().nth(layer));
        const model::Result<std::vector<model::ArtId>> children =
            layerGroup ? source.children(*layerGroup)
                       : model::Result<std::vector<model::ArtId>>(model::Status::notFound);
        for (const model::ArtId child : children ? *children : std::vector<model::ArtId>{}) {
            model::Result<model::ArtTree> copy = source.copyOf(child);
            if (copy) {
                document.insertCopy(std::move(*copy), model::PaintOrder::insideOnBottom, *clip);
            }
        }
    }
    return group;
}

// The new art for what the file gave, placed by the order and target.
model::Result<model::ArtId> MakePlacedArt(model::Document& document, PlacedFile& placed, bool embed,
                                          const std::string& path, model::PaintOrder order,
                                          model::ArtId target) {
    if (placed.kind == PlacedKind::text) {
        const model::Result<model::ArtId> frame = document.newArt(model::ArtType::textFrame, order, target);
        if (frame) {
            auto* text = document.editContent<model::TextFrameContent>(*frame);
            text->kind = model::TextKind::point;
            if (std::optional<model::Story> story = model::Story::plain(placed.text)) {
                text->story = *std::move(story);
            }
            text->box.frame = placed.frame;
        }
        return frame;
    }
    if (embed && placed.kind == PlacedKind::document && placed.document) {
        return EmbedDocument(document, *placed.document, placed.frame, order, target);
    }
    if (embed && placed.kind == PlacedKind::image) {
        const model::Result<model::ArtId> raster = document.newArt(model::ArtType::raster, order, target);
        if (raster) {
            auto* content = document.editContent<model::RasterContent>(*raster);
            content->box.frame = placed.frame;
            content->pixels = std::move(placed.pixels);
        }
        return raster;
    }
    const model::Result<model::ArtId> art = document.newArt(model::ArtType::placed, order, target);
    if (art) {
        auto* content = document.editContent<model::PlacedContent>(*art);
        content->file = path;
        content->box.frame = placed.frame;
    }
    return art;
}

// The path a placed file's link keeps: a relative path names a file from the working folder when it
// is placed, so the link keeps the whole path (relative links of a document resolve against the
// document's own folder). "." and repeated "/" are dropped as text, and the folders are kept as
// spelt (a link to a folder stays in the path), but a ".." is taken as the system takes it
// ("link/.." is the parent of the link's target): as text it would name another file. A path the
// system fails stays as given, and reading it fails.
std::string LinkPath(const std::string& given) {
    const std::filesystem::path path(given);
    if (std::find(path.begin(), path.end(), "..") != path.end()) {
        return model::resolvedPath(path).string();
    }
    std::error_code failed;
    const std::filesystem::path absolute = std::filesystem::absolute(path, failed);
    return failed ? given : absolute.lexically_normal().string();
}

AIErr ExecPlaceRequest(AIPlaceRequestData& request) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "ExecPlaceRequest");
    const std::string* given = state != nullptr && request.m_pFilePath != nullptr
                                   ? state->text.paths.Find(request.m_pFilePath->ref())
                                   : nullptr;
    const std::string absolute = given != nullptr && !given->empty() ? LinkPath(*given) : std::string();
    const std::string* path = given == nullptr ? nullptr : given->empty() ? given : &absolute;
    const model::ArtId old = ArtIdOf(request.m_hOldArt);
    const bool replace = request.m_lPlaceMode == kForceReplace;
    if (error == kNoErr && (path == nullptr || (request.m_lPlaceMode != kVanillaPlace && !replace) ||
                            (replace && !IsPlacedOrRaster(*document, old)) || !PlacedKindOf(*path))) {
        error = kBadParameterErr;
    }
    const bool embed = request.m_filemethod == 0;
    std::string reason;
    std::optional<PlacedFile> placed;
    if (error == kNoErr) {
        placed = ReadPlacedFileWithinBound(*path, embed && PlacedKindOf(*path) == PlacedKind::image, reason);
        error = placed ? kNoErr : kCantHappenErr;
    }
    model::ArtId made;
    if (error == kNoErr) {
        const InsertionPlace insertion = ResolveInsertionPoint(*state, *document);
        const model::Result<model::ArtId> art =
            replace ? MakePlacedArt(*document, *placed, embed, *path, model::PaintOrder::above, old)
                    : MakePlacedArt(*document, *placed, embed, *path, insertion.order, insertion.target);
        error = art ? kNoErr : ErrorFromStatus(art.status());
        made = art ? *art : model::ArtId{};
    }
    if (error == kNoErr) {
        const model::Rect artboard = document->artboards().active().bounds;
        const model::Result<model::Rect> target = replace
                                                      ? document->bounds(old, model::BoundsKind::geometric)
                                                      : model::Result<model::Rect>(artboard);
        const model::PlaceFit* options = replace ? PlaceFitOf(*document, old) : nullptr;
        model::PlaceFit fitting = options != nullptr ? *options : model::PlaceFit{};
        if (!replace) {
            fitting.method = 0;  // new art keeps its size, centred on the artboard
        }
        document->transform(made, FitFrame(placed->frame, target ? *target : artboard, fitting));
        if (replace) {
            document->dispose(old);
        }
        request.m_hNewArt = ArtHandleOf(made);
    }
    Record(state, "ExecPlaceRequest",
           {path != nullptr ? *path : std::string(), std::to_string(request.m_lPlaceMode),
            embed ? "embed" : "link", reason},
           error);
    return error;
}

AIErr GetPlaceOptions(AIArtHandle placed, ai::PlaceMethod* method, ai::PlaceAlignment* alignment,
                      AIBoolean* clip) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetPlaceOptions");
    if (error == kNoErr && (method == nullptr || alignment == nullptr || clip == nullptr ||
                            !IsPlacedOrRaster(*document, ArtIdOf(placed)))) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return error;
    }
    const model::PlaceFit options = *PlaceFitOf(*document, ArtIdOf(placed));
    *method = static_cast<ai::PlaceMethod>(options.method);
    *alignment = static_cast<ai::PlaceAlignment>(options.alignment);
    *clip = options.clip ? 1 : 0;
    return kNoErr;
}

AIErr SetPlaceOptions(AIArtHandle placed, ai::PlaceMethod method, ai::PlaceAlignment alignment,
                      AIBoolean clip) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "SetPlaceOptions");
    if (error == kNoErr && (!IsPlacedOrRaster(*document, ArtIdOf(placed)) || method < 0 || method > 4 ||
                            alignment < 0 || alignment > 8)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        const model::PlaceFit wanted{static_cast<int>(method), static_cast<int>(alignment), clip != 0};
        // Options as they are change nothing, so they make no undo step.
        if (*PlaceFitOf(*document, ArtIdOf(placed)) != wanted) {
            *EditPlaceFit(*document, ArtIdOf(placed)) = wanted;
        }
    }
    Record(state, "SetPlaceOptions",
           {ArtLabel(document, placed), std::to_string(method), std::to_string(alignment)}, error);
    return error;
}

AIErr GetPlacedFileSpecification(AIArtHandle placed, ai::FilePath& file) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetPlacedFileSpecification");
    const model::PlacedContent* content =
        error == kNoErr ? document->contentAs<model::PlacedContent>(ArtIdOf(placed)) : nullptr;
    error = OutputError(error, content);
    if (error != kNoErr) {
        return error;
    }
    SetFilePathText(*state, file, content->file);
    return kNoErr;
}

}  // namespace

AIPlacedSuite gPlacedSuite = {
    PLIM_SUITE_FUNCTION(ExecPlaceRequest),
    PLIM_SUITE_FUNCTION(GetPlaceOptions),
    PLIM_SUITE_FUNCTION(SetPlaceOptions),
    PLIM_SUITE_FUNCTION(GetPlacedFileSpecification),
};

}  // namespace host

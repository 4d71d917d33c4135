#include "Expand.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "AIExpand.h"
#include "model/DocumentFormat.h"
#include "model/StrokeOutline.h"
#include "textengine/Outline.h"

namespace host {

namespace {

using model::ArtId;
using model::Document;
using model::PaintOrder;
using model::Status;

// The geometry the art's fill and strokes follow: the path's own, or every path of a compound path.
std::vector<model::PathGeometry> OutlineGeometry(const Document& document, ArtId art) {
    std::vector<model::PathGeometry> paths;
    for (const ArtId member : document.artTree(art).valueOr({})) {
        if (const model::PathContent* path = document.contentAs<model::PathContent>(member)) {
            paths.push_back(path->geometry);
        }
    }
    return paths;
}

// One piece of the expanded art: a filled outline, or the art's own fill.
struct Piece {
    std::vector<model::PathGeometry> outlines;  // empty: the copy of the art's fill
    model::ArtStyle style;
};

model::ArtStyle OutlineStyle(const model::PaintField& strokeField) {
    const model::StrokePaint& stroke = *strokeField.strokePaint();
    model::PaintField fill = model::PaintField::fill(stroke.color);
    fill.fillPaint()->overprint = stroke.overprint;
    fill.evenOdd = true;
    fill.blend = strokeField.blend;
    model::ArtStyle style;
    style.paintFields.push_back(std::move(fill));
    return style;
}

// The pieces in painting order (the lowest first), worked out before the document changes. None
// when a stroke's outline would leave the range the outlines are worked out in.
std::optional<std::vector<Piece>> StrokePieces(const Document& document, ArtId art,
                                               const model::ArtStyle& style) {
    std::vector<Piece> pieces;
    model::ArtStyle fillOnly = style;
    std::erase_if(fillOnly.paintFields, [](const model::PaintField& field) { return field.isStroke(); });
    fillOnly.contentsPosition = std::min(fillOnly.contentsPosition, fillOnly.paintFields.size());
    const bool fillPaints = std::any_of(fillOnly.paintFields.begin(), fillOnly.paintFields.end(),
                                        [](const model::PaintField& field) { return field.paints(); });
    if (fillPaints) {
        pieces.push_back({{}, fillOnly});
    }
    const std::vector<model::PathGeometry> geometry = OutlineGeometry(document, art);
    for (const model::PaintField& field : style.paintFields) {
        if (!field.isStroke() || !field.paints()) {
            continue;
        }
        if (!model::canOutlineStroke(geometry, *field.strokePaint())) {
            return std::nullopt;
        }
        std::vector<model::PathGeometry> outlines = model::strokeOutline(geometry, *field.strokePaint());
        if (!outlines.empty()) {
            pieces.push_back({std::move(outlines), OutlineStyle(field)});
        }
    }
    return pieces;
}

// Makes one piece at the place given; answers the new art.
model::Result<ArtId> MakePiece(Document& document, ArtId art, const Piece& piece, PaintOrder order,
                               ArtId target) {
    if (piece.outlines.empty()) {
        const model::Result<ArtId> copy = document.duplicate(art, order, target);
        if (copy) {
            document.setStyle(*copy, piece.style);
        }
        return copy;
    }
    const bool compound = piece.outlines.size() > 1;
    const model::Result<ArtId> made =
        document.newArt(compound ? model::ArtType::compoundPath : model::ArtType::path, order, target);
    if (!made) {
        return made;
    }
    document.setStyle(*made, piece.style);
    if (!compound) {
        document.editContent<model::PathContent>(*made)->geometry = piece.outlines.front();
        return made;
    }
    for (const model::PathGeometry& outline : piece.outlines) {
        const model::Result<ArtId> path =
            document.newArt(model::ArtType::path, PaintOrder::insideOnBottom, *made);
        if (path) {
            document.editContent<model::PathContent>(*path)->geometry = outline;
        }
    }
    return made;
}

// The art's identity goes to what replaces it.
void CarryIdentity(Document& document, ArtId from, ArtId to) {
    const model::ArtData data = *document.find(from)->data;
    document.setName(to, data.name);
    *document.editTags(to) = data.tags;
    *document.editDictionary(to) = data.dictionary;
}

Status ExpandStrokes(Document& document, ArtId art) {
    const std::optional<std::vector<Piece>> outlined = StrokePieces(document, art, *document.style(art));
    if (!outlined) {
        return Status::badParameter;
    }
    const std::vector<Piece>& pieces = *outlined;
    const bool hasStroke =
        std::any_of(pieces.begin(), pieces.end(), [](const Piece& piece) { return !piece.outlines.empty(); });
    if (!hasStroke) {
        return Status::ok;
    }
    ArtId result;
    if (pieces.size() == 1) {
        const model::Result<ArtId> made = MakePiece(document, art, pieces.front(), PaintOrder::above, art);
        if (!made) {
            return made.status();
        }
        result = *made;
    } else {
        const model::Result<ArtId> group = document.newArt(model::ArtType::group, PaintOrder::above, art);
        if (!group) {
            return group.status();
        }
        // Each piece goes on top of the ones before, so the last painted ends front-most.
        for (const Piece& piece : pieces) {
            const model::Result<ArtId> made =
                MakePiece(document, art, piece, PaintOrder::insideOnTop, *group);
            if (made && piece.outlines.empty()) {
                *document.editTags(*made) = model::TagList();
                *document.editDictionary(*made) = model::Dictionary();
                document.setName(*made, "");
            }
        }
        result = *group;
    }
    CarryIdentity(document, art, result);
    return document.dispose(art);
}

// How deep the art lies: a top-level layer group at 1, each child one deeper (as the document
// format counts).
int DepthOf(const Document& document, ArtId art) {
    int depth = 0;
    for (model::Result<ArtId> at = art; at && *at; at = document.parent(*at)) {
        ++depth;
    }
    return depth;
}

// The levels of art in the tree: 1 for art without children.
int LevelsOf(const model::ArtTree& tree) {
    int deepest = 0;
    for (const model::ArtTree& child : tree.children) {
        deepest = std::max(deepest, LevelsOf(child));
    }
    return deepest + 1;
}

// Where the symbol's artwork goes to show as the instance shows it: the symbol's frame mapped
// onto the instance's frame, then through the instance's matrix (as it is drawn).
model::Matrix SymbolPlacement(const model::Symbol& symbol, const model::SymbolContent& instance) {
    const model::Rect& from = symbol.frame;
    const model::Rect& to = instance.box.frame;
    const double sx = from.width() > 0.0 ? to.width() / from.width() : 1.0;
    const double sy = from.height() > 0.0 ? to.height() / from.height() : 1.0;
    return model::Matrix::translation(-from.left, -from.bottom)
        .then(model::Matrix::scaling(sx, sy))
        .then(model::Matrix::translation(to.left, to.bottom))
        .then(instance.box.matrix);
}

// A symbol instance becomes a group, in its place, holding a copy of the symbol's artwork placed
// where the instance showed it (stroke widths and patterns scaled with it); the group takes the
// instance's name, tags, dictionary, stored attributes (hidden, locked, ...) and style. An instance
// of a symbol the document lacks has nothing to expand.
Status ExpandSymbol(Document& document, ArtId art) {
    const model::SymbolContent instance = *document.contentAs<model::SymbolContent>(art);
    const model::Symbol* symbol = document.symbols().find(document.symbols().byName(instance.symbol));
    if (symbol == nullptr) {
        return Status::ok;
    }
    const model::ArtTree artwork = *symbol->definition;
    if (DepthOf(document, art) + LevelsOf(artwork) > model::kMaxDocumentDepth) {
        return Status::badParameter;
    }
    const model::Matrix placement = SymbolPlacement(*symbol, instance);
    const double lineScale = std::sqrt(std::abs(placement.a * placement.d - placement.b * placement.c));
    const model::Result<ArtId> group = document.newArt(model::ArtType::group, PaintOrder::above, art);
    if (!group) {
        return group.status();
    }
    const model::Result<ArtId> copy = document.insertCopy(artwork, PaintOrder::insideOnTop, *group);
    const Status placed =
        copy ? document.transformArt(
                   *copy, placement, lineScale,
                   {.objects = true, .fillPatterns = true, .strokePatterns = true, .scaleLines = true})
             : copy.status();
    if (placed != Status::ok) {
        document.dispose(*group);
        return placed;
    }
    CarryIdentity(document, art, *group);
    document.setStyle(*group, *document.style(art));
    document.setAttributes(*group, model::attribute::stored,
                           document.attributes(art, model::attribute::stored).valueOr(0));
    return document.dispose(art);
}

// A text frame becomes its outline, which takes the frame's tags.
Status ExpandText(Document& document, ArtId art) {
    const model::TagList tags = document.find(art)->data->tags;
    const model::Result<ArtId> outline = document.replaceWithOutline(art, text::GlyphShapes(document, art));
    if (outline) {
        *document.editTags(*outline) = tags;
    }
    return outline || outline.status() == Status::notFound ? Status::ok : outline.status();
}

}  // namespace

Status ExpandArt(Document& document, ArtId art, std::int32_t flags) {
    const model::Result<model::ArtType> type = document.type(art);
    if (!type) {
        return type.status();
    }
    if (document.isLayerGroup(art).valueOr(false)) {
        return Status::ok;
    }
    if (*type == model::ArtType::textFrame && (flags & kExpandText) != 0) {
        return ExpandText(document, art);
    }
    if (*type == model::ArtType::symbol && (flags & kExpandSymbolInstances) != 0) {
        return ExpandSymbol(document, art);
    }
    const bool shape = *type == model::ArtType::path || *type == model::ArtType::compoundPath;
    if (shape && (flags & kExpandStroke) != 0) {
        return ExpandStrokes(document, art);
    }
    return Status::ok;
}

}  // namespace host

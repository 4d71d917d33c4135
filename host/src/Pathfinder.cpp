#include "Pathfinder.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "model/Region.h"

namespace host {
namespace {

using model::ArtData;
using model::ArtId;
using model::ArtTree;
using model::ArtType;
using model::Document;
using model::Region;
using model::Status;

// One operand: what its fill covers and the paint its results take.
struct Operand {
    ArtId art;
    Region region;
    ArtData paint;
};

// A piece of a result with the operand whose paint it takes.
struct Piece {
    Region region;
    std::size_t paintFrom = 0;
};

bool IsShape(ArtType type) {
    return type == ArtType::group || type == ArtType::path || type == ArtType::compoundPath;
}

// Only groups, paths and compound paths anywhere below the art.
bool IsMadeOfShapes(const Document& document, ArtId art) {
    const model::Result<std::vector<ArtId>> tree = document.artTree(art);
    if (!tree) {
        return false;
    }
    return std::all_of(tree->begin(), tree->end(), [&](ArtId member) {
        const model::Result<ArtType> type = document.type(member);
        return type && IsShape(*type);
    });
}

// Every path below the art within the range regions work with: coordinates beyond it would make
// the clipping library throw, so they are refused before they reach it.
bool IsWithinRange(const Document& document, ArtId art) {
    const std::vector<ArtId> tree = document.artTree(art).valueOr({});
    return std::all_of(tree.begin(), tree.end(), [&](ArtId member) {
        const auto* path = document.contentAs<model::PathContent>(member);
        return path == nullptr || model::isWithinRegionRange(path->geometry);
    });
}

// The paint of the art without what makes it one object: its identity, tags, dictionary and
// attributes stay with the operand.
ArtData PaintOf(const ArtData& data) {
    ArtData paint = data;
    paint.content = model::GroupContent{};
    paint.uuid.clear();
    paint.name.clear();
    paint.note.clear();
    paint.attributes = 0;
    paint.tags = {};
    paint.dictionary = {};
    paint.envelope = false;
    paint.intertwine = false;
    return paint;
}

// The pieces of divide, trim, merge and crop are filled shapes without strokes.
void DropStrokes(ArtData& paint) {
    std::erase_if(paint.style.paintFields, [](const model::PaintField& field) { return field.isStroke(); });
    paint.style.contentsPosition = std::min(paint.style.contentsPosition, paint.style.paintFields.size());
}

void CollectPaths(const Document& document, ArtId art, std::vector<model::PathGeometry>& out) {
    if (const auto* path = document.contentAs<model::PathContent>(art)) {
        out.push_back(path->geometry);
        return;
    }
    for (ArtId child : document.children(art).valueOr({})) {
        CollectPaths(document, child, out);
    }
}

// The fill rule of the art's focal fill; non-zero when it has none.
model::FillRule FillRuleOf(const Document& document, ArtId art) {
    const model::ArtStyle& style = document.find(art)->data->style;
    const std::optional<std::size_t> fill = style.focalFillIndex();
    return fill && style.paintFields[*fill].evenOdd ? model::FillRule::evenOdd : model::FillRule::nonZero;
}

Region RegionOf(const Document& document, ArtId art) {
    const ArtType type = document.type(art).valueOr(ArtType::group);
    if (type == ArtType::path || type == ArtType::compoundPath) {
        // The paths of a compound path paint as one shape, by the compound path's own fill rule.
        std::vector<model::PathGeometry> paths;
        CollectPaths(document, art, paths);
        return Region::fromPaths(paths, FillRuleOf(document, art));
    }
    Region united;
    for (ArtId child : document.children(art).valueOr({})) {
        united = united.united(RegionOf(document, child));
    }
    return united;
}

// A group takes the paint of its front-most path or compound path.
ArtData PaintSourceOf(const Document& document, ArtId art) {
    for (ArtId member : document.artTree(art).valueOr({})) {
        const ArtType type = document.type(member).valueOr(ArtType::group);
        if (type == ArtType::path || type == ArtType::compoundPath) {
            return PaintOf(*document.find(member)->data);
        }
    }
    return ArtData{};
}

// The operands front-most first, or none when one of them is refused.
std::optional<std::vector<Operand>> ReadOperands(const Document& document, std::span<const ArtId> arts) {
    if (arts.empty()) {
        return std::nullopt;
    }
    const std::unordered_set<ArtId> given(arts.begin(), arts.end());
    if (given.size() != arts.size()) {
        return std::nullopt;
    }
    for (ArtId art : arts) {
        if (!document.isValid(art) || document.isLayerGroup(art).valueOr(true) ||
            !IsMadeOfShapes(document, art) || !IsWithinRange(document, art)) {
            return std::nullopt;
        }
        for (ArtId above = document.parent(art).valueOr({}); above;
             above = document.parent(above).valueOr({})) {
            if (given.contains(above)) {
                return std::nullopt;
            }
        }
    }
    std::vector<Operand> operands;
    for (ArtId art : document.documentOrder()) {
        if (given.contains(art)) {
            operands.push_back({art, RegionOf(document, art), PaintSourceOf(document, art)});
        }
    }
    return operands;
}

Region UnionOf(const std::vector<Operand>& operands, std::size_t skip) {
    Region united;
    for (std::size_t i = 0; i < operands.size(); ++i) {
        if (i != skip) {
            united = united.united(operands[i].region);
        }
    }
    return united;
}

// The faces of divide: the areas covered by one set of operands each, painted by the front-most
// of the set. Operands are laid down from the back, each cutting the faces below it.
std::vector<Piece> Faces(const std::vector<Operand>& operands) {
    std::vector<Piece> faces;
    for (std::size_t i = operands.size(); i-- > 0;) {
        const Region& shape = operands[i].region;
        std::vector<Piece> next;
        Region uncovered = shape;
        for (const Piece& face : faces) {
            Region inside = face.region.intersected(shape);
            Region outside = face.region.subtracted(shape);
            if (!inside.isEmpty()) {
                next.push_back({std::move(inside), i});
            }
            if (!outside.isEmpty()) {
                next.push_back({std::move(outside), face.paintFrom});
            }
            uncovered = uncovered.subtracted(face.region);
        }
        if (!uncovered.isEmpty()) {
            next.push_back({std::move(uncovered), i});
        }
        faces = std::move(next);
    }
    std::vector<Piece> pieces;
    for (const Piece& face : faces) {
        for (Region& piece : face.region.pieces()) {
            pieces.push_back({std::move(piece), face.paintFrom});
        }
    }
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const Piece& a, const Piece& b) { return a.paintFrom < b.paintFrom; });
    return pieces;
}

std::vector<Piece> Trimmed(const std::vector<Operand>& operands) {
    std::vector<Piece> pieces;
    Region inFront;
    for (std::size_t i = 0; i < operands.size(); ++i) {
        Region visible = operands[i].region.subtracted(inFront);
        if (!visible.isEmpty()) {
            pieces.push_back({std::move(visible), i});
        }
        inFront = inFront.united(operands[i].region);
    }
    return pieces;
}

ArtData FillsOf(ArtData paint) {
    DropStrokes(paint);
    return paint;
}

std::vector<Piece> Merged(const std::vector<Operand>& operands) {
    std::vector<Piece> merged;
    for (Piece& piece : Trimmed(operands)) {
        const auto alike = std::find_if(merged.begin(), merged.end(), [&](const Piece& other) {
            return FillsOf(operands[other.paintFrom].paint) == FillsOf(operands[piece.paintFrom].paint);
        });
        if (alike == merged.end()) {
            merged.push_back(std::move(piece));
        } else {
            alike->region = alike->region.united(piece.region);
        }
    }
    return merged;
}

std::vector<Piece> Cropped(const std::vector<Operand>& operands) {
    std::vector<Piece> pieces;
    for (std::size_t i = 1; i < operands.size(); ++i) {
        Region inside = operands[i].region.intersected(operands.front().region);
        if (!inside.isEmpty()) {
            pieces.push_back({std::move(inside), i});
        }
    }
    return pieces;
}

ArtTree PathTree(model::PathGeometry geometry, ArtData data) {
    data.content = model::PathContent{std::move(geometry)};
    return ArtTree{std::move(data), std::nullopt, {}};
}

// A path for an area of one outline, a compound path of its outlines otherwise.
ArtTree ShapeTree(const Region& region, const ArtData& paint) {
    std::vector<model::PathGeometry> outlines = region.outlines();
    if (outlines.size() == 1) {
        return PathTree(std::move(outlines.front()), paint);
    }
    ArtData compound = paint;
    compound.content = model::CompoundPathContent{};
    ArtTree tree{std::move(compound), std::nullopt, {}};
    for (model::PathGeometry& outline : outlines) {
        tree.children.push_back(PathTree(std::move(outline), ArtData{}));
    }
    return tree;
}

// The outlines of a piece as open paths that end where they start.
void AppendOutlineTrees(const Region& region, const ArtData& paint, std::vector<ArtTree>& out) {
    for (model::PathGeometry outline : region.outlines()) {
        outline.closed = false;
        outline.segments.push_back(outline.segments.front());
        out.push_back(PathTree(std::move(outline), paint));
    }
}

std::vector<Piece> GroupPieces(PathfinderOperation operation, const std::vector<Operand>& operands) {
    switch (operation) {
        case PathfinderOperation::divide:
        case PathfinderOperation::outline:
            return Faces(operands);
        case PathfinderOperation::trim:
            return Trimmed(operands);
        case PathfinderOperation::merge:
            return Merged(operands);
        case PathfinderOperation::crop:
            return Cropped(operands);
        default:
            return {};
    }
}

std::optional<ArtTree> GroupResult(PathfinderOperation operation, const std::vector<Operand>& operands) {
    const std::vector<Piece> pieces = GroupPieces(operation, operands);
    if (pieces.empty()) {
        return std::nullopt;
    }
    ArtTree group{ArtData{}, std::nullopt, {}};
    for (const Piece& piece : pieces) {
        ArtData paint = operands[piece.paintFrom].paint;
        if (operation == PathfinderOperation::outline) {
            AppendOutlineTrees(piece.region, paint, group.children);
            continue;
        }
        DropStrokes(paint);
        for (const Region& part : piece.region.pieces()) {
            group.children.push_back(ShapeTree(part, paint));
        }
    }
    return group;
}

// The area of a shape operation and the operand whose paint and place it takes.
std::pair<Region, std::size_t> ShapeResult(PathfinderOperation operation,
                                           const std::vector<Operand>& operands) {
    const std::size_t back = operands.size() - 1;
    switch (operation) {
        case PathfinderOperation::unite:
            return {UnionOf(operands, operands.size()), 0};
        case PathfinderOperation::intersect: {
            Region common = operands.front().region;
            for (std::size_t i = 1; i < operands.size(); ++i) {
                common = common.intersected(operands[i].region);
            }
            return {common, 0};
        }
        case PathfinderOperation::exclude: {
            Region odd;
            for (const Operand& operand : operands) {
                odd = odd.excluded(operand.region);
            }
            return {odd, 0};
        }
        case PathfinderOperation::minusFront:
            return {operands[back].region.subtracted(UnionOf(operands, back)), back};
        default:  // minusBack
            return {operands.front().region.subtracted(UnionOf(operands, 0)), 0};
    }
}

}  // namespace

bool MakesGroup(PathfinderOperation operation) {
    switch (operation) {
        case PathfinderOperation::divide:
        case PathfinderOperation::trim:
        case PathfinderOperation::merge:
        case PathfinderOperation::crop:
        case PathfinderOperation::outline:
            return true;
        default:
            return false;
    }
}

model::Result<ArtId> RunPathfinder(Document& document, PathfinderOperation operation,
                                   std::span<const ArtId> arts) {
    const std::optional<std::vector<Operand>> operands = ReadOperands(document, arts);
    if (!operands) {
        return Status::badParameter;
    }
    std::optional<ArtTree> result;
    ArtId place = operands->front().art;
    if (MakesGroup(operation)) {
        result = GroupResult(operation, *operands);
    } else {
        auto [area, paintFrom] = ShapeResult(operation, *operands);
        if (!area.isEmpty()) {
            result = ShapeTree(area, (*operands)[paintFrom].paint);
        }
        place = (*operands)[paintFrom].art;
    }
    if (!result) {
        return Status::notFound;
    }
    const model::Result<ArtId> made =
        document.insertCopy(std::move(*result), model::PaintOrder::above, place);
    if (!made) {
        return made.status();
    }
    for (const Operand& operand : *operands) {
        document.dispose(operand.art);
    }
    return made;
}

}  // namespace host

#include "Pathfinder.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "model/BoxGrid.h"
#include "model/Region.h"

namespace host {
namespace {

using model::ArtData;
using model::ArtId;
using model::ArtTree;
using model::ArtType;
using model::BoxGrid;
using model::Document;
using model::FillRule;
using model::Rect;
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
    std::vector<Region> members;
    for (ArtId child : document.children(art).valueOr({})) {
        members.push_back(RegionOf(document, child));
    }
    std::vector<const Region*> regions;
    for (const Region& member : members) {
        regions.push_back(&member);
    }
    return Region::combined(regions, FillRule::nonZero);
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

// The operands' regions, but the one at `skip`, in one pass of the clipping library under the rule.
Region CombinedOf(const std::vector<Operand>& operands, FillRule rule, std::size_t skip) {
    std::vector<const Region*> regions;
    regions.reserve(operands.size());
    for (std::size_t i = 0; i < operands.size(); ++i) {
        if (i != skip) {
            regions.push_back(&operands[i].region);
        }
    }
    return Region::combined(regions, rule);
}

Region UnionOf(const std::vector<Operand>& operands, std::size_t skip) {
    return CombinedOf(operands, FillRule::nonZero, skip);
}

// A grid to find the operands, or the pieces cut from them, that may overlap a shape: operations
// over many shapes then cut each shape only by its neighbours, not by all the others.
BoxGrid GridFor(const std::vector<Operand>& operands) {
    Rect extent;
    double widths = 0.0;
    double heights = 0.0;
    std::size_t counted = 0;
    for (const Operand& operand : operands) {
        const Rect box = operand.region.bounds();
        if (!box.isEmpty()) {
            extent = extent.united(box);
            widths += box.width();
            heights += box.height();
            ++counted;
        }
    }
    const double count = static_cast<double>(std::max<std::size_t>(counted, 1));
    return BoxGrid(extent, operands.size(), Rect(0.0, heights / count, widths / count, 0.0));
}

// The faces of divide: the areas covered by one set of operands each, painted by the front-most
// of the set. Operands are laid down from the back, each cutting the faces below it that it
// overlaps in two: the part inside it, then the part outside, in the face's place in the order of
// faces; what it covers of no face follows all the faces.
std::vector<Piece> Faces(const std::vector<Operand>& operands) {
    struct Face {
        Piece piece;
        std::vector<std::size_t> parts;  // what it was cut into, in order; none while it is whole
    };
    std::vector<Face> faces;
    std::vector<std::size_t> firsts;  // the faces that are no part of another, in order
    BoxGrid grid = GridFor(operands);
    // The operands laid down so far: what they cover together is what the faces cover, in far fewer
    // shapes where the faces are many slivers.
    BoxGrid behind = GridFor(operands);
    const auto addFace = [&](Region region, std::size_t paintFrom) {
        const Rect box = region.bounds();
        faces.push_back({{std::move(region), paintFrom}, {}});
        grid.add(faces.size() - 1, box);
        return faces.size() - 1;
    };
    for (std::size_t i = operands.size(); i-- > 0;) {
        const Region& shape = operands[i].region;
        const Rect box = shape.bounds();
        std::vector<const Region*> covered;
        for (const std::size_t operand : behind.meeting(box)) {
            covered.push_back(&operands[operand].region);
        }
        Region uncovered = shape.subtracted(Region::combined(covered, FillRule::nonZero));
        behind.add(i, box);
        std::vector<std::size_t> below;
        for (const std::size_t face : grid.meeting(box)) {
            if (faces[face].parts.empty()) {
                below.push_back(face);
            }
        }
        for (const std::size_t face : below) {
            Region inside = faces[face].piece.region.intersected(shape);
            if (inside.isEmpty()) {
                continue;
            }
            Region outside = faces[face].piece.region.subtracted(shape);
            const std::size_t paintFrom = faces[face].piece.paintFrom;
            faces[face].piece.region = Region();
            const std::size_t insidePart = addFace(std::move(inside), i);
            faces[face].parts.push_back(insidePart);
            if (!outside.isEmpty()) {
                const std::size_t outsidePart = addFace(std::move(outside), paintFrom);
                faces[face].parts.push_back(outsidePart);
            }
        }
        if (!uncovered.isEmpty()) {
            firsts.push_back(addFace(std::move(uncovered), i));
        }
    }
    std::vector<Piece> pieces;
    std::vector<std::size_t> toVisit(firsts.rbegin(), firsts.rend());
    while (!toVisit.empty()) {
        Face& face = faces[toVisit.back()];
        toVisit.pop_back();
        if (!face.parts.empty()) {
            toVisit.insert(toVisit.end(), face.parts.rbegin(), face.parts.rend());
            continue;
        }
        for (Region& piece : face.piece.region.pieces()) {
            pieces.push_back({std::move(piece), face.piece.paintFrom});
        }
    }
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const Piece& a, const Piece& b) { return a.paintFrom < b.paintFrom; });
    return pieces;
}

// What shows of each operand: its area less what the operands in front of it cover.
std::vector<Piece> Trimmed(const std::vector<Operand>& operands) {
    std::vector<Piece> pieces;
    BoxGrid inFront = GridFor(operands);
    for (std::size_t i = 0; i < operands.size(); ++i) {
        const Rect box = operands[i].region.bounds();
        std::vector<const Region*> covering;
        for (const std::size_t front : inFront.meeting(box)) {
            covering.push_back(&operands[front].region);
        }
        Region visible = operands[i].region.subtracted(Region::combined(covering, FillRule::nonZero));
        if (!visible.isEmpty()) {
            pieces.push_back({std::move(visible), i});
        }
        inFront.add(i, box);
    }
    return pieces;
}

ArtData FillsOf(ArtData paint) {
    DropStrokes(paint);
    return paint;
}

// The visible parts of trim, those painted alike united, in the order of the first of each paint.
std::vector<Piece> Merged(const std::vector<Operand>& operands) {
    // Each operand's paint as the first operand painted alike, worked out once per operand.
    std::vector<ArtData> paints;
    std::vector<std::size_t> firstPaintedAlike;
    std::vector<std::size_t> paintedFirst;
    for (std::size_t i = 0; i < operands.size(); ++i) {
        ArtData fills = FillsOf(operands[i].paint);
        const auto alike = std::find(paints.begin(), paints.end(), fills);
        if (alike == paints.end()) {
            paints.push_back(std::move(fills));
            paintedFirst.push_back(i);
            firstPaintedAlike.push_back(i);
        } else {
            firstPaintedAlike.push_back(paintedFirst[static_cast<std::size_t>(alike - paints.begin())]);
        }
    }
    const std::vector<Piece> trimmed = Trimmed(operands);
    std::vector<Piece> merged;
    std::vector<std::vector<const Region*>> members;
    constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
    std::vector<std::size_t> mergedByPaint(operands.size(), kNone);  // by the first operand painted so
    for (const Piece& piece : trimmed) {
        std::size_t& slot = mergedByPaint[firstPaintedAlike[piece.paintFrom]];
        if (slot == kNone) {
            slot = merged.size();
            merged.push_back({Region(), piece.paintFrom});
            members.emplace_back();
        }
        members[slot].push_back(&piece.region);
    }
    for (std::size_t i = 0; i < merged.size(); ++i) {
        merged[i].region = Region::combined(members[i], FillRule::nonZero);
    }
    return merged;
}

std::vector<Piece> Cropped(const std::vector<Operand>& operands) {
    std::vector<Piece> pieces;
    const Rect frame = operands.front().region.bounds();
    for (std::size_t i = 1; i < operands.size(); ++i) {
        if (!operands[i].region.bounds().intersects(frame)) {
            continue;  // nothing of it is inside
        }
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
            for (std::size_t i = 1; i < operands.size() && !common.isEmpty(); ++i) {
                common = common.intersected(operands[i].region);
            }
            return {common, 0};
        }
        case PathfinderOperation::exclude:
            return {CombinedOf(operands, FillRule::evenOdd, operands.size()), 0};
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

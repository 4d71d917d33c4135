#include "layout/Structure.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "AIArtStyle.h"
#include "AIArtStyleParser.h"
#include "AIGroup.h"
#include "AIPathStyle.h"
#include "art/ArtChanges.h"
#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "art/Tags.h"
#include "core/HostScopes.h"
#include "core/Suites.h"
#include "core/TextHelpers.h"
#include "layout/Geometry.h"

namespace {

bool IsLayerGroupArt(ArtObject* art) {
    return hostart::IsLayerGroup(art);
}

bool MoveInsideOnBottom(const ArtList& list, ArtObject* container, ArtChanges& changes) {
    return std::all_of(list.begin(), list.end(),
                       [&](ArtObject* art) { return changes.Move(art, kPlaceInsideOnBottom, container); });
}

// Whether the art, moved into a new container made where the first of them stands, stays within
// the depth the document allows. textAsOutlines: their text frames become groups of outlines.
bool FitsInNewContainer(const ArtList& ordered, bool textAsOutlines) {
    const std::optional<int> depth = ordered.empty() ? std::nullopt : ArtDepth(ordered.front());
    return depth && std::all_of(ordered.begin(), ordered.end(),
                                [&](ArtObject* art) { return FitsAtDepth(art, *depth + 1, textAsOutlines); });
}

// Whether the clip object, prepared by the options and put at the depth, stays within the depth
// the document allows: uniting makes a compound path of a compound path of the united paths, a
// compound path holds the (outlined) clip object.
bool ClipObjectFits(ArtObject* clip, int depth, ClipGroupMakingOptions options) {
    if (options.unite) {
        return depth + 3 <= kAIMaxArtDepth;
    }
    return options.compoundPath ? FitsAtDepth(clip, depth + 1, true) : FitsAtDepth(clip, depth);
}

// The clip group's last steps: clipped, and the clip object marked as its mask.
bool MarkClipping(ArtObject* group, ArtObject* clip) {
    if (sAIGroup == nullptr || sAIGroup->SetGroupClipped(group, true) != kNoErr) {
        return false;
    }
    if (!hostart::SetUserAttr(clip, kArtIsClipMask, true)) {
        sAIGroup->SetGroupClipped(group, false);
        return false;
    }
    return true;
}

// A clip object can be used only when it is made of shapes and is no layer's group; checked
// before anything about it changes.
bool IsUsableClipObject(ArtObject* clip) {
    return clip != nullptr && !IsLayerGroupArt(clip) && MadeFromArtOfType(clip, kShapeArtTypes);
}

// The point of a rectangle named by an alignment (y up: the top is the larger value).
AIRealPoint AlignmentPoint(const AIRealRect& rect, PlaceAlignment alignment) {
    const int column = alignment / 3;
    const int row = alignment % 3;
    const double x = column == 0 ? rect.left : (column == 1 ? (rect.left + rect.right) / 2 : rect.right);
    const double y = row == 0 ? rect.top : (row == 1 ? (rect.top + rect.bottom) / 2 : rect.bottom);
    return {x, y};
}

AIRealPoint ScaleFor(PlaceMethod method, const AIRealRect& art, const AIRealRect& clip) {
    const double artWidth = art.right - art.left;
    const double artHeight = art.top - art.bottom;
    const double h = artWidth != 0.0 ? (clip.right - clip.left) / artWidth : 1.0;
    const double v = artHeight != 0.0 ? (clip.top - clip.bottom) / artHeight : 1.0;
    switch (method) {
        case kFill:
            return {std::max(h, v), std::max(h, v)};
        case kFit:
            return {std::min(h, v), std::min(h, v)};
        case kConform:
            return {h, v};
        default:
            return {1.0, 1.0};
    }
}

}  // namespace

// --- Placement of content in a clip object ------------------------------------------------------

PlaceAlignment GetAlignment(std::string name) {
    name = AsciiUpperCase(name);
    static const std::map<std::string, PlaceAlignment> kAlignments = {
        {"TL", 0}, {"LT", 0}, {"TOPLEFT", 0},     {"L", 1}, {"LC", 1}, {"CL", 1}, {"LEFT", 1},
        {"BL", 2}, {"LB", 2}, {"BOTTOMLEFT", 2},  {"T", 3}, {"TC", 3}, {"CT", 3}, {"TOP", 3},
        {"C", 4},  {"CC", 4}, {"CENTER", 4},      {"B", 5}, {"BC", 5}, {"CB", 5}, {"BOTTOMCENTER", 5},
        {"TR", 6}, {"RT", 6}, {"TOPRIGHT", 6},    {"R", 7}, {"CR", 7}, {"RC", 7}, {"RIGHT", 7},
        {"BR", 8}, {"RB", 8}, {"BOTTOMRIGHT", 8},
    };
    const auto found = kAlignments.find(name);
    return found != kAlignments.end() ? found->second : 4;
}

PlaceMethod PlaceMethodOf(const std::string& text) {
    static const std::map<std::string, PlaceMethod> kMethods = {
        {"file", kAsIs}, {"fill", kFill}, {"fit", kFit}, {"bounds", kConform}};
    const auto found = kMethods.find(text);
    return found != kMethods.end() ? found->second : kReconform;
}

bool TransformArtForClipping(ArtObject* art, ArtObject* clip, PlaceMethod method, PlaceAlignment alignment,
                             bool visibleBounds) {
    const std::optional<AIRealRect> clipBounds = ArtBounds(clip, visibleBounds);
    const std::optional<AIRealRect> artBounds = ArtBounds(art, visibleBounds);
    if (!clipBounds || !artBounds) {
        return false;
    }
    const AIRealPoint scale = ScaleFor(method, *artBounds, *clipBounds);
    if (scale.h != 1.0 || scale.v != 1.0) {
        const AIRealMatrix matrix = ScaleMatrix(scale.h, scale.v);
        const double lineScale = std::sqrt(std::abs(scale.h * scale.v));
        TransformTree(art, matrix, lineScale, kMoveOptions, true);
    }
    const std::optional<AIRealRect> scaled = ArtBounds(art, visibleBounds);
    if (!scaled) {
        return false;
    }
    const AIRealPoint from = AlignmentPoint(*scaled, alignment);
    const AIRealPoint to = AlignmentPoint(*clipBounds, alignment);
    MoveWithSubTree(art, to.h - from.h, to.v - from.v);
    return true;
}

// --- Shapes and paint ------------------------------------------------------------------------------

bool MadeFromArtOfType(ArtObject* art, std::initializer_list<ai::int16> types) {
    const ArtList tree = GetObjectsTree(art);
    if (tree.empty()) {
        return false;
    }
    return std::all_of(tree.begin(), tree.end(), [&](ArtObject* member) {
        const std::optional<ai::int16> type = hostart::Type(member);
        return type && std::find(types.begin(), types.end(), *type) != types.end();
    });
}

ArtList GetObjectsTree(ArtObject* art) {
    return art == nullptr ? ArtList{} : hostart::MatchingArt(art);
}

ArtList OutlineArt(const ArtList& list) {
    ArtList outlined;
    for (ArtObject* art : list) {
        if (ArtObject* result = OutlineArt(art)) {
            outlined.push_back(result);
        }
    }
    return outlined;
}

bool SetNoneStyle(ArtObject* art) {
    if (art == nullptr || sAIArtStyleParser == nullptr) {
        return false;
    }
    const ParsedStyle parser(art);
    if (!parser.Parsed() || sAIArtStyleParser->Simplify(parser.Get()) != kNoErr) {
        return false;
    }
    const ai::int32 count = sAIArtStyleParser->CountPaintFields(parser.Get());
    for (ai::int32 i = 0; i < count; ++i) {
        AIParserPaintField field = nullptr;
        if (sAIArtStyleParser->GetNthPaintField(parser.Get(), i, &field) != kNoErr) {
            return false;
        }
        if (sAIArtStyleParser->IsFill(field)) {
            AIFillStyle none;
            none.color.kind = kNoneColor;
            if (sAIArtStyleParser->SetFill(field, &none, nullptr) != kNoErr) {
                return false;
            }
        } else if (sAIArtStyleParser->IsStroke(field)) {
            AIStrokeStyle none;
            none.color.kind = kNoneColor;
            sAIArtStyleParser->SetStroke(field, &none);
        }
    }
    return parser.ApplyTo(art);
}

bool SetNoneStyleWithSubtree(ArtObject* art) {
    for (ArtObject* member : GetArtTree(art)) {
        if (!SetNoneStyle(member)) {
            return false;
        }
    }
    return true;
}

// --- Groups, compound paths and clip groups -----------------------------------------------------------

ArtList ProcessArtForGrouping(const ArtList& list) {
    if (list.size() < 2) {
        return list;
    }
    const std::optional<ArtObject*> firstParent = hostart::Parent(list.front());
    if (!firstParent || *firstParent == nullptr) {
        return {};
    }
    AIBoolean inLayer = false;
    if (sAIArt->IsArtLayerGroup(*firstParent, &inLayer) != kNoErr) {
        return {};
    }
    for (ArtObject* art : list) {
        const std::optional<ArtObject*> parent = hostart::Parent(art);
        if (!parent || *parent == nullptr) {
            return {};
        }
        AIBoolean parentIsLayer = false;
        const bool passes = inLayer
                                ? sAIArt->IsArtLayerGroup(*parent, &parentIsLayer) == kNoErr && parentIsLayer
                                : *parent == *firstParent;
        if (!passes) {
            return {};
        }
    }
    const ArtHandleSet members(list.begin(), list.end());
    ArtList ordered;
    for (ArtObject* art : GetAllObjects(false)) {
        if (members.contains(art)) {
            ordered.push_back(art);
        }
    }
    return ordered;
}

ArtObject* GroupArt(const ArtList& list) {
    const ArtList ordered = ProcessArtForGrouping(list);
    if (ordered.size() < 2 || sAIArt == nullptr) {
        return nullptr;
    }
    if (!FitsInNewContainer(ordered, false)) {
        return nullptr;
    }
    ArtChanges changes;
    ArtObject* group = changes.New(kGroupArt, kPlaceAbove, ordered.front());
    if (group == nullptr || !MoveInsideOnBottom(ordered, group, changes)) {
        return nullptr;
    }
    changes.Keep();
    return group;
}

ArtObject* MakeCompoundPathArt(const ArtList& list) {
    const ArtList ordered = ProcessArtForGrouping(list);
    if (ordered.empty() || sAIArt == nullptr || sAIPathStyle == nullptr) {
        return nullptr;
    }
    for (ArtObject* art : ordered) {
        if (!MadeFromArtOfType(art, kShapeArtTypes)) {
            return nullptr;
        }
    }
    if (!FitsInNewContainer(ordered, true)) {
        return nullptr;
    }
    const ArtList outlined = OutlineArt(ordered);
    if (outlined.empty()) {
        return nullptr;
    }
    const ArtList styleTree = GetObjectsTree(outlined.back());
    if (styleTree.empty()) {
        return nullptr;
    }
    const ParsedStyle parser(styleTree.back());
    if (!parser.Parsed()) {
        return nullptr;
    }
    ArtChanges changes;
    ArtObject* compound = changes.New(kCompoundPathArt, kPlaceAbove, outlined.front());
    if (compound == nullptr || !MoveInsideOnBottom(outlined, compound, changes) ||
        !parser.ApplyTo(compound)) {
        return nullptr;
    }
    AIPathStyle style;
    if (sAIPathStyle->GetPathStyle(compound, &style, nullptr) != kNoErr) {
        return nullptr;
    }
    style.evenodd = true;
    if (sAIPathStyle->SetPathStyle(compound, &style) != kNoErr) {
        return nullptr;
    }
    changes.Keep();
    return compound;
}

ArtObject* ApplyClipObjectOptions(ArtObject* clip, ClipGroupMakingOptions options) {
    if (options.unite) {
        std::string error;
        ArtObject* united = Pathfinder2({clip}, "unite", error);
        if (united == nullptr) {
            return nullptr;
        }
        clip = MakeCompoundPathArt({united});
        if (clip == nullptr) {
            return nullptr;
        }
    }
    if (options.unite || options.compoundPath) {
        clip = MakeCompoundPathArt({clip});
        if (clip == nullptr) {
            return nullptr;
        }
    }
    if (!options.keepBackground && !SetNoneStyleWithSubtree(clip)) {
        return nullptr;
    }
    return MadeFromArtOfType(clip, kShapeArtTypes) ? clip : nullptr;
}

ArtObject* MakeClipGroupArt(ArtList list, ArtObject* clip, PlaceMethod method, PlaceAlignment alignment,
                            ClipGroupMakingOptions options) {
    if (sAIArt == nullptr || (clip != nullptr && !IsUsableClipObject(clip))) {
        return nullptr;
    }
    if (clip != nullptr && std::find(list.begin(), list.end(), clip) == list.end()) {
        list.push_back(clip);
    }
    ArtList ordered = ProcessArtForGrouping(list);
    if (ordered.size() < 2) {
        return nullptr;
    }
    if (clip == nullptr) {
        clip = ordered.front();
        if (!IsUsableClipObject(clip)) {
            return nullptr;
        }
    }
    const auto position = std::find(ordered.begin(), ordered.end(), clip);
    if (position == ordered.end()) {
        return nullptr;
    }
    const std::optional<int> depth = ArtDepth(ordered.front());
    const bool fits = depth && ClipObjectFits(clip, *depth + 1, options) &&
                      std::all_of(ordered.begin(), ordered.end(), [&](ArtObject* art) {
                          return art == clip || FitsAtDepth(art, *depth + 1);
                      });
    if (!fits) {
        return nullptr;
    }
    ArtChanges changes;
    if (position != ordered.begin()) {
        if (!changes.Move(clip, kPlaceAbove, ordered.front())) {
            return nullptr;
        }
        ordered.erase(position);
        ordered.insert(ordered.begin(), clip);
    }
    clip = ApplyClipObjectOptions(clip, options);
    if (clip == nullptr) {
        return nullptr;
    }
    ordered.front() = clip;
    ArtObject* group = changes.New(kGroupArt, kPlaceAbove, clip);
    if (group == nullptr) {
        return nullptr;
    }
    for (ArtObject* art : ordered) {
        if (options.fitContents && art != clip) {
            TransformArtForClipping(art, clip, method, alignment, false);
        }
        if (!changes.Move(art, kPlaceInsideOnBottom, group)) {
            return nullptr;
        }
    }
    if (!MarkClipping(group, clip)) {
        return nullptr;
    }
    changes.Keep();
    return group;
}

ArtObject* MakeLayerClipGroupArt(AILayerHandle layer, ArtObject* clip, PlaceMethod method,
                                 PlaceAlignment alignment, ClipGroupMakingOptions options) {
    ArtObject* layerGroup = nullptr;
    if (layer == nullptr || sAIArt == nullptr || sAIArt->GetFirstArtOfLayer(layer, &layerGroup) != kNoErr ||
        layerGroup == nullptr) {
        return nullptr;
    }
    if (clip == nullptr) {
        const std::optional<ArtObject*> first = hostart::FirstChild(layerGroup);
        clip = first ? *first : nullptr;
    }
    const std::optional<int> depth = ArtDepth(layerGroup);
    if (!IsUsableClipObject(clip) || !depth || !ClipObjectFits(clip, *depth + 1, options)) {
        return nullptr;
    }
    ArtChanges changes;
    if (!changes.Move(clip, kPlaceInsideOnTop, layerGroup)) {
        return nullptr;
    }
    clip = ApplyClipObjectOptions(clip, options);
    if (clip == nullptr) {
        return nullptr;
    }
    if (options.fitContents) {
        const ArtList members = hostart::Children(layerGroup);
        const auto start = std::find(members.begin(), members.end(), clip);
        for (auto it = start == members.end() ? start : start + 1; it != members.end(); ++it) {
            TransformArtForClipping(*it, clip, method, alignment, false);
        }
    }
    if (!MarkClipping(layerGroup, clip)) {
        return nullptr;
    }
    changes.Keep();
    return layerGroup;
}

ArtObject* CreateClipGroup(ArtObject* content, ArtObject* clipPath) {
    const std::optional<int> depth = ArtDepth(clipPath);
    if (sAIArt == nullptr || !depth || !FitsAtDepth(content, *depth + 1) ||
        !FitsAtDepth(clipPath, *depth + 1)) {
        return nullptr;
    }
    ArtChanges changes;
    ArtObject* group = changes.New(kGroupArt, kPlaceAbove, clipPath);
    if (group == nullptr || !changes.Move(content, kPlaceInsideOnTop, group) ||
        !changes.Move(clipPath, kPlaceInsideOnTop, group) || !MarkClipping(group, clipPath)) {
        return nullptr;
    }
    changes.Keep();
    return group;
}

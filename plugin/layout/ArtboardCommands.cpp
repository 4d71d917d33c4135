// The artboard command "editArtboards": adds, removes, rearranges and edits artboards, taking the
// artwork on them along.
//
// Artwork goes with an artboard only once the application has accepted the artboard's change, so
// that a refused change never leaves art moved, copied or deleted without its artboard.
#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "IAIArtboards.hpp"
#include "art/ArtChanges.h"
#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "art/TagSearch.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"
#include "core/Units.h"
#include "layout/Artboards.h"
#include "layout/Geometry.h"
#include "layout/LayoutRequest.h"
#include "layout/Lookups.h"
#include "layout/ReferencePoints.h"

namespace {

constexpr const char* kCantGetArtboards = "Can't get artboards";
constexpr const char* kCantAdd = "Can't add an artboard";
constexpr const char* kCantAddMultiple = "Can't add multiple artboards";
constexpr const char* kCantDelete = "Can't delete an artboard";
constexpr const char* kCantRearrange = "Can't rearrange artboards";
constexpr const char* kCantEdit = "Can't edit an artboard";
constexpr const char* kInvalidOrder = "Invalid artboards order";
constexpr const char* kBadGap = "The gap must be a finite number";
constexpr double kDefaultGap = 20.0;

// --- Art on artboards --------------------------------------------------------------------------------

bool Contains(const AIRealRect& rect, const AIRealPoint& point) {
    return point.h >= rect.left && point.h <= rect.right && point.v >= rect.bottom && point.v <= rect.top;
}

AIRealRect Offset(const AIRealRect& rect, double dx, double dy) {
    return {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

// The centres of the geometric bounds of a set of top-level objects, measured once: a command that
// places many artboards asks which objects lie on each, and measuring every object again for every
// artboard would cost artboards times objects. An object's bounds change only when it is moved
// itself, and a moved object leaves the set (MoveObjects).
class ArtCentres {
public:
    explicit ArtCentres(const ArtHandleSet& objects) {
        fCentres.reserve(objects.size());
        for (ArtObject* art : objects) {
            if (const std::optional<AIRealRect> bounds = ArtBounds(art, false)) {
                fCentres.emplace_back(art, CenterOf(*bounds));
            }
        }
    }

    // The objects still in the set whose centre lies in the rectangle, in the set's order.
    ArtList Inside(const ArtHandleSet& objects, const AIRealRect& rect) const {
        ArtList inside;
        for (const auto& [art, centre] : fCentres) {
            if (Contains(rect, centre) && objects.contains(art)) {
                inside.push_back(art);
            }
        }
        return inside;
    }

private:
    std::vector<std::pair<ArtObject*, AIRealPoint>> fCentres;
};

// The objects of the set whose geometric bounds have their centre in the rectangle.
ArtList GetTopObjectsInsideRect(const ArtHandleSet& objects, const AIRealRect& rect) {
    return ArtCentres(objects).Inside(objects, rect);
}

// Copies (each copy placed directly above its original) or moves the art by (dx, dy). Moved art
// leaves the set, so that a later call on the same set can't move it a second time. Answers the
// copies.
ArtList MoveObjects(const ArtList& arts, ArtHandleSet& objects, double dx, double dy, bool copy) {
    ArtList copies;
    for (ArtObject* art : arts) {
        if (!copy) {
            MoveWithSubTree(art, dx, dy);
            objects.erase(art);
            continue;
        }
        ArtObject* duplicate = nullptr;
        if (sAIArt != nullptr && sAIArt->DuplicateArt(art, kPlaceAbove, art, &duplicate) == kNoErr &&
            duplicate != nullptr) {
            MoveWithSubTree(duplicate, dx, dy);
            copies.push_back(duplicate);
        }
    }
    return copies;
}

void SelectObjects(const ArtList& arts) {
    for (ArtObject* art : arts) {
        SelectSubTree(art);
    }
}

// The rightmost edge among the artboards that share the rectangle's band (overlap it vertically;
// touching is no overlap), and `edge` itself; the artboard at `skip` is not counted. None when the
// list can't be counted.
std::optional<double> RightEdgeBeside(const ai::ArtboardList& list, const AIRealRect& rect, double edge,
                                      ArtboardID skip) {
    ArtboardID count = 0;
    if (list.GetCount(count) != kNoErr) {
        return std::nullopt;
    }
    for (ArtboardID index = 0; index < count; ++index) {
        const std::optional<AIRealRect> other = index != skip ? PositionAt(list, index) : std::nullopt;
        if (!other) {
            continue;
        }
        const bool apart = std::min(rect.top, rect.bottom) >= std::max(other->top, other->bottom) ||
                           std::min(other->top, other->bottom) >= std::max(rect.top, rect.bottom);
        if (!apart) {
            edge = std::max({edge, other->left, other->right});
        }
    }
    return edge;
}

// The rectangle for a new artboard right of the base: its left edge a gap right of every artboard
// that shares the base's band; that edge in `edge`.
bool GetNewArtboardPosition(const ai::ArtboardList& list, const ai::ArtboardProperties& properties,
                            double gap, AIRealRect& rect, double& edge) {
    const std::optional<AIRealRect> base = PositionOf(properties);
    if (!base) {
        return false;
    }
    const double baseRight = std::max(base->left, base->right);
    const std::optional<double> found = RightEdgeBeside(list, *base, baseRight, -1);
    if (!found) {
        return false;
    }
    edge = *found;
    rect = Offset(*base, std::abs(base->left - base->right) + (edge - baseRight) + gap, 0.0);
    return true;
}

// Applies the record to one artboard; its artwork follows the move of its centre. The failure's
// text, or empty.
std::string EditArtboard(const Artboard& artboard, int index, bool includeArtwork, bool activate,
                         bool selectArtwork) {
    ai::ArtboardList list;
    ai::ArtboardProperties properties;
    if (index < 0 || !list.IsValid() || !ReadProperties(list, index, properties)) {
        return kCantEdit;
    }
    const std::optional<AIRealRect> old = PositionOf(properties);
    if (!old) {
        return kCantEdit;
    }
    if (!ApplyArtboardRecord(artboard, properties)) {
        return kCantSetPosition;
    }
    if (list.Update(index, properties) != kNoErr) {
        return kCantEdit;
    }
    ArtHandleSet objects = GetTopObjects();
    const ArtList inside = GetTopObjectsInsideRect(objects, *old);
    if (selectArtwork) {
        SelectObjects(inside);
    }
    if (includeArtwork) {
        const std::optional<AIRealRect> now = PositionAt(list, index);
        if (!now) {
            return kCantEdit;
        }
        const AIRealPoint from = CenterOf(*old);
        const AIRealPoint to = CenterOf(*now);
        MoveObjects(inside, objects, to.h - from.h, to.v - from.v, false);
    }
    return !activate || list.SetActive(index) == kNoErr ? std::string() : kCantEdit;
}

// --- editArtboards ---------------------------------------------------------------------------------

// The artboards an "add" inserted and the artwork it copied onto them: taken back unless kept, so
// that an "add" that fails part way leaves the document as it was.
class AddedArtboards {
public:
    explicit AddedArtboards(ai::ArtboardList& list) : fList(list) {}
    ~AddedArtboards() {
        fCopies.TakeBack();
        for (auto index = fInserted.rbegin(); index != fInserted.rend(); ++index) {
            fList.Delete(*index);
        }
    }
    AddedArtboards(const AddedArtboards&) = delete;
    AddedArtboards& operator=(const AddedArtboards&) = delete;

    bool Insert(ai::ArtboardProperties& properties, ArtboardID index) {
        if (fList.Insert(properties, index) != kNoErr) {
            return false;
        }
        fInserted.push_back(index);
        return true;
    }
    ArtChanges& Copies() { return fCopies; }
    void Keep() {
        fCopies.Keep();
        fInserted.clear();
    }

private:
    ai::ArtboardList& fList;
    std::vector<ArtboardID> fInserted;
    ArtChanges fCopies;
};

struct EditArtboardsRequest {
    std::string mode;
    bool activate = false;
    bool includeArtwork = true;
    bool selectArtwork = false;
    std::string artboardName;
    int number = -1;  // 0-based; -1: not given
    int index = -1;   // 0-based insertion position; -1: not given
    int numberOfArtboards = 0;
    std::vector<int> reorder;  // 0-based
    double gap = kDefaultGap;
    std::string layout;
    int rows = 0;
    int columns = 0;
};

EditArtboardsRequest ReadEditArtboardsRequest(const json& request) {
    EditArtboardsRequest edit;
    edit.mode = ReadTextStrictly(request, "mode");
    edit.activate = ReadBoolStrictly(request, "activate", false);
    edit.includeArtwork = ReadBoolStrictly(request, "includeArtwork", true);
    edit.selectArtwork = ReadBoolStrictly(request, "selectArtwork", false);
    edit.artboardName = ReadNameStrictly(request, "artboardName");
    edit.number = std::max(ReadIntegerStrictly(request, "artboardNumber", 0), 0) - 1;
    edit.index = std::max(ReadIntegerStrictly(request, "index", 0), 0) - 1;
    edit.numberOfArtboards = ReadIntegerStrictly(request, "numberOfArtboards", 0);
    edit.reorder = ToIndexes(ReadNumberArrayStrictly(request, "reorder"));
    edit.gap =
        LenUnitsToPoints(ReadNumberStrictly(request, "gap", kDefaultGap), ReadTextStrictly(request, "units"));
    edit.layout = ReadTextStrictly(request, "layout", "arrangeByRow");
    edit.rows = ReadIntegerStrictly(request, "rows", 0);
    edit.columns = ReadIntegerStrictly(request, "columns", 0);
    return edit;
}

// The artboard to work on: by number, by name, or (when allowed) the active one; -1 when none.
// A number beyond the list names no artboard: it never reaches the application.
int FindArtboard(const ai::ArtboardList& list, const EditArtboardsRequest& edit, bool activeAllowed) {
    if (edit.number >= 0) {
        return edit.number < CountOf(list) ? edit.number : -1;
    }
    if (!edit.artboardName.empty()) {
        const int named = GetArtboardNumber(edit.artboardName);
        if (named >= 0) {
            return named;
        }
    }
    ArtboardID active = -1;
    if (activeAllowed && list.GetActive(active) == kNoErr) {
        return active;
    }
    return -1;
}

class EditArtboardsCommand {
public:
    EditArtboardsCommand(const json& request, json& reply)
        : fRequest(request), fReply(reply), fEdit(ReadEditArtboardsRequest(request)) {}

    void Run() {
        if (!std::isfinite(fEdit.gap)) {
            return Fail(kBadGap);
        }
        if (!fList.IsValid()) {
            return Fail(kCantGetArtboards);
        }
        if (fEdit.mode == "add") {
            return Add();
        }
        if (fEdit.mode == "remove") {
            return Remove();
        }
        if (fEdit.mode == "rearrange") {
            return Rearrange();
        }
        if (fEdit.mode == "edit") {
            return Edit();
        }
        Fail(kNoValidMode);
    }

private:
    void Fail(const std::string& message) { fReply["error"] = message; }
    bool Failed(const std::string& message) {
        Fail(message);
        return false;
    }

    // --- add ---

    void Add() {
        // The new artboard starts from the request's record: a record the application would refuse
        // stops the command before anything is added.
        json recordRequest = fRequest;
        if (HasKey(fRequest, "artboardName") && !HasKey(fRequest, "newName")) {
            recordRequest["newName"] = fEdit.artboardName;
        }
        const Artboard record(recordRequest);
        if (const std::string problem = record.Check(); !problem.empty()) {
            return Fail(problem);
        }
        // A name that names no artboard is the new artboard's name, beside the active one; with a
        // "newName" it only chooses the base, and one that names none is no base at all.
        const int base =
            FindArtboard(fList, fEdit, fEdit.artboardName.empty() || !HasKey(fRequest, "newName"));
        ai::ArtboardProperties baseProperties;
        if (base < 0 || !ReadProperties(fList, base, baseProperties)) {
            return Fail(kCantGetArtboard);
        }
        const std::optional<AIRealRect> baseRect = PositionOf(baseProperties);
        if (!baseRect) {
            return Fail(kCantGetArtboardPosition);
        }
        ArtboardID at = fEdit.index >= 0 ? fEdit.index : base + 1;
        if (at > CountOf(fList)) {
            return Fail(kCantAdd);
        }
        ai::ArtboardProperties properties(baseProperties);
        AddedArtboards added(fList);
        if (!added.Insert(properties, at)) {
            return Fail(kCantAdd);
        }
        ArtHandleSet objects = fEdit.includeArtwork ? GetTopObjects() : ArtHandleSet{};
        const ArtCentres centres(objects);
        AIRealRect placed{};
        double edge = 0;
        const bool slot = GetNewArtboardPosition(fList, baseProperties, fEdit.gap, placed, edge);
        if (slot && properties.SetPosition(placed) != kNoErr) {
            return Fail(kCantSetPosition);
        }
        if (!ApplyArtboardRecord(record, properties) ||
            (slot && !record.x && !PlaceBeside(properties, edge, at))) {
            return Fail(kCantSetPosition);
        }
        std::string stem = record.newName.value_or("Artboard");
        int start = 1;
        if (!record.newName) {
            start = CountOf(fList);
            properties.SetName(ai::UnicodeString(NameAndNumberToStr(stem, start), kAIUTF8CharacterEncoding));
        }
        if (fList.Update(at, properties) != kNoErr) {
            return Fail(kCantUpdate);
        }
        if (fEdit.includeArtwork && !CopyArtwork(objects, centres, *baseRect, at, added.Copies())) {
            return Fail(kCantGetArtboardPosition);
        }
        if (AddMore(properties, objects, centres, *baseRect, at, stem, start, added)) {
            added.Keep();
        }
    }

    // A record of another size (a template, a width or height) resizes the new artboard about its
    // anchor, and a "y" moves it up or down: either may take it over the artboards beside its slot.
    // Placed again, its left edge lies a gap right of the slot's edge (the base and the artboards
    // of the base's band) and of every artboard that shares its own band now. False when the
    // application refuses the rectangle.
    bool PlaceBeside(ai::ArtboardProperties& properties, double slotEdge, ArtboardID at) {
        const std::optional<AIRealRect> now = PositionOf(properties);
        const std::optional<double> edge = now ? RightEdgeBeside(fList, *now, slotEdge, at) : std::nullopt;
        if (!edge) {
            return true;  // unreadable: the rectangle stays as the record made it
        }
        const AIRealRect wanted = Offset(*now, *edge + fEdit.gap - std::min(now->left, now->right), 0.0);
        const std::optional<AIRealRect> placed =
            properties.SetPosition(wanted) == kNoErr ? PositionOf(properties) : std::nullopt;
        return placed && placed->left == wanted.left && placed->right == wanted.right;
    }

    // Copies the art lying on the base onto the artboard at the index, by the offset of the centres.
    bool CopyArtwork(ArtHandleSet& objects, const ArtCentres& centres, const AIRealRect& base,
                     ArtboardID index, ArtChanges& made) {
        const std::optional<AIRealRect> now = PositionAt(fList, index);
        if (!now) {
            return false;
        }
        const AIRealPoint from = CenterOf(base);
        const AIRealPoint to = CenterOf(*now);
        const ArtList copies =
            MoveObjects(centres.Inside(objects, base), objects, to.h - from.h, to.v - from.v, true);
        for (ArtObject* copy : copies) {
            made.Made(copy);
        }
        if (fEdit.selectArtwork) {
            SelectObjects(copies);
        }
        return true;
    }

    // The further copies of "numberOfArtboards", each a step right of the one before; false (the
    // reply's error set) when one can't be added.
    bool AddMore(const ai::ArtboardProperties& first, ArtHandleSet& objects, const ArtCentres& centres,
                 const AIRealRect& base, ArtboardID at, const std::string& stem, int start,
                 AddedArtboards& added) {
        if (fEdit.numberOfArtboards < 2) {
            return true;
        }
        const std::optional<AIRealRect> firstRect = PositionAt(fList, at);
        if (!firstRect) {
            return Failed(kCantAddMultiple);
        }
        const double step = std::abs(firstRect->left - firstRect->right) + fEdit.gap;
        for (int i = 1; i < fEdit.numberOfArtboards; ++i) {
            ++at;
            ai::ArtboardProperties next(first);
            const std::string name = NameAndNumberToStr(stem, start + i);
            if (next.SetPosition(Offset(*firstRect, i * step, 0.0)) != kNoErr ||
                next.SetName(ai::UnicodeString(name, kAIUTF8CharacterEncoding)) != kNoErr ||
                !added.Insert(next, at)) {
                return Failed(kCantAddMultiple);
            }
            if (fList.Update(at, next) != kNoErr) {
                return Failed(kCantUpdate);
            }
            if (fEdit.includeArtwork && !CopyArtwork(objects, centres, base, at, added.Copies())) {
                return Failed(kCantAddMultiple);
            }
        }
        return true;
    }

    // --- remove ---

    void Remove() {
        const int number = FindArtboard(fList, fEdit, false);
        if (number < 0) {
            return Fail(kCantGetArtboard);
        }
        // The art lying on the artboard is found before the artboard goes and deleted only after the
        // application let it go: an artboard it keeps (the last one) keeps its art too.
        ArtList doomed;
        if (fEdit.includeArtwork) {
            const std::optional<AIRealRect> rect = PositionAt(fList, number);
            if (!rect) {
                return Fail(kCantGetArtboard);
            }
            doomed = GetTopObjectsInsideRect(GetTopObjects(), *rect);
        }
        if (fList.Delete(number) != kNoErr) {
            return Fail(kCantDelete);
        }
        for (ArtObject* art : doomed) {
            sAIArt->DisposeArt(art);
        }
    }

    // --- rearrange ---

    struct Grid {
        bool byColumns = false;
        bool rightToLeft = false;
        int rows = 1;
        int columns = 1;
    };

    std::optional<Grid> SettleGrid(int n) const {
        static const std::set<std::string> kLayouts{
            "arrangeByRow", "rightToLeftArrangeByRow", "arrangeByColumn", "rightToLeftArrangeByColumn",
            "gridByRow",    "rightToLeftGridByRow",    "gridByColumn",    "rightToLeftGridByColumn"};
        const std::string layout = kLayouts.contains(fEdit.layout) ? fEdit.layout : "arrangeByRow";
        Grid grid;
        grid.rightToLeft = layout.starts_with("rightToLeft");
        if (layout.ends_with("rrangeByRow")) {
            grid.columns = n;
        } else if (layout.ends_with("rrangeByColumn")) {
            grid.rows = n;
        } else if (layout.ends_with("ridByRow")) {
            if (!CountRowsAndColumns(n, fEdit.rows, fEdit.columns, grid.rows, grid.columns)) {
                return std::nullopt;
            }
        } else {
            grid.byColumns = true;
            if (!CountRowsAndColumns(n, fEdit.columns, fEdit.rows, grid.columns, grid.rows)) {
                return std::nullopt;
            }
        }
        return grid;
    }

    // Places artboard `index` with its top-left (right to left: top-right) corner at (x, y); the
    // placed rectangle, or none when it could not be read or the application refused the move.
    std::optional<AIRealRect> Place(ArtboardID index, double x, double y, bool rightToLeft,
                                    ArtHandleSet& objects) {
        ai::ArtboardProperties properties;
        if (fRefused || !ReadProperties(fList, index, properties)) {
            return std::nullopt;
        }
        ai::ArtboardProperties before(properties);
        const std::optional<AIRealRect> old = PositionOf(properties);
        if (!old) {
            return std::nullopt;
        }
        const ArtList inside = fCentres->Inside(objects, *old);
        if (fEdit.selectArtwork) {
            SelectObjects(inside);
        }
        const double dx = x - (rightToLeft ? old->right : old->left);
        const double dy = y - old->top;
        const AIRealRect moved = Offset(*old, dx, dy);
        if (properties.SetPosition(moved) != kNoErr || fList.Update(index, properties) != kNoErr) {
            fRefused = true;
            return std::nullopt;
        }
        MoveObjects(inside, objects, dx, dy, false);
        fPlaced.push_back(PlacedArtboard{index, std::move(before), inside, dx, dy});
        return moved;
    }

    // Puts the artboards placed so far, and their art, back where they were.
    void TakeBackPlaced() {
        for (auto placed = fPlaced.rbegin(); placed != fPlaced.rend(); ++placed) {
            fList.Update(placed->index, placed->before);
            for (ArtObject* art : placed->inside) {
                MoveWithSubTree(art, -placed->dx, -placed->dy);
            }
        }
        fPlaced.clear();
    }

    void Rearrange() {
        const int n = CountOf(fList);
        const std::optional<Grid> grid = n >= 1 ? SettleGrid(n) : std::nullopt;
        if (!grid) {
            return Fail(kCantRearrange);
        }
        std::vector<int> order = fEdit.reorder;
        if (!CheckArtboardsOrder(order, n)) {
            if (!order.empty()) {
                fReply["warning"] = kInvalidOrder;
            }
            order.resize(static_cast<std::size_t>(n));
            std::iota(order.begin(), order.end(), 0);
        }
        const std::optional<AIRealRect> first = PositionAt(fList, 0);
        if (!first) {
            return Fail(kCantRearrange);
        }
        ArtHandleSet objects = fEdit.includeArtwork ? GetTopObjects() : ArtHandleSet{};
        fCentres.emplace(objects);
        if (grid->byColumns) {
            ByColumns(*grid, order, *first, objects);
        } else {
            ByRows(*grid, order, *first, objects);
        }
        // A place the application refused (one beyond its coordinates) fails the whole arrangement.
        if (fRefused) {
            TakeBackPlaced();
            Fail(kCantSetPosition);
        }
    }

    void ByRows(const Grid& grid, const std::vector<int>& order, const AIRealRect& first,
                ArtHandleSet& objects) {
        const double startX = grid.rightToLeft ? first.right : first.left;
        double x = startX;
        double y = first.top;
        double lowest = first.bottom;
        for (int r = 0; r < grid.rows; ++r) {
            for (int c = 0; c < grid.columns; ++c) {
                const std::size_t slot = static_cast<std::size_t>(r * grid.columns + c);
                if (slot >= order.size()) {
                    break;
                }
                const std::optional<AIRealRect> placed = Place(order[slot], x, y, grid.rightToLeft, objects);
                if (!placed) {
                    continue;
                }
                x = grid.rightToLeft ? placed->left - fEdit.gap : placed->right + fEdit.gap;
                lowest = std::min(lowest, placed->bottom);
            }
            x = startX;
            y = lowest - fEdit.gap;
        }
    }

    void ByColumns(const Grid& grid, const std::vector<int>& order, const AIRealRect& first,
                   ArtHandleSet& objects) {
        double x = grid.rightToLeft ? first.right : first.left;
        double y = first.top;
        double edge = grid.rightToLeft ? first.left : first.right;
        for (int c = 0; c < grid.columns; ++c) {
            for (int r = 0; r < grid.rows; ++r) {
                const std::size_t slot = static_cast<std::size_t>(c * grid.rows + r);
                if (slot >= order.size()) {
                    break;
                }
                const std::optional<AIRealRect> placed = Place(order[slot], x, y, grid.rightToLeft, objects);
                if (!placed) {
                    continue;
                }
                y = placed->bottom - fEdit.gap;
                edge = grid.rightToLeft ? std::min(edge, placed->left) : std::max(edge, placed->right);
            }
            x = grid.rightToLeft ? edge - fEdit.gap : edge + fEdit.gap;
            y = first.top;
        }
    }

    // --- edit ---

    void Edit() {
        const Artboard record(fRequest);
        if (const std::string problem = record.Check(); !problem.empty()) {
            return Fail(problem);
        }
        const int number = FindArtboard(fList, fEdit, false);
        if (number < 0) {
            return Fail(kCantGetArtboard);
        }
        if (const std::string failure =
                EditArtboard(record, number, fEdit.includeArtwork, fEdit.activate, fEdit.selectArtwork);
            !failure.empty()) {
            Fail(failure);
        }
    }

    // An artboard "rearrange" placed: where it was, and the art that went with it.
    struct PlacedArtboard {
        ArtboardID index;
        ai::ArtboardProperties before;
        ArtList inside;
        double dx;
        double dy;
    };

    const json& fRequest;
    json& fReply;
    EditArtboardsRequest fEdit;
    ai::ArtboardList fList;
    std::vector<PlacedArtboard> fPlaced;
    std::optional<ArtCentres> fCentres;  // "rearrange": the art to take along, measured once
    bool fRefused = false;
};

}  // namespace

std::string PlimUtilsPlugin::EditArtboards(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("editArtboards", parsed);
    reply["artboardName"] = ReadTextStrictly(parsed, "artboardName");
    for (const char* key : {"artboardNumber", "index"}) {
        if (const int value = ReadIntegerStrictly(parsed, key, 0); value != 0) {
            reply[key] = value;
        }
    }
    EditArtboardsCommand(parsed, reply).Run();
    return DumpReply(reply);
}

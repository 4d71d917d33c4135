// The structure suites over a small document: the pathfinder's ten operations (geometry, paint,
// placement, consumed operands, refusals), new rectangles at the insertion point, and art sets.
#include <cmath>
#include <numbers>
#include <optional>
#include <string>

#include "AIArt.h"
#include "AIArtSet.h"
#include "AIPathfinder.h"
#include "AIShapeConstruction.h"
#include "HostFixture.h"
#include "model/DocumentFormat.h"
#include "model/Region.h"

namespace {

using host::model::ArtId;
using host::model::ArtType;
using host::model::Rect;
using host::model::Region;

// Layer "Shapes", front to back: "Front" [50..150]² (blue), "Back" [0..100]² (red, stroked),
// "Far" [500..600]², the point text "Text", the group "Pair" of "Left" [200..250 x 0..50] and
// "Right" [260..310 x 0..50]; layer "Other" holds "Elsewhere".
constexpr const char* kShapesDocument = R"({
  "format": "plimhost-document", "version": 1,
  "layers": [
    {"type": "layer", "title": "Shapes", "children": [
      {"type": "path", "name": "Front", "closed": true,
       "style": {"paintFields": [{"fill": {"color": {"rgb": [0, 0, 1]}}}]},
       "segments": [{"anchor": [50, 150]}, {"anchor": [150, 150]}, {"anchor": [150, 50]}, {"anchor": [50, 50]}]},
      {"type": "path", "name": "Back", "closed": true,
       "style": {"paintFields": [{"fill": {"color": {"rgb": [1, 0, 0]}}}, {"stroke": {"color": {"gray": 1}, "width": 2}}]},
       "segments": [{"anchor": [0, 100]}, {"anchor": [100, 100]}, {"anchor": [100, 0]}, {"anchor": [0, 0]}]},
      {"type": "path", "name": "Far", "closed": true,
       "segments": [{"anchor": [500, 600]}, {"anchor": [600, 600]}, {"anchor": [600, 500]}, {"anchor": [500, 500]}]},
      {"type": "textFrame", "name": "Text", "kind": "point", "text": "Hi", "frame": [0, 300, 50, 280]},
      {"type": "group", "name": "Pair", "children": [
        {"type": "path", "name": "Left", "closed": true,
         "segments": [{"anchor": [200, 50]}, {"anchor": [250, 50]}, {"anchor": [250, 0]}, {"anchor": [200, 0]}]},
        {"type": "path", "name": "Right", "closed": true,
         "segments": [{"anchor": [260, 50]}, {"anchor": [310, 50]}, {"anchor": [310, 0]}, {"anchor": [260, 0]}]}]}]},
    {"type": "layer", "title": "Other", "children": [
      {"type": "path", "name": "Elsewhere", "segments": [{"anchor": [0, 0]}, {"anchor": [1, 1]}]}]}
  ]
})";

class StructureSuites : public hosttest::HostTest {
protected:
    void SetUp() override {
        host::model::ReadResult read = host::model::readDocument(kShapesDocument, 3);
        ASSERT_TRUE(read.document) << read.error;
        app->SetDocument(std::make_unique<host::Document>(std::move(*read.document)));
        const SPBasicSuite& basic = app->BasicSuite();
        art = hosttest::Acquire<AIArtSuite>(basic, kAIArtSuite, kAIArtSuiteVersion);
        pathfinder =
            hosttest::Acquire<AIPathfinderSuite>(basic, kAIPathfinderSuite, kAIPathfinderSuiteVersion);
        shapes = hosttest::Acquire<AIShapeConstructionSuite>(basic, kAIShapeConstructionSuite,
                                                             kAIShapeConstructionSuiteVersion);
        sets = hosttest::Acquire<AIArtSetSuite>(basic, kAIArtSetSuite, kAIArtSetSuiteVersion);
        ASSERT_TRUE(art && pathfinder && shapes && sets);
    }

    host::Document& Doc() { return *app->CurrentDocument(); }

    AIArtHandle Art(std::string_view name) {
        for (const ArtId id : Doc().documentOrder()) {
            const auto found = Doc().name(id);
            if (found && found->text == name) {
                return reinterpret_cast<AIArtHandle>(static_cast<std::uintptr_t>(id.value));
            }
        }
        return nullptr;
    }

    static ArtId Id(AIArtHandle handle) { return {reinterpret_cast<std::uintptr_t>(handle)}; }

    // The area the art's fill covers, worked out from the saved geometry.
    Region RegionOf(ArtId id) {
        if (const auto* path = Doc().contentAs<host::model::PathContent>(id)) {
            return Region::fromPath(path->geometry);
        }
        Region united;
        for (ArtId child : Doc().children(id).valueOr({})) {
            united = Doc().type(id).valueOr(ArtType::group) == ArtType::compoundPath
                         ? united.excluded(RegionOf(child))
                         : united.united(RegionOf(child));
        }
        return united;
    }

    // The names of the layer's art, front to back (the result of an operation has none).
    std::vector<std::string> Names(std::string_view layerTitle) {
        std::vector<std::string> names;
        const ArtId layer = Id(Art(layerTitle));
        for (ArtId child : Doc().children(layer).valueOr({})) {
            names.push_back(Doc().name(child)->isDefault ? "*" : Doc().name(child)->text);
        }
        return names;
    }

    AIErr Run(AIErr (*AIPathfinderSuite::*operation)(AIPathfinderData*, AIFilterMessage*),
              std::vector<AIArtHandle> operands, AIPathfinderData& data) {
        data = AIPathfinderData{};
        data.options.precision = 10.0;
        data.operands = operands.data();
        data.operandCount = static_cast<ai::int32>(operands.size());
        AIFilterMessage message{};
        return (pathfinder->*operation)(&data, &message);
    }

    const AIArtSuite* art = nullptr;
    const AIPathfinderSuite* pathfinder = nullptr;
    const AIShapeConstructionSuite* shapes = nullptr;
    const AIArtSetSuite* sets = nullptr;
};

using Operation = AIErr (*AIPathfinderSuite::*)(AIPathfinderData*, AIFilterMessage*);

struct PathfinderCase {
    const char* name;
    Operation operation;
    bool reported;       // a group in data.result
    std::size_t pieces;  // members of the group, or 1
    double area;
    Rect bounds;
    const char* paintFrom;  // the operand whose fill the (first) piece has
};

void PrintTo(const PathfinderCase& c, std::ostream* out) {
    *out << c.name;
}

class PathfinderOperations : public StructureSuites, public ::testing::WithParamInterface<PathfinderCase> {};

TEST_P(PathfinderOperations, ReplaceTheOperandsByTheirResult) {
    const PathfinderCase& c = GetParam();
    const host::model::ArtStyle frontPaint = Doc().find(Id(Art("Front")))->data->style;
    const host::model::ArtStyle backPaint = Doc().find(Id(Art("Back")))->data->style;
    AIPathfinderData data{};
    // Given back to front, as the plug-in sorts them: the stacking in the document decides.
    ASSERT_EQ(Run(c.operation, {Art("Back"), Art("Front")}, data), kNoErr);

    EXPECT_EQ(Art("Front"), nullptr);
    EXPECT_EQ(Art("Back"), nullptr);
    const std::vector<std::string> names = Names("Shapes");
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], "*") << "the result takes the place of the operands";
    const ArtId result = Doc().children(Id(Art("Shapes")))->front();
    EXPECT_EQ(data.result, c.reported ? reinterpret_cast<AIArtHandle>(result.value) : nullptr);
    const ArtType type = *Doc().type(result);
    const std::vector<ArtId> members = Doc().children(result).valueOr({});
    if (c.reported) {
        ASSERT_EQ(type, ArtType::group);
        EXPECT_EQ(members.size(), c.pieces);
    }
    const Region covered = RegionOf(result);
    EXPECT_NEAR(covered.area(), c.area, 1e-6);
    const Rect bounds = *Doc().bounds(result, host::model::BoundsKind::geometric);
    EXPECT_EQ(bounds, c.bounds);
    const ArtId painted = c.reported ? members.front() : result;
    const host::model::ArtStyle& style = Doc().find(painted)->data->style;
    const host::model::ArtStyle& source = std::string(c.paintFrom) == "Front" ? frontPaint : backPaint;
    ASSERT_TRUE(style.focalFillIndex());
    EXPECT_EQ(style.paintFields[*style.focalFillIndex()], source.paintFields[*source.focalFillIndex()]);
}

// The outline pieces are open paths around the three faces; their "area" is the faces'.
INSTANTIATE_TEST_SUITE_P(
    OverlappingSquares, PathfinderOperations,
    ::testing::Values(PathfinderCase{"unite", &AIPathfinderSuite::DoUniteEffect, false, 1, 17500,
                                     Rect(0, 150, 150, 0), "Front"},
                      PathfinderCase{"intersect", &AIPathfinderSuite::DoIntersectEffect, false, 1, 2500,
                                     Rect(50, 100, 100, 50), "Front"},
                      PathfinderCase{"exclude", &AIPathfinderSuite::DoExcludeEffect, false, 1, 15000,
                                     Rect(0, 150, 150, 0), "Front"},
                      PathfinderCase{"minusFront", &AIPathfinderSuite::DoBackMinusFrontEffect, false, 1, 7500,
                                     Rect(0, 100, 100, 0), "Back"},
                      PathfinderCase{"minusBack", &AIPathfinderSuite::DoFrontMinusBackEffect, false, 1, 7500,
                                     Rect(50, 150, 150, 50), "Front"},
                      PathfinderCase{"divide", &AIPathfinderSuite::DoDivideEffect, true, 3, 17500,
                                     Rect(0, 150, 150, 0), "Front"},
                      PathfinderCase{"trim", &AIPathfinderSuite::DoTrimEffect, true, 2, 17500,
                                     Rect(0, 150, 150, 0), "Front"},
                      PathfinderCase{"merge", &AIPathfinderSuite::DoMergeEffect, true, 2, 17500,
                                     Rect(0, 150, 150, 0), "Front"},
                      PathfinderCase{"crop", &AIPathfinderSuite::DoCropEffect, true, 1, 2500,
                                     Rect(50, 100, 100, 50), "Back"},
                      PathfinderCase{"outline", &AIPathfinderSuite::DoOutlineEffect, true, 3, 17500,
                                     Rect(0, 150, 150, 0), "Front"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StructureSuites, TrimDropsStrokesAndMergeKeepsApartWhatDoesNotTouch) {
    AIPathfinderData data{};
    ASSERT_EQ(Run(&AIPathfinderSuite::DoTrimEffect, {Art("Front"), Art("Back")}, data), kNoErr);
    const std::vector<ArtId> pieces = *Doc().children(Id(data.result));
    for (ArtId piece : pieces) {
        EXPECT_EQ(Doc().find(piece)->data->strokeWidth(), 0.0);
    }
    // Left and Right have the same (default) paint but do not touch: they stay two shapes.
    ASSERT_EQ(Run(&AIPathfinderSuite::DoMergeEffect, {Art("Left"), Art("Right")}, data), kNoErr);
    const std::vector<ArtId> merged = *Doc().children(Id(data.result));
    ASSERT_EQ(merged.size(), 2u);
    EXPECT_NEAR(RegionOf(merged[0]).area() + RegionOf(merged[1]).area(), 5000, 1e-9);
}

TEST_F(StructureSuites, AGroupOperandCountsAsTheShapeOfItsMembers) {
    AIPathfinderData data{};
    ASSERT_EQ(Run(&AIPathfinderSuite::DoUniteEffect, {Art("Pair")}, data), kNoErr);
    EXPECT_EQ(Art("Pair"), nullptr);
    EXPECT_EQ(Names("Shapes"), (std::vector<std::string>{"Front", "Back", "Far", "Text", "*"}));
}

TEST_F(StructureSuites, ShapesThatDoNotMeetLeaveEverythingAsItWas) {
    const host::Document before = Doc();
    AIPathfinderData data{};
    EXPECT_EQ(Run(&AIPathfinderSuite::DoIntersectEffect, {Art("Back"), Art("Far")}, data), kCantHappenErr);
    EXPECT_EQ(Run(&AIPathfinderSuite::DoCropEffect, {Art("Far"), Art("Back")}, data), kCantHappenErr);
    EXPECT_EQ(data.result, nullptr);
    EXPECT_TRUE(Doc() == before);
}

struct RefusedCase {
    const char* name;
    std::vector<const char*> operands;
};

void PrintTo(const RefusedCase& c, std::ostream* out) {
    *out << c.name;
}

class RefusedOperands : public StructureSuites, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedOperands, ChangeNothing) {
    std::vector<AIArtHandle> operands;
    for (const char* name : GetParam().operands) {
        operands.push_back(std::string(name) == "stale" ? reinterpret_cast<AIArtHandle>(0x7fffffff)
                                                        : Art(name));
    }
    const host::Document before = Doc();
    AIPathfinderData data{};
    EXPECT_EQ(Run(&AIPathfinderSuite::DoUniteEffect, operands, data), kBadParameterErr);
    EXPECT_TRUE(Doc() == before);
}

INSTANTIATE_TEST_SUITE_P(NonShapes, RefusedOperands,
                         ::testing::Values(RefusedCase{"text", {"Back", "Text"}},
                                           RefusedCase{"layerGroup", {"Shapes"}},
                                           RefusedCase{"memberWithItsGroup", {"Pair", "Left"}},
                                           RefusedCase{"twice", {"Back", "Back"}},
                                           RefusedCase{"stale", {"Back", "stale"}}, RefusedCase{"none", {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StructureSuites, ARecordWithoutOperandsIsRefused) {
    AIPathfinderData data{};
    EXPECT_EQ(pathfinder->DoUniteEffect(nullptr, nullptr), kBadParameterErr);
    data.operandCount = 2;
    EXPECT_EQ(pathfinder->DoUniteEffect(&data, nullptr), kBadParameterErr);
}

// --- Many operands ----------------------------------------------------------------------------------

// A grid of 12 x 12 squares of 20 points, 15 apart, so that each overlaps its neighbours, painted
// in three colours by turns, in front of one square behind them all: "Square 0" is the front-most,
// "Square 144" the one behind.
std::string ManySquaresDocument() {
    std::string children;
    const auto square = [&](int index, double left, double bottom, double side, int paint) {
        const std::string l = std::to_string(left);
        const std::string b = std::to_string(bottom);
        const std::string r = std::to_string(left + side);
        const std::string t = std::to_string(bottom + side);
        const std::string rgb = paint == 0 ? "[1, 0, 0]" : paint == 1 ? "[0, 1, 0]" : "[0, 0, 1]";
        children += std::string(children.empty() ? "" : ",") +
                    R"({"type": "path", "closed": true, "name": "Square )" + std::to_string(index) +
                    R"(", "style": {"paintFields": [{"fill": {"color": {"rgb": )" + rgb +
                    R"(}}}]}, "segments": [{"anchor": [)" + l + ", " + t + R"(]}, {"anchor": [)" + r + ", " +
                    t + R"(]}, {"anchor": [)" + r + ", " + b + R"(]}, {"anchor": [)" + l + ", " + b + "]}]}";
    };
    for (int i = 0; i < 144; ++i) {
        square(i, (i % 12) * 15.0, (i / 12) * 15.0, 20.0, (i % 12 + i / 12) % 3);
    }
    square(144, -10.0, -10.0, 200.0, 0);
    return R"({"format": "plimhost-document", "version": 1, "layers": [{"type": "layer", "title": "Shapes", )"
           R"("children": [)" +
           children + "]}]}";
}

// What an operation leaves: its area, and the pieces of its region or the members of its group.
struct Expected {
    std::optional<double> area;  // none for open paths, which cover nothing
    std::size_t parts = 0;
};

// The operations worked out one shape at a time over the operands front to back, as simply as they
// can be said.
Region Folded(const std::vector<Region>& shapes, Region (Region::*operation)(const Region&) const,
              std::size_t skip = SIZE_MAX) {
    Region result;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        if (i != skip) {
            result = (result.*operation)(shapes[i]);
        }
    }
    return result;
}

Expected ShapeOf(const Region& region) {
    return {region.area(), region.pieces().size()};
}

std::vector<Region> TrimmedOneAtATime(const std::vector<Region>& shapes) {
    std::vector<Region> visible;
    Region inFront;
    for (const Region& shape : shapes) {
        visible.push_back(shape.subtracted(inFront));
        inFront = inFront.united(shape);
    }
    return visible;
}

std::vector<Region> FacesOneAtATime(const std::vector<Region>& shapes) {
    std::vector<Region> faces;
    for (std::size_t i = shapes.size(); i-- > 0;) {
        std::vector<Region> next;
        Region uncovered = shapes[i];
        for (const Region& face : faces) {
            next.push_back(face.intersected(shapes[i]));
            next.push_back(face.subtracted(shapes[i]));
            uncovered = uncovered.subtracted(face);
        }
        next.push_back(uncovered);
        std::erase_if(next, [](const Region& region) { return region.isEmpty(); });
        faces = std::move(next);
    }
    return faces;
}

Expected GroupOf(const std::vector<Region>& pieces, bool outlines = false) {
    Expected expected{0.0, 0};
    for (const Region& piece : pieces) {
        *expected.area += piece.area();
        for (const Region& part : piece.pieces()) {
            expected.parts += outlines ? part.outlines().size() : 1;
        }
    }
    return expected;
}

struct ManyCase {
    const char* name;
    Operation operation;
    Expected (*expected)(const std::vector<Region>& frontToBack);
};

void PrintTo(const ManyCase& c, std::ostream* out) {
    *out << c.name;
}

class ManyOperands : public StructureSuites, public ::testing::WithParamInterface<ManyCase> {
protected:
    void SetUp() override {
        StructureSuites::SetUp();
        host::model::ReadResult read = host::model::readDocument(ManySquaresDocument(), 3);
        ASSERT_TRUE(read.document) << read.error;
        app->SetDocument(std::make_unique<host::Document>(std::move(*read.document)));
    }
};

// Each operand is cut only by those near it: what the operation leaves is what working it out one
// shape at a time over all of them leaves.
TEST_P(ManyOperands, LeaveWhatCombiningOneShapeAtATimeLeaves) {
    std::vector<AIArtHandle> operands;
    std::vector<Region> frontToBack;
    for (int i = 0; i <= 144; ++i) {
        operands.push_back(Art("Square " + std::to_string(i)));
        frontToBack.push_back(RegionOf(Id(operands.back())));
    }
    const Expected expected = GetParam().expected(frontToBack);
    AIPathfinderData data{};
    if (expected.parts == 0) {
        EXPECT_EQ(Run(GetParam().operation, operands, data), kCantHappenErr);
        EXPECT_EQ(Names("Shapes").size(), 145u);
        return;
    }
    ASSERT_EQ(Run(GetParam().operation, operands, data), kNoErr);
    ASSERT_EQ(Names("Shapes").size(), 1u);
    const ArtId result = Doc().children(Id(Art("Shapes")))->front();
    if (data.result == nullptr) {
        EXPECT_EQ(ShapeOf(RegionOf(result)).parts, expected.parts);
        EXPECT_NEAR(RegionOf(result).area(), *expected.area, 1e-6);
        return;
    }
    const std::vector<ArtId> members = Doc().children(result).valueOr({});
    EXPECT_EQ(members.size(), expected.parts);
    if (!expected.area) {
        return;
    }
    double area = 0.0;
    for (const ArtId member : members) {
        area += RegionOf(member).area();
    }
    EXPECT_NEAR(area, *expected.area, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    SquaresInAGrid, ManyOperands,
    ::testing::Values(
        ManyCase{"unite", &AIPathfinderSuite::DoUniteEffect,
                 [](const std::vector<Region>& shapes) { return ShapeOf(Folded(shapes, &Region::united)); }},
        ManyCase{
            "exclude", &AIPathfinderSuite::DoExcludeEffect,
            [](const std::vector<Region>& shapes) { return ShapeOf(Folded(shapes, &Region::excluded)); }},
        ManyCase{"minusFront", &AIPathfinderSuite::DoBackMinusFrontEffect,
                 [](const std::vector<Region>& shapes) {
                     return ShapeOf(
                         shapes.back().subtracted(Folded(shapes, &Region::united, shapes.size() - 1)));
                 }},
        // The square behind covers the front-most: nothing is left.
        ManyCase{"minusBack", &AIPathfinderSuite::DoFrontMinusBackEffect,
                 [](const std::vector<Region>& shapes) {
                     return ShapeOf(shapes.front().subtracted(Folded(shapes, &Region::united, 0)));
                 }},
        ManyCase{"trim", &AIPathfinderSuite::DoTrimEffect,
                 [](const std::vector<Region>& shapes) { return GroupOf(TrimmedOneAtATime(shapes)); }},
        ManyCase{"merge", &AIPathfinderSuite::DoMergeEffect,
                 [](const std::vector<Region>& shapes) {
                     // The squares take three paints by turns; the one behind them paints as the first.
                     const std::vector<Region> visible = TrimmedOneAtATime(shapes);
                     std::vector<Region> byPaint(3);
                     for (int i = 0; i <= 144; ++i) {
                         const int paint = i == 144 ? 0 : (i % 12 + i / 12) % 3;
                         byPaint[paint] = byPaint[paint].united(visible[i]);
                     }
                     return GroupOf(byPaint);
                 }},
        ManyCase{"divide", &AIPathfinderSuite::DoDivideEffect,
                 [](const std::vector<Region>& shapes) { return GroupOf(FacesOneAtATime(shapes)); }},
        ManyCase{"outline", &AIPathfinderSuite::DoOutlineEffect,
                 [](const std::vector<Region>& shapes) {
                     Expected expected = GroupOf(FacesOneAtATime(shapes), true);
                     expected.area.reset();
                     return expected;
                 }}),
    [](const auto& info) { return std::string(info.param.name); });

// --- New rectangles at the insertion point -----------------------------------------------------------

TEST_F(StructureSuites, NewRectanglesGoOnTopOfTheCurrentLayerUntilAnInsertionPointIsSet) {
    AIArtHandle made = nullptr;
    ASSERT_EQ(shapes->NewRect(20, 0, 10, 30, false, &made), kNoErr);
    EXPECT_EQ(Names("Shapes").front(), "*");
    const auto* path = Doc().contentAs<host::model::PathContent>(Id(made));
    ASSERT_NE(path, nullptr);
    EXPECT_TRUE(path->geometry.closed);
    EXPECT_EQ(path->geometry, host::model::PathGeometry::rectangle(Rect(0, 20, 30, 10)));

    AIArtHandle where = nullptr;
    ai::int16 order = 0;
    AIBoolean editable = false;
    ASSERT_EQ(art->GetInsertionPoint(&where, &order, &editable), kNoErr);
    EXPECT_EQ(where, Art("Shapes"));
    EXPECT_EQ(order, kPlaceInsideOnTop);
    EXPECT_TRUE(editable);

    ASSERT_EQ(art->SetInsertionPoint(Art("Far")), kNoErr);
    ASSERT_EQ(shapes->NewRect(20, 0, 10, 30, true, &made), kNoErr);
    EXPECT_EQ(Names("Shapes"), (std::vector<std::string>{"*", "Front", "Back", "*", "Far", "Text", "Pair"}));
    const auto& reversed = Doc().contentAs<host::model::PathContent>(Id(made))->geometry.segments;
    ASSERT_EQ(reversed.size(), 4u);
    EXPECT_EQ(reversed[0].anchor, (host::model::Point{0, 20}));
    EXPECT_EQ(reversed[1].anchor, (host::model::Point{0, 10})) << "counter-clockwise from the top left";
}

TEST_F(StructureSuites, TheInsertionPointFallsBackWhenItsArtGoes) {
    ASSERT_EQ(art->SetInsertionPoint(Art("Far")), kNoErr);
    ASSERT_EQ(art->DisposeArt(Art("Far")), kNoErr);
    AIArtHandle where = nullptr;
    ai::int16 order = 0;
    ASSERT_EQ(art->GetInsertionPoint(&where, &order, nullptr), kNoErr);
    EXPECT_EQ(where, Art("Shapes"));
    EXPECT_EQ(art->SetInsertionPoint(reinterpret_cast<AIArtHandle>(0x7fffffff)), kBadParameterErr);
    EXPECT_EQ(art->GetInsertionPoint(nullptr, &order, nullptr), kBadParameterErr);
}

TEST_F(StructureSuites, InvertedOrNonFiniteRectanglesAreRefused) {
    AIArtHandle made = reinterpret_cast<AIArtHandle>(1);
    EXPECT_EQ(shapes->NewRect(10, 0, 20, 30, false, &made), kBadParameterErr);
    EXPECT_EQ(made, nullptr);
    EXPECT_EQ(shapes->NewRect(10, 30, 0, 0, false, &made), kBadParameterErr);
    EXPECT_EQ(shapes->NewRect(NAN, 0, 0, 0, false, &made), kBadParameterErr);
    EXPECT_EQ(shapes->NewRect(1, 0, 0, 1, false, nullptr), kBadParameterErr);
    EXPECT_EQ(Names("Shapes").size(), 5u);
}

// --- Art sets ----------------------------------------------------------------------------------------

TEST_F(StructureSuites, ArtSetsKeepEachArtOnceInTheOrderAdded) {
    AIArtSet set = nullptr;
    ASSERT_EQ(sets->NewArtSet(&set), kNoErr);
    ASSERT_EQ(sets->AddArtToArtSet(set, Art("Far")), kNoErr);
    ASSERT_EQ(sets->AddArtToArtSet(set, Art("Front")), kNoErr);
    ASSERT_EQ(sets->AddArtToArtSet(set, Art("Far")), kNoErr);
    std::size_t count = 0;
    ASSERT_EQ(sets->CountArtSet(set, &count), kNoErr);
    EXPECT_EQ(count, 2u);
    AIArtHandle member = nullptr;
    ASSERT_EQ(sets->IndexArtSet(set, 1, &member), kNoErr);
    EXPECT_EQ(member, Art("Front"));
    EXPECT_EQ(sets->IndexArtSet(set, 2, &member), kBadParameterErr);
    EXPECT_EQ(member, nullptr);
    EXPECT_EQ(sets->AddArtToArtSet(set, reinterpret_cast<AIArtHandle>(0x7fffffff)), kBadParameterErr);

    ASSERT_EQ(sets->DisposeArtSet(&set), kNoErr);
    EXPECT_EQ(set, nullptr);
}

TEST_F(StructureSuites, ADisposedArtSetNamesNothing) {
    AIArtSet set = nullptr;
    ASSERT_EQ(sets->NewArtSet(&set), kNoErr);
    AIArtSet copy = set;
    ASSERT_EQ(sets->DisposeArtSet(&set), kNoErr);
    std::size_t count = 7;
    EXPECT_EQ(sets->CountArtSet(copy, &count), kBadParameterErr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(sets->AddArtToArtSet(copy, Art("Far")), kBadParameterErr);
    EXPECT_EQ(sets->DisposeArtSet(&copy), kBadParameterErr);
    EXPECT_EQ(sets->NewArtSet(nullptr), kBadParameterErr);
}

}  // namespace

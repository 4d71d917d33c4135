// Placing art by paint order: new art, duplicates and moves at every order, the rules that refuse a
// placement, and disposal.
#include <gtest/gtest.h>

#include <functional>

#include "ModelTestSupport.h"

namespace host::model {
namespace {

using testing::addArt;
using testing::childNames;
using testing::findByName;

// Layer "L1" holds the group G (A, B, C) and the path P; layer "L2" holds Q and S.
class Placement : public ::testing::Test {
public:
    void SetUp() override {
        l1 = document.layers().first();
        LayerProperties properties = *document.layers().properties(l1);
        properties.title = "L1";
        document.editLayers().setProperties(l1, properties);
        l2 = *document.editLayers().insert(l1, PaintOrder::below);
        properties = *document.layers().properties(l2);
        properties.title = "L2";
        document.editLayers().setProperties(l2, properties);
        l1Group = testing::layerGroupOf(document, l1);
        l2Group = testing::layerGroupOf(document, l2);
        group = addArt(document, ArtType::group, "G", PaintOrder::insideOnBottom, l1Group);
        a = addArt(document, ArtType::path, "A", PaintOrder::insideOnBottom, group);
        b = addArt(document, ArtType::path, "B", PaintOrder::insideOnBottom, group);
        c = addArt(document, ArtType::path, "C", PaintOrder::insideOnBottom, group);
        p = addArt(document, ArtType::path, "P", PaintOrder::insideOnBottom, l1Group);
        q = addArt(document, ArtType::path, "Q", PaintOrder::insideOnBottom, l2Group);
        s = addArt(document, ArtType::path, "S", PaintOrder::insideOnBottom, l2Group);
    }

    ArtId named(const std::string& name) const { return findByName(document, name); }

    Document document;
    LayerId l1, l2;
    ArtId l1Group, l2Group, group, a, b, c, p, q, s;
};

struct OrderCase {
    const char* label;
    PaintOrder order;
    const char* target;     // by name
    const char* container;  // where the new art lands, by name
    std::vector<std::string> afterDuplicate;
    std::vector<std::string> afterMove;
};

class PaintOrders : public Placement, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(PaintOrders, PlaceCopiesWhereTheOrderSays) {
    const Result<ArtId> copy = document.duplicate(s, GetParam().order, named(GetParam().target));
    ASSERT_TRUE(copy.ok()) << statusName(copy.status());
    document.setName(*copy, "X");
    EXPECT_EQ(childNames(document, named(GetParam().container)), GetParam().afterDuplicate);
    EXPECT_EQ(childNames(document, l2Group).front(), "Q") << "the source stays where it was";
    EXPECT_TRUE(document.isValid(s));
}

TEST_P(PaintOrders, MoveArtWhereTheOrderSays) {
    document.setName(s, "X");
    ASSERT_EQ(document.reorder(s, GetParam().order, named(GetParam().target)), Status::ok);
    EXPECT_EQ(childNames(document, named(GetParam().container)), GetParam().afterMove);
    EXPECT_EQ(*document.parent(s), named(GetParam().container));
}

TEST_P(PaintOrders, PlaceNewArtWhereTheOrderSays) {
    const Result<ArtId> art = document.newArt(ArtType::textFrame, GetParam().order, named(GetParam().target));
    ASSERT_TRUE(art.ok()) << statusName(art.status());
    document.setName(*art, "X");
    EXPECT_EQ(childNames(document, named(GetParam().container)), GetParam().afterDuplicate);
}

using Names = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(
    AllOrders, PaintOrders,
    ::testing::Values(
        OrderCase{"above", PaintOrder::above, "B", "G", Names{"A", "X", "B", "C"}, Names{"A", "X", "B", "C"}},
        OrderCase{"below", PaintOrder::below, "B", "G", Names{"A", "B", "X", "C"}, Names{"A", "B", "X", "C"}},
        OrderCase{"insideOnTop", PaintOrder::insideOnTop, "G", "G", Names{"X", "A", "B", "C"},
                  Names{"X", "A", "B", "C"}},
        OrderCase{"insideOnBottom", PaintOrder::insideOnBottom, "G", "G", Names{"A", "B", "C", "X"},
                  Names{"A", "B", "C", "X"}},
        // The "all" orders ignore the target: front of the first layer, back of the last.
        OrderCase{"aboveAll", PaintOrder::aboveAll, "B", "L1", Names{"X", "G", "P"}, Names{"X", "G", "P"}},
        OrderCase{"belowAll", PaintOrder::belowAll, "B", "L2", Names{"Q", "S", "X"}, Names{"Q", "X"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Placement, MovingWithinTheSameContainerCountsPositionsWithoutTheMovedArt) {
    ASSERT_EQ(document.reorder(a, PaintOrder::below, c), Status::ok);
    EXPECT_EQ(childNames(document, group), (Names{"B", "C", "A"}));
    ASSERT_EQ(document.reorder(a, PaintOrder::above, b), Status::ok);
    EXPECT_EQ(childNames(document, group), (Names{"A", "B", "C"}));
    ASSERT_EQ(document.reorder(c, PaintOrder::below, b), Status::ok);
    EXPECT_EQ(childNames(document, group), (Names{"A", "B", "C"})) << "already there: nothing changes";
}

TEST_F(Placement, DuplicatesAreDeepCopiesWithTheirData) {
    document.editTags(a)->set("_p_tag_ca659850", "string", "abc");
    document.editDictionary(a)->setString("note", "kept");
    document.setNote(group, "group note");
    document.setAttributes(b, attribute::locked | attribute::hidden, attribute::locked | attribute::hidden);
    const ArtId copy = *document.duplicate(group, PaintOrder::above, group);

    EXPECT_EQ(childNames(document, copy), (Names{"A", "B", "C"}));
    EXPECT_EQ(*document.note(copy), "group note");
    const ArtId copiedA = *document.firstChild(copy);
    const ArtId copiedB = *document.nextSibling(copiedA);
    EXPECT_NE(copiedA, a);
    EXPECT_NE(*document.uuid(copiedA), *document.uuid(a));
    EXPECT_EQ(*document.tags(copiedA)->get("_p_tag_ca659850", "string"), "abc");
    EXPECT_EQ(*document.dictionary(copiedA)->string("note"), "kept");
    EXPECT_EQ(*document.attributes(copiedB, attribute::known), attribute::locked | attribute::hidden);

    // The copy is independent of its source.
    document.editTags(copiedA)->set("_p_tag_ca659850", "string", "changed");
    EXPECT_EQ(*document.tags(a)->get("_p_tag_ca659850", "string"), "abc");
}

TEST_F(Placement, DuplicatingIntoItselfCopiesTheArtAsItWasBefore) {
    const ArtId copy = *document.duplicate(group, PaintOrder::insideOnTop, group);
    EXPECT_EQ(childNames(document, group), (Names{"G", "A", "B", "C"}));
    EXPECT_EQ(childNames(document, copy), (Names{"A", "B", "C"}));
}

TEST_F(Placement, DisposingAContainerInvalidatesEverythingBelowIt) {
    ASSERT_EQ(document.dispose(group), Status::ok);
    for (const ArtId gone : {group, a, b, c}) {
        EXPECT_FALSE(document.isValid(gone));
    }
    EXPECT_EQ(childNames(document, l1Group), (Names{"P"}));
    EXPECT_EQ(document.dispose(group), Status::invalidHandle) << "a second dispose fails cleanly";
}

// A rule case prepares what it needs and returns the one attempt whose outcome is checked.
using Attempt = std::function<Status()>;

struct RuleCase {
    const char* label;
    std::function<Attempt(Placement&)> prepare;
    Status expected;
};

class PlacementRules : public Placement, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(PlacementRules, RefuseOrAllowAndRefusalsChangeNothing) {
    const Attempt attempt = GetParam().prepare(*this);
    const std::vector<ArtId> before = document.documentOrder();
    const Status status = attempt();
    EXPECT_EQ(status, GetParam().expected) << statusName(status);
    if (status != Status::ok) {
        EXPECT_EQ(document.documentOrder(), before);
    }
}

Attempt newArt(Placement& t, ArtType type, PaintOrder order, ArtId target) {
    return [&t, type, order, target] { return t.document.newArt(type, order, target).status(); };
}

Attempt reorder(Placement& t, ArtId art, PaintOrder order, ArtId target) {
    return [&t, art, order, target] { return t.document.reorder(art, order, target); };
}

ArtId newCompoundPath(Placement& t) {
    return *t.document.newArt(ArtType::compoundPath, PaintOrder::aboveAll, ArtId{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlacementRules,
    ::testing::Values(
        RuleCase{"insideAPath",
                 [](Placement& t) { return newArt(t, ArtType::path, PaintOrder::insideOnTop, t.a); },
                 Status::wrongType},
        RuleCase{"artAmongTheLayers",
                 [](Placement& t) { return newArt(t, ArtType::path, PaintOrder::above, t.l1Group); },
                 Status::notAllowed},
        RuleCase{"artInsideALayer",
                 [](Placement& t) { return newArt(t, ArtType::path, PaintOrder::insideOnTop, t.l1Group); },
                 Status::ok},
        RuleCase{"textInACompoundPath",
                 [](Placement& t) {
                     return newArt(t, ArtType::textFrame, PaintOrder::insideOnTop, newCompoundPath(t));
                 },
                 Status::notAllowed},
        RuleCase{"pathInACompoundPath",
                 [](Placement& t) {
                     return newArt(t, ArtType::path, PaintOrder::insideOnTop, newCompoundPath(t));
                 },
                 Status::ok},
        RuleCase{
            "groupInACompoundPath",
            [](Placement& t) { return reorder(t, t.group, PaintOrder::insideOnBottom, newCompoundPath(t)); },
            Status::ok},
        RuleCase{"placedNextToAPathInACompoundPath",
                 [](Placement& t) {
                     const ArtId path =
                         *t.document.newArt(ArtType::path, PaintOrder::insideOnTop, newCompoundPath(t));
                     return newArt(t, ArtType::placed, PaintOrder::below, path);
                 },
                 Status::notAllowed},
        RuleCase{"missingTarget",
                 [](Placement& t) { return newArt(t, ArtType::path, PaintOrder::above, ArtId{}); },
                 Status::badParameter},
        RuleCase{"unknownType",
                 [](Placement& t) { return newArt(t, ArtType::unknown, PaintOrder::aboveAll, ArtId{}); },
                 Status::badParameter},
        RuleCase{"groupIntoItsOwnChild",
                 [](Placement& t) {
                     const ArtId inner = *t.document.newArt(ArtType::group, PaintOrder::insideOnTop, t.group);
                     return reorder(t, t.group, PaintOrder::insideOnTop, inner);
                 },
                 Status::notAllowed},
        RuleCase{"nextToItsOwnChild",
                 [](Placement& t) { return reorder(t, t.group, PaintOrder::above, t.a); },
                 Status::notAllowed},
        RuleCase{"aboveItself", [](Placement& t) { return reorder(t, t.group, PaintOrder::above, t.group); },
                 Status::notAllowed},
        RuleCase{"layerIntoAGroup",
                 [](Placement& t) { return reorder(t, t.l2Group, PaintOrder::insideOnTop, t.group); },
                 Status::notAllowed},
        RuleCase{"layerIntoItsOwnSublayer",
                 [](Placement& t) {
                     const LayerId sub = *t.document.editLayers().insert(t.l1, PaintOrder::insideOnTop);
                     return reorder(t, t.l1Group, PaintOrder::insideOnTop,
                                    testing::layerGroupOf(t.document, sub));
                 },
                 Status::notAllowed},
        RuleCase{"disposeALayerGroup",
                 [](Placement& t) -> Attempt { return [&t] { return t.document.dispose(t.l1Group); }; },
                 Status::notAllowed},
        RuleCase{"duplicateALayerGroup",
                 [](Placement& t) -> Attempt {
                     return [&t] {
                         return t.document.duplicate(t.l1Group, PaintOrder::above, t.l1Group).status();
                     };
                 },
                 Status::ok},
        RuleCase{"duplicateALayerGroupIntoAGroup",
                 [](Placement& t) -> Attempt {
                     return [&t] {
                         return t.document.duplicate(t.l1Group, PaintOrder::insideOnTop, t.group).status();
                     };
                 },
                 Status::notAllowed},
        RuleCase{"layerNextToArtInAGroup",
                 [](Placement& t) -> Attempt {
                     return [&t] {
                         return t.document.editLayers().insertAtArt(t.a, PaintOrder::above).status();
                     };
                 },
                 Status::notAllowed},
        RuleCase{"layerNextToTopLevelArt",
                 [](Placement& t) -> Attempt {
                     return [&t] {
                         return t.document.editLayers().insertAtArt(t.p, PaintOrder::above).status();
                     };
                 },
                 Status::ok}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace host::model

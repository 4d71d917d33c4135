// User attributes, selection as containers report it, and names.
#include <gtest/gtest.h>

#include "ModelTestSupport.h"

namespace host::model {
namespace {

using testing::addArt;
using testing::namesOf;

constexpr ArtAttributes kSelection = attribute::selected | attribute::fullySelected;

// A layer holding the group G (A, and the group H holding B and C) and the path P.
class Selection : public ::testing::Test {
protected:
    void SetUp() override {
        layerGroup = testing::layerGroupOf(document, document.layers().first());
        g = addArt(document, ArtType::group, "G", PaintOrder::insideOnBottom, layerGroup);
        a = addArt(document, ArtType::path, "A", PaintOrder::insideOnBottom, g);
        h = addArt(document, ArtType::group, "H", PaintOrder::insideOnBottom, g);
        b = addArt(document, ArtType::path, "B", PaintOrder::insideOnBottom, h);
        c = addArt(document, ArtType::path, "C", PaintOrder::insideOnBottom, h);
        p = addArt(document, ArtType::path, "P", PaintOrder::insideOnBottom, layerGroup);
    }

    ArtAttributes selectionOf(ArtId art) const { return *document.attributes(art, kSelection); }
    void select(ArtId art, bool on = true) {
        ASSERT_EQ(document.setAttributes(art, attribute::selected, on ? attribute::selected : 0), Status::ok);
    }
    std::vector<std::string> matching(ArtAttributes bit) const {
        const MatchSpec criterion{std::nullopt, bit, bit};
        return namesOf(document, document.matchingArt({&criterion, 1}));
    }

    Document document;
    ArtId layerGroup, g, a, h, b, c, p;
};

TEST_F(Selection, ALeafMakesItsContainersSelectedButNotFullySelected) {
    select(b);
    EXPECT_EQ(selectionOf(b), kSelection);
    EXPECT_EQ(selectionOf(h), attribute::selected);
    EXPECT_EQ(selectionOf(g), attribute::selected);
    EXPECT_EQ(selectionOf(layerGroup), attribute::selected);
    EXPECT_EQ(selectionOf(c), 0u);
    EXPECT_EQ(selectionOf(p), 0u);
    EXPECT_EQ(matching(attribute::selected), (std::vector<std::string>{"Layer 1", "G", "H", "B"}));
    EXPECT_EQ(matching(attribute::fullySelected), (std::vector<std::string>{"B"}));
}

TEST_F(Selection, AContainerIsFullySelectedWhenAllItsChildrenAre) {
    select(b);
    select(c);
    EXPECT_EQ(selectionOf(h), kSelection);
    EXPECT_EQ(selectionOf(g), attribute::selected);
    select(a);
    EXPECT_EQ(selectionOf(g), kSelection);
    EXPECT_EQ(selectionOf(layerGroup), attribute::selected) << "P is not selected";
    EXPECT_EQ(matching(attribute::fullySelected), (std::vector<std::string>{"G", "A", "H", "B", "C"}));
}

TEST_F(Selection, SelectingAContainerSelectsEverythingBelowIt) {
    select(g);
    for (const ArtId art : {g, a, h, b, c}) {
        EXPECT_EQ(selectionOf(art), kSelection);
    }
    select(h, false);
    EXPECT_EQ(selectionOf(b), 0u);
    EXPECT_EQ(selectionOf(g), attribute::selected);
    select(layerGroup, false);
    EXPECT_TRUE(matching(attribute::selected).empty());
}

TEST_F(Selection, FollowsTheTreeWhenArtComesAndGoes) {
    select(b);
    select(c);
    const ArtId d = addArt(document, ArtType::path, "D", PaintOrder::insideOnTop, h);
    EXPECT_EQ(selectionOf(h), attribute::selected) << "an unselected newcomer";
    document.dispose(d);
    EXPECT_EQ(selectionOf(h), kSelection);
    document.reorder(b, PaintOrder::above, p);
    document.dispose(c);
    EXPECT_EQ(selectionOf(h), 0u) << "an empty group reports its own bit, which was never set";
    EXPECT_EQ(selectionOf(g), 0u);
}

TEST_F(Selection, AnEmptyGroupCarriesItsOwnBit) {
    const ArtId empty = addArt(document, ArtType::group, "E", PaintOrder::insideOnTop, layerGroup);
    select(empty);
    EXPECT_EQ(selectionOf(empty), kSelection);
}

TEST_F(Selection, FullySelectedCannotBeWritten) {
    ASSERT_EQ(document.setAttributes(a, attribute::fullySelected, attribute::fullySelected), Status::ok);
    EXPECT_EQ(selectionOf(a), 0u);
}

struct AttributeCase {
    const char* label;
    ArtAttributes bit;
};

class StoredAttribute : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(StoredAttribute, IsSetAndClearedAloneOnTheArtItself) {
    Document document;
    const ArtId group = addArt(document, ArtType::group, "G", PaintOrder::aboveAll);
    const ArtId child = addArt(document, ArtType::path, "C", PaintOrder::insideOnTop, group);
    const ArtAttributes bit = GetParam().bit;
    ASSERT_EQ(document.setAttributes(group, bit, bit), Status::ok);
    EXPECT_EQ(*document.attributes(group, attribute::known), bit);
    EXPECT_EQ(*document.attributes(child, attribute::known), 0u) << "only selection reaches below";
    ASSERT_EQ(document.setAttributes(group, bit | attribute::locked, attribute::locked), Status::ok);
    EXPECT_EQ(*document.attributes(group, bit), bit == attribute::locked ? bit : 0u);
}

INSTANTIATE_TEST_SUITE_P(Bits, StoredAttribute,
                         ::testing::Values(AttributeCase{"locked", attribute::locked},
                                           AttributeCase{"hidden", attribute::hidden},
                                           AttributeCase{"clippingMask", attribute::clippingMask},
                                           AttributeCase{"textWrap", attribute::textWrap}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Attributes, UnknownBitsAreIgnored) {
    Document document;
    const ArtId art = addArt(document, ArtType::path, "P", PaintOrder::aboveAll);
    ASSERT_EQ(
        document.setAttributes(art, 0xFFFFFFFF & ~attribute::selected, 0x20 | 0x40000 | attribute::locked),
        Status::ok);
    EXPECT_EQ(*document.attributes(art, 0xFFFFFFFF), attribute::locked);
}

struct DefaultNameCase {
    ArtType type;
    const char* name;
};

class DefaultName : public ::testing::TestWithParam<DefaultNameCase> {};

TEST_P(DefaultName, IsReportedAsDefaultUntilANameIsGiven) {
    Document document;
    const ArtId art = *document.newArt(GetParam().type, PaintOrder::aboveAll, ArtId{});
    EXPECT_EQ(document.name(art)->text, GetParam().name);
    EXPECT_TRUE(document.name(art)->isDefault);
    document.setName(art, "Own");
    EXPECT_EQ(document.name(art)->text, "Own");
    EXPECT_FALSE(document.name(art)->isDefault);
    document.setName(art, "");
    EXPECT_TRUE(document.name(art)->isDefault);
}

INSTANTIATE_TEST_SUITE_P(Types, DefaultName,
                         ::testing::Values(DefaultNameCase{ArtType::group, "<Group>"},
                                           DefaultNameCase{ArtType::path, "<Path>"},
                                           DefaultNameCase{ArtType::compoundPath, "<Compound Path>"},
                                           DefaultNameCase{ArtType::textFrame, "<Text>"},
                                           DefaultNameCase{ArtType::placed, "<Linked File>"},
                                           DefaultNameCase{ArtType::raster, "<Image>"},
                                           DefaultNameCase{ArtType::symbol, "<Symbol>"}));

TEST(Names, OfClipGroupsSymbolsAndLayerGroups) {
    Document document = testing::loadSample();
    const ArtId photoFrame = testing::findByName(document, "Photo frame");
    document.setName(photoFrame, "");
    EXPECT_EQ(document.name(photoFrame)->text, "<Clip Group>");
    const ArtId star = testing::findByName(document, "Star");
    EXPECT_TRUE(document.name(star)->isDefault) << "a symbol instance shows its symbol's name";

    const ArtId layerGroup = testing::layerGroupOf(document, document.layers().first());
    EXPECT_EQ(document.name(layerGroup)->text, "Foreground");
    EXPECT_FALSE(document.name(layerGroup)->isDefault);
    document.setName(layerGroup, "Front");
    EXPECT_EQ(document.layers().properties(document.layers().first())->title, "Front");
    EXPECT_EQ(document.setName(layerGroup, "\xc0\xaf"), Status::badParameter) << "overlong UTF-8";
}

TEST(Notes, AreKeptPerObject) {
    Document document;
    const ArtId art = addArt(document, ArtType::path, "P", PaintOrder::aboveAll);
    EXPECT_EQ(*document.note(art), "");
    document.setNote(art, "remember me");
    EXPECT_EQ(*document.note(art), "remember me");
    EXPECT_EQ(document.setStrokeWidth(art, -1), Status::badParameter);
    EXPECT_EQ(document.setStrokeWidth(art, 2), Status::ok);
}

}  // namespace
}  // namespace host::model

// The art tree: document order, navigation, handles, stale handles and matching queries.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "ModelTestSupport.h"

namespace host::model {
namespace {

using testing::addArt;
using testing::findByName;
using testing::loadSample;
using testing::namesOf;

TEST(DocumentOrder, IsPreorderFromTheTopLayerWithParentsBeforeChildren) {
    const Document document = loadSample();
    EXPECT_EQ(namesOf(document, document.documentOrder()),
              (std::vector<std::string>{
                  "Foreground", "Title",  "Logo",          "Mark",        "<Path>", "<Path>",  "Swoosh",
                  "Labels",     "Price",  "Curve caption", "Photo frame", "Mask",   "Photo",   "Background",
                  "Grid",       "Cell 1", "Cell 2",        "Cell 3",      "Star",   "Texture", "Backdrop"}));
}

TEST(DocumentOrder, FollowsRestackingAndNewArt) {
    Document document;
    const ArtId layer = testing::layerGroupOf(document, document.layers().first());
    const ArtId a = addArt(document, ArtType::path, "a", PaintOrder::insideOnBottom, layer);
    const ArtId group = addArt(document, ArtType::group, "g", PaintOrder::insideOnBottom, layer);
    addArt(document, ArtType::path, "b", PaintOrder::insideOnTop, group);
    addArt(document, ArtType::path, "c", PaintOrder::insideOnBottom, group);
    EXPECT_EQ(namesOf(document, document.documentOrder()),
              (std::vector<std::string>{"Layer 1", "a", "g", "b", "c"}));
    ASSERT_EQ(document.reorder(a, PaintOrder::below, group), Status::ok);
    EXPECT_EQ(namesOf(document, document.documentOrder()),
              (std::vector<std::string>{"Layer 1", "g", "b", "c", "a"}));
}

TEST(Navigation, ParentsChildrenAndSiblings) {
    const Document document = loadSample();
    const ArtId logo = findByName(document, "Logo");
    const ArtId mark = findByName(document, "Mark");
    const ArtId swoosh = findByName(document, "Swoosh");
    EXPECT_EQ(*document.parent(mark), logo);
    EXPECT_EQ(*document.firstChild(logo), mark);
    EXPECT_EQ(*document.lastChild(logo), swoosh);
    EXPECT_EQ(*document.nextSibling(mark), swoosh);
    EXPECT_EQ(*document.previousSibling(swoosh), mark);
    EXPECT_FALSE(*document.nextSibling(swoosh));
    EXPECT_FALSE(*document.previousSibling(mark));
    EXPECT_FALSE(*document.firstChild(swoosh));

    const ArtId foreground = findByName(document, "Foreground");
    EXPECT_FALSE(*document.parent(foreground)) << "a top-level layer group has no parent";
    EXPECT_EQ(*document.nextSibling(foreground), findByName(document, "Background"));
    EXPECT_EQ(*document.type(mark), ArtType::compoundPath);
    EXPECT_EQ(*document.type(findByName(document, "Title")), ArtType::textFrame);
}

TEST(Navigation, LayerGroupsAndTheLayerOfArt) {
    const Document document = loadSample();
    const ArtId labels = findByName(document, "Labels");
    EXPECT_TRUE(*document.isLayerGroup(labels));
    EXPECT_FALSE(*document.isLayerGroup(findByName(document, "Logo")));
    const LayerId labelsLayer = document.layers().byTitle("Labels");
    EXPECT_EQ(*document.layerOfArt(findByName(document, "Price")), labelsLayer);
    EXPECT_EQ(*document.layerOfArt(labels), labelsLayer) << "a layer group belongs to its own layer";
    EXPECT_EQ(*document.layerOfArt(findByName(document, "Swoosh")), document.layers().byTitle("Foreground"));
}

TEST(Navigation, EnvelopesHoldTheirObjectAsFirstChild) {
    Document document;
    const ArtId envelope = addArt(document, ArtType::group, "envelope", PaintOrder::aboveAll);
    const ArtId held = addArt(document, ArtType::path, "held", PaintOrder::insideOnTop, envelope);
    EXPECT_FALSE(*document.envelopeObject(envelope));
    document.setEnvelope(envelope, true);
    EXPECT_EQ(*document.envelopeObject(envelope), held);
    EXPECT_FALSE(document.find(envelope)->data->intertwine);
    document.setIntertwine(envelope, true);
    EXPECT_TRUE(document.find(envelope)->data->intertwine);
}

TEST(Handles, AreNeverReused) {
    Document document;
    std::set<std::uint64_t> seen;
    for (int round = 0; round < 50; ++round) {
        const ArtId art = *document.newArt(ArtType::path, PaintOrder::aboveAll, ArtId{});
        EXPECT_TRUE(seen.insert(art.value).second);
        const LayerId layer = *document.editLayers().insert(LayerId{}, PaintOrder::belowAll);
        EXPECT_TRUE(seen.insert(layer.value).second);
        EXPECT_TRUE(seen.insert(testing::layerGroupOf(document, layer).value).second);
        document.dispose(art);
        document.editLayers().remove(layer);
    }
    Document other;
    EXPECT_FALSE(seen.contains(testing::layerGroupOf(other, other.layers().first()).value))
        << "handles of another document are new too";
}

TEST(Handles, OfAnotherDocumentAreInvalidHere) {
    Document first;
    Document second;
    const ArtId art = *first.newArt(ArtType::path, PaintOrder::aboveAll, ArtId{});
    EXPECT_FALSE(second.isValid(art));
    EXPECT_EQ(second.type(art).status(), Status::invalidHandle);
}

// Every operation on a disposed handle reports invalidHandle (or null) and changes nothing.
struct StaleCase {
    const char* label;
    std::function<bool(Document&, ArtId stale, ArtId live)> failsCleanly;
};

class StaleHandle : public ::testing::TestWithParam<StaleCase> {};

TEST_P(StaleHandle, FailsWithoutEffect) {
    Document document;
    const ArtId live = addArt(document, ArtType::group, "live", PaintOrder::aboveAll);
    const ArtId stale = addArt(document, ArtType::path, "stale", PaintOrder::insideOnTop, live);
    ASSERT_EQ(document.dispose(stale), Status::ok);
    const std::vector<ArtId> before = document.documentOrder();
    EXPECT_TRUE(GetParam().failsCleanly(document, stale, live));
    EXPECT_EQ(document.documentOrder(), before);
    EXPECT_FALSE(document.isValid(stale));
}

constexpr auto kInvalid = Status::invalidHandle;

INSTANTIATE_TEST_SUITE_P(
    Operations, StaleHandle,
    ::testing::Values(
        StaleCase{"type", [](Document& d, ArtId s, ArtId) { return d.type(s).status() == kInvalid; }},
        StaleCase{"parent", [](Document& d, ArtId s, ArtId) { return d.parent(s).status() == kInvalid; }},
        StaleCase{"firstChild", [](Document& d, ArtId s, ArtId) { return d.firstChild(s).status() == kInvalid; }},
        StaleCase{"nextSibling",
                  [](Document& d, ArtId s, ArtId) { return d.nextSibling(s).status() == kInvalid; }},
        StaleCase{"children", [](Document& d, ArtId s, ArtId) { return d.children(s).status() == kInvalid; }},
        StaleCase{"isLayerGroup",
                  [](Document& d, ArtId s, ArtId) { return d.isLayerGroup(s).status() == kInvalid; }},
        StaleCase{"layerOfArt", [](Document& d, ArtId s, ArtId) { return d.layerOfArt(s).status() == kInvalid; }},
        StaleCase{"attributes",
                  [](Document& d, ArtId s, ArtId) { return d.attributes(s, attribute::known).status() == kInvalid; }},
        StaleCase{"setAttributes",
                  [](Document& d, ArtId s, ArtId) {
                      return d.setAttributes(s, attribute::selected, attribute::selected) == kInvalid;
                  }},
        StaleCase{"name", [](Document& d, ArtId s, ArtId) { return d.name(s).status() == kInvalid; }},
        StaleCase{"setName", [](Document& d, ArtId s, ArtId) { return d.setName(s, "x") == kInvalid; }},
        StaleCase{"uuid", [](Document& d, ArtId s, ArtId) { return d.uuid(s).status() == kInvalid; }},
        StaleCase{"tags", [](Document& d, ArtId s, ArtId) { return d.tags(s) == nullptr; }},
        StaleCase{"dictionary", [](Document& d, ArtId s, ArtId) { return d.dictionary(s) == nullptr; }},
        StaleCase{"contentAs", [](Document& d, ArtId s, ArtId) { return d.contentAs<PathContent>(s) == nullptr; }},
        StaleCase{"bounds",
                  [](Document& d, ArtId s, ArtId) { return d.bounds(s, BoundsKind::visible).status() == kInvalid; }},
        StaleCase{"transform",
                  [](Document& d, ArtId s, ArtId) { return d.transform(s, Matrix::translation(1, 1)) == kInvalid; }},
        StaleCase{"duplicate",
                  [](Document& d, ArtId s, ArtId l) {
                      return d.duplicate(s, PaintOrder::insideOnTop, l).status() == kInvalid;
                  }},
        StaleCase{"duplicateOnto",
                  [](Document& d, ArtId s, ArtId l) { return d.duplicate(l, PaintOrder::above, s).status() == kInvalid; }},
        StaleCase{"reorder",
                  [](Document& d, ArtId s, ArtId l) { return d.reorder(s, PaintOrder::insideOnTop, l) == kInvalid; }},
        StaleCase{"reorderOnto",
                  [](Document& d, ArtId s, ArtId l) { return d.reorder(l, PaintOrder::below, s) == kInvalid; }},
        StaleCase{"newArtAt",
                  [](Document& d, ArtId s, ArtId) {
                      return d.newArt(ArtType::path, PaintOrder::above, s).status() == kInvalid;
                  }},
        StaleCase{"dispose", [](Document& d, ArtId s, ArtId) { return d.dispose(s) == kInvalid; }},
        StaleCase{"copyOf", [](Document& d, ArtId s, ArtId) { return d.copyOf(s).status() == kInvalid; }},
        StaleCase{"artTree", [](Document& d, ArtId s, ArtId) { return d.artTree(s).status() == kInvalid; }},
        StaleCase{"matchingArtIn",
                  [](Document& d, ArtId s, ArtId) {
                      const MatchSpec any;
                      return d.matchingArtIn(s, {&any, 1}).status() == kInvalid;
                  }},
        StaleCase{"createOutline",
                  [](Document& d, ArtId s, ArtId) { return d.createOutline(s, {}).status() == kInvalid; }},
        StaleCase{"insertLayerAtArt",
                  [](Document& d, ArtId s, ArtId) {
                      return d.editLayers().insertAtArt(s, PaintOrder::above).status() == kInvalid;
                  }},
        StaleCase{"nullHandle", [](Document& d, ArtId, ArtId) { return d.type(ArtId{}).status() == kInvalid; }}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Matching, ByTypeGivesDocumentOrder) {
    const Document document = loadSample();
    const MatchSpec paths{ArtType::path};
    EXPECT_EQ(namesOf(document, document.matchingArt({&paths, 1})),
              (std::vector<std::string>{"<Path>", "<Path>", "Swoosh", "Mask", "Cell 1", "Cell 2", "Cell 3",
                                        "Backdrop"}));
}

TEST(Matching, SeveralSpecsAreAlternatives) {
    const Document document = loadSample();
    const MatchSpec criteria[] = {{ArtType::textFrame}, {ArtType::placed}};
    EXPECT_EQ(namesOf(document, document.matchingArt(criteria)),
              (std::vector<std::string>{"Title", "Price", "Curve caption", "Texture"}));
    EXPECT_TRUE(document.matchingArt({}).empty());
}

TEST(Matching, ByAttributeAndInsideOneObject) {
    const Document document = loadSample();
    const MatchSpec hidden{std::nullopt, attribute::hidden, attribute::hidden};
    EXPECT_EQ(namesOf(document, document.matchingArt({&hidden, 1})), (std::vector<std::string>{"Cell 3"}));
    const MatchSpec visible{std::nullopt, attribute::hidden, 0};
    const ArtId grid = findByName(document, "Grid");
    EXPECT_EQ(namesOf(document, *document.matchingArtIn(grid, {&visible, 1})),
              (std::vector<std::string>{"Grid", "Cell 1", "Cell 2"}));
    const MatchSpec any;
    EXPECT_EQ(document.matchingArt({&any, 1}), document.documentOrder());
    EXPECT_EQ(*document.matchingArtIn(findByName(document, "Swoosh"), {&any, 1}),
              std::vector<ArtId>{findByName(document, "Swoosh")});
}

}  // namespace
}  // namespace host::model

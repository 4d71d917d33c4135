// Layers and sublayers: navigation, insertion at every order, restacking, deletion and properties.
#include <gtest/gtest.h>

#include <limits>

#include "ModelTestSupport.h"

namespace host::model {
namespace {

using testing::layerGroupOf;

std::vector<std::string> titles(const Document& document, const std::vector<LayerId>& layers) {
    std::vector<std::string> result;
    for (const LayerId layer : layers) {
        result.push_back(document.layers().properties(layer)->title);
    }
    return result;
}

std::vector<std::string> topTitles(const Document& document) {
    std::vector<LayerId> layers;
    for (std::size_t i = 0; i < document.layers().count(); ++i) {
        layers.push_back(*document.layers().nth(i));
    }
    return titles(document, layers);
}

TEST(Layers, ANewDocumentHasOneLayer) {
    const Document document;
    EXPECT_EQ(document.layers().count(), 1u);
    const LayerId layer = document.layers().first();
    EXPECT_EQ(document.layers().properties(layer)->title, "Layer 1");
    const ArtId group = *document.layers().group(layer);
    EXPECT_EQ(*document.type(group), ArtType::group);
    EXPECT_TRUE(*document.isLayerGroup(group));
    EXPECT_EQ(document.layers().current(), layer);
    EXPECT_EQ(document.documentOrder(), std::vector<ArtId>{group});
}

TEST(Layers, NavigationOverTheSample) {
    const Document document = testing::loadSample();
    EXPECT_EQ(topTitles(document), (std::vector<std::string>{"Foreground", "Background"}));
    EXPECT_EQ(titles(document, document.layers().all()),
              (std::vector<std::string>{"Foreground", "Labels", "Background"}));
    const LayerId foreground = document.layers().first();
    const LayerId labels = document.layers().byTitle("Labels");
    const LayerId background = document.layers().byTitle("Background");
    EXPECT_EQ(*document.layers().next(foreground), background);
    EXPECT_EQ(*document.layers().previous(background), foreground);
    EXPECT_FALSE(*document.layers().next(background));
    EXPECT_FALSE(*document.layers().next(labels))
        << "a sublayer's neighbours are its parent's other sublayers";
    EXPECT_EQ(*document.layers().parent(labels), foreground);
    EXPECT_FALSE(*document.layers().parent(foreground));
    EXPECT_EQ(*document.layers().sublayers(foreground), std::vector<LayerId>{labels});
    EXPECT_EQ(*document.layers().nextPreorder(foreground), labels);
    EXPECT_EQ(*document.layers().nextPreorder(labels), background);
    EXPECT_FALSE(*document.layers().nextPreorder(background));
    EXPECT_FALSE(document.layers().byTitle("Nothing"));
    EXPECT_EQ(document.layers().nth(2).status(), Status::notFound);
}

TEST(Layers, ASublayerIsARealLayerWhoseGroupSitsAmongItsParentsArt) {
    const Document document = testing::loadSample();
    const ArtId labelsGroup = layerGroupOf(document, document.layers().byTitle("Labels"));
    EXPECT_EQ(*document.parent(labelsGroup), layerGroupOf(document, document.layers().first()));
    EXPECT_EQ(testing::namesOf(document, *document.children(*document.parent(labelsGroup))),
              (std::vector<std::string>{"Title", "Logo", "Labels", "Photo frame"}));
}

struct InsertCase {
    const char* label;
    PaintOrder order;
    std::vector<std::string> topLevel;
    std::vector<std::string> sublayersOfB;
};

class InsertLayer : public ::testing::TestWithParam<InsertCase> {};

TEST_P(InsertLayer, RelativeToAnotherLayer) {
    Document document;
    const LayerId a = document.layers().first();
    LayerProperties properties = *document.layers().properties(a);
    properties.title = "A";
    document.editLayers().setProperties(a, properties);
    const LayerId b = *document.editLayers().insert(a, PaintOrder::below);
    properties.title = "B";
    document.editLayers().setProperties(b, properties);

    const Result<LayerId> added = document.editLayers().insert(b, GetParam().order);
    ASSERT_TRUE(added.ok()) << statusName(added.status());
    properties.title = "N";
    document.editLayers().setProperties(*added, properties);
    EXPECT_EQ(topTitles(document), GetParam().topLevel);
    EXPECT_EQ(titles(document, *document.layers().sublayers(b)), GetParam().sublayersOfB);
}

using Titles = std::vector<std::string>;

INSTANTIATE_TEST_SUITE_P(
    AllOrders, InsertLayer,
    ::testing::Values(InsertCase{"above", PaintOrder::above, Titles{"A", "N", "B"}, Titles{}},
                      InsertCase{"below", PaintOrder::below, Titles{"A", "B", "N"}, Titles{}},
                      InsertCase{"insideOnTop", PaintOrder::insideOnTop, Titles{"A", "B"}, Titles{"N"}},
                      InsertCase{"insideOnBottom", PaintOrder::insideOnBottom, Titles{"A", "B"}, Titles{"N"}},
                      InsertCase{"aboveAll", PaintOrder::aboveAll, Titles{"N", "A", "B"}, Titles{}},
                      InsertCase{"belowAll", PaintOrder::belowAll, Titles{"A", "B", "N"}, Titles{}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Layers, NewLayersAreNumberedAndColouredInTurn) {
    Document document;
    const LayerId second = *document.editLayers().insert(LayerId{}, PaintOrder::aboveAll);
    const LayerId third = *document.editLayers().insert(second, PaintOrder::insideOnTop);
    EXPECT_EQ(document.layers().properties(second)->title, "Layer 2");
    EXPECT_EQ(document.layers().properties(third)->title, "Layer 3");
    EXPECT_NE(document.layers().properties(second)->color,
              document.layers().properties(document.layers().nth(1).value())->color);
    EXPECT_EQ(document.editLayers().insert(LayerId{}, PaintOrder::above).status(), Status::badParameter);
}

TEST(Layers, RestackingLayerGroupsRestacksTheLayers) {
    Document document;
    const LayerId first = document.layers().first();
    const LayerId second = *document.editLayers().insert(first, PaintOrder::below);
    ASSERT_EQ(
        document.reorder(layerGroupOf(document, second), PaintOrder::above, layerGroupOf(document, first)),
        Status::ok);
    EXPECT_EQ(document.layers().first(), second);

    // Moved inside another layer's group, a layer becomes its sublayer; moved out again, top-level.
    ASSERT_EQ(document.reorder(layerGroupOf(document, first), PaintOrder::insideOnBottom,
                               layerGroupOf(document, second)),
              Status::ok);
    EXPECT_EQ(document.layers().count(), 1u);
    EXPECT_EQ(*document.layers().parent(first), second);
    ASSERT_EQ(document.reorder(layerGroupOf(document, first), PaintOrder::belowAll, ArtId{}), Status::ok);
    EXPECT_EQ(document.layers().count(), 2u);
    EXPECT_FALSE(*document.layers().parent(first));
}

TEST(Layers, NewArtInAllOrdersGoesToTheFirstAndLastLayer) {
    Document document;
    const LayerId bottom = *document.editLayers().insert(document.layers().first(), PaintOrder::below);
    const ArtId front = *document.newArt(ArtType::path, PaintOrder::aboveAll, ArtId{});
    const ArtId back = *document.newArt(ArtType::path, PaintOrder::belowAll, ArtId{});
    EXPECT_EQ(*document.layerOfArt(front), document.layers().first());
    EXPECT_EQ(*document.layerOfArt(back), bottom);
}

TEST(Layers, DeletingALayerRemovesItsArtAndSublayers) {
    Document document = testing::loadSample();
    const LayerId foreground = document.layers().first();
    const LayerId labels = document.layers().byTitle("Labels");
    const ArtId title = testing::findByName(document, "Title");
    const ArtId price = testing::findByName(document, "Price");
    ASSERT_EQ(document.editLayers().setCurrent(labels), Status::ok);
    ASSERT_EQ(document.editLayers().remove(foreground), Status::ok);
    EXPECT_EQ(document.layers().find(foreground), nullptr);
    EXPECT_EQ(document.layers().find(labels), nullptr);
    EXPECT_FALSE(document.isValid(title));
    EXPECT_FALSE(document.isValid(price));
    EXPECT_EQ(document.layers().current(), document.layers().first())
        << "the current layer falls back to the first";
    EXPECT_EQ(topTitles(document), (std::vector<std::string>{"Background"}));
    EXPECT_EQ(document.editLayers().remove(document.layers().first()), Status::notAllowed)
        << "the last layer stays";
    EXPECT_EQ(document.editLayers().remove(foreground), Status::invalidHandle);
    EXPECT_EQ(document.layers().properties(labels).status(), Status::invalidHandle);
}

TEST(Layers, PropertiesAreValidated) {
    Document document;
    const LayerId layer = document.layers().first();
    LayerProperties properties = *document.layers().properties(layer);
    properties.visible = false;
    properties.editable = false;
    properties.dimPlacedImages = true;
    properties.dimPercent = 30;
    properties.color = {1, 2, 3};
    ASSERT_EQ(document.editLayers().setProperties(layer, properties), Status::ok);
    EXPECT_EQ(*document.layers().properties(layer), properties);
    properties.dimPercent = 101;
    EXPECT_EQ(document.editLayers().setProperties(layer, properties), Status::badParameter);
    properties.dimPercent = 30;
    properties.title = "\xff";
    EXPECT_EQ(document.editLayers().setProperties(layer, properties), Status::badParameter);
    EXPECT_EQ(document.editLayers().setCurrent(LayerId{std::numeric_limits<std::uint64_t>::max()}),
              Status::invalidHandle);
}

}  // namespace
}  // namespace host::model

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
        result.push_back(document.layerProperties(layer)->title);
    }
    return result;
}

std::vector<std::string> topTitles(const Document& document) {
    std::vector<LayerId> layers;
    for (std::size_t i = 0; i < document.layerCount(); ++i) {
        layers.push_back(*document.nthLayer(i));
    }
    return titles(document, layers);
}

TEST(Layers, ANewDocumentHasOneLayer) {
    const Document document;
    EXPECT_EQ(document.layerCount(), 1u);
    const LayerId layer = document.firstLayer();
    EXPECT_EQ(document.layerProperties(layer)->title, "Layer 1");
    const ArtId group = *document.layerGroup(layer);
    EXPECT_EQ(*document.type(group), ArtType::group);
    EXPECT_TRUE(*document.isLayerGroup(group));
    EXPECT_EQ(document.currentLayer(), layer);
    EXPECT_EQ(document.documentOrder(), std::vector<ArtId>{group});
}

TEST(Layers, NavigationOverTheSample) {
    const Document document = testing::loadSample();
    EXPECT_EQ(topTitles(document), (std::vector<std::string>{"Foreground", "Background"}));
    EXPECT_EQ(titles(document, document.allLayers()),
              (std::vector<std::string>{"Foreground", "Labels", "Background"}));
    const LayerId foreground = document.firstLayer();
    const LayerId labels = document.layerByTitle("Labels");
    const LayerId background = document.layerByTitle("Background");
    EXPECT_EQ(*document.nextLayer(foreground), background);
    EXPECT_EQ(*document.previousLayer(background), foreground);
    EXPECT_FALSE(*document.nextLayer(background));
    EXPECT_FALSE(*document.nextLayer(labels)) << "a sublayer's neighbours are its parent's other sublayers";
    EXPECT_EQ(*document.parentLayer(labels), foreground);
    EXPECT_FALSE(*document.parentLayer(foreground));
    EXPECT_EQ(*document.sublayers(foreground), std::vector<LayerId>{labels});
    EXPECT_EQ(*document.nextPreorderLayer(foreground), labels);
    EXPECT_EQ(*document.nextPreorderLayer(labels), background);
    EXPECT_FALSE(*document.nextPreorderLayer(background));
    EXPECT_FALSE(document.layerByTitle("Nothing"));
    EXPECT_EQ(document.nthLayer(2).status(), Status::notFound);
}

TEST(Layers, ASublayerIsARealLayerWhoseGroupSitsAmongItsParentsArt) {
    const Document document = testing::loadSample();
    const ArtId labelsGroup = layerGroupOf(document, document.layerByTitle("Labels"));
    EXPECT_EQ(*document.parent(labelsGroup), layerGroupOf(document, document.firstLayer()));
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
    const LayerId a = document.firstLayer();
    LayerProperties properties = *document.layerProperties(a);
    properties.title = "A";
    document.setLayerProperties(a, properties);
    const LayerId b = *document.insertLayer(a, PaintOrder::below);
    properties.title = "B";
    document.setLayerProperties(b, properties);

    const Result<LayerId> added = document.insertLayer(b, GetParam().order);
    ASSERT_TRUE(added.ok()) << statusName(added.status());
    properties.title = "N";
    document.setLayerProperties(*added, properties);
    EXPECT_EQ(topTitles(document), GetParam().topLevel);
    EXPECT_EQ(titles(document, *document.sublayers(b)), GetParam().sublayersOfB);
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
    const LayerId second = *document.insertLayer(LayerId{}, PaintOrder::aboveAll);
    const LayerId third = *document.insertLayer(second, PaintOrder::insideOnTop);
    EXPECT_EQ(document.layerProperties(second)->title, "Layer 2");
    EXPECT_EQ(document.layerProperties(third)->title, "Layer 3");
    EXPECT_NE(document.layerProperties(second)->color,
              document.layerProperties(document.nthLayer(1).value())->color);
    EXPECT_EQ(document.insertLayer(LayerId{}, PaintOrder::above).status(), Status::badParameter);
}

TEST(Layers, RestackingLayerGroupsRestacksTheLayers) {
    Document document;
    const LayerId first = document.firstLayer();
    const LayerId second = *document.insertLayer(first, PaintOrder::below);
    ASSERT_EQ(
        document.reorder(layerGroupOf(document, second), PaintOrder::above, layerGroupOf(document, first)),
        Status::ok);
    EXPECT_EQ(document.firstLayer(), second);

    // Moved inside another layer's group, a layer becomes its sublayer; moved out again, top-level.
    ASSERT_EQ(document.reorder(layerGroupOf(document, first), PaintOrder::insideOnBottom,
                               layerGroupOf(document, second)),
              Status::ok);
    EXPECT_EQ(document.layerCount(), 1u);
    EXPECT_EQ(*document.parentLayer(first), second);
    ASSERT_EQ(document.reorder(layerGroupOf(document, first), PaintOrder::belowAll, ArtId{}), Status::ok);
    EXPECT_EQ(document.layerCount(), 2u);
    EXPECT_FALSE(*document.parentLayer(first));
}

TEST(Layers, NewArtInAllOrdersGoesToTheFirstAndLastLayer) {
    Document document;
    const LayerId bottom = *document.insertLayer(document.firstLayer(), PaintOrder::below);
    const ArtId front = *document.newArt(ArtType::path, PaintOrder::aboveAll, ArtId{});
    const ArtId back = *document.newArt(ArtType::path, PaintOrder::belowAll, ArtId{});
    EXPECT_EQ(*document.layerOfArt(front), document.firstLayer());
    EXPECT_EQ(*document.layerOfArt(back), bottom);
}

TEST(Layers, DeletingALayerRemovesItsArtAndSublayers) {
    Document document = testing::loadSample();
    const LayerId foreground = document.firstLayer();
    const LayerId labels = document.layerByTitle("Labels");
    const ArtId title = testing::findByName(document, "Title");
    const ArtId price = testing::findByName(document, "Price");
    ASSERT_EQ(document.setCurrentLayer(labels), Status::ok);
    ASSERT_EQ(document.deleteLayer(foreground), Status::ok);
    EXPECT_EQ(document.findLayer(foreground), nullptr);
    EXPECT_EQ(document.findLayer(labels), nullptr);
    EXPECT_FALSE(document.isValid(title));
    EXPECT_FALSE(document.isValid(price));
    EXPECT_EQ(document.currentLayer(), document.firstLayer()) << "the current layer falls back to the first";
    EXPECT_EQ(topTitles(document), (std::vector<std::string>{"Background"}));
    EXPECT_EQ(document.deleteLayer(document.firstLayer()), Status::notAllowed) << "the last layer stays";
    EXPECT_EQ(document.deleteLayer(foreground), Status::invalidHandle);
    EXPECT_EQ(document.layerProperties(labels).status(), Status::invalidHandle);
}

TEST(Layers, PropertiesAreValidated) {
    Document document;
    const LayerId layer = document.firstLayer();
    LayerProperties properties = *document.layerProperties(layer);
    properties.visible = false;
    properties.editable = false;
    properties.dimPlacedImages = true;
    properties.dimPercent = 30;
    properties.color = {1, 2, 3};
    ASSERT_EQ(document.setLayerProperties(layer, properties), Status::ok);
    EXPECT_EQ(*document.layerProperties(layer), properties);
    properties.dimPercent = 101;
    EXPECT_EQ(document.setLayerProperties(layer, properties), Status::badParameter);
    properties.dimPercent = 30;
    properties.title = "\xff";
    EXPECT_EQ(document.setLayerProperties(layer, properties), Status::badParameter);
    EXPECT_EQ(document.setCurrentLayer(LayerId{std::numeric_limits<std::uint64_t>::max()}),
              Status::invalidHandle);
}

}  // namespace
}  // namespace host::model

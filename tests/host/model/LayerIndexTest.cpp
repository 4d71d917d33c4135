// The look-ups of layers by position and title against a walk of the tree, after every kind of edit
// that moves, adds, removes or renames a layer, after undo and redo of it, and in a copy of the
// document taken before it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ModelTestSupport.h"

namespace host::model {
namespace {

// What the layer view must answer, read by walking the whole tree.
void expectLookupsMatchTheTree(const Document& document) {
    std::vector<LayerId> all;
    std::vector<LayerId> top;
    for (const ArtId id : document.documentOrder()) {
        if (*document.isLayerGroup(id)) {
            all.push_back(*document.layerOfArt(id));
            if (!*document.parent(id)) {
                top.push_back(all.back());
            }
        }
    }
    const LayerView layers = document.layers();
    EXPECT_EQ(layers.all(), all);
    ASSERT_EQ(layers.count(), top.size());
    for (std::size_t i = 0; i < top.size(); ++i) {
        EXPECT_EQ(*layers.nth(i), top[i]) << "top-level layer " << i;
    }
    EXPECT_EQ(layers.nth(top.size()).status(), Status::notFound);
    const auto title = [&](LayerId layer) { return layers.properties(layer)->title; };
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::string wanted = title(all[i]);
        LayerId first;
        for (const LayerId layer : all) {
            if (!first && title(layer) == wanted) {
                first = layer;
            }
        }
        LayerId firstTop;
        for (const LayerId layer : top) {
            if (!firstTop && title(layer) == wanted) {
                firstTop = layer;
            }
        }
        EXPECT_EQ(layers.byTitle(wanted), first) << wanted;
        EXPECT_EQ(layers.topByTitle(wanted), firstTop) << wanted;
        EXPECT_EQ(*layers.nextPreorder(all[i]), i + 1 < all.size() ? all[i + 1] : LayerId{}) << wanted;
    }
}

LayerId titled(Document& document, LayerId layer, const std::string& title) {
    LayerProperties properties = *document.layers().properties(layer);
    properties.title = title;
    EXPECT_EQ(document.editLayers().setProperties(layer, properties), Status::ok);
    return layer;
}

// Top-level "A" (sublayers "B" and "A"), "B", "C" (sublayer "D"), "A": titles repeat at both levels.
Document layeredDocument() {
    Document document(7);
    LayerEditor layers = document.editLayers();
    const LayerId a = titled(document, layers.first(), "A");
    titled(document, *layers.insert(a, PaintOrder::insideOnBottom), "B");
    titled(document, *layers.insert(a, PaintOrder::insideOnBottom), "A");
    titled(document, *layers.insert(a, PaintOrder::below), "A");
    const LayerId c = titled(document, *layers.insert(a, PaintOrder::below), "C");
    titled(document, *layers.insert(c, PaintOrder::insideOnTop), "D");
    titled(document, *layers.insert(a, PaintOrder::below), "B");
    document.newArt(ArtType::path, PaintOrder::insideOnTop, *layers.group(a));
    document.takeChanges();
    return document;
}

struct IndexCase {
    const char* label;
    std::function<void(Document&)> edit;
};

void PrintTo(const IndexCase& c, std::ostream* out) {
    *out << c.label;
}

LayerId top(const Document& document, std::size_t index) {
    return *document.layers().nth(index);
}

ArtId groupOf(const Document& document, LayerId layer) {
    return *document.layers().group(layer);
}

class LayerIndex : public ::testing::TestWithParam<IndexCase> {};

TEST_P(LayerIndex, FollowsTheEditItsUndoAndRedoAndLeavesACopyAlone) {
    Document document = layeredDocument();
    expectLookupsMatchTheTree(document);
    const Document before = document;  // shares what the look-ups built so far
    GetParam().edit(document);
    expectLookupsMatchTheTree(document);
    expectLookupsMatchTheTree(before);

    ChangeLog changes = document.takeChanges();
    document.applyChanges(changes);
    expectLookupsMatchTheTree(document);
    EXPECT_EQ(document.layers().all(), before.layers().all()) << "undone";
    document.applyChanges(changes);
    expectLookupsMatchTheTree(document);
}

// Without a copy sharing them, additions at either end and removals bring the look-ups up to date
// in place of building them again.
TEST_P(LayerIndex, FollowsTheEditWhenTheDocumentHoldsItAlone) {
    Document document = layeredDocument();
    expectLookupsMatchTheTree(document);
    GetParam().edit(document);
    expectLookupsMatchTheTree(document);
    document.editLayers().insert(LayerId{}, PaintOrder::belowAll);
    expectLookupsMatchTheTree(document);
    document.editLayers().remove(top(document, 0));
    expectLookupsMatchTheTree(document);
    ChangeLog changes = document.takeChanges();
    document.applyChanges(changes);
    expectLookupsMatchTheTree(document);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, LayerIndex,
    ::testing::Values(
        IndexCase{"renameTheFirstOfATitle", [](Document& d) { titled(d, top(d, 0), "Z"); }},
        IndexCase{"renameToATitleFoundLater", [](Document& d) { titled(d, top(d, 2), "B"); }},
        // A title of its own, given to the only holder of a title, to a later holder of a shared
        // one, to a sublayer, and back: the titles left behind find nothing or the next holder.
        IndexCase{"giveTheOnlyHolderATitleOfItsOwn",
                  [](Document& d) {
                      titled(d, d.layers().byTitle("C"), "E");
                      EXPECT_EQ(d.layers().byTitle("C"), LayerId{});
                  }},
        IndexCase{"giveALaterHolderATitleOfItsOwn",
                  [](Document& d) {
                      const LayerId first = d.layers().topByTitle("B");
                      titled(d, d.layers().all().back(), "F");
                      EXPECT_EQ(d.layers().topByTitle("B"), first);
                  }},
        IndexCase{"giveASublayerATitleOfItsOwnAndBack",
                  [](Document& d) {
                      const LayerId sublayer = titled(d, d.layers().byTitle("D"), "G");
                      EXPECT_EQ(d.layers().byTitle("D"), LayerId{});
                      titled(d, sublayer, "D");
                      EXPECT_EQ(d.layers().byTitle("G"), LayerId{});
                  }},
        IndexCase{"renameTheLayerGroup", [](Document& d) { d.setName(groupOf(d, top(d, 3)), "A"); }},
        IndexCase{"changeOnlyAColour",
                  [](Document& d) {
                      LayerProperties properties = *d.layers().properties(top(d, 1));
                      properties.color = {1, 2, 3};
                      d.editLayers().setProperties(top(d, 1), properties);
                  }},
        IndexCase{"removeATopLevelLayer", [](Document& d) { d.editLayers().remove(top(d, 0)); }},
        IndexCase{"removeASublayer",
                  [](Document& d) { d.editLayers().remove((*d.layers().sublayers(top(d, 0)))[0]); }},
        IndexCase{"addOnTop", [](Document& d) { d.editLayers().insert(LayerId{}, PaintOrder::aboveAll); }},
        IndexCase{"addAtTheBottom",
                  [](Document& d) { d.editLayers().insert(LayerId{}, PaintOrder::belowAll); }},
        IndexCase{"removeTheLastLayer",
                  [](Document& d) { d.editLayers().remove(top(d, d.layers().count() - 1)); }},
        IndexCase{"addASublayer",
                  [](Document& d) { d.editLayers().insert(top(d, 2), PaintOrder::insideOnBottom); }},
        IndexCase{
            "moveALayerToTheBack",
            [](Document& d) { d.reorder(groupOf(d, top(d, 0)), PaintOrder::below, groupOf(d, top(d, 3))); }},
        IndexCase{"moveASublayerToTheTop",
                  [](Document& d) {
                      d.reorder(groupOf(d, (*d.layers().sublayers(top(d, 2)))[0]), PaintOrder::above,
                                groupOf(d, top(d, 0)));
                  }},
        IndexCase{"moveATopLevelLayerInsideAnother",
                  [](Document& d) {
                      d.reorder(groupOf(d, top(d, 3)), PaintOrder::insideOnTop, groupOf(d, top(d, 1)));
                  }},
        IndexCase{"duplicateALayerWithSublayers",
                  [](Document& d) {
                      d.duplicate(groupOf(d, top(d, 0)), PaintOrder::below, groupOf(d, top(d, 3)));
                  }},
        IndexCase{"moveArtThatIsNoLayer", [](Document& d) {
                      const ArtId art = *d.firstChild(groupOf(d, top(d, 0)));
                      d.reorder(art, PaintOrder::insideOnBottom, groupOf(d, top(d, 0)));
                  }}));

TEST(LayerIndexCopies, ACopyEditedApartKeepsItsOwnAnswers) {
    Document document = layeredDocument();
    Document copy = document;
    titled(copy, top(copy, 0), "Copy");
    copy.editLayers().remove(top(copy, 1));
    expectLookupsMatchTheTree(copy);
    expectLookupsMatchTheTree(document);
    EXPECT_EQ(document.layers().topByTitle("A"), top(document, 0));
    EXPECT_FALSE(copy.layers().byTitle("C") == LayerId{});
    document.restore(copy);
    expectLookupsMatchTheTree(document);
    EXPECT_EQ(document.layers().all(), copy.layers().all());
}

}  // namespace
}  // namespace host::model

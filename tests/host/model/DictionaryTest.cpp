// Dictionaries: typed entries, key order, nested dictionaries and art copies, and references to
// dictionaries through documents.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "ModelTestSupport.h"
#include "model/ArtTree.h"
#include "model/Dictionary.h"

namespace host::model {
namespace {

using testing::addRectangle;

ArtTree pathCopy(const std::string& name) {
    ArtTree tree;
    tree.data.content = PathContent{PathGeometry::rectangle(Rect(0, 1, 1, 0))};
    tree.data.name = name;
    return tree;
}

struct EntryCase {
    const char* label;
    EntryType type;
    std::function<Status(Dictionary&)> set;
    std::function<bool(const Dictionary&)> readsBack;
};

class DictionaryEntry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(DictionaryEntry, IsReadBackWithItsTypeAndRefusedAsAnyOther) {
    Dictionary dictionary;
    ASSERT_EQ(GetParam().set(dictionary), Status::ok);
    EXPECT_EQ(*dictionary.typeOf("key"), GetParam().type);
    EXPECT_TRUE(GetParam().readsBack(dictionary));
    const EntryType type = GetParam().type;
    EXPECT_EQ(dictionary.integer("key").status(),
              type == EntryType::integer ? Status::ok : Status::wrongType);
    EXPECT_EQ(dictionary.boolean("key").status(),
              type == EntryType::boolean ? Status::ok : Status::wrongType);
    EXPECT_EQ(dictionary.real("key").status(), type == EntryType::real ? Status::ok : Status::wrongType);
    EXPECT_EQ(dictionary.string("key").status(), type == EntryType::string ? Status::ok : Status::wrongType);
    EXPECT_EQ(dictionary.art("key") != nullptr, type == EntryType::art);
    EXPECT_EQ(dictionary.dictionary("key") != nullptr, type == EntryType::dictionary);
}

INSTANTIATE_TEST_SUITE_P(
    Types, DictionaryEntry,
    ::testing::Values(
        EntryCase{"integer", EntryType::integer, [](Dictionary& d) { return d.setInteger("key", -7); },
                  [](const Dictionary& d) { return *d.integer("key") == -7; }},
        EntryCase{"integerLimit", EntryType::integer,
                  [](Dictionary& d) { return d.setInteger("key", std::numeric_limits<std::int32_t>::min()); },
                  [](const Dictionary& d) {
                      return *d.integer("key") == std::numeric_limits<std::int32_t>::min();
                  }},
        EntryCase{"boolean", EntryType::boolean, [](Dictionary& d) { return d.setBoolean("key", true); },
                  [](const Dictionary& d) { return *d.boolean("key"); }},
        EntryCase{"real", EntryType::real, [](Dictionary& d) { return d.setReal("key", 0.1); },
                  [](const Dictionary& d) { return *d.real("key") == 0.1; }},
        EntryCase{"string", EntryType::string,
                  [](Dictionary& d) { return d.setString("key", "\xe2\x82\xac"); },
                  [](const Dictionary& d) { return *d.string("key") == "\xe2\x82\xac"; }},
        EntryCase{"emptyString", EntryType::string, [](Dictionary& d) { return d.setString("key", ""); },
                  [](const Dictionary& d) { return d.string("key")->empty(); }},
        EntryCase{"art", EntryType::art, [](Dictionary& d) { return d.setArt("key", pathCopy("copy")); },
                  [](const Dictionary& d) { return d.art("key")->data.name == "copy"; }},
        EntryCase{"dictionary", EntryType::dictionary,
                  [](Dictionary& d) {
                      Dictionary inner;
                      inner.setInteger("depth", 2);
                      return d.setDictionary("key", inner);
                  },
                  [](const Dictionary& d) { return *d.dictionary("key")->integer("depth") == 2; }}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Dictionary, KeysAreInByteOrderAndSettingReplacesAnyType) {
    Dictionary dictionary;
    dictionary.setInteger("b", 1);
    dictionary.setString("a", "x");
    dictionary.setBoolean("B", false);
    EXPECT_EQ(dictionary.keys(), (std::vector<std::string>{"B", "a", "b"}));
    EXPECT_EQ(*dictionary.keyAt(2), "b");
    EXPECT_EQ(dictionary.keyAt(3).status(), Status::notFound);
    dictionary.setReal("b", 2.5);
    EXPECT_EQ(*dictionary.typeOf("b"), EntryType::real);
    EXPECT_EQ(dictionary.size(), 3u);
}

TEST(Dictionary, MissingKeysAndBadValuesAreRefused) {
    Dictionary dictionary;
    EXPECT_EQ(dictionary.integer("none").status(), Status::notFound);
    EXPECT_EQ(dictionary.typeOf("none").status(), Status::notFound);
    EXPECT_EQ(dictionary.erase("none"), Status::notFound);
    EXPECT_EQ(dictionary.setInteger("", 1), Status::badParameter);
    EXPECT_EQ(dictionary.setString("k", "\xff"), Status::badParameter);
    EXPECT_EQ(dictionary.setReal("k", std::nan("")), Status::badParameter);
    EXPECT_EQ(dictionary.setReal("k", std::numeric_limits<double>::infinity()), Status::badParameter);
    EXPECT_TRUE(dictionary.empty());
}

TEST(Dictionary, CopiesAreDeep) {
    Dictionary inner;
    inner.setInteger("n", 1);
    Dictionary outer;
    outer.setDictionary("inner", inner);
    outer.setArt("art", pathCopy("original"));
    Dictionary copy = outer;
    copy.dictionary("inner")->setInteger("n", 2);
    copy.setArt("art", pathCopy("changed"));
    EXPECT_EQ(*outer.dictionary("inner")->integer("n"), 1);
    EXPECT_EQ(outer.art("art")->data.name, "original");
}

TEST(Dictionary, ADictionaryCanTakeACopyOfItsOwnEntry) {
    Dictionary dictionary;
    dictionary.setArt("art", pathCopy("self"));
    ASSERT_EQ(dictionary.setArt("again", *dictionary.art("art")), Status::ok);
    ASSERT_EQ(dictionary.setArt("art", *dictionary.art("art")), Status::ok);
    EXPECT_EQ(dictionary.art("art")->data.name, "self");
    EXPECT_EQ(dictionary.art("again")->data.name, "self");
}

TEST(DictionaryRef, ResolvesDocumentArtAndNestedDictionaries) {
    Document document;
    const ArtId art = addRectangle(document, "r", Rect(0, 1, 1, 0), PaintOrder::aboveAll);
    EXPECT_FALSE(document.hasDictionary(art));
    Dictionary nested;
    nested.setBoolean("flag", true);
    document.editDictionary(art)->setDictionary("outer", nested);
    EXPECT_TRUE(document.hasDictionary(art));

    Dictionary* found = document.resolveToEdit({art, {"outer"}});
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(*found->boolean("flag"));
    EXPECT_EQ(document.resolve({ArtId{}, {}}), &document.documentDictionary());
    EXPECT_EQ(document.resolve({art, {"missing"}}), nullptr);

    document.dispose(art);
    EXPECT_EQ(document.resolve({art, {"outer"}}), nullptr);
    EXPECT_EQ(document.dictionary(art), nullptr);
}

TEST(ArtCopies, StoredInADictionaryComeBackWithFreshUuidsAndTheirData) {
    Document document;
    document.seedUuids(11);
    const ArtId art = addRectangle(document, "original", Rect(0, 10, 10, 0), PaintOrder::aboveAll);
    document.editTags(art)->set("_p_tag_ca659850", "string", "abc");
    document.editDictionary(art)->setInteger("count", 4);
    document.editDictionary(art)->setArt("snapshot", *document.copyOf(art));

    const ArtTree* stored = document.dictionary(art)->art("snapshot");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->data.uuid, *document.uuid(art)) << "the stored copy keeps the UUID it had";

    const Result<ArtId> restored = document.insertCopy(*stored, PaintOrder::above, art);
    ASSERT_TRUE(restored.ok());
    EXPECT_NE(*document.uuid(*restored), *document.uuid(art));
    EXPECT_EQ(document.name(*restored)->text, "original");
    EXPECT_EQ(*document.tags(*restored)->get("_p_tag_ca659850", "string"), "abc");
    EXPECT_EQ(*document.dictionary(*restored)->integer("count"), 4);
    EXPECT_EQ(*document.previousSibling(art), *restored) << "placed directly above";

    // A second copy out gives yet another object with yet another UUID.
    const Result<ArtId> again = document.insertCopy(*stored, PaintOrder::above, art);
    ASSERT_TRUE(again.ok());
    EXPECT_NE(*document.uuid(*again), *document.uuid(*restored));
}

TEST(ArtCopies, OfLayersAndMalformedTreesAreRefused) {
    Document document;
    const ArtId layerGroup = testing::layerGroupOf(document, document.layers().first());
    EXPECT_EQ(document.copyOf(layerGroup).status(), Status::notAllowed);

    ArtTree pathWithChild = pathCopy("parent");
    pathWithChild.children.push_back(pathCopy("child"));
    EXPECT_EQ(document.insertCopy(pathWithChild, PaintOrder::aboveAll, ArtId{}).status(),
              Status::badParameter);

    ArtTree layer;
    layer.layer = LayerProperties{};
    EXPECT_EQ(document.insertCopy(layer, PaintOrder::aboveAll, ArtId{}).status(), Status::badParameter);
}

}  // namespace
}  // namespace host::model

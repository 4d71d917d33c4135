// A document's whole state: equality of documents, the change log that records every change (what
// undo takes back and repeats), and the document settings scale and ruler units with their format
// keys.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "ModelTestSupport.h"

namespace host::model {
namespace {

using testing::findByName;
using testing::loadSample;

struct Change {
    const char* label;
    std::function<void(Document&)> apply;
};

class Changes : public ::testing::TestWithParam<Change> {};

TEST_P(Changes, MakeADocumentUnequalToItsCopyUntilRestored) {
    Document document = loadSample();
    const Document before = document;
    ASSERT_TRUE(document == before);
    GetParam().apply(document);
    EXPECT_FALSE(document == before);
    EXPECT_FALSE(before == document);
    const Document after = document;
    document.restore(before);
    EXPECT_TRUE(document == before);
    document.restore(after);
    EXPECT_TRUE(document == after);
}

TEST_P(Changes, AreRecordedSoThatTheyCanBeTakenBackAndRepeated) {
    Document document = loadSample();
    const Document before = document;
    GetParam().apply(document);
    const Document after = document;
    ChangeLog changes = document.takeChanges();
    ASSERT_FALSE(changes.empty());
    EXPECT_TRUE(document.takeChanges().empty()) << "taking the log starts a new one";

    document.applyChanges(changes);
    EXPECT_TRUE(document == before);
    for (const ArtId art : document.documentOrder()) {
        EXPECT_EQ(document.artByUuid(*document.uuid(art)), art) << "the UUID index follows";
    }
    document.applyChanges(changes);
    EXPECT_TRUE(document == after);
    EXPECT_TRUE(document.takeChanges().empty()) << "applying a log is not itself a change";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Changes,
    ::testing::Values(
        Change{"name", [](Document& d) { d.setName(findByName(d, "Logo"), "Brand"); }},
        Change{"note", [](Document& d) { d.setNote(findByName(d, "Logo"), "n"); }},
        Change{"selection",
               [](Document& d) {
                   d.setAttributes(findByName(d, "Swoosh"), attribute::selected, attribute::selected);
               }},
        Change{"lock",
               [](Document& d) {
                   d.setAttributes(findByName(d, "Swoosh"), attribute::locked, attribute::locked);
               }},
        Change{"tag_entry",
               [](Document& d) { d.editTags(findByName(d, "Swoosh"))->set("_p_tag_0", "string", "x"); }},
        Change{"tag_value",
               [](Document& d) {
                   const std::string name = *d.tags(findByName(d, "Logo"))->nameAt(0);
                   d.editTags(findByName(d, "Logo"))->set(name, "string", "other");
               }},
        Change{"art_dictionary",
               [](Document& d) { d.editDictionary(findByName(d, "Swoosh"))->setBoolean("k", true); }},
        Change{"nested_art_copy",
               [](Document& d) {
                   Dictionary* dictionary = d.editDictionary(findByName(d, "Backdrop"));
                   ASSERT_NE(dictionary, nullptr);
                   for (const std::string& key : dictionary->keys()) {
                       if (*dictionary->typeOf(key) == EntryType::art) {
                           ArtTree copy = *dictionary->art(key);
                           copy.data.note = "changed inside the copy";
                           dictionary->setArt(key, copy);
                           return;
                       }
                   }
                   FAIL() << "the sample's Backdrop holds an art entry";
               }},
        Change{"document_dictionary",
               [](Document& d) { d.editDocumentDictionary().setInteger("sample.revision", 99); }},
        Change{"new_art", [](Document& d) { d.newArt(ArtType::group, PaintOrder::aboveAll, {}); }},
        Change{"dispose", [](Document& d) { d.dispose(findByName(d, "Swoosh")); }},
        Change{"reorder",
               [](Document& d) {
                   d.reorder(findByName(d, "Swoosh"), PaintOrder::above, findByName(d, "Mark"));
               }},
        Change{"geometry",
               [](Document& d) {
                   d.transform(findByName(d, "Logo"), Matrix{1, 0, 0, 1, 5, 0});
               }},
        Change{"text", [](Document& d) { d.editStory(findByName(d, "Title"))->insert(0, u"!"); }},
        Change{"text_style",
               [](Document& d) {
                   CharFeatures emphasis;
                   emphasis.fontSize = 20.0;
                   d.editTextStyles().setCharStyle("Emphasis", emphasis);
               }},
        Change{"layer",
               [](Document& d) {
                   LayerProperties properties = *d.layers().properties(d.layers().first());
                   properties.visible = false;
                   d.editLayers().setProperties(d.layers().first(), properties);
               }},
        Change{"current_layer", [](Document& d) { d.editLayers().setCurrent(*d.layers().nth(1)); }},
        Change{"editing_state",
               [](Document& d) {
                   d.setEditingState({1, findByName(d, "Logo"), false});
               }},
        Change{"scale", [](Document& d) { d.setScale(2.5); }},
        Change{"duplicate",
               [](Document& d) {
                   d.duplicate(findByName(d, "Logo"), PaintOrder::below, findByName(d, "Swoosh"));
               }},
        Change{"reorder_to_the_back",
               [](Document& d) { d.reorder(findByName(d, "Logo"), PaintOrder::belowAll, {}); }},
        Change{"new_layer",
               [](Document& d) { d.editLayers().insert(d.layers().first(), PaintOrder::insideOnBottom); }},
        Change{"delete_layer", [](Document& d) { d.editLayers().remove(d.layers().first()); }},
        Change{"layer_at_art",
               [](Document& d) {
                   const ArtId group = *d.layers().group(d.layers().first());
                   ASSERT_TRUE(d.editLayers().insertAtArt(group, PaintOrder::below).ok());
               }},
        Change{"symbol_renamed_with_its_instance",
               [](Document& d) {
                   ASSERT_EQ(d.editSymbolUses().rename(d.symbols().byName("Star"), "Starlet"), Status::ok);
               }},
        Change{"symbol_instance",
               [](Document& d) {
                   const SymbolId star = d.symbols().byName("Star");
                   ASSERT_TRUE(d.editSymbolUses().newInstance(star, {10, 10}, PaintOrder::aboveAll, {}).ok());
               }},
        Change{"symbol_removed_after_its_instance",
               [](Document& d) {
                   const MatchSpec instances{ArtType::symbol};
                   for (const ArtId instance : d.matchingArt({&instances, 1})) {
                       d.dispose(instance);
                   }
                   ASSERT_EQ(d.editSymbolUses().remove(d.symbols().byName("Star")), Status::ok);
               }},
        Change{"symbol_imported",
               [](Document& d) {
                   Document library;
                   const SymbolId moon = *library.editSymbols().add("Moon");
                   ASSERT_TRUE(d.editSymbolUses().import(library, moon).ok());
               }},
        Change{"artboard", [](Document& d) { d.editArtboards().insert(Artboard{}); }},
        Change{"symbol", [](Document& d) { d.editSymbols().add("Added symbol"); }},
        Change{"ruler_units", [](Document& d) { d.setRulerUnits(1); }}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(DocumentState, WhereTheUuidGeneratorStandsIsNoPartOfIt) {
    Document document = loadSample();
    const Document before = document;
    const ArtId made = *document.newArt(ArtType::path, PaintOrder::aboveAll, {});
    ASSERT_EQ(document.dispose(made), Status::ok);
    EXPECT_TRUE(document == before);
}

TEST(DocumentState, ChangesThatEndWhereTheyBeganAreNoChanges) {
    Document document = loadSample();
    const ArtId logo = findByName(document, "Logo");
    document.setName(logo, "Brand");
    document.setName(logo, "Logo");
    document.editTags(logo);  // taken to edit, left alone
    const ArtId made = *document.newArt(ArtType::path, PaintOrder::aboveAll, {});
    document.dispose(made);
    EXPECT_TRUE(document.takeChanges().empty());
}

TEST(DocumentState, SelectionMarksTellWhetherTheSetOfSelectedObjectsChanged) {
    Document document = loadSample();
    const ArtId swoosh = findByName(document, "Swoosh");
    document.markSelection();
    document.setAttributes(swoosh, attribute::selected, attribute::selected);
    EXPECT_TRUE(document.selectionChanged());
    EXPECT_TRUE(document.selectionAtMark().empty());
    document.setAttributes(swoosh, attribute::selected, 0);
    EXPECT_FALSE(document.selectionChanged()) << "selected, then deselected";

    document.setAttributes(swoosh, attribute::selected, attribute::selected);
    document.markSelection();
    document.dispose(swoosh);
    EXPECT_TRUE(document.selectionChanged()) << "a selected object went";
    EXPECT_EQ(document.selectionAtMark(), std::vector<ArtId>{swoosh});
}

TEST(DocumentState, DocumentsBuiltApartDifferInTheirHandles) {
    // The same contents twice: different objects, so different documents.
    EXPECT_FALSE(loadSample() == loadSample());
    EXPECT_FALSE(Document(1) == Document(1));
}

// --- Settings -------------------------------------------------------------------------------------

TEST(DocumentSettings, ANewDocumentIsInPointsAtScaleOne) {
    const Document document;
    EXPECT_EQ(document.scale(), 1.0);
    EXPECT_EQ(document.rulerUnits(), kPointsRulerUnits);
    const std::string text = *writeDocument(document).text;
    EXPECT_EQ(text.find("\"scale\""), std::string::npos) << "defaults are left out";
    EXPECT_EQ(text.find("\"rulerUnits\""), std::string::npos);
}

TEST(DocumentSettings, SettingsRoundTrip) {
    Document document = loadSample();
    ASSERT_EQ(document.setScale(10.0), Status::ok);
    ASSERT_EQ(document.setRulerUnits(5), Status::ok);
    const std::string text = *writeDocument(document).text;
    EXPECT_NE(text.find("\"rulerUnits\": 5"), std::string::npos);
    EXPECT_NE(text.find("\"scale\": 10.0"), std::string::npos);
    const ReadResult read = readDocument(text);
    ASSERT_TRUE(read.document.has_value()) << read.error;
    EXPECT_EQ(read.document->scale(), 10.0);
    EXPECT_EQ(read.document->rulerUnits(), 5);
    EXPECT_EQ(*writeDocument(*read.document).text, text);
}

struct BadSetting {
    const char* label;
    double scale;
    int units;
};

class BadSettings : public ::testing::TestWithParam<BadSetting> {};

TEST_P(BadSettings, AreRefusedAndChangeNothing) {
    Document document;
    EXPECT_EQ(document.setScale(GetParam().scale), Status::badParameter);
    EXPECT_EQ(document.setRulerUnits(GetParam().units), Status::badParameter);
    EXPECT_EQ(document.scale(), 1.0);
    EXPECT_EQ(document.rulerUnits(), kPointsRulerUnits);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadSettings,
                         ::testing::Values(BadSetting{"zero", 0.0, 0}, BadSetting{"negative", -1.0, -3},
                                           BadSetting{"beyond", std::numeric_limits<double>::infinity(), 12},
                                           BadSetting{"not_a_number",
                                                      std::numeric_limits<double>::quiet_NaN(), 1000}),
                         [](const auto& info) { return std::string(info.param.label); });

struct BadSettingText {
    const char* label;
    const char* fields;  // added to an otherwise good document
    const char* error;
};

class BadSettingTexts : public ::testing::TestWithParam<BadSettingText> {};

TEST_P(BadSettingTexts, AreRefusedWithTheirPlace) {
    const std::string text = std::string(R"({"format": "plimhost-document", "version": 1, "layers": [], )") +
                             GetParam().fields + "}";
    const ReadResult read = readDocument(text);
    EXPECT_FALSE(read.document.has_value());
    EXPECT_NE(read.error.find(GetParam().error), std::string::npos) << read.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadSettingTexts,
    ::testing::Values(
        BadSettingText{"scale_zero", R"("scale": 0)", "scale: the scale factor must be above 0"},
        BadSettingText{"scale_negative", R"("scale": -2.0)", "scale: the scale factor must be above 0"},
        BadSettingText{"scale_text", R"("scale": "2")", "scale: expected a number"},
        BadSettingText{"units_zero", R"("rulerUnits": 0)", "rulerUnits: the integer is out of range"},
        BadSettingText{"units_twelve", R"("rulerUnits": 12)", "rulerUnits: the integer is out of range"},
        BadSettingText{"units_fraction", R"("rulerUnits": 3.5)", "rulerUnits: expected an integer"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace host::model

// The native document format: byte-for-byte round trips, what survives them, and bad input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include <nlohmann/json.hpp>

#include "GeneratedDocument.h"
#include "ModelTestSupport.h"

namespace host::model {
namespace {

using testing::addArt;
using testing::addRectangle;
using testing::findByName;

std::string readFile(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

std::string write(const Document& document) {
    const WriteResult written = writeDocument(document);
    EXPECT_TRUE(written.text.has_value()) << written.error;
    return written.text.value_or("");
}

Document read(const std::string& text) {
    ReadResult result = readDocument(text);
    EXPECT_TRUE(result.document.has_value()) << result.error;
    return result.document ? std::move(*result.document) : Document();
}

// The canonical text is what nlohmann's dump with two spaces of indentation makes of it.
void expectCanonical(const std::string& text) {
    EXPECT_EQ(nlohmann::json::parse(text).dump(2) + "\n", text);
}

TEST(DocumentFormat, TheExamplesRoundTripByteForByte) {
    int examples = 0;
    for (const auto& entry : std::filesystem::directory_iterator(PLIM_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".json") {
            continue;
        }
        ++examples;
        const std::string text = readFile(entry.path().string());
        EXPECT_EQ(write(read(text)), text) << entry.path();
    }
    EXPECT_GE(examples, 4);
}

TEST(DocumentFormat, AGeneratedDocumentIsWrittenCanonicallyAndReadBack) {
    const std::string text = write(testsupport::GenerateDocument(3000));
    expectCanonical(text);
    EXPECT_EQ(write(read(text)), text);
}

// Everything the model holds, in one document.
Document richDocument() {
    Document document;
    document.seedUuids(1234);
    const LayerId top = document.layers().first();
    LayerProperties properties = *document.layers().properties(top);
    properties.title = "Top \xe2\x98\x85";
    properties.visible = false;
    properties.editable = false;
    properties.printed = false;
    properties.preview = false;
    properties.isTemplate = true;
    properties.dimPlacedImages = true;
    properties.dimPercent = 20;
    properties.color = {1, 2, 65535};
    document.editLayers().setProperties(top, properties);
    const ArtId topGroup = *document.layers().group(top);
    document.editContent<GroupContent>(topGroup)->clipped = true;
    document.editTags(topGroup)->set("layer.tag", "string", "on the layer group");

    const LayerId sub = *document.editLayers().insert(top, PaintOrder::insideOnBottom);
    const ArtId subGroup = *document.layers().group(sub);
    const ArtId group = addArt(document, ArtType::group, "group", PaintOrder::insideOnTop, subGroup);
    document.setEnvelope(group, true);
    document.setIntertwine(group, true);
    document.setNote(group, "line one\nline two \"quoted\"");
    const ArtId mask = addRectangle(document, "mask", Rect(0, 10, 10, 0), PaintOrder::insideOnTop, group);
    document.setAttributes(mask, attribute::stored, attribute::stored);
    const ArtId curve = addArt(document, ArtType::path, "curve", PaintOrder::insideOnBottom, group);
    document.editContent<PathContent>(curve)->geometry = {
        {{{0, 0}, {-1, 0.1}, {1, -0.1}, false}, {{5, 5}, {5, 5}, {6.25, 5}, true}}, false};
    document.setStrokeWidth(curve, 0.3);

    const ArtId compound = addArt(document, ArtType::compoundPath, "", PaintOrder::belowAll);
    addRectangle(document, "", Rect(-1, 1, 1, -1), PaintOrder::insideOnTop, compound);
    const ArtId onPath = addArt(document, ArtType::textFrame, "text", PaintOrder::above, compound);
    auto* text = document.editContent<TextFrameContent>(onPath);
    text->kind = TextKind::onPath;
    text->story = *Story::plain("tab\there\rnext \xf0\x9f\x99\x82");
    text->path = PathGeometry::rectangle(Rect(0, 2, 3, 0));
    const ArtId area = addArt(document, ArtType::textFrame, "", PaintOrder::above, compound);
    document.editContent<TextFrameContent>(area)->kind = TextKind::area;
    document.editContent<TextFrameContent>(area)->box = {Rect(0, 50, 100, 0), Matrix::rotation(0.25)};
    const ArtId placed = addArt(document, ArtType::placed, "", PaintOrder::aboveAll);
    document.editContent<PlacedContent>(placed)->file = "/tmp/some file.pdf";
    addArt(document, ArtType::raster, "", PaintOrder::aboveAll);
    const ArtId symbol = addArt(document, ArtType::symbol, "", PaintOrder::aboveAll);
    document.editContent<SymbolContent>(symbol)->symbol = "Arrow";

    Dictionary& dictionary = *document.editDictionary(curve);
    dictionary.setInteger("int", std::numeric_limits<std::int32_t>::max());
    dictionary.setBoolean("bool", false);
    dictionary.setReal("real", 1.0 / 3.0);
    dictionary.setString("text", "");
    Dictionary nested;
    nested.setArt("art", *document.copyOf(group));
    dictionary.setDictionary("nested", nested);
    document.editDocumentDictionary().setReal("tiny", 5e-324);
    document.editDocumentDictionary().setReal("huge", -1.7976931348623157e308);
    return document;
}

TEST(DocumentFormat, EverythingTheModelHoldsRoundTripsByteForByte) {
    const Document original = richDocument();
    const std::string first = write(original);
    expectCanonical(first);
    const Document reopened = read(first);
    EXPECT_EQ(write(reopened), first);

    // Same objects, in the same order, with the same UUIDs.
    const std::vector<ArtId> before = original.documentOrder();
    const std::vector<ArtId> after = reopened.documentOrder();
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(*original.uuid(before[i]), *reopened.uuid(after[i]));
        EXPECT_EQ(original.name(before[i])->text, reopened.name(after[i])->text);
    }
    EXPECT_EQ(*reopened.dictionary(findByName(reopened, "curve"))->real("real"), 1.0 / 3.0);
}

TEST(DocumentFormat, TheSampleOpensWithItsContent) {
    const Document document = testing::loadSample();
    const ArtId backdrop = findByName(document, "Backdrop");
    const TagList& tags = *document.tags(backdrop);
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_EQ(*tags.get("_p_tag_d7f436d4", "string"), "background");
    EXPECT_EQ(*tags.get("com.example.reviewed", "string"), "yes") << "foreign entries are kept";
    EXPECT_EQ(*document.note(backdrop), "Keep this behind everything.");
    const Dictionary& dictionary = *document.dictionary(backdrop);
    EXPECT_EQ(*dictionary.integer("sample.count"), 3);
    EXPECT_EQ(*dictionary.real("sample.ratio"), 0.75);
    EXPECT_TRUE(*dictionary.boolean("sample.flag"));
    EXPECT_EQ(*dictionary.dictionary("sample.nested")->integer("depth"), 2);
    EXPECT_EQ(dictionary.art("sample.copy")->data.name, "Backdrop original");
    EXPECT_EQ(*document.documentDictionary().integer("sample.revision"), 3);
    EXPECT_FALSE(document.layers().properties(document.layers().byTitle("Background"))->editable);
    EXPECT_EQ(*document.attributes(findByName(document, "Texture"), attribute::locked), attribute::locked);
    EXPECT_EQ(*document.attributes(findByName(document, "Mask"), attribute::clippingMask),
              attribute::clippingMask);
    EXPECT_EQ(document.contentAs<TextFrameContent>(findByName(document, "Price"))->story.utf8(),
              "Only \xe2\x82\xac 19.99\rwhile stocks last");
}

TEST(DocumentFormat, SaveAndOpenThroughAFile) {
    // Named for this process, so that programs running at once don't share it.
    const auto file = std::filesystem::temp_directory_path() /
                      ("plim_model_format_test_" + std::to_string(getpid()) + ".json");
    const Document original = richDocument();
    std::string error;
    ASSERT_TRUE(saveDocument(original, file, &error)) << error;
    const ReadResult opened = openDocument(file);
    ASSERT_TRUE(opened.document.has_value()) << opened.error;
    EXPECT_EQ(write(*opened.document), write(original));
    std::filesystem::remove(file);

    const ReadResult missing = openDocument(file);
    EXPECT_FALSE(missing.document.has_value());
    EXPECT_NE(missing.error.find("cannot open"), std::string::npos);
    EXPECT_FALSE(saveDocument(original, file / "no such folder" / "x.json", &error));
}

TEST(DocumentFormat, MissingUuidsAreMadeAndRepeatedOnesReplaced) {
    const std::string text = R"({"format": "plimhost-document", "version": 1, "layers": [
        {"type": "layer", "title": "L", "children": [
          {"type": "path", "name": "first", "uuid": "0f8e2a4c-1b3d-4e5f-8a9b-0c1d2e3f4a5b"},
          {"type": "path", "name": "second", "uuid": "0f8e2a4c-1b3d-4e5f-8a9b-0c1d2e3f4a5b"},
          {"type": "path", "name": "third"}]}]})";
    const ReadResult first = readDocument(text, 77);
    const ReadResult second = readDocument(text, 77);
    ASSERT_TRUE(first.document && second.document) << first.error;
    const Document& document = *first.document;
    EXPECT_EQ(*document.uuid(findByName(document, "first")), "0f8e2a4c-1b3d-4e5f-8a9b-0c1d2e3f4a5b");
    const std::string made = *document.uuid(findByName(document, "second"));
    EXPECT_NE(made, "0f8e2a4c-1b3d-4e5f-8a9b-0c1d2e3f4a5b");
    EXPECT_TRUE(isUuidText(made));
    EXPECT_EQ(write(document), write(*second.document)) << "deterministic under the same seed";
}

TEST(DocumentFormat, ADocumentWithoutLayersGetsOne) {
    const Document document = read(R"({"format": "plimhost-document", "version": 1, "layers": []})");
    EXPECT_EQ(document.layers().count(), 1u);
    EXPECT_EQ(document.layers().properties(document.layers().first())->title, "Layer 1");
}

struct BadText {
    const char* label;
    std::string text;
    std::string expectedError;  // a part of the message
};

class BadDocument : public ::testing::TestWithParam<BadText> {};

TEST_P(BadDocument, IsRefusedWithAReason) {
    const ReadResult result = readDocument(GetParam().text);
    EXPECT_FALSE(result.document.has_value());
    EXPECT_NE(result.error.find(GetParam().expectedError), std::string::npos) << result.error;
}

std::string withLayerChildren(const std::string& children) {
    return R"({"format": "plimhost-document", "version": 1, "layers": [{"type": "layer", "title": "L", "children": [)" +
           children + "]}]}";
}

// A path filled with a gradient no document of these tests has.
constexpr const char* kArtNamingMissingGradient =
    R"({"type": "path", "style": {"paintFields": [{"fill": {"color": {"gradient": "Missing"}}}]}})";

std::string withResources(const std::string& resources) {
    return R"({"format": "plimhost-document", "version": 1, "layers": [], )" + resources + "}";
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadDocument,
    ::testing::Values(
        BadText{"empty", "", "not JSON"}, BadText{"truncated", R"({"format": )", "not JSON"},
        BadText{"invalidUtf8", "{\"format\": \"\xff\"}", "not JSON"},
        BadText{"array", "[]", "expected an object"},
        BadText{"otherFormat", R"({"format": "svg", "version": 1, "layers": []})", "not a document"},
        BadText{"newerVersion", R"({"format": "plimhost-document", "version": 2, "layers": []})",
                "not supported"},
        BadText{"noLayers", R"({"format": "plimhost-document", "version": 1})", "\"layers\" is missing"},
        BadText{"unknownKey", R"({"format": "plimhost-document", "version": 1, "layers": [], "extra": 1})",
                "unknown key \"extra\""},
        BadText{"artAtTop", R"({"format": "plimhost-document", "version": 1, "layers": [{"type": "path"}]})",
                "expected a layer"},
        BadText{"layerInGroup",
                withLayerChildren(R"({"type": "group", "children": [{"type": "layer", "title": "x"}]})"),
                "layers[0].children[0].children[0]"},
        BadText{"unknownType", withLayerChildren(R"({"type": "ellipse"})"), "unknown art type"},
        BadText{"pathWithChildren", withLayerChildren(R"({"type": "path", "children": [{"type": "path"}]})"),
                "only groups"},
        BadText{
            "textInCompound",
            withLayerChildren(
                R"({"type": "compoundPath", "children": [{"type": "textFrame", "kind": "point", "frame": [0, 0, 0, 0]}]})"),
            "compound path holds only"},
        BadText{"badUuid", withLayerChildren(R"({"type": "path", "uuid": "ABC"})"), "expected a UUID"},
        BadText{"wrongValueType", withLayerChildren(R"({"type": "path", "closed": "yes"})"),
                "expected true or false"},
        BadText{"shortPoint", withLayerChildren(R"({"type": "path", "segments": [{"anchor": [1]}]})"),
                "segments[0].anchor"},
        BadText{"hugeNumber", withLayerChildren(R"({"type": "path", "segments": [{"anchor": [1e400, 0]}]})"),
                ""},
        BadText{"invertedFrame", withLayerChildren(R"({"type": "raster", "frame": [0, 0, 10, 10]})"),
                "top >= bottom"},
        BadText{"unknownTextKind",
                withLayerChildren(R"({"type": "textFrame", "kind": "spiral", "frame": [0, 0, 0, 0]})"),
                "unknown text kind"},
        BadText{"negativeStroke", withLayerChildren(R"({"type": "path", "strokeWidth": -1})"), "negative"},
        BadText{
            "textAndStory",
            withLayerChildren(
                R"({"type": "textFrame", "kind": "point", "frame": [0, 1, 1, 0], "text": "a", "story": {"text": "a"}})"),
            "either \"text\" or \"story\""},
        BadText{
            "runsShortOfTheText",
            withLayerChildren(
                R"({"type": "textFrame", "kind": "point", "frame": [0, 1, 1, 0], "story": {"text": "abc", "runs": [{"length": 2}]}})"),
            "do not cover the text"},
        BadText{"storyDirection",
                withLayerChildren(
                    R"({"type": "textFrame", "kind": "point", "frame": [0, 1, 1, 0], "storyDirection": 2})"),
                "out of range"},
        BadText{"storyOnAPath", withLayerChildren(R"({"type": "path", "story": {"text": "a"}})"),
                "unknown key \"story\""},
        BadText{
            "repeatedTextStyle",
            R"({"format": "plimhost-document", "version": 1, "layers": [], "textStyles": {"character": {"A": {}, "A": {}}}})",
            "given twice"},
        BadText{
            "featureOutOfRange",
            R"({"format": "plimhost-document", "version": 1, "layers": [], "textStyles": {"character": {"A": {"fontSize": -1}}}})",
            "out of its range"},
        BadText{
            "repeatedTag",
            withLayerChildren(
                R"({"type": "path", "tags": [{"name": "a", "type": "string", "value": "1"}, {"name": "a", "type": "string", "value": "2"}]})"),
            "a second tag entry"},
        BadText{"untypedTag",
                withLayerChildren(R"({"type": "path", "tags": [{"name": "a", "type": "", "value": "1"}]})"),
                "need a name and a type"},
        BadText{"integerTooBig",
                withLayerChildren(
                    R"({"type": "path", "dictionary": {"n": {"type": "integer", "value": 2147483648}}})"),
                "out of range"},
        BadText{
            "integerAsReal",
            withLayerChildren(R"({"type": "path", "dictionary": {"n": {"type": "integer", "value": 1.5}}})"),
            "expected an integer"},
        BadText{"unknownEntryType",
                withLayerChildren(R"({"type": "path", "dictionary": {"n": {"type": "date", "value": 1}}})"),
                "unknown entry type"},
        BadText{
            "layerInDictionary",
            withLayerChildren(
                R"({"type": "path", "dictionary": {"n": {"type": "art", "value": {"type": "layer", "title": "x"}}}})"),
            "a layer can only be"},
        BadText{
            "colourOutOfRange",
            R"({"format": "plimhost-document", "version": 1, "layers": [{"type": "layer", "title": "L", "color": [0, 0, 70000]}]})",
            "out of range"},
        BadText{
            "dimPercent",
            R"({"format": "plimhost-document", "version": 1, "layers": [{"type": "layer", "title": "L", "dimPercent": 101}]})",
            "out of range"},
        BadText{"trailingComma", R"({"format": "plimhost-document", "layers": [],})", "not JSON"},
        BadText{"leadingZero", withLayerChildren(R"({"type": "path", "strokeWidth": 01})"), "not JSON"},
        BadText{"loneSurrogate", withLayerChildren(R"({"type": "path", "name": "\ud800"})"), "not JSON"},
        BadText{"controlCharacter", withLayerChildren("{\"type\": \"path\", \"name\": \"a\tb\"}"),
                "not JSON"},
        BadText{"unknownEscape", withLayerChildren(R"({"type": "path", "name": "\x"})"), "not JSON"},
        BadText{"textAfterTheDocument", R"({"format": "plimhost-document", "version": 1, "layers": []} {})",
                "not JSON"},
        BadText{"layersTwice",
                R"({"format": "plimhost-document", "version": 1, "layers": [{"type": "layer", "title": "L"}],
                    "layers": []})",
                "the key \"layers\" is given twice"},
        BadText{"artKeyTwice", withLayerChildren(R"({"type": "path", "name": "a", "name": "b"})"),
                "layers[0].children[0]: the key \"name\" is given twice"},
        BadText{"segmentKeyTwice",
                withLayerChildren(R"({"type": "path", "segments": [{"anchor": [0, 0], "anchor": [1, 1]}]})"),
                "segments[0]: the key \"anchor\" is given twice"},
        BadText{"dictionaryKeyTwice",
                withLayerChildren(R"({"type": "path", "dictionary": {"k": {"type": "boolean", "value": true},
                                                                    "k": {"type": "boolean", "value": false}}})"),
                "dictionary: the key \"k\" is given twice"},
        BadText{"keyOfAnotherType", withLayerChildren(R"({"type": "group", "segments": []})"),
                "layers[0].children[0]: unknown key \"segments\""},
        BadText{"otherVersionWhateverComesFirst",
                R"({"layers": [{"type": "ellipse"}], "format": "plimhost-document", "version": 2})",
                "version 2 is not supported"},
        BadText{"layerWithoutTitle",
                R"({"format": "plimhost-document", "version": 1, "layers": [{"type": "layer"}]})",
                "\"title\" is missing"},
        BadText{"gradientWithArt",
                withResources(R"("gradients": [{"name": "G", "color": "none", "art": {}}])"),
                "gradients[0].art: a gradient has no \"art\""},
        BadText{"patternWithStops",
                withResources(R"("patterns": [{"name": "P", "color": "none", "stops": []}])"),
                "a pattern has no \"stops\""},
        BadText{"unknownGradientType",
                withResources(R"("gradients": [{"name": "G", "color": "none", "type": "conic"}])"),
                "expected \"linear\" or \"radial\""},
        BadText{
            "midPointOutOfRange",
            withResources(
                R"("gradients": [{"name": "G", "color": "none", "stops": [{"color": "none", "rampPoint": 0, "midPoint": 90}]}])"),
            "expected a number from 13 to 87"},
        BadText{"stopWithoutRampPoint",
                withResources(
                    R"("gradients": [{"name": "G", "color": "none", "stops": [{"color": {"gray": 1}}]}])"),
                "a stop needs"},
        BadText{
            "stopNamingAGradient",
            withResources(
                R"("gradients": [{"name": "G", "color": "none", "stops": [{"color": {"gradient": "G"}, "rampPoint": 0}]}])"),
            "cannot be added"},
        BadText{"tileWithoutArea",
                withResources(R"("patterns": [{"name": "P", "color": "none", "tile": [0, 10, 0, 0]}])"),
                "expected a tile wider and taller than 0"},
        BadText{
            "tileArtNamingAPattern",
            withResources(
                R"("patterns": [{"name": "P", "color": "none", "art": {"type": "path", "style": {"paintFields": [{"fill": {"color": {"pattern": "P"}}}]}}}])"),
            "cannot be added"},
        BadText{
            "negativeGradientLength",
            withLayerChildren(
                R"({"type": "path", "style": {"paintFields": [{"fill": {"color": {"gradient": "G", "placement": {"length": -1}}}}]}})"),
            "expected a number of at least 0"},
        // Art kept anywhere names only colours the document has, as art in the layers does: in an
        // object's dictionary (nested too), in the document dictionary, in a symbol, in art kept
        // inside kept art.
        BadText{"artEntryNamingAMissingGradient",
                withLayerChildren(R"({"type": "path", "dictionary": {"k": {"type": "art", "value": )" +
                                  std::string(kArtNamingMissingGradient) + "}}}"),
                "the document's structure is not allowed"},
        BadText{
            "nestedArtEntryNamingAMissingGradient",
            withLayerChildren(
                R"({"type": "group", "dictionary": {"d": {"type": "dictionary", "value": {"k": {"type": "art", "value": )" +
                std::string(kArtNamingMissingGradient) + "}}}}}"),
            "the document's structure is not allowed"},
        BadText{"documentDictionaryArtNamingAMissingGradient",
                withResources(R"("dictionary": {"k": {"type": "art", "value": )" +
                              std::string(kArtNamingMissingGradient) + "}}"),
                "the document's structure is not allowed"},
        BadText{"symbolArtNamingAMissingGradient",
                withResources(R"("symbols": [{"name": "S", "art": )" +
                              std::string(kArtNamingMissingGradient) + "}]"),
                "the document's structure is not allowed"},
        BadText{
            "artInKeptArtNamingAMissingCustomColour",
            withResources(
                R"("symbols": [{"name": "S", "art": {"type": "group", "children": [{"type": "path", "dictionary": {"k": {"type": "art", "value": {"type": "path", "style": {"paintFields": [{"stroke": {"color": {"custom": "Gone"}}}]}}}}}]}}])"),
            "the document's structure is not allowed"},
        BadText{
            "placementOnACustomColour",
            withLayerChildren(
                R"({"type": "path", "style": {"paintFields": [{"fill": {"color": {"custom": "C", "placement": {}}}}]}})"),
            "expected \"none\" or one of"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(DocumentFormat, DeepNestingIsRefusedNotFollowed) {
    std::string nested = R"({"type": "path"})";
    for (int i = 0; i < kMaxDocumentDepth + 10; ++i) {
        nested = R"({"type": "group", "children": [)" + nested + "]}";
    }
    const ReadResult result = readDocument(withLayerChildren(nested));
    EXPECT_FALSE(result.document.has_value());
    EXPECT_NE(result.error.find("nested too deeply"), std::string::npos);

    std::string dictionaries = R"({"type": "integer", "value": 1})";
    for (int i = 0; i < kMaxDocumentDepth + 10; ++i) {
        dictionaries = R"({"type": "dictionary", "value": {"k": )" + dictionaries + "}}";
    }
    const ReadResult deepDictionary =
        readDocument(R"({"format": "plimhost-document", "version": 1, "layers": [], "dictionary": {"k": )" +
                     dictionaries + "}}");
    EXPECT_FALSE(deepDictionary.document.has_value());
}

TEST(DocumentFormat, KeysMayComeInAnyOrder) {
    // Types after children, and a dictionary entry's value before its type.
    const auto text = [](const std::string& anchor) {
        return R"({"version": 1, "layers": [{"children": [{"children": [{"dictionary": {"k": {"value":
            {"segments": [{"anchor": )" +
               anchor + R"(}], "name": "copy", "type": "path"}, "type": "art"}},
            "type": "path"}], "type": "group"}], "title": "L", "type": "layer"}], "format": "plimhost-document"})";
    };
    const Document document = read(text("[1, 2]"));
    const ArtId group = *document.firstChild(*document.layers().group(document.layers().first()));
    const ArtTree* copy = document.dictionary(*document.firstChild(group))->art("k");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->data.name, "copy");

    const ReadResult bad = readDocument(text("[1]"));
    EXPECT_NE(
        bad.error.find("layers[0].children[0].children[0].dictionary.k.value.segments[0].anchor: expected"),
        std::string::npos)
        << bad.error;
}

TEST(DocumentFormat, WritingStopsAtTheDepthTheReaderAccepts) {
    // The document dictionary is at depth 1; each nested dictionary entry is one deeper.
    const auto nested = [](int depth) {
        Dictionary dictionary;
        for (int i = 1; i < depth; ++i) {
            Dictionary outer;
            outer.setDictionary("d", std::move(dictionary));
            dictionary = std::move(outer);
        }
        Document document;
        document.editDocumentDictionary() = std::move(dictionary);
        return document;
    };
    const WriteResult atTheLimit = writeDocument(nested(kMaxDocumentDepth));
    ASSERT_TRUE(atTheLimit.text) << atTheLimit.error;
    EXPECT_TRUE(readDocument(*atTheLimit.text).document);
    const WriteResult beyond = writeDocument(nested(kMaxDocumentDepth + 1));
    EXPECT_FALSE(beyond.text);
    EXPECT_NE(beyond.error.find("nested deeper"), std::string::npos) << beyond.error;
}

TEST(DocumentFormat, WritingRefusesWhatCouldNotBeReadBack) {
    Document document;
    const ArtId path = addArt(document, ArtType::path, "p", PaintOrder::aboveAll);
    document.editContent<PathContent>(path)->geometry.segments = {Segment::straight({std::nan(""), 0})};
    WriteResult written = writeDocument(document);
    EXPECT_FALSE(written.text.has_value());
    EXPECT_NE(written.error.find("not finite"), std::string::npos);

    document.editContent<PathContent>(path)->geometry.segments.clear();
    document.editContent<PathContent>(path)->geometry.closed = false;
    const ArtId text = addArt(document, ArtType::textFrame, "t", PaintOrder::aboveAll);
    // A story holds UTF-16: malformed UTF-8 never gets in.
    EXPECT_FALSE(Story::plain("bad \xff byte"));
    document.editContent<TextFrameContent>(text)->story = *Story::plain("fine");
    document.editContent<TextFrameContent>(text)->box.frame = Rect();
    EXPECT_FALSE(writeDocument(document).text.has_value()) << "an inverted frame";
}

// A custom colour used by a gradient's stop and a pattern's tile is renamed there too, so that the
// saved document still opens.
TEST(DocumentFormat, RenamingACustomColourReachesGradientsAndPatterns) {
    const std::string text = R"({"format": "plimhost-document", "version": 1, "layers": [],
        "customColors": [{"name": "C", "kind": "rgb", "components": [1, 0, 0]}],
        "gradients": [{"name": "G", "color": "none", "stops": [{"color": {"custom": "C"}, "rampPoint": 0}]}],
        "patterns": [{"name": "P", "color": "none",
                      "art": {"type": "path", "style": {"paintFields": [{"fill": {"color": {"custom": "C"}}}]}}}]})";
    Document document = read(text);
    ASSERT_EQ(document.renameCustomColor(document.colors().customColors().front().id, "D"), Status::ok);
    const std::string saved = write(document);
    EXPECT_EQ(saved.find("\"C\""), std::string::npos) << saved;
    const Document reopened = read(saved);
    EXPECT_EQ(reopened.colors().gradients().front().stops.front().color, Color::custom("D", 0.0));
}

// Art kept in dictionary entries is renamed with the colour too, in art dictionaries and in the
// document dictionary: restoring it later into the artwork gives a document that still opens.
TEST(DocumentFormat, RenamingACustomColourReachesArtKeptInDictionaries) {
    const std::string kept =
        R"({"type": "art", "value": {"type": "path", "style": {"paintFields": [{"fill": {"color": {"custom": "C"}}}]}}})";
    Document document = read(
        R"({"format": "plimhost-document", "version": 1,
        "customColors": [{"name": "C", "kind": "rgb", "components": [1, 0, 0]}],
        "dictionary": {"k": )" +
        kept + R"(},
        "layers": [{"type": "layer", "title": "L", "children": [
          {"type": "path", "dictionary": {"d": {"type": "dictionary", "value": {"k": )" +
        kept + R"(}}}}]}]})");
    ASSERT_EQ(document.renameCustomColor(document.colors().customColors().front().id, "D"), Status::ok);
    const std::string saved = write(document);
    EXPECT_EQ(saved.find("\"C\""), std::string::npos) << saved;
    const Document reopened = read(saved);
    ASSERT_NE(reopened.documentDictionary().art("k"), nullptr);
    EXPECT_EQ(reopened.documentDictionary().art("k")->data.style.paintFields.front().fillPaint()->color,
              Color::custom("D", 0.0));
}

// Art that names a colour the document lacks never gets into the artwork from a dictionary entry
// or another document, and a document holding such art anywhere is not written.
TEST(DocumentFormat, ArtNamingAMissingColourIsNotTakenInNorWritten) {
    Document document;
    ArtTree tree;
    tree.data.content = PathContent{};
    tree.data.style.paintFields.push_back(PaintField::fill(Color::gradient("Missing")));
    EXPECT_EQ(document.insertCopy(tree, PaintOrder::aboveAll, ArtId{}).status(), Status::badParameter);
    ASSERT_TRUE(writeDocument(document).text.has_value());

    ASSERT_EQ(document.editDocumentDictionary().setArt("k", tree), Status::ok);
    const WriteResult written = writeDocument(document);
    EXPECT_FALSE(written.text.has_value());
    EXPECT_NE(written.error.find("names a custom colour, gradient or pattern"), std::string::npos)
        << written.error;
    document.editDocumentDictionary().erase("k");

    ASSERT_EQ(document.editSymbols().add("S", tree).status(), Status::ok);
    EXPECT_FALSE(writeDocument(document).text.has_value());
}

}  // namespace
}  // namespace host::model

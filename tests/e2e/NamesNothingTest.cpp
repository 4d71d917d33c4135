// A name, number or query that a request gives to choose its target (an artboard, a layer, key art,
// a style, a swatch library) and that names nothing: each command answers its own error (or, for a
// swatch the document has already, its warning) and the saved document is as it was. None of them
// falls back to the active artboard, to every artboard, to the first object or to no filter.
#include <string>

#include "PluginFixture.h"
#include "model/DocumentFormat.h"

namespace {

struct NothingCase {
    const char* label;
    const char* command;
    const char* request;
    const char* key;  // "error" or "warning"
    const char* text;
};

const NothingCase kNothingCases[] = {
    // The active artboard never stands in for a name or number that names no artboard.
    {"AlignToAnUnknownArtboardName", "alignObjects", R"({"tagSearch":"balloon","artboardName":"Nope"})",
     "error", "Can't get an artboard position"},
    {"AlignToAnUnknownArtboardNumber", "alignObjects", R"({"tagSearch":"balloon","artboardNumber":9})",
     "error", "Can't get an artboard position"},
    {"DistributeOnAnUnknownArtboardName", "distributeObjects",
     R"({"tagSearch":"balloon","artboardName":"Nope"})", "error", "Can't get an artboard position"},
    // Nor the front-most object or the common bounds for key art that is not there.
    {"DistributeStackedAroundNoKey", "distributeObjects",
     R"({"tagSearch":"balloon","keyArt":"nothing_here","gap":5})", "error", "Key art not found"},
    {"DistributeOverNoKey", "distributeObjects", R"({"tagSearch":"balloon","keyArt":"nothing_here"})",
     "error", "Key art not found"},
    {"AlignToNoKey", "alignObjects", R"({"tagSearch":"balloon","keyArt":"nothing_here"})", "error",
     "Key art not found"},
    // Every artboard never stands in for names that name none, nor all art for an unknown layer.
    {"FitArtboardsNamedNothing", "fitArtboardToBounds",
     R"({"artboardNames":["Nope","Nor this"],"padding":10})", "error", "Can't get an artboard"},
    {"FitToAnUnknownLayerName", "fitArtboardToBounds", R"({"layerName":"Nope","padding":10})", "error",
     "Layer not found"},
    {"FitToAnUnknownLayerNumber", "fitArtboardToBounds", R"({"layerNumber":9,"padding":10})", "error",
     "Layer not found"},
    {"FitToLayerZero", "fitArtboardToBounds", R"({"layerNumber":0,"padding":10})", "error",
     "Layer not found"},
    // A layer number beyond the layers names none: the found art is not read or edited instead.
    {"StyleOfAnUnknownLayerNumber", "getGraphicStyle", R"({"layerNumber":9,"tagSearch":"sun_disc"})", "error",
     "Layer not found or empty"},
    {"AttributesOfAnUnknownLayerNumber", "getObjectAttributes", R"({"layerNumber":9,"tagSearch":"sun"})",
     "error", "Layer not found or empty"},
    {"EditStyleOfAnUnknownLayerNumber", "editGraphicStyle",
     R"({"layerNumber":9,"tagSearch":"balloon","uiMethod":false,"newStyle":{"paintFields":[{"mode":"edit","pfIndex":1,"color":{"swatchName":"Sky"}}]}})",
     "error", "Layer not found or empty"},
    {"EditStyleOfAnUnknownLayer", "editGraphicStyle",
     R"({"layerName":"Nope","tagSearch":"balloon","uiMethod":false,"newStyle":{"paintFields":[{"mode":"edit","pfIndex":1,"color":{"swatchName":"Sky"}}]}})",
     "error", "Layer not found or empty"},
    // A swatch library that is not open, or does not hold the swatch, lets no other source stand in.
    {"SwatchFromAnUnknownLibrary", "makeSwatch",
     R"({"color":{"swatchName":"Book Red","swatchLibrary":"Nope","colorSpace":"Custom"}})", "error",
     "Can't find an input color"},
    {"SwatchTheLibraryLacks", "makeSwatch",
     R"({"color":{"swatchName":"Festival Pink","swatchLibrary":"Brand Book"}})", "error",
     "Can't create a swatch"},
    // The document's own swatch is kept, and the reply says the library was not read.
    {"SwatchTheDocumentHasAlready", "makeSwatch",
     R"({"color":{"swatchName":"Sky","swatchLibrary":"Brand Book"}})", "warning",
     "The document has this swatch already: the library was not read"},
    // With "newName" the artboard name only chooses the base, and one that names none is none.
    {"AddBesideAnUnknownArtboard", "editArtboards",
     R"({"mode":"add","artboardName":"Nope","newName":"Copy"})", "error", "Can't get an artboard"},
    // A target layer or target query that names nothing never sends the layer to the top.
    {"LayerAboveAnUnknownLayer", "editLayer", R"({"mode":"add","layerName":"Notes","targetLayer":"Nope"})",
     "error", "Can't find a layer"},
    {"LayerAboveNoTargetArt", "editLayer",
     R"({"mode":"edit","layerName":"Text","targetTagSearch":"nothing_here","location":"below"})", "error",
     "No artwork found"},
    {"LayerAboveTargetArtOnAnotherLayer", "editLayer",
     R"({"mode":"edit","layerName":"Text","targetLayer":"Background","targetTagSearch":"sun"})", "error",
     "No artwork found"},
    // Sources are never taken from every layer, copies never placed beside the sources instead.
    {"DuplicateFromAnUnknownLayer", "duplicate", R"({"tagSearch":"star","layerName":"Nope"})", "error",
     "No source artwork found"},
    {"DuplicateFromLayerZero", "duplicate", R"({"tagSearch":"star","layerNumber":0})", "error",
     "No source artwork found"},
    {"DuplicateToNoTargetArt", "duplicate", R"({"tagSearch":"star","targetTagSearch":"nothing_here"})",
     "error", "No target artwork found"},
    {"DuplicateToAnUnknownLayer", "duplicate", R"({"tagSearch":"star","targetLayerName":"Nope"})", "error",
     "Target layer not found"},
    {"MoveToNoTargetArt", "z-order", R"({"tagSearch":"star","targetTagSearch":"nothing_here"})", "error",
     "No target artwork found"},
    // The found art is not clipped for a layer that is not there, nor by an object of its own.
    {"ClipAnUnknownLayer", "makeClipGroup", R"({"tagSearch":"photo","layerName":"Nope"})", "error",
     "Layer not found"},
    {"ClipByNoClipObject", "makeClipGroup", R"({"tagSearch":"balloon","clipObject":"nothing_here"})", "error",
     "No artwork found"},
    {"ArrangeLayerZero", "arrange", R"({"layerNumber":0,"order":"moveToBack"})", "error", "Layer not found"},
    // A text style of that name that doesn't exist is said so, not read as no features.
    {"UnknownCharacterStyle", "getTextStyle", R"({"charStyle":"Nope"})", "error", "Named style not found"},
    {"UnknownParagraphStyle", "getTextStyle", R"({"paraStyle":"Nope"})", "error", "Named style not found"},
    // Features that apply a style the document lacks change no text, not even the other features.
    {"TextWithAnUnknownStyle", "text",
     R"({"tagSearch":"headline","searchText":"event","replaceText":"Fair","mode":1,"textFeatures":{"charStyle":"Nope","fontSize":30}})",
     "error", "Named style not found"},
    {"PlaceTextWithAnUnknownStyle", "place",
     R"({"textToPlace":"Hello","tagSearch":"flyer_photo","textFeatures":{"paraStyle":"Nope"}})", "error",
     "Named style not found"},
    // A file that is not there is not replaced by a symbol of the document.
    {"PlaceAMissingFileAsASymbol", "place", R"({"filePath":"no/such/file.png","symbolName":"Star"})", "error",
     "filePath not found"},
};

class NamesNothing : public PluginTest, public testing::WithParamInterface<NothingCase> {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        OpenExample("poster.json", 21);
        std::string error;
        ASSERT_TRUE(app->LoadSwatchLibrary(
            std::string(PLIM_SOURCE_DIR) + "/examples/libraries/brand-library.json", &error))
            << error;
    }

    std::string SavedText() {
        const host::model::WriteResult written = host::model::writeDocument(*app->CurrentDocument());
        EXPECT_TRUE(written.text) << written.error;
        return written.text.value_or("");
    }
};

TEST_P(NamesNothing, AnswersTheCommandsTextAndChangesNothing) {
    const NothingCase& c = GetParam();
    const std::string before = SavedText();
    json request = json::parse(c.request);
    request["uid"] = "n";
    const json reply = ScriptJson(c.command, request.dump());
    EXPECT_EQ(reply.value("uid", ""), "n");
    EXPECT_EQ(reply.value(c.key, ""), c.text) << reply.dump();
    if (std::string(c.key) == "warning") {
        EXPECT_FALSE(reply.contains("error")) << reply.dump();
    }
    EXPECT_EQ(SavedText(), before) << "the document changed";
}

INSTANTIATE_TEST_SUITE_P(Cases, NamesNothing, testing::ValuesIn(kNothingCases),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace

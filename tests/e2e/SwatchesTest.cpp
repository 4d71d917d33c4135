// makeSwatch and mergeSwatches on the appearance example, read back from the saved document.
#include "AppearanceFixture.h"

namespace {

struct MakeCase {
    const char* label;
    const char* request;
    const char* error;   // "" when none
    const char* swatch;  // the swatch to look at afterwards ("" none)
    const char* saved;   // its saved colour ("null": no such swatch)
};

const MakeCase kMakeCases[] = {
    {"NewRgbIsGlobal",
     R"({"color":{"swatchName":"Teal","colorSpace":"RGB","channel_1":0,"channel_2":128,"channel_3":128}})",
     "", "Teal", R"({"custom":"Teal"})"},
    {"NewGrayStaysProcess", R"({"color":{"swatchName":"Grey","colorSpace":"gray","channel_1":50}})", "",
     "Grey", R"({"gray":0.5})"},
    {"NumberNamesTheSwatch",
     R"({"color":{"colorSpace":"RGB","channel_1":255},"swatchNumber":8,"newName":"Lime"})", "", "Lime",
     R"({"rgb":[1.0,0.6,0.2]})"},
    {"NumberZero", R"({"color":{"colorSpace":"RGB"},"swatchNumber":0})",
     "Can't find a swatch name or a swatch number", "", "null"},
    {"NumberBeyondInt", R"({"color":{"colorSpace":"RGB"},"swatchNumber":99999999999})",
     "Can't find a swatch name or a swatch number", "", "null"},
    {"NumberBeyondFloat", R"({"color":{"colorSpace":"RGB"},"swatchNumber":1e20})",
     "Can't find a swatch name or a swatch number", "", "null"},
    {"NoColor", R"({"swatchNumber":1})", "Can't find an input color", "", "null"},
    {"GradientNamingNothing", R"({"color":{"swatchName":"Dusk","colorSpace":"Gradient"}})",
     "Can't create a swatch", "Dusk", "null"},
    {"FixedSwatchKeepsItsColour", R"({"color":{"colorSpace":"RGB","channel_1":5},"swatchNumber":2})",
     "Can't create a swatch", "[Registration]", R"({"cmyk":[1.0,1.0,1.0,1.0]})"},
    {"NoneMakesNoSwatch", R"({"color":{"swatchName":"N","colorSpace":"None"}})", "Can't create a swatch", "N",
     "null"},
    {"LibraryNoLibraryHas",
     R"({"color":{"swatchName":"Ghost","swatchLibrary":"Brand Book","colorSpace":"Custom"}})",
     "Can't create a swatch", "Ghost", "null"},
    {"LibraryColour",
     R"({"color":{"swatchName":"Book Red","swatchLibrary":"Brand Book","colorSpace":"Custom"}})", "",
     "Book Red", R"({"custom":"Book Red"})"},
    {"UnknownSpaceIsNamed", R"({"uid":"u","color":{"swatchName":"X","colorSpace":"Purple"}})",
     "Unknown color space: Purple", "X", "null"},
    {"TintOutOfRangeIsNoTint", R"({"color":{"swatchName":"Brand Blue","customColorTint":-50}})", "",
     "Brand Blue", R"({"custom":"Brand Blue"})"},
    {"ExistingSwatchChannel", R"({"color":{"swatchName":"Leaf","channel_1":255}})", "", "Leaf",
     R"({"rgb":[1.0,0.6,0.2]})"},
    {"ExistingSwatchBadChannelsKeepIt", R"({"color":{"swatchName":"Leaf","channel_1":300}})", "", "Leaf",
     R"({"rgb":[0.0,0.6,0.2]})"},
    {"GrayConvertsInverted",
     R"({"color":{"swatchName":"G","colorSpace":"Grayscale","channel_1":100,"destColorSpace":"rgb","global":false}})",
     "", "G", R"({"rgb":[0.0,0.0,0.0]})"},
    {"RgbToCmyk",
     R"({"color":{"swatchName":"C","colorSpace":"RGB","channel_1":255,"destColorSpace":"cmyk","global":false}})",
     "", "C", R"({"cmyk":[0.0,1.0,1.0,0.0]})"},
    {"RenameToTakenName", R"({"color":{"swatchName":"Leaf"},"newName":"Moss"})", "", "Leaf",
     R"({"rgb":[0.0,0.6,0.2]})"},
};

class MakeSwatch : public AppearanceTest, public testing::WithParamInterface<MakeCase> {};

TEST_P(MakeSwatch, AnswersAndSaves) {
    const MakeCase& c = GetParam();
    json request = json::parse(c.request);
    request["uid"] = "u";
    const json reply = ScriptJson("makeSwatch", request.dump());
    EXPECT_EQ(reply.at("uid"), "u");
    EXPECT_EQ(reply.value("error", ""), c.error) << reply.dump();
    if (*c.swatch != '\0') {
        EXPECT_EQ(SavedSwatch(c.swatch), json::parse(c.saved));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, MakeSwatch, testing::ValuesIn(kMakeCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(AppearanceTest, RenameWarnsWhenTheNameIsTaken) {
    const json reply = ScriptJson("makeSwatch", R"({"color":{"swatchName":"Leaf"},"newName":"Moss"})");
    EXPECT_EQ(reply.at("warning"), "Can't rename a swatch");
}

TEST_F(AppearanceTest, MergeReplacesUsesAndRemovesTheMerged) {
    EXPECT_EQ(ScriptJson("mergeSwatches", R"({"swatches":["Leaf","Moss","Nope","Leaf"]})"),
              json::parse(R"({"eventType":"mergeSwatches"})"));
    const json saved = Saved();
    EXPECT_TRUE(SavedSwatch("Moss").is_null());
    EXPECT_FALSE(SavedSwatch("Leaf").is_null());
    // The stroke that used Moss's colour now has Leaf's.
    const json& leafy = saved.at("layers")[0].at("children")[1].at("style").at("paintFields")[1];
    EXPECT_EQ(leafy.at("stroke").at("color"), json::parse(R"({"rgb":[0.0,0.6,0.2]})"));
}

TEST_F(AppearanceTest, MergeErrors) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({"swatches":["Moss"]})",
         R"({"eventType":"mergeSwatches","warning":"Can't merge a single swatch"})"},
        {R"({"swatches":"Moss"})",
         R"({"error":"Can't read a list of swatches to merge","eventType":"mergeSwatches"})"},
        {R"({"swatches":[]})", R"({"error":"No swatches to merge","eventType":"mergeSwatches"})"},
        {R"({"target":"Nope","swatches":["Moss"]})",
         R"({"error":"Can't get a target swatch","eventType":"mergeSwatches"})"},
        {R"({"target":"Leaf","swatches":["Leaf","Nope"]})",
         R"({"error":"No swatches to merge","eventType":"mergeSwatches"})"},
    };
    for (const auto& [request, expected] : cases) {
        EXPECT_EQ(ScriptJson("mergeSwatches", request), json::parse(expected)) << request;
    }
    EXPECT_FALSE(SavedSwatch("Moss").is_null());
}

}  // namespace

namespace {

// Commands that only read swatches and colours (failed ones included) leave the document's own
// state where it was: nothing in the change log, no undo step, the modified flag alone, so that an
// undo after them takes back the change before them.
TEST_F(AppearanceTest, ReadingSwatchesChangesNothing) {
    const auto reads = [&] {
        ScriptJson("getGraphicStyle", R"({"tagSearch":"card"})");
        ScriptJson("getObjectAttributes", R"({"tagSearch":"card"})");
        ScriptJson("mergeSwatches", R"({"target":"Nope","swatches":["Leaf"]})");
        ScriptJson("makeSwatch", R"({"color":{"swatchName":"Dusk","colorSpace":"Gradient"}})");
    };
    const host::model::DocumentColors* held = &app->CurrentDocument()->colors();
    reads();
    EXPECT_EQ(&app->CurrentDocument()->colors(), held);  // not copied for a change
    EXPECT_EQ(app->PastTransactions(), 0);
    EXPECT_FALSE(app->DocumentModified());

    ScriptJson("makeSwatch", R"({"color":{"swatchName":"Teal","colorSpace":"RGB","channel_2":128}})");
    ASSERT_EQ(app->PastTransactions(), 1);
    reads();
    EXPECT_EQ(app->PastTransactions(), 1);
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_TRUE(SavedSwatch("Teal").is_null());
    EXPECT_FALSE(SavedSwatch("Leaf").is_null());
}

}  // namespace

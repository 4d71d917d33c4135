// makeSwatch and mergeSwatches on the appearance example, read back from the saved document.
#include <functional>

#include "AppearanceFixture.h"
#include "ProgramRun.h"

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
    {"TintOfAnExistingSwatch", R"({"color":{"swatchName":"Brand Blue","customColorTint":30}})", "",
     "Brand Blue", R"({"custom":"Brand Blue","tint":0.7})"},
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

// An edit of an existing swatch that gives some channels: the others keep the values the swatch
// held, exactly, though they lie between the colour record's whole steps. The example's swatches
// are given such values first: Leaf RGB (0.85, 0.1, 0.35), Brand Blue's custom colour RGB (0.01,
// 0.333, 0.8), Spot Orange's CMYK (0.123, 0.5, 1, 0.07).
struct KeepCase {
    const char* label;
    const char* request;
    const char* swatch;
    const char* saved;       // the swatch's saved colour
    const char* components;  // its custom colour's saved components ("" for a process colour)
};

const KeepCase kKeepCases[] = {
    {"ProcessRgb", R"({"color":{"swatchName":"Leaf","colorSpace":"RGB","channel_1":0}})", "Leaf",
     R"({"rgb":[0.0,0.1,0.35]})", ""},
    {"ProcessEveryChannelGiven",
     R"({"color":{"swatchName":"Leaf","channel_1":0,"channel_2":51,"channel_3":102}})", "Leaf",
     R"({"rgb":[0.0,0.2,0.4]})", ""},
    {"NothingButTheName", R"({"color":{"swatchName":"Leaf"}})", "Leaf", R"({"rgb":[0.85,0.1,0.35]})", ""},
    {"CustomRgb", R"({"color":{"swatchName":"Brand Blue","channel_3":255}})", "Brand Blue",
     R"({"custom":"Brand Blue"})", "[0.01,0.333,1.0]"},
    {"CustomTintOnly", R"({"color":{"swatchName":"Brand Blue","customColorTint":30}})", "Brand Blue",
     R"({"custom":"Brand Blue","tint":0.7})", "[0.01,0.333,0.8]"},
    {"SpotCmyk", R"({"color":{"swatchName":"Spot Orange","channel_2":10}})", "Spot Orange",
     R"({"custom":"Spot Orange"})", "[0.123,0.1,1.0,0.07]"},
};

void PrintTo(const KeepCase& c, std::ostream* out) {
    *out << c.label;
}

class KeepStoredChannels : public AppearanceTest, public testing::WithParamInterface<KeepCase> {};

TEST_P(KeepStoredChannels, ThatTheRequestDoesNotGive) {
    const KeepCase& c = GetParam();
    json document =
        json::parse(testsupport::ReadFile(std::string(PLIM_SOURCE_DIR) + "/examples/appearance.json"));
    for (json& swatch : document["swatches"]) {
        if (swatch["name"] == "Leaf") {
            swatch["color"] = {{"rgb", {0.85, 0.1, 0.35}}};
        }
    }
    for (json& custom : document["customColors"]) {
        custom["components"] =
            custom["name"] == "Brand Blue" ? json{0.01, 0.333, 0.8} : json{0.123, 0.5, 1.0, 0.07};
    }
    const testsupport::ScratchFolder folder("keep_channels");
    OpenDocument(folder.Write("appearance.json", document.dump()), 13);
    const json reply = ScriptJson("makeSwatch", c.request);
    EXPECT_FALSE(reply.contains("error")) << reply.dump();
    EXPECT_EQ(SavedSwatch(c.swatch), json::parse(c.saved));
    if (*c.components == '\0') {
        return;
    }
    json components;
    for (const json& custom : Saved().value("customColors", json::array())) {
        if (custom["name"] == c.swatch) {
            components = custom["components"];
        }
    }
    EXPECT_EQ(components, json::parse(c.components));
}

INSTANTIATE_TEST_SUITE_P(Cases, KeepStoredChannels, testing::ValuesIn(kKeepCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(AppearanceTest, RenameWarnsWhenTheNameIsTaken) {
    const json reply = ScriptJson("makeSwatch", R"({"color":{"swatchName":"Leaf"},"newName":"Moss"})");
    EXPECT_EQ(reply.at("warning"), "Can't rename a swatch");
}

// A global swatch renamed by makeSwatch takes its custom colour's name along: a later edit by the
// new name changes that one colour, so the objects painted with it follow, also once the document
// has been saved and opened again.
struct RenameCase {
    const char* label;
    const char* make;  // makes or renames the swatch
    const char* oldName;
    const char* newName;
    int uses;              // objects painted with the colour
    int first;             // the value an edit by the new name gives the first channel
    const char* edited;    // the custom colour's components then
    int second;            // the value a second edit gives the second channel
    const char* reedited;  // the components then, once saved and opened again
};

const RenameCase kRenameCases[] = {
    {"GlobalRgbInUse", R"({"color":{"swatchName":"Brand Blue"},"newName":"Ocean"})", "Brand Blue", "Ocean", 1,
     255, "[1.0,0.2,0.8]", 255, "[1.0,1.0,0.8]"},
    {"SpotCmyk", R"({"color":{"swatchName":"Spot Orange"},"newName":"Signal"})", "Spot Orange", "Signal", 0,
     100, "[1.0,0.5,1.0,0.0]", 100, "[1.0,1.0,1.0,0.0]"},
    {"NewLabRenamedAsItIsMade",
     R"({"color":{"swatchName":"Sand","colorSpace":"Lab","channel_1":80,"channel_2":5,"channel_3":20},"newName":"Dune"})",
     "Sand", "Dune", 0, 100, "[100.0,5.0,20.0]", -60, "[100.0,-60.0,20.0]"},
};

class RenameSwatch : public AppearanceTest, public testing::WithParamInterface<RenameCase> {
protected:
    // The saved custom colours of the name.
    std::vector<json> CustomColors(const std::string& name) {
        std::vector<json> found;
        for (const json& custom : Saved().value("customColors", json::array())) {
            if (custom.at("name") == name) {
                found.push_back(custom);
            }
        }
        return found;
    }

    // How many colours of the saved layers paint the custom colour.
    int Uses(const std::string& name) {
        int uses = 0;
        const std::function<void(const json&)> walk = [&](const json& value) {
            if (value.is_object() && value.contains("custom") && value.at("custom") == name) {
                ++uses;
            }
            if (value.is_structured()) {
                for (const json& member : value) {
                    walk(member);
                }
            }
        };
        walk(Saved().at("layers"));
        return uses;
    }

    void ExpectOneColour(const RenameCase& c, const char* components) {
        const std::vector<json> colours = CustomColors(c.newName);
        ASSERT_EQ(colours.size(), 1u);
        EXPECT_EQ(colours[0].at("components"), json::parse(components));
        EXPECT_TRUE(CustomColors(c.oldName).empty());
        EXPECT_EQ(SavedSwatch(c.newName), json({{"custom", c.newName}}));
        EXPECT_EQ(Uses(c.newName), c.uses);
        EXPECT_EQ(Uses(c.oldName), 0);
    }
};

TEST_P(RenameSwatch, TheCustomColourFollowsAndKeepsItsObjects) {
    const RenameCase& c = GetParam();
    ASSERT_EQ(ScriptJson("makeSwatch", c.make), json::parse(R"({"eventType":"makeSwatch"})"));
    const std::size_t colours = Saved().at("customColors").size();
    EXPECT_TRUE(SavedSwatch(c.oldName).is_null());

    const json edit = {{"color", {{"swatchName", c.newName}, {"channel_1", c.first}}}};
    ASSERT_EQ(ScriptJson("makeSwatch", edit.dump()), json::parse(R"({"eventType":"makeSwatch"})"));
    ExpectOneColour(c, c.edited);
    EXPECT_EQ(Saved().at("customColors").size(), colours);

    Reopen();
    const json again = {{"color", {{"swatchName", c.newName}, {"channel_2", c.second}}}};
    ASSERT_EQ(ScriptJson("makeSwatch", again.dump()), json::parse(R"({"eventType":"makeSwatch"})"));
    ExpectOneColour(c, c.reedited);
    EXPECT_EQ(Saved().at("customColors").size(), colours);
}

INSTANTIATE_TEST_SUITE_P(Cases, RenameSwatch, testing::ValuesIn(kRenameCases),
                         [](const auto& info) { return std::string(info.param.label); });

// A copy kept in an art dictionary follows a renamed colour, so that putting it back gives a document
// whose saved file opens again; a recolour of the art itself leaves the copy as it was taken.
TEST_F(AppearanceTest, AKeptCopyFollowsARenamedColourAndTheSavedFileOpens) {
    ASSERT_FALSE(ScriptJson("copyToDictionary", R"({"tagSearch":"card"})").contains("error"));
    ASSERT_EQ(ScriptJson("makeSwatch", R"({"color":{"swatchName":"Brand Blue"},"newName":"Ocean"})"),
              json::parse(R"({"eventType":"makeSwatch"})"));
    ASSERT_FALSE(ScriptJson("restoreFromDictionary", R"({"tagSearch":"card"})").contains("error"));
    const testsupport::ScratchFolder scratch("kept_copy");
    const json save = {{"outputPath", scratch.Path().string()}, {"fileName", "kept.ai"}};
    ASSERT_EQ(ScriptJson("saveFile", save.dump()), json::parse(R"({"eventType":"saveFile"})"));
    const host::model::ReadResult reopened = host::model::openDocument(scratch.Path() / "kept.ai");
    ASSERT_TRUE(reopened.document) << reopened.error;
    const std::string text = testsupport::ReadFile((scratch.Path() / "kept.ai").string());
    EXPECT_EQ(text.find("Brand Blue"), std::string::npos);
    EXPECT_NE(text.find("Ocean"), std::string::npos);
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
    // The swatches every document keeps stay when they are named among the merged ones.
    EXPECT_EQ(ScriptJson("mergeSwatches", R"({"swatches":["Leaf","[None]","[Registration]"]})"),
              json::parse(R"({"eventType":"mergeSwatches"})"));
    EXPECT_FALSE(SavedSwatch("[None]").is_null());
    EXPECT_FALSE(SavedSwatch("[Registration]").is_null());
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

// Text painted with swatches' colours and nothing else: a point text "Note" whose first five
// characters fill with Spot Orange at half strength and whose last five are stroked with Moss's
// colour, and a character style filling with the colour of a swatch "Ink". The swatch commands treat
// these uses as any art's.
struct TextColourCase {
    const char* label;
    const char* command;
    const char* request;
    const char* pointer;   // into the saved document; null: look for the kept swatch instead
    const char* expected;  // the value there, or the name of a swatch that must stay
};

const TextColourCase kTextColourCases[] = {
    // A renamed global swatch takes its text along.
    {"RenameKeepsTheCharactersColour", "makeSwatch",
     R"({"color":{"swatchName":"Spot Orange"},"newName":"Signal"})",
     "/layers/0/children/3/story/runs/0/features/fillColor", R"({"custom":"Signal","tint":0.5})"},
    // Merged swatches recolour characters and text styles.
    {"MergeRecoloursCharacters", "mergeSwatches", R"({"swatches":["Leaf","Moss"]})",
     "/layers/0/children/3/story/runs/1/features/strokeColor", R"({"rgb":[0.0,0.6,0.2]})"},
    {"MergeRecoloursTextStyles", "mergeSwatches", R"({"swatches":["Leaf","Ink"]})",
     "/textStyles/character/Note style/fillColor", R"({"rgb":[0.0,0.6,0.2]})"},
    // Cleaning keeps the swatches only text paints with.
    {"CleanKeepsAGlobalSwatchOfCharacters", "cleanDocument", R"({"symbols":false})", nullptr, "Spot Orange"},
    {"CleanKeepsASwatchOfATextStyle", "cleanDocument", R"({"symbols":false})", nullptr, "Ink"},
};

class TextColours : public AppearanceTest, public testing::WithParamInterface<TextColourCase> {};

TEST_P(TextColours, FollowTheSwatchCommands) {
    const TextColourCase& c = GetParam();
    json document =
        json::parse(testsupport::ReadFile(std::string(PLIM_SOURCE_DIR) + "/examples/appearance.json"));
    document["layers"][0]["children"].push_back(
        json::parse(R"({"type":"textFrame","name":"Note","kind":"point",
        "frame":[0,0,0,0],"story":{"text":"aaaaabbbbb","runs":[
        {"length":5,"features":{"fillColor":{"custom":"Spot Orange","tint":0.5}}},
        {"length":5,"features":{"strokeColor":{"rgb":[0.2,0.4,0.2]}}}],"paragraphs":[{}]}})"));
    document["textStyles"] =
        json::parse(R"({"character":{"Note style":{"fillColor":{"rgb":[0.3,0.3,0.3]}}}})");
    document["swatches"].push_back(json::parse(R"({"color":{"rgb":[0.3,0.3,0.3]},"name":"Ink"})"));
    OpenDocumentText(document.dump(), 13);
    const json reply = ScriptJson(c.command, c.request);
    EXPECT_FALSE(reply.contains("error") || reply.contains("warning")) << reply.dump();
    if (c.pointer != nullptr) {
        EXPECT_EQ(Saved().value(json::json_pointer(c.pointer), json()), json::parse(c.expected));
        return;
    }
    EXPECT_FALSE(SavedSwatch(c.expected).is_null());
}

INSTANTIATE_TEST_SUITE_P(Cases, TextColours, testing::ValuesIn(kTextColourCases),
                         [](const auto& info) { return std::string(info.param.label); });

// Painting with a swatch that exists (art by a graphic style, a text style by its features) paints
// the swatch's colour, at the tint the paint asks for, and leaves the swatch as it is; a colour that
// differs from the swatch's changes it.
struct PaintCase {
    const char* label;
    std::vector<std::pair<const char*, const char*>> steps;   // command, request
    std::vector<std::pair<const char*, const char*>> checks;  // pointer into the saved document, value
};

const char* const kCardFill = "/layers/0/children/0/style/paintFields/0/fill/color";
const char* const kLeafyFill = "/layers/0/children/1/style/paintFields/0/fill/color";
const char* const kNoteStyleFill = "/textStyles/character/Note style/fillColor";

std::string PaintWith(const char* tag, const char* colour) {
    return std::string(R"({"uiMethod":false,"tagSearch":")") + tag +
           R"(","newStyle":{"paintFields":[{"mode":"edit","pfIndex":1,"color":)" + colour + "}]}}";
}

const PaintCase kPaintCases[] = {
    {"TintStaysWithThePaint",
     {{"editGraphicStyle", "card:{\"swatchName\":\"Brand Blue\",\"customColorTint\":30}"},
      {"editGraphicStyle", "leafy:{\"swatchName\":\"Brand Blue\"}"}},
     {{"/swatches/4/color", R"({"custom":"Brand Blue"})"},
      {kCardFill, R"({"custom":"Brand Blue","tint":0.7})"},
      {kLeafyFill, R"({"custom":"Brand Blue"})"},
      {"/customColors/0/components", "[0.0,0.2,0.8]"}}},
    {"ProcessSwatchPaintsItsOwnValues",
     {{"editGraphicStyle", "card:{\"swatchName\":\"Ink\"}"}},
     {{"/swatches/10/color", R"({"rgb":[0.85,0.3,0.3]})"}, {kCardFill, R"({"rgb":[0.85,0.3,0.3]})"}}},
    {"MergeFindsWhatTheSwatchPainted",
     {{"editGraphicStyle", "card:{\"swatchName\":\"Ink\"}"},
      {"mergeSwatches", R"({"swatches":["Ink"],"target":"Leaf"})"}},
     {{kCardFill, R"({"rgb":[0.0,0.6,0.2]})"}, {kNoteStyleFill, R"({"rgb":[0.0,0.6,0.2]})"}}},
    {"TextStyleTintStaysWithThePaint",
     {{"editTextStyle",
       R"({"charStyle":"Note style","newStyle":{"fillColor":{"swatchName":"Brand Blue","customColorTint":30}}})"}},
     {{"/swatches/4/color", R"({"custom":"Brand Blue"})"},
      {kNoteStyleFill, R"({"custom":"Brand Blue","tint":0.7})"}}},
    {"TextStyleWithAProcessSwatch",
     {{"editTextStyle", R"({"charStyle":"Note style","newStyle":{"fillColor":{"swatchName":"Leaf"}}})"},
      {"editGraphicStyle", "card:{\"swatchName\":\"Leaf\"}"},
      {"mergeSwatches", R"({"swatches":["Leaf"],"target":"Ink"})"}},
     {{kNoteStyleFill, R"({"rgb":[0.85,0.3,0.3]})"},
      {kCardFill, R"({"rgb":[0.85,0.3,0.3]})"},
      {kLeafyFill, R"({"rgb":[0.85,0.3,0.3]})"}}},
    {"ANewProcessColourChangesTheSwatch",
     {{"editGraphicStyle",
       "card:{\"swatchName\":\"Ink\",\"colorSpace\":\"RGB\",\"channel_1\":255,\"channel_2\":0,\"channel_3\":"
       "0,\"global\":false}"}},
     {{"/swatches/10/color", R"({"rgb":[1.0,0.0,0.0]})"}, {kCardFill, R"({"rgb":[1.0,0.0,0.0]})"}}},
    {"ANewGlobalColourChangesTheCustomColour",
     {{"editGraphicStyle",
       "card:{\"swatchName\":\"Brand Blue\",\"colorSpace\":\"RGB\",\"channel_1\":255,\"channel_2\":0,"
       "\"channel_3\":0,\"global\":true,"
       "\"customColorTint\":50}"}},
     {{"/swatches/4/color", R"({"custom":"Brand Blue"})"},
      {"/customColors/0/components", "[1.0,0.0,0.0]"},
      {kCardFill, R"({"custom":"Brand Blue","tint":0.5})"}}},
};

class PaintWithASwatch : public AppearanceTest, public testing::WithParamInterface<PaintCase> {};

TEST_P(PaintWithASwatch, LeavesTheSwatchAsItIs) {
    json document =
        json::parse(testsupport::ReadFile(std::string(PLIM_SOURCE_DIR) + "/examples/appearance.json"));
    // A swatch whose values lie between the steps a colour record holds, and a text style it paints.
    document["swatches"].push_back(json::parse(R"({"color":{"rgb":[0.85,0.3,0.3]},"name":"Ink"})"));
    document["textStyles"] =
        json::parse(R"({"character":{"Note style":{"fillColor":{"rgb":[0.85,0.3,0.3]}}}})");
    OpenDocumentText(document.dump(), 13);
    for (const auto& [command, request] : GetParam().steps) {
        std::string text = request;
        if (std::string(command) == "editGraphicStyle") {
            const std::size_t colon = text.find(':');
            text = PaintWith(text.substr(0, colon).c_str(), text.substr(colon + 1).c_str());
        }
        const json reply = ScriptJson(command, text);
        EXPECT_FALSE(reply.contains("error") || reply.contains("warning")) << command << reply.dump();
    }
    const json saved = Saved();
    for (const auto& [pointer, expected] : GetParam().checks) {
        EXPECT_EQ(saved.value(json::json_pointer(pointer), json()), json::parse(expected)) << pointer;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PaintWithASwatch, testing::ValuesIn(kPaintCases),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace

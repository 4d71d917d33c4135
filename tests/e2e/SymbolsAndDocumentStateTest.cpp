// Symbols placed by "place" (from files, by name, from the arrowhead library), the XMP packet kept
// with the document, and the document commands' failure paths: a failed command leaves the
// document and the files as they were.
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include <lodepng.h>

#include "AIFolders.h"
#include "PluginFixture.h"
#include "ProgramRun.h"

namespace {

namespace fs = std::filesystem;
using host::model::ArtId;
using host::model::ArtType;
using host::model::Rect;

// The arrowhead library: one symbol, a 10 x 4 triangle.
constexpr const char* kArrowheads = R"({"format": "plimhost-document", "version": 1, "layers": [],
  "symbols": [{"name": "Arrow 7", "art": {"type": "path", "closed": true,
    "segments": [{"anchor": [0, 0]}, {"anchor": [10, 2]}, {"anchor": [0, 4]}]}}]})";

using testsupport::Replace;

// Members are public: the cases' checks read them.
class DocumentState : public testing::Test {
public:
    void SetUp() override {
        library = scratch.Path() / "library";
        fs::create_directories(library);
        std::ofstream(library / "Arrowheads.ai") << kArrowheads;
        host::ApplicationOptions options = PluginOptions();
        options.folders[kAIArrowheadsFolderType] = library;
        app = std::make_unique<host::Application>(options);
        ASSERT_EQ(app->Startup(), kNoErr) << app->LoadError();
        ASSERT_EQ(app->NotifyApplicationStarted(), kNoErr);
        auto opened = host::model::openDocument(std::string(PLIM_SOURCE_DIR) + "/examples/shapes.json", 17);
        ASSERT_TRUE(opened.document) << opened.error;
        app->SetDocument(std::make_unique<host::model::Document>(std::move(*opened.document)));
        // "Star": the red square (0, 0) to (100, 100) as a symbol.
        Document().editSymbols().add("Star", *Document().copyOf(Tagged("red").front()));
        Document().takeChanges();
        // A 40 x 20 pixel image at 144 pixels per inch: 20 x 10 points.
        std::vector<unsigned char> rgba(40 * 20 * 4, 255);
        lodepng::State state;
        state.info_png.phys_defined = 1;
        state.info_png.phys_x = state.info_png.phys_y = 5669;
        state.info_png.phys_unit = 1;
        std::vector<unsigned char> png;
        ASSERT_EQ(lodepng::encode(png, rgba, 40, 20, state), 0u);
        scratch.Write("red.png", std::string(png.begin(), png.end()));
        scratch.Write("note.txt", "Hello\r\nworld");
        scratch.Write("a.ai", testsupport::ReadFile(std::string(PLIM_SOURCE_DIR) + "/examples/sample.json"));
    }

    host::model::Document& Document() { return *app->CurrentDocument(); }

    std::vector<ArtId> Tagged(const std::string& tag) { return ArtTagged(Document(), tag); }

    json ScriptJsonOf(const std::string& name, const std::string& request) {
        const host::ScriptResult result = app->ScriptMessage(name, request);
        EXPECT_EQ(result.error, kNoErr) << name;
        return json::parse(result.output);
    }

    std::vector<std::string> SymbolNames() {
        std::vector<std::string> names;
        for (const host::model::Symbol& symbol : Document().symbols()) {
            names.push_back(symbol.name);
        }
        return names;
    }

    // Every file below the scratch folder with its bytes.
    std::map<std::string, std::string> Files() {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(scratch.Path())) {
            files[entry.path().string()] = entry.is_regular_file() ? testsupport::ReadFile(entry.path()) : "";
        }
        return files;
    }

    Rect Bounds(ArtId art) { return *Document().bounds(art, host::model::BoundsKind::geometric); }

    testsupport::ScratchFolder scratch{"document-state"};
    fs::path library;
    std::unique_ptr<host::Application> app;
};

void ExpectBounds(const Rect& actual, const Rect& expected) {
    EXPECT_NEAR(actual.left, expected.left, 0.01);
    EXPECT_NEAR(actual.top, expected.top, 0.01);
    EXPECT_NEAR(actual.right, expected.right, 0.01);
    EXPECT_NEAR(actual.bottom, expected.bottom, 0.01);
}

// A command ($ stands for the scratch folder), the error it must answer ("" for none), and what
// must hold afterwards. A failing command must leave the document and every file as they were.
struct StateCase {
    const char* name;
    const char* command;
    const char* request;
    const char* error;
    std::function<void(DocumentState&)> check;
};

class DocumentStateCases : public DocumentState, public testing::WithParamInterface<StateCase> {};

TEST_P(DocumentStateCases, AnswerAndLeaveTheState) {
    const StateCase& c = GetParam();
    const host::model::Document before = Document();
    const std::map<std::string, std::string> files = Files();
    const int documents = app->DocumentCount();
    const json reply = ScriptJsonOf(c.command, Replace(c.request, "$", scratch.Path().string()));
    EXPECT_EQ(reply.value("error", ""), c.error) << reply;
    if (*c.error != '\0') {
        EXPECT_TRUE(Document() == before) << c.name;
        EXPECT_EQ(Files(), files);
        EXPECT_EQ(app->DocumentCount(), documents);
    }
    if (c.check) {
        c.check(*this);
    }
}

const StateCase kStateCases[] = {
    // A placed file becomes a symbol named by the file, and an instance of it where the file was.
    {"PlaceAFileAsASymbol", "place", R"({"filePath":"$/red.png","placeAsSymbol":true,"tags":["placed"]})", "",
     [](DocumentState& t) {
         EXPECT_EQ(t.SymbolNames(), (std::vector<std::string>{"Star", "red"}));
         ASSERT_EQ(t.Tagged("placed").size(), 1u);
         const ArtId instance = t.Tagged("placed").front();
         EXPECT_EQ(*t.Document().type(instance), ArtType::symbol);
         EXPECT_NEAR(t.Bounds(instance).width(), 20, 0.01);
         EXPECT_NEAR(t.Bounds(instance).height(), 10, 0.01);
     }},
    {"PlaceAFileAsANamedSymbolIntoAContainer", "place",
     R"({"filePath":"$/red.png","symbolName":"Logo","tagSearch":"blue","fittingMethod":"fit","tags":["placed"]})",
     "",
     [](DocumentState& t) {
         EXPECT_EQ(t.SymbolNames(), (std::vector<std::string>{"Star", "Logo"}));
         ASSERT_EQ(t.Tagged("placed").size(), 1u);
         ExpectBounds(t.Bounds(t.Tagged("placed").front()), Rect(50, 150, 150, 50));
         EXPECT_TRUE(t.Tagged("blue").front() == t.Tagged("placed").front());  // the container's tags moved
     }},
    // A symbol of the document by name, fitted into the container: no new symbol.
    {"PlaceASymbolByNameIntoAContainer", "place",
     R"({"symbolName":"Star","tagSearch":"lime","fittingMethod":"fit","tags":["placed"]})", "",
     [](DocumentState& t) {
         EXPECT_EQ(t.SymbolNames(), (std::vector<std::string>{"Star"}));
         ASSERT_EQ(t.Tagged("placed").size(), 1u);
         EXPECT_EQ(t.Document().symbolUses().used(0x4F).size(), 1u);
     }},
    // Not in the document: brought in from the arrowhead library.
    {"PlaceAnArrowheadFromTheLibrary", "place", R"({"symbolName":"Arrow 7","tags":["placed"]})", "",
     [](DocumentState& t) {
         EXPECT_EQ(t.SymbolNames(), (std::vector<std::string>{"Star", "Arrow 7"}));
         ASSERT_EQ(t.Tagged("placed").size(), 1u);
         const Rect bounds = t.Bounds(t.Tagged("placed").front());
         EXPECT_NEAR(bounds.width(), 10, 0.01);
         EXPECT_NEAR(bounds.height(), 4, 0.01);
     }},
    {"PlaceAnUnknownSymbol", "place", R"({"symbolName":"Moon","tagSearch":"blue"})",
     "Cant't get a symbol by name", nullptr},
    {"PlaceWithAFlagOfTheWrongType", "place", R"({"symbolName":"Star","placeAsSymbol":"yes"})",
     "\"placeAsSymbol\" must be true or false", nullptr},
    // Text flows into area text made from each container's shape.
    {"PlaceTextIntoAPath", "place", R"({"textToPlace":"Hello","tagSearch":"blue","tags":["placed"]})", "",
     [](DocumentState& t) {
         ASSERT_EQ(t.Tagged("placed").size(), 1u);
         const ArtId frame = t.Tagged("placed").front();
         ASSERT_EQ(*t.Document().type(frame), ArtType::textFrame);
         EXPECT_EQ(t.Document().story(frame)->utf8(), "Hello");
         ExpectBounds(t.Bounds(frame), Rect(50, 150, 150, 50));
         EXPECT_EQ(t.Tagged("blue"), t.Tagged("placed"));  // the container went, its tags moved
     }},
    // The request's text features reach the placed text, in a container and without one.
    {"PlaceTextWithFeatures", "place",
     R"({"textToPlace":"Hello","tagSearch":"blue","tags":["placed"],"textFeatures":{"fontSize":20}})", "",
     [](DocumentState& t) {
         ASSERT_EQ(t.Tagged("placed").size(), 1u);
         const ArtId frame = t.Tagged("placed").front();
         EXPECT_EQ(t.Document().story(frame)->effectiveChar(4, t.Document().textStyles()).fontSize, 20.0);
     }},
    {"PlaceATextFileWithFeatures", "place",
     R"({"filePath":"$/note.txt","tags":["placed"],"textFeatures":{"fontSize":30}})", "",
     [](DocumentState& t) {
         ASSERT_EQ(t.Tagged("placed").size(), 1u);
         const ArtId frame = t.Tagged("placed").front();
         EXPECT_EQ(t.Document().story(frame)->effectiveChar(7, t.Document().textStyles()).fontSize, 30.0);
     }},
    {"PlaceTextWithAnUnknownColorSpace", "place",
     R"({"textToPlace":"Hello","tagSearch":"blue","textFeatures":{"fillColor":{"colorSpace":"Hex"}}})",
     "Unknown color space: Hex", nullptr},
    {"PlaceATextFileIntoTwoPaths", "place",
     R"({"filePath":"$/note.txt","tagSearch":"greens","plainText":true,"tags":["placed"]})", "",
     [](DocumentState& t) {
         ASSERT_EQ(t.Tagged("placed").size(), 2u);
         for (const ArtId frame : t.Tagged("placed")) {
             EXPECT_EQ(t.Document().story(frame)->utf8(), "Hello\rworld");
         }
         EXPECT_TRUE(t.Tagged("word").size() == 1u);  // the placed file itself went
     }},
    {"PlaceTextIntoACompoundPath", "place", R"({"textToPlace":"Hello","tagSearch":"ring","tags":["placed"]})",
     "",
     [](DocumentState& t) {
         EXPECT_TRUE(t.Tagged("placed").empty());
         EXPECT_EQ(t.Tagged("ring").size(), 1u);
     }},
    // The document commands' failures.
    {"OpenAMissingFile", "openFile", R"({"filePath":"$/none.ai"})", "File path not found", nullptr},
    {"OpenAFileThatIsNoDocument", "openFile", R"({"filePath":"$/red.png"})", "Can't open a file", nullptr},
    {"OpenWithAColorModeOfTheWrongType", "openFile", R"({"filePath":"$/a.ai","colorMode":1})",
     "\"colorMode\" must be a string", nullptr},
    {"SetAnUnknownColorMode", "setDocumentColorMode", R"({"colorMode":"lab"})", "No valid color mode",
     nullptr},
    {"SaveWithoutAFile", "saveFile", "{}", "File path not found", nullptr},
    {"SaveIntoAFolderThatIsAFile", "saveFile", R"({"outputPath":"$/red.png/out","fileName":"c.ai"})",
     "Can't create output directory", nullptr},
    {"RevertWithoutAFile", "revert", "{}", "FilePath not found", nullptr},
    {"CloseADocumentThatIsNotOpen", "closeDocument", R"({"filePath":"$/a.ai","deleteFile":true})",
     "Can't close a document", nullptr},
    {"CopyAFolder", "copyFile", R"({"source":"$/library","destination":"$/a.ai"})", "Can't copy a file",
     nullptr},
    {"CopyOntoItself", "copyFile", R"({"source":"$/a.ai","destination":"$/library/../a.ai"})",
     "Source and destination are the same", nullptr},
    {"SaveACloudDocumentWithoutACloud", "saveCloudFile", R"({"filePath":"x.ai"})",
     "Can't save a cloud document", nullptr},
};

INSTANTIATE_TEST_SUITE_P(Documents, DocumentStateCases, testing::ValuesIn(kStateCases),
                         [](const testing::TestParamInfo<StateCase>& info) { return info.param.name; });

// A new document carries the default packet, which declares what the plug-in writes and holds no
// dates: saving twice gives the same bytes, and the packet comes back when the file is opened.
TEST_F(DocumentState, TheXmpPacketIsSavedWithTheDocument) {
    app->NewDocument();
    const std::string packet = Document().xmp();
    EXPECT_FALSE(app->DocumentModified());
    for (const char* prefix :
         {"xmlns:dc=", "xmlns:xmp=", "xmlns:xmpRights=", "xmlns:photoshop=", "xmlns:rdf="}) {
        EXPECT_NE(packet.find(prefix), std::string::npos) << prefix;
    }
    EXPECT_EQ(packet.find("Date"), std::string::npos);
    const std::string folder = scratch.Path().string();
    const json save = json{{"outputPath", folder}, {"fileName", "new.ai"}};
    EXPECT_FALSE(ScriptJsonOf("saveFile", save.dump()).contains("error"));
    const std::string first = testsupport::ReadFile(folder + "/new.ai");
    EXPECT_FALSE(ScriptJsonOf("saveFile", save.dump()).contains("error"));
    EXPECT_EQ(testsupport::ReadFile(folder + "/new.ai"), first);
    EXPECT_FALSE(ScriptJsonOf("openFile", json{{"filePath", folder + "/new.ai"}}.dump()).contains("error"));
    EXPECT_EQ(Document().xmp(), packet);
}

// openFile reports the raster-effect resolution when the document dictionary holds one.
TEST_F(DocumentState, OpenFileReportsTheRasterEffectResolution) {
    host::model::Document document;
    host::model::Dictionary settings;
    settings.setInteger("dpi.", 300);
    document.editDocumentDictionary().setDictionary("AI Auto Rasterize", settings);
    const fs::path path = scratch.Path() / "raster.ai";
    ASSERT_TRUE(host::model::saveDocument(document, path));
    EXPECT_EQ(ScriptJsonOf("openFile", json{{"filePath", path.string()}}.dump())["rasterEffectResolution"],
              300);
    const fs::path plain = scratch.Path() / "a.ai";
    EXPECT_FALSE(ScriptJsonOf("openFile", json{{"filePath", plain.string()}}.dump())
                     .contains("rasterEffectResolution"));
}

}  // namespace

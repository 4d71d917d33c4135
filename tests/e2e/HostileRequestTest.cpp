// Every command of the command table, through every way in that takes it, given requests that are
// wrong in every way a client can be wrong: each answers with a reply that echoes the request's
// "uid", and the application keeps running: nothing crashes, nothing is thrown into the host.
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "CommandTableRows.h"
#include "PluginFixture.h"

namespace {

// Requests whose "uid" can't be read back, or that are no object at all.
const char* const kUnreadableRequests[] = {"", "[]", "null", "\"text\"", "12", "{", "{\"uid\":5}"};

// Requests that fail in every other way; each carries the uid "h".
const char* const kFailingRequests[] = {
    "{\"uid\":\"h\"}",
    "{\"uid\":\"h\",\"tagSearch\":5}",
    "{\"uid\":\"h\",\"tagSearch\":\"(\"}",
    "{\"uid\":\"h\",\"tagSearch\":\"logo\",\"tags\":[1,2],\"seriesTag\":7,\"data\":5}",
    "{\"uid\":\"h\",\"tagSearch\":\"logo\",\"units\":\"parsecs\",\"deltaX\":1e308,\"deltaY\":-1e308}",
    "{\"uid\":\"h\",\"tagSearch\":\"logo\",\"units\":\"in\",\"deltaX\":1e308,\"distance\":1e308,\"angle\":0,"
    "\"gap\":1e308,\"absOffset\":1e308,\"scale\":1e308,\"x\":1e308}",
    "{\"uid\":\"h\",\"tagSearch\":\"logo\",\"rotation\":\"x\",\"scale\":-0.0,\"numberOfCopies\":2147483647}",
    "{\"uid\":\"h\",\"tagSearch\":\"logo|photo|cell\",\"mode\":\"unite\",\"resolution\":\"x\","
    "\"artboardNumber\":-3}",
    "{\"uid\":\"h\",\"tagSearch\":\"*\",\"data\":[{\"eventType\":\"com.torvi.event.remove\",\"data\":{}}]}",
    "{\"uid\":\"h\",\"tagSearch\":\":nthChild(logo, 99999999999n+-99999999999)\",\"key\":[]}",
    "{\"uid\":\"h\",\"layerNumber\":2147483647,\"layerName\":\"\\u0000\",\"artboards\":[{\"width\":-1}]}",
};

std::string BatchOf(const std::string& name, const std::string& data) {
    return json{
        {"data", json::array({json{{"eventType", "com.torvi.event." + name}, {"data", json::parse(data)}}})}}
        .dump();
}

class HostileRequests : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        OpenExample("sample.json", 3);
    }

    // The JSON reply of a script message; checks that it is an object.
    json ScriptReply(const Row& row, const std::string& request) {
        const host::ScriptResult result = app->ScriptMessage(row.name, request);
        EXPECT_EQ(result.error, kNoErr) << row.name << " " << request;
        if (!row.RepliesWithJson()) {
            EXPECT_EQ(result.output, "") << row.name;
            return json::object();
        }
        const json reply = json::parse(result.output, nullptr, false);
        EXPECT_TRUE(reply.is_object()) << row.name << " answered " << result.output;
        return reply;
    }

    // The JSON reply that a panel event gets, when the row answers with one.
    std::optional<json> PanelReply(const Row& row, const std::string& request) {
        app->Panel().ClearDispatched();
        app->Panel().Send(std::string("com.torvi.event.") + row.name, request, "com.example.asker");
        const auto events = app->Panel().TakeDispatched();
        if (!row.RepliesWithJson()) {
            return std::nullopt;
        }
        EXPECT_EQ(events.size(), 1u) << row.name;
        return events.empty() ? json::object() : json::parse(events.back().data, nullptr, false);
    }
};

TEST_F(HostileRequests, EveryCommandAnswersAnUnreadableRequest) {
    for (const char* request : kUnreadableRequests) {
        for (const Row& row : kRows) {
            if ((row.ways & kByScript) != 0) {
                EXPECT_FALSE(ScriptReply(row, request).contains("uid")) << row.name << " " << request;
            }
        }
    }
    EXPECT_EQ(app->ContextDepth(), 0);
    EXPECT_TRUE(app->IsStarted());
}

TEST_F(HostileRequests, EveryCommandEchoesTheUidOfAFailingRequestOnEveryWayIn) {
    for (const char* request : kFailingRequests) {
        for (const Row& row : kRows) {
            if ((row.ways & kByScript) != 0 && row.RepliesWithJson()) {
                EXPECT_EQ(ScriptReply(row, request).value("uid", ""), "h") << row.name << " " << request;
            }
            if ((row.ways & kByPanel) != 0) {
                if (const std::optional<json> reply = PanelReply(row, request)) {
                    EXPECT_EQ(reply->value("uid", ""), "h") << row.name << " " << request;
                }
            }
            if ((row.ways & kInBatch) != 0) {
                const json reply = json::parse(Script("batchCall", BatchOf(row.name, request)));
                EXPECT_EQ(reply["data"][0]["data"].value("uid", ""), "h") << row.name << " " << request;
            }
        }
    }
    EXPECT_EQ(app->ContextDepth(), 0);
    EXPECT_TRUE(app->IsStarted());
}

// A name that no row has is answered by every way in, the uid echoed where it can be read.
TEST_F(HostileRequests, UnknownNamesAreAnswered) {
    EXPECT_EQ(Script("noSuchCommand", R"({"uid":"h"})"),
              R"({"error":"Unknown event type: noSuchCommand","uid":"h"})");
    const json reply = json::parse(Script("batchCall", BatchOf("noSuchCommand", "{}")));
    EXPECT_EQ(reply["data"][0]["error"], "Unknown eventType: noSuchCommand");
    for (const Row& row : kRows) {
        if ((row.ways & kByScript) == 0) {
            EXPECT_EQ(Script(row.name, "{}"),
                      std::string(R"({"error":"Unknown event type: )") + row.name + "\"}");
        }
        if ((row.ways & kInBatch) == 0) {
            EXPECT_EQ(json::parse(Script("batchCall", BatchOf(row.name, "{}")))["data"][0]["error"],
                      std::string("Unknown eventType: ") + row.name);
        }
    }
}

// The saved form of the current document, byte for byte.
std::string SavedText(host::Application& app) {
    // One name per process: test programs of other build trees may run at the same time.
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("plim-hostile-saved-" + std::to_string(::getpid()) + ".json");
    std::string error;
    EXPECT_TRUE(host::model::saveDocument(*app.CurrentDocument(), file, &error)) << error;
    std::ifstream stream(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    std::filesystem::remove(file);
    return text;
}

struct Refusal {
    const char* name;
    const char* request;
    const char* error;
};

// Requests that can't be carried out, each answered with an error before anything changes.
const Refusal kRefusals[] = {
    {"translate", R"({"tagSearch":"cell","units":"in","deltaX":1e308})", "\"deltaX\" is out of range"},
    {"translate", R"({"tagSearch":"cell","units":"in","distance":1e308,"angle":45})",
     "\"distance\" is out of range"},
    {"transform", R"({"tagSearch":"cell","units":"in","deltaX":1e308})", "\"deltaX\" is out of range"},
    {"transform", R"({"tagSearch":"cell","units":"in","x":1e308})", "\"x\" is out of range"},
    {"transform", R"({"tagSearch":"cell","units":"in","width":1e308})", "\"width\" is out of range"},
    {"transform", R"({"tagSearch":"cell","scale":1e300})",
     "The application refused to transform the objects"},
    {"alignObjects", R"({"tagSearch":"cell","units":"in","absOffset":1e308})",
     "\"absOffset\" is out of range"},
    {"distributeObjects", R"({"tagSearch":"cell","units":"in","gap":1e308})", "\"gap\" is out of range"},
    {"rasterize", R"({"tagSearch":"logo","resolution":"300"})", "\"resolution\" must be a number"},
    {"rasterize", R"({"tagSearch":"logo","colorSpace":1})", "\"colorSpace\" must be a string"},
    {"rasterize", R"({"tagSearch":"logo","antiAlias":1})", "\"antiAlias\" must be true or false"},
    {"rasterize", R"({"tagSearch":"logo","preserveSpotColors":"yes"})",
     "\"preserveSpotColors\" must be true or false"},
    {"rasterize", R"({"tagSearch":"logo","lzwCompression":null})",
     "\"lzwCompression\" must be true or false"},
    // The text engine reads a style's name up to its first NUL: the style before it must stay as it is.
    {"editTextStyle", R"({"charStyle":"Normal Character Style\u0000x","newStyle":{"fontSize":30}})",
     "\"charStyle\" must not contain a NUL character"},
    {"editTextStyle",
     R"({"paraStyle":"Normal Paragraph Style\u0000","newStyle":{"fontSize":30},"replace":true})",
     "\"paraStyle\" must not contain a NUL character"},
    {"getTextStyle", R"({"charStyle":"Normal Character Style\u0000x"})",
     "\"charStyle\" must not contain a NUL character"},
    // The application keeps the names of art, layers, artboards, swatches, graphic styles and symbols,
    // and art's notes and links, as strings that end at the first NUL: such a name is refused whole.
    {"setObjectAttributes", R"({"tagSearch":"logo","name":"Logo\u0000x"})",
     "\"name\" must not contain a NUL character"},
    {"setObjectAttributes", R"({"tagSearch":"logo","note":"\u0000"})",
     "\"note\" must not contain a NUL character"},
    {"setObjectAttributes", R"({"tagSearch":"logo","url":"https://x\u0000y"})",
     "\"url\" must not contain a NUL character"},
    {"setObjectAttributes", R"({"tagSearch":"logo","layer":"a\u0000"})",
     "\"layer\" must not contain a NUL character"},
    {"editLayer", R"({"mode":"add","layerName":"Notes\u0000x"})",
     "\"layerName\" must not contain a NUL character"},
    {"editLayer", R"({"mode":"edit","layerNumber":1,"newName":"Top\u0000"})",
     "\"newName\" must not contain a NUL character"},
    {"editLayer", R"({"mode":"add","layerName":"Notes","newName":"N\u0000"})",
     "\"newName\" must not contain a NUL character"},
    {"editArtboards", R"({"mode":"add","artboardName":"Extra\u0000"})",
     "\"artboardName\" must not contain a NUL character"},
    {"editArtboards", R"({"mode":"add","artboardName":"Poster","newName":"Copy\u0000x"})",
     "\"newName\" must not contain a NUL character"},
    {"editArtboards", R"({"mode":"edit","artboardNumber":1,"newName":"\u0000"})",
     "\"newName\" must not contain a NUL character"},
    {"makeSwatch", R"({"color":{"swatchName":"Lemon\u0000x","colorSpace":"RGB","channel_1":255}})",
     "\"swatchName\" must not contain a NUL character"},
    {"makeSwatch", R"({"color":{"swatchName":"White","colorSpace":"RGB"},"newName":"Paper\u0000"})",
     "\"newName\" must not contain a NUL character"},
    {"editGraphicStyle",
     R"({"tagSearch":"logo","uiMethod":false,"newStyle":{"paintFields":[{"mode":"edit","pfIndex":1,"color":{"swatchName":"Ink\u0000","colorSpace":"RGB","channel_1":9,"global":true}}]}})",
     "Can't read the new style"},
    {"createGraphicStyle", R"({"tagSearch":"logo","styleName":"Sunny\u0000x"})",
     "\"styleName\" must not contain a NUL character"},
    {"place", R"({"symbolName":"Mark\u0000x"})", "\"symbolName\" must not contain a NUL character"},
    // A key of the wrong type is named, as every request reader names it.
    {"mergeSwatches", R"({"target":5,"swatches":["White","Black"]})", "\"target\" must be a string"},
    {"makeSwatch", R"({"color":{"swatchName":5,"colorSpace":"RGB"}})", "\"swatchName\" must be a string"},
    {"makeSwatch", R"({"color":"red"})", "\"color\" must be an object"},
    {"makeSwatch", R"({"color":[]})", "\"color\" must be an object"},
    {"makeSwatch", R"({"color":{"swatchName":"White","colorSpace":"RGB"},"newName":5})",
     "\"newName\" must be a string"},
    {"makeSwatch", R"({"color":{"colorSpace":"RGB"},"swatchNumber":"2"})",
     "\"swatchNumber\" must be a number"},
    {"makeSwatch", R"({"color":{"swatchName":"S","colorSpace":5}})", "\"colorSpace\" must be a string"},
    {"makeSwatch", R"({"color":{"swatchName":"S","colorSpace":"RGB","swatchLibrary":[]}})",
     "\"swatchLibrary\" must be a string"},
    {"makeSwatch", R"({"color":{"swatchName":"S","colorSpace":"RGB","destColorSpace":true}})",
     "\"destColorSpace\" must be a string"},
    {"makeSwatch", R"({"color":{"swatchName":"S","colorSpace":"RGB","spot":"yes"}})",
     "\"spot\" must be true or false"},
};

TEST_F(HostileRequests, RefusedRequestsLeaveTheDocumentAsItWas) {
    const std::string before = SavedText(*app);
    for (const Refusal& refusal : kRefusals) {
        const json reply = ScriptJson(refusal.name, refusal.request);
        EXPECT_EQ(reply.value("error", ""), refusal.error) << refusal.name << " " << refusal.request;
        EXPECT_EQ(reply.dump().find("null"), std::string::npos) << reply;
        EXPECT_EQ(SavedText(*app), before) << refusal.name << " " << refusal.request;
    }
    // Every transformation refused by the application: an error, and nothing moved.
    app->Faults().FailOperation("AI Transform Art Suite", "TransformArt", FourCharCode("FAIL"));
    for (const char* name : {"translate", "rotate", "transform", "alignObjects", "distributeObjects"}) {
        const json reply =
            ScriptJson(name, R"({"tagSearch":"cell","deltaX":5,"rotation":5,"anchorPoint":"L"})");
        EXPECT_EQ(reply.value("error", ""), "The application refused to transform the objects")
            << name << reply;
        EXPECT_EQ(SavedText(*app), before) << name;
    }
    // Some refused: the others move, and the reply warns.
    app->Faults().Clear();
    app->Faults().FailOperation("AI Transform Art Suite", "TransformArt", FourCharCode("FAIL"), 2);
    const json reply = ScriptJson("translate", R"({"tagSearch":"cell","deltaX":5})");
    EXPECT_EQ(reply.value("warning", ""),
              "Objects the application refused to transform were left as they were");
    EXPECT_FALSE(reply.contains("error"));
}

// A request nested far deeper than any client writes is refused before anything works on it.
TEST_F(HostileRequests, DeepRequestsAreRefused) {
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const std::string batch =
        R"({"data":[{"eventType":"com.torvi.event.comment","data":{"a":)" + deep + "}}]}";
    EXPECT_EQ(Script("batchCall", batch),
              R"({"error":"The request is nested too deeply","eventType":"batchCall"})");
    EXPECT_EQ(Script("setTags", R"({"tags":)" + deep + "}"),
              R"({"error":"The request is nested too deeply","eventType":"setTags"})");
}

// A number beyond a double's range is a value out of range of its key, on every way in, with the
// uid echoed wherever it stands; text that only looks like such a number is left alone.
TEST_F(HostileRequests, NumbersBeyondADoubleAreOutOfRange) {
    struct Overflow {
        const char* request;
        const char* error;
    };
    const Overflow overflows[] = {
        {R"({"uid":"h","x":1e400})", R"("x" is out of range)"},
        {R"({"x":-1e400,"uid":"h"})", R"("x" is out of range)"},
        {R"({"uid":"h","box":{"width":[1,2E+999]}})", R"("width" is out of range)"},
        {R"({"a":"1e400 \" [","b":[{"c":1.5e309}],"uid":"h"})", R"("c" is out of range)"},
    };
    for (const Overflow& overflow : overflows) {
        for (const Row& row : kRows) {
            if ((row.ways & kByScript) != 0 && row.RepliesWithJson()) {
                const json reply = ScriptReply(row, overflow.request);
                EXPECT_EQ(reply.value("error", ""), overflow.error) << row.name << " " << overflow.request;
                EXPECT_EQ(reply.value("uid", ""), "h") << row.name << " " << overflow.request;
            }
            if ((row.ways & kByPanel) != 0) {
                if (const std::optional<json> reply = PanelReply(row, overflow.request)) {
                    EXPECT_EQ(reply->value("error", ""), overflow.error)
                        << row.name << " " << overflow.request;
                    EXPECT_EQ(reply->value("uid", ""), "h") << row.name << " " << overflow.request;
                }
            }
        }
        const std::string batch =
            std::string(R"({"uid":"b","data":[{"eventType":"com.torvi.event.translate","data":)") +
            overflow.request + "}]}";
        EXPECT_EQ(Script("batchCall", batch),
                  json({{"error", overflow.error}, {"eventType", "batchCall"}, {"uid", "b"}}).dump());
    }
    // Without a key to name, the request is no JSON the commands can read.
    EXPECT_EQ(
        Script("setTags", "[1e400]"),
        R"({"error":"The request is not valid JSON: number overflow parsing '1e400'","eventType":"setTags"})");
    EXPECT_EQ(app->ContextDepth(), 0);
}

// With no document open every command still answers, and nothing crashes.
TEST_F(HostileRequests, EveryCommandAnswersWithoutADocument) {
    app->CloseDocument();
    for (const char* request :
         {"{\"uid\":\"h\"}", "{\"uid\":\"h\",\"tagSearch\":\"logo\",\"tags\":[\"a\"],\"layerNumber\":1}"}) {
        for (const Row& row : kRows) {
            if ((row.ways & kByScript) != 0 && row.RepliesWithJson()) {
                EXPECT_EQ(ScriptReply(row, request).value("uid", ""), "h") << row.name;
            }
        }
    }
    app->Panel().Send("com.torvi.event.getSymbolList", "");
    EXPECT_EQ(app->NotifySelectionChanged(), kNoErr);
    EXPECT_TRUE(app->IsStarted());
}

}  // namespace

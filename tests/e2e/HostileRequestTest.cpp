// Every command, given requests that are wrong in every way a client can be wrong, answers with a
// reply and leaves the application running: nothing crashes, nothing is thrown into the host.
#include "PluginFixture.h"
#include "model/DocumentFormat.h"

namespace {

const char* const kHostileRequests[] = {
    "",
    "{}",
    "[]",
    "null",
    "\"text\"",
    "12",
    "{",
    "{\"uid\":5}",
    "{\"tagSearch\":5}",
    "{\"tagSearch\":\"(\"}",
    "{\"tagSearch\":\"logo\",\"tags\":[1,2]}",
    "{\"tagSearch\":\"logo\",\"units\":\"parsecs\",\"deltaX\":1e308,\"deltaY\":-1e308}",
    "{\"tagSearch\":\"logo\",\"rotation\":\"x\",\"scale\":-0.0,\"numberOfCopies\":2147483647}",
    "{\"tagSearch\":\"logo|photo|cell\",\"mode\":\"unite\",\"resolution\":0,\"artboardNumber\":-3}",
    "{\"tagSearch\":\"*\",\"data\":[{\"eventType\":\"com.torvi.event.remove\",\"data\":{\"tagSearch\":\"logo\"}}]}",
    "{\"tagSearch\":\":nthChild(logo, 99999999999n+-99999999999)\"}",
    "{\"layerNumber\":2147483647,\"layerName\":\"\\u0000\",\"artboards\":[{\"width\":-1}]}",
};

// Every command name a script can send: the command table and the names handled beside it.
const char* const kCommandNames[] = {
    "alignObjects", "arrange", "batchCall", "checkTextOverset", "cleanDocument", "closeDocument", "copyFile",
    "copyToDictionary", "counters", "createGraphicStyle", "distributeObjects", "editArtboards",
    "editGraphicStyle", "editLayer", "editTextStyle", "expand", "fitArtboardToBounds", "getAllTags",
    "getByTags", "getDocumentUnits", "getFontList", "getGraphicStyle", "getObjectAttributes", "getTags",
    "getTextStyle", "groupObjects", "listUndoPoints", "makeClipGroup", "makeCompoundPath", "makeSwatch",
    "mergeSwatches", "nameToTags", "openCloudFile", "openFile", "outlineText", "pathfinder", "place",
    "rasterize", "reduceToBasicAppearance", "releaseClipGroup", "releaseCompoundPath", "remove",
    "removeTags", "removeTagsSelected", "restoreFromDictionary", "revert", "rotate", "saveCloudFile",
    "saveFile", "selectByTags", "setDocumentColorMode", "setObjectAttributes", "setTags", "tagNotify",
    "tagsToName", "text", "transform", "translate", "ungroupObjects", "validateTagSearches", "version",
    "comment", "duplicate", "exportFile", "startContext", "tagNotifyOff", "tagNotifyOn", "undoChanges",
    "z-order",
};

class HostileRequests : public PluginTest, public testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        OpenExample("sample.json", 3);
    }
};

TEST_P(HostileRequests, EveryCommandAnswers) {
    for (const std::string name : kCommandNames) {
        const host::ScriptResult result = app->ScriptMessage(name, GetParam());
        EXPECT_EQ(result.error, kNoErr) << name << " " << GetParam();
        if (name == "tagNotifyOn" || name == "tagNotifyOff") {
            continue;
        }
        const json reply = json::parse(result.output, nullptr, false);
        ASSERT_FALSE(reply.is_discarded()) << name << " answered " << result.output;
        EXPECT_TRUE(reply.is_object()) << name;
    }
    EXPECT_EQ(app->ContextDepth(), 0);
    EXPECT_TRUE(app->IsStarted());
}

INSTANTIATE_TEST_SUITE_P(Requests, HostileRequests, testing::ValuesIn(kHostileRequests));

}  // namespace

namespace {

using DeepRequests = PluginTest;

// A request nested far deeper than any client writes is refused before anything works on it.
TEST_F(DeepRequests, AreRefused) {
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    const std::string batch =
        R"({"data":[{"eventType":"com.torvi.event.comment","data":{"a":)" + deep + "}}]}";
    EXPECT_EQ(Script("batchCall", batch), R"({"error":"The request is nested too deeply","eventType":"batchCall"})");
    EXPECT_EQ(Script("setTags", R"({"tags":)" + deep + "}"),
              R"({"error":"The request is nested too deeply","eventType":"setTags"})");
}

}  // namespace

namespace {

using WithoutDocument = PluginTest;

// With no document open every command still answers, and nothing crashes.
TEST_F(WithoutDocument, EveryCommandAnswers) {
    app->CloseDocument();
    for (const char* request : {"{}", "{\"tagSearch\":\"logo\",\"tags\":[\"a\"],\"layerNumber\":1}"}) {
        for (const std::string name : kCommandNames) {
            const host::ScriptResult result = app->ScriptMessage(name, request);
            EXPECT_EQ(result.error, kNoErr) << name;
            if (name != "tagNotifyOn" && name != "tagNotifyOff") {
                EXPECT_FALSE(json::parse(result.output, nullptr, false).is_discarded()) << name << ": " << result.output;
            }
        }
    }
    app->Panel().Send("com.torvi.event.getSymbolList", "");
    EXPECT_EQ(app->NotifySelectionChanged(), kNoErr);
    EXPECT_TRUE(app->IsStarted());
}

}  // namespace

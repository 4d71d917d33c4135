// Host operations failing: whichever operation of the application fails, every command answers
// and the application keeps running. Each case makes one operation fail on every call and runs a
// set of commands that use the art, tag, layer and style suites.
#include "PluginFixture.h"

namespace {

struct Fault {
    const char* suite;
    const char* operation;

    friend void PrintTo(const Fault& fault, std::ostream* out) {
        *out << fault.suite << "/" << fault.operation;
    }
};

const Fault kFaults[] = {
    {"AI Art Set Suite", "DisposeArtSet"},
    {"AI Art Set Suite", "NewArtSet"},
    {"AI Art Style Parser Suite", "DisposeParser"},
    {"AI Art Style Parser Suite", "NewParser"},
    {"AI Art Style Suite", "GetArtStyle"},
    {"AI Art Style Suite", "GetStyledArt"},
    {"AI Art Style Suite", "SetArtStyle"},
    {"AI Art Suite", "DisposeArt"},
    {"AI Art Suite", "DuplicateArt"},
    {"AI Art Suite", "GetArtBounds"},
    {"AI Art Suite", "GetArtName"},
    {"AI Art Suite", "GetArtTransformBounds"},
    {"AI Art Suite", "GetArtType"},
    {"AI Art Suite", "GetArtUserAttr"},
    {"AI Art Suite", "GetDictionary"},
    {"AI Art Suite", "GetFirstArtOfLayer"},
    {"AI Art Suite", "GetInsertionPoint"},
    {"AI Art Suite", "GetLayerOfArt"},
    {"AI Art Suite", "HasDictionary"},
    {"AI Art Suite", "IsArtLayerGroup"},
    {"AI Art Suite", "NewArt"},
    {"AI Art Suite", "ReorderArt"},
    {"AI Art Suite", "SetArtName"},
    {"AI Art Suite", "SetArtUserAttr"},
    {"AI Art Suite", "SetInsertionPoint"},
    {"AI Art Suite", "ValidArt"},
    {"AI Artboard Range Suite", "Begin"},
    {"AI Artboard Range Suite", "Create"},
    {"AI Artboard Range Suite", "Dispose"},
    {"AI Artboard Range Suite", "DisposeIterator"},
    {"AI Artboard Range Suite", "GetCount"},
    {"AI Artboard Range Suite", "Next"},
    {"AI Artboard Range Suite", "ValidateString"},
    {"AI Artboard Suite", "GetArtboardList"},
    {"AI Artboard Suite", "Init"},
    {"AI Artboard Suite", "ReleaseArtboardList"},
    {"AI Dictionary Suite", "AddRef"},
    {"AI Dictionary Suite", "Key"},
    {"AI Dictionary Suite", "Release"},
    {"AI Document List Suite", "Count"},
    {"AI Document List Suite", "GetDocumentFilePath"},
    {"AI Document List Suite", "GetNthDocument"},
    {"AI Document Suite", "GetDictionary"},
    {"AI Document Suite", "GetDocument"},
    {"AI Document Suite", "GetDocumentColorModel"},
    {"AI Document Suite", "GetDocumentRulerUnits"},
    {"AI Document Suite", "GetDocumentScale"},
    {"AI Envelope Suite", "GetEnvelopeObject"},
    {"AI Envelope Suite", "IsEnvelope"},
    {"AI Expand Suite", "Expand"},
    {"AI File Path Suite", "AddComponent"},
    {"AI File Path Suite", "Create"},
    {"AI File Path Suite", "Dispose"},
    {"AI File Path Suite", "Duplicate"},
    {"AI File Path Suite", "Exists"},
    {"AI File Path Suite", "GetPath"},
    {"AI File Path Suite", "Set"},
    {"AI Group Suite", "GetGroupClipped"},
    {"AI Group Suite", "SetGroupClipped"},
    {"AI Hard Soft Suite", "ConvertCoordinates"},
    {"AI Isolation Mode", "GetIsolationModeType"},
    {"AI Isolation Mode", "IsInIsolationMode"},
    {"AI Layer Suite", "CountLayers"},
    {"AI Layer Suite", "DeleteLayer"},
    {"AI Layer Suite", "GetFirstLayer"},
    {"AI Layer Suite", "GetLayerByTitle"},
    {"AI Layer Suite", "GetNthLayer"},
    {"AI Layer Suite", "InsertLayer"},
    {"AI Layer Suite", "InsertLayerAtArt"},
    {"AI Matching Art Suite", "DeselectAll"},
    {"AI Matching Art Suite", "GetMatchingArt"},
    {"AI Matching Art Suite", "GetMatchingArtFromArt"},
    {"AI Path Style Suite", "GetPathStyle"},
    {"AI Path Style Suite", "SetPathStyle"},
    {"AI Preference Suite", "IsSet"},
    {"AI Rasterize Suite", "ComputeArtBounds"},
    {"AI Rasterize Suite", "Rasterize"},
    {"AI Shape Construction Suite", "NewRect"},
    {"AI Symbol Suite", "CountSymbolPatterns"},
    {"AI Symbol Suite", "GetNthSymbolPattern"},
    {"AI Symbol Suite", "GetSymbolPatternName"},
    {"AI Tag Suite", "CountTags"},
    {"AI Tag Suite", "GetNthTag"},
    {"AI Tag Suite", "GetTag"},
    {"AI Tag Suite", "RemoveTag"},
    {"AI Tag Suite", "SetTag"},
    {"AI Text Frame Suite", "CreateOutline"},
    {"AI Transform Art Suite", "TransformArt"},
    {"AI UUID Suite", "GetArtUUID"},
    {"AI UUID Suite", "GetUUIDAsString"},
    {"AI Unicode String Suite", "Append"},
    {"AI Unicode String Suite", "Create"},
    {"AI Unicode String Suite", "CreateUTF16"},
    {"AI Unicode String Suite", "Dispose"},
    {"AI Unicode String Suite", "Duplicate"},
    {"AI Unicode String Suite", "GetAs"},
    {"AI Unicode String Suite", "GetUTF16"},
    {"AI Unicode String Suite", "ToLower"},
};

// Commands that read and change the example document in most of the ways the plug-in can.
const std::pair<const char*, const char*> kCommands[] = {
    {"getAllTags", "{}"},
    {"setTags", R"({"tagSearch":"logo|cell","tags":["x"]})"},
    {"selectByTags", R"({"tagSearch":"icon"})"},
    {"getTags", "{}"},
    {"nameToTags", "{}"},
    {"tagsToName", R"({"selected":true})"},
    {"removeTags", R"({"all":true})"},
    {"startContext", "{}"},
    {"copyToDictionary", R"({"tagSearch":"logo"})"},
    {"restoreFromDictionary", R"({"tagSearch":"logo"})"},
    {"translate", R"({"tagSearch":"photo","deltaX":5,"deltaY":5})"},
    {"rotate", R"({"tagSearch":"logo","rotation":30})"},
    {"transform", R"({"tagSearch":"cell","scale":150})"},
    {"alignObjects", R"({"tagSearch":"cell","alignment":"L"})"},
    {"distributeObjects", R"({"tagSearch":"cell"})"},
    {"groupObjects", R"({"tagSearch":"title|price"})"},
    {"ungroupObjects", R"({"tagSearch":"row"})"},
    {"makeCompoundPath", R"({"tagSearch":"cell"})"},
    {"pathfinder", R"({"tagSearch":"icon","mode":"unite"})"},
    {"expand", R"({"tagSearch":"icon_small"})"},
    {"rasterize", R"({"tagSearch":"logo","resolution":36})"},
    {"duplicate", R"({"tagSearch":"title","numberOfCopies":2,"seriesTag":"t"})"},
    {"z-order", R"({"tagSearch":"star","location":"aboveAll"})"},
    {"arrange", R"({"tagSearch":"texture","order":"front"})"},
    {"editLayer", R"({"mode":"add","layerName":"New"})"},
    {"editArtboards", R"({"mode":"add","width":100,"height":100})"},
    {"fitArtboardToBounds", R"({"tagSearch":"logo"})"},
    {"reduceToBasicAppearance", R"({"tagSearch":"logo"})"},
    {"remove", R"({"tagSearch":"texture"})"},
    {"undoChanges", "{}"},
    {"listUndoPoints", "{}"},
};

class FailingHost : public PluginTest, public testing::WithParamInterface<Fault> {};

TEST_P(FailingHost, EveryCommandStillAnswers) {
    OpenExample("sample.json", 9);
    app->Faults().FailOperation(GetParam().suite, GetParam().operation, FourCharCode("FAIL"));
    // Without strings from the host no reply can be handed over: the message then fails.
    const bool noStrings = std::string(GetParam().suite) == "AI Unicode String Suite" &&
                           std::string(GetParam().operation) == "Create";
    for (const auto& [name, request] : kCommands) {
        const host::ScriptResult result = app->ScriptMessage(name, request);
        if (noStrings) {
            EXPECT_EQ(result.error, kCantHappenErr) << name;
            continue;
        }
        EXPECT_EQ(result.error, kNoErr) << name;
        EXPECT_FALSE(json::parse(result.output, nullptr, false).is_discarded())
            << name << ": " << result.output;
    }
    app->Faults().Clear();
    EXPECT_EQ(app->ContextDepth(), 0);
    EXPECT_TRUE(app->IsStarted());
}

INSTANTIATE_TEST_SUITE_P(Operations, FailingHost, testing::ValuesIn(kFaults));

}  // namespace

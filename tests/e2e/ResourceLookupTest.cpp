// Swatches, named styles and symbols found by name after the commands that add, rename and delete
// them, and after undo and redo of those: every name the saved document and the panels list is
// found by the commands that look names up, in the list's order, and no name that went away is.
#include <vector>

#include "AppearanceFixture.h"
#include "ProgramRun.h"

namespace {

struct Step {
    const char* command;  // "undo" and "redo" step through the history
    const char* request;
};

struct LookupCase {
    const char* label;
    std::vector<Step> steps;
    const char* swatches;           // the saved swatches' names, after the four every document has
    const char* styles;             // the panel's list of named styles
    const char* symbols;            // the panel's list of symbols
    std::vector<const char*> gone;  // names no swatch and no named style has
};

constexpr const char* kSwatches = "Brand Blue,Spot Orange,Sunset,Leaf,Moss,Stripes";
constexpr const char* kStyles = "'Outlined','Bob's'";
constexpr const char* kSymbols = "Spare%20A,Placed,Spare%20B";
constexpr const char* kRed = R"({"colorSpace":"RGB","channel_1":255})";

const LookupCase kCases[] = {
    {"Untouched", {}, kSwatches, kStyles, kSymbols, {"Fern"}},
    {"RenamedSwatch",
     {{"makeSwatch", R"({"color":{"swatchName":"Leaf"},"newName":"Fern"})"}},
     "Brand Blue,Spot Orange,Sunset,Fern,Moss,Stripes",
     kStyles,
     kSymbols,
     {"Leaf"}},
    {"RenameUndone",
     {{"makeSwatch", R"({"color":{"swatchName":"Leaf"},"newName":"Fern"})"}, {"undo", ""}},
     kSwatches,
     kStyles,
     kSymbols,
     {"Fern"}},
    {"RenameRedone",
     {{"makeSwatch", R"({"color":{"swatchName":"Leaf"},"newName":"Fern"})"}, {"undo", ""}, {"redo", ""}},
     "Brand Blue,Spot Orange,Sunset,Fern,Moss,Stripes",
     kStyles,
     kSymbols,
     {"Leaf"}},
    // A freed name taken by a swatch further down the list.
    {"NameFreedAndTakenAgain",
     {{"makeSwatch", R"({"color":{"swatchName":"Leaf"},"newName":"Fern"})"},
      {"makeSwatch", R"({"color":{"swatchName":"Moss"},"newName":"Leaf"})"}},
     "Brand Blue,Spot Orange,Sunset,Fern,Leaf,Stripes",
     kStyles,
     kSymbols,
     {"Moss"}},
    {"MergedSwatchesGo",
     {{"mergeSwatches", R"({"target":"Leaf","swatches":["Sunset","Moss"]})"}},
     "Brand Blue,Spot Orange,Leaf,Stripes",
     kStyles,
     kSymbols,
     {"Sunset", "Moss"}},
    {"MergeUndone",
     {{"mergeSwatches", R"({"target":"Leaf","swatches":["Sunset","Moss"]})"}, {"undo", ""}},
     kSwatches,
     kStyles,
     kSymbols,
     {}},
    // A new swatch waits unnamed before it takes its name.
    {"NewSwatchesRenamed",
     {{"makeSwatch", R"({"color":{"swatchName":"Teal","colorSpace":"RGB","channel_2":128}})"},
      {"makeSwatch", R"({"color":{"swatchName":"Ink","colorSpace":"Gray","channel_1":80}})"},
      {"makeSwatch", R"({"color":{"swatchName":"Teal"},"newName":"Sea"})"}},
     "Brand Blue,Spot Orange,Sunset,Leaf,Moss,Stripes,Sea,Ink",
     kStyles,
     kSymbols,
     {"Teal"}},
    {"NewStyle",
     {{"createGraphicStyle",
       R"({"styleName":"Red","newStyle":{"paintFields":[{"mode":"add","color":RED}]}})"}},
     kSwatches,
     "'Outlined','Bob's','Red'",
     kSymbols,
     {}},
    {"NewStyleUndone",
     {{"createGraphicStyle",
       R"({"styleName":"Red","newStyle":{"paintFields":[{"mode":"add","color":RED}]}})"},
      {"undo", ""}},
     kSwatches,
     kStyles,
     kSymbols,
     {"Red"}},
    {"NewStyleRedone",
     {{"createGraphicStyle",
       R"({"styleName":"Red","newStyle":{"paintFields":[{"mode":"add","color":RED}]}})"},
      {"undo", ""},
      {"redo", ""},
      {"createGraphicStyle",
       R"({"styleName":"Blue","newStyle":{"paintFields":[{"mode":"add","color":RED}]}})"}},
     kSwatches,
     "'Outlined','Bob's','Red','Blue'",
     kSymbols,
     {}},
    {"UnusedSymbolsCleaned", {{"cleanDocument", R"({"swatches":false})"}}, kSwatches, kStyles, "Placed", {}},
    {"CleaningUndone",
     {{"cleanDocument", R"({"swatches":false})"}, {"undo", ""}},
     kSwatches,
     kStyles,
     kSymbols,
     {}},
};

class ResourceLookups : public AppearanceTest, public testing::WithParamInterface<LookupCase> {
protected:
    std::string PanelList(const char* type) {
        app->Panel().ClearDispatched();
        app->Panel().Send(std::string("com.torvi.event.") + type, "");
        const auto events = app->Panel().TakeDispatched();
        EXPECT_EQ(events.size(), 1u) << type;
        return events.empty() ? std::string() : events.back().data;
    }

    // Whether mergeSwatches finds a swatch of the name as its target (a merge of swatches that do not
    // exist changes nothing).
    bool SwatchFound(const std::string& name) {
        const json request = {{"target", name}, {"swatches", {"~not a swatch", "~nor this"}}};
        const std::string error = ScriptJson("mergeSwatches", request.dump()).value("error", "");
        EXPECT_TRUE(error == "Can't get a target swatch" || error == "No swatches to merge") << error;
        return error != "Can't get a target swatch";
    }

    bool StyleFound(const std::string& name) {
        const json request = {{"styleName", name}};
        return !ScriptJson("getGraphicStyle", request.dump()).contains("error");
    }
};

std::vector<std::string> Split(const std::string& list, const std::string& separator) {
    std::vector<std::string> parts;
    for (std::size_t from = 0; !list.empty();) {
        const std::size_t to = list.find(separator, from);
        parts.push_back(list.substr(from, to - from));
        if (to == std::string::npos) {
            break;
        }
        from = to + separator.size();
    }
    return parts;
}

TEST_P(ResourceLookups, FindEveryListedNameAndNoneGone) {
    const LookupCase& c = GetParam();
    json example =
        json::parse(testsupport::ReadFile(std::string(PLIM_SOURCE_DIR) + "/examples/appearance.json"));
    // Symbols of the test's own: the middle one placed, the others unused.
    example["symbols"] = {"Spare A", "Placed", "Spare B"};
    example["layers"][0]["children"].push_back(
        json::parse(R"({"type":"symbol","symbol":"Placed","frame":[0,10,10,0]})"));
    OpenDocumentText(example.dump(), 13);
    for (const Step& step : c.steps) {
        if (std::string(step.command) == "undo") {
            ASSERT_EQ(app->Undo(), kNoErr);
        } else if (std::string(step.command) == "redo") {
            ASSERT_EQ(app->Redo(), kNoErr);
        } else {
            std::string request = step.request;
            if (const std::size_t at = request.find("RED"); at != std::string::npos) {
                request.replace(at, 3, kRed);
            }
            const json reply = ScriptJson(step.command, request);
            ASSERT_FALSE(reply.contains("error") || reply.contains("warning")) << reply.dump();
        }
    }
    std::string saved;
    const json document = Saved();
    for (const json& swatch : document.at("swatches")) {
        saved += (saved.empty() ? "" : ",") + swatch.at("name").get<std::string>();
    }
    EXPECT_EQ(saved, std::string("[None],[Registration],White,Black,") + c.swatches);
    for (const std::string& name : Split(saved, ",")) {
        EXPECT_TRUE(SwatchFound(name)) << name;
    }
    EXPECT_EQ(PanelList("getArtStyleList"),
              std::string("<payload><result>") + c.styles + "</result></payload>");
    for (std::string name : Split(c.styles, ",")) {
        EXPECT_TRUE(StyleFound(name.substr(1, name.size() - 2))) << name;
    }
    EXPECT_EQ(PanelList("getSymbolList"),
              std::string("<payload><result>") + c.symbols + "</result></payload>");
    for (const char* name : c.gone) {
        EXPECT_FALSE(SwatchFound(name)) << name;
        EXPECT_FALSE(StyleFound(name)) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ResourceLookups, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace

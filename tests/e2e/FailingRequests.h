// The tables of requests that fail, shared by the tests that send them: requests wrong in every way a
// client can be wrong, requests refused before anything changes, requests past the limits of a
// document, and host operations that fail part way through a command. Each test checks its own
// point; the failed-command test checks of them all that the document is left as it was.
#pragma once

#include <initializer_list>
#include <map>
#include <ostream>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

using json = nlohmann::json;

// Requests whose "uid" can't be read back, or that are no object at all.
inline const char* const kUnreadableRequests[] = {"", "[]", "null", "\"text\"", "12", "{", "{\"uid\":5}"};

// Requests that fail in every other way; each carries the uid "h".
inline const char* const kFailingRequests[] = {
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

inline std::string BatchOf(const std::string& name, const std::string& data) {
    return json{
        {"data", json::array({json{{"eventType", "com.torvi.event." + name}, {"data", json::parse(data)}}})}}
        .dump();
}

struct Refusal {
    const char* name;
    const char* request;
    const char* error;
};

// Requests that can't be carried out, each answered with an error before anything changes.
inline const Refusal kRefusals[] = {
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

// --- Documents at the limits ------------------------------------------------------------------------

// The tag entries of the values the documents below use.
inline json Tags(std::initializer_list<const char*> values) {
    static const std::map<std::string, std::string> kNames = {
        {"deep", "_p_tag_5f6f0461"},   {"inner", "_p_tag_9090649f"},  {"nested", "_p_tag_fa3e78ca"},
        {"far", "_p_tag_8eb7fde4"},    {"square", "_p_tag_9d14d28a"}, {"red", "_p_tag_0520861d"},
        {"raster", "_p_tag_8f7ea9bb"}, {"line", "_p_tag_1de8e8ca"}};
    json tags = json::array();
    for (const char* value : values) {
        tags.push_back({{"name", kNames.at(value)}, {"type", "string"}, {"value", value}});
    }
    return tags;
}

inline json Fill(double r, double g, double b) {
    return {{"paintFields", {{{"fill", {{"color", {{"rgb", {r, g, b}}}}}}}}}};
}

inline json Square(double left, double bottom, double size, json tags = json::array(),
                   json style = Fill(0, 0, 0)) {
    json segments = json::array();
    for (const auto& [x, y] : {std::pair{left, bottom + size},
                               {left + size, bottom + size},
                               {left + size, bottom},
                               {left, bottom}}) {
        segments.push_back({{"anchor", {x, y}}});
    }
    return {{"type", "path"}, {"closed", true}, {"segments", segments}, {"tags", tags}, {"style", style}};
}

inline json Group(json children, json tags = json::array()) {
    return {{"type", "group"}, {"children", children}, {"tags", tags}};
}

inline std::string DocumentText(json art) {
    return json{{"format", "plimhost-document"},
                {"version", 1},
                {"artboards", {{{"name", "A"}, {"rect", {0.0, 100.0, 100.0, 0.0}}}}},
                {"layers", {{{"type", "layer"}, {"title", "L"}, {"children", art}}}}}
        .dump();
}

// A group of ten squares, a path far beyond what geometry can work with, one near the origin, and
// groups nested down to the deepest level a document can be read with: the innermost group
// ("inner", at depth 255) holds two squares ("deep") at depth 256.
inline std::string LimitsDocument() {
    json chain = Group({Square(0, 0, 1, Tags({"deep"})), Square(2, 0, 1, Tags({"deep"}))}, Tags({"inner"}));
    for (int depth = 254; depth >= 2; --depth) {
        chain = Group({chain});
    }
    json members = json::array();
    for (int i = 0; i < 10; ++i) {
        members.push_back(Square(10.0 * i, 50, 5));
    }
    return DocumentText({Group(members, Tags({"nested"})), Square(1e16, 1e16, 10, Tags({"far"})),
                         Square(20, 20, 10, Tags({"square"})), chain});
}

// A request past the limits of LimitsDocument, and the error it answers.
struct FailingCase {
    const char* name;
    const char* command;
    const char* request;
    const char* error;

    friend void PrintTo(const FailingCase& c, std::ostream* out) { *out << c.name; }
};

inline const FailingCase kLimitCases[] = {
    // The document holds at most 1,000 artboards: what was added before the refusal goes again.
    // Without the artwork, which would copy the deep chain onto every artboard (ArtboardsHalfAdded
    // takes copies of artwork back).
    {"MoreArtboardsThanADocumentHolds", "editArtboards",
     R"({"mode":"add","numberOfArtboards":1500,"includeArtwork":false})", "Can't add multiple artboards"},
    {"GroupPastTheDepthLimit", "groupObjects", R"({"tagSearch":"deep"})", "Can't group objects"},
    {"CompoundPathPastTheDepthLimit", "makeCompoundPath", R"({"tagSearch":"deep"})",
     "Can't make a compound path"},
    {"ClipGroupPastTheDepthLimit", "makeClipGroup",
     R"({"tagSearch":"deep","unite":false,"compoundPath":false})", "Can't make a clip group"},
    {"CopiesPastTheDepthLimit", "duplicate",
     R"({"tagSearch":"nested","targetTagSearch":"inner","location":"insideOnTop"})",
     "The copies would be nested too deeply"},
    // 10,000 copies of a group of ten: 110,000 objects.
    {"TooManyObjectsForOneRequest", "duplicate", R"({"tagSearch":"nested","numberOfCopies":10000})",
     "A request can make at most 100000 objects"},
    {"CoordinatesBeyondTheClippingRange", "pathfinder", R"({"tagSearch":"far|square","mode":"unite"})",
     "Can't combine objects"},
};

// A host operation that fails part way through a command: the command answers the error.
struct PartialCase {
    const char* name;
    const char* command;
    const char* request;
    const char* suite;
    const char* operation;
    int onCall;
    const char* error;

    friend void PrintTo(const PartialCase& c, std::ostream* out) { *out << c.name; }
};

inline const PartialCase kPartialCases[] = {
    {"RasterNotFinished", "rasterize", R"({"tagSearch":"logo","resolution":36})", "AI Art Set Suite",
     "DisposeArtSet", 0, "Can't rasterize artwork"},
    {"RasterWithMarginNotFinished", "rasterize",
     R"({"tagSearch":"logo","resolution":36,"clippingMaskOffset":5})", "AI Art Set Suite", "DisposeArtSet", 0,
     "Can't rasterize artwork"},
    {"GroupHalfFilled", "groupObjects", R"({"tagSearch":"title|price"})", "AI Art Suite", "ReorderArt", 2,
     "Can't group objects"},
    {"ArtboardsHalfAdded", "editArtboards", R"({"mode":"add","numberOfArtboards":3})", "AI Artboard Suite",
     "Update", 2, "Can't update an artboard"},
};

// How each command's own time grows with the document. Every command of the plug-in that takes art,
// layers, styles, swatches, symbols or artboards runs on generated documents of N and 4N items (and
// 16N where the document allows it), and after the runs the growth of each variant (time at 4N over
// time at N, and at 16N over 4N) is printed beside the target of 6x (linear is 4x).
//
// Each iteration gives the application a fresh copy of the generated document with the timer paused
// (for openFile: no open document, and the document saved in a file; for exportFile: the copy, as
// the document of that file), then times the one command; CPU time, the median of the repetitions
// (--benchmark_repetitions). N is chosen per variant so that the
// run at N takes tens to a few hundred milliseconds. The runs at 16N are left out unless a filter
// is given: --benchmark_filter=/x16/ runs only them, 'editLayer' every size of editLayer.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iomanip>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "BenchPlugin.h"
#include "GeneratedDocuments.h"
#include "RatioReporter.h"
#include "host/Application.h"
#include "model/Document.h"
#include "model/DocumentFormat.h"

namespace {

using host::model::ArtId;
using host::model::Color;
using host::model::Document;
using host::model::PaintOrder;
using host::model::Rect;

constexpr double kTarget = 6.0;
constexpr int kScales[] = {1, 4, 16};
// An application tag (not the plug-in's) on every square, for applyPaint.
constexpr const char* kAppTag = "com.example.reviewed";

// --- The documents -------------------------------------------------------------------------------

// What a document is made of; its items are the things counted by N.
enum class Kind {
    stack,      // squares on one layer, each over the one before shifted by a hundredth of a point
    squares,    // squares on one layer, tagged "t0".."t9" and "all", painted, the first "one"
    groups,     // the same in groups of ten tagged "row"
    pointText,  // point-text frames tagged "text" and "all", each holding a price
    areaText,   // fixed area-text frames tagged "text" whose text overflows
    layers,     // layers "Layer 1".."Layer N", each holding one square tagged "all"
    styles,     // graphic styles "Style 1".."Style N", and 100 squares
    swatches,   // global colours and their swatches "Colour 1".."Colour N", a square painted with each
    unused,     // unused swatches and unused symbols, N each, beside N squares
    symbols,    // symbols "Symbol 1".."Symbol N", each with one instance
    artboards,  // artboards "Board 1".."Board N" in a row, a square on each
};

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::stack:
            return "overlapping squares";
        case Kind::squares:
            return "squares";
        case Kind::groups:
            return "groups";
        case Kind::pointText:
            return "point text";
        case Kind::areaText:
            return "area text";
        case Kind::layers:
            return "layers";
        case Kind::styles:
            return "styles";
        case Kind::swatches:
            return "swatches";
        case Kind::unused:
            return "unused swatches+symbols";
        case Kind::symbols:
            return "symbols";
        case Kind::artboards:
            return "artboards";
    }
    return "";
}

// A document holds at most this many of the kind (artboards: the application's limit).
int MostItems(Kind kind) {
    return kind == Kind::artboards ? static_cast<int>(host::model::kMaxArtboards) : 1 << 30;
}

Color Shade(int i) {
    return Color::rgb((i % 7) / 7.0, (i % 11) / 11.0, (i % 13) / 13.0);
}

// Paints every path and tags it "all" and with the application tag.
void Decorate(Document& document) {
    for (const ArtId art : document.documentOrder()) {
        if (*document.type(art) != host::model::ArtType::path) {
            continue;
        }
        bench::Tag(document, art, "all");
        document.editTags(art)->set(kAppTag, "string", "yes");
        document.setStyle(
            art, host::model::ArtStyle::basic(Shade(static_cast<int>(art.value)), Color::black(), 1));
    }
}

// A text frame tagged "text" and "all".
void AddTaggedText(Document& document, host::model::TextKind kind, const Rect& frame,
                   const std::string& text) {
    const ArtId art = bench::AddText(document, kind, frame, text);
    bench::Tag(document, art, "text");
    bench::Tag(document, art, "all");
}

std::unique_ptr<Document> Generate(Kind kind, int count) {
    using namespace host::model;
    std::unique_ptr<Document> document;
    switch (kind) {
        case Kind::squares:
        case Kind::groups:
            document = bench::GenerateDocument(
                kind == Kind::groups ? bench::Shape::grouped : bench::Shape::flat, count);
            Decorate(*document);
            break;
        case Kind::stack:
            document = std::make_unique<Document>(std::uint64_t{42});
            for (int i = 0; i < count; ++i) {
                const double shift = i * 0.01;
                bench::AddRectangle(*document, bench::FirstLayerGroup(*document),
                                    Rect(shift, 100 + shift, 100 + shift, shift));
            }
            Decorate(*document);
            break;
        case Kind::pointText:
        case Kind::areaText:
            document = std::make_unique<Document>(std::uint64_t{42});
            for (int i = 0; i < count; ++i) {
                const double x = (i % 100) * 120.0;
                const double y = (i / 100) * 40.0;
                if (kind == Kind::pointText) {
                    AddTaggedText(
                        *document, TextKind::point, Rect(x, y + 12, x + 110, y),
                        "Item " + std::to_string(i) + " costs " + std::to_string(i % 90 + 10) + ".50 today");
                } else {
                    AddTaggedText(*document, TextKind::area, Rect(x, y + 30, x + 100, y),
                                  "Item " + std::to_string(i) + " costs " + std::to_string(i % 90 + 10) +
                                      ".50 today, and tomorrow it costs the same again, or more");
                }
            }
            break;
        case Kind::layers: {
            document = std::make_unique<Document>(std::uint64_t{42});
            LayerEditor layers = document->editLayers();
            LayerId layer = layers.first();
            for (int i = 0; i < count; ++i) {
                if (i > 0) {
                    layer = *layers.insert(layer, PaintOrder::below);
                }
                LayerProperties properties = *layers.properties(layer);
                properties.title = "Layer " + std::to_string(i + 1);
                layers.setProperties(layer, properties);
                bench::AddSquare(*document, *layers.group(layer), i);
            }
            Decorate(*document);
            break;
        }
        case Kind::styles:
            document = bench::GenerateDocument(bench::Shape::flat, 100);
            Decorate(*document);
            for (int i = 0; i < count; ++i) {
                document->editColors().addGraphicStyle("Style " + std::to_string(i + 1),
                                                       ArtStyle::basic(Shade(i), Color::black(), 1 + i % 5),
                                                       false);
            }
            break;
        case Kind::swatches:
        case Kind::unused: {
            document = bench::GenerateDocument(bench::Shape::flat, count);
            Decorate(*document);
            const std::vector<ArtId> order = document->documentOrder();
            std::size_t next = 0;
            for (int i = 0; i < count; ++i) {
                const std::string name = "Colour " + std::to_string(i + 1);
                CustomColorDefinition definition;
                definition.kind = CustomColorDefinition::Kind::rgb;
                definition.values = {(i % 7) / 7.0, (i % 11) / 11.0, (i % 13) / 13.0, 0};
                document->editColors().addCustomColor(name, definition);
                document->editColors().appendSwatch(name, Color::custom(name, 1.0));
                if (kind == Kind::unused) {
                    document->editSymbols().add("Symbol " + std::to_string(i + 1));
                    continue;
                }
                while (next < order.size() && *document->type(order[next]) != ArtType::path) {
                    ++next;
                }
                if (next < order.size()) {
                    document->setStyle(order[next++],
                                       ArtStyle::basic(Color::custom(name, 1.0), Color::black(), 1));
                }
            }
            break;
        }
        case Kind::symbols:
            document = std::make_unique<Document>(std::uint64_t{42});
            for (int i = 0; i < count; ++i) {
                ArtTree artwork;
                artwork.data.content = PathContent{};
                std::get<PathContent>(artwork.data.content).geometry =
                    PathGeometry::rectangle(Rect(0, 10, 10, 0));
                const SymbolId symbol =
                    *document->editSymbols().add("Symbol " + std::to_string(i + 1), artwork);
                document->editSymbolUses().newInstance(symbol, Point{(i % 1000) * 12.0, (i / 1000) * 12.0},
                                                       PaintOrder::insideOnBottom,
                                                       bench::FirstLayerGroup(*document));
            }
            break;
        case Kind::artboards: {
            document = std::make_unique<Document>(std::uint64_t{42});
            Artboards& boards = document->editArtboards();
            const ArtId layerGroup = bench::FirstLayerGroup(*document);
            for (int i = 0; i < count; ++i) {
                Artboard board;
                const double x = i * 120.0;
                board.bounds = Rect(x, 100, x + 100, 0);
                board.name = "Board " + std::to_string(i + 1);
                if (i == 0) {
                    boards.update(0, board);
                } else {
                    boards.insert(board);
                }
                bench::AddRectangle(*document, layerGroup, Rect(x + 10, 90 - i % 20, x + 90, 10 + i % 10));
            }
            Decorate(*document);
            break;
        }
    }
    document->takeChanges();
    return document;
}

// --- The variants --------------------------------------------------------------------------------

enum class Way { script, panel, openFile, exportFile };

struct Variant {
    std::string name;  // the command and what it does, e.g. "editLayer/edit by name"
    Kind kind;
    int n;
    Way way;
    std::string command;
    // The request at a number of items.
    std::function<std::string(int count)> request;
    // A command run once on the generated document to make the one the variant starts from.
    std::string prepareCommand;
    std::string prepareRequest;
    // A fixed number of iterations for commands of well under a millisecond, which would otherwise
    // run thousands of times, each after a copy of the document; 0: as many as the library wants.
    int iterations = 0;
};

// Commands that touch one item (or none) of the kind: their time is a few lookups.
constexpr int kFewIterations = 30;

std::function<std::string(int)> Fixed(std::string request) {
    return [request](int) { return request; };
}

std::string Middle(const char* prefix, int count) {
    return std::string(prefix) + std::to_string(count / 2 + 1);
}

std::vector<Variant> Variants() {
    using K = Kind;
    std::vector<Variant> v;
    const auto add = [&v](std::string name, Kind kind, int n, std::string command,
                          std::function<std::string(int)> request, std::string prepareCommand = {},
                          std::string prepareRequest = {}) {
        v.push_back(Variant{std::move(name), kind, n, Way::script, std::move(command), std::move(request),
                            std::move(prepareCommand), std::move(prepareRequest)});
    };
    const auto panel = [&v](std::string name, Kind kind, int n, std::string command, std::string data) {
        v.push_back(Variant{
            std::move(name), kind, n, Way::panel, std::move(command), Fixed(std::move(data)), {}, {}});
    };

    // Tags and queries.
    add("getByTags", K::squares, 20'000, "getByTags", Fixed(R"({"tagSearch":"t3"})"));
    add("getAllTags", K::squares, 20'000, "getAllTags", Fixed(R"({"contents":true})"));
    add("validateTagSearches", K::squares, 20'000, "validateTagSearches",
        Fixed(R"q({"tagSearches":["(t1|t2)&!t3",":globalNthOfType(t1, 2n+1)"]})q"));
    add("setTags", K::squares, 20'000, "setTags", Fixed(R"({"tagSearch":"all","tags":["marked"]})"));
    add("setTags/replace", K::squares, 20'000, "setTags",
        Fixed(R"({"tagSearch":"all","tags":["marked"],"replace":true})"));
    add("selectByTags", K::squares, 10'000, "selectByTags", Fixed(R"({"tagSearch":"all"})"));
    add("removeTags", K::squares, 20'000, "removeTags", Fixed(R"({"tags":["t1","t2"]})"));
    add("tagsToName", K::squares, 20'000, "tagsToName", Fixed(R"({"tagSearch":"all"})"));
    add("nameToTags", K::squares, 20'000, "nameToTags", Fixed(R"({"tagSearch":"all"})"), "tagsToName",
        R"({"tagSearch":"all"})");

    // Moving and copying art.
    add("rotate", K::squares, 5'000, "rotate", Fixed(R"({"tagSearch":"all","rotation":18})"));
    add("translate", K::squares, 5'000, "translate", Fixed(R"({"tagSearch":"all","deltaX":5,"deltaY":-5})"));
    add("transform/scale", K::squares, 5'000, "transform",
        Fixed(R"({"tagSearch":"all","scale":1.5,"anchorPoint":"TL"})"));
    add("transform/place", K::squares, 5'000, "transform", Fixed(R"({"tagSearch":"all","x":10,"y":10})"));
    add("duplicate", K::squares, 5'000, "duplicate", Fixed(R"({"tagSearch":"all","tags":["copy"]})"));
    add("duplicate/series", K::squares, 8'000, "duplicate",
        Fixed(R"({"tagSearch":"all","seriesTag":"copy","numberOfCopies":2})"));
    add("duplicate/to layer", K::layers, 2'000, "duplicate", [](int count) {
        return R"({"tagSearch":"all","targetLayerName":")" + Middle("Layer ", count) + "\"}";
    });
    add("z-order/below target", K::squares, 20'000, "z-order",
        Fixed(R"({"tagSearch":"t1","targetTagSearch":"one","location":"below"})"));
    add("remove", K::squares, 20'000, "remove", Fixed(R"({"tagSearch":"all"})"));
    add("remove/every tenth", K::squares, 40'000, "remove", Fixed(R"({"tagSearch":"t5"})"));
    add("arrange/moveToBack", K::squares, 40'000, "arrange",
        Fixed(R"({"tagSearch":"t1","order":"moveToBack"})"));
    for (const char* order : {"moveToFront", "moveForward", "moveBackward"}) {
        add(std::string("arrange/") + order, K::squares, 40'000, "arrange",
            Fixed(std::string(R"({"tagSearch":"t1","order":")") + order + "\"}"));
    }
    add("arrange/layer", K::layers, 2'000, "arrange", [](int count) {
        return R"({"layerName":")" + Middle("Layer ", count) + R"(","order":"moveToFront"})";
    });
    add("groupObjects", K::squares, 20'000, "groupObjects",
        Fixed(R"({"tagSearch":"all","tags":["grouped"]})"));
    add("ungroupObjects", K::groups, 5'000, "ungroupObjects",
        Fixed(R"({"tagSearch":"row","seriesTag":"loose"})"));
    add("makeCompoundPath", K::squares, 20'000, "makeCompoundPath",
        Fixed(R"({"tagSearch":"all","tags":["compound"]})"));
    add("releaseCompoundPath", K::squares, 10'000, "releaseCompoundPath",
        Fixed(R"({"tagSearch":"compound","seriesTag":"part"})"), "makeCompoundPath",
        R"({"tagSearch":"all","tags":["compound"]})");
    add("makeClipGroup", K::squares, 10'000, "makeClipGroup",
        Fixed(R"({"tagSearch":"all","clipObject":"one","tags":["clip"]})"));
    add("releaseClipGroup", K::squares, 10'000, "releaseClipGroup",
        Fixed(R"({"tagSearch":"clip","seriesTag":"part"})"), "makeClipGroup",
        R"({"tagSearch":"all","clipObject":"one","tags":["clip"]})");
    add("expand", K::squares, 2'000, "expand", Fixed(R"({"tagSearch":"all","seriesTag":"expanded"})"));
    add("alignObjects", K::squares, 5'000, "alignObjects", Fixed(R"({"tagSearch":"all","anchorPoint":"T"})"));
    add("alignObjects/to artboard", K::squares, 5'000, "alignObjects",
        Fixed(R"({"tagSearch":"all","anchorPoint":"C","artboardNumber":1})"));
    add("distributeObjects", K::squares, 5'000, "distributeObjects", Fixed(R"({"tagSearch":"all"})"));
    add("distributeObjects/spacing", K::squares, 5'000, "distributeObjects",
        Fixed(R"({"tagSearch":"all","distributeSpacing":"hv"})"));
    add("distributeObjects/gap", K::squares, 5'000, "distributeObjects",
        Fixed(R"({"tagSearch":"all","keyArt":"one","gap":2,"place":"R","direction":"h"})"));

    // Attributes, appearance and dictionaries.
    add("getObjectAttributes", K::squares, 20'000, "getObjectAttributes", Fixed(R"({"tagSearch":"all"})"));
    add("setObjectAttributes", K::squares, 10'000, "setObjectAttributes",
        Fixed(R"({"tagSearch":"all","note":"seen","locked":true})"));
    add("copyToDictionary", K::squares, 5'000, "copyToDictionary", Fixed(R"({"tagSearch":"all"})"));
    add("restoreFromDictionary", K::squares, 10'000, "restoreFromDictionary", Fixed(R"({"tagSearch":"all"})"),
        "copyToDictionary", R"({"tagSearch":"all"})");
    add("getGraphicStyle", K::squares, 20'000, "getGraphicStyle", Fixed(R"({"tagSearch":"t3"})"));
    add("getGraphicStyle/styleName", K::styles, 8'000, "getGraphicStyle",
        [](int count) { return R"({"styleName":")" + Middle("Style ", count) + "\"}"; });
    add("getGraphicStyle/layerName", K::layers, 1'000, "getGraphicStyle",
        [](int count) { return R"({"layerName":")" + Middle("Layer ", count) + "\"}"; });
    add("editGraphicStyle/newStyle", K::squares, 1'000, "editGraphicStyle",
        Fixed(
            R"({"tagSearch":"all","uiMethod":false,"newStyle":{"paintFields":[{"mode":"edit","pfIndex":1,"color":{"colorSpace":"RGB","channel_1":255,"channel_2":0,"channel_3":0}}]}})"));
    add("editGraphicStyle/styleName", K::styles, 4'000, "editGraphicStyle",
        [](int count) { return R"({"tagSearch":"t3","styleName":")" + Middle("Style ", count) + "\"}"; });
    add("editGraphicStyle/styleName on all", K::styles, 4'000, "editGraphicStyle", [](int count) {
        return R"({"tagSearch":"all","styleName":")" + Middle("Style ", count) + R"(","replace":true})";
    });
    add("editGraphicStyle/search colour", K::squares, 2'000, "editGraphicStyle",
        Fixed(
            R"({"tagSearch":"all","uiMethod":false,"searchColor":{"colorSpace":"Gray","channel_1":100},"replaceColor":{"colorSpace":"RGB","channel_1":0,"channel_2":0,"channel_3":255}})"));
    add("editGraphicStyle/layerName", K::layers, 1'000, "editGraphicStyle", [](int count) {
        return R"({"layerName":")" + Middle("Layer ", count) +
               R"(","newStyle":{"paintFields":[{"mode":"add","color":{"colorSpace":"RGB","channel_1":255,"channel_2":0,"channel_3":0}}]}})";
    });
    add("createGraphicStyle", K::styles, 8'000, "createGraphicStyle",
        Fixed(R"({"styleName":"Fresh","tagSearch":"one"})"));
    add("createGraphicStyle/existing", K::styles, 8'000, "createGraphicStyle", [](int count) {
        return R"({"styleName":")" + Middle("Style ", count) + R"(","tagSearch":"one","replace":true})";
    });
    add("reduceToBasicAppearance", K::squares, 5'000, "reduceToBasicAppearance",
        Fixed(R"({"tagSearch":"all"})"));

    // Colours and swatches.
    add("makeSwatch/new", K::swatches, 2'000, "makeSwatch",
        Fixed(
            R"({"color":{"swatchName":"Lemon","colorSpace":"RGB","channel_1":255,"channel_2":210,"channel_3":0}})"));
    add("makeSwatch/existing", K::swatches, 2'000, "makeSwatch", [](int count) {
        return R"({"color":{"swatchName":")" + Middle("Colour ", count) +
               R"(","colorSpace":"RGB","channel_1":255,"channel_2":210,"channel_3":0}})";
    });
    add("makeSwatch/rename", K::swatches, 2'000, "makeSwatch", [](int count) {
        return R"({"color":{"swatchName":")" + Middle("Colour ", count) + R"("},"newName":"Renamed"})";
    });
    add("mergeSwatches/two", K::swatches, 2'000, "mergeSwatches", [](int count) {
        return R"({"swatches":["Colour 1",")" + Middle("Colour ", count) + R"("],"target":"Colour 2"})";
    });
    add("mergeSwatches/all", K::swatches, 2'000, "mergeSwatches", [](int count) {
        std::string request = R"({"swatches":[)";
        for (int i = 1; i <= count; ++i) {
            request += (i > 1 ? ",\"Colour " : "\"Colour ") + std::to_string(i) + "\"";
        }
        return request + R"(],"target":"Colour 1"})";
    });
    add("cleanDocument", K::unused, 2'000, "cleanDocument", Fixed("{}"));
    add("cleanDocument/swatches", K::unused, 2'000, "cleanDocument", Fixed(R"({"symbols":false})"));
    add("cleanDocument/symbols", K::unused, 2'000, "cleanDocument", Fixed(R"({"swatches":false})"));
    add("cleanDocument/used", K::swatches, 2'000, "cleanDocument", Fixed("{}"));
    add("setDocumentColorMode/squares", K::squares, 5'000, "setDocumentColorMode",
        Fixed(R"({"colorMode":"CMYK"})"));
    add("setDocumentColorMode/swatches", K::swatches, 2'000, "setDocumentColorMode",
        Fixed(R"({"colorMode":"CMYK"})"));
    panel("applyPaint", K::squares, 5'000, "applyPaint",
          std::string("<payload><tag>") + kAppTag +
              "</tag><fill><cyan>0</cyan><magenta>0.5</magenta><yellow>1</yellow><black>0</black></fill></"
              "payload>");
    panel("applyPaint/swatch", K::swatches, 2'000, "applyPaint",
          std::string("<payload><tag>") + kAppTag + "</tag><fill><swatch>Colour 2</swatch></fill></payload>");
    panel("getArtStyleList", K::styles, 4'000, "getArtStyleList", "");
    panel("getSymbolList", K::symbols, 2'000, "getSymbolList", "");

    // Text.
    add("text/replace", K::pointText, 10'000, "text",
        Fixed(R"({"tagSearch":"text","searchText":"costs","replaceText":"is","mode":0})"));
    add("text/replace pattern", K::pointText, 10'000, "text",
        Fixed(
            R"({"tagSearch":"text","searchText":"(\\d+)\\.50","replaceText":"$1.75","mode":0,"regExFlag":"g"})"));
    add("text/features", K::pointText, 10'000, "text",
        Fixed(R"({"tagSearch":"text","textFeatures":{"fontSize":20}})"));
    add("text/shrinkToFrame", K::areaText, 1'000, "text",
        Fixed(R"({"tagSearch":"text","fittingMethod":"shrinkToFrame"})"));
    add("text/fitToFrame", K::areaText, 1'000, "text",
        Fixed(R"({"tagSearch":"text","fittingMethod":"fitToFrame"})"));
    add("text/fitFrameToText", K::areaText, 1'000, "text",
        Fixed(R"({"tagSearch":"text","fittingMethod":"fitFrameToText"})"));
    add("getTextStyle", K::pointText, 20'000, "getTextStyle",
        Fixed(R"({"tagSearch":"text","searchText":"costs"})"));
    add("editTextStyle", K::pointText, 10'000, "editTextStyle",
        Fixed(R"({"charStyle":"Body","newStyle":{"fontSize":18}})"));
    add("checkTextOverset", K::areaText, 20'000, "checkTextOverset", Fixed(R"({"tagSearch":"text"})"));
    add("outlineText", K::pointText, 500, "outlineText",
        Fixed(R"({"tagSearch":"text","seriesTag":"outline"})"));

    // Layers.
    add("editLayer/add", K::layers, 2'000, "editLayer", Fixed(R"({"mode":"add","layerName":"Notes"})"));
    add("editLayer/add below target", K::layers, 2'000, "editLayer", [](int count) {
        return R"({"mode":"add","layerName":"Notes","location":"below","targetLayer":")" +
               Middle("Layer ", count) + "\"}";
    });
    add("editLayer/edit by name", K::layers, 2'000, "editLayer", [](int count) {
        return R"({"mode":"edit","layerName":")" + Middle("Layer ", count) +
               R"(","newName":"Edited","locked":true})";
    });
    add("editLayer/edit by number", K::layers, 2'000, "editLayer", [](int count) {
        return R"({"mode":"edit","layerNumber":)" + std::to_string(count / 2) + R"(,"newName":"Edited"})";
    });
    add("editLayer/move", K::layers, 2'000, "editLayer", [](int count) {
        return R"({"mode":"edit","layerName":"Layer 1","location":"below","targetLayer":")" +
               Middle("Layer ", count) + "\"}";
    });
    add("editLayer/remove", K::layers, 2'000, "editLayer",
        [](int count) { return R"({"mode":"remove","layerName":")" + Middle("Layer ", count) + "\"}"; });
    add("editLayer/addEdit", K::layers, 2'000, "editLayer", [](int count) {
        return R"({"mode":"addEdit","layerName":")" + Middle("Layer ", count) + R"(","visible":false})";
    });
    add("editLayer/duplicate", K::layers, 2'000, "editLayer",
        [](int count) { return R"({"mode":"duplicate","layerName":")" + Middle("Layer ", count) + "\"}"; });

    // Artboards.
    add("editArtboards/add", K::artboards, 200, "editArtboards",
        Fixed(R"({"mode":"add","artboardNumber":1})"));
    add("editArtboards/add ten", K::artboards, 200, "editArtboards",
        Fixed(R"({"mode":"add","artboardNumber":1,"numberOfArtboards":10})"));
    add("editArtboards/remove", K::artboards, 200, "editArtboards",
        [](int count) { return R"({"mode":"remove","artboardNumber":)" + std::to_string(count / 2) + "}"; });
    add("editArtboards/edit by name", K::artboards, 200, "editArtboards", [](int count) {
        return R"({"mode":"edit","artboardName":")" + Middle("Board ", count) +
               R"(","width":200,"newName":"Wide"})";
    });
    for (const char* layout :
         {"arrangeByRow", "arrangeByColumn", "gridByRow", "gridByColumn", "rightToLeftGridByRow"}) {
        add(std::string("editArtboards/rearrange ") + layout, K::artboards, 200, "editArtboards",
            Fixed(std::string(R"({"mode":"rearrange","layout":")") + layout + "\"}"));
    }
    add("editArtboards/reorder", K::artboards, 200, "editArtboards", [](int count) {
        std::string request = R"({"mode":"rearrange","reorder":[)";
        for (int i = count; i >= 1; --i) {
            request += std::to_string(i) + (i > 1 ? "," : "");
        }
        return request + "]}";
    });
    add("fitArtboardToBounds", K::artboards, 200, "fitArtboardToBounds", Fixed(R"({"padding":10})"));
    add("fitArtboardToBounds/query", K::artboards, 200, "fitArtboardToBounds",
        Fixed(R"({"tagSearch":"all","padding":10})"));

    // Pathfinder and rasterize, on 1,000 paths. Intersect and crop need shapes that overlap, or they
    // find nothing in common.
    for (const char* mode : {"unite", "intersect", "exclude", "minusFront", "minusBack", "divide", "trim",
                             "merge", "crop", "outline"}) {
        const bool overlap = std::string(mode) == "intersect" || std::string(mode) == "crop";
        add(std::string("pathfinder/") + mode, overlap ? K::stack : K::squares, 1'000, "pathfinder",
            Fixed(std::string(R"({"tagSearch":"all","mode":")") + mode + R"(","seriesTag":"merged"})"));
    }
    add("rasterize", K::squares, 4'000, "rasterize", Fixed(R"({"tagSearch":"all","resolution":72})"));

    for (Variant& variant : v) {
        for (const char* few :
             {"getGraphicStyle/styleName", "getGraphicStyle/layerName", "editGraphicStyle/styleName",
              "editGraphicStyle/layerName", "makeSwatch/new", "makeSwatch/existing", "makeSwatch/rename",
              "mergeSwatches/two", "setDocumentColorMode/squares", "setDocumentColorMode/swatches",
              "editLayer/add", "editLayer/edit by number", "editArtboards/add", "editArtboards/add ten",
              "editArtboards/remove", "editArtboards/edit by name"}) {
            if (variant.name == few) {
                variant.iterations = kFewIterations;
            }
        }
    }

    // Files.
    v.push_back(Variant{"openFile", K::squares, 10'000, Way::openFile, "openFile", {}, {}, {}});
    v.push_back(Variant{"openFile/swatches", K::swatches, 2'000, Way::openFile, "openFile", {}, {}, {}});
    v.push_back(Variant{"openFile/layers", K::layers, 4'000, Way::openFile, "openFile", {}, {}, {}});
    add("saveFile", K::squares, 5'000, "saveFile", Fixed("SAVE"));
    v.push_back(Variant{"exportFile/png per artboard",
                        K::artboards,
                        200,
                        Way::exportFile,
                        "exportFile",
                        Fixed(R"({"formats":["png"],"resolution":18,"fileName":"board"})"),
                        {},
                        {}});
    v.push_back(Variant{"exportFile/pdf",
                        K::squares,
                        20'000,
                        Way::exportFile,
                        "exportFile",
                        Fixed(R"({"formats":["pdf"],"document":true,"fileName":"doc"})"),
                        {},
                        {}});
    v.push_back(Variant{"exportFile/svg",
                        K::squares,
                        20'000,
                        Way::exportFile,
                        "exportFile",
                        Fixed(R"({"formats":["svg"],"fileName":"doc"})"),
                        {},
                        {}});
    return v;
}

// --- Running -------------------------------------------------------------------------------------

std::filesystem::path BenchFolder() {
    static const std::filesystem::path folder = [] {
        auto path =
            std::filesystem::temp_directory_path() / ("plim-growth-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

// A started plug-in; with `panel`, also its panel's listeners.
std::unique_ptr<host::Application> Start(benchmark::State& state, bool panel = false) {
    auto app = std::make_unique<host::Application>(PluginOptions());
    if (app->Startup() != kNoErr ||
        (panel && (app->NotifyApplicationStarted() != kNoErr || app->NotifyPanelLibraryReady() != kNoErr))) {
        state.SkipWithError("the plug-in did not start");
        return nullptr;
    }
    app->Journal().SetEnabled(false);
    return app;
}

bool Failed(const std::string& reply) {
    return reply.find("\"error\"") != std::string::npos ||
           reply.find("<result>false</result>") != std::string::npos;
}

// The generated document a variant starts from, made once (the last few are kept, since the sizes of
// one variant run one after the other).
const Document* Prepared(benchmark::State& state, const Variant& variant, int count) {
    static std::map<std::string, std::unique_ptr<Document>> documents;
    const std::string key = std::string(KindName(variant.kind)) + "/" + std::to_string(count) + "/" +
                            variant.prepareCommand + variant.prepareRequest;
    if (const auto found = documents.find(key); found != documents.end()) {
        return found->second.get();
    }
    if (documents.size() > 6) {
        documents.clear();
    }
    std::unique_ptr<Document> document = Generate(variant.kind, count);
    if (!variant.prepareCommand.empty()) {
        std::unique_ptr<host::Application> app = Start(state);
        if (app == nullptr) {
            return nullptr;
        }
        app->SetDocument(std::move(document));
        const host::ScriptResult result = app->ScriptMessage(variant.prepareCommand, variant.prepareRequest);
        if (Failed(result.output)) {
            state.SkipWithError(("preparing: " + result.output).c_str());
            return nullptr;
        }
        document = std::make_unique<Document>(*app->CurrentDocument());
        document->takeChanges();
    }
    return documents.emplace(key, std::move(document)).first->second.get();
}

// The document saved in the native format, written once per variant and size.
std::filesystem::path SavedFile(const Variant& variant, const Document& document, int count) {
    std::string name = variant.name + "-" + std::to_string(count) + ".json";
    for (char& c : name) {
        if (c == '/' || c == ' ') {
            c = '_';
        }
    }
    const std::filesystem::path file = BenchFolder() / name;
    if (!std::filesystem::exists(file)) {
        host::model::saveDocument(document, file);
    }
    return file;
}

std::string WithFolder(std::string request, const std::filesystem::path& folder) {
    nlohmann::json json = nlohmann::json::parse(request);
    json["folderPath"] = folder.string();
    return json.dump();
}

void Run(benchmark::State& state, const Variant& variant, int count) {
    const Document* document = Prepared(state, variant, count);
    if (document == nullptr) {
        return;
    }
    std::unique_ptr<host::Application> app = Start(state, variant.way == Way::panel);
    if (app == nullptr) {
        return;
    }
    std::filesystem::path file;
    std::string request = variant.request ? variant.request(count) : std::string();
    const std::filesystem::path out = BenchFolder() / "out";
    std::filesystem::create_directories(out);
    if (variant.way == Way::openFile || variant.way == Way::exportFile) {
        file = SavedFile(variant, *document, count);
    }
    if (variant.way == Way::openFile) {
        request = nlohmann::json{{"filePath", file.string()}}.dump();
    } else if (variant.way == Way::exportFile) {
        request = WithFolder(request, out);
    } else if (request == "SAVE") {
        request = nlohmann::json{{"outputPath", out.string()}, {"fileName", "saved.json"}}.dump();
    }
    for (auto _ : state) {
        state.PauseTiming();
        switch (variant.way) {
            case Way::openFile:
                while (app->DocumentCount() > 0) {
                    app->CloseDocument();
                }
                break;
            case Way::exportFile:
                while (app->DocumentCount() > 0) {
                    app->CloseDocument();
                }
                app->OpenDocument(std::make_unique<Document>(*document), file.string());
                break;
            default:
                app->SetDocument(std::make_unique<Document>(*document));
                break;
        }
        app->Panel().ClearDispatched();
        state.ResumeTiming();
        std::string reply;
        if (variant.way == Way::panel) {
            app->Panel().Send("com.torvi.event." + variant.command, request);
            reply = app->Panel().Dispatched().empty() ? std::string("<result>false</result>")
                                                      : app->Panel().Dispatched().back().data;
        } else {
            reply = app->ScriptMessage(variant.command, request).output;
        }
        if (Failed(reply)) {
            state.SkipWithError(reply.substr(0, 300).c_str());
            return;
        }
        benchmark::DoNotOptimize(reply.data());
    }
    state.counters["items"] = count;
}

std::string RunName(const Variant& variant, int scale, int count) {
    return variant.name + "/x" + std::to_string(scale) + "/" + std::to_string(count);
}

void RegisterAll(const std::vector<Variant>& variants) {
    for (const Variant& variant : variants) {
        for (const int scale : kScales) {
            const int count = variant.n * scale;
            if (count > MostItems(variant.kind)) {
                continue;
            }
            benchmark::internal::Benchmark* run = benchmark::RegisterBenchmark(
                RunName(variant, scale, count).c_str(),
                [&variant, count](benchmark::State& s) { Run(s, variant, count); });
            // A tenth of a second of the command's own time per run: each iteration also copies the
            // document, untimed, so the library's half second would take minutes.
            run->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
            if (variant.iterations > 0) {
                run->Iterations(variant.iterations);
            } else {
                run->MinTime(0.1);
            }
        }
    }
}

// --- The growth table ----------------------------------------------------------------------------

class GrowthTable : public RatioReporter {
public:
    explicit GrowthTable(const std::vector<Variant>& variants) : variants_(variants) {}

protected:
    void PrintRatios(std::ostream& out) override {
        out << "  growth of each command's own time; linear is 4x, target " << kTarget << "x; '!' above it\n";
        out << "  " << std::left << std::setw(48) << "variant" << std::setw(26) << "document" << std::right
            << std::setw(8) << "N" << std::setw(12) << "ms at N" << std::setw(12) << "ms at 4N"
            << std::setw(10) << "4N/N" << std::setw(10) << "16N/4N"
            << "\n";
        for (const Variant& variant : variants_) {
            const double* times[3] = {};
            for (int i = 0; i < 3; ++i) {
                times[i] = Median(RunName(variant, kScales[i], variant.n * kScales[i]));
            }
            if (times[0] == nullptr && times[1] == nullptr) {
                continue;
            }
            out << "  " << std::left << std::setw(48) << variant.name << std::setw(26)
                << KindName(variant.kind) << std::right << std::setw(8) << variant.n << std::setw(12)
                << Milliseconds(times[0]) << std::setw(12) << Milliseconds(times[1]) << std::setw(10)
                << Growth(times[1], times[0]) << std::setw(10) << Growth(times[2], times[1]) << "\n";
        }
    }

private:
    static std::string Milliseconds(const double* time) {
        if (time == nullptr) {
            return "-";
        }
        std::ostringstream text;
        text << std::fixed << std::setprecision(2) << *time;
        return text.str();
    }

    static std::string Growth(const double* larger, const double* smaller) {
        if (larger == nullptr || smaller == nullptr || *smaller <= 0) {
            return "-";
        }
        const double growth = *larger / *smaller;
        std::ostringstream text;
        text << std::fixed << std::setprecision(1) << growth << "x" << (growth > kTarget ? "!" : " ");
        return text.str();
    }

    const std::vector<Variant>& variants_;
};

// Without a filter of the caller's, the 16N runs are left out.
std::vector<char*> WithDefaultFilter(int argc, char** argv) {
    static char filter[] = "--benchmark_filter=-/x16/";
    std::vector<char*> args(argv, argv + argc);
    bool filtered = false;
    for (int i = 1; i < argc; ++i) {
        filtered = filtered || std::string(argv[i]).starts_with("--benchmark_filter");
    }
    if (!filtered) {
        args.push_back(filter);
    }
    args.push_back(nullptr);
    return args;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args = WithDefaultFilter(argc, argv);
    int count = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&count, args.data());
    const std::vector<Variant> variants = Variants();
    RegisterAll(variants);
    GrowthTable reporter(variants);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(BenchFolder(), ignored);
    return 0;
}

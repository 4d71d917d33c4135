// The renderer on model documents, without the plug-in: paints, blends, symbols, clipping and text
// frames in the pixels it draws, and the documents it must hold under (matrices, tiles and gradients
// cairo can't draw through, pictures past their budget), in its pixels and in the PDF, SVG and EPS
// copies drawn by it. Also keeps host/src free of include circles.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ProgramRun.h"
#include "RasterFiles.h"
#include "VectorWriters.h"
#include "model/DocumentFormat.h"
#include "render/Renderer.h"

namespace {

using json = nlohmann::json;
using host::model::Document;
using testsupport::ReadFile;
using testsupport::RunProgram;
using testsupport::ScratchFolder;

// --- Documents ----------------------------------------------------------------------------------------

json Rgb(double r, double g, double b) {
    return json{{"rgb", {r, g, b}}};
}

json Fill(const json& color) {
    return json{{"paintFields", json::array({json{{"fill", {{"color", color}}}}})}};
}

json Square(double left, double bottom, double side, const json& style) {
    return json{
        {"type", "path"},
        {"closed", true},
        {"segments", json::array({json{{"anchor", {left, bottom}}}, json{{"anchor", {left + side, bottom}}},
                                  json{{"anchor", {left + side, bottom + side}}},
                                  json{{"anchor", {left, bottom + side}}}})},
        {"style", style}};
}

json Matrix(double scale, double tx = 0.0, double ty = 0.0) {
    return json::array({scale, 0.0, 0.0, scale, tx, ty});
}

json Instance(const char* symbol, const json& frame, const json& matrix) {
    return json{{"type", "symbol"}, {"symbol", symbol}, {"frame", frame}, {"matrix", matrix}};
}

// A square of the pattern "Checks" (blue quarter tiles of 10 points, grey flat) through the matrix.
json PatternSquare(const json& matrix) {
    json square = Square(0, 0, 100, Fill(json{{"pattern", "Checks"}}));
    square["fillPattern"] = matrix;
    return square;
}

// A square of the gradient "Ramp" (red to blue, purple flat) laid out by the placement's matrix.
json GradientSquare(double scale) {
    return Square(
        0, 0, 100,
        Fill(json{{"gradient", "Ramp"},
                  {"placement", {{"length", 100.0}, {"origin", {0.0, 0.0}}, {"matrix", Matrix(scale)}}}}));
}

// A red square in the top-right corner: drawn whatever happens to the objects below it.
json Witness() {
    return Square(80, 80, 20, Fill(Rgb(1, 0, 0)));
}

json Stops(int count) {
    json stops = json::array();
    for (int i = 0; i < count; ++i) {
        const double t = count == 1 ? 0.0 : static_cast<double>(i) / (count - 1);
        stops.push_back(json{{"color", Rgb(1 - t, 0, t)}, {"rampPoint", 100.0 * t}});
    }
    return stops;
}

// The resources every case may use, beside its own art.
json Resources() {
    const json dot = Square(0, 0, 10, Fill(Rgb(0, 1, 0)));
    json glowing = Square(0, 0, 10, Fill(Rgb(0, 0, 1)));
    glowing["style"]["blend"] = {{"mode", 2}};
    glowing["style"]["postEffects"] = json::array({json{{"name", "Host Outer Glow"}}});
    json loop = {{"type", "group"},
                 {"children", json::array({Square(0, 0, 10, Fill(Rgb(1, 0, 0))),
                                           Instance("Loop", {0, 10, 10, 0}, Matrix(1, 0, 12))})}};
    json tiled = {{"type", "group"}, {"children", json::array({PatternSquare(Matrix(1))})}};
    json tileArt = {{"type", "group"},
                    {"children", json::array({Square(0, 0, 5, Fill(Rgb(0, 0, 1))),
                                              Instance("Tiled", {0, 100, 100, 0}, Matrix(0.05))})}};
    return json{
        {"customColors",
         json::array({json{{"name", "Orange"}, {"kind", "cmyk"}, {"components", {0.0, 0.5, 1.0, 0.0}}}})},
        {"gradients",
         json::array({json{{"name", "Ramp"}, {"color", Rgb(0.5, 0, 0.5)}, {"stops", Stops(2)}},
                      json{{"name", "Fine"}, {"color", Rgb(0.5, 0, 0.5)}, {"stops", Stops(3000)}}})},
        {"patterns",
         json::array(
             {json{{"name", "Checks"},
                   {"color", {{"gray", 0.5}}},
                   {"tile", {0.0, 10.0, 10.0, 0.0}},
                   {"art", Square(0, 0, 5, Fill(Rgb(0, 0, 1)))}},
              json{{"name", "Thin"},
                   {"color", {{"gray", 0.5}}},
                   {"tile", {0.0, 0.01, 99999.0, 0.0}},
                   {"art", Square(0, 0, 5, Fill(Rgb(0, 0, 1)))}},
              json{{"name", "Crowd"},
                   {"color", {{"gray", 0.5}}},
                   {"tile", {0.0, 10.0, 10.0, 0.0}},
                   {"art", {{"type", "group"}, {"children", {Instance("Level2", {0, 1, 1, 0}, Matrix(1))}}}}},
              json{{"name", "Holding"},
                   {"color", {{"gray", 0.5}}},
                   {"tile", {0.0, 10.0, 10.0, 0.0}},
                   {"art", tileArt}}})},
        {"symbols",
         json::array({json{{"name", "Dot"}, {"art", dot}}, json{{"name", "Glowing"}, {"art", glowing}},
                      json{{"name", "Loop"}, {"art", loop}}, json{{"name", "Tiled"}, {"art", tiled}}})},
    };
}

// Symbols "Level0" (a path of the points) to "LevelN", each ten instances of the one before.
void AddLevels(json& document, int levels, int points) {
    json path = {
        {"type", "path"}, {"closed", true}, {"segments", json::array()}, {"style", Fill(Rgb(0, 0, 0))}};
    for (int i = 0; i < points; ++i) {
        path["segments"].push_back(json{{"anchor", {i % 2 * 1.0, i * 0.001}}});
    }
    document["symbols"].push_back(json{{"name", "Level0"}, {"art", path}});
    for (int level = 1; level <= levels; ++level) {
        json group = {{"type", "group"}, {"children", json::array()}};
        const std::string below = "Level" + std::to_string(level - 1);
        for (int i = 0; i < 10; ++i) {
            group["children"].push_back(Instance(below.c_str(), {0, 1, 1, 0}, Matrix(1)));
        }
        document["symbols"].push_back(json{{"name", "Level" + std::to_string(level)}, {"art", group}});
    }
}

Document Read(const json& document) {
    host::model::ReadResult read = host::model::readDocument(document.dump(), 1);
    EXPECT_TRUE(read.document) << read.error;
    return read.document ? std::move(*read.document) : Document();
}

// --- The table ----------------------------------------------------------------------------------------

// What a case draws at one pixel (x right, y down from the artboard's top-left corner).
struct Probe {
    int x;
    int y;
    std::array<int, 3> rgb;
};

struct RenderCase {
    const char* name;
    json art;                   // the layer's objects, front-most first
    std::vector<Probe> probes;  // empty for a picture that is refused
    int levels = 0;             // symbols "Level0" to "LevelN" (AddLevels)
    int points = 4;
    host::RenderLimits limits{};  // the picture's budget (the vector copies keep the default)
    const char* simplified = "";  // what standard error says was drawn simpler or left out
};

constexpr std::array<int, 3> kRed{255, 0, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255}, kGrey{128, 128, 128},
    kPurple{128, 0, 128}, kGreen{0, 255, 0}, kBlack{0, 0, 0};
const Probe kWitnessRed{90, 10, kRed};

json Blended(json object, int mode) {
    object["style"]["blend"] = {{"mode", mode}};
    return object;
}

json Opaque(json object, double opacity) {
    object["style"]["blend"] = {{"opacity", opacity}};
    return object;
}

json BlendedAt(json object, int mode, double opacity) {
    object["style"]["blend"] = {{"mode", mode}, {"opacity", opacity}};
    return object;
}

// A square whose only fill is blended by itself, at the mode and opacity.
json FieldBlended(int mode, double opacity) {
    return Square(
        0, 0, 100,
        json{{"paintFields", json::array({json{{"fill", {{"color", Rgb(0, 0, 1)}}},
                                               {"blend", {{"mode", mode}, {"opacity", opacity}}}}})}});
}

// --- Blend modes, by the formulas of the PDF and W3C compositing models ---------------------------------

using Channels = std::array<double, 3>;

double Separable(int mode, double b, double s) {
    switch (mode) {
        case 1:
            return b * s;
        case 2:
            return b + s - b * s;
        case 3:
            return Separable(5, s, b);  // overlay: hard light with the layers swapped
        case 4: {
            const double d = b <= 0.25 ? ((16 * b - 12) * b + 4) * b : std::sqrt(b);
            return s <= 0.5 ? b - (1 - 2 * s) * b * (1 - b) : b + (2 * s - 1) * (d - b);
        }
        case 5:
            return s <= 0.5 ? b * 2 * s : Separable(2, b, 2 * s - 1);
        case 6:
            return b == 0 ? 0 : s >= 1 ? 1 : std::min(1.0, b / (1 - s));
        case 7:
            return b >= 1 ? 1 : s <= 0 ? 0 : 1 - std::min(1.0, (1 - b) / s);
        case 8:
            return std::min(b, s);
        case 9:
            return std::max(b, s);
        case 10:
            return std::abs(b - s);
        default:
            return b + s - 2 * b * s;  // exclusion
    }
}

double Lum(const Channels& c) {
    return 0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2];
}

Channels ClipColor(Channels c) {
    const double l = Lum(c);
    const double n = std::min({c[0], c[1], c[2]});
    const double x = std::max({c[0], c[1], c[2]});
    for (double& v : c) {
        v = n < 0 ? l + (v - l) * l / (l - n) : v;
        v = x > 1 ? l + (v - l) * (1 - l) / (x - l) : v;
    }
    return c;
}

Channels SetLum(Channels c, double l) {
    const double d = l - Lum(c);
    for (double& v : c) {
        v += d;
    }
    return ClipColor(c);
}

double Sat(const Channels& c) {
    return std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]});
}

Channels SetSat(Channels c, double s) {
    const double n = std::min({c[0], c[1], c[2]});
    const double x = std::max({c[0], c[1], c[2]});
    for (double& v : c) {
        v = x > n ? (v - n) * s / (x - n) : 0.0;
    }
    return c;
}

// The colour the mode gives the source over the backdrop, both opaque.
Channels Blend(int mode, const Channels& b, const Channels& s) {
    switch (mode) {
        case 12:
            return SetLum(SetSat(s, Sat(b)), Lum(b));
        case 13:
            return SetLum(SetSat(b, Sat(s)), Lum(b));
        case 14:
            return SetLum(s, Lum(b));
        case 15:
            return SetLum(b, Lum(s));
        default:
            return {Separable(mode, b[0], s[0]), Separable(mode, b[1], s[1]), Separable(mode, b[2], s[2])};
    }
}

constexpr Channels kBackdrop{0.8, 0.4, 0.2}, kSource{0.2, 0.6, 0.9};

json GroupOf(const json& blend, const json& children) {
    return json{{"type", "group"}, {"style", {{"blend", blend}}}, {"children", children}};
}

json Shadowed(json object) {
    object["style"]["postEffects"] = json::array({json{{"name", "Host Drop Shadow"}}});
    return object;
}

json ClipGroup() {
    json mask = Square(0, 0, 50, Fill(Rgb(0, 0, 0)));
    mask["clippingMask"] = true;
    return json{
        {"type", "group"}, {"clipped", true}, {"children", {mask, Square(0, 0, 100, Fill(Rgb(1, 0, 0)))}}};
}

json Raster(const json& matrix) {
    return json{{"type", "raster"},
                {"frame", {0, 50, 50, 0}},
                {"matrix", matrix},
                {"pixels", {{"width", 1}, {"height", 1}, {"space", "rgb"}, {"data", "AAD/"}}}};
}

json TextBox() {
    return json{{"type", "textFrame"},
                {"kind", "area"},
                {"frame", {0, 100, 100, 0}},
                {"text", "\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588\u2588"}};
}

// A square of kSource in the mode over one of kBackdrop, probed where they overlap.
RenderCase BlendCase(const char* name, int mode) {
    const Channels blended = Blend(mode, kBackdrop, kSource);
    const auto byte = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    return {name,
            {Blended(Square(0, 0, 100, Fill(Rgb(kSource[0], kSource[1], kSource[2]))), mode),
             Square(0, 0, 100, Fill(Rgb(kBackdrop[0], kBackdrop[1], kBackdrop[2])))},
            {{50, 50, {byte(blended[0]), byte(blended[1]), byte(blended[2])}}}};
}

// A 10-point path zigzagging across the artboard, stroked 1000 points wide with round caps and
// dashes of no length every 0.3 points: 3,000 round dots, each over all the others.
json WideDashes() {
    json path = {{"type", "path"}, {"closed", false}, {"segments", json::array()}};
    for (int i = 0; i < 10; ++i) {
        path["segments"].push_back(json{{"anchor", {5.0 + 10.0 * i, i % 2 == 0 ? 0.0 : 100.0}}});
    }
    path["style"] = {
        {"paintFields",
         json::array({json{
             {"stroke",
              {{"color", Rgb(0, 0, 1)}, {"width", 1000.0}, {"cap", "round"}, {"dashes", {0.0, 0.3}}}}}})}};
    return path;
}

// A line across the artboard at y 50, 10 points wide, in dashes of 2 points every 10.
json DashedLine() {
    json line = {{"type", "path"},
                 {"closed", false},
                 {"segments", json::array({json{{"anchor", {0.0, 50.0}}}, json{{"anchor", {100.0, 50.0}}}})}};
    line["style"] = {{"paintFields",
                      json::array({json{
                          {"stroke", {{"color", Rgb(0, 0, 1)}, {"width", 10.0}, {"dashes", {2.0, 8.0}}}}}})}};
    return line;
}

// A frame of the letter M, count times, in 1-point letters stroked blue width points wide and not
// filled.
json StrokedLetters(int count, double width) {
    return json{{"type", "textFrame"},
                {"kind", "area"},
                {"frame", {0, 100, 100, 0}},
                {"story",
                 {{"text", std::string(static_cast<std::size_t>(count), 'M')},
                  {"runs", json::array({json{{"length", count},
                                             {"features",
                                              {{"fontSize", 1},
                                               {"fill", false},
                                               {"stroke", true},
                                               {"strokeColor", {{"rgb", {0, 0, 1}}}},
                                               {"lineWidth", width}}}}})}}}};
}

// A square filling the artboard with count fields of (1, 0.5, 0.5), each in multiply.
json ManyFields(int count) {
    json fields = json::array();
    for (int i = 0; i < count; ++i) {
        fields.push_back(json{{"fill", {{"color", Rgb(1, 0.5, 0.5)}}}, {"blend", {{"mode", 1}}}});
    }
    return Square(0, 0, 100, json{{"paintFields", fields}});
}

// Blue squares filling the artboard, count of them, each with a drop shadow.
json Shadows(int count) {
    json squares = json::array();
    for (int i = 0; i < count; ++i) {
        squares.push_back(Shadowed(Square(0, 0, 100, Fill(Rgb(0, 0, 1)))));
    }
    return json{{"type", "group"}, {"children", squares}};
}

constexpr std::size_t kInstances = host::kInstancesPerPicture, kPoints = host::kPointsPerPicture;
constexpr double kPathWork = host::kPathWorkPerPicture;

const RenderCase kCases[] = {
    // Paints, blends, symbols, clipping and text frames.
    {"ProcessFill", {Square(10, 10, 80, Fill(Rgb(1, 0, 0)))}, {{50, 50, kRed}, {5, 5, kWhite}}},
    {"CustomTint",
     {Square(0, 0, 100, Fill(json{{"custom", "Orange"}, {"tint", 0.5}}))},
     {{50, 50, {255, 191, 128}}}},
    {"Gradient",
     {Square(0, 0, 100, Fill(json{{"gradient", "Ramp"}}))},
     {{1, 50, kRed}, {50, 50, kPurple}, {98, 50, kBlue}}},
    {"GradientOfManyStops",
     {Square(0, 0, 100, Fill(json{{"gradient", "Fine"}}))},
     {{1, 50, kRed}, {50, 50, kPurple}, {98, 50, kBlue}}},
    {"Pattern", {PatternSquare(Matrix(1))}, {{2, 97, kBlue}, {7, 92, kWhite}}},
    // Every blend mode, its pixel as its formula gives it.
    BlendCase("Multiply", 1),
    BlendCase("Screen", 2),
    BlendCase("Overlay", 3),
    BlendCase("SoftLight", 4),
    BlendCase("HardLight", 5),
    BlendCase("ColorDodge", 6),
    BlendCase("ColorBurn", 7),
    BlendCase("Darken", 8),
    BlendCase("Lighten", 9),
    BlendCase("Difference", 10),
    BlendCase("Exclusion", 11),
    BlendCase("Hue", 12),
    BlendCase("Saturation", 13),
    BlendCase("Color", 14),
    BlendCase("Luminosity", 15),
    {"Symbol", {Instance("Dot", {0, 10, 10, 0}, Matrix(2, 20, 20))}, {{30, 70, kGreen}, {10, 90, kWhite}}},
    {"SymbolHoldingItself", {Instance("Loop", {0, 22, 10, 0}, Matrix(1, 10, 10))}, {{15, 85, kRed}}},
    {"ClipGroup", {ClipGroup()}, {{25, 75, kRed}, {75, 25, kWhite}}},
    {"HalfOpaque", {Opaque(Square(0, 0, 100, Fill(Rgb(0, 0, 1))), 0.5)}, {{50, 50, {128, 128, 255}}}},
    {"TextFrame", {TextBox()}, {{2, 8, kBlack}}},
    // Objects composited by themselves (through a group of cairo's), in pictures and every copy.
    {"BlendedHalfOpaque",
     {BlendedAt(Square(0, 0, 100, Fill(Rgb(0, 0, 1))), 1, 0.5), Square(0, 0, 100, Fill(Rgb(1, 0, 0)))},
     {{50, 50, {128, 0, 0}}}},
    {"FieldBlendedHalfOpaque",
     {FieldBlended(1, 0.5), Square(0, 0, 100, Fill(Rgb(1, 0, 0)))},
     {{50, 50, {128, 0, 0}}}},
    {"GroupHalfOpaque",
     {GroupOf({{"opacity", 0.5}},
              {Square(40, 40, 60, Fill(Rgb(0, 0, 1))), Square(0, 0, 60, Fill(Rgb(0, 0, 1)))})},
     {{50, 50, {128, 128, 255}}, {90, 90, kWhite}}},
    {"KnockoutGroup",
     {GroupOf({{"knockout", 1}},
              {Opaque(Square(0, 0, 100, Fill(Rgb(0, 0, 1))), 0.5), Square(0, 0, 100, Fill(Rgb(1, 0, 0)))})},
     {{50, 50, {128, 128, 255}}}},
    {"DropShadow", {Shadowed(Square(20, 20, 60, Fill(Rgb(0, 0, 1))))}, {{50, 50, kBlue}, {5, 5, kWhite}}},
    // Matrices, tiles and gradients cairo can't draw through: flat colour, or the object left out,
    // and the rest drawn.
    {"PatternScaledDown", {Witness(), PatternSquare(Matrix(0.001))}, {{50, 50, kGrey}, kWitnessRed}},
    {"PatternMatrixTiny", {Witness(), PatternSquare(Matrix(1e-20))}, {{50, 50, kGrey}, kWitnessRed}},
    {"PatternMatrixHuge", {Witness(), PatternSquare(Matrix(1e50))}, {{50, 50, kGrey}, kWitnessRed}},
    {"PatternTileThin",
     {Witness(), Square(0, 0, 100, Fill(json{{"pattern", "Thin"}}))},
     {{50, 50, kGrey}, kWitnessRed}},
    {"GradientMatrixSubnormal", {Witness(), GradientSquare(1e-310)}, {{50, 50, kPurple}, kWitnessRed}},
    {"GradientMatrixTiny", {Witness(), GradientSquare(1e-308)}, {{50, 50, kPurple}, kWitnessRed}},
    {"GradientMatrixSmall", {Witness(), GradientSquare(1e-10)}, {{50, 50, kPurple}, kWitnessRed}},
    {"SymbolMatrixTiny", {Witness(), Instance("Dot", {0, 10, 10, 0}, Matrix(1e-170, 20, 20))}, {kWitnessRed}},
    {"GlowingSymbolSubnormal",
     {Witness(), Instance("Glowing", {0, 10, 10, 0}, Matrix(1e-310, 20, 20))},
     {kWitnessRed}},
    {"RasterMatrixTiny", {Witness(), Raster(Matrix(1e-170))}, {kWitnessRed, {25, 75, kWhite}}},
    {"Raster", {Witness(), Raster(Matrix(1))}, {kWitnessRed, {25, 75, kBlue}}},
    {"PlacedMatrixTiny",
     {Witness(), json{{"type", "placed"},
                      {"file", "/nonexistent/none.png"},
                      {"frame", {0, 50, 50, 0}},
                      {"matrix", Matrix(1e-170)}}},
     {kWitnessRed}},
    // The picture's budget: shared by symbols, pattern tiles and their nesting.
    {"PatternHoldingItsSymbol",
     {Witness(), Square(0, 0, 50, Fill(json{{"pattern", "Holding"}}))},
     {kWitnessRed, {2, 97, kBlue}}},
    {"InstancesWithinBudget", {Witness(), Instance("Level4", {0, 1, 1, 0}, Matrix(1))}, {kWitnessRed}, 4},
    {"InstancesPastBudget", {Witness(), Instance("Level5", {0, 1, 1, 0}, Matrix(1))}, {}, 5},
    {"PointsPastBudget",
     {Witness(), Instance("Level2", {0, 1, 1, 0}, Matrix(1))},
     {},
     2,
     101,
     {1000, 10'000}},
    {"PointsWithinBudget",
     {Witness(), Instance("Level2", {0, 1, 1, 0}, Matrix(1))},
     {kWitnessRed},
     2,
     99,
     {1000, 10'000}},
    {"TilesSpendThePicturesBudget",
     {Witness(), Square(0, 0, 50, Fill(json{{"pattern", "Crowd"}}))},
     {},
     2,
     4,
     {50, 10'000}},
    // Work priced before it is drawn: past the picture's budget drawn simpler or left out, and named.
    {"DashesWithinBudget", {DashedLine()}, {{1, 50, kBlue}, {6, 50, kWhite}}},
    {"DashesPastBudgetDrawnSolid",
     {DashedLine()},
     {{1, 50, kBlue}, {6, 50, kBlue}},
     0,
     4,
     {kInstances, kPoints, 10.0},
     "1 dashed stroke drawn solid (path)"},
    {"WideDashesOfNoLengthDrawnSolid",
     {Witness(), WideDashes()},
     {kWitnessRed, {50, 50, kBlue}, {2, 2, kBlue}},
     0,
     4,
     {},
     "1 dashed stroke drawn solid (path)"},
    // 60,000 points of glyphs under one stroke wider than the artboard: stroked a glyph at a time.
    {"FiveThousandLettersStrokedWide", {StrokedLetters(5000, 1000.0)}, {{50, 50, kBlue}, {2, 98, kBlue}}},
    {"TextStrokesPastBudgetLeftOut",
     {StrokedLetters(20, 1000.0)},
     {{50, 50, kWhite}},
     0,
     4,
     {kInstances, kPoints, 100.0},
     "20 text strokes left out (the first: textFrame)"},
    {"BlendPastBudgetDrawnNormal",
     {Blended(Square(0, 0, 100, Fill(Rgb(0, 0, 1))), 1), Square(0, 0, 100, Fill(Rgb(1, 0, 0)))},
     {{50, 50, kBlue}},
     0,
     4,
     {kInstances, kPoints, kPathWork, 5'000.0},
     "1 object drawn without its opacity, blend mode or knockout (path)"},
    {"FieldBlendPastBudgetDrawnNormal",
     {FieldBlended(1, 1.0), Square(0, 0, 100, Fill(Rgb(1, 0, 0)))},
     {{50, 50, kBlue}},
     0,
     4,
     {kInstances, kPoints, kPathWork, 5'000.0},
     "1 object drawn without its opacity, blend mode or knockout (path)"},
    {"KnockoutPastBudgetDrawnOver",
     {GroupOf({{"knockout", 1}},
              {Opaque(Square(0, 0, 100, Fill(Rgb(0, 0, 1))), 0.5), Square(0, 0, 100, Fill(Rgb(1, 0, 0)))})},
     {{50, 50, kBlue}},
     0,
     4,
     {kInstances, kPoints, kPathWork, 1'500.0},
     "2 objects drawn without their opacity, blend mode or knockout (the first: group)"},
    {"EffectPastBudgetLeftOut",
     {Shadowed(Square(20, 20, 60, Fill(Rgb(0, 0, 1))))},
     {{50, 50, kBlue}, {84, 84, kWhite}},
     0,
     4,
     {kInstances, kPoints, kPathWork, 5'000.0},
     "1 object drawn without its effects (path)"},
    // 300 fields multiplied: as many as the budget holds are blended, some more drawn in normal
    // mode, and the rest left out; of page-sized drop shadows, as many as the budget holds.
    {"ThreeHundredMultipliedFields",
     {ManyFields(300)},
     {{50, 50, {255, 128, 128}}},
     0,
     4,
     {kInstances, kPoints, kPathWork, 63'350.0},
     "280 fills left out (the first: path)"},
    {"ThirtyShadowedSquares",
     {Shadows(30)},
     {{50, 50, kBlue}},
     0,
     4,
     {kInstances, kPoints, kPathWork, 57'500.0},
     "28 objects drawn without their effects (the first: path)"},
    {"HundredShadowedSquares",
     {Shadows(100)},
     {{50, 50, kBlue}},
     0,
     4,
     {kInstances, kPoints, kPathWork, 57'500.0},
     "98 objects drawn without their effects (the first: path)"},
    {"PaintPastBudgetLeftOut",
     {Witness(), Square(0, 0, 100, Fill(Rgb(0, 0, 1)))},
     {kWitnessRed, {50, 50, kWhite}},
     0,
     4,
     {kInstances, kPoints, kPathWork, 100.0},
     "1 fill left out (path)"},
};

// The case's document: its art on the artboard [0, 100, 100, 0], with the resources.
Document Make(const RenderCase& c) {
    json document = Resources();
    document["format"] = "plimhost-document";
    document["version"] = 1;
    document["artboards"] = json::array({json{{"name", "One"}, {"rect", {0.0, 100.0, 100.0, 0.0}}}});
    document["layers"] = json::array({json{{"type", "layer"}, {"title", "Art"}, {"children", c.art}}});
    if (c.levels > 0) {
        AddLevels(document, c.levels, c.points);
    }
    return Read(document);
}

class RendererTest : public ::testing::TestWithParam<RenderCase> {};

std::array<int, 3> At(const host::model::RasterPixels& pixels, int x, int y) {
    const std::size_t at = (static_cast<std::size_t>(y) * pixels.width + static_cast<std::size_t>(x)) * 3;
    return {pixels.bytes[at], pixels.bytes[at + 1], pixels.bytes[at + 2]};
}

bool Near(const std::array<int, 3>& a, const std::array<int, 3>& b) {
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::abs(a[i] - b[i]) > 10) {
            return false;
        }
    }
    return true;
}

// Draws the case under its budget: what standard error says, and the pixels (or the refusal).
void ExpectDrawn(const RenderCase& c) {
    const Document document = Make(c);
    host::RenderSettings settings;
    settings.limits = c.limits;
    testing::internal::CaptureStderr();
    const std::optional<host::model::RasterPixels> pixels =
        host::RenderArt(document, host::LayerGroupsBottomFirst(document), {0.0, 100.0, 100.0, 0.0}, settings);
    const std::string said = testing::internal::GetCapturedStderr();
    if (*c.simplified == '\0') {
        EXPECT_EQ(said.find("past the picture's budget"), std::string::npos) << said;
    } else {
        EXPECT_NE(
            said.find(std::string("plimhost: past the picture's budget of work, ") + c.simplified + "\n"),
            std::string::npos)
            << said;
    }
    if (c.probes.empty()) {
        EXPECT_FALSE(pixels) << "a picture past its budget is refused";
        return;
    }
    ASSERT_TRUE(pixels);
    ASSERT_EQ(pixels->width, 100u);
    for (const Probe& probe : c.probes) {
        const std::array<int, 3> seen = At(*pixels, probe.x, probe.y);
        EXPECT_TRUE(Near(seen, probe.rgb))
            << "at (" << probe.x << ", " << probe.y << "): " << seen[0] << " " << seen[1] << " " << seen[2];
    }
}

TEST_P(RendererTest, DrawsWhatTheDocumentHoldsOrRefusesIt) {
    ExpectDrawn(GetParam());
}

// A number printed as cairo prints one that is not finite.
bool HoldsNonFinite(const std::string& text) {
    static const std::regex kNonFinite(R"re((^|[\s\[(,:"=])-?(nan|inf)([\s\])",;]|$))re", std::regex::icase);
    return std::regex_search(text, kNonFinite);
}

TEST_P(RendererTest, VectorCopiesHoldOnlyFiniteNumbers) {
    const RenderCase& c = GetParam();
    if (c.limits.instances != host::kInstancesPerPicture || c.limits.points != host::kPointsPerPicture ||
        c.limits.pathWork != host::kPathWorkPerPicture || c.limits.pixelWork.has_value()) {
        return;  // a budget of its own, which only pictures take
    }
    const Document document = Make(c);
    const ScratchFolder folder("plim_render");
    const std::pair<std::string_view, const char*> formats[] = {{host::kPdfFormatName, "copy.pdf"},
                                                                {host::kSvgFormatName, "copy.svg"},
                                                                {host::kEpsFormatName, "copy.eps"}};
    for (const auto& [format, name] : formats) {
        const std::filesystem::path file = folder.Path() / name;
        std::string error;
        const bool written = host::WriteVectorCopy(document, file, format, {}, "", &error);
        if (c.probes.empty()) {
            EXPECT_FALSE(written) << name;
            EXPECT_FALSE(std::filesystem::exists(file)) << name;
            continue;
        }
        ASSERT_TRUE(written) << name << ": " << error;
        std::string text = ReadFile(file);
        if (format == host::kPdfFormatName) {
            // The page streams are compressed: qpdf writes them out plain.
            const std::string plain = (folder.Path() / "plain.pdf").string();
            ASSERT_EQ(
                RunProgram(folder,
                           "qpdf --qdf --object-streams=disable '" + file.string() + "' '" + plain + "'", "")
                    .status,
                0);
            text = ReadFile(plain);
        }
        EXPECT_FALSE(HoldsNonFinite(text)) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Documents, RendererTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Placed files under clips ----------------------------------------------------------------------------

// A blue image placed over the artboard under a star of 101 points whose edges cross (each point
// joined to the one 50 on), beside the witness: painting the image rasterizes the clip, which the
// picture's budget of path work pays for; past it the image is left out and named, the rest drawn.
TEST(PlacedUnderAClip, PaysForTheClipFromThePicturesBudget) {
    const ScratchFolder folder("plim_render_clip");
    const std::string tiff = (folder.Path() / "blue.tif").string();
    host::model::RasterPixels blue{4, 4, host::model::RasterPixels::Space::rgb, false, {}};
    for (int i = 0; i < 16; ++i) {
        blue.bytes.insert(blue.bytes.end(), {0, 0, 255});
    }
    std::string error;
    ASSERT_TRUE(host::WriteTiffFile(blue, {}, tiff, &error)) << error;
    json star = {{"type", "path"}, {"closed", true}, {"clippingMask", true}, {"segments", json::array()}};
    for (int i = 0; i < 101; ++i) {
        const double angle = 2.0 * M_PI * (i * 50 % 101) / 101.0;
        star["segments"].push_back({{"anchor", {50 + 45 * std::cos(angle), 50 + 45 * std::sin(angle)}}});
    }
    const json placed = {{"type", "placed"}, {"file", tiff}, {"frame", {0, 100, 100, 0}}};
    const json art = {Witness(), {{"type", "group"}, {"clipped", true}, {"children", {star, placed}}}};
    for (const RenderCase& c : {RenderCase{"WithinTheBudget", art, {{50, 50, kBlue}, kWitnessRed}},
                                RenderCase{"PastTheBudgetLeftOut",
                                           art,
                                           {{50, 50, kWhite}, kWitnessRed},
                                           0,
                                           4,
                                           {kInstances, kPoints, 100.0},
                                           "1 fill left out (placed)"}}) {
        SCOPED_TRACE(c.name);
        ExpectDrawn(c);
    }
}

// --- No include circles ---------------------------------------------------------------------------------

// The files of host/src by their name without extension (a header and its source are one), each with
// the ones it includes from host/src.
std::map<std::string, std::set<std::string>> IncludeGraph(const std::filesystem::path& root) {
    static const std::regex kInclude(R"(^\s*#\s*include\s+"([^"]+)\")");
    std::map<std::string, std::set<std::string>> graph;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::filesystem::path& path = entry.path();
        if (path.extension() != ".h" && path.extension() != ".cpp") {
            continue;
        }
        const std::string from = std::filesystem::relative(path, root).replace_extension().string();
        std::set<std::string>& edges = graph[from];
        std::ifstream in(path);
        std::smatch match;
        for (std::string line; std::getline(in, line);) {
            if (!std::regex_search(line, match, kInclude)) {
                continue;
            }
            for (const std::filesystem::path& candidate :
                 {root / match[1].str(), path.parent_path() / match[1].str()}) {
                if (std::filesystem::exists(candidate)) {
                    const std::string to = std::filesystem::relative(candidate.lexically_normal(), root)
                                               .replace_extension()
                                               .string();
                    if (to != from) {
                        edges.insert(to);
                    }
                    break;
                }
            }
        }
    }
    return graph;
}

// A circle through the node, as the names along it; empty when there is none.
bool FindCircle(const std::map<std::string, std::set<std::string>>& graph, const std::string& node,
                std::map<std::string, int>& state, std::vector<std::string>& path) {
    state[node] = 1;  // on the path
    path.push_back(node);
    if (const auto found = graph.find(node); found != graph.end()) {
        for (const std::string& next : found->second) {
            if (state[next] == 1) {
                path.push_back(next);
                return true;
            }
            if (state[next] == 0 && FindCircle(graph, next, state, path)) {
                return true;
            }
        }
    }
    state[node] = 2;  // done
    path.pop_back();
    return false;
}

TEST(IncludeGraphTest, HostSourcesIncludeEachOtherInOneDirection) {
    const auto graph = IncludeGraph(std::filesystem::path(HOST_SOURCE_DIR));
    ASSERT_GT(graph.size(), 20u);
    ASSERT_TRUE(graph.count("render/Renderer"));
    std::map<std::string, int> state;
    for (const auto& [node, edges] : graph) {
        std::vector<std::string> path;
        if (state[node] == 0 && FindCircle(graph, node, state, path)) {
            std::string circle;
            for (const std::string& name : path) {
                circle += name + " -> ";
            }
            FAIL() << "include circle: " << circle;
        }
    }
}

// The renderer is a library of its own: it includes nothing of the application above it, only its
// own headers, the document model's, the text layout's and those of libraries.
TEST(IncludeGraphTest, RendererIncludesOnlyTheModelAndTheTextLayout) {
    static const std::regex kInclude(R"(^\s*#\s*include\s+"([^"]+)\")");
    const std::filesystem::path folder = std::filesystem::path(HOST_SOURCE_DIR) / "render";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++files;
        std::ifstream in(entry.path());
        std::smatch match;
        for (std::string line; std::getline(in, line);) {
            if (!std::regex_search(line, match, kInclude)) {
                continue;
            }
            const std::string included = match[1].str();
            const bool allowed = included.starts_with("render/") || included.starts_with("model/") ||
                                 included.starts_with("textengine/");
            EXPECT_TRUE(allowed) << entry.path().filename().string() << " includes " << included;
        }
    }
    EXPECT_GT(files, 10);
}

}  // namespace

// Fuzzes the renderer with documents made from the input: paths painted with colours, gradients and
// patterns through matrices of every scale (subnormal, tiny, huge, flattening), strokes of every
// width, cap and join with dash arrays, symbol instances of symbols that hold one another, blend
// modes and opacities of objects and of single paint fields, isolated and knockout groups, live
// effects, text frames whose glyphs are stroked, rasters, pattern tiles that hold symbols painted
// with patterns, clip groups whose clipping paths cross themselves, and placed files (a PNG, a PDF
// and an SVG file, under those clips or not). The picture's budget is small, so that pricing what is drawn,
// and drawing it simpler past the budget, is reached often. Each document is drawn as a small picture and as
// a PDF page, first in a picture's own process under the bound, then here when that ended within it; whatever
// it holds, drawing ends with a picture or a refusal, and never with a cairo assertion or a sanitizer's
// report.
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include <cairo-pdf.h>
#include <cairo.h>
#include <nlohmann/json.hpp>

#include "model/DocumentFormat.h"
#include "render/PictureProcess.h"
#include "render/Renderer.h"

namespace {

using json = nlohmann::json;

// The numbers matrices, tiles and parameters are drawn from: the ordinary and the hostile.
constexpr std::array<double, 16> kNumbers = {0.0,    1.0,   -1.0,  0.5,   10.0, 100.0, 1e-310, 1e-308,
                                             1e-170, 1e-20, 1e-10, 0.001, 1e10, 1e50,  1e300,  -250.0};

// Reads the input a byte at a time; past its end every byte is 0.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }
    bool More() const { return at_ < size_; }
    double Number() { return kNumbers[Next() % kNumbers.size()]; }
    json Matrix() {
        const std::uint8_t shape = Next();
        if (shape % 4 == 0) {
            return json::array({1.0, 0.0, 0.0, 1.0, 0.0, 0.0});
        }
        const double scale = Number();
        return json::array({scale, shape % 3 == 0 ? Number() : 0.0, 0.0, shape % 5 == 0 ? Number() : scale,
                            Number(), Number()});
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

json Square(double side, const json& style) {
    return json{{"type", "path"},
                {"closed", true},
                {"segments", json::array({json{{"anchor", {0.0, 0.0}}}, json{{"anchor", {side, 0.0}}},
                                          json{{"anchor", {side, side}}}, json{{"anchor", {0.0, side}}}})},
                {"style", style}};
}

json Paint(Bytes& bytes) {
    switch (bytes.Next() % 4) {
        case 0:
            return json{{"rgb", {1.0, 0.0, 0.0}}};
        case 1:
            return json{{"gradient", bytes.Next() % 2 == 0 ? "Ramp" : "Round"},
                        {"placement",
                         {{"length", bytes.Number()}, {"origin", {0.0, 0.0}}, {"matrix", bytes.Matrix()}}}};
        case 2:
            return json{{"pattern", "Checks"}};
        default:
            return json{{"pattern", "Holding"}};
    }
}

// A stroke of any width, cap and join, dashed or not.
json Stroke(Bytes& bytes) {
    static constexpr std::array<const char*, 3> kCaps = {"butt", "round", "projecting"};
    static constexpr std::array<const char*, 3> kJoins = {"miter", "round", "bevel"};
    json stroke = {{"color", Paint(bytes)},
                   {"width", std::abs(bytes.Number())},
                   {"cap", kCaps[bytes.Next() % kCaps.size()]},
                   {"join", kJoins[bytes.Next() % kJoins.size()]}};
    if (const int dashes = bytes.Next() % 4; dashes > 0) {
        stroke["dashes"] = json::array();
        for (int i = 0; i < dashes; ++i) {
            stroke["dashes"].push_back(std::abs(bytes.Number()));
        }
        stroke["dashOffset"] = bytes.Number();
    }
    return stroke;
}

json Style(Bytes& bytes) {
    json style = {{"paintFields", json::array({json{{"fill", {{"color", Paint(bytes)}}}}})}};
    const std::uint8_t extras = bytes.Next();
    if ((extras & 1) != 0) {
        json field = {{"stroke", Stroke(bytes)}};
        if ((extras & 8) != 0) {
            field["blend"] = {{"mode", bytes.Next() % 16}, {"opacity", (bytes.Next() % 11) / 10.0}};
        }
        style["paintFields"].push_back(field);
    }
    if ((extras & 2) != 0) {
        style["blend"] = {{"mode", bytes.Next() % 16}, {"opacity", (bytes.Next() % 11) / 10.0}};
    }
    if ((extras & 4) != 0) {
        static constexpr std::array<const char*, 4> kEffects = {"Host Drop Shadow", "Host Outer Glow",
                                                                "Host Inner Glow", "Host PSL Gaussian Blur"};
        style["postEffects"] = json::array(
            {json{{"name", kEffects[bytes.Next() % kEffects.size()]},
                  {"parameters", {{"blur", {{"type", "real"}, {"value", std::abs(bytes.Number())}}}}}}});
    }
    return style;
}

// A frame of letters, stroked at any width and sized at any size.
json TextFrame(Bytes& bytes) {
    const int count = 1 + bytes.Next() % 64 * 16;
    json frame = {
        {"type", "textFrame"},
        {"kind", bytes.Next() % 2 == 0 ? "area" : "point"},
        {"frame", {0.0, 64.0, 64.0, 0.0}},
        {"matrix", bytes.Matrix()},
        {"story",
         {{"text", std::string(static_cast<std::size_t>(count), static_cast<char>('A' + bytes.Next() % 26))},
          {"runs", json::array({json{{"length", count},
                                     {"features",
                                      {{"fontSize", std::abs(bytes.Number())},
                                       {"stroke", true},
                                       {"strokeColor", {{"rgb", {0.0, 0.0, 1.0}}}},
                                       {"lineWidth", std::abs(bytes.Number())}}}}})}}}};
    frame["style"] = Style(bytes);
    return frame;
}

// The files placed objects link to, written once in a folder of this process: a PNG image, a PDF
// page and an SVG document, each a red square over a blue one.
std::array<std::string, 3> PlacedFiles() {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("render_fuzzer_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const auto draw = [](cairo_surface_t* surface) {
        cairo_t* cr = cairo_create(surface);
        cairo_set_source_rgb(cr, 0, 0, 1);
        cairo_paint(cr);
        cairo_set_source_rgb(cr, 1, 0, 0);
        cairo_rectangle(cr, 2, 2, 12, 12);
        cairo_fill(cr);
        cairo_destroy(cr);
    };
    const std::string png = (folder / "placed.png").string();
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 16, 16);
    draw(image);
    cairo_surface_write_to_png(image, png.c_str());
    cairo_surface_destroy(image);
    const std::string pdf = (folder / "placed.pdf").string();
    cairo_surface_t* page = cairo_pdf_surface_create(pdf.c_str(), 16, 16);
    draw(page);
    cairo_surface_destroy(page);
    const std::string svg = (folder / "placed.svg").string();
    std::ofstream(svg) << R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16">)"
                          R"(<rect width="16" height="16" fill="#00f"/><rect x="2" y="2" width="12" )"
                          R"(height="12" fill="#f00"/></svg>)";
    return {png, pdf, svg};
}

json Placed(Bytes& bytes) {
    static const std::array<std::string, 3> kFiles = PlacedFiles();
    return json{{"type", "placed"},
                {"file", kFiles[bytes.Next() % kFiles.size()]},
                {"frame", {0.0, 16.0, 16.0, 0.0}},
                {"matrix", bytes.Matrix()}};
}

// A clipping path: a star of 3 to 66 points around the artboard's middle, each joined to the one
// some points on, so that its edges cross one another (or, joined to the next, a polygon).
json ClippingPath(Bytes& bytes) {
    const int points = 3 + bytes.Next() % 64;
    const int step = 1 + bytes.Next() % points;
    const double radius = bytes.Next() % 2 == 0 ? 30.0 : std::abs(bytes.Number());
    json segments = json::array();
    for (int i = 0; i < points; ++i) {
        const double angle = 2.0 * M_PI * static_cast<double>(i * step % points) / points + 0.1;
        segments.push_back({{"anchor", {32.0 + radius * std::cos(angle), 32.0 + radius * std::sin(angle)}}});
    }
    return json{{"type", "path"}, {"closed", true}, {"clippingMask", true}, {"segments", segments}};
}

json Object(Bytes& bytes, int depth) {
    const std::uint8_t kind = bytes.Next() % 5;
    if (kind == 0 && depth < 3) {
        json group = {{"type", "group"}, {"children", json::array()}};
        const std::uint8_t blend = bytes.Next();
        if (blend % 2 != 0) {
            group["style"] = {{"blend",
                               {{"mode", bytes.Next() % 16},
                                {"opacity", (bytes.Next() % 11) / 10.0},
                                {"isolated", (blend & 2) != 0},
                                {"knockout", (blend >> 2) % 3}}}};
        }
        if ((blend & 16) != 0) {
            group["clipped"] = true;
            group["children"].push_back(ClippingPath(bytes));
        }
        for (int i = bytes.Next() % 4; i > 0 && bytes.More(); --i) {
            group["children"].push_back(Object(bytes, depth + 1));
        }
        return group;
    }
    if (kind == 4 && bytes.Next() % 4 == 0) {
        return TextFrame(bytes);
    }
    if (kind == 1 || kind == 2) {
        static constexpr std::array<const char*, 3> kSymbols = {"Dot", "Pair", "Tiled"};
        return json{{"type", "symbol"},
                    {"symbol", kSymbols[bytes.Next() % kSymbols.size()]},
                    {"frame", {0.0, 10.0, 10.0, 0.0}},
                    {"matrix", bytes.Matrix()}};
    }
    if (kind == 3 && bytes.Next() % 2 == 0) {
        return Placed(bytes);
    }
    if (kind == 3) {
        return json{{"type", "raster"},
                    {"frame", {0.0, 10.0, 10.0, 0.0}},
                    {"matrix", bytes.Matrix()},
                    {"pixels", {{"width", 1}, {"height", 1}, {"space", "rgb"}, {"data", "AAD/"}}}};
    }
    json square = Square(bytes.Number(), Style(bytes));
    square["fillPattern"] = bytes.Matrix();
    return square;
}

json Resources(Bytes& bytes) {
    const json blue = {
        {"paintFields", json::array({json{{"fill", {{"color", {{"rgb", {0.0, 0.0, 1.0}}}}}}}})}};
    json tiled =
        Square(10, {{"paintFields", json::array({json{{"fill", {{"color", {{"pattern", "Holding"}}}}}}})}});
    tiled["fillPattern"] = bytes.Matrix();
    const json stops =
        json::array({json{{"color", {{"rgb", {1.0, 0.0, 0.0}}}}, {"rampPoint", 0.0}},
                     json{{"color", {{"gray", 1.0}}}, {"rampPoint", 100.0}, {"midPoint", 20.0}}});
    return json{
        {"format", "plimhost-document"},
        {"version", 1},
        {"artboards", json::array({json{{"name", "One"}, {"rect", {0.0, 64.0, 64.0, 0.0}}}})},
        {"gradients",
         json::array(
             {json{{"name", "Ramp"}, {"color", {{"gray", 0.5}}}, {"stops", stops}},
              json{{"name", "Round"}, {"type", "radial"}, {"color", {{"gray", 0.5}}}, {"stops", stops}}})},
        {"patterns",
         json::array(
             {json{{"name", "Checks"},
                   {"color", {{"gray", 0.5}}},
                   {"tile", {0.0, bytes.Number(), std::abs(bytes.Number()), 0.0}},
                   {"art", Square(5, blue)}},
              json{{"name", "Holding"},
                   {"color", {{"gray", 0.5}}},
                   {"tile", {0.0, 10.0, 10.0, 0.0}},
                   {"art",
                    {{"type", "group"},
                     {"children", json::array({Square(5, blue), json{{"type", "symbol"},
                                                                     {"symbol", "Tiled"},
                                                                     {"frame", {0.0, 10.0, 10.0, 0.0}},
                                                                     {"matrix", bytes.Matrix()}}})}}}}})},
        {"symbols", json::array({json{{"name", "Dot"}, {"art", Square(10, blue)}},
                                 json{{"name", "Pair"},
                                      {"art",
                                       {{"type", "group"},
                                        {"children", json::array({json{{"type", "symbol"},
                                                                       {"symbol", "Dot"},
                                                                       {"frame", {0.0, 10.0, 10.0, 0.0}},
                                                                       {"matrix", bytes.Matrix()}},
                                                                  json{{"type", "symbol"},
                                                                       {"symbol", "Pair"},
                                                                       {"frame", {0.0, 10.0, 10.0, 0.0}},
                                                                       {"matrix", bytes.Matrix()}}})}}}},
                                 json{{"name", "Tiled"}, {"art", tiled}}})},
    };
}

cairo_status_t Discard(void*, const unsigned char*, unsigned int) {
    return CAIRO_STATUS_SUCCESS;
}

// Whether the drawing ends within the picture's bound, tried in a process of its own (a sanitizer's
// report from it ends this process too). The bound is lowered, so that drawing it again here keeps
// well within the fuzzer's own limits of time and memory: a hostile input ends as a refusal, never
// as the fuzzer's timeout or out-of-memory.
template <typename Draw>
bool WithinTheBound(const Draw& draw) {
    static const bool lowered = [] {
        host::SetPictureBound(
            {std::chrono::seconds(2), std::size_t{512} << 20, std::chrono::milliseconds(4000)});
        return true;
    }();
    (void)lowered;
    const host::PictureResult tried = host::DrawPictureApart(
        [&](host::PictureOutput&, std::string&) {
            draw();
            return true;
        },
        host::PictureLoad{});
    return tried.end != host::PictureResult::End::beyond;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes bytes(data, size);
    json document = Resources(bytes);
    json children = json::array();
    while (bytes.More() && children.size() < 16) {
        children.push_back(Object(bytes, 0));
    }
    document["layers"] = json::array({json{{"type", "layer"}, {"title", "Art"}, {"children", children}}});
    host::model::ReadResult read = host::model::readDocument(document.dump(), 1);
    if (!read.document) {
        return 0;
    }
    const host::model::Document& model = *read.document;
    const std::vector<host::model::ArtId> layers = host::LayerGroupsBottomFirst(model);
    const host::model::Rect bounds(0.0, 64.0, 64.0, 0.0);
    host::RenderSettings settings;
    // Small, so that each input runs quickly and simplifies often.
    settings.limits = {2'000, 200'000, 20'000.0, 2'000'000.0};
    const auto draw = [&] {
        (void)host::RenderArtHere(model, layers, bounds, settings);
        cairo_surface_t* pdf = cairo_pdf_surface_create_for_stream(Discard, nullptr, 64.0, 64.0);
        (void)host::DrawPagesOnto(pdf, model, layers, {bounds}, nullptr);
        cairo_surface_destroy(pdf);
    };
    // Drawn first as the application draws a picture, in a process of its own under the bound, and
    // drawn here (where the fuzzer sees what it reaches) only when that ended within the bound.
    if (!WithinTheBound(draw)) {
        return 0;
    }
    draw();
    return 0;
}

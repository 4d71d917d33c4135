// What the picture's budget prices each construct at, beside what cairo takes to draw it here.
//
// Each run draws one document of an artboard of 2000 x 2000 points (4,000,000 pixels at 72 pixels
// per inch) with the host's renderer, in this process, as a picture's process draws it: one
// construct covering the artboard (a fill; gradients by kind and number of stops, laid along the
// device's axes or across them; opacity and blend modes; dashes; glyphs filled and stroked; a
// pattern; clipping nested ten deep; effects). The cheapest are drawn several times over, so that
// their time stands out of the noise. "empty" draws the artboard with nothing on it: what
// every picture of that size costs whatever it holds (its surface, put on white, handed back as
// pixels), which the allowance of its surface pixels pays for.
//
// Each run's "priced_ms" counter is what the bound of its picture grows by for the work its budget
// priced (PictureAllowance's path and pixel work), without the sanitizers' factor; what the
// document holds (its objects and points) grows the bound besides, and is left out here. After the runs the
// table gives, for each construct, that allowance beside the CPU time the construct took beyond "empty"
// (medians of the repetitions), and the ratio of the two: the allowances are meant to be within three times
// of what this machine takes, either way.
//
// Placed files (a PDF's meshes, images, SVG documents) are not in the table: no budget prices what
// their decoders do; their time is the base's and their bytes' (PictureProcess.h).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <iomanip>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "RatioReporter.h"
#include "model/DocumentFormat.h"
#include "render/PictureMeter.h"
#include "render/PictureProcess.h"
#include "render/Renderer.h"

namespace {

using json = nlohmann::json;
using host::model::Document;

constexpr double kSide = 2000.0;

json Rgb(double r, double g, double b) {
    return json{{"rgb", {r, g, b}}};
}

json Fill(const json& color) {
    return json{{"paintFields", json::array({json{{"fill", {{"color", color}}}}})}};
}

json Rectangle(double left, double bottom, double right, double top, const json& style) {
    return json{{"type", "path"},
                {"closed", true},
                {"segments", json::array({json{{"anchor", {left, bottom}}}, json{{"anchor", {right, bottom}}},
                                          json{{"anchor", {right, top}}}, json{{"anchor", {left, top}}}})},
                {"style", style}};
}

json Square(const json& style) {
    return Rectangle(0, 0, kSide, kSide, style);
}

// A disc filling the artboard, of four curves.
json Disc(const json& style) {
    const double r = kSide / 2;
    const double k = 0.5523 * r;
    const auto segment = [&](double ax, double ay, double ix, double iy) {
        return json{{"anchor", {r + ax, r + ay}},
                    {"in", {r + ax + ix, r + ay + iy}},
                    {"out", {r + ax - ix, r + ay - iy}}};
    };
    return json{{"type", "path"},
                {"closed", true},
                {"segments", json::array({segment(r, 0, 0, -k), segment(0, r, k, 0), segment(-r, 0, 0, k),
                                          segment(0, -r, -k, 0)})},
                {"style", style}};
}

// A ramp of that many stops: "smooth" three waves of colour, "sharp" black and white in turn.
json Stops(int count, bool smooth) {
    json stops = json::array();
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / (count - 1);
        const double wave = 0.5 + 0.5 * std::sin(6.0 * M_PI * t);
        const double v = smooth ? wave : i % 2;
        stops.push_back(
            json{{"color", Rgb(v, smooth ? t : v, smooth ? 1.0 - wave : v)}, {"rampPoint", 100.0 * t}});
    }
    return stops;
}

json Gradient(const std::string& name, const char* type, int stops, bool smooth) {
    return json{
        {"name", name}, {"color", Rgb(0.5, 0.5, 0.5)}, {"type", type}, {"stops", Stops(stops, smooth)}};
}

// A square of the gradient: across the art's bounds ("along" the device's axes) or at 30 degrees.
json GradientSquare(const std::string& name, bool along) {
    json color = {{"gradient", name}};
    if (!along) {
        color["placement"] = {{"origin", {0.0, 0.0}}, {"angle", 30.0}, {"length", kSide}};
    }
    return Square(Fill(color));
}

json RadialSquare(const std::string& name) {
    return Square(Fill(json{{"gradient", name},
                            {"placement", {{"origin", {kSide / 2, kSide / 2}}, {"length", kSide / 2}}}}));
}

json Blended(json object, int mode, double opacity = 1.0) {
    object["style"]["blend"] = {{"mode", mode}, {"opacity", opacity}};
    return object;
}

json WithEffect(json object, const char* effect) {
    object["style"]["postEffects"] = json::array({json{{"name", effect}}});
    return object;
}

// A zigzag of 2,000 points across the artboard, stroked 2 points wide, with the dashes.
json Zigzag(const json& dashes) {
    json segments = json::array();
    for (int i = 0; i < 2000; ++i) {
        segments.push_back(json{{"anchor", {kSide * i / 2000.0, i % 2 == 0 ? 0.0 : kSide}}});
    }
    json stroke = {{"color", Rgb(0, 0, 0)}, {"width", 2.0}};
    if (!dashes.empty()) {
        stroke["dashes"] = dashes;
    }
    return json{{"type", "path"},
                {"closed", false},
                {"segments", segments},
                {"style", {{"paintFields", json::array({json{{"stroke", stroke}}})}}}};
}

// An area text frame over the artboard full of 24-point text, filled, or filled and stroked.
json Text(bool stroked) {
    std::string text;
    for (int i = 0; i < 3000; ++i) {
        text += "Pricing glyphs ";
    }
    json features = {{"fontSize", 24.0}, {"fillColor", Rgb(0, 0, 0)}};
    if (stroked) {
        features["stroke"] = true;
        features["strokeColor"] = Rgb(1, 0, 0);
        features["lineWidth"] = 1.0;
    }
    return json{{"type", "textFrame"},
                {"kind", "area"},
                {"frame", {0, kSide, kSide, 0}},
                {"story",
                 {{"text", text},
                  {"runs", json::array({json{{"length", text.size()}, {"features", features}}})},
                  {"paragraphs", json::array({json::object()})}}}};
}

// Clip groups nested that deep, each clipped to a disc (one after another a little further to the
// right), round a filled square.
json Clipped(int depth) {
    json inner = Square(Fill(Rgb(0, 0.5, 0)));
    for (int i = 0; i < depth; ++i) {
        json mask = Disc(Fill(Rgb(0, 0, 0)));
        for (json& segment : mask["segments"]) {
            for (const char* point : {"anchor", "in", "out"}) {
                segment[point][0] = segment[point][0].get<double>() + i;
            }
        }
        mask["clippingMask"] = true;
        inner = json{{"type", "group"}, {"clipped", true}, {"children", json::array({mask, inner})}};
    }
    return inner;
}

json Resources() {
    return json{
        {"gradients",
         json::array({Gradient("linear2", "linear", 2, true), Gradient("linear64", "linear", 64, false),
                      Gradient("linear1024smooth", "linear", 1024, true),
                      Gradient("linear1024sharp", "linear", 1024, false),
                      Gradient("radial2", "radial", 2, true), Gradient("radial64", "radial", 64, false),
                      Gradient("radial1024smooth", "radial", 1024, true),
                      Gradient("radial1024sharp", "radial", 1024, false)})},
        {"patterns", json::array({json{{"name", "checks"},
                                       {"color", {{"gray", 0.5}}},
                                       {"tile", {0.0, 10.0, 10.0, 0.0}},
                                       {"art", Rectangle(0, 0, 5, 5, Fill(Rgb(0, 0, 1)))}}})},
    };
}

struct Construct {
    const char* name;
    json art;        // what the artboard holds; null for nothing
    int copies = 1;  // drawn that many times, one over another: the cheap ones, beyond the noise
};

std::vector<Construct> Constructs() {
    return {
        {"empty", nullptr},
        {"fill", Disc(Fill(Rgb(0.2, 0.4, 0.8))), 20},
        {"linear_2_along", GradientSquare("linear2", true), 20},
        {"linear_2_across", GradientSquare("linear2", false)},
        {"linear_64_sharp_across", GradientSquare("linear64", false)},
        {"linear_1024_smooth_across", GradientSquare("linear1024smooth", false)},
        {"linear_1024_sharp_across", GradientSquare("linear1024sharp", false)},
        {"radial_2", RadialSquare("radial2")},
        {"radial_64_sharp", RadialSquare("radial64")},
        {"radial_1024_smooth", RadialSquare("radial1024smooth")},
        {"radial_1024_sharp", RadialSquare("radial1024sharp")},
        {"opacity_half", Blended(Square(Fill(Rgb(0.2, 0.4, 0.8))), 0, 0.5)},
        {"multiply_object", Blended(Square(Fill(Rgb(0.2, 0.4, 0.8))), 1)},
        {"multiply_fill",
         Square(json{{"paintFields", json::array({json{{"fill", {{"color", Rgb(0.2, 0.4, 0.8)}}},
                                                       {"blend", {{"mode", 1}}}}})}})},
        {"screen_object", Blended(Square(Fill(Rgb(0.2, 0.4, 0.8))), 2)},
        {"color_dodge_object", Blended(Square(Fill(Rgb(0.2, 0.4, 0.8))), 6)},
        {"hue_object", Blended(Square(Fill(Rgb(0.2, 0.4, 0.8))), 12)},
        {"luminosity_object", Blended(Square(Fill(Rgb(0.2, 0.4, 0.8))), 15)},
        {"stroke_solid", Zigzag(json::array())},
        {"stroke_dashed", Zigzag(json::array({3.0, 2.0}))},
        {"glyphs_filled", Text(false), 5},
        {"glyphs_stroked", Text(true)},
        {"pattern", Disc(Fill(json{{"pattern", "checks"}})), 20},
        {"clip_depth_10", Clipped(10), 20},
        {"drop_shadow", WithEffect(Square(Fill(Rgb(0.2, 0.4, 0.8))), "Host Drop Shadow")},
        {"outer_glow", WithEffect(Square(Fill(Rgb(0.2, 0.4, 0.8))), "Host Outer Glow")},
        {"gaussian_blur", WithEffect(Square(Fill(Rgb(0.2, 0.4, 0.8))), "Host PSL Gaussian Blur")},
    };
}

std::optional<Document> DocumentOf(const json& art, int copies) {
    json document = Resources();
    document["format"] = "plimhost-document";
    document["version"] = 1;
    document["artboards"] = json::array({json{{"name", "One"}, {"rect", {0.0, kSide, kSide, 0.0}}}});
    document["layers"] = json::array(
        {json{{"type", "layer"},
              {"title", "Art"},
              {"children", art.is_null() ? json::array() : json(std::vector<json>(copies, art))}}});
    host::model::ReadResult read = host::model::readDocument(document.dump());
    if (!read.document) {
        std::fprintf(stderr, "%s\n", read.error.c_str());
    }
    return std::move(read.document);
}

// The allowance the picture's bound grows by for the work its budget priced, in seconds.
double Allowance(const host::PictureMeter& meter) {
    using A = host::PictureAllowance;
    return meter.pathWork.load() * A::kPerPathWork + meter.pixelWork.load() * A::kPerPixelWork;
}

void DrawConstruct(benchmark::State& state, const json& art, int copies) {
    const std::optional<Document> document = DocumentOf(art, copies);
    if (!document) {
        state.SkipWithError("the document can't be read");
        return;
    }
    const std::vector<host::model::ArtId> layers = host::LayerGroupsBottomFirst(*document);
    const host::model::Rect bounds = document->artboards().front().bounds;
    host::PictureMeter meter;
    host::gPictureMeter = &meter;
    double priced = 0.0;
    for (auto _ : state) {
        meter.pathWork = 0.0;
        meter.pixelWork = 0.0;
        const auto pixels = host::RenderArtHere(*document, layers, bounds, {});
        if (!pixels) {
            state.SkipWithError("the picture was not drawn");
            break;
        }
        priced = Allowance(meter);
        benchmark::DoNotOptimize(pixels->width);
    }
    host::gPictureMeter = nullptr;
    state.counters["priced_ms"] = priced * 1000.0;
}

class PricesReporter : public RatioReporter {
protected:
    void PrintRatios(std::ostream& out) override {
        const double* empty = Median("Price/empty");
        if (empty == nullptr) {
            return;
        }
        out << "  construct: allowance ms / time beyond empty ms = ratio [1/3 to 3]\n";
        for (const Construct& construct : Constructs()) {
            const std::string run = std::string("Price/") + construct.name;
            const double* time = Median(run);
            const double* priced = Counter(run, "priced_ms");
            if (time == nullptr || priced == nullptr || construct.art.is_null()) {
                continue;
            }
            const double beyond = *time - *empty;
            out << "  " << construct.name << ": " << std::fixed << std::setprecision(1) << *priced << " / "
                << beyond << " = " << std::setprecision(2) << (beyond > 0 ? *priced / beyond : INFINITY)
                << "\n";
            out.unsetf(std::ios::fixed);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    for (const Construct& construct : Constructs()) {
        benchmark::RegisterBenchmark(
            (std::string("Price/") + construct.name).c_str(),
            [construct](benchmark::State& state) { DrawConstruct(state, construct.art, construct.copies); })
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5);
    }
    PricesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

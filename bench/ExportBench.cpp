// What one "exportFile" job costs on a saved document of 10,000 objects (1,000 groups of ten
// squares, tagged "t0" to "t9" in turn), beside what putting the document back after the job costs.
//
//   - ExportJob/<kind>: one request with one native ("ai") job, end to end through the plug-in:
//     kind 0 the whole document ("document": the preparation keeps everything on the artboards),
//     kind 1 the art tagged "t0" (the preparation disposes of 9,000 squares), kind 2 "as_is" (no
//     preparation; the floor of writing the file).
//   - Restore: the document's own revert of the t0 preparation (every disposed square put back),
//     the step that ends every job, timed alone.
//   - Render: drawing the whole document, every square filled and stroked in a process colour,
//     into a picture of its artboard: what every raster and vector copy pays for its art.
//   - Picture/<step>: the same 10,000 squares, painted, on one artboard of 1200 × 1200 points:
//     "png" and "pdf" are one exportFile job of the artboard (the PNG at 72 pixels per inch, so
//     1200 × 1200 pixels), "render" draws the artboard's pixels with the host's renderer as a
//     snapshot does, and "libpng" encodes those pixels with libpng at zlib's default level 6. After
//     the runs the ratios are printed beside their targets, from the medians of the repetitions:
//     PNG export / (render + libpng) and PDF export / render. "shadowed" draws 10,000 squares of 10
//     points that each have a drop shadow, on an artboard of 1000 points. "placed" and "placed_pdf"
//     draw an artboard of 1200 points placing a PNG of 800 × 800 pixels, a PDF page of 2,000
//     squares and an SVG file of 500 circles (one group of them blurred), each file four times:
//     "placed" its pixels as a snapshot draws them, "placed_pdf" one PDF job of the artboard.
//
//   - Picture/nothing: a picture that draws nothing, what its own process costs by itself
//     (wall-clock time).
//   - Picture/round_trip: one byte to a forked process and back, as a job's worker is told each
//     picture and answers: the least a picture drawn apart costs beyond its drawing.
//   - Picture/poster, Picture/cards and Picture/icons: one exportFile PNG job each: an A2 poster of
//     30,000 dots (filled and stroked circles, a map or an infographic) at 300 pixels per inch, 120
//     business cards (two lines of text and a circle each, one artboard a card) at 300 pixels per
//     inch, and 300 icons of 64 points (three circles each, one artboard an icon) at 72 pixels per
//     inch, written one file per artboard. Their "_render" and "_here" runs draw the same pictures
//     (the poster's one, the cards' 120, the icons' 300, each run one job) with the host's
//     renderer, apart as every picture is drawn (by the job's worker) and in this process as the
//     renderer's own work alone: after the runs the ratio of the two is printed, what drawing the
//     pictures apart costs.
//
// Times are CPU time (the Picture runs the whole process's). Every picture is drawn in a process
// apart: the "children_ms" counter is their CPU time per iteration, which the process's leaves out,
// so a picture's cost is the two together. Filter with --benchmark_filter, e.g. 'Restore' or 'Picture'.
#include <benchmark/benchmark.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "GeneratedDocuments.h"
#include "art/Crc32.h"
#include "host/Application.h"
#include "model/DocumentFormat.h"
#include "render/PictureProcess.h"
#include "render/Renderer.h"

namespace {

namespace fs = std::filesystem;
using host::model::ArtId;
using host::model::ArtType;
using host::model::Document;
using host::model::PaintOrder;

constexpr int kObjects = 10'000;
constexpr int kTagKinds = 10;

// How the squares lie: one per cell of a grid of 100 columns, each side points wide; painted ones
// are filled by their tag's colour with a thin black stroke.
struct Layout {
    double cell = 6.0;
    double side = 5.0;
    bool painted = false;
};

// The picture's layout: 100 × 100 squares of 10 points filling an artboard of 1200 points.
constexpr Layout kPicture{12.0, 10.0, true};
constexpr double kPictureSide = 1200.0;

// The squares, in groups of ten, inside the document's one artboard; the ids of those not tagged
// "t0" go to others.
std::unique_ptr<Document> GenerateDocument(std::vector<ArtId>* others = nullptr, const Layout& layout = {}) {
    auto document = std::make_unique<Document>(std::uint64_t{42});
    const ArtId layerGroup = *document->layers().group(document->layers().first());
    ArtId row;
    for (int i = 0; i < kObjects; ++i) {
        if (i % kTagKinds == 0) {
            row = *document->newArt(ArtType::group, PaintOrder::insideOnBottom, layerGroup);
        }
        const ArtId path = *document->newArt(ArtType::path, PaintOrder::insideOnBottom, row);
        const double x = (i % 100) * layout.cell;
        const double y = (i / 100) * layout.cell;
        document->editContent<host::model::PathContent>(path)->geometry =
            host::model::PathGeometry::rectangle(host::model::Rect(x, y + layout.side, x + layout.side, y));
        if (layout.painted) {
            const double shade = (i % kTagKinds) / static_cast<double>(kTagKinds);
            document->setStyle(path,
                               host::model::ArtStyle::basic(host::model::Color::rgb(shade, 0.5, 1.0 - shade),
                                                            host::model::Color::black(), 0.5));
        }
        const std::string tag = "t" + std::to_string(i % kTagKinds);
        document->editTags(path)->set(TagEntryName(tag), "string", tag);
        if (others != nullptr && i % kTagKinds != 0) {
            others->push_back(path);
        }
    }
    document->takeChanges();
    return document;
}

const char* const kJobs[] = {
    R"("document":true)",
    R"("tagSearch":"t0")",
    R"("as_is":true)",
};

// Sends the request (its keys after the folder) once per iteration on a saved copy of the
// document, end to end through the plug-in; every job must succeed.
// The CPU time of this process's reaped children: the pictures' own processes.
double ChildrenCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The "children_ms" counter: the CPU time per iteration of the pictures' own processes since
// before, which the process's own CPU time leaves out.
void ReportChildrenCpu(benchmark::State& state, double before) {
    state.counters["children_ms"] =
        benchmark::Counter((ChildrenCpuSeconds() - before) * 1e3, benchmark::Counter::kAvgIterations);
}

void RunExports(benchmark::State& state, const Document& document, const std::string& keys) {
    const fs::path folder = fs::temp_directory_path() / ("bench_export_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path source = folder / "source.ai";
    host::model::saveDocument(document, source);
    host::ApplicationOptions options;
    options.applicationFolder = PLIM_BIN_DIR;
    options.pluginPath = PLIM_PLUGIN_PATH;
    host::Application app(options);
    if (app.Startup() != kNoErr) {
        state.SkipWithError("the plug-in did not start");
    } else {
        app.Journal().SetEnabled(false);
        app.OpenDocument(std::make_unique<Document>(document), source.string());
        const std::string request = R"({"folderPath":")" + (folder / "out").string() + R"(",)" + keys + "}";
        const double children = ChildrenCpuSeconds();
        for (auto _ : state) {
            const host::ScriptResult result = app.ScriptMessage("exportFile", request);
            if (result.output.find(R"("exportSuccessful":true)") == std::string::npos) {
                state.SkipWithError(result.output.c_str());
                break;
            }
        }
        ReportChildrenCpu(state, children);
        app.Shutdown();
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

void ExportJob(benchmark::State& state) {
    RunExports(state, *GenerateDocument(),
               std::string(R"("formats":["ai"],"fileName":"job",)") + kJobs[state.range(0)]);
}

void Restore(benchmark::State& state) {
    std::vector<ArtId> others;
    Document document = *GenerateDocument(&others);
    for (auto _ : state) {
        state.PauseTiming();
        for (const ArtId art : others) {
            document.dispose(art);
        }
        state.ResumeTiming();
        host::model::ChangeLog since = document.takeChanges();
        document.applyChanges(since);
    }
}

void Render(benchmark::State& state) {
    Document document = *GenerateDocument();
    const host::model::ArtStyle painted = host::model::ArtStyle::basic(host::model::Color::rgb(0.2, 0.4, 0.8),
                                                                       host::model::Color::black(), 1.0);
    for (const ArtId art :
         document.artTree(*document.layers().group(document.layers().first())).valueOr({})) {
        if (document.find(art)->data->type() == ArtType::path) {
            document.setStyle(art, painted);
        }
    }
    const std::vector<ArtId> layers = host::LayerGroupsBottomFirst(document);
    const host::model::Rect bounds = document.artboards().front().bounds;
    for (auto _ : state) {
        benchmark::DoNotOptimize(host::RenderArt(document, layers, bounds, host::RenderSettings{}));
    }
}

// The document's one artboard made the picture's, kPictureSide points square, with its changes taken.
std::unique_ptr<Document> OnPictureArtboard(std::unique_ptr<Document> document, const char* name) {
    host::model::Artboard board;
    board.bounds = host::model::Rect(0, kPictureSide, kPictureSide, 0);
    board.name = name;
    document->editArtboards().update(0, board);
    document->takeChanges();
    return document;
}

// The picture's squares on their one artboard.
std::unique_ptr<Document> PictureDocument() {
    return OnPictureArtboard(GenerateDocument(nullptr, kPicture), "Picture");
}

// One job of the picture's artboard in the format, end to end through the plug-in.
void ExportPicture(benchmark::State& state, const char* format) {
    RunExports(state, *PictureDocument(),
               std::string(R"("formats":[")") + format +
                   R"("],"fileName":"picture","artboardRange":"1","resolution":72)");
}

// The artboard's pixels as a snapshot draws them: every layer at one pixel per point.
std::optional<host::model::RasterPixels> RenderPicture(const Document& document) {
    return host::RenderArt(document, host::LayerGroupsBottomFirst(document),
                           document.artboards().front().bounds, host::RenderSettings{});
}

// Draws the document's artboard, whose side is given, once per iteration.
void RenderEachIteration(benchmark::State& state, const Document& document, double side) {
    const double children = ChildrenCpuSeconds();
    for (auto _ : state) {
        const std::optional<host::model::RasterPixels> pixels = RenderPicture(document);
        if (!pixels || pixels->width != static_cast<std::size_t>(side)) {
            state.SkipWithError("the picture could not be drawn");
            break;
        }
        benchmark::DoNotOptimize(pixels->bytes.data());
    }
    ReportChildrenCpu(state, children);
}

void RenderOnly(benchmark::State& state) {
    RenderEachIteration(state, *PictureDocument(), kPictureSide);
}

void AppendPngBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

// The rendered RGB pixels as a PNG of libpng at zlib's default level 6.
void LibPngOnly(benchmark::State& state) {
    const std::unique_ptr<Document> document = PictureDocument();
    const std::optional<host::model::RasterPixels> pixels = RenderPicture(*document);
    if (!pixels || pixels->channels() != 3) {
        state.SkipWithError("the picture could not be drawn");
        return;
    }
    const auto width = static_cast<png_uint_32>(pixels->width);
    for (auto _ : state) {
        std::vector<unsigned char> out;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_write_fn(png, &out, AppendPngBytes, nullptr);
        png_set_compression_level(png, 6);
        png_set_IHDR(png, info, width, static_cast<png_uint_32>(pixels->height), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (std::size_t y = 0; y < pixels->height; ++y) {
            png_write_row(png, pixels->bytes.data() + y * pixels->width * 3);
        }
        png_write_end(png, info);
        png_destroy_write_struct(&png, &info);
        benchmark::DoNotOptimize(out.data());
    }
}

// 10,000 squares of 10 points side by side on an artboard of 1000 points, each with the default
// drop shadow (blur 5, 7 points right and down): what an effect costs for each object it is on.
void RenderShadowed(benchmark::State& state) {
    constexpr double kShadowedSide = 1000.0;
    const std::unique_ptr<Document> document = GenerateDocument(nullptr, Layout{10.0, 10.0, true});
    const ArtId layerGroup = *document->layers().group(document->layers().first());
    const std::vector<ArtId> art = document->artTree(layerGroup).valueOr({});
    for (const ArtId row : art) {
        if (document->find(row)->data->type() == ArtType::path) {
            host::model::ArtStyle style = document->find(row)->data->style;
            host::model::Effect shadow;
            shadow.name = "Host Drop Shadow";
            style.postEffects.push_back(shadow);
            document->setStyle(row, style);
        }
    }
    host::model::Artboard board;
    board.bounds = host::model::Rect(0, kShadowedSide, kShadowedSide, 0);
    board.name = "Shadowed";
    document->editArtboards().update(0, board);
    RenderEachIteration(state, *document, kShadowedSide);
}

// The files the placed picture places, written once into a folder of this process: a PNG of 800 ×
// 800 pixels (a gradient), a PDF page of 2,000 squares, an SVG file of 500 circles, 100 of them
// in a blurred group.
std::vector<fs::path> PlacedFiles() {
    // The folder goes when the program ends.
    static const struct Folder {
        fs::path path = fs::temp_directory_path() / ("bench_export_placed_" + std::to_string(::getpid()));
        ~Folder() {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } kFolder;
    const fs::path& folder = kFolder.path;
    fs::create_directories(folder);
    constexpr int kPngSide = 800;
    std::vector<unsigned char> png;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kPngSide;
    image.height = kPngSide;
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb;
    for (int y = 0; y < kPngSide; ++y) {
        for (int x = 0; x < kPngSide; ++x) {
            rgb.insert(rgb.end(), {static_cast<unsigned char>(x * 255 / kPngSide),
                                   static_cast<unsigned char>(y * 255 / kPngSide),
                                   static_cast<unsigned char>((x ^ y) & 0xFF)});
        }
    }
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr);
    png.resize(size);
    png_image_write_to_memory(&image, png.data(), &size, 0, rgb.data(), 0, nullptr);
    std::string content;
    for (int i = 0; i < 2000; ++i) {
        content += std::to_string(i % 7 / 7.0) + " 0.4 0.6 rg " + std::to_string(i % 50 * 12) + " " +
                   std::to_string(i / 50 * 15) + " 10 10 re f\n";
    }
    const std::string objects[] = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 600] /Contents 4 0 R >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream",
    };
    std::string pdf = "%PDF-1.4\n";
    std::string table = "xref\n0 5\n0000000000 65535 f \n";
    for (std::size_t i = 0; i < std::size(objects); ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", pdf.size());
        table += line;
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t start = pdf.size();
    pdf += table + "trailer\n<< /Size 5 /Root 1 0 R >>\nstartxref\n" + std::to_string(start) + "\n%%EOF\n";
    std::string svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="600" height="600">)"
                      R"x(<filter id="b"><feGaussianBlur stdDeviation="3"/></filter>)x";
    for (int i = 0; i < 500; ++i) {
        svg += std::string(i == 400 ? R"x(<g filter="url(#b)">)x" : "") + R"(<circle cx=")" +
               std::to_string(i % 25 * 24 + 12) + R"(" cy=")" + std::to_string(i / 25 * 30 + 15) +
               R"(" r="10" fill="#)" + (i % 2 == 0 ? "c04020" : "2040c0") + R"("/>)";
    }
    svg += "</g></svg>";
    const std::pair<const char*, std::string> files[] = {
        {"photo.png", std::string(png.begin(), png.end())}, {"squares.pdf", pdf}, {"circles.svg", svg}};
    std::vector<fs::path> paths;
    for (const auto& [name, bytes] : files) {
        paths.push_back(folder / name);
        std::ofstream(paths.back(), std::ios::binary) << bytes;
    }
    return paths;
}

// The artboard of 1200 points placing each file four times, 300 points square.
std::unique_ptr<Document> PlacedDocument() {
    static const std::vector<fs::path> files = PlacedFiles();
    auto document = std::make_unique<Document>(std::uint64_t{42});
    const ArtId layerGroup = *document->layers().group(document->layers().first());
    for (std::size_t i = 0; i < files.size() * 4; ++i) {
        const ArtId art = *document->newArt(ArtType::placed, PaintOrder::insideOnBottom, layerGroup);
        auto* placed = document->editContent<host::model::PlacedContent>(art);
        placed->file = files[i % files.size()].string();
        const double x = static_cast<double>(i % 4) * 300.0;
        const double y = static_cast<double>(i / 4) * 300.0;
        placed->box.frame = host::model::Rect(0, 300, 300, 0);
        placed->box.matrix = host::model::Matrix{1, 0, 0, 1, x, y};
    }
    return OnPictureArtboard(std::move(document), "Placed");
}

void RenderPlaced(benchmark::State& state) {
    RenderEachIteration(state, *PlacedDocument(), kPictureSide);
}

void ExportPlacedPdf(benchmark::State& state) {
    RunExports(state, *PlacedDocument(), R"("formats":["pdf"],"fileName":"placed","artboardRange":"1")");
}

// A circle of the radius about the centre, filled and stroked, at the bottom of the container.
void AddDot(Document& document, ArtId container, double x, double y, double r, double shade) {
    using host::model::Point;
    using host::model::Segment;
    const double k = 0.5523 * r;
    const ArtId path = *document.newArt(ArtType::path, PaintOrder::insideOnBottom, container);
    host::model::PathGeometry& geometry = document.editContent<host::model::PathContent>(path)->geometry;
    geometry.closed = true;
    geometry.segments = {Segment{Point{x + r, y}, Point{x + r, y - k}, Point{x + r, y + k}, false},
                         Segment{Point{x, y + r}, Point{x + k, y + r}, Point{x - k, y + r}, false},
                         Segment{Point{x - r, y}, Point{x - r, y + k}, Point{x - r, y - k}, false},
                         Segment{Point{x, y - r}, Point{x - k, y - r}, Point{x + k, y - r}, false}};
    document.setStyle(path, host::model::ArtStyle::basic(host::model::Color::rgb(shade, 0.5, 1.0 - shade),
                                                         host::model::Color::gray(1.0), 0.5));
}

// An A2 poster (420 by 594 mm) of 30,000 dots of 2 to 8 points across it, spread evenly by a fixed
// sequence.
std::unique_ptr<Document> PosterDocument() {
    constexpr double kWidth = 1191.0;
    constexpr double kHeight = 1684.0;
    auto document = std::make_unique<Document>(std::uint64_t{42});
    const ArtId layer = *document->layers().group(document->layers().first());
    std::uint32_t seed = 1;
    const auto next = [&seed](double range) {
        seed = seed * 1664525u + 1013904223u;
        return range * static_cast<double>(seed >> 8) / static_cast<double>(1u << 24);
    };
    for (int i = 0; i < 30'000; ++i) {
        const double x = next(kWidth);
        const double y = next(kHeight);
        AddDot(*document, layer, x, y, 1.0 + next(3.0), (i % 10) / 10.0);
    }
    host::model::Artboard board;
    board.bounds = host::model::Rect(0, kHeight, kWidth, 0);
    board.name = "Poster";
    document->editArtboards().update(0, board);
    document->takeChanges();
    return document;
}

// The document's artboard of that index (from 0), named after its number: the first replaces the
// document's own.
void AddArtboard(Document& document, int index, const host::model::Rect& bounds, const std::string& name) {
    host::model::Artboard board;
    board.bounds = bounds;
    board.name = name + std::to_string(index + 1);
    if (index == 0) {
        document.editArtboards().update(0, board);
    } else {
        document.editArtboards().insert(board);
    }
}

constexpr int kCards = 120;

// 120 business cards (85 by 55 mm), ten to a row, each its own artboard holding a name, a title and
// a dot.
std::unique_ptr<Document> CardsDocument() {
    constexpr double kWidth = 241.0;
    constexpr double kHeight = 156.0;
    auto document = std::make_unique<Document>(std::uint64_t{42});
    const ArtId layer = bench::FirstLayerGroup(*document);
    for (int i = 0; i < kCards; ++i) {
        const double x = (i % 10) * (kWidth + 20.0);
        const double y = (i / 10) * (kHeight + 20.0);
        AddArtboard(*document, i, host::model::Rect(x, y + kHeight, x + kWidth, y), "Card ");
        bench::AddText(*document, host::model::TextKind::point,
                       host::model::Rect(x + 20, y + 120, x + 200, y + 100),
                       "Jane Doe " + std::to_string(i + 1));
        bench::AddText(*document, host::model::TextKind::point,
                       host::model::Rect(x + 20, y + 90, x + 200, y + 70), "Designer, Example Ltd");
        AddDot(*document, layer, x + 200, y + 40, 20.0, 0.3);
    }
    document->takeChanges();
    return document;
}

constexpr int kIcons = 300;

// 300 icons of 64 points, twenty to a row, each its own artboard holding three circles, one on
// another.
std::unique_ptr<Document> IconsDocument() {
    constexpr double kSide = 64.0;
    auto document = std::make_unique<Document>(std::uint64_t{42});
    const ArtId layer = bench::FirstLayerGroup(*document);
    for (int i = 0; i < kIcons; ++i) {
        const double x = (i % 20) * (kSide + 16.0);
        const double y = (i / 20) * (kSide + 16.0);
        AddArtboard(*document, i, host::model::Rect(x, y + kSide, x + kSide, y), "Icon ");
        AddDot(*document, layer, x + 32.0, y + 32.0, 30.0, (i % 10) / 10.0);
        AddDot(*document, layer, x + 32.0, y + 32.0, 20.0, 1.0 - (i % 10) / 10.0);
        AddDot(*document, layer, x + 32.0, y + 32.0, 6.0, 0.5);
    }
    document->takeChanges();
    return document;
}

void ExportPoster(benchmark::State& state) {
    RunExports(state, *PosterDocument(), R"("formats":["png"],"fileName":"poster","resolution":300)");
}

void ExportCards(benchmark::State& state) {
    RunExports(state, *CardsDocument(), R"("formats":["png"],"fileName":"card","resolution":300)");
}

void ExportIcons(benchmark::State& state) {
    RunExports(state, *IconsDocument(), R"("formats":["png"],"fileName":"icon","resolution":72)");
}

// Draws each artboard of the document at the resolution, apart or in this process; the artboards
// of an iteration are the pictures of one job, as an export's.
void RenderArtboards(benchmark::State& state, const Document& document, bool apart,
                     double resolution = 300.0) {
    const std::vector<ArtId> layers = host::LayerGroupsBottomFirst(document);
    host::RenderSettings settings;
    settings.resolution = resolution;
    const double children = ChildrenCpuSeconds();
    for (auto _ : state) {
        const host::PictureJob job;
        for (const host::model::Artboard& board : document.artboards()) {
            const std::optional<host::model::RasterPixels> pixels =
                apart ? host::RenderArt(document, layers, board.bounds, settings)
                      : host::RenderArtHere(document, layers, board.bounds, settings);
            if (!pixels) {
                state.SkipWithError("the picture could not be drawn");
                return;
            }
            benchmark::DoNotOptimize(pixels->bytes.data());
        }
    }
    ReportChildrenCpu(state, children);
}

void RenderPoster(benchmark::State& state, bool apart) {
    RenderArtboards(state, *PosterDocument(), apart);
}

void RenderCards(benchmark::State& state, bool apart) {
    RenderArtboards(state, *CardsDocument(), apart);
}

void RenderIcons(benchmark::State& state, bool apart) {
    RenderArtboards(state, *IconsDocument(), apart, 72.0);
}

// A picture that draws nothing: what its own process costs by itself, wall-clock time.
void DrawNothingApart(benchmark::State& state) {
    for (auto _ : state) {
        const host::PictureResult result = host::DrawPictureApart(
            [](host::PictureOutput& output, std::string&) { return output.Write("nothing"); }, {});
        benchmark::DoNotOptimize(result.made());
    }
}

// One byte sent to a forked process and back over a socket pair, as a job's worker is told each
// picture and answers: the least a picture drawn by another process costs beyond its drawing, CPU
// time of both processes. On a machine whose idle processors sleep, the waking of another
// processor is most of it; two processes sharing one processor pay far less.
void RoundTrip(benchmark::State& state) {
    int channel[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, channel) != 0) {
        state.SkipWithError("no socket pair");
        return;
    }
    const double children = ChildrenCpuSeconds();
    const pid_t echo = ::fork();
    if (echo == 0) {
        ::close(channel[0]);
        char byte = 0;
        while (::recv(channel[1], &byte, 1, 0) == 1 && ::send(channel[1], &byte, 1, 0) == 1) {
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    for (auto _ : state) {
        char byte = 'x';
        if (::send(channel[0], &byte, 1, 0) != 1 || ::recv(channel[0], &byte, 1, 0) != 1) {
            state.SkipWithError("the echo ended");
            break;
        }
    }
    ::close(channel[0]);
    ::waitpid(echo, nullptr, 0);
    ReportChildrenCpu(state, children);
}

constexpr int kRepetitions = 5;

BENCHMARK(ExportJob)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(Restore)->Unit(benchmark::kMillisecond);
BENCHMARK(Render)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ExportPicture, png, "png")
    ->Name("Picture/png")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Repetitions(kRepetitions);
BENCHMARK_CAPTURE(ExportPicture, pdf, "pdf")
    ->Name("Picture/pdf")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Repetitions(kRepetitions);
BENCHMARK(RenderOnly)
    ->Name("Picture/render")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Repetitions(kRepetitions);
BENCHMARK(RenderShadowed)->Name("Picture/shadowed")->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(RenderPlaced)
    ->Name("Picture/placed")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Repetitions(kRepetitions);
BENCHMARK(ExportPlacedPdf)
    ->Name("Picture/placed_pdf")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Repetitions(kRepetitions);
BENCHMARK(LibPngOnly)
    ->Name("Picture/libpng")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Repetitions(kRepetitions);
BENCHMARK(DrawNothingApart)->Name("Picture/nothing")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RoundTrip)->Name("Picture/round_trip")->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

// Pictures of print size: a few seconds a run, one run a repetition, three repetitions; registered
// in main, before the runs.
void RegisterPrintSizes() {
    constexpr int kPrintRepetitions = 3;
    const std::pair<const char*, std::function<void(benchmark::State&)>> runs[] = {
        {"Picture/poster", ExportPoster},
        {"Picture/cards", ExportCards},
        {"Picture/poster_render", [](benchmark::State& state) { RenderPoster(state, true); }},
        {"Picture/poster_here", [](benchmark::State& state) { RenderPoster(state, false); }},
        {"Picture/cards_render", [](benchmark::State& state) { RenderCards(state, true); }},
        {"Picture/cards_here", [](benchmark::State& state) { RenderCards(state, false); }},
        {"Picture/icons", ExportIcons},
        {"Picture/icons_render", [](benchmark::State& state) { RenderIcons(state, true); }},
        {"Picture/icons_here", [](benchmark::State& state) { RenderIcons(state, false); }},
    };
    for (const auto& [name, run] : runs) {
        benchmark::RegisterBenchmark(name, run)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->Iterations(1)
            ->Repetitions(kPrintRepetitions);
    }
}

// Prints the runs as the console does, then the export ratios from the medians of the repetitions.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                const auto children = run.counters.find("children_ms");
                fMedians[run.run_name.function_name] =
                    run.GetAdjustedCPUTime() +
                    (children != run.counters.end() ? children->second.value : 0.0);
            }
        }
    }

    void Finalize() override {
        std::ostream& out = GetOutputStream();
        out << "\nRatios (CPU time with the pictures' processes', medians of the repetitions; target in "
               "brackets)\n";
        Ratio(out, "PNG export / (render + libpng level 6), 1200 x 1200 pixels", "Picture/png",
              {"Picture/render", "Picture/libpng"}, "1.2");
        Ratio(out, "PDF export / render, 10,000 objects", "Picture/pdf", {"Picture/render"}, "2");
        Ratio(out, "A2 poster at 300 ppi, drawn apart / in this process", "Picture/poster_render",
              {"Picture/poster_here"}, "1.1");
        Ratio(out, "120 cards at 300 ppi, drawn apart / in this process", "Picture/cards_render",
              {"Picture/cards_here"}, "1.15");
        Ratio(out, "300 icons of 64 pt at 72 ppi, drawn apart / in this process", "Picture/icons_render",
              {"Picture/icons_here"}, "1.15");
        ConsoleReporter::Finalize();
    }

private:
    // The run's time over the sum of the floors' times, with the target beside it.
    void Ratio(std::ostream& out, const std::string& label, const std::string& run,
               const std::vector<std::string>& floors, const std::string& target) {
        const auto time = fMedians.find(run);
        double floor = 0;
        for (const std::string& name : floors) {
            const auto found = fMedians.find(name);
            if (found == fMedians.end()) {
                return;
            }
            floor += found->second;
        }
        if (time == fMedians.end() || floor <= 0) {
            return;
        }
        out << "  " << label << ": " << time->second / floor << "x [" << target << "x] (" << time->second
            << " ms / " << floor << " ms)\n";
    }

    std::map<std::string, double> fMedians;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RegisterPrintSizes();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

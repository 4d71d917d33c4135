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
//
// Filter with --benchmark_filter, e.g. 'Restore'.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Renderer.h"
#include "art/Crc32.h"
#include "host/Application.h"
#include "model/DocumentFormat.h"

namespace {

namespace fs = std::filesystem;
using host::model::ArtId;
using host::model::ArtType;
using host::model::Document;
using host::model::PaintOrder;

constexpr int kObjects = 10'000;
constexpr int kTagKinds = 10;

// The entry name under which the plug-in stores a tag: "_p_tag_" and the text's checksum.
std::string TagEntryName(std::string_view tag) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(CRC32(tag)));
    return std::string("_p_tag_") + hex;
}

// The squares, in groups of ten, inside the document's one artboard; the ids of those not tagged
// "t0" go to others.
std::unique_ptr<Document> GenerateDocument(std::vector<ArtId>* others = nullptr) {
    auto document = std::make_unique<Document>(std::uint64_t{42});
    const ArtId layerGroup = *document->layerGroup(document->firstLayer());
    ArtId row;
    for (int i = 0; i < kObjects; ++i) {
        if (i % kTagKinds == 0) {
            row = *document->newArt(ArtType::group, PaintOrder::insideOnBottom, layerGroup);
        }
        const ArtId path = *document->newArt(ArtType::path, PaintOrder::insideOnBottom, row);
        const double x = (i % 100) * 6.0;
        const double y = (i / 100) * 6.0;
        document->editContent<host::model::PathContent>(path)->geometry =
            host::model::PathGeometry::rectangle(host::model::Rect(x, y + 5, x + 5, y));
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

void ExportJob(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / ("bench_export_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path source = folder / "source.ai";
    const std::unique_ptr<Document> generated = GenerateDocument();
    host::model::saveDocument(*generated, source);

    host::ApplicationOptions options;
    options.applicationFolder = PLIM_BIN_DIR;
    options.pluginPath = PLIM_PLUGIN_PATH;
    host::Application app(options);
    if (app.Startup() != kNoErr) {
        state.SkipWithError("the plug-in did not start");
        return;
    }
    app.Journal().SetEnabled(false);
    app.OpenDocument(std::make_unique<Document>(*generated), source.string());
    const std::string request = std::string(R"({"formats":["ai"],"folderPath":")") +
                                (folder / "out").string() + R"(","fileName":"job",)" + kJobs[state.range(0)] +
                                "}";
    for (auto _ : state) {
        const host::ScriptResult result = app.ScriptMessage("exportFile", request);
        if (result.output.find(R"("exportSuccessful":true)") == std::string::npos) {
            state.SkipWithError(result.output.c_str());
            break;
        }
    }
    app.Shutdown();
    std::error_code ignored;
    fs::remove_all(folder, ignored);
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
    for (const ArtId art : document.artTree(*document.layerGroup(document.firstLayer())).valueOr({})) {
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

BENCHMARK(ExportJob)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(Restore)->Unit(benchmark::kMillisecond);
BENCHMARK(Render)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// What the host's own work around a call costs as documents grow: an empty script message
// ("comment") on documents of 0, 100,000 and 1,000,000 objects, and how much the undo history grows
// over 100 one-object translates on 10,000 objects (also with a large raster beside them, which no
// later step may copy). Time per message, and history growth in megabytes.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <memory>

#include "host/Application.h"
#include "model/Document.h"

namespace {

// The tag entry of "cell", as the plug-in writes it: "_p_tag_" and the text's checksum.
constexpr const char* kCellTagName = "_p_tag_077bdbde";
constexpr int kTranslates = 100;

host::ApplicationOptions Options() {
    host::ApplicationOptions options;
    options.applicationFolder = PLIM_BIN_DIR;
    options.pluginPath = PLIM_PLUGIN_PATH;
    return options;
}

// `objects` squares on one layer, the first tagged "cell"; with a raster of rasterSide square
// pixels behind them when rasterSide is not 0.
std::unique_ptr<host::Document> FlatDocument(int objects, std::size_t rasterSide = 0) {
    using namespace host::model;
    auto document = std::make_unique<Document>(std::uint64_t{42});
    const ArtId layerGroup = *document->layerGroup(document->firstLayer());
    for (int i = 0; i < objects; ++i) {
        const ArtId art = *document->newArt(ArtType::path, PaintOrder::insideOnBottom, layerGroup);
        const double x = (i % 1000) * 12.0;
        const double y = (i / 1000) * 12.0;
        document->editContent<PathContent>(art)->geometry =
            PathGeometry::rectangle(Rect(x, y + 10, x + 10, y));
        if (i == 0) {
            document->editTags(art)->set(kCellTagName, "string", "cell");
        }
        if (i % 10000 == 0) {
            document->takeChanges();  // building is not a change anyone undoes
            document->markSelection();
        }
    }
    if (rasterSide != 0) {
        RasterContent raster;
        raster.box.frame = Rect(0, 100, 100, 0);
        raster.pixels = RasterPixels{rasterSide, rasterSide, RasterPixels::Space::rgb, true,
                                     std::vector<std::uint8_t>(rasterSide * rasterSide * 4, 0x80)};
        ArtTree tree;
        tree.data.content = std::move(raster);
        document->insertCopy(std::move(tree), PaintOrder::insideOnBottom, layerGroup);
    }
    document->takeChanges();
    document->markSelection();
    return document;
}

std::size_t HeapInUse() {
    return mallinfo2().uordblks;
}

void BM_EmptyCall(benchmark::State& state) {
    host::Application app(Options());
    if (app.Startup() != kNoErr) {
        state.SkipWithError("the plug-in did not start");
        return;
    }
    app.Journal().SetEnabled(false);
    app.SetDocument(FlatDocument(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        host::ScriptResult result = app.ScriptMessage("comment", R"({"uid":"bench"})");
        benchmark::DoNotOptimize(result.output.data());
    }
    state.counters["objects"] = static_cast<double>(state.range(0));
}

// One iteration: a fresh application and document, then the translates; the heap's growth over
// them is what the history kept (the queries' own allocations are freed by then).
void UndoGrowth(benchmark::State& state, std::size_t rasterSide) {
    double growth = 0;
    double steps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto app = std::make_unique<host::Application>(Options());
        if (app->Startup() != kNoErr) {
            state.SkipWithError("the plug-in did not start");
            return;
        }
        app->Journal().SetEnabled(false);
        app->SetDocument(FlatDocument(static_cast<int>(state.range(0)), rasterSide));
        app->ScriptMessage("comment", R"({"uid":"warm"})");
        const std::size_t before = HeapInUse();
        state.ResumeTiming();
        for (int i = 0; i < kTranslates; ++i) {
            app->ScriptMessage("translate", R"({"tagSearch":"cell","deltaX":1,"deltaY":-1})");
        }
        state.PauseTiming();
        growth = static_cast<double>(HeapInUse()) - static_cast<double>(before);
        steps = app->PastTransactions();
        app.reset();
        state.ResumeTiming();
    }
    state.counters["history_MB"] = growth / 1e6;
    state.counters["steps"] = steps;
}

void BM_UndoGrowth(benchmark::State& state) {
    UndoGrowth(state, 0);
}

// A 2,000 x 2,000 pixel raster (16 MB) in the document: no step copies it.
void BM_UndoGrowthBesideRaster(benchmark::State& state) {
    UndoGrowth(state, 2000);
}

BENCHMARK(BM_EmptyCall)->Arg(0)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoGrowth)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoGrowthBesideRaster)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

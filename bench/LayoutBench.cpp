// Translating 10,000 objects found by a tag query, beside the cost of the query alone ("getByTags"
// over the same tag). Both run as script messages through the host, so each includes the host's
// own work around a command (the undo snapshot and the comparison at its end). Reported as time
// per message.
#include <benchmark/benchmark.h>

#include <memory>

#include "host/Application.h"
#include "model/Document.h"

namespace {

constexpr int kObjects = 10000;
// The tag entry of "cell", as the plug-in writes it: "_p_tag_" and the text's checksum.
constexpr const char* kCellTagName = "_p_tag_077bdbde";

host::ApplicationOptions Options() {
    host::ApplicationOptions options;
    options.applicationFolder = PLIM_BIN_DIR;
    options.pluginPath = PLIM_PLUGIN_PATH;
    return options;
}

// A document of kObjects tagged squares in a grid on one layer, and a few untagged ones.
std::unique_ptr<host::Document> GridDocument() {
    using namespace host::model;
    auto document = std::make_unique<Document>(std::uint64_t{42});
    const ArtId layerGroup = *document->layerGroup(document->firstLayer());
    for (int i = 0; i < kObjects + 100; ++i) {
        const ArtId art = *document->newArt(ArtType::path, PaintOrder::insideOnBottom, layerGroup);
        const double x = (i % 100) * 12.0;
        const double y = (i / 100) * 12.0;
        document->contentAs<PathContent>(art)->geometry = PathGeometry::rectangle(Rect(x, y + 10, x + 10, y));
        if (i < kObjects) {
            document->tags(art)->set(kCellTagName, "string", "cell");
        }
    }
    return document;
}

class LayoutFixture : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State& state) override {
        app = std::make_unique<host::Application>(Options());
        if (app->Startup() != kNoErr) {
            return;
        }
        app->Journal().SetEnabled(false);
        app->SetDocument(GridDocument());
        ready = true;
        (void)state;
    }
    void TearDown(const benchmark::State&) override { app.reset(); }

    void Run(benchmark::State& state, const char* name, const char* request) {
        if (!ready) {
            state.SkipWithError("the plug-in did not start");
            return;
        }
        for (auto _ : state) {
            host::ScriptResult result = app->ScriptMessage(name, request);
            benchmark::DoNotOptimize(result.output.data());
        }
        state.counters["objects"] = kObjects;
    }

    std::unique_ptr<host::Application> app;
    bool ready = false;
};

BENCHMARK_DEFINE_F(LayoutFixture, TagQuery)(benchmark::State& state) {
    Run(state, "getByTags", R"({"tagSearch":"cell"})");
}

BENCHMARK_DEFINE_F(LayoutFixture, TranslateFound)(benchmark::State& state) {
    Run(state, "translate", R"({"tagSearch":"cell","deltaX":1,"deltaY":-1})");
}

BENCHMARK_REGISTER_F(LayoutFixture, TagQuery)->Unit(benchmark::kMillisecond);
BENCHMARK_REGISTER_F(LayoutFixture, TranslateFound)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

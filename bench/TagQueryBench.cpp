// Tag-query evaluation over documents of many tagged objects, beside the floor every evaluation
// pays: one plain walk that reads the tags of every object ("getAllTags" with contents). The
// ratio tells how much the query language costs on top of reading the tags at all. Every call
// into the plug-in also pays the stand-in's own per-call work (its undo transaction compares the
// document); "comment", which does nothing, measures that, and the ratio leaves it out.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

#include "host/Application.h"

namespace {

constexpr int kTagKinds = 10;

host::ApplicationOptions Options() {
    host::ApplicationOptions options;
    options.applicationFolder = PLIM_BIN_DIR;
    options.pluginPath = PLIM_PLUGIN_PATH;
    return options;
}

// A started plug-in over a document of `count` paths in groups of ten, each path tagged "t<i % 10>"
// and each group "row". The tags are written by the plug-in's own "setTags".
std::unique_ptr<host::Application> MakeTaggedDocument(int count) {
    auto app = std::make_unique<host::Application>(Options());
    if (app->Startup() != kNoErr) {
        return nullptr;
    }
    app->Journal().SetEnabled(false);
    host::model::Document& document = *app->CurrentDocument();
    const auto layerGroup = document.layerGroup(document.firstLayer());
    std::vector<std::vector<host::model::ArtId>> byTag(kTagKinds);
    std::vector<host::model::ArtId> groups;
    for (int i = 0; i < count; i += kTagKinds) {
        auto group = document.newArt(host::model::ArtType::group, host::model::PaintOrder::insideOnBottom, *layerGroup);
        groups.push_back(*group);
        for (int k = 0; k < kTagKinds && i + k < count; ++k) {
            auto path = document.newArt(host::model::ArtType::path, host::model::PaintOrder::insideOnBottom, *group);
            byTag[static_cast<size_t>(k)].push_back(*path);
        }
    }
    auto tagAll = [&](const std::vector<host::model::ArtId>& arts, const std::string& tag) {
        for (auto art : arts) {
            document.setAttributes(art, host::model::attribute::selected, host::model::attribute::selected);
        }
        app->ScriptMessage("setTags", R"({"tags":[")" + tag + R"("]})");
        for (auto art : arts) {
            document.setAttributes(art, host::model::attribute::selected, 0);
        }
    };
    for (int k = 0; k < kTagKinds; ++k) {
        tagAll(byTag[static_cast<size_t>(k)], "t" + std::to_string(k));
    }
    tagAll(groups, "row");
    return app;
}

void RunCommand(benchmark::State& state, const char* name, const char* request) {
    auto app = MakeTaggedDocument(static_cast<int>(state.range(0)));
    if (app == nullptr) {
        state.SkipWithError("the plug-in did not start");
        return;
    }
    for (auto _ : state) {
        host::ScriptResult result = app->ScriptMessage(name, request);
        benchmark::DoNotOptimize(result.output.data());
    }
    state.counters["objects"] = static_cast<double>(state.range(0));
}

void BM_CallOverhead(benchmark::State& state) { RunCommand(state, "comment", "{}"); }
void BM_PlainTagWalk(benchmark::State& state) { RunCommand(state, "getAllTags", R"({"contents":true})"); }
void BM_SimpleQuery(benchmark::State& state) { RunCommand(state, "validateTagSearches", R"({"tagSearches":["t3"]})"); }
void BM_CompoundQuery(benchmark::State& state) {
    RunCommand(state, "validateTagSearches", R"q({"tagSearches":["(t1|t2)&!t3&:children(row)"]})q");
}
void BM_PositionQuery(benchmark::State& state) {
    RunCommand(state, "validateTagSearches", R"q({"tagSearches":[":nthChild(row, 2n+1)"]})q");
}

BENCHMARK(BM_CallOverhead)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainTagWalk)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SimpleQuery)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompoundQuery)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PositionQuery)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// Prints each query's time as a ratio of the plain walk over the same document.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            const std::string size = name.substr(name.find('/') + 1);
            const double time = run.GetAdjustedRealTime();
            if (name.rfind("BM_CallOverhead", 0) == 0) {
                fOverhead[size] = time;
            } else if (name.rfind("BM_PlainTagWalk", 0) == 0) {
                fWalk[size] = time - fOverhead[size];
            } else if (fWalk[size] > 0) {
                GetOutputStream() << "  " << name << ": " << (time - fOverhead[size]) / fWalk[size]
                                  << " x the plain walk\n";
            }
        }
    }

private:
    std::map<std::string, double> fOverhead;
    std::map<std::string, double> fWalk;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

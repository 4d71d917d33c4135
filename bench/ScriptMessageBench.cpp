// The round trip of a script message through the host: the request string in, the command table,
// the reply string out. Reported as messages per second.
#include <benchmark/benchmark.h>

#include "host/Application.h"

namespace {

host::ApplicationOptions Options() {
    host::ApplicationOptions options;
    options.applicationFolder = PLIM_BIN_DIR;
    options.pluginPath = PLIM_PLUGIN_PATH;
    return options;
}

void RoundTrip(benchmark::State& state, const char* name, const char* request) {
    host::Application app(Options());
    if (app.Startup() != kNoErr) {
        state.SkipWithError("the plug-in did not start");
        return;
    }
    app.Journal().SetEnabled(false);
    for (auto _ : state) {
        host::ScriptResult result = app.ScriptMessage(name, request);
        benchmark::DoNotOptimize(result.output.data());
    }
    state.counters["messages/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Version(benchmark::State& state) {
    RoundTrip(state, "version", R"({"uid":"bench"})");
}
void BM_Comment(benchmark::State& state) {
    RoundTrip(state, "comment", R"({"uid":"bench"})");
}

BENCHMARK(BM_Version);
BENCHMARK(BM_Comment);

}  // namespace

BENCHMARK_MAIN();

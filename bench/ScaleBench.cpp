// How the plug-in and the stand-in scale with the size of the document. Documents of 10,000,
// 100,000 and 1,000,000 objects are generated in two shapes: grouped (groups of ten paths, each
// group tagged "row" and its paths "t0" to "t9") and flat (every path directly on one layer,
// tagged "t0" to "t9" in turn). Each figure is paired with the floor it is measured against, and
// after the runs the ratios are printed side by side:
//
//   - an empty call ("comment") on a large document against one on an empty document;
//   - tag queries (simple, compound, position) against the plain walk that reads every object's
//     tags ("getAllTags" with its contents), and their growth on the flat layer;
//   - translating the 10,000 objects a query finds against that query alone ("getByTags");
//   - opening and saving a document in the native format against nlohmann's parse and dump of
//     the same text;
//   - the memory the undo history takes for 100 translates of one object, also with a 16 MB raster
//     beside the art (which no step may copy).
//
// Ratios use CPU time, which other work on a shared machine disturbs less than wall time, each the
// median of its repetitions (--benchmark_repetitions). Filter with --benchmark_filter, e.g.
// 'Query|PlainWalk' or '/100000$'.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
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

using bench::GenerateDocument;
using bench::kTagKinds;
using bench::Shape;
using bench::ShapeName;
using host::model::ArtId;
using host::model::ArtType;
using host::model::Document;
using host::model::PaintOrder;

constexpr int kSizes[] = {10'000, 100'000, 1'000'000};
// Opening and saving a million objects takes gigabytes; the format is measured up to 100,000.
constexpr int kFileSizes[] = {10'000, 100'000};
constexpr int kUndoObjects = 10'000;
constexpr int kUndoTranslates = 100;
constexpr std::size_t kRasterSide = 2000;  // 2,000 x 2,000 RGBA pixels: 16 MB

// The last generated document is kept for the benchmarks that follow on it (they are registered
// by shape and size), each of which gets its own copy; one at a time, as a million objects take
// gigabytes.
const Document& CachedDocument(Shape shape, int count) {
    static std::pair<Shape, int> key{Shape::grouped, 0};
    static std::unique_ptr<Document> document;
    if (document == nullptr || key != std::pair{shape, count}) {
        document.reset();
        document = GenerateDocument(shape, count);
        key = {shape, count};
    }
    return *document;
}

// A started plug-in over a copy of the generated document (count 0: the application's own new,
// empty document).
std::unique_ptr<host::Application> StartOn(benchmark::State& state, Shape shape, int count) {
    auto app = std::make_unique<host::Application>(PluginOptions());
    if (app->Startup() != kNoErr) {
        state.SkipWithError("the plug-in did not start");
        return nullptr;
    }
    app->Journal().SetEnabled(false);
    if (count > 0) {
        app->SetDocument(std::make_unique<Document>(CachedDocument(shape, count)));
    }
    return app;
}

void RunMessage(benchmark::State& state, Shape shape, int count, std::string name, std::string request) {
    std::unique_ptr<host::Application> app = StartOn(state, shape, count);
    if (app == nullptr) {
        return;
    }
    for (auto _ : state) {
        host::ScriptResult result = app->ScriptMessage(name, request);
        benchmark::DoNotOptimize(result.output.data());
    }
    state.counters["objects"] = count;
}

struct QueryKind {
    const char* name;
    const char* grouped;  // the query on grouped documents
    const char* flat;     // the query on the flat layer
};

constexpr QueryKind kQueries[] = {
    {"simple", "t3", "t3"},
    {"compound", "(t1|t2)&!t3&:children(row)", "(t1|t2|t5)&!t3"},
    {"position", ":nthChild(row, 2n+1)", ":globalNthOfType(t1, 2n+1)"},
};

std::string QueryRequest(const char* query) {
    return nlohmann::json{{"tagSearches", {query}}}.dump();
}

// --- The native format ---------------------------------------------------------------------------

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::filesystem::path BenchFolder() {
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("plim-scale-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

// The grouped document of `count` objects saved in the native format, written once.
const std::filesystem::path& DocumentFile(int count) {
    static std::map<int, std::filesystem::path> files;
    std::filesystem::path& file = files[count];
    if (file.empty()) {
        file = BenchFolder() / ("grouped-" + std::to_string(count) + ".json");
        host::model::saveDocument(CachedDocument(Shape::grouped, count), file);
    }
    return file;
}

void SetBytes(benchmark::State& state, const std::filesystem::path& file) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * std::filesystem::file_size(file)));
}

void BM_Open(benchmark::State& state, int count) {
    const std::filesystem::path& file = DocumentFile(count);
    for (auto _ : state) {
        host::model::ReadResult result = host::model::openDocument(file);
        if (!result.document) {
            state.SkipWithError(result.error.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.document);
    }
    SetBytes(state, file);
}

void BM_Parse(benchmark::State& state, int count) {
    const std::filesystem::path& file = DocumentFile(count);
    for (auto _ : state) {
        nlohmann::json parsed = nlohmann::json::parse(ReadFile(file));
        benchmark::DoNotOptimize(parsed);
    }
    SetBytes(state, file);
}

void BM_Save(benchmark::State& state, int count) {
    const Document& document = CachedDocument(Shape::grouped, count);
    const std::filesystem::path file = BenchFolder() / "saved.json";
    for (auto _ : state) {
        if (!host::model::saveDocument(document, file)) {
            state.SkipWithError("the document could not be saved");
            return;
        }
    }
    SetBytes(state, file);
}

// nlohmann's dump of the same text, with the format's indentation, written to a file.
void BM_Dump(benchmark::State& state, int count) {
    const nlohmann::json parsed = nlohmann::json::parse(ReadFile(DocumentFile(count)));
    const std::filesystem::path file = BenchFolder() / "dumped.json";
    for (auto _ : state) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << parsed.dump(2) << '\n';
    }
    SetBytes(state, file);
}

// --- Undo history memory -------------------------------------------------------------------------

std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Puts a large raster behind the art of the first layer, outside any undo step.
void AddRaster(Document& document) {
    using namespace host::model;
    RasterContent raster;
    raster.box.frame = Rect(0, 100, 100, 0);
    raster.pixels = RasterPixels{kRasterSide, kRasterSide, RasterPixels::Space::rgb, true,
                                 std::vector<std::uint8_t>(kRasterSide * kRasterSide * 4, 0x80)};
    ArtTree tree;
    tree.data.content = std::move(raster);
    document.insertCopy(std::move(tree), PaintOrder::insideOnBottom,
                        *document.layers().group(document.layers().first()));
    document.takeChanges();
    document.markSelection();
}

// The heap the undo history adds over 100 translates of one object, each its own transaction.
void BM_UndoMemory(benchmark::State& state, bool besideRaster) {
    std::unique_ptr<host::Application> app = StartOn(state, Shape::grouped, kUndoObjects);
    if (app == nullptr) {
        return;
    }
    if (besideRaster) {
        AddRaster(*app->CurrentDocument());
    }
    const std::string request = R"({"tagSearch":"one","deltaX":1,"deltaY":0})";
    double added = 0;
    for (auto _ : state) {
        const std::size_t before = HeapInUse();
        for (int i = 0; i < kUndoTranslates; ++i) {
            host::ScriptResult result = app->ScriptMessage("translate", request);
            benchmark::DoNotOptimize(result.output.data());
        }
        added = static_cast<double>(HeapInUse()) - static_cast<double>(before);
    }
    if (app->PastTransactions() < kUndoTranslates) {
        state.SkipWithError("the translates did not each make a transaction");
        return;
    }
    state.counters["undoMB"] = added / 1e6;
}

// --- Registration --------------------------------------------------------------------------------

std::string Name(std::initializer_list<std::string> parts) {
    std::string name;
    for (const std::string& part : parts) {
        if (!name.empty()) {
            name += '/';
        }
        name += part;
    }
    return name;
}

void Register(const std::string& name, std::function<void(benchmark::State&)> run) {
    benchmark::RegisterBenchmark(name.c_str(), [run](benchmark::State& state) { run(state); })
        ->Unit(benchmark::kMillisecond)
        ->MeasureProcessCPUTime()
        ->UseRealTime();
}

void RegisterAll() {
    Register("EmptyCall/empty/0",
             [](benchmark::State& s) { RunMessage(s, Shape::grouped, 0, "comment", "{}"); });
    for (const int count : kSizes) {
        const std::string size = std::to_string(count);
        for (const Shape shape : {Shape::grouped, Shape::flat}) {
            Register(Name({"EmptyCall", ShapeName(shape), size}),
                     [shape, count](benchmark::State& s) { RunMessage(s, shape, count, "comment", "{}"); });
            Register(Name({"PlainWalk", ShapeName(shape), size}), [shape, count](benchmark::State& s) {
                RunMessage(s, shape, count, "getAllTags", R"({"contents":true})");
            });
            for (const QueryKind& kind : kQueries) {
                const std::string request = QueryRequest(shape == Shape::grouped ? kind.grouped : kind.flat);
                Register(Name({"Query", kind.name, ShapeName(shape), size}),
                         [shape, count, request](benchmark::State& s) {
                             RunMessage(s, shape, count, "validateTagSearches", request);
                         });
            }
        }
    }
    // 10,000 objects tagged "t0" among 100,000 on one layer: found alone, and found and moved.
    constexpr int kTranslateDocument = 100'000;
    Register(Name({"Found", "flat", std::to_string(kTranslateDocument)}), [](benchmark::State& s) {
        RunMessage(s, Shape::flat, kTranslateDocument, "getByTags", R"({"tagSearch":"t0"})");
    });
    Register(Name({"Translate", "flat", std::to_string(kTranslateDocument)}), [](benchmark::State& s) {
        RunMessage(s, Shape::flat, kTranslateDocument, "translate",
                   R"({"tagSearch":"t0","deltaX":1,"deltaY":-1})");
    });
    for (const int count : kFileSizes) {
        const std::string size = std::to_string(count);
        Register(Name({"Open", "grouped", size}), [count](benchmark::State& s) { BM_Open(s, count); });
        Register(Name({"Parse", "grouped", size}), [count](benchmark::State& s) { BM_Parse(s, count); });
        Register(Name({"Save", "grouped", size}), [count](benchmark::State& s) { BM_Save(s, count); });
        Register(Name({"Dump", "grouped", size}), [count](benchmark::State& s) { BM_Dump(s, count); });
    }
    for (const bool besideRaster : {false, true}) {
        const std::string name =
            besideRaster ? "UndoMemory/grouped/10000/raster" : "UndoMemory/grouped/10000";
        benchmark::RegisterBenchmark(name.c_str(),
                                     [besideRaster](benchmark::State& s) { BM_UndoMemory(s, besideRaster); })
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
}

// --- The ratios ----------------------------------------------------------------------------------

// The ratios of bench_scale, each run's time the median of its repetitions.
class ScaleRatios : public RatioReporter {
protected:
    void PrintRatios(std::ostream& out) override {
        for (const int count : kSizes) {
            Ratio(out, "empty call, " + Objects(count) + " / empty document",
                  Name({"EmptyCall", "grouped", std::to_string(count)}), "EmptyCall/empty/0", "2");
        }
        for (const Shape shape : {Shape::grouped, Shape::flat}) {
            for (const int count : kSizes) {
                const std::string walk = Name({"PlainWalk", ShapeName(shape), std::to_string(count)});
                const std::string empty = Name({"EmptyCall", ShapeName(shape), std::to_string(count)});
                for (const QueryKind& kind : kQueries) {
                    Ratio(out,
                          std::string(kind.name) + " query / plain walk, " + ShapeName(shape) + ", " +
                              Objects(count),
                          Name({"Query", kind.name, ShapeName(shape), std::to_string(count)}), walk,
                          count == 100'000 ? "1.5" : "", 1.0, empty);
                }
            }
        }
        // Growth on the flat layer: ten times the objects taking ten times as long is 1.0. The
        // plain walk shows what the stand-in's own calls add.
        std::vector<std::pair<std::string, std::string>> flatRuns{{"plain walk", "PlainWalk/flat"}};
        for (const QueryKind& kind : kQueries) {
            flatRuns.emplace_back(std::string(kind.name) + " query", Name({"Query", kind.name, "flat"}));
        }
        for (const auto& [label, run] : flatRuns) {
            for (std::size_t i = 1; i < std::size(kSizes); ++i) {
                Ratio(out,
                      label + " growth per object, flat, " + Objects(kSizes[i]) + " / " +
                          Objects(kSizes[i - 1]),
                      Name({run, std::to_string(kSizes[i])}), Name({run, std::to_string(kSizes[i - 1])}),
                      label == "plain walk" ? "" : "1", static_cast<double>(kSizes[i]) / kSizes[i - 1]);
            }
        }
        Ratio(out, "translate of 10,000 found objects / the query that found them", "Translate/flat/100000",
              "Found/flat/100000", "2");
        for (const int count : kFileSizes) {
            const std::string size = std::to_string(count);
            Ratio(out, "open / nlohmann parse, " + Objects(count), Name({"Open", "grouped", size}),
                  Name({"Parse", "grouped", size}), "1.5");
            Ratio(out, "save / nlohmann dump, " + Objects(count), Name({"Save", "grouped", size}),
                  Name({"Dump", "grouped", size}), "1.0");
        }
        for (const std::string& run : Runs()) {
            if (const double* megabytes = run.starts_with("UndoMemory/") ? Counter(run, "undoMB") : nullptr) {
                out << "  undo history over " << kUndoTranslates << " one-object translates, "
                    << Objects(kUndoObjects) << (run.ends_with("/raster") ? " beside a 16 MB raster" : "")
                    << ": " << *megabytes << " MB [< 10 MB]\n";
            }
        }
    }

private:
    static std::string Objects(int count) {
        std::string digits = std::to_string(count);
        for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) {
            digits.insert(digits.begin() + i, ',');
        }
        return digits + " objects";
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RegisterAll();
    ScaleRatios reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(BenchFolder(), ignored);
    return 0;
}

// Opening and saving documents in the native format, beside nlohmann's own parse and dump of the
// same text: the floor a JSON format can reach with the library the stand-in already uses. Each run
// reports, side by side, the time of opening the file (reading it, checking it, building the
// document) against reading the same file and parsing it with nlohmann, the time of saving the
// document (the canonical text written through a temporary file, flushed to the disk and renamed)
// against nlohmann's dump of the same text written to a file, and the peak memory of opening and
// saving as a multiple of the file's size.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "GeneratedDocument.h"
#include "model/DocumentFormat.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::filesystem::path ScratchFile(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("plim_format_bench_" + std::to_string(getpid()) + "_" + name);
}

std::string ReadWholeFile(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return std::move(text).str();
}

// A line of /proc/self/status in kB ("VmRSS", "VmHWM").
double StatusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(field + ":")) {
            return std::stod(line.substr(field.size() + 1));
        }
    }
    return 0.0;
}

// The peak resident memory that opening the file and saving the document again adds, in bytes.
double PeakBytesOfOpenAndSave(const std::filesystem::path& file, const std::filesystem::path& saved) {
    malloc_trim(0);
    // Writing 5 resets the peak (VmHWM) to the current resident size.
    std::ofstream("/proc/self/clear_refs") << "5";
    const double before = StatusKilobytes("VmRSS");
    {
        const host::model::ReadResult read = host::model::openDocument(file);
        host::model::saveDocument(*read.document, saved);
    }
    return (StatusKilobytes("VmHWM") - before) * 1024.0;
}

void OpenAndSaveBesideNlohmann(benchmark::State& state) {
    const auto objects = static_cast<std::size_t>(state.range(0));
    const std::filesystem::path file = ScratchFile("source.json");
    const std::filesystem::path saved = ScratchFile("saved.json");
    const std::filesystem::path dumped = ScratchFile("dumped.json");
    if (!host::model::saveDocument(testsupport::GenerateDocument(objects), file)) {
        state.SkipWithError("cannot write the generated document");
        return;
    }
    const double fileBytes = static_cast<double>(std::filesystem::file_size(file));
    const double peakBytes = PeakBytesOfOpenAndSave(file, saved);

    double open = 0, parse = 0, save = 0, dump = 0;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        host::model::ReadResult read = host::model::openDocument(file);
        open += SecondsSince(start);

        start = Clock::now();
        const nlohmann::json json = nlohmann::json::parse(ReadWholeFile(file));
        parse += SecondsSince(start);

        start = Clock::now();
        host::model::saveDocument(*read.document, saved);
        save += SecondsSince(start);

        start = Clock::now();
        std::ofstream(dumped, std::ios::binary) << json.dump(2) << '\n';
        dump += SecondsSince(start);
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["file_MB"] = fileBytes / 1e6;
    state.counters["open_s"] = open / iterations;
    state.counters["nlohmann_parse_s"] = parse / iterations;
    state.counters["open_per_parse"] = open / parse;
    state.counters["save_s"] = save / iterations;
    state.counters["nlohmann_dump_s"] = dump / iterations;
    state.counters["save_per_dump"] = save / dump;
    state.counters["peak_per_file_size"] = peakBytes / fileBytes;
    for (const auto& scratch : {file, saved, dumped}) {
        std::filesystem::remove(scratch);
    }
}

BENCHMARK(OpenAndSaveBesideNlohmann)->Arg(100'000)->Unit(benchmark::kSecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();

// Fuzzes the name-template language: the input is taken as a JSON job (when it parses) whose
// templates are resolved, turned into text and checked as file names, with counters that the
// templates may create and change. Nothing of the host is reached: the document's sources are
// left unset and resolve to empty text.
#include <cstddef>
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "core/Counters.h"
#include "core/Json.h"
#include "documents/ExportJobs.h"
#include "documents/NameTemplate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const nlohmann::json job = nlohmann::json::parse(text, nullptr, false);
    if (job.is_discarded()) {
        return 0;
    }
    Counters counters;
    NameSources sources;
    sources.counters = &counters;
    JobList named;
    JobList numbered;
    try {
        ProcessFilePathsNames({job}, named, sources, counters);
        AppendArtboardNumbers(named, numbered);
    } catch (const nlohmann::json::exception&) {
        return 0;  // a request the export refuses: the command's reply names the key
    } catch (const CommandError&) {
        return 0;
    }
    for (const nlohmann::json& resolved : numbered) {
        nlohmann::json result;
        if (FilePathNameToString(resolved, result) &&
            !IsValidFileName(result["finalFileName"].get<std::string>())) {
            __builtin_trap();  // a name that passed must be a valid file name
        }
    }
    for (const Counter& counter : counters.All()) {
        if (counter.Pad().size() > static_cast<std::size_t>(kMaxCounterPadding) + 11) {
            __builtin_trap();
        }
    }
    return 0;
}

#include "documents/ExportJobs.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "core/Counters.h"
#include "core/Json.h"
#include "core/TextHelpers.h"

namespace {

constexpr std::array<const char*, 4> kNameTemplates = {"folderPath", "prefix", "fileName", "suffix"};

std::string AllArtboards(int count) {
    return "1-" + std::to_string(count);
}

// The copies of one job per artboard, or one job for the whole range.
void ExpandArtboards(json job, const std::string& range, const std::vector<int>& numbers,
                     const std::vector<std::string>& names, bool multiPage, bool documentMode, int count,
                     JobList& out) {
    job["documentArtboardsQuantity"] = count;
    if (multiPage) {
        job["artboardNumber"] = numbers.front();
        job["defaultAppendArtboardNumbers"] = false;
        job["artboardsQuantity"] = static_cast<int>(numbers.size());
        job["artboardName"] = names.front();
        job["artboardRange"] = range;
        job["exportAsMultiPage"] = true;
        if (documentMode) {
            job["exportAsSingleArtboard"] = true;
        }
        out.push_back(std::move(job));
        return;
    }
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        json copy = job;
        copy["artboardRange"] = std::to_string(numbers[i] + 1);
        copy["artboardNumber"] = numbers[i];
        copy["defaultAppendArtboardNumbers"] = numbers.size() >= 2;
        copy["artboardsQuantity"] = 1;
        copy["artboardName"] = names[i];
        copy["exportAsMultiPage"] = false;
        out.push_back(std::move(copy));
    }
}

// One job's artboards; false when its "artboardRange" names no artboard, which never stands for every
// artboard or for the art of the whole document.
bool ProcessJobArtboards(json job, const ArtboardSource& artboards, JobList& out) {
    const bool documentMode = ReadBoolStrictly(job, "document", false);
    std::string range = documentMode ? std::string() : ReadTextStrictly(job, "artboardRange");
    const bool selected = !documentMode && ReadBoolStrictly(job, "exportSelected", false);
    const std::string tagSearch = documentMode ? std::string() : ReadTextStrictly(job, "tagSearch");
    const bool artJob = selected || !tagSearch.empty();
    if (documentMode) {
        job["artboardRange"] = "";
        job["tagSearch"] = "";
        job["exportSelected"] = false;
    }
    const bool rangeGiven = !range.empty();
    if (!rangeGiven) {
        if (artJob) {
            job["documentArtboardsQuantity"] = artboards.count;
            out.push_back(std::move(job));
            return true;
        }
        range = AllArtboards(artboards.count);
    }
    std::vector<int> numbers;
    std::vector<std::string> names;
    if (!artboards.parse(range, numbers, names) || numbers.empty()) {
        return !rangeGiven;
    }
    if (names.size() != numbers.size()) {
        return true;
    }
    const FormatFacts* format = JobFormat(job);
    bool multiPage = format != nullptr && format->multiPage;
    multiPage = ReadBoolStrictly(job, "exportAsMultiPage", multiPage);
    if (ReadBoolStrictly(job, "exportAsSingleArtboard", false) || documentMode) {
        multiPage = true;
    }
    ExpandArtboards(std::move(job), range, numbers, names, multiPage, documentMode, artboards.count, out);
    return true;
}

// Whether every name template of the job is of a template's type: a string, an array or an object
// of parts (null: none).
bool NameTemplatesReadable(const json& job) {
    return std::all_of(kNameTemplates.begin(), kNameTemplates.end(), [&](const char* key) {
        const json* value = FindKey(job, key);
        return value == nullptr || value->is_string() || value->is_array() || value->is_object() ||
               value->is_null();
    });
}

// The resolved names of one job; false when a template is of another type, or the folder or the
// file name has no parts.
bool ResolveNames(json& job, const NameSources& sources) {
    if (!NameTemplatesReadable(job)) {
        return false;
    }
    std::vector<ResolvedPart> folderParts = ResolveNameParts(job, "folderPath", sources);
    std::vector<ResolvedPart> fileParts;
    for (const char* key : {"prefix", "fileName", "suffix"}) {
        for (ResolvedPart& part : ResolveNameParts(job, key, sources)) {
            fileParts.push_back(std::move(part));
        }
    }
    if (folderParts.empty() || fileParts.empty()) {
        return false;
    }
    // The folder is the request's: no name from the document leads out of it.
    ConfineNameParts(folderParts, true);
    ConfineNameParts(fileParts, false);
    json folder = NamePartValues(std::move(folderParts));
    json file = NamePartValues(std::move(fileParts));
    const bool namesArtboard =
        std::any_of(kNameTemplates.begin(), kNameTemplates.end(),
                    [&](const char* key) { return ArtboardNameNumberCommandPresent(job, key); });
    for (const char* key : kNameTemplates) {
        job.erase(key);
    }
    job["finalFolderPath"] = std::move(folder);
    job["finalFileName"] = std::move(file);
    if (namesArtboard && job.contains("defaultAppendArtboardNumbers")) {
        job["defaultAppendArtboardNumbers"] = false;
    }
    return true;
}

void FireJobCounters(const json& job, bool lastOfRequestJob, Counters& counters) {
    bool standards = true;
    ReadJsonValue(job, "triggerStandards", standards);
    if (lastOfRequestJob) {
        if (standards) {
            counters.ResetAndIncrement("job");
        }
        counters.Increment(job);
    }
    if (!standards) {
        return;
    }
    counters.ResetAndIncrement("file");
    int artboards = 0;
    ReadJsonValue(job, "artboardsQuantity", artboards);
    for (int i = 0; i < artboards; ++i) {
        counters.ResetAndIncrement("artboard");
    }
}

bool IsSetDelimiter(const std::string& name) {
    if (name.empty()) {
        return false;
    }
    const std::string_view delimiters = kNameDelimiters;
    // The broken bar is two bytes; a name ending in either of them ends in it.
    if (name.size() >= 2 && name.compare(name.size() - 2, 2, "\xC2\xA6") == 0) {
        return true;
    }
    const char last = name.back();
    return static_cast<unsigned char>(last) < 0x80 && delimiters.find(last) != std::string_view::npos;
}

}  // namespace

const FormatFacts* JobFormat(const json& job) {
    std::string name;
    ReadJsonValue(job, "fileFormat", name);
    return FindFormatFacts(AsciiLowerCase(name));
}

bool InheritJobs(const json& request, JobList& jobs) {
    const json* list = FindKey(request, "jobs");
    json base = request;
    if (list == nullptr) {
        base["jobNumber"] = 1;
        jobs.push_back(std::move(base));
        return true;
    }
    if (!list->is_array()) {
        return false;
    }
    base.erase("jobs");
    if (list->empty()) {
        base["jobNumber"] = 1;
        jobs.push_back(std::move(base));
        return true;
    }
    JobList inherited;
    int number = 1;
    for (const json& entry : *list) {
        if (!entry.is_object() && !entry.is_null()) {
            return false;
        }
        json job = base;
        job.merge_patch(entry);
        if (!job.is_object()) {
            job = json::object();
        }
        job["jobNumber"] = number++;
        inherited.push_back(std::move(job));
    }
    jobs.insert(jobs.end(), inherited.begin(), inherited.end());
    return !jobs.empty();
}

bool TriggerStandards(const JobList& jobs) {
    // Read strictly: a value that is no boolean would otherwise fire the triggers the request may
    // have meant to keep still.
    return std::none_of(jobs.begin(), jobs.end(),
                        [](const json& job) { return !ReadBoolStrictly(job, "triggerStandards", true); });
}

bool AddFileFormats(const JobList& jobs, JobList& out) {
    for (const json& job : jobs) {
        const json* formats = FindKey(job, "formats");
        if (formats == nullptr || !formats->is_array()) {
            continue;
        }
        for (const json& format : *formats) {
            if (!format.is_string()) {
                continue;
            }
            const FormatFacts* facts = FindFormatFacts(AsciiLowerCase(format.get<std::string>()));
            if (facts == nullptr) {
                continue;
            }
            json copy = job;
            copy.erase("formats");
            copy["fileFormat"] = facts->name;
            out.push_back(std::move(copy));
        }
    }
    return !out.empty();
}

bool ProcessArtboards(const JobList& jobs, JobList& out, const ArtboardSource& artboards) {
    if (artboards.count <= 0 || !artboards.parse) {
        return false;
    }
    for (const json& job : jobs) {
        if (!ProcessJobArtboards(job, artboards, out)) {
            return false;
        }
    }
    return !out.empty();
}

bool ProcessFilePathsNames(const JobList& jobs, JobList& out, const NameSources& sources,
                           Counters& counters) {
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        json job = jobs[i];
        bool named = true;
        try {
            named = ResolveNames(job, sources);
        } catch (const std::exception& failure) {
            // A template value of the wrong type fails this job alone.
            job[kJobFailureKey] = DescribeException(failure);
        }
        // A job that can't be named fails the command: dropping it would answer success for a file
        // never written.
        if (!named) {
            return false;
        }
        const bool last =
            i + 1 == jobs.size() || jobs[i + 1].value("jobNumber", 0) != job.value("jobNumber", 0);
        FireJobCounters(job, last, counters);
        out.push_back(std::move(job));
    }
    return !out.empty();
}

bool AppendArtboardNumbers(const JobList& jobs, JobList& out) {
    for (json job : jobs) {
        // Read in every job, so that a value of another type fails the step whatever the job.
        const std::string choice = AsciiLowerCase(ReadTextStrictly(job, "appendArtboardNumbers"));
        if (job.contains("finalFileName") && job.contains("artboardNumber")) {
            bool append = true;
            ReadJsonValue(job, "defaultAppendArtboardNumbers", append);
            append = choice == "yes" || (choice != "no" && append);
            if (append) {
                int number = 0;
                ReadJsonValue(job, "artboardNumber", number);
                int width = 0;
                if (HasKey(job, "artboardNumberLength") &&
                    !ReadJsonValue(job, "artboardNumberLength", width)) {
                    job[kJobFailureKey] = "Can't read artboardNumberLength";
                }
                width = std::clamp(width, 0, kMaxCounterPadding);
                std::string digits = std::to_string(static_cast<long long>(number) + 1);
                if (digits.size() < static_cast<std::size_t>(width)) {
                    digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
                }
                job["strArtboardNumber"] = digits;
            }
            job.erase("defaultAppendArtboardNumbers");
            job.erase("appendArtboardNumbers");
        }
        out.push_back(std::move(job));
    }
    return !out.empty();
}

JobList OrderJobs(const JobList& jobs) {
    JobList ordered;
    for (const FormatKind kind : {FormatKind::vector, FormatKind::raster}) {
        for (const json& job : jobs) {
            const FormatFacts* format = JobFormat(job);
            if (format != nullptr && format->kind == kind) {
                ordered.push_back(job);
            }
        }
    }
    return ordered;
}

bool IsValidFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           CanNameAFile(name);
}

bool FilePathNameToString(const json& job, json& result) {
    result = job;
    const std::string folder = FilePathNameToString(job, "finalFolderPath");
    if (folder.empty() || !CanNameAFile(folder)) {
        return false;
    }
    result["finalFolderPath"] = folder;
    std::string name = FilePathNameToString(job, "finalFileName");
    if (name.empty()) {
        return false;
    }
    std::string casing;
    ReadJsonValue(job, "fileNameCase", casing);
    std::string delimiter;
    ReadJsonValue(job, "fileNameDelimiter", delimiter);
    name = ReplaceDelimiters(ChangeCase(name, casing), kNameDelimiters, delimiter);
    std::string number;
    ReadJsonValue(job, "strArtboardNumber", number);
    if (!number.empty()) {
        if (!IsSetDelimiter(name)) {
            name += ' ';
        }
        name += number;
    }
    if (!IsValidFileName(name)) {
        return false;
    }
    result["finalFileName"] = name;
    return true;
}

json JobResult(const json& job, bool successful, const std::string& error) {
    static constexpr std::array<std::pair<const char*, const char*>, 3> kResultKeys = {{
        {"finalFolderPath", "folderPath"},
        {"finalFileName", "fileName"},
        {"fileFormat", "fileFormat"},
    }};
    json result;
    for (const auto& [jobKey, resultKey] : kResultKeys) {
        std::string text;
        ReadJsonValue(job, jobKey, text);
        result[resultKey] = text;
    }
    result["exportSuccessful"] = successful;
    if (!error.empty()) {
        result["error"] = error;
    }
    return result;
}

// The job list of "exportFile": the request turned into one job per file to write, each a JSON
// object that carries everything its preparation and writer read. The steps run in order; each
// takes the list of the step before and answers whether its own list is non-empty.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "documents/ExportFormats.h"
#include "documents/NameTemplate.h"

class Counters;

using JobList = std::vector<nlohmann::json>;

// A job's failure found while its names were resolved (a value of the wrong type); the job is run
// as a failed job with this text. Removed before the job's result is built.
inline constexpr const char* kJobFailureKey = "__jobFailure";

// What the artboard step reads of the document.
struct ArtboardSource {
    int count = 0;
    // The 0-based artboard indices and names of a range text, in range order; false for an invalid
    // or empty range.
    std::function<bool(const std::string& range, std::vector<int>& numbers, std::vector<std::string>& names)>
        parse;
};

// The format the job's "fileFormat" names (in any letter case); null for none.
const FormatFacts* JobFormat(const nlohmann::json& job);

bool InheritJobs(const nlohmann::json& request, JobList& jobs);
// Whether every job lets the standard counter triggers fire.
bool TriggerStandards(const JobList& jobs);
bool AddFileFormats(const JobList& jobs, JobList& out);
bool ProcessArtboards(const JobList& jobs, JobList& out, const ArtboardSource& artboards);
// Resolves every job's folder and file name and fires the counters after each. False when a job's
// name template is neither a string, an array nor an object, or its folder or file name has no parts.
bool ProcessFilePathsNames(const JobList& jobs, JobList& out, const NameSources& sources, Counters& counters);
// Settles the artboard number appended to each job's file name. Throws CommandError when a job's
// "appendArtboardNumbers" is not a string.
bool AppendArtboardNumbers(const JobList& jobs, JobList& out);
// Vector jobs first, then raster jobs, each in list order; jobs of no kind are left out.
JobList OrderJobs(const JobList& jobs);

// The job with its names as text: false when the folder or the file name is empty or can't be a
// file name (".", "..", or holding "/" or NUL).
bool FilePathNameToString(const nlohmann::json& job, nlohmann::json& result);
// Whether the text can name a file in a folder: not empty, ".", "..", and free of "/" and NUL.
bool IsValidFileName(const std::string& name);

// The result object of a job.
nlohmann::json JobResult(const nlohmann::json& job, bool successful, const std::string& error);

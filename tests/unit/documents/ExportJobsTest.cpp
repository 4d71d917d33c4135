// Export jobs: formats, artboards and names expanded from a request, and its refusals.
#include <gtest/gtest.h>

#include <cctype>

#include "core/Counters.h"
#include "documents/ExportJobs.h"

using json = nlohmann::json;

namespace {

// Three artboards named A, B and C; ranges are single numbers or "1-3".
ArtboardSource ThreeArtboards() {
    ArtboardSource source;
    source.count = 3;
    source.parse = [](const std::string& range, std::vector<int>& numbers, std::vector<std::string>& names) {
        const std::vector<int> all = {0, 1, 2};
        if (range == "1-3") {
            numbers = all;
        } else if (range == "1" || range == "2" || range == "3") {
            numbers = {std::stoi(range) - 1};
        } else {
            return false;
        }
        for (const int n : numbers) {
            names.push_back(std::string(1, static_cast<char>('A' + n)));
        }
        return true;
    };
    return source;
}

// The request through every step up to the running order.
JobList Expand(const json& request, Counters& counters) {
    JobList jobs;
    JobList formats;
    JobList boards;
    JobList named;
    JobList numbered;
    NameSources sources;
    sources.counters = &counters;
    if (!InheritJobs(request, jobs) || !AddFileFormats(jobs, formats) ||
        !ProcessArtboards(formats, boards, ThreeArtboards()) ||
        !ProcessFilePathsNames(boards, named, sources, counters) || !AppendArtboardNumbers(named, numbered)) {
        return {};
    }
    JobList texts;
    for (const json& job : OrderJobs(numbered)) {
        json result;
        if (FilePathNameToString(job, result)) {
            texts.push_back(result);
        }
    }
    return texts;
}

std::vector<std::string> Names(const JobList& jobs) {
    std::vector<std::string> names;
    for (const json& job : jobs) {
        names.push_back(job["fileFormat"].get<std::string>() + ":" + job["finalFileName"].get<std::string>());
    }
    return names;
}

}  // namespace

TEST(ExportJobs, ExpandFormatsArtboardsAndNames) {
    struct Case {
        json request;
        std::vector<std::string> expected;
    };
    const json base = {{"folderPath", "/out"}, {"fileName", "Cover"}};
    const Case cases[] = {
        {{{"formats", {"PNG", "pdf", "gif"}}}, {"pdf:Cover", "png:Cover 1", "png:Cover 2", "png:Cover 3"}},
        {{{"formats", {"png"}}, {"artboardRange", "2"}}, {"png:Cover"}},
        {{{"formats", {"png"}}, {"artboardRange", "2"}, {"appendArtboardNumbers", "YES"}}, {"png:Cover 2"}},
        {{{"formats", {"png"}},
          {"artboardRange", "2"},
          {"appendArtboardNumbers", "yes"},
          {"artboardNumberLength", 3}},
         {"png:Cover 002"}},
        {{{"formats", {"png"}},
          {"fileName", "Cover_"},
          {"artboardRange", "1"},
          {"appendArtboardNumbers", "yes"}},
         {"png:Cover_1"}},
        {{{"formats", {"pdf"}}, {"exportAsMultiPage", false}}, {"pdf:Cover 1", "pdf:Cover 2", "pdf:Cover 3"}},
        {{{"formats", {"png"}}, {"document", true}}, {"png:Cover"}},
        // A range that names no artboard refuses the request: it never stands for every artboard, nor
        // for the whole document's art.
        {{{"formats", {"png"}}, {"artboardRange", "9"}}, {}},
        {{{"formats", {"png"}}, {"artboardRange", "9"}, {"tagSearch", "t"}}, {}},
        {{{"formats", {"png"}}, {"jobs", {{{"artboardRange", "2"}}, {{"artboardRange", "9"}}}}}, {}},
        {{{"formats", {"png"}}, {"fileName", {"x", {{"command", "artboard_name"}}}}},
         {"png:xA", "png:xB", "png:xC"}},
        {{{"formats", {"ai"}}, {"jobs", json::array()}}, {"ai:Cover"}},
        {{{"formats", {"ai"}}, {"jobs", {{{"fileName", "One"}}, {{"fileName", nullptr}, {"prefix", "Two"}}}}},
         {"ai:One", "ai:Two"}},
        {{{"formats", {"ai"}}, {"fileName", "."}}, {}},
        {{{"formats", {"ai"}},
          {"fileName", {{{"command", "artboard_name"}}}},
          {"fileNameCase", "upper"},
          {"fileNameDelimiter", "+"}},
         {"ai:A"}},
    };
    for (const Case& c : cases) {
        json request = base;
        request.merge_patch(c.request);
        Counters counters;
        EXPECT_EQ(Names(Expand(request, counters)), c.expected) << c.request;
    }
}

TEST(ExportJobs, DocumentModeExportsOneMergedJob) {
    Counters counters;
    const JobList jobs = Expand(
        json{{"folderPath", "/o"}, {"fileName", "n"}, {"formats", {"png"}}, {"document", true}}, counters);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0]["exportAsMultiPage"], true);
    EXPECT_EQ(jobs[0]["exportAsSingleArtboard"], true);
    EXPECT_EQ(jobs[0]["artboardRange"], "1-3");
    EXPECT_EQ(jobs[0]["artboardsQuantity"], 3);
}

TEST(ExportJobs, RefusesRequestsStepByStep) {
    JobList jobs;
    EXPECT_FALSE(InheritJobs(json{{"jobs", "x"}}, jobs));
    EXPECT_FALSE(InheritJobs(json{{"jobs", {1}}}, jobs));
    JobList formats;
    EXPECT_FALSE(AddFileFormats({json{{"formats", {"gif", 3}}}, json::object()}, formats));
    JobList boards;
    ArtboardSource none = ThreeArtboards();
    none.count = 0;
    EXPECT_FALSE(ProcessArtboards({json{{"fileFormat", "ai"}}}, boards, none));
    EXPECT_THROW(
        ProcessArtboards({json{{"fileFormat", "ai"}, {"document", "yes"}}}, boards, ThreeArtboards()),
        std::exception);
}

TEST(ExportJobs, CountersFireAfterTheNamesOfEachJob) {
    Counters counters;
    counters.Add(json{{"name", "mine"}});
    const json counter = {{"command", "counter"}, {"name", "artboard"}};
    const json request = {{"folderPath", "/o"},
                          {"formats", {"png"}},
                          {"fileName", {counter, "-", {{"command", "counter"}, {"name", "job"}}}},
                          {"jobs", {{{"counters", {"mine"}}}, {{"artboardRange", "1"}}}}};
    EXPECT_EQ(Names(Expand(request, counters)),
              (std::vector<std::string>{"png:1-1 1", "png:2-1 2", "png:3-1 3", "png:4-2"}));
    EXPECT_EQ(counters.All()[counters.Find("mine")].count, 2);
    EXPECT_EQ(counters.All()[counters.Find("job")].count, 3);
    EXPECT_EQ(counters.All()[counters.Find("file")].count, 5);

    Counters quiet;
    EXPECT_EQ(
        Names(Expand(
            json{{"folderPath", "/o"}, {"fileName", "n"}, {"formats", {"ai"}}, {"triggerStandards", false}},
            quiet)),
        (std::vector<std::string>{"ai:n"}));
    EXPECT_EQ(quiet.All()[quiet.Find("file")].count, 1);
}

TEST(ExportJobs, ATemplateOfTheWrongTypeFailsItsJobAlone) {
    Counters counters;
    JobList named;
    NameSources sources;
    const JobList jobs = {json{{"folderPath", "/o"}, {"fileName", {{{"command", 5}}}}, {"jobNumber", 1}},
                          json{{"folderPath", "/o"}, {"fileName", "ok"}, {"jobNumber", 2}}};
    ASSERT_TRUE(ProcessFilePathsNames(jobs, named, sources, counters));
    ASSERT_EQ(named.size(), 2u);
    EXPECT_TRUE(named[0].contains(kJobFailureKey));
    EXPECT_FALSE(named[1].contains(kJobFailureKey));
}

// Every format of the one table is a job of its name in any letter case, takes the whole range in
// one file when the table says so, and runs with its kind: every vector job before every raster
// job.
TEST(ExportJobs, EveryFormatOfTheTableIsAJob) {
    json formats = json::array();
    for (const FormatFacts& format : kFormatFacts) {
        std::string upper(format.name);
        for (char& c : upper) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        formats.push_back(upper);
    }
    Counters counters;
    const JobList jobs = Expand({{"formats", formats}, {"folderPath", "/out"}, {"fileName", "f"}}, counters);
    std::vector<std::string> expected;
    for (const FormatKind kind : {FormatKind::vector, FormatKind::raster}) {
        for (const FormatFacts& format : kFormatFacts) {
            if (format.kind != kind) {
                continue;
            }
            const std::string name(format.name);
            for (const char* number : format.multiPage ? std::vector<const char*>{""}
                                                       : std::vector<const char*>{" 1", " 2", " 3"}) {
                expected.push_back(name + ":f" + number);
            }
            EXPECT_EQ(FindFormatFacts(name), &format);
        }
    }
    EXPECT_EQ(Names(jobs), expected);
    EXPECT_EQ(FindFormatFacts("gif"), nullptr);
    EXPECT_EQ(FindFormatFacts("PNG"), nullptr);
}

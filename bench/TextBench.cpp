// How find and replace and text fitting scale with the text, each figure beside the floor it is
// measured against, the ratios printed after the runs:
//
//   - the command "text" replacing a word (literal) and a pattern with a group ('(\d+) beta')
//     throughout one story of paragraphs of words, 100 KB and 1 MB, against PCRE2 finding the
//     same word, and pcre2_substitute making the same replacement, in the same text; and the
//     growth from 100 KB to 1 MB;
//   - fitting one story of 10,000 to 80,000 characters to its frame ("fitToFrame") against
//     checking the same story for overset text, and the growth from 10,000 to 80,000 characters;
//   - replacing one price in each of 10,000 point-text frames, literally and by pattern, against
//     the query that finds those frames ("getByTags").
//
// Every replacement and fit runs on a fresh copy of the generated document, made with the timer
// paused. Ratios use CPU time, each the median of its repetitions (--benchmark_repetitions).
// Filter with --benchmark_filter, e.g. 'Replace' or 'Fit'.
#define PCRE2_CODE_UNIT_WIDTH 32
#include <benchmark/benchmark.h>
#include <pcre2.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "BenchPlugin.h"
#include "GeneratedDocuments.h"
#include "RatioReporter.h"
#include "host/Application.h"
#include "model/Document.h"

namespace {

using host::model::ArtId;
using host::model::Document;

constexpr int kStoryKilobytes[] = {100, 1000};
constexpr int kFitCharacters[] = {10'000, 20'000, 40'000, 80'000};
constexpr int kFrames = 10'000;

constexpr const char* kWord = "kappa";
constexpr const char* kPattern = "(\\d+) beta";

// Paragraphs of about 60 words: Greek letters and numbers, a number followed by "beta" half the
// time, from a fixed sequence so that every run sees the same text.
std::string Words(std::size_t characters) {
    static constexpr const char* kWords[] = {"alpha", "beta",  "gamma",   "delta", "epsilon", "zeta",
                                             "eta",   "theta", "iota",    "kappa", "lambda",  "mu",
                                             "nu",    "xi",    "omicron", "pi"};
    std::string text;
    text.reserve(characters + 16);
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    for (int word = 1; text.size() < characters; ++word) {
        if (next() % 8 == 0) {
            text += std::to_string(next() % 1000);
            text += next() % 2 == 0 ? " beta" : " gamma";
        } else {
            text += kWords[next() % 16];
        }
        text += word % 60 == 0 ? '\r' : ' ';
    }
    text.resize(characters);
    return text;
}

void AddText(Document& document, host::model::TextKind kind, const host::model::Rect& frame,
             const std::string& text, const std::string& tag) {
    document.editTags(bench::AddText(document, kind, frame, text))->set(TagEntryName(tag), "string", tag);
}

// One area-text story, tagged "story", in a frame of 400 by 600 points.
std::unique_ptr<Document> StoryDocument(std::size_t characters) {
    auto document = std::make_unique<Document>(std::uint64_t{42});
    AddText(*document, host::model::TextKind::area, host::model::Rect(0, 600, 400, 0), Words(characters),
            "story");
    document->takeChanges();
    return document;
}

// 10,000 point-text frames tagged "price", each holding one price.
std::unique_ptr<Document> FramesDocument() {
    auto document = std::make_unique<Document>(std::uint64_t{42});
    for (int i = 0; i < kFrames; ++i) {
        const double x = (i % 100) * 120.0;
        const double y = (i / 100) * 20.0;
        AddText(*document, host::model::TextKind::point, host::model::Rect(x, y + 12, x + 110, y),
                "Item " + std::to_string(i) + " costs " + std::to_string(i % 90 + 10) + ".50 today", "price");
    }
    document->takeChanges();
    return document;
}

// Documents are generated once each and copied for every run.
const Document& Cached(const std::string& key, const std::function<std::unique_ptr<Document>()>& make) {
    static std::map<std::string, std::unique_ptr<Document>> documents;
    std::unique_ptr<Document>& document = documents[key];
    if (document == nullptr) {
        document = make();
    }
    return *document;
}

// Sends the message once per iteration. With `fresh`, each iteration starts from a new copy of the
// document (made with the timer paused), since the message changes it.
void RunMessage(benchmark::State& state, const Document& document, bool fresh, const std::string& name,
                const std::string& request) {
    auto app = std::make_unique<host::Application>(PluginOptions());
    if (app->Startup() != kNoErr) {
        state.SkipWithError("the plug-in did not start");
        return;
    }
    app->Journal().SetEnabled(false);
    app->SetDocument(std::make_unique<Document>(document));
    for (auto _ : state) {
        if (fresh) {
            state.PauseTiming();
            app->SetDocument(std::make_unique<Document>(document));
            state.ResumeTiming();
        }
        host::ScriptResult result = app->ScriptMessage(name, request);
        if (result.output.find("\"error\"") != std::string::npos) {
            state.SkipWithError(result.output.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.output.data());
    }
}

std::string TextRequest(const std::string& tagSearch, const std::string& search, const std::string& replace,
                        const std::string& flags) {
    std::string request = R"({"tagSearch":")" + tagSearch + R"(","mode":0,"searchText":")" + search +
                          R"(","replaceText":")" + replace + "\"";
    if (!flags.empty()) {
        request += R"(,"regExFlag":")" + flags + "\"";
    }
    return request + "}";
}

// --- The floors: PCRE2 on the story's text -------------------------------------------------------

std::u32string Utf32(const std::string& ascii) {
    return std::u32string(ascii.begin(), ascii.end());
}

struct Compiled {
    pcre2_code* code = nullptr;
    pcre2_match_data* match = nullptr;
    explicit Compiled(const std::u32string& pattern, std::uint32_t options) {
        int error = 0;
        PCRE2_SIZE offset = 0;
        code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                             options | PCRE2_UTF, &error, &offset, nullptr);
        if (code != nullptr) {
            pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
            match = pcre2_match_data_create_from_pattern(code, nullptr);
        }
    }
    ~Compiled() {
        pcre2_match_data_free(match);
        pcre2_code_free(code);
    }
    Compiled(const Compiled&) = delete;
    Compiled& operator=(const Compiled&) = delete;
};

// Every occurrence of the word in the text, found one after the other.
void BM_FindWord(benchmark::State& state, int kilobytes) {
    const std::u32string text = Utf32(Words(static_cast<std::size_t>(kilobytes) * 1000));
    const Compiled word(Utf32(kWord), PCRE2_LITERAL);
    std::int64_t found = 0;
    for (auto _ : state) {
        found = 0;
        for (PCRE2_SIZE start = 0;
             pcre2_match(word.code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), start,
                         PCRE2_NO_UTF_CHECK, word.match, nullptr) >= 0;
             ++found) {
            start = pcre2_get_ovector_pointer(word.match)[1];
        }
    }
    state.counters["matches"] = static_cast<double>(found);
}

// The text with every match of the pattern replaced, groups substituted.
void BM_Substitute(benchmark::State& state, int kilobytes) {
    const std::u32string text = Utf32(Words(static_cast<std::size_t>(kilobytes) * 1000));
    const Compiled pattern(Utf32(kPattern), 0);
    const std::u32string replacement = Utf32("[$1] beta");
    std::u32string out(text.size() * 2, U'\0');
    int replaced = 0;
    for (auto _ : state) {
        PCRE2_SIZE length = out.size();
        replaced = pcre2_substitute(pattern.code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0,
                                    PCRE2_SUBSTITUTE_GLOBAL, pattern.match, nullptr,
                                    reinterpret_cast<PCRE2_SPTR>(replacement.data()), replacement.size(),
                                    reinterpret_cast<PCRE2_UCHAR*>(out.data()), &length);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["matches"] = replaced;
}

// --- Registration --------------------------------------------------------------------------------

std::string Kilobytes(int kilobytes) {
    return std::to_string(kilobytes) + "KB";
}

void Register(const std::string& name, std::function<void(benchmark::State&)> run) {
    benchmark::RegisterBenchmark(name.c_str(), [run](benchmark::State& state) { run(state); })
        ->Unit(benchmark::kMillisecond)
        ->MeasureProcessCPUTime()
        ->UseRealTime();
}

const Document& Story(int kilobytes) {
    return Cached("story/" + Kilobytes(kilobytes),
                  [kilobytes] { return StoryDocument(static_cast<std::size_t>(kilobytes) * 1000); });
}

const Document& FitStory(int characters) {
    return Cached("fit/" + std::to_string(characters),
                  [characters] { return StoryDocument(static_cast<std::size_t>(characters)); });
}

const Document& Frames() {
    return Cached("frames", [] { return FramesDocument(); });
}

void RegisterAll() {
    for (const int kilobytes : kStoryKilobytes) {
        const std::string size = Kilobytes(kilobytes);
        Register("ReplaceWord/story/" + size, [kilobytes](benchmark::State& s) {
            RunMessage(s, Story(kilobytes), true, "text", TextRequest("story", kWord, "KAPPA!", ""));
        });
        Register("FindWord/pcre2/" + size, [kilobytes](benchmark::State& s) { BM_FindWord(s, kilobytes); });
        Register("ReplacePattern/story/" + size, [kilobytes](benchmark::State& s) {
            RunMessage(s, Story(kilobytes), true, "text",
                       TextRequest("story", "(\\\\d+) beta", "[$1] beta", "g"));
        });
        Register("Substitute/pcre2/" + size,
                 [kilobytes](benchmark::State& s) { BM_Substitute(s, kilobytes); });
    }
    for (const int characters : kFitCharacters) {
        const std::string size = std::to_string(characters);
        Register("Fit/story/" + size, [characters](benchmark::State& s) {
            RunMessage(s, FitStory(characters), true, "text",
                       R"({"tagSearch":"story","fittingMethod":"fitToFrame"})");
        });
        Register("Overset/story/" + size, [characters](benchmark::State& s) {
            RunMessage(s, FitStory(characters), false, "checkTextOverset", R"({"tagSearch":"story"})");
        });
    }
    Register("Found/frames/10000", [](benchmark::State& s) {
        RunMessage(s, Frames(), false, "getByTags", R"({"tagSearch":"price"})");
    });
    Register("ReplaceWord/frames/10000", [](benchmark::State& s) {
        RunMessage(s, Frames(), true, "text", TextRequest("price", "costs", "is", ""));
    });
    Register("FindNothing/frames/10000", [](benchmark::State& s) {
        RunMessage(s, Frames(), true, "text", TextRequest("price", "absent", "is", ""));
    });
    Register("ReplacePattern/frames/10000", [](benchmark::State& s) {
        RunMessage(s, Frames(), true, "text", TextRequest("price", "(\\\\d+)\\\\.50", "$1.75", "g"));
    });
}

// --- The ratios ----------------------------------------------------------------------------------

class TextRatios : public RatioReporter {
protected:
    void PrintRatios(std::ostream& out) override {
        for (const int kilobytes : kStoryKilobytes) {
            const std::string size = Kilobytes(kilobytes);
            Ratio(out, "literal replace, one story of " + size + " / PCRE2 finding the word",
                  "ReplaceWord/story/" + size, "FindWord/pcre2/" + size, "");
            Ratio(out, "regex replace, one story of " + size + " / pcre2_substitute",
                  "ReplacePattern/story/" + size, "Substitute/pcre2/" + size, "");
        }
        const std::string small = Kilobytes(kStoryKilobytes[0]);
        const std::string large = Kilobytes(kStoryKilobytes[1]);
        Time(out, "literal replace, one story of " + large, "ReplaceWord/story/" + large, "< 1000");
        Time(out, "regex replace, one story of " + large, "ReplacePattern/story/" + large, "< 1000");
        Ratio(out, "literal replace growth, " + large + " / " + small, "ReplaceWord/story/" + large,
              "ReplaceWord/story/" + small, "12");
        Ratio(out, "regex replace growth, " + large + " / " + small, "ReplacePattern/story/" + large,
              "ReplacePattern/story/" + small, "12");
        for (const int characters : kFitCharacters) {
            const std::string size = std::to_string(characters);
            Ratio(out, "fitToFrame / checkTextOverset, " + size + " characters", "Fit/story/" + size,
                  "Overset/story/" + size, "");
        }
        const std::string fewest = std::to_string(kFitCharacters[0]);
        const std::string most = std::to_string(kFitCharacters[std::size(kFitCharacters) - 1]);
        Time(out, "fitToFrame, " + most + " characters", "Fit/story/" + most, "< 1000");
        Ratio(out, "fitToFrame growth, " + most + " / " + fewest + " characters", "Fit/story/" + most,
              "Fit/story/" + fewest, "10");
        Ratio(out, "literal replace in 10,000 frames / the query that finds them", "ReplaceWord/frames/10000",
              "Found/frames/10000", "3");
        Ratio(out, "regex replace in 10,000 frames / the query that finds them",
              "ReplacePattern/frames/10000", "Found/frames/10000", "3");
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RegisterAll();
    TextRatios reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

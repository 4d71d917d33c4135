// The command "text" over one long story with style runs and paragraph features: every replacement
// leaves exactly what replacing the matches one after the other, front to back, by the text
// engine's rules leaves (the text, each unit's local character features, each paragraph's
// features), and undo and redo put back exactly the story before and after.
//
// The expected story is worked out here one unit at a time: a replacement's text is inserted after
// the match, taking the local features of the match's last unit; the match is removed (a removed
// paragraph break joins its paragraph with the next, which takes the features of the first; an
// inserted break splits its paragraph, both halves keeping its features); the new text gets the
// features the match's units share and then the request's features.
#include <regex>

#include "PluginFixture.h"

namespace {

// A story unit by unit: each unit's local character features, each paragraph's features.
struct UnitStory {
    std::u16string text;
    std::vector<json> local;
    std::vector<json> paragraphs;
    bool operator==(const UnitStory&) const = default;
};

std::size_t BreaksIn(const std::u16string& text, std::size_t start, std::size_t end) {
    return static_cast<std::size_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(start),
                                               text.begin() + static_cast<std::ptrdiff_t>(end), u'\r'));
}

std::u16string Units(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

// The story of a saved text frame, plain or with features.
UnitStory FromSaved(const json& frame) {
    UnitStory story;
    if (!frame.contains("story")) {
        story.text = Units(frame.value("text", ""));
        story.local.assign(story.text.size(), json::object());
        story.paragraphs.assign(BreaksIn(story.text, 0, story.text.size()) + 1, json::object());
        return story;
    }
    const json& saved = frame["story"];
    story.text = Units(saved.value("text", ""));
    for (const json& run : saved["runs"]) {
        story.local.insert(story.local.end(), run.value("length", std::size_t{0}),
                           run.value("features", json::object()));
    }
    for (const json& paragraph : saved["paragraphs"]) {
        story.paragraphs.push_back(paragraph.value("features", json::object()));
    }
    return story;
}

// The story as the document format writes it.
json ToSaved(const UnitStory& story) {
    json runs = json::array();
    for (std::size_t i = 0; i < story.text.size(); ++i) {
        if (!runs.empty() && runs.back().value("features", json::object()) == story.local[i]) {
            runs.back()["length"] = runs.back()["length"].get<std::size_t>() + 1;
            continue;
        }
        json run{{"length", 1}};
        if (!story.local[i].empty()) {
            run["features"] = story.local[i];
        }
        runs.push_back(run);
    }
    json paragraphs = json::array();
    for (const json& features : story.paragraphs) {
        paragraphs.push_back(features.empty() ? json::object() : json{{"features", features}});
    }
    return {{"text", std::string(story.text.begin(), story.text.end())},
            {"runs", runs},
            {"paragraphs", paragraphs}};
}

// Replaces [start, end) of the story by the engine's rules (see the file comment).
void Replace(UnitStory& story, std::size_t start, std::size_t end, const std::u16string& text,
             const json& features) {
    json shared = story.local[start];
    for (std::size_t i = start + 1; i < end; ++i) {
        for (auto entry = shared.begin(); entry != shared.end();) {
            entry = story.local[i].value(entry.key(), json()) == entry.value() ? std::next(entry)
                                                                               : shared.erase(entry);
        }
    }
    const std::size_t split = BreaksIn(story.text, 0, end);
    story.paragraphs.insert(story.paragraphs.begin() + static_cast<std::ptrdiff_t>(split) + 1,
                            BreaksIn(text, 0, text.size()), json(story.paragraphs[split]));
    story.local.insert(story.local.begin() + static_cast<std::ptrdiff_t>(end), text.size(),
                       json(story.local[end - 1]));
    story.text.insert(end, text);
    const std::size_t joined = BreaksIn(story.text, start, end);
    const auto first =
        story.paragraphs.begin() + static_cast<std::ptrdiff_t>(BreaksIn(story.text, 0, start)) + 1;
    story.paragraphs.erase(first, first + static_cast<std::ptrdiff_t>(joined));
    story.text.erase(start, end - start);
    story.local.erase(story.local.begin() + static_cast<std::ptrdiff_t>(start),
                      story.local.begin() + static_cast<std::ptrdiff_t>(end));
    for (std::size_t i = start; i < start + text.size(); ++i) {
        story.local[i].update(shared);
        story.local[i].update(features);
    }
}

// 300 paragraphs with numbers, words that recur and a last word, in runs of five units that cycle
// through three sets of features, every other paragraph justified its own way.
UnitStory LongStory() {
    UnitStory story;
    std::string text;
    for (int i = 0; i < 300; ++i) {
        text += "p" + std::to_string(i) + " kappa " + std::to_string(i * 37 % 1000) + " beta kappa end";
        text += i + 1 < 300 ? "\r" : "";
        story.paragraphs.push_back(i % 2 == 0 ? json{{"justification", i % 3}} : json::object());
    }
    story.text = Units(text);
    const json kinds[] = {json::object(), json{{"fontSize", 11}}, json{{"tracking", 40}}};
    for (std::size_t i = 0; i < text.size(); ++i) {
        story.local.push_back(kinds[i / 5 % 3]);
    }
    return story;
}

struct LongCase {
    const char* name;
    const char* search;
    const char* replace;
    const char* flags;  // empty: literal
    const char* features;
};

const LongCase kCases[] = {
    {"LongerWord", "kappa", "KAPPA!!", "", "{}"},
    {"ShorterAcrossRuns", "kappa 1", "k", "", "{}"},
    {"EmptyReplacement", "a ", "", "", "{}"},
    {"JoinsParagraphs", "end\rp", "end p", "", "{}"},
    {"WithFeatures", "kappa", "kap", "", R"({"fontSize":9})"},
    {"Groups", "(\\d+) beta", "<$1>", "g", "{}"},
    {"SplitsParagraphs", "(\\d+) beta", "$1\rBETA", "g", "{}"},
    {"WholeMatchAndGroups", "p(\\d)(\\d)", "$2$&$1", "g", R"({"tracking":10})"},
};

// The story after the case's replacements, worked out unit by unit.
UnitStory Expected(UnitStory story, const LongCase& c) {
    const json features = json::parse(c.features);
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    std::vector<std::string> texts;
    const std::string text(story.text.begin(), story.text.end());
    if (std::string(c.flags).empty()) {
        const std::string search = c.search;
        for (std::size_t found = text.find(search); found != std::string::npos;
             found = text.find(search, found + search.size())) {
            spans.emplace_back(found, found + search.size());
            texts.emplace_back(c.replace);
        }
    } else {
        const std::regex pattern(c.search);
        for (auto match = std::sregex_iterator(text.begin(), text.end(), pattern);
             match != std::sregex_iterator(); ++match) {
            spans.emplace_back(match->position(), match->position() + match->length());
            texts.push_back(match->format(c.replace));
        }
    }
    std::ptrdiff_t shift = 0;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        const auto start = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(spans[i].first) + shift);
        Replace(story, start, start + (spans[i].second - spans[i].first), Units(texts[i]), features);
        shift += static_cast<std::ptrdiff_t>(texts[i].size()) -
                 static_cast<std::ptrdiff_t>(spans[i].second - spans[i].first);
    }
    return story;
}

class TextReplaceLongStoryTest : public PluginTest, public ::testing::WithParamInterface<LongCase> {
protected:
    json Saved() {
        const host::model::WriteResult written = host::model::writeDocument(*app->CurrentDocument());
        EXPECT_TRUE(written.text) << written.error;
        return json::parse(written.text.value_or("{}"));
    }
};

TEST_P(TextReplaceLongStoryTest, LeavesWhatReplacingEachMatchInTurnLeaves) {
    const LongCase& c = GetParam();
    const UnitStory before = LongStory();
    const json document = {
        {"format", "plimhost-document"},
        {"version", 1},
        {"layers",
         {{{"type", "layer"},
           {"title", "L"},
           {"children",
            {{{"type", "textFrame"},
              {"name", "Long"},
              {"kind", "area"},
              {"frame", {0, 1000, 1000, 0}},
              {"story", ToSaved(before)},
              {"tags", {{{"name", "_p_tag_00000001"}, {"type", "string"}, {"value", "long"}}}}}}}}}}};
    OpenDocumentText(document.dump(), 11);
    ASSERT_EQ(FromSaved(Saved()["layers"][0]["children"][0]), before);
    const json original = Saved();

    json request{{"tagSearch", "long"}, {"mode", 0}, {"searchText", c.search}, {"replaceText", c.replace}};
    request["textFeatures"] = json::parse(c.features);
    if (!std::string(c.flags).empty()) {
        request["regExFlag"] = c.flags;
    }
    const json reply = ScriptJson("text", request.dump());
    EXPECT_FALSE(reply.contains("error")) << reply;

    const UnitStory expected = Expected(before, c);
    const json replaced = Saved();
    const UnitStory after = FromSaved(replaced["layers"][0]["children"][0]);
    ASSERT_EQ(std::string(after.text.begin(), after.text.end()),
              std::string(expected.text.begin(), expected.text.end()));
    ASSERT_NE(after.text, before.text);
    for (std::size_t i = 0; i < expected.local.size(); ++i) {
        ASSERT_EQ(after.local[i], expected.local[i]) << "unit " << i;
    }
    EXPECT_EQ(after.paragraphs, expected.paragraphs);

    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(Saved(), original);
    ASSERT_EQ(app->Redo(), kNoErr);
    EXPECT_EQ(Saved(), replaced);
}

INSTANTIATE_TEST_SUITE_P(Replacements, TextReplaceLongStoryTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<LongCase>& info) { return info.param.name; });

}  // namespace

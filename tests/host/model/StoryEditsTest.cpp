// Story edits keep the character runs merged: every neighbour differs, whichever way an edit goes
// (inside one run, over a whole run, across runs, the whole story).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Story.h"

namespace host::model {
namespace {

// One letter per unit: 'a' no local features, 'b' and 'c' two font sizes.
CharFeatures FeaturesOf(char letter) {
    CharFeatures features;
    if (letter != 'a') {
        features.fontSize = letter == 'b' ? 20.0 : 30.0;
    }
    return features;
}

char LetterOf(const CharFeatures& features) {
    return !features.fontSize ? 'a' : *features.fontSize == 20.0 ? 'b' : 'c';
}

// A story of the text whose units carry the letters' features.
Story StoryOf(const std::u16string& text, const std::string& letters) {
    std::vector<CharRun> runs;
    for (const char letter : letters) {
        runs.push_back(CharRun{1, FeaturesOf(letter), ""});
    }
    return *Story::fromParts(text, runs, {ParaRun{}});
}

// The runs as "letter length" pairs, e.g. "a3 b4 a3".
std::string RunsOf(const Story& story) {
    std::string shown;
    for (const CharRun& run : story.charRuns()) {
        shown +=
            (shown.empty() ? "" : " ") + std::string(1, LetterOf(run.local)) + std::to_string(run.length);
    }
    return shown;
}

struct EditCase {
    const char* name;
    const char* letters;  // of the text "0123456789" cut to their length
    TextSpan span;
    char setTo;  // 0: the span is erased; otherwise its units take this letter's features
    const char16_t* text;
    const char* runs;
};

class StoryEdits : public testing::TestWithParam<EditCase> {};

TEST_P(StoryEdits, LeaveTheTextAndMergedRuns) {
    const EditCase& edit = GetParam();
    const std::string letters = edit.letters;
    Story story = StoryOf(std::u16string(u"0123456789").substr(0, letters.size()), letters);
    if (edit.setTo == 0) {
        story.erase(edit.span);
    } else {
        story.editRuns(edit.span, [&](CharRun& run) { run.local = FeaturesOf(edit.setTo); });
    }
    EXPECT_EQ(story.text(), std::u16string(edit.text));
    EXPECT_EQ(RunsOf(story), edit.runs);
}

const EditCase kEdits[] = {
    {"EraseInsideARun", "aaabbbbaaa", {4, 6}, 0, u"01236789", "a3 b2 a3"},
    {"EraseAWholeRunJoinsItsNeighbours", "aaabbbbaaa", {3, 7}, 0, u"012789", "a6"},
    {"EraseAcrossRuns", "aaabbbbaaa", {2, 8}, 0, u"0189", "a4"},
    {"EraseTheEndOfTheLastRun", "aaabbb", {4, 6}, 0, u"0123", "a3 b1"},
    {"EraseTheWholeStoryKeepsTheFirstRunsFeatures", "bbbaaa", {0, 6}, 0, u"", "b0"},
    {"EraseTheOnlyRun", "cccc", {0, 4}, 0, u"", "c0"},
    {"SetWhatARunHasChangesNothing", "aaabbbbaaa", {4, 6}, 'b', u"0123456789", "a3 b4 a3"},
    {"SetInsideARunSplitsIt", "aaabbbbaaa", {4, 6}, 'c', u"0123456789", "a3 b1 c2 b1 a3"},
    {"SetAWholeRunLikeItsNeighboursJoinsThem", "aaabbbbaaa", {3, 7}, 'a', u"0123456789", "a10"},
    {"SetAcrossRuns", "aaabbbbaaa", {1, 9}, 'c', u"0123456789", "a1 c8 a1"},
};

INSTANTIATE_TEST_SUITE_P(Story, StoryEdits, testing::ValuesIn(kEdits),
                         [](const testing::TestParamInfo<EditCase>& info) { return info.param.name; });

}  // namespace
}  // namespace host::model

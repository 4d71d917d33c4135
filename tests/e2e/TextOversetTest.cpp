// checkTextOverset on area, point, path and threaded text of 10 pt DejaVu Sans Mono, whose advances
// are all equal: a frame 20 points wide takes three characters a line, and 12 points high one line
// (ascent and descent 11.64 points; the next baseline lies 12 points lower).
#include <gtest/gtest.h>

#include "PluginFixture.h"

namespace {

constexpr const char* kDocument = R"({
  "format": "plimhost-document", "version": 1,
  "textStyles": {"character": {"Normal Character Style": {"font": "DejaVuSansMono", "fontSize": 10}}},
  "layers": [{"type": "layer", "title": "Text", "children": [
    {"type": "textFrame", "kind": "area", "text": "abc", "frame": [0, 100, 20, 88],
     "tags": [{"name": "_p_tag_00000001", "type": "string", "value": "exact"}]},
    {"type": "textFrame", "kind": "area", "text": "abcd", "frame": [0, 80, 20, 68],
     "tags": [{"name": "_p_tag_00000002", "type": "string", "value": "onemore"}]},
    {"type": "textFrame", "kind": "point", "text": "abcdefghij", "frame": [0, 60, 10, 50],
     "tags": [{"name": "_p_tag_00000003", "type": "string", "value": "point"}]},
    {"type": "textFrame", "kind": "onPath", "text": "abcd", "frame": [0, 0, 0, 0],
     "path": {"closed": false, "segments": [{"anchor": [0, 40]}, {"anchor": [30, 40]}]},
     "tags": [{"name": "_p_tag_00000004", "type": "string", "value": "pathfits"}]},
    {"type": "textFrame", "kind": "onPath", "text": "abcdef", "frame": [0, 0, 0, 0],
     "path": {"closed": false, "segments": [{"anchor": [0, 30]}, {"anchor": [30, 30]}]},
     "tags": [{"name": "_p_tag_00000005", "type": "string", "value": "pathoverset"}]},
    {"type": "textFrame", "kind": "area", "text": "abcdefg", "frame": [100, 100, 120, 88],
     "uuid": "00000000-0000-4000-8000-000000000001", "thread": ["00000000-0000-4000-8000-000000000002"],
     "tags": [{"name": "_p_tag_00000006", "type": "string", "value": "threadhead"}]},
    {"type": "textFrame", "kind": "area", "frame": [100, 80, 120, 68],
     "uuid": "00000000-0000-4000-8000-000000000002", "threadHead": "00000000-0000-4000-8000-000000000001",
     "tags": [{"name": "_p_tag_00000007", "type": "string", "value": "threadtail"}]},
    {"type": "textFrame", "kind": "area", "frame": [0, -10, 20, -22],
     "tags": [{"name": "_p_tag_00000008", "type": "string", "value": "empty"}]},
    {"type": "path", "segments": [{"anchor": [0, 0]}, {"anchor": [10, 10]}],
     "tags": [{"name": "_p_tag_00000009", "type": "string", "value": "shape"}]}]}]
})";

struct OversetCase {
    const char* name;
    const char* request;
    const char* reply;
};

void PrintTo(const OversetCase& c, std::ostream* out) {
    *out << c.name;
}

class CheckTextOverset : public PluginTest, public testing::WithParamInterface<OversetCase> {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        OpenDocumentText(kDocument, 4);
    }
};

TEST_P(CheckTextOverset, AnswersWhetherAStoryHoldsMoreThanItsFramesShow) {
    EXPECT_EQ(Script("checkTextOverset", GetParam().request), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, CheckTextOverset,
    testing::Values(
        OversetCase{"endsAtTheFramesBottom", R"({"tagSearch":"exact"})",
                    R"({"eventType":"checkTextOverset","oversetText":false,"tagSearch":"exact"})"},
        OversetCase{"oneCharacterMore", R"({"tagSearch":"onemore","uid":"u"})",
                    R"({"eventType":"checkTextOverset","oversetText":true,"tagSearch":"onemore","uid":"u"})"},
        OversetCase{"pointTextNeverOverflows", R"({"tagSearch":"point"})",
                    R"({"eventType":"checkTextOverset","oversetText":false,"tagSearch":"point"})"},
        OversetCase{"pathTextFits", R"({"tagSearch":"pathfits"})",
                    R"({"eventType":"checkTextOverset","oversetText":false,"tagSearch":"pathfits"})"},
        OversetCase{"pathTextLongerThanItsPath", R"({"tagSearch":"pathoverset"})",
                    R"({"eventType":"checkTextOverset","oversetText":true,"tagSearch":"pathoverset"})"},
        OversetCase{"threadThroughItsLastFrame", R"({"tagSearch":"threadtail"})",
                    R"({"eventType":"checkTextOverset","oversetText":true,"tagSearch":"threadtail"})"},
        OversetCase{"threadThroughItsFirstFrame", R"({"tagSearch":"threadhead"})",
                    R"({"eventType":"checkTextOverset","oversetText":true,"tagSearch":"threadhead"})"},
        OversetCase{"emptyFrameIsNotOverset", R"({"tagSearch":"empty"})",
                    R"({"eventType":"checkTextOverset","oversetText":false,"tagSearch":"empty"})"},
        OversetCase{"artWithoutText", R"({"tagSearch":"shape|exact"})",
                    R"({"eventType":"checkTextOverset","oversetText":false,"tagSearch":"shape|exact"})"},
        OversetCase{"wholeDocument", "{}",
                    R"({"eventType":"checkTextOverset","oversetText":true,"tagSearch":""})"},
        OversetCase{"nothingFound", R"({"tagSearch":"none"})",
                    R"({"error":"No artwork found","eventType":"checkTextOverset","tagSearch":"none"})"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

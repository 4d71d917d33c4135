// outlineText on a document of DejaVu Sans Mono text, read back from the document the host saves:
// the outlines' glyphs against the font's metrics, series tags, and art that is found twice.
#include <gtest/gtest.h>

#include "StructureFixture.h"
#include "textengine/Fonts.h"

namespace {

using structuretest::AnchorBounds;
using structuretest::TagsOf;

// Tag entries are written as the plug-in stores them; the tag search reads their values.
constexpr const char* kDocument = R"({
  "format": "plimhost-document", "version": 1,
  "textStyles": {"character": {"Normal Character Style": {"font": "DejaVuSansMono", "fontSize": 10}}},
  "layers": [{"type": "layer", "title": "Text", "children": [
    {"type": "textFrame", "name": "Point", "kind": "point", "text": "Hi", "frame": [0, 100, 100, 80],
     "tags": [{"name": "_p_tag_00000001", "type": "string", "value": "t"}]},
    {"type": "textFrame", "name": "Area", "kind": "area", "text": "AB CD", "frame": [0, 50, 200, 0],
     "tags": [{"name": "_p_tag_00000001", "type": "string", "value": "t"}]},
    {"type": "path", "name": "Line", "segments": [{"anchor": [0, 0]}, {"anchor": [10, 10]}],
     "tags": [{"name": "_p_tag_00000001", "type": "string", "value": "t"}]},
    {"type": "group", "name": "Box", "tags": [{"name": "_p_tag_00000002", "type": "string", "value": "g"}],
     "children": [
      {"type": "textFrame", "name": "Inner", "kind": "point", "text": "x", "frame": [300, 100, 400, 80],
       "tags": [{"name": "_p_tag_00000003", "type": "string", "value": "in"}]}]},
    {"type": "textFrame", "name": "Empty", "kind": "area", "frame": [0, -10, 10, -20],
     "tags": [{"name": "_p_tag_00000004", "type": "string", "value": "e"}]}]}]
})";

class OutlineTextTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        OpenDocumentText(kDocument, 3);
    }

    json Saved() {
        const host::model::WriteResult written = host::model::writeDocument(*app->CurrentDocument());
        return json::parse(written.text.value_or("{}"));
    }

    std::vector<json> Tagged(const std::string& tag) { return structuretest::TaggedCopies(Saved(), tag); }
};

// The metrics of 10 pt DejaVu Sans Mono: every advance the same.
struct Mono {
    double ascent;
    double advance;
};

Mono MonoMetrics() {
    const host::text::FontList& fonts = host::text::FontList::Installed();
    const std::size_t mono = fonts.IndexOf("DejaVuSansMono").value();
    const host::text::FontFace& face = fonts.Faces()[mono];
    const double scale = 10.0 / face.unitsPerEm;
    return {face.ascender * scale, fonts.Advance(mono, U'A') * scale};
}

TEST_F(OutlineTextTest, OutlinesTextFramesIntoGlyphsAndTagsOnlyThemAsASeries) {
    const json reply = ScriptJson("outlineText", R"({"tagSearch":"t","seriesTag":"s","seriesStart":5})");
    EXPECT_FALSE(reply.contains("error")) << reply;
    EXPECT_EQ(reply["tagSearch"], "t");
    const Mono mono = MonoMetrics();

    // "Hi", point text at (0, 100): its glyphs stand on the first baseline, inside two advances.
    const std::vector<json> point = Tagged("s5");
    ASSERT_EQ(point.size(), 1u);
    EXPECT_EQ(point[0]["type"], "group");
    EXPECT_TRUE(TagsOf(point[0]).contains("t")) << "the frame's tags go to its outline";
    EXPECT_EQ(point[0]["children"].size(), 2u);
    const std::array<double, 4> hi = AnchorBounds(point[0]);
    EXPECT_NEAR(hi[3], 100 - mono.ascent, 1e-9);
    EXPECT_GT(hi[0], 0);
    EXPECT_LT(hi[2], 2 * mono.advance);

    // "AB CD", area text: four glyphs, the space none; D in the fifth advance.
    const std::vector<json> area = Tagged("s6");
    ASSERT_EQ(area.size(), 1u);
    EXPECT_EQ(area[0]["children"].size(), 4u);
    const std::array<double, 4> letters = AnchorBounds(area[0]);
    EXPECT_NEAR(letters[3], 50 - mono.ascent, 0.2) << "C and D reach a little below the baseline";
    EXPECT_GT(letters[2], 4 * mono.advance);
    EXPECT_LT(letters[2], 5 * mono.advance);
    EXPECT_LT(letters[1], 50);

    // The path had no text: it stays and is no outline of the series.
    const std::vector<json> line = Tagged("t");
    EXPECT_EQ(line.size(), 3u);
    EXPECT_TRUE(Tagged("s7").empty());
    EXPECT_EQ(layouttest::FindArt(Saved(), "Point"), nullptr);
}

struct FoundCase {
    const char* name;
    const char* request;
    const char* error;         // empty: none
    std::size_t seriesTagged;  // outlines tagged "s1", "s2", ...
};

void PrintTo(const FoundCase& c, std::ostream* out) {
    *out << c.name;
}

class OutlineTextFound : public OutlineTextTest, public testing::WithParamInterface<FoundCase> {};

TEST_P(OutlineTextFound, OutlinesEachFrameOnce) {
    const json before = Saved();
    const json reply = ScriptJson("outlineText", GetParam().request);
    EXPECT_EQ(reply.value("error", ""), GetParam().error) << reply;
    std::size_t tagged = 0;
    while (!Tagged("s" + std::to_string(tagged + 1)).empty()) {
        ++tagged;
    }
    EXPECT_EQ(tagged, GetParam().seriesTagged);
    if (*GetParam().error != '\0') {
        EXPECT_EQ(Saved(), before) << "a failed command changes nothing";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Requests, OutlineTextFound,
    testing::Values(
        // The group comes first and outlines its frame; the frame, found as well, is gone by then.
        FoundCase{"groupAndItsFrame", R"({"tagSearch":"g|in","seriesTag":"s"})", "", 1},
        FoundCase{"frameWithoutText", R"({"tagSearch":"e","seriesTag":"s"})", "", 0},
        FoundCase{"nothingFound", R"({"tagSearch":"none","seriesTag":"s"})", "No artwork found", 0},
        FoundCase{"wholeDocument", R"({"seriesTag":"s"})", "", 3}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

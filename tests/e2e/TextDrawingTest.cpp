// Text as "exportFile" draws it through the real host: the glyphs of each frame's laid-out
// characters in their paint, where the layout and the character features put them, read back from
// the PNG; and the PDF and SVG copies carry the glyphs as text (pdftotext, pdffonts, xmllint).

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "PluginFixture.h"
#include "ProgramRun.h"

namespace {

using testsupport::RunProgram;
using testsupport::ScratchFolder;

// One artboard of 200 points, a green square at its bottom right (art drawn besides the text), and
// a gradient that shows as blue.
constexpr const char* kDocument = R"j({"format": "plimhost-document", "version": 1,
  "artboards": [{"name": "One", "rect": [0.0, 200.0, 200.0, 0.0]}],
  "gradients": [{"name": "Deep", "color": {"rgb": [0.0, 0.0, 1.0]}}],
  "layers": [{"type": "layer", "title": "Art", "children": [TEXT,
    {"type": "path", "name": "Square", "closed": true,
     "segments": [{"anchor": [150.0, 50.0]}, {"anchor": [190.0, 50.0]}, {"anchor": [190.0, 10.0]},
                  {"anchor": [150.0, 10.0]}],
     "style": {"paintFields": [{"fill": {"color": {"rgb": [0.0, 1.0, 0.0]}}}]}}]}]})j";

using Rgb = std::array<unsigned, 3>;
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kGreen{0, 255, 0};

struct Probe {
    double x, y;  // document points
    Rgb color;
};

// The full block (U+2588) of DejaVu Sans at 40 points spans 30.8 points from its origin and from 10
// below its baseline to 37.5 above; its ascent is 37.1 and its descent 9.4. Placed at the top-left
// corner (20, 180) its baseline lies at 142.9 and it covers [19.6, 51.2] x [132.9, 180.4].
struct DrawingCase {
    const char* name;
    const char* frame;  // the text frame, JSON
    std::vector<Probe> probes;
};

// A story of UNITS UTF-16 units at 40 points with the features.
#define BLOCK_STORY(TEXT, UNITS, FEATURES)                            \
    R"("story": {"text": ")" TEXT R"(", "runs": [{"length": )" #UNITS \
    R"(, "features": {"fontSize": 40, )" FEATURES "}}]}"

void PrintTo(const DrawingCase& c, std::ostream* out) {
    *out << c.name;
}

const DrawingCase kDrawingCases[] = {
    {"PointTextInItsFill",
     R"({"type": "textFrame", "kind": "point", "frame": [20, 180, 60, 130], )" BLOCK_STORY(
         "\u2588", 1, R"("fillColor": {"rgb": [1, 0, 0]})") "}",
     {{35, 155, kRed}, {35, 182, kWhite}, {55, 155, kWhite}, {35, 128, kWhite}}},
    // The second paragraph's line does not fit in the frame's 70 points: it is not drawn.
    {"AreaTextWithoutItsOverset",
     R"({"type": "textFrame", "kind": "area", "frame": [20, 180, 60, 110], )" BLOCK_STORY(
         "\u2588\\r\u2588", 3, R"("fillColor": {"rgb": [1, 0, 0]})") "}",
     {{35, 155, kRed}, {35, 100, kWhite}}},
    {"StrokeWithoutFill",
     R"({"type": "textFrame", "kind": "point", "frame": [20, 180, 60, 130], )" BLOCK_STORY(
         "\u2588", 1,
         R"("fill": false, "stroke": true, "strokeColor": {"rgb": [0, 0, 1]}, "lineWidth": 4)") "}",
     {{19.6, 155, kBlue}, {51.2, 155, kBlue}, {35, 155, kWhite}}},
    {"VerticalScale",
     R"({"type": "textFrame", "kind": "point", "frame": [20, 180, 60, 130], )" BLOCK_STORY(
         "\u2588", 1, R"("fillColor": {"rgb": [1, 0, 0]}, "verticalScale": 0.5)") "}",
     {{35, 150, kRed}, {35, 170, kWhite}}},
    {"CharacterRotation",
     R"({"type": "textFrame", "kind": "point", "frame": [20, 180, 60, 130], )" BLOCK_STORY(
         "\u2588", 1, R"("fillColor": {"rgb": [1, 0, 0]}, "characterRotation": 90)") "}",
     {{10, 160, kRed}, {45, 160, kWhite}}},
    // Half an em of tracking after each block: the second starts at 70.8.
    {"Tracking",
     R"({"type": "textFrame", "kind": "point", "frame": [20, 180, 60, 130], )" BLOCK_STORY(
         "\u2588\u2588", 2, R"("fillColor": {"rgb": [1, 0, 0]}, "tracking": 500)") "}",
     {{35, 155, kRed}, {62, 155, kWhite}, {85, 155, kRed}}},
    // A tab takes the room of the missing glyph, [50.8, 74.8], without its box (ink at [52.7, 55]).
    {"ATabShowsNothing",
     R"({"type": "textFrame", "kind": "point", "frame": [20, 180, 60, 130], )" BLOCK_STORY(
         "\u2588\\t\u2588", 3, R"("fillColor": {"rgb": [1, 0, 0]})") "}",
     {{35, 155, kRed}, {54, 155, kWhite}, {64, 155, kWhite}, {85, 155, kRed}}},
    {"OnAPath",
     R"({"type": "textFrame", "kind": "onPath", "frame": [0, 0, 0, 0],
         "path": {"segments": [{"anchor": [20, 100]}, {"anchor": [180, 100]}]}, )" BLOCK_STORY(
         "\u2588", 1, R"("fillColor": {"rgb": [1, 0, 0]})") "}",
     {{35, 120, kRed}, {35, 150, kWhite}}},
    {"AtTheFramesOpacity",
     R"({"type": "textFrame", "kind": "point", "frame": [20, 180, 60, 130], "style": {"blend": {"opacity": 0.5}}, )" BLOCK_STORY(
         "\u2588", 1, R"("fillColor": {"rgb": [1, 0, 0]})") "}",
     {{35, 155, {255, 128, 128}}}},
    {"AGradientAsItsFlatColour",
     R"({"type": "textFrame", "kind": "point", "frame": [20, 180, 60, 130], )" BLOCK_STORY(
         "\u2588", 1, R"("fillColor": {"gradient": "Deep"})") "}",
     {{35, 155, kBlue}}},
    // Text that is not valid Unicode for a PDF's text (a noncharacter, a control character) still
    // draws its glyphs, and everything else.
    {"NoncharactersAndControls",
     R"({"type": "textFrame", "kind": "point", "frame": [20, 180, 60, 130], )" BLOCK_STORY(
         "\u2588\uFFFF\\u0001\uFDD0", 4, R"("fillColor": {"rgb": [1, 0, 0]})") "}",
     {{35, 155, kRed}, {170, 30, kGreen}}},
    // Glyphs that cairo can't place (a frame flattened to a line) are left out; the rest is drawn.
    {"AFlattenedFrame",
     R"({"type": "textFrame", "kind": "area", "frame": [20, 180, 60, 110], "matrix": [0, 0, 0, 0, 20, 100], )" BLOCK_STORY(
         "\u2588", 1, R"("fillColor": {"rgb": [1, 0, 0]})") "}",
     {{170, 30, kGreen}}},
    {"AHugeSize",
     R"({"type": "textFrame", "kind": "point", "frame": [20, 180, 60, 130], "story": {"text": "A",
         "runs": [{"length": 1, "features": {"fontSize": 1e9, "fillColor": {"rgb": [1, 0, 0]}}}]}})",
     {{170, 30, kGreen}}},
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

class TextDrawing : public PluginTest {
protected:
    // Opens the document (saved in the scratch folder) and exports its first artboard; the names of
    // the files written.
    std::string ExportFirstArtboard(const std::string& document, const std::vector<std::string>& formats) {
        OpenDocumentFile(scratch.Write("src.ai", document), 5);
        const json request = {{"formats", formats},
                              {"artboardRange", "1"},
                              {"folderPath", scratch.Path().string()},
                              {"fileName", "out"}};
        const json reply = ScriptJson("exportFile", request.dump());
        for (const json& result : reply["Results"]) {
            EXPECT_EQ(result["exportSuccessful"], true) << reply.dump();
        }
        return (scratch.Path() / "out").string();
    }

    std::string Run(const std::string& command) {
        const auto run = RunProgram(scratch, command, "");
        EXPECT_EQ(run.status, 0) << command << ": " << run.err;
        return run.out;
    }

    ScratchFolder scratch{"text_drawing"};
};

class DrawsText : public TextDrawing, public testing::WithParamInterface<DrawingCase> {};

TEST_P(DrawsText, AtTheGlyphsPlacesInTheirPaint) {
    const DrawingCase& c = GetParam();
    OpenDocumentFile(scratch.Write("src.ai", Replaced(kDocument, "TEXT", c.frame)), 5);
    const ExportedPicture picture = ExportFirstArtboardPng(scratch.Path());
    ASSERT_EQ(picture.width, 200u);
    for (const Probe& probe : c.probes) {
        const unsigned char* pixel = picture.At(probe.x, probe.y);
        for (std::size_t channel = 0; channel < 3; ++channel) {
            EXPECT_NEAR(pixel[channel], probe.color[channel], 25)
                << "at (" << probe.x << ", " << probe.y << ") channel " << channel;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Frames, DrawsText, ::testing::ValuesIn(kDrawingCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The example's first artboard: its title, its price label over two paragraphs and its text on a
// curve, as text in the PDF (in reading order, the fonts embedded as subsets) and as glyphs in the SVG.
TEST_F(TextDrawing, CopiesCarryTheTextOfTheExample) {
    const std::string out = ExportFirstArtboard(
        testsupport::ReadFile(std::string(PLIM_SOURCE_DIR) + "/examples/sample.json"), {"pdf", "svg"});

    // Read in reading order, and each frame's text as it is drawn.
    for (const auto& [options, lines] :
         {std::pair{"", std::vector<std::string>{"Summer Sale", "Only € 19.99", "while stocks"}},
          std::pair{"-raw",
                    std::vector<std::string>{"Along the curve", "Only € 19.99\nwhile stocks last"}}}) {
        const std::string text = Run("pdftotext " + std::string(options) + " '" + out + ".pdf' -");
        std::size_t at = 0;
        for (const std::string& line : lines) {
            const std::size_t found = text.find(line, at);
            ASSERT_NE(found, std::string::npos) << line << " not after " << at << " in " << text;
            at = found + line.size();
        }
    }

    const std::string fonts = Run("pdffonts '" + out + ".pdf'");
    EXPECT_NE(fonts.find("+DejaVuSans "), std::string::npos) << fonts;
    for (std::size_t line = fonts.find("DejaVu"); line != std::string::npos;
         line = fonts.find("DejaVu", line + 1)) {
        // name, type, encoding, emb, sub, uni: embedded, a subset, with its text.
        const std::string row = fonts.substr(line, fonts.find('\n', line) - line);
        EXPECT_NE(row.find("yes yes yes"), std::string::npos) << row;
    }

    // Cairo's SVG keeps each glyph once as a symbol and uses it where a character stands: the 55
    // characters of the artboard's four frames, spaces included.
    const std::string uses =
        Run("xmllint --xpath \"count(//*[local-name()='use'][starts-with(@*[local-name()="
            "'href'], '#glyph')])\" '" +
            out + ".svg'");
    EXPECT_EQ(uses.substr(0, uses.find('\n')), "55") << uses;
}

}  // namespace

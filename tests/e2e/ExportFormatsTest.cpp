// "exportFile" in every format through the real host, the files checked with the field's own tools:
// pngcheck, djpeg, tiffinfo and tiffdump, exiftool, qpdf and pdfinfo, xmllint; resolution, pixels and
// the job's metadata (written into the document's XMP packet, carried by PDF, PSD and SVG).
#include <cairo-pdf.h>
#include <cairo.h>
#include <lodepng.h>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "AIActionManager.h"
#include "AIDocument.h"
#include "CraftedFiles.h"
#include "HostilePlacedFiles.h"
#include "PluginFixture.h"
#include "ProgramRun.h"
#include "RasterFiles.h"

namespace {

using testsupport::RunProgram;
using testsupport::ScratchFolder;
using namespace hostile;

// Two artboards of 100 points; a red square on white fills the middle of the first, a blue one the
// middle of the second, with a square of the pattern "Checks" (tagged "pattern") hidden behind it.
constexpr const char* kDocument = R"j({"format": "plimhost-document", "version": 1,
  "artboards": [{"name": "One", "rect": [0.0, 100.0, 100.0, 0.0]},
                {"name": "Two", "rect": [200.0, 100.0, 300.0, 0.0]}],
  "patterns": [{"name": "Checks", "color": {"gray": 0.5}, "tile": [0.0, 10.0, 10.0, 0.0],
    "art": {"type": "path", "closed": true,
            "segments": [{"anchor": [0.0, 0.0]}, {"anchor": [5.0, 0.0]}, {"anchor": [5.0, 5.0]}, {"anchor": [0.0, 5.0]}],
            "style": {"paintFields": [{"fill": {"color": {"rgb": [0.0, 0.0, 1.0]}}}]}}}],
  "layers": [{"type": "layer", "title": "Art", "children": [
    {"type": "path", "name": "Square", "closed": true,
     "segments": [{"anchor": [25.0, 75.0]}, {"anchor": [75.0, 75.0]}, {"anchor": [75.0, 25.0]},
                  {"anchor": [25.0, 25.0]}],
     "style": {"paintFields": [{"fill": {"color": {"rgb": [1.0, 0.0, 0.0]}}}]}},
    {"type": "path", "name": "Second", "closed": true,
     "segments": [{"anchor": [225.0, 75.0]}, {"anchor": [275.0, 75.0]}, {"anchor": [275.0, 25.0]},
                  {"anchor": [225.0, 25.0]}],
     "style": {"paintFields": [{"fill": {"color": {"rgb": [0.0, 0.0, 1.0]}}}]}},
    {"type": "path", "name": "Checked", "closed": true,
     "tags": [{"name": "_p_tag_d38995cb", "type": "string", "value": "pattern"}],
     "segments": [{"anchor": [240.0, 60.0]}, {"anchor": [260.0, 60.0]}, {"anchor": [260.0, 40.0]},
                  {"anchor": [240.0, 40.0]}],
     "style": {"paintFields": [{"fill": {"color": {"pattern": "Checks"}}}]}}]}]})j";

// The document's packet; every job's "metadata" names the author that exiftool must find.
constexpr const char* kPacket =
    R"(<?xpacket begin="" id="W5M0MpCehiHzreSzNTczkc9d"?><x:xmpmeta xmlns:x="urn:x-meta/">)"
    R"(<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"><rdf:Description rdf:about="")"
    R"( xmlns:dc="http://purl.org/dc/elements/1.1/"/></rdf:RDF></x:xmpmeta><?xpacket end="w"?>)";

// A tool's run on the file ("{}"): it must succeed and print every text (runs of blanks count as
// one blank), and none of the absent ones.
struct ToolCheck {
    std::string command;
    std::vector<std::string> shown;
    std::vector<std::string> absent = {};
};

struct FormatCase {
    const char* name;
    const char* format;
    const char* job;  // the request's options besides the format, folder, name and metadata
    std::vector<ToolCheck> checks;
    // Colours the picture must show (each channel within 25): in its middle, and at its top-left pixel.
    std::vector<unsigned> middle = {};
    std::vector<unsigned> corner = {};
    const char* fileName = "out";  // the name the file is delivered under, without its extension
    // A script message sent before the job (name and request), whose reply must not be an error.
    std::pair<const char*, const char*> before = {nullptr, nullptr};
};

// A name with non-ASCII letters and XML's markup characters.
constexpr const char* kFullName = "Q3 Grüße & <co>";
// A name near the longest a file may have: the writers' temporary files must not need more.
const std::string kLongName(240, 'n');

// Rasters of the first artboard are drawn at 144 pixels per inch (300 at the scale 0.48), which makes
// it 200 pixels wide once the border is cut, and record 300.
const FormatCase kCases[] = {
    {"Png",
     "png",
     R"j({"artboardRange": "1", "resolution": 300, "scale": 0.48})j",
     {{"pngcheck -v {}",
       {"200 x 200 image, 24-bit RGB", "11811x11811 pixels/meter (300 dpi)", "sRGB", "No errors"}}},
     {255, 0, 0},
     {255, 255, 255}},
    // 10 points of blue padding around the artboard's 100, at 72 pixels per inch.
    {"PngPaddedOnBlue",
     "png",
     R"j({"artboardRange": "1", "padding": 10, "background": {"colorSpace": "RGB", "channel_3": 255}})j",
     {{"pngcheck -v {}", {"120 x 120 image, 24-bit RGB", "2835x2835 pixels/meter (72 dpi)"}}},
     {255, 0, 0},
     {0, 0, 255}},
    {"PngTransparentGrey",
     "png",
     R"j({"artboardRange": "1", "resolution": 2000, "scale": 0.072, "colorSpace": "Grayscale",
         "transparentBackground": true})j",
     {{"pngcheck -v {}", {"200 x 200 image, 16-bit grayscale+alpha", "2835x2835 pixels/meter (72 dpi)"}}}},
    // RGB with alpha: the host's alpha, first in its pixels, comes last in the file.
    {"PngTransparentRgb",
     "png",
     R"j({"artboardRange": "1", "transparentBackground": true})j",
     {{"pngcheck -v {}", {"100 x 100 image, 32-bit RGB+alpha", "No errors"}}},
     {255, 0, 0}},
    {"Jpeg",
     "jpg",
     R"j({"artboardRange": "1", "resolution": 300, "scale": 0.48, "jpegQuality": "Low", "colorSpace": "CMYK"})j",
     {{"djpeg -verbose -verbose -outfile /dev/null {}",
       {"density 300x300 1", "width=200, height=200, components=3", "Component 1: 1hx1v",
        "Component 2: 1hx1v"}}},
     {255, 0, 0}},
    {"Tiff",
     "tif",
     R"j({"artboardRange": "1", "resolution": 300, "scale": 0.48})j",
     {{"tiffinfo {}", {"Image Width: 200 Image Length: 200", "Resolution: 300, 300 pixels/inch", "LZW"}},
      {"tiffdump {}",
       {"XResolution (282)"},
       {"700 (0x2bc)", "33723 (0x83bb)", "34377 (0x8649)", "34665 (0x8769)"}}}},
    {"TiffCmykUncompressed",
     "tif",
     R"j({"artboardRange": "1", "resolution": 150, "scale": 0.96, "colorSpace": "CMYK", "lzwCompression": false})j",
     {{"tiffinfo {}",
       {"Resolution: 150, 150 pixels/inch", "Photometric Interpretation: separated"},
       {"LZW"}}}},
    {"Psd",
     "psd",
     R"j({"artboardRange": "1", "resolution": 300, "scale": 0.48, "transparentBackground": true})j",
     {{"exiftool -ImageWidth -XResolution -YResolution -NumChannels -XMP:all {}",
       {"Image Width : 200", "X Resolution : 300", "Y Resolution : 300", "Creator : Ann Example",
        "Num Channels : 4"}}}},
    // Art 100 points long at 12,000 pixels per inch would make 16,667 pixels: the resolution is
    // lowered to 11,790, whole and rounded down, so that the raster with its border fits 16,383.
    {"PngLoweredToFit",
     "png",
     R"j({"tagSearch": "pattern", "resolution": 12000})j",
     {{"pngcheck -v {}", {"x 16375 image", "No errors"}}},
     {},
     {},
     "out",
     {"transform", R"j({"tagSearch": "pattern", "width": 2, "height": 100})j"}},
    {"TiffLoweredToFit",
     "tif",
     R"j({"tagSearch": "pattern", "resolution": 12000})j",
     {{"tiffinfo {}", {"Image Length: 16375", "Resolution: 11790, 11790 pixels/inch"}}},
     {},
     {},
     "out",
     {"transform", R"j({"tagSearch": "pattern", "width": 2, "height": 100})j"}},
    {"Pdf",
     "pdf",
     R"j({"pdfCompatibility": "Level 8 (PDF 1.7)", "pdfBleedTop": 9, "pdfPermissionsPassword": "owner",
         "pdfPrintingPerm": "None"})j",
     {{"qpdf --check {}", {"No syntax or stream encoding errors found"}},
      {"pdfinfo -box {}",
       {"Title: out", "Pages: 2", "PDF version: 1.7", "TrimBox: 9.00 9.00 109.00 109.00",
        "Encrypted: yes (print:no"},
       {"torviAiTempFile"}},
      {"exiftool -XMP:all {}", {"Creator : Ann Example"}}}},
    {"PdfOldest",
     "pdf",
     R"j({"pdfCompatibility": "Level 4 (PDF 1.3)", "pdfUserPassword": "open"})j",
     {{"pdfinfo -upw open {}", {"Title: out", "PDF version: 1.3", "Encrypted: yes", "algorithm:RC4"}}}},
    {"PdfOfALongName",
     "pdf",
     "{}",
     {{"pdfinfo {}", {"Title: " + kLongName}, {"torviAiTempFile"}}},
     {},
     {},
     kLongName.c_str()},
    // The info title is the delivered file's name, never the temporary one's.
    {"PdfTitledByItsName",
     "pdf",
     "{}",
     {{"pdfinfo {}", {std::string("Title: ") + kFullName}, {"torviAiTempFile"}}},
     {},
     {},
     kFullName},
    {"Svg",
     "svg",
     R"j({"artboardRange": "1", "keepXMP": true})j",
     {{"xmllint --noout {}", {}},
      {"xmllint --xpath \"string(//*[local-name()='metadata'])\" {}", {"Ann Example"}},
      {"xmllint --xpath \"string(/*/*[1][local-name()='title'])\" {}", {"out"}, {"torviAiTempFile"}}}},
    {"SvgTitledByItsName",
     "svg",
     R"j({"artboardRange": "1"})j",
     {{"xmllint --noout {}", {}},
      {"xmllint --xpath \"string(/*/*[1][local-name()='title'])\" {}", {kFullName}, {"torviAiTempFile"}}},
     {},
     {},
     kFullName},
    {"Eps",
     "eps",
     R"j({"artboardRange": "1"})j",
     {{"grep -a -e EPSF -e BoundingBox -e %%Title {}",
       {"%!PS-", "EPSF-3.0", "%%BoundingBox: 25 25 75 75", "%%Title: out"},
       {"torviAiTempFile"}}}},
    // One EPS of both artboards holds the art of both, bounded by what it draws.
    {"EpsOfEveryArtboard",
     "eps",
     "{}",
     {{"grep -a -e EPSF -e %%BoundingBox {}", {"EPSF-3.0", "%%BoundingBox: 25 25 275 75"}}}},
    // The pattern scaled with its square to a thousandth: a tile far below what a page can show,
    // which is painted flat, in a file of finite numbers only.
    {"PdfOfAPatternScaledDown",
     "pdf",
     "{}",
     {{"qpdf --check {}", {"No syntax or stream encoding errors found"}},
      {"{ qpdf --qdf --object-streams=disable {} - | grep -a -i -w -o -E 'nan|inf' | tr a-z A-Z; echo read; "
       "}",
       {"read"},
       {"NAN", "INF"}}},
     {},
     {},
     "out",
     {"transform", R"j({"tagSearch": "pattern", "scale": 0.001, "anchorPoint": "BL"})j"}},
    // The DSC comment holds printable ASCII only: each byte of the other letters shows as "_".
    {"EpsTitledByItsName",
     "eps",
     "{}",
     {{"grep -a %%Title {}", {"%%Title: Q3 Gr____e & <co>"}, {"torviAiTempFile"}}},
     {},
     {},
     kFullName},
};

std::string Squeezed(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const char shown = c == '\t' ? ' ' : c;
        if (shown != ' ' || out.empty() || out.back() != ' ') {
            out += shown;
        }
    }
    return out;
}

std::string Replaced(std::string command, const std::string& path) {
    command.replace(command.find("{}"), 2, "'" + path + "'");
    return command;
}

// A pixel of a PNG or JPEG file as RGB, the middle one or the top-left one; empty when the file
// can't be decoded.
std::vector<unsigned> PixelAt(const ScratchFolder& folder, const std::string& format, const std::string& path,
                              bool middle) {
    std::vector<unsigned char> pixels;
    unsigned width = 0;
    unsigned height = 0;
    if (format == "png") {
        if (lodepng::decode(pixels, width, height, path, LCT_RGB, 8) != 0) {
            return {};
        }
    } else {
        // djpeg's PPM: "P6", the size, 255, then the pixels.
        const std::string ppm = RunProgram(folder, Replaced("djpeg -pnm {}", path), "").out;
        unsigned maximum = 0;
        int offset = 0;
        if (std::sscanf(ppm.c_str(), "P6 %u %u %u%n", &width, &height, &maximum, &offset) != 3) {
            return {};
        }
        pixels.assign(ppm.begin() + offset + 1, ppm.end());
    }
    const std::size_t at = middle ? (std::size_t{height} / 2 * width + width / 2) * 3 : 0;
    if (at + 2 >= pixels.size()) {
        return {};
    }
    return {pixels[at], pixels[at + 1], pixels[at + 2]};
}

void PrintTo(const FormatCase& c, std::ostream* out) {
    *out << c.name;
}

// The document saved and open, with its packet.
class ExportFixture : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        const std::string source = scratch.Write("src.ai", kDocument);
        OpenDocumentFile(source, 7);
        const AIDocumentSuite* documents = nullptr;
        ASSERT_EQ(app->BasicSuite().AcquireSuite(kAIDocumentSuite, kAIDocumentSuiteVersion,
                                                 reinterpret_cast<const void**>(&documents)),
                  kNoErr);
        ASSERT_EQ(documents->SetDocumentXAP(kPacket), kNoErr);
        app->BasicSuite().ReleaseSuite(kAIDocumentSuite, kAIDocumentSuiteVersion);
    }

    // The request of one job: the options, the format, the folder, the name ("out") and the author.
    std::string Request(const char* format, const char* options, const char* fileName = "out") const {
        json request = json::parse(options);
        request["formats"] = {format};
        request["folderPath"] = scratch.Path().string();
        request["fileName"] = fileName;
        request["metadata"] = {{"author", {"Ann Example"}}};
        return request.dump();
    }

    testsupport::ScratchFolder scratch{"export_formats"};
};

class ExportFormats : public ExportFixture, public testing::WithParamInterface<FormatCase> {};

TEST_P(ExportFormats, WritesAFileTheFieldsToolsAccept) {
    const FormatCase& c = GetParam();
    if (c.before.first != nullptr) {
        const json done = ScriptJson(c.before.first, c.before.second);
        ASSERT_FALSE(done.contains("error")) << done.dump();
    }
    const json reply = ScriptJson("exportFile", Request(c.format, c.job, c.fileName));
    ASSERT_EQ(reply["Results"][0]["exportSuccessful"], true) << reply.dump();
    EXPECT_NE(app->CurrentDocument(), nullptr) << "the document stays open";
    const std::string path = (scratch.Path() / (std::string(c.fileName) + "." + c.format)).string();
    for (const ToolCheck& check : c.checks) {
        const auto run = RunProgram(scratch, Replaced(check.command, path), "");
        const std::string shown = Squeezed(run.out + run.err);
        EXPECT_EQ(run.status, 0) << check.command << ": " << shown;
        for (const std::string& text : check.shown) {
            EXPECT_NE(shown.find(text), std::string::npos)
                << check.command << " lacks " << text << ": " << shown;
        }
        for (const std::string& text : check.absent) {
            EXPECT_EQ(shown.find(text), std::string::npos) << check.command << " shows " << text;
        }
    }
    for (const auto& [expected, middle] : {std::pair{c.middle, true}, std::pair{c.corner, false}}) {
        if (expected.empty()) {
            continue;
        }
        const std::vector<unsigned> pixel = PixelAt(scratch, c.format, path, middle);
        ASSERT_EQ(pixel.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_LE(std::max(pixel[i], expected[i]) - std::min(pixel[i], expected[i]), 25u)
                << (middle ? "middle" : "corner") << " channel " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, ExportFormats, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// A job that must fail alone with its error and leave no file; fault: an action-manager operation
// that the host refuses on its n-th call.
struct FailingCase {
    const char* name;
    const char* format;
    const char* job;
    const char* error;
    const char* refused = nullptr;
    int onCall = 0;
};

void PrintTo(const FailingCase& c, std::ostream* out) {
    *out << c.name;
}

const FailingCase kFailingCases[] = {
    {"NoResolution", "png", R"j({"artboardRange": "1", "resolution": 0})j", "Can't get an export scale"},
    {"AResolutionBeyondAnyRaster", "tif", R"j({"artboardRange": "1", "resolution": 300, "scale": 1e10})j",
     "Can't get an export scale"},
    {"NoScale", "jpg", R"j({"artboardRange": "1", "scale": 0})j", "Can't get an export scale"},
    // A writer's option of the wrong type, or one the host refuses, fails the writer: the job
    // answers the text of a failed writer whatever the option was.
    {"APasswordOfTheWrongType", "pdf", R"j({"pdfUserPassword": 5})j", "Can't export a file of type 'pdf'"},
    {"ACompatibilityByNumber", "pdf", R"j({"pdfCompatibility": 22})j", "Can't export a file of type 'pdf'"},
    {"ABleedAsText", "pdf", R"j({"pdfBleedTop": "9"})j", "Can't export a file of type 'pdf'"},
    {"AMarkFlagAsNumber", "pdf", R"j({"pdfTrimMarks": 1})j", "Can't export a file of type 'pdf'"},
    {"AQualityByNumber", "pdf",
     R"j({"pdfColorImageCompressionKind": "JPEG", "pdfColorImageCompression": 9})j",
     "Can't export a file of type 'pdf'"},
    {"APermissionByNumber", "pdf", R"j({"pdfPermissionsPassword": "owner", "pdfChangesPerm": 1})j",
     "Can't export a file of type 'pdf'"},
    {"AnEpsPreviewByNumber", "eps", R"j({"epsPreview": 5})j", "Can't export a file of type 'eps'"},
    {"AnEpsFontFlagAsText", "eps", R"j({"epsEmbedFonts": "yes"})j", "Can't export a file of type 'eps'"},
    {"AnSvgProfileByNumber", "svg", R"j({"svgProfile": 1})j", "Can't export a file of type 'svg'"},
    {"AnSvgTextPathFlagAsText", "svg", R"j({"svgTextPathElement": "yes"})j",
     "Can't export a file of type 'svg'"},
    {"AnSvgXmpFlagAsNumber", "svg", R"j({"keepXMP": 1})j", "Can't export a file of type 'svg'"},
    // name, preset, then the user password: the third Unicode string.
    {"ARefusedPassword", "pdf", R"j({"pdfUserPassword": "open"})j", "Can't export a file of type 'pdf'",
     "AIActionSetStringUS", 3},
    // compatibility, two resampling kinds, monochrome, mark type, then printing: the sixth enumeration.
    {"ARefusedPermission", "pdf", R"j({"pdfPermissionsPassword": "owner", "pdfPrintingPerm": "None"})j",
     "Can't export a file of type 'pdf'", "AIActionSetEnumerated", 6},
};

class FailingExports : public ExportFixture, public testing::WithParamInterface<FailingCase> {};

TEST_P(FailingExports, FailTheJobAndWriteNothing) {
    const FailingCase& c = GetParam();
    if (c.refused != nullptr) {
        app->Faults().FailOperation(kAIActionManagerSuite, c.refused, kCantHappenErr, c.onCall);
    }
    const json reply = ScriptJson("exportFile", Request(c.format, c.job));
    EXPECT_EQ(reply["Results"][0]["exportSuccessful"], false) << reply.dump();
    EXPECT_EQ(reply["Results"][0]["error"], c.error) << reply.dump();
    EXPECT_FALSE(std::filesystem::exists(scratch.Path() / (std::string("out.") + c.format)));
}

INSTANTIATE_TEST_SUITE_P(Refused, FailingExports, ::testing::ValuesIn(kFailingCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- What the document gives an SVG: its packet and its file name -----------------------------------

// A packet or a file name written into an SVG: it goes in as well-formed XML that adds no element
// outside the metadata, or (refused) the job fails and writes nothing.
struct SvgTextCase {
    const char* name;
    std::string packet;
    std::string fileName;
    bool refused;
};

void PrintTo(const SvgTextCase& c, std::ostream* out) {
    *out << c.name;
}

const std::string kMeta = R"(<x:xmpmeta xmlns:x="urn:x-meta/">)";

const SvgTextCase kSvgTextCases[] = {
    {"ThePacket", kPacket, "out", false},
    {"ClosingTheMetadata", "</metadata><script>alert(1)</script><metadata>", "out", true},
    {"ClosingTheMetadataInsideAnElement", kMeta + "</metadata><script>alert(1)</script></x:xmpmeta>", "out",
     true},
    {"AnSvgScript", kMeta + R"(<script xmlns="http://www.w3.org/2000/svg">alert(1)</script></x:xmpmeta>)",
     "out", true},
    {"APrefixedSvgScript",
     kMeta + R"(<s:script xmlns:s="http://www.w3.org/2000/svg">alert(1)</s:script></x:xmpmeta>)", "out",
     true},
    {"AnXhtmlScript",
     kMeta + R"(<h:script xmlns:h="http://www.w3.org/1999/xhtml">alert(1)</h:script></x:xmpmeta>)", "out",
     true},
    {"AnElementWithoutANamespace", "<xmpmeta>text</xmpmeta>", "out", true},
    {"AnUndeclaredPrefix", "<q:xmpmeta>text</q:xmpmeta>", "out", true},
    {"NotXml", "<<<&", "out", true},
    {"MarkupInTextAndAttributes",
     kMeta + R"(<x:a x:b="&quot;/&gt;&lt;script&gt;">&lt;/metadata&gt;&lt;script&gt;alert(1)&lt;/script&gt;)"
             R"(<![CDATA[</metadata><script>alert(2)</script>]]></x:a></x:xmpmeta>)",
     "out", false},
    {"CharactersXmlCantHold",
     kMeta + "a\x01"
             "b&#xFFFF;c\xEF\xBF\xBE\xFF"
             "d</x:xmpmeta>",
     "out", false},
    {"ADocumentTypeWithEntities",
     R"(<!DOCTYPE x:xmpmeta [<!ENTITY e "<script>alert(1)</script>">]>)" + kMeta + "&e;</x:xmpmeta>", "out",
     true},
    {"DeclarationsCommentsAndInstructions",
     R"(<?xml version="1.0"?><!-- a --><?xpacket begin=""?>)" + kMeta + "<!-- b --><?pi x?></x:xmpmeta>",
     "out", false},
    {"ReservedAndEmptyDeclarations",
     kMeta + R"(<x:a xmlns:xml="urn:other" xmlns:xmlns="urn:other" xmlns:e="" e:f="1" x:g="1" x:g2="2"/>)"
             "</x:xmpmeta>",
     "out", false},
    {"ANameHoldingUFFFF", kPacket,
     "a\xEF\xBF\xBF"
     "b",
     false},
    {"ANameHoldingMarkupAndAControl", kPacket, "<script>x&amp;y\x01", false},
};

class SvgTexts : public ExportFixture, public testing::WithParamInterface<SvgTextCase> {
protected:
    // The elements of the SVG outside its metadata element.
    std::string ElementsOutsideTheMetadata(const std::string& path) {
        const auto run =
            RunProgram(scratch,
                       "xmllint --xpath \"count(//*[not(ancestor-or-self::*[local-name()='metadata'])])\" '" +
                           path + "'",
                       "");
        EXPECT_EQ(run.status, 0) << run.err;
        return run.out;
    }
};

TEST_P(SvgTexts, AreWellFormedAndAddNoElement) {
    const SvgTextCase& c = GetParam();
    ASSERT_EQ(ScriptJson("exportFile", Request("svg", R"j({"artboardRange": "1"})j",
                                               "plain"))["Results"][0]["exportSuccessful"],
              true);
    const std::string plain = ElementsOutsideTheMetadata((scratch.Path() / "plain.svg").string());
    const AIDocumentSuite* documents = nullptr;
    ASSERT_EQ(app->BasicSuite().AcquireSuite(kAIDocumentSuite, kAIDocumentSuiteVersion,
                                             reinterpret_cast<const void**>(&documents)),
              kNoErr);
    ASSERT_EQ(documents->SetDocumentXAP(c.packet.c_str()), kNoErr);
    app->BasicSuite().ReleaseSuite(kAIDocumentSuite, kAIDocumentSuiteVersion);

    const json reply = ScriptJson(
        "exportFile", Request("svg", R"j({"artboardRange": "1", "keepXMP": true})j", c.fileName.c_str()));
    const std::string path = (scratch.Path() / (c.fileName + ".svg")).string();
    ASSERT_EQ(reply["Results"][0]["exportSuccessful"], !c.refused) << reply.dump();
    if (c.refused) {
        EXPECT_FALSE(std::filesystem::exists(path));
        return;
    }
    const auto lint = RunProgram(scratch, "xmllint --noout '" + path + "'", "");
    EXPECT_EQ(lint.status, 0) << lint.out << lint.err;
    EXPECT_EQ(ElementsOutsideTheMetadata(path), plain);
    const auto scripts =
        RunProgram(scratch, "xmllint --xpath \"count(//*[local-name()='script'])\" '" + path + "'", "");
    EXPECT_EQ(scripts.out, "0\n") << scripts.err;
}

INSTANTIATE_TEST_SUITE_P(HostilePacketsAndNames, SvgTexts, ::testing::ValuesIn(kSvgTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// --- Placed files in exported pictures -------------------------------------------------------------------

// Every kind of file that placed art draws holds the same picture, 20 points square: its top half
// red, its bottom half blue. Each is placed with the frame [0, 20, 20, 0] scaled three times and
// moved by (20, 20), onto [20, 80, 80, 20] of the artboard [0, 100, 100, 0].
constexpr int kSide = 20;

host::model::RasterPixels TwoColours() {
    host::model::RasterPixels pixels{kSide, kSide, host::model::RasterPixels::Space::rgb, false, {}};
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const bool top = y < kSide / 2;
            pixels.bytes.insert(pixels.bytes.end(),
                                {std::uint8_t(top ? 255 : 0), 0, std::uint8_t(top ? 0 : 255)});
        }
    }
    return pixels;
}

std::string PngFile(const ScratchFolder& folder) {
    std::vector<unsigned char> png;
    EXPECT_EQ(lodepng::encode(png, TwoColours().bytes, kSide, kSide, LCT_RGB, 8), 0u);
    return folder.Write("picture.png", std::string(png.begin(), png.end()));
}

std::string PsdFile(const ScratchFolder& folder) {
    const std::string path = (folder.Path() / "picture.psd").string();
    std::string error;
    EXPECT_TRUE(host::WritePsdFile(TwoColours(), {}, path, &error)) << error;
    return path;
}

std::string TiffFile(const ScratchFolder& folder) {
    const std::string path = (folder.Path() / "picture.tif").string();
    std::string error;
    EXPECT_TRUE(host::WriteTiffFile(TwoColours(), {}, path, &error)) << error;
    return path;
}

std::string SvgFile(const ScratchFolder& folder) {
    return folder.Write("picture.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20">)"
                                       R"(<rect width="20" height="10" fill="#ff0000"/>)"
                                       R"(<rect y="10" width="20" height="10" fill="#0000ff"/></svg>)");
}

std::string PdfFile(const ScratchFolder& folder) {
    const std::string path = (folder.Path() / "picture.pdf").string();
    cairo_surface_t* surface = cairo_pdf_surface_create(path.c_str(), kSide, kSide);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_rectangle(cr, 0, 0, kSide, kSide / 2.0);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 1);
    cairo_rectangle(cr, 0, kSide / 2.0, kSide, kSide / 2.0);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return path;
}

std::string Rectangle(double top, double bottom, const char* rgb) {
    return R"({"type": "path", "closed": true, "segments": [{"anchor": [0, )" + std::to_string(top) +
           R"(]}, {"anchor": [20, )" + std::to_string(top) + R"(]}, {"anchor": [20, )" +
           std::to_string(bottom) + R"(]}, {"anchor": [0, )" + std::to_string(bottom) +
           R"(]}], "style": {"paintFields": [{"fill": {"color": {"rgb": )" + rgb + "}}}]}}";
}

// A native document whose artboard holds the two halves, and which places itself in a corner: that
// placement ends the cycle as a grey frame, and the halves around it are drawn.
std::string NativeFile(const ScratchFolder& folder) {
    const std::string path = (folder.Path() / "picture.ai").string();
    return folder.Write("picture.ai",
                        R"({"format": "plimhost-document", "version": 1,
  "artboards": [{"name": "A", "rect": [0.0, 20.0, 20.0, 0.0]}],
  "layers": [{"type": "layer", "title": "Art", "children": [
    {"type": "placed", "file": )" +
                            json(path).dump() +
                            R"(, "frame": [0, 20, 20, 0], "matrix": [0.1, 0, 0, 0.1, 0, 0]}, )" +
                            Rectangle(20, 10, "[1, 0, 0]") + ", " + Rectangle(10, 0, "[0, 0, 1]") + "]}]}");
}

// Eight native documents, each placing the next eight times in its corner: drawing every placement
// would take 8^8 documents, so the picture stops at its count of documents and shows the rest as
// frames. The first of the two placements spends the count; the second, over it, shows grey.
std::string NativeChainFile(const ScratchFolder& folder) {
    constexpr int kLength = 8;
    for (int i = kLength - 1; i >= 0; --i) {
        std::string children = Rectangle(20, 10, "[1, 0, 0]") + ", " + Rectangle(10, 0, "[0, 0, 1]");
        const std::string next = (folder.Path() / ("chain" + std::to_string(i + 1) + ".ai")).string();
        for (int copy = 0; i + 1 < kLength && copy < kLength; ++copy) {
            children = R"({"type": "placed", "file": )" + json(next).dump() +
                       R"(, "frame": [0, 20, 20, 0], "matrix": [0.1, 0, 0, 0.1, 0, 0]}, )" + children;
        }
        folder.Write("chain" + std::to_string(i) + ".ai",
                     R"({"format": "plimhost-document", "version": 1,
  "artboards": [{"name": "A", "rect": [0.0, 20.0, 20.0, 0.0]}],
  "layers": [{"type": "layer", "title": "Art", "children": [)" +
                         children + "]}]}");
    }
    return (folder.Path() / "chain0.ai").string();
}

// An SVG file naming files beside it that would each paint it green (a fragment through XInclude,
// an image, a style sheet), and a key whose text XInclude would add: it draws what it holds only.
std::string SvgNamingFilesBeside(const ScratchFolder& folder) {
    folder.Write("green.svg",
                 R"(<rect xmlns="http://www.w3.org/2000/svg" width="20" height="20" fill="#00ff00"/>)");
    folder.Write("green.css", "rect { fill: #00ff00 !important; }");
    folder.Write("key.txt", "SECRETKEYTEXT");
    std::vector<unsigned char> png;
    EXPECT_EQ(
        lodepng::encode(png, std::vector<unsigned char>(kSide * kSide * 3, 0x80), kSide, kSide, LCT_RGB, 8),
        0u);
    folder.Write("green.png", std::string(png.begin(), png.end()));
    return folder.Write(
        "beside.svg",
        R"(<?xml version="1.0"?><?xml-stylesheet href="green.css" type="text/css"?>)"
        R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xi="http://www.w3.org/2001/XInclude" )"
        R"(xmlns:xlink="http://www.w3.org/1999/xlink" width="20" height="20">)"
        R"(<rect width="20" height="10" fill="#ff0000"/><rect y="10" width="20" height="10" fill="#0000ff"/>)"
        R"(<xi:include href="green.svg"/><image xlink:href="green.png" width="20" height="20"/>)"
        R"(<text x="1" y="19" font-size="1"><xi:include href="key.txt" parse="text"/></text></svg>)");
}

// The two-colour PDF written again with its objects, the page's among them, in object streams.
std::string PdfWithObjectStreams(const ScratchFolder& folder) {
    const std::string plain = PdfFile(folder);
    const std::string path = (folder.Path() / "streams.pdf").string();
    const auto run = RunProgram(folder, "qpdf --object-streams=generate '" + plain + "' '" + path + "'", "");
    EXPECT_EQ(run.status, 0) << run.err;
    return path;
}

// A PDF page drawing one image of 30,000 pixels square: a few hundred bytes, whose image poppler
// would decode into 3.6 GB.
std::string PdfOfAHugeImage(const ScratchFolder& folder) {
    return folder.Write(
        "huge.pdf",
        crafted::Pdf(
            "/MediaBox [0 0 20 20] /Resources << /XObject << /I 5 0 R >> >>", "q 20 0 0 20 0 0 cm /I Do Q",
            {crafted::PdfStream("/Type /XObject /Subtype /Image /Width 30000 /Height 30000 /ColorSpace "
                                "/DeviceGray /BitsPerComponent 8 /Filter /FlateDecode",
                                crafted::EmptyFlate())}));
}

// Twelve forms, each drawing the next four times: 4^12 forms drawn from a file of a few kilobytes.
std::string PdfOfNestedForms(const ScratchFolder& folder) {
    constexpr int kForms = 12;
    std::vector<std::string> forms;
    for (int i = 0; i < kForms; ++i) {
        const std::string next = std::to_string(6 + i) + " 0 R";
        forms.push_back(crafted::PdfStream(
            "/Type /XObject /Subtype /Form /BBox [0 0 20 20]" +
                (i + 1 < kForms ? " /Resources << /XObject << /F " + next + " >> >>" : std::string()),
            i + 1 < kForms ? "/F Do /F Do /F Do /F Do" : "0 0 20 20 re f"));
    }
    return folder.Write(
        "nested.pdf",
        crafted::Pdf("/MediaBox [0 0 20 20] /Resources << /XObject << /F 5 0 R >> >>", "/F Do", forms));
}

// An SVG file embedding a PNG image of 20,000 pixels square (its header says so; the data is short).
std::string SvgOfAHugePng(const ScratchFolder& folder) {
    std::vector<unsigned char> png;
    EXPECT_EQ(lodepng::encode(png, std::vector<unsigned char>(3, 0), 1, 1, LCT_RGB, 8), 0u);
    for (const std::size_t at : {16u, 20u}) {  // the width and height in IHDR, then its checksum
        png[at + 1] = 0x00;
        png[at + 2] = 0x4E;
        png[at + 3] = 0x20;
    }
    const unsigned crc = lodepng_crc32(png.data() + 12, 17);
    for (int i = 0; i < 4; ++i) {
        png[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
    }
    return folder.Write("hugepng.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20">)"
                                       R"(<image width="20" height="20" href="data:image/png;base64,)" +
                                           crafted::Base64(std::string(png.begin(), png.end())) +
                                           R"("/></svg>)");
}

// An image XObject of 9,000 pixels square (beyond what one placed image may hold) whose size is
// given as the dictionary's entries say: poppler would decode it into 81 MB for each time drawn.
std::string HugeImage(const std::string& size = "/Width 9000 /Height 9000") {
    return crafted::PdfStream("/Type /XObject /Subtype /Image " + size +
                                  " /ColorSpace /DeviceGray /BitsPerComponent 8 /Filter /FlateDecode",
                              crafted::EmptyFlate());
}

// A Type 3 font (object 5) whose one glyph, "a", runs the procedure (object 6) with the resources.
std::vector<std::string> Type3Font(const std::string& procedure, const std::string& resources) {
    return {
        "<< /Type /Font /Subtype /Type3 /FontBBox [0 0 1 1] /FontMatrix [1 0 0 1 0 0] /CharProcs << /a 6 0 R "
        ">> /Encoding << /Type /Encoding /Differences [97 /a] >> /FirstChar 97 /LastChar 97 /Widths [1] "
        "/Resources << " +
            resources + " >> >>",
        crafted::PdfStream("", "1 0 0 0 1 1 d1 " + procedure)};
}

// A tiling pattern (object 5) of cells one point square, each drawn by the content with the resources.
std::string TilingPattern(const std::string& cell, const std::string& resources) {
    return crafted::PdfStream(
        "/Type /Pattern /PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0 1 1] /XStep 1 "
        "/YStep 1 /Resources << " +
            resources + " >>",
        cell);
}

template <typename... Lists>
std::vector<std::string> Joined(const Lists&... lists) {
    std::vector<std::string> all;
    (all.insert(all.end(), lists.begin(), lists.end()), ...);
    return all;
}

// Placed PDF files whose cost lies in what the page draws indirectly, or in numbers written
// unusually: each is refused before poppler draws it.
std::string PdfType3GlyphsDrawingForms(const ScratchFolder& folder) {
    return HostilePdf(folder, "glyphs.pdf", "/Font << /F 5 0 R >>",
                      "BT /F 1 Tf (" + std::string(50, 'a') + ") Tj ET",
                      Joined(Type3Font("/X Do", "/XObject << /X 7 0 R >>"), crafted::FormChain(7, 5)));
}

std::string PdfType3GlyphOfAHugeImage(const ScratchFolder& folder) {
    return HostilePdf(folder, "glyphimage.pdf", "/Font << /F 5 0 R >>", "BT /F 20 Tf (a) Tj ET",
                      Joined(Type3Font("/I Do", "/XObject << /I 7 0 R >>"), std::vector{HugeImage()}));
}

std::string PdfPatternCellsDrawingForms(const ScratchFolder& folder) {
    return HostilePdf(
        folder, "cells.pdf", "/Pattern << /P 5 0 R >>", "/Pattern cs /P scn 0 0 20 20 re f",
        Joined(std::vector{TilingPattern("/X Do", "/XObject << /X 6 0 R >>")}, crafted::FormChain(6, 4)));
}

std::string PdfPatternCellOfAHugeImage(const ScratchFolder& folder) {
    return HostilePdf(folder, "cellimage.pdf", "/Pattern << /P 5 0 R >>", "/Pattern cs /P scn 0 0 1 1 re f",
                      {TilingPattern("/I Do", "/XObject << /I 6 0 R >>"), HugeImage()});
}

std::string PdfImageOfRealSize(const ScratchFolder& folder) {
    return HostilePdf(folder, "real.pdf", "/XObject << /I 5 0 R >>", "20 0 0 20 0 0 cm /I Do",
                      {HugeImage("/Width 9000.0 /Height 9000.0")});
}

std::string PdfImageOfAbbreviatedSize(const ScratchFolder& folder) {
    return HostilePdf(folder, "short.pdf", "/XObject << /I 5 0 R >>", "20 0 0 20 0 0 cm /I Do",
                      {HugeImage("/W 9000 /H 9000.0")});
}

std::string PdfInlineImageOfRealSize(const ScratchFolder& folder) {
    return HostilePdf(folder, "inline.pdf", "",
                      "20 0 0 20 0 0 cm BI /W 9000.0 /H 9000 /CS /G /BPC 8 ID \x80 EI", {});
}

std::string PdfImageWithAHugeMask(const ScratchFolder& folder) {
    return HostilePdf(
        folder, "mask.pdf", "/XObject << /I 5 0 R >>", "20 0 0 20 0 0 cm /I Do",
        {crafted::PdfStream("/Type /XObject /Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceGray "
                            "/BitsPerComponent 8 /Mask 6 0 R",
                            "\x80"),
         HugeImage()});
}

// A path of ten points across the page, stroked 1000 points wide in round dots 0.3 points apart:
// some 20,000 dots, each overlapping thousands of others.
std::string PdfDashedWideStroke(const ScratchFolder& folder) {
    return folder.Write("dashes.pdf",
                        crafted::Pdf("/MediaBox [0 0 1000 1000]",
                                     "1000 w 1 J [0 0.3] 0 d 0 100 m 100 900 l 200 100 l 300 900 l 400 "
                                     "100 l 500 900 l 600 100 l 700 900 l 800 100 l 900 900 l S"));
}

// An SVG file embedding a JPEG header of 30,000 pixels square, with a legal fill byte before its frame
// header; a walk of the segments that takes the fill byte for a marker finds a frame of 1 x 1
// pixels further on.
std::string SvgOfAHugeJpegAfterAFillByte(const ScratchFolder& folder) {
    std::string jpeg(
        "\xFF\xD8\xFF\xFF\xC0\x00\x0B\x08\x75\x30\x75\x30\x01\x01\x11\x00"
        "\xFF\xDA\x00\x08\x01\x01\x00\x00\x3F\x00",
        26);
    jpeg.resize(0xC000 + 4, '\0');
    jpeg += std::string("\xFF\xC0\x00\x0B\x08\x00\x01\x00\x01\x01\x01\x11\x00\xFF\xD9", 15);
    return folder.Write("hugejpeg.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20">)"
                                        R"(<image width="20" height="20" href="data:image/jpeg;base64,)" +
                                            crafted::Base64(jpeg) + R"("/></svg>)");
}

struct PlacedCase {
    const char* name;
    std::string (*file)(const ScratchFolder&);
    std::vector<unsigned> top;     // at the middle of the frame's top half
    std::vector<unsigned> bottom;  // at the middle of its bottom half
    bool warned;                   // whether standard error names the file
    bool stopped = false;          // the bound stops its drawing: it is refused, and shows as its frame
};

const std::vector<unsigned> kRed = {255, 0, 0};
const std::vector<unsigned> kBlue = {0, 0, 255};
const std::vector<unsigned> kGrey = {153, 153, 153};

const PlacedCase kPlacedCases[] = {
    {"Png", PngFile, kRed, kBlue, false},
    {"Psd", PsdFile, kRed, kBlue, false},
    {"Tiff", TiffFile, kRed, kBlue, false},
    {"Svg", SvgFile, kRed, kBlue, false},
    {"Pdf", PdfFile, kRed, kBlue, false},
    // The placement of a document inside itself, and those beyond a picture's count of documents,
    // show as frames and say so.
    {"NativePlacingItself", NativeFile, kRed, kBlue, true},
    {"NativeDocumentsPlacingTheNextManyTimes", NativeChainFile, kGrey, kGrey, true},
    {"Missing", [](const ScratchFolder& folder) { return (folder.Path() / "missing.png").string(); }, kGrey,
     kGrey, true},
    {"NotAPdf",
     [](const ScratchFolder& folder) { return folder.Write("broken.pdf", "%PDF-1.4 /MediaBox [0 0 20 20]"); },
     kGrey, kGrey, true},
    {"Eps",
     [](const ScratchFolder& folder) {
         // The DSC header from its parts: the PostScript magic ("%!PS-"), the conventions' version,
         // then the EPSF version, as the other EPS checks take them.
         const std::string header = std::string("%!PS-Ado") + "be-3.0" + " EPSF-3.0\n";
         return folder.Write("picture.eps", header + "%%BoundingBox: 0 0 20 20\n");
     },
     kGrey, kGrey, true},
    // A relative link names the file beside the document, wherever the program runs.
    {"RelativeLink",
     [](const ScratchFolder& folder) { return std::filesystem::path(PngFile(folder)).filename().string(); },
     kRed, kBlue, false},
    // A link through a folder link's "..": the file the system reaches, in the folder above the
    // link's target, not the one the text names beside the link.
    {"LinkThroughALinksParent",
     [](const ScratchFolder& folder) {
         const std::filesystem::path png = PngFile(folder);
         std::filesystem::create_directories(folder.Path() / "a" / "b");
         std::filesystem::rename(png, folder.Path() / "a" / png.filename());
         std::filesystem::create_directory_symlink(folder.Path() / "a" / "b", folder.Path() / "lnk");
         return (folder.Path() / "lnk" / ".." / png.filename()).string();
     },
     kRed, kBlue, false},
    // A link holding a NUL names no file, though the text before the NUL names one.
    {"LinkHoldingANul",
     [](const ScratchFolder& folder) { return PngFile(folder) + std::string("\0.png", 5); }, kGrey, kGrey,
     true},
    {"SvgNamingFilesBeside", SvgNamingFilesBeside, kRed, kBlue, false},
    {"PdfWithObjectStreams", PdfWithObjectStreams, kRed, kBlue, false},
    // Beyond what a placed file may cost: refused before the library draws it.
    {"PdfOfAHugeImage", PdfOfAHugeImage, kGrey, kGrey, true},
    {"PdfOfNestedForms", PdfOfNestedForms, kGrey, kGrey, true},
    {"SvgOfAHugePng", SvgOfAHugePng, kGrey, kGrey, true},
    {"PdfType3GlyphsDrawingForms", PdfType3GlyphsDrawingForms, kGrey, kGrey, true},
    {"PdfType3GlyphOfAHugeImage", PdfType3GlyphOfAHugeImage, kGrey, kGrey, true},
    {"PdfPatternCellsDrawingForms", PdfPatternCellsDrawingForms, kGrey, kGrey, true},
    {"PdfPatternCellOfAHugeImage", PdfPatternCellOfAHugeImage, kGrey, kGrey, true},
    {"PdfImageOfRealSize", PdfImageOfRealSize, kGrey, kGrey, true},
    {"PdfImageOfAbbreviatedSize", PdfImageOfAbbreviatedSize, kGrey, kGrey, true},
    {"PdfInlineImageOfRealSize", PdfInlineImageOfRealSize, kGrey, kGrey, true},
    {"PdfImageWithAHugeMask", PdfImageWithAHugeMask, kGrey, kGrey, true},
    {"PdfDashedWideStroke", PdfDashedWideStroke, kGrey, kGrey, true},
    {"SvgOfAHugeJpegAfterAFillByte", SvgOfAHugeJpegAfterAFillByte, kGrey, kGrey, true},
    // Beyond the picture's bound (CPU time, memory): the file is refused by its content, and the
    // picture drawn again at once with its frame.
    {"PdfShadingOfAHugeSampledFunction", PdfShadingOfAHugeSampledFunction, kGrey, kGrey, true, true},
    {"PdfSeparationTintOfAHugeSampledFunction", PdfSeparationTintOfAHugeSampledFunction, kGrey, kGrey, true,
     true},
    {"PdfPatchMeshOfManyPatches", PdfPatchMeshOfManyPatches, kGrey, kGrey, true, true},
    {"PdfJbig2PageOfAHugeSize", PdfJbig2PageOfAHugeSize, kGrey, kGrey, true, true},
    {"PdfProgressiveDctOfAHugeFrame", PdfProgressiveDctOfAHugeFrame, kGrey, kGrey, true, true},
    {"PdfOfManyFontsSharingOneFile", PdfOfManyFontsSharingOneFile, kGrey, kGrey, true, true},
    // A reader's own limit, or the cost walk's refusal: the file shows as its frame.
    {"JpegOfManyEmptyScans", JpegOfManyEmptyScans, kGrey, kGrey, true},
    {"PdfContentOfAHugePredictorRow", PdfContentOfAHugePredictorRow, kGrey, kGrey, true},
    // A frame drawn in place of a file always says why: a link to nothing, and a kind the host
    // doesn't draw.
    {"NoLink", [](const ScratchFolder&) { return std::string(); }, kGrey, kGrey, true},
    // Neither regular files nor of any size: a named pipe and a device that never ends.
    {"NativeDocumentThatIsANamedPipe",
     [](const ScratchFolder& folder) {
         const std::string path = (folder.Path() / "pipe.ai").string();
         EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
         return path;
     },
     kGrey, kGrey, true},
    {"NativeDocumentLinkedToDevZero",
     [](const ScratchFolder& folder) {
         const std::filesystem::path path = folder.Path() / "zero.ai";
         std::filesystem::create_symlink("/dev/zero", path);
         return path.string();
     },
     kGrey, kGrey, true},
};

void PrintTo(const PlacedCase& c, std::ostream* out) {
    *out << c.name;
}

class ExportPlacedFiles : public PluginTest, public testing::WithParamInterface<PlacedCase> {
protected:
    // Opens a document, saved in the scratch folder, that places the file twice on top of itself.
    void OpenPoster(const std::string& file) {
        const std::string placed = R"({"type": "placed", "file": )" + json(file).dump() +
                                   R"(, "frame": [0, 20, 20, 0], "matrix": [3, 0, 0, 3, 20, 20]})";
        const std::string source = scratch.Write("poster.ai", R"({"format": "plimhost-document", "version": 1,
  "artboards": [{"name": "One", "rect": [0.0, 100.0, 100.0, 0.0]}],
  "layers": [{"type": "layer", "title": "Art", "children": [)" + placed +
                                                                  ", " + placed + "]}]}");
        OpenDocumentFile(source, 7);
    }

    testsupport::ScratchFolder scratch{"export_placed"};
};

TEST_P(ExportPlacedFiles, DrawsTheFileInItsFrame) {
    const PlacedCase& c = GetParam();
    const std::string file = c.file(scratch);
    // Placed twice, on top of each other: the file is read once and drawn twice.
    OpenPoster(file);
    // A lowered bound keeps the test short; the file goes beyond it all the same.
    if (c.stopped) {
        host::ForgetRefusedContent();
        host::SetPictureBound(hostile::kLoweredBound);
    }
    testing::internal::CaptureStderr();
    const ExportedPicture picture = ExportFirstArtboardPng(scratch.Path());
    const std::string warnings = testing::internal::GetCapturedStderr();
    host::SetPictureBound({});
    host::ForgetRefusedContent();
    EXPECT_EQ(warnings.find(" is refused while plimhost runs: drawing it ") != std::string::npos, c.stopped)
        << warnings;
    EXPECT_EQ(warnings.find("the picture is refused"), std::string::npos) << warnings;
    // Once, though placed twice, naming the file.
    const std::string name = std::filesystem::path(file.substr(0, file.find('\0'))).filename().string();
    std::size_t warned = 0;
    std::istringstream lines(warnings);
    for (std::string line; std::getline(lines, line);) {
        warned +=
            line.find("is drawn as its frame: ") != std::string::npos && line.find(name) != std::string::npos;
    }
    EXPECT_EQ(warned, c.warned ? 1u : 0u) << warnings;
    ASSERT_EQ(picture.width, 100u);
    ASSERT_EQ(picture.height, 100u);
    const std::vector<unsigned> white = {255, 255, 255};
    const std::pair<std::pair<unsigned, unsigned>, std::vector<unsigned>> expected[] = {
        {{50, 65}, c.top}, {{50, 35}, c.bottom}, {{30, 75}, c.top}, {{70, 25}, c.bottom},
        {{10, 50}, white}, {{90, 50}, white},    {{50, 90}, white}, {{50, 10}, white}};
    for (const auto& [point, colour] : expected) {
        const unsigned char* pixel = picture.At(point.first, point.second);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_LE(std::max<unsigned>(pixel[i], colour[i]) - std::min<unsigned>(pixel[i], colour[i]), 25u)
                << "at (" << point.first << ", " << point.second << ") channel " << i;
        }
    }
}

// Pictures bounded as a whole: what a picture draws, and how often it draws a file, is what the
// bound weighs, whatever was drawn before. Each case is one job on a document of one artboard; a
// placed file the (lowered) bound stops is refused and shows as its frame, the rest drawn; a picture
// beyond the bound in its own art fails the job, writes nothing and changes nothing.
enum class Bounded { drawn, fileRefused, filesOutOfTime, refused };

struct BoundCase {
    const char* name;
    const char* format;
    double width;  // of the artboard, in points
    double height;
    // The layer's children, as the native format writes them.
    std::string (*children)(const ScratchFolder&);
    Bounded end;
    double resolution = 72.0;
    host::PictureBound bound = hostile::kLoweredBound;
    // The file of two colours (PngFile and its kin) the document places over its artboard, under a
    // clip that leaves its middle: shown there, and drawn again by a later document that places a
    // copy of it under another name.
    const char* placedFile = nullptr;
};

// What standard error says of each placed file shown as its frame once the picture's placed files
// have taken their time: whether the watch stopped the picture and it was drawn again, or (the
// watch coming round late on a busy machine) the picture saw it itself between two files.
constexpr std::string_view kFramedForTime =
    "is drawn as its frame: the picture's placed files have taken all the time they may take";

// A base so low that drawing an ordinary document takes several times it: what the document holds
// lets it finish.
const host::PictureBound kQuarterSecond{std::chrono::milliseconds(250), std::size_t{256} << 20,
                                        std::chrono::milliseconds(30000)};

std::string PlacedAt(const std::string& file, double width, double height) {
    return json{{"type", "placed"},
                {"file", file},
                {"frame", {0, 20, 20, 0}},
                {"matrix", {width / 20, 0, 0, height / 20, 0, 0}}}
        .dump();
}

std::string SquareOf(double side, const std::string& blend) {
    return R"({"type": "path", "closed": true, "segments": [{"anchor": [0, 0]}, {"anchor": [)" +
           std::to_string(side) + R"(, 0]}, {"anchor": [)" + std::to_string(side) + ", " +
           std::to_string(side) + R"(]}, {"anchor": [0, )" + std::to_string(side) +
           R"(]}], "style": {"paintFields": [{"fill": {"color": {"rgb": [1.0, 0.0, 0.0]}}}], "blend": )" +
           blend + "}}";
}

// A poster of many dots (a map, an infographic): 3,000 circles, each filled and stroked, spread over
// 600 by 850 points.
std::string Dots(const ScratchFolder&) {
    std::string dots;
    std::uint32_t seed = 1;
    const auto next = [&seed](double range) {
        seed = seed * 1664525u + 1013904223u;
        return range * static_cast<double>(seed >> 8) / static_cast<double>(1u << 24);
    };
    for (int i = 0; i < 3000; ++i) {
        const double x = next(600);
        const double y = next(850);
        const double r = 2 + next(6);
        const double k = 0.5523 * r;
        const auto point = [](double px, double py) {
            return "[" + std::to_string(px) + ", " + std::to_string(py) + "]";
        };
        const auto segment = [&](double ax, double ay, double ix, double iy, double ox, double oy) {
            return R"({"anchor": )" + point(ax, ay) + R"(, "in": )" + point(ax + ix, ay + iy) +
                   R"(, "out": )" + point(ax + ox, ay + oy) + R"(, "corner": false})";
        };
        dots += (i == 0 ? "" : ", ") + std::string(R"({"type": "path", "closed": true, "segments": [)") +
                segment(x + r, y, 0, k, 0, -k) + ", " + segment(x, y - r, k, 0, -k, 0) + ", " +
                segment(x - r, y, 0, -k, 0, k) + ", " + segment(x, y + r, -k, 0, k, 0) +
                R"(], "style": {"paintFields": [{"fill": {"color": {"rgb": [0.2, 0.5, 0.8]}}}, )"
                R"({"stroke": {"color": {"gray": 1.0}, "width": 0.5}}]}})";
    }
    return dots;
}

// A native document of the artboards with one layer "Art" of the children.
json NativeDocument(const json& artboards, const json& children) {
    return {{"format", "plimhost-document"},
            {"version", 1},
            {"artboards", artboards},
            {"layers", {{{"type", "layer"}, {"title", "Art"}, {"children", children}}}}};
}

json OneArtboard(double width, double height) {
    return {{{"name", "One"}, {"rect", {0.0, height, width, 0.0}}}};
}

using Points = std::vector<std::array<double, 2>>;

// A star of the points on the circle around (x, y), each joined to the one `step` on, from the angle.
Points Star(int points, int step, double x, double y, double radius, double from = 0.0) {
    Points star;
    for (int i = 0; i < points; ++i) {
        const double angle = from + 2.0 * M_PI * static_cast<double>(i * step % points) / points;
        star.push_back({x + radius * std::cos(angle), y + radius * std::sin(angle)});
    }
    return star;
}

// A clip group of a clipping path through the points over the art.
json Clipped(const Points& points, const json& art) {
    json mask = {{"type", "path"}, {"closed", true}, {"clippingMask", true}, {"segments", json::array()}};
    for (const auto& [x, y] : points) {
        mask["segments"].push_back({{"anchor", {x, y}}});
    }
    return {{"type", "group"}, {"clipped", true}, {"children", {mask, art}}};
}

// A clip group over an artboard of 1,000 points square: its clipping path a star of 12,001 points,
// each reaching across the artboard, so that its edges cross about 70,000,000 times, and under it
// the file placed over the artboard. cairo rasterizes the clip each time it paints under it: seconds
// at 150 pixels per inch, which are the document's, not the file's (a file of a few hundred bytes).
template <std::string (*File)(const ScratchFolder&)>
std::string UnderAStar(const ScratchFolder& folder) {
    return Clipped(Star(12'001, 6'000, 500, 500, 500), json::parse(PlacedAt(File(folder), 1000, 1000)))
        .dump();
}

// A mesh of 12 patches, whose cost grows with the pixels it covers: a frame of 4,096 by 64 pixels
// draws it in about a tenth of the (lowered) bound, one of 4,096 pixels square takes about six
// times it.
constexpr int kMeshPatches = 12;
// A mesh of 5 patches, which a frame of a million pixels draws in about a fifth of what one placed
// file may take; sixty such meshes take about five times what a picture's placed files may take
// together (and no more files than a picture notes as shown as their frames).
constexpr int kSmallMeshPatches = 5;
constexpr int kDistinctMeshes = 60;

const BoundCase kBoundCases[] = {
    {"MeshInAWideFrame", "png", 4096, 64,
     [](const ScratchFolder& folder) {
         return PlacedAt(hostile::PdfMeshOfPatches(folder, "mesh.pdf", kMeshPatches), 4096, 64);
     },
     Bounded::drawn},
    {"MeshInATallFrame", "png", 64, 4096,
     [](const ScratchFolder& folder) {
         return PlacedAt(hostile::PdfMeshOfPatches(folder, "mesh.pdf", kMeshPatches), 64, 4096);
     },
     Bounded::drawn},
    {"MeshInASquareFrame", "png", 4096, 4096,
     [](const ScratchFolder& folder) {
         return PlacedAt(hostile::PdfMeshOfPatches(folder, "mesh.pdf", kMeshPatches), 4096, 4096);
     },
     Bounded::fileRefused},
    // One of them alone is drawn; sixty together, one over another, take several times what the
    // picture's placed files may take, each a fraction of what one may: the rest show as their
    // frames.
    {"OneMeshOfSixty", "png", 1024, 1024,
     [](const ScratchFolder& folder) {
         return PlacedAt(hostile::PdfMeshOfPatches(folder, "mesh0.pdf", kSmallMeshPatches), 1024, 1024);
     },
     Bounded::drawn},
    {"SixtyDistinctMeshes", "png", 1024, 1024,
     [](const ScratchFolder& folder) {
         std::string children;
         for (int i = 0; i < kDistinctMeshes; ++i) {
             children += (i == 0 ? "" : ", ") +
                         PlacedAt(hostile::PdfMeshOfPatches(folder, "mesh" + std::to_string(i) + ".pdf",
                                                            kSmallMeshPatches, i),
                                  1024, 1024);
         }
         return children;
     },
     Bounded::filesOutOfTime},
    // Opacity and blend modes become images at 300 pixels per inch in EPS and SVG copies (an
    // artboard of 10,000 points is beyond what cairo draws at all).
    {"HalfOpaqueSquareAsEps", "eps", 6000, 6000,
     [](const ScratchFolder&) { return SquareOf(6000, R"({"opacity": 0.5})"); }, Bounded::refused},
    {"ColourDodgeSquareAsSvg", "svg", 6000, 6000,
     [](const ScratchFolder&) { return SquareOf(6000, R"({"mode": 6})"); }, Bounded::refused},
    // Over another colour: over the white page alone cairo mixes the colour itself.
    {"HalfOpaquePlacedPdfAsEps", "eps", 6000, 6000,
     [](const ScratchFolder& folder) {
         return PlacedAt(hostile::PdfOfAHalfOpaqueSquare(folder), 6000, 6000) + ", " +
                SquareOf(6000, R"({"opacity": 1.0})");
     },
     Bounded::refused},
    // An ordinary document takes longer than the base at print resolution, within what it holds
    // allows: drawn in every raster format.
    {"PosterOfDotsAsPng", "png", 600, 850, Dots, Bounded::drawn, 150, kQuarterSecond},
    {"PosterOfDotsAsJpeg", "jpg", 600, 850, Dots, Bounded::drawn, 150, kQuarterSecond},
    {"PosterOfDotsAsTiff", "tif", 600, 850, Dots, Bounded::drawn, 150, kQuarterSecond},
    // A small file under a clip that cairo takes seconds to rasterize: the clip is the document's
    // work, priced by its budget, and the file is drawn, not refused.
    {"PngUnderAStarClip", "png", 1000, 1000, UnderAStar<PngFile>, Bounded::drawn, 150, kQuarterSecond,
     "picture.png"},
    {"PdfUnderAStarClip", "png", 1000, 1000, UnderAStar<PdfFile>, Bounded::drawn, 150, kQuarterSecond,
     "picture.pdf"},
    {"SvgUnderAStarClip", "png", 1000, 1000, UnderAStar<SvgFile>, Bounded::drawn, 150, kQuarterSecond,
     "picture.svg"},
    // The same, small, draws as ever.
    {"HalfOpaqueSmallSquareAsEps", "eps", 100, 100,
     [](const ScratchFolder&) { return SquareOf(100, R"({"opacity": 0.5})"); }, Bounded::drawn},
    {"HalfOpaqueSmallPlacedPdfAsEps", "eps", 100, 100,
     [](const ScratchFolder& folder) {
         return PlacedAt(hostile::PdfOfAHalfOpaqueSquare(folder), 100, 100) + ", " +
                SquareOf(100, R"({"opacity": 1.0})");
     },
     Bounded::drawn},
};

// The red, green and blue of the pixel at the point.
std::vector<unsigned> Rgb(const ExportedPicture& picture, double x, double y) {
    return {picture.At(x, y), picture.At(x, y) + 3};
}

// The picture of a PNG file; of no pixels when it can't be decoded.
ExportedPicture Decoded(const std::filesystem::path& file) {
    ExportedPicture picture;
    if (lodepng::decode(picture.rgb, picture.width, picture.height, file.string(), LCT_RGB, 8) != 0) {
        picture = {};
    }
    return picture;
}

// Jobs under a lowered bound, which is put back after each, with the refusals it made.
class BoundedJob : public PluginTest {
protected:
    void TearDown() override {
        host::SetPictureBound({});
        host::ForgetRefusedContent();
        PluginTest::TearDown();
    }

    // The picture of the Nth artboard (from 0) of the job NAME.
    std::filesystem::path Board(const std::string& name, std::size_t n) const {
        return scratch.Path() / name / (name + " " + std::to_string(n + 1) + ".png");
    }

    // Exports every artboard of the document to PNG files under the bound: each is written, and no
    // picture is refused. What standard error said.
    std::string ExportEveryArtboard(const std::string& name, const json& document,
                                    const host::PictureBound& bound) {
        OpenDocumentFile(scratch.Write(name + ".ai", document.dump()), 7);
        host::SetPictureBound(bound);
        testing::internal::CaptureStderr();
        const json reply = ScriptJson(
            "exportFile",
            json{{"formats", {"png"}}, {"folderPath", (scratch.Path() / name).string()}, {"fileName", name}}
                .dump());
        const std::string said = testing::internal::GetCapturedStderr();
        const json results = reply.value("Results", json::array());
        EXPECT_EQ(results.size(), document["artboards"].size()) << reply.dump();
        for (std::size_t i = 0; i < results.size(); ++i) {
            EXPECT_EQ(results[i]["exportSuccessful"], true) << results[i].dump() << said;
            EXPECT_TRUE(std::filesystem::exists(Board(name, i))) << i;
        }
        EXPECT_EQ(said.find("the picture is refused"), std::string::npos) << said;
        return said;
    }

    testsupport::ScratchFolder scratch{"bounded_pictures"};
};

class BoundedPictures : public BoundedJob, public testing::WithParamInterface<BoundCase> {};

TEST_P(BoundedPictures, EndWithinTheBoundOrFailTheJob) {
    const BoundCase& c = GetParam();
    OpenDocumentFile(scratch.Write("doc.ai", NativeDocument(OneArtboard(c.width, c.height),
                                                            json::parse("[" + c.children(scratch) + "]"))
                                                 .dump()),
                     7);
    host::SetPictureBound(c.bound);
    const host::model::Document before = *app->CurrentDocument();
    const std::filesystem::path out = scratch.Path() / "out";
    std::filesystem::create_directory(out);
    testing::internal::CaptureStderr();
    const json reply = ScriptJson("exportFile", json{{"formats", {c.format}},
                                                     {"folderPath", out.string()},
                                                     {"fileName", "doc"},
                                                     {"resolution", c.resolution}}
                                                    .dump());
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(reply.contains("Results")) << reply.dump();
    const bool refused = c.end == Bounded::refused;
    EXPECT_EQ(reply["Results"][0]["exportSuccessful"], !refused) << reply.dump() << said;
    EXPECT_EQ(std::filesystem::is_empty(out), refused) << said;
    // Past the bound standard error says why (a picture refused by its own budget, or by cairo, as
    // a surface the sanitizers' allocator refuses, says nothing more); within it, nothing is refused.
    if (!refused) {
        EXPECT_EQ(said.find("the picture is refused"), std::string::npos) << said;
    }
    EXPECT_EQ(said.find(" is refused while plimhost runs: ") != std::string::npos,
              c.end == Bounded::fileRefused)
        << said;
    EXPECT_EQ(said.find(kFramedForTime) != std::string::npos, c.end == Bounded::filesOutOfTime) << said;
    EXPECT_TRUE(*app->CurrentDocument() == before);
    if (c.placedFile != nullptr) {
        // Above the artboard's middle the file's top half, red; below it its bottom half, blue.
        const ExportedPicture picture = Decoded(out / "doc.png");
        ASSERT_GT(picture.width, 0u) << said;
        const double middle = picture.width / 2.0;
        EXPECT_EQ(Rgb(picture, middle, middle * 1.2), kRed);
        EXPECT_EQ(Rgb(picture, middle, middle * 0.8), kBlue);
        // A later document of the run places a copy under another name: the file, not its frame.
        const std::filesystem::path copy =
            scratch.Path() / ("copy" + std::filesystem::path(c.placedFile).extension().string());
        std::filesystem::copy_file(scratch.Path() / c.placedFile, copy);
        const json placed = json::parse(PlacedAt(copy.string(), 100, 100));
        OpenDocumentFile(
            scratch.Write("later.ai", NativeDocument(OneArtboard(100, 100), json::array({placed})).dump()),
            7);
        testing::internal::CaptureStderr();
        const ExportedPicture later = ExportFirstArtboardPng(scratch.Path());
        const std::string laterSaid = testing::internal::GetCapturedStderr();
        ASSERT_EQ(later.width, 100u) << laterSaid;
        EXPECT_EQ(Rgb(later, 50, 75), kRed) << laterSaid;
        EXPECT_EQ(Rgb(later, 50, 25), kBlue) << laterSaid;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, BoundedPictures, ::testing::ValuesIn(kBoundCases),
                         [](const auto& info) { return std::string(info.param.name); });

// One hostile file placed on each of twenty artboards, one file per artboard: the first picture
// pays for it once, and every picture is written, the file as its grey frame.
TEST_F(BoundedPictures, OneRefusedFileCostsOneRefusal) {
    const std::string pdf = hostile::PdfShadingOfAHugeSampledFunction(scratch);
    json artboards = json::array();
    json children = json::array();
    for (int i = 0; i < 20; ++i) {
        const double x = 100.0 * i;
        artboards.push_back({{"name", "Card " + std::to_string(i + 1)}, {"rect", {x, 100.0, x + 80.0, 0.0}}});
        children.push_back({{"type", "placed"},
                            {"file", pdf},
                            {"frame", {0, 20, 20, 0}},
                            {"matrix", {2, 0, 0, 2, x + 20, 30}}});
    }
    const std::string said =
        ExportEveryArtboard("card", NativeDocument(artboards, children), hostile::kLoweredBound);
    for (int i = 0; i < 20; ++i) {
        const ExportedPicture card = Decoded(Board("card", i));
        ASSERT_EQ(card.width, 80u) << i;
        // The middle of the placed object's frame, grey.
        EXPECT_EQ(Rgb(card, 40, 50), kGrey) << i;
    }
    // Stopped once, by the first picture; every picture names the frame it drew in its place.
    EXPECT_EQ(said.find(" is refused while plimhost runs: "), said.rfind(" is refused while plimhost runs: "))
        << said;
    EXPECT_NE(said.find(" is refused while plimhost runs: "), std::string::npos) << said;
    std::size_t frames = 0;
    for (std::size_t at = said.find("is drawn as its frame: its content was refused earlier");
         at != std::string::npos;
         at = said.find("is drawn as its frame: its content was refused earlier", at + 1)) {
        ++frames;
    }
    EXPECT_EQ(frames, 20u) << said;
}

// Placed files that together take several times what a job's placed files may, on each of twenty
// artboards: the first picture spends the job's time and is drawn again with them as their frames;
// every later picture draws them as frames at once, and every picture is written.
TEST_F(BoundedPictures, PlacedFilesSpendTheJobsTimeOnce) {
    std::vector<std::string> paths;
    for (int i = 0; i < kDistinctMeshes; ++i) {
        paths.push_back(
            hostile::PdfMeshOfPatches(scratch, "mesh" + std::to_string(i) + ".pdf", kSmallMeshPatches, i));
    }
    json artboards = json::array();
    json children = json::array();
    for (int i = 0; i < 20; ++i) {
        const double x = 1100.0 * i;
        artboards.push_back(
            {{"name", "Page " + std::to_string(i + 1)}, {"rect", {x, 1024.0, x + 1024.0, 0.0}}});
        for (const std::string& path : paths) {
            children.push_back(json::parse(PlacedAt(path, 1024, 1024)));
            children.back()["matrix"][4] = x;
        }
    }
    const std::string said =
        ExportEveryArtboard("page", NativeDocument(artboards, children), hostile::kLoweredBound);
    // Drawn again at most once, by whichever picture the watch stopped.
    constexpr std::string_view kDrawnAgain = "the placed files it has no time left for as their frames";
    EXPECT_EQ(said.find(kDrawnAgain), said.rfind(kDrawnAgain)) << said;
    EXPECT_NE(said.find(kFramedForTime), std::string::npos) << said;
    EXPECT_EQ(said.find(" is refused while plimhost runs: "), std::string::npos) << said;
}

// A symbol of four squares of a radial gradient of 1,024 stops, one over another, on each of six
// artboards of 1,500 points: cairo looks every pixel's colour up along the stops it is given, so
// that drawn from all of them each picture would take more than the (lowered) base beyond its
// allowances, and the job's base would be gone with the first. Each is drawn from the stops its
// pixels can show (or, for stops that change sharply, from fewer of them) and priced for them, and
// every picture is written within what it holds and draws, none refused. The ramps: waves of
// colour, and black and white in turn.
class GradientSymbolJobs : public BoundedJob, public testing::WithParamInterface<bool> {};

TEST_P(GradientSymbolJobs, WriteEveryArtboard) {
    const bool smooth = GetParam();
    constexpr double kBoard = 1500.0;
    json stops = json::array();
    for (int i = 0; i < 1024; ++i) {
        const double t = i / 1023.0;
        const double v = smooth ? 0.5 + 0.5 * std::sin(6.0 * M_PI * t) : i % 2;
        stops.push_back({{"color", {{"rgb", {v, smooth ? t : v, v}}}}, {"rampPoint", 100.0 * t}});
    }
    json square = json::parse(SquareOf(100, "{}"));
    square["style"] = {{"paintFields", {{{"fill", {{"color", {{"gradient", "Burst"}}}}}}}}};
    json artboards = json::array();
    json children = json::array();
    for (int i = 0; i < 6; ++i) {
        const double x = (kBoard + 100.0) * i;
        artboards.push_back(
            {{"name", "Board " + std::to_string(i + 1)}, {"rect", {x, kBoard, x + kBoard, 0.0}}});
        children.push_back({{"type", "symbol"},
                            {"symbol", "Tile"},
                            {"frame", {0, 100, 100, 0}},
                            {"matrix", {kBoard / 100, 0, 0, kBoard / 100, x, 0}}});
    }
    json document = NativeDocument(artboards, children);
    document["gradients"] = {
        {{"name", "Burst"}, {"color", {{"gray", 0.5}}}, {"type", "radial"}, {"stops", stops}}};
    document["symbols"] = {
        {{"name", "Tile"}, {"art", {{"type", "group"}, {"children", {square, square, square, square}}}}}};
    ExportEveryArtboard("burst", document, kQuarterSecond);
}

INSTANTIATE_TEST_SUITE_P(Ramps, GradientSymbolJobs, testing::Bool(), [](const auto& info) {
    return std::string(info.param ? "SmoothRamp" : "AlternatingRamp");
});

// The text of a key beside a placed SVG file, which XInclude would add, is not in an exported PDF.
TEST_F(PluginTest, APlacedSvgAddsNoTextFromFilesBesideIt) {
    testsupport::ScratchFolder scratch{"export_placed_key"};
    const std::string file = SvgNamingFilesBeside(scratch);
    const std::string source =
        scratch.Write("poster.ai", R"({"format": "plimhost-document", "version": 1,
  "artboards": [{"name": "One", "rect": [0.0, 100.0, 100.0, 0.0]}],
  "layers": [{"type": "layer", "title": "Art", "children": [{"type": "placed", "file": )" +
                                       json(file).dump() + R"(, "frame": [0, 20, 20, 0]}]}]})");
    OpenDocumentFile(source, 7);
    const json reply = ScriptJson(
        "exportFile",
        json{{"formats", {"pdf"}}, {"folderPath", scratch.Path().string()}, {"fileName", "out"}}.dump());
    ASSERT_TRUE(reply.contains("Results")) << reply;
    ASSERT_EQ(reply["Results"][0]["exportSuccessful"], true) << reply;
    const auto text = RunProgram(scratch, "pdftotext '" + (scratch.Path() / "out.pdf").string() + "' -", "");
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out.find("SECRETKEYTEXT"), std::string::npos) << text.out;
}

// An image drawn first at a point's size and then large shows every pixel when large: the copy
// kept at the small size is not drawn in its place.
TEST_F(PluginTest, APlacedImageDrawnSmallThenLargeShowsEveryPixel) {
    testsupport::ScratchFolder scratch{"export_placed_sizes"};
    std::vector<unsigned char> checks;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            checks.insert(checks.end(), 3, (x + y) % 2 == 0 ? 0 : 255);
        }
    }
    std::vector<unsigned char> png;
    ASSERT_EQ(lodepng::encode(png, checks, kSide, kSide, LCT_RGB, 8), 0u);
    const std::string file = scratch.Write("checks.png", std::string(png.begin(), png.end()));
    const auto placed = [&](const char* matrix) {
        return R"({"type": "placed", "file": )" + json(file).dump() +
               R"(, "frame": [0, 20, 20, 0], "matrix": )" + matrix + "}";
    };
    const std::string small = placed("[0.05, 0, 0, 0.05, 0, 0]");
    OpenDocumentFile(
        scratch.Write("sizes.ai", R"({"format": "plimhost-document", "version": 1,
  "artboards": [{"name": "One", "rect": [0.0, 100.0, 100.0, 0.0]}],
  "layers": [{"type": "layer", "title": "Art", "children": [)" +
                                      small + ", " + placed("[4, 0, 0, 4, 10, 10]") + ", " + small + "]}]}"),
        7);
    const ExportedPicture picture = ExportFirstArtboardPng(scratch.Path());
    ASSERT_EQ(picture.width, 100u);
    for (int row = 0; row < kSide; ++row) {
        for (int column = 0; column < kSide; ++column) {
            EXPECT_EQ(picture.At(12 + 4 * column, 88 - 4 * row)[0], (column + row) % 2 == 0 ? 0 : 255)
                << "at column " << column << ", row " << row;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, ExportPlacedFiles, ::testing::ValuesIn(kPlacedCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Placed files under clip groups, on the artboard [0, 100, 100, 0] at a pixel a point, each file in
// the frame [20, 80, 80, 20]: a pixel the clip covers wholly shows what the file drawn without the
// clip shows there, one it leaves wholly the page's white, whether cairo paints under the clip as it
// is (whole pixels) or the file is drawn by itself and then put under the clip.
enum class Cover { whole, none, edge };

struct Clip {
    const char* name;
    Points points;                                   // the clipping path's
    std::function<Cover(double x, double y)> cover;  // of the pixel whose centre is there
};

// A clip of the box, which covers wholly the pixels more than a pixel inside it.
Clip BoxClip(const char* name, double left, double bottom, double right, double top) {
    const auto cover = [=](double x, double y) {
        if (x > left + 1 && x < right - 1 && y > bottom + 1 && y < top - 1) {
            return Cover::whole;
        }
        return x < left - 1 || x > right + 1 || y < bottom - 1 || y > top + 1 ? Cover::none : Cover::edge;
    };
    return {name, {{left, bottom}, {right, bottom}, {right, top}, {left, top}}, cover};
}

// A box off the pixels' edges, one on them, and a five-pointed star of radius 25 around (50, 50),
// its points joined every second one: its edges cross, and its middle (winding twice) reaches 0.3
// of its radius.
const Clip kClips[] = {
    BoxClip("OffPixels", 10.5, 10.5, 60.5, 90.5),
    BoxClip("OnPixels", 10, 10, 60, 90),
    {"UnderAStar", Star(5, 2, 50, 50, 25, M_PI / 2),
     [](double x, double y) {
         const double distance = std::hypot(x - 50, y - 50);
         return distance < 25 * 0.3 - 1 ? Cover::whole : distance > 26 ? Cover::none : Cover::edge;
     }},
};

struct FileKind {
    const char* name;
    std::string (*file)(const ScratchFolder&);
};

const FileKind kClippedFiles[] = {{"Png", PngFile}, {"Pdf", PdfFile}, {"Svg", SvgFile}};

class ClippedPlacedFiles : public PluginTest, public testing::WithParamInterface<std::tuple<FileKind, Clip>> {
protected:
    // Exports a document of the art to a picture.
    ExportedPicture Export(const std::string& name, const json& art) {
        OpenDocumentFile(
            scratch.Write(name + ".ai", NativeDocument(OneArtboard(100, 100), json::array({art})).dump()), 7);
        const std::filesystem::path folder = scratch.Path() / name;
        std::filesystem::create_directory(folder);
        return ExportFirstArtboardPng(folder);
    }

    testsupport::ScratchFolder scratch{"clipped_placed"};
};

TEST_P(ClippedPlacedFiles, ShowTheFileWhereTheClipCoversIt) {
    const auto& [kind, clip] = GetParam();
    const json placed = {{"type", "placed"},
                         {"file", kind.file(scratch)},
                         {"frame", {0, 20, 20, 0}},
                         {"matrix", {3, 0, 0, 3, 20, 20}}};
    const ExportedPicture unclipped = Export("unclipped", placed);
    const ExportedPicture clipped = Export("clipped", Clipped(clip.points, placed));
    ASSERT_EQ(unclipped.width, 100u);
    ASSERT_EQ(clipped.width, 100u);
    int whole = 0;
    int none = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 100; ++x) {
            const Cover cover = clip.cover(x + 0.5, y + 0.5);
            const std::vector<unsigned> pixel = Rgb(clipped, x + 0.5, y + 0.5);
            if (cover == Cover::whole) {
                EXPECT_EQ(pixel, Rgb(unclipped, x + 0.5, y + 0.5)) << "at (" << x << ", " << y << ")";
                ++whole;
            } else if (cover == Cover::none) {
                EXPECT_EQ(pixel, (std::vector<unsigned>{255, 255, 255})) << "at (" << x << ", " << y << ")";
                ++none;
            }
        }
    }
    EXPECT_GT(whole, 100);
    EXPECT_GT(none, 100);
}

INSTANTIATE_TEST_SUITE_P(UnderClips, ClippedPlacedFiles,
                         testing::Combine(testing::ValuesIn(kClippedFiles), testing::ValuesIn(kClips)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
                         });

}  // namespace

// The application's PDF, SVG and EPS writers, checked with tools of their own fields: qpdf and
// pdfinfo for PDF, xmllint for SVG.
#include <gtest/gtest.h>

#include "ProgramRun.h"
#include "VectorWriters.h"
#include "model/DocumentFormat.h"

namespace {

using testsupport::ProgramRun;
using testsupport::ReadFile;
using testsupport::RunProgram;
using testsupport::ScratchFolder;

constexpr const char* kPacket =
    R"(<?xpacket begin="" id="W5M0MpCehiHzreSzNTczkc9d"?><x:xmpmeta xmlns:x="urn:x-meta/">)"
    R"(<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"><rdf:Description/></rdf:RDF>)"
    R"(</x:xmpmeta><?xpacket end="w"?>)";

// The text with every run of blanks as one blank, as pdfinfo aligns its columns by the longest
// label.
std::string Squeezed(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c != ' ' || out.empty() || out.back() != ' ') {
            out += c;
        }
    }
    return out;
}

host::model::Document BoardsDocument() {
    host::model::ReadResult read =
        host::model::readDocument(ReadFile(std::string(HOST_EXAMPLES_DIR) + "/boards.json"), 1);
    EXPECT_TRUE(read.document) << read.error;
    return std::move(*read.document);
}

struct PdfCase {
    const char* name;
    host::ActionValues values;
    std::string pdfinfoArguments;
    std::vector<std::string> shown;  // lines pdfinfo prints
};

const PdfCase kPdfCases[] = {
    {"Default",
     {},
     "",
     {"Pages:          3", "PDF version:    1.6", "Encrypted:      no", "Title:          copy"}},
    {"Level4WithBleed",
     {{"comp", std::int64_t{19}}, {"btop", 9.0}, {"blft", 9.0}, {"brht", 9.0}, {"bbtm", 9.0}},
     "-box",
     {"PDF version:    1.3", "Page size:      218 x 218 pts",
      "TrimBox:            9.00     9.00   209.00   209.00"}},
    {"Level8", {{"comp", std::int64_t{23}}}, "", {"PDF version:    1.7"}},
    {"UserPassword",
     {{"usps", std::string("open")}},
     "-upw open",
     {"Encrypted:      yes (print:yes copy:yes change:yes addNotes:yes algorithm:AES)"}},
    {"PermissionsOld",
     {{"comp", std::int64_t{19}},
      {"msps", std::string("owner")},
      {"pmpr", std::int64_t{4}},
      {"pmch", std::int64_t{6}}},
     "",
     {"Encrypted:      yes (print:no copy:yes change:no addNotes:no algorithm:RC4)"}},
    {"PermissionsNew",
     {{"msps", std::string("owner")}, {"pmpr", std::int64_t{2}}, {"ebcp", false}},
     "",
     {"Encrypted:      yes (print:yes copy:no change:yes addNotes:yes algorithm:AES)"}},
};

class PdfWriterTest : public ::testing::TestWithParam<PdfCase> {};

TEST_P(PdfWriterTest, WritesWhatPdfToolsRead) {
    const PdfCase& c = GetParam();
    const ScratchFolder folder("plim_pdf");
    const std::string file = (folder.Path() / "copy.pdf").string();
    std::string error;
    ASSERT_TRUE(
        host::WriteVectorCopy(BoardsDocument(), file, host::kPdfFormatName, c.values, kPacket, &error))
        << error;
    const std::string password = c.values.contains("usps") ? " --password=open" : "";
    const ProgramRun check = RunProgram(folder, "qpdf --check" + password + " '" + file + "'", "");
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    const ProgramRun info = RunProgram(folder, "pdfinfo " + c.pdfinfoArguments + " '" + file + "'", "");
    ASSERT_EQ(info.status, 0) << info.err;
    for (const std::string& line : c.shown) {
        EXPECT_NE(Squeezed(info.out).find(Squeezed(line)), std::string::npos) << line << "\n" << info.out;
    }
    const ProgramRun meta = RunProgram(
        folder, "pdfinfo -meta" + std::string(password.empty() ? "" : " -upw open") + " '" + file + "'", "");
    EXPECT_NE(meta.out.find("x:xmpmeta"), std::string::npos) << meta.out << meta.err;
}

INSTANTIATE_TEST_SUITE_P(Options, PdfWriterTest, ::testing::ValuesIn(kPdfCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(VectorWritersTest, SvgHoldsTheArtboardsAndThePacketWhenAsked) {
    const ScratchFolder folder("plim_svg");
    for (const bool withPacket : {false, true}) {
        const std::string file = (folder.Path() / "copy.svg").string();
        std::string error;
        ASSERT_TRUE(host::WriteVectorCopy(BoardsDocument(), file, host::kSvgFormatName,
                                          {{"IXAP", withPacket}}, kPacket, &error))
            << error;
        const ProgramRun lint = RunProgram(folder,
                                           "xmllint --xpath \"concat(count(//*[local-name()='metadata']),' "
                                           "',/*[local-name()='svg']/@width)\" '" +
                                               file + "'",
                                           "");
        EXPECT_EQ(lint.status, 0) << lint.err;
        EXPECT_EQ(lint.out, withPacket ? "1 650pt\n" : "0 650pt\n")
            << lint.err;  // the union of the artboards
    }
}

TEST(VectorWritersTest, EpsIsOneTitledPageOfEveryArtboard) {
    const ScratchFolder folder("plim_eps");
    const std::string file = (folder.Path() / "poster.eps").string();
    std::string error;
    ASSERT_TRUE(host::WriteVectorCopy(BoardsDocument(), file, host::kEpsFormatName, {}, "", &error)) << error;
    const std::string eps = ReadFile(file);
    EXPECT_EQ(eps.rfind("%!PS-", 0), 0u);
    EXPECT_NE(eps.substr(0, eps.find('\n')).find(" EPSF-3.0"), std::string::npos);
    EXPECT_NE(eps.find("%%Title: poster"), std::string::npos);
    EXPECT_NE(eps.find("%%Page: 1"), std::string::npos);
    EXPECT_EQ(eps.find("%%Page: 2"), std::string::npos);
}

TEST(VectorWritersTest, RefusesWhatItCantWriteAndLeavesTheOldFile) {
    const ScratchFolder folder("plim_vector");
    const std::string file = folder.Write("copy.pdf", "old");
    const std::pair<std::string_view, host::ActionValues> refused[] = {
        {"Unknown Format", {}},
        {host::kPdfFormatName, {{"btop", -1.0}}},
    };
    for (const auto& [format, values] : refused) {
        std::string error;
        EXPECT_FALSE(host::WriteVectorCopy(BoardsDocument(), file, format, values, "", &error)) << format;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(ReadFile(file), "old");
    }
}

}  // namespace

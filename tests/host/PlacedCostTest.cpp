// What a placed PDF page may cost, as the budget's walk prices what poppler does with it: operators
// it doesn't know, objects it looks up and can't read, and a file it would mend its own way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CraftedFiles.h"
#include "render/PlacedCost.h"

namespace {

// A page drawing forms from object 5 on, each drawing the next ten times; the last one's content is
// given.
std::string PageOfFormChain(int count, const std::string& last, const std::string& lastResources = "") {
    const std::vector<std::string> forms = crafted::FormChain(5, count, last, lastResources);
    return crafted::Pdf("/MediaBox [0 0 20 20] /Resources << /XObject << /X 5 0 R >> >>", "/X Do", forms);
}

std::string Repeated(const std::string& text, int count) {
    std::string repeated;
    for (int i = 0; i < count; ++i) {
        repeated += text;
    }
    return repeated;
}

// The file with its cross-reference table where no offset points: qpdf and poppler both mend it.
std::string Damaged(std::string pdf) {
    const std::size_t at = pdf.rfind("startxref\n");
    return pdf.substr(0, at) + "startxref\n9\n%%EOF\n";
}

struct CostCase {
    const char* name;
    std::string pdf;
    bool within;
    const char* reason;  // part of the refusal
};

const CostCase kCases[] = {
    {"AFewFormsWithOrdinaryContent", PageOfFormChain(3, "0 0 1 1 re f"), true, ""},
    // 10^4 draws of 200 operators poppler reports as unknown every time.
    {"UnknownOperatorsDrawnManyTimes", PageOfFormChain(5, Repeated("xyzzy ", 200)), false, "too much work"},
    // 10^5 lookups of an object the file doesn't hold.
    {"ObjectsThatCantBeReadLookedUpManyTimes",
     PageOfFormChain(5, Repeated("/G Do ", 10), "/XObject << /G 99 0 R >>"), false, "too much work"},
    {"ADamagedFileWithinTheBudget", Damaged(PageOfFormChain(3, "0 0 1 1 re f")), true, ""},
};

class PlacedPdfCost : public testing::TestWithParam<CostCase> {};

TEST_P(PlacedPdfCost, IsPricedAsPopplerDrawsIt) {
    const CostCase& c = GetParam();
    std::string bytes = c.pdf;
    std::string error;
    EXPECT_EQ(host::PdfWithinBudget(bytes, error), c.within) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    // A file qpdf had to mend is drawn as qpdf read it: written again, and whole now.
    const bool damaged = c.pdf.find("startxref\n9\n") != std::string::npos;
    EXPECT_EQ(bytes != c.pdf, c.within && damaged);
    if (c.within && damaged) {
        std::string again = bytes;
        EXPECT_TRUE(host::PdfWithinBudget(again, error)) << error;
        EXPECT_EQ(again, bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, PlacedPdfCost, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// The document's symbols: names that are unique and not empty, handles that are never reused, and
// the list in the native format.
#include "ModelTestSupport.h"

namespace host::model {
namespace {

std::string documentWithSymbols(const std::string& symbols) {
    return R"({"format": "plimhost-document", "version": 1, "layers": [], "symbols": )" + symbols + "}";
}

TEST(Symbols, AreKeptInTheOrderTheyWereAdded) {
    Document document;
    const Result<SymbolId> star = document.addSymbol("Star");
    const Result<SymbolId> arrow = document.addSymbol("Pfeil \xE2\x86\x92");
    ASSERT_TRUE(star && arrow);
    ASSERT_EQ(document.symbols().size(), 2u);
    EXPECT_EQ(document.symbols()[0].name, "Star");
    EXPECT_EQ(document.symbols()[1].id, *arrow);
    EXPECT_EQ(document.findSymbol(*star)->name, "Star");
    EXPECT_EQ(document.symbolByName("Pfeil \xE2\x86\x92"), *arrow);
    EXPECT_FALSE(document.symbolByName("star"));
}

struct BadName {
    const char* label;
    std::string name;
};

class RefusedSymbolNames : public ::testing::TestWithParam<BadName> {};

TEST_P(RefusedSymbolNames, LeaveTheListAlone) {
    Document document;
    ASSERT_TRUE(document.addSymbol("Star"));
    EXPECT_EQ(document.addSymbol(GetParam().name).status(), Status::badParameter);
    EXPECT_EQ(document.symbols().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedSymbolNames,
                         ::testing::Values(BadName{"empty", ""}, BadName{"taken", "Star"},
                                           BadName{"malformed_utf8",
                                                   "St\xFF"
                                                   "ar"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Symbols, HandlesNameNothingInAnotherDocumentOrAfterANewOne) {
    Document first;
    const SymbolId star = *first.addSymbol("Star");
    Document second;
    const SymbolId other = *second.addSymbol("Star");
    EXPECT_NE(star, other);
    EXPECT_EQ(second.findSymbol(star), nullptr);
    EXPECT_EQ(first.findSymbol(SymbolId{}), nullptr);
    // A copy names the same symbols; copies compare equal until one changes.
    Document copy = first;
    EXPECT_EQ(copy.findSymbol(star)->name, "Star");
    EXPECT_TRUE(copy == first);
    ASSERT_TRUE(copy.addSymbol("Moon"));
    EXPECT_FALSE(copy == first);
}

TEST(Symbols, AreSavedAndOpenedByName) {
    Document document;
    ASSERT_TRUE(document.addSymbol("Star"));
    ASSERT_TRUE(document.addSymbol("Arrow"));
    const WriteResult written = writeDocument(document);
    ASSERT_TRUE(written.text) << written.error;
    EXPECT_NE(written.text->find("\"symbols\": [\n    \"Star\",\n    \"Arrow\"\n  ]"), std::string::npos)
        << *written.text;
    const ReadResult read = readDocument(*written.text);
    ASSERT_TRUE(read.document) << read.error;
    ASSERT_EQ(read.document->symbols().size(), 2u);
    EXPECT_EQ(read.document->symbols()[1].name, "Arrow");
    EXPECT_EQ(writeDocument(*read.document).text, written.text);
}

TEST(Symbols, AnEmptyListIsLeftOut) {
    const WriteResult written = writeDocument(Document());
    ASSERT_TRUE(written.text);
    EXPECT_EQ(written.text->find("symbols"), std::string::npos);
}

TEST(Symbols, TheSampleDefinesTheSymbolItsInstanceUses) {
    const Document sample = testing::loadSample();
    ASSERT_EQ(sample.symbols().size(), 1u);
    EXPECT_EQ(sample.symbols()[0].name, "Star");
}

struct BadList {
    const char* label;
    std::string symbols;
    std::string error;
};

class UnreadableSymbolLists : public ::testing::TestWithParam<BadList> {};

TEST_P(UnreadableSymbolLists, NameThePlace) {
    const ReadResult read = readDocument(documentWithSymbols(GetParam().symbols));
    EXPECT_FALSE(read.document);
    EXPECT_EQ(read.error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreadableSymbolLists,
    ::testing::Values(
        BadList{"not_an_array", R"("Star")", "symbols: expected an array, found string"},
        BadList{"not_a_string", R"(["Star", 3])", "symbols[1]: expected a string, found number"},
        BadList{"empty_name", R"([""])", "symbols[0]: a symbol needs a name"},
        BadList{"twice", R"(["Star", "Moon", "Star"])", "symbols[2]: a second symbol named \"Star\""}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace host::model

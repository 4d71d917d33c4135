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
    const Result<SymbolId> star = document.editSymbols().add("Star");
    const Result<SymbolId> arrow = document.editSymbols().add("Pfeil \xE2\x86\x92");
    ASSERT_TRUE(star && arrow);
    ASSERT_EQ(document.symbols().size(), 2u);
    EXPECT_EQ(document.symbols()[0].name, "Star");
    EXPECT_EQ(document.symbols()[1].id, *arrow);
    EXPECT_EQ(document.symbols().find(*star)->name, "Star");
    EXPECT_EQ(document.symbols().byName("Pfeil \xE2\x86\x92"), *arrow);
    EXPECT_FALSE(document.symbols().byName("star"));
}

struct BadName {
    const char* label;
    std::string name;
};

class RefusedSymbolNames : public ::testing::TestWithParam<BadName> {};

TEST_P(RefusedSymbolNames, LeaveTheListAlone) {
    Document document;
    ASSERT_TRUE(document.editSymbols().add("Star"));
    EXPECT_EQ(document.editSymbols().add(GetParam().name).status(), Status::badParameter);
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
    const SymbolId star = *first.editSymbols().add("Star");
    Document second;
    const SymbolId other = *second.editSymbols().add("Star");
    EXPECT_NE(star, other);
    EXPECT_EQ(second.symbols().find(star), nullptr);
    EXPECT_EQ(first.symbols().find(SymbolId{}), nullptr);
    // A copy names the same symbols; copies compare equal until one changes.
    Document copy = first;
    EXPECT_EQ(copy.symbols().find(star)->name, "Star");
    EXPECT_TRUE(copy == first);
    ASSERT_TRUE(copy.editSymbols().add("Moon"));
    EXPECT_FALSE(copy == first);
}

TEST(Symbols, AreSavedAndOpenedByName) {
    Document document;
    ASSERT_TRUE(document.editSymbols().add("Star"));
    ASSERT_TRUE(document.editSymbols().add("Arrow"));
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
        BadList{"not_a_string", R"(["Star", 3])", "symbols[1]: expected a string or an object, found number"},
        BadList{"no_name", R"([{"art": {"type": "group"}}])", "symbols[0]: the key \"name\" is missing"},
        BadList{"empty_name", R"([""])", "symbols[0]: a symbol needs a name"},
        BadList{"twice", R"(["Star", "Moon", "Star"])", "symbols[2]: a second symbol named \"Star\""}),
    [](const auto& info) { return std::string(info.param.label); });

// A document with a 20 x 10 rectangle "Box" at (100, 200) made into the symbol "Box", an instance of
// it, and a path whose stroke names it as an arrowhead.
struct SymbolDocument {
    Document document;
    SymbolId box;
    ArtId instance;
    ArtId arrow;

    SymbolDocument() {
        const ArtId rectangle =
            testing::addRectangle(document, "Box", Rect(100, 210, 120, 200), PaintOrder::aboveAll);
        box = *document.editSymbols().add("Box", *document.copyOf(rectangle));
        document.dispose(rectangle);
        instance = *document.editSymbolUses().newInstance(box, {0, 0}, PaintOrder::aboveAll, ArtId{});
        arrow = testing::addArt(document, ArtType::path, "Arrow", PaintOrder::aboveAll);
        ArtStyle style = ArtStyle::basic(std::nullopt, Color::rgb(0, 0, 0), 1);
        style.paintFields.back().strokePaint()->parameters.setString("ArrowheadEnd", "Box");
        document.setStyle(arrow, style);
    }
};

TEST(Symbols, InstancesTakeTheFrameOfTheArtworkCentredOnTheirLocation) {
    SymbolDocument made;
    EXPECT_EQ(made.document.symbols().find(made.box)->frame, Rect(100, 210, 120, 200));
    EXPECT_EQ(*made.document.bounds(made.instance, BoundsKind::geometric), Rect(-10, 5, 10, -5));
    EXPECT_EQ(made.document.name(made.instance)->text, "Box");
    EXPECT_EQ(made.document.editSymbolUses()
                  .newInstance(SymbolId{}, {0, 0}, PaintOrder::aboveAll, ArtId{})
                  .status(),
              Status::invalidHandle);
}

TEST(Symbols, ArtworkIsSavedAndOpenedWithItsSymbol) {
    SymbolDocument made;
    ASSERT_TRUE(made.document.editSymbols().add("Empty"));
    const WriteResult written = writeDocument(made.document);
    ASSERT_TRUE(written.text) << written.error;
    const ReadResult read = readDocument(*written.text);
    ASSERT_TRUE(read.document) << read.error;
    const Symbol& box = read.document->symbols()[0];
    EXPECT_EQ(box.frame, Rect(100, 210, 120, 200));
    EXPECT_EQ(box.definition->data.type(), ArtType::path);
    EXPECT_EQ(*read.document->symbols()[1].definition, ArtTree{});
    EXPECT_NE(written.text->find("\"Empty\""), std::string::npos);
    EXPECT_EQ(writeDocument(*read.document).text, written.text);
}

struct UseCase {
    const char* label;
    unsigned where;
    bool used;
};

class SymbolUses : public ::testing::TestWithParam<UseCase> {};

// Only the arrowhead names "Box" once its instance is gone; "Inner" is used only inside "Outer".
TEST_P(SymbolUses, AreFoundWhereAsked) {
    SymbolDocument made;
    made.document.dispose(made.instance);
    const SymbolId inner = *made.document.editSymbols().add("Inner");
    const ArtId nested =
        *made.document.editSymbolUses().newInstance(inner, {0, 0}, PaintOrder::aboveAll, ArtId{});
    ASSERT_TRUE(made.document.editSymbols().add("Outer", *made.document.copyOf(nested)));
    made.document.dispose(nested);
    const std::vector<SymbolId> used = made.document.symbolUses().used(GetParam().where);
    EXPECT_EQ(std::count(used.begin(), used.end(), made.box) == 1, GetParam().used);
    EXPECT_EQ(std::count(used.begin(), used.end(), inner) == 1,
              (GetParam().where & symbolUse::definitions) != 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, SymbolUses,
                         ::testing::Values(UseCase{"artwork", symbolUse::artwork, false},
                                           UseCase{"art_styles", symbolUse::artStyles, true},
                                           UseCase{"definitions", symbolUse::definitions, false},
                                           UseCase{"everywhere", 0x4F, true}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Symbols, OnlyUnusedOnesCanBeDeletedAndUndoBringsThemBack) {
    SymbolDocument made;
    made.document.takeChanges();
    EXPECT_EQ(made.document.editSymbolUses().remove(made.box), Status::notAllowed);
    made.document.dispose(made.instance);
    EXPECT_EQ(made.document.editSymbolUses().remove(made.box), Status::notAllowed);  // the arrowhead
    made.document.dispose(made.arrow);
    EXPECT_EQ(made.document.editSymbolUses().remove(made.box), Status::ok);
    EXPECT_TRUE(made.document.symbols().empty());
    EXPECT_EQ(made.document.editSymbolUses().remove(made.box), Status::invalidHandle);
    ChangeLog changes = made.document.takeChanges();
    made.document.applyChanges(changes);
    EXPECT_EQ(made.document.symbols().find(made.box)->name, "Box");
}

// Deleting symbols one after another keeps what it learnt of their uses between deletions: after any
// other change, undo or a restored snapshot, a deletion must still answer as a fresh look at the whole
// document would. "Inner" is used only inside "Outer"; "Spare" is deleted
// first, so that what the deletion learnt is there when the change comes.
struct Removals {
    SymbolDocument made;
    ChangeLog log;  // changes a case takes before "Spare" goes
    Document snapshot;

    Document& document() { return made.document; }
    SymbolId named(const char* name) const { return made.document.symbols().byName(name); }
    void disposeBoxUses() {
        made.document.dispose(made.instance);
        made.document.dispose(made.arrow);
    }
    // A symbol named `holder` whose artwork is an instance of `symbol`.
    void addHolder(const char* holder, const char* symbol) {
        const ArtId nested =
            *document().editSymbolUses().newInstance(named(symbol), {0, 0}, PaintOrder::aboveAll, ArtId{});
        ASSERT_TRUE(document().editSymbols().add(holder, *document().copyOf(nested)));
        document().dispose(nested);
    }
    Document& removeFirst(const char* symbol) {
        EXPECT_EQ(document().editSymbolUses().remove(named(symbol)), Status::ok);
        return document();
    }
};

// A black stroke whose start arrowhead is the symbol: in the parameters' "BeautifulStrokeParams",
// where the beautiful-strokes suite keeps it, or (not nested) directly in the parameters.
ArtStyle arrowheadStyle(const char* symbol, bool nested = false) {
    ArtStyle style = ArtStyle::basic(std::nullopt, Color::rgb(0, 0, 0), 1);
    Dictionary arrowheads;
    arrowheads.setString("ArrowheadStart", symbol);
    Dictionary& parameters = style.paintFields.back().strokePaint()->parameters;
    if (nested) {
        parameters.setDictionary("BeautifulStrokeParams", arrowheads);
    } else {
        parameters = arrowheads;
    }
    return style;
}

struct RemovalCase {
    const char* label;
    void (*before)(Removals&);      // before "Spare" is deleted; may be null
    Document& (*after)(Removals&);  // the change, answering the document to delete from
    const char* symbol;
    Status expected;
};

void PrintTo(const RemovalCase& c, std::ostream* out) {
    *out << c.label;
}

class SymbolRemovals : public ::testing::TestWithParam<RemovalCase> {};

TEST_P(SymbolRemovals, AnswerAsAFreshLookWould) {
    const RemovalCase& c = GetParam();
    Removals r;
    ASSERT_TRUE(r.document().editSymbols().add("Inner"));
    r.addHolder("Outer", "Inner");
    const SymbolId spare = *r.document().editSymbols().add("Spare");
    r.document().takeChanges();
    if (c.before != nullptr) {
        c.before(r);
    }
    ASSERT_EQ(r.document().editSymbolUses().remove(spare), Status::ok);
    Document& document = c.after(r);
    const SymbolId symbol = document.symbols().byName(c.symbol);
    const std::vector<SymbolId> used = document.symbolUses().used(0x4F);
    EXPECT_EQ(std::count(used.begin(), used.end(), symbol) == 0, c.expected == Status::ok);
    EXPECT_EQ(document.editSymbolUses().remove(symbol), c.expected);
}

void disposeBoxUses(Removals& r) {
    r.disposeBoxUses();
}

const RemovalCase kRemovalCases[] = {
    {"DisposingEveryUseFreesIt", nullptr,
     [](Removals& r) -> Document& {
         r.disposeBoxUses();
         return r.document();
     },
     "Box", Status::ok},
    {"UndoBringsTheUsesBack",
     [](Removals& r) {
         r.disposeBoxUses();
         r.log = r.document().takeChanges();
     },
     [](Removals& r) -> Document& {
         ChangeLog removal = r.document().takeChanges();
         r.document().applyChanges(removal);  // "Spare" comes back
         r.document().applyChanges(r.log);    // so do the instance and the arrow
         return r.document();
     },
     "Box", Status::notAllowed},
    {"RestoringASnapshotBringsThemBack",
     [](Removals& r) {
         r.snapshot = r.document();
         r.disposeBoxUses();
     },
     [](Removals& r) -> Document& {
         r.document().restore(r.snapshot);
         return r.document();
     },
     "Box", Status::notAllowed},
    {"ANewArrowheadWhereTheStrokeSuiteKeepsIt", disposeBoxUses,
     [](Removals& r) -> Document& {
         const ArtId path = testing::addArt(r.document(), ArtType::path, "Line", PaintOrder::aboveAll);
         r.document().setStyle(path, arrowheadStyle("Box", true));
         return r.document();
     },
     "Box", Status::notAllowed},
    {"AGraphicStyleArrowhead", disposeBoxUses,
     [](Removals& r) -> Document& {
         EXPECT_TRUE(r.document().editColors().addGraphicStyle("Arrowed", arrowheadStyle("Box"), false));
         return r.document();
     },
     "Box", Status::notAllowed},
    {"AnotherSymbolsArtwork", disposeBoxUses,
     [](Removals& r) -> Document& {
         r.addHolder("Crate", "Box");
         return r.document();
     },
     "Box", Status::notAllowed},
    {"FreedWhenItsHolderGoes", nullptr, [](Removals& r) -> Document& { return r.removeFirst("Outer"); },
     "Inner", Status::ok},
    {"HeldWhileASecondHolderStays", [](Removals& r) { r.addHolder("Second", "Inner"); },
     [](Removals& r) -> Document& { return r.removeFirst("Outer"); }, "Inner", Status::notAllowed},
    {"AHolderOfItselfOnly",
     [](Removals& r) {
         ASSERT_TRUE(r.document().editSymbols().add("Solo"));
         r.addHolder("Self", "Solo");
     },
     [](Removals& r) -> Document& {
         // "Self" takes the name its own instance shows.
         r.document().editSymbols().setName(r.named("Solo"), "Gone");
         r.document().editSymbols().setName(r.named("Self"), "Solo");
         return r.document();
     },
     "Solo", Status::ok},
};

INSTANTIATE_TEST_SUITE_P(Cases, SymbolRemovals, ::testing::ValuesIn(kRemovalCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(Symbols, ARenameReachesInstancesArrowheadsAndOtherArtwork) {
    SymbolDocument made;
    ASSERT_TRUE(made.document.editSymbols().add("Holder", *made.document.copyOf(made.instance)));
    ASSERT_TRUE(made.document.editSymbols().add("Taken"));
    EXPECT_EQ(made.document.editSymbolUses().rename(made.box, "Taken"), Status::badParameter);
    EXPECT_EQ(made.document.editSymbolUses().rename(made.box, ""), Status::badParameter);
    ASSERT_EQ(made.document.editSymbolUses().rename(made.box, "Crate"), Status::ok);
    EXPECT_EQ(made.document.contentAs<SymbolContent>(made.instance)->symbol, "Crate");
    const ArtStyle style = *made.document.style(made.arrow);
    EXPECT_EQ(style.paintFields.back().strokePaint()->parameters.string("ArrowheadEnd").valueOr(""), "Crate");
    const ArtTree& holder =
        *made.document.symbols().find(made.document.symbols().byName("Holder"))->definition;
    EXPECT_EQ(std::get<SymbolContent>(holder.data.content).symbol, "Crate");
}

TEST(Symbols, ARenameReachesArrowheadsWhereTheStrokeSuiteKeepsThem) {
    SymbolDocument made;
    made.document.setStyle(made.arrow, arrowheadStyle("Box", true));
    made.document.editColors().addGraphicStyle("Arrowed", arrowheadStyle("Box", true), false);
    ASSERT_EQ(made.document.editSymbolUses().rename(made.box, "Crate"), Status::ok);
    for (const ArtStyle& style :
         {*made.document.style(made.arrow), made.document.colors().graphicStyleByName("Arrowed")->style}) {
        const Dictionary* nested =
            style.paintFields.back().strokePaint()->parameters.dictionary("BeautifulStrokeParams");
        ASSERT_NE(nested, nullptr);
        EXPECT_EQ(nested->string("ArrowheadStart").valueOr(""), "Crate");
    }
}

TEST(Symbols, ImportBringsTheArtworkAndWhatItUsesOnce) {
    SymbolDocument library;
    const SymbolId holder =
        *library.document.editSymbols().add("Holder", *library.document.copyOf(library.instance));
    Document target;
    const Result<SymbolId> imported = target.editSymbolUses().import(library.document, holder);
    ASSERT_TRUE(imported);
    ASSERT_EQ(target.symbols().size(), 2u);
    EXPECT_EQ(target.symbols()[0].name, "Box");
    EXPECT_EQ(target.symbols().find(*imported)->name, "Holder");
    EXPECT_EQ(target.symbols().find(*imported)->frame, Rect(-10, 5, 10, -5));
    EXPECT_EQ(*target.editSymbolUses().import(library.document, holder), *imported);
    EXPECT_EQ(target.symbols().size(), 2u);
    EXPECT_EQ(target.editSymbolUses().import(target, SymbolId{}).status(), Status::invalidHandle);
}

}  // namespace
}  // namespace host::model

// The text engine through its suites and the classes over them: layout fits computed from DejaVu
// Sans Mono's metrics (every advance 1233 units of 2048; ascender 1901, descender 483), live ranges,
// threads and overset, refusals, and stories and styles kept by undo and the document format.
#include <cmath>
#include <functional>
#include <iomanip>
#include <limits>

#include "AIATETextUtil.h"
#include "AIDocument.h"
#include "AIFont.h"
#include "AITextFrame.h"
#include "AITransformArt.h"
#include "HostFixture.h"
#include "HostState.h"
#include "IText.h"
#include "model/DocumentFormat.h"

extern "C" {
ATETextRangeSuite* sTextRange = nullptr;
ATEStorySuite* sStory = nullptr;
ATETextFrameSuite* sTextFrame = nullptr;
ATETextFramesIteratorSuite* sTextFramesIterator = nullptr;
ATETextLineSuite* sTextLine = nullptr;
ATETextLinesIteratorSuite* sTextLinesIterator = nullptr;
ATEParagraphSuite* sParagraph = nullptr;
ATEParagraphsIteratorSuite* sParagraphsIterator = nullptr;
ATECharFeaturesSuite* sCharFeatures = nullptr;
ATEParaFeaturesSuite* sParaFeatures = nullptr;
ATECharStyleSuite* sCharStyle = nullptr;
ATEParaStyleSuite* sParaStyle = nullptr;
ATECharStylesSuite* sCharStyles = nullptr;
ATEParaStylesSuite* sParaStyles = nullptr;
ATECharStylesIteratorSuite* sCharStylesIterator = nullptr;
ATEParaStylesIteratorSuite* sParaStylesIterator = nullptr;
ATEDocumentTextResourcesSuite* sDocumentTextResources = nullptr;
ATEFontSuite* sFont = nullptr;
ATEApplicationPaintSuite* sApplicationPaint = nullptr;
}

namespace {

using hosttest::Acquire;

constexpr double kSize = 10.0;
constexpr double kAdvance = 1233.0 * kSize / 2048.0;
constexpr double kAscent = 1901.0 * kSize / 2048.0;
constexpr double kDescent = 483.0 * kSize / 2048.0;
constexpr double kLeading = 1.2 * kSize;

// Two area frames "A" and "B" (the second threaded after the first when asked) and a point frame.
std::string Document(double width, double height, bool threaded, const std::string& text) {
    const auto number = [](double value) {
        std::ostringstream text;
        text << std::setprecision(17) << value;
        return text.str();
    };
    const std::string frame = number(height) + ", " + number(width);
    return R"({"format": "plimhost-document", "version": 1, "layers": [{"type": "layer", "title": "L",
      "children": [
        {"type": "textFrame", "name": "A", "kind": "area", "uuid": "00000000-0000-4000-8000-00000000000a",
         "frame": [0, )" +
           frame + R"(, 0], "text": ")" + text + R"(")" +
           (threaded ? R"(, "thread": ["00000000-0000-4000-8000-00000000000b"])" : "") + R"(},
        {"type": "textFrame", "name": "B", "kind": "area", "uuid": "00000000-0000-4000-8000-00000000000b",
         "frame": [0, )" +
           frame + R"(, 0])" + (threaded ? R"(, "threadHead": "00000000-0000-4000-8000-00000000000a")" : "") +
           R"(}]}]})";
}

template <typename Suite>
void Take(const SPBasicSuite& basic, Suite*& pointer, const char* word, ASInt32 version) {
    pointer =
        const_cast<Suite*>(Acquire<Suite>(basic, (std::string("ATE ") + word + " Suite").c_str(), version));
    ASSERT_NE(pointer, nullptr) << word;
}

class TextEngine : public hosttest::HostTest {
protected:
    void SetUp() override {
        const SPBasicSuite& basic = app->BasicSuite();
        Take(basic, sTextRange, "TextRange", 2);
        Take(basic, sStory, "Story", 1);
        Take(basic, sTextFrame, "TextFrame", 101);
        Take(basic, sTextFramesIterator, "TextFramesIterator", 1);
        Take(basic, sTextLine, "TextLine", 2);
        Take(basic, sTextLinesIterator, "TextLinesIterator", 1);
        Take(basic, sParagraph, "Paragraph", 1);
        Take(basic, sParagraphsIterator, "ParagraphsIterator", 1);
        Take(basic, sCharFeatures, "CharFeatures", 102);
        Take(basic, sParaFeatures, "ParaFeatures", 102);
        Take(basic, sCharStyle, "CharStyle", 1);
        Take(basic, sParaStyle, "ParaStyle", 1);
        Take(basic, sCharStyles, "CharStyles", 1);
        Take(basic, sParaStyles, "ParaStyles", 1);
        Take(basic, sCharStylesIterator, "CharStylesIterator", 1);
        Take(basic, sParaStylesIterator, "ParaStylesIterator", 1);
        Take(basic, sDocumentTextResources, "DocumentTextResources", 102);
        Take(basic, sFont, "Font", 1);
        Take(basic, sApplicationPaint, "ApplicationPaint", 1);
        frames = Acquire<AITextFrameSuite>(basic, kAITextFrameSuite, kAITextFrameSuiteVersion);
        fonts = Acquire<AIFontSuite>(basic, kAIFontSuite, kAIFontSuiteVersion);
        util = Acquire<AITextUtilSuite>(basic, kAITextUtilSuite, kAITextUtilSuiteVersion);
        documents = Acquire<AIDocumentSuite>(basic, kAIDocumentSuite, kAIDocumentSuiteVersion);
        ASSERT_TRUE(frames && fonts && util && documents);
    }

    // Every object the engine handed out was given back.
    void TearDown() override { EXPECT_EQ(host::CurrentState()->textEngine.objects.Size(), 0u); }

    void Open(const std::string& text) {
        host::model::ReadResult read = host::model::readDocument(text, 5);
        ASSERT_TRUE(read.document) << read.error;
        app->SetDocument(std::make_unique<host::Document>(std::move(*read.document)));
    }

    AIArtHandle Art(std::string_view name) {
        for (const host::model::ArtId id : app->CurrentDocument()->documentOrder()) {
            if (app->CurrentDocument()->name(id)->text == name) {
                return reinterpret_cast<AIArtHandle>(static_cast<std::uintptr_t>(id.value));
            }
        }
        return nullptr;
    }

    ATE::ITextFrame Frame(std::string_view name) {
        TextFrameRef frame = nullptr;
        EXPECT_EQ(frames->GetATETextFrame(Art(name), &frame), kNoErr);
        return ATE::ITextFrame(frame);
    }

    // The whole story set in DejaVu Sans Mono at 10 points.
    ATE::ITextRange MonoStory(std::string_view name) {
        ATE::ITextRange story = Frame(name).GetStory().GetTextRange();
        ai::int32 count = 0;
        EXPECT_EQ(fonts->CountFonts(&count), kNoErr);
        for (ai::int32 index = 0; index < count; ++index) {
            AIFontKey key = nullptr;
            char postScript[256] = {};
            EXPECT_EQ(fonts->IndexFontList(index, &key), kNoErr);
            EXPECT_EQ(fonts->GetPostScriptFontName(key, postScript, sizeof postScript), kNoErr);
            if (std::string_view(postScript) == "DejaVuSansMono") {
                FontRef font = nullptr;
                EXPECT_EQ(fonts->FontFromFontKey(key, &font), kNoErr);
                ATE::ICharFeatures features;
                features.SetFont(ATE::IFont(font));
                features.SetFontSize(kSize);
                story.SetLocalCharFeatures(features);
            }
        }
        return story;
    }

    std::u16string Contents(const ATE::ITextRange& range) {
        std::u16string text(static_cast<std::size_t>(range.GetSize()), u' ');
        range.GetContents(reinterpret_cast<ASUnicode*>(text.data()), range.GetSize());
        return text;
    }

    std::vector<std::u16string> Lines(std::string_view name) {
        std::vector<std::u16string> lines;
        for (ATE::ITextLinesIterator it = Frame(name).GetTextLinesIterator(); it.IsNotDone(); it.Next()) {
            lines.push_back(Contents(it.Item().GetTextRange()));
        }
        return lines;
    }

    // The bounds answer for the story's last unit: kNoErr laid out, 'INVB' overset.
    AIErr LastUnitBounds(const ATE::ITextRange& story) {
        ATE::ITextRange last = story.Clone();
        last.SetRange(story.GetEnd() - 1, story.GetEnd());
        AIRealRect bounds;
        return util->GetBoundsFromTextRange(last.GetRef(), &bounds);
    }

    const AITextFrameSuite* frames = nullptr;
    const AIFontSuite* fonts = nullptr;
    const AITextUtilSuite* util = nullptr;
    const AIDocumentSuite* documents = nullptr;
};

struct LayoutCase {
    const char* name;
    double width;
    double indent;
    const char* text;
    std::vector<std::u16string> lines;
};

class Layout : public TextEngine, public testing::WithParamInterface<LayoutCase> {};

TEST_P(Layout, WrapsAsTheMonospacedAdvancesSay) {
    Open(Document(GetParam().width, 200, false, GetParam().text));
    ATE::ITextRange story = MonoStory("A");
    if (GetParam().indent != 0) {
        ATE::IParaFeatures indent;
        indent.SetFirstLineIndent(GetParam().indent);
        story.SetLocalParaFeatures(indent);
    }
    EXPECT_EQ(Lines("A"), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Layout,
    testing::Values(
        LayoutCase{"SpacesHangAtTheBreak", 60, 0, "aaaa bbbb cccc", {u"aaaa bbbb ", u"cccc"}},
        LayoutCase{"ALongWordBreaksWhereItStopsFitting", 30, 0, "abcdefghij", {u"abcd", u"efgh", u"ij"}},
        LayoutCase{"ExactlyFullLinesFit", 4 * kAdvance, 0, "abcdefgh", {u"abcd", u"efgh"}},
        LayoutCase{"ParagraphsStartNewLines", 100, 0, "ab\\rcd", {u"ab\r", u"cd"}},
        LayoutCase{
            "TheFirstLineStartsAtItsIndent", 5 * kAdvance, 2 * kAdvance, "abcdefg", {u"abc", u"defg"}}),
    [](const testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

TEST_F(TextEngine, ALineFitsWhenItsBaselinePlusDescentIsWithinTheFrame) {
    const double twoLines = kAscent + kLeading + kDescent;
    for (const auto& [height, overset] : {std::pair{twoLines, false}, std::pair{twoLines - 1e-6, true}}) {
        Open(Document(60, height, false, "aaaa bbbb cccc"));
        ATE::ITextRange story = MonoStory("A");
        EXPECT_EQ(LastUnitBounds(story), overset ? kInvalidBoundsErr : kNoErr) << height;
        EXPECT_EQ(Frame("A").GetTextRange(false).GetEnd(), overset ? 10 : 14) << height;
    }
}

TEST_F(TextEngine, BoundsOfALaidOutUnitComeFromItsAdvanceAndLine) {
    Open(Document(60, 100, false, "ab"));
    ATE::ITextRange story = MonoStory("A");
    ATE::ITextRange second = story.Clone();
    second.SetRange(1, 2);
    AIRealRect bounds;
    ASSERT_EQ(util->GetBoundsFromTextRange(second.GetRef(), &bounds), kNoErr);
    EXPECT_DOUBLE_EQ(bounds.left, kAdvance);
    EXPECT_DOUBLE_EQ(bounds.right, 2 * kAdvance);
    EXPECT_DOUBLE_EQ(bounds.top, 100.0);
    EXPECT_DOUBLE_EQ(bounds.bottom, 100.0 - kAscent - kDescent);
}

TEST_F(TextEngine, LiveRangesFollowInsertionsAndRemovals) {
    Open(Document(100, 100, false, "0123456789"));
    ATE::ITextRange story = Frame("A").GetStory().GetTextRange();
    ATE::ITextRange before = story.GetStory().GetTextRange(2, 5);
    ATE::ITextRange empty = story.GetStory().GetTextRange(5, 5);
    ATE::ITextRange after = story.GetStory().GetTextRange(6, 8);
    const auto spans = [&] {
        return std::vector<std::pair<int, int>>{{before.GetStart(), before.GetEnd()},
                                                {empty.GetStart(), empty.GetEnd()},
                                                {after.GetStart(), after.GetEnd()}};
    };
    empty.InsertAfter(reinterpret_cast<const ASUnicode*>(u"XY"), 2);
    EXPECT_EQ(spans(), (std::vector<std::pair<int, int>>{{2, 7}, {5, 7}, {8, 10}}));
    EXPECT_EQ(Contents(story), u"01234XY56789");
    ATE::ITextRange cut = story.GetStory().GetTextRange(4, 7);
    cut.Remove();
    EXPECT_EQ(spans(), (std::vector<std::pair<int, int>>{{2, 4}, {4, 4}, {5, 7}}));
    EXPECT_EQ(Contents(story), u"012356789");
}

TEST_F(TextEngine, InsertedTextTakesTheFeaturesOfTheUnitBefore) {
    Open(Document(100, 100, false, "ab\\rcd"));
    ATE::ITextRange story = Frame("A").GetStory().GetTextRange();
    ATE::ITextRange b = story.GetStory().GetTextRange(1, 2);
    ATE::ICharFeatures big;
    big.SetFontSize(30);
    b.SetLocalCharFeatures(big);
    ATE::IParaFeatures centred;
    centred.SetJustification(2);
    b.SetLocalParaFeatures(centred);
    b.InsertAfter(reinterpret_cast<const ASUnicode*>(u"x\ry"), 3);
    bool assigned = false;
    ATE::ITextRange inserted = story.GetStory().GetTextRange(2, 5);
    EXPECT_EQ(inserted.GetUniqueCharFeatures().GetFontSize(&assigned), 30);
    EXPECT_TRUE(assigned);
    // The split paragraph's halves both keep its features; the last paragraph kept its own.
    int paragraphs = 0;
    for (ATE::IParagraphsIterator it = story.GetParagraphs(); it.IsNotDone(); it.Next(), ++paragraphs) {
        const ASInt32 justification =
            it.Item().GetTextRange().GetUniqueParaFeatures().GetJustification(&assigned);
        EXPECT_EQ(justification, paragraphs < 2 ? 2 : 0) << paragraphs;
    }
    EXPECT_EQ(paragraphs, 3);
}

TEST_F(TextEngine, ThreadsFlowTheStoryOnAndOversetIsWhatNoFrameTakes) {
    Open(Document(60, 15, true, "aaaa bbbb cccc dddd"));
    ATE::ITextRange story = MonoStory("A");
    EXPECT_EQ(Lines("A"), std::vector<std::u16string>{u"aaaa bbbb "});
    EXPECT_EQ(Lines("B"), std::vector<std::u16string>{u"cccc dddd"});
    EXPECT_EQ(story.GetStory().GetFrameCount(), 2);
    EXPECT_EQ(LastUnitBounds(story), kNoErr);
    story.InsertAfter(reinterpret_cast<const ASUnicode*>(u" eeee"), 5);
    EXPECT_EQ(LastUnitBounds(story), kInvalidBoundsErr);
    EXPECT_EQ(Frame("B").GetTextRange(true).GetEnd(), 24) << "the last frame holds the overset text";

    // A copy of the second frame alone is an unthreaded copy of the whole story.
    host::Document& document = *app->CurrentDocument();
    const host::model::ArtId second{reinterpret_cast<std::uintptr_t>(Art("B"))};
    const auto copy = document.duplicate(second, host::model::PaintOrder::above, second);
    ASSERT_TRUE(copy);
    EXPECT_EQ(document.story(*copy)->size(), 24u);
    EXPECT_EQ(document.thread(*copy)->size(), 1u);
}

TEST_F(TextEngine, RefusesValuesOutsideTheirRules) {
    Open(Document(100, 100, false, "ab"));
    ATE::ITextRange story = Frame("A").GetStory().GetTextRange();
    ATE::ICharFeatures features;
    const CharFeaturesRef ref = features.GetRef();
    EXPECT_EQ(sCharFeatures->SetFontSize(ref, 0), kBadParameterErr);
    EXPECT_EQ(sCharFeatures->SetFontSize(ref, std::numeric_limits<double>::quiet_NaN()), kBadParameterErr);
    EXPECT_EQ(sCharFeatures->SetLeading(ref, -1), kBadParameterErr);
    EXPECT_EQ(sCharFeatures->SetHorizontalScale(ref, 0), kBadParameterErr);
    EXPECT_EQ(sCharFeatures->SetLanguage(ref, 63), kBadParameterErr);
    EXPECT_EQ(sCharFeatures->SetFontBaselineOption(ref, 3), kBadParameterErr);
    EXPECT_EQ(sTextRange->SetNamedCharStyle(story.GetRef(), reinterpret_cast<const ASUnicode*>(u"Nope")),
              kBadParameterErr);
    bool assigned = true;
    features.GetFontSize(&assigned);
    EXPECT_FALSE(assigned) << "a refused value leaves the feature unassigned";
    EXPECT_THROW(story.SetNamedParaStyle(reinterpret_cast<const ASUnicode*>(u"Nope")), ATE::Exception);
}

TEST_F(TextEngine, StylesResolveUnderLocalFeaturesAndTheDocumentKeepsThem) {
    Open(Document(100, 100, false, "abcd"));
    DocumentTextResourcesRef resourcesRef = nullptr;
    ASSERT_EQ(documents->GetDocumentTextResources(&resourcesRef), kNoErr);
    ATE::IDocumentTextResources resources(resourcesRef);
    ATE::ICharFeatures emphasis;
    emphasis.SetFontSize(20);
    emphasis.SetTracking(50);
    const auto* name = reinterpret_cast<const ASUnicode*>(u"Emphasis");
    resources.CreateCharStyleWithFeatures(name, emphasis);
    EXPECT_FALSE(resources.GetCharStyle(name).IsNull());
    EXPECT_TRUE(resources.GetCharStyle(reinterpret_cast<const ASUnicode*>(u"Other")).IsNull());

    ATE::ITextRange story = Frame("A").GetStory().GetTextRange();
    ATE::ITextRange first = story.GetStory().GetTextRange(0, 2);
    first.SetNamedCharStyle(name);
    ATE::ICharFeatures local;
    local.SetFontSize(8);
    story.GetStory().GetTextRange(0, 1).SetLocalCharFeatures(local);

    bool assigned = false;
    EXPECT_EQ(story.GetStory().GetTextRange(0, 1).GetUniqueCharFeatures().GetFontSize(&assigned), 8);
    EXPECT_EQ(story.GetStory().GetTextRange(1, 2).GetUniqueCharFeatures().GetFontSize(&assigned), 20);
    EXPECT_EQ(story.GetStory().GetTextRange(3, 4).GetUniqueCharFeatures().GetFontSize(&assigned), 12);
    EXPECT_EQ(first.GetUniqueCharFeatures().GetTracking(&assigned), 50);
    EXPECT_TRUE(assigned) << "the whole range shares the style's tracking";
    first.GetUniqueCharFeatures().GetFontSize(&assigned);
    EXPECT_FALSE(assigned) << "sizes differ over the range";
    ATE::ICharStyles styles = story.GetNamedCharStyles();
    EXPECT_EQ(styles.GetSize(), 2) << "Emphasis, then the normal style";

    // Undo puts the story and styles of an earlier state back, and the format keeps them.
    host::Document& document = *app->CurrentDocument();
    const host::Document before = document;
    story.InsertAfter(reinterpret_cast<const ASUnicode*>(u"!"), 1);
    document.restore(before);
    EXPECT_EQ(Contents(story), u"abcd");
    const host::model::WriteResult written = host::model::writeDocument(document);
    ASSERT_TRUE(written.text) << written.error;
    const host::model::ReadResult read = host::model::readDocument(*written.text, 5);
    ASSERT_TRUE(read.document) << read.error;
    EXPECT_TRUE(read.document->contents().textStyles == document.contents().textStyles);
    const std::string_view uuid = "00000000-0000-4000-8000-00000000000a";
    EXPECT_EQ(*read.document->story(read.document->artByUuid(uuid)),
              *document.story(document.artByUuid(uuid)));
    EXPECT_EQ(host::model::writeDocument(*read.document).text, written.text);
}

// A frame's path object is measured and transformed like path art: the frame's shape changes, its
// text keeps its size and flows into the new shape, undo takes it back, and a stale or wrong handle
// is refused.
TEST_F(TextEngine, APathObjectShapesItsFrameWithoutScalingTheText) {
    Open(Document(60, 15, false, "aaaa bbbb cccc"));
    ATE::ITextRange story = MonoStory("A");
    const SPBasicSuite& basic = app->BasicSuite();
    const auto* arts = Acquire<AIArtSuite>(basic, kAIArtSuite, kAIArtSuiteVersion);
    const auto* transforms =
        Acquire<AITransformArtSuite>(basic, kAITransformArtSuite, kAITransformArtSuiteVersion);
    ASSERT_TRUE(arts && transforms);
    AIArtHandle path = nullptr;
    ASSERT_EQ(frames->GetPathObject(Art("A"), &path), kNoErr);
    ai::int16 type = 0;
    EXPECT_EQ(arts->GetArtType(path, &type), kNoErr);
    EXPECT_EQ(type, kPathArt);
    EXPECT_TRUE(arts->ValidArt(path, true));
    AIRealRect bounds{};
    const auto boundsOf = [&](AIArtHandle art) {
        EXPECT_EQ(arts->GetArtBounds(art, &bounds), kNoErr);
        return std::vector<double>{bounds.left, bounds.top, bounds.right, bounds.bottom};
    };
    EXPECT_EQ(boundsOf(path), (std::vector<double>{0, 15, 60, 0}));
    EXPECT_EQ(LastUnitBounds(story), kInvalidBoundsErr);

    // Twice as tall about the top left corner: the text now fits, at its own size.
    host::Document& document = *app->CurrentDocument();
    const host::Document before = document;
    const AIRealMatrix taller{1, 0, 0, 2, 0, -15};
    ASSERT_EQ(transforms->TransformArt(path, &taller, 1, kTransformObjects), kNoErr);
    EXPECT_EQ(boundsOf(path), (std::vector<double>{0, 15, 60, -15}));
    EXPECT_EQ(boundsOf(Art("A")), boundsOf(path));
    EXPECT_EQ(LastUnitBounds(story), kNoErr);
    bool assigned = false;
    EXPECT_EQ(story.GetUniqueCharFeatures().GetFontSize(&assigned), kSize);
    document.restore(before);
    EXPECT_EQ(boundsOf(path), (std::vector<double>{0, 15, 60, 0}));

    // A copy of the path object is a path of the frame's shape; the frame stays.
    AIArtHandle copy = nullptr;
    ASSERT_EQ(arts->DuplicateArt(path, kPlaceAbove, Art("A"), &copy), kNoErr);
    EXPECT_EQ(arts->GetArtType(copy, &type), kNoErr);
    EXPECT_EQ(type, kPathArt);
    EXPECT_EQ(boundsOf(copy), (std::vector<double>{0, 15, 60, 0}));
    EXPECT_EQ(boundsOf(Art("A")), boundsOf(copy));

    // Refusals: a result that is not finite changes nothing; no text frame, point text, the path
    // object itself and a frame that went have no path object.
    const AIRealMatrix huge{1, 0, 0, 1e308, 0, 0};
    EXPECT_EQ(transforms->TransformArt(path, &huge, 1, kTransformObjects), kBadParameterErr);
    EXPECT_EQ(boundsOf(path), (std::vector<double>{0, 15, 60, 0}));
    const host::model::ArtId second{reinterpret_cast<std::uintptr_t>(Art("B"))};
    AIArtHandle refused = path;
    EXPECT_EQ(frames->GetPathObject(path, &refused), kBadParameterErr);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(frames->GetPathObject(Art("A"), nullptr), kBadParameterErr);
    document.editContent<host::model::TextFrameContent>(second)->kind = host::model::TextKind::point;
    EXPECT_EQ(frames->GetPathObject(Art("B"), &refused), kBadParameterErr);
    ASSERT_EQ(document.dispose(host::model::ArtId{reinterpret_cast<std::uintptr_t>(Art("A"))}),
              host::model::Status::ok);
    EXPECT_EQ(arts->GetArtBounds(path, &bounds), kBadParameterErr);
    EXPECT_FALSE(arts->ValidArt(path, true));
    EXPECT_EQ(transforms->TransformArt(path, &taller, 1, kTransformObjects), kBadParameterErr);
    app->CloseDocument();
    EXPECT_EQ(frames->GetPathObject(path, &refused), kNoDocumentErr);
}

// Every change through the text suites is in the journal with its range (or style) as it stood
// before the change and its result; refused changes too.
TEST_F(TextEngine, ChangesAreJournaledWithTheirRangesAndResults) {
    Open(Document(100, 100, false, "abcd"));
    const std::string frame = "00000000-0000-4000-8000-00000000000a";
    ATE::ITextRange story = Frame("A").GetStory().GetTextRange();
    const ATE::ITextRange range = story.GetStory().GetTextRange(1, 3);
    const TextRangeRef middle = range.GetRef();
    ATE::ICharFeatures big;
    big.SetFontSize(20);
    ATE::IParaFeatures centred;
    centred.SetJustification(2);
    DocumentTextResourcesRef resourcesRef = nullptr;
    ASSERT_EQ(documents->GetDocumentTextResources(&resourcesRef), kNoErr);
    ATE::IDocumentTextResources resources(resourcesRef);
    const auto* name = reinterpret_cast<const ASUnicode*>(u"Big");
    const auto* unknown = reinterpret_cast<const ASUnicode*>(u"Nope");
    ATE::ITextFrame textFrame = Frame("A");

    struct Change {
        std::function<ATEErr()> call;
        ATEErr result;
        std::string entry;
    };
    const std::vector<Change> changes{
        {[&] {
             return sTextRange->InsertAfter_AsUnicode(middle, reinterpret_cast<const ASUnicode*>(u"xy"), 2);
         },
         kNoErr, "InsertAfter_AsUnicode(" + frame + ", 1, 3, xy)"},
        {[&] { return sTextRange->InsertBefore_AsUnicode(middle, nullptr, 1); }, kBadParameterErr,
         "InsertBefore_AsUnicode(" + frame + ", 1, 5)"},
        {[&] { return sTextRange->SetLocalCharFeatures(middle, big.GetRef()); }, kNoErr,
         "SetLocalCharFeatures(" + frame + ", 1, 5)"},
        {[&] { return sTextRange->ReplaceOrAddLocalParaFeatures(middle, centred.GetRef()); }, kNoErr,
         "ReplaceOrAddLocalParaFeatures(" + frame + ", 1, 5)"},
        {[&] { return sTextRange->SetLocalParaFeatures(middle, nullptr); }, kBadParameterErr,
         "SetLocalParaFeatures(" + frame + ", 1, 5)"},
        {[&] { return sTextRange->ClearLocalCharFeatures(middle); }, kNoErr,
         "ClearLocalCharFeatures(" + frame + ", 1, 5)"},
        {[&] { return sTextRange->SetNamedParaStyle(middle, unknown); }, kBadParameterErr,
         "SetNamedParaStyle(" + frame + ", 1, 5, Nope)"},
        {[&] { return sTextRange->Remove(middle); }, kNoErr, "Remove(" + frame + ", 1, 5)"},
        {[&] { return sTextRange->Remove(reinterpret_cast<TextRangeRef>(&resources)); }, kBadParameterErr,
         "Remove(invalid)"},
        {[&] { return sTextFrame->SetStoryDirection(textFrame.GetRef(), 1); }, kNoErr,
         "SetStoryDirection(" + frame + ", 1)"},
        {[&] { return sTextFrame->SetStoryDirection(textFrame.GetRef(), 2); }, kBadParameterErr,
         "SetStoryDirection(" + frame + ", 2)"},
        {[&] {
             CharStyleRef style = nullptr;
             const ATEErr error = sDocumentTextResources->CreateCharStyleWithFeatures(resourcesRef, name,
                                                                                      big.GetRef(), &style);
             sCharStyle->Release(style);
             return error;
         },
         kNoErr, "CreateStyleWithFeatures(character, Big)"},
        {[&] {
             ATE::ICharStyle style = resources.GetCharStyle(name);
             return sCharStyle->SetFeatures(style.GetRef(), big.GetRef());
         },
         kNoErr, "SetFeatures(character, Big)"},
    };
    for (const Change& change : changes) {
        app->Journal().Clear();
        EXPECT_EQ(change.call(), change.result) << change.entry;
        const auto entries = app->Journal().Entries();
        ASSERT_EQ(entries.size(), 1u) << change.entry;
        EXPECT_EQ(entries.front().Text(), change.entry);
        EXPECT_EQ(entries.front().result, change.result) << change.entry;
    }
}

TEST_F(TextEngine, PlainFramesSaveTheirTextAsBefore) {
    const std::string text = Document(100, 100, true, "plain");
    Open(text);
    const host::model::WriteResult written = host::model::writeDocument(*app->CurrentDocument());
    ASSERT_TRUE(written.text);
    EXPECT_NE(written.text->find("\"text\": \"plain\""), std::string::npos);
    EXPECT_EQ(written.text->find("\"story\""), std::string::npos);
    EXPECT_EQ(written.text->find("textStyles"), std::string::npos);
    EXPECT_NE(written.text->find("\"threadHead\""), std::string::npos);
}

}  // namespace

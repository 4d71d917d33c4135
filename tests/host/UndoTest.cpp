// Undo: each outermost call into the plug-in is one transaction of the document's changes, with the
// standard and append kinds, tags, counts, undo and redo through the suites and the application.
#include <string>
#include <vector>

#include "AIDocument.h"
#include "AIUndo.h"
#include "HostFixture.h"

namespace {

using host::model::ArtId;

std::string Code(ASErr error) {
    return std::to_string(error);
}

class Undo : public hosttest::ProbeTest {
protected:
    host::Document& Doc() { return *app->CurrentDocument(); }

    // The art named so, in document order; null when none is.
    ArtId Named(const std::string& name) {
        for (const ArtId art : Doc().documentOrder()) {
            if (Doc().name(art)->text == name) {
                return art;
            }
        }
        return ArtId{};
    }

    std::vector<std::string> ArtNames() {
        std::vector<std::string> names;
        for (const ArtId art : Doc().documentOrder()) {
            if (!*Doc().isLayerGroup(art)) {
                names.push_back(Doc().name(art)->text);
            }
        }
        return names;
    }

    std::string Count() { return Script("undoCount"); }
};

using Names = std::vector<std::string>;

// --- Forming transactions -----------------------------------------------------------------------

TEST_F(Undo, ACallThatChangesNothingMakesNoTransaction) {
    Script("echo", "x");
    Script("undoKind", "2");
    EXPECT_EQ(Count(), "0 0");
    EXPECT_EQ(app->PastTransactions(), 0);
    EXPECT_EQ(app->Undo(), kCantHappenErr);
}

TEST_F(Undo, EachStandardCallIsAStepOfItsOwn) {
    ASSERT_EQ(Script("newPath", "A"), "0");
    ASSERT_EQ(Script("newPath", "B"), "0");
    EXPECT_EQ(Count(), "2 0");
    ASSERT_EQ(Script("undo"), "0");
    EXPECT_EQ(ArtNames(), Names{"A"});
    EXPECT_EQ(Count(), "1 1");
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(ArtNames(), Names{});
    EXPECT_EQ(Count(), "0 2");
    ASSERT_EQ(Script("redo"), "0");
    ASSERT_EQ(app->Redo(), kNoErr);
    EXPECT_EQ(ArtNames(), (Names{"B", "A"}));
    EXPECT_EQ(Count(), "2 0");
}

TEST_F(Undo, AllTheChangesOfOneCallAreOneStep) {
    ASSERT_EQ(Script("batch", "newPath A;newPath B;select A;docSet k=v"), "0;0;0;0");
    EXPECT_EQ(Count(), "1 0");
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(ArtNames(), Names{});
    EXPECT_FALSE(Doc().documentDictionary().contains("k"));
}

TEST_F(Undo, DictionariesTagsAndSelectionAreChangesToo) {
    ASSERT_EQ(Script("newPath", "A"), "0");
    ASSERT_EQ(Script("docSet", "k=v"), "0");
    ASSERT_EQ(Script("select", "A"), "0");
    ASSERT_EQ(Script("snapshot", "A"), "0");
    EXPECT_EQ(Count(), "4 0");
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_FALSE(Doc().hasDictionary(Named("A")));
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(*Doc().attributes(Named("A"), host::model::attribute::selected), 0u);
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_FALSE(Doc().documentDictionary().contains("k"));
}

struct KindCase {
    const char* label;
    const char* secondCall;  // a batch after "newPath A"
    const char* count;       // past and future after it
    Names afterOneUndo;
};

class Kinds : public Undo, public testing::WithParamInterface<KindCase> {};

TEST_P(Kinds, TheKindSetDuringTheCallDecidesWhereItsChangesGo) {
    ASSERT_EQ(Script("newPath", "A"), "0");
    Script("batch", GetParam().secondCall);
    EXPECT_EQ(Count(), GetParam().count);
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(ArtNames(), GetParam().afterOneUndo);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Kinds,
    testing::Values(KindCase{"standard_by_default", "newPath B", "2 0", Names{"A"}},
                    KindCase{"standard", "undoKind 0;newPath B", "2 0", Names{"A"}},
                    KindCase{"append_joins_the_newest_step", "undoKind 2;newPath B", "1 0", Names{}},
                    KindCase{"silent_is_taken_as_append", "undoKind 1;newPath B", "1 0", Names{}},
                    KindCase{"the_last_kind_wins", "undoKind 2;newPath B;undoKind 0", "2 0", Names{"A"}},
                    KindCase{"the_kind_may_come_after_the_changes", "newPath B;undoKind 2", "1 0", Names{}}),
    [](const auto& info) { return std::string(info.param.label); });

// Revert marks take back what a call changed after them, and only that: what came before stays
// and is undone with the call, what was taken back leaves no trace.
struct MarkCase {
    const char* label;
    const char* call;  // a batch after "newPath A"
    Names after;
    const char* count;  // past and future after the call
    Names afterUndo;    // after one undo
};

class RevertMarks : public Undo, public testing::WithParamInterface<MarkCase> {};

TEST_P(RevertMarks, TakeBackOnlyWhatFollowsThem) {
    ASSERT_EQ(Script("newPath", "A"), "0");
    Script("batch", GetParam().call);
    EXPECT_EQ(ArtNames(), GetParam().after);
    EXPECT_EQ(Count(), GetParam().count);
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(ArtNames(), GetParam().afterUndo);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RevertMarks,
    testing::Values(
        MarkCase{"revert", "newPath B;mark m;newPath C;dispose A;revertMark m", Names{"B", "A"}, "2 0",
                 Names{"A"}},
        MarkCase{"revert_past_a_later_mark", "newPath B;mark m;newPath C;mark n;newPath D;revertMark m",
                 Names{"B", "A"}, "2 0", Names{"A"}},
        MarkCase{"revert_to_a_later_mark", "newPath B;mark m;newPath C;mark n;newPath D;revertMark n",
                 Names{"C", "B", "A"}, "2 0", Names{"A"}},
        MarkCase{"forget_then_revert_the_next",
                 "newPath B;mark m;newPath C;mark n;newPath D;forgetMark m;revertMark n",
                 Names{"C", "B", "A"}, "2 0", Names{"A"}},
        MarkCase{"forget", "newPath B;mark m;newPath C;forgetMark m", Names{"C", "B", "A"}, "2 0",
                 Names{"A"}},
        MarkCase{"left_set", "newPath B;mark m;newPath C", Names{"C", "B", "A"}, "2 0", Names{"A"}},
        MarkCase{"undo_in_the_call_forgets_marks", "newPath B;mark m;undo;revertMark m", Names{"A"}, "1 1",
                 Names{}}),
    [](const auto& info) { return std::string(info.param.label); });

// The modified flag follows the marks: a revert puts it back as it was at the mark, unless the
// document was saved since; the changes a mark set aside count as changes of the call, and a save
// during the call counts them as saved and leaves the call one step.
struct ModifiedCase {
    const char* label;
    const char* call;      // a batch on a saved document holding A, ending with "modified"
    const char* modified;  // the flag at the call's end, then after it
    const char* count;     // past and future after the call
};

class ModifiedFlag : public Undo, public testing::WithParamInterface<ModifiedCase> {};

TEST_P(ModifiedFlag, FollowsTheMarks) {
    ASSERT_EQ(Script("newPath", "A"), "0");
    ASSERT_EQ(Script("setModified", "0"), "0");
    const std::string answers = Script("batch", GetParam().call);
    EXPECT_EQ(answers.substr(answers.rfind(';') + 1) + " " + Script("modified"), GetParam().modified)
        << answers;
    EXPECT_EQ(Count(), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModifiedFlag,
    testing::Values(
        ModifiedCase{"a_revert_puts_the_flag_back", "mark m;newPath B;setModified 1;revertMark m;modified",
                     "0 0", "1 0"},
        ModifiedCase{"a_revert_keeps_what_came_before_the_mark",
                     "newPath B;mark m;newPath C;revertMark m;modified", "1 1", "2 0"},
        ModifiedCase{"changes_set_aside_count", "newPath B;mark m;modified", "1 1", "2 0"},
        ModifiedCase{"changes_set_aside_are_saved", "newPath B;mark m;setModified 0;modified", "0 0", "2 0"},
        ModifiedCase{"a_save_stands_after_a_revert",
                     "mark m;newPath B;setModified 0;newPath C;revertMark m;modified", "0 0", "2 0"},
        ModifiedCase{"changes_after_a_save_count", "newPath B;mark m;setModified 0;newPath C;modified", "1 1",
                     "2 0"},
        ModifiedCase{"a_save_ends_no_step", "newPath B;setModified 0;newPath C;setModified 0;modified", "0 0",
                     "2 0"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Undo, ARevertMarkThatTakesBackEverythingLeavesNoStep) {
    ASSERT_EQ(Script("newPath", "A"), "0");
    EXPECT_EQ(Script("batch", "mark m;newPath B;dispose A;revertMark m;revertMark m;forgetMark x"),
              Code(kNoErr) + ";0;0;0;" + Code(kBadParameterErr) + ";" + Code(kBadParameterErr));
    EXPECT_EQ(ArtNames(), Names{"A"});
    EXPECT_EQ(Count(), "1 0");
}

TEST_F(Undo, AppendWithoutAStepMakesOne) {
    ASSERT_EQ(Script("batch", "undoKind 2;newPath A"), "0;0");
    EXPECT_EQ(Count(), "1 0");
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(ArtNames(), Names{});
}

TEST_F(Undo, EveryCallStartsWithTheStandardKind) {
    ASSERT_EQ(Script("batch", "undoKind 2;newPath A"), "0;0");
    ASSERT_EQ(Script("newPath", "B"), "0");
    EXPECT_EQ(Count(), "2 0");
}

TEST_F(Undo, AnOutOfRangeKindIsRefusedAndChangesNothing) {
    EXPECT_EQ(Script("batch", "undoKind 3;undoKind -1;newPath A"),
              Code(kBadParameterErr) + ";" + Code(kBadParameterErr) + ";0");
    ASSERT_EQ(Script("newPath", "B"), "0");
    EXPECT_EQ(Count(), "2 0");
}

TEST_F(Undo, ANewTransactionClearsTheStepsToRedo) {
    ASSERT_EQ(Script("newPath", "A"), "0");
    ASSERT_EQ(Script("newPath", "B"), "0");
    ASSERT_EQ(app->Undo(), kNoErr);
    ASSERT_EQ(Script("newPath", "C"), "0");
    EXPECT_EQ(Count(), "2 0");
    EXPECT_EQ(app->Redo(), kCantHappenErr);
    EXPECT_EQ(ArtNames(), (Names{"C", "A"}));
}

TEST_F(Undo, ChangesTheHostMakesOutsideACallJoinTheNewestStep) {
    ASSERT_EQ(Script("newPath", "A"), "0");
    ASSERT_EQ(Script("newPath", "B"), "0");
    ASSERT_EQ(app->Undo(), kNoErr);
    // The host's own change, outside any call: the step waiting to be redone no longer follows from
    // the document (redoing it would break the layer's list), and undo takes the change back too.
    ASSERT_TRUE(Doc().newArt(host::model::ArtType::path, host::model::PaintOrder::aboveAll, {}).ok());
    EXPECT_EQ(app->Redo(), kCantHappenErr);
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(ArtNames(), Names{});
    EXPECT_EQ(Doc().documentOrder().size(), 1u);
}

// --- Nothing to undo ----------------------------------------------------------------------------

TEST_F(Undo, UndoingOrRedoingWithNothingLeftIsAnErrorThatChangesNothing) {
    ASSERT_EQ(Script("newPath", "A"), "0");
    ASSERT_EQ(Script("undo"), "0");
    const host::Document before = Doc();
    EXPECT_EQ(Script("undo"), Code(kCantHappenErr));
    EXPECT_EQ(app->Undo(), kCantHappenErr);
    EXPECT_TRUE(Doc() == before);
    EXPECT_EQ(Count(), "0 1");
    ASSERT_EQ(Script("redo"), "0");
    EXPECT_EQ(Script("redo"), Code(kCantHappenErr));
    EXPECT_EQ(app->Redo(), kCantHappenErr);
    EXPECT_EQ(ArtNames(), Names{"A"});
}

TEST_F(Undo, WithoutADocumentTheSuitesAnswerNoDocument) {
    app->CloseDocument();
    EXPECT_EQ(Script("undo"), Code(kNoDocumentErr));
    EXPECT_EQ(Script("redo"), Code(kNoDocumentErr));
    EXPECT_EQ(Count(), "error " + Code(kNoDocumentErr));
    EXPECT_EQ(Script("undoTag", "t"), Code(kNoDocumentErr));
    EXPECT_EQ(app->Undo(), kNoDocumentErr);
    EXPECT_EQ(app->PastTransactions(), 0);
    EXPECT_EQ(app->TransactionTag(-1), std::nullopt);
}

TEST_F(Undo, AnInjectedFaultChangesNothing) {
    ASSERT_EQ(Script("newPath", "A"), "0");
    app->Faults().FailOperation(kAIDocumentSuite, "Undo", kCantHappenErr);
    EXPECT_EQ(Script("undo"), Code(kCantHappenErr));
    EXPECT_EQ(ArtNames(), Names{"A"});
    EXPECT_EQ(Count(), "1 0");
}

// --- Handles ------------------------------------------------------------------------------------

TEST_F(Undo, HandlesAndUuidsStayValidAcrossUndoAndRedo) {
    ASSERT_EQ(Script("newPath", "A"), "0");
    const ArtId art = Named("A");
    const std::string uuid = *Doc().uuid(art);
    ASSERT_EQ(Script("dispose", "A"), "0");
    EXPECT_FALSE(Doc().isValid(art));
    ASSERT_EQ(Script("undo"), "0");
    EXPECT_TRUE(Doc().isValid(art));
    EXPECT_EQ(*Doc().uuid(art), uuid);
    EXPECT_EQ(Doc().artByUuid(uuid), art);
    // The plug-in's handle works again, through the suites.
    EXPECT_EQ(Script("select", "A"), "0");
    ASSERT_EQ(app->Undo(), kNoErr);
    ASSERT_EQ(app->Redo(), kNoErr);
    EXPECT_NE(*Doc().attributes(art, host::model::attribute::selected), 0u);
}

TEST_F(Undo, ArtMadeAfterAnUndoGetsNewHandlesAndUuids) {
    ASSERT_EQ(Script("newPath", "A"), "0");
    const ArtId undone = Named("A");
    const std::string undoneUuid = *Doc().uuid(undone);
    ASSERT_EQ(app->Undo(), kNoErr);
    ASSERT_EQ(Script("newPath", "A"), "0");
    EXPECT_NE(Named("A"), undone);
    EXPECT_NE(*Doc().uuid(Named("A")), undoneUuid);
}

// --- Undo and redo during a call ----------------------------------------------------------------

TEST_F(Undo, UndoDuringACallClosesTheCallsChangesFirst) {
    ASSERT_EQ(Script("batch", "newPath A;undo"), "0;0");
    EXPECT_EQ(ArtNames(), Names{});
    EXPECT_EQ(Count(), "0 1");
    ASSERT_EQ(app->Redo(), kNoErr);
    EXPECT_EQ(ArtNames(), Names{"A"});
}

TEST_F(Undo, ChangesAfterAnUndoInTheSameCallFormANewStep) {
    ASSERT_EQ(Script("newPath", "A"), "0");
    ASSERT_EQ(Script("batch", "undo;newPath B"), "0;0");
    EXPECT_EQ(ArtNames(), Names{"B"});
    EXPECT_EQ(Count(), "1 0");
}

TEST_F(Undo, ACallCanUndoSeveralSteps) {
    for (const char* name : {"A", "B", "C"}) {
        ASSERT_EQ(Script("newPath", name), "0");
    }
    ASSERT_EQ(Script("batch", "undo;undo;undoCount"), "0;0;1 2");
    EXPECT_EQ(ArtNames(), Names{"A"});
    EXPECT_EQ(Count(), "1 2");
}

// --- Tags ---------------------------------------------------------------------------------------

// Steps tagged "a", untagged, "c" and "d", then one undo: past -3 "a", -2 "", -1 "c"; future 1 "d".
struct TagCase {
    const char* label;
    int n;
    const char* answer;  // the tag, or "error CODE unchanged"
};

class Tags : public Undo, public testing::WithParamInterface<TagCase> {
protected:
    void SetUp() override {
        Undo::SetUp();
        ASSERT_EQ(Script("batch", "newPath A;undoTag a"), "0;0");
        ASSERT_EQ(Script("newPath", "B"), "0");
        ASSERT_EQ(Script("batch", "undoTag c;newPath C"), "0;0");
        ASSERT_EQ(Script("batch", "newPath D;undoTag d"), "0;0");
        ASSERT_EQ(app->Undo(), kNoErr);
        ASSERT_EQ(Count(), "3 1");
    }
};

TEST_P(Tags, TransactionsAreNumberedFromTheCurrentState) {
    EXPECT_EQ(Script("undoTagOf", std::to_string(GetParam().n)), GetParam().answer);
    const std::string answer = GetParam().answer;
    const std::optional<std::string> tag = app->TransactionTag(GetParam().n);
    if (answer.starts_with("error")) {
        EXPECT_EQ(tag, std::nullopt);
    } else {
        EXPECT_EQ(tag, answer);
    }
}

const std::string kOutOfRange = "error " + Code(kBadParameterErr) + " unchanged";

INSTANTIATE_TEST_SUITE_P(Cases, Tags,
                         testing::Values(TagCase{"before_the_oldest", -4, kOutOfRange.c_str()},
                                         TagCase{"the_oldest", -3, "a"}, TagCase{"untagged", -2, ""},
                                         TagCase{"the_newest", -1, "c"},
                                         TagCase{"zero_is_the_current_state", 0, kOutOfRange.c_str()},
                                         TagCase{"the_next_redo", 1, "d"},
                                         TagCase{"beyond_the_last_redo", 2, kOutOfRange.c_str()},
                                         TagCase{"far_out", -2147483647 - 1, kOutOfRange.c_str()}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(Undo, ATagWithoutChangesStillMarksAStep) {
    ASSERT_EQ(Script("newPath", "A"), "0");
    const host::Document before = Doc();
    ASSERT_EQ(Script("undoTag", "context"), "0");
    EXPECT_EQ(Count(), "2 0");
    EXPECT_EQ(Script("undoTagOf", "-1"), "context");
    // Undoing back to the tagged step changes nothing, but it is a step.
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_TRUE(Doc() == before);
    EXPECT_EQ(Script("undoTagOf", "1"), "context");
}

TEST_F(Undo, ATagWithAppendTagsTheNewestStepAndKeepsTheStepsToRedo) {
    ASSERT_EQ(Script("newPath", "A"), "0");
    ASSERT_EQ(Script("newPath", "B"), "0");
    ASSERT_EQ(app->Undo(), kNoErr);
    ASSERT_EQ(Script("batch", "undoKind 2;undoTag t"), "0;0");
    EXPECT_EQ(Count(), "1 1");
    EXPECT_EQ(Script("undoTagOf", "-1"), "t");
    ASSERT_EQ(app->Redo(), kNoErr);
    EXPECT_EQ(ArtNames(), (Names{"B", "A"}));
}

TEST_F(Undo, TheLastTagOfACallWinsAndAnEmptyTagRemovesIt) {
    ASSERT_EQ(Script("batch", "undoTag one;newPath A;undoTag two"), "0;0;0");
    EXPECT_EQ(Script("undoTagOf", "-1"), "two");
    ASSERT_EQ(Script("batch", "undoKind 2;undoTag "), "0;0");
    EXPECT_EQ(Script("undoTagOf", "-1"), "");
    EXPECT_EQ(Count(), "1 0");
}

TEST_F(Undo, TagsKeepTheirText) {
    const std::string tag = "com.torvi.PlimUtils_Tag \xC3\xA9\xF0\x9F\x98\x80";
    ASSERT_EQ(Script("undoTag", tag), "0");
    EXPECT_EQ(Script("undoTagOf", "-1"), tag);
    EXPECT_EQ(app->TransactionTag(-1), tag);
}

TEST_F(Undo, TaggingOutsideACallIsRefused) {
    const auto* undo = hosttest::Acquire<AIUndoSuite>(app->BasicSuite(), kAIUndoSuite, kAIUndoSuiteVersion);
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(undo->SetUndoTagUS(ai::UnicodeString("t")), kCantHappenErr);
    ai::int32 past = -1;
    EXPECT_EQ(undo->CountTransactions(&past, nullptr), kNoErr);
    EXPECT_EQ(past, 0);
    app->BasicSuite().ReleaseSuite(kAIUndoSuite, kAIUndoSuiteVersion);
}

// An undo context as the plug-in keeps one: a tagged step that later calls append to, and an undo
// back to the state before it.
TEST_F(Undo, AContextOfAppendedCallsIsUndoneAsOne) {
    ASSERT_EQ(Script("newPath", "Before"), "0");
    ASSERT_EQ(Script("batch", "undoKind 0;undoTag ctx;docSet ctx=1"), "0;0;0");
    ASSERT_EQ(Script("batch", "undoKind 2;newPath A"), "0;0");
    ASSERT_EQ(Script("batch", "undoKind 2;newPath B;select A"), "0;0;0");
    EXPECT_EQ(Count(), "2 0");
    EXPECT_EQ(Script("undoTagOf", "-1"), "ctx");
    ASSERT_EQ(Script("undo"), "0");
    EXPECT_EQ(ArtNames(), Names{"Before"});
    EXPECT_FALSE(Doc().documentDictionary().contains("ctx"));
}

// --- The history and the document ---------------------------------------------------------------

TEST_F(Undo, AnotherDocumentStartsWithAnEmptyHistory) {
    ASSERT_EQ(Script("newPath", "A"), "0");
    app->NewDocument();
    EXPECT_EQ(Count(), "0 0");
    EXPECT_EQ(app->Undo(), kCantHappenErr);
    app->SetDocument(std::make_unique<host::Document>());
    ASSERT_EQ(Script("newPath", "B"), "0");
    EXPECT_EQ(Count(), "1 0");
}

// The panel's reaction to the probe's "dispatch" runs inside the call: there the tests act as a
// command that opens documents would.
TEST_F(Undo, ADocumentMadeCurrentDuringACallStartsItsOwnTransaction) {
    ASSERT_EQ(Script("panel"), "0");
    ASSERT_EQ(Script("newPath", "Old"), "0");
    app->Panel().OnDispatch(
        [this](const host::PanelEvent&) { app->SetDocument(std::make_unique<host::Document>()); });
    ASSERT_EQ(Script("batch", "newPath Lost;dispatch t;newPath New"), "0;0;0");
    app->Panel().OnDispatch({});
    EXPECT_EQ(ArtNames(), Names{"New"});
    EXPECT_EQ(Count(), "1 0");
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(ArtNames(), Names{});
}

TEST_F(Undo, ADocumentSentBehindDuringACallKeepsTheCallsChanges) {
    ASSERT_EQ(Script("panel"), "0");
    ASSERT_EQ(Script("newPath", "First"), "0");
    app->Panel().OnDispatch(
        [this](const host::PanelEvent&) { app->OpenDocument(std::make_unique<host::Document>()); });
    ASSERT_EQ(Script("batch", "newPath Second;dispatch t;newPath Other"), "0;0;0");
    app->Panel().OnDispatch({});
    EXPECT_EQ(Count(), "1 0");
    ASSERT_TRUE(app->ActivateDocument(1));
    EXPECT_EQ(ArtNames(), (Names{"Second", "First"}));
    EXPECT_EQ(Count(), "2 0");
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(ArtNames(), Names{"First"});
    // Outside a call again: nothing is left open.
    EXPECT_EQ(Script("undoTag", "t"), "0");
    EXPECT_EQ(Count(), "2 0");
}

// A document sent behind during a call (here by a dispatch that opens a new document) takes the
// changes its revert marks set aside along, as a step of its own history, and the marks are settled:
// a revert to one afterwards is refused and changes nothing, in either document.
TEST_F(Undo, ARevertToAMarkOfADocumentSentBehindChangesNothing) {
    ASSERT_EQ(Script("panel"), "0");
    ASSERT_EQ(Script("newPath", "First"), "0");
    app->Panel().OnDispatch(
        [this](const host::PanelEvent&) { app->OpenDocument(std::make_unique<host::Document>()); });
    EXPECT_EQ(Script("batch", "newPath Second;mark m;newPath Third;dispatch t;newPath Other;revertMark m"),
              "0;0;0;0;0;" + Code(kBadParameterErr));
    app->Panel().OnDispatch({});
    EXPECT_EQ(ArtNames(), Names{"Other"});
    EXPECT_EQ(Count(), "1 0");
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(ArtNames(), Names{});
    ASSERT_EQ(app->Redo(), kNoErr);
    EXPECT_EQ(ArtNames(), Names{"Other"});
    ASSERT_TRUE(app->ActivateDocument(1));
    EXPECT_EQ(ArtNames(), (Names{"Third", "Second", "First"}));
    EXPECT_EQ(Count(), "2 0");
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(ArtNames(), Names{"First"});
}

TEST_F(Undo, TheDocumentHandleIsNewForEveryDocument) {
    const auto* documents =
        hosttest::Acquire<AIDocumentSuite>(app->BasicSuite(), kAIDocumentSuite, kAIDocumentSuiteVersion);
    ASSERT_NE(documents, nullptr);
    AIDocumentHandle first = nullptr;
    AIDocumentHandle again = nullptr;
    ASSERT_EQ(documents->GetDocument(&first), kNoErr);
    ASSERT_EQ(documents->GetDocument(&again), kNoErr);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(first, again);
    app->NewDocument();
    AIDocumentHandle second = nullptr;
    ASSERT_EQ(documents->GetDocument(&second), kNoErr);
    EXPECT_NE(second, first);
    app->CloseDocument();
    AIDocumentHandle none = second;
    EXPECT_EQ(documents->GetDocument(&none), kNoDocumentErr);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(documents->GetDocument(nullptr), kNoDocumentErr);
    app->BasicSuite().ReleaseSuite(kAIDocumentSuite, kAIDocumentSuiteVersion);
}

TEST_F(Undo, TheDocumentSuiteReportsScaleAndRulerUnits) {
    const auto* documents =
        hosttest::Acquire<AIDocumentSuite>(app->BasicSuite(), kAIDocumentSuite, kAIDocumentSuiteVersion);
    ASSERT_NE(documents, nullptr);
    AIReal scale = 0;
    ai::int16 units = 0;
    ASSERT_EQ(documents->GetDocumentScale(&scale), kNoErr);
    ASSERT_EQ(documents->GetDocumentRulerUnits(&units), kNoErr);
    EXPECT_EQ(scale, 1.0);
    EXPECT_EQ(units, kPointsUnits);
    ASSERT_EQ(Doc().setScale(10.0), host::model::Status::ok);
    ASSERT_EQ(Doc().setRulerUnits(kMillimetersUnits), host::model::Status::ok);
    ASSERT_EQ(documents->GetDocumentScale(&scale), kNoErr);
    ASSERT_EQ(documents->GetDocumentRulerUnits(&units), kNoErr);
    EXPECT_EQ(scale, 10.0);
    EXPECT_EQ(units, kMillimetersUnits);
    EXPECT_EQ(documents->GetDocumentScale(nullptr), kBadParameterErr);
    EXPECT_EQ(documents->GetDocumentRulerUnits(nullptr), kBadParameterErr);
    app->BasicSuite().ReleaseSuite(kAIDocumentSuite, kAIDocumentSuiteVersion);
}

TEST_F(Undo, TheHistoryKeepsAThousandSteps) {
    app->Journal().SetEnabled(false);
    for (int i = 0; i < 1001; ++i) {
        ASSERT_EQ(Script("docSet", "k=" + std::to_string(i)), "0");
    }
    EXPECT_EQ(Count(), "1000 0");
    while (app->Undo() == kNoErr) {
    }
    // The oldest step went: its change can no longer be taken back.
    EXPECT_EQ(*Doc().documentDictionary().string("k"), "0");
}

}  // namespace

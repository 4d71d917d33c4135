// The suites over the current document besides the art suite: layers, symbols, groups, envelopes,
// intertwine objects, isolation mode, text outlines and dictionary references; and what every one
// of them does without a document, with an injected fault, and in the journal.
#include <functional>
#include <set>

#include "AIDocument.h"
#include "DocumentFixture.h"
#include "textengine/Fonts.h"

namespace {

using hosttest::DocumentSuites;
using hosttest::MadeUp;

// --- Layers --------------------------------------------------------------------------------------------

class Layers : public DocumentSuites {
public:
    std::string TitleOf(AILayerHandle handle) {
        if (handle == nullptr) {
            return "null";
        }
        const auto properties = Doc().layers().properties({reinterpret_cast<std::uintptr_t>(handle)});
        return properties ? properties->title : "?";
    }

    AILayerHandle Nth(ai::int32 n) {
        AILayerHandle found = MadeUp<AILayerHandle>();
        EXPECT_EQ(layer->GetNthLayer(n, &found), kNoErr);
        return found;
    }

    AILayerHandle LayerOf(const char* artName) {
        AILayerHandle found = nullptr;
        EXPECT_EQ(art->GetLayerOfArt(Art(artName), &found), kNoErr);
        return found;
    }

    AILayerHandle ByTitle(const char* title) {
        AILayerHandle found = MadeUp<AILayerHandle>();
        EXPECT_EQ(layer->GetLayerByTitle(&found, ai::UnicodeString(title)), kNoErr);
        return found;
    }
};

TEST_F(Layers, TopLevelLayersAreCountedAndNumberedFrontToBack) {
    ai::int32 count = 0;
    ASSERT_EQ(layer->CountLayers(&count), kNoErr);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(TitleOf(Nth(0)), "Front");
    EXPECT_EQ(TitleOf(Nth(1)), "Back");
    // Out of range finds nothing, which is no error.
    EXPECT_EQ(Nth(2), nullptr);
    EXPECT_EQ(Nth(-1), nullptr);
    AILayerHandle first = nullptr;
    ASSERT_EQ(layer->GetFirstLayer(&first), kNoErr);
    EXPECT_EQ(first, Nth(0));
}

TEST_F(Layers, NextAndPreviousStayAmongSiblings) {
    AILayerHandle next = nullptr;
    ASSERT_EQ(layer->GetNextLayer(Nth(0), &next), kNoErr);
    EXPECT_EQ(next, Nth(1));
    ASSERT_EQ(layer->GetNextLayer(Nth(1), &next), kNoErr);
    EXPECT_EQ(next, nullptr);
    AILayerHandle previous = nullptr;
    ASSERT_EQ(layer->GetPrevLayer(Nth(1), &previous), kNoErr);
    EXPECT_EQ(previous, Nth(0));
    ASSERT_EQ(layer->GetPrevLayer(Nth(0), &previous), kNoErr);
    EXPECT_EQ(previous, nullptr);
    // The only sublayer of Front has no siblings among the layers, though art lies beside it.
    ASSERT_EQ(layer->GetNextLayer(LayerOf("Label"), &next), kNoErr);
    EXPECT_EQ(next, nullptr);
}

TEST_F(Layers, SublayersKnowTheirParent) {
    AILayerHandle parent = MadeUp<AILayerHandle>();
    ASSERT_EQ(layer->GetLayerParent(LayerOf("Label"), &parent), kNoErr);
    EXPECT_EQ(parent, Nth(0));
    ASSERT_EQ(layer->GetLayerParent(Nth(0), &parent), kNoErr);
    EXPECT_EQ(parent, nullptr);
}

TEST_F(Layers, TitlesAreLookedUpTopLevelFirstThenInDocumentOrder) {
    EXPECT_EQ(ByTitle("Labels"), LayerOf("Label"));  // Front's sublayer comes before Back's
    EXPECT_EQ(ByTitle("Back"), Nth(1));
    EXPECT_EQ(ByTitle("back"), nullptr);
    EXPECT_EQ(ByTitle(""), nullptr);
    // A sublayer titled like a later top-level layer does not hide it.
    host::model::LayerProperties properties =
        Doc().layers().properties({reinterpret_cast<std::uintptr_t>(LayerOf("Label"))}).value();
    properties.title = "Back";
    ASSERT_EQ(
        Doc().editLayers().setProperties({reinterpret_cast<std::uintptr_t>(LayerOf("Label"))}, properties),
        host::model::Status::ok);
    EXPECT_EQ(ByTitle("Back"), Nth(1));
}

TEST_F(Layers, TheFirstArtOfNoLayerIsThatOfTheCurrentLayer) {
    AIArtHandle group = nullptr;
    ASSERT_EQ(art->GetFirstArtOfLayer(nullptr, &group), kNoErr);
    EXPECT_EQ(group, Art("Front"));
    ASSERT_EQ(Doc().editLayers().setCurrent({reinterpret_cast<std::uintptr_t>(Nth(1))}),
              host::model::Status::ok);
    ASSERT_EQ(art->GetFirstArtOfLayer(nullptr, &group), kNoErr);
    EXPECT_EQ(group, Art("Back"));
}

TEST_F(Layers, ADeletedLayerIsStale) {
    AILayerHandle back = Nth(1);
    ASSERT_EQ(Doc().editLayers().remove({reinterpret_cast<std::uintptr_t>(back)}), host::model::Status::ok);
    AILayerHandle out = MadeUp<AILayerHandle>();
    EXPECT_EQ(layer->GetNextLayer(back, &out), kBadParameterErr);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(layer->GetPrevLayer(back, &out), kBadParameterErr);
    EXPECT_EQ(layer->GetLayerParent(back, &out), kBadParameterErr);
    AIArtHandle group = Art("Front");
    EXPECT_EQ(art->GetFirstArtOfLayer(back, &group), kBadParameterErr);
    EXPECT_EQ(group, nullptr);
    // An art handle is no layer handle.
    EXPECT_EQ(layer->GetNextLayer(reinterpret_cast<AILayerHandle>(Art("Front")), &out), kBadParameterErr);
    EXPECT_EQ(layer->GetNthLayer(0, nullptr), kBadParameterErr);
    EXPECT_EQ(layer->CountLayers(nullptr), kBadParameterErr);
}

// --- Symbols -----------------------------------------------------------------------------------------

TEST_F(DocumentSuites, SymbolsAreListedInOrderByName) {
    ai::int32 count = 0;
    ASSERT_EQ(symbol->CountSymbolPatterns(&count, false), kNoErr);
    ASSERT_EQ(count, 2);
    ASSERT_EQ(symbol->CountSymbolPatterns(&count, true), kNoErr);
    ASSERT_EQ(count, 2);
    std::vector<std::string> names;
    for (ai::int32 index = 0; index < count; ++index) {
        AIPatternHandle found = nullptr;
        ASSERT_EQ(symbol->GetNthSymbolPattern(index, &found, true), kNoErr);
        ai::UnicodeString name;
        ASSERT_EQ(symbol->GetSymbolPatternName(found, name), kNoErr);
        names.push_back(name.as_UTF8());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Star", "Arrow"}));
}

TEST_F(DocumentSuites, SymbolsOutOfRangeOrOfAnotherDocumentAreRefused) {
    AIPatternHandle star = nullptr;
    ASSERT_EQ(symbol->GetNthSymbolPattern(0, &star, true), kNoErr);
    AIPatternHandle found = MadeUp<AIPatternHandle>();
    EXPECT_EQ(symbol->GetNthSymbolPattern(2, &found, true), kBadParameterErr);
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(symbol->GetNthSymbolPattern(-1, &found, true), kBadParameterErr);
    ai::UnicodeString name;
    EXPECT_EQ(symbol->GetSymbolPatternName(MadeUp<AIPatternHandle>(), name), kBadParameterErr);
    EXPECT_EQ(symbol->GetSymbolPatternName(nullptr, name), kBadParameterErr);
    app->NewDocument();
    ai::int32 count = -1;
    ASSERT_EQ(symbol->CountSymbolPatterns(&count, true), kNoErr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(symbol->GetSymbolPatternName(star, name), kBadParameterErr);
    EXPECT_TRUE(name.empty());
}

// The symbols in use, for the clean-up: only unused ones can be deleted; the answer is a block the
// plug-in frees, none when nothing is used.
TEST_F(DocumentSuites, UsedSymbolsAreFoundAndOnlyUnusedOnesDeleted) {
    const auto used = [&] {
        AIPatternHandle** symbols = MadeUp<AIPatternHandle**>();
        ai::int32 count = -1;
        EXPECT_EQ(symbol->GetUsedSymbolPatterns(0x4F, &symbols, &count), kNoErr);
        std::vector<AIPatternHandle> found(count > 0 ? *symbols : nullptr,
                                           count > 0 ? *symbols + count : nullptr);
        EXPECT_EQ(symbols == nullptr, count == 0);
        EXPECT_EQ(memory->MdMemoryDisposeHandle(reinterpret_cast<AIMdMemoryHandle>(symbols)), kNoErr);
        return found;
    };
    AIPatternHandle star = nullptr;
    AIPatternHandle arrow = nullptr;
    ASSERT_EQ(symbol->GetSymbolByName(ai::UnicodeString("Star"), &star), kNoErr);
    ASSERT_EQ(symbol->GetNthSymbolPattern(1, &arrow, false), kNoErr);
    EXPECT_TRUE(used().empty());
    AIArtHandle instance = nullptr;
    ASSERT_EQ(symbol->NewInstanceAtLocation(star, {50, 50}, kPlaceAboveAll, nullptr, &instance), kNoErr);
    EXPECT_EQ(used(), std::vector<AIPatternHandle>{star});
    EXPECT_EQ(symbol->DeleteSymbolPattern(star), kCantHappenErr);
    EXPECT_EQ(symbol->DeleteSymbolPattern(arrow), kNoErr);
    EXPECT_EQ(symbol->DeleteSymbolPattern(arrow), kBadParameterErr);
    ai::int32 count = 0;
    ASSERT_EQ(symbol->CountSymbolPatterns(&count, false), kNoErr);
    EXPECT_EQ(count, 1);
    AIPatternHandle missing = MadeUp<AIPatternHandle>();
    EXPECT_EQ(symbol->GetSymbolByName(ai::UnicodeString("Arrow"), &missing), kNameNotFoundErr);
    EXPECT_EQ(missing, nullptr);
}

// --- Groups, envelopes, intertwine objects -----------------------------------------------------------

TEST_F(DocumentSuites, ClipGroupsAreGroupsMarkedClipped) {
    AIBoolean clipped = false;
    ASSERT_EQ(group->GetGroupClipped(Art("Clip"), &clipped), kNoErr);
    EXPECT_TRUE(clipped);
    ASSERT_EQ(group->GetGroupClipped(Art("Logo"), &clipped), kNoErr);
    EXPECT_FALSE(clipped);
    EXPECT_EQ(group->GetGroupClipped(Art("Mark"), &clipped), kBadParameterErr);
    EXPECT_EQ(group->SetGroupClipped(Art("Mark"), true), kBadParameterErr);
    ASSERT_EQ(group->SetGroupClipped(Art("Empty"), true), kNoErr);
    ASSERT_EQ(group->GetGroupClipped(Art("Empty"), &clipped), kNoErr);
    EXPECT_TRUE(clipped);
    const std::string id = Doc().uuid(Id(Art("Empty"))).value();
    EXPECT_TRUE(app->Journal().Contains("SetGroupClipped(" + id + ", 1)"));
}

TEST_F(DocumentSuites, AnEnvelopeHoldsItsFirstChild) {
    EXPECT_TRUE(envelope->IsEnvelope(Art("Bent")));
    EXPECT_FALSE(envelope->IsEnvelope(Art("Logo")));
    EXPECT_FALSE(envelope->IsEnvelope(nullptr));
    AIArtHandle held = nullptr;
    ASSERT_EQ(envelope->GetEnvelopeObject(Art("Bent"), &held), kNoErr);
    EXPECT_EQ(held, Art("Held"));
    EXPECT_EQ(envelope->GetEnvelopeObject(Art("Logo"), &held), kBadParameterErr);
    EXPECT_EQ(held, nullptr);
    // An envelope that lost what it held holds nothing.
    ASSERT_EQ(art->DisposeArt(Art("Held")), kNoErr);
    held = Art("Logo");
    ASSERT_EQ(envelope->GetEnvelopeObject(Art("Bent"), &held), kNoErr);
    EXPECT_EQ(held, nullptr);
}

TEST_F(DocumentSuites, IntertwineIsAFlagOfTheArt) {
    EXPECT_TRUE(intertwine->IsIntertwine(Art("Woven")));
    EXPECT_FALSE(intertwine->IsIntertwine(Art("Strand")));
    EXPECT_FALSE(intertwine->IsIntertwine(MadeUp<AIArtHandle>()));
}

// --- Isolation mode --------------------------------------------------------------------------------

struct IsolationCase {
    const char* label;
    host::model::EditingState editing;
    AIIsolationModeType type;
};

class Isolation : public DocumentSuites, public testing::WithParamInterface<IsolationCase> {};

TEST_P(Isolation, FollowsTheDocumentsEditingState) {
    Doc().setEditingState(GetParam().editing);
    EXPECT_EQ(isolation->GetIsolationModeType(), GetParam().type);
    EXPECT_EQ(isolation->IsInIsolationMode() != 0, GetParam().type != kAINotIsolated);
}

INSTANTIATE_TEST_SUITE_P(Cases, Isolation,
                         testing::Values(IsolationCase{"none", {}, kAINotIsolated},
                                         IsolationCase{"group", {1, {}, false}, kAIGroupOrLayerIsolation},
                                         IsolationCase{"single_art", {2, {}, false}, kAISingleArtIsolation},
                                         IsolationCase{"pattern", {0, {}, true}, kAIPatternEditIsolation},
                                         IsolationCase{
                                             "pattern_wins", {1, {}, true}, kAIPatternEditIsolation},
                                         IsolationCase{"unknown_kind", {9, {}, false}, kAINotIsolated}),
                         [](const auto& info) { return std::string(info.param.label); });

// --- Text outlines ------------------------------------------------------------------------------------

TEST_F(DocumentSuites, AnOutlineIsAGroupOfTheGlyphsAboveTheFrameAndTheFrameStays) {
    AIArtHandle title = Art("Title");
    AIArtHandle outline = nullptr;
    ASSERT_EQ(textFrame->CreateOutline(title, &outline), kNoErr);
    ASSERT_NE(outline, nullptr);
    EXPECT_TRUE(art->ValidArt(title, false));
    AIArtHandle next = nullptr;
    ASSERT_EQ(art->GetArtSibling(outline, &next), kNoErr);
    EXPECT_EQ(next, title);
    // "Hi": the H is one contour (a path), the i two (a compound path of two paths).
    std::multiset<ai::int16> types;
    for (AIArtHandle part : MatchingFrom(outline)) {
        ai::int16 type = 0;
        ASSERT_EQ(art->GetArtType(part, &type), kNoErr);
        types.insert(type);
    }
    EXPECT_EQ(types, (std::multiset<ai::int16>{kGroupArt, kPathArt, kPathArt, kPathArt, kCompoundPathArt}));
    // Point text at (0, 100) in 12 pt DejaVu Sans: both glyphs stand on the baseline, one ascent
    // below the top, inside their advances.
    const host::text::FontList& fonts = host::text::FontList::Installed();
    const std::size_t sans = *fonts.IndexOf("DejaVuSans");
    const host::text::FontFace& face = fonts.Faces()[sans];
    const double scale = 12.0 / face.unitsPerEm;
    AIRealRect bounds;
    ASSERT_EQ(art->GetArtTransformBounds(outline, nullptr, kNoStrokeBounds, &bounds), kNoErr);
    EXPECT_NEAR(bounds.bottom, 100 - face.ascender * scale, 1e-9);
    EXPECT_GT(bounds.left, 0);
    EXPECT_LT(bounds.right, (fonts.Advance(sans, U'H') + fonts.Advance(sans, U'i')) * scale);
    EXPECT_GT(bounds.top, bounds.bottom + 8) << "the H is taller than two thirds of the size";
    EXPECT_LT(bounds.top, 100);
    EXPECT_TRUE(app->Journal().Contains("CreateOutline(" + Doc().uuid(Id(title)).value() + ")"));
}

TEST_F(DocumentSuites, OnlyTextFramesWithTextHaveOutlines) {
    const host::Document before = Doc();
    AIArtHandle outline = Art("Logo");
    EXPECT_EQ(textFrame->CreateOutline(Art("Blank"), &outline), kBadParameterErr);
    EXPECT_EQ(outline, nullptr);
    EXPECT_EQ(textFrame->CreateOutline(Art("Logo"), &outline), kBadParameterErr);
    EXPECT_EQ(textFrame->CreateOutline(Art("Title"), nullptr), kBadParameterErr);
    EXPECT_TRUE(Doc() == before);
}

// --- Dictionary references -----------------------------------------------------------------------

TEST_F(DocumentSuites, DictionaryReferencesAreCounted) {
    AIArtHandle mark = Art("Mark");
    EXPECT_FALSE(art->HasDictionary(mark));
    AIDictionaryRef first = nullptr;
    ASSERT_EQ(art->GetDictionary(mark, &first), kNoErr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(app->LiveDictionaryRefs(), 1u);
    EXPECT_EQ(dictionary->AddRef(first), 2);
    EXPECT_EQ(dictionary->Release(first), 1);
    EXPECT_EQ(dictionary->Release(first), 0);
    EXPECT_EQ(app->LiveDictionaryRefs(), 0u);
    // A released reference is gone for good.
    EXPECT_EQ(dictionary->Release(first), 0);
    EXPECT_EQ(dictionary->AddRef(first), 0);
    EXPECT_EQ(dictionary->AddRef(MadeUp<AIDictionaryRef>()), 0);
    EXPECT_EQ(dictionary->Release(nullptr), 0);
    // Each request gives a reference of its own.
    AIDictionaryRef second = nullptr;
    ASSERT_EQ(art->GetDictionary(mark, &second), kNoErr);
    EXPECT_NE(second, first);
    EXPECT_EQ(dictionary->Release(second), 0);
}

TEST_F(DocumentSuites, AReferenceToADocumentsDictionaryDoesNotReachTheNextDocument) {
    const auto* documents =
        hosttest::Acquire<AIDocumentSuite>(app->BasicSuite(), kAIDocumentSuite, kAIDocumentSuiteVersion);
    ASSERT_NE(documents, nullptr);
    AIDictionaryRef reference = nullptr;
    ASSERT_EQ(documents->GetDictionary(&reference), kNoErr);
    AIDictKey key = nullptr;
    ASSERT_EQ(dictionary->Key("kept", &key), kNoErr);
    ASSERT_EQ(dictionary->SetIntegerEntry(reference, key, 1), kNoErr);
    app->NewDocument();
    EXPECT_EQ(dictionary->SetIntegerEntry(reference, key, 2), kBadParameterErr);
    EXPECT_FALSE(dictionary->IsKnown(reference, key));
    EXPECT_TRUE(app->CurrentDocument()->documentDictionary().empty());
    EXPECT_EQ(dictionary->Release(reference), 0);
}

TEST_F(DocumentSuites, AnArtHasADictionaryWhenItHoldsEntries) {
    ASSERT_EQ(Doc().editDictionary(Id(Art("Mark")))->setInteger("n", 1), host::model::Status::ok);
    EXPECT_TRUE(art->HasDictionary(Art("Mark")));
    EXPECT_FALSE(art->HasDictionary(Art("Logo")));
}

// --- Without a document, with injected faults -------------------------------------------------------

struct NoDocumentCase {
    const char* label;
    std::function<AIErr(DocumentSuites&)> call;
};

class NoDocument : public DocumentSuites, public testing::WithParamInterface<NoDocumentCase> {};

TEST_P(NoDocument, AnswersNoDocument) {
    app->CloseDocument();
    EXPECT_EQ(GetParam().call(*this), kNoDocumentErr);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, NoDocument,
    testing::Values(NoDocumentCase{"NewArt",
                                   [](DocumentSuites& t) {
                                       AIArtHandle created = MadeUp<AIArtHandle>();
                                       const AIErr error =
                                           t.art->NewArt(kGroupArt, kPlaceAboveAll, nullptr, &created);
                                       EXPECT_EQ(created, nullptr);
                                       return error;
                                   }},
                    NoDocumentCase{"GetArtType",
                                   [](DocumentSuites& t) {
                                       ai::int16 type = 0;
                                       return t.art->GetArtType(MadeUp<AIArtHandle>(), &type);
                                   }},
                    NoDocumentCase{"GetFirstArtOfLayer",
                                   [](DocumentSuites& t) {
                                       AIArtHandle group = nullptr;
                                       return t.art->GetFirstArtOfLayer(nullptr, &group);
                                   }},
                    NoDocumentCase{"CountTags",
                                   [](DocumentSuites& t) {
                                       ai::int32 count = 0;
                                       return t.tag->CountTags(MadeUp<AIArtHandle>(), &count);
                                   }},
                    NoDocumentCase{"GetMatchingArt",
                                   [](DocumentSuites& t) {
                                       const AIMatchingArtSpec criterion;
                                       AIArtHandle** matches = nullptr;
                                       ai::int32 count = 0;
                                       return t.matching->GetMatchingArt(&criterion, 1, &matches, &count);
                                   }},
                    NoDocumentCase{"DeselectAll",
                                   [](DocumentSuites& t) { return t.matching->DeselectAll(); }},
                    NoDocumentCase{"GetArtUUID",
                                   [](DocumentSuites& t) {
                                       AIUUID id;
                                       return t.uuid->GetArtUUID(MadeUp<AIArtHandle>(), &id);
                                   }},
                    NoDocumentCase{"CountLayers",
                                   [](DocumentSuites& t) {
                                       ai::int32 count = 5;
                                       const AIErr error = t.layer->CountLayers(&count);
                                       EXPECT_EQ(count, 0);
                                       return error;
                                   }},
                    NoDocumentCase{"GetLayerByTitle",
                                   [](DocumentSuites& t) {
                                       AILayerHandle found = nullptr;
                                       return t.layer->GetLayerByTitle(&found, ai::UnicodeString("Front"));
                                   }},
                    NoDocumentCase{"GetGroupClipped",
                                   [](DocumentSuites& t) {
                                       AIBoolean clipped = false;
                                       return t.group->GetGroupClipped(MadeUp<AIArtHandle>(), &clipped);
                                   }},
                    NoDocumentCase{"CreateOutline",
                                   [](DocumentSuites& t) {
                                       AIArtHandle outline = nullptr;
                                       return t.textFrame->CreateOutline(MadeUp<AIArtHandle>(), &outline);
                                   }},
                    NoDocumentCase{"CountSymbolPatterns",
                                   [](DocumentSuites& t) {
                                       ai::int32 count = 0;
                                       return t.symbol->CountSymbolPatterns(&count, true);
                                   }}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(DocumentSuites, QuestionsWithoutAnErrorCodeAnswerNoWithoutADocument) {
    AIArtHandle mark = Art("Mark");
    app->CloseDocument();
    EXPECT_FALSE(art->ValidArt(mark, true));
    EXPECT_FALSE(art->HasDictionary(mark));
    EXPECT_FALSE(envelope->IsEnvelope(mark));
    EXPECT_FALSE(intertwine->IsIntertwine(mark));
    EXPECT_FALSE(isolation->IsInIsolationMode());
    EXPECT_EQ(isolation->GetIsolationModeType(), kAINotIsolated);
    // The text of a UUID needs no document.
    ai::UnicodeString text;
    EXPECT_EQ(uuid->GetUUIDAsString(AIUUID{}, text), kNoErr);
}

TEST_F(DocumentSuites, InjectedFaultsAreAnsweredBeforeAnythingHappens) {
    constexpr ASErr kBoom = FourCharCode("BOOM");
    app->Faults().FailOperation(kAIArtSuite, "GetArtParent", kBoom);
    AIArtHandle parent = Art("Logo");
    EXPECT_EQ(art->GetArtParent(Art("Mark"), &parent), kBoom);
    EXPECT_EQ(parent, nullptr);

    app->Faults().FailOperation(kAITagSuite, "SetTag", kBoom, 1);
    EXPECT_EQ(tag->SetTag(Art("Mark"), "n", kAITagStringType, "v"), kBoom);
    ai::int32 count = -1;
    ASSERT_EQ(tag->CountTags(Art("Mark"), &count), kNoErr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(tag->SetTag(Art("Mark"), "n", kAITagStringType, "v"), kNoErr);
    const auto setTags = app->Journal().Find("SetTag");
    ASSERT_EQ(setTags.size(), 2u);
    EXPECT_EQ(setTags[0].result, kBoom);
    EXPECT_EQ(setTags[1].result, kNoErr);

    app->Faults().FailOperation(kAIMatchingArtSuite, "GetMatchingArt", kBoom);
    const AIMatchingArtSpec criterion;
    AIArtHandle** matches = MadeUp<AIArtHandle**>();
    EXPECT_EQ(matching->GetMatchingArt(&criterion, 1, &matches, &count), kBoom);
    EXPECT_EQ(matches, nullptr);
    EXPECT_EQ(app->LiveMemoryBlocks(), 0u);

    app->Faults().FailOperation(kAIIntertwineSuite, "IsIntertwine", kBoom);
    EXPECT_FALSE(intertwine->IsIntertwine(Art("Woven")));
    app->Faults().FailOperation(kAIDictionarySuite, "AddRef", kBoom);
    AIDictionaryRef reference = nullptr;
    ASSERT_EQ(art->GetDictionary(Art("Mark"), &reference), kNoErr);
    EXPECT_EQ(dictionary->AddRef(reference), 0);
    EXPECT_EQ(dictionary->Release(reference), 0);
    EXPECT_EQ(app->LiveDictionaryRefs(), 0u);
}

// --- The journal ----------------------------------------------------------------------------------------

TEST_F(DocumentSuites, ChangesAreJournaledWithTheArtsUuid) {
    AIArtHandle mark = Art("Mark");
    const std::string markId = Doc().uuid(Id(mark)).value();
    const std::string logoId = Doc().uuid(Id(Art("Logo"))).value();
    app->Journal().Clear();
    ASSERT_EQ(art->SetArtUserAttr(mark, kArtSelected, kArtSelected), kNoErr);
    ASSERT_EQ(art->SetArtName(mark, ai::UnicodeString("Renamed")), kNoErr);
    AIArtHandle copy = nullptr;
    ASSERT_EQ(art->DuplicateArt(mark, kPlaceBelow, mark, &copy), kNoErr);
    ASSERT_EQ(art->ReorderArt(copy, kPlaceInsideOnBottom, Art("Logo")), kNoErr);
    const std::string copyId = Doc().uuid(Id(copy)).value();
    ASSERT_EQ(art->DisposeArt(copy), kNoErr);
    EXPECT_EQ(art->DisposeArt(copy), kBadParameterErr);
    ASSERT_EQ(matching->DeselectAll(), kNoErr);
    EXPECT_EQ(app->Journal().Texts(), (std::vector<std::string>{
                                          "SetArtUserAttr(" + markId + ", 1, 1)",
                                          "SetArtName(" + markId + ", Renamed)",
                                          "DuplicateArt(" + markId + ", 2, " + markId + ")",
                                          "ReorderArt(" + copyId + ", 4, " + logoId + ")",
                                          "DisposeArt(" + copyId + ")",
                                          "DisposeArt(invalid)",
                                          "DeselectAll()",
                                      }));
    EXPECT_EQ(app->Journal().Find("DisposeArt")[1].result, kBadParameterErr);
}

TEST_F(DocumentSuites, QuestionsAreNotJournaled) {
    app->Journal().Clear();
    Matching(kAnyArt);
    NameOf(Art("Mark"));
    Attr(Art("Mark"), kArtSelected);
    ai::int32 count = 0;
    ASSERT_EQ(tag->CountTags(Art("Title"), &count), kNoErr);
    EXPECT_TRUE(app->Journal().Entries().empty());
}

}  // namespace

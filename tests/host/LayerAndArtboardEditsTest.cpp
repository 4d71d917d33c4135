// Adding, removing and changing layers through the layer suite, and inserting and deleting sets of
// artboards through the artboard suite: what they change, and what they refuse with which code,
// changing nothing.
#include <string>
#include <vector>

#include "AIArtboard.h"
#include "DocumentFixture.h"

namespace {

using hosttest::Acquire;
using hosttest::DocumentSuites;

// --- Layers: adding and removing -----------------------------------------------------------------------

class LayerEdits : public DocumentSuites {
protected:
    AILayerHandle Layer(const std::string& title) {
        AILayerHandle found = nullptr;
        EXPECT_EQ(layer->GetLayerByTitle(&found, ai::UnicodeString(title, kAIUTF8CharacterEncoding)), kNoErr);
        return found;
    }

    std::string TitleOf(AILayerHandle handle) {
        ai::UnicodeString title;
        if (layer->GetLayerTitle(handle, title) != kNoErr) {
            return "?";
        }
        return title.as_UTF8();
    }

    // The titles of the top-level layers, front to back.
    std::vector<std::string> TopTitles() {
        std::vector<std::string> titles;
        ai::int32 count = 0;
        EXPECT_EQ(layer->CountLayers(&count), kNoErr);
        for (ai::int32 n = 0; n < count; ++n) {
            AILayerHandle nth = nullptr;
            EXPECT_EQ(layer->GetNthLayer(n, &nth), kNoErr);
            titles.push_back(TitleOf(nth));
        }
        return titles;
    }

    AILayerHandle ParentOf(AILayerHandle handle) {
        AILayerHandle parent = nullptr;
        EXPECT_EQ(layer->GetLayerParent(handle, &parent), kNoErr);
        return parent;
    }
};

TEST_F(LayerEdits, InsertsAtTheTopOrBottomOfTheList) {
    AILayerHandle top = nullptr;
    AILayerHandle bottom = nullptr;
    ASSERT_EQ(layer->InsertLayer(nullptr, kPlaceAboveAll, &top), kNoErr);
    ASSERT_EQ(layer->InsertLayer(nullptr, kPlaceBelowAll, &bottom), kNoErr);
    EXPECT_EQ(TopTitles(), (std::vector<std::string>{TitleOf(top), "Front", "Back", TitleOf(bottom)}));
    EXPECT_NE(TitleOf(top), TitleOf(bottom));
    EXPECT_EQ(TitleOf(top).rfind("Layer ", 0), 0u);
    EXPECT_TRUE(app->Journal().Contains("InsertLayer(null, 5)"));
}

TEST_F(LayerEdits, InsertsBesideOrInsideALayer) {
    AILayerHandle front = Layer("Front");
    AILayerHandle below = nullptr;
    AILayerHandle inside = nullptr;
    ASSERT_EQ(layer->InsertLayer(front, kPlaceBelow, &below), kNoErr);
    ASSERT_EQ(layer->InsertLayer(front, kPlaceInsideOnTop, &inside), kNoErr);
    EXPECT_EQ(TopTitles(), (std::vector<std::string>{"Front", TitleOf(below), "Back"}));
    EXPECT_EQ(ParentOf(inside), front);
    AIArtHandle first = nullptr;
    ASSERT_EQ(art->GetArtFirstChild(Art("Front"), &first), kNoErr);
    AILayerHandle firstLayer = nullptr;
    ASSERT_EQ(art->GetLayerOfArt(first, &firstLayer), kNoErr);
    EXPECT_EQ(firstLayer, inside);  // a real sublayer: the first thing in its parent's stacking order
}

TEST_F(LayerEdits, InsertsAtArt) {
    AILayerHandle beside = nullptr;
    ASSERT_EQ(layer->InsertLayerAtArt(Art("Title"), kPlaceBelow, &beside), kNoErr);
    EXPECT_EQ(ParentOf(beside), Layer("Front"));
    AIArtHandle group = nullptr;
    ASSERT_EQ(art->GetFirstArtOfLayer(beside, &group), kNoErr);
    AIArtHandle previous = nullptr;
    ASSERT_EQ(art->GetArtPriorSibling(group, &previous), kNoErr);
    EXPECT_EQ(previous, Art("Title"));
}

struct RefusedInsert {
    const char* label;
    AIErr (*attempt)(LayerEdits& t, AILayerHandle* out);
    AIErr expected;
};

class RefusedInserts : public LayerEdits, public testing::WithParamInterface<RefusedInsert> {};

TEST_P(RefusedInserts, ChangeNothing) {
    const std::size_t before = Doc().layers().all().size();
    AILayerHandle out = reinterpret_cast<AILayerHandle>(1);
    EXPECT_EQ(GetParam().attempt(*this, &out), GetParam().expected);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(Doc().layers().all().size(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedInserts,
    testing::Values(RefusedInsert{"unknownPaintOrder",
                                  [](LayerEdits& t, AILayerHandle* out) {
                                      return t.layer->InsertLayer(nullptr, 7, out);
                                  },
                                  kBadParameterErr},
                    RefusedInsert{"besideNoLayer",
                                  [](LayerEdits& t, AILayerHandle* out) {
                                      return t.layer->InsertLayer(nullptr, kPlaceAbove, out);
                                  },
                                  kBadParameterErr},
                    RefusedInsert{"staleLayer",
                                  [](LayerEdits& t, AILayerHandle* out) {
                                      return t.layer->InsertLayer(reinterpret_cast<AILayerHandle>(999999),
                                                                  kPlaceAbove, out);
                                  },
                                  kBadParameterErr},
                    RefusedInsert{"insideAGroup",
                                  [](LayerEdits& t, AILayerHandle* out) {
                                      return t.layer->InsertLayerAtArt(t.Art("Logo"), kPlaceInsideOnTop, out);
                                  },
                                  kBadParameterErr},
                    RefusedInsert{"besideArtInAGroup",
                                  [](LayerEdits& t, AILayerHandle* out) {
                                      return t.layer->InsertLayerAtArt(t.Art("Mark"), kPlaceAbove, out);
                                  },
                                  kBadParameterErr}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(LayerEdits, NullOutputsAreRefused) {
    EXPECT_EQ(layer->InsertLayer(nullptr, kPlaceAboveAll, nullptr), kBadParameterErr);
    EXPECT_EQ(layer->InsertLayerAtArt(Art("Title"), kPlaceAbove, nullptr), kBadParameterErr);
    EXPECT_EQ(layer->GetLayerColor(Layer("Front"), nullptr), kBadParameterErr);
    EXPECT_EQ(layer->GetLayerVisible(Layer("Front"), nullptr), kBadParameterErr);
}

TEST_F(LayerEdits, DeletesALayerWithItsArtAndSublayers) {
    AIArtHandle label = Art("Label");
    ASSERT_EQ(layer->DeleteLayer(Layer("Front")), kNoErr);
    EXPECT_EQ(TopTitles(), (std::vector<std::string>{"Back"}));
    EXPECT_FALSE(art->ValidArt(label, false));
    EXPECT_TRUE(app->Journal().Contains("DeleteLayer(Front)"));
}

TEST_F(LayerEdits, TheLastTopLevelLayerStays) {
    ASSERT_EQ(layer->DeleteLayer(Layer("Front")), kNoErr);
    AILayerHandle back = Layer("Back");
    EXPECT_EQ(layer->DeleteLayer(back), kCantHappenErr);
    EXPECT_EQ(TopTitles(), (std::vector<std::string>{"Back"}));
    // Its sublayer can go.
    AILayerHandle labels = Layer("Labels");
    ASSERT_NE(labels, nullptr);
    EXPECT_EQ(layer->DeleteLayer(labels), kNoErr);
    EXPECT_EQ(layer->DeleteLayer(labels), kBadParameterErr);
    EXPECT_EQ(layer->DeleteLayer(nullptr), kBadParameterErr);
}

// --- Layers: properties -----------------------------------------------------------------------------

TEST_F(LayerEdits, PropertiesReadTheModelsDefaults) {
    AILayerHandle front = Layer("Front");
    AIRGBColor color{};
    ASSERT_EQ(layer->GetLayerColor(front, &color), kNoErr);
    EXPECT_EQ(color.red, 20303);
    EXPECT_EQ(color.green, 32896);
    EXPECT_EQ(color.blue, 65535);
    AIBoolean flag = 9;
    for (auto getter :
         {layer->GetLayerVisible, layer->GetLayerEditable, layer->GetLayerPrinted, layer->GetLayerPreview}) {
        ASSERT_EQ(getter(front, &flag), kNoErr);
        EXPECT_EQ(flag, 1);
    }
    for (auto getter : {layer->GetLayerIsTemplate, layer->GetLayerDimPlacedImages}) {
        ASSERT_EQ(getter(front, &flag), kNoErr);
        EXPECT_EQ(flag, 0);
    }
    ai::int32 percent = 0;
    ASSERT_EQ(layer->GetLayerDimmedPercent(front, &percent), kNoErr);
    EXPECT_EQ(percent, 50);
}

TEST_F(LayerEdits, SettersChangeTheModelAndTheJournal) {
    AILayerHandle front = Layer("Front");
    ASSERT_EQ(layer->SetLayerTitle(front, ai::UnicodeString("Vorne é", kAIUTF8CharacterEncoding)), kNoErr);
    ASSERT_EQ(layer->SetLayerColor(front, AIRGBColor{65535, 0, 32896}), kNoErr);
    ASSERT_EQ(layer->SetLayerVisible(front, false), kNoErr);
    ASSERT_EQ(layer->SetLayerEditable(front, false), kNoErr);
    ASSERT_EQ(layer->SetLayerPrinted(front, false), kNoErr);
    ASSERT_EQ(layer->SetLayerPreview(front, false), kNoErr);
    ASSERT_EQ(layer->SetLayerIsTemplate(front, true), kNoErr);
    ASSERT_EQ(layer->SetLayerDimPlacedImages(front, true), kNoErr);
    ASSERT_EQ(layer->SetLayerDimmedPercent(front, 0), kNoErr);
    const host::model::LayerProperties properties =
        *Doc().layers().properties(host::model::LayerId{reinterpret_cast<std::uintptr_t>(front)});
    EXPECT_EQ(properties.title, "Vorne é");
    EXPECT_EQ(properties.color, (host::model::LayerColor{65535, 0, 32896}));
    EXPECT_FALSE(properties.visible || properties.editable || properties.printed || properties.preview);
    EXPECT_TRUE(properties.isTemplate && properties.dimPlacedImages);
    EXPECT_EQ(properties.dimPercent, 0);
    EXPECT_TRUE(app->Journal().Contains("SetLayerTitle(Front, Vorne é)"));
    EXPECT_TRUE(app->Journal().Contains("SetLayerVisible(Vorne é, 0)"));
    EXPECT_EQ(TitleOf(front), "Vorne é");
}

TEST_F(LayerEdits, RefusedValuesChangeNothing) {
    AILayerHandle front = Layer("Front");
    const host::model::LayerProperties before =
        *Doc().layers().properties(host::model::LayerId{reinterpret_cast<std::uintptr_t>(front)});
    EXPECT_EQ(layer->SetLayerDimmedPercent(front, 101), kBadParameterErr);
    EXPECT_EQ(layer->SetLayerDimmedPercent(front, -1), kBadParameterErr);
    EXPECT_EQ(layer->SetLayerVisible(reinterpret_cast<AILayerHandle>(777777), false), kBadParameterErr);
    EXPECT_EQ(layer->SetLayerTitle(front, ai::UnicodeString::FromUTF8(std::string("\xff"))), kNoErr);
    // Malformed UTF-8 arrives as U+FFFD: the title is still text.
    EXPECT_EQ(TitleOf(front), "\xEF\xBF\xBD");
    ASSERT_EQ(layer->SetLayerTitle(front, ai::UnicodeString("Front", kAIUTF8CharacterEncoding)), kNoErr);
    EXPECT_EQ(*Doc().layers().properties(host::model::LayerId{reinterpret_cast<std::uintptr_t>(front)}),
              before);
}

TEST_F(LayerEdits, WithoutADocumentEveryOperationAnswersNoDocument) {
    AILayerHandle front = Layer("Front");
    app->CloseDocument();
    AILayerHandle added = nullptr;
    AIBoolean flag = 0;
    EXPECT_EQ(layer->InsertLayer(nullptr, kPlaceAboveAll, &added), kNoDocumentErr);
    EXPECT_EQ(layer->DeleteLayer(front), kNoDocumentErr);
    EXPECT_EQ(layer->GetLayerVisible(front, &flag), kNoDocumentErr);
    EXPECT_EQ(layer->SetLayerPrinted(front, true), kNoDocumentErr);
}

// --- Artboards: inserting at a place and deleting a set ------------------------------------------------

constexpr const char* kBoards = R"({
  "format": "plimhost-document", "version": 1, "layers": [],
  "artboards": [{"name": "A", "rect": [0, 100, 100, 0]}, {"name": "B", "rect": [200, 100, 300, 0]},
                {"name": "C", "rect": [400, 100, 500, 0]}, {"name": "D", "rect": [600, 100, 700, 0]}],
  "activeArtboard": 2
})";

class ArtboardEdits : public hosttest::HostTest {
protected:
    void SetUp() override {
        host::model::ReadResult read = host::model::readDocument(kBoards, 3);
        ASSERT_TRUE(read.document) << read.error;
        app->SetDocument(std::make_unique<host::Document>(std::move(*read.document)));
        boards = Acquire<AIArtboardSuite>(app->BasicSuite(), kAIArtboardSuite, kAIArtboardSuiteVersion);
        ASSERT_NE(boards, nullptr);
        ASSERT_EQ(boards->GetArtboardList(&list), kNoErr);
        ASSERT_EQ(boards->Init(&record), kNoErr);
    }
    void TearDown() override {
        boards->ReleaseArtboardList(list);
        boards->Dispose(record);
    }

    host::Document& Doc() { return *app->CurrentDocument(); }

    std::string Names() {
        std::string names;
        for (const host::model::Artboard& artboard : Doc().artboards()) {
            names += artboard.name.empty() ? "_" : artboard.name;
            names += " ";
        }
        return names + "active " + Doc().artboards().active().name;
    }

    const AIArtboardSuite* boards = nullptr;
    ArtboardListRef list = nullptr;
    ArtboardRef record = nullptr;
};

struct InsertCase {
    ArtboardID wanted;
    ArtboardID placed;
    const char* names;
};

void PrintTo(const InsertCase& c, std::ostream* out) {
    *out << "at " << c.wanted;
}

class Inserts : public ArtboardEdits, public testing::WithParamInterface<InsertCase> {};

TEST_P(Inserts, PutTheArtboardInItsPlaceAndKeepTheActiveOne) {
    ASSERT_EQ(boards->SetName(record, ai::UnicodeString("N", kAIUTF8CharacterEncoding)), kNoErr);
    ArtboardID index = GetParam().wanted;
    ASSERT_EQ(boards->InsertAt(list, record, &index), kNoErr);
    EXPECT_EQ(index, GetParam().placed);
    EXPECT_EQ(Names(), GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(
    Places, Inserts,
    testing::Values(InsertCase{0, 0, "N A B C D active C"}, InsertCase{2, 2, "A B N C D active C"},
                    InsertCase{3, 3, "A B C N D active C"}, InsertCase{4, 4, "A B C D N active C"},
                    InsertCase{9, 4, "A B C D N active C"}, InsertCase{-1, 4, "A B C D N active C"}));

TEST_F(ArtboardEdits, AnUnnamedInsertIsNumbered) {
    ArtboardID index = 1;
    ASSERT_EQ(boards->InsertAt(list, record, &index), kNoErr);
    EXPECT_EQ(Names(), "A Artboard 5 B C D active C");
    EXPECT_TRUE(app->Journal().Contains("InsertArtboardAt(1)"));
}

TEST_F(ArtboardEdits, InsertRefusesWhatTheModelRefuses) {
    ArtboardID index = 1;
    EXPECT_EQ(boards->InsertAt(list, nullptr, &index), kBadParameterErr);
    EXPECT_EQ(boards->InsertAt(list, record, nullptr), kBadParameterErr);
    EXPECT_EQ(Names(), "A B C D active C");
}

struct DeleteCase {
    const char* label;
    std::vector<ArtboardID> indexes;
    AIErr expected;
    const char* names;
};

void PrintTo(const DeleteCase& c, std::ostream* out) {
    *out << c.label;
}

class Deletes : public ArtboardEdits, public testing::WithParamInterface<DeleteCase> {};

TEST_P(Deletes, RemoveTheSetAsAWholeOrNothing) {
    const std::vector<ArtboardID>& indexes = GetParam().indexes;
    EXPECT_EQ(boards->DeleteArtboards(list, indexes.data(), static_cast<ai::int32>(indexes.size())),
              GetParam().expected);
    EXPECT_EQ(Names(), GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, Deletes,
    testing::Values(DeleteCase{"none", {}, kNoErr, "A B C D active C"},
                    DeleteCase{"one", {0}, kNoErr, "B C D active C"},
                    DeleteCase{"inAnyOrder", {3, 0}, kNoErr, "B C active C"},
                    DeleteCase{"theActiveOne", {2}, kNoErr, "A B D active D"},
                    DeleteCase{"theActiveAndTheNext", {2, 3}, kNoErr, "A B active B"},
                    DeleteCase{"allButOne", {0, 1, 3}, kNoErr, "C active C"},
                    DeleteCase{"allButTheFirst", {3, 2, 1}, kNoErr, "A active A"},
                    DeleteCase{"every", {0, 1, 2, 3}, kCantHappenErr, "A B C D active C"},
                    DeleteCase{"repeated", {1, 1}, kBadParameterErr, "A B C D active C"},
                    DeleteCase{"outOfRange", {1, 4}, kBadParameterErr, "A B C D active C"},
                    DeleteCase{"negative", {-1}, kBadParameterErr, "A B C D active C"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ArtboardEdits, DeletingASetIsJournaled) {
    const ArtboardID indexes[] = {1, 3};
    ASSERT_EQ(boards->DeleteArtboards(list, indexes, 2), kNoErr);
    EXPECT_TRUE(app->Journal().Contains("DeleteArtboards(1,3)"));
    EXPECT_EQ(boards->DeleteArtboards(list, nullptr, 1), kBadParameterErr);
    EXPECT_EQ(boards->DeleteArtboards(list, indexes, -1), kBadParameterErr);
}

TEST_F(ArtboardEdits, TheSafeAreasMarkIsFour) {
    AIBoolean shown = 9;
    ASSERT_EQ(boards->SetShowDisplayMark(record, 4, true), kNoErr);
    ASSERT_EQ(boards->GetShowDisplayMark(record, 4, &shown), kNoErr);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(boards->SetShowDisplayMark(record, 3, true), kBadParameterErr);
}

}  // namespace

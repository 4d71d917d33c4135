// The art suite and its companions (tags, matching art, memory blocks, UUIDs) over a small
// document: stale handles, the tree, selection, names, bounds, creating and moving art, tags and
// document order.
#include <functional>
#include <limits>

#include "DocumentFixture.h"

namespace {

using hosttest::DocumentSuites;
using hosttest::MadeUp;

// --- Stale handles ---------------------------------------------------------------------------------

enum class HandleKind { disposed, madeUp, layer, null };

struct StaleCase {
    const char* label;
    std::function<AIErr(DocumentSuites&, AIArtHandle)> call;
};

class StaleArt : public DocumentSuites,
                 public testing::WithParamInterface<std::tuple<StaleCase, HandleKind>> {
public:
    AIArtHandle Handle() {
        switch (std::get<1>(GetParam())) {
            case HandleKind::disposed: {
                AIArtHandle mark = Art("Mark");
                EXPECT_EQ(art->DisposeArt(mark), kNoErr);
                return mark;
            }
            case HandleKind::madeUp:
                return MadeUp<AIArtHandle>();
            case HandleKind::layer: {
                AILayerHandle first = nullptr;
                EXPECT_EQ(layer->GetFirstLayer(&first), kNoErr);
                return reinterpret_cast<AIArtHandle>(first);
            }
            case HandleKind::null:
                break;
        }
        return nullptr;
    }
};

TEST_P(StaleArt, AnswersAnErrorAndChangesNothing) {
    AIArtHandle stale = Handle();
    const host::Document before = Doc();
    const std::size_t strings = app->LiveStrings();
    EXPECT_EQ(std::get<0>(GetParam()).call(*this, stale), kBadParameterErr);
    EXPECT_TRUE(Doc() == before);
    EXPECT_EQ(app->LiveMemoryBlocks(), 0u);
    EXPECT_EQ(app->LiveDictionaryRefs(), 0u);
    EXPECT_EQ(app->LiveStrings(), strings);
}

// Each call checks that its output was given its null value.
AIErr Relation(AIErr (*get)(AIArtHandle, AIArtHandle*), DocumentSuites& t, AIArtHandle h) {
    AIArtHandle out = t.Art("Logo");
    const AIErr error = get(h, &out);
    EXPECT_EQ(out, nullptr);
    return error;
}

AIErr BoolResult(bool answer) {
    return answer ? kNoErr : kBadParameterErr;
}

const StaleCase kStaleCases[] = {
    {"GetArtType",
     [](DocumentSuites& t, AIArtHandle h) {
         ai::int16 type = 5;
         const AIErr error = t.art->GetArtType(h, &type);
         EXPECT_EQ(type, kUnknownArt);
         return error;
     }},
    {"GetArtParent", [](DocumentSuites& t, AIArtHandle h) { return Relation(t.art->GetArtParent, t, h); }},
    {"GetArtFirstChild",
     [](DocumentSuites& t, AIArtHandle h) { return Relation(t.art->GetArtFirstChild, t, h); }},
    {"GetArtLastChild",
     [](DocumentSuites& t, AIArtHandle h) { return Relation(t.art->GetArtLastChild, t, h); }},
    {"GetArtSibling", [](DocumentSuites& t, AIArtHandle h) { return Relation(t.art->GetArtSibling, t, h); }},
    {"GetArtPriorSibling",
     [](DocumentSuites& t, AIArtHandle h) { return Relation(t.art->GetArtPriorSibling, t, h); }},
    {"IsArtLayerGroup",
     [](DocumentSuites& t, AIArtHandle h) {
         AIBoolean is = true;
         const AIErr error = t.art->IsArtLayerGroup(h, &is);
         EXPECT_FALSE(is);
         return error;
     }},
    {"GetLayerOfArt",
     [](DocumentSuites& t, AIArtHandle h) {
         AILayerHandle out = MadeUp<AILayerHandle>();
         const AIErr error = t.art->GetLayerOfArt(h, &out);
         EXPECT_EQ(out, nullptr);
         return error;
     }},
    {"GetArtUserAttr",
     [](DocumentSuites& t, AIArtHandle h) {
         ai::int32 attr = -1;
         const AIErr error = t.art->GetArtUserAttr(h, kArtSelected, &attr);
         EXPECT_EQ(attr, 0);
         return error;
     }},
    {"SetArtUserAttr",
     [](DocumentSuites& t, AIArtHandle h) { return t.art->SetArtUserAttr(h, kArtLocked, kArtLocked); }},
    {"GetArtName",
     [](DocumentSuites& t, AIArtHandle h) {
         ai::UnicodeString name;
         AIBoolean isDefault = true;
         const AIErr error = t.art->GetArtName(h, name, &isDefault);
         EXPECT_FALSE(isDefault);
         EXPECT_TRUE(name.empty());
         return error;
     }},
    {"SetArtName",
     [](DocumentSuites& t, AIArtHandle h) { return t.art->SetArtName(h, ai::UnicodeString("x")); }},
    {"GetArtBounds",
     [](DocumentSuites& t, AIArtHandle h) {
         AIRealRect bounds{1, 2, 3, 4};
         const AIErr error = t.art->GetArtBounds(h, &bounds);
         EXPECT_EQ(bounds.left + bounds.top + bounds.right + bounds.bottom, 0);
         return error;
     }},
    {"GetArtTransformBounds",
     [](DocumentSuites& t, AIArtHandle h) {
         AIRealRect bounds;
         return t.art->GetArtTransformBounds(h, nullptr, kNoStrokeBounds, &bounds);
     }},
    {"ValidArt", [](DocumentSuites& t, AIArtHandle h) { return BoolResult(t.art->ValidArt(h, true)); }},
    {"HasDictionary", [](DocumentSuites& t, AIArtHandle h) { return BoolResult(t.art->HasDictionary(h)); }},
    {"GetDictionary",
     [](DocumentSuites& t, AIArtHandle h) {
         AIDictionaryRef out = MadeUp<AIDictionaryRef>();
         const AIErr error = t.art->GetDictionary(h, &out);
         EXPECT_EQ(out, nullptr);
         return error;
     }},
    {"DisposeArt", [](DocumentSuites& t, AIArtHandle h) { return t.art->DisposeArt(h); }},
    {"ReorderArt",
     [](DocumentSuites& t, AIArtHandle h) { return t.art->ReorderArt(h, kPlaceAbove, t.Art("Logo")); }},
    {"ReorderArt_prep",
     [](DocumentSuites& t, AIArtHandle h) { return t.art->ReorderArt(t.Art("Logo"), kPlaceAbove, h); }},
    {"DuplicateArt",
     [](DocumentSuites& t, AIArtHandle h) {
         AIArtHandle copy = t.Art("Logo");
         const AIErr error = t.art->DuplicateArt(h, kPlaceAboveAll, nullptr, &copy);
         EXPECT_EQ(copy, nullptr);
         return error;
     }},
    {"NewArt_prep",
     [](DocumentSuites& t, AIArtHandle h) {
         AIArtHandle created = t.Art("Logo");
         const AIErr error = t.art->NewArt(kPathArt, kPlaceBelow, h, &created);
         EXPECT_EQ(created, nullptr);
         return error;
     }},
    {"SetTag", [](DocumentSuites& t, AIArtHandle h) { return t.tag->SetTag(h, "n", kAITagStringType, "v"); }},
    {"GetTag",
     [](DocumentSuites& t, AIArtHandle h) {
         const char* value = "left";
         const AIErr error = t.tag->GetTag(h, "a.tag", kAITagStringType, &value);
         EXPECT_EQ(value, nullptr);
         return error;
     }},
    {"RemoveTag", [](DocumentSuites& t, AIArtHandle h) { return t.tag->RemoveTag(h, "a.tag"); }},
    {"CountTags",
     [](DocumentSuites& t, AIArtHandle h) {
         ai::int32 count = 9;
         const AIErr error = t.tag->CountTags(h, &count);
         EXPECT_EQ(count, 0);
         return error;
     }},
    {"GetNthTag",
     [](DocumentSuites& t, AIArtHandle h) {
         const char* name = "left";
         const AIErr error = t.tag->GetNthTag(h, 0, &name);
         EXPECT_EQ(name, nullptr);
         return error;
     }},
    {"GetMatchingArtFromArt",
     [](DocumentSuites& t, AIArtHandle h) {
         const AIMatchingArtSpec criterion;
         AIArtHandle** matches = MadeUp<AIArtHandle**>();
         ai::int32 count = 3;
         const AIErr error = t.matching->GetMatchingArtFromArt(h, &criterion, 1, &matches, &count);
         EXPECT_EQ(matches, nullptr);
         EXPECT_EQ(count, 0);
         return error;
     }},
    {"GetArtUUID",
     [](DocumentSuites& t, AIArtHandle h) {
         AIUUID id;
         id.bytes[0] = 7;
         const AIErr error = t.uuid->GetArtUUID(h, &id);
         EXPECT_EQ(id.bytes[0], 0);
         return error;
     }},
    {"GetGroupClipped",
     [](DocumentSuites& t, AIArtHandle h) {
         AIBoolean clipped = true;
         const AIErr error = t.group->GetGroupClipped(h, &clipped);
         EXPECT_FALSE(clipped);
         return error;
     }},
    {"SetGroupClipped", [](DocumentSuites& t, AIArtHandle h) { return t.group->SetGroupClipped(h, true); }},
    {"IsEnvelope", [](DocumentSuites& t, AIArtHandle h) { return BoolResult(t.envelope->IsEnvelope(h)); }},
    {"GetEnvelopeObject",
     [](DocumentSuites& t, AIArtHandle h) { return Relation(t.envelope->GetEnvelopeObject, t, h); }},
    {"IsIntertwine",
     [](DocumentSuites& t, AIArtHandle h) { return BoolResult(t.intertwine->IsIntertwine(h)); }},
    {"CreateOutline",
     [](DocumentSuites& t, AIArtHandle h) { return Relation(t.textFrame->CreateOutline, t, h); }},
};

std::string StaleCaseName(const testing::TestParamInfo<std::tuple<StaleCase, HandleKind>>& info) {
    constexpr const char* kKinds[] = {"disposed", "made_up", "layer_handle", "null"};
    return std::string(std::get<0>(info.param).label) + "_" +
           kKinds[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Operations, StaleArt,
                         testing::Combine(testing::ValuesIn(kStaleCases),
                                          testing::Values(HandleKind::disposed, HandleKind::madeUp,
                                                          HandleKind::layer, HandleKind::null)),
                         StaleCaseName);

TEST_F(DocumentSuites, DisposingAGroupMakesTheHandlesBelowItStale) {
    AIArtHandle logo = Art("Logo");
    AIArtHandle mark = Art("Mark");
    ASSERT_EQ(art->DisposeArt(logo), kNoErr);
    EXPECT_FALSE(art->ValidArt(logo, false));
    EXPECT_FALSE(art->ValidArt(mark, false));
    EXPECT_EQ(art->DisposeArt(logo), kBadParameterErr);
    ai::int16 type = 0;
    EXPECT_EQ(art->GetArtType(mark, &type), kBadParameterErr);
    // New art never takes an old handle.
    AIArtHandle created = nullptr;
    ASSERT_EQ(art->NewArt(kGroupArt, kPlaceAboveAll, nullptr, &created), kNoErr);
    EXPECT_NE(created, logo);
    EXPECT_NE(created, mark);
}

TEST_F(DocumentSuites, LayerGroupsCannotBeDisposedAndTheirDuplicatesAreNewLayers) {
    AIArtHandle front = Art("Front");
    EXPECT_EQ(art->DisposeArt(front), kBadParameterErr);
    EXPECT_TRUE(art->ValidArt(front, false));
    const std::size_t layers = Doc().layers().count();
    AIArtHandle copy = nullptr;
    ASSERT_EQ(art->DuplicateArt(front, kPlaceBelowAll, nullptr, &copy), kNoErr);
    AIBoolean isLayerGroup = false;
    ASSERT_EQ(art->IsArtLayerGroup(copy, &isLayerGroup), kNoErr);
    EXPECT_TRUE(isLayerGroup);
    AILayerHandle original = nullptr;
    AILayerHandle copied = nullptr;
    ASSERT_EQ(art->GetLayerOfArt(front, &original), kNoErr);
    ASSERT_EQ(art->GetLayerOfArt(copy, &copied), kNoErr);
    EXPECT_NE(copied, original);
    EXPECT_EQ(Doc().layers().count(), layers + 1);
    // A layer group can't go inside ordinary art, as a copy either.
    AIArtHandle refused = nullptr;
    EXPECT_EQ(art->DuplicateArt(front, kPlaceAbove, Art("Mark"), &refused), kBadParameterErr);
    EXPECT_EQ(refused, nullptr);
}

TEST_F(DocumentSuites, NullOutputsAreRefused) {
    AIArtHandle logo = Art("Logo");
    EXPECT_EQ(art->GetArtType(logo, nullptr), kBadParameterErr);
    EXPECT_EQ(art->GetArtParent(logo, nullptr), kBadParameterErr);
    EXPECT_EQ(art->GetArtUserAttr(logo, kArtSelected, nullptr), kBadParameterErr);
    EXPECT_EQ(art->GetArtBounds(logo, nullptr), kBadParameterErr);
    EXPECT_EQ(art->NewArt(kGroupArt, kPlaceAboveAll, nullptr, nullptr), kBadParameterErr);
    EXPECT_EQ(tag->CountTags(logo, nullptr), kBadParameterErr);
    EXPECT_EQ(tag->SetTag(logo, nullptr, kAITagStringType, "v"), kBadParameterErr);
    EXPECT_EQ(tag->SetTag(logo, "n", kAITagStringType, nullptr), kBadParameterErr);
    EXPECT_EQ(uuid->GetArtUUID(logo, nullptr), kBadParameterErr);
    EXPECT_EQ(Doc().documentOrder().size(), 18u);
}

// --- The tree ----------------------------------------------------------------------------------------

TEST_F(DocumentSuites, ChildrenRunFrontToBackAndRelationsThatDoNotExistAreNull) {
    AIArtHandle logo = Art("Logo");
    AIArtHandle first = nullptr;
    AIArtHandle last = nullptr;
    ASSERT_EQ(art->GetArtFirstChild(logo, &first), kNoErr);
    ASSERT_EQ(art->GetArtLastChild(logo, &last), kNoErr);
    EXPECT_EQ(NameOf(first), "Mark");
    EXPECT_EQ(NameOf(last), "<Path>");
    AIArtHandle next = nullptr;
    AIArtHandle prior = logo;
    ASSERT_EQ(art->GetArtSibling(first, &next), kNoErr);
    EXPECT_EQ(next, last);
    ASSERT_EQ(art->GetArtSibling(last, &next), kNoErr);
    EXPECT_EQ(next, nullptr);
    ASSERT_EQ(art->GetArtPriorSibling(first, &prior), kNoErr);
    EXPECT_EQ(prior, nullptr);
    AIArtHandle child = logo;
    ASSERT_EQ(art->GetArtFirstChild(Art("Mark"), &child), kNoErr);
    EXPECT_EQ(child, nullptr);
}

TEST_F(DocumentSuites, LayerGroupsHoldTheLayersArt) {
    AIArtHandle parent = nullptr;
    ASSERT_EQ(art->GetArtParent(Art("Logo"), &parent), kNoErr);
    EXPECT_EQ(parent, Art("Front"));
    AIBoolean isLayerGroup = false;
    ASSERT_EQ(art->IsArtLayerGroup(parent, &isLayerGroup), kNoErr);
    EXPECT_TRUE(isLayerGroup);
    ASSERT_EQ(art->IsArtLayerGroup(Art("Logo"), &isLayerGroup), kNoErr);
    EXPECT_FALSE(isLayerGroup);
    // A top-level layer's group has no parent; the next top-level group is its sibling.
    ASSERT_EQ(art->GetArtParent(Art("Front"), &parent), kNoErr);
    EXPECT_EQ(parent, nullptr);
    AIArtHandle next = nullptr;
    ASSERT_EQ(art->GetArtSibling(Art("Front"), &next), kNoErr);
    EXPECT_EQ(next, Art("Back"));
}

TEST_F(DocumentSuites, TheLayerOfArtIsTheInnermostLayer) {
    AILayerHandle found = nullptr;
    ASSERT_EQ(art->GetLayerOfArt(Art("Label"), &found), kNoErr);
    AIArtHandle group = nullptr;
    ASSERT_EQ(art->GetFirstArtOfLayer(found, &group), kNoErr);
    AIArtHandle labelParent = nullptr;
    ASSERT_EQ(art->GetArtParent(Art("Label"), &labelParent), kNoErr);
    EXPECT_EQ(group, labelParent);
    AILayerHandle parentLayer = nullptr;
    ASSERT_EQ(layer->GetLayerParent(found, &parentLayer), kNoErr);
    ASSERT_EQ(art->GetFirstArtOfLayer(parentLayer, &group), kNoErr);
    EXPECT_EQ(group, Art("Front"));
}

// --- Names -------------------------------------------------------------------------------------------

struct NameCase {
    const char* label;
    std::function<AIArtHandle(DocumentSuites&)> find;
    std::string name;
    bool isDefault;
};

class Names : public DocumentSuites, public testing::WithParamInterface<NameCase> {};

TEST_P(Names, AreOwnOrTheTypesDefault) {
    ai::UnicodeString name;
    AIBoolean isDefault = !GetParam().isDefault;
    ASSERT_EQ(art->GetArtName(GetParam().find(*this), name, &isDefault), kNoErr);
    EXPECT_EQ(name.as_UTF8(), GetParam().name);
    EXPECT_EQ(isDefault != 0, GetParam().isDefault);
    // The flag is optional.
    EXPECT_EQ(art->GetArtName(GetParam().find(*this), name, nullptr), kNoErr);
}

AIArtHandle LastChildOf(DocumentSuites& t, const char* name) {
    AIArtHandle child = nullptr;
    EXPECT_EQ(t.art->GetArtLastChild(t.Art(name), &child), kNoErr);
    return child;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Names,
    testing::Values(NameCase{"own", [](DocumentSuites& t) { return t.Art("Mark"); }, "Mark", false},
                    NameCase{"unnamed_path", [](DocumentSuites& t) { return LastChildOf(t, "Logo"); },
                             "<Path>", true},
                    NameCase{"layer_group", [](DocumentSuites& t) { return t.Art("Back"); }, "Back", false},
                    NameCase{"empty_sublayer", [](DocumentSuites& t) { return LastChildOf(t, "Back"); },
                             "Labels", false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(DocumentSuites, AnEmptyNameGivesTheDefaultBack) {
    AIArtHandle mark = Art("Mark");
    ASSERT_EQ(art->SetArtName(mark, ai::UnicodeString("")), kNoErr);
    ai::UnicodeString name;
    AIBoolean isDefault = false;
    ASSERT_EQ(art->GetArtName(mark, name, &isDefault), kNoErr);
    EXPECT_EQ(name.as_UTF8(), "<Path>");
    EXPECT_TRUE(isDefault);
    ASSERT_EQ(art->SetArtName(mark, ai::UnicodeString("Zeichen \xC3\xA4")), kNoErr);
    EXPECT_EQ(NameOf(mark), "Zeichen \xC3\xA4");
    // A layer group's name is its layer's title.
    ASSERT_EQ(art->SetArtName(Art("Front"), ai::UnicodeString("Top")), kNoErr);
    EXPECT_EQ(Doc().layers().properties(Doc().layers().first())->title, "Top");
}

TEST_F(DocumentSuites, NamesFillAPluginsStringWhateverItHeld) {
    ai::UnicodeString name("old text");
    const std::size_t strings = app->LiveStrings();
    ASSERT_EQ(art->GetArtName(Art("Title"), name, nullptr), kNoErr);
    EXPECT_EQ(name.as_UTF8(), "Title");
    EXPECT_EQ(app->LiveStrings(), strings);  // the string's own reference was reused
}

// --- Attributes and selection --------------------------------------------------------------------

TEST_F(DocumentSuites, SelectionIsReportedOnTheContainersThatHoldIt) {
    ASSERT_EQ(art->SetArtUserAttr(Art("Mark"), kArtSelected, kArtSelected), kNoErr);
    EXPECT_EQ(Attr(Art("Mark"), kArtSelected | kArtFullySelected), kArtSelected | kArtFullySelected);
    EXPECT_EQ(Attr(Art("Logo"), kArtSelected | kArtFullySelected), kArtSelected);
    EXPECT_EQ(Attr(Art("Front"), kArtSelected | kArtFullySelected), kArtSelected);
    EXPECT_EQ(Attr(Art("Back"), kArtSelected | kArtFullySelected), 0);
    ASSERT_EQ(art->SetArtUserAttr(LastChildOf(*this, "Logo"), kArtSelected, kArtSelected), kNoErr);
    EXPECT_EQ(Attr(Art("Logo"), kArtSelected | kArtFullySelected), kArtSelected | kArtFullySelected);
    EXPECT_EQ(NamesOf(Matching(kAnyArt, kArtFullySelected, kArtFullySelected)),
              (std::vector<std::string>{"Logo", "Mark", "<Path>"}));
    EXPECT_EQ(NamesOf(Matching(kAnyArt, kArtSelected, kArtSelected)),
              (std::vector<std::string>{"Front", "Logo", "Mark", "<Path>"}));
}

TEST_F(DocumentSuites, SelectingAContainerSelectsEverythingBelowIt) {
    ASSERT_EQ(art->SetArtUserAttr(Art("Back"), kArtSelected, kArtSelected), kNoErr);
    for (const char* name : {"Back", "Bent", "Held", "Clip", "Mask", "Inside", "Blank"}) {
        EXPECT_EQ(Attr(Art(name), kArtFullySelected), kArtFullySelected) << name;
    }
    ASSERT_EQ(art->SetArtUserAttr(Art("Clip"), kArtSelected, 0), kNoErr);
    EXPECT_EQ(Attr(Art("Mask"), kArtSelected), 0);
    EXPECT_EQ(Attr(Art("Back"), kArtSelected | kArtFullySelected), kArtSelected);
}

TEST_F(DocumentSuites, AnEmptyGroupIsSelectedOnItsOwn) {
    ASSERT_EQ(art->SetArtUserAttr(Art("Empty"), kArtSelected, kArtSelected), kNoErr);
    EXPECT_EQ(Attr(Art("Empty"), kArtSelected | kArtFullySelected), kArtSelected | kArtFullySelected);
    EXPECT_EQ(Attr(Art("Front"), kArtFullySelected), 0);
}

TEST_F(DocumentSuites, FullySelectedCannotBeWrittenAndOtherBitsStayWithTheObject) {
    ASSERT_EQ(art->SetArtUserAttr(Art("Mark"), kArtFullySelected, kArtFullySelected), kNoErr);
    EXPECT_EQ(Attr(Art("Mark"), kArtSelected | kArtFullySelected), 0);
    ASSERT_EQ(art->SetArtUserAttr(Art("Logo"), kArtLocked | kArtHidden, kArtLocked | kArtHidden), kNoErr);
    EXPECT_EQ(Attr(Art("Logo"), kArtLocked | kArtHidden), kArtLocked | kArtHidden);
    EXPECT_EQ(Attr(Art("Mark"), kArtLocked | kArtHidden), 0);
    // Only the bits asked for are reported, and bits the host does not know are never set.
    EXPECT_EQ(Attr(Art("Mask"), -1), kArtIsClipMask);
    ASSERT_EQ(art->SetArtUserAttr(Art("Logo"), kArtLocked, 0), kNoErr);
    EXPECT_EQ(Attr(Art("Logo"), kArtLocked | kArtHidden), kArtHidden);
}

TEST_F(DocumentSuites, DeselectAllClearsTheWholeDocument) {
    ASSERT_EQ(art->SetArtUserAttr(Art("Back"), kArtSelected, kArtSelected), kNoErr);
    ASSERT_EQ(art->SetArtUserAttr(Art("Label"), kArtSelected, kArtSelected), kNoErr);
    ASSERT_EQ(matching->DeselectAll(), kNoErr);
    EXPECT_TRUE(Matching(kAnyArt, kArtSelected, kArtSelected).empty());
    EXPECT_TRUE(app->Journal().Contains("DeselectAll()"));
}

// --- Bounds ------------------------------------------------------------------------------------------

struct BoundsCase {
    const char* label;
    const char* art;
    bool useMatrix;
    ai::int32 flags;
    AIRealRect expected;
};

class Bounds : public DocumentSuites, public testing::WithParamInterface<BoundsCase> {};

TEST_P(Bounds, AreTheGeometryWithOrWithoutStroke) {
    const AIRealMatrix shift{1, 0, 0, 1, 5, 0};
    AIRealRect bounds;
    ASSERT_EQ(art->GetArtTransformBounds(Art(GetParam().art), GetParam().useMatrix ? &shift : nullptr,
                                         GetParam().flags, &bounds),
              kNoErr);
    EXPECT_EQ(bounds.left, GetParam().expected.left);
    EXPECT_EQ(bounds.top, GetParam().expected.top);
    EXPECT_EQ(bounds.right, GetParam().expected.right);
    EXPECT_EQ(bounds.bottom, GetParam().expected.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Bounds,
    testing::Values(BoundsCase{"visible", "Mark", false, kVisibleBounds, {-1, 11, 11, -1}},
                    BoundsCase{"no_stroke", "Mark", false, kNoStrokeBounds, {0, 10, 10, 0}},
                    BoundsCase{"moved", "Mark", true, kNoStrokeBounds, {5, 10, 15, 0}},
                    BoundsCase{"group", "Logo", false, kNoStrokeBounds, {0, 10, 30, 0}},
                    BoundsCase{"clip_group_is_its_mask", "Clip", false, kVisibleBounds, {0, 4, 4, 0}},
                    BoundsCase{"text_frame", "Title", false, kVisibleBounds, {0, 100, 50, 80}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(DocumentSuites, ArtWithoutExtentHasNoBounds) {
    AIRealRect bounds{1, 1, 1, 1};
    EXPECT_EQ(art->GetArtBounds(Art("Empty"), &bounds), kBadParameterErr);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(art->GetArtTransformBounds(Art("Held"), nullptr, kNoStrokeBounds, &bounds), kBadParameterErr);
    ASSERT_EQ(art->GetArtBounds(Art("Mark"), &bounds), kNoErr);
    EXPECT_EQ(bounds.right, 11);
    const AIRealMatrix broken{1, 0, 0, 1, std::numeric_limits<double>::infinity(), 0};
    EXPECT_EQ(art->GetArtTransformBounds(Art("Mark"), &broken, 0, &bounds), kBadParameterErr);
}

// --- Creating, moving, copying -----------------------------------------------------------------------

TEST_F(DocumentSuites, NewArtIsPlacedRelativeToThePrepArt) {
    AIArtHandle created = nullptr;
    ASSERT_EQ(art->NewArt(kPathArt, kPlaceInsideOnTop, Art("Logo"), &created), kNoErr);
    AIArtHandle first = nullptr;
    ASSERT_EQ(art->GetArtFirstChild(Art("Logo"), &first), kNoErr);
    EXPECT_EQ(first, created);
    ai::int16 type = 0;
    ASSERT_EQ(art->GetArtType(created, &type), kNoErr);
    EXPECT_EQ(type, kPathArt);
    ASSERT_EQ(art->NewArt(kGroupArt, kPlaceBelowAll, nullptr, &created), kNoErr);
    EXPECT_EQ(LastChildOf(*this, "Back"), created);
    EXPECT_TRUE(app->Journal().Contains("NewArt(1, 6, null)"));
}

struct RefusedNewArt {
    const char* label;
    ai::int16 type;
    ai::int16 order;
    const char* prep;  // null: no prep art
};

class RefusedNew : public DocumentSuites, public testing::WithParamInterface<RefusedNewArt> {};

TEST_P(RefusedNew, LeavesTheDocumentAlone) {
    const host::Document before = Doc();
    AIArtHandle created = Art("Logo");
    AIArtHandle prep = GetParam().prep != nullptr ? Art(GetParam().prep) : nullptr;
    EXPECT_EQ(art->NewArt(GetParam().type, GetParam().order, prep, &created), kBadParameterErr);
    EXPECT_EQ(created, nullptr);
    EXPECT_TRUE(Doc() == before);
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedNew,
                         testing::Values(RefusedNewArt{"text_frame", kTextFrameArt, kPlaceAboveAll, nullptr},
                                         RefusedNewArt{"unknown_type", 42, kPlaceAboveAll, nullptr},
                                         RefusedNewArt{"unknown_order", kPathArt, 9, "Logo"},
                                         RefusedNewArt{"order_zero", kPathArt, 0, "Logo"},
                                         RefusedNewArt{"above_without_prep", kPathArt, kPlaceAbove, nullptr},
                                         RefusedNewArt{"inside_a_path", kPathArt, kPlaceInsideOnTop, "Mark"},
                                         RefusedNewArt{"beside_a_layer", kPathArt, kPlaceAbove, "Front"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(DocumentSuites, ReorderMovesArtButNotIntoItself) {
    AIArtHandle mark = Art("Mark");
    ASSERT_EQ(art->ReorderArt(mark, kPlaceBelow, Art("Title")), kNoErr);
    AIArtHandle next = nullptr;
    ASSERT_EQ(art->GetArtSibling(Art("Title"), &next), kNoErr);
    EXPECT_EQ(next, mark);
    EXPECT_EQ(art->ReorderArt(Art("Logo"), kPlaceInsideOnTop, Art("Logo")), kBadParameterErr);
    EXPECT_EQ(art->ReorderArt(Art("Logo"), kPlaceInsideOnTop, LastChildOf(*this, "Logo")), kBadParameterErr);
    const std::string logo = Doc().uuid(Id(Art("Logo"))).value();
    const std::string title = Doc().uuid(Id(Art("Title"))).value();
    EXPECT_TRUE(
        app->Journal().Contains("ReorderArt(" + Doc().uuid(Id(mark)).value() + ", 2, " + title + ")"));
    EXPECT_EQ(app->Journal().Find("ReorderArt").back().result, kBadParameterErr);
    EXPECT_EQ(app->Journal().Find("ReorderArt").back().arguments[0], logo);
}

TEST_F(DocumentSuites, DuplicatesCopyEverythingButTheUuid) {
    AIArtHandle original = Art("Title");
    ASSERT_EQ(art->SetArtUserAttr(original, kArtLocked, kArtLocked), kNoErr);
    AIArtHandle copy = nullptr;
    ASSERT_EQ(art->DuplicateArt(original, kPlaceAbove, original, &copy), kNoErr);
    ASSERT_NE(copy, nullptr);
    AIArtHandle next = nullptr;
    ASSERT_EQ(art->GetArtSibling(copy, &next), kNoErr);
    EXPECT_EQ(next, original);
    EXPECT_EQ(NameOf(copy), "Title");
    EXPECT_EQ(Attr(copy, kArtLocked), kArtLocked);
    ai::int32 count = 0;
    ASSERT_EQ(tag->CountTags(copy, &count), kNoErr);
    EXPECT_EQ(count, 2);
    EXPECT_NE(Doc().uuid(Id(copy)).value(), Doc().uuid(Id(original)).value());
    EXPECT_EQ(app->Journal().Count("DuplicateArt"), 1u);
}

// --- Tags ----------------------------------------------------------------------------------------------

std::vector<std::string> TagNames(DocumentSuites& t, AIArtHandle handle) {
    ai::int32 count = 0;
    EXPECT_EQ(t.tag->CountTags(handle, &count), kNoErr);
    std::vector<std::string> names;
    for (ai::int32 n = 0; n < count; ++n) {
        const char* name = nullptr;
        EXPECT_EQ(t.tag->GetNthTag(handle, n, &name), kNoErr);
        names.push_back(name != nullptr ? name : "?");
    }
    return names;
}

std::string TagValue(DocumentSuites& t, AIArtHandle handle, const char* name) {
    const char* value = nullptr;
    if (t.tag->GetTag(handle, name, kAITagStringType, &value) != kNoErr) {
        return "?";
    }
    return value;
}

TEST_F(DocumentSuites, TagsAreKeptInByteOrderOfTheirNames) {
    AIArtHandle title = Art("Title");
    EXPECT_EQ(TagNames(*this, title), (std::vector<std::string>{"a.tag", "b.tag"}));
    ASSERT_EQ(tag->SetTag(title, "c.tag", kAITagStringType, "third"), kNoErr);
    ASSERT_EQ(tag->SetTag(title, "B.tag", kAITagStringType, ""), kNoErr);
    EXPECT_EQ(TagNames(*this, title), (std::vector<std::string>{"B.tag", "a.tag", "b.tag", "c.tag"}));
    EXPECT_EQ(TagValue(*this, title, "B.tag"), "");
    const char* name = "left";
    EXPECT_EQ(tag->GetNthTag(title, 4, &name), kBadParameterErr);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(tag->GetNthTag(title, -1, &name), kBadParameterErr);
}

TEST_F(DocumentSuites, SettingATagOfTheSameNameOverwritesIt) {
    AIArtHandle title = Art("Title");
    ASSERT_EQ(tag->SetTag(title, "a.tag", kAITagStringType, "changed"), kNoErr);
    EXPECT_EQ(TagNames(*this, title), (std::vector<std::string>{"a.tag", "b.tag"}));
    EXPECT_EQ(TagValue(*this, title, "a.tag"), "changed");
    const std::string id = Doc().uuid(Id(title)).value();
    EXPECT_TRUE(app->Journal().Contains("SetTag(" + id + ", a.tag, changed)"));
}

TEST_F(DocumentSuites, RemovingAndReadingMissingTagsAreErrors) {
    AIArtHandle title = Art("Title");
    ASSERT_EQ(tag->RemoveTag(title, "a.tag"), kNoErr);
    EXPECT_EQ(TagNames(*this, title), (std::vector<std::string>{"b.tag"}));
    EXPECT_EQ(tag->RemoveTag(title, "a.tag"), kBadParameterErr);
    EXPECT_EQ(TagValue(*this, title, "a.tag"), "?");
    const std::string id = Doc().uuid(Id(title)).value();
    ASSERT_EQ(app->Journal().Count("RemoveTag"), 2u);
    EXPECT_EQ(app->Journal().Find("RemoveTag")[0].Text(), "RemoveTag(" + id + ", a.tag)");
    EXPECT_EQ(app->Journal().Find("RemoveTag")[1].result, kBadParameterErr);
}

TEST_F(DocumentSuites, OnlyStringTagsAreHeld) {
    AIArtHandle title = Art("Title");
    const ai::int32 number = 3;
    EXPECT_EQ(tag->SetTag(title, "n", "integer", &number), kBadParameterErr);
    EXPECT_EQ(tag->SetTag(title, "n", nullptr, "v"), kBadParameterErr);
    const char* value = nullptr;
    EXPECT_EQ(tag->GetTag(title, "a.tag", "integer", &value), kBadParameterErr);
    EXPECT_EQ(TagNames(*this, title), (std::vector<std::string>{"a.tag", "b.tag"}));
    // An entry of another type (from a document) is not read as text.
    ASSERT_EQ(Doc().editTags(Id(title))->set("foreign", "real", "1.5"), host::model::Status::ok);
    EXPECT_EQ(TagValue(*this, title, "foreign"), "?");
}

TEST_F(DocumentSuites, TagTextsStayValidUntilTheEntriesChange) {
    AIArtHandle title = Art("Title");
    const char* value = nullptr;
    ASSERT_EQ(tag->GetTag(title, "b.tag", kAITagStringType, &value), kNoErr);
    ASSERT_EQ(tag->SetTag(Art("Mark"), "x", kAITagStringType, "y"), kNoErr);
    EXPECT_STREQ(value, "second");
}

// --- Matching art ---------------------------------------------------------------------------------------

TEST_F(DocumentSuites, MatchingArtIsInDocumentOrder) {
    EXPECT_EQ(NamesOf(Matching(kAnyArt)),
              (std::vector<std::string>{"Front", "Logo", "Mark", "<Path>", "Title", "Labels", "Label",
                                        "Empty", "Back", "Bent", "Held", "Woven", "Strand", "Clip", "Mask",
                                        "Inside", "Blank", "Labels"}));
}

struct TypeCase {
    const char* label;
    ai::int16 type;
    std::vector<std::string> names;
};

class MatchingTypes : public DocumentSuites, public testing::WithParamInterface<TypeCase> {};

TEST_P(MatchingTypes, ListEveryObjectOfTheType) {
    EXPECT_EQ(NamesOf(Matching(GetParam().type)), GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatchingTypes,
    testing::Values(TypeCase{"groups",
                             kGroupArt,
                             {"Front", "Logo", "Labels", "Empty", "Back", "Bent", "Woven", "Clip", "Labels"}},
                    TypeCase{
                        "paths", kPathArt, {"Mark", "<Path>", "Label", "Held", "Strand", "Mask", "Inside"}},
                    TypeCase{"text_frames", kTextFrameArt, {"Title", "Blank"}},
                    TypeCase{"plugin_art_is_no_art_here", kPluginArt, {}}, TypeCase{"unknown_code", 4, {}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(DocumentSuites, AnObjectMeetingSeveralCriteriaIsListedOnce) {
    const AIMatchingArtSpec criteria[] = {
        {kPathArt, kArtIsClipMask, kArtIsClipMask}, {kAnyArt, 0, 0}, {kPathArt, 0, 0}};
    AIArtHandle** matches = nullptr;
    ai::int32 count = 0;
    ASSERT_EQ(matching->GetMatchingArtFromArt(Art("Clip"), criteria, 3, &matches, &count), kNoErr);
    EXPECT_EQ(NamesOf(Take(matches, count)), (std::vector<std::string>{"Clip", "Mask", "Inside"}));
}

TEST_F(DocumentSuites, MatchingFromArtStartsWithTheArtItself) {
    EXPECT_EQ(NamesOf(MatchingFrom(Art("Logo"))), (std::vector<std::string>{"Logo", "Mark", "<Path>"}));
    EXPECT_EQ(NamesOf(MatchingFrom(Art("Mark"))), (std::vector<std::string>{"Mark"}));
    EXPECT_TRUE(MatchingFrom(Art("Mark"), kGroupArt).empty());
}

TEST_F(DocumentSuites, NoMatchGivesNoBlock) {
    const AIMatchingArtSpec criterion{kTextFrameArt, kArtSelected, kArtSelected};
    AIArtHandle** matches = MadeUp<AIArtHandle**>();
    ai::int32 count = 7;
    ASSERT_EQ(matching->GetMatchingArt(&criterion, 1, &matches, &count), kNoErr);
    EXPECT_EQ(matches, nullptr);
    EXPECT_EQ(count, 0);
    ASSERT_EQ(matching->GetMatchingArt(nullptr, 0, &matches, &count), kNoErr);
    EXPECT_EQ(matches, nullptr);
    EXPECT_EQ(app->LiveMemoryBlocks(), 0u);
}

TEST_F(DocumentSuites, BadQueriesAreRefused) {
    const AIMatchingArtSpec criterion;
    AIArtHandle** matches = nullptr;
    ai::int32 count = 0;
    EXPECT_EQ(matching->GetMatchingArt(nullptr, 1, &matches, &count), kBadParameterErr);
    EXPECT_EQ(matching->GetMatchingArt(&criterion, -1, &matches, &count), kBadParameterErr);
    EXPECT_EQ(matching->GetMatchingArt(&criterion, 1, nullptr, &count), kBadParameterErr);
    EXPECT_EQ(matching->GetMatchingArt(&criterion, 1, &matches, nullptr), kBadParameterErr);
    EXPECT_EQ(app->LiveMemoryBlocks(), 0u);
}

TEST_F(DocumentSuites, AnswersAreFreedExactlyOnce) {
    const AIMatchingArtSpec criterion;
    AIArtHandle** matches = nullptr;
    ai::int32 count = 0;
    ASSERT_EQ(matching->GetMatchingArt(&criterion, 1, &matches, &count), kNoErr);
    EXPECT_EQ(app->LiveMemoryBlocks(), 1u);
    EXPECT_EQ((*matches)[0], Art("Front"));
    const auto handle = reinterpret_cast<AIMdMemoryHandle>(matches);
    EXPECT_EQ(memory->MdMemoryDisposeHandle(handle), kNoErr);
    EXPECT_EQ(app->LiveMemoryBlocks(), 0u);
    EXPECT_EQ(memory->MdMemoryDisposeHandle(handle), kBadParameterErr);
    EXPECT_EQ(memory->MdMemoryDisposeHandle(MadeUp<AIMdMemoryHandle>()), kBadParameterErr);
    EXPECT_EQ(memory->MdMemoryDisposeHandle(nullptr), kNoErr);
}

TEST_F(DocumentSuites, BlocksLeftByAPluginGoWithTheApplication) {
    const AIMatchingArtSpec criterion;
    AIArtHandle** matches = nullptr;
    ai::int32 count = 0;
    ASSERT_EQ(matching->GetMatchingArt(&criterion, 1, &matches, &count), kNoErr);
    app.reset();  // LeakSanitizer would report the block if it were lost
}

TEST_F(DocumentSuites, IsolationModeNarrowsTheDocumentsQueries) {
    Doc().setEditingState({2, Id(Art("Mark")), false});
    EXPECT_EQ(NamesOf(Matching(kAnyArt)), (std::vector<std::string>{"Front", "Mark"}));
    ASSERT_EQ(art->SetArtUserAttr(Art("Mark"), kArtSelected, kArtSelected), kNoErr);
    EXPECT_EQ(NamesOf(Matching(kAnyArt, kArtSelected, kArtSelected)),
              (std::vector<std::string>{"Front", "Mark"}));
    Doc().setEditingState({1, Id(Art("Logo")), false});
    EXPECT_EQ(NamesOf(Matching(kAnyArt)), (std::vector<std::string>{"Front", "Logo", "Mark", "<Path>"}));
    // Queries from an art, and the deselection, still reach everything.
    EXPECT_EQ(NamesOf(MatchingFrom(Art("Clip"))), (std::vector<std::string>{"Clip", "Mask", "Inside"}));
    Doc().setEditingState({});
    EXPECT_EQ(Matching(kAnyArt).size(), 18u);
}

// --- UUIDs ---------------------------------------------------------------------------------------------

TEST_F(DocumentSuites, UuidsReadAsTheModelsText) {
    for (const char* name : {"Front", "Mark", "Title", "Held"}) {
        AIUUID id;
        ASSERT_EQ(uuid->GetArtUUID(Art(name), &id), kNoErr);
        ai::UnicodeString text;
        ASSERT_EQ(uuid->GetUUIDAsString(id, text), kNoErr);
        EXPECT_EQ(text.as_UTF8(), Doc().uuid(Id(Art(name))).value()) << name;
    }
}

TEST_F(DocumentSuites, UuidTextIsLowerCaseHexInFiveGroups) {
    AIUUID id;
    for (unsigned char i = 0; i < 16; ++i) {
        id.bytes[i] = static_cast<unsigned char>(i * 17);
    }
    ai::UnicodeString text;
    ASSERT_EQ(uuid->GetUUIDAsString(id, text), kNoErr);
    EXPECT_EQ(text.as_UTF8(), "00112233-4455-6677-8899-aabbccddeeff");
    ASSERT_EQ(uuid->GetUUIDAsString(AIUUID{}, text), kNoErr);
    EXPECT_EQ(text.as_UTF8(), "00000000-0000-0000-0000-000000000000");
}

}  // namespace

// The dictionary suite's entries: keys, typed values, and copies of art kept as entries and put back
// into the artwork.
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "AIArray.h"
#include "AIArt.h"
#include "AIDictionary.h"
#include "AIDocument.h"
#include "HostFixture.h"
#include "model/DocumentFormat.h"

namespace {

using host::model::ArtId;
using host::model::ArtType;
using host::model::PaintOrder;

constexpr ASErr kInjected = FourCharCode("OOPS");

AIArtHandle HandleOf(ArtId art) {
    return reinterpret_cast<AIArtHandle>(static_cast<std::uintptr_t>(art.value));
}
ArtId IdOf(AIArtHandle art) {
    return ArtId{reinterpret_cast<std::uintptr_t>(art)};
}

class DictionaryEntries : public hosttest::HostTest {
protected:
    void SetUp() override {
        dictionaries = hosttest::Acquire<AIDictionarySuite>(app->BasicSuite(), kAIDictionarySuite,
                                                            kAIDictionarySuiteVersion);
        documents =
            hosttest::Acquire<AIDocumentSuite>(app->BasicSuite(), kAIDocumentSuite, kAIDocumentSuiteVersion);
        art = hosttest::Acquire<AIArtSuite>(app->BasicSuite(), kAIArtSuite, kAIArtSuiteVersion);
        ASSERT_TRUE(dictionaries && documents && art);
        ASSERT_EQ(documents->GetDictionary(&documentDictionary), kNoErr);
    }
    void TearDown() override {
        if (documentDictionary != nullptr) {
            dictionaries->Release(documentDictionary);
        }
        EXPECT_EQ(app->LiveDictionaryRefs(), 0u);
    }

    host::Document& Doc() { return *app->CurrentDocument(); }

    AIDictKey Key(const char* name) {
        AIDictKey key = nullptr;
        EXPECT_EQ(dictionaries->Key(name, &key), kNoErr) << name;
        return key;
    }

    // A group "G" holding a selected path "P" with a tag entry, a note and a nested dictionary.
    ArtId MakeGroup() {
        const ArtId group = *Doc().newArt(ArtType::group, PaintOrder::aboveAll, {});
        const ArtId path = *Doc().newArt(ArtType::path, PaintOrder::insideOnTop, group);
        EXPECT_EQ(Doc().setName(group, "G"), host::model::Status::ok);
        EXPECT_EQ(Doc().setName(path, "P"), host::model::Status::ok);
        EXPECT_EQ(Doc().setNote(path, "a note"), host::model::Status::ok);
        EXPECT_EQ(Doc().editTags(path)->set("_p_tag_1", "string", "one"), host::model::Status::ok);
        host::model::Dictionary nested;
        EXPECT_EQ(nested.setInteger("depth", 2), host::model::Status::ok);
        EXPECT_EQ(Doc().editDictionary(path)->setDictionary("nested", nested), host::model::Status::ok);
        EXPECT_EQ(
            Doc().setAttributes(path, host::model::attribute::selected, host::model::attribute::selected),
            host::model::Status::ok);
        return group;
    }

    std::vector<std::string> Uuids(ArtId root) {
        std::vector<std::string> uuids;
        const std::vector<ArtId> tree = *Doc().artTree(root);
        for (const ArtId each : tree) {
            uuids.push_back(*Doc().uuid(each));
        }
        return uuids;
    }

    const AIDictionarySuite* dictionaries = nullptr;
    const AIDocumentSuite* documents = nullptr;
    const AIArtSuite* art = nullptr;
    AIDictionaryRef documentDictionary = nullptr;
};

// --- Keys -----------------------------------------------------------------------------------------

TEST_F(DictionaryEntries, TheSameTextGivesTheSameKey) {
    EXPECT_EQ(Key("com.torvi.PlimUtils_Tag"), Key("com.torvi.PlimUtils_Tag"));
    EXPECT_NE(Key("a"), Key("b"));
    EXPECT_NE(Key("a"), nullptr);
}

TEST_F(DictionaryEntries, KeysOutliveTheApplicationThatMadeThem) {
    const AIDictKey key = Key("kept.across.applications");
    TearDown();
    documentDictionary = nullptr;
    app.reset();
    app = std::make_unique<host::Application>(hosttest::ProbeOptions());
    SetUp();
    EXPECT_EQ(Key("kept.across.applications"), key);
    EXPECT_EQ(dictionaries->SetBooleanEntry(documentDictionary, key, true), kNoErr);
}

class BadKeyText : public DictionaryEntries, public testing::WithParamInterface<const char*> {};

TEST_P(BadKeyText, IsRefused) {
    AIDictKey key = reinterpret_cast<AIDictKey>(0x1);
    EXPECT_EQ(dictionaries->Key(GetParam(), &key), kBadParameterErr);
    EXPECT_EQ(key, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Cases, BadKeyText, testing::Values(nullptr, "", "\xC3\x28", "\xED\xA0\x80"));

TEST_F(DictionaryEntries, AKeyNeedsSomewhereToGo) {
    EXPECT_EQ(dictionaries->Key("a", nullptr), kBadParameterErr);
}

// --- Typed entries ----------------------------------------------------------------------------------

TEST_F(DictionaryEntries, EachTypeReadsBackWhatWasSet) {
    ASSERT_EQ(dictionaries->SetBooleanEntry(documentDictionary, Key("b"), true), kNoErr);
    ASSERT_EQ(
        dictionaries->SetIntegerEntry(documentDictionary, Key("i"), std::numeric_limits<ai::int32>::min()),
        kNoErr);
    ASSERT_EQ(dictionaries->SetRealEntry(documentDictionary, Key("r"), -0.125), kNoErr);
    ASSERT_EQ(dictionaries->SetStringEntry(documentDictionary, Key("s"),
                                           "Gr\xC3\xBC\xC3\x9F"
                                           "e"),
              kNoErr);
    AIBoolean boolean = false;
    ai::int32 integer = 0;
    AIReal real = 0;
    const char* text = nullptr;
    ASSERT_EQ(dictionaries->GetBooleanEntry(documentDictionary, Key("b"), &boolean), kNoErr);
    ASSERT_EQ(dictionaries->GetIntegerEntry(documentDictionary, Key("i"), &integer), kNoErr);
    ASSERT_EQ(dictionaries->GetRealEntry(documentDictionary, Key("r"), &real), kNoErr);
    ASSERT_EQ(dictionaries->GetStringEntry(documentDictionary, Key("s"), &text), kNoErr);
    EXPECT_TRUE(boolean);
    EXPECT_EQ(integer, std::numeric_limits<ai::int32>::min());
    EXPECT_EQ(real, -0.125);
    EXPECT_STREQ(text,
                 "Gr\xC3\xBC\xC3\x9F"
                 "e");
    // They are the document's dictionary entries.
    const host::model::Dictionary& stored = Doc().documentDictionary();
    EXPECT_EQ(stored.keys(), (std::vector<std::string>{"b", "i", "r", "s"}));
    EXPECT_EQ(*stored.typeOf("r"), host::model::EntryType::real);
    EXPECT_TRUE(dictionaries->IsKnown(documentDictionary, Key("s")));
    EXPECT_FALSE(dictionaries->IsKnown(documentDictionary, Key("t")));
}

TEST_F(DictionaryEntries, SettingAKeyReplacesAnEntryOfAnyType) {
    ASSERT_EQ(dictionaries->SetStringEntry(documentDictionary, Key("k"), "text"), kNoErr);
    ASSERT_EQ(dictionaries->SetBooleanEntry(documentDictionary, Key("k"), false), kNoErr);
    AIBoolean value = true;
    ASSERT_EQ(dictionaries->GetBooleanEntry(documentDictionary, Key("k"), &value), kNoErr);
    EXPECT_FALSE(value);
    EXPECT_EQ(Doc().documentDictionary().size(), 1u);
}

TEST_F(DictionaryEntries, MissingEntriesAndOtherTypesHaveTheirOwnCodes) {
    ASSERT_EQ(dictionaries->SetIntegerEntry(documentDictionary, Key("n"), 5), kNoErr);
    AIBoolean boolean = true;
    EXPECT_EQ(dictionaries->GetBooleanEntry(documentDictionary, Key("n"), &boolean), kWrongEntryTypeErr);
    EXPECT_FALSE(boolean);
    const char* text = "unchanged";
    EXPECT_EQ(dictionaries->GetStringEntry(documentDictionary, Key("missing"), &text), kNoSuchKeyErr);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(dictionaries->DeleteEntry(documentDictionary, Key("missing")), kNoSuchKeyErr);
    EXPECT_EQ(dictionaries->DeleteEntry(documentDictionary, Key("n")), kNoErr);
    EXPECT_EQ(dictionaries->DeleteEntry(documentDictionary, Key("n")), kNoSuchKeyErr);
    EXPECT_TRUE(Doc().documentDictionary().empty());
}

TEST_F(DictionaryEntries, ValuesTheDocumentCannotHoldAreRefused) {
    EXPECT_EQ(dictionaries->SetRealEntry(documentDictionary, Key("r"), std::nan("")), kBadParameterErr);
    EXPECT_EQ(dictionaries->SetRealEntry(documentDictionary, Key("r"), INFINITY), kBadParameterErr);
    EXPECT_EQ(dictionaries->SetStringEntry(documentDictionary, Key("s"), "\xFF"), kBadParameterErr);
    EXPECT_EQ(dictionaries->SetStringEntry(documentDictionary, Key("s"), nullptr), kBadParameterErr);
    EXPECT_EQ(dictionaries->GetIntegerEntry(documentDictionary, Key("s"), nullptr), kBadParameterErr);
    EXPECT_TRUE(Doc().documentDictionary().empty());
}

TEST_F(DictionaryEntries, UnknownReferencesAndKeysAreRefused) {
    const AIDictKey made = reinterpret_cast<AIDictKey>(0x1234);
    const auto madeRef = reinterpret_cast<AIDictionaryRef>(0x5678);
    EXPECT_EQ(dictionaries->SetBooleanEntry(documentDictionary, made, true), kBadParameterErr);
    EXPECT_EQ(dictionaries->SetBooleanEntry(documentDictionary, nullptr, true), kBadParameterErr);
    EXPECT_EQ(dictionaries->SetBooleanEntry(madeRef, Key("k"), true), kBadParameterErr);
    EXPECT_EQ(dictionaries->SetBooleanEntry(nullptr, Key("k"), true), kBadParameterErr);
    EXPECT_FALSE(dictionaries->IsKnown(madeRef, Key("k")));
    EXPECT_FALSE(dictionaries->IsKnown(documentDictionary, made));

    AIDictionaryRef released = nullptr;
    ASSERT_EQ(documents->GetDictionary(&released), kNoErr);
    EXPECT_EQ(dictionaries->Release(released), 0);
    EXPECT_EQ(dictionaries->SetBooleanEntry(released, Key("k"), true), kBadParameterErr);
    EXPECT_TRUE(Doc().documentDictionary().empty());
}

TEST_F(DictionaryEntries, TheDictionaryOfDisposedArtIsGone) {
    const ArtId group = MakeGroup();
    AIDictionaryRef own = nullptr;
    ASSERT_EQ(art->GetDictionary(HandleOf(group), &own), kNoErr);
    ASSERT_EQ(dictionaries->SetBooleanEntry(own, Key("k"), true), kNoErr);
    ASSERT_EQ(Doc().dispose(group), host::model::Status::ok);
    EXPECT_EQ(dictionaries->SetBooleanEntry(own, Key("k"), true), kBadParameterErr);
    EXPECT_FALSE(dictionaries->IsKnown(own, Key("k")));
    dictionaries->Release(own);
}

TEST_F(DictionaryEntries, WithoutADocumentThereIsNoDictionary) {
    app->CloseDocument();
    AIDictionaryRef none = documentDictionary;
    EXPECT_EQ(documents->GetDictionary(&none), kNoDocumentErr);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(dictionaries->SetBooleanEntry(documentDictionary, Key("k"), true), kNoDocumentErr);
}

TEST_F(DictionaryEntries, AnInjectedFaultChangesNothing) {
    app->Faults().FailOperation(kAIDictionarySuite, "SetBooleanEntry", kInjected);
    EXPECT_EQ(dictionaries->SetBooleanEntry(documentDictionary, Key("k"), true), kInjected);
    EXPECT_TRUE(Doc().documentDictionary().empty());
    app->Faults().FailOperation(kAIDictionarySuite, "Key", kInjected);
    AIDictKey key = reinterpret_cast<AIDictKey>(0x1);
    EXPECT_EQ(dictionaries->Key("k", &key), kInjected);
    EXPECT_EQ(key, nullptr);
}

// --- Art copies ---------------------------------------------------------------------------------------

TEST_F(DictionaryEntries, AnArtCopyKeepsEverythingBelowTheArt) {
    const ArtId group = MakeGroup();
    const std::vector<std::string> uuids = Uuids(group);
    AIDictionaryRef own = nullptr;
    ASSERT_EQ(art->GetDictionary(HandleOf(group), &own), kNoErr);
    ASSERT_EQ(dictionaries->CopyArtToEntry(own, Key("snapshot"), HandleOf(group)), kNoErr);
    dictionaries->Release(own);

    const host::model::ArtTree* stored = Doc().dictionary(group)->art("snapshot");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->data.name, "G");
    EXPECT_EQ(stored->data.uuid, uuids[0]);
    ASSERT_EQ(stored->children.size(), 1u);
    const host::model::ArtData& path = stored->children[0].data;
    EXPECT_EQ(path.uuid, uuids[1]);
    EXPECT_EQ(path.note, "a note");
    EXPECT_EQ(*path.tags.get("_p_tag_1", "string"), "one");
    EXPECT_EQ(*path.dictionary.dictionary("nested")->integer("depth"), 2);
    // The copy was taken before the entry went in: it does not hold itself.
    EXPECT_TRUE(stored->data.dictionary.empty());
}

TEST_F(DictionaryEntries, ACopyPutBackGetsFreshUuidsEveryTime) {
    const ArtId group = MakeGroup();
    const std::vector<std::string> original = Uuids(group);
    ASSERT_EQ(dictionaries->CopyArtToEntry(documentDictionary, Key("snapshot"), HandleOf(group)), kNoErr);

    std::set<std::string> seen(original.begin(), original.end());
    for (int round = 0; round < 2; ++round) {
        AIArtHandle copy = nullptr;
        ASSERT_EQ(dictionaries->CopyEntryToArt(documentDictionary, Key("snapshot"), kPlaceAbove,
                                               HandleOf(group), &copy),
                  kNoErr);
        ASSERT_TRUE(Doc().isValid(IdOf(copy)));
        EXPECT_EQ(*Doc().nextSibling(IdOf(copy)), group) << "placed directly above the art";
        for (const std::string& uuid : Uuids(IdOf(copy))) {
            EXPECT_TRUE(seen.insert(uuid).second) << uuid;
        }
        const ArtId path = *Doc().firstChild(IdOf(copy));
        EXPECT_EQ(Doc().name(path)->text, "P");
        EXPECT_EQ(*Doc().tags(path)->get("_p_tag_1", "string"), "one");
        EXPECT_TRUE(Doc().dictionary(path)->dictionary("nested") != nullptr);
    }
    EXPECT_TRUE(Doc().documentDictionary().contains("snapshot")) << "the entry stays";
}

struct PlacementCase {
    const char* label;
    ai::int16 order;
    bool targetIsGroup;  // the prep art is the group "G" (else its path "P")
    // Where the copy ends up: its parent is the prep art (inside orders), the prep art's parent
    // (above and below) or the layer group (all orders); and its index there.
    enum class Parent { prep, prepsParent, layer } parent;
    int index;  // -1: the last
};

class Placements : public DictionaryEntries, public testing::WithParamInterface<PlacementCase> {};

TEST_P(Placements, TheCopyGoesWhereThePaintOrderSays) {
    const ArtId group = MakeGroup();
    const ArtId prep = GetParam().targetIsGroup ? group : *Doc().firstChild(group);
    ASSERT_EQ(
        dictionaries->CopyArtToEntry(documentDictionary, Key("copy"), HandleOf(*Doc().firstChild(group))),
        kNoErr);
    AIArtHandle copy = nullptr;
    ASSERT_EQ(dictionaries->CopyEntryToArt(documentDictionary, Key("copy"), GetParam().order, HandleOf(prep),
                                           &copy),
              kNoErr);
    const ArtId layerGroup = *Doc().layers().group(Doc().layers().first());
    const ArtId parent = GetParam().parent == PlacementCase::Parent::prep          ? prep
                         : GetParam().parent == PlacementCase::Parent::prepsParent ? *Doc().parent(prep)
                                                                                   : layerGroup;
    EXPECT_EQ(*Doc().parent(IdOf(copy)), parent);
    const std::vector<ArtId> siblings = *Doc().children(parent);
    const std::size_t index =
        GetParam().index < 0 ? siblings.size() - 1 : static_cast<std::size_t>(GetParam().index);
    ASSERT_LT(index, siblings.size());
    EXPECT_EQ(siblings[index], IdOf(copy));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Placements,
    testing::Values(PlacementCase{"above", kPlaceAbove, false, PlacementCase::Parent::prepsParent, 0},
                    PlacementCase{"below", kPlaceBelow, false, PlacementCase::Parent::prepsParent, 1},
                    PlacementCase{"inside_on_top", kPlaceInsideOnTop, true, PlacementCase::Parent::prep, 0},
                    PlacementCase{"inside_on_bottom", kPlaceInsideOnBottom, true, PlacementCase::Parent::prep,
                                  -1},
                    PlacementCase{"above_all", kPlaceAboveAll, false, PlacementCase::Parent::layer, 0},
                    PlacementCase{"below_all", kPlaceBelowAll, false, PlacementCase::Parent::layer, -1}),
    [](const auto& info) { return std::string(info.param.label); });

struct CopyFailure {
    const char* label;
    const char* entry;  // "art", "integer" or "missing"
    ai::int16 order;
    bool prepIsPath;  // else the group
    ASErr expected;
};

class CopyFailures : public DictionaryEntries, public testing::WithParamInterface<CopyFailure> {};

TEST_P(CopyFailures, ChangeNothingAndGiveNoArt) {
    const ArtId group = MakeGroup();
    ASSERT_EQ(dictionaries->CopyArtToEntry(documentDictionary, Key("art"), HandleOf(group)), kNoErr);
    ASSERT_EQ(dictionaries->SetIntegerEntry(documentDictionary, Key("integer"), 1), kNoErr);
    const host::Document before = Doc();
    const ArtId prep = GetParam().prepIsPath ? *Doc().firstChild(group) : group;
    AIArtHandle copy = HandleOf(group);
    EXPECT_EQ(dictionaries->CopyEntryToArt(documentDictionary, Key(GetParam().entry), GetParam().order,
                                           HandleOf(prep), &copy),
              GetParam().expected);
    EXPECT_EQ(copy, nullptr);
    EXPECT_TRUE(Doc() == before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyFailures,
    testing::Values(CopyFailure{"missing_entry", "missing", kPlaceAbove, false, kNoSuchKeyErr},
                    CopyFailure{"entry_without_art", "integer", kPlaceAbove, false, kWrongEntryTypeErr},
                    CopyFailure{"paint_order_zero", "art", 0, false, kBadParameterErr},
                    CopyFailure{"paint_order_seven", "art", 7, false, kBadParameterErr},
                    CopyFailure{"inside_a_path", "art", kPlaceInsideOnTop, true, kBadParameterErr}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(DictionaryEntries, OnlyArtOfTheDocumentCanBeCopiedAndNotALayer) {
    const ArtId layerGroup = *Doc().layers().group(Doc().layers().first());
    EXPECT_EQ(dictionaries->CopyArtToEntry(documentDictionary, Key("k"), HandleOf(layerGroup)),
              kBadParameterErr);
    EXPECT_EQ(dictionaries->CopyArtToEntry(documentDictionary, Key("k"), nullptr), kBadParameterErr);
    const ArtId gone = MakeGroup();
    ASSERT_EQ(Doc().dispose(gone), host::model::Status::ok);
    EXPECT_EQ(dictionaries->CopyArtToEntry(documentDictionary, Key("k"), HandleOf(gone)), kBadParameterErr);
    EXPECT_TRUE(Doc().documentDictionary().empty());
}

TEST_F(DictionaryEntries, ArtOfAnotherDocumentIsRefused) {
    const ArtId old = MakeGroup();
    dictionaries->Release(documentDictionary);
    app->NewDocument();
    ASSERT_EQ(documents->GetDictionary(&documentDictionary), kNoErr);
    EXPECT_EQ(dictionaries->CopyArtToEntry(documentDictionary, Key("art"), HandleOf(old)), kBadParameterErr);
    const ArtId group = MakeGroup();
    ASSERT_EQ(dictionaries->CopyArtToEntry(documentDictionary, Key("art"), HandleOf(group)), kNoErr);
    const host::Document before = Doc();
    EXPECT_EQ(
        dictionaries->CopyEntryToArt(documentDictionary, Key("art"), kPlaceAbove, HandleOf(old), nullptr),
        kBadParameterErr);
    EXPECT_TRUE(Doc() == before);
}

// --- Arrays -----------------------------------------------------------------------------------------

class ArrayEntries : public DictionaryEntries {
protected:
    void SetUp() override {
        DictionaryEntries::SetUp();
        entries = hosttest::Acquire<AIEntrySuite>(app->BasicSuite(), kAIEntrySuite, kAIEntrySuiteVersion);
        arrays = hosttest::Acquire<AIArraySuite>(app->BasicSuite(), kAIArraySuite, kAIArraySuiteVersion);
        ASSERT_TRUE(entries && arrays);
    }

    void Append(AIArrayRef array, AIEntryRef entry, AIErr expected = kNoErr) {
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(arrays->AppendEntry(array, entry), expected);
        entries->Release(entry);
    }

    const AIEntrySuite* entries = nullptr;
    const AIArraySuite* arrays = nullptr;
};

TEST_F(ArrayEntries, KeepTheirElementsInOrderThroughTheDictionaryAndTheSavedDocument) {
    AIArrayRef array = nullptr;
    ASSERT_EQ(arrays->CreateArray(&array), kNoErr);
    Append(array, entries->FromString("name"));
    Append(array, entries->FromInteger(1));
    Append(array, entries->FromString("{{name}}"));
    AIEntryRef whole = entries->FromArray(array);
    Append(array, whole, kWrongEntryTypeErr);  // arrays hold no arrays
    EXPECT_EQ(arrays->Size(array), 3);
    EXPECT_EQ(entries->FromString("\xff"), nullptr);

    AIEntryRef stored = entries->FromArray(array);
    EXPECT_EQ(arrays->Release(array), 0);
    ASSERT_EQ(dictionaries->Set(documentDictionary, Key("template"), stored), kNoErr);
    entries->Release(stored);

    // Written and read back, then taken out again element by element.
    const host::model::WriteResult written = host::model::writeDocument(Doc());
    ASSERT_TRUE(written.text);
    host::model::ReadResult read = host::model::readDocument(*written.text);
    ASSERT_TRUE(read.document) << read.error;
    const host::model::Result<host::model::EntryArray> saved = Doc().documentDictionary().array("template");
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved->size(), 3u);
    EXPECT_EQ(read.document->documentDictionary().array("template").valueOr({}), *saved);

    AIEntryRef found = nullptr;
    ASSERT_EQ(dictionaries->Get(documentDictionary, Key("template"), &found), kNoErr);
    AIArrayRef copy = nullptr;
    ASSERT_EQ(entries->ToArray(found, &copy), kNoErr);
    entries->Release(found);
    ASSERT_EQ(arrays->Size(copy), 3);
    const char* text = nullptr;
    ai::int32 kind = 0;
    AIEntryRef first = arrays->Get(copy, 0);
    AIEntryRef second = arrays->Get(copy, 1);
    EXPECT_EQ(entries->ToString(first, &text), kNoErr);
    EXPECT_STREQ(text, "name");
    EXPECT_EQ(entries->ToInteger(second, &kind), kNoErr);
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(entries->ToArray(second, &copy), kWrongEntryTypeErr);
    EXPECT_EQ(arrays->Get(copy, 3), nullptr);
    entries->Release(first);
    entries->Release(second);
    AIEntryRef missing = nullptr;
    EXPECT_EQ(dictionaries->Get(documentDictionary, Key("absent"), &missing), kNoSuchKeyErr);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(arrays->Release(copy), 0);
    EXPECT_EQ(arrays->Size(copy), 0) << "a released array names nothing";
}

}  // namespace

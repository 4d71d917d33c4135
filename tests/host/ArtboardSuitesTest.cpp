// The artboard suite (the current document's list and property records), the artboard range
// suite (range texts) and the document list suite (several open documents).
#include "AIArtboard.h"
#include "AIArtboardRange.h"
#include "AIDocumentList.h"
#include "HostFixture.h"
#include "IAIFilePath.hpp"
#include "model/DocumentFormat.h"

namespace {

using hosttest::Acquire;

constexpr const char* kBoardsDocument = R"({
  "format": "plimhost-document", "version": 1, "layers": [],
  "artboards": [{"name": "One", "rect": [0, 300, 200, 0]},
                {"name": "Two", "rect": [500, 400, 700, 100]},
                {"name": "Three", "rect": [800, 400, 900, 300]}],
  "activeArtboard": 1
})";

class ArtboardSuites : public hosttest::HostTest {
protected:
    void SetUp() override {
        host::model::ReadResult read = host::model::readDocument(kBoardsDocument, 3);
        ASSERT_TRUE(read.document) << read.error;
        app->SetDocument(std::make_unique<host::Document>(std::move(*read.document)));
        const SPBasicSuite& basic = app->BasicSuite();
        boards = Acquire<AIArtboardSuite>(basic, kAIArtboardSuite, kAIArtboardSuiteVersion);
        ranges = Acquire<AIArtboardRangeSuite>(basic, kAIArtboardRangeSuite, kAIArtboardRangeSuiteVersion);
        documents = Acquire<AIDocumentListSuite>(basic, kAIDocumentListSuite, kAIDocumentListSuiteVersion);
        ASSERT_TRUE(boards && ranges && documents);
        ASSERT_EQ(boards->GetArtboardList(&list), kNoErr);
        ASSERT_EQ(boards->Init(&record), kNoErr);
    }
    void TearDown() override {
        boards->ReleaseArtboardList(list);
        boards->Dispose(record);
    }

    host::Document& Doc() { return *app->CurrentDocument(); }

    std::string NameOf(ArtboardRef properties) {
        ai::UnicodeString name;
        EXPECT_EQ(boards->GetName(properties, name), kNoErr);
        return name.as_UTF8();
    }

    const AIArtboardSuite* boards = nullptr;
    const AIArtboardRangeSuite* ranges = nullptr;
    const AIDocumentListSuite* documents = nullptr;
    ArtboardListRef list = nullptr;
    ArtboardRef record = nullptr;
};

// --- Artboards ------------------------------------------------------------------------------------------

TEST_F(ArtboardSuites, CountActiveAndPropertiesByIndex) {
    ArtboardID count = 0;
    ArtboardID active = -1;
    ASSERT_EQ(boards->GetCount(list, &count), kNoErr);
    ASSERT_EQ(boards->GetActive(list, &active), kNoErr);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(active, 1);
    ASSERT_EQ(boards->GetArtboardProperties(list, 2, record), kNoErr);
    EXPECT_EQ(NameOf(record), "Three");
    AIRealRect position{};
    ASSERT_EQ(boards->GetPosition(record, &position), kNoErr);
    EXPECT_EQ(position.left, 800);
    EXPECT_EQ(position.top, 400);
    EXPECT_EQ(position.right, 900);
    EXPECT_EQ(position.bottom, 300);
    EXPECT_EQ(boards->GetArtboardProperties(list, 3, record), kBadParameterErr);
    EXPECT_EQ(boards->GetArtboardProperties(list, -1, record), kBadParameterErr);
}

TEST_F(ArtboardSuites, ANewRecordIsALetterPageWithDefaults) {
    AIRealRect position{};
    AIReal ratio = 0;
    AIRealPoint origin{1, 1};
    AIBoolean shown = true;
    ASSERT_EQ(boards->GetPosition(record, &position), kNoErr);
    EXPECT_EQ(position.top, 792);
    EXPECT_EQ(position.right, 612);
    ASSERT_EQ(boards->GetPAR(record, &ratio), kNoErr);
    EXPECT_EQ(ratio, 1);
    ASSERT_EQ(boards->GetRulerOrigin(record, &origin), kNoErr);
    EXPECT_EQ(origin.h, 0);
    ASSERT_EQ(boards->GetShowDisplayMark(record, kAIArtboardCenterMark, &shown), kNoErr);
    EXPECT_FALSE(shown);
    EXPECT_EQ(NameOf(record), "");
}

TEST_F(ArtboardSuites, InsertUpdateAndDelete) {
    const AIRealRect position{10, 60, 110, 10};
    ASSERT_EQ(boards->SetPosition(record, &position), kNoErr);
    ArtboardID index = -1;
    ASSERT_EQ(boards->Insert(list, record, &index), kNoErr);
    EXPECT_EQ(index, 3);
    EXPECT_EQ(Doc().artboards()[3].name, "Artboard 4");
    EXPECT_EQ(Doc().artboards()[3].bounds, host::model::Rect(10, 60, 110, 10));

    ASSERT_EQ(boards->SetName(record, ai::UnicodeString::FromUTF8("Renamed")), kNoErr);
    ASSERT_EQ(boards->SetShowDisplayMark(record, kAIArtboardSafeAreas, true), kNoErr);
    const AIRealPoint origin{5, 6};
    ASSERT_EQ(boards->SetRulerOrigin(record, &origin), kNoErr);
    ASSERT_EQ(boards->Update(list, 0, record), kNoErr);
    EXPECT_EQ(Doc().artboards()[0].name, "Renamed");
    EXPECT_TRUE(Doc().artboards()[0].showSafeAreas);
    EXPECT_EQ(Doc().artboards()[0].rulerOrigin, (host::model::Point{5, 6}));

    ASSERT_EQ(boards->Delete(list, 0), kNoErr);
    EXPECT_EQ(Doc().artboards().size(), 3u);
    ArtboardID active = -1;
    boards->GetActive(list, &active);
    EXPECT_EQ(active, 0);  // "Two" stays active
    EXPECT_TRUE(app->Journal().Contains("DeleteArtboard(0)"));
}

TEST_F(ArtboardSuites, RefusesWhatNoArtboardCanBe) {
    const AIRealRect flat{0, 10, 10, 10};
    EXPECT_EQ(boards->SetPosition(record, &flat), kBadParameterErr);
    EXPECT_EQ(boards->SetPAR(record, 0), kBadParameterErr);
    EXPECT_EQ(boards->SetShowDisplayMark(record, 99, true), kBadParameterErr);
    EXPECT_EQ(boards->SetActive(list, 3), kBadParameterErr);
    EXPECT_EQ(boards->Update(list, 5, record), kBadParameterErr);
    ArtboardID index = 0;
    EXPECT_EQ(boards->Insert(list, nullptr, &index), kBadParameterErr);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(boards->Delete(list, 0), kNoErr);
    }
    EXPECT_EQ(boards->Delete(list, 0), kCantHappenErr);
    EXPECT_EQ(Doc().artboards().size(), 1u);
}

TEST_F(ArtboardSuites, ReleasedListsAndDisposedRecordsAreStale) {
    ArtboardListRef other = nullptr;
    ASSERT_EQ(boards->GetArtboardList(&other), kNoErr);
    ASSERT_EQ(boards->ReleaseArtboardList(other), kNoErr);
    ArtboardID count = 0;
    EXPECT_EQ(boards->GetCount(other, &count), kBadParameterErr);
    EXPECT_EQ(boards->ReleaseArtboardList(other), kBadParameterErr);
    ArtboardRef copy = nullptr;
    ASSERT_EQ(boards->CloneArtboard(&copy, record), kNoErr);
    ASSERT_EQ(boards->Dispose(copy), kNoErr);
    AIReal ratio = 0;
    EXPECT_EQ(boards->GetPAR(copy, &ratio), kBadParameterErr);
}

TEST_F(ArtboardSuites, AListBelongsToItsDocument) {
    app->CloseDocument();
    ArtboardID count = 0;
    EXPECT_EQ(boards->GetCount(list, &count), kBadParameterErr);
    ArtboardListRef none = nullptr;
    EXPECT_EQ(boards->GetArtboardList(&none), kNoDocumentErr);
}

// --- Ranges ---------------------------------------------------------------------------------------------

struct RangeCase {
    const char* text;
    bool valid;
    std::vector<ArtboardID> indexes;
};

void PrintTo(const RangeCase& c, std::ostream* out) {
    *out << "\"" << c.text << "\"";
}

class Ranges : public ArtboardSuites, public testing::WithParamInterface<RangeCase> {
protected:
    std::vector<ArtboardID> Indexes(const char* text) {
        AIArtboardRangeHandle range = nullptr;
        EXPECT_EQ(ranges->Create(ai::UnicodeString::FromUTF8(text), &range), kNoErr);
        AIArtboardRangeIterator iterator = nullptr;
        EXPECT_EQ(ranges->Begin(range, &iterator), kNoErr);
        std::vector<ArtboardID> indexes;
        ArtboardID index = 0;
        AIErr error = kNoErr;
        while ((error = ranges->Next(iterator, &index)) == kNoErr) {
            indexes.push_back(index);
        }
        EXPECT_EQ(error, kEndOfRangeErr);
        ranges->DisposeIterator(iterator);
        ranges->Dispose(range);
        return indexes;
    }
};

TEST_P(Ranges, AreValidatedAndExpanded) {
    AIBoolean valid = !GetParam().valid;
    ASSERT_EQ(ranges->ValidateString(ai::UnicodeString::FromUTF8(GetParam().text), &valid), kNoErr);
    EXPECT_EQ(valid != 0, GetParam().valid);
    if (!GetParam().valid) {
        AIArtboardRangeHandle range = nullptr;
        EXPECT_EQ(ranges->Create(ai::UnicodeString::FromUTF8(GetParam().text), &range), kBadParameterErr);
        EXPECT_EQ(range, nullptr);
        return;
    }
    EXPECT_EQ(Indexes(GetParam().text), GetParam().indexes);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Ranges,
    testing::Values(RangeCase{"", true, {0, 1, 2}}, RangeCase{"  ", true, {0, 1, 2}},
                    RangeCase{"2", true, {1}}, RangeCase{"1-3", true, {0, 1, 2}},
                    RangeCase{"3,1-2", true, {2, 0, 1}}, RangeCase{" 1 - 2 , 3 ", true, {0, 1, 2}},
                    RangeCase{"2,2,1-2", true, {1, 0}}, RangeCase{"0", false, {}}, RangeCase{"4", false, {}},
                    RangeCase{"1-4", false, {}}, RangeCase{"3-1", false, {}}, RangeCase{"1,", false, {}},
                    RangeCase{",1", false, {}}, RangeCase{"1--2", false, {}}, RangeCase{"-1", false, {}},
                    RangeCase{"a", false, {}}, RangeCase{"1 2", false, {}},
                    RangeCase{"99999999999999999999", false, {}}, RangeCase{"+1", false, {}}),
    [](const testing::TestParamInfo<RangeCase>& info) { return "Case" + std::to_string(info.index); });

TEST_F(Ranges, CountAndStaleHandles) {
    AIArtboardRangeHandle range = nullptr;
    ASSERT_EQ(ranges->Create(ai::UnicodeString::FromUTF8("1,3"), &range), kNoErr);
    ai::int32 count = 0;
    ASSERT_EQ(ranges->GetCount(range, &count), kNoErr);
    EXPECT_EQ(count, 2);
    ASSERT_EQ(ranges->Dispose(range), kNoErr);
    EXPECT_EQ(ranges->GetCount(range, &count), kBadParameterErr);
    AIArtboardRangeIterator iterator = nullptr;
    EXPECT_EQ(ranges->Begin(range, &iterator), kBadParameterErr);
}

// --- Several documents -------------------------------------------------------------------------------------

class Documents : public ArtboardSuites {
protected:
    std::vector<AIDocumentHandle> Handles() {
        ai::int32 count = 0;
        EXPECT_EQ(documents->Count(&count), kNoErr);
        std::vector<AIDocumentHandle> handles;
        for (ai::int32 n = 0; n < count; ++n) {
            AIDocumentHandle document = nullptr;
            EXPECT_EQ(documents->GetNthDocument(&document, n), kNoErr);
            handles.push_back(document);
        }
        return handles;
    }

    std::string PathOf(AIDocumentHandle document) {
        ai::FilePath path;
        EXPECT_EQ(documents->GetDocumentFilePath(document, path), kNoErr);
        return path.GetFullPathUTF8();
    }
};

TEST_F(Documents, OpeningPutsTheNewDocumentFirst) {
    const std::vector<AIDocumentHandle> before = Handles();
    ASSERT_EQ(before.size(), 1u);
    app->OpenDocument(std::make_unique<host::Document>(), "/tmp/second.json");
    const std::vector<AIDocumentHandle> after = Handles();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1], before[0]);
    EXPECT_EQ(PathOf(after[0]), "/tmp/second.json");
    EXPECT_EQ(PathOf(after[1]), "");
    EXPECT_EQ(app->DocumentPath(), "/tmp/second.json");
}

TEST_F(Documents, ActivatingKeepsEachDocumentsHandleAndArt) {
    const host::model::ArtId layer = Doc().layers().group(Doc().layers().first()).valueOr({});
    app->OpenDocument(std::make_unique<host::Document>(), "/tmp/b.json");
    const std::vector<AIDocumentHandle> handles = Handles();
    ASSERT_TRUE(app->ActivateDocument(1));
    EXPECT_EQ(Handles(), (std::vector<AIDocumentHandle>{handles[1], handles[0]}));
    EXPECT_EQ(Doc().artboards().size(), 3u);
    EXPECT_TRUE(Doc().isValid(layer));
    EXPECT_FALSE(app->ActivateDocument(2));
    EXPECT_FALSE(app->ActivateDocument(-1));
}

TEST_F(Documents, ClosingBringsTheNextForward) {
    app->OpenDocument(std::make_unique<host::Document>(), "/tmp/c.json");
    app->CloseDocument();
    EXPECT_EQ(app->DocumentCount(), 1);
    ASSERT_NE(app->CurrentDocument(), nullptr);
    EXPECT_EQ(Doc().artboards().size(), 3u);
    app->CloseDocument();
    EXPECT_EQ(app->DocumentCount(), 0);
    ai::int32 count = -1;
    ASSERT_EQ(documents->Count(&count), kNoErr);
    EXPECT_EQ(count, 0);
}

TEST_F(Documents, UnknownPositionsAndHandlesAreRefused) {
    AIDocumentHandle document = reinterpret_cast<AIDocumentHandle>(1);
    EXPECT_EQ(documents->GetNthDocument(&document, 1), kBadParameterErr);
    EXPECT_EQ(document, nullptr);
    ai::FilePath path;
    EXPECT_EQ(documents->GetDocumentFilePath(reinterpret_cast<AIDocumentHandle>(0xDEAD0), path),
              kBadParameterErr);
}

}  // namespace

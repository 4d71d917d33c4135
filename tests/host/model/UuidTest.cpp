// UUIDs: their form, determinism under a seed, and how documents hand them out.
#include <gtest/gtest.h>

#include <set>

#include "ModelTestSupport.h"
#include "model/Uuid.h"

namespace host::model {
namespace {

TEST(UuidGenerator, SameSeedGivesTheSameSequence) {
    UuidGenerator first(42);
    UuidGenerator second(7);
    second.seed(42);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(first.next(), second.next());
    }
    UuidGenerator other(43);
    EXPECT_NE(UuidGenerator(42).next(), other.next());
}

TEST(UuidGenerator, WritesVersionFourVariantOneText) {
    UuidGenerator generator(1);
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        const std::string uuid = generator.next();
        ASSERT_TRUE(isUuidText(uuid)) << uuid;
        EXPECT_EQ(uuid[14], '4');
        EXPECT_NE(std::string("89ab").find(uuid[19]), std::string::npos) << uuid;
        seen.insert(uuid);
    }
    EXPECT_EQ(seen.size(), 200u);
}

class UuidText : public ::testing::TestWithParam<std::pair<std::string, bool>> {};

TEST_P(UuidText, IsRecognisedOnlyInItsCanonicalForm) {
    EXPECT_EQ(isUuidText(GetParam().first), GetParam().second) << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UuidText,
    ::testing::Values(std::pair{std::string("0f8e2a4c-1b3d-4e5f-8a9b-0c1d2e3f4a5b"), true},
                      std::pair{std::string("0F8E2A4C-1B3D-4E5F-8A9B-0C1D2E3F4A5B"), false},
                      std::pair{std::string("0f8e2a4c1b3d4e5f8a9b0c1d2e3f4a5b"), false},
                      std::pair{std::string("0f8e2a4c-1b3d-4e5f-8a9b-0c1d2e3f4a5"), false},
                      std::pair{std::string("0f8e2a4c-1b3d-4e5f-8a9b_0c1d2e3f4a5b"), false},
                      std::pair{std::string("0f8e2a4c-1b3d-4e5f-8a9b-0c1d2e3f4a5g"), false},
                      std::pair{std::string(""), false}));

TEST(DocumentUuids, AreDeterministicAfterSeeding) {
    const auto makeArt = [] {
        Document document;
        document.seedUuids(99);
        std::vector<std::string> uuids;
        for (int i = 0; i < 3; ++i) {
            const ArtId art = *document.newArt(ArtType::path, PaintOrder::aboveAll, ArtId{});
            uuids.push_back(*document.uuid(art));
        }
        return uuids;
    };
    EXPECT_EQ(makeArt(), makeArt());
}

TEST(DocumentUuids, OfANewSeededDocumentIncludeItsFirstLayer) {
    const Document first(8);
    const Document second(8);
    const auto groupUuid = [](const Document& document) {
        return *document.uuid(*document.layers().group(document.layers().first()));
    };
    EXPECT_EQ(groupUuid(first), groupUuid(second));
    EXPECT_NE(groupUuid(first), groupUuid(Document(9)));
}

TEST(DocumentUuids, AreUniqueEvenWhenASeedRepeatsEarlierOnes) {
    Document document;
    document.seedUuids(5);
    const ArtId first = *document.newArt(ArtType::path, PaintOrder::aboveAll, ArtId{});
    document.seedUuids(5);
    const ArtId second = *document.newArt(ArtType::path, PaintOrder::aboveAll, ArtId{});
    EXPECT_NE(*document.uuid(first), *document.uuid(second));
}

TEST(DocumentUuids, FindArtByUuidUntilItIsDisposed) {
    Document document;
    const ArtId art = *document.newArt(ArtType::group, PaintOrder::aboveAll, ArtId{});
    const std::string uuid = *document.uuid(art);
    EXPECT_EQ(document.artByUuid(uuid), art);
    document.dispose(art);
    EXPECT_FALSE(document.artByUuid(uuid));
    EXPECT_FALSE(document.artByUuid("not a uuid"));
}

TEST(DocumentUuids, DuplicatesGetFreshOnesForEveryObjectOfTheCopy) {
    Document document = testing::loadSample();
    const ArtId logo = testing::findByName(document, "Logo");
    const ArtId copy = *document.duplicate(logo, PaintOrder::above, logo);
    std::set<std::string> uuids;
    for (const ArtId id : document.documentOrder()) {
        uuids.insert(*document.uuid(id));
    }
    EXPECT_EQ(uuids.size(), document.documentOrder().size());
    EXPECT_EQ(document.artTree(copy)->size(), document.artTree(logo)->size());
}

}  // namespace
}  // namespace host::model

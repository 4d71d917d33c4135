// Documents as values: copies for undo, restoring them, and what survives a restore.
#include <gtest/gtest.h>

#include "ModelTestSupport.h"

namespace host::model {
namespace {

using testing::addArt;
using testing::findByName;

TEST(Snapshot, ACopyIsIndependentOfItsOriginal) {
    Document document = testing::loadSample();
    const Document copy = document;
    const ArtId logo = findByName(document, "Logo");
    document.editTags(logo)->set("_p_tag_ca659850", "string", "abc");
    document.dispose(findByName(document, "Swoosh"));
    document.editDocumentDictionary().setBoolean("changed", true);
    EXPECT_FALSE(copy.tags(logo)->contains("_p_tag_ca659850"));
    EXPECT_TRUE(copy.isValid(findByName(copy, "Swoosh")));
    EXPECT_FALSE(copy.documentDictionary().contains("changed"));
    EXPECT_EQ(*writeDocument(copy).text, *writeDocument(testing::loadSample()).text);
}

TEST(Snapshot, RestoringBringsBackDisposedArtUnderItsOldHandle) {
    Document document = testing::loadSample();
    const ArtId logo = findByName(document, "Logo");
    const ArtId mark = findByName(document, "Mark");
    const std::string uuid = *document.uuid(mark);
    const Document before = document;

    ASSERT_EQ(document.dispose(logo), Status::ok);
    ASSERT_FALSE(document.isValid(mark));
    document.restore(before);
    EXPECT_TRUE(document.isValid(mark));
    EXPECT_EQ(*document.parent(mark), logo);
    EXPECT_EQ(*document.uuid(mark), uuid) << "UUIDs are stable across undo";
    EXPECT_EQ(document.artByUuid(uuid), mark);
}

TEST(Snapshot, ArtMadeAfterARestoreGetsNewHandlesAndUuids) {
    Document document;
    document.seedUuids(3);
    const Document before = document;
    const ArtId undone = *document.newArt(ArtType::path, PaintOrder::aboveAll, ArtId{});
    const std::string undoneUuid = *document.uuid(undone);
    document.restore(before);
    EXPECT_FALSE(document.isValid(undone));

    const ArtId redoneByHand = *document.newArt(ArtType::path, PaintOrder::aboveAll, ArtId{});
    EXPECT_NE(redoneByHand, undone) << "a handle is never given out twice";
    EXPECT_NE(*document.uuid(redoneByHand), undoneUuid) << "the generator kept running";
    EXPECT_EQ(document.dispose(undone), Status::invalidHandle);
}

TEST(Snapshot, RestoringALaterStateRedoes) {
    Document document;
    const Document before = document;
    const ArtId art = addArt(document, ArtType::group, "G", PaintOrder::aboveAll);
    const LayerId layer = *document.editLayers().insert(document.layers().first(), PaintOrder::insideOnTop);
    const Document after = document;
    document.restore(before);
    EXPECT_EQ(document.layers().find(layer), nullptr);
    document.restore(after);
    EXPECT_TRUE(document.isValid(art));
    EXPECT_EQ(*document.layers().parent(layer), document.layers().first());
}

TEST(Snapshot, TheEditingStateIsPartOfTheDocument) {
    Document document;
    const ArtId art = addArt(document, ArtType::group, "G", PaintOrder::aboveAll);
    document.setEditingState({2, art, true});
    const Document copy = document;
    EXPECT_EQ(copy.editingState().isolationKind, 2);
    EXPECT_EQ(copy.editingState().isolatedArt, art);
    EXPECT_TRUE(copy.editingState().patternEditing);
}

}  // namespace
}  // namespace host::model

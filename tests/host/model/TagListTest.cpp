// Tag entries: kept sorted by name, overwritten on set, read with their type.
#include <gtest/gtest.h>

#include "model/TagList.h"

namespace host::model {
namespace {

std::vector<std::string> names(const TagList& tags) {
    std::vector<std::string> result;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        result.push_back(*tags.nameAt(i));
    }
    return result;
}

TEST(TagList, EntriesAreOrderedByNameWhateverTheOrderOfWriting) {
    TagList tags;
    ASSERT_EQ(tags.set("_p_tag_ca659850", "string", "abc"), Status::ok);
    ASSERT_EQ(tags.set("_p_tag_00000001", "string", "x"), Status::ok);
    ASSERT_EQ(tags.set("Zeta", "string", "z"), Status::ok);
    ASSERT_EQ(tags.set("com.example", "string", "c"), Status::ok);
    // Byte-wise order: upper case before "_" before lower case.
    EXPECT_EQ(names(tags),
              (std::vector<std::string>{"Zeta", "_p_tag_00000001", "_p_tag_ca659850", "com.example"}));
}

TEST(TagList, SettingAnExistingNameOverwritesTypeAndValue) {
    TagList tags;
    tags.set("a", "string", "first");
    tags.set("a", "string", "second");
    EXPECT_EQ(tags.size(), 1u);
    EXPECT_EQ(*tags.get("a", "string"), "second");
    tags.set("a", "other", "third");
    EXPECT_EQ(tags.get("a", "string").status(), Status::wrongType);
    EXPECT_EQ(*tags.get("a", "other"), "third");
}

TEST(TagList, MissingEntriesAndIndicesAreReportedNotFound) {
    TagList tags;
    tags.set("a", "string", "");
    EXPECT_EQ(*tags.get("a", "string"), "");
    EXPECT_EQ(tags.get("b", "string").status(), Status::notFound);
    EXPECT_EQ(tags.nameAt(1).status(), Status::notFound);
    EXPECT_EQ(tags.remove("b"), Status::notFound);
    EXPECT_EQ(tags.remove("a"), Status::ok);
    EXPECT_TRUE(tags.empty());
}

// Reading by index lists the entries once; every later change must leave that list right.
TEST(TagList, ReadingByIndexFollowsEveryChange) {
    TagList tags;
    for (const char* name : {"d", "b", "a", "c"}) {
        tags.set(name, "string", name);
    }
    EXPECT_EQ(names(tags), (std::vector<std::string>{"a", "b", "c", "d"}));
    tags.set("b", "string", "overwritten");
    EXPECT_EQ(names(tags), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(tags.at(1)->value, "overwritten");
    tags.remove("c");
    EXPECT_EQ(names(tags), (std::vector<std::string>{"a", "b", "d"}));
    tags.set("bb", "string", "");
    EXPECT_EQ(names(tags), (std::vector<std::string>{"a", "b", "bb", "d"}));
    TagList copy = tags;
    copy.remove("a");
    EXPECT_EQ(names(copy), (std::vector<std::string>{"b", "bb", "d"}));
    EXPECT_EQ(names(tags), (std::vector<std::string>{"a", "b", "bb", "d"}));
    EXPECT_EQ(tags.at(4), nullptr);
}

// Copies share their entries until one changes: whichever side changes (after both listed their
// order), the other keeps its entries and its reading by index.
TEST(TagList, ACopyAndItsOriginalChangeApart) {
    const std::pair<const char*, void (*)(TagList&)> edits[] = {
        {"add", [](TagList& t) { t.set("e", "string", "e"); }},
        {"overwrite", [](TagList& t) { t.set("b", "string", "new"); }},
        {"remove", [](TagList& t) { t.remove("a"); }},
        {"assign", [](TagList& t) { t = TagList(); }},
    };
    for (const auto& [what, edit] : edits) {
        for (const bool editCopy : {false, true}) {
            TagList original;
            for (const char* name : {"c", "a", "b"}) {
                original.set(name, "string", name);
            }
            TagList copy = original;
            ASSERT_EQ(names(original), names(copy));
            TagList& edited = editCopy ? copy : original;
            const TagList& kept = editCopy ? original : copy;
            edit(edited);
            EXPECT_EQ(names(kept), (std::vector<std::string>{"a", "b", "c"})) << what << editCopy;
            EXPECT_EQ(*kept.get("b", "string"), "b") << what << editCopy;
            EXPECT_FALSE(edited == kept) << what << editCopy;
        }
    }
    TagList emptied;
    emptied.set("a", "string", "");
    emptied.remove("a");
    EXPECT_TRUE(emptied == TagList());
    EXPECT_EQ(TagList().nameAt(0).status(), Status::notFound);
}

TEST(TagList, RemovingFromTheLastIndexDownVisitsEveryEntry) {
    TagList tags;
    for (const char* name : {"d", "b", "a", "c"}) {
        tags.set(name, "string", name);
    }
    for (std::size_t i = tags.size(); i > 0; --i) {
        const auto name = tags.nameAt(i - 1);
        ASSERT_TRUE(name.ok());
        if (*name != "b") {
            tags.remove(*name);
        }
    }
    EXPECT_EQ(names(tags), (std::vector<std::string>{"b"}));
}

struct BadTag {
    std::string name;
    std::string type;
    std::string value;
};

class TagListRejects : public ::testing::TestWithParam<BadTag> {};

TEST_P(TagListRejects, MalformedEntriesAndKeepsTheList) {
    TagList tags;
    tags.set("keep", "string", "v");
    EXPECT_EQ(tags.set(GetParam().name, GetParam().type, GetParam().value), Status::badParameter);
    EXPECT_EQ(names(tags), (std::vector<std::string>{"keep"}));
}

INSTANTIATE_TEST_SUITE_P(Inputs, TagListRejects,
                         ::testing::Values(BadTag{"", "string", "v"}, BadTag{"n", "", "v"},
                                           BadTag{"bad\xff", "string", "v"},
                                           BadTag{"n", "string", "\xc3\x28"},
                                           BadTag{"n", "\xed\xa0\x80", "v"}));

}  // namespace
}  // namespace host::model

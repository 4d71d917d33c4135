// CRC-32 checksums against reference values, and the tag entry names made from them.
#include <gtest/gtest.h>

#include <string>

#include "art/Crc32.h"
#include "art/TagText.h"

namespace {

struct ChecksumCase {
    std::string bytes;
    std::uint32_t crc;
};

class Crc32Test : public testing::TestWithParam<ChecksumCase> {};

// Reference values from an independent CRC-32 implementation, started at 0x80000000 and read
// without the final inversion.
INSTANTIATE_TEST_SUITE_P(
    KnownValues, Crc32Test,
    testing::Values(ChecksumCase{"", 0x80000000u}, ChecksumCase{"abc", 0xca659850u},
                    ChecksumCase{"a", 0x3a3551ceu}, ChecksumCase{"red_circle", 0x88178879u},
                    ChecksumCase{"123456789", 0x334d3950u},
                    ChecksumCase{"The quick brown fox jumps over the lazy dog", 0x733a0efcu},
                    ChecksumCase{std::string(1, '\0'), 0x00800000u}, ChecksumCase{"\xff\xfe", 0xc921a269u},
                    ChecksumCase{"\xc3\xa4", 0x316c637cu}, ChecksumCase{"item3", 0x6a63c78bu}));

TEST_P(Crc32Test, MatchesReference) {
    EXPECT_EQ(CRC32(GetParam().bytes), GetParam().crc);
}

struct EntryNameCase {
    std::string text;
    std::string name;
};

class TagNameTest : public testing::TestWithParam<EntryNameCase> {};

INSTANTIATE_TEST_SUITE_P(KnownNames, TagNameTest,
                         testing::Values(EntryNameCase{"abc", "_p_tag_ca659850"},
                                         EntryNameCase{"", "_p_tag_80000000"},
                                         EntryNameCase{std::string(1, '\0'), "_p_tag_00800000"},
                                         EntryNameCase{"red_circle", "_p_tag_88178879"},
                                         // The text is taken as given: no normalisation here.
                                         EntryNameCase{"Red Circle", "_p_tag_" + [] {
                                                           char hex[9];
                                                           std::snprintf(hex, sizeof hex, "%08x",
                                                                         CRC32("Red Circle"));
                                                           return std::string(hex);
                                                       }()}));

TEST_P(TagNameTest, IsPrefixAndEightLowerCaseDigits) {
    EXPECT_EQ(TagName(GetParam().text), GetParam().name);
}

TEST(TagNameTest, EveryNameIsAnOwnEntryName) {
    for (const char* text : {"", "a", "abc", "item3", "\xc3\xa4"}) {
        EXPECT_TRUE(OwnTag(TagName(text))) << text;
    }
}

}  // namespace

// The PSD and TIFF patches on crafted files: what they write, and that a refused file stays as it
// was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "CraftedFiles.h"
#include "documents/FilePatches.h"

namespace {

using crafted::Bytes;
namespace fs = std::filesystem;

class PatchedFile {
public:
    explicit PatchedFile(const Bytes& bytes)
        : fPath(fs::temp_directory_path() /
                ("plim_patch_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                 std::to_string(reinterpret_cast<std::uintptr_t>(this)))) {
        std::ofstream(fPath, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    ~PatchedFile() { fs::remove(fPath); }
    std::string Path() const { return fPath.string(); }
    Bytes Read() const {
        std::ifstream in(fPath, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }

private:
    fs::path fPath;
};

Bytes Slice(const Bytes& bytes, std::size_t at, std::size_t count) {
    return Bytes(bytes.begin() + at, bytes.begin() + at + count);
}

struct PsdCase {
    const char* name;
    Bytes file;
    std::uint32_t resolution;
    std::string error;        // empty: patched
    std::size_t fieldAt = 0;  // where the horizontal resolution is written
    Bytes written = {};
};

const Bytes kFirstResolution = crafted::Psd({{1005, "", crafted::ResolutionInfo()}});

Bytes Truncated(Bytes bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

Bytes WrongSignature() {
    Bytes bytes = kFirstResolution;
    bytes[3] = 'X';
    return bytes;
}

// A block without its signature ends the walk before the ResolutionInfo block.
Bytes MalformedBlockBefore() {
    Bytes bytes = crafted::Psd({{1036, "", Bytes(3, 1)}, {1005, "", crafted::ResolutionInfo()}});
    bytes[34 + 3] = 'X';
    return bytes;
}

Bytes WithColorModeLength(std::uint32_t length) {
    Bytes bytes = Truncated(kFirstResolution, 26);
    crafted::PutBigEndian(bytes, length, 4);
    return bytes;
}

const PsdCase kPsdCases[] = {
    {"TooShort", Bytes(29, '8'), 300, "File size is less than 30 bytes"},
    {"NoResourcesLength", WithColorModeLength(0), 300, "Image Resources Section offset is too large"},
    {"ColourDataPastEnd", WithColorModeLength(0xFFFFFFFF), 300,
     "Image Resources Section offset is too large"},
    {"WrongSignature", WrongSignature(), 300, "File signature doesn't match"},
    {"ResourcesPastEnd", Truncated(kFirstResolution, 40), 300, "Image Resources Section is too large"},
    {"NoResolutionInfo", crafted::Psd({{1036, "", Bytes(20, 1)}}), 300,
     "Can't find ResolutionInfo structure"},
    {"MalformedBlockBefore", MalformedBlockBefore(), 300, "Can't find ResolutionInfo structure"},
    {"ShortResolutionInfo", crafted::Psd({{1005, "", Bytes(8, 0)}}), 300,
     "Can't write ResolutionInfo structure"},
    {"FirstBlock", kFirstResolution, 300, "", 34 + 12, {0x01, 0x2C, 0, 0}},
    {"AfterColourData",
     crafted::Psd({{1005, "", crafted::ResolutionInfo()}}, Bytes(6, 9)),
     300,
     "",
     40 + 12,
     {0x01, 0x2C, 0, 0}},
    {"AfterOddBlockAndNames",
     crafted::Psd({{1036, "a", Bytes(5, 1)}, {1005, "ab", crafted::ResolutionInfo()}}),
     300,
     "",
     34 + (12 + 6) + 4 + 6 + 4,
     {0x01, 0x2C, 0, 0}},
    {"ResolutionTooLargeIs72", kFirstResolution, 70000, "", 34 + 12, {0x00, 0x48, 0, 0}},
    {"ResolutionZeroIs72", kFirstResolution, 0, "", 34 + 12, {0x00, 0x48, 0, 0}},
};

class PsdPatchTest : public ::testing::TestWithParam<PsdCase> {};

TEST_P(PsdPatchTest, WritesBothFieldsOrLeavesTheFile) {
    const PsdCase& c = GetParam();
    const Bytes& file = c.file;
    PatchedFile patched(file);
    std::string error;
    EXPECT_EQ(PatchPsdResolution(patched.Path(), c.resolution, error), c.error.empty());
    EXPECT_EQ(error, c.error);
    const Bytes after = patched.Read();
    if (!c.error.empty()) {
        EXPECT_EQ(after, file);
        return;
    }
    ASSERT_EQ(after.size(), file.size());
    EXPECT_EQ(Slice(after, c.fieldAt, 4), c.written);
    EXPECT_EQ(Slice(after, c.fieldAt + 8, 4), c.written);
    EXPECT_EQ(Slice(after, c.fieldAt + 4, 4), Slice(file, c.fieldAt + 4, 4));  // units stay
    Bytes rest = after;
    std::copy_n(file.begin() + c.fieldAt, 4, rest.begin() + c.fieldAt);
    std::copy_n(file.begin() + c.fieldAt + 8, 4, rest.begin() + c.fieldAt + 8);
    EXPECT_EQ(rest, file);
}

INSTANTIATE_TEST_SUITE_P(Files, PsdPatchTest, ::testing::ValuesIn(kPsdCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PsdPatchTest, MissingFileCantBeOpened) {
    std::string error;
    EXPECT_FALSE(PatchPsdResolution("/nonexistent/plim.psd", 300, error));
    EXPECT_EQ(error, "Can't open a file");
}

// The directory of crafted::Tiff lies at 8; its entries from 10; rationals after it.
constexpr std::size_t kEntries = 10;

struct TiffCase {
    const char* name;
    bool bigEndian;
    std::vector<crafted::TiffField> fields;
    std::string error;
};

const TiffCase kTiffCases[] = {
    {"LittleEndian", false, crafted::ResolutionFields(), ""},
    {"BigEndian", true, crafted::ResolutionFields(), ""},
    {"NoUnit", false, {{282, 5, 1, crafted::kRationalHere}, {283, 5, 1, crafted::kRationalHere}}, ""},
    {"NoResolutionAtAll", true, {{256, 3, 1, 4}}, ""},
    {"XAsShort",
     false,
     {{282, 3, 1, 300}, {283, 5, 1, crafted::kRationalHere}},
     "Can't read XResolution offset"},
    {"YCountTwo", false, {{283, 5, 2, crafted::kRationalHere}}, "Can't read YResolution offset"},
    {"UnitAsLong", true, {{296, 4, 1, 2}}, "Can't read ResolutionUnit"},
    {"XInsideHeader", false, {{282, 5, 1, 0}, {283, 5, 1, 4}}, "Can't write YResolution"},
    {"XInsideDirectory",
     false,
     {{282, 5, 1, 12}, {283, 5, 1, crafted::kRationalHere}},
     "Can't write XResolution"},
    {"YPastTheEnd",
     true,
     {{282, 5, 1, crafted::kRationalHere}, {283, 5, 1, 0xFFFFFFF8}},
     "Can't write YResolution"},
};

class TiffPatchTest : public ::testing::TestWithParam<TiffCase> {};

TEST_P(TiffPatchTest, WritesResolutionAndUnitOrLeavesTheFile) {
    const TiffCase& c = GetParam();
    const Bytes file = crafted::Tiff(c.bigEndian, c.fields);
    PatchedFile patched(file);
    std::string error;
    EXPECT_EQ(PatchTiffResolution(patched.Path(), 300, error), c.error.empty());
    EXPECT_EQ(error, c.error);
    const Bytes after = patched.Read();
    if (!c.error.empty()) {
        EXPECT_EQ(after, file);
        return;
    }
    ASSERT_EQ(after.size(), file.size());
    const Bytes rational = c.bigEndian ? Bytes{0, 0, 1, 0x2C, 0, 0, 0, 1} : Bytes{0x2C, 1, 0, 0, 1, 0, 0, 0};
    const Bytes inch = c.bigEndian ? Bytes{0, 2, 0, 0} : Bytes{2, 0, 0, 0};
    const std::size_t directoryEnd = kEntries + 12 * c.fields.size() + 4;
    Bytes expected = file;
    std::size_t rationalAt = directoryEnd;
    for (std::size_t i = 0; i < c.fields.size(); ++i) {
        if (c.fields[i].value == crafted::kRationalHere) {
            std::copy(rational.begin(), rational.end(), expected.begin() + rationalAt);
            rationalAt += 8;
        }
        if (c.fields[i].tag == 296) {
            std::copy(inch.begin(), inch.end(), expected.begin() + kEntries + 12 * i + 8);
        }
    }
    EXPECT_EQ(after, expected);
}

INSTANTIATE_TEST_SUITE_P(Files, TiffPatchTest, ::testing::ValuesIn(kTiffCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TiffPatchTest, RefusesWhatIsNotAClassicTiff) {
    const std::pair<Bytes, std::string> cases[] = {
        {Bytes(7, 'I'), "File size is less than 8 bytes"},
        {{'I', 'I', 43, 0, 8, 0, 0, 0, 0, 0}, "Not a TIFF file"},
        {{'I', 'M', 42, 0, 8, 0, 0, 0, 0, 0}, "Can't read endianness"},
        {{'I', 'I', 42, 0, 9, 0, 0, 0, 0, 0}, "IFD offset is too large"},
        {{'I', 'I', 42, 0, 0, 0, 0, 0, 0, 0}, "IFD offset is too large"},
        {{'M', 'M', 0, 42, 0, 0, 0, 8, 0, 2, 0, 0, 0, 0}, "IFD size is too large"},
    };
    for (const auto& [file, message] : cases) {
        PatchedFile patched(file);
        std::string error;
        EXPECT_FALSE(PatchTiffResolution(patched.Path(), 300, error)) << message;
        EXPECT_EQ(error, message);
        error.clear();
        EXPECT_FALSE(RemoveIfdTags(patched.Path(), kTiffMetadataTags, error)) << message;
        EXPECT_EQ(error, message);
        EXPECT_EQ(patched.Read(), file);
    }
}

TEST(RemoveIfdTagsTest, KeepsOtherEntriesInOrderTheLengthAndTheNextDirectory) {
    for (const bool bigEndian : {false, true}) {
        std::vector<crafted::TiffField> fields;
        for (std::uint16_t tag : {256, 257, 258, 259, 262, 273, 277, 278, 700, 34665}) {
            fields.push_back({tag, 4, 1, tag});
        }
        const Bytes file = crafted::Tiff(bigEndian, fields, 0x1234);
        PatchedFile patched(file);
        std::string error;
        ASSERT_TRUE(RemoveIfdTags(patched.Path(), kTiffMetadataTags, error)) << error;
        const Bytes after = patched.Read();
        Bytes expected = crafted::Tiff(bigEndian, {fields.begin(), fields.end() - 2}, 0x1234);
        expected.resize(file.size(), 0);  // the old directory's length, zero-filled
        EXPECT_EQ(after, expected);
    }
}

TEST(RemoveIfdTagsTest, LeavesADirectoryThatWouldLoseNothingOrEverything) {
    const Bytes untouched[] = {
        crafted::Tiff(false, crafted::ResolutionFields()),
        crafted::Tiff(true, {{700, 1, 4, 0}, {34377, 1, 4, 0}}),
    };
    for (const Bytes& file : untouched) {
        PatchedFile patched(file);
        std::string error;
        EXPECT_TRUE(RemoveIfdTags(patched.Path(), kTiffMetadataTags, error));
        EXPECT_EQ(patched.Read(), file);
    }
    std::string error;
    EXPECT_FALSE(RemoveIfdTags("/nonexistent", {}, error));
    EXPECT_EQ(error, "No IFD tags to remove");
}

}  // namespace

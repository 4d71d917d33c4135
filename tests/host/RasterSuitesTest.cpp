// The raster suite (a raster's record and its pixels as tiles, alpha first) and the raster-export
// suite (PSD and TIFF files, read back with tiffdump and exiftool), and what both refuse.
#include <functional>

#include "AIDocument.h"
#include "AIRaster.h"
#include "AIRasterExport.h"
#include "HostFixture.h"
#include "IAIFilePath.hpp"
#include "ProgramRun.h"
#include "model/DocumentFormat.h"

namespace {

using hosttest::Acquire;
using hosttest::HostTest;

// A raster of two RGB pixels with alpha, (10, 20, 30, opaque) and (40, 50, 60, half), two points
// wide, and a path.
constexpr const char* kDocument = R"({"format": "plimhost-document", "version": 1, "layers": [
  {"type": "layer", "title": "Art", "children": [
    {"type": "raster", "name": "Picture", "frame": [0, 1, 2, 0],
     "pixels": {"width": 2, "height": 1, "space": "rgb", "alpha": true, "data": "ChQe/ygyPIA="}},
    {"type": "path", "name": "Shape", "segments": [{"anchor": [0, 0]}, {"anchor": [4, 4]}]}]}]})";

class RasterSuites : public HostTest {
protected:
    void SetUp() override {
        host::model::ReadResult read = host::model::readDocument(kDocument, 3);
        ASSERT_TRUE(read.document) << read.error;
        app->SetDocument(std::make_unique<host::Document>(std::move(*read.document)));
        raster = Acquire<AIRasterSuite>(app->BasicSuite(), kAIRasterSuite, kAIRasterSuiteVersion);
        exporter = Acquire<AIRasterExportSuite>(app->BasicSuite(), kAIRasterExportSuite,
                                                kAIRasterExportSuiteVersion);
        dictionaries =
            Acquire<AIDictionarySuite>(app->BasicSuite(), kAIDictionarySuite, kAIDictionarySuiteVersion);
        ASSERT_TRUE(raster && exporter && dictionaries);
        const auto* documents =
            Acquire<AIDocumentSuite>(app->BasicSuite(), kAIDocumentSuite, kAIDocumentSuiteVersion);
        ASSERT_EQ(documents->SetDocumentXAP("<x:xmpmeta xmlns:x=\"urn:x-meta/\"/>"), kNoErr);
    }

    AIArtHandle Art(std::string_view name) {
        for (const host::model::ArtId id : app->CurrentDocument()->documentOrder()) {
            const auto found = app->CurrentDocument()->name(id);
            if (found && found->text == name) {
                return reinterpret_cast<AIArtHandle>(static_cast<std::uintptr_t>(id.value));
            }
        }
        return nullptr;
    }

    // The raster's whole pixels read as one tile of width × channels bytes a row.
    AIErr ReadAll(AIArtHandle art, std::vector<unsigned char>& bytes, AISlice slice, AITile tile) {
        bytes.assign(8, 0);
        tile.data = bytes.data();
        return raster->GetRasterTile(art, &slice, &tile, &slice);
    }

    // A dictionary holding one integer entry.
    AIDictionaryRef Parameters(const char* key, ai::int32 value) {
        AIDictionaryRef dictionary = nullptr;
        AIDictKey dictKey = nullptr;
        EXPECT_EQ(dictionaries->CreateDictionary(&dictionary), kNoErr);
        EXPECT_EQ(dictionaries->Key(key, &dictKey), kNoErr);
        EXPECT_EQ(dictionaries->SetIntegerEntry(dictionary, dictKey, value), kNoErr);
        return dictionary;
    }

    const AIRasterSuite* raster = nullptr;
    const AIRasterExportSuite* exporter = nullptr;
    const AIDictionarySuite* dictionaries = nullptr;
    const AISlice whole{0, 0, 1, 2, 0, 4};
    AITile Tile() const {
        AITile tile;
        tile.bounds = whole;
        tile.rowBytes = 8;
        tile.colBytes = 4;
        return tile;
    }
};

TEST_F(RasterSuites, ShowPixelsAlphaFirstAndWriteThemBack) {
    AIRasterRecord record;
    ASSERT_EQ(raster->GetRasterInfo(Art("Picture"), &record), kNoErr);
    EXPECT_EQ(record.bounds.right, 2);
    EXPECT_EQ(record.bounds.bottom, 1);
    EXPECT_EQ(record.colorSpace, kAlphaRGBColorSpace);
    EXPECT_EQ(record.bitsPerPixel, 32);

    std::vector<unsigned char> bytes;
    ASSERT_EQ(ReadAll(Art("Picture"), bytes, whole, Tile()), kNoErr);
    EXPECT_EQ(bytes, (std::vector<unsigned char>{255, 10, 20, 30, 128, 40, 50, 60}));

    std::vector<unsigned char> written = {0, 1, 2, 3, 7, 5, 6, 7};
    AITile tile = Tile();
    tile.data = written.data();
    ASSERT_EQ(raster->SetRasterTile(Art("Picture"), &whole, &tile, &whole), kNoErr);
    ASSERT_EQ(ReadAll(Art("Picture"), bytes, whole, Tile()), kNoErr);
    EXPECT_EQ(bytes, written);
}

TEST_F(RasterSuites, RefuseWhatDoesNotFit) {
    std::vector<unsigned char> bytes(8);
    const auto read = [&](AIArtHandle art, AISlice art_slice, AITile tile, AISlice work) {
        tile.data = bytes.data();
        return raster->GetRasterTile(art, &art_slice, &tile, &work);
    };
    AIRasterRecord record;
    AIRasterRecord tooWide;
    tooWide.bounds = {0, 0, 16384, 1};
    AIRasterRecord wrongBits;
    wrongBits.bounds = {0, 0, 2, 2};
    wrongBits.bitsPerPixel = 32;  // RGB has 24
    AITile narrow = Tile();
    narrow.channelInterleave[3] = 4;  // past the pixel's 4 bytes
    const std::vector<std::pair<const char*, std::function<AIErr()>>> refusals = {
        {"a path's record", [&] { return raster->GetRasterInfo(Art("Shape"), &record); }},
        {"a made-up handle",
         [&] { return raster->GetRasterInfo(reinterpret_cast<AIArtHandle>(0xDEAD0), &record); }},
        {"no record", [&] { return raster->GetRasterInfo(Art("Picture"), nullptr); }},
        {"a side above 16383", [&] { return raster->SetRasterInfo(Art("Picture"), &tooWide); }},
        {"bits of another space", [&] { return raster->SetRasterInfo(Art("Picture"), &wrongBits); }},
        {"rows past the pixels",
         [&] {
             return read(Art("Picture"), {0, 0, 2, 2, 0, 4}, Tile(), {0, 0, 2, 2, 0, 4});
         }},
        {"a fifth channel",
         [&] {
             return read(Art("Picture"), {0, 0, 1, 2, 0, 5}, Tile(), {0, 0, 1, 2, 0, 5});
         }},
        {"slices of two sizes",
         [&] {
             return read(Art("Picture"), whole, Tile(), {0, 0, 1, 1, 0, 4});
         }},
        {"a channel past the pixel", [&] { return read(Art("Picture"), whole, narrow, whole); }},
        {"a path's pixels", [&] { return read(Art("Shape"), whole, Tile(), whole); }},
    };
    for (const auto& [label, call] : refusals) {
        EXPECT_EQ(call(), kBadParameterErr) << label;
    }
    ASSERT_EQ(ReadAll(Art("Picture"), bytes, whole, Tile()), kNoErr);
    EXPECT_EQ(bytes, (std::vector<unsigned char>{255, 10, 20, 30, 128, 40, 50, 60}))
        << "a refusal changed pixels";
}

// What the application writes into its own files, before the plug-in patches them.
TEST_F(RasterSuites, ExportPsdAndTiffWithTheirMetadata) {
    const testsupport::ScratchFolder folder("raster_export");
    const std::string tiff = (folder.Path() / "picture.tif").string();
    const std::string psd = (folder.Path() / "picture.psd").string();
    ASSERT_EQ(exporter->ExportRasterArt(Art("Picture"), ai::FilePath(tiff), kRasterExportTIFF,
                                        Parameters("TIFFColorModel", 1)),
              kNoErr);
    const std::string dump = testsupport::RunProgram(folder, "tiffdump '" + tiff + "'", "").out;
    for (const char* tag :
         {"XResolution (282)", "700 (0x2bc)", "33723 (0x83bb)", "34377 (0x8649)", "34665 (0x8769)"}) {
        EXPECT_NE(dump.find(tag), std::string::npos) << tag << " missing: " << dump;
    }
    EXPECT_EQ(testsupport::RunProgram(folder, "tiffinfo '" + tiff + "' >/dev/null", "").status, 0);

    ASSERT_EQ(exporter->ExportRasterArt(Art("Picture"), ai::FilePath(psd), kRasterExportPSD,
                                        Parameters("PSDColorModel", 1)),
              kNoErr);
    const std::string shown =
        testsupport::RunProgram(folder, "exiftool -s -ImageWidth -XResolution -NumChannels '" + psd + "'", "")
            .out;
    EXPECT_NE(shown.find("ImageWidth                      : 2"), std::string::npos) << shown;
    EXPECT_NE(shown.find("XResolution                     : 72"), std::string::npos) << shown;
    EXPECT_NE(shown.find("NumChannels                     : 4"), std::string::npos) << shown;

    // Another colour model than the raster's, or art that is no raster: refused, nothing written.
    const std::string refused = (folder.Path() / "refused.psd").string();
    EXPECT_EQ(exporter->ExportRasterArt(Art("Picture"), ai::FilePath(refused), kRasterExportPSD,
                                        Parameters("PSDColorModel", 2)),
              kBadParameterErr);
    EXPECT_EQ(exporter->ExportRasterArt(Art("Shape"), ai::FilePath(refused), kRasterExportPSD,
                                        Parameters("PSDColorModel", 1)),
              kBadParameterErr);
    EXPECT_FALSE(std::filesystem::exists(refused));
}

}  // namespace

// Placed files of a few bytes to a few kilobytes whose reading or drawing asks for gigabytes or
// minutes in ways no check made beforehand prices (sampled functions, patch meshes, JBIG2 and DCT
// headers, scans, fonts, predictor rows): the picture's bound stops them, in a picture and in
// placing alike. Written into a scratch folder; each returns the file's path.
#pragma once

#include <lodepng.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CraftedFiles.h"
#include "ProgramRun.h"
#include "render/PictureProcess.h"

namespace hostile {

using testsupport::ScratchFolder;

// The bound the tests of hostile pictures lower the picture's to, so that they end soon: every
// hostile picture goes far beyond it, no ordinary one comes near it.
inline const host::PictureBound kLoweredBound{std::chrono::seconds(1), std::size_t{256} << 20,
                                              std::chrono::milliseconds(30000)};

// A page of 20 points square drawing its content with the resources, the further objects from 5 on.
inline std::string HostilePdf(const ScratchFolder& folder, const std::string& name,
                              const std::string& resources, const std::string& content,
                              const std::vector<std::string>& further) {
    return folder.Write(
        name, crafted::Pdf("/MediaBox [0 0 20 20] /Resources << " + resources + " >>", content, further));
}

// The bytes compressed by zlib, as a /FlateDecode stream holds them.
inline std::string Flate(const std::string& bytes) {
    std::vector<unsigned char> out;
    EXPECT_EQ(lodepng::compress(out, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), 0u);
    return std::string(out.begin(), out.end());
}

inline std::string BigEndianBytes(std::uint64_t value, int width) {
    std::string bytes;
    for (int shift = (width - 1) * 8; shift >= 0; shift -= 8) {
        bytes += static_cast<char>((value >> shift) & 0xFF);
    }
    return bytes;
}

// A progressive JPEG of one grey component, its frame header of the given size, and its scans: one
// DC scan, then that many AC scans, all without data (the decoder reads zeros for them). Each table
// has one code, so that zeros decode.
inline std::string ProgressiveJpeg(unsigned width, unsigned height, int acScans) {
    const std::string table = std::string(1, '\x01') + std::string(15, '\0') + std::string(1, '\0');
    std::string jpeg = std::string("\xFF\xD8\xFF\xDB\x00\x43\x00", 7) + std::string(64, '\x01');
    jpeg += std::string("\xFF\xC2\x00\x0B\x08", 5) + BigEndianBytes(height, 2) + BigEndianBytes(width, 2) +
            std::string("\x01\x01\x11\x00", 4);
    jpeg += std::string("\xFF\xC4\x00\x14\x00", 5) + table + std::string("\xFF\xC4\x00\x14\x10", 5) + table;
    jpeg += std::string("\xFF\xDA\x00\x08\x01\x01\x00\x00\x00\x00\x00", 11);
    for (int scan = 0; scan < acScans; ++scan) {
        jpeg += std::string("\xFF\xDA\x00\x08\x01\x01\x00\x01\x3F\x00\x00", 11);
    }
    return jpeg + "\xFF\xD9";
}

// Files of a few bytes to a few kilobytes whose reading or drawing asks for gigabytes or minutes in
// ways no check made beforehand prices: the picture's bound stops them.
inline std::string PdfShadingOfAHugeSampledFunction(const ScratchFolder& folder) {
    return HostilePdf(
        folder, "sampled.pdf", "/Shading << /S 5 0 R >>", "/S sh",
        {"<< /ShadingType 2 /ColorSpace /DeviceRGB /Coords [0 0 20 0] /Function 6 0 R >>",
         crafted::PdfStream("/FunctionType 0 /Domain [0 1] /Range [0 1 0 1 0 1] /Size [80000000] "
                            "/BitsPerSample 8",
                            "\x80\x80\x80")});
}

inline std::string PdfSeparationTintOfAHugeSampledFunction(const ScratchFolder& folder) {
    std::string content;
    for (int i = 0; i < 50; ++i) {
        content += "/C cs 0.5 scn 0 0 20 20 re f\n";
    }
    return HostilePdf(
        folder, "tint.pdf", "/ColorSpace << /C 5 0 R >>", content,
        {"[/Separation /Spot /DeviceGray 6 0 R]",
         crafted::PdfStream("/FunctionType 0 /Domain [0 1] /Range [0 1] /Size [40000000] /BitsPerSample 8",
                            "\x80")});
}

// A page of 20 points square painting, `paints` times, one Coons patch mesh of that many patches,
// each covering the page: its cost grows with the patches, the paints and the pixels the page is
// drawn on. The tint makes the content of each file its own.
inline std::string PdfMeshOfPatches(const ScratchFolder& folder, const std::string& name, int patches,
                                    int tint = 0, int paints = 1) {
    constexpr int kPoints[12][2] = {{0, 0},   {0, 7},   {0, 13}, {0, 20}, {7, 20}, {13, 20},
                                    {20, 20}, {20, 13}, {20, 7}, {20, 0}, {13, 0}, {7, 0}};
    std::string patch(1, '\0');
    for (const auto& point : kPoints) {
        patch += BigEndianBytes(static_cast<std::uint64_t>(point[0]) * 0xFFFFFFFFu / 20, 4) +
                 BigEndianBytes(static_cast<std::uint64_t>(point[1]) * 0xFFFFFFFFu / 20, 4);
    }
    patch += std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF", 9) + static_cast<char>(tint & 0xFF) +
             std::string("\xFF\x00", 2);
    std::string all;
    for (int i = 0; i < patches; ++i) {
        all += patch;
    }
    std::string content;
    for (int i = 0; i < paints; ++i) {
        content += "/S sh\n";
    }
    return HostilePdf(
        folder, name, "/Shading << /S 5 0 R >>", content,
        {crafted::PdfStream("/ShadingType 6 /ColorSpace /DeviceRGB /BitsPerCoordinate 32 "
                            "/BitsPerComponent 8 /BitsPerFlag 8 /Decode [0 20 0 20 0 1 0 1 0 1] "
                            "/Filter /FlateDecode",
                            Flate(all))});
}

// 2,000 Coons patches, each covering the page, in the shading's own stream, which the content paints
// 100 times in 600 bytes.
inline std::string PdfPatchMeshOfManyPatches(const ScratchFolder& folder) {
    return PdfMeshOfPatches(folder, "mesh.pdf", 2000, 0xFF, 100);
}

// A page of 20 points square filled at half opacity: a vector copy turns it into an image.
inline std::string PdfOfAHalfOpaqueSquare(const ScratchFolder& folder) {
    return HostilePdf(folder, "half.pdf", "/ExtGState << /G 5 0 R >>", "/G gs 1 0 0 rg 0 0 20 20 re f",
                      {"<< /Type /ExtGState /ca 0.5 /CA 0.5 >>"});
}

// An image of one pixel whose JBIG2 page information says 1,048,576 x 16,000 pixels.
inline std::string PdfJbig2PageOfAHugeSize(const ScratchFolder& folder) {
    const std::string segment = BigEndianBytes(0, 4) + std::string("\x30\x00\x01", 3) +
                                BigEndianBytes(19, 4) + BigEndianBytes(1048576, 4) +
                                BigEndianBytes(16000, 4) + std::string(11, '\0');
    return HostilePdf(folder, "jbig2.pdf", "/XObject << /I 5 0 R >>", "20 0 0 20 0 0 cm /I Do",
                      {crafted::PdfStream("/Type /XObject /Subtype /Image /Width 1 /Height 1 /ImageMask true "
                                          "/Filter /JBIG2Decode",
                                          segment)});
}

// An image of 8 x 8 pixels whose progressive DCT frame header says 30,000 x 30,000.
inline std::string PdfProgressiveDctOfAHugeFrame(const ScratchFolder& folder) {
    return HostilePdf(folder, "dct.pdf", "/XObject << /I 5 0 R >>", "20 0 0 20 0 0 cm /I Do",
                      {crafted::PdfStream("/Type /XObject /Subtype /Image /Width 8 /Height 8 /ColorSpace "
                                          "/DeviceGray /BitsPerComponent 8 /Filter /DCTDecode",
                                          ProgressiveJpeg(30000, 30000, 0))});
}

// A placed JPEG of 4,000 x 4,000 pixels with 10,000 empty scans, each a pass over a quarter of a
// million blocks: the reader's limit of scans ends it within a small part of the picture's bound.
inline std::string JpegOfManyEmptyScans(const ScratchFolder& folder) {
    return folder.Write("scans.jpg", ProgressiveJpeg(4000, 4000, 10000));
}

// 4,000 font dictionaries sharing one embedded TrueType file, each showing a character.
inline std::string PdfOfManyFontsSharingOneFile(const ScratchFolder& folder) {
    std::ifstream in("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", std::ios::binary);
    const std::string font((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(font.empty());
    constexpr int kFonts = 4000;
    std::string names;
    std::string content = "BT ";
    std::vector<std::string> objects = {
        "<< /Type /FontDescriptor /FontName /X /Flags 32 /FontBBox [0 0 1000 1000] /ItalicAngle 0 /Ascent "
        "800 "
        "/Descent -200 /CapHeight 700 /StemV 80 /FontFile2 6 0 R >>",
        crafted::PdfStream("/Length1 " + std::to_string(font.size()), font)};
    for (int i = 0; i < kFonts; ++i) {
        names += "/F" + std::to_string(i) + " " + std::to_string(7 + i) + " 0 R ";
        content += "/F" + std::to_string(i) + " 1 Tf (a) Tj ";
        objects.push_back("<< /Type /Font /Subtype /TrueType /BaseFont /X" + std::to_string(i) +
                          " /FirstChar 97 /LastChar 97 /Widths [500] /FontDescriptor 5 0 R >>");
    }
    return HostilePdf(folder, "fonts.pdf", "/Font << " + names + ">>", content + "ET", objects);
}

// A form whose content's PNG predictor has rows of 2,000,000,000 bytes.
inline std::string PdfContentOfAHugePredictorRow(const ScratchFolder& folder) {
    return HostilePdf(
        folder, "predictor.pdf", "/XObject << /X 5 0 R >>", "/X Do",
        {crafted::PdfStream("/Type /XObject /Subtype /Form /BBox [0 0 20 20] /Filter /FlateDecode "
                            "/DecodeParms << /Predictor 12 /Columns 2000000000 >>",
                            Flate(std::string(1, '\x02') + std::string(1000, '\0')))});
}

// The hostile files, by name.
struct HostileFile {
    const char* name;
    std::string (*file)(const ScratchFolder&);
};

inline const HostileFile kHostileFiles[] = {
    {"PdfShadingOfAHugeSampledFunction", PdfShadingOfAHugeSampledFunction},
    {"PdfSeparationTintOfAHugeSampledFunction", PdfSeparationTintOfAHugeSampledFunction},
    {"PdfPatchMeshOfManyPatches", PdfPatchMeshOfManyPatches},
    {"PdfJbig2PageOfAHugeSize", PdfJbig2PageOfAHugeSize},
    {"PdfProgressiveDctOfAHugeFrame", PdfProgressiveDctOfAHugeFrame},
    {"JpegOfManyEmptyScans", JpegOfManyEmptyScans},
    {"PdfOfManyFontsSharingOneFile", PdfOfManyFontsSharingOneFile},
    {"PdfContentOfAHugePredictorRow", PdfContentOfAHugePredictorRow},
};

}  // namespace hostile

// Raster buffers, the PNG and JPEG encoders read back by their decoders, and the export's
// resolutions.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <lodepng.h>

#include <cstdio>

#include "documents/ImageEncoders.h"

namespace {

RasterBuffer Ramp(std::size_t width, std::size_t height, std::size_t channels) {
    RasterBuffer buffer{{}, width, height, channels};
    for (std::size_t i = 0; i < width * height * channels; ++i) {
        buffer.data.push_back(static_cast<unsigned char>(i * 7));
    }
    return buffer;
}

TEST(RasterBufferTest, TrimCutsTheBorderAndRefusesWhatLeavesNothing) {
    const RasterBuffer source = Ramp(7, 8, 2);
    RasterBuffer out;
    ASSERT_TRUE(source.Trim(3, 3, out));
    EXPECT_EQ(out.width, 1u);
    EXPECT_EQ(out.height, 2u);
    // Rows 3 and 4 from column 3.
    const std::vector<unsigned char> expected = {
        source.data[(3 * 7 + 3) * 2], source.data[(3 * 7 + 3) * 2 + 1], source.data[(4 * 7 + 3) * 2],
        source.data[(4 * 7 + 3) * 2 + 1]};
    EXPECT_EQ(out.data, expected);
    EXPECT_FALSE(Ramp(6, 6, 1).Trim(3, 3, out));
    EXPECT_FALSE(Ramp(7, 6, 1).Trim(3, 3, out));
    EXPECT_TRUE(Ramp(6, 6, 1).Trim(0, 0, out));
    RasterBuffer inconsistent = Ramp(7, 7, 3);
    inconsistent.data.pop_back();
    EXPECT_FALSE(inconsistent.Trim(3, 3, out));
}

TEST(RasterBufferTest, MovesAlphaFromFirstToLast) {
    const RasterBuffer argb{{255, 1, 2, 3, 128, 4, 5, 6}, 2, 1, 4};
    RasterBuffer out;
    ASSERT_TRUE(argb.MoveAlphaFromBeginToEnd(out));
    EXPECT_EQ(out.data, (std::vector<unsigned char>{1, 2, 3, 255, 4, 5, 6, 128}));
    EXPECT_FALSE(Ramp(2, 2, 1).MoveAlphaFromBeginToEnd(out));
}

struct PngCase {
    std::size_t channels;
    std::int64_t resolution;
    LodePNGColorType type;
    unsigned perMetre;
};

class PngEncoderTest : public ::testing::TestWithParam<PngCase> {};

TEST_P(PngEncoderTest, DecodesToThePixelsWithTheResolution) {
    const PngCase& c = GetParam();
    const RasterBuffer pixels = Ramp(5, 3, c.channels);
    std::vector<unsigned char> png;
    ASSERT_TRUE(EncodePng(pixels, c.resolution, png));
    LodePNGState state;
    lodepng_state_init(&state);
    state.info_raw.colortype = c.type;
    state.info_raw.bitdepth = 8;
    unsigned char* decoded = nullptr;
    unsigned width = 0;
    unsigned height = 0;
    ASSERT_EQ(lodepng_decode(&decoded, &width, &height, &state, png.data(), png.size()), 0u);
    EXPECT_EQ(std::vector<unsigned char>(decoded, decoded + pixels.data.size()), pixels.data);
    EXPECT_EQ(state.info_png.color.colortype, c.type);
    EXPECT_EQ(state.info_png.phys_x, c.perMetre);
    EXPECT_EQ(state.info_png.phys_y, c.perMetre);
    EXPECT_EQ(state.info_png.phys_unit, 1u);
    EXPECT_EQ(state.info_png.srgb_intent, 3u);
    EXPECT_EQ(state.info_png.gama_gamma, 45455u);
    std::free(decoded);
    lodepng_state_cleanup(&state);
}

INSTANTIATE_TEST_SUITE_P(Kinds, PngEncoderTest,
                         ::testing::Values(PngCase{1, 300, LCT_GREY, 11811},
                                           PngCase{2, 72, LCT_GREY_ALPHA, 2835},
                                           PngCase{3, 2000, LCT_RGB, 2835}, PngCase{4, 1664, LCT_RGBA, 65512},
                                           PngCase{4, 0, LCT_RGBA, 2835}));

// Rows of every filter's kind: noise, flat runs, steps, and single pixels or rows where the
// filters have nothing to the left or above. The file must decode to the pixels whatever filter
// each row gets.
TEST(PngEncoderTest, DecodesEveryShapeAndKindOfRow) {
    struct Shape {
        std::size_t width;
        std::size_t height;
    };
    const Shape shapes[] = {{1, 1}, {1, 9}, {9, 1}, {2, 2}, {33, 17}, {200, 3}};
    unsigned noise = 12345;
    for (std::size_t channels = 1; channels <= 4; ++channels) {
        for (const Shape& shape : shapes) {
            for (int kind = 0; kind < 3; ++kind) {
                RasterBuffer pixels{{}, shape.width, shape.height, channels};
                for (std::size_t i = 0; i < shape.width * shape.height * channels; ++i) {
                    noise = noise * 1103515245 + 12345;
                    const std::size_t column = i / channels % shape.width;
                    const unsigned value = kind == 0   ? noise >> 24
                                           : kind == 1 ? (column < shape.width / 2 ? 250 : 3)
                                                       : static_cast<unsigned>(i * 7 + (noise >> 30));
                    pixels.data.push_back(static_cast<unsigned char>(value));
                }
                std::vector<unsigned char> png;
                ASSERT_TRUE(EncodePng(pixels, 72, png));
                LodePNGState state;
                lodepng_state_init(&state);
                state.info_raw.colortype = channels == 1   ? LCT_GREY
                                           : channels == 2 ? LCT_GREY_ALPHA
                                           : channels == 3 ? LCT_RGB
                                                           : LCT_RGBA;
                state.info_raw.bitdepth = 8;
                unsigned char* decoded = nullptr;
                unsigned width = 0;
                unsigned height = 0;
                ASSERT_EQ(lodepng_decode(&decoded, &width, &height, &state, png.data(), png.size()), 0u);
                EXPECT_EQ(std::vector<unsigned char>(decoded, decoded + pixels.data.size()), pixels.data)
                    << channels << " channels, " << shape.width << " x " << shape.height << ", kind " << kind;
                std::free(decoded);
                lodepng_state_cleanup(&state);
            }
        }
    }
}

struct DecodedJpeg {
    int components = 0;
    int densityUnit = 0;
    int xDensity = 0;
    int yDensity = 0;
    int samplingFactor = 0;  // largest of the components'
    bool progressive = false;
};

DecodedJpeg ReadJpegHeader(const std::vector<unsigned char>& jpeg) {
    jpeg_decompress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), jpeg.size());
    jpeg_read_header(&info, TRUE);
    DecodedJpeg decoded{info.num_components,       info.density_unit, info.X_density, info.Y_density, 0,
                        info.progressive_mode != 0};
    for (int i = 0; i < info.num_components; ++i) {
        decoded.samplingFactor = std::max(
            {decoded.samplingFactor, info.comp_info[i].h_samp_factor, info.comp_info[i].v_samp_factor});
    }
    jpeg_destroy_decompress(&info);
    return decoded;
}

TEST(JpegEncoderTest, WritesBaselineWithoutSubsamplingAndTheDensity) {
    for (const std::size_t channels : {1u, 3u}) {
        std::vector<unsigned char> jpeg;
        std::string error;
        ASSERT_TRUE(EncodeJpeg(Ramp(16, 9, channels), 100, 300, jpeg, error)) << error;
        EXPECT_EQ(std::vector<unsigned char>(jpeg.begin() + 13, jpeg.begin() + 18),
                  (std::vector<unsigned char>{1, 0x01, 0x2C, 0x01, 0x2C}));
        const DecodedJpeg decoded = ReadJpegHeader(jpeg);
        EXPECT_EQ(decoded.components, static_cast<int>(channels));
        EXPECT_EQ(decoded.samplingFactor, 1);
        EXPECT_FALSE(decoded.progressive);
    }
    std::vector<unsigned char> jpeg;
    std::string error;
    ASSERT_TRUE(EncodeJpeg(Ramp(4, 4, 3), 80, 70000, jpeg, error));
    EXPECT_EQ(ReadJpegHeader(jpeg).xDensity, 72);
}

TEST(JpegEncoderTest, RefusesWhatItCantEncode) {
    std::vector<unsigned char> jpeg;
    std::string error;
    EXPECT_FALSE(EncodeJpeg(Ramp(4, 4, 4), 100, 72, jpeg, error));
    EXPECT_FALSE(EncodeJpeg(Ramp(4, 4, 2), 100, 72, jpeg, error));
    RasterBuffer wide{std::vector<unsigned char>(65501), 65501, 1, 1};
    // The library's own refusal comes back as its message instead of ending the program.
    EXPECT_FALSE(EncodeJpeg(wide, 100, 72, jpeg, error));
    EXPECT_NE(error.find("65500"), std::string::npos) << error;
}

TEST(JpegQualityTest, NamesAndTheRest) {
    EXPECT_EQ(JpegQuality("Low"), 80);
    EXPECT_EQ(JpegQuality("Medium"), 90);
    EXPECT_EQ(JpegQuality("High"), 95);
    EXPECT_EQ(JpegQuality("Maximum"), 100);
    EXPECT_EQ(JpegQuality("low"), 100);
}

struct ResolutionCase {
    double requested, documentScale, longestSide, scale;
    bool ok;
    int resolution, fileResolution;
};

TEST(ExportResolutionsTest, CapsTheFileResolutionAndRefusesWhatCantBeDrawn) {
    const ResolutionCase cases[] = {
        {300, 1, 100, 2, true, 600, 300},
        // 100 inches at 300 ppi: lowered to 163.76 so that the art and its border of 3 pixels a
        // side fit 16383 pixels, and rounded down.
        {300, 1, 7200, 1, true, 163, 163},
        {12000, 1, 100, 1, true, 11790, 11790},  // 11795.8 rounded up made 16384 pixels
        {11790, 1, 100, 1, true, 11790, 11790},  // fits: not lowered
        {72, 10, 10, 0.5, true, 360, 720},
        {0, 1, 100, 1, false, 0, 0},
        {72, 1, 100, 1e12, false, 0, 0},  // would overflow a 32-bit resolution
        {72, 1, 100, 1e-6, false, 0, 0},
    };
    for (const ResolutionCase& c : cases) {
        int resolution = 0;
        int fileResolution = 0;
        EXPECT_EQ(ExportResolutions(c.requested, c.documentScale, c.longestSide, c.scale, resolution,
                                    fileResolution),
                  c.ok)
            << c.scale;
        if (c.ok) {
            EXPECT_EQ(resolution, c.resolution);
            EXPECT_EQ(fileResolution, c.fileResolution);
        }
    }
}

}  // namespace

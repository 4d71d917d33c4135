#include "documents/ImageEncoders.h"

#include <jpeglib.h>
#include <lodepng.h>
#include <zlib.h>

#include <array>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>

namespace {

constexpr double kPixelsPerMetrePerInch = 39.37007874015748;
constexpr double kLargestRasterSide = 16383.0;
// The longest side the art may take in a raster of at most kLargestRasterSide pixels: the raster
// adds kRasterBorder pixels on each side, and snapping its edges to the pixel grid up to one more.
constexpr double kLargestArtSide = kLargestRasterSide - 2.0 * kRasterBorder - 1.0;

LodePNGColorType PngColorType(std::size_t channels) {
    switch (channels) {
        case 1:
            return LCT_GREY;
        case 2:
            return LCT_GREY_ALPHA;
        case 3:
            return LCT_RGB;
        default:
            return LCT_RGBA;
    }
}

// The zlib stream of lodepng's filtered rows, made by zlib at its default level 6 (as libpng
// writes): several times quicker than lodepng's own deflate, with its 32 KB window no larger. The
// buffer is malloc's, which lodepng frees. Answers lodepng's "out of memory" (83) when zlib can't.
unsigned ZlibCompress(unsigned char** out, std::size_t* outSize, const unsigned char* in, std::size_t inSize,
                      const LodePNGCompressSettings*) {
    uLongf size = compressBound(static_cast<uLong>(inSize));
    auto* buffer = static_cast<unsigned char*>(std::malloc(size));
    if (buffer == nullptr ||
        compress2(buffer, &size, in, static_cast<uLong>(inSize), Z_DEFAULT_COMPRESSION) != Z_OK) {
        std::free(buffer);
        return 83;
    }
    *out = buffer;
    *outSize = size;
    return 0;
}

// A filtered byte's weight in the minimum-sum heuristic: its size as a signed byte, as lodepng
// counts it.
inline std::uint32_t Weight(unsigned char filtered) {
    return filtered < 128 ? filtered : 255u - filtered;
}

// The weight of a row filtered by the predictor: byte x less predict(x). Each filter is one simple
// loop of its own, which the compiler turns into vector code.
template <typename Predict>
std::uint32_t RowWeight(const unsigned char* row, std::size_t begin, std::size_t end, Predict predict) {
    std::uint32_t weight = 0;
    for (std::size_t x = begin; x < end; ++x) {
        weight += Weight(static_cast<unsigned char>(row[x] - predict(x)));
    }
    return weight;
}

// The Paeth predictor of PNG filter type 4 (the neighbour nearest to left + up - upper-left),
// without branches.
inline unsigned char Paeth(int left, int up, int upLeft) {
    const int toLeft = std::abs(up - upLeft);
    const int toUp = std::abs(left - upLeft);
    const int toUpLeft = std::abs(left + up - 2 * upLeft);
    const int upOrUpLeft = toUp <= toUpLeft ? up : upLeft;
    return static_cast<unsigned char>(toLeft <= toUp && toLeft <= toUpLeft ? left : upOrUpLeft);
}

// The filter of each row that lodepng's minimum-sum heuristic picks (the row whose filtered bytes
// weigh least, the first of equal ones, none weighed unsigned), found by weighing each filter in
// one pass instead of lodepng's filtering of every row five times; lodepng then filters each row
// once with its filter, so the file holds the same filtered rows.
std::vector<unsigned char> MinimumSumFilters(const RasterBuffer& pixels) {
    const std::size_t step = pixels.channels;
    const std::size_t rowBytes = pixels.width * step;
    const std::vector<unsigned char> zeros(rowBytes, 0);
    std::vector<unsigned char> filters(pixels.height, 0);
    for (std::size_t y = 0; y < pixels.height; ++y) {
        const unsigned char* row = pixels.data.data() + y * rowBytes;
        const unsigned char* up = y == 0 ? zeros.data() : row - rowBytes;
        // A row holds at most 16383 × 4 bytes: its weights fit in 32 bits. The first pixel has
        // nothing to its left.
        std::uint32_t none = 0;
        for (std::size_t x = 0; x < rowBytes; ++x) {
            none += row[x];
        }
        const std::array<std::uint32_t, 5> weights = {
            none,
            RowWeight(row, 0, step, [](std::size_t) { return 0; }) +
                RowWeight(row, step, rowBytes, [&](std::size_t x) { return row[x - step]; }),
            RowWeight(row, 0, rowBytes, [&](std::size_t x) { return up[x]; }),
            RowWeight(row, 0, step, [&](std::size_t x) { return up[x] >> 1; }) +
                RowWeight(row, step, rowBytes, [&](std::size_t x) { return (row[x - step] + up[x]) >> 1; }),
            RowWeight(row, 0, step, [&](std::size_t x) { return up[x]; }) +
                RowWeight(row, step, rowBytes,
                          [&](std::size_t x) { return Paeth(row[x - step], up[x], up[x - step]); }),
        };
        unsigned char best = 0;
        for (unsigned char filter = 1; filter < 5; ++filter) {
            if (weights[filter] < weights[best]) {
                best = filter;
            }
        }
        filters[y] = best;
    }
    return filters;
}

// Frees lodepng's state on every path.
struct PngState {
    LodePNGState state;
    PngState() { lodepng_state_init(&state); }
    ~PngState() { lodepng_state_cleanup(&state); }
    PngState(const PngState&) = delete;
    PngState& operator=(const PngState&) = delete;
};

// libjpeg reports errors through error_exit, which must not return: it jumps back to the encoder's
// call site, which then answers false instead of the library ending the application.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JumpOnJpegError(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

// libjpeg's warnings and traces would go to standard error: the encoder's outcome is its answer.
void IgnoreJpegMessage(j_common_ptr, int) {}

// Only plain C objects live here, so that the jump skips no destructor.
bool CompressJpeg(const unsigned char* pixels, JDIMENSION width, JDIMENSION height, int components,
                  int quality, UINT16 density, unsigned char** out, unsigned long* outSize, char* message) {
    jpeg_compress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JumpOnJpegError;
    error.manager.emit_message = IgnoreJpegMessage;
    error.message[0] = '\0';
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_compress(&info);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", error.message);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, outSize);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    for (int component = 0; component < info.num_components; ++component) {
        info.comp_info[component].h_samp_factor = 1;
        info.comp_info[component].v_samp_factor = 1;
    }
    info.write_JFIF_header = TRUE;
    info.density_unit = 1;  // dots per inch
    info.X_density = density;
    info.Y_density = density;
    jpeg_start_compress(&info, TRUE);
    const std::size_t stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(components);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + info.next_scanline * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

std::uint32_t ResolutionWithin(std::int64_t resolution, std::int64_t largest) {
    return resolution >= 1 && resolution <= largest ? static_cast<std::uint32_t>(resolution) : 72;
}

bool EncodePng(const RasterBuffer& pixels, std::int64_t resolution, std::vector<unsigned char>& png) {
    if (pixels.channels < 1 || pixels.channels > 4 || !pixels.IsConsistent() || pixels.data.empty() ||
        pixels.width > std::numeric_limits<unsigned>::max() ||
        pixels.height > std::numeric_limits<unsigned>::max()) {
        return false;
    }
    PngState png_state;
    LodePNGState& state = png_state.state;
    const LodePNGColorType type = PngColorType(pixels.channels);
    state.info_raw.colortype = type;
    state.info_raw.bitdepth = 8;
    state.info_png.color.colortype = type;
    state.info_png.color.bitdepth = 8;
    state.encoder.auto_convert = 0;
    state.encoder.zlibsettings.custom_zlib = ZlibCompress;
    const std::vector<unsigned char> filters = MinimumSumFilters(pixels);
    state.encoder.filter_strategy = LFS_PREDEFINED;
    state.encoder.predefined_filters = filters.data();
    const auto perMetre = static_cast<unsigned>(
        std::round(ResolutionWithin(resolution, kLargestPngResolution) * kPixelsPerMetrePerInch));
    state.info_png.phys_defined = 1;
    state.info_png.phys_x = perMetre;
    state.info_png.phys_y = perMetre;
    state.info_png.phys_unit = 1;
    state.info_png.gama_defined = 1;
    state.info_png.gama_gamma = 45455;
    state.info_png.chrm_defined = 1;
    state.info_png.chrm_white_x = 31270;
    state.info_png.chrm_white_y = 32900;
    state.info_png.chrm_red_x = 64000;
    state.info_png.chrm_red_y = 33000;
    state.info_png.chrm_green_x = 30000;
    state.info_png.chrm_green_y = 60000;
    state.info_png.chrm_blue_x = 15000;
    state.info_png.chrm_blue_y = 6000;
    state.info_png.srgb_defined = 1;
    state.info_png.srgb_intent = 3;
    unsigned char* out = nullptr;
    std::size_t outSize = 0;
    const unsigned failure =
        lodepng_encode(&out, &outSize, pixels.data.data(), static_cast<unsigned>(pixels.width),
                       static_cast<unsigned>(pixels.height), &state);
    if (failure == 0) {
        png.assign(out, out + outSize);
    }
    std::free(out);
    return failure == 0;
}

int JpegQuality(std::string_view name) {
    if (name == "Low") {
        return 80;
    }
    if (name == "Medium") {
        return 90;
    }
    if (name == "High") {
        return 95;
    }
    return 100;
}

bool EncodeJpeg(const RasterBuffer& pixels, int quality, std::int64_t resolution,
                std::vector<unsigned char>& jpeg, std::string& error) {
    if ((pixels.channels != 1 && pixels.channels != 3) || !pixels.IsConsistent() || pixels.data.empty()) {
        return false;
    }
    // libjpeg refuses a side above kLargestJpegSide itself; the cast must not wrap before that.
    if (pixels.width > std::numeric_limits<JDIMENSION>::max() ||
        pixels.height > std::numeric_limits<JDIMENSION>::max()) {
        return false;
    }
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    char message[JMSG_LENGTH_MAX] = {};
    const bool written = CompressJpeg(
        pixels.data.data(), static_cast<JDIMENSION>(pixels.width), static_cast<JDIMENSION>(pixels.height),
        static_cast<int>(pixels.channels), quality,
        static_cast<UINT16>(ResolutionWithin(resolution, kLargestJpegResolution)), &out, &outSize, message);
    if (written) {
        jpeg.assign(out, out + outSize);
    } else if (message[0] != '\0') {
        error = message;
    }
    std::free(out);
    return written;
}

bool WriteFileBytes(const std::string& path, std::span<const unsigned char> bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        return false;
    }
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

bool ExportResolutions(double requested, double documentScale, double longestSide, double scale,
                       int& resolution, int& fileResolution) {
    double fileRes = documentScale * requested;
    const double pixels = fileRes / 72.0 * longestSide;
    if (pixels > kLargestArtSide) {
        // Lowered to a whole resolution, rounded down: rounded up, the raster would come out a
        // pixel too long and the host would refuse it.
        fileRes = std::floor(fileRes * kLargestArtSide / pixels);
    }
    const double rasterRes = std::round(scale * fileRes);
    const double roundedFileRes = std::round(fileRes);
    constexpr double kLargest = std::numeric_limits<int>::max();
    if (!std::isfinite(rasterRes) || rasterRes < 1 || rasterRes > kLargest ||
        !std::isfinite(roundedFileRes) || roundedFileRes < 0 || roundedFileRes > kLargest) {
        return false;
    }
    resolution = static_cast<int>(rasterRes);
    fileResolution = static_cast<int>(roundedFileRes);
    return true;
}

// The plug-in's PNG encoder (lodepng) beside libpng at zlib's default level 6, and its JPEG encoder
// beside bare libjpeg-turbo at the same quality, on the same 1024 × 1024 picture. The "bytes"
// counter shows what each writes.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <png.h>

#include <cmath>
#include <vector>

#include "documents/ImageEncoders.h"

namespace {

constexpr std::size_t kSide = 1024;

// Smooth gradients with some noise: neither trivially compressible nor random.
RasterBuffer Picture(std::size_t channels) {
    RasterBuffer picture{{}, kSide, kSide, channels};
    picture.data.reserve(kSide * kSide * channels);
    unsigned noise = 12345;
    for (std::size_t y = 0; y < kSide; ++y) {
        for (std::size_t x = 0; x < kSide; ++x) {
            noise = noise * 1103515245 + 12345;
            for (std::size_t c = 0; c < channels; ++c) {
                const double wave = 127 + 100 * std::sin(static_cast<double>(x * (c + 1)) / 97.0) *
                                              std::cos(static_cast<double>(y) / 61.0);
                picture.data.push_back(static_cast<unsigned char>(wave + (noise >> 28)));
            }
        }
    }
    return picture;
}

void WritePngBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

std::vector<unsigned char> LibPng(const RasterBuffer& picture) {
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, WritePngBytes, nullptr);
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, kSide, kSide, 8, picture.channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(png, info, 11811, 11811, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    for (std::size_t y = 0; y < kSide; ++y) {
        png_write_row(png, picture.data.data() + y * kSide * picture.channels);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<unsigned char> LibJpeg(const RasterBuffer& picture, int quality) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = kSide;
    info.image_height = kSide;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(picture.data.data() + info.next_scanline * kSide * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<unsigned char> bytes(out, out + size);
    std::free(out);
    return bytes;
}

void BM_PngLodepng(benchmark::State& state) {
    const RasterBuffer picture = Picture(static_cast<std::size_t>(state.range(0)));
    std::vector<unsigned char> png;
    for (auto _ : state) {
        EncodePng(picture, 300, png);
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["bytes"] = static_cast<double>(png.size());
}

void BM_PngLibpng(benchmark::State& state) {
    const RasterBuffer picture = Picture(static_cast<std::size_t>(state.range(0)));
    std::vector<unsigned char> png;
    for (auto _ : state) {
        png = LibPng(picture);
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["bytes"] = static_cast<double>(png.size());
}

void BM_JpegPlugin(benchmark::State& state) {
    const RasterBuffer picture = Picture(3);
    std::vector<unsigned char> jpeg;
    std::string error;
    for (auto _ : state) {
        EncodeJpeg(picture, static_cast<int>(state.range(0)), 300, jpeg, error);
        benchmark::DoNotOptimize(jpeg.data());
    }
    state.counters["bytes"] = static_cast<double>(jpeg.size());
}

void BM_JpegLibjpeg(benchmark::State& state) {
    const RasterBuffer picture = Picture(3);
    std::vector<unsigned char> jpeg;
    for (auto _ : state) {
        jpeg = LibJpeg(picture, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(jpeg.data());
    }
    state.counters["bytes"] = static_cast<double>(jpeg.size());
}

}  // namespace

// RGB and RGBA, then JPEG qualities "Low" and "Maximum".
BENCHMARK(BM_PngLodepng)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngLibpng)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegPlugin)->Arg(80)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegLibjpeg)->Arg(80)->Arg(100)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

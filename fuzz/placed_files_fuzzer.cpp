// Fuzzes the readers of placed files: the extent of SVG and PDF files (measured by librsvg and
// poppler once the budget's checks pass), the boxes of EPS files and the headers of PNG,
// JPEG, TIFF and PSD images, and the composite image of PSD files. The first byte picks the kind,
// the rest is the file. Whatever the bytes, reading answers a frame or an error, a frame it answers
// is finite and not empty, and pixels it decodes agree with their size.
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "render/PlacedFiles.h"

namespace {

constexpr std::array<const char*, 7> kExtensions = {"svg", "pdf", "eps", "png", "jpg", "tif", "psd"};

// One file per kind in a folder of this process, written afresh for every input.
std::filesystem::path FileFor(std::size_t kind) {
    static const std::filesystem::path folder = [] {
        std::filesystem::path made =
            std::filesystem::temp_directory_path() / ("placed_files_fuzzer_" + std::to_string(getpid()));
        std::filesystem::create_directories(made);
        return made;
    }();
    return folder / (std::string("placed.") + kExtensions[kind]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t kind = data[0] % kExtensions.size();
    const std::filesystem::path file = FileFor(kind);
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    }
    std::string error;
    // PSD images are decoded too: their composite image is read only when pixels are asked for.
    const bool decode = std::string_view(kExtensions[kind]) == "psd";
    const std::optional<host::PlacedFile> placed = host::ReadPlacedFile(file, decode, error);
    if (placed && (!std::isfinite(placed->frame.width()) || !std::isfinite(placed->frame.height()) ||
                   !(placed->frame.width() > 0.0) || !(placed->frame.height() > 0.0))) {
        std::abort();  // a frame that placing can't use
    }
    if (placed && !placed->pixels.empty() && !placed->pixels.isConsistent()) {
        std::abort();  // pixels that drawing would read beyond
    }
    return 0;
}

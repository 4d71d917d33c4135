// Fuzzes the readers of placed files: the boxes of SVG, PDF and EPS files and the headers of PNG,
// JPEG, TIFF and PSD images. The first byte picks the kind, the rest is the file. Whatever the
// bytes, reading answers a frame or an error, and a frame it answers is finite and not empty.
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "PlacedFiles.h"

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
    const std::filesystem::path file = FileFor(data[0] % kExtensions.size());
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    }
    std::string error;
    const std::optional<host::PlacedFile> placed = host::ReadPlacedFile(file, false, error);
    if (placed && (!std::isfinite(placed->frame.width()) || !std::isfinite(placed->frame.height()) ||
                   !(placed->frame.width() > 0.0) || !(placed->frame.height() > 0.0))) {
        std::abort();  // a frame that placing can't use
    }
    return 0;
}

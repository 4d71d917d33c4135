// Fuzzes the readers of placed files: the extent of SVG and PDF files (measured by librsvg and
// poppler once the budget's checks pass), the boxes of EPS files and the headers of PNG,
// JPEG, TIFF and PSD images, and the composite image of PSD files; a PDF page that passes the
// budget is drawn too. The first byte picks the kind,
// the rest is the file; for the last kind the rest is content, cut at '|', that a PDF made here
// draws on its page, in a Type 3 glyph, in a tiling pattern's cell and in a form, each of which
// the others can draw, so that the budget's walk meets every kind of stream it follows. Each input is
// read and drawn first in a process of its own under the picture's bound (a fork per input), and
// read again here only when that ended within the bound, so that a file whose decoding asks for
// minutes or gigabytes ends as a refusal, not as the fuzzer's timeout; a sanitizer's report from
// that process ends this one too. Whatever the bytes, reading answers a frame or an error,
// a frame it answers is finite and not empty, and pixels it decodes agree with their size.
#include <unistd.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <cairo.h>
#include <poppler.h>

#include "CraftedFiles.h"
#include "render/PictureProcess.h"
#include "render/PlacedFiles.h"

namespace {

constexpr std::array<const char*, 8> kExtensions = {"svg", "pdf", "eps", "png", "jpg", "tif", "psd", "pdf"};
constexpr std::size_t kPdfOfParts = 7;

// A PDF whose page (object 3) draws the first part; a Type 3 font /T (5) whose glyph "a" (6) draws
// the second, a tiling pattern /P (7) whose cell draws the third, and a form /X (8) the fourth. Every
// stream has the same resources (9), so each can draw the others and itself.
std::string PdfOfParts(std::string_view parts) {
    std::array<std::string, 4> content;
    for (std::size_t i = 0; i < content.size(); ++i) {
        const std::size_t cut = parts.find('|');
        content[i] = std::string(parts.substr(0, cut));
        parts = cut == std::string_view::npos ? std::string_view() : parts.substr(cut + 1);
    }
    using crafted::PdfStream;
    return crafted::Pdf(
        "/MediaBox [0 0 20 20] /Resources 9 0 R", content[0],
        {"<< /Type /Font /Subtype /Type3 /FontBBox [0 0 1 1] /FontMatrix [1 0 0 1 0 0] "
         "/CharProcs << /a 6 0 R >> /Encoding << /Type /Encoding /Differences [97 /a] >> "
         "/FirstChar 97 /LastChar 97 /Widths [1] /Resources 9 0 R >>",
         PdfStream("", "1 0 0 0 1 1 d1 " + content[1]),
         PdfStream("/Type /Pattern /PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0 1 1] "
                   "/XStep 1 /YStep 1 /Resources 9 0 R",
                   content[2]),
         PdfStream("/Type /XObject /Subtype /Form /BBox [0 0 20 20] /Resources 9 0 R", content[3]),
         "<< /Font << /T 5 0 R >> /Pattern << /P 7 0 R >> /XObject << /X 8 0 R >> >>"});
}

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

// Reads the file, decoding a PSD's composite image (read only when pixels are asked for), and draws a
// PDF page within the budget as a picture would draw it, small.
bool ReadAndDraw(const std::filesystem::path& file, std::optional<host::PlacedFile>& placed,
                 std::string& error) {
    placed = host::ReadPlacedFile(file, file.extension() == ".psd", error);
    if (placed && placed->pdfPage != nullptr) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 32, 32);
        cairo_t* cr = cairo_create(surface);
        cairo_scale(cr, 32.0 / placed->frame.width(), 32.0 / placed->frame.height());
        poppler_page_render(placed->pdfPage.get(), cr);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    return placed.has_value();
}

// Whether reading and drawing the file ends within the picture's bound, tried in a process of its
// own as placing and pictures read it (a sanitizer's report from it ends this process too). Whatever
// the readers answer, the try stands for the bound only, so that the inputs they refuse are read
// here too. The bound is lowered, so that reading it again here keeps well within the fuzzer's own
// limits of time and memory.
bool WithinTheBound(const std::filesystem::path& file) {
    static const bool lowered = [] {
        host::SetPictureBound(
            {std::chrono::seconds(2), std::size_t{512} << 20, std::chrono::milliseconds(4000)});
        return true;
    }();
    (void)lowered;
    const host::PictureResult tried = host::DrawPictureApart(
        [&](host::PictureOutput&, std::string& error) {
            std::optional<host::PlacedFile> placed;
            ReadAndDraw(file, placed, error);
            return true;
        },
        host::PictureLoad{});
    return tried.end != host::PictureResult::End::beyond;
}

}  // namespace

// poppler finds the fonts a page names but doesn't embed through fontconfig, which keeps what it
// looked up for the life of the process. And poppler's cairo output loses cairo patterns it makes
// while drawing some damaged pages (cairo 1.16 and poppler 22): the source of a Type 3 glyph that
// draws through a pattern, an inline image's pattern. The system's cairo has no frame pointers, so
// such a leak's stack often ends in cairo and can't be told apart by poppler's frames: leaks whose
// allocation lies in cairo are left out here. A cairo object the renderer forgets to release is
// still caught by the tests, which run under the leak checker, and by the render fuzzer.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libcairo.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t kind = data[0] % kExtensions.size();
    const std::filesystem::path file = FileFor(kind);
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
        const std::string bytes = kind == kPdfOfParts ? PdfOfParts(rest) : std::string(rest);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    if (!WithinTheBound(file)) {
        return 0;
    }
    std::string error;
    std::optional<host::PlacedFile> placed;
    ReadAndDraw(file, placed, error);
    if (placed && (!std::isfinite(placed->frame.width()) || !std::isfinite(placed->frame.height()) ||
                   !(placed->frame.width() > 0.0) || !(placed->frame.height() > 0.0))) {
        std::abort();  // a frame that placing can't use
    }
    if (placed && !placed->pixels.empty() && !placed->pixels.isConsistent()) {
        std::abort();  // pixels that drawing would read beyond
    }
    return 0;
}

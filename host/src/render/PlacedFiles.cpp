#include "render/PlacedFiles.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include <glib-object.h>
#include <jpeglib.h>
#include <librsvg/rsvg.h>
#include <lodepng.h>
#include <poppler.h>
#include <tiffio.h>

#include "model/DocumentFormat.h"
#include "render/JpegErrors.h"
#include "render/PictureProcess.h"
#include "textengine/Text.h"

namespace host {
namespace {

constexpr double kPointsPerInch = 72.0;
constexpr double kCentimetresPerInch = 2.54;

struct KindByExtension {
    std::string_view extension;
    PlacedKind kind;
};
constexpr KindByExtension kKinds[] = {
    {"png", PlacedKind::image},   {"jpg", PlacedKind::image},   {"jpeg", PlacedKind::image},
    {"jpe", PlacedKind::image},   {"tif", PlacedKind::image},   {"tiff", PlacedKind::image},
    {"psd", PlacedKind::image},   {"ai", PlacedKind::document}, {"ait", PlacedKind::document},
    {"pdf", PlacedKind::vector},  {"svg", PlacedKind::vector},  {"eps", PlacedKind::vector},
    {"epsf", PlacedKind::vector}, {"txt", PlacedKind::text},
};

std::string LowerExtension(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    if (!extension.empty()) {
        extension.erase(0, 1);
    }
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return extension;
}

// Whether the file is a regular file no larger than the limit: a named pipe would block its reader
// for ever, and a device such as /dev/zero never ends.
bool RegularAndBounded(const std::filesystem::path& file, std::string& error) {
    std::error_code failed;
    if (!std::filesystem::is_regular_file(file, failed)) {
        error = "cannot read " + file.string();
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, failed);
    if (failed) {
        error = "cannot read " + file.string();
        return false;
    }
    if (size > kMaxPlacedFileBytes) {
        error = file.string() + " is too large to place";
        return false;
    }
    return true;
}

// The whole file, when it is a regular file no larger than the limit.
std::optional<std::string> ReadBounded(const std::filesystem::path& file, std::string& error) {
    if (!RegularAndBounded(file, error)) {
        return std::nullopt;
    }
    std::error_code failed;
    const std::uintmax_t size = std::filesystem::file_size(file, failed);
    std::ifstream in(file, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
        error = "cannot read " + file.string();
        return std::nullopt;
    }
    return bytes;
}

// The extent of an image of that many pixels at the resolution (pixels per inch; 72 when unknown
// or not usable).
model::Rect ImageFrame(std::size_t width, std::size_t height, double resolution) {
    if (!(resolution > 0.0) || resolution > 1e6) {
        resolution = kPointsPerInch;
    }
    const double scale = kPointsPerInch / resolution;
    return model::Rect(0.0, static_cast<double>(height) * scale, static_cast<double>(width) * scale, 0.0);
}

bool SizeAllowed(std::size_t width, std::size_t height) {
    return width > 0 && height > 0 && width <= kMaxPlacedPixels / height;
}

std::uint32_t BigEndian32(std::string_view bytes, std::size_t at) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3]));
}

std::uint16_t BigEndian16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>((static_cast<unsigned char>(bytes[at]) << 8) |
                                      static_cast<unsigned char>(bytes[at + 1]));
}

// --- PNG ---------------------------------------------------------------------------------------------

bool ReadPng(const std::string& bytes, bool decode, PlacedFile& placed, std::string& error) {
    const std::optional<ImageHeader> header = ReadImageHeader(bytes, error);
    if (!header || bytes.compare(0, 4, "\x89PNG") != 0 || !SizeAllowed(header->width, header->height)) {
        error = "not a PNG image the host can read";
        return false;
    }
    unsigned width = header->width;
    unsigned height = header->height;
    const double resolution = header->resolution > 0.0 ? header->resolution : kPointsPerInch;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    placed.frame = ImageFrame(width, height, resolution);
    if (!decode) {
        return true;
    }
    std::vector<unsigned char> rgba;
    if (lodepng::decode(rgba, width, height, data, bytes.size(), LCT_RGBA, 8) != 0) {
        error = "the PNG image can't be decoded";
        return false;
    }
    // Moved, not copied: the largest image allowed is a quarter of a gigabyte.
    placed.pixels =
        model::RasterPixels{width, height, model::RasterPixels::Space::rgb, true, std::move(rgba)};
    return true;
}

// --- JPEG --------------------------------------------------------------------------------------------

// Decompresses with the jump target in this frame only: no C++ object with a destructor lives
// between setjmp and a longjmp.
bool ReadJpeg(const std::string& bytes, bool decode, PlacedFile& placed, std::string& error) {
    jpeg_decompress_struct info{};
    JpegErrors errors;
    SetJpegErrors(info, errors);
    std::vector<std::uint8_t>* pixels = &placed.pixels.bytes;
    if (setjmp(errors.back) != 0) {
        jpeg_destroy_decompress(&info);
        error = std::string("the JPEG image can't be read: ") + errors.message;
        return false;
    }
    jpeg_create_decompress(&info);
    LimitJpegScans(info, errors);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (!SizeAllowed(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        error = "the JPEG image is too large";
        return false;
    }
    double resolution = kPointsPerInch;
    if (info.density_unit == 1) {
        resolution = info.X_density;
    } else if (info.density_unit == 2) {
        resolution = info.X_density * kCentimetresPerInch;
    }
    placed.frame = ImageFrame(info.image_width, info.image_height, resolution);
    if (decode) {
        const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
        const bool gray = info.jpeg_color_space == JCS_GRAYSCALE;
        info.out_color_space = cmyk ? JCS_CMYK : (gray ? JCS_GRAYSCALE : JCS_RGB);
        jpeg_start_decompress(&info);
        const std::size_t rowBytes = static_cast<std::size_t>(info.output_width) * info.output_components;
        pixels->resize(rowBytes * info.output_height);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = pixels->data() + rowBytes * info.output_scanline;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        placed.pixels.width = info.output_width;
        placed.pixels.height = info.output_height;
        placed.pixels.alpha = false;
        placed.pixels.space =
            cmyk ? model::RasterPixels::Space::cmyk
                 : (gray ? model::RasterPixels::Space::gray : model::RasterPixels::Space::rgb);
    }
    jpeg_destroy_decompress(&info);
    return true;
}

// --- TIFF --------------------------------------------------------------------------------------------

// libtiff reports through handlers that print; the reader answers by return values instead.
void SilentTiffHandler(const char* /*module*/, const char* /*format*/, va_list /*arguments*/) {}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

bool ReadTiff(const std::filesystem::path& file, bool decode, PlacedFile& placed, std::string& error) {
    TIFFSetErrorHandler(SilentTiffHandler);
    TIFFSetWarningHandler(SilentTiffHandler);
    const std::unique_ptr<TIFF, TiffCloser> tiff(TIFFOpen(file.c_str(), "r"));
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (tiff == nullptr || TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) != 1 ||
        TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height) != 1 || !SizeAllowed(width, height)) {
        error = "not a TIFF image the host can read";
        return false;
    }
    float resolution = static_cast<float>(kPointsPerInch);
    std::uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tiff.get(), TIFFTAG_RESOLUTIONUNIT, &unit);
    if (TIFFGetField(tiff.get(), TIFFTAG_XRESOLUTION, &resolution) == 1 && unit == RESUNIT_CENTIMETER) {
        resolution *= static_cast<float>(kCentimetresPerInch);
    }
    placed.frame = ImageFrame(width, height, resolution);
    if (!decode) {
        return true;
    }
    std::vector<std::uint32_t> abgr(static_cast<std::size_t>(width) * height);
    if (TIFFReadRGBAImageOriented(tiff.get(), width, height, abgr.data(), ORIENTATION_TOPLEFT, 0) != 1) {
        error = "the TIFF image can't be decoded";
        return false;
    }
    placed.pixels = model::RasterPixels{width, height, model::RasterPixels::Space::rgb, true, {}};
    placed.pixels.bytes.reserve(abgr.size() * 4);
    for (const std::uint32_t pixel : abgr) {
        for (const std::uint32_t component :
             {TIFFGetR(pixel), TIFFGetG(pixel), TIFFGetB(pixel), TIFFGetA(pixel)}) {
            placed.pixels.bytes.push_back(static_cast<std::uint8_t>(component));
        }
    }
    return true;
}

// --- PSD ---------------------------------------------------------------------------------------------

// A PackBits row (a count byte n, then n + 1 bytes as they are, or one byte repeated 1 - n times)
// into the row's bytes. False when the data ends before the row is full.
bool UnpackBitsRow(std::string_view packed, std::uint8_t* row, std::size_t width) {
    std::size_t out = 0;
    for (std::size_t at = 0; out < width && at < packed.size();) {
        const int n = static_cast<signed char>(packed[at++]);
        if (n >= 0) {
            const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(n) + 1, width - out);
            if (count > packed.size() - at) {
                return false;
            }
            std::memcpy(row + out, packed.data() + at, count);
            out += count;
            at += static_cast<std::size_t>(n) + 1;
        } else if (n != -128 && at < packed.size()) {
            const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(1 - n), width - out);
            std::memset(row + out, static_cast<unsigned char>(packed[at++]), count);
            out += count;
        }
    }
    return out == width;
}

// The composite image that closes a PSD file, from its image data section at `at`: 8 bits per
// channel, grey, RGB or CMYK (PSD keeps CMYK as the light left over, 255 for no ink), the first
// extra channel as alpha, raw or PackBits. None for anything else.
std::optional<model::RasterPixels> PsdComposite(std::string_view bytes, std::size_t at, std::uint32_t width,
                                                std::uint32_t height) {
    const std::uint16_t channels = BigEndian16(bytes, 12);
    const std::uint16_t depth = BigEndian16(bytes, 22);
    const std::uint16_t mode = BigEndian16(bytes, 24);
    constexpr std::uint16_t kGrey = 1, kRgb = 3, kCmyk = 4;
    const std::size_t colours = mode == kGrey ? 1 : mode == kRgb ? 3 : mode == kCmyk ? 4 : 0;
    if (depth != 8 || colours == 0 || channels < colours || at > bytes.size() || bytes.size() - at < 2) {
        return std::nullopt;
    }
    const bool alpha = channels > colours;
    const std::size_t used = colours + (alpha ? 1 : 0);
    const std::size_t plane = static_cast<std::size_t>(width) * height;
    const std::uint16_t compression = BigEndian16(bytes, at);
    at += 2;
    std::vector<std::uint8_t> planes(used * plane);
    if (compression == 0) {
        if ((bytes.size() - at) / plane < used) {
            return std::nullopt;
        }
        std::memcpy(planes.data(), bytes.data() + at, planes.size());
    } else if (compression == 1) {
        // A table of every row's packed length, all channels' rows in order, then the rows.
        const std::size_t rows = static_cast<std::size_t>(channels) * height;
        if ((bytes.size() - at) / 2 < rows) {
            return std::nullopt;
        }
        std::size_t data = at + rows * 2;
        for (std::size_t row = 0; row < used * height; ++row) {
            const std::size_t length = BigEndian16(bytes, at + row * 2);
            if (length > bytes.size() - data ||
                !UnpackBitsRow(bytes.substr(data, length), planes.data() + row * width, width)) {
                return std::nullopt;
            }
            data += length;
        }
    } else {
        return std::nullopt;
    }
    model::RasterPixels pixels{width,
                               height,
                               mode == kGrey  ? model::RasterPixels::Space::gray
                               : mode == kRgb ? model::RasterPixels::Space::rgb
                                              : model::RasterPixels::Space::cmyk,
                               alpha,
                               {}};
    pixels.bytes.resize(used * plane);
    for (std::size_t c = 0; c < used; ++c) {
        const bool invert = mode == kCmyk && c < colours;
        for (std::size_t i = 0; i < plane; ++i) {
            const std::uint8_t value = planes[c * plane + i];
            pixels.bytes[i * used + c] = invert ? static_cast<std::uint8_t>(255 - value) : value;
        }
    }
    return pixels;
}

// The header gives the size; the resolution resource (1005), when there is one, the resolution;
// decode asks for the composite image, when the file holds one the reader can read (otherwise the
// pixels stay empty and the image shows as its frame).
bool ReadPsd(const std::string& bytes, bool decode, PlacedFile& placed, std::string& error) {
    constexpr std::size_t kHeader = 26;
    if (bytes.size() < kHeader + 8 || bytes.compare(0, 4, "8BPS") != 0) {
        error = "not a PSD image";
        return false;
    }
    const std::uint32_t height = BigEndian32(bytes, 14);
    const std::uint32_t width = BigEndian32(bytes, 18);
    if (!SizeAllowed(width, height)) {
        error = "the PSD image has no usable size";
        return false;
    }
    double resolution = kPointsPerInch;
    std::size_t at = kHeader + 4 + BigEndian32(bytes, kHeader);  // past the colour mode data
    // Where the layers section starts, past the image resources; none when the sizes run past the end.
    std::optional<std::size_t> layers;
    if (at + 4 <= bytes.size()) {
        const std::uint32_t resources = BigEndian32(bytes, at);
        if (resources <= bytes.size() - at - 4) {
            layers = at + 4 + resources;
        }
        const std::size_t end = std::min<std::size_t>(bytes.size(), at + 4 + resources);
        for (at += 4; at + 12 <= end && bytes.compare(at, 4, "8BIM") == 0;) {
            const std::uint16_t id = BigEndian16(bytes, at + 4);
            std::size_t name = static_cast<unsigned char>(bytes[at + 6]) + 1;
            name += name % 2;
            if (at + 6 + name + 4 > end) {
                break;
            }
            const std::size_t data = at + 6 + name + 4;
            const std::uint32_t size = BigEndian32(bytes, at + 6 + name);
            if (size > end - data) {
                break;
            }
            constexpr std::uint16_t kResolutionInfo = 1005;
            if (id == kResolutionInfo && size >= 4) {
                resolution = BigEndian32(bytes, data) / 65536.0;
            }
            at = data + size + size % 2;
        }
    }
    placed.frame = ImageFrame(width, height, resolution);
    constexpr std::uint16_t kPsdVersion = 1;  // version 2 (large documents) has longer section lengths
    if (decode && layers && BigEndian16(bytes, 4) == kPsdVersion && *layers + 4 <= bytes.size()) {
        const std::uint32_t length = BigEndian32(bytes, *layers);
        if (length <= bytes.size() - *layers - 4) {
            if (std::optional<model::RasterPixels> pixels =
                    PsdComposite(bytes, *layers + 4 + length, width, height)) {
                placed.pixels = *std::move(pixels);
            }
        }
    }
    return true;
}

// --- Vector files --------------------------------------------------------------------------------------

model::Rect BoxFrame(double left, double bottom, double right, double top) {
    return model::Rect(0.0, std::abs(top - bottom), std::abs(right - left), 0.0);
}

bool FrameUsable(const model::Rect& frame) {
    return std::isfinite(frame.right) && std::isfinite(frame.top) && frame.width() > 0.0 &&
           frame.height() > 0.0;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The length of the number that starts the text: an optional sign, then digits with an optional
// point and more digits, or a point and digits; 0 when no number starts there. Exponents are not
// part of it.
std::size_t NumberLength(std::string_view text) {
    std::size_t at = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    const std::size_t wholeStart = at;
    while (at < text.size() && IsDigit(text[at])) {
        ++at;
    }
    const bool whole = at > wholeStart;
    if (at < text.size() && text[at] == '.') {
        std::size_t fraction = at + 1;
        while (fraction < text.size() && IsDigit(text[fraction])) {
            ++fraction;
        }
        if (whole || fraction > at + 1) {
            return fraction;
        }
    }
    return whole ? at : 0;
}

// Every number in the text, left to right; one scan, whatever the text holds.
std::vector<double> NumbersIn(std::string_view text) {
    std::vector<double> numbers;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = NumberLength(text.substr(at));
        if (length == 0) {
            ++at;
            continue;
        }
        numbers.push_back(std::strtod(std::string(text.substr(at, length)).c_str(), nullptr));
        at += length;
    }
    return numbers;
}

// Four numbers after the first occurrence of the key, within a short stretch of text.
std::optional<std::vector<double>> BoxAfter(const std::string& bytes, std::string_view key) {
    const std::size_t at = bytes.find(key);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    constexpr std::size_t kStretch = 200;
    std::string stretch = bytes.substr(at + key.size(), kStretch);
    stretch = stretch.substr(0, stretch.find_first_of("]\r\n"));
    std::vector<double> numbers = NumbersIn(stretch);
    if (numbers.size() < 4) {
        return std::nullopt;
    }
    numbers.resize(4);
    return numbers;
}

struct GObjectUnref {
    void operator()(void* object) const {
        if (object != nullptr) {
            g_object_unref(object);
        }
    }
};

void FreeError(GError* error) {
    if (error != nullptr) {
        g_error_free(error);
    }
}

// The frame of the extent the drawing library measured; false, with the failure in error, when the
// file did not open or the extent is empty or not finite.
bool TakeMeasuredFrame(bool opened, double width, double height, PlacedFile& placed, const char* failure,
                       std::string& error) {
    placed.frame = model::Rect(0.0, height, width, 0.0);
    if (!opened || !FrameUsable(placed.frame)) {
        error = failure;
        return false;
    }
    return true;
}

// The bytes go to poppler, which keeps them for as long as the document lives.
bool ReadPdf(std::string&& bytes, PlacedFile& placed, std::string& error) {
    if (!PdfWithinBudget(bytes, error)) {
        error = "the PDF file is refused: " + error;
        return false;
    }
    auto* kept = new std::string(std::move(bytes));
    GBytes* data = g_bytes_new_with_free_func(
        kept->data(), kept->size(), [](gpointer text) { delete static_cast<std::string*>(text); }, kept);
    GError* failed = nullptr;
    const std::unique_ptr<PopplerDocument, GObjectUnref> document(
        poppler_document_new_from_bytes(data, nullptr, &failed));
    g_bytes_unref(data);
    FreeError(failed);
    if (document != nullptr && poppler_document_get_n_pages(document.get()) > 0) {
        placed.pdfPage.reset(poppler_document_get_page(document.get(), 0), GObjectUnref{});
    }
    double width = 0.0;
    double height = 0.0;
    if (placed.pdfPage != nullptr) {
        poppler_page_get_size(placed.pdfPage.get(), &width, &height);
    }
    return TakeMeasuredFrame(placed.pdfPage != nullptr, width, height, placed, "no page in the PDF file",
                             error);
}

// Opened from its bytes, without a base file: librsvg then loads no other file (XInclude, images,
// style sheets) and only data: URLs, which SvgWithinBudget has measured. Lengths in inches,
// centimetres and millimetres count 72 pixels per inch, so that a pixel (and a user unit) is a point.
bool ReadSvg(const std::string& bytes, PlacedFile& placed, std::string& error) {
    if (!SvgWithinBudget(bytes, error)) {
        error = "the SVG file is refused: " + error;
        return false;
    }
    GError* failed = nullptr;
    placed.svg.reset(
        rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(bytes.data()), bytes.size(), &failed),
        GObjectUnref{});
    FreeError(failed);
    double width = 0.0;
    double height = 0.0;
    if (placed.svg != nullptr) {
        rsvg_handle_set_dpi(placed.svg.get(), kPointsPerInch);
        if (!rsvg_handle_get_intrinsic_size_in_pixels(placed.svg.get(), &width, &height)) {
            gboolean hasWidth = FALSE;
            gboolean hasHeight = FALSE;
            gboolean hasViewBox = FALSE;
            RsvgLength ignored{};
            RsvgRectangle viewBox{};
            rsvg_handle_get_intrinsic_dimensions(placed.svg.get(), &hasWidth, &ignored, &hasHeight, &ignored,
                                                 &hasViewBox, &viewBox);
            width = hasViewBox ? viewBox.width : 0.0;
            height = hasViewBox ? viewBox.height : 0.0;
        }
    }
    return TakeMeasuredFrame(placed.svg != nullptr, width, height, placed,
                             "no size or view box in the SVG file", error);
}

// EPS files are measured by their bounding box comment; nothing here draws them.
bool ReadEps(const std::string& bytes, PlacedFile& placed, std::string& error) {
    std::optional<std::vector<double>> box = BoxAfter(bytes, "%%HiResBoundingBox:");
    if (!box) {
        box = BoxAfter(bytes, "%%BoundingBox:");
    }
    if (box) {
        placed.frame = BoxFrame((*box)[0], (*box)[1], (*box)[2], (*box)[3]);
    }
    if (!box || !FrameUsable(placed.frame)) {
        error = "no bounding box in the EPS file";
        return false;
    }
    return true;
}

// --- Native documents and text -------------------------------------------------------------------------

bool ReadNative(const std::filesystem::path& file, PlacedFile& placed, std::string& error) {
    model::ReadResult read = model::openDocument(file);
    if (!read.document) {
        error = read.error;
        return false;
    }
    // The content is what the active artboard shows; its frame is the artboard's rectangle.
    placed.frame = read.document->artboards().active().bounds;
    placed.document = std::move(read.document);
    return true;
}

// The text as paragraphs separated by "\r", and the nominal box of point text in 12-point type.
bool ReadText(const std::string& bytes, PlacedFile& placed) {
    const std::string text = text::EncodeUTF8(text::DecodeUTF8(bytes));
    std::string paragraphs;
    std::size_t longest = 0;
    std::size_t current = 0;
    std::size_t lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            paragraphs += '\r';
            longest = std::max(longest, current);
            current = 0;
            ++lines;
            continue;
        }
        paragraphs += c;
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++current;
        }
    }
    longest = std::max(longest, current);
    constexpr double kAdvance = 7.2;  // half a 12-point em and a little more, per character
    constexpr double kLeading = 14.4;
    placed.text = std::move(paragraphs);
    placed.frame = model::Rect(0.0, kLeading * static_cast<double>(lines),
                               std::max(kAdvance, kAdvance * static_cast<double>(longest)), 0.0);
    return true;
}

// Knows the file by what it holds: a content the bound of an earlier picture refused is not read
// again (false, the reason in error), and the picture being drawn notes what it reads.
bool AdmitContent(std::string_view bytes, const std::filesystem::path& file, PlacedFile& placed,
                  std::string& error) {
    placed.content = IdentifyContent(bytes);
    // A file shown as its frame takes none of the placed files' time: its reading is the art's.
    if (const std::string* refused = RefusedContent(placed.content)) {
        ExcusePlacedReading();
        error = "its content was refused earlier: " + *refused;
        return false;
    }
    if (ShownAsFrameForTime(placed.content)) {
        ExcusePlacedReading();
        error = "the picture's placed files have taken all the time they may take";
        return false;
    }
    NotePlacedContent(placed.content, file, bytes.size());
    return true;
}

}  // namespace

std::optional<PlacedKind> PlacedKindOf(const std::filesystem::path& file) {
    const std::string extension = LowerExtension(file);
    for (const KindByExtension& entry : kKinds) {
        if (entry.extension == extension) {
            return entry.kind;
        }
    }
    return std::nullopt;
}

std::optional<PlacedFile> ReadPlacedFile(const std::filesystem::path& file, bool decode, std::string& error) {
    const std::optional<PlacedKind> kind = PlacedKindOf(file);
    if (!kind) {
        error = "the host can't place files of this kind: " + file.string();
        return std::nullopt;
    }
    if (file.native().find('\0') != std::string::npos) {
        error = "a path holding a NUL names no file";
        return std::nullopt;
    }
    PlacedFile placed;
    placed.kind = *kind;
    const std::string extension = LowerExtension(file);
    const bool tiff = extension == "tif" || extension == "tiff";
    // libtiff and the document reader open the file themselves: checked here as ReadBounded checks.
    if ((tiff || *kind == PlacedKind::document) && !RegularAndBounded(file, error)) {
        return std::nullopt;
    }
    if (tiff) {
        // libtiff reads the file itself: its bytes are read first to know it by its content.
        const std::optional<std::string> bytes = ReadBounded(file, error);
        if (!bytes || !AdmitContent(*bytes, file, placed, error)) {
            return std::nullopt;
        }
        return ReadTiff(file, decode, placed, error) ? std::optional<PlacedFile>(std::move(placed))
                                                     : std::nullopt;
    }
    if (*kind == PlacedKind::document) {
        return ReadNative(file, placed, error) ? std::optional<PlacedFile>(std::move(placed)) : std::nullopt;
    }
    std::optional<std::string> bytes = ReadBounded(file, error);
    if (!bytes || (*kind != PlacedKind::text && !AdmitContent(*bytes, file, placed, error))) {
        return std::nullopt;
    }
    bool read = false;
    if (extension == "png") {
        read = ReadPng(*bytes, decode, placed, error);
    } else if (extension == "psd") {
        read = ReadPsd(*bytes, decode, placed, error);
    } else if (*kind == PlacedKind::image) {
        read = ReadJpeg(*bytes, decode, placed, error);
    } else if (extension == "pdf") {
        read = ReadPdf(*std::move(bytes), placed, error);
    } else if (extension == "svg") {
        read = ReadSvg(*bytes, placed, error);
    } else if (*kind == PlacedKind::vector) {
        read = ReadEps(*bytes, placed, error);
    } else {
        read = ReadText(*bytes, placed);
    }
    return read ? std::optional<PlacedFile>(std::move(placed)) : std::nullopt;
}

}  // namespace host

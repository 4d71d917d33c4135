#include "RasterFiles.h"

#include <tiffio.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "model/AtomicFile.h"

namespace host {

namespace {

using model::RasterPixels;

void PutU16(std::string& out, std::uint32_t value) {
    out += static_cast<char>((value >> 8) & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

void PutU32(std::string& out, std::uint32_t value) {
    PutU16(out, value >> 16);
    PutU16(out, value & 0xFFFF);
}

// The resolution as 16.16 fixed point, within what the field holds.
std::uint32_t FixedResolution(double resolution) {
    if (!std::isfinite(resolution) || resolution <= 0.0) {
        return 72u << 16;
    }
    return static_cast<std::uint32_t>(std::min(std::round(resolution * 65536.0), 4294967295.0));
}

// One image resource block with an empty name, its data padded to an even length.
void PutResource(std::string& out, std::uint16_t id, std::string_view data) {
    out += "8BIM";
    PutU16(out, id);
    PutU16(out, 0);  // empty name, padded
    PutU32(out, static_cast<std::uint32_t>(data.size()));
    out += data;
    if (data.size() % 2 != 0) {
        out += '\0';
    }
}

std::string ResolutionInfo(double resolution) {
    std::string info;
    for (int axis = 0; axis < 2; ++axis) {
        PutU32(info, FixedResolution(resolution));
        PutU16(info, 1);  // pixels per inch
        PutU16(info, 1);  // sizes shown in inches
    }
    return info;
}

std::uint16_t PsdMode(RasterPixels::Space space) {
    switch (space) {
        case RasterPixels::Space::gray:
            return 1;
        case RasterPixels::Space::cmyk:
            return 4;
        default:
            return 3;
    }
}

// The image resources the application writes into PSD and TIFF files.
std::string ImageResources(double resolution, std::string_view xmp) {
    std::string resources;
    PutResource(resources, 1005, ResolutionInfo(resolution));
    if (!xmp.empty()) {
        PutResource(resources, 1060, xmp);
    }
    return resources;
}

std::string PsdBytes(const RasterPixels& pixels, const RasterFileOptions& options) {
    const std::size_t channels = pixels.channels();
    std::string out = "8BPS";
    PutU16(out, 1);
    out.append(6, '\0');
    PutU16(out, static_cast<std::uint32_t>(channels));
    PutU32(out, static_cast<std::uint32_t>(pixels.height));
    PutU32(out, static_cast<std::uint32_t>(pixels.width));
    PutU16(out, 8);
    PutU16(out, PsdMode(pixels.space));
    PutU32(out, 0);  // no colour mode data
    const std::string resources = ImageResources(options.resolution, options.xmpPacket);
    PutU32(out, static_cast<std::uint32_t>(resources.size()));
    out += resources;
    PutU32(out, 0);  // no layers
    PutU16(out, 0);  // raw image data, one plane per channel
    const bool inverted = pixels.space == RasterPixels::Space::cmyk;
    const std::size_t colours = channels - (pixels.alpha ? 1 : 0);
    out.reserve(out.size() + pixels.bytes.size());
    for (std::size_t c = 0; c < channels; ++c) {
        // PSD keeps CMYK as the light left over, 255 for no ink.
        const bool invert = inverted && c < colours;
        for (std::size_t i = c; i < pixels.bytes.size(); i += channels) {
            out += static_cast<char>(invert ? 255 - pixels.bytes[i] : pixels.bytes[i]);
        }
    }
    return out;
}

void SilentTiffHandler(const char*, const char*, va_list) {}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

// A temporary file of the writer's own, removed when the object goes, or by a signal that ends
// the process before then.
class ScratchFile {
public:
    ScratchFile() {
        std::error_code failed;
        const std::filesystem::path folder = std::filesystem::temp_directory_path(failed);
        std::filesystem::path made;
        const int descriptor = failed ? -1 : model::makeTemporaryFile(folder / "plim_tiff", fRecord, made);
        if (descriptor >= 0) {
            close(descriptor);
            fPath = made.string();
        }
    }
    ~ScratchFile() {
        if (!fPath.empty()) {
            std::remove(fPath.c_str());
        }
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const std::string& path() const { return fPath; }

private:
    model::TemporaryFileRecord fRecord;  // destroyed after the file is removed
    std::string fPath;
};

// A minimal IPTC record: the record version dataset (1:00, version 4). libtiff counts the entry in
// bytes; the storage is long enough for 8 words as well, in case a build counts it in words.
constexpr std::uint32_t kIptcBytes = 8;
alignas(4) constexpr std::uint8_t kIptcRecord[kIptcBytes * 4] = {0x1C, 0x01, 0x00, 0x00,
                                                                 0x02, 0x00, 0x04, 0x00};

bool SetTiffImageFields(TIFF* tiff, const RasterPixels& pixels, const RasterFileOptions& options) {
    const std::uint16_t photometric = pixels.space == RasterPixels::Space::gray  ? PHOTOMETRIC_MINISBLACK
                                      : pixels.space == RasterPixels::Space::rgb ? PHOTOMETRIC_RGB
                                                                                 : PHOTOMETRIC_SEPARATED;
    bool ok = TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(pixels.width)) &&
              TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(pixels.height)) &&
              TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8) &&
              TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<std::uint16_t>(pixels.channels())) &&
              TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, photometric) &&
              TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(tiff, TIFFTAG_COMPRESSION,
                           options.lzwCompression ? COMPRESSION_LZW : COMPRESSION_NONE) &&
              TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0)) &&
              TIFFSetField(tiff, TIFFTAG_XRESOLUTION, static_cast<float>(options.resolution)) &&
              TIFFSetField(tiff, TIFFTAG_YRESOLUTION, static_cast<float>(options.resolution)) &&
              TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (ok && pixels.space == RasterPixels::Space::cmyk) {
        ok = TIFFSetField(tiff, TIFFTAG_INKSET, INKSET_CMYK) != 0;
    }
    if (ok && pixels.alpha) {
        const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
        ok = TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra) != 0;
    }
    return ok;
}

bool SetTiffMetadata(TIFF* tiff, const RasterFileOptions& options, std::uint64_t exifDirectory) {
    const std::string resources = ImageResources(options.resolution, {});
    bool ok = TIFFSetField(tiff, TIFFTAG_RICHTIFFIPTC, kIptcBytes, kIptcRecord) &&
              TIFFSetField(tiff, TIFFTAG_PHOTOSHOP, static_cast<std::uint32_t>(resources.size()),
                           resources.data()) &&
              TIFFSetField(tiff, TIFFTAG_EXIFIFD, exifDirectory);
    if (ok && !options.xmpPacket.empty()) {
        ok = TIFFSetField(tiff, TIFFTAG_XMLPACKET, static_cast<std::uint32_t>(options.xmpPacket.size()),
                          options.xmpPacket.data()) != 0;
    }
    return ok;
}

// Writes the TIFF into the scratch file: the Exif directory first (libtiff writes custom
// directories unlinked), then the image's directory pointing at it.
bool WriteTiffTo(const std::string& path, const RasterPixels& pixels, const RasterFileOptions& options) {
    const std::unique_ptr<TIFF, TiffCloser> tiff(TIFFOpen(path.c_str(), "w"));
    if (tiff == nullptr) {
        return false;
    }
    std::uint64_t exifDirectory = 0;
    if (TIFFCreateEXIFDirectory(tiff.get()) != 0 || !TIFFSetField(tiff.get(), EXIFTAG_COLORSPACE, 1) ||
        !TIFFWriteCustomDirectory(tiff.get(), &exifDirectory)) {
        return false;
    }
    TIFFFreeDirectory(tiff.get());
    if (TIFFCreateDirectory(tiff.get()) != 0 || !SetTiffImageFields(tiff.get(), pixels, options) ||
        !SetTiffMetadata(tiff.get(), options, exifDirectory)) {
        return false;
    }
    const std::size_t rowBytes = pixels.width * pixels.channels();
    std::vector<std::uint8_t> row(rowBytes);
    for (std::size_t y = 0; y < pixels.height; ++y) {
        std::copy_n(pixels.bytes.begin() + static_cast<std::ptrdiff_t>(y * rowBytes), rowBytes, row.begin());
        if (TIFFWriteScanline(tiff.get(), row.data(), static_cast<std::uint32_t>(y), 0) < 0) {
            return false;
        }
    }
    return TIFFWriteDirectory(tiff.get()) != 0;
}

}  // namespace

bool WritePsdFile(const RasterPixels& pixels, const RasterFileOptions& options,
                  const std::filesystem::path& file, std::string* error) {
    if (pixels.empty() || !pixels.isConsistent()) {
        *error = "the raster has no pixels";
        return false;
    }
    return model::writeFileAtomically(file, PsdBytes(pixels, options), error);
}

bool WriteTiffFile(const RasterPixels& pixels, const RasterFileOptions& options,
                   const std::filesystem::path& file, std::string* error) {
    if (pixels.empty() || !pixels.isConsistent()) {
        *error = "the raster has no pixels";
        return false;
    }
    TIFFSetErrorHandler(SilentTiffHandler);
    TIFFSetWarningHandler(SilentTiffHandler);
    const ScratchFile scratch;
    if (scratch.path().empty() || !WriteTiffTo(scratch.path(), pixels, options)) {
        *error = "libtiff could not write the image";
        return false;
    }
    std::ifstream in(scratch.path(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
        *error = "the written image could not be read back";
        return false;
    }
    return model::writeFileAtomically(file, bytes, error);
}

}  // namespace host

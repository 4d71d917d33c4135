#include "documents/RasterExports.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "AIArt.h"
#include "AIDictionary.h"
#include "AIRasterExport.h"
#include "IAIFilePath.hpp"
#include "art/ArtChanges.h"
#include "core/HostScopes.h"
#include "core/Json.h"
#include "core/Suites.h"
#include "documents/ExportScope.h"
#include "documents/FilePatches.h"
#include "documents/ImageEncoders.h"
#include "layout/Geometry.h"
#include "layout/ImageOptions.h"

namespace {

// Bytes per pixel of a raster colour space: grey 1, RGB 3, CMYK 4, one more with alpha; 0 for a
// space this writer does not know.
std::size_t ChannelsOf(ai::int16 colorSpace) {
    const std::size_t alpha = (colorSpace & kColorSpaceHasAlpha) != 0 ? 1 : 0;
    switch (colorSpace & ~kColorSpaceHasAlpha) {
        case kGrayColorSpace:
            return 1 + alpha;
        case kRGBColorSpace:
            return 3 + alpha;
        case kCMYKColorSpace:
            return 4 + alpha;
        default:
            return 0;
    }
}

// The whole buffer as one tile: rows of width × channels bytes, channels in order.
AITile WholeTile(const RasterBuffer& buffer, void* data, AISlice& slice) {
    slice = AISlice{0,
                    0,
                    static_cast<ai::int32>(buffer.height),
                    static_cast<ai::int32>(buffer.width),
                    0,
                    static_cast<ai::int32>(buffer.channels)};
    AITile tile;
    tile.data = data;
    tile.bounds = slice;
    tile.colBytes = static_cast<ai::int32>(buffer.channels);
    tile.rowBytes = static_cast<ai::int32>(buffer.width * buffer.channels);
    return tile;
}

// Reads the job's options; a value of the wrong type becomes the error text instead of ending the
// command, since a failed job must not stop the jobs after it.
bool ReadOptions(const nlohmann::json& job, ImageOptions& options, std::string& error) {
    bool ok = false;
    try {
        options = ImageOptions(job, ok);
    } catch (const CommandError& failure) {
        error = failure.what();
        return false;
    }
    if (!ok) {
        error = "Can't read export options";
    }
    return ok;
}

// The options of a PNG or JPEG file, which hold no CMYK: such a job is drawn in RGB.
bool ReadScreenOptions(const nlohmann::json& job, ImageOptions& options, std::string& error) {
    if (!ReadOptions(job, options, error)) {
        return false;
    }
    if (options.colorSpace == kImageCMYK) {
        options.colorSpace = kImageRGB;
    }
    return true;
}

// The job's rasterised document without its 3-pixel border, read in one pass; alphaLast as
// ReadRasterArea.
bool RasterizeTrimmed(const ImageOptions& options, const AIRealRect& rect, bool alphaLast,
                      RasterBuffer& trimmed) {
    ArtObject* made = options.RasterizeLayers(rect);
    return made != nullptr && ReadRasterArea(made, kRasterBorder, alphaLast, trimmed);
}

// "fileResolution" as an integer; false when the job has none.
bool FileResolution(const nlohmann::json& job, int& resolution) {
    resolution = 72;
    const json* value = FindKey(job, "fileResolution");
    return value != nullptr && value->is_number_integer() && ReadJsonValue(job, "fileResolution", resolution);
}

// The raster-export parameters of PSD or TIFF.
bool FillParameters(const DictionaryScope& parameters, const ImageOptions& options, bool psd) {
    if (psd) {
        return parameters.SetInteger("PSDColorModel", options.colorSpace) &&
               parameters.SetReal("PSDResolution", options.resolution) &&
               parameters.SetBoolean("PSDWriteLayers", false) &&
               parameters.SetInteger("PSDAntiAlias", options.antiAlias) &&
               parameters.SetBoolean("PSDMaxEditability", false) &&
               parameters.SetBoolean("PSDPreserveSpotColors", false);
    }
    constexpr ai::int32 kTiffModels[] = {0, 1, 2, 0};  // by colour space: RGB 1, CMYK 2, grey 0
    if (options.colorSpace < kImageRGB || options.colorSpace > kImageGrayscale) {
        return false;
    }
    return parameters.SetInteger("TIFFColorModel", kTiffModels[options.colorSpace]) &&
           parameters.SetBoolean("TIFFLZWCompression", options.lzwCompression) &&
           parameters.SetInteger("TIFFAntiAlias", options.antiAlias != 0 ? 2 : 1);
}

}  // namespace

bool ReadRasterBuffer(ArtObject* raster, RasterBuffer& out) {
    return ReadRasterArea(raster, 0, false, out);
}

bool ReadRasterArea(ArtObject* raster, std::size_t border, bool alphaLast, RasterBuffer& out) {
    out = RasterBuffer{};
    AIRasterRecord record;
    short type = kUnknownArt;
    if (raster == nullptr || sAIArt == nullptr || sAIRaster == nullptr ||
        sAIArt->GetArtType(raster, &type) != kNoErr || type != kRasterArt ||
        sAIRaster->GetRasterInfo(raster, &record) != kNoErr) {
        return false;
    }
    const std::size_t channels = ChannelsOf(record.colorSpace);
    if (record.bounds.right <= 0 || record.bounds.bottom <= 0 || channels == 0) {
        return false;
    }
    const auto width = static_cast<std::size_t>(record.bounds.right);
    const auto height = static_cast<std::size_t>(record.bounds.bottom);
    if (width <= 2 * border || height <= 2 * border) {
        return false;
    }
    RasterBuffer buffer;
    buffer.width = width - 2 * border;
    buffer.height = height - 2 * border;
    buffer.channels = channels;
    buffer.data.resize(buffer.width * buffer.height * channels);
    AISlice work;
    AITile tile = WholeTile(buffer, buffer.data.data(), work);
    // The host's alpha (its first channel) goes to the end of each pixel.
    if (alphaLast && (record.colorSpace & kColorSpaceHasAlpha) != 0) {
        tile.channelInterleave[0] = static_cast<ai::int16>(channels - 1);
        for (std::size_t c = 1; c < channels; ++c) {
            tile.channelInterleave[c] = static_cast<ai::int16>(c - 1);
        }
    }
    const auto inset = static_cast<ai::int32>(border);
    const AISlice area{inset,
                       inset,
                       record.bounds.bottom - inset,
                       record.bounds.right - inset,
                       0,
                       static_cast<ai::int32>(channels)};
    if (sAIRaster->GetRasterTile(raster, &area, &tile, &work) != kNoErr) {
        return false;
    }
    out = std::move(buffer);
    return true;
}

ArtObject* ToAIRaster(const RasterBuffer& buffer, AIRasterRecord record, ai::int16 order, ArtObject* prep) {
    if (!buffer.IsConsistent() || buffer.data.empty() || ChannelsOf(record.colorSpace) != buffer.channels ||
        sAIArt == nullptr || sAIRaster == nullptr) {
        return nullptr;
    }
    record.bounds = AIRect{0, 0, static_cast<ai::int32>(buffer.width), static_cast<ai::int32>(buffer.height)};
    record.byteWidth = static_cast<ai::int32>(buffer.width * buffer.channels);
    ArtObject* raster = nullptr;
    if (sAIArt->NewArt(kRasterArt, order, prep, &raster) != kNoErr || raster == nullptr) {
        return nullptr;
    }
    ArtChanges made;
    made.Made(raster);
    AISlice slice;
    std::vector<unsigned char> pixels = buffer.data;
    const AITile tile = WholeTile(buffer, pixels.data(), slice);
    if (sAIRaster->SetRasterInfo(raster, &record) != kNoErr ||
        sAIRaster->SetRasterTile(raster, &slice, &tile, &slice) != kNoErr) {
        return nullptr;
    }
    made.Keep();
    return raster;
}

bool ExportJpeg(const nlohmann::json& job, const std::string& path, const AIRealRect& rect,
                std::string& error) {
    ImageOptions options;
    if (!ReadScreenOptions(job, options, error)) {
        return false;
    }
    options.transparentBackground = false;
    std::string qualityName;
    ReadJsonValue(job, "jpegQuality", qualityName);
    RasterBuffer pixels;
    int resolution = 72;
    std::vector<unsigned char> jpeg;
    return RasterizeTrimmed(options, rect, false, pixels) && (pixels.channels == 1 || pixels.channels == 3) &&
           FileResolution(job, resolution) &&
           EncodeJpeg(pixels, JpegQuality(qualityName), resolution, jpeg, error) &&
           WriteFileBytes(path, jpeg);
}

bool ExportPng(const nlohmann::json& job, const std::string& path, const AIRealRect& rect,
               std::string& error) {
    ImageOptions options;
    if (!ReadScreenOptions(job, options, error)) {
        return false;
    }
    RasterBuffer pixels;
    if (!RasterizeTrimmed(options, rect, true, pixels) || pixels.channels < 1 || pixels.channels > 4) {
        return false;
    }
    int resolution = 72;
    std::vector<unsigned char> png;
    return FileResolution(job, resolution) && EncodePng(pixels, resolution, png) && WriteFileBytes(path, png);
}

bool ExportPsdTiff(const nlohmann::json& job, const std::string& path, bool psd, const AIRealRect& rect,
                   std::string& error) {
    ImageOptions options;
    if (!ReadOptions(job, options, error)) {
        return false;
    }
    ArtObject* raster = options.RasterizeLayers(rect);
    if (raster == nullptr) {
        return false;
    }
    AIRasterRecord record;
    if (sAIRaster->GetRasterInfo(raster, &record) != kNoErr) {
        error = "Can't get a raster record";
        return false;
    }
    RasterBuffer whole;
    RasterBuffer trimmed;
    if (!ReadRasterBuffer(raster, whole)) {
        error = "Can't create a raster buffer";
        return false;
    }
    if (!whole.Trim(kRasterBorder, kRasterBorder, trimmed)) {
        error = "Can't trim a raster buffer";
        return false;
    }
    ArtObject* trimmedArt = ToAIRaster(trimmed, record, kPlaceAbove, raster);
    if (trimmedArt == nullptr) {
        error = "Can't create a trimmed art";
        return false;
    }
    const std::optional<AIRealRect> bounds = ArtBounds(raster, false);
    if (!bounds) {
        error = "Can't get a raster bounding box";
        return false;
    }
    // One pixel of the trimmed art per pixel of the raster: its size in points at the resolution.
    const double scale = 72.0 / options.resolution;
    const AIRealMatrix aboutCorner =
        Concat(TranslationMatrix(-bounds->left, -bounds->top),
               Concat(ScaleMatrix(scale, scale), TranslationMatrix(bounds->left, bounds->top)));
    if (!TransformTree(trimmedArt, aboutCorner, 1.0, kMoveOptions, false)) {
        error = "Can't scale a trimmed art";
        return false;
    }
    const DictionaryScope parameters = DictionaryScope::New();
    if (parameters.Get() == nullptr || !FillParameters(parameters, options, psd)) {
        return false;
    }
    {
        const InnerContext context;
        const ai::FilePath file(path);
        if (sAIRasterExport == nullptr ||
            sAIRasterExport->ExportRasterArt(trimmedArt, file, psd ? kRasterExportPSD : kRasterExportTIFF,
                                             parameters.Get()) != kNoErr) {
            return false;
        }
    }
    int fileResolution = 72;
    if (!FileResolution(job, fileResolution)) {
        return false;
    }
    const auto resolution = static_cast<std::uint32_t>(fileResolution);
    if (psd) {
        return PatchPsdResolution(path, resolution, error);
    }
    return PatchTiffResolution(path, resolution, error) && RemoveIfdTags(path, kTiffMetadataTags, error);
}

bool ExportPsd(const nlohmann::json& job, const std::string& path, const AIRealRect& rect,
               std::string& error) {
    return ExportPsdTiff(job, path, true, rect, error);
}

bool ExportTiff(const nlohmann::json& job, const std::string& path, const AIRealRect& rect,
                std::string& error) {
    return ExportPsdTiff(job, path, false, rect, error);
}

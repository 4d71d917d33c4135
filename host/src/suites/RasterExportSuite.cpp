// The raster-export suite: a raster art's pixels written as PSD or TIFF, with the current
// document's XMP packet and the raster's own resolution.
#include <string>

#include "AIRasterExport.h"
#include "IAIFilePath.hpp"
#include "RasterFiles.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIRasterExportSuite;

using model::RasterPixels;

// The colour models of the parameter dictionary, by format: PSD 1 RGB, 2 CMYK, 3 grey; TIFF 1 RGB,
// 2 CMYK, 0 grey.
int ColorModelCode(RasterPixels::Space space, ai::int32 format) {
    switch (space) {
        case RasterPixels::Space::gray:
            return format == kRasterExportPSD ? 3 : 0;
        case RasterPixels::Space::cmyk:
            return 2;
        default:
            return 1;
    }
}

// The options the parameters give; false when they ask for what the raster can't give (another
// colour model than its own) or a value has the wrong type.
bool ReadParameters(const model::Dictionary& parameters, const RasterPixels& pixels, ai::int32 format,
                    RasterFileOptions& options) {
    const char* modelKey = format == kRasterExportPSD ? "PSDColorModel" : "TIFFColorModel";
    if (parameters.contains(modelKey)) {
        const model::Result<std::int32_t> code = parameters.integer(modelKey);
        if (!code || *code != ColorModelCode(pixels.space, format)) {
            return false;
        }
    }
    if (format == kRasterExportTIFF && parameters.contains("TIFFLZWCompression")) {
        const model::Result<bool> lzw = parameters.boolean("TIFFLZWCompression");
        if (!lzw) {
            return false;
        }
        options.lzwCompression = *lzw;
    }
    return true;
}

// Pixels per inch of the raster as it lies in the document; 72 when it covers no width.
double OwnResolution(const model::RasterContent& raster) {
    const double width = raster.box.bounds().width();
    return width > 0.0 ? static_cast<double>(raster.pixels.width) * 72.0 / width : 72.0;
}

AIErr ExportRasterArt(AIArtHandle raster, const ai::FilePath& file, ai::int32 format,
                      AIDictionaryRef parameters) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "ExportRasterArt");
    const model::RasterContent* content =
        error == kNoErr ? document->contentAs<model::RasterContent>(ArtIdOf(raster)) : nullptr;
    const std::string* path = error == kNoErr ? state->text.paths.Find(file.ref()) : nullptr;
    const model::Dictionary* dictionary =
        error == kNoErr && parameters != nullptr ? ResolveDictionaryRef(*state, parameters) : nullptr;
    RasterFileOptions options;
    if (error == kNoErr &&
        (content == nullptr || content->pixels.empty() || path == nullptr || path->empty() ||
         dictionary == nullptr || (format != kRasterExportPSD && format != kRasterExportTIFF) ||
         !ReadParameters(*dictionary, content->pixels, format, options))) {
        error = kBadParameterErr;
    }
    std::string reason;
    if (error == kNoErr) {
        options.resolution = OwnResolution(*content);
        options.xmpPacket = document->xmp();
        const bool written = format == kRasterExportPSD
                                 ? WritePsdFile(content->pixels, options, *path, &reason)
                                 : WriteTiffFile(content->pixels, options, *path, &reason);
        error = written ? kNoErr : kCantHappenErr;
    }
    Record(
        state, "ExportRasterArt",
        {ArtLabel(document, raster), path != nullptr ? *path : std::string(), std::to_string(format), reason},
        error);
    return error;
}

}  // namespace

AIRasterExportSuite gRasterExportSuite = {
    PLIM_SUITE_FUNCTION(ExportRasterArt),
};

}  // namespace host

// The raster-export suite: writing raster art as a PSD or TIFF file with the options of a
// parameter dictionary.
#pragma once

#include "AIArt.h"
#include "AIDictionary.h"
#include "SPTypes.h"

namespace ai {
class FilePath;
}

#define kAIRasterExportSuite "AI Raster Export Suite"
constexpr ASInt32 kAIRasterExportSuiteVersion = 1001;

enum AIRasterExportFormat : ai::int32 { kRasterExportPSD = 1, kRasterExportTIFF = 2 };

struct AIRasterExportSuite {
    // Writes the pixels of the raster art to the file, replacing it whole or not at all. The
    // dictionary holds the format's options ("PSDColorModel", "TIFFColorModel",
    // "TIFFLZWCompression", ...; host.md lists them).
    AIErr (*ExportRasterArt)(AIArtHandle raster, const ai::FilePath& file, ai::int32 format,
                             AIDictionaryRef parameters);
};

// Placed art: files placed into the artwork, linked (the art names the file) or embedded (the
// file's content becomes art of the document).
#pragma once

#include "AIArt.h"
#include "IAIFilePath.hpp"
#include "SPTypes.h"

#define kAIPlacedSuite "AI Placed Suite"
constexpr ASInt32 kAIPlacedSuiteVersion = 1010;

namespace ai {
// How placed content is sized to the bounds it replaces: as is 0, fill 1, fit 2, conform 3,
// reconform 4.
using PlaceMethod = ai::int32;
// Nine positions numbered by columns: 0 top left, 1 left, 2 bottom left, 3 top, 4 centre, 5 bottom,
// 6 top right, 7 right, 8 bottom right.
using PlaceAlignment = ai::int32;
}  // namespace ai

// What a place request does.
enum AIPlaceRequestMode : ai::int32 {
    kVanillaPlace = 0,  // the file becomes new art
    kQueryPlace = 1,
    kForceReplace = 2,  // the file replaces m_hOldArt (a placed or raster art), in its place
};

struct AIPlaceRequestData {
    ai::int32 m_lPlaceMode = kVanillaPlace;
    AIArtHandle m_hOldArt = nullptr;  // the art to replace (kForceReplace)
    AIArtHandle m_hNewArt = nullptr;  // out: the art made
    const ai::FilePath* m_pFilePath = nullptr;
    ai::int32 m_lParam = 0;
    AIBoolean m_filemethod = 0;  // 1: link the file; 0: embed its content
    AIBoolean m_disableTemplate = 0;
    AIBoolean m_doShowParamDialog = 0;
};

struct AIPlacedSuite {
    // Places the file as the request says. The kind of file follows its extension: PNG, JPEG, TIFF
    // and PSD images, native documents ("ai" and "ait"), PDF, SVG and EPS, text files ("txt",
    // "rtf", "doc", "docx") as point text. kBadParameterErr for a null file, an unknown kind or an
    // old art that is neither placed nor raster art; kCantHappenErr for a file that can't be read.
    AIErr (*ExecPlaceRequest)(AIPlaceRequestData& request);
    // How content placed in place of the art is fitted to its bounds. The art must be placed or
    // raster art.
    AIErr (*GetPlaceOptions)(AIArtHandle placed, ai::PlaceMethod* method, ai::PlaceAlignment* alignment,
                             AIBoolean* clip);
    AIErr (*SetPlaceOptions)(AIArtHandle placed, ai::PlaceMethod method, ai::PlaceAlignment alignment,
                             AIBoolean clip);
    // The file a placed art links to.
    AIErr (*GetPlacedFileSpecification)(AIArtHandle placed, ai::FilePath& file);
};

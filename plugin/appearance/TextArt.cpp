// The text steps that the text folder registers.
#include "appearance/TextArt.h"

namespace {

TextOverprintStep gTextOverprint = nullptr;
TextFrameStyleStep gTextFrameStyle = nullptr;

}  // namespace

void RegisterTextOverprint(TextOverprintStep step) {
    gTextOverprint = step;
}

void ApplyTextOverprint(AIArtHandle art, std::optional<bool> overprintFill,
                        std::optional<bool> overprintStroke) {
    if (gTextOverprint != nullptr) {
        gTextOverprint(art, overprintFill, overprintStroke);
    }
}

void RegisterTextFrameStyle(TextFrameStyleStep step) {
    gTextFrameStyle = step;
}

bool ApplyStyleToTextFrame(AIArtHandle art, const GStyle& style) {
    return gTextFrameStyle != nullptr && gTextFrameStyle(art, style);
}

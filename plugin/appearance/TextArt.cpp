// The text steps that the text folder registers.
#include "appearance/TextArt.h"

namespace {

TextOverprintStep gTextOverprint = nullptr;

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

// What text does for the appearance folder: paint attributes given to text art become character
// features. Registered at start-up (see appearance/TextArt.h).
#pragma once

#include <optional>

#include "AIArt.h"
#include "appearance/GStyle.h"

// For text art: the whole story's characters get the given fill and stroke overprint. Other art,
// and text the engine refuses to change, are left as they were.
void ApplyOverprintToTextArt(AIArtHandle art, std::optional<bool> overprintFill,
                             std::optional<bool> overprintStroke);

// For a text frame: the style's first fill and stroke become character features of the frame's own
// text (when it gives any); true. False for other art.
bool ApplyGStyleToTextFrame(AIArtHandle art, const GStyle& style);

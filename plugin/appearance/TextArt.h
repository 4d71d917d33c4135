// Text art takes some of its appearance as character features. The text folder, above this one,
// provides those steps and registers them at start-up; before they are registered, text art takes
// nothing.
#pragma once

#include <optional>

#include "AIArt.h"

class GStyle;

// Gives the characters of the whole story of text art the overprint of their fill and stroke
// (only those given); other art is left alone.
using TextOverprintStep = void (*)(AIArtHandle art, std::optional<bool> overprintFill,
                                   std::optional<bool> overprintStroke);

// Called once at start-up by the folder that provides the step.
void RegisterTextOverprint(TextOverprintStep step);

// The registered step's work; nothing before one is registered.
void ApplyTextOverprint(AIArtHandle art, std::optional<bool> overprintFill,
                        std::optional<bool> overprintStroke);

// For a text frame: the style's first fill and stroke (colours, overprint, stroke width and join)
// become character features of the frame's own text, and the answer is true, so that the caller
// leaves the style's paint fields out of the frame's art style. False for other art.
using TextFrameStyleStep = bool (*)(AIArtHandle art, const GStyle& style);

void RegisterTextFrameStyle(TextFrameStyleStep step);

// The registered step's answer; false before one is registered.
bool ApplyStyleToTextFrame(AIArtHandle art, const GStyle& style);

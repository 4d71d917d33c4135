// Text art takes some of its appearance as character features. The text folder, above this one,
// provides that step and registers it at start-up; before it is registered, text art takes nothing.
#pragma once

#include <optional>

#include "AIArt.h"

// Gives the characters of the whole story of text art the overprint of their fill and stroke
// (only those given); other art is left alone.
using TextOverprintStep = void (*)(AIArtHandle art, std::optional<bool> overprintFill,
                                   std::optional<bool> overprintStroke);

// Called once at start-up by the folder that provides the step.
void RegisterTextOverprint(TextOverprintStep step);

// The registered step's work; nothing before one is registered.
void ApplyTextOverprint(AIArtHandle art, std::optional<bool> overprintFill,
                        std::optional<bool> overprintStroke);

// Colour conversion between the host's colour spaces, one sample colour at a time.
#pragma once

#include "SPTypes.h"

#define kAIColorConversionSuite "AI Color Conversion Suite"
constexpr ASInt32 kAIColorConversionSuiteVersion = 1010;

using AISampleComponent = float;

// Colour spaces and their components: gray 1 (0 black to 1 white), RGB 2 (0 to 1 each), CMYK 4
// (0 to 1 each), Lab 7 (L 0 to 100, a and b -128 to 127).
enum AIColorConversionSpaceValue : ai::int32 {
    kAIMonoColorSpace = 1,
    kAIRGBColorSpace = 2,
    kAICMYKColorSpace = 4,
    kAILabColorSpace = 7,
};

// How colours are converted between models; 0 is the host's default (the only one this host has).
struct AIColorConvertOptions {
    ai::int32 purpose = 0;
};

struct AIColorConversionSuite {
    // Converts one colour; *inGamut (when not null) tells whether the result needed no clipping.
    // kBadParameterErr for another space, a null pointer or a component that is not finite.
    AIErr (*ConvertSampleColor)(ai::int32 srcSpace, const AISampleComponent* srcColor, ai::int32 dstSpace,
                                AISampleComponent* dstColor, const AIColorConvertOptions& options,
                                AIBoolean* inGamut);
};

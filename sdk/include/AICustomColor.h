// Custom colours: named colours of a document (spot colours, and global process colours) that
// swatches and paint refer to by handle, so that changing one changes every use.
#pragma once

#include "AIPathStyle.h"
#include "IAIUnicodeString.h"

#define kAICustomColorSuite "AI Custom Color Suite"
constexpr ASInt32 kAICustomColorSuiteVersion = 1008;

enum AICustomColorTag : ai::int16 {
    kCustomFourColor = 0,   // c.f: CMYK, 0 to 1
    kCustomThreeColor = 1,  // c.rgb: RGB, 0 to 1
    kCustomLabColor = 2,    // c.lab: L 0 to 100, a and b -128 to 127
};

struct AILabColorStyle {
    AIReal l = 0;
    AIReal a = 0;
    AIReal b = 0;
};

union AICustomColorUnion {
    AIFourColorStyle f;
    AIThreeColorStyle rgb;
    AILabColorStyle lab;
};

using AICustomColorFlags = ai::int32;
constexpr AICustomColorFlags kCustomSpotColor = 0x1;

// A custom colour's definition: its kind, components and flags (kCustomSpotColor: a spot colour;
// otherwise a global process colour).
struct AICustomColor {
    AICustomColorTag kind = kCustomFourColor;
    AICustomColorUnion c{AIFourColorStyle{}};
    AICustomColorFlags flag = 0;
};

// Names are UTF-8 texts in Unicode strings; a document's custom colours have distinct, non-empty
// names. Every operation answers kNoDocumentErr without a document and kBadParameterErr for a null
// out-pointer, a handle that names no custom colour, or a definition outside its ranges.
struct AICustomColorSuite {
    AIErr (*NewCustomColor)(const AICustomColor* definition, const ai::UnicodeString& name,
                            AICustomColorHandle* color);
    AIErr (*GetCustomColor)(AICustomColorHandle color, AICustomColor* definition);
    AIErr (*SetCustomColor)(AICustomColorHandle color, const AICustomColor* definition);
    AIErr (*GetCustomColorName)(AICustomColorHandle color, ai::UnicodeString& name);
    // kBadParameterErr for an empty name or one another custom colour has.
    AIErr (*SetCustomColorName)(AICustomColorHandle color, const ai::UnicodeString& name);
    // kNameNotFoundErr when the document has no custom colour of that name (*color null).
    AIErr (*GetCustomColorByName)(const ai::UnicodeString& name, AICustomColorHandle* color);
    // Whether the handle names a custom colour of the current document. Never an error.
    AIBoolean (*ValidCustomColor)(AICustomColorHandle color);
};

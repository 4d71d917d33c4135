// The font suite: the fonts the application knows, their names, and the text engine's fonts.
#pragma once

#include "ATESuites.h"
#include "IAIUnicodeString.h"
#include "SPTypes.h"

#define kAIFontSuite "AI Font Suite"
constexpr ASInt32 kAIFontSuiteVersion = 1006;

struct FontObject;
// A font of the application's font list; the same font always has the same key.
using AIFontKey = FontObject*;

// What the font list says of a font besides its names.
struct AIFontInfo {
    ai::int16 type = 0;   // 2: TrueType
    ai::int32 index = 0;  // its place in the font list
};

// Fonts are listed in the order of their PostScript names. The 8-bit names are written with a
// terminator into the caller's buffer of maxLength bytes (kBadParameterErr when they do not fit);
// the Unicode names into the caller's string. Which name of a font's name table each name is, is
// written down in docs/host.md.
struct AIFontSuite {
    AIErr (*CountFonts)(ai::int32* count);
    AIErr (*IndexFontList)(ai::int32 index, AIFontKey* font);
    AIErr (*GetFontInfo)(AIFontKey font, AIFontInfo* info);
    AIErr (*GetSystemFontName)(AIFontKey font, char* name, ai::int32 maxLength);
    AIErr (*GetFullFontName)(AIFontKey font, char* name, ai::int32 maxLength);
    AIErr (*GetPostScriptFontName)(AIFontKey font, char* name, ai::int32 maxLength);
    AIErr (*GetUserFontUIName)(AIFontKey font, char* name, ai::int32 maxLength);
    AIErr (*GetFontFamilyUIName)(AIFontKey font, char* name, ai::int32 maxLength);
    AIErr (*GetFontStyleUIName)(AIFontKey font, char* name, ai::int32 maxLength);
    AIErr (*GetFontFamilyNameUnicode)(AIFontKey font, ai::UnicodeString& name, AIBoolean native);
    AIErr (*GetFontStyleNameUnicode)(AIFontKey font, ai::UnicodeString& name, AIBoolean native);
    AIErr (*GetFontNameUnicode)(AIFontKey font, ai::UnicodeString& name, AIBoolean native);
    // The text engine's font of a key, with one count; and the key of a text engine's font.
    AIErr (*FontFromFontKey)(AIFontKey font, FontRef* engineFont);
    AIErr (*FontKeyFromFont)(FontRef engineFont, AIFontKey* font);
};

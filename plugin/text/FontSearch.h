// The host's fonts: their names as the font list reports them, and the font searches by name, by
// family and by style that applying text features uses.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "AIFont.h"
#include "IText.h"

using EightBitName = AIErr (*AIFontSuite::*)(AIFontKey, char*, ai::int32);
using UnicodeName = AIErr (*AIFontSuite::*)(AIFontKey, ai::UnicodeString&, AIBoolean);

// How each name is read: an 8-bit name into a buffer, or a Unicode name with its native flag.
struct FontNameRow {
    std::string_view key;
    EightBitName eightBit;
    UnicodeName unicode;
    bool native;
};

// The names in the order the font list reads them, by their reply keys.
inline constexpr FontNameRow kFontNameRows[] = {
    {"systemFontName", &AIFontSuite::GetSystemFontName, nullptr, false},
    {"fullFontName", &AIFontSuite::GetFullFontName, nullptr, false},
    {"postScriptFontName", &AIFontSuite::GetPostScriptFontName, nullptr, false},
    {"fontFamilyUIName", &AIFontSuite::GetFontFamilyUIName, nullptr, false},
    {"fontStyleUIName", &AIFontSuite::GetFontStyleUIName, nullptr, false},
    {"fontFamily", nullptr, &AIFontSuite::GetFontFamilyNameUnicode, false},
    {"fontFamilyNative", nullptr, &AIFontSuite::GetFontFamilyNameUnicode, true},
    {"fontStyle", nullptr, &AIFontSuite::GetFontStyleNameUnicode, false},
    {"fontStyleNative", nullptr, &AIFontSuite::GetFontStyleNameUnicode, true},
    {"fontName", nullptr, &AIFontSuite::GetFontNameUnicode, false},
    {"fontNameNative", nullptr, &AIFontSuite::GetFontNameUnicode, true},
    {"userFontUIName", &AIFontSuite::GetUserFontUIName, nullptr, false},
};

// The name of a font under one of the keys of kFontNameRows, as UTF-8 (8-bit names as the host
// gives their bytes); none when the host refuses or the key is unknown.
std::optional<std::string> ReadFontName(AIFontKey font, std::string_view key);

// The fonts of the host's list, in its order; a failing count or index call ends the list.
std::vector<AIFontKey> HostFonts();

// The first font whose "fontName", "fontNameNative", "fullFontName", "systemFontName" or
// "userFontUIName" equals the name (case ignored), as a one-element list; empty when none does or
// the name is empty.
std::vector<AIFontKey> SearchFontName(const std::string& name);
// Every font whose "fontFamily", "fontFamilyNative" or "fontFamilyUIName" equals the family (case
// ignored), in the host's order; empty for an empty family.
std::vector<AIFontKey> SearchFontFamily(const std::string& family);
// The first font of the list whose style name equals the style (case ignored); else the first named
// normal, regular or roman; else the list's first. Null for an empty list.
AIFontKey SearchFontStyle(const std::vector<AIFontKey>& fonts, const std::string& style);

// The name, family and style of the features' assigned font; false when no font is assigned or
// the host can't name it.
bool CharFeaturesToFont(const ATE::ICharFeatures& features, std::string& name, std::string& family,
                        std::string& style);

// The text engine's font of a font key; null when the host refuses or the key is null.
ATE::IFont EngineFont(AIFontKey font);

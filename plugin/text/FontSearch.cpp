#include "text/FontSearch.h"

#include <cstring>
#include <memory>

#include "art/TagText.h"
#include "core/Suites.h"

namespace {

constexpr ai::int32 kEightBitNameBuffer = 65535;

constexpr std::string_view kNameKeys[] = {"fontName", "fontNameNative", "fullFontName", "systemFontName",
                                          "userFontUIName"};
constexpr std::string_view kFamilyKeys[] = {"fontFamily", "fontFamilyNative", "fontFamilyUIName"};
constexpr std::string_view kStyleKeys[] = {"fontStyle", "fontStyleNative", "fontStyleUIName"};
constexpr std::string_view kPlainStyles[] = {"normal", "regular", "roman"};

// Whether one of the font's names under the keys is, case ignored, the (lower-cased) text.
template <size_t N>
bool HasName(AIFontKey font, const std::string_view (&keys)[N], const std::string& lowered) {
    for (std::string_view key : keys) {
        const std::optional<std::string> name = ReadFontName(font, key);
        if (name && LowerCaseText(*name) == lowered) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<std::string> ReadFontName(AIFontKey font, std::string_view key) {
    if (sAIFont == nullptr) {
        return std::nullopt;
    }
    for (const FontNameRow& row : kFontNameRows) {
        if (row.key != key) {
            continue;
        }
        if (row.eightBit != nullptr) {
            const auto buffer = std::make_unique_for_overwrite<char[]>(kEightBitNameBuffer);
            if ((sAIFont->*row.eightBit)(font, buffer.get(), kEightBitNameBuffer) != kNoErr) {
                return std::nullopt;
            }
            return std::string(buffer.get(), strnlen(buffer.get(), kEightBitNameBuffer));
        }
        ai::UnicodeString name;
        if ((sAIFont->*row.unicode)(font, name, row.native) != kNoErr) {
            return std::nullopt;
        }
        return name.as_UTF8();
    }
    return std::nullopt;
}

std::vector<AIFontKey> HostFonts() {
    std::vector<AIFontKey> fonts;
    ai::int32 count = 0;
    if (sAIFont == nullptr || sAIFont->CountFonts(&count) != kNoErr) {
        return fonts;
    }
    for (ai::int32 i = 0; i < count; ++i) {
        AIFontKey font = nullptr;
        if (sAIFont->IndexFontList(i, &font) != kNoErr) {
            break;
        }
        fonts.push_back(font);
    }
    return fonts;
}

std::vector<AIFontKey> SearchFontName(const std::string& name) {
    if (name.empty()) {
        return {};
    }
    const std::string lowered = LowerCaseText(name);
    for (AIFontKey font : HostFonts()) {
        if (HasName(font, kNameKeys, lowered)) {
            return {font};
        }
    }
    return {};
}

std::vector<AIFontKey> SearchFontFamily(const std::string& family) {
    std::vector<AIFontKey> found;
    if (family.empty()) {
        return found;
    }
    const std::string lowered = LowerCaseText(family);
    for (AIFontKey font : HostFonts()) {
        if (HasName(font, kFamilyKeys, lowered)) {
            found.push_back(font);
        }
    }
    return found;
}

AIFontKey SearchFontStyle(const std::vector<AIFontKey>& fonts, const std::string& style) {
    if (fonts.empty()) {
        return nullptr;
    }
    const std::string lowered = LowerCaseText(style);
    AIFontKey plain = nullptr;
    for (AIFontKey font : fonts) {
        if (font == nullptr) {
            continue;
        }
        if (HasName(font, kStyleKeys, lowered)) {
            return font;
        }
        for (std::string_view name : kPlainStyles) {
            if (plain == nullptr && HasName(font, kStyleKeys, std::string(name))) {
                plain = font;
            }
        }
    }
    return plain != nullptr ? plain : fonts.front();
}

bool CharFeaturesToFont(const ATE::ICharFeatures& features, std::string& name, std::string& family,
                        std::string& style) {
    try {
        bool assigned = false;
        const ATE::IFont font = features.GetFont(&assigned);
        AIFontKey key = nullptr;
        if (!assigned || sAIFont == nullptr || sAIFont->FontKeyFromFont(font.GetRef(), &key) != kNoErr) {
            return false;
        }
        const auto fontName = ReadFontName(key, "fontName");
        const auto fontFamily = ReadFontName(key, "fontFamily");
        const auto fontStyle = ReadFontName(key, "fontStyle");
        if (!fontName || !fontFamily || !fontStyle) {
            return false;
        }
        name = *fontName;
        family = *fontFamily;
        style = *fontStyle;
        return true;
    } catch (const ATE::Exception&) {
        return false;
    }
}

ATE::IFont EngineFont(AIFontKey font) {
    FontRef engineFont = nullptr;
    if (font == nullptr || sAIFont == nullptr || sAIFont->FontFromFontKey(font, &engineFont) != kNoErr) {
        return {};
    }
    return ATE::IFont(engineFont);
}

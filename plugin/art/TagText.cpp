#include "art/TagText.h"

#include <utf8.h>

#include <cstdio>
#include <iterator>

#include "IAIUnicodeString.h"
#include "art/Crc32.h"
#include "art/TagQueryTokens.h"
#include "core/TextHelpers.h"

namespace {

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

std::u32string ToUtf32(std::string_view utf8) {
    std::string valid;
    utf8::replace_invalid(utf8.begin(), utf8.end(), std::back_inserter(valid), kReplacementCharacter);
    std::u32string text;
    utf8::utf8to32(valid.begin(), valid.end(), std::back_inserter(text));
    return text;
}

std::u32string Utf16ToUtf32(std::span<const std::uint16_t> units) {
    std::u32string text;
    text.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            text.push_back(CombineSurrogates(unit, units[i + 1]));
            ++i;
        } else {
            text.push_back(IsUnicodeScalar(unit) ? unit : kReplacementCharacter);
        }
    }
    return text;
}

std::string ToUtf8(std::u32string_view text) {
    std::string utf8;
    for (char32_t c : text) {
        utf8::append(IsUnicodeScalar(c) ? c : kReplacementCharacter, std::back_inserter(utf8));
    }
    return utf8;
}

std::string LowerCaseText(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    ai::UnicodeString text(std::string(utf8), kAIUTF8CharacterEncoding);
    std::string lower = text.toLower().getInStdString(kAIUTF8CharacterEncoding);
    if (text.ref() == nullptr || lower.empty()) {
        return AsciiLowerCase(utf8);
    }
    return ToUtf8(ToUtf32(lower));
}

std::u32string LowerCaseText(std::u32string_view text) {
    return ToUtf32(LowerCaseText(ToUtf8(text)));
}

bool IsForbiddenInTag(char32_t c) {
    if (c == U'\0' || notAllowedInTags.find(c) != std::u32string_view::npos) {
        return true;
    }
    for (const ppToken& token : ppTokens) {
        if (token.spelling.front() == c) {
            return true;
        }
    }
    return false;
}

std::u32string NormalizeTagName(std::u32string_view text) {
    std::u32string replaced;
    replaced.reserve(text.size());
    for (char32_t c : text) {
        if (!IsForbiddenInTag(c)) {
            replaced.push_back(c);
        } else if (replaced.empty() || replaced.back() != U'_') {
            replaced.push_back(U'_');
        }
    }
    return LowerCaseText(replaced);
}

std::string NormalizeTagName(std::string_view utf8) {
    return ToUtf8(NormalizeTagName(ToUtf32(utf8)));
}

std::string TagName(std::string_view text) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(CRC32(text)));
    return std::string(tagPrefix) + digits;
}

bool OwnTag(std::string_view name) {
    if (name.size() != tagPrefix.size() + 8 || !name.starts_with(tagPrefix)) {
        return false;
    }
    for (char c : name.substr(tagPrefix.size())) {
        if (!IsHexDigit(c)) {
            return false;
        }
    }
    return true;
}

std::string SerialTag(std::string_view text, std::int64_t n) {
    return std::string(text) + std::to_string(n);
}

std::vector<std::u32string> Tokenize(std::u32string_view text, std::u32string_view delimiters) {
    std::vector<std::u32string> pieces;
    std::u32string piece;
    for (char32_t c : text) {
        if (delimiters.find(c) == std::u32string_view::npos) {
            piece.push_back(c);
            continue;
        }
        if (!piece.empty()) {
            pieces.push_back(std::move(piece));
            piece.clear();
        }
    }
    if (!piece.empty()) {
        pieces.push_back(std::move(piece));
    }
    return pieces;
}

std::u32string ProcessSpacesInArtName(std::u32string_view text) {
    std::u32string joined;
    for (const std::u32string& word : Tokenize(text, U" ")) {
        if (!joined.empty()) {
            joined.push_back(U'-');
        }
        joined += word;
    }
    return joined;
}

// Code units and code points: UTF-16 surrogates and the UTF-8 and UTF-16 forms of one code point.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace host::model {

inline constexpr char16_t kReplacementCharacter = 0xFFFD;

constexpr bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

constexpr bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

constexpr bool isSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

// The code point that a high and a low surrogate stand for together.
constexpr char32_t combineSurrogates(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// The code point that starts at the unit: a surrogate pair combined, a lone surrogate as itself.
// It takes two units when it is above U+FFFF.
constexpr char32_t codePointAt(std::u16string_view units, std::size_t index) {
    const char16_t unit = units[index];
    if (isHighSurrogate(unit) && index + 1 < units.size() && isLowSurrogate(units[index + 1])) {
        return combineSurrogates(unit, units[index + 1]);
    }
    return unit;
}

// Calls visit with each code point of the text in turn, as codePointAt reads them.
template <typename Visit>
void forEachCodePoint(std::u16string_view units, Visit&& visit) {
    for (std::size_t index = 0; index < units.size();) {
        const char32_t code = codePointAt(units, index);
        visit(code);
        index += code > 0xFFFF ? 2 : 1;
    }
}

// Appends the code point as one unit, or as a surrogate pair above U+FFFF.
inline void appendUtf16(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out.push_back(static_cast<char16_t>(code));
        return;
    }
    const char32_t offset = code - 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
}

// Appends the code point's UTF-8 bytes (a surrogate is written as it is: callers that need valid
// UTF-8 replace it first).
inline void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

}  // namespace host::model

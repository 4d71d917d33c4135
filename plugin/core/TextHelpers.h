// Small text helpers the whole plug-in shares: ASCII case folding, which names and keywords use
// whatever the locale, and the comparison of the C strings the host sends.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

// The character lower-cased (upper-cased) when it is an ASCII letter; any other unit as it is.
template <class Char>
constexpr Char AsciiLower(Char c) {
    return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}
template <class Char>
constexpr Char AsciiUpper(Char c) {
    return c >= Char('a') && c <= Char('z') ? static_cast<Char>(c - Char('a') + Char('A')) : c;
}

// A copy in which every ASCII letter is lower-cased (upper-cased); other bytes and code points stay.
inline std::string AsciiLowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = AsciiLower(c);
    }
    return lower;
}
inline std::u32string AsciiLowerCase(std::u32string_view text) {
    std::u32string lower(text);
    for (char32_t& c : lower) {
        c = AsciiLower(c);
    }
    return lower;
}
inline std::string AsciiUpperCase(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = AsciiUpper(c);
    }
    return upper;
}

// UTF-16 surrogates: a high unit followed by a low one stands for one code point beyond U+FFFF; a
// surrogate standing alone is no character.
constexpr bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
// The code point a high and a low surrogate stand for.
constexpr char32_t CombineSurrogates(char32_t high, char32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// A code point that is a character: not a surrogate, not beyond U+10FFFF. Anything else reads and
// writes as U+FFFD.
constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr bool IsUnicodeScalar(char32_t c) {
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

// Appends the UTF-16 units of a Unicode scalar value: one unit, or a high and a low surrogate.
template <class Units>
void AppendUtf16(char32_t scalar, Units& units) {
    using Unit = typename Units::value_type;
    if (scalar < 0x10000) {
        units.push_back(static_cast<Unit>(scalar));
        return;
    }
    units.push_back(static_cast<Unit>(0xD800 + ((scalar - 0x10000) >> 10)));
    units.push_back(static_cast<Unit>(0xDC00 + ((scalar - 0x10000) & 0x3FF)));
}

// True when the host's text (null for none) is the expected one.
inline bool Is(const char* text, const char* expected) {
    return text != nullptr && std::strcmp(text, expected) == 0;
}

// Code points and Unicode properties as ECMAScript names them, written in PCRE2's syntax: the
// pieces from which the pattern translation (EcmaPattern.cpp) builds its atoms and classes.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/TextHelpers.h"

namespace ecma {

inline constexpr char32_t kLastCodePoint = 0x10FFFF;

struct CodeRange {
    char32_t first;
    char32_t last;
};

// ECMAScript's \s: white space and line terminators.
inline constexpr std::array<CodeRange, 10> kSpaces{{{0x09, 0x0D},
                                                    {0x20, 0x20},
                                                    {0xA0, 0xA0},
                                                    {0x1680, 0x1680},
                                                    {0x2000, 0x200A},
                                                    {0x2028, 0x2029},
                                                    {0x202F, 0x202F},
                                                    {0x205F, 0x205F},
                                                    {0x3000, 0x3000},
                                                    {0xFEFF, 0xFEFF}}};

// ECMAScript's word characters: the ASCII ones, and with "i" (in Unicode mode) also the two whose
// simple case folding is an ASCII letter, U+017F (to s) and U+212A (to k).
inline constexpr std::array<CodeRange, 4> kAsciiWord{{{'0', '9'}, {'A', 'Z'}, {'_', '_'}, {'a', 'z'}}};
inline constexpr std::array<CodeRange, 6> kCaselessWord{
    {{'0', '9'}, {'A', 'Z'}, {'_', '_'}, {'a', 'z'}, {0x17F, 0x17F}, {0x212A, 0x212A}}};

inline constexpr std::u32string_view kLineTerminators = U"\\x{a}\\x{d}\\x{2028}\\x{2029}";

// A refused pattern ends the translation; caught where it began.
struct Refused {};

[[noreturn]] inline void Refuse() {
    throw Refused{};
}

inline bool IsHex(char32_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

inline unsigned HexValue(char32_t c) {
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

inline bool IsDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

inline bool IsAsciiAlnum(char32_t c) {
    return IsDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
}

// A code point as PCRE2 reads it literally, inside a class and outside.
std::u32string Literal(char32_t c);
std::u32string RangesText(std::span<const CodeRange> ranges);
// The code points outside the ranges (sorted, apart).
std::vector<CodeRange> Complement(std::span<const CodeRange> ranges);
// \p{...} (negated: \P{...}) as the inside of a PCRE2 class.
std::u32string PropertySet(std::u32string_view body, bool negated);

}  // namespace ecma

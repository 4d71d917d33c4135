// Text conversions of the host: UTF-16 is how the host holds text. Decoding never refuses input:
// what isn't valid becomes U+FFFD, one for each maximal invalid subsequence.
#pragma once

#include <string>
#include <string_view>

#include "model/Unicode.h"

namespace host::text {

using model::kReplacementCharacter;

std::u16string DecodeUTF8(std::string_view bytes);
// One byte per character, byte value = code point (U+0000 to U+00FF).
std::u16string DecodeRoman(std::string_view bytes);
// UTF-16 code units in the machine's byte order; an odd last byte becomes U+FFFD.
std::u16string DecodeUTF16Bytes(std::string_view bytes);

// A lone surrogate becomes U+FFFD.
std::string EncodeUTF8(std::u16string_view units);
// One byte per code point; code points above U+00FF (a surrogate pair is one) become '?'.
std::string EncodeRoman(std::u16string_view units);
std::string EncodeUTF16Bytes(std::u16string_view units);

// The simple lower-case mapping of one code point, by ICU, for every script of the Unicode version
// CaseMappingUnicodeVersion names. Code points without one are their own lower case.
char32_t LowerCase(char32_t codePoint);
// The Unicode version of the case mappings ("15.0" for ICU 72).
std::string CaseMappingUnicodeVersion();
// Lower-cases code point by code point; surrogate pairs are one code point, lone surrogates stay.
std::u16string ToLower(std::u16string_view units);

}  // namespace host::text

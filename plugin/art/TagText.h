// Tag texts: their normal form, the entry names that store them, series tags, and the UTF-8 and
// UTF-32 conversions that tags and tag queries pass through.
#pragma once

#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Unique tag texts in byte-wise ascending order. Every tag reader returns one; writers take one.
using TagSet = std::set<std::string>;

// Every tag entry's name starts with this, followed by 8 lower-case hexadecimal digits.
inline constexpr std::string_view tagPrefix = "_p_tag_";

// Characters that tag texts never hold, besides the first characters of the query language's
// tokens (see TagQueryTokens.h) and U+0000, which the host's text entries cannot carry.
inline constexpr std::u32string_view notAllowedInTags = U" {},:+*";

// UTF-8 to UTF-32; an invalid sequence becomes U+FFFD, so any bytes convert.
std::u32string ToUtf32(std::string_view utf8);
// UTF-32 to UTF-8; a value that is no Unicode scalar (a surrogate, or above U+10FFFF) becomes
// U+FFFD, so the result is always valid UTF-8.
std::string ToUtf8(std::u32string_view text);
// UTF-16 to UTF-32: a surrogate pair gives its code point, a lone surrogate U+FFFD (as the host's
// UTF-8 reading of the units does), so any units convert.
std::u32string Utf16ToUtf32(std::span<const std::uint16_t> units);

// Lower-cases code point by code point with the host's Unicode string. Should the host string be
// unavailable, ASCII letters are lower-cased here instead, so that a text never comes back empty
// or damaged.
std::string LowerCaseText(std::string_view utf8);
std::u32string LowerCaseText(std::u32string_view text);

// Whether a character is replaced by "_" in tag texts.
bool IsForbiddenInTag(char32_t c);

// The normal form of a tag text: every run of forbidden characters becomes one "_" (a forbidden
// character right after an "_" adds nothing), then the text is lower-cased. 'a, b' gives 'a_b',
// 'Red Circle' gives 'red_circle'. Normalising a normal form gives it back unchanged.
std::u32string NormalizeTagName(std::u32string_view text);
std::string NormalizeTagName(std::string_view utf8);

// The entry name of a normalised tag text: tagPrefix + CRC32 of its UTF-8 bytes as 8 lower-case
// hexadecimal digits. The text is taken as it is.
std::string TagName(std::string_view text);

// Whether an entry name is one of ours: tagPrefix followed by exactly 8 hexadecimal digits
// (upper-case digits are accepted when reading).
bool OwnTag(std::string_view name);

// The text followed by n in signed decimal: ('part', 3) gives 'part3', ('part', -2) 'part-2'.
std::string SerialTag(std::string_view text, std::int64_t n);

// Splits a text at every delimiter character, dropping empty pieces.
std::vector<std::u32string> Tokenize(std::u32string_view text, std::u32string_view delimiters);

// The words of an art-name piece joined with "-": 'Red  Circle ' gives 'Red-Circle'.
std::u32string ProcessSpacesInArtName(std::u32string_view text);

#include "model/Utf8.h"

#include <algorithm>
#include <cstdint>

#include "model/Unicode.h"

namespace host::model {

namespace {

// Whether every unit is ASCII, which UTF-8 and UTF-16 spell alike: such texts convert unit by unit.
template <typename Unit>
bool isAscii(std::basic_string_view<Unit> units) {
    return std::all_of(units.begin(), units.end(),
                       [](Unit unit) { return static_cast<std::uint32_t>(unit) < 0x80; });
}

// The first byte of a UTF-8 sequence: how many continuation bytes follow, the bits it carries,
// and the range allowed for the first continuation byte (which rules out overlong forms,
// surrogates and code points above U+10FFFF).
struct LeadByte {
    int continuations = -1;  // -1: not a lead byte
    char32_t bits = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
};

LeadByte readLeadByte(unsigned char byte) {
    if (byte < 0x80) {
        return {0, byte};
    }
    if (byte >= 0xC2 && byte <= 0xDF) {
        return {1, static_cast<char32_t>(byte & 0x1F)};
    }
    if (byte >= 0xE0 && byte <= 0xEF) {
        return {2, static_cast<char32_t>(byte & 0x0F), static_cast<unsigned char>(byte == 0xE0 ? 0xA0 : 0x80),
                static_cast<unsigned char>(byte == 0xED ? 0x9F : 0xBF)};
    }
    if (byte >= 0xF0 && byte <= 0xF4) {
        return {3, static_cast<char32_t>(byte & 0x07), static_cast<unsigned char>(byte == 0xF0 ? 0x90 : 0x80),
                static_cast<unsigned char>(byte == 0xF4 ? 0x8F : 0xBF)};
    }
    return {};
}

// One code point read from UTF-8, and where the next one starts. A sequence that is cut short or
// broken is invalid as a whole and the byte that broke it starts anew; a byte that cannot lead is
// invalid on its own.
struct Utf8Step {
    bool valid = false;
    char32_t code = 0;
    std::size_t next = 0;
};

Utf8Step readUtf8(std::string_view bytes, std::size_t index) {
    LeadByte lead = readLeadByte(static_cast<unsigned char>(bytes[index]));
    std::size_t next = index + 1;
    if (lead.continuations < 0) {
        return {false, 0, next};
    }
    char32_t code = lead.bits;
    for (int k = 0; k < lead.continuations; ++k, ++next) {
        if (next >= bytes.size()) {
            return {false, 0, next};
        }
        const auto continuation = static_cast<unsigned char>(bytes[next]);
        if (continuation < lead.low || continuation > lead.high) {
            return {false, 0, next};
        }
        code = (code << 6) | (continuation & 0x3F);
        lead.low = 0x80;
        lead.high = 0xBF;
    }
    return {true, code, next};
}

}  // namespace

bool isValidUtf8(std::string_view text) {
    for (std::size_t index = 0; index < text.size();) {
        const Utf8Step step = readUtf8(text, index);
        if (!step.valid) {
            return false;
        }
        index = step.next;
    }
    return true;
}

std::u16string utf16Of(std::string_view utf8) {
    if (isAscii(utf8)) {
        return std::u16string(utf8.begin(), utf8.end());
    }
    std::u16string units;
    units.reserve(utf8.size());
    for (std::size_t index = 0; index < utf8.size();) {
        const Utf8Step step = readUtf8(utf8, index);
        appendUtf16(units, step.valid ? step.code : kReplacementCharacter);
        index = step.next;
    }
    return units;
}

std::string utf8Of(std::u16string_view units) {
    if (isAscii(units)) {
        return std::string(units.begin(), units.end());
    }
    std::string bytes;
    bytes.reserve(units.size());
    forEachCodePoint(
        units, [&](char32_t code) { appendUtf8(bytes, isSurrogate(code) ? kReplacementCharacter : code); });
    return bytes;
}

}  // namespace host::model

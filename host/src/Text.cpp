// Text conversions between UTF-8, Latin-1 ("Roman"), UTF-16 bytes and the host's UTF-16 text.
#include "host/Text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace host::text {
namespace {

constexpr char32_t kReplacement = kReplacementCharacter;

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendCodePoint(std::u16string& units, char32_t codePoint) {
    if (codePoint < 0x10000) {
        units.push_back(static_cast<char16_t>(codePoint));
        return;
    }
    const char32_t offset = codePoint - 0x10000;
    units.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
    units.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
}

void AppendUTF8(std::string& bytes, char32_t codePoint) {
    if (codePoint < 0x80) {
        bytes.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        bytes.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        bytes.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        bytes.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        bytes.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

// Walks UTF-16 text code point by code point; a lone surrogate comes out as itself.
template <typename Visit>
void ForEachCodePoint(std::u16string_view units, Visit&& visit) {
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            visit(0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
            continue;
        }
        visit(unit);
    }
}

// Whether every unit is ASCII, which UTF-8 and UTF-16 spell alike: such texts convert unit by unit.
template <typename Unit>
bool IsAscii(std::basic_string_view<Unit> units) {
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

LeadByte ReadLeadByte(unsigned char byte) {
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

struct CaseRange {
    char32_t first;
    char32_t last;
    std::int32_t delta;
    bool alternating;  // only every other code point, from first, is upper case (its lower case follows it)
};

// Simple lower-case mappings, by range.
constexpr std::array kCaseRanges{
    CaseRange{0x0041, 0x005A, 32, false},    CaseRange{0x00C0, 0x00D6, 32, false},
    CaseRange{0x00D8, 0x00DE, 32, false},    CaseRange{0x0100, 0x012F, 1, true},
    CaseRange{0x0130, 0x0130, -199, false},  CaseRange{0x0132, 0x0137, 1, true},
    CaseRange{0x0139, 0x0148, 1, true},      CaseRange{0x014A, 0x0177, 1, true},
    CaseRange{0x0178, 0x0178, -121, false},  CaseRange{0x0179, 0x017E, 1, true},
    CaseRange{0x0386, 0x0386, 38, false},    CaseRange{0x0388, 0x038A, 37, false},
    CaseRange{0x038C, 0x038C, 64, false},    CaseRange{0x038E, 0x038F, 63, false},
    CaseRange{0x0391, 0x03A1, 32, false},    CaseRange{0x03A3, 0x03AB, 32, false},
    CaseRange{0x0400, 0x040F, 80, false},    CaseRange{0x0410, 0x042F, 32, false},
    CaseRange{0x0460, 0x0481, 1, true},      CaseRange{0x048A, 0x04BF, 1, true},
    CaseRange{0x04C0, 0x04C0, 15, false},    CaseRange{0x04C1, 0x04CE, 1, true},
    CaseRange{0x04D0, 0x052F, 1, true},      CaseRange{0x0531, 0x0556, 48, false},
    CaseRange{0x10A0, 0x10C5, 7264, false},  CaseRange{0x1E00, 0x1E95, 1, true},
    CaseRange{0x1E9E, 0x1E9E, -7615, false}, CaseRange{0x1EA0, 0x1EFF, 1, true},
    CaseRange{0x2160, 0x216F, 16, false},    CaseRange{0x24B6, 0x24CF, 26, false},
    CaseRange{0xFF21, 0xFF3A, 32, false},    CaseRange{0x10400, 0x10427, 40, false},
    CaseRange{0x104B0, 0x104D3, 40, false},  CaseRange{0x1E900, 0x1E921, 34, false},
};

}  // namespace

std::u16string DecodeUTF8(std::string_view bytes) {
    if (IsAscii(bytes)) {
        return std::u16string(bytes.begin(), bytes.end());
    }
    std::u16string units;
    units.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            units.push_back(byte);
            ++i;
            continue;
        }
        LeadByte lead = ReadLeadByte(byte);
        if (lead.continuations < 0) {
            units.push_back(kReplacementCharacter);
            ++i;
            continue;
        }
        // A sequence cut short or broken is replaced as a whole; the byte that broke it starts anew.
        std::size_t next = i + 1;
        char32_t codePoint = lead.bits;
        bool complete = true;
        for (int k = 0; k < lead.continuations; ++k, ++next) {
            const auto continuation = next < bytes.size() ? static_cast<unsigned char>(bytes[next]) : 0;
            if (next >= bytes.size() || continuation < lead.low || continuation > lead.high) {
                complete = false;
                break;
            }
            codePoint = (codePoint << 6) | (continuation & 0x3F);
            lead.low = 0x80;
            lead.high = 0xBF;
        }
        AppendCodePoint(units, complete ? codePoint : kReplacement);
        i = next;
    }
    return units;
}

std::u16string DecodeRoman(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size());
    for (const char byte : bytes) {
        units.push_back(static_cast<unsigned char>(byte));
    }
    return units;
}

std::u16string DecodeUTF16Bytes(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    if (!units.empty()) {
        std::memcpy(units.data(), bytes.data(), units.size() * sizeof(char16_t));
    }
    if (bytes.size() % 2 != 0) {
        units.push_back(kReplacementCharacter);
    }
    return units;
}

std::string EncodeUTF8(std::u16string_view units) {
    if (IsAscii(units)) {
        return std::string(units.begin(), units.end());
    }
    std::string bytes;
    bytes.reserve(units.size());
    ForEachCodePoint(units, [&](char32_t codePoint) {
        const bool loneSurrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
        AppendUTF8(bytes, loneSurrogate ? kReplacement : codePoint);
    });
    return bytes;
}

std::string EncodeRoman(std::u16string_view units) {
    std::string bytes;
    bytes.reserve(units.size());
    ForEachCodePoint(units, [&](char32_t codePoint) {
        bytes.push_back(codePoint <= 0xFF ? static_cast<char>(codePoint) : '?');
    });
    return bytes;
}

std::string EncodeUTF16Bytes(std::u16string_view units) {
    std::string bytes(units.size() * sizeof(char16_t), '\0');
    if (!units.empty()) {
        std::memcpy(bytes.data(), units.data(), bytes.size());
    }
    return bytes;
}

char32_t LowerCase(char32_t codePoint) {
    for (const CaseRange& range : kCaseRanges) {
        if (codePoint < range.first) {
            return codePoint;
        }
        if (codePoint > range.last) {
            continue;
        }
        if (range.alternating && (codePoint - range.first) % 2 != 0) {
            return codePoint;
        }
        return static_cast<char32_t>(static_cast<std::int32_t>(codePoint) + range.delta);
    }
    return codePoint;
}

std::u16string ToLower(std::u16string_view units) {
    std::u16string lowered;
    lowered.reserve(units.size());
    ForEachCodePoint(units, [&](char32_t codePoint) { AppendCodePoint(lowered, LowerCase(codePoint)); });
    return lowered;
}

}  // namespace host::text

// Text conversions between UTF-8, Latin-1 ("Roman"), UTF-16 bytes and the host's UTF-16 text.
#include "host/Text.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "model/Unicode.h"
#include "model/Utf8.h"

namespace host::text {
namespace {

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
    return model::utf16Of(bytes);
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
    return model::utf8Of(units);
}

std::string EncodeRoman(std::u16string_view units) {
    std::string bytes;
    bytes.reserve(units.size());
    model::forEachCodePoint(units, [&](char32_t codePoint) {
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
    model::forEachCodePoint(units,
                            [&](char32_t codePoint) { model::appendUtf16(lowered, LowerCase(codePoint)); });
    return lowered;
}

}  // namespace host::text

// Text conversions between UTF-8, Latin-1 ("Roman"), UTF-16 bytes and the host's UTF-16 text.
#include "textengine/Text.h"

#include <cstring>

#include <unicode/uchar.h>
#include <unicode/uversion.h>

#include "model/Unicode.h"
#include "model/Utf8.h"

namespace host::text {

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
    return static_cast<char32_t>(u_tolower(static_cast<UChar32>(codePoint)));
}

std::string CaseMappingUnicodeVersion() {
    return U_UNICODE_VERSION;
}

std::u16string ToLower(std::u16string_view units) {
    std::u16string lowered;
    lowered.reserve(units.size());
    model::forEachCodePoint(units,
                            [&](char32_t codePoint) { model::appendUtf16(lowered, LowerCase(codePoint)); });
    return lowered;
}

}  // namespace host::text

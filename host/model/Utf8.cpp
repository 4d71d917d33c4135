#include "model/Utf8.h"

#include <cstdint>

namespace host::model {

namespace {

// Number of continuation bytes that follow a lead byte, or -1 for a byte that cannot lead.
int continuationCount(unsigned char lead) {
    if (lead < 0x80) {
        return 0;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 1;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 2;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 3;
    }
    return -1;
}

bool isScalarValue(std::uint32_t code, int length) {
    constexpr std::uint32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
    if (code < kShortest[length]) {
        return false;
    }
    if (code >= 0xD800 && code <= 0xDFFF) {
        return false;
    }
    return code <= 0x10FFFF;
}

}  // namespace

bool isValidUtf8(std::string_view text) {
    std::size_t index = 0;
    while (index < text.size()) {
        const auto lead = static_cast<unsigned char>(text[index]);
        const int count = continuationCount(lead);
        if (count < 0 || text.size() - index <= static_cast<std::size_t>(count)) {
            return false;
        }
        std::uint32_t code = count == 0 ? lead : lead & (0x3F >> count);
        for (int i = 1; i <= count; ++i) {
            const auto next = static_cast<unsigned char>(text[index + i]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (!isScalarValue(code, count)) {
            return false;
        }
        index += count + 1;
    }
    return true;
}

}  // namespace host::model

#include "model/Uuid.h"

#include <array>

namespace host::model {

namespace {
constexpr std::array<std::size_t, 4> kDashPositions = {8, 13, 18, 23};
constexpr char kHexDigits[] = "0123456789abcdef";
}  // namespace

UuidGenerator::UuidGenerator() {
    std::random_device device;
    engine_.seed((static_cast<std::uint64_t>(device()) << 32) ^ device());
}

UuidGenerator::UuidGenerator(std::uint64_t seed) : engine_(seed) {}

void UuidGenerator::seed(std::uint64_t seed) {
    engine_.seed(seed);
}

std::string UuidGenerator::next() {
    std::array<std::uint8_t, 16> bytes{};
    const std::uint64_t high = engine_();
    const std::uint64_t low = engine_();
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<std::uint8_t>(high >> (56 - 8 * i));
        bytes[8 + i] = static_cast<std::uint8_t>(low >> (56 - 8 * i));
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4: random
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // variant 1
    std::string text;
    text.reserve(36);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            text.push_back('-');
        }
        text.push_back(kHexDigits[bytes[i] >> 4]);
        text.push_back(kHexDigits[bytes[i] & 0x0F]);
    }
    return text;
}

bool isUuidText(std::string_view text) {
    if (text.size() != 36) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool dashHere = i == kDashPositions[0] || i == kDashPositions[1] || i == kDashPositions[2] ||
                              i == kDashPositions[3];
        if (dashHere != (c == '-')) {
            return false;
        }
        if (!dashHere && !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

}  // namespace host::model

#include "documents/TimeTokens.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "core/Json.h"
#include "documents/NameTemplate.h"

namespace {

struct TimeToken {
    std::string_view run;
    const char* conversion;
    bool padded;
};

constexpr std::array kTimeTokens = {
    TimeToken{"YYYY", "%Y", true}, TimeToken{"YY", "%y", true}, TimeToken{"MM", "%m", true},
    TimeToken{"M", "%m", false},   TimeToken{"DD", "%d", true}, TimeToken{"D", "%e", false},
    TimeToken{"HH", "%H", true},   TimeToken{"H", "%H", false}, TimeToken{"hh", "%I", true},
    TimeToken{"h", "%I", false},   TimeToken{"mm", "%M", true}, TimeToken{"m", "%M", false},
    TimeToken{"ss", "%S", true},   TimeToken{"s", "%S", false}, TimeToken{"A", "%p", true},
    TimeToken{"a", "%p", true},    TimeToken{"Z", "%z", true},  TimeToken{"ZZ", "%z", true},
};

struct DefaultFormat {
    std::string_view command;
    const char* format;
};

constexpr std::array kDefaultFormats = {
    DefaultFormat{"time_stamp", "YYYYMMDDHHmmss"},
    DefaultFormat{"date", "YYYYMMDD"},
    DefaultFormat{"time", "HHmmss"},
};

// The delimiter characters of names; "|", "¦" and ":" can't stand in file names and print as ";".
constexpr std::array<std::string_view, 4> kKeptDelimiters = {" ", "-", "_", ";"};
constexpr std::array<std::string_view, 3> kSemicolonDelimiters = {"|", "\xC2\xA6", ":"};

std::string ThreeDigits(int milliseconds) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%03d", milliseconds);
    return buffer;
}

std::string TokenText(const TimeToken& token, const std::tm& local) {
    char buffer[100];
    const std::size_t written = std::strftime(buffer, sizeof buffer, token.conversion, &local);
    if (written == 0) {
        return {};
    }
    std::string text(buffer, written);
    if (!token.padded) {
        // Leading zeros and spaces go.
        long long value = 0;
        for (const char c : text) {
            if (c >= '0' && c <= '9') {
                value = value * 10 + (c - '0');
            }
        }
        return std::to_string(value);
    }
    if (token.run == "a") {
        return ChangeCase(text, "lower");
    }
    if (token.run == "Z" || token.run == "ZZ") {
        return "GMT" + text;
    }
    return text;
}

std::string RunText(std::string_view run, std::string_view character, std::size_t repeats,
                    const std::tm& local, TimeInstant instant) {
    for (const TimeToken& token : kTimeTokens) {
        if (token.run == run) {
            return TokenText(token, local);
        }
    }
    if (run == "SSS") {
        return ThreeDigits(instant.milliseconds);
    }
    if (run == "X") {
        return std::to_string(instant.seconds) + "." + ThreeDigits(instant.milliseconds);
    }
    if (run == "x") {
        return std::to_string(instant.seconds) + ThreeDigits(instant.milliseconds);
    }
    for (const std::string_view kept : kKeptDelimiters) {
        if (character == kept) {
            return std::string(run);
        }
    }
    for (const std::string_view replaced : kSemicolonDelimiters) {
        if (character == replaced) {
            return std::string(repeats, ';');
        }
    }
    return {};
}

}  // namespace

std::size_t Utf8CharacterLength(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) {
        return 4;
    }
    if (lead >= 0xE0) {
        return lead < 0xF0 ? 3 : 1;
    }
    return lead >= 0xC0 ? 2 : 1;
}

TimeInstant CurrentInstant() {
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const auto micro = std::chrono::duration_cast<std::chrono::microseconds>(sinceEpoch).count();
    auto seconds = micro / 1000000;
    auto rest = micro % 1000000;
    if (rest < 0) {
        --seconds;
        rest += 1000000;
    }
    return TimeInstant{seconds, static_cast<int>(rest / 1000)};
}

std::string JsonToTimeStr(const json& part) {
    std::string command;
    if (!ReadJsonValue(part, "command", command) || command.empty()) {
        return {};
    }
    std::string format;
    for (const DefaultFormat& entry : kDefaultFormats) {
        if (entry.command == command) {
            format = entry.format;
        }
    }
    ReadJsonValue(part, "format", format);
    return JSFormattedTime(format);
}

std::string JSFormattedTime(const std::string& format) {
    if (format.empty()) {
        return {};
    }
    return FormatTimeAt(format, CurrentInstant());
}

std::string FormatTimeAt(const std::string& format, TimeInstant instant) {
    std::tm local{};
    const auto seconds = static_cast<std::time_t>(instant.seconds);
    const bool haveLocal = localtime_r(&seconds, &local) != nullptr;
    std::string text;
    std::size_t at = 0;
    while (at < format.size()) {
        const std::size_t length =
            std::min(Utf8CharacterLength(static_cast<unsigned char>(format[at])), format.size() - at);
        const std::string_view character(format.data() + at, length);
        std::size_t end = at + length;
        std::size_t repeats = 1;
        while (end + length <= format.size() && std::string_view(format.data() + end, length) == character) {
            end += length;
            ++repeats;
        }
        const std::string_view run(format.data() + at, end - at);
        if (haveLocal) {
            text += RunText(run, character, repeats, local, instant);
        }
        at = end;
    }
    return text;
}

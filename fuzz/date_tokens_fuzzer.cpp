// Fuzzes the date and time format language: the first eight bytes choose the instant, the rest is
// the format, printed in a fixed time zone.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "documents/TimeTokens.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool zoneSet = [] {
        setenv("TZ", "UTC-2", 1);
        tzset();
        return true;
    }();
    (void)zoneSet;
    std::int64_t seconds = 0;
    if (size >= sizeof seconds) {
        std::memcpy(&seconds, data, sizeof seconds);
        data += sizeof seconds;
        size -= sizeof seconds;
    }
    const std::string format(reinterpret_cast<const char*>(data), size);
    const TimeInstant instant{seconds, static_cast<int>((seconds % 1000 + 1000) % 1000)};
    const std::string text = FormatTimeAt(format, instant);
    // Every run prints at most a bounded text per character of the format.
    if (text.size() > 64 * (format.size() + 1)) {
        __builtin_trap();
    }
    return 0;
}

// Fuzzes the ECMAScript pattern translator, PCRE2 matching behind it and the substitution. The
// first byte holds the flags (bits for i, m, s and v); the rest is the pattern, the text and the
// replacement format, separated by NUL bytes. Bytes below 0xE0 stand for themselves as code
// points; 0xE0 to 0xEF for surrogates and 0xF0 to 0xFF for code points above U+FFFF, so that
// escapes and pairs meet characters the ASCII range lacks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "text/EcmaPattern.h"
#include "text/RegEx.h"

namespace {

std::u32string Decode(const std::uint8_t* data, std::size_t size) {
    std::u32string text;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t byte = data[i];
        if (byte >= 0xF0) {
            text.push_back(0x1F600 + (byte - 0xF0));
        } else if (byte >= 0xE0) {
            text.push_back(0xD83D + (byte - 0xE0) * 0x100);
        } else {
            text.push_back(byte);
        }
    }
    return text;
}

// The next NUL-separated part of the input.
std::u32string Part(const std::uint8_t*& data, const std::uint8_t* end) {
    const std::uint8_t* start = data;
    while (data < end && *data != 0) {
        ++data;
    }
    std::u32string part = Decode(start, static_cast<std::size_t>(data - start));
    if (data < end) {
        ++data;
    }
    return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 4096) {
        return 0;
    }
    std::string flags = "n";
    const char letters[] = {'i', 'm', 's', 'v'};
    for (int bit = 0; bit < 4; ++bit) {
        if ((data[0] >> bit) & 1) {
            flags.push_back(letters[bit]);
        }
    }
    const std::uint8_t* at = data + 1;
    const std::uint8_t* end = data + size;
    const std::u32string pattern = Part(at, end);
    const std::u32string text = Part(at, end);
    const std::u32string format = Part(at, end);

    EcmaFlags options;
    ReadStrFlags(flags, options);
    TranslateEcmaPattern(pattern, options);
    std::vector<ReplacementString> matches;
    if (ReplaceUnicodeMultipleRegEx(text, pattern, flags, format, matches)) {
        // Matches are non-empty, inside the text, in order and never overlap.
        std::uint64_t after = 0;
        for (const ReplacementString& match : matches) {
            if (match.length == 0 || match.position < after || match.position + match.length > text.size()) {
                std::abort();
            }
            after = match.position + match.length;
        }
        // The same search again runs as machine code: where both finish, they agree.
        std::vector<ReplacementString> again;
        if (ReplaceUnicodeMultipleRegEx(text, pattern, flags, format, again) && !(again == matches)) {
            std::abort();
        }
    }
    std::u32string result;
    ReplaceUnicodeRegEx(text, pattern, flags, format, result);
    return 0;
}

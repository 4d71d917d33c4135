// Unicode strings: UTF-16 text behind opaque references, created from and read in four encodings.
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "HostState.h"
#include "model/Unicode.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"
#include "textengine/Text.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIUnicodeStringSuite;

std::optional<std::u16string> Decode(std::string_view bytes, AICharacterEncoding encoding) {
    switch (encoding) {
        case kAIPlatformCharacterEncoding:
        case kAIUTF8CharacterEncoding:
            return text::DecodeUTF8(bytes);
        case kAIRomanCharacterEncoding:
            return text::DecodeRoman(bytes);
        case kAIUTF16CharacterEncoding:
            return text::DecodeUTF16Bytes(bytes);
    }
    return std::nullopt;
}

std::optional<std::string> Encode(std::u16string_view units, AICharacterEncoding encoding) {
    switch (encoding) {
        case kAIPlatformCharacterEncoding:
        case kAIUTF8CharacterEncoding:
            return text::EncodeUTF8(units);
        case kAIRomanCharacterEncoding:
            return text::EncodeRoman(units);
        case kAIUTF16CharacterEncoding:
            return text::EncodeUTF16Bytes(units);
    }
    return std::nullopt;
}

// How many bytes of encoded text fit in size bytes without cutting a character in two.
std::size_t FittingPrefix(std::string_view encoded, AICharacterEncoding encoding, std::size_t size) {
    if (size >= encoded.size()) {
        return encoded.size();
    }
    if (encoding == kAIUTF16CharacterEncoding) {
        std::size_t fit = size - size % 2;
        const auto lastUnitIsHighSurrogate = [&] {
            char16_t unit = 0;
            std::memcpy(&unit, encoded.data() + fit - 2, sizeof unit);
            return model::isHighSurrogate(unit);
        };
        return fit >= 2 && lastUnitIsHighSurrogate() ? fit - 2 : fit;
    }
    if (encoding == kAIRomanCharacterEncoding) {
        return size;
    }
    std::size_t fit = size;
    while (fit > 0 && (static_cast<unsigned char>(encoded[fit]) & 0xC0) == 0x80) {
        --fit;
    }
    return fit;
}

AIErr Add(HostState& state, std::u16string units, AIUnicodeStringRef* out) {
    *out = state.text.strings.Add<AIUnicodeStringRef>(std::make_unique<std::u16string>(std::move(units)));
    return kNoErr;
}

AIErr Create(const char* bytes, size_t byteCount, AICharacterEncoding encoding, AIUnicodeStringRef* out) {
    auto [state, error] = StartOperation(kSuite, "Create");
    if (error != kNoErr) {
        return Refuse(out, error);
    }
    if (out == nullptr || (bytes == nullptr && byteCount > 0)) {
        return Refuse(out, kBadParameterErr);
    }
    std::optional<std::u16string> units =
        Decode(std::string_view(bytes, bytes != nullptr ? byteCount : 0), encoding);
    if (!units) {
        return Refuse(out, kBadParameterErr);
    }
    return Add(*state, std::move(*units), out);
}

AIErr CreateUTF16(const ASUnicode* units, size_t count, AIUnicodeStringRef* out) {
    auto [state, error] = StartOperation(kSuite, "CreateUTF16");
    if (error != kNoErr) {
        return Refuse(out, error);
    }
    if (out == nullptr || (units == nullptr && count > 0)) {
        return Refuse(out, kBadParameterErr);
    }
    std::u16string text(count, u'\0');
    std::copy_n(units, count, text.begin());
    return Add(*state, std::move(text), out);
}

AIErr Dispose(AIUnicodeStringRef str) {
    auto [state, error] = StartOperation(kSuite, "Dispose");
    if (error != kNoErr) {
        return error;
    }
    return state->text.strings.Remove(str) ? kNoErr : kBadParameterErr;
}

AIErr Duplicate(AIUnicodeStringRef str, AIUnicodeStringRef* out) {
    auto [state, error] = StartOperation(kSuite, "Duplicate");
    if (error != kNoErr) {
        return Refuse(out, error);
    }
    const std::u16string* text = state->text.strings.Find(str);
    if (text == nullptr || out == nullptr) {
        return Refuse(out, kBadParameterErr);
    }
    return Add(*state, *text, out);
}

AIErr GetUTF16(AIUnicodeStringRef str, const ASUnicode** units, size_t* count) {
    auto [state, error] = StartOperation(kSuite, "GetUTF16");
    if (error != kNoErr) {
        return error;
    }
    const std::u16string* text = state->text.strings.Find(str);
    if (text == nullptr || units == nullptr || count == nullptr) {
        return kBadParameterErr;
    }
    *units = reinterpret_cast<const ASUnicode*>(text->data());
    *count = text->size();
    return kNoErr;
}

// A null buffer asks for the size only. A buffer too short gets the characters that fit whole;
// *needed always tells the full size.
AIErr GetAs(AIUnicodeStringRef str, AICharacterEncoding encoding, char* buffer, size_t bufferSize,
            size_t* needed) {
    auto [state, error] = StartOperation(kSuite, "GetAs");
    if (error != kNoErr) {
        return error;
    }
    const std::u16string* text = state->text.strings.Find(str);
    if (text == nullptr) {
        return kBadParameterErr;
    }
    const std::optional<std::string> encoded = Encode(*text, encoding);
    if (!encoded) {
        return kBadParameterErr;
    }
    if (needed != nullptr) {
        *needed = encoded->size();
    }
    if (buffer != nullptr) {
        const std::size_t fit = FittingPrefix(*encoded, encoding, bufferSize);
        std::copy_n(encoded->data(), fit, buffer);
    }
    return kNoErr;
}

AIErr Append(AIUnicodeStringRef str, AIUnicodeStringRef tail) {
    auto [state, error] = StartOperation(kSuite, "Append");
    if (error != kNoErr) {
        return error;
    }
    std::u16string* text = state->text.strings.Find(str);
    const std::u16string* end = state->text.strings.Find(tail);
    if (text == nullptr || end == nullptr) {
        return kBadParameterErr;
    }
    const std::u16string copy = *end;  // the tail may be the string itself
    text->append(copy);
    return kNoErr;
}

AIErr ToLower(AIUnicodeStringRef str) {
    auto [state, error] = StartOperation(kSuite, "ToLower");
    if (error != kNoErr) {
        return error;
    }
    std::u16string* stored = state->text.strings.Find(str);
    if (stored == nullptr) {
        return kBadParameterErr;
    }
    *stored = text::ToLower(*stored);
    return kNoErr;
}

}  // namespace

AIUnicodeStringSuite gUnicodeStringSuite = {
    PLIM_SUITE_FUNCTION(Create),    PLIM_SUITE_FUNCTION(CreateUTF16), PLIM_SUITE_FUNCTION(Dispose),
    PLIM_SUITE_FUNCTION(Duplicate), PLIM_SUITE_FUNCTION(GetUTF16),    PLIM_SUITE_FUNCTION(GetAs),
    PLIM_SUITE_FUNCTION(Append),    PLIM_SUITE_FUNCTION(ToLower),
};

}  // namespace host

// The host's own ai::UnicodeString values (in the message records it builds) go through the
// host's table. Weak, so that a program holding the plug-in's own pointer (the unit tests, which
// fill it from this host) keeps one pointer for both.
extern "C" {
__attribute__((weak)) AIUnicodeStringSuite* sAIUnicodeString = &host::gUnicodeStringSuite;
}

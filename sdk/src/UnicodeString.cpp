// ai::UnicodeString over the host's Unicode String Suite. Every module that uses the class
// defines the suite pointer sAIUnicodeString; a string made while the suite is not held is empty.
#include "IAIUnicodeString.h"

#include <utility>

extern "C" AIUnicodeStringSuite* sAIUnicodeString;

namespace ai {
namespace {

// The bytes of the buffer a text is first read into.
constexpr size_t kSmallText = 128;

AIUnicodeStringRef Create(const char* text, size_t size, AICharacterEncoding encoding) {
    AIUnicodeStringRef ref = nullptr;
    if (sAIUnicodeString != nullptr && sAIUnicodeString->Create(text, size, encoding, &ref) != kNoErr) {
        ref = nullptr;
    }
    return ref;
}

AIUnicodeStringRef Duplicate(AIUnicodeStringRef ref) {
    AIUnicodeStringRef copy = nullptr;
    if (ref != nullptr && sAIUnicodeString != nullptr && sAIUnicodeString->Duplicate(ref, &copy) != kNoErr) {
        copy = nullptr;
    }
    return copy;
}

void Dispose(AIUnicodeStringRef ref) {
    if (ref != nullptr && sAIUnicodeString != nullptr) {
        sAIUnicodeString->Dispose(ref);
    }
}

}  // namespace

UnicodeString::UnicodeString() = default;

UnicodeString::UnicodeString(const char* text, AICharacterEncoding encoding)
    : fImpl(text != nullptr ? Create(text, std::char_traits<char>::length(text), encoding) : nullptr) {}

UnicodeString::UnicodeString(const std::string& text, AICharacterEncoding encoding)
    : fImpl(Create(text.data(), text.size(), encoding)) {}

UnicodeString::UnicodeString(const std::u16string& units) {
    if (sAIUnicodeString != nullptr) {
        const auto* data = reinterpret_cast<const ASUnicode*>(units.data());
        if (sAIUnicodeString->CreateUTF16(data, units.size(), &fImpl) != kNoErr) {
            fImpl = nullptr;
        }
    }
}

UnicodeString::UnicodeString(const UnicodeString& other) : fImpl(Duplicate(other.fImpl)) {}

UnicodeString::UnicodeString(UnicodeString&& other) noexcept : fImpl(std::exchange(other.fImpl, nullptr)) {}

UnicodeString& UnicodeString::operator=(const UnicodeString& other) {
    if (this != &other) {
        AIUnicodeStringRef copy = Duplicate(other.fImpl);
        Dispose(fImpl);
        fImpl = copy;
    }
    return *this;
}

UnicodeString& UnicodeString::operator=(UnicodeString&& other) noexcept {
    if (this != &other) {
        Dispose(fImpl);
        fImpl = std::exchange(other.fImpl, nullptr);
    }
    return *this;
}

UnicodeString::~UnicodeString() {
    Dispose(fImpl);
}

UnicodeString::size_type UnicodeString::length() const {
    const ASUnicode* units = nullptr;
    size_t count = 0;
    if (fImpl == nullptr || sAIUnicodeString == nullptr ||
        sAIUnicodeString->GetUTF16(fImpl, &units, &count) != kNoErr) {
        return 0;
    }
    return count;
}

std::string UnicodeString::getInStdString(AICharacterEncoding encoding) const {
    if (fImpl == nullptr || sAIUnicodeString == nullptr) {
        return {};
    }
    // Most texts fit a small buffer: one call reads them; a longer one is read again at its size.
    char small[kSmallText];
    size_t needed = 0;
    if (sAIUnicodeString->GetAs(fImpl, encoding, small, sizeof small, &needed) != kNoErr || needed == 0) {
        return {};
    }
    if (needed <= sizeof small) {
        return std::string(small, needed);
    }
    std::string text(needed, '\0');
    if (sAIUnicodeString->GetAs(fImpl, encoding, text.data(), text.size(), &needed) != kNoErr) {
        return {};
    }
    text.resize(needed);
    return text;
}

std::string UnicodeString::as_UTF8() const {
    return getInStdString(kAIUTF8CharacterEncoding);
}
std::string UnicodeString::as_Roman() const {
    return getInStdString(kAIRomanCharacterEncoding);
}

std::u16string UnicodeString::as_UTF16() const {
    const ASUnicode* units = nullptr;
    size_t count = 0;
    if (fImpl == nullptr || sAIUnicodeString == nullptr ||
        sAIUnicodeString->GetUTF16(fImpl, &units, &count) != kNoErr) {
        return {};
    }
    return std::u16string(reinterpret_cast<const char16_t*>(units), count);
}

UnicodeString& UnicodeString::append(const UnicodeString& tail) {
    if (tail.fImpl == nullptr || sAIUnicodeString == nullptr) {
        return *this;
    }
    if (fImpl == nullptr) {
        fImpl = Duplicate(tail.fImpl);
    } else {
        sAIUnicodeString->Append(fImpl, tail.fImpl);
    }
    return *this;
}

UnicodeString& UnicodeString::toLower() {
    if (fImpl != nullptr && sAIUnicodeString != nullptr) {
        sAIUnicodeString->ToLower(fImpl);
    }
    return *this;
}

bool UnicodeString::operator==(const UnicodeString& other) const {
    return as_UTF16() == other.as_UTF16();
}

}  // namespace ai

// ai::UnicodeString: a value class over the host's Unicode strings.
#pragma once

#include <string>

#include "AIUnicodeString.h"

namespace ai {

class UnicodeString {
public:
    using size_type = size_t;
    using UTF32TextChar = char32_t;

    UnicodeString();
    // Text in the given encoding; a null pointer gives the empty text.
    explicit UnicodeString(const char* text, AICharacterEncoding encoding = kAIPlatformCharacterEncoding);
    UnicodeString(const std::string& text, AICharacterEncoding encoding = kAIPlatformCharacterEncoding);
    explicit UnicodeString(const std::u16string& units);
    static UnicodeString FromUTF8(const std::string& text) {
        return UnicodeString(text, kAIUTF8CharacterEncoding);
    }

    UnicodeString(const UnicodeString& other);
    UnicodeString(UnicodeString&& other) noexcept;
    UnicodeString& operator=(const UnicodeString& other);
    UnicodeString& operator=(UnicodeString&& other) noexcept;
    ~UnicodeString();

    size_type length() const;  // in UTF-16 code units
    bool empty() const { return length() == 0; }

    std::string as_UTF8() const;
    std::string as_Roman() const;
    std::string getInStdString(AICharacterEncoding encoding) const;
    std::u16string as_UTF16() const;

    UnicodeString& append(const UnicodeString& tail);
    UnicodeString& toLower();
    bool operator==(const UnicodeString& other) const;
    bool operator!=(const UnicodeString& other) const { return !(*this == other); }

    // The host reference; the string keeps owning it.
    AIUnicodeStringRef ref() const { return fImpl; }

private:
    AIUnicodeStringRef fImpl = nullptr;
};

}  // namespace ai

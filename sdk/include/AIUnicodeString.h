// The host's Unicode strings: text held as UTF-16 by the host, reached through opaque references.
// Plug-ins use the ai::UnicodeString class (IAIUnicodeString.h) rather than this suite directly.
#pragma once

#include "SPTypes.h"

#define kAIUnicodeStringSuite "AI Unicode String Suite"
constexpr ASInt32 kAIUnicodeStringSuiteVersion = 1009;

// Character encodings the host converts between.
enum AICharacterEncoding : ai::int32 {
    kAIPlatformCharacterEncoding = 0,  // the system's own encoding: UTF-8 here
    kAIUTF8CharacterEncoding = 1,
    kAIRomanCharacterEncoding = 2,  // one byte per character; others become '?'
    kAIUTF16CharacterEncoding = 3,
};

struct AIUnicodeStringImpl;
using AIUnicodeStringRef = AIUnicodeStringImpl*;

struct AIUnicodeStringSuite {
    // Creates a string from bytes in the given encoding; invalid input is replaced, never refused.
    AIErr (*Create)(const char* bytes, size_t byteCount, AICharacterEncoding encoding,
                    AIUnicodeStringRef* out);
    AIErr (*CreateUTF16)(const ASUnicode* units, size_t count, AIUnicodeStringRef* out);
    AIErr (*Dispose)(AIUnicodeStringRef str);
    AIErr (*Duplicate)(AIUnicodeStringRef str, AIUnicodeStringRef* out);
    // The UTF-16 code units; valid until the string changes or is disposed.
    AIErr (*GetUTF16)(AIUnicodeStringRef str, const ASUnicode** units, size_t* count);
    // Writes the text in an encoding; *needed receives the byte count even when the buffer is short.
    AIErr (*GetAs)(AIUnicodeStringRef str, AICharacterEncoding encoding, char* buffer, size_t bufferSize,
                   size_t* needed);
    AIErr (*Append)(AIUnicodeStringRef str, AIUnicodeStringRef tail);
    // Lower-cases code point by code point.
    AIErr (*ToLower)(AIUnicodeStringRef str);
};

// Basic types, error codes and four-character codes shared by the host and its plug-ins.
#pragma once

#include <cstddef>
#include <cstdint>

using ASInt16 = std::int16_t;
using ASUInt16 = std::uint16_t;
using ASInt32 = std::int32_t;
using ASUInt32 = std::uint32_t;
using ASBoolean = unsigned char;
using ASUnicode = std::uint16_t;
using AIBoolean = unsigned char;
using AIReal = double;
using ASErr = ASInt32;
using SPErr = ASInt32;
using AIErr = ASInt32;

namespace ai {
using int16 = std::int16_t;
using uint16 = std::uint16_t;
using int32 = std::int32_t;
using uint32 = std::uint32_t;
using int64 = std::int64_t;
}  // namespace ai

// Builds the 32-bit value of a four-character code such as '!MSG'.
constexpr ASInt32 FourCharCode(const char (&code)[5]) {
    return static_cast<ASInt32>((static_cast<ASUInt32>(static_cast<unsigned char>(code[0])) << 24) |
                                (static_cast<ASUInt32>(static_cast<unsigned char>(code[1])) << 16) |
                                (static_cast<ASUInt32>(static_cast<unsigned char>(code[2])) << 8) |
                                static_cast<ASUInt32>(static_cast<unsigned char>(code[3])));
}

constexpr ASErr kNoErr = 0;
constexpr ASErr kSPNoError = 0;
constexpr ASErr kSPUnimplementedError = FourCharCode("!MSG");  // message not handled
constexpr ASErr kSPOutOfMemoryError = FourCharCode("!MEM");
constexpr ASErr kSPBadParameterError = FourCharCode("Parm");
constexpr ASErr kSPSuiteNotFoundError = FourCharCode("S!Fd");
constexpr ASErr kSPCantAcquirePluginError = FourCharCode("!Acq");
constexpr ASErr kSPPluginCachesFlushResponse = FourCharCode("pFls");
constexpr ASErr kCantHappenErr = FourCharCode("CANT");
constexpr ASErr kBadParameterErr = FourCharCode("PARM");
constexpr ASErr kNoDocumentErr = FourCharCode("DOC?");
constexpr ASErr kNotImplementedErr = FourCharCode("!IMP");
// A lookup by name found nothing of that name.
constexpr ASErr kNameNotFoundErr = FourCharCode("NAM?");

// Opaque host references. Handles are never reused by the host; a stale one yields an error.
struct SPPlugin;
using SPPluginRef = SPPlugin*;
struct SPAccess;
using SPAccessRef = SPAccess*;
struct SPBasicSuite;

// Art UUIDs: the 16 bytes of an art object's UUID, and their text.
#include <string>

#include "AIUUID.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIUUIDSuite;
constexpr char kHexDigits[] = "0123456789abcdef";

int HexValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    return -1;
}

// The model's UUID texts are always 36 characters, lower-case 8-4-4-4-12; false for anything else.
bool ParseUuid(const std::string& text, AIUUID& uuid) {
    std::size_t byte = 0;
    for (std::size_t i = 0; i + 1 < text.size() && byte < sizeof uuid.bytes; ++i) {
        if (text[i] == '-') {
            continue;
        }
        const int high = HexValue(text[i]);
        const int low = HexValue(text[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        uuid.bytes[byte++] = static_cast<unsigned char>(high * 16 + low);
        ++i;
    }
    return byte == sizeof uuid.bytes;
}

std::string UuidText(const AIUUID& uuid) {
    std::string text;
    text.reserve(2 * sizeof uuid.bytes + 4);
    for (std::size_t byte = 0; byte < sizeof uuid.bytes; ++byte) {
        if (byte == 4 || byte == 6 || byte == 8 || byte == 10) {
            text.push_back('-');
        }
        text.push_back(kHexDigits[uuid.bytes[byte] >> 4]);
        text.push_back(kHexDigits[uuid.bytes[byte] & 0xF]);
    }
    return text;
}

AIErr GetArtUUID(AIArtHandle art, AIUUID* uuid) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetArtUUID");
    error = OutputError(error, uuid);
    const model::Result<std::string> text = error == kNoErr
                                                ? document->uuid(ArtIdOf(art))
                                                : model::Result<std::string>(model::Status::invalidHandle);
    AIUUID parsed;
    if (error == kNoErr && (!text || !ParseUuid(*text, parsed))) {
        error = kBadParameterErr;
    }
    if (uuid != nullptr) {
        *uuid = error == kNoErr ? parsed : AIUUID{};
    }
    return error;
}

// Needs no document: the text follows from the bytes alone.
AIErr GetUUIDAsString(const AIUUID& uuid, ai::UnicodeString& text) {
    auto [state, error] = StartOperation(kSuite, "GetUUIDAsString");
    if (error != kNoErr) {
        return error;
    }
    SetStringText(*state, text, UuidText(uuid));
    return kNoErr;
}

}  // namespace

AIUUIDSuite gUUIDSuite = {
    PLIM_SUITE_FUNCTION(GetArtUUID),
    PLIM_SUITE_FUNCTION(GetUUIDAsString),
};

}  // namespace host

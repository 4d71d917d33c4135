#include "core/HostScopes.h"

#include "core/Suites.h"

DictionaryScope DictionaryScope::New() {
    AIDictionaryRef made = nullptr;
    if (sAIDictionary == nullptr || sAIDictionary->CreateDictionary(&made) != kNoErr) {
        made = nullptr;
    }
    return DictionaryScope(made);
}

DictionaryScope DictionaryScope::OfArt(AIArtHandle art, bool make) {
    AIDictionaryRef dictionary = nullptr;
    if ((make || sAIArt->HasDictionary(art)) && sAIArt->GetDictionary(art, &dictionary) != kNoErr) {
        dictionary = nullptr;
    }
    return DictionaryScope(dictionary);
}

DictionaryScope::~DictionaryScope() {
    if (fDictionary != nullptr && sAIDictionary != nullptr) {
        sAIDictionary->Release(fDictionary);
    }
}

namespace {

// The key of a name; null without a dictionary or when the host refuses.
AIDictKey KeyIn(AIDictionaryRef dictionary, const char* name) {
    AIDictKey key = nullptr;
    return dictionary != nullptr && sAIDictionary->Key(name, &key) == kNoErr ? key : nullptr;
}

}  // namespace

bool DictionaryScope::SetInteger(const char* name, ai::int32 value) const {
    const AIDictKey key = KeyIn(fDictionary, name);
    return key != nullptr && sAIDictionary->SetIntegerEntry(fDictionary, key, value) == kNoErr;
}

bool DictionaryScope::SetReal(const char* name, double value) const {
    const AIDictKey key = KeyIn(fDictionary, name);
    return key != nullptr && sAIDictionary->SetRealEntry(fDictionary, key, value) == kNoErr;
}

bool DictionaryScope::SetBoolean(const char* name, bool value) const {
    const AIDictKey key = KeyIn(fDictionary, name);
    return key != nullptr && sAIDictionary->SetBooleanEntry(fDictionary, key, value) == kNoErr;
}

ParsedStyle::ParsedStyle(AIArtHandle art) {
    AIArtStyleHandle style = nullptr;
    if (sAIArtStyle != nullptr && sAIArtStyle->GetArtStyle(art, &style) == kNoErr) {
        Parse(style);
    }
}

ParsedStyle::ParsedStyle(AIArtStyleHandle style) {
    Parse(style);
}

void ParsedStyle::Parse(AIArtStyleHandle style) {
    if (sAIArtStyleParser == nullptr || sAIArtStyleParser->NewParser(&fParser) != kNoErr) {
        fParser = nullptr;
        return;
    }
    fParsed = sAIArtStyleParser->ParseStyle(fParser, style) == kNoErr &&
              sAIArtStyleParser->IsStyleParseable(fParser);
}

ParsedStyle::~ParsedStyle() {
    if (fParser != nullptr) {
        sAIArtStyleParser->DisposeParser(fParser);
    }
}

bool ParsedStyle::ApplyTo(AIArtHandle art) const {
    AIArtStyleHandle style = nullptr;
    return sAIArtStyleParser->CreateNewStyle(fParser, &style) == kNoErr &&
           sAIArtStyle->SetArtStyle(art, style) == kNoErr;
}

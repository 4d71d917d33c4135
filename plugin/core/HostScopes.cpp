#include "core/HostScopes.h"

#include "AIArray.h"
#include "AIDocument.h"
#include "core/Suites.h"

void GiveBackArray(AIArrayRef array) {
    sAIArray->Release(array);
}

void GiveBackEntry(AIEntryRef entry) {
    sAIEntry->Release(entry);
}

AIDictKey DictionaryKey(const char* name) {
    AIDictKey key = nullptr;
    return sAIDictionary != nullptr && sAIDictionary->Key(name, &key) == kNoErr ? key : nullptr;
}

// --- DictionaryScope: made, taken and given back -------------------------------------------------

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

DictionaryScope DictionaryScope::OfDocument() {
    AIDictionaryRef dictionary = nullptr;
    if (sAIDocument == nullptr || sAIDocument->GetDictionary(&dictionary) != kNoErr) {
        dictionary = nullptr;
    }
    return DictionaryScope(dictionary);
}

DictionaryScope::~DictionaryScope() {
    if (fDictionary != nullptr && sAIDictionary != nullptr) {
        sAIDictionary->Release(fDictionary);
    }
}

DictionaryScope& DictionaryScope::operator=(DictionaryScope&& other) noexcept {
    if (this != &other) {
        DictionaryScope old(std::exchange(fDictionary, std::exchange(other.fDictionary, nullptr)));
    }
    return *this;
}

AIDictKey DictionaryScope::KeyIn(const char* name) const {
    return fDictionary != nullptr ? DictionaryKey(name) : nullptr;
}

// --- Reading entries -----------------------------------------------------------------------------

namespace {

// The entry of the key read by get; none when the key is not there or the host refuses.
// The suite is reached only once the key is there, which it never is without the suite.
template <typename T>
std::optional<T> ReadEntry(AIDictionaryRef dictionary, AIDictKey key,
                           AIErr (*AIDictionarySuite::*get)(AIDictionaryRef, AIDictKey, T*)) {
    T value{};
    if (key == nullptr || !sAIDictionary->IsKnown(dictionary, key) ||
        (sAIDictionary->*get)(dictionary, key, &value) != kNoErr) {
        return std::nullopt;
    }
    return value;
}

// The value of an entry by its type; none for the types DictionaryEntry leaves out.
std::optional<decltype(DictionaryEntry::value)> EntryValue(AIEntryRef entry) {
    AIEntryType type = kUnknownEntryType;
    if (sAIEntry->GetType(entry, &type) != kNoErr) {
        return std::nullopt;
    }
    ai::int32 integer = 0;
    AIBoolean flag = false;
    AIReal real = 0;
    const char* text = nullptr;
    AIFillStyle fill;
    AIStrokeStyle stroke;
    switch (type) {
        case kIntegerEntryType:
            return sAIEntry->ToInteger(entry, &integer) == kNoErr ? std::optional(integer) : std::nullopt;
        case kBooleanEntryType:
            return sAIEntry->ToBoolean(entry, &flag) == kNoErr ? std::optional(flag != 0) : std::nullopt;
        case kRealEntryType:
            return sAIEntry->ToReal(entry, &real) == kNoErr ? std::optional(double{real}) : std::nullopt;
        case kStringEntryType:
            return sAIEntry->ToString(entry, &text) == kNoErr && text != nullptr
                       ? std::optional(std::string(text))
                       : std::nullopt;
        case kFillStyleEntryType:
            return sAIEntry->ToFillStyle(entry, &fill) == kNoErr ? std::optional(fill) : std::nullopt;
        case kStrokeStyleEntryType:
            return sAIEntry->ToStrokeStyle(entry, &stroke) == kNoErr ? std::optional(stroke) : std::nullopt;
        default:
            return std::nullopt;
    }
}

}  // namespace

bool DictionaryScope::Has(const char* name) const {
    const AIDictKey key = KeyIn(name);
    return key != nullptr && sAIDictionary->IsKnown(fDictionary, key);
}

std::optional<ai::int32> DictionaryScope::GetInteger(const char* name) const {
    return ReadEntry(fDictionary, KeyIn(name), &AIDictionarySuite::GetIntegerEntry);
}

std::optional<double> DictionaryScope::GetReal(const char* name) const {
    const std::optional<AIReal> value = ReadEntry(fDictionary, KeyIn(name), &AIDictionarySuite::GetRealEntry);
    return value ? std::optional<double>(*value) : std::nullopt;
}

std::optional<bool> DictionaryScope::GetBoolean(const char* name) const {
    const std::optional<AIBoolean> value =
        ReadEntry(fDictionary, KeyIn(name), &AIDictionarySuite::GetBooleanEntry);
    return value ? std::optional<bool>(*value != 0) : std::nullopt;
}

std::optional<std::string> DictionaryScope::GetString(const char* name) const {
    const std::optional<const char*> value =
        ReadEntry(fDictionary, KeyIn(name), &AIDictionarySuite::GetStringEntry);
    return value && *value != nullptr ? std::optional<std::string>(*value) : std::nullopt;
}

DictionaryScope DictionaryScope::GetDictionary(const char* name) const {
    const std::optional<AIDictionaryRef> value =
        ReadEntry(fDictionary, KeyIn(name), &AIDictionarySuite::GetDictEntry);
    return DictionaryScope(value.value_or(nullptr));
}

EntryRef DictionaryScope::GetEntry(const char* name) const {
    const std::optional<AIEntryRef> value = ReadEntry(fDictionary, KeyIn(name), &AIDictionarySuite::Get);
    return EntryRef(value.value_or(nullptr));
}

std::vector<DictionaryEntry> DictionaryScope::Entries() const {
    std::vector<DictionaryEntry> entries;
    AIDictionaryIterator iterator = nullptr;
    if (fDictionary == nullptr || sAIDictionaryIterator->Begin(fDictionary, &iterator) != kNoErr) {
        return entries;
    }
    for (; !sAIDictionaryIterator->AtEnd(iterator); sAIDictionaryIterator->Next(iterator)) {
        const char* keyText = sAIDictionary->GetKeyString(sAIDictionaryIterator->GetKey(iterator));
        const EntryRef entry(sAIDictionaryIterator->GetEntry(iterator));
        if (keyText == nullptr || entry.Get() == nullptr) {
            continue;
        }
        if (auto value = EntryValue(entry.Get())) {
            entries.push_back(DictionaryEntry{keyText, std::move(*value)});
        }
    }
    sAIDictionaryIterator->Release(iterator);
    return entries;
}

// --- Writing entries -----------------------------------------------------------------------------

bool DictionaryScope::SetInteger(const char* name, ai::int32 value) const {
    const AIDictKey key = KeyIn(name);
    return key != nullptr && sAIDictionary->SetIntegerEntry(fDictionary, key, value) == kNoErr;
}

bool DictionaryScope::SetReal(const char* name, double value) const {
    const AIDictKey key = KeyIn(name);
    return key != nullptr && sAIDictionary->SetRealEntry(fDictionary, key, value) == kNoErr;
}

bool DictionaryScope::SetBoolean(const char* name, bool value) const {
    const AIDictKey key = KeyIn(name);
    return key != nullptr && sAIDictionary->SetBooleanEntry(fDictionary, key, value) == kNoErr;
}

bool DictionaryScope::SetString(const char* name, const char* value) const {
    const AIDictKey key = KeyIn(name);
    return key != nullptr && sAIDictionary->SetStringEntry(fDictionary, key, value) == kNoErr;
}

bool DictionaryScope::SetFillStyle(const char* name, const AIFillStyle& value) const {
    const AIDictKey key = KeyIn(name);
    return key != nullptr && sAIDictionary->SetFillStyleEntry(fDictionary, key, &value) == kNoErr;
}

bool DictionaryScope::SetStrokeStyle(const char* name, const AIStrokeStyle& value) const {
    const AIDictKey key = KeyIn(name);
    return key != nullptr && sAIDictionary->SetStrokeStyleEntry(fDictionary, key, &value) == kNoErr;
}

bool DictionaryScope::SetEntry(const char* name, AIEntryRef entry) const {
    const AIDictKey key = KeyIn(name);
    return key != nullptr && sAIDictionary->Set(fDictionary, key, entry) == kNoErr;
}

bool DictionaryScope::Delete(const char* name) const {
    const AIDictKey key = KeyIn(name);
    return key != nullptr && (!sAIDictionary->IsKnown(fDictionary, key) ||
                              sAIDictionary->DeleteEntry(fDictionary, key) == kNoErr);
}

bool DictionaryScope::CopyArtToEntry(const char* name, AIArtHandle art) const {
    const AIDictKey key = KeyIn(name);
    return key != nullptr && sAIDictionary->CopyArtToEntry(fDictionary, key, art) == kNoErr;
}

bool DictionaryScope::CopyEntryToArt(const char* name, ai::int16 paintOrder, AIArtHandle prep) const {
    const AIDictKey key = KeyIn(name);
    AIArtHandle made = nullptr;
    return key != nullptr &&
           sAIDictionary->CopyEntryToArt(fDictionary, key, paintOrder, prep, &made) == kNoErr;
}

// --- ParsedStyle ---------------------------------------------------------------------------------

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

AIArtStyleHandle ParsedStyle::NewStyle() const {
    AIArtStyleHandle style = nullptr;
    return sAIArtStyleParser->CreateNewStyle(fParser, &style) == kNoErr ? style : nullptr;
}

bool ParsedStyle::ApplyTo(AIArtHandle art) const {
    const AIArtStyleHandle style = NewStyle();
    return style != nullptr && sAIArtStyle->SetArtStyle(art, style) == kNoErr;
}

RevertMark::RevertMark() {
    if (sAIUndo == nullptr || sAIUndo->SetRevertMark(&fMark) != kNoErr) {
        fMark = nullptr;
    }
}

RevertMark::~RevertMark() {
    if (fMark != nullptr) {
        sAIUndo->ForgetMark(fMark);
    }
}

void RevertMark::Revert() {
    if (fMark != nullptr) {
        sAIUndo->RevertToMark(std::exchange(fMark, nullptr));
    }
}

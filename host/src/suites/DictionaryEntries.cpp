// The entry operations of the dictionary suite: keys made from texts, typed entries, and copies of
// art kept as entries and put back into the artwork.
#include "suites/DictionaryEntries.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "model/Utf8.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/StyleHandles.h"
#include "suites/SuiteBoundary.h"

namespace host::dictionary_entries {
namespace {

constexpr const char* kSuite = kAIDictionarySuite;

// Keys are made once per text and kept for the life of the process, so that a plug-in may keep
// the keys it made in its globals.
struct KeyTable {
    std::map<std::string, AIDictKey, std::less<>> byText;
    std::map<AIDictKey, std::string> byKey;
};

KeyTable& Keys() {
    static KeyTable table;
    return table;
}

const std::string* KeyText(AIDictKey key) {
    const auto found = Keys().byKey.find(key);
    return found == Keys().byKey.end() ? nullptr : &found->second;
}

// The start of every entry operation: the document, the dictionary the reference names and the
// key's text; error set when one of them is missing. Operations that change the dictionary ask for
// it with Access::edit (`edited` is then set too), so that reading one records no change.
enum class Access { read, edit };

struct EntryStart {
    HostState* state = nullptr;
    model::Document* document = nullptr;
    const model::Dictionary* dictionary = nullptr;
    model::Dictionary* edited = nullptr;
    const std::string* key = nullptr;
    AIErr error = kNoErr;
};

EntryStart StartEntryOperation(std::string_view operation, AIDictionaryRef dictionary, AIDictKey key,
                               Access access = Access::read) {
    auto [state, document, error] = StartDocumentOperation(kSuite, operation);
    EntryStart start{state, document, nullptr, nullptr, nullptr, error};
    if (error != kNoErr) {
        return start;
    }
    start.dictionary = ResolveDictionaryRef(*state, dictionary);
    start.key = KeyText(key);
    if (access == Access::edit && start.dictionary != nullptr && start.key != nullptr) {
        start.edited = ResolveDictionaryRefToEdit(*state, dictionary);
        start.dictionary = start.edited;
    }
    if (start.dictionary == nullptr || start.key == nullptr) {
        start.error = kBadParameterErr;
    }
    return start;
}

AIErr ErrorOfEntry(model::Status status) {
    switch (status) {
        case model::Status::ok:
            return kNoErr;
        case model::Status::notFound:
            return kNoSuchKeyErr;
        case model::Status::wrongType:
            return kWrongEntryTypeErr;
        default:
            return kBadParameterErr;
    }
}

// Setting an entry: the change goes to the journal with the key.
template <typename SetFunction>
AIErr SetEntry(const char* operation, AIDictionaryRef dictionary, AIDictKey key, SetFunction set) {
    EntryStart start = StartEntryOperation(operation, dictionary, key, Access::edit);
    if (start.error == kNoErr) {
        start.error = ErrorFromStatus(set(*start.edited, *start.key));
    }
    Record(start.state, operation, {start.key != nullptr ? *start.key : "invalid"}, start.error);
    return start.error;
}

// Reading an entry: *value gets the entry's value, or the type's null value on failure.
template <typename Value, typename GetFunction>
AIErr GetEntry(const char* operation, AIDictionaryRef dictionary, AIDictKey key, Value* value,
               GetFunction get) {
    EntryStart start = StartEntryOperation(operation, dictionary, key);
    if (start.error == kNoErr && value == nullptr) {
        start.error = kBadParameterErr;
    }
    if (start.error != kNoErr) {
        return Refuse(value, start.error);
    }
    auto result = get(*start.dictionary, *start.key);
    if (!result) {
        *value = Value{};
        return ErrorOfEntry(result.status());
    }
    *value = static_cast<Value>(*result);
    return kNoErr;
}

}  // namespace

AIErr Set(AIDictionaryRef dictionary, AIDictKey key, AIEntryRef entry) {
    return SetEntry("Set", dictionary, key, [&](model::Dictionary& edited, const std::string& text) {
        const EntryRecord* record = CurrentState()->colors.entries.Find(entry);
        return record == nullptr ? model::Status::badParameter : edited.setValue(text, record->value);
    });
}

AIErr Get(AIDictionaryRef dictionary, AIDictKey key, AIEntryRef* entry) {
    EntryStart start = StartEntryOperation("Get", dictionary, key);
    if (start.error == kNoErr && entry == nullptr) {
        start.error = kBadParameterErr;
    }
    if (start.error != kNoErr) {
        return Refuse(entry, start.error);
    }
    const auto& entries = start.dictionary->entries();
    const auto found = entries.find(*start.key);
    if (found == entries.end()) {
        return Refuse(entry, kNoSuchKeyErr);
    }
    *entry = start.state->colors.entries.Add<AIEntryRef>(
        std::make_unique<EntryRecord>(EntryRecord{found->second, {}}));
    return kNoErr;
}

const char* GetKeyString(AIDictKey key) {
    if (InjectedFault(kSuite, "GetKeyString") != kNoErr) {
        return nullptr;
    }
    const std::string* text = KeyText(key);
    return text != nullptr ? text->c_str() : nullptr;
}

AIErr Key(const char* name, AIDictKey* key) {
    if (const AIErr fault = InjectedFault(kSuite, "Key")) {
        return Refuse(key, fault);
    }
    if (key == nullptr) {
        return kBadParameterErr;
    }
    *key = nullptr;
    if (name == nullptr) {
        return kBadParameterErr;
    }
    *key = KeyForText(name);
    return *key != nullptr ? kNoErr : kBadParameterErr;
}

AIDictKey KeyForText(std::string_view name) {
    if (name.empty() || !model::isValidUtf8(name)) {
        return nullptr;
    }
    KeyTable& keys = Keys();
    if (const auto found = keys.byText.find(name); found != keys.byText.end()) {
        return found->second;
    }
    auto* made = reinterpret_cast<AIDictKey>(detail::NextHandleNumber());
    keys.byText.emplace(std::string(name), made);
    keys.byKey.emplace(made, std::string(name));
    return made;
}

AIBoolean IsKnown(AIDictionaryRef dictionary, AIDictKey key) {
    const EntryStart start = StartEntryOperation("IsKnown", dictionary, key);
    return start.error == kNoErr && start.dictionary->contains(*start.key);
}

AIErr DeleteEntry(AIDictionaryRef dictionary, AIDictKey key) {
    EntryStart start = StartEntryOperation("DeleteEntry", dictionary, key, Access::edit);
    if (start.error == kNoErr) {
        start.error = ErrorOfEntry(start.edited->erase(*start.key));
    }
    Record(start.state, "DeleteEntry", {start.key != nullptr ? *start.key : "invalid"}, start.error);
    return start.error;
}

AIErr SetBooleanEntry(AIDictionaryRef dictionary, AIDictKey key, AIBoolean value) {
    return SetEntry("SetBooleanEntry", dictionary, key,
                    [value](model::Dictionary& entries, const std::string& name) {
                        return entries.setBoolean(name, value != 0);
                    });
}

AIErr GetBooleanEntry(AIDictionaryRef dictionary, AIDictKey key, AIBoolean* value) {
    return GetEntry(
        "GetBooleanEntry", dictionary, key, value,
        [](const model::Dictionary& entries, const std::string& name) { return entries.boolean(name); });
}

AIErr SetIntegerEntry(AIDictionaryRef dictionary, AIDictKey key, ai::int32 value) {
    return SetEntry("SetIntegerEntry", dictionary, key,
                    [value](model::Dictionary& entries, const std::string& name) {
                        return entries.setInteger(name, value);
                    });
}

AIErr SetFillStyleEntry(AIDictionaryRef dictionary, AIDictKey key, const AIFillStyle* value) {
    const std::optional<model::FillPaint> paint = value != nullptr ? FromAIFill(*value) : std::nullopt;
    return SetEntry("SetFillStyleEntry", dictionary, key,
                    [&](model::Dictionary& entries, const std::string& name) {
                        return paint ? entries.setFillStyle(name, *paint) : model::Status::badParameter;
                    });
}

AIErr SetStrokeStyleEntry(AIDictionaryRef dictionary, AIDictKey key, const AIStrokeStyle* value) {
    const std::optional<model::StrokePaint> paint =
        value != nullptr ? FromAIStroke(*value, model::StrokePaint{}) : std::nullopt;
    return SetEntry("SetStrokeStyleEntry", dictionary, key,
                    [&](model::Dictionary& entries, const std::string& name) {
                        return paint ? entries.setStrokeStyle(name, *paint) : model::Status::badParameter;
                    });
}

AIErr GetIntegerEntry(AIDictionaryRef dictionary, AIDictKey key, ai::int32* value) {
    return GetEntry(
        "GetIntegerEntry", dictionary, key, value,
        [](const model::Dictionary& entries, const std::string& name) { return entries.integer(name); });
}

AIErr SetRealEntry(AIDictionaryRef dictionary, AIDictKey key, AIReal value) {
    return SetEntry("SetRealEntry", dictionary, key,
                    [value](model::Dictionary& entries, const std::string& name) {
                        return entries.setReal(name, value);
                    });
}

AIErr GetRealEntry(AIDictionaryRef dictionary, AIDictKey key, AIReal* value) {
    return GetEntry(
        "GetRealEntry", dictionary, key, value,
        [](const model::Dictionary& entries, const std::string& name) { return entries.real(name); });
}

AIErr SetStringEntry(AIDictionaryRef dictionary, AIDictKey key, const char* value) {
    if (value == nullptr) {
        return SetEntry("SetStringEntry", dictionary, key,
                        [](model::Dictionary&, const std::string&) { return model::Status::badParameter; });
    }
    return SetEntry("SetStringEntry", dictionary, key,
                    [value](model::Dictionary& entries, const std::string& name) {
                        return entries.setString(name, value);
                    });
}

AIErr GetStringEntry(AIDictionaryRef dictionary, AIDictKey key, const char** value) {
    // The text handed out is the model's own copy, so that it stays valid after this call.
    return GetEntry(
        "GetStringEntry", dictionary, key, value,
        [](const model::Dictionary& entries, const std::string& name) -> model::Result<const char*> {
            const auto found = entries.entries().find(name);
            if (found == entries.entries().end()) {
                return model::Status::notFound;
            }
            const std::string* text = std::get_if<std::string>(&found->second);
            if (text == nullptr) {
                return model::Status::wrongType;
            }
            return text->c_str();
        });
}

AIErr GetDictEntry(AIDictionaryRef dictionary, AIDictKey key, AIDictionaryRef* value) {
    EntryStart start = StartEntryOperation("GetDictEntry", dictionary, key);
    if (start.error == kNoErr && value == nullptr) {
        start.error = kBadParameterErr;
    }
    if (start.error != kNoErr) {
        return Refuse(value, start.error);
    }
    const model::Dictionary* nested = start.dictionary->dictionary(*start.key);
    if (nested == nullptr) {
        return Refuse(value,
                      start.dictionary->entries().contains(*start.key) ? kWrongEntryTypeErr : kNoSuchKeyErr);
    }
    const DictionaryRecord* record = start.state->art.dictionaries.Find(dictionary);
    if (record->owned) {
        *value = NewOwnedDictionaryRef(*start.state, *nested);
        return kNoErr;
    }
    model::DictionaryRef address = record->address;
    address.path.push_back(*start.key);
    *value = NewDictionaryRef(*start.state, std::move(address));
    return kNoErr;
}

AIErr CopyArtToEntry(AIDictionaryRef dictionary, AIDictKey key, AIArtHandle art) {
    EntryStart start = StartEntryOperation("CopyArtToEntry", dictionary, key, Access::edit);
    if (start.error == kNoErr) {
        model::Result<model::ArtTree> copy = start.document->copyOf(ArtIdOf(art));
        start.error = copy ? ErrorFromStatus(start.edited->setArt(*start.key, std::move(*copy)))
                           : ErrorFromStatus(copy.status());
    }
    Record(start.state, "CopyArtToEntry",
           {start.key != nullptr ? *start.key : "invalid", ArtLabel(start.document, art)}, start.error);
    return start.error;
}

AIErr CopyEntryToArt(AIDictionaryRef dictionary, AIDictKey key, ai::int16 paintOrder, AIArtHandle prep,
                     AIArtHandle* newArt) {
    if (newArt != nullptr) {
        *newArt = nullptr;
    }
    EntryStart start = StartEntryOperation("CopyEntryToArt", dictionary, key);
    const std::optional<model::PaintOrder> order = model::paintOrderFromCode(paintOrder);
    if (start.error == kNoErr && !order) {
        start.error = kBadParameterErr;
    }
    std::optional<model::ArtId> made;
    if (start.error == kNoErr) {
        const model::ArtTree* stored = start.dictionary->art(*start.key);
        if (stored == nullptr) {
            start.error = start.dictionary->contains(*start.key) ? kWrongEntryTypeErr : kNoSuchKeyErr;
        } else {
            // A copy of the entry: putting it into the artwork changes the document the entry is in.
            model::Result<model::ArtId> inserted = start.document->insertCopy(*stored, *order, ArtIdOf(prep));
            start.error = ErrorFromStatus(inserted.status());
            if (inserted) {
                made = *inserted;
            }
        }
    }
    if (made && newArt != nullptr) {
        *newArt = ArtHandleOf(*made);
    }
    Record(start.state, "CopyEntryToArt",
           {start.key != nullptr ? *start.key : "invalid",
            made ? ArtLabel(start.document, ArtHandleOf(*made)) : "none"},
           start.error);
    return start.error;
}

}  // namespace host::dictionary_entries

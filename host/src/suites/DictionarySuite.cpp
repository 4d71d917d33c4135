// The dictionary suite: counted references to dictionaries of art objects and of the document.
//
// A reference is a DictionaryRecord (HostState.h): the dictionary's address in the model (the art,
// or null for the document's own dictionary, then the keys of nested dictionary entries) and a
// count. The address is resolved afresh on every use (ResolveDictionaryRef), so a reference outlives
// changes elsewhere in the document and simply names nothing once its art is disposed or another
// document became current. Every
// reference the host hands out carries one count; the record goes when the count drops to 0, and
// its handle is never used again.
#include <memory>
#include <utility>

#include "suites/DictionaryEntries.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIDictionarySuite;

// The new count; 0 for an unknown or released reference (nothing happens then).
ASInt32 AddRef(AIDictionaryRef dictionary) {
    auto [state, error] = StartOperation(kSuite, "AddRef");
    DictionaryRecord* record = error == kNoErr ? state->art.dictionaries.Find(dictionary) : nullptr;
    if (record == nullptr) {
        return 0;
    }
    return ++record->count;
}

// The count left; 0 when this was the last one (the reference is gone), and for an unknown or
// released reference.
ASInt32 Release(AIDictionaryRef dictionary) {
    auto [state, error] = StartOperation(kSuite, "Release");
    DictionaryRecord* record = error == kNoErr ? state->art.dictionaries.Find(dictionary) : nullptr;
    if (record == nullptr) {
        return 0;
    }
    if (--record->count > 0) {
        return record->count;
    }
    state->art.dictionaries.Remove(dictionary);
    return 0;
}

AIErr CreateDictionary(AIDictionaryRef* dictionary) {
    auto [state, error] = StartOperation(kSuite, "CreateDictionary");
    error = OutputError(error, dictionary);
    if (error != kNoErr) {
        return Refuse(dictionary, error);
    }
    *dictionary = NewOwnedDictionaryRef(*state, model::Dictionary{});
    return kNoErr;
}

}  // namespace

AIDictionaryRef NewOwnedDictionaryRef(HostState& state, model::Dictionary dictionary) {
    auto record = std::make_unique<DictionaryRecord>();
    record->owned = std::make_shared<model::Dictionary>(std::move(dictionary));
    return state.art.dictionaries.Add<AIDictionaryRef>(std::move(record));
}

AIDictionaryRef NewDictionaryRef(HostState& state, model::DictionaryRef address) {
    auto record = std::make_unique<DictionaryRecord>();
    record->address = std::move(address);
    record->document = state.documents.handle;
    return state.art.dictionaries.Add<AIDictionaryRef>(std::move(record));
}

namespace {

// A reference to a document's own dictionary must not reach the next document's.
const DictionaryRecord* CurrentDocumentRecord(HostState& state, AIDictionaryRef dictionary) {
    const DictionaryRecord* record = state.art.dictionaries.Find(dictionary);
    if (record == nullptr || state.documents.current == nullptr ||
        record->document != state.documents.handle) {
        return nullptr;
    }
    return record;
}

}  // namespace

const model::Dictionary* ResolveDictionaryRef(HostState& state, AIDictionaryRef dictionary) {
    if (const DictionaryRecord* owned = state.art.dictionaries.Find(dictionary);
        owned != nullptr && owned->owned) {
        return owned->owned.get();
    }
    const DictionaryRecord* record = CurrentDocumentRecord(state, dictionary);
    return record != nullptr ? std::as_const(*state.documents.current).resolve(record->address) : nullptr;
}

model::Dictionary* ResolveDictionaryRefToEdit(HostState& state, AIDictionaryRef dictionary) {
    if (const DictionaryRecord* owned = state.art.dictionaries.Find(dictionary);
        owned != nullptr && owned->owned) {
        return owned->owned.get();
    }
    const DictionaryRecord* record = CurrentDocumentRecord(state, dictionary);
    return record != nullptr ? state.documents.current->resolveToEdit(record->address) : nullptr;
}

// The entry operations come from DictionaryEntries.cpp.
using namespace dictionary_entries;

AIDictionarySuite gDictionarySuite = {
    PLIM_SUITE_COUNT(AddRef),
    PLIM_SUITE_COUNT(Release),
    PLIM_SUITE_FUNCTION(Key),
    PLIM_SUITE_FUNCTION(IsKnown),
    PLIM_SUITE_FUNCTION(DeleteEntry),
    PLIM_SUITE_FUNCTION(SetBooleanEntry),
    PLIM_SUITE_FUNCTION(GetBooleanEntry),
    PLIM_SUITE_FUNCTION(SetIntegerEntry),
    PLIM_SUITE_FUNCTION(GetIntegerEntry),
    PLIM_SUITE_FUNCTION(SetRealEntry),
    PLIM_SUITE_FUNCTION(GetRealEntry),
    PLIM_SUITE_FUNCTION(SetStringEntry),
    PLIM_SUITE_FUNCTION(GetStringEntry),
    PLIM_SUITE_FUNCTION(GetDictEntry),
    PLIM_SUITE_FUNCTION(CopyArtToEntry),
    PLIM_SUITE_FUNCTION(CopyEntryToArt),
    PLIM_SUITE_FUNCTION(CreateDictionary),
    PLIM_SUITE_FUNCTION(GetKeyString),
    PLIM_SUITE_FUNCTION(SetFillStyleEntry),
    PLIM_SUITE_FUNCTION(SetStrokeStyleEntry),
    PLIM_SUITE_FUNCTION(Set),
    PLIM_SUITE_FUNCTION(Get),
};

}  // namespace host

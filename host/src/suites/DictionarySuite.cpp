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

#include "suites/DictionaryEntries.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIDictionarySuite;

// The new count; 0 for an unknown or released reference (nothing happens then).
ASInt32 AddRef(AIDictionaryRef dictionary) {
    auto [state, error] = StartOperation(kSuite, "AddRef");
    DictionaryRecord* record = error == kNoErr ? state->dictionaries.Find(dictionary) : nullptr;
    if (record == nullptr) {
        return 0;
    }
    return ++record->count;
}

// The count left; 0 when this was the last one (the reference is gone), and for an unknown or
// released reference.
ASInt32 Release(AIDictionaryRef dictionary) {
    auto [state, error] = StartOperation(kSuite, "Release");
    DictionaryRecord* record = error == kNoErr ? state->dictionaries.Find(dictionary) : nullptr;
    if (record == nullptr) {
        return 0;
    }
    if (--record->count > 0) {
        return record->count;
    }
    state->dictionaries.Remove(dictionary);
    return 0;
}

}  // namespace

AIDictionaryRef NewDictionaryRef(HostState& state, model::DictionaryRef address) {
    auto record = std::make_unique<DictionaryRecord>();
    record->address = std::move(address);
    record->document = state.documentHandle;
    return state.dictionaries.Add<AIDictionaryRef>(std::move(record));
}

model::Dictionary* ResolveDictionaryRef(HostState& state, AIDictionaryRef dictionary) {
    const DictionaryRecord* record = state.dictionaries.Find(dictionary);
    // A reference to a document's own dictionary must not reach the next document's.
    if (record == nullptr || state.document == nullptr || record->document != state.documentHandle) {
        return nullptr;
    }
    return state.document->resolve(record->address);
}

namespace entries = dictionary_entries;
AIDictionarySuite gDictionarySuite = {.AddRef = AddRef,
                                      .Release = Release,
                                      .Key = entries::Key,
                                      .IsKnown = entries::IsKnown,
                                      .DeleteEntry = entries::DeleteEntry,
                                      .SetBooleanEntry = entries::SetBooleanEntry,
                                      .GetBooleanEntry = entries::GetBooleanEntry,
                                      .SetIntegerEntry = entries::SetIntegerEntry,
                                      .GetIntegerEntry = entries::GetIntegerEntry,
                                      .SetRealEntry = entries::SetRealEntry,
                                      .GetRealEntry = entries::GetRealEntry,
                                      .SetStringEntry = entries::SetStringEntry,
                                      .GetStringEntry = entries::GetStringEntry,
                                      .CopyArtToEntry = entries::CopyArtToEntry,
                                      .CopyEntryToArt = entries::CopyEntryToArt};

}  // namespace host

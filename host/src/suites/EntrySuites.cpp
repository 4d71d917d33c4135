// Dictionary entries as values, arrays of them, and iterators over a dictionary's entries; the live
// effects the application knows; the beautiful-stroke parameters of strokes; the path flags.
#include <algorithm>
#include <cmath>

#include "AIArray.h"
#include "AIBeautifulStrokes.h"
#include "AIEntry.h"
#include "AILiveEffect.h"
#include "AIPath.h"
#include "model/Utf8.h"
#include "suites/DictionaryEntries.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/StyleHandles.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

// --- Entries --------------------------------------------------------------------------------------

constexpr const char* kEntrySuite = kAIEntrySuite;

struct EntryStart {
    HostState* state;
    EntryRecord* entry;
    AIErr error;
};

EntryStart StartEntry(const char* operation, AIEntryRef entry, const void* out) {
    auto [state, error] = StartOperation(kEntrySuite, operation);
    EntryRecord* record = error == kNoErr ? state->colors.entries.Find(entry) : nullptr;
    if (error == kNoErr && (record == nullptr || out == nullptr)) {
        error = kBadParameterErr;
    }
    return {state, record, error};
}

ai::int32 ReleaseEntry(AIEntryRef entry) {
    auto [state, error] = StartOperation(kEntrySuite, "Release");
    if (error == kNoErr) {
        state->colors.entries.Remove(entry);
    }
    return 0;
}

AIErr GetType(AIEntryRef entry, AIEntryType* type) {
    auto [state, record, error] = StartEntry("GetType", entry, type);
    if (type != nullptr) {
        *type = error == kNoErr ? static_cast<AIEntryType>(record->value.index()) : kUnknownEntryType;
    }
    return error;
}

// Reads the entry as the alternative Index of the value.
template <std::size_t Index, typename Out, typename Convert>
AIErr ReadAs(const char* operation, AIEntryRef entry, Out* out, Convert convert) {
    auto [state, record, error] = StartEntry(operation, entry, out);
    if (error == kNoErr && record->value.index() != Index) {
        error = kWrongEntryTypeErr;
    }
    if (error == kNoErr) {
        *out = convert(*record);
    }
    return error;
}

AIErr ToInteger(AIEntryRef entry, ai::int32* value) {
    return ReadAs<0>("ToInteger", entry, value, [](EntryRecord& r) { return std::get<0>(r.value); });
}
AIErr ToBoolean(AIEntryRef entry, AIBoolean* value) {
    return ReadAs<1>("ToBoolean", entry, value,
                     [](EntryRecord& r) { return AIBoolean(std::get<1>(r.value)); });
}
AIErr ToReal(AIEntryRef entry, AIReal* value) {
    return ReadAs<2>("ToReal", entry, value, [](EntryRecord& r) { return std::get<2>(r.value); });
}
AIErr ToString(AIEntryRef entry, const char** value) {
    return ReadAs<3>("ToString", entry, value, [](EntryRecord& r) {
        r.text = std::get<3>(r.value);
        return r.text.c_str();
    });
}
AIErr ToFillStyle(AIEntryRef entry, AIFillStyle* value) {
    return ReadAs<6>("ToFillStyle", entry, value,
                     [](EntryRecord& r) { return ToAIFill(*std::get<6>(r.value)); });
}
AIErr ToStrokeStyle(AIEntryRef entry, AIStrokeStyle* value) {
    return ReadAs<7>("ToStrokeStyle", entry, value,
                     [](EntryRecord& r) { return ToAIStroke(*std::get<7>(r.value)); });
}

AIErr ToArray(AIEntryRef entry, AIArrayRef* array) {
    auto [state, record, error] = StartEntry("ToArray", entry, array);
    if (error == kNoErr && record->value.index() != static_cast<std::size_t>(model::EntryType::array)) {
        error = kWrongEntryTypeErr;
    }
    if (error != kNoErr) {
        return Refuse(array, error);
    }
    *array = state->colors.arrays.Add<AIArrayRef>(
        std::make_unique<ArrayRecord>(ArrayRecord{std::get<model::EntryArray>(record->value)}));
    return kNoErr;
}

// A new entry of the value; null without a state or for a value out of its limits.
AIEntryRef NewEntry(const char* operation, std::optional<model::DictionaryValue> value) {
    auto [state, error] = StartOperation(kEntrySuite, operation);
    if (error != kNoErr || !value) {
        return nullptr;
    }
    return state->colors.entries.Add<AIEntryRef>(
        std::make_unique<EntryRecord>(EntryRecord{std::move(*value), {}}));
}

AIEntryRef FromInteger(ai::int32 value) {
    return NewEntry("FromInteger", model::DictionaryValue(std::in_place_index<0>, value));
}

AIEntryRef FromString(const char* value) {
    if (value == nullptr || !model::isValidUtf8(value)) {
        return NewEntry("FromString", std::nullopt);
    }
    return NewEntry("FromString", model::DictionaryValue(std::in_place_index<3>, std::string(value)));
}

AIEntryRef FromArray(AIArrayRef array) {
    HostState* state = CurrentState();
    const ArrayRecord* record = state != nullptr ? state->colors.arrays.Find(array) : nullptr;
    if (record == nullptr) {
        return NewEntry("FromArray", std::nullopt);
    }
    return NewEntry("FromArray", model::DictionaryValue(std::in_place_index<8>, record->values));
}

// --- Arrays ---------------------------------------------------------------------------------------

constexpr const char* kArraySuite = kAIArraySuite;

ArrayRecord* FindArray(const char* operation, AIArrayRef array) {
    auto [state, error] = StartOperation(kArraySuite, operation);
    return error == kNoErr ? state->colors.arrays.Find(array) : nullptr;
}

AIErr CreateArray(AIArrayRef* array) {
    auto [state, error] = StartOperation(kArraySuite, "CreateArray");
    if ((error = OutputError(error, array)) != kNoErr) {
        return Refuse(array, error);
    }
    *array = state->colors.arrays.Add<AIArrayRef>(std::make_unique<ArrayRecord>());
    return kNoErr;
}

ai::int32 AddRefArray(AIArrayRef array) {
    ArrayRecord* record = FindArray("AddRef", array);
    return record != nullptr ? ++record->count : 0;
}

ai::int32 ReleaseArray(AIArrayRef array) {
    ArrayRecord* record = FindArray("Release", array);
    if (record == nullptr) {
        return 0;
    }
    const ai::int32 left = --record->count;
    if (left <= 0) {
        CurrentState()->colors.arrays.Remove(array);
    }
    return std::max(left, 0);
}

ai::int32 Size(AIArrayRef array) {
    const ArrayRecord* record = FindArray("Size", array);
    return record != nullptr ? static_cast<ai::int32>(record->values.size()) : 0;
}

AIEntryRef Get(AIArrayRef array, ai::int32 index) {
    const ArrayRecord* record = FindArray("Get", array);
    if (record == nullptr || index < 0 || static_cast<std::size_t>(index) >= record->values.size()) {
        return nullptr;
    }
    return CurrentState()->colors.entries.Add<AIEntryRef>(
        std::make_unique<EntryRecord>(EntryRecord{model::valueOf(record->values[index]), {}}));
}

AIErr AppendEntry(AIArrayRef array, AIEntryRef entry) {
    auto [state, error] = StartOperation(kArraySuite, "AppendEntry");
    ArrayRecord* record = error == kNoErr ? state->colors.arrays.Find(array) : nullptr;
    const EntryRecord* value = error == kNoErr ? state->colors.entries.Find(entry) : nullptr;
    if (error == kNoErr && (record == nullptr || value == nullptr)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return error;
    }
    std::optional<model::ArrayElement> element = model::arrayElementOf(value->value);
    if (!element) {
        return kWrongEntryTypeErr;
    }
    record->values.push_back(std::move(*element));
    return kNoErr;
}

// --- Dictionary iterators -------------------------------------------------------------------------

constexpr const char* kIteratorSuite = kAIDictionaryIteratorSuite;

AIErr Begin(AIDictionaryRef dictionary, AIDictionaryIterator* iterator) {
    auto [state, error] = StartOperation(kIteratorSuite, "Begin");
    const model::Dictionary* found = error == kNoErr ? ResolveDictionaryRef(*state, dictionary) : nullptr;
    if (error == kNoErr && (found == nullptr || iterator == nullptr)) {
        error = kBadParameterErr;
    }
    if (iterator == nullptr) {
        return error;
    }
    *iterator = nullptr;
    if (error == kNoErr) {
        auto record = std::make_unique<DictionaryIteratorRecord>();
        for (const auto& [key, value] : found->entries()) {
            record->entries.emplace_back(key, value);
        }
        *iterator = state->colors.dictionaryIterators.Add<AIDictionaryIterator>(std::move(record));
    }
    return error;
}

DictionaryIteratorRecord* FindIterator(const char* operation, AIDictionaryIterator iterator) {
    auto [state, error] = StartOperation(kIteratorSuite, operation);
    return error == kNoErr ? state->colors.dictionaryIterators.Find(iterator) : nullptr;
}

ai::int32 ReleaseIterator(AIDictionaryIterator iterator) {
    auto [state, error] = StartOperation(kIteratorSuite, "Release");
    if (error == kNoErr) {
        state->colors.dictionaryIterators.Remove(iterator);
    }
    return 0;
}

AIBoolean AtEnd(AIDictionaryIterator iterator) {
    const DictionaryIteratorRecord* record = FindIterator("AtEnd", iterator);
    return record == nullptr || record->at >= record->entries.size();
}

void Next(AIDictionaryIterator iterator) {
    if (DictionaryIteratorRecord* record = FindIterator("Next", iterator);
        record != nullptr && record->at < record->entries.size()) {
        ++record->at;
    }
}

AIDictKey GetKey(AIDictionaryIterator iterator) {
    const DictionaryIteratorRecord* record = FindIterator("GetKey", iterator);
    if (record == nullptr || record->at >= record->entries.size()) {
        return nullptr;
    }
    return dictionary_entries::KeyForText(record->entries[record->at].first);
}

AIEntryRef GetEntry(AIDictionaryIterator iterator) {
    auto [state, error] = StartOperation(kIteratorSuite, "GetEntry");
    const DictionaryIteratorRecord* record =
        error == kNoErr ? state->colors.dictionaryIterators.Find(iterator) : nullptr;
    if (record == nullptr || record->at >= record->entries.size()) {
        return nullptr;
    }
    auto entry = std::make_unique<EntryRecord>(EntryRecord{record->entries[record->at].second, {}});
    return state->colors.entries.Add<AIEntryRef>(std::move(entry));
}

// --- Live effects ---------------------------------------------------------------------------------

AIErr GetLiveEffectNameAndVersion(AILiveEffectHandle effect, const char** name, ai::int32* major,
                                  ai::int32* minor) {
    auto [state, error] = StartOperation(kAILiveEffectSuite, "GetLiveEffectNameAndVersion");
    if (error != kNoErr) {
        return error;
    }
    const auto number = reinterpret_cast<std::uintptr_t>(effect);
    for (const auto& [handle, text] : state->colors.liveEffects) {
        if (handle == number && name != nullptr) {
            *name = text.c_str();
            if (major != nullptr) {
                *major = 1;
            }
            if (minor != nullptr) {
                *minor = 0;
            }
            return kNoErr;
        }
    }
    return kBadParameterErr;
}

AIErr GetLiveEffectByName(const char* name, AILiveEffectHandle* effect) {
    auto [state, error] = StartOperation(kAILiveEffectSuite, "GetLiveEffectByName");
    if (error == kNoErr && (name == nullptr || effect == nullptr)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(effect, error);
    }
    for (const auto& [handle, text] : state->colors.liveEffects) {
        if (text == name) {
            *effect = reinterpret_cast<AILiveEffectHandle>(handle);
            return kNoErr;
        }
    }
    return Refuse(effect, kNameNotFoundErr);
}

// --- Beautiful strokes ----------------------------------------------------------------------------
//
// A stroke's parameter dictionary keeps the brush and arrowhead parameters as a nested dictionary
// under "BeautifulStrokeParams": "ArrowheadStart", "ArrowheadEnd" (symbol names), "ArrowheadStartScale",
// "ArrowheadEndScale" (reals), "ArrowheadPlacement" (integer) and "DashAdjust" (boolean).

constexpr const char* kStrokesSuite = kAIBeautifulStrokesSuite;
constexpr const char* kParamsKey = "BeautifulStrokeParams";

AIErr GetParams(AIDictionaryRef strokeParams, AIDictionaryRef* params) {
    auto [state, error] = StartOperation(kStrokesSuite, "GetParams");
    const model::Dictionary* found = error == kNoErr ? ResolveDictionaryRef(*state, strokeParams) : nullptr;
    if (error == kNoErr && (found == nullptr || params == nullptr)) {
        error = kBadParameterErr;
    }
    if (params != nullptr) {
        const model::Dictionary* nested = error == kNoErr ? found->dictionary(kParamsKey) : nullptr;
        *params = nested != nullptr ? NewOwnedDictionaryRef(*state, *nested) : nullptr;
    }
    return error;
}

AIErr GetArrowheadOptions(AIDictionaryRef params, AIPatternHandle* beginSymbol, AIPatternHandle* endSymbol,
                          AIReal* beginScale, AIReal* endScale, ai::int32* placement) {
    auto [state, document, error] = StartDocumentOperation(kStrokesSuite, "GetArrowheadOptions");
    const model::Dictionary* found = error == kNoErr ? ResolveDictionaryRef(*state, params) : nullptr;
    error = OutputError(error, found);
    if (error != kNoErr) {
        return error;
    }
    const auto symbol = [&](const char* key) {
        const model::Result<std::string> name = found->string(key);
        return name ? SymbolHandleOf(document->symbols().byName(*name)) : nullptr;
    };
    if (beginSymbol != nullptr) {
        *beginSymbol = symbol("ArrowheadStart");
    }
    if (endSymbol != nullptr) {
        *endSymbol = symbol("ArrowheadEnd");
    }
    const auto real = [&](const char* key, AIReal* out) {
        if (const model::Result<double> value = found->real(key); value && out != nullptr) {
            *out = *value;
        }
    };
    real("ArrowheadStartScale", beginScale);
    real("ArrowheadEndScale", endScale);
    if (const model::Result<std::int32_t> value = found->integer("ArrowheadPlacement");
        value && placement != nullptr) {
        *placement = *value;
    }
    return kNoErr;
}

AIErr GetDashAdjustment(AIDictionaryRef params, AIBoolean* adjust) {
    auto [state, error] = StartOperation(kStrokesSuite, "GetDashAdjustment");
    const model::Dictionary* found = error == kNoErr ? ResolveDictionaryRef(*state, params) : nullptr;
    if (error == kNoErr && (found == nullptr || adjust == nullptr)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        const model::Result<bool> value = found->boolean("DashAdjust");
        *adjust = value && *value;
    }
    return error;
}

// Writes into the brush and arrowhead parameters of a stroke's parameter dictionary, made when
// absent.
template <typename Write>
AIErr WriteStrokeParams(const char* operation, AIDictionaryRef strokeParams, Write write) {
    auto [state, document, error] = StartDocumentOperation(kStrokesSuite, operation);
    model::Dictionary* found = error == kNoErr ? ResolveDictionaryRefToEdit(*state, strokeParams) : nullptr;
    error = OutputError(error, found);
    if (error != kNoErr) {
        return error;
    }
    model::Dictionary params =
        found->dictionary(kParamsKey) != nullptr ? *found->dictionary(kParamsKey) : model::Dictionary{};
    error = write(*document, params);
    if (error == kNoErr) {
        error = ErrorFromStatus(found->setDictionary(kParamsKey, std::move(params)));
    }
    return error;
}

AIErr SetArrowheadOptions(AIDictionaryRef strokeParams, AIPatternHandle beginSymbol,
                          AIPatternHandle endSymbol, AIReal beginScale, AIReal endScale,
                          ai::int32 placement) {
    return WriteStrokeParams(
        "SetArrowheadOptions", strokeParams, [&](const model::Document& document, model::Dictionary& params) {
            const auto symbol = [&](const char* key, AIPatternHandle handle) {
                const model::Symbol* found =
                    handle != nullptr ? document.symbols().find(SymbolIdOf(handle)) : nullptr;
                if (handle != nullptr && found == nullptr) {
                    return false;
                }
                if (found != nullptr) {
                    params.setString(key, found->name);
                } else {
                    params.erase(key);
                }
                return true;
            };
            const bool finite = (beginScale == kAIRealUnknown || std::isfinite(beginScale)) &&
                                (endScale == kAIRealUnknown || std::isfinite(endScale));
            if (!finite || placement < -1 || placement > kArrowTruncationPointAtEnd ||
                !symbol("ArrowheadStart", beginSymbol) || !symbol("ArrowheadEnd", endSymbol)) {
                return kBadParameterErr;
            }
            if (beginScale != kAIRealUnknown) {
                params.setReal("ArrowheadStartScale", beginScale);
            }
            if (endScale != kAIRealUnknown) {
                params.setReal("ArrowheadEndScale", endScale);
            }
            if (placement != -1) {
                params.setInteger("ArrowheadPlacement", placement);
            }
            return kNoErr;
        });
}

AIErr SetDashAdjustment(AIDictionaryRef strokeParams, AIBoolean adjust) {
    return WriteStrokeParams("SetDashAdjustment", strokeParams,
                             [&](const model::Document&, model::Dictionary& params) {
                                 params.setBoolean("DashAdjust", adjust != 0);
                                 return kNoErr;
                             });
}

// --- Paths ----------------------------------------------------------------------------------------

constexpr const char* kPathSuite = kAIPathSuite;

template <typename Access>
AIErr PathFlag(const char* operation, AIArtHandle art, Access access) {
    auto [state, document, error] = StartDocumentOperation(kPathSuite, operation);
    // Only a setter takes the path to edit, so that reading a flag records no change.
    constexpr bool kReads = std::is_invocable_v<Access, const model::PathContent&>;
    const auto find = [&, document = document] {
        if constexpr (kReads) {
            return document->contentAs<model::PathContent>(ArtIdOf(art));
        } else {
            return document->editContent<model::PathContent>(ArtIdOf(art));
        }
    };
    const auto path = error == kNoErr ? find() : nullptr;
    error = OutputError(error, path);
    if (error == kNoErr) {
        error = access(*path);
    }
    return error;
}

AIErr GetPathClosed(AIArtHandle art, AIBoolean* closed) {
    return PathFlag("GetPathClosed", art, [&](const model::PathContent& path) {
        return closed == nullptr ? kBadParameterErr : (*closed = path.geometry.closed, kNoErr);
    });
}

AIErr SetPathClosed(AIArtHandle art, AIBoolean closed) {
    const AIErr error = PathFlag("SetPathClosed", art, [&](model::PathContent& path) {
        path.geometry.closed = closed != 0;
        return kNoErr;
    });
    if (HostState* state = CurrentState()) {
        state->journal.Record("SetPathClosed",
                              {ArtLabel(state->documents.current.get(), art), closed ? "1" : "0"}, error);
    }
    return error;
}

AIErr GetPathGuide(AIArtHandle art, AIBoolean* isGuide) {
    return PathFlag("GetPathGuide", art, [&](const model::PathContent& path) {
        return isGuide == nullptr ? kBadParameterErr : (*isGuide = path.guide, kNoErr);
    });
}

AIErr SetPathGuide(AIArtHandle art, AIBoolean isGuide) {
    const AIErr error = PathFlag("SetPathGuide", art, [&](model::PathContent& path) {
        path.guide = isGuide != 0;
        return kNoErr;
    });
    if (HostState* state = CurrentState()) {
        state->journal.Record("SetPathGuide",
                              {ArtLabel(state->documents.current.get(), art), isGuide ? "1" : "0"}, error);
    }
    return error;
}

}  // namespace

AIEntrySuite gEntrySuite = {.Release = ::host::GuardedCount<"Release", ReleaseEntry>,
                            PLIM_SUITE_FUNCTION(GetType),
                            PLIM_SUITE_FUNCTION(ToInteger),
                            PLIM_SUITE_FUNCTION(ToBoolean),
                            PLIM_SUITE_FUNCTION(ToReal),
                            PLIM_SUITE_FUNCTION(ToString),
                            PLIM_SUITE_FUNCTION(ToFillStyle),
                            PLIM_SUITE_FUNCTION(ToStrokeStyle),
                            PLIM_SUITE_FUNCTION(FromInteger),
                            PLIM_SUITE_FUNCTION(FromString),
                            PLIM_SUITE_FUNCTION(FromArray),
                            PLIM_SUITE_FUNCTION(ToArray)};

AIArraySuite gArraySuite = {PLIM_SUITE_FUNCTION(CreateArray),
                            .AddRef = ::host::GuardedCount<"AddRef", AddRefArray>,
                            .Release = ::host::GuardedCount<"Release", ReleaseArray>,
                            PLIM_SUITE_COUNT(Size),
                            PLIM_SUITE_FUNCTION(Get),
                            PLIM_SUITE_FUNCTION(AppendEntry)};

AIDictionaryIteratorSuite gDictionaryIteratorSuite = {
    PLIM_SUITE_FUNCTION(Begin),  .Release = ::host::GuardedCount<"Release", ReleaseIterator>,
    PLIM_SUITE_FUNCTION(AtEnd),  PLIM_SUITE_FUNCTION(Next),
    PLIM_SUITE_FUNCTION(GetKey), PLIM_SUITE_FUNCTION(GetEntry)};

AILiveEffectSuite gLiveEffectSuite = {PLIM_SUITE_FUNCTION(GetLiveEffectNameAndVersion),
                                      PLIM_SUITE_FUNCTION(GetLiveEffectByName)};

AIBeautifulStrokesSuite gBeautifulStrokesSuite = {
    PLIM_SUITE_FUNCTION(GetParams), PLIM_SUITE_FUNCTION(GetArrowheadOptions),
    PLIM_SUITE_FUNCTION(GetDashAdjustment), PLIM_SUITE_FUNCTION(SetArrowheadOptions),
    PLIM_SUITE_FUNCTION(SetDashAdjustment)};

AIPathSuite gPathSuite = {PLIM_SUITE_FUNCTION(GetPathClosed), PLIM_SUITE_FUNCTION(SetPathClosed),
                          PLIM_SUITE_FUNCTION(GetPathGuide), PLIM_SUITE_FUNCTION(SetPathGuide)};

}  // namespace host

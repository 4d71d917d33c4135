// The preference suite over the application's preference store (host/Preferences.h). Every read
// and write is recorded in the journal, with the prefix ("" for the application's own) and name.
#include <string>

#include "AIPreference.h"
#include "HostState.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIPreferenceSuite;

std::string PrefixText(const char* prefix) {
    return prefix != nullptr ? prefix : "";
}

void Record(HostState* state, const char* operation, const char* prefix, const char* name, AIErr error,
            std::string value = {}) {
    if (state == nullptr) {
        return;
    }
    std::vector<std::string> arguments{PrefixText(prefix), name != nullptr ? name : "null"};
    if (!value.empty()) {
        arguments.push_back(std::move(value));
    }
    state->journal.Record(operation, std::move(arguments), error);
}

// The stored value as an integer (a boolean is 0 or 1); none when the preference is not set.
std::optional<ai::int32> AsInteger(const PreferenceStore::Value& value) {
    if (const bool* flag = std::get_if<bool>(&value)) {
        return *flag ? 1 : 0;
    }
    return std::get<ai::int32>(value);
}

template <typename Out, typename Convert>
AIErr Get(const char* operation, const char* prefix, const char* name, Out* out, Convert convert) {
    auto [state, error] = StartOperation(kSuite, operation);
    if (error == kNoErr && (name == nullptr || out == nullptr)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        const std::optional<PreferenceStore::Value> value = state->preferences.Get(PrefixText(prefix), name);
        if (value) {
            *out = convert(*value);
        } else {
            error = kBadParameterErr;
        }
    }
    Record(state, operation, prefix, name, error);
    return error;
}

AIErr Put(const char* operation, const char* prefix, const char* name, PreferenceStore::Value value,
          const std::string& text) {
    auto [state, error] = StartOperation(kSuite, operation);
    error = OutputError(error, name);
    if (error == kNoErr) {
        state->preferences.Set(PrefixText(prefix), name, value);
    }
    Record(state, operation, prefix, name, error, text);
    return error;
}

AIErr GetBooleanPreference(const char* prefix, const char* name, AIBoolean* value) {
    return Get("GetBooleanPreference", prefix, name, value,
               [](const PreferenceStore::Value& stored) -> AIBoolean { return *AsInteger(stored) != 0; });
}

AIErr PutBooleanPreference(const char* prefix, const char* name, AIBoolean value) {
    return Put("PutBooleanPreference", prefix, name, value != 0, value != 0 ? "true" : "false");
}

AIErr GetIntegerPreference(const char* prefix, const char* name, ai::int32* value) {
    return Get("GetIntegerPreference", prefix, name, value,
               [](const PreferenceStore::Value& stored) { return *AsInteger(stored); });
}

AIErr PutIntegerPreference(const char* prefix, const char* name, ai::int32 value) {
    return Put("PutIntegerPreference", prefix, name, value, std::to_string(value));
}

AIErr IsSet(const char* prefix, const char* name, AIBoolean* isSet) {
    auto [state, error] = StartOperation(kSuite, "IsSet");
    if (error == kNoErr && (name == nullptr || isSet == nullptr)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        *isSet = state->preferences.Get(PrefixText(prefix), name).has_value();
    }
    Record(state, "IsSet", prefix, name, error);
    return error;
}

}  // namespace

AIPreferenceSuite gPreferenceSuite = {
    PLIM_SUITE_FUNCTION(GetBooleanPreference),
    PLIM_SUITE_FUNCTION(PutBooleanPreference),
    PLIM_SUITE_FUNCTION(GetIntegerPreference),
    PLIM_SUITE_FUNCTION(PutIntegerPreference),
    PLIM_SUITE_FUNCTION(IsSet),
};

}  // namespace host

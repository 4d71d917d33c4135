#include "core/Preferences.h"

#include "AIPreference.h"
#include "core/Suites.h"

namespace {

const char* PrefixArgument(const std::string& prefix) {
    return prefix.empty() ? nullptr : prefix.c_str();
}

// Whether the host holds the preference; false when it doesn't or can't tell.
bool IsPreferenceSet(const std::string& prefix, const std::string& name) {
    AIBoolean isSet = false;
    return sAIPreference != nullptr &&
           sAIPreference->IsSet(PrefixArgument(prefix), name.c_str(), &isSet) == kNoErr && isSet;
}

}  // namespace

bool ReadPluginPrefBool(const std::string& prefix, const std::string& name, bool& out) {
    if (!IsPreferenceSet(prefix, name)) {
        return false;
    }
    AIBoolean value = false;
    if (sAIPreference->GetBooleanPreference(PrefixArgument(prefix), name.c_str(), &value) != kNoErr) {
        return false;
    }
    out = value != 0;
    return true;
}

bool ReadPluginPrefInt(const std::string& prefix, const std::string& name, int& out) {
    if (!IsPreferenceSet(prefix, name)) {
        return false;
    }
    ai::int32 value = 0;
    if (sAIPreference->GetIntegerPreference(PrefixArgument(prefix), name.c_str(), &value) != kNoErr) {
        return false;
    }
    out = value;
    return true;
}

bool WritePluginPrefInt(const std::string& prefix, const std::string& name, int value) {
    if (!IsPreferenceSet(prefix, name)) {
        return false;
    }
    return sAIPreference->PutIntegerPreference(PrefixArgument(prefix), name.c_str(), value) == kNoErr;
}

bool WritePluginPrefBool(const std::string& prefix, const std::string& name, bool value) {
    if (!IsPreferenceSet(prefix, name)) {
        return false;
    }
    return sAIPreference->PutBooleanPreference(PrefixArgument(prefix), name.c_str(), value) == kNoErr;
}

PreferenceMap ReadHostOptionsBool(const std::set<std::string>& names) {
    PreferenceMap values;
    for (const std::string& name : names) {
        bool value = false;
        if (ReadPluginPrefBool({}, name, value)) {
            values[name] = value;
        }
    }
    return values;
}

bool WriteHostOptionsBool(const PreferenceMap& values) {
    bool anyWritten = false;
    for (const auto& [name, value] : values) {
        anyWritten = WritePluginPrefBool({}, name, value) || anyWritten;
    }
    return anyWritten;
}

PreferenceMap ReplaceExistingHostOptionsBool(const PreferenceMap& wanted) {
    std::set<std::string> names;
    for (const auto& entry : wanted) {
        names.insert(entry.first);
    }
    const PreferenceMap previous = ReadHostOptionsBool(names);
    PreferenceMap replacing;
    for (const auto& entry : previous) {
        replacing[entry.first] = wanted.at(entry.first);
    }
    WriteHostOptionsBool(replacing);
    return previous;
}

const PreferenceMap& OpenNoWarningsOptions() {
    static const PreferenceMap options{
        {"DontShowMissingFontDialogPreference", true},
        {"warning/colorConversion", false},
        {"warning/fontProblem", false},
        {"warning/liveTrace", false},
        {"warning/legacyTextConversion", false},
    };
    return options;
}

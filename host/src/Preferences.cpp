#include "host/Preferences.h"

namespace host {

namespace {

// Preferences form one tree: a prefix and a name address the entry at "prefix/name", so that
// ("warning", "fontProblem") and ("", "warning/fontProblem") are the same entry.
std::string KeyOf(std::string_view prefix, std::string_view name) {
    std::string key(prefix);
    if (!key.empty()) {
        key += '/';
    }
    key += name;
    return key;
}

}  // namespace

PreferenceStore::PreferenceStore() {
    Set("", "includeStrokeInBounds", false);
    Set("", "policyForPreservingCorners", ai::int32{2});
    // The warnings a document may raise while it opens, and whether a missing font goes unreported.
    Set("", "DontShowMissingFontDialogPreference", false);
    for (const char* warning : {"colorConversion", "fontProblem", "liveTrace", "legacyTextConversion"}) {
        Set("warning", warning, true);
    }
}

std::optional<PreferenceStore::Value> PreferenceStore::Get(std::string_view prefix,
                                                           std::string_view name) const {
    const auto found = fValues.find(KeyOf(prefix, name));
    if (found == fValues.end()) {
        return std::nullopt;
    }
    return found->second;
}

void PreferenceStore::Set(std::string_view prefix, std::string_view name, Value value) {
    fValues[KeyOf(prefix, name)] = value;
}

bool PreferenceStore::Remove(std::string_view prefix, std::string_view name) {
    return fValues.erase(KeyOf(prefix, name)) != 0;
}

}  // namespace host

#include "host/Preferences.h"

namespace host {

PreferenceStore::PreferenceStore() {
    Set("", "includeStrokeInBounds", false);
    Set("", "policyForPreservingCorners", ai::int32{2});
}

std::optional<PreferenceStore::Value> PreferenceStore::Get(std::string_view prefix,
                                                           std::string_view name) const {
    const auto found = fValues.find(std::pair{std::string(prefix), std::string(name)});
    if (found == fValues.end()) {
        return std::nullopt;
    }
    return found->second;
}

void PreferenceStore::Set(std::string_view prefix, std::string_view name, Value value) {
    fValues[std::pair{std::string(prefix), std::string(name)}] = value;
}

bool PreferenceStore::Remove(std::string_view prefix, std::string_view name) {
    return fValues.erase(std::pair{std::string(prefix), std::string(name)}) != 0;
}

}  // namespace host

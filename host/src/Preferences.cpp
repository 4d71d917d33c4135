#include "host/Preferences.h"

#include <algorithm>

#include "render/PictureProcess.h"

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

constexpr std::string_view kPictureTimeLimit = "pictureTimeLimit";
constexpr std::string_view kPictureMemoryLimit = "pictureMemoryLimit";
constexpr ai::int32 kDefaultPictureSeconds = 3;
constexpr ai::int32 kDefaultPictureMiB = 1024;

}  // namespace

PreferenceStore::PreferenceStore() {
    Set("", "includeStrokeInBounds", false);
    Set("", "policyForPreservingCorners", ai::int32{2});
    // The warnings a document may raise while it opens, and whether a missing font goes unreported.
    Set("", "DontShowMissingFontDialogPreference", false);
    for (const char* warning : {"colorConversion", "fontProblem", "liveTrace", "legacyTextConversion"}) {
        Set("warning", warning, true);
    }
    // Readable from the start; the bound itself is the program's until they are set.
    fValues[std::string(kPictureTimeLimit)] = kDefaultPictureSeconds;
    fValues[std::string(kPictureMemoryLimit)] = kDefaultPictureMiB;
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
    const std::string key = KeyOf(prefix, name);
    fValues[key] = value;
    if (key == kPictureTimeLimit || key == kPictureMemoryLimit) {
        ApplyPictureLimits();
    }
}

void PreferenceStore::ApplyPictureLimits() const {
    const auto integer = [this](std::string_view key, ai::int32 fallback) {
        const auto found = fValues.find(key);
        if (found == fValues.end()) {
            return fallback;
        }
        if (std::holds_alternative<bool>(found->second)) {
            return ai::int32{1};
        }
        return std::get<ai::int32>(found->second);
    };
    SetPictureLimits(static_cast<unsigned>(
                         std::clamp<ai::int32>(integer(kPictureTimeLimit, kDefaultPictureSeconds), 1, 3600)),
                     static_cast<std::size_t>(std::clamp<ai::int32>(
                         integer(kPictureMemoryLimit, kDefaultPictureMiB), 64, 1 << 20)));
}

bool PreferenceStore::Remove(std::string_view prefix, std::string_view name) {
    return fValues.erase(KeyOf(prefix, name)) != 0;
}

}  // namespace host

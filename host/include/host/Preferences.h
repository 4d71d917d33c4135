// PreferenceStore: the application's preferences, which the preference suite reads and writes.
//
// A preference is named by a prefix and a name; the empty prefix holds the application's own.
// Preferences form one tree: the prefix "warning" with the name "fontProblem" is the entry
// "warning/fontProblem" of the empty prefix. The application starts with these:
//
//     | name                                  | type    | default | meaning                          |
//     | "includeStrokeInBounds"               | boolean | false   | measure art with its strokes     |
//     | "policyForPreservingCorners"          | integer | 2       | 1: scale rounded corners, 2: keep|
//     | "DontShowMissingFontDialogPreference" | boolean | false   | open without naming missing fonts|
//     | "warning/colorConversion"             | boolean | true    | warn while opening a document:   |
//     | "warning/fontProblem"                 | boolean | true    |   colour conversion, font        |
//     | "warning/liveTrace"                   | boolean | true    |   problems, live trace, legacy   |
//     | "warning/legacyTextConversion"        | boolean | true    |   text conversion                |
//     | "pictureTimeLimit"                    | integer | 3       | the base of a picture's bound:   |
//     | "pictureMemoryLimit"                  | integer | 1024    |   CPU seconds, MiB of memory     |
//
// The two limits of a picture take effect as they are set (PictureProcess.h): seconds of CPU time
// for the picture's art before it grows with what the picture holds (as many again for its placed
// files, twice as many of wall-clock time), 1 to 3600, and MiB of memory beyond its surface, 64 to
// 1,048,576; a value outside is taken as the nearest end, a boolean as 1.
//
// Tests change them (Set) and see what a plug-in did (Get, and the journal's entries of the suite).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "SPTypes.h"

namespace host {

class PreferenceStore {
public:
    using Value = std::variant<bool, ai::int32>;

    // The application's defaults.
    PreferenceStore();

    std::optional<Value> Get(std::string_view prefix, std::string_view name) const;
    void Set(std::string_view prefix, std::string_view name, Value value);
    // False when there was nothing to remove.
    bool Remove(std::string_view prefix, std::string_view name);

private:
    // The bound of every picture from the two limits set.
    void ApplyPictureLimits() const;

    std::map<std::string, Value, std::less<>> fValues;  // by "prefix/name"
};

}  // namespace host

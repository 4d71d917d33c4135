// PreferenceStore: the application's preferences, which the preference suite reads and writes.
//
// A preference is named by a prefix and a name; the empty prefix holds the application's own. The
// application starts with its own two that commands read:
//
//     | name                         | type    | default | meaning                                   |
//     | "includeStrokeInBounds"      | boolean | false   | measure art with its strokes              |
//     | "policyForPreservingCorners" | integer | 2       | 1: scale rounded corners, 2: keep them    |
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
    std::map<std::pair<std::string, std::string>, Value, std::less<>> fValues;
};

}  // namespace host

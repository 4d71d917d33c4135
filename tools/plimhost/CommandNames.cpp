// The plug-in's command names and the nearest of them to a name that is none.
#include "CommandNames.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace plimhost {
namespace {

constexpr bool kScript = true;
constexpr bool kPanel = true;
constexpr bool kNo = false;

// clang-format off
constexpr std::array kNames = {
    CommandName{"panelready", kNo, kPanel},
    CommandName{"setTags", kScript, kPanel},
    CommandName{"getTags", kScript, kPanel},
    CommandName{"tagNotify", kScript, kPanel},
    CommandName{"tagNotifyOn", kScript, kPanel},
    CommandName{"tagNotifyOff", kScript, kPanel},
    CommandName{"getAllTags", kScript, kPanel},
    CommandName{"getByTags", kScript, kPanel},
    CommandName{"selectByTags", kScript, kPanel},
    CommandName{"validateTagSearches", kScript, kPanel},
    CommandName{"removeTags", kScript, kPanel},
    CommandName{"removeTagsSelected", kScript, kPanel},
    CommandName{"rotate", kScript, kPanel},
    CommandName{"translate", kScript, kPanel},
    CommandName{"transform", kScript, kPanel},
    CommandName{"duplicate", kScript, kPanel},
    CommandName{"z-order", kScript, kPanel},
    CommandName{"startContext", kScript, kPanel},
    CommandName{"undoChanges", kScript, kPanel},
    CommandName{"listUndoPoints", kScript, kPanel},
    CommandName{"place", kScript, kPanel},
    CommandName{"testTokens", kNo, kPanel},
    CommandName{"tagsToName", kScript, kPanel},
    CommandName{"nameToTags", kScript, kPanel},
    CommandName{"getGraphicStyle", kScript, kPanel},
    CommandName{"editGraphicStyle", kScript, kPanel},
    CommandName{"createGraphicStyle", kScript, kPanel},
    CommandName{"makeSwatch", kScript, kPanel},
    CommandName{"reduceToBasicAppearance", kScript, kPanel},
    CommandName{"copyToDictionary", kScript, kPanel},
    CommandName{"restoreFromDictionary", kScript, kPanel},
    CommandName{"getTextStyle", kScript, kPanel},
    CommandName{"text", kScript, kPanel},
    CommandName{"editTextStyle", kScript, kPanel},
    CommandName{"checkTextOverset", kScript, kPanel},
    CommandName{"getFontList", kScript, kPanel},
    CommandName{"remove", kScript, kPanel},
    CommandName{"revert", kScript, kPanel},
    CommandName{"arrange", kScript, kPanel},
    CommandName{"version", kScript, kPanel},
    CommandName{"outlineText", kScript, kPanel},
    CommandName{"getObjectAttributes", kScript, kPanel},
    CommandName{"setObjectAttributes", kScript, kPanel},
    CommandName{"setDocumentColorMode", kScript, kPanel},
    CommandName{"getDocumentUnits", kScript, kPanel},
    CommandName{"openFile", kScript, kPanel},
    CommandName{"saveFile", kScript, kPanel},
    CommandName{"closeDocument", kScript, kPanel},
    CommandName{"exportFile", kScript, kPanel},
    CommandName{"openCloudFile", kScript, kPanel},
    CommandName{"saveCloudFile", kScript, kPanel},
    CommandName{"copyFile", kScript, kPanel},
    CommandName{"groupObjects", kScript, kPanel},
    CommandName{"ungroupObjects", kScript, kPanel},
    CommandName{"makeCompoundPath", kScript, kPanel},
    CommandName{"releaseCompoundPath", kScript, kPanel},
    CommandName{"makeClipGroup", kScript, kPanel},
    CommandName{"releaseClipGroup", kScript, kPanel},
    CommandName{"expand", kScript, kPanel},
    CommandName{"editLayer", kScript, kPanel},
    CommandName{"editArtboards", kScript, kPanel},
    CommandName{"fitArtboardToBounds", kScript, kPanel},
    CommandName{"alignObjects", kScript, kPanel},
    CommandName{"distributeObjects", kScript, kPanel},
    CommandName{"pathfinder", kScript, kPanel},
    CommandName{"cleanDocument", kScript, kPanel},
    CommandName{"mergeSwatches", kScript, kPanel},
    CommandName{"rasterize", kScript, kPanel},
    CommandName{"counters", kScript, kPanel},
    CommandName{"batchCall", kScript, kPanel},
    CommandName{"comment", kScript, kPanel},
    CommandName{"applyPaint", kNo, kPanel},
    CommandName{"getSymbolList", kNo, kPanel},
    CommandName{"getArtStyleList", kNo, kPanel},
};
// clang-format on

constexpr std::size_t kMostSuggested = 3;

char Lower(char character) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
}

// Levenshtein's distance with letter case ignored: insertions, deletions and substitutions.
std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j < row.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const std::size_t substitution = diagonal + (Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1);
            row[j] = std::min({above + 1, row[j - 1] + 1, substitution});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// A slip changes a few letters; more than a third of the name (at least two) is another word.
std::size_t FarthestSlip(std::string_view name) {
    return std::max<std::size_t>(2, name.size() / 3);
}

// How far the name is from the command's: its edit distance, or 1 when it is the start of the
// command's name (three letters or more), as a name cut short ("ungroup" for "ungroupObjects").
// The edit distance is at least the difference of the lengths: past `farthest` the names are not
// compared, so that a long name costs no more than a short one (any answer above `farthest` is
// as good as another).
std::size_t Distance(std::string_view name, std::string_view command, std::size_t farthest) {
    const bool start = name.size() >= 3 && name.size() < command.size() &&
                       std::equal(name.begin(), name.end(), command.begin(),
                                  [](char a, char b) { return Lower(a) == Lower(b); });
    if (start) {
        return 1;
    }
    const std::size_t lengths =
        name.size() > command.size() ? name.size() - command.size() : command.size() - name.size();
    return lengths > farthest ? farthest + 1 : EditDistance(name, command);
}

}  // namespace

std::span<const CommandName> CommandNames() {
    return kNames;
}

const CommandName* FindCommandName(std::string_view name) {
    const auto found = std::find_if(kNames.begin(), kNames.end(),
                                    [name](const CommandName& command) { return command.name == name; });
    return found == kNames.end() ? nullptr : &*found;
}

std::vector<std::string> NearestCommandNames(std::string_view name, bool panel) {
    const std::size_t farthest = FarthestSlip(name);
    std::size_t nearest = farthest;
    std::vector<std::string> names;
    for (const CommandName& command : kNames) {
        if (!(panel ? command.byPanel : command.byScript)) {
            continue;
        }
        const std::size_t distance = Distance(name, command.name, farthest);
        if (distance < nearest) {
            nearest = distance;
            names.clear();
        }
        // Equally near names keep the table's order.
        if (distance == nearest && names.size() < kMostSuggested) {
            names.emplace_back(command.name);
        }
    }
    return names;
}

}  // namespace plimhost

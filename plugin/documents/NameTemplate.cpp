#include "documents/NameTemplate.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/Counters.h"
#include "core/Json.h"
#include "core/TextHelpers.h"
#include "documents/TimeTokens.h"

namespace {

constexpr std::array<std::string_view, 3> kTimeCommands = {"time_stamp", "date", "time"};

bool IsTimeCommand(const std::string& command) {
    return std::find(kTimeCommands.begin(), kTimeCommands.end(), command) != kTimeCommands.end();
}

// The parts of a template: an array's elements, a single text, an object's values in key order.
json TemplateParts(const json& value) {
    if (value.is_array()) {
        return value;
    }
    json parts = json::array();
    if (value.is_string()) {
        parts.push_back(value);
    } else if (value.is_object()) {
        for (const auto& [key, part] : value.items()) {
            parts.push_back(part);
        }
    }
    return parts;
}

std::string CallOrEmpty(const std::function<std::string()>& source) {
    return source ? source() : std::string();
}

// "artboardNumber" + 1, left-filled with "0"; empty when the job has no artboard.
std::string JsonToArtboardNumber(const json& part, const json& job) {
    if (!HasKey(job, "artboardNumber")) {
        return {};
    }
    const int number = ReadIntegerStrictly(job, "artboardNumber", -1);
    if (number < 0) {
        return {};
    }
    const int width = std::clamp(ReadIntegerStrictly(part, "artboardNumberLength", 0), 0, kMaxCounterPadding);
    std::string digits = std::to_string(static_cast<long long>(number) + 1);
    if (digits.size() < static_cast<std::size_t>(width)) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    }
    return digits;
}

std::string JsonToArtboardSizeProperty(const json& part, const json& job, bool height,
                                       const NameSources& sources) {
    const std::string unit = ReadTextStrictly(part, "unit", "current");
    const int decimals = ReadIntegerStrictly(part, "decimalPlaces", -1);
    if (!HasKey(job, "artboardNumber") || !sources.artboardSize) {
        return {};
    }
    const int number = ReadIntegerStrictly(job, "artboardNumber", -1);
    return number < 0 ? std::string() : sources.artboardSize(number, height, unit, decimals);
}

std::string JsonToArtSizeProperty(const json& part, const json& job, bool height,
                                  const NameSources& sources) {
    std::string bounds;
    std::string unit = "current";
    int decimals = -1;
    ReadJsonValue(part, "bounds", bounds);
    ReadJsonValue(part, "unit", unit);
    ReadJsonValue(part, "decimalPlaces", decimals);
    return sources.artSize ? sources.artSize(job, height, bounds == "visible", unit, decimals)
                           : std::string();
}

std::string JsonToResolution(const json& part, const json& job, const NameSources& sources) {
    const std::string unit = ReadTextStrictly(part, "unit", "inches");
    const int decimals = ReadIntegerStrictly(part, "decimalPlaces", 0);
    double resolution = ReadNumberLeniently(job, "resolution", 72.0);
    if (!(resolution > 0.0)) {
        resolution = 72.0;
    }
    return sources.resolution ? sources.resolution(resolution, unit, decimals) : std::string();
}

std::string JsonToArtboardName(const json& job) {
    return SanitizeArtboardName(ReadTextStrictly(job, "artboardName"));
}

std::string JsonToFileFormat(const json& job) {
    return ReadTextStrictly(job, "fileFormat");
}

std::string ResolveCommand(const json& part, const json& job, const NameSources& sources) {
    const std::string command = ReadTextStrictly(part, "command");
    if (command == "artboard_name") {
        return CaseDelimeters(JsonToArtboardName(job), part);
    }
    if (command == "artboard_number") {
        return JsonToArtboardNumber(part, job);
    }
    if (command == "artboard_width" || command == "artboard_height") {
        return JsonToArtboardSizeProperty(part, job, command == "artboard_height", sources);
    }
    if (command == "art_width" || command == "art_height") {
        return JsonToArtSizeProperty(part, job, command == "art_height", sources);
    }
    if (command == "resolution") {
        return JsonToResolution(part, job, sources);
    }
    if (command == "ruler_unit") {
        return CaseDelimeters(CallOrEmpty(sources.rulerUnit), part);
    }
    if (command == "color_space") {
        return CaseDelimeters(CallOrEmpty(sources.colorSpace), part);
    }
    if (command == "user_name") {
        return CaseDelimeters(CallOrEmpty(sources.userName), part);
    }
    if (command == "computer_name") {
        return CaseDelimeters(CallOrEmpty(sources.computerName), part);
    }
    if (command == "counter") {
        return sources.counters != nullptr ? JsonToCounter(part, job, *sources.counters) : std::string();
    }
    if (command == "file_format") {
        return CaseDelimeters(JsonToFileFormat(job), part);
    }
    return {};
}

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The counter a part with "overrides" names: an existing one edited, or a new one added.
std::size_t CounterFromOverrides(const json& overrides, Counters& counters) {
    if (!overrides.is_object() || !HasKey(overrides, "name")) {
        return Counters::kNotFound;
    }
    const std::string name = ReadTextStrictly(overrides, "name");
    if (counters.Find(name) != Counters::kNotFound) {
        return counters.Edit(overrides) ? counters.Find(name) : Counters::kNotFound;
    }
    return counters.Add(overrides) ? counters.Find(name) : Counters::kNotFound;
}

}  // namespace

std::string JsonToCounter(const json& part, const json& job, Counters& counters) {
    const json* overrides = FindKey(part, "overrides");
    std::size_t found = Counters::kNotFound;
    std::string name;
    if (ReadJsonValue(part, "name", name)) {
        found = counters.Find(name);
        if (found != Counters::kNotFound && overrides != nullptr) {
            counters.At(found).AddToCounter(*overrides);
        }
    } else if (overrides != nullptr) {
        found = CounterFromOverrides(*overrides, counters);
    }
    if (found == Counters::kNotFound) {
        return {};
    }
    Counter copy = counters.All()[found];
    if (const json* plus = FindKey(part, "plus"); plus != nullptr) {
        if (plus->is_number()) {
            int by = 0;
            ReadJsonValue(part, "plus", by);
            copy.count = WrappingAdd(copy.count, by);
        } else if (plus->is_string() && plus->get<std::string>() == "artboards") {
            int artboards = 0;
            ReadJsonValue(job, "documentArtboardsQuantity", artboards);
            copy.count = WrappingAdd(copy.count, artboards);
        }
    }
    int padding = -1;
    if (ReadJsonValue(part, "padding", padding) && padding >= 0) {
        copy.padding = padding;
    }
    return copy.Pad();
}

std::vector<ResolvedPart> ResolveNameParts(const json& job, const std::string& key,
                                           const NameSources& sources) {
    std::vector<ResolvedPart> resolved;
    const json* value = FindKey(job, key);
    if (value == nullptr) {
        return resolved;
    }
    for (const json& part : TemplateParts(*value)) {
        if (part.is_string()) {
            resolved.push_back({part, false});
            continue;
        }
        if (!part.is_object() || !part.contains("command")) {
            continue;
        }
        std::string text = ResolveCommand(part, job, sources);
        if (text.empty()) {
            resolved.push_back({part, false});
        } else {
            resolved.push_back({std::move(text), true});
        }
    }
    return resolved;
}

void ConfineNameParts(std::vector<ResolvedPart>& parts, bool folder) {
    // The texts joined, each byte marked with whether a command gave it. Parts still to be
    // resolved (the time parts) count as giving nothing: a component they would split is judged
    // as if it were whole.
    std::string text;
    std::vector<bool> fromCommand;
    for (const ResolvedPart& part : parts) {
        if (part.value.is_string()) {
            const std::string& piece = part.value.get_ref<const std::string&>();
            text += piece;
            fromCommand.insert(fromCommand.end(), piece.size(), part.fromCommand);
        }
    }
    // "." and ".." components that a command's text helps to form lose their dots to "_", as "/"
    // in an artboard's name does, so that they stay names in the folder the request gave.
    bool changed = false;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find('/', start), text.size());
        const std::string_view component(text.data() + start, end - start);
        if (component == "." || component == "..") {
            for (std::size_t i = start; i < end; ++i) {
                if (fromCommand[i]) {
                    text[i] = '_';
                    changed = true;
                }
            }
        }
        start = end + 1;
    }
    // Nor can a command's text make the folder the home folder ("~" at its start).
    if (folder && !text.empty() && text.front() == '~' && fromCommand.front()) {
        text.front() = '_';
        changed = true;
    }
    if (!changed) {
        return;
    }
    std::size_t at = 0;
    for (ResolvedPart& part : parts) {
        if (part.value.is_string()) {
            const std::size_t size = part.value.get_ref<const std::string&>().size();
            part.value = text.substr(at, size);
            at += size;
        }
    }
}

json NamePartValues(std::vector<ResolvedPart> parts) {
    json values = json::array();
    for (ResolvedPart& part : parts) {
        values.push_back(std::move(part.value));
    }
    return values;
}

json JsonToNamePartArray(const json& job, const std::string& key, const NameSources& sources) {
    return NamePartValues(ResolveNameParts(job, key, sources));
}

std::string FilePathNameToString(const json& job, const std::string& key) {
    const json* parts = FindKey(job, key);
    if (parts == nullptr || !parts->is_array()) {
        return {};
    }
    std::string text;
    for (const json& part : *parts) {
        if (part.is_string()) {
            text += part.get<std::string>();
            continue;
        }
        std::string command;
        if (ReadJsonValue(part, "command", command) && IsTimeCommand(command)) {
            text += JsonToTimeStr(part);
        }
    }
    return text;
}

bool ArtboardNameNumberCommandPresent(const json& job, const std::string& key) {
    const json* value = FindKey(job, key);
    if (value == nullptr) {
        return false;
    }
    for (const json& part : TemplateParts(*value)) {
        std::string command;
        if (ReadJsonValue(part, "command", command) &&
            (command == "artboard_name" || command == "artboard_number")) {
            return true;
        }
    }
    return false;
}

std::string SanitizeArtboardName(std::string name) {
    std::replace(name.begin(), name.end(), '/', '_');
    std::replace(name.begin(), name.end(), '\0', '_');
    return name;
}

std::string ToUpper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

std::string ToTitle(std::string text) {
    bool inWord = false;
    for (char& c : text) {
        if (!IsAsciiLetter(c)) {
            inWord = false;
            continue;
        }
        const bool upper = c >= 'A' && c <= 'Z';
        if (!inWord && !upper) {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (inWord && upper) {
            c = static_cast<char>(c - 'A' + 'a');
        }
        inWord = true;
    }
    return text;
}

std::string ChangeCase(const std::string& text, const std::string& casing) {
    const std::string lowered = AsciiLowerCase(casing);
    if (lowered == "lower") {
        return AsciiLowerCase(text);
    }
    if (lowered == "upper") {
        return ToUpper(text);
    }
    if (lowered == "title") {
        return ToTitle(text);
    }
    return text;
}

std::string ReplaceDelimiters(const std::string& text, const std::string& delimiters,
                              const std::string& replacement) {
    if (text.empty() || delimiters.empty() || replacement.empty()) {
        return text;
    }
    std::string replaced;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t length =
            std::min(Utf8CharacterLength(static_cast<unsigned char>(text[at])), text.size() - at);
        const std::string_view character(text.data() + at, length);
        bool delimiter = false;
        for (std::size_t d = 0; d < delimiters.size() && !delimiter;) {
            const std::size_t dLength = std::min(
                Utf8CharacterLength(static_cast<unsigned char>(delimiters[d])), delimiters.size() - d);
            delimiter = std::string_view(delimiters.data() + d, dLength) == character;
            d += dLength;
        }
        if (delimiter) {
            replaced += replacement;
        } else {
            replaced += character;
        }
        at += length;
    }
    return replaced;
}

std::string CaseDelimeters(const std::string& text, const json& part) {
    std::string casing;
    std::string delimiter;
    ReadJsonValue(part, "casing", casing);
    ReadJsonValue(part, "delimiter", delimiter);
    return ReplaceDelimiters(ChangeCase(text, casing), kNameDelimiters, delimiter);
}

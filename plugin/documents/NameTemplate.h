// Name templates: the JSON arrays of literal texts and command objects that name an export job's
// folder and file. A template is resolved against its job into an array of texts (and of command
// objects that resolved to nothing, the time parts among them); the array is turned into text when
// the job is written, so that time parts print the time of the job's own writing.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

class Counters;

// The seven delimiter characters of names: space, "-", "_", ";", "|", "¦" and ":".
inline constexpr const char* kNameDelimiters = " -_;|\xC2\xA6:";

// What template commands read outside the job: the document, the machine and the counters. A
// missing source resolves to empty text.
struct NameSources {
    // The width and height of an artboard (by 0-based index) as text in a unit with decimal places.
    std::function<std::string(int artboard, bool height, const std::string& unit, int decimals)> artboardSize;
    // The width or height of the job's art ("visible" bounds or geometric ones).
    std::function<std::string(const nlohmann::json& job, bool height, bool visible, const std::string& unit,
                              int decimals)>
        artSize;
    // Pixels per unit for a resolution in pixels per inch.
    std::function<std::string(double resolution, const std::string& unit, int decimals)> resolution;
    std::function<std::string()> rulerUnit;
    std::function<std::string()> colorSpace;
    std::function<std::string()> userName;
    std::function<std::string()> computerName;
    Counters* counters = nullptr;
};

// One resolved part of a template: a text, or a command part that resolved to nothing (kept as
// its JSON), and whether its text is a command's (the document's, the machine's, a counter's)
// rather than a literal of the request.
struct ResolvedPart {
    nlohmann::json value;
    bool fromCommand = false;
};

// The resolved parts of the template under the key; none when the job lacks it.
std::vector<ResolvedPart> ResolveNameParts(const nlohmann::json& job, const std::string& key,
                                           const NameSources& sources);
// Keeps the text of commands from leading out of the folder the request gave: in the parts
// joined, a path component "." or ".." that a command's text helps to form has the command's dots
// written "_" (an artboard named ".." gives "__"), and with `folder` a "~" that a command's text
// puts at the start (which would stand for the home folder) is written "_" too. Literal text is
// the request's own and stays.
void ConfineNameParts(std::vector<ResolvedPart>& parts, bool folder);
// The parts' values as a resolved array.
nlohmann::json NamePartValues(std::vector<ResolvedPart> parts);
// The resolved array of the template under the key; empty when the job lacks it.
nlohmann::json JsonToNamePartArray(const nlohmann::json& job, const std::string& key,
                                   const NameSources& sources);
// The text of a resolved array under the key: its texts, and the time of its time parts.
std::string FilePathNameToString(const nlohmann::json& job, const std::string& key);
// Whether the (unresolved) template under the key has an "artboard_name" or "artboard_number"
// part.
bool ArtboardNameNumberCommandPresent(const nlohmann::json& job, const std::string& key);

// An artboard's name made fit to stand in a file name: "/" and NUL become "_".
std::string SanitizeArtboardName(std::string name);
// "lower", "upper" or "title" (in any case); any other casing leaves the text.
std::string ChangeCase(const std::string& text, const std::string& casing);
std::string ToUpper(std::string text);
// The first letter of every run of letters upper-cased, the others lower-cased.
std::string ToTitle(std::string text);
// Every character of the text that is one of the delimiters becomes the replacement; unchanged
// when any of the three is empty.
std::string ReplaceDelimiters(const std::string& text, const std::string& delimiters,
                              const std::string& replacement);
// The part's "casing" and then its "delimiter" applied to the text.
std::string CaseDelimeters(const std::string& text, const nlohmann::json& part);
// The counter part's text: the named counter (created or changed by "overrides"), plus "plus",
// padded to "padding".
std::string JsonToCounter(const nlohmann::json& part, const nlohmann::json& job, Counters& counters);

// "makeSwatch" makes or changes a document swatch from a colour; "mergeSwatches" replaces every use
// of some swatches' colours by a target swatch's colour and deletes those swatches.
#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "AIColor.h"
#include "AICustomColor.h"
#include "AIPathStyle.h"
#include "AISwatchList.h"
#include "IAIUnicodeString.h"
#include "appearance/Colors.h"
#include "appearance/Swatches.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"

namespace {

constexpr const char* kNoInputColor = "Can't find an input color";
constexpr const char* kCantCreate = "Can't create a swatch";
// A swatch the document has already is edited by the channels given; a library is read only for a
// new swatch.
constexpr const char* kLibraryNotRead = "The document has this swatch already: the library was not read";

// The swatch's name: the colour's "swatchName", else the name of the swatch at "swatchNumber"
// (counted from 1), which is then written into the colour object.
std::string SwatchNameOf(const json& request, json& colour) {
    if (colour.contains("swatchName")) {
        return ReadNameStrictly(colour, "swatchName");
    }
    if (!request.contains("swatchNumber")) {
        return {};
    }
    // A value of another type fails the command naming the key; a number is truncated, and counted
    // from 1 the conversion is made only for numbers that can name a swatch.
    const double number = std::trunc(ReadNumberStrictly(request, "swatchNumber", 0.0));
    const std::string name = number >= 1 && number <= std::numeric_limits<int>::max()
                                 ? SwatchNumberToName(static_cast<int>(number) - 1)
                                 : std::string();
    if (!name.empty()) {
        colour["swatchName"] = name;
    }
    return name;
}

// Whether the named swatch now holds the colour an edit gave it. A colour of a process or Lab space
// is written into its swatch, which the host may refuse ("[None]" and "[Registration]" keep their
// colours); custom, gradient and pattern colours name their swatch without writing it.
bool SwatchHolds(const std::string& name, const PFieldColor& result, const AIColor& host) {
    if (result.colorSpace == "Custom" || result.colorSpace == "Gradient" || result.colorSpace == "Pattern") {
        return true;
    }
    AISwatchRef swatch = FindDocumentSwatch(name);
    AIColor held;
    return swatch != nullptr && sAISwatchList->GetAIColor(swatch, &held) == kNoErr &&
           sAIColor->IsEqual(&held, &host);
}

// A swatch's colour as the document holds it, with its custom colour's definition when it has one.
struct HeldColor {
    AIColor color;
    AICustomColor definition;
};

std::optional<HeldColor> ReadHeldColor(const std::string& name) {
    AISwatchRef swatch = FindDocumentSwatch(name);
    HeldColor held;
    if (swatch == nullptr || sAISwatchList->GetAIColor(swatch, &held.color) != kNoErr) {
        return std::nullopt;
    }
    if (held.color.kind == kCustomColor &&
        (sAICustomColor == nullptr ||
         sAICustomColor->GetCustomColor(held.color.c.c.color, &held.definition) != kNoErr)) {
        return std::nullopt;
    }
    return held;
}

// The values of a held colour's channels in the colour record's channel order, and the space they
// are in (0 grey, 1 RGB, 2 CMYK, 3 Lab; -1 for a colour without channels).
std::pair<int, std::vector<AIReal*>> ChannelValues(HeldColor& held) {
    AIColor& color = held.color;
    AICustomColor& definition = held.definition;
    const bool custom = color.kind == kCustomColor;
    if (color.kind == kGrayColor) {
        return {0, {&color.c.g.gray}};
    }
    AIThreeColorStyle* rgb = color.kind == kThreeColor                        ? &color.c.rgb
                             : custom && definition.kind == kCustomThreeColor ? &definition.c.rgb
                                                                              : nullptr;
    if (rgb != nullptr) {
        return {1, {&rgb->red, &rgb->green, &rgb->blue}};
    }
    AIFourColorStyle* cmyk = color.kind == kFourColor                        ? &color.c.f
                             : custom && definition.kind == kCustomFourColor ? &definition.c.f
                                                                             : nullptr;
    if (cmyk != nullptr) {
        return {2, {&cmyk->cyan, &cmyk->magenta, &cmyk->yellow, &cmyk->black}};
    }
    if (custom && definition.kind == kCustomLabColor) {
        return {3, {&definition.c.lab.l, &definition.c.lab.a, &definition.c.lab.b}};
    }
    return {-1, {}};
}

// The colour record holds channels in whole steps (1/255 of RGB, whole percents of grey and CMYK),
// so an edit writes every channel so rounded. The channels the edit did not give get back the values
// the swatch held before it, exactly, as long as the colour stays in its space: otherwise the swatch
// no longer matches the art painted with its colour.
void KeepChannelsNotGiven(const PartialPFieldColor& partial, HeldColor before, const std::string& name) {
    std::optional<HeldColor> after = ReadHeldColor(name);
    if (!after || !partial.destColorSpace.empty()) {
        return;
    }
    const auto [fromSpace, from] = ChannelValues(before);
    const auto [toSpace, to] = ChannelValues(*after);
    if (fromSpace < 0 || fromSpace != toSpace) {
        return;
    }
    bool changed = false;
    for (std::size_t i = 0; i < to.size(); ++i) {
        if (!partial.hasChannel[i] && *to[i] != *from[i]) {
            *to[i] = *from[i];
            changed = true;
        }
    }
    if (!changed) {
        return;
    }
    if (after->color.kind == kCustomColor) {
        sAICustomColor->SetCustomColor(after->color.c.c.color, &after->definition);
    } else {
        EditSwatch(name, after->color);
    }
}

// Whether the colour's "swatchLibrary", when it names one, is an open library that holds the
// swatch: a library that names none, or one without the swatch, never lets another library or the
// document stand in. The error text, or null.
const char* LibraryRefusal(const json& colour, const std::string& name) {
    const std::string library = ReadTextStrictly(colour, "swatchLibrary");
    if (library.empty()) {
        return nullptr;
    }
    AISwatchListRef list = nullptr;
    if (!GetLibraryByName(library, list)) {
        return kNoInputColor;
    }
    if (sAISwatchList->GetSwatchByName(list, ai::UnicodeString::FromUTF8(name)) == nullptr) {
        return kCantCreate;
    }
    return nullptr;
}

void MakeSwatchFrom(const json& parsed, json& reply);

}  // namespace

std::string PlimUtilsPlugin::MakeSwatch(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("makeSwatch", parsed);
    MakeSwatchFrom(parsed, reply);
    return DumpReply(reply);
}

namespace {

void MakeSwatchFrom(const json& parsed, json& reply) {
    if (!parsed.is_object() || !parsed.contains("color")) {
        reply["error"] = kNoInputColor;
        return;
    }
    json colour = parsed.at("color");
    if (!colour.is_object()) {
        throw CommandError("\"color\" must be an object");
    }
    // Read before anything changes: a rename that can't be read fails the command.
    const std::string newName = ReadNameStrictly(parsed, "newName");
    const std::string name = SwatchNameOf(parsed, colour);
    if (name.empty()) {
        reply["error"] = "Can't find a swatch name or a swatch number";
        return;
    }
    if (const char* refusal = LibraryRefusal(colour, name)) {
        reply["error"] = refusal;
        return;
    }
    PFieldColor current;
    const bool exists = SwatchToPFColor(colour, current);
    if (exists) {
        const std::optional<HeldColor> held = ReadHeldColor(name);
        const PartialPFieldColor partial(colour);
        PFieldColor result;
        AIColor host;
        bool colourOk = false;
        bool swatchOk = false;
        partial.AddToPFieldColor(current, current, result, host, colourOk, swatchOk);
        // Painting leaves a swatch of the same colour alone (a tint belongs to the paint); here the
        // swatch itself is asked for, tint included.
        if (swatchOk && colourOk && !SwatchHolds(name, result, host)) {
            EditSwatch(name, host);
        }
        // A swatch the host would not recolour is no success either.
        if (!swatchOk || (colourOk && !SwatchHolds(name, result, host))) {
            reply["error"] = kCantCreate;
            return;
        }
        if (colourOk && held) {
            KeepChannelsNotGiven(partial, *held, name);
        }
    } else {
        bool ok = false;
        PFieldColor made(colour, ok);
        if (!ok || !made.Check()) {
            reply["error"] = kNoInputColor;
            return;
        }
        if (!colour.contains("global")) {
            made.global = made.colorSpace != "Grayscale";
        }
        const AIColor host = made.HostColor();
        // A colour found in a library (or a gradient or pattern swatch of the document) comes back
        // without a document swatch of the name: the swatch is made for it.
        if (host.kind != kNoneColor && FindDocumentSwatch(name) == nullptr) {
            EditSwatch(name, host);
        }
        // A colour that names no swatch after all (a gradient or pattern naming nothing, a library
        // colour no library has) made nothing.
        if (FindDocumentSwatch(name) == nullptr) {
            reply["error"] = kCantCreate;
            return;
        }
    }
    if (!newName.empty() && !RenameSwatch(name, newName)) {
        reply["warning"] = "Can't rename a swatch";
    } else if (exists && !ReadTextStrictly(colour, "swatchLibrary").empty()) {
        reply["warning"] = kLibraryNotRead;
    }
}

}  // namespace

std::string PlimUtilsPlugin::MergeSwatches(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("mergeSwatches", parsed);
    std::string target = ReadTextStrictly(parsed, "target");
    std::vector<std::string> names;
    try {
        if (parsed.is_object() && parsed.contains("swatches")) {
            names = parsed.at("swatches").get<std::vector<std::string>>();
        }
    } catch (const json::exception&) {
        reply["error"] = "Can't read a list of swatches to merge";
        return DumpReply(reply);
    }
    if (names.empty()) {
        reply["error"] = "No swatches to merge";
        return DumpReply(reply);
    }
    if (target.empty()) {
        if (names.size() == 1) {
            reply["warning"] = "Can't merge a single swatch";
            return DumpReply(reply);
        }
        target = names.front();
        names.erase(names.begin());
    }
    MergeData data;
    AISwatchRef targetSwatch = FindDocumentSwatch(target);
    if (targetSwatch == nullptr || sAISwatchList->GetAIColor(targetSwatch, &data.target) != kNoErr) {
        reply["error"] = "Can't get a target swatch";
        return DumpReply(reply);
    }
    std::set<AISwatchRef> swatches;
    for (const std::string& name : names) {
        if (AISwatchRef swatch = FindDocumentSwatch(name)) {
            swatches.insert(swatch);
        }
    }
    swatches.erase(targetSwatch);
    for (AISwatchRef swatch : swatches) {
        AIColor colour;
        if (sAISwatchList->GetAIColor(swatch, &colour) == kNoErr) {
            data.merged.Insert(colour);
        }
    }
    if (data.merged.Empty()) {
        reply["error"] = "No swatches to merge";
        return DumpReply(reply);
    }
    if (sAIPathStyle->AdjustObjectAIColors(nullptr, MergeColors, &data, 0, nullptr) != kNoErr) {
        reply["error"] = "Can't merge colors";
        return DumpReply(reply);
    }
    // Newest first: the list mostly holds swatches in the order they were made, so removals go from
    // its back to its front and each one leaves the places of those still to go as they were.
    AISwatchListRef list = DocumentSwatchList();
    for (auto swatch = swatches.rbegin(); swatch != swatches.rend(); ++swatch) {
        sAISwatchList->RemoveSwatch(list, *swatch, false);
    }
    return DumpReply(reply);
}

#include "appearance/Colors.h"

#include <array>
#include <cmath>
#include <limits>
#include <optional>

#include "AIColor.h"
#include "AIColorConversion.h"
#include "AICustomColor.h"
#include "AIDocument.h"
#include "IAIUnicodeString.h"
#include "core/Suites.h"
#include "core/TextHelpers.h"

namespace {

struct SpaceName {
    const char* name;
    const char* lower;
};

constexpr SpaceName kSpaceNames[] = {
    {"Grayscale", "grayscale"}, {"RGB", "rgb"},           {"CMYK", "cmyk"},       {"Lab", "lab"},
    {"Custom", "custom"},       {"Gradient", "gradient"}, {"Pattern", "pattern"}, {"None", "none"},
    {"document", "document"},   {"remove", "remove"},
};

// The eight spaces a colour record can be in.
bool IsRecordSpace(const std::string& space) {
    return space == "None" || space == "Grayscale" || space == "RGB" || space == "CMYK" || space == "Lab" ||
           space == "Custom" || space == "Gradient" || space == "Pattern";
}

bool IsConvertibleSpace(const std::string& space) {
    return space == "Grayscale" || space == "RGB" || space == "CMYK" || space == "Lab";
}

int ConversionSpace(const std::string& space) {
    if (space == "Grayscale") {
        return kAIMonoColorSpace;
    }
    if (space == "RGB") {
        return kAIRGBColorSpace;
    }
    if (space == "CMYK") {
        return kAICMYKColorSpace;
    }
    return kAILabColorSpace;
}

int ChannelCount(const std::string& space) {
    if (space == "Grayscale") {
        return 1;
    }
    if (space == "RGB" || space == "Lab") {
        return 3;
    }
    return space == "CMYK" ? 4 : 0;
}

// Rounds half away from zero, within the 32-bit range.
int Round(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    const double rounded = std::round(value);
    constexpr double kLow = std::numeric_limits<int>::min();
    constexpr double kHigh = std::numeric_limits<int>::max();
    return static_cast<int>(rounded < kLow ? kLow : rounded > kHigh ? kHigh : rounded);
}

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

int* Channel(PFieldColor& color, int n) {
    int* channels[] = {&color.channel_1, &color.channel_2, &color.channel_3, &color.channel_4};
    return channels[n];
}

const int* Channel(const PFieldColor& color, int n) {
    return Channel(const_cast<PFieldColor&>(color), n);
}

const char* kChannelKeys[] = {"channel_1", "channel_2", "channel_3", "channel_4"};

ai::UnicodeString Utf8(const std::string& text) {
    return ai::UnicodeString::FromUTF8(text);
}

bool ReadSwatchColor(AISwatchRef swatch, AIColor& color) {
    return swatch != nullptr && sAISwatchList->GetAIColor(swatch, &color) == kNoErr;
}

// The definition of a custom colour for a Lab, spot or global colour record; none when the space
// has none.
std::optional<AICustomColor> CustomDefinition(const PFieldColor& color) {
    AICustomColor definition;
    if (color.colorSpace == "CMYK") {
        definition.kind = kCustomFourColor;
        definition.c.f = {color.channel_1 / 100.0, color.channel_2 / 100.0, color.channel_3 / 100.0,
                          color.channel_4 / 100.0};
    } else if (color.colorSpace == "RGB") {
        definition.kind = kCustomThreeColor;
        definition.c.rgb = {color.channel_1 / 255.0, color.channel_2 / 255.0, color.channel_3 / 255.0};
    } else if (color.colorSpace == "Lab") {
        definition.kind = kCustomLabColor;
        definition.c.lab = {static_cast<double>(color.channel_1), static_cast<double>(color.channel_2),
                            static_cast<double>(color.channel_3)};
    } else if (color.colorSpace == "Grayscale") {
        definition.kind = kCustomFourColor;
        definition.c.f = {0, 0, 0, color.channel_1 / 100.0};
    } else {
        return std::nullopt;
    }
    definition.flag = color.colorSpace == "Lab" || color.spot ? kCustomSpotColor : 0;
    return definition;
}

AIColor NoColor() {
    return AIColor{};
}

double Tint(int customColorTint) {
    return 1.0 - customColorTint / 100.0;
}

// Whether two records name the same colour by their space and channels (tint, name and flags
// aside).
bool SameColor(const PFieldColor& a, const PFieldColor& b) {
    return a.colorSpace == b.colorSpace && a.channel_1 == b.channel_1 && a.channel_2 == b.channel_2 &&
           a.channel_3 == b.channel_3 && a.channel_4 == b.channel_4;
}

}  // namespace

std::string NormalizeColorSpaceName(const std::string& name) {
    const std::string lower = AsciiLowerCase(name);
    if (lower == "gray") {
        return "Grayscale";
    }
    for (const SpaceName& space : kSpaceNames) {
        if (lower == space.lower) {
            return space.name;
        }
    }
    return {};
}

std::string GetCurDocumentColorSpace() {
    ai::int16 model = 0;
    if (sAIDocument != nullptr && sAIDocument->GetDocumentColorModel(&model) == kNoErr &&
        model == kDocCMYKColor) {
        return "CMYK";
    }
    return "RGB";
}

AISwatchListRef DocumentSwatchList() {
    AISwatchListRef list = nullptr;
    if (sAISwatchList == nullptr || sAISwatchList->GetSwatchList(nullptr, &list) != kNoErr) {
        return nullptr;
    }
    return list;
}

AISwatchRef FindDocumentSwatch(const std::string& name) {
    AISwatchListRef list = DocumentSwatchList();
    if (name.empty() || list == nullptr) {
        return nullptr;
    }
    return sAISwatchList->GetSwatchByName(list, Utf8(name));
}

bool DuplicateSwatch(const std::string& sourceName, const std::string& newName, AIColor& color) {
    AISwatchListRef list = DocumentSwatchList();
    AISwatchRef source = FindDocumentSwatch(sourceName);
    if (newName.empty() || source == nullptr || sAISwatchList->GetAIColor(source, &color) != kNoErr) {
        return false;
    }
    AISwatchRef copy = sAISwatchList->InsertNthSwatch(list, -1);
    if (copy == nullptr) {
        return false;
    }
    if (sAISwatchList->SetAIColor(copy, &color) != kNoErr ||
        sAISwatchList->SetSwatchName(copy, ai::UnicodeString::FromUTF8(newName)) != kNoErr) {
        sAISwatchList->RemoveSwatch(list, copy, false);  // no unnamed or half-made swatch is left
        return false;
    }
    return true;
}

bool GetLibraryByName(const std::string& name, AISwatchListRef& list) {
    list = nullptr;
    ai::int32 count = 0;
    if (sAISwatchLibraries == nullptr || sAISwatchLibraries->CountLibraries(&count) != kNoErr) {
        return false;
    }
    for (ai::int32 i = 1; i < count; ++i) {
        ai::UnicodeString libraryName;
        if (sAISwatchLibraries->GetNthLibraryName(i, libraryName) != kNoErr ||
            libraryName.as_UTF8() != name) {
            continue;
        }
        return sAISwatchLibraries->GetNthLibrary(i, &list) == kNoErr && list != nullptr;
    }
    return false;
}

AISwatchRef EditSwatch(const std::string& name, const AIColor& color) {
    AISwatchListRef list = DocumentSwatchList();
    if (name.empty() || list == nullptr) {
        return nullptr;
    }
    AISwatchRef swatch = sAISwatchList->GetSwatchByName(list, Utf8(name));
    const bool made = swatch == nullptr;
    if (made) {
        swatch = sAISwatchList->InsertNthSwatch(list, -1);
        if (swatch == nullptr) {
            return nullptr;
        }
        if (sAISwatchList->SetSwatchName(swatch, Utf8(name)) != kNoErr) {
            sAISwatchList->RemoveSwatch(list, swatch, false);
            return nullptr;
        }
    }
    if (sAISwatchList->SetAIColor(swatch, &color) != kNoErr) {
        // A swatch made here that can't take the colour is not left behind.
        if (made) {
            sAISwatchList->RemoveSwatch(list, swatch, false);
        }
        return nullptr;
    }
    return swatch;
}

// --- Reading and writing ----------------------------------------------------------------------------

PFieldColor::PFieldColor(const json& object, bool& ok) {
    ok = false;
    if (!object.is_object()) {
        return;
    }
    if (object.contains("swatchName")) {
        swatchName = ReadNameStrictly(object, "swatchName");
    }
    if (object.contains("swatchLibrary")) {
        swatchLibrary = ReadTextStrictly(object, "swatchLibrary");
    }
    if (object.contains("updateSwatches")) {
        updateSwatches = ReadBoolStrictly(object, "updateSwatches", updateSwatches);
    }
    if (object.contains("spot")) {
        spot = ReadBoolStrictly(object, "spot", spot);
    }
    if (object.contains("global")) {
        global = ReadBoolStrictly(object, "global", global);
    }
    if (object.contains("customColorTint")) {
        customColorTint = ReadIntegerStrictly(object, "customColorTint", customColorTint);
    }
    if (object.contains("colorSpace")) {
        colorSpace = ReadTextStrictly(object, "colorSpace");
    } else if (swatchName.empty()) {
        return;
    } else {
        colorSpace = "Custom";
    }
    const std::string given = colorSpace;
    colorSpace = NormalizeColorSpaceName(given);
    // "remove" reads as a space without channels that fails Check; only the effect reader keeps it.
    if (!IsRecordSpace(colorSpace) && colorSpace != "remove") {
        throw ColorSpaceError(given);
    }
    for (int i = 0; i < ChannelCount(colorSpace); ++i) {
        ReadJsonValue(object, kChannelKeys[i], *Channel(*this, i));
    }
    std::string target;
    if (object.contains("destColorSpace")) {
        target = NormalizeColorSpaceName(ReadTextStrictly(object, "destColorSpace"));
    }
    if (swatchName.empty() &&
        (spot || global || (colorSpace == "Lab" && target.empty()) || target == "Lab")) {
        target = "document";
        spot = false;
        global = false;
    }
    if (target == "document") {
        target = GetCurDocumentColorSpace();
    }
    if (!target.empty()) {
        PFieldColor converted;
        if (ConvertColorSpace(target, converted)) {
            *this = converted;
        }
    }
    ok = true;
}

PFieldColor::PFieldColor(const PartialPFieldColor& partial, bool& ok) {
    const PFieldColor read(partial.WriteJson(), ok);
    if (ok) {
        *this = read;
    }
}

json PFieldColor::WriteJson() const {
    json out = json::object();
    if (!swatchLibrary.empty()) {
        out["swatchLibrary"] = swatchLibrary;
    }
    if (!swatchName.empty()) {
        out["swatchName"] = swatchName;
    }
    out["spot"] = spot;
    out["global"] = global;
    out["colorSpace"] = colorSpace;
    for (int i = 0; i < ChannelCount(colorSpace); ++i) {
        out[kChannelKeys[i]] = *Channel(*this, i);
    }
    // A global or spot colour is a custom colour read back in its own space: a tint other than the
    // full colour goes with it, so that the record written back paints the same colour.
    const bool tinted = (global || spot) && IsConvertibleSpace(colorSpace) && customColorTint != 100;
    if (colorSpace == "Custom" || tinted) {
        out["customColorTint"] = customColorTint;
    }
    return out;
}

bool PFieldColor::Check() const {
    if (colorSpace == "None") {
        return channel_1 == 0 && channel_2 == 0 && channel_3 == 0 && channel_4 == 0;
    }
    if (colorSpace == "Grayscale") {
        return InRange(channel_1, 0, 100) && channel_2 == 0 && channel_3 == 0 && channel_4 == 0;
    }
    if (colorSpace == "RGB") {
        return InRange(channel_1, 0, 255) && InRange(channel_2, 0, 255) && InRange(channel_3, 0, 255) &&
               channel_4 == 0;
    }
    if (colorSpace == "Lab") {
        return InRange(channel_1, 0, 100) && InRange(channel_2, -128, 127) && InRange(channel_3, -128, 127) &&
               channel_4 == 0;
    }
    if (colorSpace == "CMYK") {
        return InRange(channel_1, 0, 100) && InRange(channel_2, 0, 100) && InRange(channel_3, 0, 100) &&
               InRange(channel_4, 0, 100);
    }
    if (colorSpace == "Custom") {
        return !swatchName.empty() && InRange(customColorTint, 0, 100);
    }
    if (colorSpace == "Gradient" || colorSpace == "Pattern") {
        return !swatchName.empty();
    }
    return false;
}

bool PFieldColor::ConvertColorSpace(const std::string& destColorSpace, PFieldColor& out) const {
    if (!Check()) {
        return false;
    }
    out = *this;
    if (colorSpace == destColorSpace) {
        return true;
    }
    if (!IsConvertibleSpace(colorSpace) || !IsConvertibleSpace(destColorSpace) ||
        sAIColorConversion == nullptr) {
        return false;
    }
    out.colorSpace = destColorSpace;
    out.channel_1 = out.channel_2 = out.channel_3 = out.channel_4 = 0;
    std::array<AISampleComponent, 4> source{};
    if (colorSpace == "Grayscale") {
        source[0] = static_cast<AISampleComponent>(1.0 - channel_1 / 100.0);
    }
    for (int i = 0; colorSpace != "Grayscale" && i < ChannelCount(colorSpace); ++i) {
        const double value = *Channel(*this, i);
        source[static_cast<std::size_t>(i)] =
            static_cast<AISampleComponent>(colorSpace == "RGB"    ? value / 255.0
                                           : colorSpace == "CMYK" ? value / 100.0
                                                                  : value);
    }
    std::array<AISampleComponent, 4> result{};
    AIBoolean inGamut = true;
    if (sAIColorConversion->ConvertSampleColor(ConversionSpace(colorSpace), source.data(),
                                               ConversionSpace(destColorSpace), result.data(),
                                               AIColorConvertOptions{}, &inGamut) != kNoErr) {
        return false;
    }
    if (destColorSpace == "Grayscale") {
        out.channel_1 = Round((1.0 - result[0]) * 100.0);
        return true;
    }
    for (int i = 0; i < ChannelCount(destColorSpace); ++i) {
        const double value = result[static_cast<std::size_t>(i)];
        *Channel(out, i) = Round(destColorSpace == "RGB"    ? value * 255.0
                                 : destColorSpace == "CMYK" ? value * 100.0
                                                            : value);
    }
    return true;
}

// --- From and to the host ---------------------------------------------------------------------------

namespace {

// The channels of an RGB colour (0 to 255) and of a CMYK colour (percentages), with their space.
void SetRgbChannels(PFieldColor& out, const AIThreeColorStyle& rgb) {
    out.colorSpace = "RGB";
    out.channel_1 = Round(rgb.red * 255.0);
    out.channel_2 = Round(rgb.green * 255.0);
    out.channel_3 = Round(rgb.blue * 255.0);
}

void SetCmykChannels(PFieldColor& out, const AIFourColorStyle& cmyk) {
    out.colorSpace = "CMYK";
    out.channel_1 = Round(cmyk.cyan * 100.0);
    out.channel_2 = Round(cmyk.magenta * 100.0);
    out.channel_3 = Round(cmyk.yellow * 100.0);
    out.channel_4 = Round(cmyk.black * 100.0);
}

}  // namespace

PFieldColor::PFieldColor(const AIColor& color) {
    if (color.kind < kGrayColor || color.kind > kNoneColor) {
        return;
    }
    AIColor lookup = color;
    if (lookup.kind == kCustomColor) {
        lookup.c.c.tint = 0;
    }
    if (AISwatchListRef list = DocumentSwatchList()) {
        AISwatchRef swatch = sAISwatchList->GetSwatchByColor(list, &lookup);
        ai::UnicodeString name;
        if (swatch != nullptr && sAISwatchList->GetSwatchName(swatch, name) == kNoErr) {
            swatchName = name.as_UTF8();
        }
    }
    ai::int32 libraries = 0;
    if (!swatchName.empty() && sAISwatchLibraries != nullptr &&
        sAISwatchLibraries->CountLibraries(&libraries) == kNoErr) {
        for (ai::int32 i = 1; i < libraries && swatchLibrary.empty(); ++i) {
            AISwatchListRef list = nullptr;
            ai::UnicodeString name;
            if (sAISwatchLibraries->GetNthLibrary(i, &list) == kNoErr &&
                sAISwatchList->GetSwatchByName(list, Utf8(swatchName)) != nullptr &&
                sAISwatchLibraries->GetNthLibraryName(i, name) == kNoErr) {
                swatchLibrary = name.as_UTF8();
            }
        }
    }
    switch (color.kind) {
        case kGrayColor:
            colorSpace = "Grayscale";
            channel_1 = Round(color.c.g.gray * 100.0);
            return;
        case kFourColor:
            SetCmykChannels(*this, color.c.f);
            return;
        case kThreeColor:
            SetRgbChannels(*this, color.c.rgb);
            return;
        case kNoneColor:
            colorSpace = "None";
            return;
        case kPattern:
            colorSpace = "Pattern";
            return;
        case kGradient:
            colorSpace = "Gradient";
            return;
        case kCustomColor:
            break;
    }
    colorSpace = "Custom";
    global = true;
    // A tint above 1 (or below 0) is no tint the record can hold: it reads as the full colour.
    const int tint = Round((1.0 - color.c.c.tint) * 100.0);
    customColorTint = InRange(tint, 0, 100) ? tint : 100;
    AICustomColor definition;
    if (sAICustomColor == nullptr || sAICustomColor->GetCustomColor(color.c.c.color, &definition) != kNoErr) {
        return;
    }
    spot = (definition.flag & kCustomSpotColor) != 0;
    switch (definition.kind) {
        case kCustomLabColor:
            colorSpace = "Lab";
            channel_1 = Round(definition.c.lab.l);
            channel_2 = Round(definition.c.lab.a);
            channel_3 = Round(definition.c.lab.b);
            break;
        case kCustomThreeColor:
            SetRgbChannels(*this, definition.c.rgb);
            break;
        case kCustomFourColor:
            SetCmykChannels(*this, definition.c.f);
            break;
    }
}

PFieldColor::PFieldColor(const std::string& name, bool& ok) {
    AIColor color;
    ok = ReadSwatchColor(FindDocumentSwatch(name), color);
    if (ok) {
        *this = PFieldColor(color);
    }
}

AIColor PFieldColor::HostColor() const {
    // Nothing outside the host's ranges is ever sent: a colour that fails Check paints nothing.
    if (!Check()) {
        return NoColor();
    }
    if (colorSpace == "Custom" || colorSpace == "Gradient" || colorSpace == "Pattern") {
        return NamedResourceColor();
    }
    return ProcessOrGlobalColor();
}

AIColor PFieldColor::ProcessOrGlobalColor() const {
    AIColor color;
    // A custom colour needs a name; without one a Lab colour is taken in the document's space and a
    // spot or global colour as a process colour.
    if (swatchName.empty() && colorSpace == "Lab") {
        PFieldColor converted;
        return ConvertColorSpace(GetCurDocumentColorSpace(), converted) ? converted.HostColor() : NoColor();
    }
    const bool custom = !swatchName.empty() && (colorSpace == "Lab" || spot || global);
    if (!custom) {
        if (colorSpace == "Grayscale") {
            color.kind = kGrayColor;
            color.c.g.gray = channel_1 / 100.0;
        } else if (colorSpace == "RGB") {
            color.kind = kThreeColor;
            color.c.rgb = {channel_1 / 255.0, channel_2 / 255.0, channel_3 / 255.0};
        } else if (colorSpace == "CMYK") {
            color.kind = kFourColor;
            color.c.f = {channel_1 / 100.0, channel_2 / 100.0, channel_3 / 100.0, channel_4 / 100.0};
        } else {
            return NoColor();
        }
        if (swatchName.empty()) {
            return color;
        }
        // Painting with a swatch as it stands paints its own colour, exactly as stored, and leaves
        // the swatch alone: written back, its values would come back rounded to the record's steps
        // and no longer be the colour that other art painted with the swatch holds.
        AIColor stored;
        if (ReadSwatchColor(FindDocumentSwatch(swatchName), stored) && stored.kind == color.kind &&
            SameColor(PFieldColor(stored), *this)) {
            return stored;
        }
        EditSwatch(swatchName, color);
        return color;
    }
    const std::optional<AICustomColor> definition = CustomDefinition(*this);
    if (!definition || sAICustomColor == nullptr) {
        return NoColor();
    }
    const ai::UnicodeString name = Utf8(swatchName);
    AICustomColorHandle handle = nullptr;
    if (sAICustomColor->GetCustomColorByName(name, &handle) == kNoErr && handle != nullptr) {
        // A definition that reads as this record's colour is kept as it is, for the same reason.
        AIColor current;
        current.kind = kCustomColor;
        current.c.c = {handle, 0};
        const PFieldColor defined(current);
        const bool same =
            defined.spot == ((definition->flag & kCustomSpotColor) != 0) && SameColor(defined, *this);
        if (!same && sAICustomColor->SetCustomColor(handle, &*definition) != kNoErr) {
            return NoColor();
        }
    } else if (sAICustomColor->NewCustomColor(&*definition, name, &handle) != kNoErr || handle == nullptr) {
        return NoColor();
    }
    color.kind = kCustomColor;
    color.c.c = {handle, Tint(customColorTint)};
    // The tint belongs to the paint: a swatch that already holds this custom colour (at whatever
    // tint) stays as it is, and a change of the colour reaches it through the custom colour.
    AIColor stored;
    if (ReadSwatchColor(FindDocumentSwatch(swatchName), stored) && stored.kind == kCustomColor &&
        stored.c.c.color == handle) {
        return color;
    }
    EditSwatch(swatchName, color);
    return color;
}

AIColor PFieldColor::NamedResourceColor() const {
    AIColor color;
    bool found = false;
    AISwatchListRef library = nullptr;
    if (!swatchLibrary.empty() && GetLibraryByName(swatchLibrary, library)) {
        found = ReadSwatchColor(sAISwatchList->GetSwatchByName(library, Utf8(swatchName)), color);
    }
    if (!found) {
        found = ReadSwatchColor(FindDocumentSwatch(swatchName), color);
    }
    if (colorSpace != "Custom") {
        return found ? color : NoColor();
    }
    if (found) {
        // The tint applies only to a custom colour the document knows.
        AICustomColor definition;
        if (color.kind == kCustomColor && sAICustomColor->ValidCustomColor(color.c.c.color) &&
            sAICustomColor->GetCustomColor(color.c.c.color, &definition) == kNoErr) {
            color.c.c.tint = Tint(customColorTint);
        }
        return color;
    }
    AICustomColor definition;
    AICustomColorHandle handle = nullptr;
    if (sAISwatchLibraries == nullptr ||
        sAISwatchLibraries->FindStandardBookColor(Utf8(swatchName), &definition) != kNoErr ||
        sAICustomColor->NewCustomColor(&definition, Utf8(swatchName), &handle) != kNoErr ||
        handle == nullptr) {
        return NoColor();
    }
    color.kind = kCustomColor;
    color.c.c = {handle, sAICustomColor->ValidCustomColor(handle) ? Tint(customColorTint) : 0.0};
    return EditSwatch(swatchName, color) != nullptr ? color : NoColor();
}

// --- Partial colours ----------------------------------------------------------------------------------

PartialPFieldColor::PartialPFieldColor(const json& object) {
    colorSpace.clear();
    if (!object.is_object()) {
        return;
    }
    for (int i = 0; i < 4; ++i) {
        hasChannel[i] = ReadJsonValue(object, kChannelKeys[i], *Channel(*this, i));
    }
    if (object.contains("colorSpace")) {
        colorSpace = NormalizeColorSpaceName(ReadTextStrictly(object, "colorSpace"));
    }
    hasSpot = ReadJsonValue(object, "spot", spot);
    hasGlobal = ReadJsonValue(object, "global", global);
    hasTint = ReadJsonValue(object, "customColorTint", customColorTint);
    // A tint outside 0 to 100 is no tint.
    if (hasTint && !InRange(customColorTint, 0, 100)) {
        hasTint = false;
        customColorTint = 100;
    }
    if (object.contains("swatchName")) {
        swatchName = ReadNameStrictly(object, "swatchName");
    }
    if (object.contains("swatchLibrary")) {
        swatchLibrary = ReadTextStrictly(object, "swatchLibrary");
    }
    if (object.contains("destColorSpace")) {
        destColorSpace = NormalizeColorSpaceName(ReadTextStrictly(object, "destColorSpace"));
    }
}

json PartialPFieldColor::WriteJson() const {
    json out = json::object();
    for (int i = 0; i < 4; ++i) {
        if (hasChannel[i]) {
            out[kChannelKeys[i]] = *Channel(*this, i);
        }
    }
    if (hasSpot) {
        out["spot"] = spot;
    }
    if (hasGlobal) {
        out["global"] = global;
    }
    if (hasTint) {
        out["customColorTint"] = customColorTint;
    }
    if (!colorSpace.empty()) {
        out["colorSpace"] = colorSpace;
    }
    if (!swatchName.empty()) {
        out["swatchName"] = swatchName;
    }
    if (!swatchLibrary.empty()) {
        out["swatchLibrary"] = swatchLibrary;
    }
    if (!destColorSpace.empty()) {
        out["destColorSpace"] = destColorSpace;
    }
    return out;
}

bool PartialPFieldColor::ColorElementsPresent() const {
    return hasSpot || hasGlobal || hasChannel[0] || hasChannel[1] || hasChannel[2] || hasChannel[3] ||
           !colorSpace.empty() || !destColorSpace.empty() || hasTint;
}

PFieldColor PartialPFieldColor::MergeToPFieldColor(const PFieldColor& base) const {
    json merged = base.WriteJson();
    const json given = WriteJson();
    for (const auto& [key, value] : given.items()) {
        merged[key] = value;
    }
    try {
        bool ok = false;
        const PFieldColor result(merged, ok);
        // A merge that does not give a sound colour leaves the base as it was.
        return ok && result.Check() ? result : base;
    } catch (const std::exception&) {
        return base;
    }
}

void PartialPFieldColor::AddToPFieldColor(const PFieldColor& existing, const PFieldColor& reference,
                                          PFieldColor& result, AIColor& hostColor, bool& colourOk,
                                          bool& swatchOk) const {
    bool named = false;
    const PFieldColor namedColor(swatchName, named);
    colourOk = true;
    swatchOk = true;
    const auto layOver = [&](const PFieldColor& base, bool keepName) {
        if (ColorElementsPresent()) {
            result = MergeToPFieldColor(base);
            return;
        }
        result = base;
        if (keepName) {
            result.swatchName = swatchName;
        }
    };
    if (existing.swatchName.empty()) {
        PFieldColor base = existing;
        if (swatchName.empty()) {
            base.spot = false;
            base.global = false;
        } else if (named) {
            base = namedColor;
        }
        layOver(base, !swatchName.empty() && !named);
    } else if (swatchName.empty()) {
        PFieldColor base = existing;
        base.spot = false;
        base.global = false;
        base.swatchName.clear();
        layOver(base, false);
    } else if (named) {
        layOver(namedColor, false);
    } else if (reference.colorSpace != "Gradient" && reference.colorSpace != "Pattern") {
        bool referenceNamed = false;
        PFieldColor base(reference.swatchName, referenceNamed);
        if (!referenceNamed) {
            base = reference;
        }
        base.swatchName = swatchName;
        layOver(base, false);
    } else {
        colourOk = false;
        swatchOk = DuplicateSwatch(reference.swatchName, swatchName, hostColor);
        return;
    }
    if ((result.colorSpace == "Gradient" || result.colorSpace == "Pattern") && result.swatchName.empty()) {
        swatchOk = false;
        return;
    }
    hostColor = result.HostColor();
}

// The colour suites: custom colours, colour equality, colour conversion, the swatch lists of the
// document and of the loaded libraries.
#include <algorithm>
#include <array>
#include <cmath>

#include "AIColor.h"
#include "AIColorConversion.h"
#include "AICustomColor.h"
#include "AISwatchList.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/StyleHandles.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

// --- Custom colours -------------------------------------------------------------------------------

constexpr const char* kCustomSuite = kAICustomColorSuite;

std::optional<model::CustomColorDefinition> FromAICustom(const AICustomColor* definition) {
    if (definition == nullptr) {
        return std::nullopt;
    }
    model::CustomColorDefinition result;
    switch (definition->kind) {
        case kCustomFourColor:
            result.kind = model::CustomColorDefinition::Kind::cmyk;
            result.values = {definition->c.f.cyan, definition->c.f.magenta, definition->c.f.yellow,
                             definition->c.f.black};
            break;
        case kCustomThreeColor:
            result.kind = model::CustomColorDefinition::Kind::rgb;
            result.values = {definition->c.rgb.red, definition->c.rgb.green, definition->c.rgb.blue, 0};
            break;
        case kCustomLabColor:
            result.kind = model::CustomColorDefinition::Kind::lab;
            result.values = {definition->c.lab.l, definition->c.lab.a, definition->c.lab.b, 0};
            break;
        default:
            return std::nullopt;
    }
    result.spot = (definition->flag & kCustomSpotColor) != 0;
    if (result.check() != model::Status::ok) {
        return std::nullopt;
    }
    return result;
}

AICustomColor ToAICustom(const model::CustomColorDefinition& definition) {
    AICustomColor result;
    const auto& v = definition.values;
    switch (definition.kind) {
        case model::CustomColorDefinition::Kind::cmyk:
            result.kind = kCustomFourColor;
            result.c.f = {v[0], v[1], v[2], v[3]};
            break;
        case model::CustomColorDefinition::Kind::rgb:
            result.kind = kCustomThreeColor;
            result.c.rgb = {v[0], v[1], v[2]};
            break;
        case model::CustomColorDefinition::Kind::lab:
            result.kind = kCustomLabColor;
            result.c.lab = {v[0], v[1], v[2]};
            break;
    }
    result.flag = definition.spot ? kCustomSpotColor : 0;
    return result;
}

AIErr NewCustomColor(const AICustomColor* definition, const ai::UnicodeString& name,
                     AICustomColorHandle* color) {
    auto [state, document, error] = StartDocumentOperation(kCustomSuite, "NewCustomColor");
    const std::optional<model::CustomColorDefinition> value = FromAICustom(definition);
    const std::optional<std::string> text = error == kNoErr ? StringText(*state, name) : std::nullopt;
    model::Result<model::ResourceId> made = model::Status::badParameter;
    if (error == kNoErr && value && text && color != nullptr) {
        made = document->editColors().addCustomColor(*text, *value);
    }
    if (error == kNoErr && !made) {
        error = kBadParameterErr;
    }
    if (color != nullptr) {
        *color = error == kNoErr ? CustomColorHandleOf(*made) : nullptr;
    }
    if (state != nullptr) {
        state->journal.Record("NewCustomColor", {text.value_or("invalid")}, error);
    }
    return error;
}

AIErr GetCustomColor(AICustomColorHandle color, AICustomColor* definition) {
    auto [state, document, error] = StartDocumentOperation(kCustomSuite, "GetCustomColor");
    const model::CustomColor* custom = error == kNoErr ? FindCustomColor(*state, color) : nullptr;
    if (error == kNoErr && (custom == nullptr || definition == nullptr)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        *definition = ToAICustom(custom->definition);
    }
    return error;
}

AIErr SetCustomColor(AICustomColorHandle color, const AICustomColor* definition) {
    auto [state, document, error] = StartDocumentOperation(kCustomSuite, "SetCustomColor");
    const std::optional<model::CustomColorDefinition> value = FromAICustom(definition);
    if (error == kNoErr) {
        error = value ? ErrorFromStatus(
                            document->editColors().setCustomColorDefinition(ResourceIdOf(color), *value))
                      : kBadParameterErr;
    }
    if (state != nullptr) {
        state->journal.Record("SetCustomColor", {}, error);
    }
    return error;
}

AIErr GetCustomColorName(AICustomColorHandle color, ai::UnicodeString& name) {
    auto [state, document, error] = StartDocumentOperation(kCustomSuite, "GetCustomColorName");
    const model::CustomColor* custom = error == kNoErr ? FindCustomColor(*state, color) : nullptr;
    error = OutputError(error, custom);
    if (error == kNoErr) {
        SetStringText(*state, name, custom->name);
    }
    return error;
}

AIErr SetCustomColorName(AICustomColorHandle color, const ai::UnicodeString& name) {
    auto [state, document, error] = StartDocumentOperation(kCustomSuite, "SetCustomColorName");
    const std::optional<std::string> text = error == kNoErr ? StringText(*state, name) : std::nullopt;
    if (error == kNoErr) {
        error = text ? ErrorFromStatus(document->renameCustomColor(ResourceIdOf(color), *text))
                     : kBadParameterErr;
    }
    if (state != nullptr) {
        state->journal.Record("SetCustomColorName", {text.value_or("invalid")}, error);
    }
    return error;
}

AIErr GetCustomColorByName(const ai::UnicodeString& name, AICustomColorHandle* color) {
    auto [state, document, error] = StartDocumentOperation(kCustomSuite, "GetCustomColorByName");
    const std::optional<std::string> text = error == kNoErr ? StringText(*state, name) : std::nullopt;
    if (error == kNoErr && (!text || color == nullptr)) {
        error = kBadParameterErr;
    }
    const model::CustomColor* custom =
        error == kNoErr ? document->colors().customColorByName(*text) : nullptr;
    if (error == kNoErr && custom == nullptr) {
        error = kNameNotFoundErr;
    }
    if (color != nullptr) {
        *color = error == kNoErr ? CustomColorHandleOf(custom->id) : nullptr;
    }
    return error;
}

// This host's answer: the handle names a custom colour of the current document.
AIBoolean ValidCustomColor(AICustomColorHandle color) {
    auto [state, document, error] = StartDocumentOperation(kCustomSuite, "ValidCustomColor");
    return error == kNoErr && document->colors().findCustomColor(ResourceIdOf(color)) != nullptr;
}

// --- Colour equality ------------------------------------------------------------------------------

AIBoolean IsEqual(const AIColor* a, const AIColor* b) {
    if (InjectedFault(kAIColorSuite, "IsEqual") != kNoErr || a == nullptr || b == nullptr ||
        a->kind != b->kind) {
        return false;
    }
    switch (a->kind) {
        case kGrayColor:
            return a->c.g.gray == b->c.g.gray;
        case kFourColor:
            return a->c.f.cyan == b->c.f.cyan && a->c.f.magenta == b->c.f.magenta &&
                   a->c.f.yellow == b->c.f.yellow && a->c.f.black == b->c.f.black;
        case kThreeColor:
            return a->c.rgb.red == b->c.rgb.red && a->c.rgb.green == b->c.rgb.green &&
                   a->c.rgb.blue == b->c.rgb.blue;
        case kCustomColor:
            return a->c.c.color == b->c.c.color && a->c.c.tint == b->c.c.tint;
        case kPattern:
            return a->c.p.pattern == b->c.p.pattern;
        case kGradient:
            return a->c.b.gradient == b->c.b.gradient;
        case kNoneColor:
            return true;
    }
    return false;
}

// --- Colour conversion ----------------------------------------------------------------------------
//
// Gray is a brightness (0 black, 1 white). RGB is sRGB; Lab is CIE L*a*b* with the D65 white point,
// reached through linear sRGB and XYZ. CMYK is the naive process separation: K = 1 - max(R, G, B),
// each of C, M, Y = (1 - channel - K) / (1 - K); back, channel = (1 - C)(1 - K). Gray from RGB is
// 0.299 R + 0.587 G + 0.114 B. Results are clipped to their ranges.

using Rgb = std::array<double, 3>;

double Linear(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
double Gamma(double c) {
    return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
}
constexpr double kWhiteX = 0.95047;
constexpr double kWhiteZ = 1.08883;

double LabF(double t) {
    return t > 216.0 / 24389.0 ? std::cbrt(t) : (24389.0 / 27.0 * t + 16.0) / 116.0;
}
double LabInverse(double f) {
    return f * f * f > 216.0 / 24389.0 ? f * f * f : (116.0 * f - 16.0) / (24389.0 / 27.0);
}

std::array<double, 3> RgbToLab(const Rgb& rgb) {
    const double r = Linear(rgb[0]);
    const double g = Linear(rgb[1]);
    const double b = Linear(rgb[2]);
    const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / kWhiteX;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / kWhiteZ;
    const double fy = LabF(y);
    return {116.0 * fy - 16.0, 500.0 * (LabF(x) - fy), 200.0 * (fy - LabF(z))};
}

Rgb LabToRgb(const std::array<double, 3>& lab) {
    const double fy = (lab[0] + 16.0) / 116.0;
    const double x = LabInverse(fy + lab[1] / 500.0) * kWhiteX;
    const double y = LabInverse(fy);
    const double z = LabInverse(fy - lab[2] / 200.0) * kWhiteZ;
    const double r = 3.2404542 * x - 1.5371385 * y - 0.4985314 * z;
    const double g = -0.9692660 * x + 1.8760108 * y + 0.0415560 * z;
    const double b = 0.0556434 * x - 0.2040259 * y + 1.0572252 * z;
    return {Gamma(r), Gamma(g), Gamma(b)};
}

std::optional<Rgb> ToRgb(ai::int32 space, const AISampleComponent* in) {
    switch (space) {
        case kAIMonoColorSpace:
            return Rgb{in[0], in[0], in[0]};
        case kAIRGBColorSpace:
            return Rgb{in[0], in[1], in[2]};
        case kAICMYKColorSpace:
            return Rgb{(1.0 - in[0]) * (1.0 - in[3]), (1.0 - in[1]) * (1.0 - in[3]),
                       (1.0 - in[2]) * (1.0 - in[3])};
        case kAILabColorSpace:
            return LabToRgb({in[0], in[1], in[2]});
        default:
            return std::nullopt;
    }
}

int ComponentCount(ai::int32 space) {
    switch (space) {
        case kAIMonoColorSpace:
            return 1;
        case kAIRGBColorSpace:
        case kAILabColorSpace:
            return 3;
        case kAICMYKColorSpace:
            return 4;
        default:
            return 0;
    }
}

AIErr ConvertSampleColor(ai::int32 srcSpace, const AISampleComponent* srcColor, ai::int32 dstSpace,
                         AISampleComponent* dstColor, const AIColorConvertOptions&, AIBoolean* inGamut) {
    auto [state, error] = StartOperation(kAIColorConversionSuite, "ConvertSampleColor");
    if (error != kNoErr) {
        return error;
    }
    const int count = ComponentCount(srcSpace);
    if (srcColor == nullptr || dstColor == nullptr || count == 0 || ComponentCount(dstSpace) == 0 ||
        !std::all_of(srcColor, srcColor + count, [](AISampleComponent c) { return std::isfinite(c); })) {
        return kBadParameterErr;
    }
    if (srcSpace == dstSpace) {
        std::copy(srcColor, srcColor + count, dstColor);
        return kNoErr;
    }
    Rgb rgb = *ToRgb(srcSpace, srcColor);
    bool clipped = false;
    for (double& c : rgb) {
        const double kept = std::clamp(c, 0.0, 1.0);
        clipped = clipped || kept != c;
        c = kept;
    }
    switch (dstSpace) {
        case kAIMonoColorSpace:
            dstColor[0] = static_cast<AISampleComponent>(0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2]);
            break;
        case kAIRGBColorSpace:
            std::copy(rgb.begin(), rgb.end(), dstColor);
            break;
        case kAICMYKColorSpace: {
            const double k = 1.0 - std::max({rgb[0], rgb[1], rgb[2]});
            for (int i = 0; i < 3; ++i) {
                dstColor[i] = static_cast<AISampleComponent>(k >= 1.0 ? 0.0 : (1.0 - rgb[i] - k) / (1.0 - k));
            }
            dstColor[3] = static_cast<AISampleComponent>(k);
            break;
        }
        case kAILabColorSpace: {
            const std::array<double, 3> lab = RgbToLab(rgb);
            std::copy(lab.begin(), lab.end(), dstColor);
            break;
        }
    }
    if (inGamut != nullptr) {
        *inGamut = !clipped;
    }
    return kNoErr;
}

// --- Swatch lists ---------------------------------------------------------------------------------

constexpr const char* kSwatchSuite = kAISwatchListSuite;

// The colours a list handle names: the current document's, or a loaded library's. Lookups read them
// through colors; only an operation that changes the document's list takes EditColors, so that a
// lookup records nothing in the document's change log.
struct ListStart {
    HostState* state = nullptr;
    const model::DocumentColors* colors = nullptr;  // null when error is set
    bool library = false;
    AIErr error = kNoErr;

    // The document's colours for a change; only for a document list without error.
    model::DocumentColors& EditColors() const { return state->documents.current->editColors(); }
};

ListStart StartListOperation(const char* operation, AISwatchListRef list) {
    auto [state, error] = StartOperation(kSwatchSuite, operation);
    ListStart start{state, nullptr, false, error};
    if (error != kNoErr) {
        return start;
    }
    const auto number = reinterpret_cast<std::uintptr_t>(list);
    if (number != 0 && number == state->colors.documentSwatchList) {
        start.colors = state->documents.current != nullptr ? &state->documents.current->colors() : nullptr;
        start.error = state->documents.current != nullptr ? kNoErr : kNoDocumentErr;
        return start;
    }
    for (const SwatchLibraryRecord& library : state->colors.swatchLibraries) {
        if (library.handle == number) {
            start.colors = &library.colors;
            start.library = true;
            return start;
        }
    }
    start.error = kBadParameterErr;
    return start;
}

AISwatchRef SwatchHandleOf(const model::Swatch* swatch) {
    return swatch != nullptr ? reinterpret_cast<AISwatchRef>(static_cast<std::uintptr_t>(swatch->id.value))
                             : nullptr;
}

// The swatch behind a handle, in the document or a library; null when none. Read only: a change
// goes through the document's editColors() by the swatch's id.
struct SwatchFound {
    const model::DocumentColors* colors = nullptr;
    const model::Swatch* swatch = nullptr;
    bool library = false;
};

SwatchFound FindSwatch(const HostState& state, AISwatchRef swatch) {
    const model::ResourceId id = ResourceIdOf(swatch);
    if (state.documents.current != nullptr) {
        const model::DocumentColors& colors = state.documents.current->colors();
        if (const model::Swatch* found = colors.findSwatch(id)) {
            return {&colors, found, false};
        }
    }
    for (const SwatchLibraryRecord& library : state.colors.swatchLibraries) {
        if (const model::Swatch* found = library.colors.findSwatch(id)) {
            return {&library.colors, found, true};
        }
    }
    return {};
}

AIErr GetSwatchList(AIDocumentHandle document, AISwatchListRef* list) {
    auto [state, current, error] = StartDocumentOperation(kSwatchSuite, "GetSwatchList");
    const auto number = reinterpret_cast<std::uintptr_t>(document);
    if (error == kNoErr && (list == nullptr || (number != 0 && number != state->documents.handle))) {
        error = kBadParameterErr;
    }
    if (list != nullptr) {
        *list =
            error == kNoErr ? reinterpret_cast<AISwatchListRef>(state->colors.documentSwatchList) : nullptr;
    }
    return error;
}

ai::int32 CountSwatches(AISwatchListRef list) {
    const ListStart start = StartListOperation("CountSwatches", list);
    return start.error == kNoErr ? static_cast<ai::int32>(start.colors->swatches().size()) : 0;
}

AISwatchRef GetNthSwatch(AISwatchListRef list, ai::int32 index) {
    const ListStart start = StartListOperation("GetNthSwatch", list);
    if (start.error != kNoErr || index < 0 ||
        static_cast<std::size_t>(index) >= start.colors->swatches().size()) {
        return nullptr;
    }
    return SwatchHandleOf(&start.colors->swatches()[static_cast<std::size_t>(index)]);
}

AISwatchRef GetSwatchByName(AISwatchListRef list, const ai::UnicodeString& name) {
    const ListStart start = StartListOperation("GetSwatchByName", list);
    const std::optional<std::string> text =
        start.error == kNoErr ? StringText(*start.state, name) : std::nullopt;
    return text ? SwatchHandleOf(start.colors->swatchByName(*text)) : nullptr;
}

AISwatchRef GetSwatchByColor(AISwatchListRef list, const AIColor* color) {
    const ListStart start = StartListOperation("GetSwatchByColor", list);
    if (start.error != kNoErr || color == nullptr) {
        return nullptr;
    }
    // A custom colour finds its swatch whatever the tint asked for and whatever tint the swatch holds.
    const auto untinted = [](AIColor each) {
        if (each.kind == kCustomColor) {
            each.c.c.tint = 0;
        }
        return each;
    };
    const AIColor wanted = untinted(*color);
    for (const model::Swatch& swatch : start.colors->swatches()) {
        if (start.library && swatch.color.isResource()) {
            continue;  // a library's own resources have no handles in the document
        }
        const AIColor held = untinted(ToAIColor(swatch.color));
        if (IsEqual(&held, &wanted)) {
            return SwatchHandleOf(&swatch);
        }
    }
    return nullptr;
}

AISwatchRef InsertNthSwatch(AISwatchListRef list, ai::int32 index) {
    ListStart start = StartListOperation("InsertNthSwatch", list);
    if (start.error == kNoErr && start.library) {
        start.error = kBadParameterErr;  // libraries are read only
    }
    AISwatchRef made = nullptr;
    if (start.error == kNoErr) {
        const std::size_t at = index < 0 ? start.colors->swatches().size() : static_cast<std::size_t>(index);
        model::DocumentColors& colors = start.EditColors();
        made = SwatchHandleOf(colors.findSwatch(colors.insertSwatch(at)));
    }
    if (start.state != nullptr) {
        start.state->journal.Record("InsertNthSwatch", {std::to_string(index)}, start.error);
    }
    return made;
}

AIErr RemoveSwatch(AISwatchListRef list, AISwatchRef swatch, AIBoolean deleteCustomColor) {
    ListStart start = StartListOperation("RemoveSwatch", list);
    if (start.error == kNoErr && start.library) {
        start.error = kBadParameterErr;
    }
    const model::Swatch* found =
        start.error == kNoErr ? start.colors->findSwatch(ResourceIdOf(swatch)) : nullptr;
    // The swatches every document keeps, "[None]" and "[Registration]", can't be removed, as they
    // can't be renamed or recoloured.
    if (start.error == kNoErr && (found == nullptr || found->name == model::kNoneSwatch ||
                                  found->name == model::kRegistrationSwatch)) {
        start.error = kBadParameterErr;
    }
    std::string name = found != nullptr ? found->name : "invalid";
    if (start.error == kNoErr) {
        // The custom colour is never deleted here while art may still use it: this host keeps it.
        static_cast<void>(deleteCustomColor);
        const model::ResourceId id = found->id;
        start.error = ErrorFromStatus(start.EditColors().removeSwatch(id));
    }
    if (start.state != nullptr) {
        start.state->journal.Record("RemoveSwatch", {name}, start.error);
    }
    return start.error;
}

AIErr GetAIColor(AISwatchRef swatch, AIColor* color) {
    auto [state, error] = StartOperation(kSwatchSuite, "GetAIColor");
    const SwatchFound found = error == kNoErr ? FindSwatch(*state, swatch) : SwatchFound{};
    if (error == kNoErr && (found.swatch == nullptr || color == nullptr)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return error;
    }
    if (!found.library || !found.swatch->color.isResource()) {
        *color = ToAIColor(found.swatch->color);
        return kNoErr;
    }
    // A library's custom colour is named by the library's handle until the document takes it.
    const model::CustomColor* custom = found.colors->customColorByName(found.swatch->color.resource);
    if (found.swatch->color.kind != model::Color::Kind::custom || custom == nullptr) {
        return kBadParameterErr;
    }
    color->kind = kCustomColor;
    color->c.c = {CustomColorHandleOf(custom->id), found.swatch->color.values[0]};
    return kNoErr;
}

AIErr SetAIColor(AISwatchRef swatch, const AIColor* color) {
    auto [state, error] = StartOperation(kSwatchSuite, "SetAIColor");
    const SwatchFound found = error == kNoErr ? FindSwatch(*state, swatch) : SwatchFound{};
    if (error == kNoErr && (found.swatch == nullptr || found.library || color == nullptr)) {
        error = kBadParameterErr;
    }
    const std::string name = found.swatch != nullptr ? found.swatch->name : "invalid";
    if (error == kNoErr) {
        // Taken before the colour is converted: that may add a library's custom colour to the document.
        const model::ResourceId id = found.swatch->id;
        const std::optional<model::Color> value = FromAIColor(*color);
        error = value ? ErrorFromStatus(state->documents.current->editColors().setSwatchColor(id, *value))
                      : kBadParameterErr;
    }
    if (state != nullptr) {
        state->journal.Record("SetSwatchColor", {name}, error);
    }
    return error;
}

AIErr GetSwatchName(AISwatchRef swatch, ai::UnicodeString& name) {
    auto [state, error] = StartOperation(kSwatchSuite, "GetSwatchName");
    const SwatchFound found = error == kNoErr ? FindSwatch(*state, swatch) : SwatchFound{};
    if (error == kNoErr && found.swatch == nullptr) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        SetStringText(*state, name, found.swatch->name);
    }
    return error;
}

AIErr SetSwatchName(AISwatchRef swatch, const ai::UnicodeString& name) {
    auto [state, error] = StartOperation(kSwatchSuite, "SetSwatchName");
    const SwatchFound found = error == kNoErr ? FindSwatch(*state, swatch) : SwatchFound{};
    const std::optional<std::string> text = error == kNoErr ? StringText(*state, name) : std::nullopt;
    if (error == kNoErr && (found.swatch == nullptr || found.library || !text)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        // A global swatch's custom colour is renamed with it (Document::renameSwatch).
        error = ErrorFromStatus(state->documents.current->renameSwatch(found.swatch->id, *text));
    }
    if (state != nullptr) {
        state->journal.Record("SetSwatchName", {text.value_or("invalid")}, error);
    }
    return error;
}

// --- Swatch libraries -----------------------------------------------------------------------------

constexpr const char* kLibrariesSuite = kAISwatchLibrariesSuite;

AIErr CountLibraries(ai::int32* count) {
    auto [state, error] = StartOperation(kLibrariesSuite, "CountLibraries");
    error = OutputError(error, count);
    if (count != nullptr) {
        *count = error == kNoErr ? static_cast<ai::int32>(state->colors.swatchLibraries.size() + 1) : 0;
    }
    return error;
}

AIErr GetNthLibrary(ai::int32 index, AISwatchListRef* list) {
    auto [state, error] = StartOperation(kLibrariesSuite, "GetNthLibrary");
    if (error == kNoErr && (list == nullptr || index < 0 ||
                            static_cast<std::size_t>(index) > state->colors.swatchLibraries.size())) {
        error = kBadParameterErr;
    }
    if (error == kNoErr && index == 0 && state->documents.current == nullptr) {
        error = kNoDocumentErr;
    }
    if (list != nullptr) {
        const std::uintptr_t handle =
            error != kNoErr ? 0
            : index == 0    ? state->colors.documentSwatchList
                            : state->colors.swatchLibraries[static_cast<std::size_t>(index) - 1].handle;
        *list = reinterpret_cast<AISwatchListRef>(handle);
    }
    return error;
}

AIErr GetNthLibraryName(ai::int32 index, ai::UnicodeString& name) {
    auto [state, error] = StartOperation(kLibrariesSuite, "GetNthLibraryName");
    if (error == kNoErr &&
        (index < 0 || static_cast<std::size_t>(index) > state->colors.swatchLibraries.size())) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        // The document's own list is named after the document's swatches.
        SetStringText(*state, name,
                      index == 0 ? std::string("Document")
                                 : state->colors.swatchLibraries[static_cast<std::size_t>(index) - 1].name);
    }
    return error;
}

AIErr FindStandardBookColor(const ai::UnicodeString& name, AICustomColor* definition) {
    auto [state, error] = StartOperation(kLibrariesSuite, "FindStandardBookColor");
    const std::optional<std::string> text = error == kNoErr ? StringText(*state, name) : std::nullopt;
    if (error == kNoErr && (!text || definition == nullptr)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return error;
    }
    for (const SwatchLibraryRecord& library : state->colors.swatchLibraries) {
        if (const model::CustomColor* custom = library.colors.customColorByName(*text)) {
            *definition = ToAICustom(custom->definition);
            return kNoErr;
        }
    }
    return kNameNotFoundErr;
}

}  // namespace

AICustomColorSuite gCustomColorSuite = {
    PLIM_SUITE_FUNCTION(NewCustomColor),     PLIM_SUITE_FUNCTION(GetCustomColor),
    PLIM_SUITE_FUNCTION(SetCustomColor),     PLIM_SUITE_FUNCTION(GetCustomColorName),
    PLIM_SUITE_FUNCTION(SetCustomColorName), PLIM_SUITE_FUNCTION(GetCustomColorByName),
    PLIM_SUITE_FUNCTION(ValidCustomColor)};

AIColorSuite gColorSuite = {PLIM_SUITE_FUNCTION(IsEqual)};

AIColorConversionSuite gColorConversionSuite = {PLIM_SUITE_FUNCTION(ConvertSampleColor)};

AISwatchListSuite gSwatchListSuite = {
    PLIM_SUITE_FUNCTION(GetSwatchList),    PLIM_SUITE_COUNT(CountSwatches),
    PLIM_SUITE_FUNCTION(GetNthSwatch),     PLIM_SUITE_FUNCTION(GetSwatchByName),
    PLIM_SUITE_FUNCTION(GetSwatchByColor), PLIM_SUITE_FUNCTION(InsertNthSwatch),
    PLIM_SUITE_FUNCTION(RemoveSwatch),     PLIM_SUITE_FUNCTION(GetAIColor),
    PLIM_SUITE_FUNCTION(SetAIColor),       PLIM_SUITE_FUNCTION(GetSwatchName),
    PLIM_SUITE_FUNCTION(SetSwatchName)};

AISwatchLibrariesSuite gSwatchLibrariesSuite = {
    PLIM_SUITE_FUNCTION(CountLibraries), PLIM_SUITE_FUNCTION(GetNthLibrary),
    PLIM_SUITE_FUNCTION(GetNthLibraryName), PLIM_SUITE_FUNCTION(FindStandardBookColor)};

}  // namespace host

#include "documents/VectorFormats.h"

#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <type_traits>

#include "IAIUnicodeString.h"
#include "core/Json.h"
#include "core/Suites.h"
#include "documents/DocumentScopes.h"

namespace {

using nlohmann::json;

constexpr const char* kSaveACopyEvent = "host_saveACopyAs";

// How a step ended: the value could be set, the job's value can't be (wrong type, out of range),
// or the host refused it.
enum class Outcome { set, badValue, refused };

// The four-character code as the host's key number.
ActionParamKeyID KeyOf(std::string_view code) {
    ActionParamKeyID key = 0;
    for (const char c : code.substr(0, 4)) {
        key = (key << 8) | static_cast<unsigned char>(c);
    }
    return key;
}

std::string CantSetParameter(std::string_view key) {
    return "Can't set the " + std::string(key) + " parameter";
}

// A public setter's answer: empty text when the value was set, else "Can't set the <key> parameter".
std::string Answer(bool set, std::string_view key) {
    return set ? std::string() : CantSetParameter(key);
}

// The host's answer as an outcome.
Outcome Host(AIErr error) {
    return error == kNoErr ? Outcome::set : Outcome::refused;
}

// The value under the key when it has the type, the fallback when the key is absent; none when it
// is present with another type.
template <typename T>
std::optional<T> Typed(const json& job, std::string_view key, T fallback) {
    const json* value = FindKey(job, key);
    if (value == nullptr) {
        return fallback;
    }
    if constexpr (std::is_same_v<T, bool>) {
        return value->is_boolean() ? std::optional<T>(value->get<bool>()) : std::nullopt;
    } else if constexpr (std::is_same_v<T, std::string>) {
        return value->is_string() ? std::optional<T>(value->get<std::string>()) : std::nullopt;
    } else {
        if (!value->is_number() || !std::isfinite(value->get<double>())) {
            return std::nullopt;
        }
        return value->get<double>();
    }
}

// The integer under the key: the default when absent, none for another type or outside 32 bits.
std::optional<ai::int32> IntegerOption(const json& job, std::string_view key, ai::int32 defaultValue) {
    const json* value = FindKey(job, key);
    if (value == nullptr) {
        return defaultValue;
    }
    if (!value->is_number()) {
        return std::nullopt;
    }
    // A whole number within the 32-bit range, written as an integer or not (50 or 50.0).
    const double number = value->get<double>();
    if (!(number >= std::numeric_limits<ai::int32>::min() &&
          number <= std::numeric_limits<ai::int32>::max()) ||
        std::trunc(number) != number) {
        return std::nullopt;
    }
    return static_cast<ai::int32>(number);
}

// A flag handed to the host as the enumeration 1 or 0.
Outcome SetFlagAsEnum(const json& job, std::string_view key, ActionParamKeyID hostKey, bool defaultValue,
                      AIActionParamValueRef params) {
    const std::optional<bool> value = Typed(job, key, defaultValue);
    if (!value) {
        return Outcome::badValue;
    }
    return Host(sAIActionManager->AIActionSetEnumerated(params, hostKey, "", *value ? 1 : 0));
}

// Whether the job's value under the key (when there is one) is of the kind's type and range.
bool Usable(const json& job, std::string_view key, Kind kind) {
    const json* value = FindKey(job, key);
    if (value == nullptr) {
        return true;
    }
    switch (kind) {
        case Kind::enumerated:
        case Kind::text:
            return value->is_string();
        case Kind::boolean:
        case Kind::flagAsInteger:
        case Kind::flagAsEnum:
            return value->is_boolean();
        case Kind::integer:
            return IntegerOption(job, key, 0).has_value();
        case Kind::real:
            return Typed(job, key, 0.0).has_value();
    }
    return false;
}

// The text of a public setter as an outcome: a refusal of a usable value is the host's.
Outcome FromText(const std::string& text, const json& job, std::string_view key, Kind kind) {
    if (text.empty()) {
        return Outcome::set;
    }
    return Usable(job, key, kind) ? Outcome::refused : Outcome::badValue;
}

Outcome SetRow(const json& job, const OptionRow& row, AIActionParamValueRef params) {
    const ActionParamKeyID hostKey = KeyOf(row.hostKey);
    const Outcome outcome = [&] {
        switch (row.kind) {
            case Kind::enumerated:
                return FromText(SetActionParamEnum(job, row.key, row.table, hostKey,
                                                   static_cast<ai::uint32>(row.defaultValue), params),
                                job, row.key, row.kind);
            case Kind::text:
                return FromText(SetActionParamUnicodeString(job, row.key, hostKey, row.defaultText, params),
                                job, row.key, row.kind);
            case Kind::boolean:
                return FromText(SetActionParamBool(job, row.key, hostKey, row.defaultValue != 0.0, params),
                                job, row.key, row.kind);
            case Kind::flagAsInteger: {
                const std::optional<bool> on = Typed(job, row.key, row.defaultValue != 0.0);
                return on ? Host(sAIActionManager->AIActionSetInteger(params, hostKey, *on ? 1 : 0))
                          : Outcome::badValue;
            }
            case Kind::flagAsEnum:
                return SetFlagAsEnum(job, row.key, hostKey, row.defaultValue != 0.0, params);
            case Kind::integer:
                return FromText(SetActionParamInt(job, row.key, hostKey,
                                                  static_cast<ai::int32>(row.defaultValue), params),
                                job, row.key, row.kind);
            case Kind::real:
                return FromText(SetActionParamReal(job, row.key, hostKey, row.defaultValue, params), job,
                                row.key, row.kind);
        }
        return Outcome::badValue;
    }();
    return outcome == Outcome::refused && !row.stops ? Outcome::set : outcome;
}

bool SetCommonKeys(AIActionParamValueRef params, const std::string& path, const SaveACopyFormat& format,
                   std::string& error) {
    const auto fail = [&](const char* key) {
        error = std::string("Can't set the ") + key;
        return false;
    };
    const ai::UnicodeString fullPath(path, kAIUTF8CharacterEncoding);
    if (sAIActionManager->AIActionSetStringUS(params, ActionKey("name"), fullPath) != kNoErr) {
        return fail("kAISaveDocumentAsNameKey");
    }
    const auto setFormat = [&] {
        return sAIActionManager->AIActionSetString(params, ActionKey("frmt"), format.name) == kNoErr;
    };
    if (format.formatFirst) {
        if (!setFormat() ||
            sAIActionManager->AIActionSetString(params, ActionKey("extn"), format.extension) != kNoErr) {
            return fail("kAISaveDocumentAsFormatKey");
        }
    } else {
        if (sAIActionManager->AIActionSetStringUS(
                params, ActionKey("extn"), ai::UnicodeString(format.extension, kAIUTF8CharacterEncoding)) !=
            kNoErr) {
            return fail("kAIExportDocumentExtensionKey");
        }
        if (!setFormat()) {
            return fail("kAISaveDocumentAsFormatKey");
        }
    }
    if (sAIActionManager->AIActionSetBoolean(params, ActionKey("smab"), false) != kNoErr) {
        return fail("kAINativeSaveMultipleArtboardsKey");
    }
    if (sAIActionManager->AIActionSetBoolean(params, ActionKey("sall"), true) != kNoErr) {
        return fail("kAINativeSaveAllKey");
    }
    return true;
}

constexpr SaveACopyFormat kEpsFormat{"Host EPSF", "eps", true};
constexpr SaveACopyFormat kSvgFormat{"svg file format", "svg", false};
constexpr SaveACopyFormat kPdfFormat{"PDF File Format", "pdf", true};

// --- EPS ----------------------------------------------------------------------------------------

constexpr EnumName kPreviews[] = {{"None", 1}, {"Black & White", 4}, {"Color", 5}};

constexpr OptionRow kEpsOptions[] = {
    {"epsVersion", "crtr", Kind::enumerated, 24, kVersionNames},
    {"epsPreview", "wfmt", Kind::enumerated, 5, kPreviews},
    {"epsTransparency", "flat", Kind::enumerated, 2, kTransparencyNames},
    {"epsEmbedFonts", "embd", Kind::flagAsInteger, 1},
    {"epsEmbedImages", "iplc", Kind::boolean, 1},
    {"epsThumbnails", "ithm", Kind::boolean, 0},
    {"epsAddCMYK", "cmyk", Kind::boolean, 1},
    {"epsCompatibleGradients", "cgpt", Kind::boolean, 0},
};

// --- SVG ----------------------------------------------------------------------------------------

constexpr EnumName kSvgProfiles[] = {{"SVG 1.0", 0xFFFFFFFFu}, {"SVG 1.1", 0},       {"SVG Tiny 1.1", 1},
                                     {"SVG Tiny 1.1 +", 2},    {"SVG Basic 1.1", 3}, {"SVG Tiny 1.2", 4}};
constexpr EnumName kSvgFontTypes[] = {{"SVG", 1}, {"Convert to outlines", 2}};
constexpr EnumName kSvgSubsets[] = {{"None", 1},           {"Only Glyphs Used", 2},
                                    {"Common English", 3}, {"Common English & Glyphs Used", 4},
                                    {"Common Roman", 5},   {"Common Roman & Glyphs Used", 6},
                                    {"All Glyphs", 7}};
constexpr EnumName kSvgImageLocations[] = {{"Embed", 1}, {"Link", 2}, {"Preserve", 3}};
constexpr EnumName kSvgCss[] = {{"Presentation Attributes", 4},
                                {"Style Attributes", 1},
                                {"Style Attributes (Entity References)", 2},
                                {"Style Elements", 3}};
constexpr EnumName kSvgEncodings[] = {{"ISO 8859-1", 1}, {"Unicode UTF-8", 2}, {"Unicode UTF-16", 3}};

constexpr OptionRow kSvgFirstOptions[] = {
    {"svgProfile", "DTDt", Kind::enumerated, 0, kSvgProfiles},
    {"svgFontType", "FTKt", Kind::enumerated, 1, kSvgFontTypes},
    {"svgFontSubsetting", "FSbs", Kind::enumerated, 1, kSvgSubsets},
    {"svgImageLocation", "RLoc", Kind::enumerated, 1, kSvgImageLocations},
};
constexpr OptionRow kSvgMiddleOptions[] = {
    {"svgCssProperties", "StTp", Kind::enumerated, 3, kSvgCss},
    {"svgEncoding", "Encd", Kind::enumerated, 2, kSvgEncodings},
    {"svgTextPathElement", "ToPt", Kind::flagAsEnum, 1},
};
constexpr OptionRow kSvgLastOptions[] = {
    {"svgIncludeUnusedStyles", "IUSt", Kind::boolean, 0},
    {"svgSlicing", "ISlc", Kind::boolean, 0},
    {"keepXMP", "IXAP", Kind::boolean, 0},
    {"svgResponsive", "GRSv", Kind::boolean, 1},
    {"svgFewerTspans", "IDAK", Kind::boolean, 1},
};

// --- PDF ----------------------------------------------------------------------------------------

constexpr EnumName kPdfCompatibilities[] = {{"Level 4 (PDF 1.3)", 19},
                                            {"Level 5 (PDF 1.4)", 20},
                                            {"Level 6 (PDF 1.5)", 21},
                                            {"Level 7 (PDF 1.6)", 22},
                                            {"Level 8 (PDF 1.7)", 23}};
constexpr std::string_view kOldestCompatibility = "Level 4 (PDF 1.3)";
constexpr EnumName kResampleKinds[] = {
    {"Do Not Downsample", 1}, {"Average Downsampling", 2}, {"Subsampling", 3}, {"Bicubic Downsampling", 4}};
constexpr EnumName kMonochromeKinds[] = {
    {"None", 0}, {"CCITT Group 3", 1}, {"CCITT Group 4", 2}, {"ZIP", 3}, {"Run Length", 4}};
constexpr EnumName kMarkTypes[] = {{"Roman", 1}, {"Japanese", 2}};

constexpr EnumName kAutoJpeg[] = {{"Minimum", 1}, {"Low", 2}, {"Medium", 3}, {"High", 4}, {"Maximum", 5}};
constexpr EnumName kAutoJpeg2000[] = {{"Minimum", 11}, {"Low", 12},     {"Medium", 13},
                                      {"High", 14},    {"Maximum", 15}, {"Lossless", 16}};
constexpr EnumName kJpeg[] = {{"Minimum", 6}, {"Low", 7}, {"Medium", 8}, {"High", 9}, {"Maximum", 10}};
constexpr EnumName kJpeg2000[] = {{"Minimum", 17}, {"Low", 18},     {"Medium", 19},
                                  {"High", 20},    {"Maximum", 21}, {"Lossless", 22}};

struct CompressionKind {
    std::string_view name;
    EnumTable qualities;
    std::uint32_t defaultQuality;
    bool tiled;
};
constexpr CompressionKind kCompressionKinds[] = {
    {"Automatic(JPEG)", kAutoJpeg, 1, false},
    {"Automatic(JPEG2000)", kAutoJpeg2000, 11, true},
    {"JPEG", kJpeg, 6, false},
    {"JPEG2000", kJpeg2000, 17, true},
};

constexpr OptionRow kPdfFlags[] = {
    {"pdfPreserveHostEditing", "rdtr", Kind::boolean, 1}, {"pdfThumbnails", "thum", Kind::boolean, 1},
    {"pdfFastWebView", "fwev", Kind::boolean, 0},         {"pdfLayers", "aclr", Kind::boolean, 1},
    {"pdfHyperlinks", "hype", Kind::boolean, 1},
};

// The keys of one image kind: colour ("c") or grayscale ("g").
struct ImageKeys {
    std::string_view resampleKind, resolution, resampleAbove, compressionKind, compression, tile;
    const char *resampleHost, *resolutionHost, *aboveHost, *compressionHost, *tileHost;
};
constexpr ImageKeys kColorImages{"pdfColorImageResampleKind",
                                 "pdfColorImageResolution",
                                 "pdfColorImageResampleAbove",
                                 "pdfColorImageCompressionKind",
                                 "pdfColorImageCompression",
                                 "pdfColorImageTileKey",
                                 "crsl",
                                 "cres",
                                 "crab",
                                 "cknd",
                                 "ctil"};
constexpr ImageKeys kGrayscaleImages{"pdfGrayscaleImageResampleKind",
                                     "pdfGrayscaleImageResolution",
                                     "pdfGrayscaleImageResampleAbove",
                                     "pdfGrayscaleImageCompressionKind",
                                     "pdfGrayscaleImageCompression",
                                     "pdfGrayscaleImageTileKey",
                                     "grsl",
                                     "gres",
                                     "grab",
                                     "gknd",
                                     "gtil"};

bool SetImageOptions(const json& job, const ImageKeys& keys, AIActionParamValueRef params,
                     std::string& error) {
    const OptionRow sampling[] = {
        {keys.resampleKind, keys.resampleHost, Kind::enumerated, 1, kResampleKinds},
        {keys.resolution, keys.resolutionHost, Kind::integer, 150, {}, false},
        {keys.resampleAbove, keys.aboveHost, Kind::integer, 225, {}, false},
    };
    if (!SetRows(job, sampling, params, error)) {
        return false;
    }
    const std::optional<std::string> kindName = Typed(job, keys.compressionKind, std::string());
    if (!kindName) {
        error = CantSetParameter(keys.compressionKind);
        return false;
    }
    for (const CompressionKind& kind : kCompressionKinds) {
        if (kind.name != *kindName) {
            continue;
        }
        const OptionRow rows[] = {
            {keys.compression, keys.compressionHost, Kind::enumerated,
             static_cast<double>(kind.defaultQuality), kind.qualities},
            {keys.tile, keys.tileHost, Kind::integer, 256, {}, false},
        };
        return SetRows(job, std::span(rows).first(kind.tiled ? 2 : 1), params, error);
    }
    sAIActionManager->AIActionSetInteger(params, KeyOf(keys.compressionHost), 0);
    return true;
}

// Printer's marks and bleeds.
bool SetMarksAndBleeds(const json& job, AIActionParamValueRef params, std::string& error) {
    const std::optional<bool> allMarks = Typed(job, "pdfAllMarks", false);
    if (!allMarks) {
        error = CantSetParameter("pdfAllMarks");
        return false;
    }
    // By JSON key, walked in key order.
    std::map<std::string_view, std::pair<const char*, bool>> marks = {
        {"pdfMarksUseDocumentBleed", {"bdoc", true}}, {"pdfBleedLink", {"blnk", true}}};
    if (*allMarks) {
        for (const char* host : {"ptrm", "preg", "pclb", "ppgi"}) {
            sAIActionManager->AIActionSetBoolean(params, KeyOf(host), true);
        }
    } else {
        marks.insert({{"pdfTrimMarks", {"ptrm", false}},
                      {"pdfRegMarks", {"preg", false}},
                      {"pdfColorBars", {"pclb", false}},
                      {"pdfPageInfo", {"ppgi", false}}});
    }
    const OptionRow markType[] = {{"pdfPrinterMarkType", "pmtp", Kind::enumerated, 1, kMarkTypes}};
    if (!SetRows(job, markType, params, error)) {
        return false;
    }
    for (const auto& [key, host] : marks) {
        const OptionRow row{key, host.first, Kind::boolean, host.second ? 1.0 : 0.0};
        if (!SetRows(job, std::span(&row, 1), params, error)) {
            return false;
        }
    }
    constexpr OptionRow kBleeds[] = {
        {"pdfBleedBottom", "bbtm", Kind::real, 0}, {"pdfBleedLeft", "blft", Kind::real, 0},
        {"pdfBleedRight", "brht", Kind::real, 0},  {"pdfBleedTop", "btop", Kind::real, 0},
        {"pdfMarksOffset", "post", Kind::real, 6},
    };
    if (!SetRows(job, kBleeds, params, error)) {
        return false;
    }
    // Linked bleeds: all four are the top one (the types were checked above).
    if (Typed(job, "pdfBleedLink", true).value_or(true)) {
        const double top = Typed(job, "pdfBleedTop", 0.0).value_or(0.0);
        for (const char* host : {"blft", "bbtm", "brht"}) {
            sAIActionManager->AIActionSetReal(params, KeyOf(host), top);
        }
    }
    return true;
}

// The permission tables: the host value of a name under PDF 1.3 and under later versions (0: not set).
struct Permission {
    std::string_view name;
    std::uint32_t oldest;
    std::uint32_t later;
};
constexpr Permission kPrintingPermissions[] = {
    {"None", 4, 1}, {"Low Resolution", 0, 2}, {"High Resolution", 5, 3}};
constexpr Permission kChangesPermissions[] = {
    {"None", 6, 1},
    {"Inserting, Deleting and Rotating of pages", 0, 2},
    {"Filling in form fields and signing", 0, 3},
    {"Commenting, filling in form fields and signing", 7, 4},
    {"Page Layout, filling in form fields and signing", 8, 0},
    {"Any except extracting of pages", 9, 5},
};

// Sets the permission the job names; an unknown name, or one the compatibility has no value for,
// sets nothing.
bool SetPermission(const json& job, std::string_view key, std::span<const Permission> table, bool oldest,
                   const char* hostKey, AIActionParamValueRef params, std::string& error) {
    const std::optional<std::string> name = Typed(job, key, std::string());
    if (!name) {
        error = CantSetParameter(key);
        return false;
    }
    for (const Permission& permission : table) {
        const std::uint32_t value = oldest ? permission.oldest : permission.later;
        if (permission.name != *name || value == 0) {
            continue;
        }
        if (sAIActionManager->AIActionSetEnumerated(params, KeyOf(hostKey), "",
                                                    static_cast<ai::int32>(value)) != kNoErr) {
            error = CantSetParameter(key);
            return false;
        }
    }
    return true;
}

// Passwords and permissions. Every step stops the writer when it fails: a file asked to be
// protected is never written without its protection.
bool SetSecurity(const json& job, AIActionParamValueRef params, std::string& error) {
    const auto password = [&](std::string_view key, const char* host, const char* required,
                              std::string& text) {
        const std::optional<std::string> value = Typed(job, key, std::string());
        if (!value || !SetActionParamUnicodeString(job, key, KeyOf(host), "", params).empty() ||
            sAIActionManager->AIActionSetBoolean(params, KeyOf(required), !value->empty()) != kNoErr) {
            error = CantSetParameter(key);
            return false;
        }
        text = *value;
        return true;
    };
    std::string user;
    std::string permissions;
    if (!password("pdfUserPassword", "usps", "usrq", user) ||
        !password("pdfPermissionsPassword", "msps", "msrq", permissions)) {
        return false;
    }
    if (permissions.empty()) {
        return true;
    }
    const std::optional<std::string> compatibility =
        Typed(job, "pdfCompatibility", std::string("Level 7 (PDF 1.6)"));
    const bool oldest = compatibility == kOldestCompatibility;
    const OptionRow copying[] = {{"pdfEnableCopy", "ebcp", Kind::boolean, 1}};
    return SetPermission(job, "pdfPrintingPerm", kPrintingPermissions, oldest, "pmpr", params, error) &&
           SetPermission(job, "pdfChangesPerm", kChangesPermissions, oldest, "pmch", params, error) &&
           SetRows(job, copying, params, error);
}

}  // namespace

bool GetEnumParamFromJson(const json& job, std::string_view key, EnumTable table, ai::uint32 defaultValue,
                          ai::uint32& value) {
    value = defaultValue;
    const json* given = FindKey(job, key);
    if (given == nullptr) {
        return true;
    }
    if (!given->is_string()) {
        return false;
    }
    const std::string& name = given->get_ref<const std::string&>();
    for (const EnumName& entry : table) {
        if (entry.name == name) {
            value = entry.value;
        }
    }
    return true;
}

std::string SetActionParamEnum(const json& job, std::string_view key, EnumTable table,
                               ActionParamKeyID hostKey, ai::uint32 defaultValue,
                               AIActionParamValueRef params) {
    ai::uint32 value = defaultValue;
    return Answer(GetEnumParamFromJson(job, key, table, defaultValue, value) &&
                      sAIActionManager->AIActionSetEnumerated(params, hostKey, "",
                                                              static_cast<ai::int32>(value)) == kNoErr,
                  key);
}

std::string SetActionParamBool(const json& job, std::string_view key, ActionParamKeyID hostKey,
                               bool defaultValue, AIActionParamValueRef params) {
    const std::optional<bool> value = Typed(job, key, defaultValue);
    return Answer(value && sAIActionManager->AIActionSetBoolean(params, hostKey, *value) == kNoErr, key);
}

std::string SetActionParamInt(const json& job, std::string_view key, ActionParamKeyID hostKey,
                              ai::int32 defaultValue, AIActionParamValueRef params) {
    const std::optional<ai::int32> value = IntegerOption(job, key, defaultValue);
    return Answer(value && sAIActionManager->AIActionSetInteger(params, hostKey, *value) == kNoErr, key);
}

std::string SetActionParamReal(const json& job, std::string_view key, ActionParamKeyID hostKey,
                               double defaultValue, AIActionParamValueRef params) {
    const std::optional<double> value = Typed(job, key, defaultValue);
    return Answer(value && std::isfinite(*value) &&
                      sAIActionManager->AIActionSetReal(params, hostKey, *value) == kNoErr,
                  key);
}

std::string SetActionParamUnicodeString(const json& job, std::string_view key, ActionParamKeyID hostKey,
                                        const std::string& defaultText, AIActionParamValueRef params) {
    const std::optional<std::string> text = Typed(job, key, defaultText);
    return Answer(text && sAIActionManager->AIActionSetStringUS(params, hostKey,
                                                                ai::UnicodeString::FromUTF8(*text)) == kNoErr,
                  key);
}

bool SetRows(const json& job, std::span<const OptionRow> rows, AIActionParamValueRef params,
             std::string& error) {
    for (const OptionRow& row : rows) {
        if (SetRow(job, row, params) != Outcome::set) {
            error = CantSetParameter(row.key);
            return false;
        }
    }
    return true;
}

bool SaveACopy(const std::string& path, const SaveACopyFormat& format, const BlockOptions& options,
               std::string& error) {
    ActionBlock block;
    if (block.Get() == nullptr) {
        error = "Can't create action params";
        return false;
    }
    if (!SetCommonKeys(block.Get(), path, format, error) || !options(block.Get(), error)) {
        return false;
    }
    if (sAIActionManager->PlayActionEvent(kSaveACopyEvent, kDialogOff, block.Get()) != kNoErr) {
        error = "Can't play an action event";
        return false;
    }
    if (!block.Delete()) {
        error = "Can't delete action params";
        return false;
    }
    return true;
}

bool ExportEps(const json& job, const std::string& path, std::string& error) {
    const auto options = [&](AIActionParamValueRef params, std::string& failure) {
        return SetRows(job, kEpsOptions, params, failure);
    };
    return SaveACopy(path, kEpsFormat, options, error);
}

bool ExportSvg(const json& job, const std::string& path, std::string& error) {
    const auto options = [&](AIActionParamValueRef params, std::string& failure) {
        if (!SetRows(job, kSvgFirstOptions, params, failure)) {
            return false;
        }
        sAIActionManager->AIActionSetBoolean(params, ActionKey("Ipgf"), false);
        if (!SetRows(job, kSvgMiddleOptions, params, failure)) {
            return false;
        }
        int places = 3;
        ReadJsonValue(job, "decimalPlaces", places);
        if (places >= 1 && places <= 7) {
            sAIActionManager->AIActionSetEnumerated(params, ActionKey("Prcs"), "", places);
        }
        return SetRows(job, kSvgLastOptions, params, failure);
    };
    return SaveACopy(path, kSvgFormat, options, error);
}

bool ExportPdf(const json& job, const std::string& path, std::string& error) {
    const auto options = [&](AIActionParamValueRef params, std::string& failure) {
        const OptionRow presets[] = {
            {"optionSet", "opnm", Kind::text, 0, {}, true, "[High Quality Print]"},
            {"pdfCompatibility", "comp", Kind::enumerated, 22, kPdfCompatibilities},
        };
        if (!SetRows(job, presets, params, failure)) {
            return false;
        }
        sAIActionManager->AIActionSetBoolean(params, ActionKey("vpdf"), false);
        const OptionRow monochrome[] = {
            {"pdfMonochromeImageCompressionKind", "mknd", Kind::enumerated, 0, kMonochromeKinds},
            {"pdfCompressArt", "cart", Kind::boolean, 1, {}, false},
        };
        const OptionRow subsetting[] = {{"pdfSubsetFontsRatio", "rato", Kind::real, 100, {}, false}};
        return SetRows(job, kPdfFlags, params, failure) &&
               SetImageOptions(job, kColorImages, params, failure) &&
               SetImageOptions(job, kGrayscaleImages, params, failure) &&
               SetRows(job, monochrome, params, failure) && SetMarksAndBleeds(job, params, failure) &&
               SetRows(job, subsetting, params, failure) && SetSecurity(job, params, failure);
    };
    return SaveACopy(path, kPdfFormat, options, error);
}

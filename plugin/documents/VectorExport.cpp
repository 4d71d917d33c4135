#include "documents/VectorExport.h"

#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <vector>

#include "AIColor.h"
#include "AIMdMemory.h"
#include "AIPathStyle.h"
#include "AISwatchList.h"
#include "AISymbol.h"
#include "appearance/Colors.h"
#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "art/TagSearch.h"
#include "art/Tags.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "core/Suites.h"
#include "documents/ExportScope.h"
#include "documents/VectorFormats.h"
#include "layout/Artboards.h"
#include "layout/ReferencePoints.h"

namespace {

constexpr const char* kNativeFormatName = "Host Any Format Writer";

// The native writer's options, in the order they are set.
constexpr OptionRow kAiOptions[] = {
    {"aiVersion", "crtr", Kind::enumerated, 24, kVersionNames},
    {"aiTransparency", "flat", Kind::enumerated, 2, kTransparencyNames},
    {"aiEmbedFonts", "embd", Kind::flagAsInteger, 1},
    {"aiSubsetFontsRatio", "rato", Kind::integer, 100},
    {"aiEmbedProfile", "prfl", Kind::flagAsInteger, 0},
    {"aiEmbedImages", "incl", Kind::boolean, 1},
    {"aiPdfCompatible", "pdf ", Kind::boolean, 1},
    {"aiUseCompression", "cmpr", Kind::boolean, 1},
    {"aiSubsetFonts", "sbst", Kind::boolean, 0},
};

constexpr std::array<const char*, 4> kKeptSwatches = {"[None]", "[Registration]", "White", "Black"};

std::string CantSetParameter(std::string_view key) {
    return "Can't set the " + std::string(key) + " parameter";
}

// The boolean under the key: the default when absent, none when it is of another type.
std::optional<bool> BoolOption(const json& job, std::string_view key, bool defaultValue) {
    const json* value = FindKey(job, key);
    if (value == nullptr) {
        return defaultValue;
    }
    return value->is_boolean() ? std::optional<bool>(value->get<bool>()) : std::nullopt;
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

void CollectColors(AIColor* color, void* userData, AIErr* result, AIBoolean* altered) {
    static_cast<std::vector<AIColor>*>(userData)->push_back(*color);
    *result = kNoErr;
    *altered = false;
}

// The symbols the document uses anywhere; none when the search fails.
std::optional<std::set<AIPatternHandle>> UsedSymbols() {
    constexpr ai::int32 kEverywhere =
        kSearchArtwork | kSearchArtStyles | kSearchBrushes | kSearchSymbols | kSearchGraphicStyles;
    AIPatternHandle** block = nullptr;
    ai::int32 count = 0;
    if (sAISymbol->GetUsedSymbolPatterns(kEverywhere, &block, &count) != kNoErr) {
        return std::nullopt;
    }
    std::set<AIPatternHandle> used;
    if (block != nullptr) {
        for (ai::int32 i = 0; i < count; ++i) {
            used.insert((*block)[i]);
        }
        sAIMdMemory->MdMemoryDisposeHandle(reinterpret_cast<AIMdMemoryHandle>(block));
    }
    return used;
}

bool IsKeptSwatchName(const std::string& name) {
    return std::find(kKeptSwatches.begin(), kKeptSwatches.end(), name) != kKeptSwatches.end();
}

bool ColorInUse(const AIColor& color, const std::vector<AIColor>& used) {
    return std::any_of(used.begin(), used.end(),
                       [&](const AIColor& other) { return sAIColor->IsEqual(&color, &other); });
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
    if (!GetEnumParamFromJson(job, key, table, defaultValue, value) ||
        sAIActionManager->AIActionSetEnumerated(params, hostKey, "", static_cast<ai::int32>(value)) !=
            kNoErr) {
        return CantSetParameter(key);
    }
    return {};
}

std::string SetActionParamBool(const json& job, std::string_view key, ActionParamKeyID hostKey,
                               bool defaultValue, AIActionParamValueRef params) {
    const std::optional<bool> value = BoolOption(job, key, defaultValue);
    if (!value || sAIActionManager->AIActionSetBoolean(params, hostKey, *value) != kNoErr) {
        return CantSetParameter(key);
    }
    return {};
}

std::string SetActionParamInt(const json& job, std::string_view key, ActionParamKeyID hostKey,
                              ai::int32 defaultValue, AIActionParamValueRef params) {
    const std::optional<ai::int32> value = IntegerOption(job, key, defaultValue);
    if (!value || sAIActionManager->AIActionSetInteger(params, hostKey, *value) != kNoErr) {
        return CantSetParameter(key);
    }
    return {};
}

std::string SetActionParamReal(const json& job, std::string_view key, ActionParamKeyID hostKey,
                               double defaultValue, AIActionParamValueRef params) {
    const json* given = FindKey(job, key);
    const double value = given == nullptr     ? defaultValue
                         : given->is_number() ? given->get<double>()
                                              : std::numeric_limits<double>::quiet_NaN();
    if (!std::isfinite(value) || sAIActionManager->AIActionSetReal(params, hostKey, value) != kNoErr) {
        return CantSetParameter(key);
    }
    return {};
}

std::string SetActionParamUnicodeString(const json& job, std::string_view key, ActionParamKeyID hostKey,
                                        const std::string& defaultText, AIActionParamValueRef params) {
    const json* given = FindKey(job, key);
    if (given != nullptr && !given->is_string()) {
        return CantSetParameter(key);
    }
    const std::string text = given != nullptr ? given->get<std::string>() : defaultText;
    if (sAIActionManager->AIActionSetStringUS(params, hostKey, ai::UnicodeString::FromUTF8(text)) != kNoErr) {
        return CantSetParameter(key);
    }
    return {};
}

bool PrepareVectorExport(const json& job, const ArtList& selectedArt, std::string& error) {
    if (!CutDocumentToJob(job, selectedArt, error)) {
        return false;
    }
    FitJobText(job);
    bool outline = false;
    ReadJsonValue(job, "outlineText", outline);
    if (outline) {
        std::string ignored;
        OutlineText("", ignored);
    }
    CreateSingleArtboard(job);
    bool copySwatches = true;
    ReadJsonValue(job, "copySwatches", copySwatches);
    if (!copySwatches) {
        CleanSwatches();
    }
    CleanSymbols();
    return true;
}

bool OutlineText(const std::string& tagSearch, std::string& error) {
    const ArtList art = tagSearch.empty() ? GetAllObjects(false) : SearchTaggedArt(tagSearch);
    if (art.empty()) {
        error = kNoArtworkFound;
        return false;
    }
    for (ArtObject* member : art) {
        if (hostart::IsOfType(member, kTextFrameArt)) {
            OutlineArt(member);
        }
    }
    return true;
}

bool CreateSingleArtboard(const json& job) {
    bool single = false;
    ReadJsonValue(job, "exportAsSingleArtboard", single);
    if (!single) {
        return true;
    }
    AIRealRect bounds{};
    if (!GetArtVectorBounds(GetAllObjects(false), bounds, {.visible = true})) {
        return false;
    }
    return CreateSingleArtboard(bounds);
}

bool CleanSwatches() {
    std::vector<AIColor> used;
    if (sAIPathStyle->AdjustObjectAIColors(nullptr, CollectColors, &used, 64, nullptr) != kNoErr) {
        return false;
    }
    AISwatchListRef list = DocumentSwatchList();
    for (ai::int32 index = sAISwatchList->CountSwatches(list) - 1; index >= 0; --index) {
        AISwatchRef swatch = sAISwatchList->GetNthSwatch(list, index);
        ai::UnicodeString name;
        AIColor color{};
        if (swatch == nullptr || sAISwatchList->GetSwatchName(swatch, name) != kNoErr ||
            IsKeptSwatchName(name.as_UTF8()) || sAISwatchList->GetAIColor(swatch, &color) != kNoErr ||
            ColorInUse(color, used)) {
            continue;
        }
        sAISwatchList->RemoveSwatch(list, swatch, false);
    }
    return true;
}

bool CleanSymbols() {
    const std::optional<std::set<AIPatternHandle>> used = UsedSymbols();
    ai::int32 count = 0;
    if (!used || sAISymbol->CountSymbolPatterns(&count, false) != kNoErr) {
        return false;
    }
    for (ai::int32 index = count - 1; index >= 0; --index) {
        AIPatternHandle symbol = nullptr;
        if (sAISymbol->GetNthSymbolPattern(index, &symbol, false) == kNoErr && symbol != nullptr &&
            !used->contains(symbol)) {
            sAISymbol->DeleteSymbolPattern(symbol);
        }
    }
    return true;
}

bool ExportAi(const json& job, const std::string& filePath, std::string& error) {
    const auto options = [&](AIActionParamValueRef params, std::string& failure) {
        return SetRows(job, kAiOptions, params, failure);
    };
    return SaveACopy(filePath, {kNativeFormatName, "ai,ait", false}, options, error);
}

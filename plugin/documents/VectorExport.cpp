#include "documents/VectorExport.h"

#include <array>
#include <optional>
#include <set>

#include "AIMdMemory.h"
#include "AIPathStyle.h"
#include "AISwatchList.h"
#include "AISymbol.h"
#include "appearance/ColorSet.h"
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

// A global or spot colour is one colour at every tint: art that paints a swatch's custom colour at
// a tint uses that swatch.
AIColor WithoutTint(AIColor color) {
    if (color.kind == kCustomColor) {
        color.c.c.tint = 0;
    }
    return color;
}

void CollectColors(AIColor* color, void* userData, AIErr* result, AIBoolean* altered) {
    static_cast<ColorSet*>(userData)->Insert(WithoutTint(*color));
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

bool ColorInUse(const AIColor& color, const ColorSet& used) {
    return used.Contains(WithoutTint(color));
}

}  // namespace

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
    // Every colour the document paints with, gathered once for all the swatches.
    ColorSet used;
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
    ai::int32 count = 0;
    if (sAISymbol->CountSymbolPatterns(&count, false) != kNoErr) {
        return false;
    }
    // A document without symbols has none to delete: the search through all its art is skipped.
    if (count <= 0) {
        return true;
    }
    const std::optional<std::set<AIPatternHandle>> used = UsedSymbols();
    if (!used) {
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

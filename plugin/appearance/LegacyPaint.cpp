// The panel's two older requests: "applyPaint" paints the stroke and fill of art carrying a host
// tag, "getArtStyleList" lists the document's named graphic styles. They speak an XML-like text.
#include <cmath>
#include <cstdlib>
#include <optional>

#include "AIArtStyle.h"
#include "AITag.h"
#include "IAIUnicodeString.h"
#include "appearance/Colors.h"
#include "art/ArtTree.h"
#include "core/PlimPanelController.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"

namespace {

constexpr short kGroupType = 1;
const char* const kNoMatch = "no_match";
const char* const kInks[] = {"cyan", "magenta", "yellow", "black"};

ai::UnicodeString getParam(const ai::UnicodeString& text, const char* name) {
    return getPara(text, ai::UnicodeString(name));
}

bool Present(const ai::UnicodeString& element) {
    return element.as_UTF8() != kNoMatch;
}

// The leading number of the element's text, read as a single-precision decimal; none when the text
// starts with no number.
std::optional<double> Number(const ai::UnicodeString& element) {
    const std::string text = element.as_UTF8();
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (end == text.c_str()) {
        return std::nullopt;
    }
    return static_cast<double>(value);
}

// The process colour of a stroke or fill text: four finite inks from 0 to 1, else none.
std::optional<AIColor> ProcessColor(const ai::UnicodeString& paint) {
    AIColor color;
    color.kind = kFourColor;
    AIReal* inks[] = {&color.c.f.cyan, &color.c.f.magenta, &color.c.f.yellow, &color.c.f.black};
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> ink = Number(getParam(paint, kInks[i]));
        if (!ink || !std::isfinite(*ink) || *ink < 0.0 || *ink > 1.0) {
            return std::nullopt;
        }
        *inks[i] = *ink;
    }
    return color;
}

// The colour of one paint: a document swatch's, or the process colour of its inks.
std::optional<AIColor> PaintColor(const ai::UnicodeString& paint) {
    const ai::UnicodeString swatchName = getParam(paint, "swatch");
    if (!Present(swatchName)) {
        return ProcessColor(paint);
    }
    AIColor color;
    AISwatchRef swatch = FindDocumentSwatch(swatchName.as_UTF8());
    if (swatch == nullptr || sAISwatchList->GetAIColor(swatch, &color) != kNoErr) {
        return std::nullopt;
    }
    return color;
}

int hasNamedTag(AIArtHandle art, const std::string& names) {
    ai::int32 count = 0;
    if (sAITag->CountTags(art, &count) != kNoErr || count == 0) {
        return 0;
    }
    std::size_t start = 0;
    while (start <= names.size()) {
        const std::size_t comma = names.find(',', start);
        const std::string piece =
            names.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        for (ai::int32 i = 0; i < count; ++i) {
            const char* name = nullptr;
            if (sAITag->GetNthTag(art, i, &name) != kNoErr || name == nullptr) {
                return 0;
            }
            if (piece == name) {
                return 1;
            }
        }
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return 0;
}

}  // namespace

ai::UnicodeString PlimUtilsPlugin::applyPaint(ai::UnicodeString payload) {
    const ai::UnicodeString falseText("false");
    const ai::UnicodeString tag = getParam(payload, "tag");
    const ai::UnicodeString stroke = getParam(payload, "stroke");
    const ai::UnicodeString fill = getParam(payload, "fill");
    if (!Present(tag) || (!Present(stroke) && !Present(fill))) {
        return falseText;
    }
    // Everything is read and checked before anything changes.
    double width = 0;
    std::optional<AIColor> strokeColor;
    std::optional<AIColor> fillColor;
    if (Present(stroke)) {
        const ai::UnicodeString weight = getParam(stroke, "weight");
        if (Present(weight)) {
            const std::optional<double> number = Number(weight);
            if (!number || !std::isfinite(*number) || *number < 0.0) {
                return falseText;
            }
            width = *number;
        }
        strokeColor = PaintColor(stroke);
        if (!strokeColor) {
            return falseText;
        }
    }
    if (Present(fill)) {
        fillColor = PaintColor(fill);
        if (!fillColor) {
            return falseText;
        }
    }
    const std::string names = tag.as_UTF8();
    for (AIArtHandle art : GetAllObjects(true)) {
        short type = 0;
        AIPathStyle style;
        if (sAIArt->GetArtType(art, &type) != kNoErr || type == kGroupType || hasNamedTag(art, names) != 1 ||
            sAIPathStyle->GetPathStyle(art, &style, nullptr) != kNoErr) {
            continue;
        }
        if (strokeColor) {
            style.stroke.width = width;
            if (sAIPathStyle->SetObjectAIColor(&style, &*strokeColor, true, art) != kNoErr) {
                continue;
            }
        }
        if (fillColor && sAIPathStyle->SetObjectAIColor(&style, &*fillColor, false, art) != kNoErr) {
            continue;
        }
        sAIPathStyle->SetPathStyle(art, &style);
    }
    return tag;
}

ai::UnicodeString PlimUtilsPlugin::getArtStyleList() {
    ai::int32 count = 0;
    if (sAIArtStyle->CountNamedArtStyles(&count) != kNoErr) {
        return ai::UnicodeString("false");
    }
    std::string list;
    for (ai::int32 i = 0; i < count; ++i) {
        AIArtStyleHandle style = nullptr;
        ai::UnicodeString name;
        AIBoolean unlisted = false;
        if (sAIArtStyle->GetNthNamedArtStyle(i, &style) != kNoErr ||
            sAIArtStyle->GetArtStyleName(style, name, &unlisted) != kNoErr) {
            continue;
        }
        if (!unlisted) {
            list += "'" + name.as_UTF8() + "',";
        }
    }
    if (!list.empty()) {
        list.pop_back();  // the last comma
    }
    return ai::UnicodeString(list, kAIUTF8CharacterEncoding);
}

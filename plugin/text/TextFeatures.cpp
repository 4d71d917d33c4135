// The text-feature record without the host: its JSON form, its reading from a graphic style and the
// language table.
#include "text/TextFeatures.h"
#include "core/TextHelpers.h"

#include <array>
#include <utility>

namespace {

// The record's plain features by JSON key; the colours, the two directions and "tracking" are
// read and written beside them.
template <typename T>
using Member = std::optional<T> TextFeatures::*;

constexpr std::pair<const char*, Member<double>> kNumbers[] = {
    {"fontSize", &TextFeatures::fontSize},
    {"leading", &TextFeatures::leading},
    {"strokeWidth", &TextFeatures::strokeWidth},
    {"baselineShift", &TextFeatures::baselineShift},
    {"horizontalScale", &TextFeatures::horizontalScale},
    {"verticalScale", &TextFeatures::verticalScale},
    {"rotation", &TextFeatures::rotation},
    {"firstLineIndent", &TextFeatures::firstLineIndent},
};

constexpr std::pair<const char*, Member<std::string>> kTexts[] = {
    {"fontName", &TextFeatures::fontName},
    {"fontFamily", &TextFeatures::fontFamily},
    {"fontStyle", &TextFeatures::fontStyle},
    {"charDirection", &TextFeatures::charDirection},
    {"baselineOption", &TextFeatures::baselineOption},
    {"strokeJoin", &TextFeatures::strokeJoin},
    {"kerningType", &TextFeatures::kerningType},
    {"language", &TextFeatures::language},
    {"justification", &TextFeatures::justification},
    {"composerEngine", &TextFeatures::composerEngine},
    {"charStyle", &TextFeatures::charStyle},
    {"paraStyle", &TextFeatures::paraStyle},
};

constexpr std::pair<const char*, Member<bool>> kFlags[] = {
    {"autoLeading", &TextFeatures::autoLeading},
    {"strikethrough", &TextFeatures::strikethrough},
    {"underline", &TextFeatures::underline},
    {"overprintFill", &TextFeatures::overprintFill},
    {"overprintStroke", &TextFeatures::overprintStroke},
    {"everyLineComposer", &TextFeatures::everyLineComposer},
    {"leftToRight", &TextFeatures::leftToRight},
};

constexpr std::pair<const char*, Member<PFieldColor>> kColors[] = {
    {"fillColor", &TextFeatures::fillColor},
    {"strokeColor", &TextFeatures::strokeColor},
};

// The host's language values 0 to 62 and their names.
constexpr std::array<const char*, 63> kLanguages = {
    "English: US",
    "Finnish",
    "French",
    "French: Canadian",
    "German: 1996 Reform",
    "German: Old Rules",
    "German: Swiss Old Rules",
    "Italian",
    "Norwegian: Bokmal",
    "Norwegian: Nynorsk",
    "Portuguese",
    "Portuguese: Brazillian",
    "Spanish",
    "Swedish",
    "English: UK",
    "Dutch: Old Rules",
    "Danish",
    "Catalan",
    "Russian",
    "Ukrainian",
    "Bulgarian",
    "Serbian",
    "Czech",
    "Polish",
    "Romanian",
    "Greek",
    "Turkish",
    "Icelandic",
    "Hungarian",
    "Chinese",
    "Japanese",
    "Croatian",
    "Hebrew",
    "Slovenian",
    "Belarusian",
    "Albanian",
    "Lithuanian",
    "Latvian",
    "Slovak",
    "Arabic",
    "Estonian",
    "Farsi",
    "German: 2006 Reform",
    "Dutch: 2005 Reform",
    "German: Swiss 2006 Reform",
    "English: Canadian",
    "Thai",
    "Vietnamese",
    "Lao",
    "Hindi",
    "Marathi",
    "Bengali",
    "Punjabi",
    "Gujarati",
    "Oriya",
    "Tamil",
    "Telugu",
    "Kannada",
    "Malayalam",
    "Burmese",
    "Sinhalese",
    "Khmer",
    "Indonesian",
};

// "ltr" true, "rtl" false, in any ASCII case; none for other text.
std::optional<bool> DirectionOfText(const std::string& text) {
    const std::string lower = AsciiLowerCase(text);
    if (lower == "ltr") {
        return true;
    }
    if (lower == "rtl") {
        return false;
    }
    return std::nullopt;
}

void NotBelowZero(std::optional<double>& value) {
    if (value && *value < 0) {
        value = 0.0;
    }
}

}  // namespace

TextFeatures::TextFeatures(const json& object) {
    std::string text;
    double number = 0;
    bool flag = false;
    for (const auto& [key, member] : kNumbers) {
        if (ReadJsonValue(object, key, number)) {
            this->*member = number;
        }
    }
    for (const auto& [key, member] : kTexts) {
        if (ReadJsonValue(object, key, text)) {
            this->*member = text;
        }
    }
    for (const auto& [key, member] : kFlags) {
        if (ReadJsonValue(object, key, flag)) {
            this->*member = flag;
        }
    }
    int units = 0;
    if (ReadJsonValue(object, "tracking", units)) {
        tracking = units;
    }
    NotBelowZero(fontSize);
    NotBelowZero(leading);
    NotBelowZero(strokeWidth);
    for (const auto& [key, member] : kColors) {
        if (const json* value = FindKey(object, key)) {
            bool ok = false;
            PFieldColor color(*value, ok);
            if (ok) {
                this->*member = std::move(color);
            }
        }
    }
    DropStrokeWidthWithoutStroke();
    if (ReadJsonValue(object, "leftToRight", text)) {
        leftToRight = DirectionOfText(text);
    }
    if (ReadJsonValue(object, "storyDirection", text)) {
        storyDirection = DirectionOfText(text);
    }
}

TextFeatures::TextFeatures(const GStyle& style) {
    bool fillTaken = false;
    bool strokeTaken = false;
    for (const PField& field : style.paintFields) {
        if (fillTaken && strokeTaken) {
            break;
        }
        if (field.mode == "remove" || !field.colorGiven) {
            continue;
        }
        const bool isFill = !field.isFillKnown || field.isFill;
        if (isFill && !fillTaken) {
            fillTaken = true;
            fillColor = field.color;
            overprintFill = field.overprint;
        } else if (!isFill && !strokeTaken) {
            strokeTaken = true;
            strokeColor = field.color;
            overprintStroke = field.overprint;
            if (field.strokeGiven) {
                strokeWidth = field.pFieldStroke.width;
                strokeJoin = field.pFieldStroke.lineJoin;
            }
        }
    }
}

void TextFeatures::DropStrokeWidthWithoutStroke() {
    if (!strokeColor || strokeColor->colorSpace == "None") {
        strokeWidth.reset();
    }
}

json TextFeatures::WriteJson() const {
    json out = json::object();
    for (const auto& [key, member] : kNumbers) {
        if (const auto& value = this->*member) {
            out[key] = *value;
        }
    }
    for (const auto& [key, member] : kTexts) {
        if (const auto& value = this->*member) {
            out[key] = *value;
        }
    }
    for (const auto& [key, member] : kFlags) {
        if (const auto& value = this->*member) {
            out[key] = *value;
        }
    }
    for (const auto& [key, member] : kColors) {
        if (const auto& value = this->*member) {
            out[key] = value->WriteJson();
        }
    }
    if (tracking) {
        out["tracking"] = *tracking;
    }
    if (storyDirection) {
        out["storyDirection"] = *storyDirection ? "ltr" : "rtl";
    }
    return out;
}

bool TextFeatures::Check() const {
    return !WriteJson().empty();
}

std::optional<std::string> LanguageName(int value) {
    if (value < 0 || value >= static_cast<int>(kLanguages.size())) {
        return std::nullopt;
    }
    return kLanguages[static_cast<size_t>(value)];
}

std::optional<int> LanguageValue(const std::string& name) {
    for (size_t i = 0; i < kLanguages.size(); ++i) {
        if (name == kLanguages[i]) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

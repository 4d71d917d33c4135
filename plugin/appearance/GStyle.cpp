#include "appearance/GStyle.h"

#include <cmath>
#include <iomanip>
#include <limits>
#include <sstream>

#include "AIBeautifulStrokes.h"
#include "AIEntry.h"
#include "AILiveEffect.h"
#include "AISymbol.h"
#include "IAIUnicodeString.h"
#include "appearance/StyleParts.h"
#include "core/Suites.h"
#include "layout/Reduce.h"

namespace {

std::optional<bool> DictBool(AIDictionaryRef dictionary, const char* name) {
    AIDictKey key = KeyOf(name);
    AIBoolean value = false;
    if (key == nullptr || !sAIDictionary->IsKnown(dictionary, key) ||
        sAIDictionary->GetBooleanEntry(dictionary, key, &value) != kNoErr) {
        return std::nullopt;
    }
    return value != 0;
}

std::optional<ai::int32> DictInt(AIDictionaryRef dictionary, const char* name) {
    AIDictKey key = KeyOf(name);
    ai::int32 value = 0;
    if (key == nullptr || !sAIDictionary->IsKnown(dictionary, key) ||
        sAIDictionary->GetIntegerEntry(dictionary, key, &value) != kNoErr) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> DictReal(AIDictionaryRef dictionary, const char* name) {
    AIDictKey key = KeyOf(name);
    AIReal value = 0;
    if (key == nullptr || !sAIDictionary->IsKnown(dictionary, key) ||
        sAIDictionary->GetRealEntry(dictionary, key, &value) != kNoErr) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> DictString(AIDictionaryRef dictionary, const char* name) {
    AIDictKey key = KeyOf(name);
    const char* value = nullptr;
    if (key == nullptr || !sAIDictionary->IsKnown(dictionary, key) ||
        sAIDictionary->GetStringEntry(dictionary, key, &value) != kNoErr || value == nullptr) {
        return std::nullopt;
    }
    return std::string(value);
}

// A real as a standard output stream writes it by default.
std::string RealText(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

// Typed reads that fail the record on a present value of another type.
template <typename T>
void ReadStrict(const json& object, const char* key, std::optional<T>& out) {
    if (object.contains(key)) {
        out = object.at(key).get<T>();
    }
}

// A strict 32-bit integer: another type throws the JSON library's type error, an integer beyond
// 32 bits a CommandError naming the key.
int ReadInt32(const json& object, const char* key) {
    const json& value = object.at(key);
    if (!value.is_number_integer()) {
        throw json::type_error::create(302, std::string("\"") + key + "\" must be an integer", &value);
    }
    // Compared as a double: an unsigned integer beyond 63 bits must not wrap into the range.
    const auto wide = value.get<double>();
    if (!(wide <= std::numeric_limits<int>::max() && wide > std::numeric_limits<int>::min())) {
        throw CommandError(std::string("\"") + key + "\" is not a 32-bit integer");
    }
    return static_cast<int>(wide);
}

// A 1-based index of JSON, 0-based in memory: n >= 0 is n - 1, a negative one is 0.
std::optional<int> ReadIndex(const json& object, const char* key) {
    if (!object.contains(key)) {
        return std::nullopt;
    }
    const int value = ReadInt32(object, key);
    return value >= 0 ? value - 1 : 0;
}

// A 1-based position of JSON stored as value - 1 without clamping.
std::optional<int> ReadPosition(const json& object, const char* key) {
    if (!object.contains(key)) {
        return std::nullopt;
    }
    return ReadInt32(object, key) - 1;
}

void ReadBlendKeys(const json& object, BlendField& blend) {
    ReadJsonValue(object, "blendingMode", blend.blendingMode);
    blend.opacityGiven = ReadJsonValue(object, "opacity", blend.opacity);
    bool flag = false;
    if (ReadJsonValue(object, "opacityEnabled", flag)) {
        blend.opacityEnabled = flag;
    }
    if (ReadJsonValue(object, "isolateBlending", flag)) {
        blend.isolateBlending = flag;
    }
    ReadJsonValue(object, "knockout", blend.knockout);
    if (ReadJsonValue(object, "opacityDefineKnockout", flag)) {
        blend.opacityDefineKnockout = flag;
    }
}

bool IsPreEffect(const std::string& name) {
    for (const char* pre : kPreEffectNames) {
        if (name == pre) {
            return true;
        }
    }
    return false;
}

}  // namespace

// --- The skip filter ------------------------------------------------------------------------------

bool SkipJSONVector(const json& array, json& out) {
    if (!array.is_array()) {
        return false;
    }
    out = json::array();
    for (const json& element : array) {
        const bool skipped = element.is_object() && element.contains("skip") && element.at("skip") == true;
        if (!skipped) {
            out.push_back(element);
        }
    }
    return true;
}

bool SkipPaintFieldsAndEffects(const json& in, json& out) {
    if (!in.is_object()) {
        return false;
    }
    out = json::object();
    for (const auto& [key, value] : in.items()) {
        if (key == "preEffects" || key == "postEffects" || key == "effects") {
            if (!SkipJSONVector(value, out[key])) {
                return false;
            }
        } else if (key == "paintFields") {
            json fields;
            if (!SkipJSONVector(value, fields)) {
                return false;
            }
            for (json& field : fields) {
                // Filtered from a copy: the filter starts its output empty.
                if (field.is_object() && field.contains("pfEffects") &&
                    !SkipJSONVector(json(field.at("pfEffects")), field["pfEffects"])) {
                    return false;
                }
            }
            out[key] = std::move(fields);
        } else {
            out[key] = value;
        }
    }
    return true;
}

// --- Blend ----------------------------------------------------------------------------------------

BlendField::BlendField(const json& object) {
    ReadBlendKeys(object, *this);
}

void BlendField::SetDefaults() {
    blendingMode = "Normal";
    opacity = 100;
    opacityGiven = true;
    opacityEnabled = true;
    isolateBlending.reset();
    knockout = "Off";
    opacityDefineKnockout.reset();
}

bool BlendField::GetDictParams(AIDictionaryRef dictionary) {
    blendingMode.clear();
    opacity = 100;
    isolateBlending.reset();
    opacityDefineKnockout.reset();
    knockout.clear();
    if (dictionary == nullptr) {
        return false;
    }
    if (const std::optional<ai::int32> mode = DictInt(dictionary, "Mode")) {
        blendingMode = NameAt(kBlendModes, *mode);
    }
    if (const std::optional<double> value = DictReal(dictionary, "Opacity")) {
        opacity = static_cast<int>(std::round(*value * 100.0));
    }
    if (const std::optional<ai::int32> value = DictInt(dictionary, "Knockout")) {
        knockout = NameAt(kKnockouts, *value);
    }
    isolateBlending = DictBool(dictionary, "Isolated");
    opacityDefineKnockout = DictBool(dictionary, "AlphaIsShape");
    return true;
}

BlendField::BlendField(AIStyleParser parser) {
    opacityEnabled = true;
    AIParserBlendField field = nullptr;
    if (sAIArtStyleParser->GetStyleBlendField(parser, &field) != kNoErr || field == nullptr) {
        return;
    }
    AIBoolean enabled = true;
    if (sAIArtStyleParser->GetBlendFieldOpacityEnabled(field, &enabled) == kNoErr) {
        opacityEnabled = enabled != 0;
    }
    HeldDictionary attrs;
    if (sAIDictionary->CreateDictionary(attrs.Out()) == kNoErr &&
        sAIArtStyleParser->GetBlendFieldAttrs(field, attrs.Get()) == kNoErr) {
        GetDictParams(attrs.Get());
    }
}

BlendField::BlendField(AIParserPaintField paintField) {
    opacityEnabled = true;
    AIBoolean enabled = true;
    if (sAIArtStyleParser->GetPaintFieldOpacityEnabled(paintField, &enabled) == kNoErr) {
        opacityEnabled = enabled != 0;
    }
    HeldDictionary attrs;
    if (sAIDictionary->CreateDictionary(attrs.Out()) == kNoErr &&
        sAIArtStyleParser->GetPaintFieldBlendAttrs(paintField, attrs.Get()) == kNoErr) {
        GetDictParams(attrs.Get());
    }
}

void BlendField::WriteJson(json& out) const {
    if (!blendingMode.empty()) {
        out["blendingMode"] = blendingMode;
    }
    if (!knockout.empty()) {
        out["knockout"] = knockout;
    }
    if (opacity != 100) {
        out["opacity"] = opacity;
    }
    if (opacityEnabled) {
        out["opacityEnabled"] = *opacityEnabled;
    }
    if (isolateBlending) {
        out["isolateBlending"] = *isolateBlending;
    }
    if (opacityDefineKnockout) {
        out["opacityDefineKnockout"] = *opacityDefineKnockout;
    }
}

// --- Stroke ---------------------------------------------------------------------------------------

PFieldStroke::PFieldStroke(const json& object) {
    double number = 0;
    std::string text;
    bool flag = false;
    if (object.contains("width") && object.at("width").is_number()) {
        width = object.at("width").get<double>();
    }
    ReadStrict(object, "dashVector", dashVector);
    for (auto [key, field] : {std::pair{"lineCap", &lineCap}, std::pair{"lineJoin", &lineJoin},
                              std::pair{"beginArrow", &beginArrow}, std::pair{"endArrow", &endArrow},
                              std::pair{"arrowAlignment", &arrowAlignment}}) {
        if (ReadJsonValue(object, key, text)) {
            *field = text;
        }
    }
    ReadJsonValue(object, "strokeAlign", strokeAlign);
    for (auto [key, field] :
         {std::pair{"adjustCorners", &adjustCorners}, std::pair{"flipAcross", &flipAcross},
          std::pair{"flipAlong", &flipAlong}, std::pair{"dashAlignment", &dashAlignment}}) {
        if (ReadJsonValue(object, key, flag)) {
            *field = flag;
        }
    }
    for (auto [key, field] :
         {std::pair{"arrowBeginScale", &arrowBeginScale}, std::pair{"arrowEndScale", &arrowEndScale}}) {
        if (object.contains(key) && object.at(key).is_number()) {
            number = object.at(key).get<double>();
            *field = number;
        }
    }
}

bool PFieldStroke::Present() const {
    return width || dashVector || lineCap || lineJoin || !strokeAlign.empty() || !brushName.empty() ||
           adjustCorners || flipAcross || flipAlong || beginArrow || endArrow || arrowBeginScale ||
           arrowEndScale || arrowAlignment || dashAlignment;
}

PFieldStroke::PFieldStroke(AIParserPaintField paintField) {
    AIStrokeStyle stroke;
    if (!sAIArtStyleParser->IsStroke(paintField) ||
        sAIArtStyleParser->GetStroke(paintField, &stroke) != kNoErr) {
        return;
    }
    HeldDictionary params;
    if (sAIArtStyleParser->GetStrokeParams(paintField, params.Out()) != kNoErr) {
        return;
    }
    width = stroke.width;
    if (stroke.dash.length > 0) {
        dashVector = std::vector<double>(
            stroke.dash.array, stroke.dash.array + std::min<int>(stroke.dash.length, kMaxDashComponents));
    }
    if (const std::string cap = NameAt(kCaps, stroke.cap); !cap.empty()) {
        lineCap = cap;
    }
    if (const std::string join = NameAt(kJoins, stroke.join); !join.empty()) {
        lineJoin = join;
    }
    const AIDictionaryRef dictionary = params.Get();
    if (dictionary == nullptr) {
        return;
    }
    if (const std::optional<bool> inside = DictBool(dictionary, "StrokeOffsetInside")) {
        strokeAlign = *inside ? "Inside" : "Outside";
    }
    if (const std::optional<std::string> display = DictString(dictionary, "DisplayString");
        display && !display->empty()) {
        brushName = *display;
    }
    adjustCorners = DictBool(dictionary, "FoldAdjustment");
    if (const std::optional<ai::int32> upsideDown = DictInt(dictionary, "UpsideDown")) {
        flipAcross = *upsideDown != 0;
    }
    if (const std::optional<ai::int32> counter = DictInt(dictionary, "Counterclockwise")) {
        flipAlong = *counter != 0;
    }
    HeldDictionary beautiful;
    if (sAIBeautifulStroke->GetParams(dictionary, beautiful.Out()) != kNoErr || beautiful.Get() == nullptr) {
        return;
    }
    AIPatternHandle begin = nullptr;
    AIPatternHandle end = nullptr;
    AIReal beginScale = kAIRealUnknown;
    AIReal endScale = kAIRealUnknown;
    ai::int32 placement = -1;
    const bool arrows = sAIBeautifulStroke->GetArrowheadOptions(beautiful.Get(), &begin, &end, &beginScale,
                                                                &endScale, &placement) == kNoErr;
    AIBoolean adjust = false;
    sAIBeautifulStroke->GetDashAdjustment(beautiful.Get(), &adjust);
    dashAlignment = adjust != 0;
    if (!arrows) {
        return;
    }
    const auto symbolName = [](AIPatternHandle symbol) -> std::optional<std::string> {
        ai::UnicodeString name;
        if (symbol == nullptr || sAISymbol->GetSymbolPatternName(symbol, name) != kNoErr) {
            return std::nullopt;
        }
        return name.as_UTF8();
    };
    beginArrow = symbolName(begin);
    endArrow = symbolName(end);
    if (beginScale != kAIRealUnknown) {
        arrowBeginScale = beginScale;
    }
    if (endScale != kAIRealUnknown) {
        arrowEndScale = endScale;
    }
    if (placement != -1) {
        arrowAlignment = NameAt(kArrowAlignments, placement);
    }
}

json PFieldStroke::WriteJson() const {
    json out = json::object();
    if (width) {
        out["width"] = *width;
    }
    if (dashVector) {
        out["dashVector"] = *dashVector;
    }
    for (auto [key, field] : {std::pair{"lineCap", &lineCap}, std::pair{"lineJoin", &lineJoin},
                              std::pair{"beginArrow", &beginArrow}, std::pair{"endArrow", &endArrow},
                              std::pair{"arrowAlignment", &arrowAlignment}}) {
        if (*field) {
            out[key] = **field;
        }
    }
    if (!strokeAlign.empty()) {
        out["strokeAlign"] = strokeAlign;
    }
    if (!brushName.empty()) {
        out["brushName"] = brushName;
    }
    for (auto [key, field] :
         {std::pair{"adjustCorners", &adjustCorners}, std::pair{"flipAcross", &flipAcross},
          std::pair{"flipAlong", &flipAlong}, std::pair{"dashAlignment", &dashAlignment}}) {
        if (*field) {
            out[key] = **field;
        }
    }
    if (arrowBeginScale) {
        out["arrowBeginScale"] = *arrowBeginScale;
    }
    if (arrowEndScale) {
        out["arrowEndScale"] = *arrowEndScale;
    }
    return out;
}

// --- Effects --------------------------------------------------------------------------------------

Effect::Effect(const json& object, bool& ok) {
    ok = false;
    try {
        if (!object.is_object()) {
            return;
        }
        if (object.contains("name")) {
            name = object.at("name").get<std::string>();
        }
        visibleGiven = ReadJsonValue(object, "visible", visible);
        if (object.contains("parameters")) {
            parameters = object.at("parameters").get<std::map<std::string, std::string>>();
        }
        if (object.contains("mode")) {
            mode = object.at("mode").get<std::string>();
        }
        effectIndex = ReadPosition(object, "effectIndex");
        for (const auto& [key, value] : object.items()) {
            const std::size_t blank = key.find(' ');
            if (blank == std::string::npos || blank == 0 || blank + 1 == key.size()) {
                continue;
            }
            const std::string kind = key.substr(0, blank);
            if (kind != "FillColor" && kind != "StrokeColor") {
                continue;
            }
            bool colourOk = false;
            try {
                const PFieldColor colour(value, colourOk);
                if (colourOk && (colour.Check() || colour.colorSpace == "remove")) {
                    (kind == "FillColor" ? fillColors : strokeColors)[key.substr(blank + 1)] = colour;
                }
            } catch (const std::exception&) {
                // An unreadable colour parameter is a reading failure of the effect.
                return;
            }
        }
        ok = true;
    } catch (const std::exception&) {
        ok = false;
    }
}

Effect::Effect(AIParserLiveEffect effect) {
    AILiveEffectHandle handle = nullptr;
    const char* internalName = nullptr;
    ai::int32 major = 0;
    ai::int32 minor = 0;
    if (sAIArtStyleParser->GetLiveEffectHandle(effect, &handle) != kNoErr ||
        sAILiveEffect->GetLiveEffectNameAndVersion(handle, &internalName, &major, &minor) != kNoErr ||
        internalName == nullptr) {
        return;
    }
    name = internalName;
    AIBoolean shown = true;
    if (sAIArtStyleParser->GetLiveEffectVisible(effect, &shown) != kNoErr) {
        return;
    }
    visible = shown != 0;
    visibleGiven = true;
    HeldDictionary params;
    AIDictionaryIterator iterator = nullptr;
    if (sAIArtStyleParser->GetLiveEffectParams(effect, params.Out()) != kNoErr ||
        sAIDictionaryIterator->Begin(params.Get(), &iterator) != kNoErr) {
        return;
    }
    for (; !sAIDictionaryIterator->AtEnd(iterator); sAIDictionaryIterator->Next(iterator)) {
        const char* keyText = sAIDictionary->GetKeyString(sAIDictionaryIterator->GetKey(iterator));
        AIEntryRef entry = sAIDictionaryIterator->GetEntry(iterator);
        AIEntryType type = kUnknownEntryType;
        if (keyText == nullptr || entry == nullptr || sAIEntry->GetType(entry, &type) != kNoErr) {
            if (entry != nullptr) {
                sAIEntry->Release(entry);
            }
            continue;
        }
        const std::string key = keyText;
        ai::int32 integer = 0;
        AIBoolean flag = false;
        AIReal real = 0;
        const char* text = nullptr;
        AIFillStyle fill;
        AIStrokeStyle stroke;
        if (type == kIntegerEntryType && sAIEntry->ToInteger(entry, &integer) == kNoErr) {
            parameters["I " + key] = std::to_string(integer);
        } else if (type == kBooleanEntryType && sAIEntry->ToBoolean(entry, &flag) == kNoErr) {
            parameters["B " + key] = flag ? "1" : "0";
        } else if (type == kRealEntryType && sAIEntry->ToReal(entry, &real) == kNoErr) {
            parameters["R " + key] = RealText(real);
        } else if (type == kStringEntryType && sAIEntry->ToString(entry, &text) == kNoErr &&
                   text != nullptr) {
            parameters["S " + key] = text;
        } else if (type == kFillStyleEntryType && sAIEntry->ToFillStyle(entry, &fill) == kNoErr) {
            fillColors[key] = PFieldColor(fill.color);
        } else if (type == kStrokeStyleEntryType && sAIEntry->ToStrokeStyle(entry, &stroke) == kNoErr) {
            strokeColors[key] = PFieldColor(stroke.color);
        }
        sAIEntry->Release(entry);
    }
    sAIDictionaryIterator->Release(iterator);
}

json Effect::WriteJson() const {
    json out = json::object();
    if (!name.empty()) {
        out["name"] = name;
    }
    if (visibleGiven) {
        out["visible"] = visible;
    }
    if (!parameters.empty()) {
        out["parameters"] = parameters;
    }
    if (!mode.empty()) {
        out["mode"] = mode;
    }
    if (effectIndex) {
        out["effectIndex"] = static_cast<std::int64_t>(*effectIndex) + 1;
    }
    for (const auto& [key, colour] : fillColors) {
        out["FillColor " + key] = colour.WriteJson();
    }
    for (const auto& [key, colour] : strokeColors) {
        out["StrokeColor " + key] = colour.WriteJson();
    }
    return out;
}

bool JsonToEffectsVector(const json& array, std::vector<Effect>& out) {
    if (!array.is_array()) {
        return false;
    }
    for (const json& element : array) {
        bool ok = false;
        out.emplace_back(element, ok);
        if (!ok) {
            return false;
        }
    }
    return true;
}

json EffectsVectorToJson(const std::vector<Effect>& effects) {
    json out = json::array();
    for (const Effect& effect : effects) {
        out.push_back(effect.WriteJson());
    }
    return out;
}

// --- Paint fields ---------------------------------------------------------------------------------

PField::PField(const json& object, bool& ok) {
    ok = false;
    if (!object.is_object()) {
        return;
    }
    bool stepsOk = true;
    try {
        ReadJsonValue(object, "visible", visible);
        if (object.contains("isFill")) {
            isFill = object.at("isFill").get<bool>();
            isFillKnown = true;
        }
        if (object.contains("color")) {
            colorJson = object.at("color");
            bool colourOk = false;
            color = PFieldColor(colorJson, colourOk);
            colorGiven = colourOk;
            partialColor = PartialPFieldColor(colorJson);
        }
        if (object.contains("pFieldStroke")) {
            strokeGiven = true;
            pFieldStroke = PFieldStroke(object.at("pFieldStroke"));
        }
        if (object.contains("pfEffects")) {
            std::vector<Effect> effects;
            effectsGiven = JsonToEffectsVector(object.at("pfEffects"), effects) && !effects.empty();
            if (effectsGiven) {
                pfEffects = std::move(effects);
            }
        }
        mode = object.contains("mode") ? object.at("mode").get<std::string>() : std::string();
        if (mode->empty()) {
            mode = "addEdit";
        }
        pfIndex = ReadIndex(object, "pfIndex");
        fillIndex = ReadIndex(object, "fillIndex");
        strokeIndex = ReadIndex(object, "strokeIndex");
        ReadStrict(object, "overprint", overprint);
        ReadStrict(object, "evenOdd", evenOdd);
    } catch (const std::exception&) {
        stepsOk = false;
    }
    if (!isFillKnown) {
        if (fillIndex && !strokeGiven) {
            isFill = true;
            isFillKnown = true;
        } else if (!fillIndex && (strokeIndex || strokeGiven)) {
            isFill = false;
            isFillKnown = true;
        }
    }
    ReadBlendKeys(object, blend);
    ok = stepsOk;
}

PField::PField(AIParserPaintField paintField) : blend(paintField) {
    AIBoolean flag = true;
    if (sAIArtStyleParser->GetPaintFieldVisible(paintField, &flag) == kNoErr) {
        visible = flag != 0;
    }
    if (sAIArtStyleParser->GetEvenOdd(paintField, &flag) == kNoErr) {
        evenOdd = flag != 0;
    }
    const bool fill = sAIArtStyleParser->IsFill(paintField);
    const bool stroke = sAIArtStyleParser->IsStroke(paintField);
    isFillKnown = true;
    isFill = fill || !stroke;
    AIFillStyle fillStyle;
    AIStrokeStyle strokeStyle;
    if (fill && sAIArtStyleParser->GetFill(paintField, &fillStyle, nullptr) == kNoErr) {
        color = PFieldColor(fillStyle.color);
        colorGiven = true;
        overprint = fillStyle.overprint != 0;
    } else if (!fill && stroke && sAIArtStyleParser->GetStroke(paintField, &strokeStyle) == kNoErr) {
        color = PFieldColor(strokeStyle.color);
        colorGiven = true;
        overprint = strokeStyle.overprint != 0;
        pFieldStroke = PFieldStroke(paintField);
        strokeGiven = color.colorSpace != "None";
        if (!strokeGiven) {
            pFieldStroke = PFieldStroke();
        }
    }
    const ai::int32 count = sAIArtStyleParser->CountEffectsOfPaintField(paintField);
    effectsGiven = count != 0;
    for (ai::int32 i = 0; i < count; ++i) {
        AIParserLiveEffect effect = nullptr;
        if (sAIArtStyleParser->GetNthEffectOfPaintField(paintField, i, &effect) == kNoErr) {
            pfEffects.emplace_back(effect);
        }
    }
}

bool PField::Present() const {
    return isFillKnown || colorGiven || strokeGiven || effectsGiven || pFieldStroke.Present() ||
           mode.has_value();
}

bool PField::Check() const {
    return isFillKnown && colorGiven && color.Check() && (!strokeGiven || pFieldStroke.Present()) &&
           (!effectsGiven || !pfEffects.empty());
}

json PField::WriteJson() const {
    json out = json::object();
    out["visible"] = visible;
    if (isFillKnown) {
        out["isFill"] = isFill;
    }
    if (colorGiven) {
        out["color"] = color.WriteJson();
    }
    if (strokeGiven && !isFill) {
        out["pFieldStroke"] = pFieldStroke.WriteJson();
    }
    if (effectsGiven) {
        out["pfEffects"] = EffectsVectorToJson(pfEffects);
    }
    if (mode) {
        out["mode"] = *mode;
    }
    for (auto [key, index] : {std::pair{"pfIndex", &pfIndex}, std::pair{"fillIndex", &fillIndex},
                              std::pair{"strokeIndex", &strokeIndex}}) {
        if (*index) {
            out[key] = static_cast<std::int64_t>(**index) + 1;
        }
    }
    blend.WriteJson(out);
    if (overprint) {
        out["overprint"] = *overprint;
    }
    if (evenOdd) {
        out["evenOdd"] = *evenOdd;
    }
    return out;
}

// --- Whole styles ---------------------------------------------------------------------------------

GStyle::GStyle(const json& given, bool& ok) {
    ok = false;
    try {
        json filtered;
        const json& object = SkipPaintFieldsAndEffects(given, filtered) ? filtered : given;
        if (!object.is_object()) {
            return;
        }
        if (object.contains("preEffects") && !JsonToEffectsVector(object.at("preEffects"), preEffects)) {
            return;
        }
        if (object.contains("paintFields")) {
            for (const json& element : object.at("paintFields").get_ref<const json::array_t&>()) {
                paintFieldsJson.push_back(element);
                bool fieldOk = false;
                paintFields.emplace_back(element, fieldOk);
                if (!fieldOk) {
                    return;
                }
            }
        }
        contentsPosition = ReadPosition(object, "contentsPosition");
        if (object.contains("postEffects") && !JsonToEffectsVector(object.at("postEffects"), postEffects)) {
            return;
        }
        if (object.contains("effects")) {
            std::vector<Effect> mixed;
            if (!JsonToEffectsVector(object.at("effects"), mixed)) {
                return;
            }
            for (Effect& effect : mixed) {
                if (IsPreEffect(effect.name)) {
                    preEffects.push_back(std::move(effect));
                } else {
                    effect.fromMixedList = true;
                    postEffects.push_back(std::move(effect));
                }
            }
        }
        blendGiven = true;
        ReadBlendKeys(object, blend);
        ok = true;
    } catch (const std::exception&) {
        ok = false;
    }
}

GStyle::GStyle(AIArtHandle art) {
    const ParsedStyle parsed(art);
    if (parsed.Parsed()) {
        *this = GStyle(parsed.Get());
    }
}

GStyle::GStyle(AIStyleParser parser) {
    for (ai::int32 i = 0, count = sAIArtStyleParser->CountPreEffects(parser); i < count; ++i) {
        AIParserLiveEffect effect = nullptr;
        if (sAIArtStyleParser->GetNthPreEffect(parser, i, &effect) == kNoErr) {
            preEffects.emplace_back(effect);
        }
    }
    int fills = 0;
    int strokes = 0;
    for (ai::int32 i = 0, count = sAIArtStyleParser->CountPaintFields(parser); i < count; ++i) {
        AIParserPaintField field = nullptr;
        if (sAIArtStyleParser->GetNthPaintField(parser, i, &field) != kNoErr) {
            continue;
        }
        PField paintField(field);
        paintField.pfIndex = i;
        if (paintField.isFill) {
            paintField.fillIndex = fills++;
        } else {
            paintField.strokeIndex = strokes++;
        }
        paintFields.push_back(std::move(paintField));
    }
    ai::int32 position = 0;
    if (sAIArtStyleParser->GetContentsPosition(parser, &position) == kNoErr) {
        contentsPosition = position;
    }
    for (ai::int32 i = 0, count = sAIArtStyleParser->CountPostEffects(parser); i < count; ++i) {
        AIParserLiveEffect effect = nullptr;
        if (sAIArtStyleParser->GetNthPostEffect(parser, i, &effect) == kNoErr) {
            postEffects.emplace_back(effect);
        }
    }
    blendGiven = true;
    blend = BlendField(parser);
}

json GStyle::WriteJson() const {
    json out = json::object();
    if (!preEffects.empty()) {
        out["preEffects"] = EffectsVectorToJson(preEffects);
    }
    if (!paintFields.empty()) {
        json fields = json::array();
        for (const PField& field : paintFields) {
            fields.push_back(field.WriteJson());
        }
        out["paintFields"] = std::move(fields);
    }
    if (contentsPosition) {
        out["contentsPosition"] = static_cast<std::int64_t>(*contentsPosition) + 1;
    }
    if (!postEffects.empty()) {
        out["postEffects"] = EffectsVectorToJson(postEffects);
    }
    blend.WriteJson(out);
    return out;
}

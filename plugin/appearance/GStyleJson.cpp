// Graphic-style records read from request JSON and written as reply JSON.
#include <algorithm>
#include <limits>

#include "appearance/GStyle.h"
#include "appearance/StyleParts.h"

namespace {

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
    // Named in the failure, as every key of a request is: the search and replacement strokes of
    // editGraphicStyle are read from the request itself.
    if (object.contains("dashVector")) {
        const json& dashes = object.at("dashVector");
        if (!dashes.is_array() ||
            !std::all_of(dashes.begin(), dashes.end(), [](const json& dash) { return dash.is_number(); })) {
            throw CommandError("\"dashVector\" must be an array of numbers");
        }
        dashVector = dashes.get<std::vector<double>>();
    }
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

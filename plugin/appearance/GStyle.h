// The graphic-style records: the whole appearance of an art object (live effects before and after
// the paint, paint fields with their own effects and transparency, the contents position and the
// transparency of the whole), read from request JSON or from the host's style parser and written
// as reply JSON.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "AIArt.h"
#include "AIArtStyleParser.h"
#include "appearance/Colors.h"
#include "core/Json.h"

class BlendField {
public:
    BlendField() = default;
    explicit BlendField(const json& object);
    // The style-level transparency of a parsed style, and a paint field's.
    explicit BlendField(AIStyleParser parser);
    explicit BlendField(AIParserPaintField paintField);
    // Reads "Mode", "Opacity", "Knockout", "Isolated" and "AlphaIsShape" after resetting them;
    // false without a dictionary.
    bool GetDictParams(AIDictionaryRef dictionary);
    void SetDefaults();
    void WriteJson(json& out) const;

    std::string blendingMode;
    int opacity = 100;
    std::optional<bool> opacityEnabled;
    std::optional<bool> isolateBlending;
    std::string knockout;
    std::optional<bool> opacityDefineKnockout;

private:
    void ReadAttrs(AIErr (*copy)(void*, AIDictionaryRef), void* source);
};

class PFieldStroke {
public:
    PFieldStroke() = default;
    // Throws the JSON library's type error for a "dashVector" that is not an array of numbers.
    explicit PFieldStroke(const json& object);
    explicit PFieldStroke(AIParserPaintField paintField);
    bool Present() const;
    json WriteJson() const;

    std::optional<double> width;
    std::optional<std::vector<double>> dashVector;
    std::optional<std::string> lineCap;
    std::optional<std::string> lineJoin;
    std::string strokeAlign;
    std::string brushName;
    std::optional<bool> adjustCorners;
    std::optional<bool> flipAcross;
    std::optional<bool> flipAlong;
    std::optional<std::string> beginArrow;
    std::optional<std::string> endArrow;
    std::optional<double> arrowBeginScale;
    std::optional<double> arrowEndScale;
    std::optional<std::string> arrowAlignment;
    std::optional<bool> dashAlignment;
};

class Effect {
public:
    Effect() = default;
    Effect(const json& object, bool& ok);
    explicit Effect(AIParserLiveEffect effect);
    json WriteJson() const;

    std::string name;
    bool visible = true;
    bool visibleGiven = false;
    std::map<std::string, std::string> parameters;
    std::map<std::string, PFieldColor> fillColors;
    std::map<std::string, PFieldColor> strokeColors;
    std::string mode;
    std::optional<int> effectIndex;
    bool fromMixedList = false;
};

class PField {
public:
    PField() = default;
    PField(const json& object, bool& ok);
    explicit PField(AIParserPaintField paintField);
    bool Present() const;
    bool Check() const;
    json WriteJson() const;

    bool visible = true;
    bool isFill = true;
    bool isFillKnown = false;
    PFieldColor color;
    bool colorGiven = false;
    PartialPFieldColor partialColor;
    PFieldStroke pFieldStroke;
    bool strokeGiven = false;
    std::vector<Effect> pfEffects;
    bool effectsGiven = false;
    std::optional<std::string> mode;
    std::optional<int> pfIndex;
    std::optional<int> fillIndex;
    std::optional<int> strokeIndex;
    BlendField blend;
    std::optional<bool> overprint;
    std::optional<bool> evenOdd;
    json colorJson;
};

class GStyle {
public:
    GStyle() = default;
    GStyle(const json& object, bool& ok);
    // The appearance of an art object; empty when its style can't be read.
    explicit GStyle(AIArtHandle art);
    // The appearance held by a parser that has parsed a style.
    explicit GStyle(AIStyleParser parser);
    json WriteJson() const;

    std::vector<Effect> preEffects;
    std::vector<json> paintFieldsJson;
    std::vector<PField> paintFields;
    std::optional<int> contentsPosition;
    std::vector<Effect> postEffects;
    BlendField blend;
    bool blendGiven = false;
};

// Reads each element as an Effect, appending it; false at the first that fails (those before stay),
// or when the value is not an array.
bool JsonToEffectsVector(const json& array, std::vector<Effect>& out);
json EffectsVectorToJson(const std::vector<Effect>& effects);
// The "skip" filter: drops every element that is an object holding "skip": true from the effect
// lists, the paint fields and each paint field's "pfEffects". False when one of them is not an
// array.
bool SkipPaintFieldsAndEffects(const json& in, json& out);
bool SkipJSONVector(const json& array, json& out);

// The graphic-style records: the whole appearance of an art object (live effects before and after
// the paint, paint fields with their own effects and transparency, the contents position and the
// transparency of the whole), read from request JSON or from the host's style parser and written
// as reply JSON. Their JSON is read and written in GStyleJson.cpp, the host's style read in
// GStyleRead.cpp, the effects' defaults kept in EffectDefaults.cpp, and a record written into a style
// parser by ApplyParts.cpp (effects, transparency, strokes, paint fields) and ApplyStyle.cpp (whole
// styles).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "AIArt.h"
#include "AIArtStyleParser.h"
#include "appearance/Colors.h"
#include "core/HostScopes.h"
#include "core/Json.h"
#include "layout/Reduce.h"

class BlendField {
public:
    BlendField() = default;
    explicit BlendField(const json& object);
    // The style-level transparency of a parsed style, and a paint field's.
    explicit BlendField(AIStyleParser parser);
    explicit BlendField(AIParserPaintField paintField);
    // Reads "Mode", "Opacity", "Knockout", "Isolated" and "AlphaIsShape" after resetting them;
    // false without a dictionary.
    bool GetDictParams(const DictionaryScope& dictionary);
    void SetDefaults();
    void WriteJson(json& out) const;
    // Writes the set values into a blend dictionary ("Opacity" only when given, clamped to 0 to
    // 100 percent). True.
    bool SetDictParams(const DictionaryScope& dictionary) const;
    // Lays the set values over the style's blend (or a paint field's); fresh starts from the plain
    // transparency instead of the current one.
    void AddToParser(AIStyleParser parser, bool fresh) const;
    void AddToAIPaintField(AIParserPaintField paintField, bool fresh) const;

    std::string blendingMode;
    int opacity = 100;
    bool opacityGiven = false;
    std::optional<bool> opacityEnabled;
    std::optional<bool> isolateBlending;
    std::string knockout;
    std::optional<bool> opacityDefineKnockout;
};

class PFieldStroke {
public:
    PFieldStroke() = default;
    // Throws the JSON library's type error for a "dashVector" that is not an array of numbers.
    explicit PFieldStroke(const json& object);
    explicit PFieldStroke(AIParserPaintField paintField);
    bool Present() const;
    json WriteJson() const;
    // Writes the set fields into the stroke style and its parameter dictionary; false without a
    // dictionary or when the brush parameters can't be written.
    bool SetStrokeParams(AIStrokeStyle& style, const DictionaryScope& dictionary) const;
    // Gives a stroke paint field this stroke: existing rewrites the paint field's stroke (the colour
    // and overprint from style); otherwise a new stroke paint field of style is made into
    // paintField. False when a host step failed.
    bool MakePFStrokeStyle(AIStyleParser parser, AIParserPaintField& paintField, AIStrokeStyle style,
                           bool existing) const;

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

    // A new parser effect of the parser from the name and parameters; false (nothing left behind)
    // for an empty or unknown name or a failing host step.
    bool MakeAIParserEffect(AIStyleParser parser, AIParserLiveEffect& out) const;
    // This effect laid over base; over the defaults of its name; and over base, starting from the
    // defaults of a new name when it changes the kind of effect. Always true.
    bool MergeWithoutDefaults(const Effect& base, Effect& out) const;
    bool AddToDefaults(Effect& out) const;
    bool Merge(const Effect& base, Effect& out) const;

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

    // Inserts this paint field (with its effects) at the position; false when it fails Check or a
    // host step failed.
    bool Add(int position, AIStyleParser parser) const;
    static bool Remove(int position, AIStyleParser parser);
    // A copy whose effects are normalised against the effects of the paint field at the position.
    PField Normalize(int position, AIStyleParser parser) const;
    bool Edit(int position, AIStyleParser parser, bool removeUntouchedEffects) const;
    void AddEffects(AIStyleParser parser, AIParserPaintField paintField, bool removeUntouched) const;
    // A new paint field of the parser from this record; false when it fails Check or a host step
    // failed.
    bool MakeAIPaintField(AIStyleParser parser, AIParserPaintField& out) const;

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
    // The colours an edit takes as the base of a fill and of a stroke instead of the current one.
    std::optional<PFieldColor> baseFillColor;
    std::optional<PFieldColor> baseStrokeColor;
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

    // An effect of the pre- or post-effect list while a style is applied: its position when the work
    // began (-3 for one added) and whether the work touched it.
    struct EffectInfo {
        int start = -3;
        bool touched = false;
    };

    // Applies the style to the art as an edit script. True when the style was set and the art has
    // at least one paint field afterwards.
    bool AddToArt(AIArtHandle art, bool replacePaintFields, bool replaceEffects) const;
    // Rewrites the paint fields and effects against the style the parser holds.
    void Normalize(AIStyleParser parser);
    void AddToParser(AIStyleParser parser, bool replacePaintFields, bool replaceEffects,
                     GStyle& applied) const;
    void AddToParser(AIStyleParser parser, bool replacePaintFields, bool replaceEffects) const;
    static void AddEffects(const std::vector<Effect>& effects, std::vector<EffectInfo>& infos,
                           AIStyleParser parser, bool pre, bool removeUntouched);
    // The stroke settings the parser can't carry, written through the path-style suite.
    bool AddStrokeProperties(AIArtHandle art) const;
    // True when every effect name searched for is among the pre-effects (post-effects).
    bool FindPreEffects(const std::vector<Effect>& search) const;
    bool FindPostEffects(const std::vector<Effect>& search) const;

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

// The effect object of that name from the default tables; an empty object for another name.
json GetEffectDefaults(const std::string& name);
// The infos of an effect list of count effects that the work has not touched yet.
std::vector<GStyle::EffectInfo> EffectInfosOf(int count);
// A copy with each effect of mode empty or "addEdit" made "edit" (an index below count) or "add".
std::vector<Effect> NormalizeEffectsVector(const std::vector<Effect>& effects, int count);
// Completes a parser that parsed an art's style: the style built back and parsed again; false when
// the art's style could not be parsed or a host step fails.
bool ArtToParser(const ParsedStyle& parsed);

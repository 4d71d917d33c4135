// Applying a graphic-style record to art: the record is an edit script worked on the host's style
// parser. Paint fields and effects each carry a mode ("add", "edit", "editRE", "replace", "remove",
// and "addEdit"/"addEditRE", which choose between adding and editing) and optionally the position
// of what they address. Positions are 0-based; -3 means none and -1 the end of a list.
#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "AIArtStyle.h"
#include "AIBeautifulStrokes.h"
#include "AILiveEffect.h"
#include "AIPaintStyle.h"
#include "AISymbol.h"
#include "IAIUnicodeString.h"
#include "appearance/GStyle.h"
#include "appearance/StyleParts.h"
#include "appearance/TextArt.h"
#include "core/Suites.h"

namespace {

constexpr int kNoPosition = -3;
constexpr int kEnd = -1;

// The live effects' default parameters: the effects before the paint, then those after it.
constexpr const char* kEffectDefaultsBefore = R"({
 "Host Shape Effects": {"name": "Host Shape Effects", "visible": true, "parameters": {"I Shape": "0",
   "R AbsHeight": "36", "R AbsWidth": "36", "R Absolute": "0", "R CornerRadius": "2", "R RelHeight": "0",
   "R RelWidth": "0"}},
 "Host Punk and Bloat": {"name": "Host Punk and Bloat", "visible": true, "parameters": {"R d_factor": "0"}},
 "Host Roughen": {"name": "Host Roughen", "visible": true, "parameters": {"R absoluteness": "0", "R asiz": "5",
   "R dtal": "10", "R roundness": "0", "R size": "5"}},
 "Host Scribble and Tweak": {"name": "Host Scribble and Tweak", "visible": true, "parameters": {"B anch": "1",
   "B in": "1", "B out": "1", "R absoluteness": "0", "R ahor": "10", "R aver": "10", "R horz": "10", "R vert": "10"}},
 "Host Twirl": {"name": "Host Twirl", "visible": true, "parameters": {"R angle": "0"}},
 "Host Zigzag": {"name": "Host Zigzag", "visible": true, "parameters": {"R absoluteness": "0", "R amount": "4",
   "R relAmount": "4", "R ridges": "4", "R roundness": "0"}},
 "Host Offset Path": {"name": "Host Offset Path", "visible": true, "parameters": {"I jntp": "2", "R mlim": "4",
   "R ofst": "10"}},
 "Host Outline Type": {"name": "Host Outline Type", "visible": true},
 "Host Pathfinder": {"name": "Host Pathfinder", "visible": true, "parameters": {"B ConvertCustom": "1",
   "B ExtractUnpainted": "1", "B RemovePoints": "0", "B TrapConvertCustom": "0", "B TrapReverse": "0",
   "I Command": "0", "R Mix": "0.5", "R Precision": "10", "R TrapAspect": "1", "R TrapMaxTint": "1",
   "R TrapThickness": "0.25", "R TrapTint": "0.4", "R TrapTintTolerance": "0.05"}},
 "Host Round Corners": {"name": "Host Round Corners", "visible": true, "parameters": {"R radius": "10"}}
})";

constexpr const char* kEffectDefaultsAfter = R"({
 "Host Trim Marks": {"name": "Host Trim Marks", "visible": true, "parameters": {"I styl": "0"}},
 "Host Transform": {"name": "Host Transform", "visible": true, "parameters": {"B randomize": "0",
   "B reflectX": "0", "B reflectY": "0", "B scaleLines": "1", "B transformObjects": "1",
   "B transformPatterns": "1", "I numCopies": "0", "I pinPoint": "4", "R moveH_Pts": "0", "R moveV_Pts": "0",
   "R rotate_Degrees": "0", "R rotate_Radians": "0", "R scaleH_Factor": "1", "R scaleH_Percent": "100",
   "R scaleV_Factor": "1", "R scaleV_Percent": "100"}},
 "Host Outline Stroke": {"name": "Host Outline Stroke", "visible": true},
 "Host Rasterize": {"name": "Host Rasterize", "visible": true, "parameters": {"B alis": "0", "B mask": "0",
   "I colr": "4", "I dpi.": "72", "I optn": "32", "R padd": "1"}},
 "Host Drop Shadow": {"name": "Host Drop Shadow", "visible": true, "parameters": {"B pair": "1",
   "B usePSLBlur": "1", "I Host Effect Expand Before Version": "16", "I blnd": "1", "I csrc": "1",
   "R blur": "5", "R dark": "100", "R horz": "7", "R opac": "0.75", "R vert": "7"},
   "FillColor sclr": {"colorSpace": "RGB", "channel_1": 0, "channel_2": 0, "channel_3": 0, "spot": false,
   "global": false}},
 "Host Fuzzy Mask": {"name": "Host Fuzzy Mask", "visible": true, "parameters": {"R Radius": "5"}},
 "Host Inner Glow": {"name": "Host Inner Glow", "visible": true, "parameters": {"I blnd": "2", "I gtyp": "1",
   "R blur": "5", "R opac": "0.75"},
   "FillColor gclr": {"colorSpace": "RGB", "channel_1": 255, "channel_2": 255, "channel_3": 255,
   "swatchName": "White", "spot": false, "global": false}},
 "Host Outer Glow": {"name": "Host Outer Glow", "visible": true, "parameters": {"B usePSLBlur": "1",
   "I Host Effect Expand Before Version": "16", "I blnd": "2", "R blur": "5", "R opac": "0.75"},
   "FillColor sclr": {"colorSpace": "RGB", "channel_1": 0, "channel_2": 0, "channel_3": 0, "swatchName": "Black",
   "spot": false, "global": false}},
 "Host Scribble Fill": {"name": "Host Scribble Fill", "visible": true, "parameters": {"R Angle": "30",
   "R EdgeOverlap": "0", "R EdgeOverlapVariation": "5", "R ScribbleVariation": "0.01", "R Scribbliness": "0.05",
   "R Spacing": "5", "R SpacingVariation": "0.5", "R StrokeWidth": "3"}},
 "Host Deform": {"name": "Host Deform", "visible": true, "parameters": {"B Rotate": "0", "I DeformStyle": "1",
   "R DeformHoriz": "0", "R DeformValue": "0.5", "R DeformVert": "0"}},
 "Host PSL Gaussian Blur": {"name": "Host PSL Gaussian Blur", "visible": true, "parameters": {"R blur": "10"}}
})";

// The defaults of a name as an effect; false when there are none. Their colours are plain process
// colours: a default never creates or changes the document's swatch of its name.
bool DefaultEffect(const std::string& name, Effect& out) {
    const json defaults = GetEffectDefaults(name);
    bool ok = false;
    if (defaults.empty() || (out = Effect(defaults, ok), !ok)) {
        return false;
    }
    for (auto* colours : {&out.fillColors, &out.strokeColors}) {
        for (auto& [key, colour] : *colours) {
            colour.swatchName.clear();
            colour.swatchLibrary.clear();
        }
    }
    return true;
}

template <typename Value, typename Keep>
void LayOver(const std::map<std::string, Value>& over, std::map<std::string, Value>& out, Keep keep) {
    for (const auto& [key, value] : over) {
        if (keep(value)) {
            out[key] = value;
        } else {
            out.erase(key);
        }
    }
}

// A number read from text as a standard input stream reads it; 0 when it does not read.
template <typename Number>
Number ReadNumber(const std::string& text) {
    std::istringstream in(text);
    Number value{};
    return in >> value ? value : Number{};
}

// The live-effect lists of a parsed style: the pre- or post-effects, or a paint field's effects.
class EffectList {
public:
    EffectList(AIStyleParser parser, bool pre) : fParser(parser), fPre(pre) {}
    EffectList(AIStyleParser parser, AIParserPaintField field) : fParser(parser), fField(field) {}

    int Count() const {
        if (fField != nullptr) {
            return sAIArtStyleParser->CountEffectsOfPaintField(fField);
        }
        return fPre ? sAIArtStyleParser->CountPreEffects(fParser)
                    : sAIArtStyleParser->CountPostEffects(fParser);
    }
    AIParserLiveEffect Get(int n) const {
        AIParserLiveEffect effect = nullptr;
        const AIErr error = fField != nullptr
                                ? sAIArtStyleParser->GetNthEffectOfPaintField(fField, n, &effect)
                            : fPre ? sAIArtStyleParser->GetNthPreEffect(fParser, n, &effect)
                                   : sAIArtStyleParser->GetNthPostEffect(fParser, n, &effect);
        return error == kNoErr ? effect : nullptr;
    }
    // Makes the effect and inserts it at n; false (nothing left behind) when a step fails.
    bool Insert(int n, const Effect& effect) const {
        AIParserLiveEffect made = nullptr;
        if (!effect.MakeAIParserEffect(fParser, made)) {
            return false;
        }
        const AIErr error = fField != nullptr
                                ? sAIArtStyleParser->InsertNthEffectOfPaintField(fParser, fField, n, made)
                            : fPre ? sAIArtStyleParser->InsertNthPreEffect(fParser, n, made)
                                   : sAIArtStyleParser->InsertNthPostEffect(fParser, n, made);
        if (error != kNoErr) {
            sAIArtStyleParser->RemoveEffect(fParser, made);
        }
        return error == kNoErr;
    }
    bool Remove(int n) const {
        const AIParserLiveEffect effect = Get(n);
        return effect != nullptr && sAIArtStyleParser->RemoveEffect(fParser, effect) == kNoErr;
    }
    std::vector<Effect> Read() const {
        std::vector<Effect> effects;
        for (int i = 0, count = Count(); i < count; ++i) {
            if (const AIParserLiveEffect effect = Get(i)) {
                effects.emplace_back(effect);
            }
        }
        return effects;
    }

private:
    AIStyleParser fParser;
    AIParserPaintField fField = nullptr;
    bool fPre = false;
};

// The position in infos whose starting position is index; -1 for an index of -1 that matches none;
// -3 without an index or a match.
template <typename Infos>
int TargetOf(const Infos& infos, std::optional<int> index) {
    if (!index) {
        return kNoPosition;
    }
    for (std::size_t i = 0; i < infos.size(); ++i) {
        if (infos[i].start == *index) {
            return static_cast<int>(i);
        }
    }
    return *index == kEnd ? kEnd : kNoPosition;
}

template <typename Infos, typename Info>
void InsertInfo(Infos& infos, int at, Info info) {
    if (at == kEnd || at >= static_cast<int>(infos.size())) {
        infos.push_back(info);
    } else {
        infos.insert(infos.begin() + at, info);
    }
}

// One effect list worked as an edit script.
void EditEffects(const std::vector<Effect>& effects, std::vector<GStyle::EffectInfo>& infos,
                 const EffectList& list, bool removeUntouched) {
    for (const Effect& effect : effects) {
        int target = TargetOf(infos, effect.effectIndex);
        if (effect.mode.empty() || effect.mode == "add") {
            target = target == kNoPosition ? kEnd : target;
            Effect full;
            effect.AddToDefaults(full);
            if (list.Insert(target, full)) {
                InsertInfo(infos, target, GStyle::EffectInfo{kNoPosition, true});
            }
            continue;
        }
        if (target < 0 || target >= list.Count()) {
            continue;
        }
        if (effect.mode == "remove") {
            if (list.Remove(target)) {
                infos.erase(infos.begin() + target);
            }
            continue;
        }
        if (effect.mode != "edit" && effect.mode != "replace") {
            continue;
        }
        Effect replacement = effect;
        if (effect.mode == "edit") {
            const AIParserLiveEffect current = list.Get(target);
            if (current == nullptr) {
                continue;
            }
            effect.Merge(Effect(current), replacement);
        }
        if (list.Insert(target, replacement)) {
            infos[static_cast<std::size_t>(target)].touched = true;
            if (!list.Remove(target + 1)) {
                // The old effect stays below the new one; the map follows the host.
                InsertInfo(infos, target + 1, GStyle::EffectInfo{kNoPosition, true});
            }
        }
    }
    if (!removeUntouched) {
        return;
    }
    for (int i = static_cast<int>(infos.size()) - 1; i >= 0; --i) {
        if (!infos[static_cast<std::size_t>(i)].touched && list.Remove(i)) {
            infos.erase(infos.begin() + i);
        }
    }
}

std::vector<GStyle::EffectInfo> InfosOf(int count) {
    std::vector<GStyle::EffectInfo> infos;
    for (int i = 0; i < count; ++i) {
        infos.push_back(GStyle::EffectInfo{i, false});
    }
    return infos;
}

AIParserPaintField NthPaintField(AIStyleParser parser, int n) {
    AIParserPaintField field = nullptr;
    return sAIArtStyleParser->GetNthPaintField(parser, n, &field) == kNoErr ? field : nullptr;
}

// Copies each effect of one paint field, in order, to the end of another's.
void CopyEffects(AIStyleParser parser, AIParserPaintField from, AIParserPaintField to) {
    const EffectList source(parser, from);
    const EffectList target(parser, to);
    for (const Effect& effect : source.Read()) {
        target.Insert(kEnd, effect);
    }
}

// The symbol of that name among the document's symbols; null when there is none.
AIPatternHandle NameToPattern(const std::string& name) {
    ai::int32 count = 0;
    if (sAISymbol->CountSymbolPatterns(&count, true) != kNoErr) {
        return nullptr;
    }
    for (ai::int32 i = 0; i < count; ++i) {
        AIPatternHandle symbol = nullptr;
        ai::UnicodeString text;
        if (sAISymbol->GetNthSymbolPattern(i, &symbol, true) == kNoErr &&
            sAISymbol->GetSymbolPatternName(symbol, text) == kNoErr && text.as_UTF8() == name) {
            return symbol;
        }
    }
    return nullptr;
}

// The paint-field map: one record per paint field of the parser while a style is applied.
struct FieldInfo {
    int start = kNoPosition;     // its position when the work began; -3 for one added
    int producer = kNoPosition;  // the JSON paint field that made or edited it
    int fillNumber = kNoPosition;
    int strokeNumber = kNoPosition;
    bool edited = false;
};

int FindField(const std::vector<FieldInfo>& map, int FieldInfo::*member, int value) {
    for (std::size_t i = 0; i < map.size(); ++i) {
        if (map[i].*member == value) {
            return static_cast<int>(i);
        }
    }
    return kNoPosition;
}

// Where a JSON paint field points in the map: by fill number, stroke number, then start position.
int FieldTarget(const PField& field, const std::vector<FieldInfo>& map) {
    int target = kNoPosition;
    int used = kNoPosition;
    if (field.fillIndex) {
        used = *field.fillIndex;
        target = FindField(map, &FieldInfo::fillNumber, used);
    } else if (field.strokeIndex) {
        used = *field.strokeIndex;
        target = FindField(map, &FieldInfo::strokeNumber, used);
    }
    if (target == kNoPosition && used != kEnd && field.pfIndex) {
        used = *field.pfIndex;
        target = FindField(map, &FieldInfo::start, used);
    }
    return target == kNoPosition && used == kEnd ? kEnd : target;
}

void InsertField(std::vector<FieldInfo>& map, int at, int producer) {
    InsertInfo(map, at, FieldInfo{kNoPosition, producer, kNoPosition, kNoPosition, true});
}

}  // namespace

json GetEffectDefaults(const std::string& name) {
    static const json tables[] = {json::parse(kEffectDefaultsBefore), json::parse(kEffectDefaultsAfter)};
    for (const json& table : tables) {
        if (table.contains(name)) {
            return table.at(name);
        }
    }
    return json::object();
}

std::vector<Effect> NormalizeEffectsVector(const std::vector<Effect>& effects, int count) {
    std::vector<Effect> normalized = effects;
    for (Effect& effect : normalized) {
        if (effect.mode.empty() || effect.mode == "addEdit") {
            effect.mode = effect.effectIndex && *effect.effectIndex < count ? "edit" : "add";
        }
    }
    return normalized;
}

// --- Effects --------------------------------------------------------------------------------------

bool Effect::MergeWithoutDefaults(const Effect& base, Effect& out) const {
    out = base;
    if (!name.empty()) {
        out.name = name;
    }
    if (visibleGiven) {
        out.visible = visible;
        out.visibleGiven = true;
    }
    out.fromMixedList = fromMixedList;
    for (const auto& [key, value] : parameters) {
        if (!value.empty()) {
            out.parameters[key] = value;
        } else {
            out.parameters.erase(key);
        }
    }
    const auto check = [](const PFieldColor& colour) { return colour.Check(); };
    LayOver(fillColors, out.fillColors, check);
    LayOver(strokeColors, out.strokeColors, check);
    return true;
}

bool Effect::AddToDefaults(Effect& out) const {
    Effect defaults;
    if (!DefaultEffect(name, defaults)) {
        out = *this;
        return true;
    }
    return MergeWithoutDefaults(defaults, out);
}

bool Effect::Merge(const Effect& base, Effect& out) const {
    Effect defaults;
    if (!name.empty() && name != base.name && DefaultEffect(name, defaults)) {
        Effect started;
        defaults.MergeWithoutDefaults(base, started);
        return MergeWithoutDefaults(started, out);
    }
    return MergeWithoutDefaults(base, out);
}

bool Effect::MakeAIParserEffect(AIStyleParser parser, AIParserLiveEffect& out) const {
    out = nullptr;
    AILiveEffectHandle liveEffect = nullptr;
    HeldDictionary params;
    if (name.empty() || sAILiveEffect->GetLiveEffectByName(name.c_str(), &liveEffect) != kNoErr ||
        sAIDictionary->CreateDictionary(params.Out()) != kNoErr) {
        return false;
    }
    bool written = true;
    for (const auto& [key, value] : parameters) {
        if (key.size() < 3 || key[1] != ' ') {
            continue;
        }
        const AIDictKey dictKey = KeyOf(key.c_str() + 2);
        if (dictKey == nullptr) {
            continue;
        }
        AIErr error = kNoErr;
        switch (key[0]) {
            case 'B':
                error = sAIDictionary->SetBooleanEntry(params.Get(), dictKey, value == "1");
                break;
            case 'S':
                error = sAIDictionary->SetStringEntry(params.Get(), dictKey, value.c_str());
                break;
            case 'R':
                error = sAIDictionary->SetRealEntry(params.Get(), dictKey, ReadNumber<double>(value));
                break;
            case 'I':
                error = sAIDictionary->SetIntegerEntry(params.Get(), dictKey, ReadNumber<ai::int32>(value));
                break;
            default:
                break;
        }
        written = written && error == kNoErr;
    }
    for (const auto& [key, colour] : fillColors) {
        AIFillStyle fill;
        fill.color = colour.HostColor();
        const AIDictKey dictKey = KeyOf(key.c_str());
        written = written && dictKey != nullptr &&
                  sAIDictionary->SetFillStyleEntry(params.Get(), dictKey, &fill) == kNoErr;
    }
    for (const auto& [key, colour] : strokeColors) {
        AIStrokeStyle stroke;
        stroke.color = colour.HostColor();
        stroke.width = 0;
        const AIDictKey dictKey = KeyOf(key.c_str());
        written = written && dictKey != nullptr &&
                  sAIDictionary->SetStrokeStyleEntry(params.Get(), dictKey, &stroke) == kNoErr;
    }
    // The host never receives an empty parameter dictionary.
    const AIDictKey emptyKey = KeyOf("torviAIEmptyKey");
    if (written && emptyKey != nullptr && parameters.empty() && fillColors.empty() && strokeColors.empty()) {
        written = sAIDictionary->SetStringEntry(params.Get(), emptyKey, "") == kNoErr;
    }
    if (!written ||
        sAIArtStyleParser->NewParserLiveEffect(parser, liveEffect, params.Get(), &out) != kNoErr) {
        out = nullptr;
        return false;
    }
    if (sAIArtStyleParser->SetLiveEffectVisible(out, visible) != kNoErr) {
        sAIArtStyleParser->RemoveEffect(parser, out);
        out = nullptr;
        return false;
    }
    return true;
}

// --- Blend ----------------------------------------------------------------------------------------

bool BlendField::SetDictParams(AIDictionaryRef dictionary) const {
    if (!blendingMode.empty()) {
        sAIDictionary->SetIntegerEntry(dictionary, KeyOf("Mode"),
                                       std::max(IndexOf(kBlendModes, blendingMode), 0));
    }
    if (opacityGiven) {
        sAIDictionary->SetRealEntry(dictionary, KeyOf("Opacity"), std::clamp(opacity, 0, 100) / 100.0);
    }
    if (isolateBlending) {
        sAIDictionary->SetBooleanEntry(dictionary, KeyOf("Isolated"), *isolateBlending);
    }
    if (!knockout.empty()) {
        const int value = knockout == "Off" ? 0 : knockout == "On" ? 1 : 2;
        sAIDictionary->SetIntegerEntry(dictionary, KeyOf("Knockout"), value);
    }
    if (opacityDefineKnockout) {
        sAIDictionary->SetBooleanEntry(dictionary, KeyOf("AlphaIsShape"), *opacityDefineKnockout);
    }
    return true;
}

namespace {

// The steps both blend targets share: a dictionary started fresh or from the target's current
// attributes, the record laid over it and stored back, then the opacity switch.
template <typename Read, typename Write, typename ReadSwitch, typename WriteSwitch>
void ApplyBlend(const BlendField& blend, bool fresh, Read read, Write write, ReadSwitch readSwitch,
                WriteSwitch writeSwitch) {
    HeldDictionary attrs;
    if (sAIDictionary->CreateDictionary(attrs.Out()) != kNoErr) {
        return;
    }
    AIBoolean enabled = true;
    if (fresh) {
        BlendField defaults;
        defaults.SetDefaults();
        defaults.SetDictParams(attrs.Get());
    } else {
        if (read(attrs.Get()) != kNoErr) {
            return;
        }
        if (readSwitch(&enabled) != kNoErr) {
            enabled = true;
        }
    }
    blend.SetDictParams(attrs.Get());
    if (write(attrs.Get()) != kNoErr) {
        return;
    }
    writeSwitch(blend.opacityEnabled.value_or(enabled != 0));
}

}  // namespace

void BlendField::AddToParser(AIStyleParser parser, bool fresh) const {
    AIParserBlendField field = nullptr;
    if (sAIArtStyleParser->GetStyleBlendField(parser, &field) != kNoErr || field == nullptr) {
        return;
    }
    ApplyBlend(
        *this, fresh,
        [&](AIDictionaryRef attrs) { return sAIArtStyleParser->GetBlendFieldAttrs(field, attrs); },
        [&](AIDictionaryRef attrs) { return sAIArtStyleParser->SetBlendFieldAttrs(field, attrs); },
        [&](AIBoolean* enabled) { return sAIArtStyleParser->GetBlendFieldOpacityEnabled(field, enabled); },
        [&](bool enabled) { sAIArtStyleParser->SetBlendFieldOpacityEnabled(field, enabled); });
}

void BlendField::AddToAIPaintField(AIParserPaintField paintField, bool fresh) const {
    ApplyBlend(
        *this, fresh,
        [&](AIDictionaryRef attrs) { return sAIArtStyleParser->GetPaintFieldBlendAttrs(paintField, attrs); },
        [&](AIDictionaryRef attrs) { return sAIArtStyleParser->SetPaintFieldBlendAttrs(paintField, attrs); },
        [&](AIBoolean* enabled) {
            return sAIArtStyleParser->GetPaintFieldOpacityEnabled(paintField, enabled);
        },
        [&](bool enabled) { sAIArtStyleParser->SetPaintFieldOpacityEnabled(paintField, enabled); });
}

// --- Strokes --------------------------------------------------------------------------------------

bool PFieldStroke::SetStrokeParams(AIStrokeStyle& style, AIDictionaryRef dictionary) const {
    if (dictionary == nullptr) {
        return false;
    }
    if (width) {
        style.width = *width;
    }
    // The host record holds six dashes: a longer list leaves the dash as it was.
    if (dashVector && dashVector->size() <= static_cast<std::size_t>(kMaxDashComponents)) {
        style.dash.length = static_cast<ai::int16>(dashVector->size());
        std::fill(std::begin(style.dash.array), std::end(style.dash.array), AIFloat{0});
        std::transform(dashVector->begin(), dashVector->end(), style.dash.array,
                       [](double value) { return static_cast<AIFloat>(value); });
    }
    if (const int cap = lineCap ? IndexOf(kCaps, *lineCap) : -1; cap >= 0) {
        style.cap = static_cast<AILineCap>(cap);
    }
    if (const int join = lineJoin ? IndexOf(kJoins, *lineJoin) : -1; join >= 0) {
        style.join = static_cast<AILineJoin>(join);
    }
    const bool aligned = strokeAlign == "Inside" || strokeAlign == "Outside";
    if (aligned) {
        sAIDictionary->SetBooleanEntry(dictionary, KeyOf("StrokeOffsetInside"), strokeAlign == "Inside");
    }
    if (adjustCorners) {
        sAIDictionary->SetBooleanEntry(dictionary, KeyOf("FoldAdjustment"), *adjustCorners);
    }
    if (flipAcross) {
        sAIDictionary->SetIntegerEntry(dictionary, KeyOf("UpsideDown"), *flipAcross ? 1 : 0);
    }
    if (flipAlong) {
        sAIDictionary->SetIntegerEntry(dictionary, KeyOf("Counterclockwise"), *flipAlong ? 1 : 0);
    }
    if (aligned) {
        return true;
    }
    if (beginArrow || endArrow || arrowBeginScale || arrowEndScale || arrowAlignment) {
        // An unknown arrowhead name leaves that arrowhead as it is.
        AIPatternHandle begin = nullptr;
        AIPatternHandle end = nullptr;
        HeldDictionary current;
        if (sAIBeautifulStroke->GetParams(dictionary, current.Out()) == kNoErr && current.Get() != nullptr) {
            sAIBeautifulStroke->GetArrowheadOptions(current.Get(), &begin, &end, nullptr, nullptr, nullptr);
        }
        const auto arrow = [](const std::optional<std::string>& name, AIPatternHandle kept) {
            if (!name) {
                return kept;
            }
            const AIPatternHandle found = name->empty() ? nullptr : NameToPattern(*name);
            return name->empty() || found != nullptr ? found : kept;
        };
        const int placement = arrowAlignment ? IndexOf(kArrowAlignments, *arrowAlignment) : -1;
        if (sAIBeautifulStroke->SetArrowheadOptions(
                dictionary, arrow(beginArrow, begin), arrow(endArrow, end),
                arrowBeginScale.value_or(kAIRealUnknown), arrowEndScale.value_or(kAIRealUnknown),
                placement) != kNoErr) {
            return false;
        }
    }
    return !dashAlignment || sAIBeautifulStroke->SetDashAdjustment(dictionary, *dashAlignment) == kNoErr;
}

bool PFieldStroke::MakePFStrokeStyle(AIStyleParser parser, AIParserPaintField& paintField,
                                     AIStrokeStyle style, bool existing) const {
    HeldDictionary dictionary;
    if (existing) {
        AIStrokeStyle current;
        if (sAIArtStyleParser->GetStroke(paintField, &current) != kNoErr ||
            sAIArtStyleParser->GetStrokeParams(paintField, dictionary.Out()) != kNoErr) {
            return false;
        }
        current.color = style.color;
        current.overprint = style.overprint;
        style = current;
    }
    if (dictionary.Get() == nullptr && sAIDictionary->CreateDictionary(dictionary.Out()) != kNoErr) {
        return false;
    }
    if (!SetStrokeParams(style, dictionary.Get())) {
        return false;
    }
    if (!existing && sAIArtStyleParser->NewStrokePaintField(parser, &style, &paintField) != kNoErr) {
        return false;
    }
    return sAIDictionary->SetStrokeStyleEntry(dictionary.Get(), KeyOf("StrokeStyle"), &style) == kNoErr &&
           sAIArtStyleParser->SetStrokeParams(paintField, dictionary.Get()) == kNoErr;
}

// --- Paint fields ---------------------------------------------------------------------------------

bool PField::MakeAIPaintField(AIStyleParser parser, AIParserPaintField& out) const {
    out = nullptr;
    if (!Check()) {
        return false;
    }
    const AIColor hostColor = color.HostColor();
    bool made = false;
    if (isFill) {
        AIFillStyle fill;
        fill.color = hostColor;
        fill.overprint = overprint.value_or(false);
        const AIArtStylePaintData unknown;
        made = sAIArtStyleParser->NewFillPaintField(parser, &fill, &unknown, &out) == kNoErr;
    } else {
        // A new stroke holds the colour and overprint; the rest starts from the record's defaults.
        AIStrokeStyle stroke;
        stroke.color = hostColor;
        stroke.overprint = overprint.value_or(false);
        made = pFieldStroke.MakePFStrokeStyle(parser, out, stroke, false);
    }
    if (!made || out == nullptr) {
        return false;
    }
    if (sAIArtStyleParser->SetPaintFieldVisible(out, visible) != kNoErr ||
        sAIArtStyleParser->SetEvenOdd(out, evenOdd.value_or(false)) != kNoErr) {
        return false;
    }
    blend.AddToAIPaintField(out, true);
    return true;
}

bool PField::Add(int position, AIStyleParser parser) const {
    AIParserPaintField field = nullptr;
    if (!MakeAIPaintField(parser, field) ||
        sAIArtStyleParser->InsertNthPaintField(parser, position, field) != kNoErr) {
        // A paint field made and not inserted stays the parser's, which frees it.
        return false;
    }
    const EffectList list(parser, field);
    for (auto effect = pfEffects.rbegin(); effect != pfEffects.rend(); ++effect) {
        list.Insert(0, *effect);
    }
    return true;
}

bool PField::Remove(int position, AIStyleParser parser) {
    const AIParserPaintField field = NthPaintField(parser, position);
    return field != nullptr && sAIArtStyleParser->RemovePaintField(parser, field) == kNoErr;
}

PField PField::Normalize(int position, AIStyleParser parser) const {
    PField normalized = *this;
    const AIParserPaintField field = NthPaintField(parser, position);
    normalized.pfEffects =
        NormalizeEffectsVector(pfEffects, field != nullptr ? EffectList(parser, field).Count() : 0);
    return normalized;
}

void PField::AddEffects(AIStyleParser parser, AIParserPaintField paintField, bool removeUntouched) const {
    const EffectList list(parser, paintField);
    std::vector<GStyle::EffectInfo> infos = InfosOf(list.Count());
    EditEffects(pfEffects, infos, list, removeUntouched);
}

bool PField::Edit(int position, AIStyleParser parser, bool removeUntouchedEffects) const {
    AIParserPaintField field = NthPaintField(parser, position);
    if (field == nullptr) {
        return false;
    }
    const bool currentFill = sAIArtStyleParser->IsFill(field);
    if (!currentFill && !sAIArtStyleParser->IsStroke(field)) {
        AddEffects(parser, field, removeUntouchedEffects);
        return true;
    }
    AIBoolean currentEvenOdd = false;
    if (sAIArtStyleParser->GetEvenOdd(field, &currentEvenOdd) != kNoErr) {
        currentEvenOdd = false;
    }
    AIFillStyle fill;
    AIStrokeStyle stroke;
    AIArtStylePaintData paintData;
    if (currentFill ? sAIArtStyleParser->GetFill(field, &fill, &paintData) != kNoErr
                    : sAIArtStyleParser->GetStroke(field, &stroke) != kNoErr) {
        return false;
    }
    const bool targetFill = isFillKnown ? isFill : currentFill;
    // The colour: the record's partial colour laid over the current one (or the base the command
    // chose); without a colour in the record, or when the swatches refuse, the current one stays.
    AIColor hostColor = currentFill ? fill.color : stroke.color;
    if (!colorJson.is_null()) {
        const PFieldColor existing(hostColor);
        const std::optional<PFieldColor>& override = currentFill ? baseFillColor : baseStrokeColor;
        PFieldColor result;
        AIColor merged;
        bool colourOk = false;
        bool swatchOk = false;
        partialColor.AddToPFieldColor(existing, override.value_or(existing), result, merged, colourOk,
                                      swatchOk);
        if (swatchOk) {
            hostColor = merged;
        }
    }
    const AIBoolean newOverprint = overprint.value_or((currentFill ? fill.overprint : stroke.overprint) != 0);
    const AIBoolean newEvenOdd = evenOdd.value_or(currentEvenOdd != 0);
    AIParserPaintField made = nullptr;
    bool ok = true;
    if (targetFill && currentFill) {
        fill.color = hostColor;
        fill.overprint = newOverprint;
        ok = sAIArtStyleParser->SetFill(field, &fill, &paintData) == kNoErr;
    } else if (targetFill) {
        AIFillStyle newFill;
        newFill.color = hostColor;
        newFill.overprint = newOverprint;
        ok = sAIArtStyleParser->NewFillPaintField(parser, &newFill, &paintData, &made) == kNoErr;
    } else if (!currentFill) {
        stroke.color = hostColor;
        stroke.overprint = newOverprint;
        ok = pFieldStroke.MakePFStrokeStyle(parser, field, stroke, true);
    } else {
        AIStrokeStyle newStroke;
        newStroke.color = hostColor;
        newStroke.overprint = newOverprint;
        ok = pFieldStroke.MakePFStrokeStyle(parser, made, newStroke, false);
    }
    if (!ok) {
        return false;
    }
    const bool fresh = made != nullptr;
    if (fresh) {
        // The kind changed: the new paint field takes the old one's place and effects.
        if (sAIArtStyleParser->InsertNthPaintField(parser, position, made) != kNoErr) {
            return false;
        }
        CopyEffects(parser, field, made);
        sAIArtStyleParser->RemovePaintField(parser, field);
        field = made;
    }
    sAIArtStyleParser->SetPaintFieldVisible(field, visible);
    sAIArtStyleParser->SetEvenOdd(field, newEvenOdd);
    AddEffects(parser, field, removeUntouchedEffects);
    blend.AddToAIPaintField(field, fresh);
    return true;
}

// --- Whole styles ---------------------------------------------------------------------------------

bool ArtToParser(const ParsedStyle& parsed) {
    AIArtStyleHandle rebuilt = nullptr;
    return parsed.Parsed() && sAIArtStyleParser->CreateNewStyle(parsed.Get(), &rebuilt) == kNoErr &&
           sAIArtStyleParser->ParseStyle(parsed.Get(), rebuilt) == kNoErr;
}

bool ParserToArt(AIStyleParser parser, AIArtHandle art) {
    AIArtStyleHandle style = nullptr;
    return sAIArtStyleParser->CreateNewStyle(parser, &style) == kNoErr &&
           sAIArtStyle->SetArtStyle(art, style) == kNoErr;
}

void GStyle::AddEffects(const std::vector<Effect>& effects, std::vector<EffectInfo>& infos,
                        AIStyleParser parser, bool pre, bool removeUntouched) {
    EditEffects(effects, infos, EffectList(parser, pre), removeUntouched);
}

void GStyle::Normalize(AIStyleParser parser) {
    const GStyle current(parser);
    const int fieldCount = static_cast<int>(current.paintFields.size());
    int fills = 0;
    int strokes = 0;
    for (const PField& field : current.paintFields) {
        (field.isFill ? fills : strokes) += 1;
    }
    // The 1-based number of the current paint field that is the k-th (1-based) fill or stroke.
    const auto numberOf = [&](bool fill, std::int64_t k) -> std::optional<std::int64_t> {
        for (const PField& field : current.paintFields) {
            const std::optional<int>& index = fill ? field.fillIndex : field.strokeIndex;
            if (index && *index + 1 == k) {
                return *field.pfIndex + 1;
            }
        }
        return std::nullopt;
    };
    // Edits of one paint field form one group, merged in order.
    std::vector<json> groups;
    std::map<std::int64_t, std::size_t> groupOfKey;
    for (const json& element : paintFieldsJson) {
        std::optional<std::int64_t> key;
        const auto modeKey = element.is_object() ? element.find("mode") : element.end();
        const std::string mode =
            modeKey != element.end() && modeKey->is_string() ? modeKey->get<std::string>() : std::string();
        const bool edits = mode == "edit" || mode == "editRE" || mode == "addEdit" || mode == "addEditRE";
        const auto integer = [&](const char* name) -> std::optional<std::int64_t> {
            const auto found = element.find(name);
            return found != element.end() && found->is_number_integer()
                       ? std::optional(found->get<std::int64_t>())
                       : std::nullopt;
        };
        if (edits) {
            if (const auto pf = integer("pfIndex")) {
                key = *pf;
            } else if (const auto fill = integer("fillIndex")) {
                key = numberOf(true, *fill);
            } else if (const auto stroke = integer("strokeIndex")) {
                key = numberOf(false, *stroke);
            }
        }
        if (key && groupOfKey.contains(*key)) {
            groups[groupOfKey[*key]].merge_patch(element);
            continue;
        }
        if (key) {
            groupOfKey[*key] = groups.size();
        }
        groups.push_back(element);
    }
    paintFields.clear();
    for (const json& group : groups) {
        bool ok = false;
        PField field(group, ok);
        if (!ok) {
            continue;
        }
        const auto below = [](const std::optional<int>& index, int count) { return index && *index < count; };
        if (field.mode == "addEdit" || field.mode == "addEditRE") {
            const bool edit = field.pfIndex       ? below(field.pfIndex, fieldCount)
                              : field.fillIndex   ? below(field.fillIndex, fills)
                              : field.strokeIndex ? below(field.strokeIndex, strokes)
                                                  : false;
            field.mode = edit ? (field.mode == "addEdit" ? "edit" : "editRE") : "add";
        }
        if (field.mode == "add") {
            std::optional<int>* first = field.pfIndex       ? &field.pfIndex
                                        : field.fillIndex   ? &field.fillIndex
                                        : field.strokeIndex ? &field.strokeIndex
                                                            : nullptr;
            if (first == nullptr) {
                field.pfIndex = 0;
            } else if (**first == kEnd) {
                *first = 0;
            }
        }
        if (field.mode == "add" || field.mode == "replace") {
            if (!field.isFillKnown) {
                field.isFill = true;
                field.isFillKnown = true;
            }
            if (!(field.colorGiven && field.color.Check()) && field.partialColor.colorSpace.empty()) {
                field.partialColor.colorSpace = GetCurDocumentColorSpace();
                bool ok2 = false;
                const PFieldColor built(field.partialColor, ok2);
                if (ok2) {
                    field.color = built;
                    field.colorGiven = true;
                }
            }
        }
        paintFields.push_back(std::move(field));
    }
    // Effects of the mixed list that address a current pre-effect go back to the pre-effects.
    const int pre = static_cast<int>(current.preEffects.size());
    for (auto effect = postEffects.end(); effect != postEffects.begin();) {
        --effect;
        if (effect->fromMixedList && effect->effectIndex && *effect->effectIndex < pre) {
            preEffects.push_back(*effect);
            effect = postEffects.erase(effect);
        }
    }
    preEffects = NormalizeEffectsVector(preEffects, pre);
    for (Effect& effect : postEffects) {
        if (effect.fromMixedList) {
            if (effect.effectIndex) {
                effect.effectIndex =
                    *effect.effectIndex - pre >= 0 ? std::optional(*effect.effectIndex - pre) : std::nullopt;
            }
            effect.fromMixedList = false;
        }
    }
    postEffects = NormalizeEffectsVector(postEffects, static_cast<int>(current.postEffects.size()));
}

void GStyle::AddToParser(AIStyleParser parser, bool replacePaintFields, bool replaceEffects) const {
    GStyle applied;
    AddToParser(parser, replacePaintFields, replaceEffects, applied);
}

void GStyle::AddToParser(AIStyleParser parser, bool replacePaintFields, bool replaceEffects,
                         GStyle& applied) const {
    if (blendGiven) {
        blend.AddToParser(parser, replacePaintFields);
    }
    const GStyle current(parser);
    std::vector<EffectInfo> preInfos = InfosOf(static_cast<int>(current.preEffects.size()));
    std::vector<EffectInfo> postInfos = InfosOf(static_cast<int>(current.postEffects.size()));
    std::vector<FieldInfo> map;
    for (const PField& field : current.paintFields) {
        map.push_back(FieldInfo{*field.pfIndex, kNoPosition, field.fillIndex.value_or(kNoPosition),
                                field.strokeIndex.value_or(kNoPosition), false});
    }
    AddEffects(preEffects, preInfos, parser, true, replaceEffects);
    AddEffects(postEffects, postInfos, parser, false, replaceEffects);

    for (std::size_t j = 0; j < paintFields.size(); ++j) {
        const PField& field = paintFields[j];
        const int producer = static_cast<int>(j);
        int target = FieldTarget(field, map);
        const std::string mode = field.mode.value_or("add");
        if (mode == "add") {
            target = target == kNoPosition ? kEnd : target;
            if (field.Add(target, parser)) {
                InsertField(map, target, producer);
            }
            continue;
        }
        if (target < 0) {
            continue;
        }
        if (mode == "edit" || mode == "editRE") {
            const PField normalized = field.Normalize(target, parser);
            if (normalized.Edit(target, parser, normalized.mode == "editRE")) {
                map[static_cast<std::size_t>(target)].edited = true;
                map[static_cast<std::size_t>(target)].producer = producer;
            }
        } else if (mode == "replace") {
            if (field.Add(target, parser)) {
                InsertField(map, target, producer);
                if (PField::Remove(target + 1, parser)) {
                    map.erase(map.begin() + target + 1);
                }
            }
        } else if (mode == "remove") {
            if (PField::Remove(target, parser)) {
                map.erase(map.begin() + target);
            }
        }
    }
    if (replacePaintFields) {
        for (int i = static_cast<int>(map.size()) - 1; i >= 0; --i) {
            if (!map[static_cast<std::size_t>(i)].edited && PField::Remove(i, parser)) {
                map.erase(map.begin() + i);
            }
        }
    }
    // A contents position beyond the paint fields is left out.
    if (contentsPosition && *contentsPosition >= 0 && *contentsPosition <= static_cast<int>(map.size())) {
        sAIArtStyleParser->SetContentsPosition(parser, *contentsPosition);
    }
    applied.preEffects = preEffects;
    applied.postEffects = postEffects;
    applied.paintFieldsJson = paintFieldsJson;
    applied.contentsPosition = contentsPosition;
    applied.blend = blend;
    applied.blendGiven = blendGiven;
    applied.paintFields.clear();
    for (std::size_t i = 0; i < map.size(); ++i) {
        const int producer = map[i].producer;
        if (producer < 0 || producer >= static_cast<int>(paintFields.size())) {
            continue;
        }
        PField copy = paintFields[static_cast<std::size_t>(producer)];
        copy.pfIndex = static_cast<int>(i);
        copy.fillIndex.reset();
        copy.strokeIndex.reset();
        applied.paintFields.push_back(std::move(copy));
    }
}

namespace {

// Each paint field's position and whether it is a fill; empty when the style can't be parsed.
std::map<int, bool> GetFillStrokeMap(AIArtHandle art) {
    std::map<int, bool> map;
    const ParsedStyle parsed(art);
    if (!parsed.Parsed()) {
        return map;
    }
    for (int i = 0, count = sAIArtStyleParser->CountPaintFields(parsed.Get()); i < count; ++i) {
        if (const AIParserPaintField field = NthPaintField(parsed.Get(), i)) {
            map[i] = sAIArtStyleParser->IsFill(field) != 0;
        }
    }
    return map;
}

// Makes the paint field at the position the style's focus.
bool SetFocus(AIArtHandle art, int position) {
    const ParsedStyle parsed(art);
    const AIParserPaintField field = parsed.Parsed() ? NthPaintField(parsed.Get(), position) : nullptr;
    return field != nullptr && sAIArtStyleParser->SetFocus(parsed.Get(), field) == kNoErr &&
           ParserToArt(parsed.Get(), art);
}

}  // namespace

bool GStyle::AddStrokeProperties(AIArtHandle art) const {
    const std::map<int, bool> fillStroke = GetFillStrokeMap(art);
    if (fillStroke.empty()) {
        return false;
    }
    for (const PField& field : paintFields) {
        const auto found = field.pfIndex ? fillStroke.find(*field.pfIndex) : fillStroke.end();
        if (found == fillStroke.end() || found->second || !SetFocus(art, *field.pfIndex)) {
            continue;
        }
        AIPathStyle style;
        if (sAIPathStyle->GetPathStyle(art, &style, nullptr) != kNoErr) {
            continue;
        }
        const std::string& align = field.pFieldStroke.strokeAlign;
        if (align == "Inside" || align == "Outside") {
            style.strokePaint = false;
            sAIPathStyle->SetFocusPathStyle(art, &style);
        }
        style.strokePaint = field.visible;
        if (sAIPathStyle->SetFocusPathStyle(art, &style) != kNoErr) {
            continue;
        }
        if (const int alignment = IndexOf(kStrokeAlignNames, align); alignment >= 0) {
            sAIPaintStyle->SetStrokeAlignment(art, alignment);
        }
    }
    return true;
}

bool GStyle::AddToArt(AIArtHandle art, bool replacePaintFields, bool replaceEffects) const {
    GStyle copy = *this;
    // A text frame's colours and stroke belong to its characters: only effects, contents position
    // and transparency reach the frame's art style.
    if (ApplyStyleToTextFrame(art, copy)) {
        copy.paintFields.clear();
        copy.paintFieldsJson.clear();
    }
    const ParsedStyle parsed(art);
    if (!ArtToParser(parsed)) {
        return false;
    }
    copy.Normalize(parsed.Get());
    GStyle applied;
    copy.AddToParser(parsed.Get(), replacePaintFields, replaceEffects, applied);
    if (!ParserToArt(parsed.Get(), art)) {
        return false;
    }
    // False as well when the art has no paint field left.
    return applied.AddStrokeProperties(art);
}

bool GStyle::FindPreEffects(const std::vector<Effect>& search) const {
    const auto names = [](const std::vector<Effect>& effects) {
        std::set<std::string> out;
        for (const Effect& effect : effects) {
            out.insert(effect.name);
        }
        return out;
    };
    const std::set<std::string> wanted = names(search);
    const std::set<std::string> have = names(preEffects);
    return std::includes(have.begin(), have.end(), wanted.begin(), wanted.end());
}

bool GStyle::FindPostEffects(const std::vector<Effect>& search) const {
    GStyle post;
    post.preEffects = postEffects;
    return post.FindPreEffects(search);
}

// The live effects' default parameters, and the merging of an effect record over another or over
// the defaults of its name.
#include <map>

#include "appearance/GStyle.h"

namespace {

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

// --- Merging -------------------------------------------------------------------------------------

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

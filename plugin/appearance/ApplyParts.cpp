// Writing the parts of a graphic-style record into the host's style parser: live effects, the
// transparency, strokes and paint fields. Effect lists are worked as edit scripts: each effect
// carries a mode ("add", "edit", "replace", "remove") and optionally the position it addresses.
#include <algorithm>
#include <sstream>

#include "AIBeautifulStrokes.h"
#include "AILiveEffect.h"
#include "AISymbol.h"
#include "IAIUnicodeString.h"
#include "appearance/GStyle.h"
#include "appearance/StyleParts.h"
#include "core/Suites.h"

namespace {

// A number read from text as a standard input stream reads it; 0 when it does not read.
template <typename Number>
Number ReadNumber(const std::string& text) {
    std::istringstream in(text);
    Number value{};
    return in >> value ? value : Number{};
}

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
    AIPatternHandle symbol = nullptr;
    if (sAISymbol->GetSymbolByName(ai::UnicodeString::FromUTF8(name), &symbol) != kNoErr) {
        return nullptr;
    }
    return symbol;
}

// The colour of an edited paint field: the record's partial colour laid over the current one (or
// the base the command chose); without a colour in the record, or when the swatches refuse, the
// current one stays.
AIColor EditedColor(const PField& field, const AIColor& current, bool currentFill) {
    if (field.colorJson.is_null()) {
        return current;
    }
    const PFieldColor existing(current);
    const std::optional<PFieldColor>& override = currentFill ? field.baseFillColor : field.baseStrokeColor;
    PFieldColor result;
    AIColor merged;
    bool colourOk = false;
    bool swatchOk = false;
    field.partialColor.AddToPFieldColor(existing, override.value_or(existing), result, merged, colourOk,
                                        swatchOk);
    return swatchOk ? merged : current;
}

// The steps both blend targets share: a dictionary started fresh or from the target's current
// attributes, the record laid over it and stored back, then the opacity switch.
template <typename Read, typename Write, typename ReadSwitch, typename WriteSwitch>
void ApplyBlend(const BlendField& blend, bool fresh, Read read, Write write, ReadSwitch readSwitch,
                WriteSwitch writeSwitch) {
    const DictionaryScope attrs = DictionaryScope::New();
    if (attrs.Get() == nullptr) {
        return;
    }
    AIBoolean enabled = true;
    if (fresh) {
        BlendField defaults;
        defaults.SetDefaults();
        defaults.SetDictParams(attrs);
    } else {
        if (read(attrs.Get()) != kNoErr) {
            return;
        }
        if (readSwitch(&enabled) != kNoErr) {
            enabled = true;
        }
    }
    blend.SetDictParams(attrs);
    if (write(attrs.Get()) != kNoErr) {
        return;
    }
    writeSwitch(blend.opacityEnabled.value_or(enabled != 0));
}

}  // namespace

std::vector<GStyle::EffectInfo> EffectInfosOf(int count) {
    std::vector<GStyle::EffectInfo> infos;
    for (int i = 0; i < count; ++i) {
        infos.push_back(GStyle::EffectInfo{i, false});
    }
    return infos;
}

void GStyle::AddEffects(const std::vector<Effect>& effects, std::vector<EffectInfo>& infos,
                        AIStyleParser parser, bool pre, bool removeUntouched) {
    EditEffects(effects, infos, EffectList(parser, pre), removeUntouched);
}

// --- Effects -------------------------------------------------------------------------------------

bool Effect::MakeAIParserEffect(AIStyleParser parser, AIParserLiveEffect& out) const {
    out = nullptr;
    AILiveEffectHandle liveEffect = nullptr;
    if (name.empty() || sAILiveEffect->GetLiveEffectByName(name.c_str(), &liveEffect) != kNoErr) {
        return false;
    }
    const DictionaryScope params = DictionaryScope::New();
    if (params.Get() == nullptr) {
        return false;
    }
    bool written = true;
    for (const auto& [key, value] : parameters) {
        if (key.size() < 3 || key[1] != ' ') {
            continue;
        }
        const char* entry = key.c_str() + 2;
        if (DictionaryKey(entry) == nullptr) {
            continue;
        }
        switch (key[0]) {
            case 'B':
                written = params.SetBoolean(entry, value == "1") && written;
                break;
            case 'S':
                written = params.SetString(entry, value.c_str()) && written;
                break;
            case 'R':
                written = params.SetReal(entry, ReadNumber<double>(value)) && written;
                break;
            case 'I':
                written = params.SetInteger(entry, ReadNumber<ai::int32>(value)) && written;
                break;
            default:
                break;
        }
    }
    for (const auto& [key, colour] : fillColors) {
        AIFillStyle fill;
        fill.color = colour.HostColor();
        written = written && params.SetFillStyle(key.c_str(), fill);
    }
    for (const auto& [key, colour] : strokeColors) {
        AIStrokeStyle stroke;
        stroke.color = colour.HostColor();
        stroke.width = 0;
        written = written && params.SetStrokeStyle(key.c_str(), stroke);
    }
    // The host never receives an empty parameter dictionary.
    const char* const emptyKey = "torviAIEmptyKey";
    if (written && DictionaryKey(emptyKey) != nullptr && parameters.empty() && fillColors.empty() &&
        strokeColors.empty()) {
        written = params.SetString(emptyKey, "");
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

bool BlendField::SetDictParams(const DictionaryScope& dictionary) const {
    if (!blendingMode.empty()) {
        dictionary.SetInteger("Mode", std::max(IndexOf(kBlendModes, blendingMode), 0));
    }
    if (opacityGiven) {
        dictionary.SetReal("Opacity", std::clamp(opacity, 0, 100) / 100.0);
    }
    if (isolateBlending) {
        dictionary.SetBoolean("Isolated", *isolateBlending);
    }
    if (!knockout.empty()) {
        dictionary.SetInteger("Knockout", knockout == "Off" ? 0 : knockout == "On" ? 1 : 2);
    }
    if (opacityDefineKnockout) {
        dictionary.SetBoolean("AlphaIsShape", *opacityDefineKnockout);
    }
    return true;
}

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

bool PFieldStroke::SetStrokeParams(AIStrokeStyle& style, const DictionaryScope& dictionary) const {
    if (dictionary.Get() == nullptr) {
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
        dictionary.SetBoolean("StrokeOffsetInside", strokeAlign == "Inside");
    }
    if (adjustCorners) {
        dictionary.SetBoolean("FoldAdjustment", *adjustCorners);
    }
    if (flipAcross) {
        dictionary.SetInteger("UpsideDown", *flipAcross ? 1 : 0);
    }
    if (flipAlong) {
        dictionary.SetInteger("Counterclockwise", *flipAlong ? 1 : 0);
    }
    if (aligned) {
        return true;
    }
    if (beginArrow || endArrow || arrowBeginScale || arrowEndScale || arrowAlignment) {
        // An unknown arrowhead name leaves that arrowhead as it is.
        AIPatternHandle begin = nullptr;
        AIPatternHandle end = nullptr;
        DictionaryScope current;
        if (sAIBeautifulStroke->GetParams(dictionary.Get(), current.Out()) == kNoErr &&
            current.Get() != nullptr) {
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
                dictionary.Get(), arrow(beginArrow, begin), arrow(endArrow, end),
                arrowBeginScale.value_or(kAIRealUnknown), arrowEndScale.value_or(kAIRealUnknown),
                placement) != kNoErr) {
            return false;
        }
    }
    return !dashAlignment ||
           sAIBeautifulStroke->SetDashAdjustment(dictionary.Get(), *dashAlignment) == kNoErr;
}

bool PFieldStroke::MakePFStrokeStyle(AIStyleParser parser, AIParserPaintField& paintField,
                                     AIStrokeStyle style, bool existing) const {
    DictionaryScope dictionary;
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
    if (dictionary.Get() == nullptr) {
        dictionary = DictionaryScope::New();
    }
    if (!SetStrokeParams(style, dictionary)) {
        return false;
    }
    if (!existing && sAIArtStyleParser->NewStrokePaintField(parser, &style, &paintField) != kNoErr) {
        return false;
    }
    return dictionary.SetStrokeStyle("StrokeStyle", style) &&
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
    std::vector<GStyle::EffectInfo> infos = EffectInfosOf(list.Count());
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
    const AIColor hostColor = EditedColor(*this, currentFill ? fill.color : stroke.color, currentFill);
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

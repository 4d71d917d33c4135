// Graphic-style records read from the host's style parser: the appearance an art object has.
#include <cmath>
#include <sstream>

#include "AIBeautifulStrokes.h"
#include "AIEntry.h"
#include "AILiveEffect.h"
#include "AISymbol.h"
#include "IAIUnicodeString.h"
#include "appearance/GStyle.h"
#include "appearance/StyleParts.h"
#include "core/Suites.h"

namespace {

// An entry of the dictionary read by get; none when the key is not there or the host refuses.
template <typename T>
std::optional<T> DictEntry(AIDictionaryRef dictionary, const char* name,
                           AIErr (*get)(AIDictionaryRef, AIDictKey, T*)) {
    const AIDictKey key = KeyOf(name);
    T value{};
    if (key == nullptr || !sAIDictionary->IsKnown(dictionary, key) ||
        get(dictionary, key, &value) != kNoErr) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> DictBool(AIDictionaryRef dictionary, const char* name) {
    const std::optional<AIBoolean> value = DictEntry(dictionary, name, sAIDictionary->GetBooleanEntry);
    return value ? std::optional<bool>(*value != 0) : std::nullopt;
}

std::optional<ai::int32> DictInt(AIDictionaryRef dictionary, const char* name) {
    return DictEntry(dictionary, name, sAIDictionary->GetIntegerEntry);
}

std::optional<double> DictReal(AIDictionaryRef dictionary, const char* name) {
    return DictEntry(dictionary, name, sAIDictionary->GetRealEntry);
}

std::optional<std::string> DictString(AIDictionaryRef dictionary, const char* name) {
    const std::optional<const char*> value = DictEntry(dictionary, name, sAIDictionary->GetStringEntry);
    return value && *value != nullptr ? std::optional<std::string>(*value) : std::nullopt;
}

// A real as a standard output stream writes it by default.
std::string RealText(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

}  // namespace

// --- Blend ---------------------------------------------------------------------------------------

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
    DictionaryScope attrs;
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
    DictionaryScope attrs;
    if (sAIDictionary->CreateDictionary(attrs.Out()) == kNoErr &&
        sAIArtStyleParser->GetPaintFieldBlendAttrs(paintField, attrs.Get()) == kNoErr) {
        GetDictParams(attrs.Get());
    }
}

// --- Stroke --------------------------------------------------------------------------------------

PFieldStroke::PFieldStroke(AIParserPaintField paintField) {
    AIStrokeStyle stroke;
    if (!sAIArtStyleParser->IsStroke(paintField) ||
        sAIArtStyleParser->GetStroke(paintField, &stroke) != kNoErr) {
        return;
    }
    DictionaryScope params;
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
    DictionaryScope beautiful;
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

// --- Effects -------------------------------------------------------------------------------------

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
    DictionaryScope params;
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

// --- Paint fields --------------------------------------------------------------------------------

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

// --- Whole styles --------------------------------------------------------------------------------

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

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

bool BlendField::GetDictParams(const DictionaryScope& dictionary) {
    blendingMode.clear();
    opacity = 100;
    isolateBlending.reset();
    opacityDefineKnockout.reset();
    knockout.clear();
    if (dictionary.Get() == nullptr) {
        return false;
    }
    if (const std::optional<ai::int32> mode = dictionary.GetInteger("Mode")) {
        blendingMode = NameAt(kBlendModes, *mode);
    }
    if (const std::optional<double> value = dictionary.GetReal("Opacity")) {
        opacity = static_cast<int>(std::round(*value * 100.0));
    }
    if (const std::optional<ai::int32> value = dictionary.GetInteger("Knockout")) {
        knockout = NameAt(kKnockouts, *value);
    }
    isolateBlending = dictionary.GetBoolean("Isolated");
    opacityDefineKnockout = dictionary.GetBoolean("AlphaIsShape");
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
    const DictionaryScope attrs = DictionaryScope::New();
    if (attrs.Get() != nullptr && sAIArtStyleParser->GetBlendFieldAttrs(field, attrs.Get()) == kNoErr) {
        GetDictParams(attrs);
    }
}

BlendField::BlendField(AIParserPaintField paintField) {
    opacityEnabled = true;
    AIBoolean enabled = true;
    if (sAIArtStyleParser->GetPaintFieldOpacityEnabled(paintField, &enabled) == kNoErr) {
        opacityEnabled = enabled != 0;
    }
    const DictionaryScope attrs = DictionaryScope::New();
    if (attrs.Get() != nullptr &&
        sAIArtStyleParser->GetPaintFieldBlendAttrs(paintField, attrs.Get()) == kNoErr) {
        GetDictParams(attrs);
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
    if (params.Get() == nullptr) {
        return;
    }
    if (const std::optional<bool> inside = params.GetBoolean("StrokeOffsetInside")) {
        strokeAlign = *inside ? "Inside" : "Outside";
    }
    if (const std::optional<std::string> display = params.GetString("DisplayString");
        display && !display->empty()) {
        brushName = *display;
    }
    adjustCorners = params.GetBoolean("FoldAdjustment");
    if (const std::optional<ai::int32> upsideDown = params.GetInteger("UpsideDown")) {
        flipAcross = *upsideDown != 0;
    }
    if (const std::optional<ai::int32> counter = params.GetInteger("Counterclockwise")) {
        flipAlong = *counter != 0;
    }
    DictionaryScope beautiful;
    if (sAIBeautifulStroke->GetParams(params.Get(), beautiful.Out()) != kNoErr ||
        beautiful.Get() == nullptr) {
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
    if (sAIArtStyleParser->GetLiveEffectParams(effect, params.Out()) != kNoErr) {
        return;
    }
    for (const DictionaryEntry& entry : params.Entries()) {
        const std::string& key = entry.name;
        if (const auto* integer = std::get_if<ai::int32>(&entry.value)) {
            parameters["I " + key] = std::to_string(*integer);
        } else if (const auto* flag = std::get_if<bool>(&entry.value)) {
            parameters["B " + key] = *flag ? "1" : "0";
        } else if (const auto* real = std::get_if<double>(&entry.value)) {
            parameters["R " + key] = RealText(*real);
        } else if (const auto* text = std::get_if<std::string>(&entry.value)) {
            parameters["S " + key] = *text;
        } else if (const auto* fill = std::get_if<AIFillStyle>(&entry.value)) {
            fillColors[key] = PFieldColor(fill->color);
        } else if (const auto* stroke = std::get_if<AIStrokeStyle>(&entry.value)) {
            strokeColors[key] = PFieldColor(stroke->color);
        }
    }
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
    const EffectList effects(nullptr, paintField);
    effectsGiven = effects.Count() != 0;
    pfEffects = effects.Read();
}

// --- Whole styles --------------------------------------------------------------------------------

GStyle::GStyle(AIArtHandle art) {
    const ParsedStyle parsed(art);
    if (parsed.Parsed()) {
        *this = GStyle(parsed.Get());
    }
}

GStyle::GStyle(AIStyleParser parser) {
    preEffects = EffectList(parser, true).Read();
    int fills = 0;
    int strokes = 0;
    const std::vector<AIParserPaintField> fields = PaintFields(parser);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i] == nullptr) {
            continue;
        }
        PField paintField(fields[i]);
        paintField.pfIndex = static_cast<int>(i);
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
    postEffects = EffectList(parser, false).Read();
    blendGiven = true;
    blend = BlendField(parser);
}

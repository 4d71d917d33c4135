// The art-style parser suite: a mutable copy of a style's parts that builds back into a new style.
// Paint fields get handles of their own, valid while their parser holds them.
#include <memory>

#include "host/HandleTable.h"
#include "suites/ArtStyleParserParts.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/StyleHandles.h"
#include "suites/SuiteBoundary.h"

namespace host::styleparser {
namespace {

std::vector<std::uintptr_t> NewHandles(std::size_t count) {
    std::vector<std::uintptr_t> handles;
    for (std::size_t i = 0; i < count; ++i) {
        handles.push_back(detail::NextHandleNumber());
    }
    return handles;
}

}  // namespace

ParserStart StartParserOperation(const char* operation, AIStyleParser parser, bool parsedOnly) {
    auto [state, document, error] = StartDocumentOperation(kSuite, operation);
    StyleParserRecord* record = error == kNoErr ? state->styles.parsers.Find(parser) : nullptr;
    if (error == kNoErr && (record == nullptr || (parsedOnly && !record->style))) {
        error = kBadParameterErr;
    }
    return {state, error == kNoErr ? record : nullptr, error};
}

FieldStart StartFieldOperation(const char* operation, AIParserPaintField paintField) {
    auto [state, document, error] = StartDocumentOperation(kSuite, operation);
    ParserPaintField field = error == kNoErr ? FindPaintField(*state, paintField) : ParserPaintField{};
    if (error == kNoErr && field.parser == nullptr) {
        error = kBadParameterErr;
    }
    return {state, field, error};
}

void RenumberPaintFields(StyleParserRecord& record) {
    const model::ArtStyle& style = *record.style;
    record.paintFieldHandles = NewHandles(style.paintFields.size());
    record.preEffectHandles = NewHandles(style.preEffects.size());
    record.postEffectHandles = NewHandles(style.postEffects.size());
    record.fieldEffectHandles.clear();
    for (const model::PaintField& field : style.paintFields) {
        record.fieldEffectHandles.push_back(NewHandles(field.effects.size()));
    }
    record.blendFieldHandle = detail::NextHandleNumber();
}

EffectPlace FindEffectPlace(HostState& state, AIParserLiveEffect effect) {
    const auto number = reinterpret_cast<std::uintptr_t>(effect);
    EffectPlace place;
    if (number == 0) {
        return place;
    }
    state.styles.parsers.ForEach([&](std::uintptr_t, StyleParserRecord& record) {
        if (place.parser != nullptr) {
            return;
        }
        if (const auto found = record.newEffects.find(number); found != record.newEffects.end()) {
            place.parser = &record;
            place.floating = &found->second;
            return;
        }
        if (!record.style) {
            return;
        }
        model::ArtStyle& style = *record.style;
        const auto look = [&](std::vector<std::uintptr_t>& handles, std::vector<model::Effect>& effects) {
            for (std::size_t i = 0; place.parser == nullptr && i < handles.size() && i < effects.size();
                 ++i) {
                if (handles[i] == number) {
                    place = EffectPlace{&record, &handles, &effects, i, nullptr};
                }
            }
        };
        look(record.preEffectHandles, style.preEffects);
        look(record.postEffectHandles, style.postEffects);
        for (std::size_t f = 0; f < record.fieldEffectHandles.size() && f < style.paintFields.size(); ++f) {
            look(record.fieldEffectHandles[f], style.paintFields[f].effects);
        }
        for (auto& [handle, field] : record.newPaintFields) {
            look(field.effectHandles, field.field.effects);
        }
    });
    return place;
}

std::optional<model::FillPaint> WithPaintData(std::optional<model::FillPaint> fill,
                                              const AIArtStylePaintData* data) {
    if (!fill || data == nullptr || fill->color.kind != model::Color::Kind::gradient) {
        return fill;
    }
    model::GradientPlacement& placement = fill->color.placement;
    const auto take = [](AIReal given, double& value) {
        if (given != kAIRealUnknown) {
            value = given;
        }
    };
    take(data->angle, placement.angle);
    take(data->length, placement.length);
    take(data->originH, placement.origin.x);
    take(data->originV, placement.origin.y);
    take(data->highlightAngle, placement.highlightAngle);
    take(data->highlightLength, placement.highlightLength);
    // A layout out of the model's limits is refused as a colour out of its limits is.
    model::ArtStyle probe;
    probe.paintFields.emplace_back().paint = *fill;
    if (probe.check() != model::Status::ok) {
        return std::nullopt;
    }
    return fill;
}

const model::BlendAttributes* FindBlend(HostState& state, AIParserBlendField blendField) {
    const auto number = reinterpret_cast<std::uintptr_t>(blendField);
    const model::BlendAttributes* found = nullptr;
    state.styles.parsers.ForEach([&](std::uintptr_t, const StyleParserRecord& record) {
        if (number != 0 && record.blendFieldHandle == number && record.style) {
            found = &record.style->blend;
        }
    });
    return found;
}

}  // namespace host::styleparser

namespace host {
namespace {

using namespace styleparser;

constexpr const char* kStrokeStyleKey = "StrokeStyle";

// The effect behind a parser's live-effect handle; null when it names none.
const model::Effect* FindEffect(HostState& state, AIParserLiveEffect effect) {
    const EffectPlace place = FindEffectPlace(state, effect);
    return place.parser != nullptr ? place.effect() : nullptr;
}

AIErr NthHandle(const std::vector<std::uintptr_t>& handles, ai::int32 n, AIParserLiveEffect* effect,
                AIErr error) {
    const bool inRange = n >= 0 && static_cast<std::size_t>(n) < handles.size();
    if (error == kNoErr && (effect == nullptr || !inRange)) {
        error = kBadParameterErr;
    }
    if (effect != nullptr) {
        *effect = error == kNoErr ? reinterpret_cast<AIParserLiveEffect>(handles[static_cast<std::size_t>(n)])
                                  : nullptr;
    }
    return error;
}

// The blend attributes as the dictionary keys the parser copies them under.
void CopyBlend(const model::BlendAttributes& blend, model::Dictionary& out) {
    out.setInteger("Mode", blend.mode);
    out.setReal("Opacity", blend.opacity);
    out.setInteger("Knockout", blend.knockout);
    out.setBoolean("Isolated", blend.isolated);
    out.setBoolean("AlphaIsShape", blend.alphaIsShape);
}

AIErr NewParser(AIStyleParser* parser) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "NewParser");
    error = OutputError(error, parser);
    if (error != kNoErr) {
        if (parser != nullptr) {
            *parser = nullptr;
        }
        return error;
    }
    *parser = state->styles.parsers.Add<AIStyleParser>(std::make_unique<StyleParserRecord>());
    return kNoErr;
}

AIErr DisposeParser(AIStyleParser parser) {
    // Disposing needs no document: parsers outlive document switches and must always be freed.
    auto [state, error] = StartOperation(kSuite, "DisposeParser");
    if (error == kNoErr && !state->styles.parsers.Remove(parser)) {
        error = kBadParameterErr;
    }
    return error;
}

AIErr ParseStyle(AIStyleParser parser, AIArtStyleHandle style) {
    auto [state, record, error] = StartParserOperation("ParseStyle", parser, false);
    const model::ArtStyle* value = error == kNoErr ? FindStyle(*state, style) : nullptr;
    error = OutputError(error, value);
    if (error == kNoErr) {
        record->style = *value;
        RenumberPaintFields(*record);
    }
    return error;
}

AIBoolean IsStyleParseable(AIStyleParser parser) {
    auto [state, record, error] = StartParserOperation("IsStyleParseable", parser, true);
    return error == kNoErr;
}

AIErr Simplify(AIStyleParser parser) {
    auto [state, record, error] = StartParserOperation("Simplify", parser, true);
    if (error == kNoErr) {
        record->style = record->style->simplified();
        RenumberPaintFields(*record);
    }
    return error;
}

AIErr CreateNewStyle(AIStyleParser parser, AIArtStyleHandle* style) {
    auto [state, record, error] = StartParserOperation("CreateNewStyle", parser, true);
    error = OutputError(error, style);
    if (style != nullptr) {
        *style = error == kNoErr ? StyleHandleFor(*state, *record->style) : nullptr;
    }
    return error;
}

ai::int32 CountPaintFields(AIStyleParser parser) {
    auto [state, record, error] = StartParserOperation("CountPaintFields", parser, true);
    return error == kNoErr ? static_cast<ai::int32>(record->style->paintFields.size()) : 0;
}

AIErr GetNthPaintField(AIStyleParser parser, ai::int32 n, AIParserPaintField* paintField) {
    auto [state, record, error] = StartParserOperation("GetNthPaintField", parser, true);
    const bool inRange =
        error == kNoErr && n >= 0 && static_cast<std::size_t>(n) < record->paintFieldHandles.size();
    if (error == kNoErr && (paintField == nullptr || !inRange)) {
        error = kBadParameterErr;
    }
    if (paintField != nullptr) {
        *paintField =
            error == kNoErr
                ? reinterpret_cast<AIParserPaintField>(record->paintFieldHandles[static_cast<std::size_t>(n)])
                : nullptr;
    }
    return error;
}

AIErr RemovePaintField(AIStyleParser parser, AIParserPaintField paintField) {
    auto [state, record, error] = StartParserOperation("RemovePaintField", parser, true);
    const ParserPaintField field = error == kNoErr ? FindPaintField(*state, paintField) : ParserPaintField{};
    if (error == kNoErr && (field.parser != record || field.floating != 0)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        model::ArtStyle& style = *record->style;
        const auto offset = static_cast<std::ptrdiff_t>(field.index);
        style.paintFields.erase(style.paintFields.begin() + offset);
        record->paintFieldHandles.erase(record->paintFieldHandles.begin() + offset);
        record->fieldEffectHandles.erase(record->fieldEffectHandles.begin() + offset);
        // The contents keep their place among the paint fields that remain.
        if (style.contentsPosition > field.index) {
            --style.contentsPosition;
        }
    }
    return error;
}

AIBoolean IsFill(AIParserPaintField paintField) {
    auto [state, field, error] = StartFieldOperation("IsFill", paintField);
    return error == kNoErr && field.field()->isFill();
}

AIBoolean IsStroke(AIParserPaintField paintField) {
    auto [state, field, error] = StartFieldOperation("IsStroke", paintField);
    return error == kNoErr && field.field()->isStroke();
}

AIErr GetFill(AIParserPaintField paintField, AIFillStyle* fill, AIArtStylePaintData* paintData) {
    auto [state, field, error] = StartFieldOperation("GetFill", paintField);
    if (error == kNoErr && (fill == nullptr || !field.field()->isFill())) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return error;
    }
    const model::FillPaint& paint = *field.field()->fillPaint();
    *fill = ToAIFill(paint);
    if (paintData != nullptr) {
        // A gradient tells its layout; a pattern sits as the art has it (unknown).
        *paintData = AIArtStylePaintData{};
        if (paint.color.kind == model::Color::Kind::gradient) {
            const model::GradientPlacement& placement = paint.color.placement;
            *paintData = {placement.angle,    placement.length,         placement.origin.x,
                          placement.origin.y, placement.highlightAngle, placement.highlightLength};
        }
    }
    return kNoErr;
}

AIErr SetFill(AIParserPaintField paintField, const AIFillStyle* fill, const AIArtStylePaintData* paintData) {
    auto [state, field, error] = StartFieldOperation("SetFill", paintField);
    const std::optional<model::FillPaint> value =
        WithPaintData(fill != nullptr ? FromAIFill(*fill) : std::nullopt, paintData);
    if (error == kNoErr && (!value || !field.field()->isFill())) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        *field.field()->fillPaint() = *value;
    }
    return error;
}

AIErr GetStroke(AIParserPaintField paintField, AIStrokeStyle* stroke) {
    auto [state, field, error] = StartFieldOperation("GetStroke", paintField);
    if (error == kNoErr && (stroke == nullptr || !field.field()->isStroke())) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        *stroke = ToAIStroke(*field.field()->strokePaint());
    }
    return error;
}

AIErr SetStroke(AIParserPaintField paintField, const AIStrokeStyle* stroke) {
    auto [state, field, error] = StartFieldOperation("SetStroke", paintField);
    const bool isStroke = error == kNoErr && field.field()->isStroke();
    const std::optional<model::StrokePaint> value =
        isStroke && stroke != nullptr ? FromAIStroke(*stroke, *field.field()->strokePaint()) : std::nullopt;
    if (error == kNoErr && !value) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        *field.field()->strokePaint() = *value;
    }
    return error;
}

ai::int32 CountPreEffects(AIStyleParser parser) {
    auto [state, record, error] = StartParserOperation("CountPreEffects", parser, true);
    return error == kNoErr ? static_cast<ai::int32>(record->preEffectHandles.size()) : 0;
}

AIErr GetNthPreEffect(AIStyleParser parser, ai::int32 n, AIParserLiveEffect* effect) {
    auto [state, record, error] = StartParserOperation("GetNthPreEffect", parser, true);
    static const std::vector<std::uintptr_t> none;
    return NthHandle(error == kNoErr ? record->preEffectHandles : none, n, effect, error);
}

ai::int32 CountPostEffects(AIStyleParser parser) {
    auto [state, record, error] = StartParserOperation("CountPostEffects", parser, true);
    return error == kNoErr ? static_cast<ai::int32>(record->postEffectHandles.size()) : 0;
}

AIErr GetNthPostEffect(AIStyleParser parser, ai::int32 n, AIParserLiveEffect* effect) {
    auto [state, record, error] = StartParserOperation("GetNthPostEffect", parser, true);
    static const std::vector<std::uintptr_t> none;
    return NthHandle(error == kNoErr ? record->postEffectHandles : none, n, effect, error);
}

ai::int32 CountEffectsOfPaintField(AIParserPaintField paintField) {
    auto [state, field, error] = StartFieldOperation("CountEffectsOfPaintField", paintField);
    return error == kNoErr ? static_cast<ai::int32>(field.effectHandles().size()) : 0;
}

AIErr GetNthEffectOfPaintField(AIParserPaintField paintField, ai::int32 n, AIParserLiveEffect* effect) {
    auto [state, field, error] = StartFieldOperation("GetNthEffectOfPaintField", paintField);
    static const std::vector<std::uintptr_t> none;
    return NthHandle(error == kNoErr ? field.effectHandles() : none, n, effect, error);
}

struct EffectStart {
    HostState* state;
    const model::Effect* effect;
    AIErr error;
};

EffectStart StartEffectOperation(const char* operation, AIParserLiveEffect effect, const void* out) {
    auto [state, document, error] = StartDocumentOperation(kSuite, operation);
    const model::Effect* found = error == kNoErr ? FindEffect(*state, effect) : nullptr;
    if (error == kNoErr && (found == nullptr || out == nullptr)) {
        error = kBadParameterErr;
    }
    return {state, found, error};
}

AIErr GetLiveEffectHandle(AIParserLiveEffect effect, AILiveEffectHandle* liveEffect) {
    auto [state, found, error] = StartEffectOperation("GetLiveEffectHandle", effect, liveEffect);
    std::uintptr_t handle = 0;
    if (error == kNoErr) {
        for (const auto& [number, name] : state->colors.liveEffects) {
            handle = name == found->name ? number : handle;
        }
        error = handle != 0 ? kNoErr : kBadParameterErr;
    }
    if (liveEffect != nullptr) {
        *liveEffect = reinterpret_cast<AILiveEffectHandle>(handle);
    }
    return error;
}

AIErr GetLiveEffectVisible(AIParserLiveEffect effect, AIBoolean* visible) {
    auto [state, found, error] = StartEffectOperation("GetLiveEffectVisible", effect, visible);
    if (error == kNoErr) {
        *visible = found->visible;
    }
    return error;
}

AIErr GetLiveEffectParams(AIParserLiveEffect effect, AIDictionaryRef* params) {
    auto [state, found, error] = StartEffectOperation("GetLiveEffectParams", effect, params);
    if (params != nullptr) {
        *params = error == kNoErr ? NewOwnedDictionaryRef(*state, found->parameters) : nullptr;
    }
    return error;
}

// Reads one thing of a paint field into *out.
template <typename Out, typename Read>
AIErr ReadField(const char* operation, AIParserPaintField paintField, Out* out, Read read) {
    auto [state, field, error] = StartFieldOperation(operation, paintField);
    error = OutputError(error, out);
    if (error == kNoErr) {
        error = read(*state, *field.field(), *out);
    }
    return error;
}

AIErr GetPaintFieldVisible(AIParserPaintField paintField, AIBoolean* visible) {
    return ReadField("GetPaintFieldVisible", paintField, visible,
                     [](HostState&, const model::PaintField& field, AIBoolean& out) {
                         out = field.visible;
                         return kNoErr;
                     });
}

AIErr GetEvenOdd(AIParserPaintField paintField, AIBoolean* evenOdd) {
    return ReadField("GetEvenOdd", paintField, evenOdd,
                     [](HostState&, const model::PaintField& field, AIBoolean& out) {
                         out = field.evenOdd;
                         return kNoErr;
                     });
}

AIErr GetStrokeParams(AIParserPaintField paintField, AIDictionaryRef* params) {
    if (params != nullptr) {
        *params = nullptr;
    }
    return ReadField("GetStrokeParams", paintField, params,
                     [](HostState& state, const model::PaintField& field, AIDictionaryRef& out) {
                         if (!field.isStroke()) {
                             return kBadParameterErr;
                         }
                         out = NewOwnedDictionaryRef(state, field.strokePaint()->parameters);
                         return kNoErr;
                     });
}

AIErr GetPaintFieldOpacityEnabled(AIParserPaintField paintField, AIBoolean* enabled) {
    return ReadField("GetPaintFieldOpacityEnabled", paintField, enabled,
                     [](HostState&, const model::PaintField& field, AIBoolean& out) {
                         out = field.blend.opacityEnabled;
                         return kNoErr;
                     });
}

AIErr GetPaintFieldBlendAttrs(AIParserPaintField paintField, AIDictionaryRef attrs) {
    auto [state, field, error] = StartFieldOperation("GetPaintFieldBlendAttrs", paintField);
    model::Dictionary* out = error == kNoErr ? ResolveDictionaryRefToEdit(*state, attrs) : nullptr;
    error = OutputError(error, out);
    if (error == kNoErr) {
        CopyBlend(field.field()->blend, *out);
    }
    return error;
}

AIErr GetContentsPosition(AIStyleParser parser, ai::int32* position) {
    auto [state, record, error] = StartParserOperation("GetContentsPosition", parser, true);
    error = OutputError(error, position);
    if (error == kNoErr) {
        *position = static_cast<ai::int32>(record->style->contentsPosition);
    }
    return error;
}

AIErr GetStyleBlendField(AIStyleParser parser, AIParserBlendField* blendField) {
    auto [state, record, error] = StartParserOperation("GetStyleBlendField", parser, true);
    error = OutputError(error, blendField);
    if (blendField != nullptr) {
        *blendField =
            error == kNoErr ? reinterpret_cast<AIParserBlendField>(record->blendFieldHandle) : nullptr;
    }
    return error;
}

AIErr GetBlendFieldOpacityEnabled(AIParserBlendField blendField, AIBoolean* enabled) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetBlendFieldOpacityEnabled");
    const model::BlendAttributes* blend = error == kNoErr ? FindBlend(*state, blendField) : nullptr;
    if (error == kNoErr && (blend == nullptr || enabled == nullptr)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        *enabled = blend->opacityEnabled;
    }
    return error;
}

AIErr GetBlendFieldAttrs(AIParserBlendField blendField, AIDictionaryRef attrs) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetBlendFieldAttrs");
    const model::BlendAttributes* blend = error == kNoErr ? FindBlend(*state, blendField) : nullptr;
    model::Dictionary* out = error == kNoErr ? ResolveDictionaryRefToEdit(*state, attrs) : nullptr;
    if (error == kNoErr && (blend == nullptr || out == nullptr)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        CopyBlend(*blend, *out);
    }
    return error;
}

AIErr SetEvenOdd(AIParserPaintField paintField, AIBoolean evenOdd) {
    auto [state, field, error] = StartFieldOperation("SetEvenOdd", paintField);
    if (error == kNoErr) {
        field.field()->evenOdd = evenOdd != 0;
    }
    return error;
}

AIErr SetStrokeParams(AIParserPaintField paintField, AIDictionaryRef params) {
    auto [state, field, error] = StartFieldOperation("SetStrokeParams", paintField);
    const model::Dictionary* given = error == kNoErr ? ResolveDictionaryRef(*state, params) : nullptr;
    if (error == kNoErr && (given == nullptr || !field.field()->isStroke())) {
        error = kBadParameterErr;
    }
    // A stroke style entry under "StrokeStyle" gives the stroke its paint; it is not kept as a
    // parameter.
    const model::StrokePaint* paint = error == kNoErr ? given->strokeStyle(kStrokeStyleKey) : nullptr;
    if (error == kNoErr && paint != nullptr && model::checkPaint(*paint) != model::Status::ok) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        model::StrokePaint& stroke = *field.field()->strokePaint();
        if (paint != nullptr) {
            stroke = *paint;
        }
        stroke.parameters = *given;
        stroke.parameters.erase(kStrokeStyleKey);
    }
    return error;
}

}  // namespace

AIArtStyleParserSuite gArtStyleParserSuite = {
    PLIM_SUITE_FUNCTION(NewParser),
    PLIM_SUITE_FUNCTION(DisposeParser),
    PLIM_SUITE_FUNCTION(ParseStyle),
    PLIM_SUITE_FUNCTION(IsStyleParseable),
    PLIM_SUITE_FUNCTION(Simplify),
    PLIM_SUITE_FUNCTION(CreateNewStyle),
    PLIM_SUITE_COUNT(CountPaintFields),
    PLIM_SUITE_FUNCTION(GetNthPaintField),
    PLIM_SUITE_FUNCTION(RemovePaintField),
    PLIM_SUITE_FUNCTION(IsFill),
    PLIM_SUITE_FUNCTION(IsStroke),
    PLIM_SUITE_FUNCTION(GetFill),
    PLIM_SUITE_FUNCTION(SetFill),
    PLIM_SUITE_FUNCTION(GetStroke),
    PLIM_SUITE_FUNCTION(SetStroke),
    PLIM_SUITE_COUNT(CountPreEffects),
    PLIM_SUITE_FUNCTION(GetNthPreEffect),
    PLIM_SUITE_COUNT(CountPostEffects),
    PLIM_SUITE_FUNCTION(GetNthPostEffect),
    PLIM_SUITE_COUNT(CountEffectsOfPaintField),
    PLIM_SUITE_FUNCTION(GetNthEffectOfPaintField),
    PLIM_SUITE_FUNCTION(GetLiveEffectHandle),
    PLIM_SUITE_FUNCTION(GetLiveEffectVisible),
    PLIM_SUITE_FUNCTION(GetLiveEffectParams),
    PLIM_SUITE_FUNCTION(GetPaintFieldVisible),
    PLIM_SUITE_FUNCTION(GetEvenOdd),
    PLIM_SUITE_FUNCTION(GetStrokeParams),
    PLIM_SUITE_FUNCTION(GetContentsPosition),
    PLIM_SUITE_FUNCTION(GetStyleBlendField),
    PLIM_SUITE_FUNCTION(GetBlendFieldOpacityEnabled),
    PLIM_SUITE_FUNCTION(GetBlendFieldAttrs),
    PLIM_SUITE_FUNCTION(GetPaintFieldOpacityEnabled),
    PLIM_SUITE_FUNCTION(GetPaintFieldBlendAttrs),
    PLIM_SUITE_FUNCTION(SetEvenOdd),
    PLIM_SUITE_FUNCTION(SetStrokeParams),
    PLIM_SUITE_FUNCTION(NewFillPaintField),
    PLIM_SUITE_FUNCTION(NewStrokePaintField),
    PLIM_SUITE_FUNCTION(InsertNthPaintField),
    PLIM_SUITE_FUNCTION(SetContentsPosition),
    PLIM_SUITE_FUNCTION(NewParserLiveEffect),
    PLIM_SUITE_FUNCTION(SetLiveEffectVisible),
    PLIM_SUITE_FUNCTION(InsertNthPreEffect),
    PLIM_SUITE_FUNCTION(InsertNthPostEffect),
    PLIM_SUITE_FUNCTION(InsertNthEffectOfPaintField),
    PLIM_SUITE_FUNCTION(RemoveEffect),
    PLIM_SUITE_FUNCTION(SetPaintFieldVisible),
    PLIM_SUITE_FUNCTION(SetBlendFieldOpacityEnabled),
    PLIM_SUITE_FUNCTION(SetBlendFieldAttrs),
    PLIM_SUITE_FUNCTION(SetPaintFieldOpacityEnabled),
    PLIM_SUITE_FUNCTION(SetPaintFieldBlendAttrs),
    PLIM_SUITE_FUNCTION(GetFocusFill),
    PLIM_SUITE_FUNCTION(GetFocusStroke),
    PLIM_SUITE_FUNCTION(SetFocus),
    PLIM_SUITE_FUNCTION(MergeStyleIntoParser),
};

}  // namespace host

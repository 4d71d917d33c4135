// The art-style parser suite's editing operations: new paint fields and effects and where they go
// in the style, visibility, blending, the focus fill and stroke, and another style merged in.
#include <optional>

#include "host/HandleTable.h"
#include "suites/ArtStyleParserParts.h"
#include "suites/DocumentAccess.h"
#include "suites/SuiteBoundary.h"

namespace host::styleparser {
namespace {

// A position n for inserting into a list of count (-1 appends); none when out of range.
std::optional<std::size_t> InsertPosition(ai::int32 n, std::size_t count) {
    if (n == -1) {
        return count;
    }
    if (n < 0 || static_cast<std::size_t>(n) > count) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(n);
}

template <typename Paint>
AIErr NewPaintField(const char* operation, AIStyleParser parser, std::optional<Paint> paint,
                    AIParserPaintField* paintField) {
    auto [state, record, error] = StartParserOperation(operation, parser, true);
    if (error == kNoErr &&
        (paintField == nullptr || !paint || model::checkPaint(*paint) != model::Status::ok)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(paintField, error);
    }
    const std::uintptr_t handle = detail::NextHandleNumber();
    model::PaintField field;
    field.paint = std::move(*paint);
    record->newPaintFields.emplace(handle, StyleParserRecord::NewPaintField{std::move(field), {}});
    *paintField = reinterpret_cast<AIParserPaintField>(handle);
    return kNoErr;
}

// Moves a new effect of the parser into a list of effects at n.
AIErr InsertEffect(const char* operation, AIStyleParser parser, AIParserPaintField paintField, bool pre,
                   ai::int32 n, AIParserLiveEffect effect) {
    auto [state, record, error] = StartParserOperation(operation, parser, true);
    const auto number = reinterpret_cast<std::uintptr_t>(effect);
    if (error == kNoErr && !record->newEffects.contains(number)) {
        error = kBadParameterErr;
    }
    std::vector<std::uintptr_t>* handles = nullptr;
    std::vector<model::Effect>* effects = nullptr;
    if (error == kNoErr && paintField != nullptr) {
        const ParserPaintField field = FindPaintField(*state, paintField);
        if (field.parser != record) {
            error = kBadParameterErr;
        } else {
            handles = &field.effectHandles();
            effects = &field.field()->effects;
        }
    } else if (error == kNoErr) {
        handles = pre ? &record->preEffectHandles : &record->postEffectHandles;
        effects = pre ? &record->style->preEffects : &record->style->postEffects;
    }
    const std::optional<std::size_t> at = error == kNoErr ? InsertPosition(n, effects->size()) : std::nullopt;
    if (error == kNoErr && !at) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return error;
    }
    auto node = record->newEffects.extract(number);
    const auto offset = static_cast<std::ptrdiff_t>(*at);
    effects->insert(effects->begin() + offset, std::move(node.mapped()));
    handles->insert(handles->begin() + offset, number);
    return kNoErr;
}

// The blend with the dictionary's attributes laid over it; none when one is out of range.
std::optional<model::BlendAttributes> BlendWith(model::BlendAttributes blend,
                                                const model::Dictionary& attrs) {
    if (const auto mode = attrs.integer("Mode")) {
        blend.mode = *mode;
    }
    if (const auto opacity = attrs.real("Opacity")) {
        blend.opacity = *opacity;
    }
    if (const auto knockout = attrs.integer("Knockout")) {
        blend.knockout = *knockout;
    }
    if (const auto isolated = attrs.boolean("Isolated")) {
        blend.isolated = *isolated;
    }
    if (const auto alpha = attrs.boolean("AlphaIsShape")) {
        blend.alphaIsShape = *alpha;
    }
    model::ArtStyle probe;
    probe.blend = blend;
    return probe.check() == model::Status::ok ? std::optional(blend) : std::nullopt;
}

AIErr SetBlend(HostState& state, model::BlendAttributes& blend, AIDictionaryRef attrs) {
    const model::Dictionary* given = ResolveDictionaryRef(state, attrs);
    const std::optional<model::BlendAttributes> result =
        given != nullptr ? BlendWith(blend, *given) : std::nullopt;
    if (!result) {
        return kBadParameterErr;
    }
    blend = *result;
    return kNoErr;
}

model::BlendAttributes* FindBlendToEdit(HostState& state, AIParserBlendField blendField) {
    return const_cast<model::BlendAttributes*>(FindBlend(state, blendField));
}

AIErr GetFocus(const char* operation, AIStyleParser parser, bool fill, AIParserPaintField* paintField) {
    auto [state, record, error] = StartParserOperation(operation, parser, true);
    error = OutputError(error, paintField);
    if (error != kNoErr) {
        return Refuse(paintField, error);
    }
    const std::optional<std::size_t> focal =
        fill ? record->style->focalFillIndex() : record->style->focalStrokeIndex();
    *paintField = focal ? reinterpret_cast<AIParserPaintField>(record->paintFieldHandles[*focal]) : nullptr;
    return kNoErr;
}

}  // namespace

AIErr NewFillPaintField(AIStyleParser parser, const AIFillStyle* fill, const AIArtStylePaintData* paintData,
                        AIParserPaintField* paintField) {
    return NewPaintField("NewFillPaintField", parser,
                         WithPaintData(fill != nullptr ? FromAIFill(*fill) : std::nullopt, paintData),
                         paintField);
}

AIErr NewStrokePaintField(AIStyleParser parser, const AIStrokeStyle* stroke, AIParserPaintField* paintField) {
    return NewPaintField("NewStrokePaintField", parser,
                         stroke != nullptr ? FromAIStroke(*stroke, model::StrokePaint{}) : std::nullopt,
                         paintField);
}

AIErr InsertNthPaintField(AIStyleParser parser, ai::int32 n, AIParserPaintField paintField) {
    auto [state, record, error] = StartParserOperation("InsertNthPaintField", parser, true);
    const ParserPaintField field = error == kNoErr ? FindPaintField(*state, paintField) : ParserPaintField{};
    const std::optional<std::size_t> at =
        error == kNoErr ? InsertPosition(n, record->style->paintFields.size()) : std::nullopt;
    if (error == kNoErr && (field.parser != record || field.floating == 0 || !at)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return error;
    }
    auto node = record->newPaintFields.extract(field.floating);
    model::ArtStyle& style = *record->style;
    const auto offset = static_cast<std::ptrdiff_t>(*at);
    style.paintFields.insert(style.paintFields.begin() + offset, std::move(node.mapped().field));
    record->paintFieldHandles.insert(record->paintFieldHandles.begin() + offset, node.key());
    record->fieldEffectHandles.insert(record->fieldEffectHandles.begin() + offset,
                                      std::move(node.mapped().effectHandles));
    // The contents stay above the paint fields they were above.
    if (*at < style.contentsPosition) {
        ++style.contentsPosition;
    }
    return kNoErr;
}

AIErr SetContentsPosition(AIStyleParser parser, ai::int32 position) {
    auto [state, record, error] = StartParserOperation("SetContentsPosition", parser, true);
    if (error == kNoErr &&
        (position < 0 || static_cast<std::size_t>(position) > record->style->paintFields.size())) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        record->style->contentsPosition = static_cast<std::size_t>(position);
    }
    return error;
}

AIErr NewParserLiveEffect(AIStyleParser parser, AILiveEffectHandle liveEffect, AIDictionaryRef params,
                          AIParserLiveEffect* effect) {
    auto [state, record, error] = StartParserOperation("NewParserLiveEffect", parser, true);
    const model::Dictionary* given =
        error == kNoErr && params != nullptr ? ResolveDictionaryRef(*state, params) : nullptr;
    std::string name;
    if (error == kNoErr) {
        for (const auto& [number, text] : state->colors.liveEffects) {
            name = number == reinterpret_cast<std::uintptr_t>(liveEffect) ? text : name;
        }
    }
    if (error == kNoErr && (effect == nullptr || name.empty() || (params != nullptr && given == nullptr))) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(effect, error);
    }
    const std::uintptr_t handle = detail::NextHandleNumber();
    model::Effect made;
    made.name = name;
    made.parameters = given != nullptr ? *given : model::Dictionary{};
    record->newEffects.emplace(handle, std::move(made));
    *effect = reinterpret_cast<AIParserLiveEffect>(handle);
    return kNoErr;
}

AIErr SetLiveEffectVisible(AIParserLiveEffect effect, AIBoolean visible) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "SetLiveEffectVisible");
    const EffectPlace place = error == kNoErr ? FindEffectPlace(*state, effect) : EffectPlace{};
    if (error == kNoErr && place.parser == nullptr) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        place.effect()->visible = visible != 0;
    }
    return error;
}

AIErr InsertNthPreEffect(AIStyleParser parser, ai::int32 n, AIParserLiveEffect effect) {
    return InsertEffect("InsertNthPreEffect", parser, nullptr, true, n, effect);
}

AIErr InsertNthPostEffect(AIStyleParser parser, ai::int32 n, AIParserLiveEffect effect) {
    return InsertEffect("InsertNthPostEffect", parser, nullptr, false, n, effect);
}

AIErr InsertNthEffectOfPaintField(AIStyleParser parser, AIParserPaintField paintField, ai::int32 n,
                                  AIParserLiveEffect effect) {
    if (paintField == nullptr) {
        return kBadParameterErr;
    }
    return InsertEffect("InsertNthEffectOfPaintField", parser, paintField, false, n, effect);
}

AIErr RemoveEffect(AIStyleParser parser, AIParserLiveEffect effect) {
    auto [state, record, error] = StartParserOperation("RemoveEffect", parser, false);
    const EffectPlace place = error == kNoErr ? FindEffectPlace(*state, effect) : EffectPlace{};
    if (error == kNoErr && place.parser != record) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return error;
    }
    if (place.floating != nullptr) {
        record->newEffects.erase(reinterpret_cast<std::uintptr_t>(effect));
        return kNoErr;
    }
    const auto offset = static_cast<std::ptrdiff_t>(place.index);
    place.effects->erase(place.effects->begin() + offset);
    place.handles->erase(place.handles->begin() + offset);
    return kNoErr;
}

AIErr SetPaintFieldVisible(AIParserPaintField paintField, AIBoolean visible) {
    auto [state, field, error] = StartFieldOperation("SetPaintFieldVisible", paintField);
    if (error == kNoErr) {
        field.field()->visible = visible != 0;
    }
    return error;
}

AIErr SetBlendFieldOpacityEnabled(AIParserBlendField blendField, AIBoolean enabled) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "SetBlendFieldOpacityEnabled");
    model::BlendAttributes* blend = error == kNoErr ? FindBlendToEdit(*state, blendField) : nullptr;
    error = OutputError(error, blend);
    if (error == kNoErr) {
        blend->opacityEnabled = enabled != 0;
    }
    return error;
}

AIErr SetBlendFieldAttrs(AIParserBlendField blendField, AIDictionaryRef attrs) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "SetBlendFieldAttrs");
    model::BlendAttributes* blend = error == kNoErr ? FindBlendToEdit(*state, blendField) : nullptr;
    error = OutputError(error, blend);
    return error == kNoErr ? SetBlend(*state, *blend, attrs) : error;
}

AIErr SetPaintFieldOpacityEnabled(AIParserPaintField paintField, AIBoolean enabled) {
    auto [state, field, error] = StartFieldOperation("SetPaintFieldOpacityEnabled", paintField);
    if (error == kNoErr) {
        field.field()->blend.opacityEnabled = enabled != 0;
    }
    return error;
}

AIErr SetPaintFieldBlendAttrs(AIParserPaintField paintField, AIDictionaryRef attrs) {
    auto [state, field, error] = StartFieldOperation("SetPaintFieldBlendAttrs", paintField);
    return error == kNoErr ? SetBlend(*state, field.field()->blend, attrs) : error;
}

AIErr GetFocusFill(AIStyleParser parser, AIParserPaintField* paintField) {
    return GetFocus("GetFocusFill", parser, true, paintField);
}

AIErr GetFocusStroke(AIStyleParser parser, AIParserPaintField* paintField) {
    return GetFocus("GetFocusStroke", parser, false, paintField);
}

AIErr SetFocus(AIStyleParser parser, AIParserPaintField paintField) {
    auto [state, record, error] = StartParserOperation("SetFocus", parser, true);
    const ParserPaintField field = error == kNoErr ? FindPaintField(*state, paintField) : ParserPaintField{};
    const model::PaintField* target = field.parser == record && field.floating == 0 ? field.field() : nullptr;
    if (error == kNoErr && (target == nullptr || (!target->isFill() && !target->isStroke()))) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return error;
    }
    const bool fill = target->isFill();
    for (model::PaintField& other : record->style->paintFields) {
        if (other.isFill() == fill && other.isStroke() == !fill) {
            other.focus = &other == target;
        }
    }
    return kNoErr;
}

AIErr MergeStyleIntoParser(AIStyleParser parser, AIArtStyleHandle style) {
    auto [state, record, error] = StartParserOperation("MergeStyleIntoParser", parser, true);
    const model::ArtStyle* merged = error == kNoErr ? FindStyle(*state, style) : nullptr;
    error = OutputError(error, merged);
    if (error != kNoErr) {
        return error;
    }
    model::ArtStyle& target = *record->style;
    target.preEffects.insert(target.preEffects.end(), merged->preEffects.begin(), merged->preEffects.end());
    for (model::PaintField field : merged->paintFields) {
        field.focus = false;
        target.paintFields.push_back(std::move(field));
    }
    target.postEffects.insert(target.postEffects.end(), merged->postEffects.begin(),
                              merged->postEffects.end());
    RenumberPaintFields(*record);
    return kNoErr;
}

}  // namespace host::styleparser

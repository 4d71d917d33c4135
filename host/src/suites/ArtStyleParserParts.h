// What the art-style parser suite's two files share: the common start of an operation on a parser
// or a paint field, fresh handles for what a parser holds, and the effects and blends behind the
// parser's handles; and the editing operations (ArtStyleParserEditing.cpp) that the suite's table
// holds.
#pragma once

#include <optional>

#include "AIArtStyleParser.h"
#include "HostState.h"
#include "suites/StyleHandles.h"

namespace host::styleparser {

inline constexpr const char* kSuite = kAIArtStyleParserSuite;

// The parser behind a handle, after the common start; null with an error otherwise. A parser that
// has parsed nothing yet is refused by the operations that need a style (parsedOnly).
struct ParserStart {
    HostState* state;
    StyleParserRecord* parser;
    AIErr error;
};
ParserStart StartParserOperation(const char* operation, AIStyleParser parser, bool parsedOnly);

// The paint field behind a handle, after the common start; an error when the handle names none.
struct FieldStart {
    HostState* state;
    ParserPaintField field;
    AIErr error;
};
FieldStart StartFieldOperation(const char* operation, AIParserPaintField paintField);

// New handles for everything the parser holds: paint fields, effects and the blend field.
void RenumberPaintFields(StyleParserRecord& record);

// Where a parser's live-effect handle points: into a list of effects (pre-effects, post-effects or
// a paint field's, with the list of their handles), or at a new effect not yet inserted.
struct EffectPlace {
    StyleParserRecord* parser = nullptr;  // null when the handle names no effect
    std::vector<std::uintptr_t>* handles = nullptr;
    std::vector<model::Effect>* effects = nullptr;
    std::size_t index = 0;
    model::Effect* floating = nullptr;
    model::Effect* effect() const { return floating != nullptr ? floating : &(*effects)[index]; }
};
EffectPlace FindEffectPlace(HostState& state, AIParserLiveEffect effect);

// The fill with the known fields of the paint data laid over its gradient's layout; fields left
// unknown keep what the fill's colour says.
std::optional<model::FillPaint> WithPaintData(std::optional<model::FillPaint> fill,
                                              const AIArtStylePaintData* data);
// The style-level blend behind a blend-field handle; null when it names none.
const model::BlendAttributes* FindBlend(HostState& state, AIParserBlendField blendField);

// The editing operations.
AIErr NewFillPaintField(AIStyleParser parser, const AIFillStyle* fill, const AIArtStylePaintData* paintData,
                        AIParserPaintField* paintField);
AIErr NewStrokePaintField(AIStyleParser parser, const AIStrokeStyle* stroke, AIParserPaintField* paintField);
AIErr InsertNthPaintField(AIStyleParser parser, ai::int32 n, AIParserPaintField paintField);
AIErr SetContentsPosition(AIStyleParser parser, ai::int32 position);
AIErr NewParserLiveEffect(AIStyleParser parser, AILiveEffectHandle liveEffect, AIDictionaryRef params,
                          AIParserLiveEffect* effect);
AIErr SetLiveEffectVisible(AIParserLiveEffect effect, AIBoolean visible);
AIErr InsertNthPreEffect(AIStyleParser parser, ai::int32 n, AIParserLiveEffect effect);
AIErr InsertNthPostEffect(AIStyleParser parser, ai::int32 n, AIParserLiveEffect effect);
AIErr InsertNthEffectOfPaintField(AIStyleParser parser, AIParserPaintField paintField, ai::int32 n,
                                  AIParserLiveEffect effect);
AIErr RemoveEffect(AIStyleParser parser, AIParserLiveEffect effect);
AIErr SetPaintFieldVisible(AIParserPaintField paintField, AIBoolean visible);
AIErr SetBlendFieldOpacityEnabled(AIParserBlendField blendField, AIBoolean enabled);
AIErr SetBlendFieldAttrs(AIParserBlendField blendField, AIDictionaryRef attrs);
AIErr SetPaintFieldOpacityEnabled(AIParserPaintField paintField, AIBoolean enabled);
AIErr SetPaintFieldBlendAttrs(AIParserPaintField paintField, AIDictionaryRef attrs);
AIErr GetFocusFill(AIStyleParser parser, AIParserPaintField* paintField);
AIErr GetFocusStroke(AIStyleParser parser, AIParserPaintField* paintField);
AIErr SetFocus(AIStyleParser parser, AIParserPaintField paintField);
AIErr MergeStyleIntoParser(AIStyleParser parser, AIArtStyleHandle style);

}  // namespace host::styleparser

// The art-style parser: a mutable copy of a style's parts (paint fields, live effects, blend) that
// can be read, edited and built back into a new style. Building an unedited parser gives a style
// equal to the one parsed.
#pragma once

#include "AIArtStyle.h"
#include "AIDictionary.h"
#include "AILiveEffect.h"
#include "AIPathStyle.h"
#include "SPTypes.h"

#define kAIArtStyleParserSuite "AI Art Style Parser Suite"
constexpr ASInt32 kAIArtStyleParserSuiteVersion = 1009;

struct _AIStyleParser;
using AIStyleParser = _AIStyleParser*;
// A paint field (a fill or a stroke with its own effects and blend) of one parser; valid while the
// parser holds it.
struct _AIParserPaintField;
using AIParserPaintField = _AIParserPaintField*;
// A live effect of one parser (before or after the paint fields, or inside a paint field); valid
// while the parser holds it.
struct _AIParserLiveEffect;
using AIParserLiveEffect = _AIParserLiveEffect*;
// The transparency of the whole style held by one parser.
struct _AIParserBlendField;
using AIParserBlendField = _AIParserBlendField*;

// Where a gradient or pattern of a fill sits; kAIRealUnknown in every field means "as the art
// has it".
struct AIArtStylePaintData {
    AIReal angle = kAIRealUnknown;
    AIReal length = kAIRealUnknown;
    AIReal originH = kAIRealUnknown;
    AIReal originV = kAIRealUnknown;
    AIReal highlightAngle = kAIRealUnknown;
    AIReal highlightLength = kAIRealUnknown;
};

// Every operation answers kNoDocumentErr without a document and kBadParameterErr for an unknown
// or disposed parser, a paint field the parser does not hold, or a null out-pointer.
struct AIArtStyleParserSuite {
    AIErr (*NewParser)(AIStyleParser* parser);
    // Disposes of the parser and every paint field it holds.
    AIErr (*DisposeParser)(AIStyleParser parser);
    // Replaces what the parser holds by a copy of the style's parts.
    AIErr (*ParseStyle)(AIStyleParser parser, AIArtStyleHandle style);
    // Whether the parser holds a parsed style that it can build back. Never an error: false for an
    // unknown parser.
    AIBoolean (*IsStyleParseable)(AIStyleParser parser);
    // Reduces the style to its basic appearance: its focal fill and focal stroke without effects
    // or transparency, no live effects, the contents on top.
    AIErr (*Simplify)(AIStyleParser parser);
    // A new style holding what the parser holds.
    AIErr (*CreateNewStyle)(AIStyleParser parser, AIArtStyleHandle* style);

    // Paint fields, in painting order: the first is painted first (lowest).
    ai::int32 (*CountPaintFields)(AIStyleParser parser);
    AIErr (*GetNthPaintField)(AIStyleParser parser, ai::int32 n, AIParserPaintField* paintField);
    // Removes the paint field from the parser; its handle becomes invalid.
    AIErr (*RemovePaintField)(AIStyleParser parser, AIParserPaintField paintField);

    // Whether a paint field is a fill, or a stroke. Never an error: false for an unknown one.
    AIBoolean (*IsFill)(AIParserPaintField paintField);
    AIBoolean (*IsStroke)(AIParserPaintField paintField);
    // The fill of a fill paint field (and, when not null, its paint data); kBadParameterErr for
    // another kind.
    AIErr (*GetFill)(AIParserPaintField paintField, AIFillStyle* fill, AIArtStylePaintData* paintData);
    // Rewrites the fill of a fill paint field; paint data may be null.
    AIErr (*SetFill)(AIParserPaintField paintField, const AIFillStyle* fill,
                     const AIArtStylePaintData* paintData);
    // The stroke of a stroke paint field; kBadParameterErr for another kind.
    AIErr (*GetStroke)(AIParserPaintField paintField, AIStrokeStyle* stroke);
    // Rewrites the stroke of a stroke paint field (its stroke parameters stay as they are).
    AIErr (*SetStroke)(AIParserPaintField paintField, const AIStrokeStyle* stroke);

    // --- Reading the rest of a parsed style ---------------------------------------------------------

    // Live effects before and after the paint fields, and inside a paint field, in order.
    ai::int32 (*CountPreEffects)(AIStyleParser parser);
    AIErr (*GetNthPreEffect)(AIStyleParser parser, ai::int32 n, AIParserLiveEffect* effect);
    ai::int32 (*CountPostEffects)(AIStyleParser parser);
    AIErr (*GetNthPostEffect)(AIStyleParser parser, ai::int32 n, AIParserLiveEffect* effect);
    ai::int32 (*CountEffectsOfPaintField)(AIParserPaintField paintField);
    AIErr (*GetNthEffectOfPaintField)(AIParserPaintField paintField, ai::int32 n, AIParserLiveEffect* effect);
    // The application's live effect (AILiveEffect.h); kBadParameterErr when the effect's name is not
    // one the application knows.
    AIErr (*GetLiveEffectHandle)(AIParserLiveEffect effect, AILiveEffectHandle* liveEffect);
    AIErr (*GetLiveEffectVisible)(AIParserLiveEffect effect, AIBoolean* visible);
    // A new reference (release it) to a copy of the effect's parameters.
    AIErr (*GetLiveEffectParams)(AIParserLiveEffect effect, AIDictionaryRef* params);

    AIErr (*GetPaintFieldVisible)(AIParserPaintField paintField, AIBoolean* visible);
    AIErr (*GetEvenOdd)(AIParserPaintField paintField, AIBoolean* evenOdd);
    // A new reference (release it) to a copy of a stroke's parameter dictionary (alignment, brush,
    // arrowheads: "StrokeOffsetInside", "DisplayString", "FoldAdjustment", "UpsideDown",
    // "Counterclockwise", and the beautiful-stroke parameters); kBadParameterErr for another kind.
    AIErr (*GetStrokeParams)(AIParserPaintField paintField, AIDictionaryRef* params);

    // Where the object's contents sit: above this many paint fields.
    AIErr (*GetContentsPosition)(AIStyleParser parser, ai::int32* position);

    // Transparency, of the whole style (its blend field) and of a paint field. The attributes are
    // copied into a dictionary the caller made (AIDictionarySuite::CreateDictionary) under "Mode"
    // (integer 0 to 15), "Opacity" (real 0 to 1), "Knockout" (integer 0 to 2), "Isolated" and
    // "AlphaIsShape" (booleans).
    AIErr (*GetStyleBlendField)(AIStyleParser parser, AIParserBlendField* blendField);
    AIErr (*GetBlendFieldOpacityEnabled)(AIParserBlendField blendField, AIBoolean* enabled);
    AIErr (*GetBlendFieldAttrs)(AIParserBlendField blendField, AIDictionaryRef attrs);
    AIErr (*GetPaintFieldOpacityEnabled)(AIParserPaintField paintField, AIBoolean* enabled);
    AIErr (*GetPaintFieldBlendAttrs)(AIParserPaintField paintField, AIDictionaryRef attrs);

    // Rewrites a paint field's fill rule, and a stroke's parameter dictionary (with a copy of the
    // given one; kBadParameterErr for another kind).
    AIErr (*SetEvenOdd)(AIParserPaintField paintField, AIBoolean evenOdd);
    AIErr (*SetStrokeParams)(AIParserPaintField paintField, AIDictionaryRef params);

    // --- Editing a parsed style ----------------------------------------------------------------------
    //
    // New paint fields and live effects belong to the parser that made them until they are inserted;
    // disposing of the parser frees those never inserted. A paint field or effect can be inserted
    // once; removing one frees it (its handle becomes invalid). Positions are 0-based; -1 appends.

    // A new fill (paint data may be null) or stroke paint field, visible, without effects, with the
    // plain transparency.
    AIErr (*NewFillPaintField)(AIStyleParser parser, const AIFillStyle* fill,
                               const AIArtStylePaintData* paintData, AIParserPaintField* paintField);
    AIErr (*NewStrokePaintField)(AIStyleParser parser, const AIStrokeStyle* stroke,
                                 AIParserPaintField* paintField);
    // Inserts a new paint field at n; the contents stay above the paint fields they were above.
    AIErr (*InsertNthPaintField)(AIStyleParser parser, ai::int32 n, AIParserPaintField paintField);
    // Where the contents sit: above this many paint fields (0 to the number of paint fields).
    AIErr (*SetContentsPosition)(AIStyleParser parser, ai::int32 position);
    // A new live effect of the application's effect with a copy of the parameters (null: none).
    AIErr (*NewParserLiveEffect)(AIStyleParser parser, AILiveEffectHandle liveEffect, AIDictionaryRef params,
                                 AIParserLiveEffect* effect);
    AIErr (*SetLiveEffectVisible)(AIParserLiveEffect effect, AIBoolean visible);
    AIErr (*InsertNthPreEffect)(AIStyleParser parser, ai::int32 n, AIParserLiveEffect effect);
    AIErr (*InsertNthPostEffect)(AIStyleParser parser, ai::int32 n, AIParserLiveEffect effect);
    AIErr (*InsertNthEffectOfPaintField)(AIStyleParser parser, AIParserPaintField paintField, ai::int32 n,
                                         AIParserLiveEffect effect);
    // Removes a pre-effect, post-effect or an effect of a paint field of the parser, and frees it.
    AIErr (*RemoveEffect)(AIStyleParser parser, AIParserLiveEffect effect);
    AIErr (*SetPaintFieldVisible)(AIParserPaintField paintField, AIBoolean visible);
    // Transparency: the attributes of the dictionary that are present ("Mode", "Opacity",
    // "Knockout", "Isolated", "AlphaIsShape") replace the current ones; a value outside its range is
    // kBadParameterErr and changes nothing.
    AIErr (*SetBlendFieldOpacityEnabled)(AIParserBlendField blendField, AIBoolean enabled);
    AIErr (*SetBlendFieldAttrs)(AIParserBlendField blendField, AIDictionaryRef attrs);
    AIErr (*SetPaintFieldOpacityEnabled)(AIParserPaintField paintField, AIBoolean enabled);
    AIErr (*SetPaintFieldBlendAttrs)(AIParserPaintField paintField, AIDictionaryRef attrs);
    // The focus fill and focus stroke: the fill and the stroke that the path-style record shows and
    // writes (the first of each kind until another is focused). Null when the style has none.
    AIErr (*GetFocusFill)(AIStyleParser parser, AIParserPaintField* paintField);
    AIErr (*GetFocusStroke)(AIStyleParser parser, AIParserPaintField* paintField);
    // Makes a fill the focus fill, or a stroke the focus stroke.
    AIErr (*SetFocus)(AIStyleParser parser, AIParserPaintField paintField);
    // Merges a style into what the parser holds: its pre-effects after the parser's pre-effects, its
    // paint fields above the parser's, its post-effects after the parser's post-effects; the
    // parser's contents position, focus and transparency stay.
    AIErr (*MergeStyleIntoParser)(AIStyleParser parser, AIArtStyleHandle style);
};

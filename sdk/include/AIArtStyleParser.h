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
};

// Colours and the paint of a path: the fill and stroke records that the path-style suite, the
// art-style parser and the paint-style suites pass around, and the path-style suite, which reads
// and writes an art object's focal fill and focal stroke (its basic appearance).
#pragma once

#include "AIArt.h"
#include "AIDocument.h"
#include "SPTypes.h"

#define kAIPathStyleSuite "AI Path Style Suite"
constexpr ASInt32 kAIPathStyleSuiteVersion = 1014;

using AIFloat = float;

// A real that says "not known" or "leave as it is" where a record of reals is passed.
constexpr AIReal kAIRealUnknown = 1.7976931348623157e308;

// Custom colours (spot and global colours, AICustomColor.h), gradients and patterns are document
// resources named by handles.
struct _AICustomColor;
using AICustomColorHandle = _AICustomColor*;
struct _AIGradient;
using AIGradientHandle = _AIGradient*;
// Patterns and symbols share one kind of handle (AISymbol.h).
struct AIPattern;
using AIPatternHandle = AIPattern*;

// The kinds of colour. Tints and components are reals from 0 to 1.
enum AIColorTag : ai::int16 {
    kGrayColor = 0,    // c.g: 0 is white, 1 is black
    kFourColor = 1,    // c.f: process CMYK
    kPattern = 2,      // c.p: a pattern of the document
    kCustomColor = 3,  // c.c: a custom colour of the document at a tint
    kGradient = 4,     // c.b: a gradient of the document
    kThreeColor = 5,   // c.rgb: RGB
    kNoneColor = 6,    // no paint
};

struct AIGrayColorStyle {
    AIReal gray = 0;
};
struct AIFourColorStyle {
    AIReal cyan = 0;
    AIReal magenta = 0;
    AIReal yellow = 0;
    AIReal black = 0;
};
struct AIThreeColorStyle {
    AIReal red = 0;
    AIReal green = 0;
    AIReal blue = 0;
};

// tint 0 is the full colour, 1 none of it.
struct AICustomColorStyle {
    AICustomColorHandle color = nullptr;
    AIReal tint = 0;
};
struct AIPatternStyle {
    AIPatternHandle pattern = nullptr;
};
// A gradient and where the fill or stroke lays it out: its axis starts at the origin and runs
// gradientLength points at gradientAngle degrees; a radial gradient's highlight lies hiliteLength
// times the length from the origin at hiliteAngle degrees; the matrix maps the whole layout. A
// length of 0 lays the gradient across the bounds of the art it paints.
struct AIGradientStyle {
    AIGradientHandle gradient = nullptr;
    AIRealPoint gradientOrigin;
    AIReal gradientAngle = 0;
    AIReal gradientLength = 0;
    AIRealMatrix matrix;
    AIReal hiliteAngle = 0;
    AIReal hiliteLength = 0;
};

union AIColorUnion {
    AIGrayColorStyle g;
    AIFourColorStyle f;
    AIThreeColorStyle rgb;
    AICustomColorStyle c;
    AIPatternStyle p;
    AIGradientStyle b;
};

struct AIColor {
    AIColorTag kind = kNoneColor;
    AIColorUnion c{AIGrayColorStyle{}};
};

// A fill: its colour (kind kNoneColor paints nothing) and whether it overprints.
struct AIFillStyle {
    AIColor color;
    AIBoolean overprint = false;
};

enum AILineCap : ai::int16 { kAIButtCap = 0, kAIRoundCap = 1, kAIProjectingCap = 2 };
enum AILineJoin : ai::int16 { kAIMiterJoin = 0, kAIRoundJoin = 1, kAIBevelJoin = 2 };

constexpr int kMaxDashComponents = 6;

// Dash and gap lengths in points; a length of 0 is a solid stroke.
struct AIDashStyle {
    AIReal offset = 0;
    ai::int16 length = 0;
    AIFloat array[kMaxDashComponents] = {};
};

// A stroke: its colour (kind kNoneColor paints nothing), overprint, width in points, dashes, cap,
// join and miter limit.
struct AIStrokeStyle {
    AIColor color;
    AIBoolean overprint = false;
    AIReal width = 1;
    AIDashStyle dash;
    AILineCap cap = kAIButtCap;
    AILineJoin join = kAIMiterJoin;
    AIReal miterLimit = 4;
};

// The basic appearance of a path: its focal fill and focal stroke, each painted or not, and the
// fill rule. clip, lockClip and resolution are kept for completeness and not interpreted.
struct AIPathStyle {
    AIBoolean fillPaint = false;
    AIFillStyle fill;
    AIBoolean strokePaint = false;
    AIStrokeStyle stroke;
    AIBoolean clip = false;
    AIBoolean lockClip = false;
    AIBoolean evenodd = false;
    AIReal resolution = 800;
};

// The function a colour walk calls for each colour: it may change *color, sets *altered when it did
// and *result to 0 (or an error that stops the walk).
using AIAdjustColorFunc = void (*)(AIColor* color, void* userData, AIErr* result, AIBoolean* altered);

// Every operation answers kNoDocumentErr without a document and kBadParameterErr for a stale
// handle or a null record.
//
// Painting nothing: set fillPaint (or strokePaint) false, or give the fill (or stroke) the colour
// kind kNoneColor; either way the art's style then has no fill (or stroke).
struct AIPathStyleSuite {
    // The focal fill and stroke of the art's style: the first fill and the first stroke among its
    // paint fields. *outHasAdvFill (when not null) is true when the style holds more than those two
    // paint fields or holds effects, so that the record does not tell the whole appearance.
    AIErr (*GetPathStyle)(AIArtHandle art, AIPathStyle* style, AIBoolean* outHasAdvFill);
    // Rewrites the focal fill and stroke of the art's style: a painted one replaces the focal paint
    // field (a new one is added when there is none), an unpainted one removes it. Other paint fields
    // and effects stay. A width that is negative or not finite answers kBadParameterErr.
    AIErr (*SetPathStyle)(AIArtHandle art, const AIPathStyle* style);
    // Rewrites the focus fill and focus stroke in place, losing nothing: a painted one takes the
    // record's paint and shows (its effects, transparency and stroke parameters stay); an unpainted
    // one stays in the style, hidden. A painted one the style has no paint field for is added as
    // SetPathStyle adds it.
    AIErr (*SetFocusPathStyle)(AIArtHandle art, const AIPathStyle* style);

    // Puts the colour into the record's stroke (stroke true) or fill and turns that paint on; the
    // art is the object the record is meant for. kBadParameterErr for a colour the host cannot paint
    // with (components outside 0 to 1, a custom colour, gradient or pattern that is not the current
    // document's).
    AIErr (*SetObjectAIColor)(AIPathStyle* style, const AIColor* color, AIBoolean stroke, AIArtHandle art);
    // Offers every colour the art uses (with a null art: every colour of the document's art and
    // named graphic styles) to the function, which may change it in place and says so through
    // *altered; a non-zero *result stops the walk and is answered. *madeReplacement (when not null)
    // tells whether any colour was changed. flags are kept for completeness and not interpreted.
    AIErr (*AdjustObjectAIColors)(AIArtHandle art, AIAdjustColorFunc adjust, void* userData, ai::int32 flags,
                                  AIBoolean* madeReplacement);
    // Opens a library of styles and symbols: a native document read from the file, kept outside the
    // document list until the application quits; the same file gives the same handle again.
    // kCantHappenErr when the file can't be read as a native document.
    AIErr (*ImportStyles)(const ai::FilePath& file, AIDocumentHandle* document);
};

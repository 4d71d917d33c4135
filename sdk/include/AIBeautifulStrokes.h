// Stroke parameters beyond width, dashes, caps and joins: arrowheads and the adjustment of dashes
// to corners, kept in a stroke's parameter dictionary (AIArtStyleParser.h, GetStrokeParams).
#pragma once

#include "AIDictionary.h"
#include "AIPathStyle.h"

#define kAIBeautifulStrokesSuite "AI Beautiful Strokes Suite"
constexpr ASInt32 kAIBeautifulStrokesSuiteVersion = 1003;

// Where an arrowhead sits at its end of the path.
enum ArrowTipAlignment : ai::int32 {
    kArrowTipAtEnd = 0,
    kArrowAttachmentPointAtEnd = 1,
    kArrowTruncationPointAtEnd = 2,
};

// Operations answer kBadParameterErr for a dictionary that names nothing and a null out-pointer.
struct AIBeautifulStrokesSuite {
    // The brush and arrowhead parameters kept in a stroke's parameter dictionary: a new reference
    // (release it), or null when the stroke has none (they are stored once something is set).
    AIErr (*GetParams)(AIDictionaryRef strokeParams, AIDictionaryRef* params);
    // The arrowheads: the symbols drawn at the start and the end (null: none), their scales
    // (kAIRealUnknown-like outputs keep their value when the parameters have none) and the
    // alignment (left as it is when there is none). Any output may be null.
    AIErr (*GetArrowheadOptions)(AIDictionaryRef params, AIPatternHandle* beginSymbol,
                                 AIPatternHandle* endSymbol, AIReal* beginScale, AIReal* endScale,
                                 ai::int32* placement);
    // Whether dashes are adjusted to corners and path ends (false when not set).
    AIErr (*GetDashAdjustment)(AIDictionaryRef params, AIBoolean* adjust);
    // Write into a stroke's parameter dictionary (made by the plug-in or handed out by the parser),
    // creating its brush and arrowhead parameters when it has none. Arrowheads: a null symbol is
    // none; a scale of kAIRealUnknown and a placement of -1 keep what is there.
    AIErr (*SetArrowheadOptions)(AIDictionaryRef strokeParams, AIPatternHandle beginSymbol,
                                 AIPatternHandle endSymbol, AIReal beginScale, AIReal endScale,
                                 ai::int32 placement);
    AIErr (*SetDashAdjustment)(AIDictionaryRef strokeParams, AIBoolean adjust);
};

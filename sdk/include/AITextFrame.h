// Text frames: the art that shows a story's text, and the text engine's frames.
#pragma once

#include "AIArt.h"
#include "ATESuites.h"
#include "SPTypes.h"

#define kAITextFrameSuite "AI Text Frame Suite"
constexpr ASInt32 kAITextFrameSuiteVersion = 1004;

// The kinds of text frames.
enum AITextFrameType : ai::int32 {
    kPointTextType = 0,
    kInPathTextType = 1,  // area text: text flowing inside its frame
    kOnPathTextType = 2,
};

// The direction of a new frame's lines.
enum AITextOrientation : ai::int16 {
    kHorizontalTextOrientation = 0,
    kVerticalTextOrientation = 1,
};

struct AITextFrameSuite {
    AIErr (*GetType)(AIArtHandle textFrame, AITextFrameType* type);
    // The text engine's frame of the art, with one count; and the art of an engine's frame.
    AIErr (*GetATETextFrame)(AIArtHandle textFrame, TextFrameRef* frame);
    AIErr (*GetAITextFrame)(TextFrameRef frame, AIArtHandle* textFrame);
    // Creates art that paints as the frame's text: a group of the glyphs' shapes, placed
    // directly above the frame. The frame itself is left as it was. kBadParameterErr when the art
    // is not a text frame.
    AIErr (*CreateOutline)(AIArtHandle textFrame, AIArtHandle* outline);
    // A new, empty area text frame whose text flows inside the path (the path becomes the frame's
    // shape and goes), placed by the paint order relative to prep (AIArtSuite::NewArt). With a base
    // frame the new frame continues the base frame's thread after its last frame. kBadParameterErr
    // for art that is no path, an unknown orientation, or a base frame that is no area text.
    AIErr (*NewInPathText)(ai::int16 paintOrder, AIArtHandle prep, AITextOrientation orientation,
                           AIArtHandle path, AIArtHandle baseFrame, AIArtHandle* newTextFrame);
    // The path object of area text or text on a path: path art standing for the frame's shape (area
    // text: its rectangle; text on a path: the path it follows). Its bounds are read and it is
    // transformed like other art (AIArtSuite, AITransformArtSuite), changing the frame's shape and
    // not its text's size; it is not among the document's art. kBadParameterErr for art that is no
    // text frame, and for point text, which has no path.
    AIErr (*GetPathObject)(AIArtHandle textFrame, AIArtHandle* pathObject);
};

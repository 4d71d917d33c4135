// Art styles: the whole appearance of an art object (its paint fields, live effects and
// transparency) as an immutable value behind a handle. Styles are read and built with the
// art-style parser (AIArtStyleParser.h).
#pragma once

#include "AIArt.h"
#include "AIPathStyle.h"
#include "IAIUnicodeString.h"
#include "SPTypes.h"

#define kAIArtStyleSuite "AI Art Style Suite"
constexpr ASInt32 kAIArtStyleSuiteVersion = 1008;

// A style never changes once made; setting it on art copies its value, so one handle can serve any
// number of objects. Handles stay valid for the life of the application.
struct _AIArtStyle;
using AIArtStyleHandle = _AIArtStyle*;

// Every operation answers kNoDocumentErr without a document and kBadParameterErr for a stale
// handle or a null out-pointer.
struct AIArtStyleSuite {
    // The art's style.
    AIErr (*GetArtStyle)(AIArtHandle art, AIArtStyleHandle* style);
    // Gives the art the style.
    AIErr (*SetArtStyle)(AIArtHandle art, AIArtStyleHandle style);
    // The art that carries the art's appearance, as expanding its appearance would give it: art
    // whose live effects draw nothing of their own is its own styled art. Null when the art has
    // none (a layer group).
    AIErr (*GetStyledArt)(AIArtHandle art, AIArtHandle* styledArt);

    // Named graphic styles of the current document, in order. Their handles are their own (not the
    // value handles above) and name the named style while the document has it; the parser and
    // SetArtStyle accept them like any style.
    AIErr (*CountNamedArtStyles)(ai::int32* count);
    AIErr (*GetNthNamedArtStyle)(ai::int32 index, AIArtStyleHandle* style);
    // The style's name; *unlisted (when not null) is true for a style kept out of the document's
    // list of styles. A style that is not named answers the empty name.
    AIErr (*GetArtStyleName)(AIArtStyleHandle style, ai::UnicodeString& name, AIBoolean* unlisted);
    // The named style with exactly this (UTF-8) name; kNameNotFoundErr when none has it.
    AIErr (*GetArtStyleByName)(AIArtStyleHandle* style, const ai::UnicodeString& name);

    // A new style of the path style's fill and stroke (painted ones only).
    AIErr (*CreateArtStyleFromPathStyle)(const AIPathStyle* pathStyle, AIArtStyleHandle* style);
    // Registers a copy of the style as a named style of the current document, listed, under a
    // non-empty name that no named style has yet (kBadParameterErr otherwise); *named (when not
    // null) receives the named style's handle.
    AIErr (*CreateNamedArtStyle)(const ai::UnicodeString& name, AIArtStyleHandle style,
                                 AIArtStyleHandle* named);
    // Gives a named style a new definition; kBadParameterErr when the first handle names no named
    // style.
    AIErr (*RedefineNamedArtStyle)(AIArtStyleHandle named, AIArtStyleHandle definition);
    // Whether the art is a group whose visible colours come from its members: a group (not a layer
    // group) with members and without a paint field that paints. False for anything else.
    AIBoolean (*IsColoredByMembers)(AIArtHandle art);
};

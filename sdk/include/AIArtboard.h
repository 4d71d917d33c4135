// The artboard suite: the artboards of the current document, and artboard property records.
// Plug-ins use it through ai::ArtboardList and ai::ArtboardProperties (IAIArtboards.hpp).
//
// Artboards are numbered from 0 in the order of the document's list. An artboard's position is a
// rectangle in document coordinates (points, y growing upward) whose width and height are above 0.
// Its ruler origin is where the rulers count from, measured from its top-left corner with y
// growing downward ((0, 0): the corner itself).
#pragma once

#include "AIRealMath.h"
#include "IAIUnicodeString.h"
#include "SPTypes.h"

#define kAIArtboardSuite "AI Artboard Suite"
constexpr ASInt32 kAIArtboardSuiteVersion = 1006;

using ArtboardID = ai::int32;

struct ArtboardListObject;
using ArtboardListRef = ArtboardListObject*;  // the current document's artboard list
struct ArtboardPropertiesObject;
using ArtboardRef = ArtboardPropertiesObject*;  // a property record held for the plug-in

// The marks an artboard can show.
enum AIArtboardDisplayMark : ai::int32 {
    kAIArtboardCenterMark = 1,
    kAIArtboardCrossHairs = 2,
    kAIArtboardSafeAreas = 4,
};

// Every operation answers kBadParameterErr for a null out-pointer, an unknown or disposed record or
// list, an index that names no artboard and a value out of range; kNoDocumentErr without a
// document for the list operations.
struct AIArtboardSuite {
    // --- Property records ---
    // A new record: an unnamed artboard at [0, 792, 612, 0] (a letter page), ruler origin (0, 0),
    // pixel aspect ratio 1, no marks. The caller disposes of it.
    AIErr (*Init)(ArtboardRef* properties);
    AIErr (*CloneArtboard)(ArtboardRef* copy, ArtboardRef source);
    AIErr (*Dispose)(ArtboardRef properties);
    AIErr (*GetPosition)(ArtboardRef properties, AIRealRect* position);
    // kBadParameterErr for a rectangle that is inverted, of zero width or height, or not finite.
    AIErr (*SetPosition)(ArtboardRef properties, const AIRealRect* position);
    AIErr (*GetName)(ArtboardRef properties, ai::UnicodeString& name);
    AIErr (*SetName)(ArtboardRef properties, const ai::UnicodeString& name);
    // Pixel aspect ratio: above 0.
    AIErr (*GetPAR)(ArtboardRef properties, AIReal* ratio);
    AIErr (*SetPAR)(ArtboardRef properties, AIReal ratio);
    AIErr (*GetRulerOrigin)(ArtboardRef properties, AIRealPoint* origin);
    AIErr (*SetRulerOrigin)(ArtboardRef properties, const AIRealPoint* origin);
    AIErr (*GetShowDisplayMark)(ArtboardRef properties, ai::int32 mark, AIBoolean* show);
    AIErr (*SetShowDisplayMark)(ArtboardRef properties, ai::int32 mark, AIBoolean show);

    // --- The current document's list ---
    // A reference to the list; it names that document's list until released.
    AIErr (*GetArtboardList)(ArtboardListRef* list);
    AIErr (*ReleaseArtboardList)(ArtboardListRef list);
    AIErr (*GetCount)(ArtboardListRef list, ArtboardID* count);
    AIErr (*GetActive)(ArtboardListRef list, ArtboardID* index);
    AIErr (*SetActive)(ArtboardListRef list, ArtboardID index);
    // Copies the properties of the artboard at index into the record.
    AIErr (*GetArtboardProperties)(ArtboardListRef list, ArtboardID index, ArtboardRef properties);
    // Gives the artboard at index the properties of the record.
    AIErr (*Update)(ArtboardListRef list, ArtboardID index, ArtboardRef properties);
    // Adds an artboard with the record's properties after the last one and tells its index. An
    // artboard without a name is named "Artboard N", N its number counted from 1.
    AIErr (*Insert)(ArtboardListRef list, ArtboardRef properties, ArtboardID* index);
    // Removes the artboard at index; the last remaining artboard cannot be removed
    // (kCantHappenErr). The active artboard stays active; when it is the one removed, the one
    // that takes its place (or the new last one) becomes active.
    AIErr (*Delete)(ArtboardListRef list, ArtboardID index);

    // Adds an artboard with the record's properties at the position *index (0 to the count; any
    // other value: after the last one) and tells where it went. The artboards from that position on
    // move one place back; the active artboard stays active. Naming as Insert.
    AIErr (*InsertAt)(ArtboardListRef list, ArtboardRef properties, ArtboardID* index);
    // Removes the artboards at the indexes as a whole: either all of them go or none does. Repeated
    // or unknown indexes, and a null list with a count above 0, are kBadParameterErr; removing every
    // artboard is refused (kCantHappenErr). The active artboard stays active; when it is removed,
    // the first remaining artboard after it (or the new last one) becomes active.
    AIErr (*DeleteArtboards)(ArtboardListRef list, const ArtboardID* indexes, ai::int32 count);
};

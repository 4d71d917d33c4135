// The text engine's suites: stories, ranges, frames, lines, paragraphs, character and paragraph
// features, named styles, the document's text resources, fonts and paints. The plug-in reaches
// them through the classes of IText.h.
//
// Every object is a counted reference: an operation that hands one out gives it one count, which
// the receiver gives back with the suite's Release. Positions count UTF-16 code units from the
// start of the story. Every operation answers an ATEErr: kNoError, kBadParameterErr for a null,
// released or stale reference, a null out-pointer or a value the engine refuses, 'DOC?' without a
// document. A getter of a feature also says through `isAssigned` whether the features hold a value
// for it; a value that varies over the text it was read from is not assigned.
#pragma once

#include "SPTypes.h"

using ATEErr = ASInt32;
constexpr ATEErr kNoError = 0;
using ASReal = double;

struct ATETextRangeObject;
struct ATEStoryObject;
struct ATETextFrameObject;
struct ATETextFramesIteratorObject;
struct ATETextLineObject;
struct ATETextLinesIteratorObject;
struct ATEParagraphObject;
struct ATEParagraphsIteratorObject;
struct ATECharFeaturesObject;
struct ATEParaFeaturesObject;
struct ATECharStyleObject;
struct ATEParaStyleObject;
struct ATECharStylesObject;
struct ATEParaStylesObject;
struct ATECharStylesIteratorObject;
struct ATEParaStylesIteratorObject;
struct ATEDocumentTextResourcesObject;
struct ATEFontObject;
struct ATEApplicationPaintObject;

using TextRangeRef = ATETextRangeObject*;
using StoryRef = ATEStoryObject*;
using TextFrameRef = ATETextFrameObject*;
using TextFramesIteratorRef = ATETextFramesIteratorObject*;
using TextLineRef = ATETextLineObject*;
using TextLinesIteratorRef = ATETextLinesIteratorObject*;
using ParagraphRef = ATEParagraphObject*;
using ParagraphsIteratorRef = ATEParagraphsIteratorObject*;
using CharFeaturesRef = ATECharFeaturesObject*;
using ParaFeaturesRef = ATEParaFeaturesObject*;
using CharStyleRef = ATECharStyleObject*;
using ParaStyleRef = ATEParaStyleObject*;
using CharStylesRef = ATECharStylesObject*;
using ParaStylesRef = ATEParaStylesObject*;
using CharStylesIteratorRef = ATECharStylesIteratorObject*;
using ParaStylesIteratorRef = ATEParaStylesIteratorObject*;
using DocumentTextResourcesRef = ATEDocumentTextResourcesObject*;
using FontRef = ATEFontObject*;
using ApplicationPaintRef = ATEApplicationPaintObject*;

// The character features held as numbers, codes and flags: X(Name, type). Codes: DirOverride 0
// default, 1 left to right, 2 right to left; FontBaselineOption 0 normal, 1 superscript, 2
// subscript; StrikethroughPosition 0 off, 1 on (2 reads as off); UnderlinePosition 0 off, 1 right,
// 2 left; LineJoin 0 miter, 1 round, 2 bevel; AutoKernType 0 none, 1 metric, 2 optical, 3 metric
// for Roman text only; Language 0 to 62. Scales are factors (1 is 100 %), tracking is in
// thousandths of an em. The engine refuses sizes and scales of 0 or less, negative leading and
// line widths, numbers that are not finite and codes it does not know.
#define PLIM_ATE_CHAR_VALUES(X)       \
    X(FontSize, ASReal)               \
    X(Fill, bool)                     \
    X(Stroke, bool)                   \
    X(AutoLeading, bool)              \
    X(Leading, ASReal)                \
    X(DirOverride, ASInt32)           \
    X(FontBaselineOption, ASInt32)    \
    X(StrikethroughPosition, ASInt32) \
    X(UnderlinePosition, ASInt32)     \
    X(LineWidth, ASReal)              \
    X(LineJoin, ASInt32)              \
    X(FillOverPrint, bool)            \
    X(StrokeOverPrint, bool)          \
    X(Tracking, ASInt32)              \
    X(AutoKernType, ASInt32)          \
    X(BaselineShift, ASReal)          \
    X(HorizontalScale, ASReal)        \
    X(VerticalScale, ASReal)          \
    X(CharacterRotation, ASReal)      \
    X(Language, ASInt32)

// The paragraph features held as numbers, codes and flags. Justification 0 left, 1 right, 2
// centre, 3 full with the last line left, 4 right, 5 centred, 6 full; ComposerEngine 0 to 2;
// ParagraphDirection 0 left to right, 1 right to left.
#define PLIM_ATE_PARA_VALUES(X) \
    X(Justification, ASInt32)   \
    X(FirstLineIndent, ASReal)  \
    X(ComposerEngine, ASInt32)  \
    X(EveryLineComposer, bool)  \
    X(ParagraphDirection, ASInt32)

#define PLIM_ATE_COUNTED(Ref)     \
    ATEErr (*AddRef)(Ref object); \
    ATEErr (*Release)(Ref object);

#define PLIM_ATE_FEATURE_OPS(Features, Name, type)                         \
    ATEErr (*Get##Name)(Features features, bool* isAssigned, type* value); \
    ATEErr (*Set##Name)(Features features, type value);                    \
    ATEErr (*Clear##Name)(Features features);

#define PLIM_ATE_ITERATOR(Ref, ItemRef)               \
    PLIM_ATE_COUNTED(Ref)                             \
    ATEErr (*IsNotDone)(Ref iterator, bool* notDone); \
    ATEErr (*IsEmpty)(Ref iterator, bool* empty);     \
    ATEErr (*Next)(Ref iterator);                     \
    ATEErr (*Item)(Ref iterator, ItemRef * item);

struct ATETextRangeSuite {
    PLIM_ATE_COUNTED(TextRangeRef)
    ATEErr (*Clone)(TextRangeRef range, TextRangeRef* copy);
    ATEErr (*GetStart)(TextRangeRef range, ASInt32* start);
    // Moves the start; an end before it moves with it. Clamped to the story.
    ATEErr (*SetStart)(TextRangeRef range, ASInt32 start);
    ATEErr (*GetEnd)(TextRangeRef range, ASInt32* end);
    // Moves the end; a start after it moves with it. Clamped to the story.
    ATEErr (*SetEnd)(TextRangeRef range, ASInt32 end);
    ATEErr (*SetRange)(TextRangeRef range, ASInt32 start, ASInt32 end);
    ATEErr (*GetSize)(TextRangeRef range, ASInt32* size);
    // Copies up to maxLength units of the text into the buffer (no terminator) and answers how
    // many were copied.
    ATEErr (*GetContents_AsUnicode)(TextRangeRef range, ASUnicode* text, ASInt32 maxLength, ASInt32* copied);
    // Inserts text after the range's end (before its start), taking the features of the unit
    // before the place. Every live range of the story follows the edit.
    ATEErr (*InsertAfter_AsUnicode)(TextRangeRef range, const ASUnicode* text, ASInt32 length);
    ATEErr (*InsertBefore_AsUnicode)(TextRangeRef range, const ASUnicode* text, ASInt32 length);
    // Removes the range's text; the range becomes empty at its start.
    ATEErr (*Remove)(TextRangeRef range);
    ATEErr (*GetStory)(TextRangeRef range, StoryRef* story);
    // The paragraphs the range touches, and the frames that show some of it (the first frame for
    // an empty range).
    ATEErr (*GetParagraphs)(TextRangeRef range, ParagraphsIteratorRef* paragraphs);
    ATEErr (*GetTextFrames)(TextRangeRef range, TextFramesIteratorRef* frames);
    // The features shared by every unit of the range, resolved through the styles, or only the
    // local overrides they share.
    ATEErr (*GetUniqueCharFeatures)(TextRangeRef range, CharFeaturesRef* features);
    ATEErr (*GetUniqueLocalCharFeatures)(TextRangeRef range, CharFeaturesRef* features);
    ATEErr (*GetUniqueParaFeatures)(TextRangeRef range, ParaFeaturesRef* features);
    ATEErr (*GetUniqueLocalParaFeatures)(TextRangeRef range, ParaFeaturesRef* features);
    // Local overrides: set replaces them, replace-or-add merges the features' assigned values in.
    ATEErr (*SetLocalCharFeatures)(TextRangeRef range, CharFeaturesRef features);
    ATEErr (*ReplaceOrAddLocalCharFeatures)(TextRangeRef range, CharFeaturesRef features);
    ATEErr (*ClearLocalCharFeatures)(TextRangeRef range);
    ATEErr (*SetLocalParaFeatures)(TextRangeRef range, ParaFeaturesRef features);
    ATEErr (*ReplaceOrAddLocalParaFeatures)(TextRangeRef range, ParaFeaturesRef features);
    ATEErr (*ClearLocalParaFeatures)(TextRangeRef range);
    // The named styles applied over the range, each once, in text order (units without a style of
    // their own report the normal style). Setting needs the name of an existing style.
    ATEErr (*GetNamedCharStyles)(TextRangeRef range, CharStylesRef* styles);
    ATEErr (*GetNamedParaStyles)(TextRangeRef range, ParaStylesRef* styles);
    ATEErr (*SetNamedCharStyle)(TextRangeRef range, const ASUnicode* name);
    ATEErr (*SetNamedParaStyle)(TextRangeRef range, const ASUnicode* name);
};

struct ATEStorySuite {
    PLIM_ATE_COUNTED(StoryRef)
    ATEErr (*GetTextRange_entire)(StoryRef story, TextRangeRef* range);
    ATEErr (*GetTextRange)(StoryRef story, ASInt32 start, ASInt32 end, TextRangeRef* range);
    ATEErr (*GetFrameCount)(StoryRef story, ASInt32* count);
    ATEErr (*GetFrame)(StoryRef story, ASInt32 index, TextFrameRef* frame);
    // Reflow is counted; this engine lays text out when it is asked, so both only count.
    ATEErr (*SuspendReflow)(StoryRef story);
    ATEErr (*ResumeReflow)(StoryRef story);
};

struct ATETextFrameSuite {
    PLIM_ATE_COUNTED(TextFrameRef)
    // The units the frame shows; with includeOverflow the last frame of a thread also holds the
    // overset text.
    ATEErr (*GetTextRange)(TextFrameRef frame, bool includeOverflow, TextRangeRef* range);
    ATEErr (*GetStory)(TextFrameRef frame, StoryRef* story);
    ATEErr (*GetTextLinesIterator)(TextFrameRef frame, TextLinesIteratorRef* lines);
    // 0 horizontal, 1 vertical.
    ATEErr (*GetStoryDirection)(TextFrameRef frame, ASInt32* direction);
    ATEErr (*SetStoryDirection)(TextFrameRef frame, ASInt32 direction);
};

struct ATETextFramesIteratorSuite {
    PLIM_ATE_ITERATOR(TextFramesIteratorRef, TextFrameRef)
};

struct ATETextLineSuite {
    PLIM_ATE_COUNTED(TextLineRef)
    ATEErr (*GetTextRange)(TextLineRef line, TextRangeRef* range);
};

struct ATETextLinesIteratorSuite {
    PLIM_ATE_ITERATOR(TextLinesIteratorRef, TextLineRef)
};

struct ATEParagraphSuite {
    PLIM_ATE_COUNTED(ParagraphRef)
    ATEErr (*GetTextRange)(ParagraphRef paragraph, TextRangeRef* range);
};

struct ATEParagraphsIteratorSuite {
    PLIM_ATE_ITERATOR(ParagraphsIteratorRef, ParagraphRef)
};

struct ATECharFeaturesSuite {
    // New features with nothing assigned.
    ATEErr (*Initialize)(CharFeaturesRef* features);
    PLIM_ATE_COUNTED(CharFeaturesRef)
    ATEErr (*Clone)(CharFeaturesRef features, CharFeaturesRef* copy);
    // A font of the font list (AIFont.h turns font keys into fonts and back).
    ATEErr (*GetFont)(CharFeaturesRef features, bool* isAssigned, FontRef* font);
    ATEErr (*SetFont)(CharFeaturesRef features, FontRef font);
    // A fill or stroke that is off reads as a paint without colour.
    ATEErr (*GetFillColor)(CharFeaturesRef features, bool* isAssigned, ApplicationPaintRef* paint);
    ATEErr (*SetFillColor)(CharFeaturesRef features, ApplicationPaintRef paint);
    ATEErr (*GetStrokeColor)(CharFeaturesRef features, bool* isAssigned, ApplicationPaintRef* paint);
    ATEErr (*SetStrokeColor)(CharFeaturesRef features, ApplicationPaintRef paint);
#define PLIM_ATE_CHAR_FIELD(Name, type) PLIM_ATE_FEATURE_OPS(CharFeaturesRef, Name, type)
    PLIM_ATE_CHAR_VALUES(PLIM_ATE_CHAR_FIELD)
#undef PLIM_ATE_CHAR_FIELD
};

struct ATEParaFeaturesSuite {
    ATEErr (*Initialize)(ParaFeaturesRef* features);
    PLIM_ATE_COUNTED(ParaFeaturesRef)
    ATEErr (*Clone)(ParaFeaturesRef features, ParaFeaturesRef* copy);
    ATEErr (*GetDefaultCharFeatures)(ParaFeaturesRef features, bool* isAssigned, CharFeaturesRef* defaults);
    ATEErr (*SetDefaultCharFeatures)(ParaFeaturesRef features, CharFeaturesRef defaults);
#define PLIM_ATE_PARA_FIELD(Name, type) PLIM_ATE_FEATURE_OPS(ParaFeaturesRef, Name, type)
    PLIM_ATE_PARA_VALUES(PLIM_ATE_PARA_FIELD)
#undef PLIM_ATE_PARA_FIELD
};

// A named style is named by its document and its name; it stays usable while the style exists.
struct ATECharStyleSuite {
    PLIM_ATE_COUNTED(CharStyleRef)
    // Copies up to maxLength units of the name (no terminator) and answers how many were copied.
    ATEErr (*GetName)(CharStyleRef style, ASUnicode* name, ASInt32 maxLength, ASInt32* copied);
    ATEErr (*GetFeatures)(CharStyleRef style, CharFeaturesRef* features);
    ATEErr (*SetFeatures)(CharStyleRef style, CharFeaturesRef features);
    ATEErr (*ReplaceOrAddFeatures)(CharStyleRef style, CharFeaturesRef features);
};

struct ATEParaStyleSuite {
    PLIM_ATE_COUNTED(ParaStyleRef)
    ATEErr (*GetName)(ParaStyleRef style, ASUnicode* name, ASInt32 maxLength, ASInt32* copied);
    ATEErr (*GetFeatures)(ParaStyleRef style, ParaFeaturesRef* features);
    ATEErr (*SetFeatures)(ParaStyleRef style, ParaFeaturesRef features);
    ATEErr (*ReplaceOrAddFeatures)(ParaStyleRef style, ParaFeaturesRef features);
};

struct ATECharStylesSuite {
    PLIM_ATE_COUNTED(CharStylesRef)
    ATEErr (*GetSize)(CharStylesRef styles, ASInt32* size);
    ATEErr (*IsEmpty)(CharStylesRef styles, bool* empty);
};

struct ATEParaStylesSuite {
    PLIM_ATE_COUNTED(ParaStylesRef)
    ATEErr (*GetSize)(ParaStylesRef styles, ASInt32* size);
    ATEErr (*IsEmpty)(ParaStylesRef styles, bool* empty);
};

struct ATECharStylesIteratorSuite {
    ATEErr (*Create)(CharStylesRef styles, CharStylesIteratorRef* iterator);
    PLIM_ATE_ITERATOR(CharStylesIteratorRef, CharStyleRef)
};

struct ATEParaStylesIteratorSuite {
    ATEErr (*Create)(ParaStylesRef styles, ParaStylesIteratorRef* iterator);
    PLIM_ATE_ITERATOR(ParaStylesIteratorRef, ParaStyleRef)
};

// The named styles of the document the resources were taken from. Getting a style that does not
// exist answers kNoError and a null style; creating one with a name that is taken is refused.
struct ATEDocumentTextResourcesSuite {
    PLIM_ATE_COUNTED(DocumentTextResourcesRef)
    ATEErr (*GetCharStyle)(DocumentTextResourcesRef resources, const ASUnicode* name, CharStyleRef* style);
    ATEErr (*GetParaStyle)(DocumentTextResourcesRef resources, const ASUnicode* name, ParaStyleRef* style);
    ATEErr (*CreateCharStyleWithFeatures)(DocumentTextResourcesRef resources, const ASUnicode* name,
                                          CharFeaturesRef features, CharStyleRef* style);
    ATEErr (*CreateParaStyleWithFeatures)(DocumentTextResourcesRef resources, const ASUnicode* name,
                                          ParaFeaturesRef features, ParaStyleRef* style);
};

struct ATEFontSuite {
    PLIM_ATE_COUNTED(FontRef)
};

struct ATEApplicationPaintSuite {
    PLIM_ATE_COUNTED(ApplicationPaintRef)
};

#undef PLIM_ATE_COUNTED
#undef PLIM_ATE_FEATURE_OPS
#undef PLIM_ATE_ITERATOR

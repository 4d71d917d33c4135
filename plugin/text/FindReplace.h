// Replacing and restyling spans of a story: what find and replace and text templates write into
// the host's text. Positions count code points from the start of the story.
#pragma once

#include <string>

#include "IText.h"
#include "text/TextFeatures.h"

// What every replacement applies to the text it leaves behind.
struct TextFormatting {
    TextFeatures features;
    bool clearOverridesChar = false;
    bool clearOverridesPara = false;
    bool clearOverridesOfWholeParagraph = false;
};

// Clears the whole paragraphs the range touches (paragraph, then character overrides), then the
// range's own paragraph and character overrides as asked, then applies the set features. False
// when the paragraphs can't be walked or the engine refuses.
bool FormatTextRange(ATE::ITextRange range, const TextFeatures& features, bool clearChar, bool clearPara,
                     bool clearWholeParagraphs);

// Replaces the story's span [start, end) with newText (or, with replace false, leaves its text)
// and gives what is left there the span's shared local character features and then the
// formatting. False when a position lies beyond the text or the engine refuses (an insertion
// already made stays).
bool ReplaceInTextRange(const ATE::ITextRange& story, unsigned long start, unsigned long end, bool replace,
                        const std::u32string& newText, const TextFormatting& formatting);

// A line feed becomes a carriage return; one after a carriage return is dropped.
std::string ReplaceLineFeed(const std::string& text);

// The text as an ECMAScript pattern that matches exactly that text.
std::u32string EscapeEcmaPattern(const std::u32string& text);

// Text art as the text engine's ranges, and the text of a range as code points. The text engine
// counts UTF-16 code units; matching and templates count code points (UTF-32), so every position
// that goes to the engine passes through U16Length on the story text of that moment.
#pragma once

#include <optional>
#include <string>

#include "AIArt.h"
#include "AITextFrame.h"
#include "IAIUnicodeString.h"
#include "IText.h"

// For text-frame art: `story` becomes the range of the frame's whole story and `storyId` the
// ArtCRC of the story's first frame's art. False for any other art or when a host call fails; then
// neither output changes.
bool ArtToTextRange(ArtObject* art, ATE::ITextRange& story, int& storyId);
// The same without the story's identity, which costs a UUID and its CRC: for a caller that only
// reads the story.
bool ArtToTextRange(ArtObject* art, ATE::ITextRange& story);
// The same with the art of the story's first frame, which every frame of a thread shares: the
// identity by which a story found through several of its frames is processed once (CRCs of
// different stories can be equal).
bool ArtToStoryAndFirstFrame(ArtObject* art, ATE::ITextRange& story, ArtObject*& firstFrame);

// The kind of text of text-frame art (point, area, on a path); none for other art or when the host
// refuses.
std::optional<AITextFrameType> FrameType(ArtObject* art);

// For text-frame art: `range` becomes the frame's own text (overset text included in the last frame
// of a thread), not the whole story. False for any other art or when a host call fails; then
// `range` does not change.
bool FrameArtToTextRange(ArtObject* art, ATE::ITextRange& range);

// The range's text as code points: a surrogate pair gives one code point, a paragraph end its
// U+000D. False (text unchanged) when the engine refuses.
bool TextRangeToUnicode(const ATE::ITextRange& range, std::u32string& text);

// `units` becomes the UTF-16 length of the first `position` code points of the text (a code point
// above U+FFFF counts two). False, units unchanged, when position lies beyond the text.
bool U16Length(const std::u32string& text, unsigned long position, unsigned long& units);
// The UTF-16 length of the whole text.
unsigned long U16Length(const std::u32string& text);
unsigned long U16Length(const ai::UnicodeString& text);

// The story's reflow, suspended while the scope lives and resumed however it ends (an exception
// included), so that no path leaves a story that no longer lays out its text.
class SuspendedReflow {
public:
    explicit SuspendedReflow(ATE::IStory& story) : fStory(story) { fStory.SuspendReflow(); }
    ~SuspendedReflow() {
        try {
            fStory.ResumeReflow();
        } catch (const ATE::Exception&) {
            // A story that went away has nothing to resume.
        }
    }
    SuspendedReflow(const SuspendedReflow&) = delete;
    SuspendedReflow& operator=(const SuspendedReflow&) = delete;

private:
    ATE::IStory& fStory;
};

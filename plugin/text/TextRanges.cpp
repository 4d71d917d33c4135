#include "text/TextRanges.h"

#include <algorithm>
#include <span>
#include <vector>

#include "AITextFrame.h"
#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "art/TagText.h"
#include "core/Suites.h"

namespace {

// The text engine's frame of text-frame art; null for other art or when the host refuses.
ATE::ITextFrame EngineFrame(ArtObject* art) {
    if (!hostart::IsOfType(art, kTextFrameArt)) {
        return {};
    }
    TextFrameRef frame = nullptr;
    if (sAITextFrame == nullptr || sAITextFrame->GetATETextFrame(art, &frame) != kNoErr) {
        return {};
    }
    return ATE::ITextFrame(frame);
}

constexpr char32_t kFirstSupplementary = 0x10000;

}  // namespace

namespace {

// ArtToTextRange, giving the art of the story's first frame only when firstFrame is set.
bool StoryOfArt(ArtObject* art, ATE::ITextRange& story, AIArtHandle* firstFrame) {
    try {
        const ATE::ITextFrame frame = EngineFrame(art);
        if (frame.IsNull()) {
            return false;
        }
        const ATE::IStory whole = frame.GetStory();
        // A story in one frame starts in this one; only a thread needs its first frame looked up.
        AIArtHandle firstArt = art;
        if (firstFrame != nullptr && whole.GetFrameCount() > 1 &&
            sAITextFrame->GetAITextFrame(whole.GetFrame(0).GetRef(), &firstArt) != kNoErr) {
            return false;
        }
        ATE::ITextRange range = whole.GetTextRange();
        if (firstFrame != nullptr) {
            *firstFrame = firstArt;
        }
        story = std::move(range);
        return true;
    } catch (const ATE::Exception&) {
        return false;
    }
}

}  // namespace

bool ArtToTextRange(ArtObject* art, ATE::ITextRange& story, int& storyId) {
    AIArtHandle firstArt = nullptr;
    if (!StoryOfArt(art, story, &firstArt)) {
        return false;
    }
    storyId = ArtCRC(firstArt);
    return true;
}

bool ArtToTextRange(ArtObject* art, ATE::ITextRange& story) {
    return StoryOfArt(art, story, nullptr);
}

bool ArtToStoryAndFirstFrame(ArtObject* art, ATE::ITextRange& story, ArtObject*& firstFrame) {
    return StoryOfArt(art, story, &firstFrame);
}

std::optional<AITextFrameType> FrameType(ArtObject* art) {
    AITextFrameType type = kPointTextType;
    if (sAITextFrame == nullptr || sAITextFrame->GetType(art, &type) != kNoErr) {
        return std::nullopt;
    }
    return type;
}

bool FrameArtToTextRange(ArtObject* art, ATE::ITextRange& range) {
    try {
        const ATE::ITextFrame frame = EngineFrame(art);
        if (frame.IsNull()) {
            return false;
        }
        range = frame.GetTextRange(true);
        return true;
    } catch (const ATE::Exception&) {
        return false;
    }
}

bool TextRangeToUnicode(const ATE::ITextRange& range, std::u32string& text) {
    try {
        const ASInt32 size = range.GetSize();
        std::vector<ASUnicode> buffer(static_cast<size_t>(std::max<ASInt32>(size, 0)));
        const ASInt32 copied = buffer.empty() ? 0 : range.GetContents(buffer.data(), size);
        const size_t count = std::min(buffer.size(), static_cast<size_t>(std::max<ASInt32>(copied, 0)));
        text = Utf16ToUtf32(std::span<const ASUnicode>(buffer.data(), count));
        return true;
    } catch (const ATE::Exception&) {
        return false;
    }
}

bool U16Length(const std::u32string& text, unsigned long position, unsigned long& units) {
    if (position > text.size()) {
        return false;
    }
    unsigned long count = 0;
    for (size_t i = 0; i < position; ++i) {
        count += text[i] >= kFirstSupplementary ? 2 : 1;
    }
    units = count;
    return true;
}

unsigned long U16Length(const std::u32string& text) {
    unsigned long units = 0;
    U16Length(text, text.size(), units);
    return units;
}

unsigned long U16Length(const ai::UnicodeString& text) {
    return static_cast<unsigned long>(text.length());
}

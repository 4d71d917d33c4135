#include "text/AppearanceSteps.h"

#include "text/TextFeatures.h"
#include "text/TextRanges.h"

void ApplyOverprintToTextArt(AIArtHandle art, std::optional<bool> overprintFill,
                             std::optional<bool> overprintStroke) {
    TextFeatures features;
    features.overprintFill = overprintFill;
    features.overprintStroke = overprintStroke;
    ATE::ITextRange story;
    if (!features.Check() || !ArtToTextRange(art, story)) {
        return;
    }
    try {
        features.SetTextFeatures(story);
    } catch (const ATE::Exception&) {
        // The story keeps what the engine refused.
    }
}

bool ApplyGStyleToTextFrame(AIArtHandle art, const GStyle& style) {
    ATE::ITextRange range;
    if (!FrameArtToTextRange(art, range)) {
        return false;
    }
    const TextFeatures features(style);
    if (!features.Check()) {
        return true;
    }
    try {
        features.SetTextFeatures(range);
    } catch (const ATE::Exception&) {
        // The text keeps what the engine refused.
    }
    return true;
}

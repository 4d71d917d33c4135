#include "text/FitText.h"

#include <utility>
#include <vector>

#include "AIDocument.h"
#include "AITextFrame.h"
#include "art/ArtTree.h"
#include "art/TagSearch.h"
#include "art/TagText.h"
#include "core/Suites.h"
#include "text/Overset.h"
#include "text/ScaleArt.h"
#include "text/TextRanges.h"
#include "text/TextTemplate.h"

namespace {

constexpr int kSearchSteps = 16;
constexpr double kFinalStep = 0.995;

constexpr const char* kFitToFrame = "fitToFrame";
constexpr const char* kShrinkToFrame = "shrinkToFrame";
constexpr const char* kFitFrameToText = "fitFrameToText";
constexpr const char* kNoTextToFit = "No text to fit found";
constexpr const char* kCantFitRange = "Can't fit a text range";
constexpr const char* kUnknownMethod = "Unknown fitting method";
constexpr const char* kUnknownMode = "Unknown search mode";

constexpr int kWholeStories = 4;
constexpr int kHighestMode = 5;

// Every character's size and leading, so that a failed fit can put them back exactly.
struct SizeSnapshot {
    struct Entry {
        ASReal size = 0;
        bool leadingAssigned = false;
        ASReal leading = 0;
    };
    std::vector<Entry> entries;
};

// One-character ranges of the range, each given to visit with its features; false when visit is.
template <typename Visit>
bool ForEachCharacter(const ATE::ITextRange& range, Visit visit) {
    for (ASInt32 i = range.GetStart(); i < range.GetEnd(); ++i) {
        ATE::ITextRange one = range.Clone();
        one.SetRange(i, i + 1);
        if (!visit(one, one.GetUniqueCharFeatures())) {
            return false;
        }
    }
    return true;
}

bool Snapshot(const ATE::ITextRange& range, SizeSnapshot& snapshot) {
    try {
        return ForEachCharacter(range, [&](ATE::ITextRange&, const ATE::ICharFeatures& features) {
            SizeSnapshot::Entry entry;
            bool assigned = false;
            entry.size = features.GetFontSize(&assigned);
            entry.leading = features.GetLeading(&entry.leadingAssigned);
            snapshot.entries.push_back(entry);
            return assigned && entry.size > 0;
        });
    } catch (const ATE::Exception&) {
        return false;
    }
}

void Restore(const ATE::ITextRange& range, const SizeSnapshot& snapshot) {
    try {
        std::size_t index = 0;
        ForEachCharacter(range, [&](ATE::ITextRange& one, const ATE::ICharFeatures&) {
            if (index >= snapshot.entries.size()) {
                return false;
            }
            const SizeSnapshot::Entry& entry = snapshot.entries[index++];
            ATE::ICharFeatures features;
            features.SetFontSize(entry.size);
            if (entry.leadingAssigned) {
                features.SetLeading(entry.leading);
            }
            one.ReplaceOrAddLocalCharFeatures(features);
            return true;
        });
    } catch (const ATE::Exception&) {
    }
}

// Whether the story shows all its text; none when the test fails.
std::optional<bool> Fits(const ATE::ITextRange& story) {
    bool overset = false;
    if (!CheckTextRangeForOverset(story, overset)) {
        return std::nullopt;
    }
    return !overset;
}

// The largest size at which the story fits, by doubling, a binary search of 16 steps and up to
// 16 final steps of 0.995; with shrinkOnly a story that fits stays as it is. False when a test or
// a scaling fails, when the story still fits at 65,536 times its size, or when it is still overset
// after the final steps.
bool ScaleToFit(const ATE::ITextRange& story, bool shrinkOnly) {
    std::optional<bool> fits = Fits(story);
    if (!fits) {
        return false;
    }
    if (*fits && shrinkOnly) {
        return true;
    }
    for (int doublings = 0; *fits; ++doublings) {
        if (doublings == kSearchSteps || !ScaleTextRange(story, 2.0) || !(fits = Fits(story))) {
            return false;
        }
    }
    double multiplier = 0.0;
    double step = 1.0;
    for (int k = 1; k <= kSearchSteps; ++k) {
        step /= 2.0;
        const double candidate = multiplier + step;
        const double factor = multiplier == 0.0 ? candidate : candidate / multiplier;
        if (!ScaleTextRange(story, factor) || !(fits = Fits(story))) {
            return false;
        }
        if (!*fits) {
            if (!ScaleTextRange(story, 1.0 / factor)) {
                return false;
            }
            fits = false;
        } else {
            multiplier = candidate;
        }
    }
    if (*fits) {
        return true;
    }
    for (int k = 0; k < kSearchSteps; ++k) {
        if (!ScaleTextRange(story, kFinalStep) || !(fits = Fits(story))) {
            return false;
        }
        if (*fits) {
            return true;
        }
    }
    return false;
}

// Fits a whole story; a fit that fails leaves every character's size as it was.
bool FitTextRange(const ATE::ITextRange& story, bool shrinkOnly) {
    SizeSnapshot before;
    if (!Snapshot(story, before)) {
        return false;
    }
    if (ScaleToFit(story, shrinkOnly)) {
        return true;
    }
    Restore(story, before);
    return false;
}

bool GetMinMaxFontSize(const ATE::ITextRange& range, double& smallest, double& largest) {
    SizeSnapshot sizes;
    if (!Snapshot(range, sizes) || sizes.entries.empty()) {
        return false;
    }
    smallest = largest = sizes.entries.front().size;
    for (const SizeSnapshot::Entry& entry : sizes.entries) {
        smallest = std::min<double>(smallest, entry.size);
        largest = std::max<double>(largest, entry.size);
    }
    return true;
}

bool CheckTextRangeFontSize(const ATE::ITextRange& range, double minFontSize, double maxFontSize) {
    double smallest = 0;
    double largest = 0;
    return GetMinMaxFontSize(range, smallest, largest) && !(minFontSize > 0 && smallest < minFontSize) &&
           !(maxFontSize > 0 && largest > maxFontSize);
}

std::optional<AITextFrameType> FrameType(ArtObject* art) {
    AITextFrameType type = kPointTextType;
    if (sAITextFrame == nullptr || sAITextFrame->GetType(art, &type) != kNoErr) {
        return std::nullopt;
    }
    return type;
}

// Area text of a fixed frame and path text: what fitting works on.
bool IsFittable(ArtObject* art) {
    const std::optional<AITextFrameType> type = FrameType(art);
    if (type == kOnPathTextType) {
        return true;
    }
    bool autoSized = true;
    return type == kInPathTextType && CheckTextForAutoSize(art, autoSized) && !autoSized;
}

bool SameRect(const AIRealRect& a, const AIRealRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Fits the whole stories of the art, and scales a story back when its sizes break the limits.
void FitStories(const ArtList& art, bool shrinkOnly, double minFontSize, double maxFontSize, json& reply) {
    std::vector<ATE::ITextRange> stories;
    for (ArtObject* one : art) {
        ATE::ITextRange story;
        int storyId = 0;
        if (ArtToTextRange(one, story, storyId)) {
            stories.push_back(std::move(story));
        }
    }
    if (stories.empty()) {
        reply["error"] = kNoTextToFit;
        return;
    }
    for (const ATE::ITextRange& story : stories) {
        double smallest = 0;
        double largest = 0;
        if (!GetMinMaxFontSize(story, smallest, largest)) {
            reply["error"] = kCantFitRange;
            continue;
        }
        if (!FitTextRange(story, shrinkOnly)) {
            reply["error"] = kCantFitRange;
        }
        if (!CheckTextRangeFontSize(story, minFontSize, maxFontSize)) {
            reply["error"] = kCantFitRange;
            double newSmallest = 0;
            double newLargest = 0;
            if (GetMinMaxFontSize(story, newSmallest, newLargest) && newLargest != 0) {
                ScaleTextRange(story, largest / newLargest);
            }
        }
    }
}

// Where the search text is first found in the art's story: in the whole text (mode 0) or in the
// fields of the story's stored template (modes 1 to 3), which must still describe the story.
bool FindInStory(ArtObject* art, const std::u32string& search, const std::string& regExFlag, int mode) {
    ATE::ITextRange story;
    int storyId = 0;
    std::u32string text;
    if (!ArtToTextRange(art, story, storyId) || !TextRangeToUnicode(story, text)) {
        return false;
    }
    unsigned long position = 0;
    unsigned long length = 0;
    if (mode == 0) {
        if (!TextTemplate::FindUnicodeText(text, search, regExFlag, position, length)) {
            return false;
        }
    } else {
        bool found = false;
        const TextTemplate stored(art, found);
        if (!found || !stored.Describes(text) ||
            !stored.FindUnicodeText(search, regExFlag, static_cast<unsigned long>(mode), position, length)) {
            return false;
        }
    }
    return position + length <= text.size();
}

// The art of the first frame of the range's story; null when there is none.
ArtObject* TextRangeToFirstFrame(const ATE::ITextRange& range) {
    try {
        AIArtHandle art = nullptr;
        if (sAITextFrame->GetAITextFrame(range.GetStory().GetFrame(0).GetRef(), &art) != kNoErr) {
            return nullptr;
        }
        return art;
    } catch (const ATE::Exception&) {
        return nullptr;
    }
}

// The first-frame art of each story among the art in which the search text is found.
ArtList StoriesWhereFound(const ArtList& art, const std::u32string& search, const std::string& regExFlag,
                          int mode) {
    ArtList found;
    for (ArtObject* one : art) {
        ATE::ITextRange story;
        int storyId = 0;
        if (!FindInStory(one, search, regExFlag, mode) || !ArtToTextRange(one, story, storyId)) {
            continue;
        }
        if (ArtObject* first = TextRangeToFirstFrame(story)) {
            found.push_back(first);
        }
    }
    return found;
}

// Scales the art vertically about its top-left corner.
bool ScaleArtVertically(ArtObject* art, double factor) {
    AIRealRect bounds{};
    if (art == nullptr || !(factor > 0) || sAIArt->GetArtBounds(art, &bounds) != kNoErr) {
        return false;
    }
    const AIRealPoint corner{bounds.left, bounds.top};
    return ScaleAllObjects({art}, CreateScaleMatrixWithStaticPoint(1.0, factor, corner));
}

// The smallest height of the last frame of an area-text story at which the story shows all its
// text: doubling, then a binary search of 16 steps downwards. A fit that fails scales the frame
// back to its height before.
bool FitFrameToText(ArtObject* art) {
    ATE::ITextRange story;
    int storyId = 0;
    AIArtHandle last = nullptr;
    AIArtHandle path = nullptr;
    try {
        if (FrameType(art) != kInPathTextType || !ArtToTextRange(art, story, storyId)) {
            return false;
        }
        const ATE::IStory whole = story.GetStory();
        if (sAITextFrame->GetAITextFrame(whole.GetFrame(whole.GetFrameCount() - 1).GetRef(), &last) !=
                kNoErr ||
            sAITextFrame->GetPathObject(last, &path) != kNoErr || path == nullptr) {
            return false;
        }
    } catch (const ATE::Exception&) {
        return false;
    }
    double applied = 1.0;
    const auto scale = [&](double factor) {
        if (!ScaleArtVertically(path, factor)) {
            return false;
        }
        applied *= factor;
        return true;
    };
    const auto fail = [&] {
        ScaleArtVertically(path, 1.0 / applied);
        return false;
    };
    std::optional<bool> fits = Fits(story);
    for (int doublings = 0; fits && !*fits; ++doublings) {
        if (doublings == kSearchSteps || !scale(2.0)) {
            return fail();
        }
        fits = Fits(story);
    }
    if (!fits) {
        return fail();
    }
    double multiplier = 1.0;
    double step = 1.0;
    for (int k = 1; k <= kSearchSteps; ++k) {
        step /= 2.0;
        const double candidate = multiplier - step;
        if (!scale(candidate / multiplier) || !(fits = Fits(story))) {
            return fail();
        }
        if (!*fits) {
            if (!scale(multiplier / candidate)) {
                return fail();
            }
        } else {
            multiplier = candidate;
        }
    }
    return true;
}

}  // namespace

bool ScaleTextRange(const ATE::ITextRange& range, double factor) {
    if (!(factor > 0)) {
        return false;
    }
    try {
        ATE::IStory story = range.GetStory();
        story.SuspendReflow();
        const bool scaled =
            ForEachCharacter(range, [&](ATE::ITextRange& one, const ATE::ICharFeatures& features) {
                bool sizeAssigned = false;
                const ASReal size = features.GetFontSize(&sizeAssigned);
                if (!sizeAssigned || size <= 0) {
                    return false;
                }
                bool leadingAssigned = false;
                const ASReal leading = features.GetLeading(&leadingAssigned);
                ATE::ICharFeatures scaledFeatures;
                scaledFeatures.SetFontSize(static_cast<ASReal>(size * factor));
                if (leadingAssigned) {
                    scaledFeatures.SetLeading(static_cast<ASReal>(leading * factor));
                }
                one.ReplaceOrAddLocalCharFeatures(scaledFeatures);
                return true;
            });
        story.ResumeReflow();
        return scaled;
    } catch (const ATE::Exception&) {
        return false;
    }
}

bool CheckTextForAutoSize(ArtObject* art, bool& autoSized) {
    AIBoolean modified = false;
    if (FrameType(art) != kInPathTextType || sAIDocument == nullptr || sAIArt == nullptr ||
        sAIDocument->GetDocumentModified(&modified) != kNoErr) {
        return false;
    }
    AIArtHandle copy = nullptr;
    if (sAIArt->DuplicateArt(art, kPlaceAbove, art, &copy) != kNoErr || copy == nullptr) {
        sAIDocument->SetDocumentModified(modified);
        return false;
    }
    ATE::ITextRange story;
    int storyId = 0;
    AIRealRect before{};
    AIRealRect after{};
    const bool measured = ArtToTextRange(copy, story, storyId) &&
                          sAIArt->GetArtBounds(copy, &before) == kNoErr && ScaleTextRange(story, 2.0) &&
                          sAIArt->GetArtBounds(copy, &after) == kNoErr;
    const bool disposed = sAIArt->DisposeArt(copy) == kNoErr;
    const bool restored = sAIDocument->SetDocumentModified(modified) == kNoErr;
    if (!measured || !disposed || !restored) {
        return false;
    }
    autoSized = !SameRect(before, after);
    return true;
}

bool FitTextIsBuilt(const json& request) {
    std::string method;
    ReadJsonValue(request, "fittingMethod", method);
    std::string searchText;
    ReadJsonValue(request, "searchText", searchText);
    int mode = 3;
    ReadJsonValue(request, "mode", mode);
    bool allText = searchText.empty();
    ReadJsonValue(request, "allText", allText);
    const bool wholeStories = allText || mode == kWholeStories;
    return wholeStories || method.empty() || method == "none";
}

std::string FitText(const json& request) {
    json reply = StartReply("text", request);
    reply["tagSearch"] = ReadTextStrictly(request, "tagSearch");
    std::string searchText;
    ReadJsonValue(request, "searchText", searchText);
    std::string method;
    ReadJsonValue(request, "fittingMethod", method);
    if (method.empty() || method == "none") {
        reply["error"] = kUnknownMethod;
        return DumpReply(reply);
    }
    const double minFontSize = ReadNumberLeniently(request, "minFontSize", 0.0);
    const double maxFontSize = ReadNumberLeniently(request, "maxFontSize", 0.0);
    const std::string tagSearch = reply["tagSearch"];
    ArtList kept;
    for (ArtObject* art : tagSearch.empty() ? GetAllObjects(false) : SearchTaggedArt(tagSearch)) {
        if (IsFittable(art)) {
            kept.push_back(art);
        }
    }
    if (kept.empty()) {
        reply["error"] = kNoTextToFit;
        return DumpReply(reply);
    }
    if (!searchText.empty()) {
        int mode = 3;
        ReadJsonValue(request, "mode", mode);
        if (mode < 0 || mode > kHighestMode) {
            reply["error"] = kUnknownMode;
            return DumpReply(reply);
        }
        if (mode != kWholeStories) {
            std::string regExFlag;
            ReadJsonValue(request, "regExFlag", regExFlag);
            kept = StoriesWhereFound(kept, ToUtf32(searchText), regExFlag, mode == kHighestMode ? 0 : mode);
            if (kept.empty()) {
                reply["error"] = kNoTextToFit;
                return DumpReply(reply);
            }
        }
    }
    if (method == kFitFrameToText) {
        for (ArtObject* art : kept) {
            if (!FitFrameToText(art)) {
                reply["error"] = "Can't fit a frame to text";
            }
        }
        return DumpReply(reply);
    }
    if (method != kFitToFrame && method != kShrinkToFrame) {
        reply["error"] = kUnknownMethod;
        return DumpReply(reply);
    }
    FitStories(kept, method == kShrinkToFrame, minFontSize, maxFontSize, reply);
    return DumpReply(reply);
}

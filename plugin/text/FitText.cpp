#include "text/FitText.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "AIDocument.h"
#include "AILayer.h"
#include "AITextFrame.h"
#include "art/ArtTree.h"
#include "art/TagSearch.h"
#include "art/TagText.h"
#include "core/Suites.h"
#include "text/Overset.h"
#include "text/RegEx.h"
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
constexpr const char* kCantFitParagraph = "Can't fit a paragraph width";
constexpr const char* kCantFitFrame = "Can't fit a frame to text";
constexpr const char* kUnknownMethod = "Unknown fitting method";
constexpr const char* kSizesNotRestored = "Can't put back the font sizes of a text that could not be fitted";
constexpr const char* kUnknownMode = "Unknown search mode";

constexpr int kWholeStories = 4;
constexpr int kHighestMode = 5;

// The size and leading of every stretch of characters that share them, so that a failed fit can
// put them back exactly.
struct SizeSnapshot {
    struct Entry {
        ASInt32 start = 0;
        ASInt32 end = 0;
        ASReal size = 0;
        bool leadingAssigned = false;
        ASReal leading = 0;
    };
    std::vector<Entry> entries;
};

// Whether every character of the range shares its size and its leading.
bool SharesSizeAndLeading(const ATE::ICharFeatures& features) {
    bool sizeAssigned = false;
    bool leadingAssigned = false;
    features.GetFontSize(&sizeAssigned);
    features.GetLeading(&leadingAssigned);
    return sizeAssigned && leadingAssigned;
}

// The range's characters in stretches that share their size and leading, each given to visit with
// its features, in order; false when visit is. A stretch is found by probing ever longer ranges
// and then halving, so that a story of a few sizes costs a few calls however long it is, and
// visiting a stretch does to each of its characters what visiting them one by one would do.
template <typename Visit>
bool ForEachStretchOfSize(const ATE::ITextRange& range, Visit visit) {
    ATE::ITextRange probe = range.Clone();
    const auto shared = [&](ASInt32 start, ASInt32 end) {
        probe.SetRange(start, end);
        return SharesSizeAndLeading(probe.GetUniqueCharFeatures());
    };
    for (ASInt32 start = range.GetStart(); start < range.GetEnd();) {
        const ASInt32 end = range.GetEnd();
        ASInt32 length = 1;
        if (shared(start, end)) {
            length = end - start;
        } else {
            ASInt32 beyond = end - start;  // a length known not to share
            while (length * 2 < beyond && shared(start, start + length * 2)) {
                length *= 2;
            }
            beyond = std::min(beyond, length * 2);
            while (beyond - length > 1) {
                const ASInt32 middle = length + (beyond - length) / 2;
                if (shared(start, start + middle)) {
                    length = middle;
                } else {
                    beyond = middle;
                }
            }
        }
        ATE::ITextRange stretch = range.Clone();
        stretch.SetRange(start, start + length);
        if (!visit(stretch, stretch.GetUniqueCharFeatures())) {
            return false;
        }
        start += length;
    }
    return true;
}

bool Snapshot(const ATE::ITextRange& range, SizeSnapshot& snapshot) {
    try {
        return ForEachStretchOfSize(range, [&](ATE::ITextRange& stretch, const ATE::ICharFeatures& features) {
            SizeSnapshot::Entry entry;
            bool assigned = false;
            entry.start = stretch.GetStart();
            entry.end = stretch.GetEnd();
            entry.size = features.GetFontSize(&assigned);
            entry.leading = features.GetLeading(&entry.leadingAssigned);
            snapshot.entries.push_back(entry);
            return assigned && entry.size > 0;
        });
    } catch (const ATE::Exception&) {
        return false;
    }
}

// Puts the sizes back; false when the text engine refused, leaving some of them as the failed fit
// left them.
bool Restore(const ATE::ITextRange& range, const SizeSnapshot& snapshot) {
    try {
        ATE::ITextRange stretch = range.Clone();
        for (const SizeSnapshot::Entry& entry : snapshot.entries) {
            if (entry.end > range.GetEnd()) {
                return false;
            }
            stretch.SetRange(entry.start, entry.end);
            ATE::ICharFeatures features;
            features.SetFontSize(entry.size);
            if (entry.leadingAssigned) {
                features.SetLeading(entry.leading);
            }
            stretch.ReplaceOrAddLocalCharFeatures(features);
        }
        return true;
    } catch (const ATE::Exception&) {
        return false;
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
template <typename Test>
bool ScaleToFit(const ATE::ITextRange& story, bool shrinkOnly, Test test) {
    std::optional<bool> fits = test(story);
    if (!fits) {
        return false;
    }
    if (*fits && shrinkOnly) {
        return true;
    }
    for (int doublings = 0; *fits; ++doublings) {
        if (doublings == kSearchSteps || !ScaleTextRange(story, 2.0) || !(fits = test(story))) {
            return false;
        }
    }
    double multiplier = 0.0;
    double step = 1.0;
    for (int k = 1; k <= kSearchSteps; ++k) {
        step /= 2.0;
        const double candidate = multiplier + step;
        const double factor = multiplier == 0.0 ? candidate : candidate / multiplier;
        if (!ScaleTextRange(story, factor) || !(fits = test(story))) {
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
        if (!ScaleTextRange(story, kFinalStep) || !(fits = test(story))) {
            return false;
        }
        if (*fits) {
            return true;
        }
    }
    return false;
}

// How a fit ended: the text fitted; it did not and has its sizes back; or it did not and the text
// engine refused to put the sizes back.
enum class Fitting { fitted, notFitted, sizesNotRestored };

// The reply's error for a fit that ended so, with the command's own text for a plain failure.
const char* FittingFailure(Fitting fitting, const char* notFitted) {
    return fitting == Fitting::sizesNotRestored ? kSizesNotRestored : notFitted;
}

// Fits a whole story; a fit that fails leaves every character's size as it was.
template <typename Fit>
Fitting FitOrRestore(const ATE::ITextRange& range, Fit fit) {
    SizeSnapshot before;
    if (!Snapshot(range, before)) {
        return Fitting::notFitted;
    }
    if (fit()) {
        return Fitting::fitted;
    }
    return Restore(range, before) ? Fitting::notFitted : Fitting::sizesNotRestored;
}

Fitting FitTextRange(const ATE::ITextRange& story, bool shrinkOnly) {
    return FitOrRestore(story, [&] { return ScaleToFit(story, shrinkOnly, Fits); });
}

// The lines of the range's first frame that hold some of the range, and whether they hold all of it.
bool CountLines(const ATE::ITextRange& range, int& lines, bool& allShown) {
    try {
        ATE::ITextFramesIterator frames = range.GetTextFrames();
        if (range.IsNull() || frames.IsNull() || frames.IsEmpty()) {
            return false;
        }
        const ATE::ITextFrame frame = frames.GetItem();
        if (frame.IsNull()) {
            return false;
        }
        ATE::ITextLinesIterator iterator = frame.GetTextLinesIterator();
        if (iterator.IsNull() || iterator.IsEmpty()) {
            return false;
        }
        int counted = 0;
        ASInt32 shown = 0;
        for (; iterator.IsNotDone(); iterator.Next()) {
            const ATE::ITextRange line = iterator.GetItem().GetTextRange();
            if (line.GetSize() > 0 && line.GetEnd() > range.GetStart() && line.GetStart() < range.GetEnd()) {
                ++counted;
                shown += line.GetSize();
            }
        }
        lines = counted;
        allShown = shown == range.GetSize();
        return true;
    } catch (const ATE::Exception&) {
        return false;
    }
}

// Whether the paragraph takes at most `target` lines of its first frame and shows all its text.
bool ParagraphFits(const ATE::ITextRange& range, int target) {
    int lines = 0;
    bool allShown = false;
    return CountLines(range, lines, allShown) && lines <= target && allShown;
}

// Fits one paragraph by its size to a number of lines (below 1: the lines it takes now); with
// shrinkOnly a paragraph on fewer lines stays. A fit that fails leaves the sizes as they were.
Fitting FitParagraphWidth(const ATE::ITextRange& range, int target, bool shrinkOnly) {
    int lines = 0;
    bool allShown = false;
    try {
        ATE::IParagraphsIterator paragraphs = range.GetParagraphs();
        if (paragraphs.IsNull() || paragraphs.IsEmpty() || paragraphs.GetItem().GetTextRange().IsNull()) {
            return Fitting::notFitted;
        }
        paragraphs.Next();
        if (paragraphs.IsNotDone()) {
            return Fitting::notFitted;
        }
    } catch (const ATE::Exception&) {
        return Fitting::notFitted;
    }
    if (!CountLines(range, lines, allShown) || lines <= 0 || !allShown || target == 0) {
        return Fitting::notFitted;
    }
    if (target < 1) {
        target = lines;
    } else if (lines < target && shrinkOnly) {
        return Fitting::fitted;
    }
    const auto test = [target](const ATE::ITextRange& paragraph) -> std::optional<bool> {
        return ParagraphFits(paragraph, target);
    };
    return FitOrRestore(range, [&] {
        if (lines > target) {
            bool stopped = false;
            for (int k = 0; k < kSearchSteps && !stopped; ++k) {
                if (!ScaleTextRange(range, 0.5)) {
                    return false;
                }
                int now = 0;
                bool shown = false;
                stopped = !CountLines(range, now, shown) || !shown || now <= target;
            }
            if (!stopped) {
                return false;
            }
        }
        return ScaleToFit(range, false, test);
    });
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

// The document's modified flag, read when it is made and put back on every way out: telling an
// auto-sized frame from a fixed one measures a copy of it, which counts as a change. Asking for the
// flag looks through every change of the running command, so it is kept once for all the frames,
// not once per frame.
class KeptModifiedFlag {
public:
    KeptModifiedFlag() {
        AIBoolean modified = false;
        if (sAIDocument != nullptr && sAIDocument->GetDocumentModified(&modified) == kNoErr) {
            fModified = modified;
        }
    }
    ~KeptModifiedFlag() {
        if (fModified) {
            sAIDocument->SetDocumentModified(*fModified);
        }
    }
    KeptModifiedFlag(const KeptModifiedFlag&) = delete;
    KeptModifiedFlag& operator=(const KeptModifiedFlag&) = delete;

    // False when the flag could not be read: frames are then not measured.
    bool IsKept() const { return fModified.has_value(); }

private:
    std::optional<AIBoolean> fModified;
};

// Area text of a fixed frame and path text: what fitting works on. Area text is measured only
// while the modified flag is kept.
bool IsFittable(ArtObject* art, const KeptModifiedFlag& flag) {
    const std::optional<AITextFrameType> type = FrameType(art);
    if (type == kOnPathTextType) {
        return true;
    }
    bool autoSized = true;
    return type == kInPathTextType && flag.IsKept() && CheckTextForAutoSize(art, autoSized) && !autoSized;
}

bool SameRect(const AIRealRect& a, const AIRealRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A range whose sizes break the limits gets its largest size of before fitting back.
void ScaleBackBeyondLimits(const ATE::ITextRange& range, double largestBefore, double minFontSize,
                           double maxFontSize, const char* error, json& reply) {
    if (CheckTextRangeFontSize(range, minFontSize, maxFontSize)) {
        return;
    }
    reply["error"] = error;
    double smallest = 0;
    double largest = 0;
    if (GetMinMaxFontSize(range, smallest, largest) && largest != 0) {
        ScaleTextRange(range, largestBefore / largest);
    }
}

// Fits the whole stories of the art, and scales a story back when its sizes break the limits.
void FitStories(const ArtList& art, bool shrinkOnly, double minFontSize, double maxFontSize, json& reply) {
    std::vector<ATE::ITextRange> stories;
    for (ArtObject* one : art) {
        ATE::ITextRange story;
        if (ArtToTextRange(one, story)) {
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
        if (const Fitting fitting = FitTextRange(story, shrinkOnly); fitting != Fitting::fitted) {
            reply["error"] = FittingFailure(fitting, kCantFitRange);
        }
        ScaleBackBeyondLimits(story, largest, minFontSize, maxFontSize, kCantFitRange, reply);
    }
}

// Where the search text is first found in the art's story: in the whole text (mode 0) or in the
// fields of the story's stored template (modes 1 to 3), which must still describe the story.
// The paragraph is the one holding the match's last character.
bool FindInStory(ArtObject* art, const std::u32string& search, const std::string& regExFlag, int mode,
                 ATE::ITextRange& paragraph) {
    ATE::ITextRange story;
    std::u32string text;
    if (!ArtToTextRange(art, story) || !TextRangeToUnicode(story, text)) {
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
    if (position + length > text.size()) {
        return false;
    }
    const std::size_t last = length == 0 ? position : position + length - 1;
    const auto index = std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(last), U'\r');
    try {
        ATE::IParagraphsIterator paragraphs = story.GetParagraphs();
        if (paragraphs.IsNull()) {
            return false;
        }
        for (std::ptrdiff_t i = 0; i < index && paragraphs.IsNotDone(); ++i) {
            paragraphs.Next();
        }
        if (!paragraphs.IsNotDone()) {
            return false;
        }
        paragraph = paragraphs.GetItem().GetTextRange();
        return !paragraph.IsNull();
    } catch (const ATE::Exception&) {
        return false;
    }
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

// The paragraph of the first match in each art's story, in art order.
std::vector<ATE::ITextRange> ParagraphsWhereFound(const ArtList& art, const std::u32string& search,
                                                  const std::string& regExFlag, int mode) {
    std::vector<ATE::ITextRange> found;
    for (ArtObject* one : art) {
        ATE::ITextRange paragraph;
        if (FindInStory(one, search, regExFlag, mode, paragraph)) {
            found.push_back(std::move(paragraph));
        }
    }
    return found;
}

// Fits each paragraph to its lines, and scales one back when its sizes break the limits.
void FitParagraphs(const std::vector<ATE::ITextRange>& paragraphs, int lines, bool shrinkOnly,
                   double minFontSize, double maxFontSize, json& reply) {
    for (const ATE::ITextRange& paragraph : paragraphs) {
        double smallest = 0;
        double largest = 0;
        if (!GetMinMaxFontSize(paragraph, smallest, largest)) {
            reply["error"] = kCantFitParagraph;
            continue;
        }
        if (const Fitting fitting =
                FitParagraphWidth(paragraph, lines < 1 ? -1 : lines, lines >= 1 && shrinkOnly);
            fitting != Fitting::fitted) {
            reply["error"] = FittingFailure(fitting, kCantFitParagraph);
            continue;
        }
        ScaleBackBeyondLimits(paragraph, largest, minFontSize, maxFontSize, kCantFitParagraph, reply);
    }
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
    AIArtHandle last = nullptr;
    AIArtHandle path = nullptr;
    try {
        if (FrameType(art) != kInPathTextType || !ArtToTextRange(art, story)) {
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
        const SuspendedReflow suspended(story);
        const bool scaled =
            ForEachStretchOfSize(range, [&](ATE::ITextRange& stretch, const ATE::ICharFeatures& features) {
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
                stretch.ReplaceOrAddLocalCharFeatures(scaledFeatures);
                return true;
            });
        return scaled;
    } catch (const ATE::Exception&) {
        return false;
    }
}

bool CheckTextForAutoSize(ArtObject* art, bool& autoSized) {
    if (FrameType(art) != kInPathTextType || sAIArt == nullptr) {
        return false;
    }
    AIArtHandle copy = nullptr;
    if (sAIArt->DuplicateArt(art, kPlaceAbove, art, &copy) != kNoErr || copy == nullptr) {
        return false;
    }
    ATE::ITextRange story;
    AIRealRect before{};
    AIRealRect after{};
    const bool measured = ArtToTextRange(copy, story) && sAIArt->GetArtBounds(copy, &before) == kNoErr &&
                          ScaleTextRange(story, 2.0) && sAIArt->GetArtBounds(copy, &after) == kNoErr;
    const bool disposed = sAIArt->DisposeArt(copy) == kNoErr;
    if (!measured || !disposed) {
        return false;
    }
    autoSized = !SameRect(before, after);
    return true;
}

bool LeftTextUnfitted(const json& error) {
    return error == kCantFitRange || error == kCantFitParagraph || error == kCantFitFrame;
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
    const UnlockLayers unlocked({.unlockArt = true});
    const std::string tagSearch = reply["tagSearch"];
    ArtList kept;
    {
        const KeptModifiedFlag flag;
        for (ArtObject* art : tagSearch.empty() ? GetAllObjects(false) : SearchTaggedArt(tagSearch)) {
            if (IsFittable(art, flag)) {
                kept.push_back(art);
            }
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
            const RegExLimitWatch limits;
            const std::vector<ATE::ITextRange> paragraphs =
                ParagraphsWhereFound(kept, ToUtf32(searchText), regExFlag, mode == kHighestMode ? 0 : mode);
            if (limits.Hit() != RegExLimit::none) {
                reply["warning"] = limits.Warning();
            }
            if (paragraphs.empty()) {
                reply["error"] = kNoTextToFit;
                return DumpReply(reply);
            }
            bool allText = false;
            ReadJsonValue(request, "allText", allText);
            if (!allText) {
                int lines = -1;
                ReadJsonValue(request, "lines", lines);
                FitParagraphs(paragraphs, lines, method == kShrinkToFrame, minFontSize, maxFontSize, reply);
                return DumpReply(reply);
            }
            kept.clear();
            for (const ATE::ITextRange& paragraph : paragraphs) {
                if (ArtObject* first = TextRangeToFirstFrame(paragraph)) {
                    kept.push_back(first);
                }
            }
        }
    }
    if (method == kFitFrameToText) {
        for (ArtObject* art : kept) {
            if (!FitFrameToText(art)) {
                reply["error"] = kCantFitFrame;
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

// The command "text": finds text in the stories of text art and replaces it, literally, by
// regular expression or inside the fields of the story's template, giving what it leaves behind
// the requested features; it can also restyle or empty whole stories and drop stored templates.
#include "text/FindReplace.h"

#include <cstdint>
#include <optional>
#include <unordered_set>

#include "art/ArtTree.h"
#include "art/TagSearch.h"
#include "art/TagText.h"
#include "core/CommandTable.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/TextHelpers.h"
#include "text/FitText.h"
#include "text/Overset.h"
#include "text/RegEx.h"
#include "text/TextRanges.h"
#include "text/TextTemplate.h"

namespace {

constexpr const char* kNoSearchAndNoQuery = "No search string and no search text found";
constexpr const char* kNoSearchText = "No search text found";
constexpr const char* kOversetWarning = "Some text is overset because a text was replaced";
constexpr const char* kSomeTextRefused = "The application refused to change some of the text";
constexpr const char* kAllTextRefused = "The application refused to change the text";

constexpr int kModeAnywhere = 0;
constexpr int kModeWholeStory = 4;
constexpr int kModeRemoveTemplate = 5;

// The text as the engine takes it: UTF-16 units ending in a null, with U+FFFD for what is not a
// character.
std::vector<ASUnicode> EngineUnits(const std::u32string& text) {
    std::vector<ASUnicode> units;
    units.reserve(text.size() + 1);
    for (const char32_t c : text) {
        AppendUtf16(IsUnicodeScalar(c) ? c : kReplacementCharacter, units);
    }
    units.push_back(0);
    return units;
}

bool ClearWholeParagraphs(const ATE::ITextRange& range) {
    ATE::IParagraphsIterator paragraphs = range.GetParagraphs();
    if (paragraphs.IsNull() || paragraphs.IsEmpty()) {
        return false;
    }
    for (; paragraphs.IsNotDone(); paragraphs.Next()) {
        const ATE::IParagraph paragraph = paragraphs.GetItem();
        if (paragraph.IsNull()) {
            continue;
        }
        ATE::ITextRange text = paragraph.GetTextRange();
        if (text.IsNull()) {
            continue;
        }
        text.ClearLocalParaFeatures();
        text.ClearLocalCharFeatures();
    }
    return true;
}

// Whether the story is overset; none when the test could not be made.
std::optional<bool> Overset(const ATE::ITextRange& story) {
    bool overset = false;
    return CheckTextRangeForOverset(story, overset) ? std::optional<bool>(overset) : std::nullopt;
}

// The same for the art's story as it stands now, read afresh.
std::optional<bool> OversetNow(ArtObject* art) {
    bool overset = false;
    return CheckTextForOverset(art, overset) ? std::optional<bool>(overset) : std::nullopt;
}

bool BecameOverset(const std::optional<bool>& before, const std::optional<bool>& after) {
    return before && after && !*before && *after;
}

// What the command did to one story: some of it changed, and the application refused a change.
struct StoryOutcome {
    bool changed = false;
    bool refused = false;

    // Notes one change the application made, or refused.
    StoryOutcome& Note(bool made) {
        (made ? changed : refused) = true;
        return *this;
    }
    StoryOutcome& operator|=(const StoryOutcome& other) {
        changed = changed || other.changed;
        refused = refused || other.refused;
        return *this;
    }
};

// Replaces [start16, end16) of the story, in the engine's units, by the new text (when replace is
// set), keeping the span's local character features, then formats what now stands there. False when
// the engine refused a step; a refused removal takes the inserted text out again.
bool ReplaceUnitsInTextRange(const ATE::ITextRange& story, ASInt32 start16, ASInt32 end16, bool replace,
                             const std::u32string& newText, const TextFormatting& formatting);

// Replaces spans of one story given in code points of its text as it was read, front to back:
// each span's place in the engine's units is found from the text read once and shifted by what the
// replacements before it added or removed, so that no replacement reads the story again.
class StoryReplacer {
public:
    StoryReplacer(const ATE::ITextRange& story, const std::u32string& text, bool replaces,
                  const TextFormatting& formatting)
        : fStory(story), fText(text), fReplaces(replaces), fFormatting(formatting) {}

    // Replaces [start, end) of the text as read (spans in increasing order, none overlapping).
    bool Replace(std::size_t start, std::size_t end, const std::u32string& newText) {
        if (start < fRead || end < start || end > fText.size()) {
            return false;
        }
        const std::int64_t start16 = UnitsBefore(start) + fShift;
        const std::int64_t end16 = UnitsBefore(end) + fShift;
        if (start16 < 0) {
            return false;
        }
        const std::int64_t newLength = static_cast<std::int64_t>(U16Length(newText));
        if (!ReplaceUnitsInTextRange(fStory, static_cast<ASInt32>(start16), static_cast<ASInt32>(end16),
                                     fReplaces, newText, fFormatting)) {
            return false;
        }
        if (fReplaces) {
            fShift += newLength - (end16 - start16);
        }
        return true;
    }

private:
    // The engine's units before code point position of the text as read; positions only grow.
    std::int64_t UnitsBefore(std::size_t position) {
        for (; fRead < position; ++fRead) {
            fUnits += fText[fRead] >= 0x10000 ? 2 : 1;
        }
        return fUnits;
    }

    const ATE::ITextRange& fStory;
    const std::u32string& fText;
    const bool fReplaces;
    const TextFormatting& fFormatting;
    std::size_t fRead = 0;    // code points of the text as read counted so far
    std::int64_t fUnits = 0;  // the engine's units of those code points
    std::int64_t fShift = 0;  // units added (or, below 0, removed) by the replacements so far
};

// Every occurrence of the search text, each replaced once: the search resumes after the
// occurrence, so inserted text is never searched again. A refused replacement ends the story: with
// an empty replacement the same occurrence would otherwise be found forever.
StoryOutcome FindAndReplaceTextRange(const ATE::ITextRange& story, const std::u32string& search,
                                     const std::u32string& replace, const TextFormatting& formatting) {
    const bool replaces = search != replace;
    StoryOutcome outcome;
    std::u32string text;
    if (!TextRangeToUnicode(story, text)) {
        return outcome;
    }
    if (search.empty()) {
        return outcome.Note(ReplaceInTextRange(story, 0, text.size(), replaces, replace, formatting));
    }
    StoryReplacer replacer(story, text, replaces, formatting);
    for (std::size_t found = text.find(search); found != std::u32string::npos;
         found = text.find(search, found + search.size())) {
        if (!replacer.Replace(found, found + search.size(), replace)) {
            return outcome.Note(false);
        }
        outcome.Note(true);
    }
    return outcome;
}

// Every match of the pattern replaced by its expanded format, front to back. An empty pattern stands for the
// story's own text, matched literally. A refused replacement ends the story.
StoryOutcome FindAndReplaceTextRangeRegEx(const ATE::ITextRange& story, const std::u32string& pattern,
                                          const std::u32string& format, const std::string& flags,
                                          const TextFormatting& formatting) {
    const bool replaces = pattern != format;
    StoryOutcome outcome;
    std::u32string text;
    if (!TextRangeToUnicode(story, text)) {
        return outcome;
    }
    std::vector<ReplacementString> matches;
    if (!ReplaceUnicodeMultipleRegEx(text, pattern.empty() ? EscapeEcmaPattern(text) : pattern, flags, format,
                                     matches)) {
        return outcome;
    }
    StoryReplacer replacer(story, text, replaces, formatting);
    for (const ReplacementString& match : matches) {
        if (!replacer.Replace(match.position, match.position + match.length, match.text)) {
            return outcome.Note(false);
        }
        outcome.Note(true);
    }
    return outcome;
}

// The template of the story: the stored one while it still describes the story's text, else one
// built from the text and stored (an empty story's has no tokens and is not stored). None when
// the application refuses to store it.
std::optional<TextTemplate> CurrentTemplate(ArtObject* art, const std::u32string& text) {
    bool found = false;
    TextTemplate stored(art, found);
    if (found && stored.Describes(text)) {
        return stored;
    }
    TextTemplate built(text);
    if (!built.Tokens().empty() && !built.AddToArt(art)) {
        return std::nullopt;
    }
    return built;
}

// Replaces the shown text of every field of the mode's kinds whose key matches, and stores the
// template again. A field whose replacement fails keeps describing what the story shows then.
StoryOutcome FindAndReplaceInTemplate(ArtObject* art, const ATE::ITextRange& story,
                                      const std::u32string& search, const std::u32string& replace,
                                      unsigned long mode, const std::string& regExFlag,
                                      const TextFormatting& formatting) {
    StoryOutcome outcome;
    std::u32string text;
    if (!TextRangeToUnicode(story, text)) {
        return outcome;
    }
    std::optional<TextTemplate> fields = CurrentTemplate(art, text);
    if (!fields) {
        return outcome.Note(false);
    }
    if (fields->Tokens().empty()) {
        return outcome;
    }
    std::size_t offset = 0;
    for (TemplateToken& token : fields->Tokens()) {
        std::u32string newShown;
        if (ModeConsidersKind(mode, token.kind) &&
            ReplaceMatchedStringUnicode(token.text, search, replace, regExFlag, newShown)) {
            const std::u32string oldShown = token.shown;
            token.shown = newShown;
            const bool replaced =
                ReplaceInTextRange(story, offset, offset + oldShown.size(), true, newShown, formatting);
            outcome.Note(replaced);
            if (!replaced && !(TextRangeToUnicode(story, text) && fields->Describes(text))) {
                token.shown = oldShown;
            }
        }
        offset += token.shown.size();
    }
    if (!fields->AddToArt(art)) {
        outcome.Note(false);
    }
    return outcome;
}

struct FindReplaceRequest {
    std::u32string search;
    std::u32string replace;
    int mode = 0;
    std::string regExFlag;
    TextFormatting formatting;
};

// The whole story of a found art, read once for both overset tests and the edit; none for art that
// is not text and for a story that an earlier art of its thread already brought.
std::optional<ATE::ITextRange> NewStoryOf(ArtObject* art, std::unordered_set<ArtObject*>& doneStories) {
    ATE::ITextRange story;
    ArtObject* firstFrame = nullptr;
    if (!ArtToStoryAndFirstFrame(art, story, firstFrame) || !doneStories.insert(firstFrame).second) {
        return std::nullopt;
    }
    return story;
}

// Processes the art's story (none: other art, or a story already processed); a mode outside 0 to 5
// leaves it alone.
StoryOutcome FindAndReplaceTextArt(ArtObject* art, const std::optional<ATE::ITextRange>& found,
                                   const FindReplaceRequest& request) {
    if (request.mode < kModeAnywhere || request.mode > kModeRemoveTemplate) {
        return {};
    }
    if (request.mode == kModeRemoveTemplate) {
        return StoryOutcome{}.Note(TextTemplate::RemoveTemplateText(art));
    }
    if (!found) {
        return {};
    }
    const ATE::ITextRange& story = *found;
    if (request.mode != kModeAnywhere && request.mode != kModeWholeStory) {
        return FindAndReplaceInTemplate(art, story, request.search, request.replace,
                                        static_cast<unsigned long>(request.mode), request.regExFlag,
                                        request.formatting);
    }
    // The command took the stored templates of these modes out before the first story.
    if (request.regExFlag.empty()) {
        return FindAndReplaceTextRange(story, request.search, request.replace, request.formatting);
    }
    return FindAndReplaceTextRangeRegEx(story, request.search, request.replace, request.regExFlag,
                                        request.formatting);
}

// Empties (when the request names "replaceText") or only restyles the art's story (none: other art,
// or a story already processed).
StoryOutcome EmptyOrRestyleStory(const std::optional<ATE::ITextRange>& found, bool empties,
                                 const TextFormatting& formatting) {
    if (!found) {
        return {};
    }
    const ATE::ITextRange& story = *found;
    if (empties) {
        std::u32string text;
        if (!TextRangeToUnicode(story, text)) {
            return {};
        }
        return StoryOutcome{}.Note(ReplaceInTextRange(story, 0, text.size(), true, {}, formatting));
    }
    return StoryOutcome{}.Note(FormatTextRange(story, formatting.features, formatting.clearOverridesChar,
                                               formatting.clearOverridesPara,
                                               formatting.clearOverridesOfWholeParagraph));
}

std::string FindReplaceText2(const json& parsed) {
    json reply = StartReply("text", parsed);
    const std::string tagSearch = ReadTextStrictly(parsed, "tagSearch");
    reply["tagSearch"] = tagSearch;
    std::string searchText;
    ReadJsonValue(parsed, "searchText", searchText);
    const bool hasReplaceText = HasKey(parsed, "replaceText");
    std::string replaceText = hasReplaceText ? std::string() : searchText;
    ReadJsonValue(parsed, "replaceText", replaceText);
    searchText = ReplaceLineFeed(searchText);
    replaceText = ReplaceLineFeed(replaceText);
    // The application keeps a template's texts as strings ending at a NUL: a field replaced by text
    // holding one would be stored cut short and lost on the next request, so such text is refused.
    if (hasReplaceText && HoldsNul(replaceText)) {
        reply["error"] = NulFailure("replaceText");
        return DumpReply(reply);
    }
    if (tagSearch.empty() && searchText.empty()) {
        reply["error"] = kNoSearchAndNoQuery;
        return DumpReply(reply);
    }
    FindReplaceRequest request;
    request.mode = ReadIntegerStrictly(parsed, "mode", searchText.empty() ? kModeWholeStory : 3);
    if (searchText.empty() && request.mode != kModeWholeStory && request.mode != kModeRemoveTemplate) {
        reply["error"] = kNoSearchText;
        return DumpReply(reply);
    }
    if (const json* features = FindKey(parsed, "textFeatures");
        features != nullptr && features->is_object()) {
        request.formatting.features = TextFeatures(*features);
        if (request.formatting.features.NamesAMissingStyle()) {
            reply["error"] = kNamedStyleNotFound;
            return DumpReply(reply);
        }
    }
    request.formatting.clearOverridesChar = ReadBoolStrictly(parsed, "clearOverridesChar", false);
    request.formatting.clearOverridesPara = ReadBoolStrictly(parsed, "clearOverridesPara", false);
    request.formatting.clearOverridesOfWholeParagraph =
        ReadBoolStrictly(parsed, "clearOverridesOfWholeParagraph", false);
    ReadJsonValue(parsed, "regExFlag", request.regExFlag);
    const ArtList found = tagSearch.empty() ? GetAllObjects(false) : SearchTaggedArt(tagSearch);
    if (found.empty()) {
        reply["error"] = kNoArtworkFound;
        return DumpReply(reply);
    }
    // The whole story is what mode 4 replaces: its search text only stands for the default
    // replacement, and without "replaceText" nothing is replaced.
    request.search = request.mode == kModeWholeStory ? std::u32string() : ToUtf32(searchText);
    if (request.mode == kModeWholeStory && !hasReplaceText) {
        replaceText.clear();
    }
    request.replace = ToUtf32(replaceText);
    if (request.mode == kModeAnywhere || request.mode == kModeWholeStory ||
        request.mode == kModeRemoveTemplate) {
        for (ArtObject* art : found) {
            TextTemplate::RemoveTemplateText(art);
        }
    }
    const bool restylesOnly = searchText.empty() && replaceText.empty();
    std::unordered_set<ArtObject*> doneStories(found.size());
    StoryOutcome outcome;
    bool warn = false;
    const RegExLimitWatch limits;
    // A refused pattern warns even where no story holds text the mode would search.
    if (!request.regExFlag.empty() && !request.search.empty()) {
        AcceptsRegEx(request.search, request.regExFlag);
    }
    for (ArtObject* art : found) {
        // A story the command left alone (or met before through another frame) keeps its overset
        // state; point text never becomes overset. After an edit the story is read again rather
        // than trusting the old range to have grown with text added at its end.
        const std::optional<ATE::ITextRange> story = NewStoryOf(art, doneStories);
        const std::optional<bool> before =
            story && MayBeOverset(art) ? Overset(*story) : std::optional<bool>();
        const StoryOutcome done = restylesOnly
                                      ? EmptyOrRestyleStory(story, hasReplaceText, request.formatting)
                                      : FindAndReplaceTextArt(art, story, request);
        outcome |= done;
        if (before && (done.changed || done.refused)) {
            warn = warn || BecameOverset(before, OversetNow(art));
        }
    }
    if (outcome.refused && !outcome.changed) {
        reply["error"] = kAllTextRefused;
    } else if (outcome.refused) {
        reply["warning"] = kSomeTextRefused;
    } else if (limits.Hit() != RegExLimit::none) {
        reply["warning"] = limits.Warning();
    } else if (warn) {
        reply["warning"] = kOversetWarning;
    }
    return DumpReply(reply);
}

}  // namespace

bool FormatTextRange(ATE::ITextRange range, const TextFeatures& features, bool clearChar, bool clearPara,
                     bool clearWholeParagraphs) {
    try {
        if (clearWholeParagraphs && !ClearWholeParagraphs(range)) {
            return false;
        }
        if (clearPara) {
            range.ClearLocalParaFeatures();
        }
        if (clearChar) {
            range.ClearLocalCharFeatures();
        }
        if (features.Check()) {
            features.SetTextFeatures(range);
        }
        return true;
    } catch (const ATE::Exception&) {
        return false;
    }
}

namespace {

// Removes [start, end) of the story after newLength units were inserted at end; when the engine
// refuses, the inserted units are taken out again (as far as it lets them) so that a refused
// replacement leaves the story's text as it was, and the refusal is passed on.
void RemoveOrTakeBack(ATE::ITextRange& span, ASInt32 start, ASInt32 end, ASInt32 newLength) {
    try {
        span.SetRange(start, end);
        span.Remove();
    } catch (const ATE::Exception&) {
        try {
            span.SetRange(end, end + newLength);
            span.Remove();
        } catch (const ATE::Exception&) {
            // The engine refuses this too: the inserted text stays.
        }
        throw;
    }
}

bool ReplaceUnitsInTextRange(const ATE::ITextRange& story, ASInt32 start16, ASInt32 end16, bool replace,
                             const std::u32string& newText, const TextFormatting& formatting) {
    try {
        ATE::ITextRange span = story.Clone();
        span.SetRange(start16, end16);
        const ATE::ICharFeatures local = span.GetUniqueLocalCharFeatures();
        if (replace) {
            const std::vector<ASUnicode> units = EngineUnits(newText);
            const auto length = static_cast<ASInt32>(units.size() - 1);
            span.InsertAfter(units.data(), length);
            RemoveOrTakeBack(span, start16, end16, length);
            span.SetRange(start16, start16 + length);
        }
        span.ReplaceOrAddLocalCharFeatures(local);
        return FormatTextRange(span, formatting.features, formatting.clearOverridesChar,
                               formatting.clearOverridesPara, formatting.clearOverridesOfWholeParagraph);
    } catch (const ATE::Exception&) {
        return false;
    }
}

}  // namespace

bool ReplaceInTextRange(const ATE::ITextRange& story, unsigned long start, unsigned long end, bool replace,
                        const std::u32string& newText, const TextFormatting& formatting) {
    std::u32string text;
    unsigned long start16 = 0;
    unsigned long end16 = 0;
    if (start > end || !TextRangeToUnicode(story, text) || !U16Length(text, start, start16) ||
        !U16Length(text, end, end16)) {
        return false;
    }
    return ReplaceUnitsInTextRange(story, static_cast<ASInt32>(start16), static_cast<ASInt32>(end16), replace,
                                   newText, formatting);
}

std::string ReplaceLineFeed(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        if (c != '\n') {
            result.push_back(c);
        } else if (result.empty() || result.back() != '\r') {
            result.push_back('\r');
        }
    }
    return result;
}

std::u32string EscapeEcmaPattern(const std::u32string& text) {
    static constexpr std::u32string_view kSyntax = U"^$\\.*+?()[]{}|/";
    std::u32string pattern;
    pattern.reserve(text.size() * 2);
    for (const char32_t c : text) {
        if (kSyntax.find(c) != std::u32string_view::npos) {
            pattern.push_back(U'\\');
        }
        pattern.push_back(c);
    }
    return pattern;
}

std::string PlimUtilsPlugin::Text(std::string request) {
    const json parsed = ParseRequest(request);
    const bool fits = HasKey(parsed, "fittingMethod");
    json reply = json::parse(FindReplaceText2(parsed));
    const json* error = FindKey(reply, "error");
    if (error != nullptr && *error != kNoSearchAndNoQuery) {
        return DumpReply(reply);
    }
    if (fits) {
        reply.erase("error");
        const json fitted = json::parse(FitText(parsed));
        if (const json* fitError = FindKey(fitted, "error")) {
            reply["error"] = *fitError;
            // The replacements and the texts that fitted stand beside the one that did not fit.
            if (LeftTextUnfitted(*fitError)) {
                KeepChangesDespiteError();
            }
        }
        // A fitting search that gave up is told when the replacement has nothing to warn of.
        if (const json* fitWarning = FindKey(fitted, "warning");
            fitWarning != nullptr && !HasKey(reply, "warning")) {
            reply["warning"] = *fitWarning;
        }
    }
    return DumpReply(reply);
}

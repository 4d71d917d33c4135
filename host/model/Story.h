// Stories: the text that text frames show, with its character and paragraph features, and the
// document's named text styles.
//
// A story holds UTF-16 code units. Every unit has local character features (overrides) and an
// applied character style; every paragraph has local paragraph features and an applied paragraph
// style. A paragraph ends with U+000D, which belongs to it; the part after the last U+000D is a
// paragraph too, so an empty story has one empty paragraph and a story of n breaks has n + 1.
//
// A feature's effective value is the first of: the unit's local value, its character style's, its
// paragraph style's default character features, "Normal Character Style", "Normal Paragraph
// Style"'s default character features, the built-in defaults (which set every feature).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/ArtStyle.h"
#include "model/GapArray.h"
#include "model/Status.h"

namespace host::model {

// The colour of text fill and stroke. One name, so that the colour model can change underneath.
using TextColor = Color;

// What a number or code feature accepts: any value, a finite number (at least 0, above 0), or a
// code from first to last.
struct FeatureRule {
    enum class Kind { any, finite, nonNegative, positive, codes };
    Kind kind = Kind::any;
    int first = 0;
    int last = 0;
};
inline constexpr FeatureRule kAnyValue{FeatureRule::Kind::any};
inline constexpr FeatureRule kFinite{FeatureRule::Kind::finite};
inline constexpr FeatureRule kNonNegative{FeatureRule::Kind::nonNegative};
inline constexpr FeatureRule kPositive{FeatureRule::Kind::positive};
constexpr FeatureRule codes(int first, int last) {
    return {FeatureRule::Kind::codes, first, last};
}

bool accepts(FeatureRule rule, double value);
bool accepts(FeatureRule rule, int value);
bool accepts(FeatureRule rule, bool value);

// The character features that are plain values: X(Name, member, type, rule). The font and the
// fill and stroke colours are members of their own.
#define PLIM_TEXT_CHAR_VALUES(X)                                      \
    X(FontSize, fontSize, double, kPositive)                          \
    X(Fill, fill, bool, kAnyValue)                                    \
    X(Stroke, stroke, bool, kAnyValue)                                \
    X(AutoLeading, autoLeading, bool, kAnyValue)                      \
    X(Leading, leading, double, kNonNegative)                         \
    X(DirOverride, dirOverride, int, codes(0, 2))                     \
    X(FontBaselineOption, baselineOption, int, codes(0, 2))           \
    X(StrikethroughPosition, strikethroughPosition, int, codes(0, 2)) \
    X(UnderlinePosition, underlinePosition, int, codes(0, 2))         \
    X(LineWidth, lineWidth, double, kNonNegative)                     \
    X(LineJoin, lineJoin, int, codes(0, 2))                           \
    X(FillOverPrint, fillOverPrint, bool, kAnyValue)                  \
    X(StrokeOverPrint, strokeOverPrint, bool, kAnyValue)              \
    X(Tracking, tracking, int, kAnyValue)                             \
    X(AutoKernType, autoKernType, int, codes(0, 3))                   \
    X(BaselineShift, baselineShift, double, kFinite)                  \
    X(HorizontalScale, horizontalScale, double, kPositive)            \
    X(VerticalScale, verticalScale, double, kPositive)                \
    X(CharacterRotation, characterRotation, double, kFinite)          \
    X(Language, language, int, codes(0, 62))

// The paragraph features that are plain values; the default character features are a member of
// their own.
#define PLIM_TEXT_PARA_VALUES(X)                             \
    X(Justification, justification, int, codes(0, 6))        \
    X(FirstLineIndent, firstLineIndent, double, kFinite)     \
    X(ComposerEngine, composerEngine, int, codes(0, 2))      \
    X(EveryLineComposer, everyLineComposer, bool, kAnyValue) \
    X(ParagraphDirection, paragraphDirection, int, codes(0, 1))

#define PLIM_TEXT_OPTIONAL_MEMBER(Name, member, type, rule) std::optional<type> member;

// Character features; an unset feature is inherited.
struct CharFeatures {
    std::optional<std::string> font;  // the PostScript name of a face of the font list
    std::optional<TextColor> fillColor;
    std::optional<TextColor> strokeColor;
    PLIM_TEXT_CHAR_VALUES(PLIM_TEXT_OPTIONAL_MEMBER)

    bool empty() const { return *this == CharFeatures{}; }
    // The features set in `over` replace these.
    void overlay(const CharFeatures& over);
    // Every feature that differs from `other` is unset: what the two share.
    void intersect(const CharFeatures& other);
    // ok when every set value keeps its rule and the colours their limits.
    bool isValid() const;
    bool operator==(const CharFeatures&) const = default;
};

struct ParaFeatures {
    std::optional<CharFeatures> defaultChar;
    PLIM_TEXT_PARA_VALUES(PLIM_TEXT_OPTIONAL_MEMBER)

    bool empty() const { return *this == ParaFeatures{}; }
    void overlay(const ParaFeatures& over);
    void intersect(const ParaFeatures& other);
    bool isValid() const;
    bool operator==(const ParaFeatures&) const = default;
};

#undef PLIM_TEXT_OPTIONAL_MEMBER

inline constexpr std::string_view kNormalCharStyle = "Normal Character Style";
inline constexpr std::string_view kNormalParaStyle = "Normal Paragraph Style";
// The font of new text: the first face of DejaVu Sans.
inline constexpr std::string_view kDefaultFont = "DejaVuSans";

// Every feature set: what text shows when nothing else says otherwise.
CharFeatures defaultCharFeatures();
ParaFeatures defaultParaFeatures();

// The document's named styles. The two normal styles are always there (they can be changed, not
// removed); a new paragraph style's default character features start empty.
class TextStyles {
public:
    TextStyles();

    const CharFeatures* charStyle(std::string_view name) const;
    const ParaFeatures* paraStyle(std::string_view name) const;
    // Creates the style or replaces its features. badParameter: an empty or malformed name, or
    // features that break their rules.
    Status setCharStyle(std::string_view name, CharFeatures features);
    Status setParaStyle(std::string_view name, ParaFeatures features);
    const std::map<std::string, CharFeatures, std::less<>>& charStyles() const { return char_; }
    const std::map<std::string, ParaFeatures, std::less<>>& paraStyles() const { return para_; }
    // True when only the normal styles exist, with their built-in features.
    bool isDefault() const;
    bool operator==(const TextStyles&) const = default;

private:
    std::map<std::string, CharFeatures, std::less<>> char_;
    std::map<std::string, ParaFeatures, std::less<>> para_;
};

// A run of units that share their local character features and character style (empty: none
// applied, which reads as the normal style).
struct CharRun {
    std::size_t length = 0;
    CharFeatures local;
    std::string style;
    bool operator==(const CharRun&) const = default;
};

// One paragraph's local features and paragraph style (empty: the normal style).
struct ParaRun {
    ParaFeatures local;
    std::string style;
    bool operator==(const ParaRun&) const = default;
};

struct TextSpan {
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t size() const { return end - start; }
    bool operator==(const TextSpan&) const = default;
};

// Edits cost what they change plus the distance from the previous edit: the text, the runs and
// the paragraphs are held with a gap at the place of the last edit, and lookups by position walk
// from the run and paragraph found last. Reading the text, the runs or the paragraphs whole closes
// the gaps, which costs the story's length once after a series of edits.
class Story {
public:
    Story();
    // A story of UTF-8 text (paragraphs separated by "\r") with no features of its own; none for
    // malformed UTF-8.
    static std::optional<Story> plain(std::string_view utf8);
    // A story from its parts; none when the runs do not cover the text or the paragraph list does
    // not match its breaks.
    static std::optional<Story> fromParts(std::u16string text, std::vector<CharRun> runs,
                                          std::vector<ParaRun> paragraphs);

    const std::u16string& text() const { return text_.flat(); }
    std::size_t size() const { return text_.size(); }
    char16_t unit(std::size_t position) const { return text_[position]; }
    // The text as UTF-8 (lone surrogates become U+FFFD).
    std::string utf8() const;
    // No local features and no applied styles anywhere: the text alone describes it.
    bool isPlain() const;

    const std::vector<CharRun>& charRuns() const { return runs_.flat(); }
    const std::vector<ParaRun>& paragraphs() const { return paragraphs_.flat(); }
    // Paragraph i's units, its closing U+000D included.
    TextSpan paragraphSpan(std::size_t index) const;
    // The paragraph holding the unit at position (the last one for the end of the story).
    std::size_t paragraphAt(std::size_t position) const;
    // The paragraphs a span touches: those it overlaps, or for an empty span the one at its place.
    std::vector<std::size_t> paragraphsOf(TextSpan span) const;

    // Edits. Inserted units take the features of the unit before them (the first unit's at the
    // start); an inserted U+000D splits its paragraph, both halves keeping its features. Removing a
    // U+000D joins its paragraph with the next, which takes the features of the first.
    void insert(std::size_t position, std::u16string_view units);
    void erase(TextSpan span);

    // Character features.
    const CharRun& runAt(std::size_t position) const;
    // Applies fn(CharRun&) to the runs covering the span, split at its ends.
    template <typename Fn>
    void editRuns(TextSpan span, Fn fn) {
        if (span.start >= span.end) {
            return;
        }
        // Inside one run that fn leaves as it is, nothing changes: runs are kept merged. fn sees a
        // copy of that run first, so it must change only the run it is given.
        const std::size_t holder = locateRun(span.start);
        if (span.end <= runCursor_.start + runs_[holder].length) {
            CharRun edited = runs_[holder];
            fn(edited);
            if (edited == runs_[holder]) {
                return;
            }
        }
        const std::size_t first = splitAt(span.start);
        const std::size_t last = splitAt(span.end);
        for (std::size_t index = first; index < last; ++index) {
            fn(runs_[index]);
        }
        mergeRuns(first, last, span.start);
    }
    // The runs that cover the span, cut to it (one run for an empty span: the unit it stands on).
    std::vector<CharRun> runsOf(TextSpan span) const;
    // Calls fn(run, units) for the same runs, uncut, with the units of the span each covers.
    template <typename Fn>
    void forEachRunOf(TextSpan span, Fn fn) const {
        if (span.start >= span.end) {
            fn(runAt(span.start > 0 ? span.start - 1 : 0), std::size_t{0});
            return;
        }
        std::size_t index = locateRun(span.start);
        for (std::size_t offset = runCursor_.start; index < runs_.size() && offset < span.end; ++index) {
            const CharRun& run = runs_[index];
            const std::size_t start = std::max(offset, span.start);
            const std::size_t end = std::min(offset + run.length, span.end);
            if (start < end) {
                fn(run, end - start);
            }
            offset += run.length;
        }
    }

    ParaRun& paragraph(std::size_t index) { return paragraphs_.at(index); }
    const ParaRun& paragraph(std::size_t index) const { return paragraphs_.at(index); }

    // Every feature of the unit at position, resolved through the styles.
    CharFeatures effectiveChar(std::size_t position, const TextStyles& styles) const;
    ParaFeatures effectivePara(std::size_t paragraphIndex, const TextStyles& styles) const;

    bool operator==(const Story& other) const {
        return text_ == other.text_ && runs_ == other.runs_ && paragraphs_ == other.paragraphs_;
    }

private:
    // A run or paragraph found last and the position where it starts.
    struct Cursor {
        std::size_t index = 0;
        std::size_t start = 0;
    };

    std::size_t splitAt(std::size_t position);  // index of the run starting at position
    // Merges equal neighbours among the runs from first - 1 to last (first starting at start).
    void mergeRuns(std::size_t first, std::size_t last, std::size_t start);
    // The run (paragraph) holding the unit at position, the last one from the end of the story on;
    // the cursor is left on it.
    std::size_t locateRun(std::size_t position) const;
    std::size_t locateParagraph(std::size_t position) const;

    GapArray<std::u16string> text_;
    GapArray<std::vector<CharRun>> runs_;  // no empty run, unless the story is empty
    GapArray<std::vector<ParaRun>> paragraphs_;
    GapArray<std::vector<std::size_t>> paragraphLengths_;  // each paragraph's units, its break included
    mutable Cursor runCursor_;
    mutable Cursor paragraphCursor_;
};

// The features of a unit with the given local features and styles.
CharFeatures resolveChar(const CharFeatures& local, std::string_view charStyle, std::string_view paraStyle,
                         const TextStyles& styles);

// Calls visit for every colour the text paints with: the fill and stroke colours of the story's
// character features and of its paragraphs' default character features (of the named styles'
// features, for TextStyles); visit may change it. A change that leaves features outside their
// limits is not kept.
void forEachColor(Story& story, const ColorVisitor& visit);
void forEachColor(TextStyles& styles, const ColorVisitor& visit);

}  // namespace host::model

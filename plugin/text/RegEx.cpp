#include "text/RegEx.h"

#include <memory>
#include <optional>
#include <set>
#include <tuple>

#define PCRE2_CODE_UNIT_WIDTH 32
#include <pcre2.h>

void NoteRegExLimit(RegExLimit limit, const std::string& reason = {});

namespace {

// Bounds of one search: backtracking steps, nesting of backtracking, and heap in KiB.
constexpr std::uint32_t kMatchLimit = 5'000'000;
constexpr std::uint32_t kDepthLimit = 100'000;
constexpr std::uint32_t kHeapLimitKiB = 64 * 1024;

struct CodeFree {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataFree {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct MatchContextFree {
    void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};

using Code = std::unique_ptr<pcre2_code, CodeFree>;

// Notes of captures closing inside repeated groups (EcmaPattern.h): which capture, its span, and
// the place of one marker around it at that moment.
struct CaptureNote {
    std::uint32_t group;
    std::size_t start;
    std::size_t end;
    std::uint32_t marker;
    std::size_t repetitionStart;
    auto operator<=>(const CaptureNote&) const = default;
};

// Notes kept in one search at most; a search that would need more gives up as at the heap limit.
constexpr std::size_t kMaxCaptureNotes = 1 << 18;

// What the callouts of one compiled pattern share: the translation and the notes of the search
// under way.
struct CaptureHistory {
    const EcmaTranslation* translation = nullptr;
    std::vector<std::size_t> ecmaGroupOf;  // by PCRE2 number; 0 for markers
    std::set<CaptureNote> notes;

    static bool Set(const PCRE2_SIZE* vector, std::uint32_t top, std::uint32_t group) {
        return group < top && vector[2 * group] != PCRE2_UNSET;
    }

    // Whether the capture's span in the vector is ECMAScript's: it was noted while every marker
    // around it stood where it stands in the vector. An unset capture is as ECMAScript has it.
    bool Current(std::size_t ecmaGroup, const PCRE2_SIZE* vector, std::uint32_t top) const {
        const std::uint32_t group = translation->groups[ecmaGroup];
        if (!Set(vector, top, group)) {
            return true;
        }
        for (const std::uint32_t marker : translation->repeats[ecmaGroup]) {
            if (!Set(vector, top, marker) || !notes.contains({group, vector[2 * group], vector[2 * group + 1],
                                                              marker, vector[2 * marker]})) {
                return false;
            }
        }
        return true;
    }

    std::size_t EcmaGroup(std::uint32_t group) const {
        return group < ecmaGroupOf.size() ? ecmaGroupOf[group] : 0;
    }
};

// "c": a capture closed; "e" and a marker's number: a repetition ended; "s" or "r" and a group's
// number: a back-reference may match the group ("s") or the empty string ("r"). 0 goes on, 1 fails
// this path.
int OnCallout(pcre2_callout_block* block, void* data) {
    auto* history = static_cast<CaptureHistory*>(data);
    if (block->callout_string == nullptr || block->callout_string_length == 0) {
        return 0;
    }
    const char32_t kind = static_cast<char32_t>(block->callout_string[0]);
    std::uint32_t number = 0;
    for (PCRE2_SIZE i = 1; i < block->callout_string_length; ++i) {
        number = number * 10 + (static_cast<std::uint32_t>(block->callout_string[i]) - '0');
    }
    const PCRE2_SIZE* vector = block->offset_vector;
    const std::uint32_t top = block->capture_top;
    if (kind == 'e') {
        return CaptureHistory::Set(vector, top, number) && vector[2 * number] == block->current_position ? 1
                                                                                                         : 0;
    }
    if (kind == 's' || kind == 'r') {
        const bool current = history->Current(history->EcmaGroup(number), vector, top);
        return current == (kind == 's') ? 0 : 1;
    }
    const std::uint32_t group = block->capture_last;
    const std::size_t ecmaGroup = history->EcmaGroup(group);
    if (ecmaGroup == 0 || !CaptureHistory::Set(vector, top, group)) {
        return 0;
    }
    for (const std::uint32_t marker : history->translation->repeats[ecmaGroup]) {
        if (CaptureHistory::Set(vector, top, marker)) {
            if (history->notes.size() >= kMaxCaptureNotes) {
                return PCRE2_ERROR_HEAPLIMIT;
            }
            history->notes.insert(
                {group, vector[2 * group], vector[2 * group + 1], marker, vector[2 * marker]});
        }
    }
    return 0;
}

RegExLimitWatch* gInnermostWatch = nullptr;

RegExLimit LimitOf(int result) {
    switch (result) {
        case PCRE2_ERROR_MATCHLIMIT:
            return RegExLimit::match;
        case PCRE2_ERROR_DEPTHLIMIT:
            return RegExLimit::depth;
        case PCRE2_ERROR_HEAPLIMIT:
            return RegExLimit::heap;
        default:
            return RegExLimit::none;
    }
}

// PCRE2's text for an error code, in ASCII.
std::string ErrorMessage(int error) {
    PCRE2_UCHAR buffer[256];
    const int length = pcre2_get_error_message(error, buffer, sizeof buffer / sizeof buffer[0]);
    std::string message;
    for (int i = 0; i < length; ++i) {
        message += buffer[i] < 0x80 ? static_cast<char>(buffer[i]) : '?';
    }
    return message;
}

PCRE2_SPTR Units(const std::u32string& text) {
    return reinterpret_cast<PCRE2_SPTR>(text.data());
}

// A compiled pattern with what a search needs; empty when the pattern is refused.
class Compiled {
public:
    Compiled(const std::u32string& pattern, const EcmaFlags& flags) {
        std::optional<EcmaTranslation> translated = TranslateEcmaPattern(pattern, flags);
        if (!translated) {
            Refuse({});
            return;
        }
        fTranslation = std::move(*translated);
        const std::uint32_t options =
            PCRE2_UTF | PCRE2_MATCH_UNSET_BACKREF | PCRE2_NEVER_UCP | (flags.ignoreCase ? PCRE2_CASELESS : 0);
        int error = 0;
        PCRE2_SIZE offset = 0;
        const std::u32string& text = fTranslation.pattern;
        fCode.reset(pcre2_compile(Units(text), text.size(), options, &error, &offset, nullptr));
        if (!fCode) {
            Refuse(ErrorMessage(error));
            return;
        }
        fData.reset(pcre2_match_data_create_from_pattern(fCode.get(), nullptr));
        fContext.reset(pcre2_match_context_create(nullptr));
        if (!fData || !fContext) {
            fCode.reset();
            return;
        }
        pcre2_set_match_limit(fContext.get(), kMatchLimit);
        pcre2_set_depth_limit(fContext.get(), kDepthLimit);
        pcre2_set_heap_limit(fContext.get(), kHeapLimitKiB);
        fHistory.translation = &fTranslation;
        for (std::size_t group = 1; group < fTranslation.groups.size(); ++group) {
            const std::uint32_t number = fTranslation.groups[group];
            if (fHistory.ecmaGroupOf.size() <= number) {
                fHistory.ecmaGroupOf.resize(number + 1, 0);
            }
            fHistory.ecmaGroupOf[number] = group;
        }
        pcre2_set_callout(fContext.get(), OnCallout, &fHistory);
        ReadGroupNames();
    }

    Compiled(const Compiled&) = delete;
    Compiled& operator=(const Compiled&) = delete;

    bool ok() const { return fCode != nullptr; }

    // Notes the refusal again for a search that reuses the pattern, so that every command that
    // searches with it warns.
    void NoteRefusal() const {
        if (fRefusal) {
            NoteRegExLimit(RegExLimit::refused, *fRefusal);
        }
    }

    // 1: a match at or after start; 0: none; -1: the search failed (a limit, invalid text).
    int Search(const std::u32string& text, std::size_t start, std::uint32_t options) {
        CompileToMachineCodeOnReuse();
        int result = Match(text, start, options);
        if (result < 0 && result != PCRE2_ERROR_NOMATCH && fMachineCode) {
            // The machine code counts and bounds its work differently: whatever stopped it, the
            // interpreter's own limits decide.
            result = Match(text, start, options | PCRE2_NO_JIT);
        }
        if (result == PCRE2_ERROR_NOMATCH) {
            return 0;
        }
        if (result < 0) {
            NoteRegExLimit(LimitOf(result));
            return -1;
        }
        return 1;
    }

    // The last match's groups, every one of the pattern's, numbered as in ECMAScript: a capture
    // that a later repetition of a group around it emptied is unset. Valid until the next call.
    const MatchGroups& Groups() {
        fMatch.groups.clear();
        const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(fData.get());
        const std::uint32_t pairs = pcre2_get_ovector_count(fData.get());
        for (std::size_t ecmaGroup = 0; ecmaGroup < fTranslation.groups.size(); ++ecmaGroup) {
            const std::uint32_t group = fTranslation.groups[ecmaGroup];
            const bool set =
                CaptureHistory::Set(vector, pairs, group) && fHistory.Current(ecmaGroup, vector, pairs);
            fMatch.groups.push_back(set ? MatchGroups::Span{vector[2 * group], vector[2 * group + 1], true}
                                        : MatchGroups::Span{});
        }
        return fMatch;
    }

private:
    void Refuse(std::string reason) {
        NoteRegExLimit(RegExLimit::refused, reason);
        fRefusal = std::move(reason);
    }

    // A pattern used for a second search (a story with more than one match, or the next story) is
    // compiled to machine code, which matches many times faster; one used once is not worth it.
    void CompileToMachineCodeOnReuse() {
        if (fSearches < 2 && ++fSearches == 2) {
            fMachineCode = pcre2_jit_compile(fCode.get(), PCRE2_JIT_COMPLETE) == 0;
        }
    }

    int Match(const std::u32string& text, std::size_t start, std::uint32_t options) {
        fHistory.notes.clear();
        return pcre2_match(fCode.get(), Units(text), text.size(), start, options, fData.get(),
                           fContext.get());
    }

    // The named groups with their ECMAScript numbers, from the compiled pattern's name table.
    void ReadGroupNames() {
        std::uint32_t names = 0;
        std::uint32_t entrySize = 0;
        PCRE2_SPTR table = nullptr;
        pcre2_pattern_info(fCode.get(), PCRE2_INFO_NAMECOUNT, &names);
        pcre2_pattern_info(fCode.get(), PCRE2_INFO_NAMEENTRYSIZE, &entrySize);
        pcre2_pattern_info(fCode.get(), PCRE2_INFO_NAMETABLE, &table);
        for (std::uint32_t index = 0; index < names; ++index) {
            PCRE2_SPTR entry = table + static_cast<std::size_t>(index) * entrySize;
            std::u32string name;
            for (PCRE2_SPTR c = entry + 1; *c != 0; ++c) {
                name.push_back(static_cast<char32_t>(*c));
            }
            fMatch.names.emplace_back(std::move(name), fHistory.EcmaGroup(entry[0]));
        }
    }

    MatchGroups fMatch;  // the last match's groups, and the pattern's names
    int fSearches = 0;
    bool fMachineCode = false;
    EcmaTranslation fTranslation;
    std::optional<std::string> fRefusal;  // the engine's reason, when it refused the pattern
    CaptureHistory fHistory;
    Code fCode;
    std::unique_ptr<pcre2_match_data, MatchDataFree> fData;
    std::unique_ptr<pcre2_match_context, MatchContextFree> fContext;
};

// The pattern compiled with the flags. The last one is kept for the next call, so that a command
// that searches many stories with one pattern compiles it once.
Compiled& CompiledPattern(const std::u32string& pattern, const EcmaFlags& flags) {
    static std::unique_ptr<Compiled> last;
    static std::u32string lastPattern;
    static EcmaFlags lastFlags;
    if (last == nullptr || lastPattern != pattern || !(lastFlags == flags)) {
        last.reset();
        last = std::make_unique<Compiled>(pattern, flags);
        lastPattern = pattern;
        lastFlags = flags;
    } else {
        last->NoteRefusal();
    }
    return *last;
}

std::u32string SpanText(const std::u32string& text, const MatchGroups::Span& span) {
    return span.set ? text.substr(span.start, span.end - span.start) : std::u32string();
}

bool IsDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

}  // namespace

void NoteRegExLimit(RegExLimit limit, const std::string& reason) {
    if (limit == RegExLimit::none) {
        return;
    }
    for (RegExLimitWatch* watch = gInnermostWatch; watch != nullptr; watch = watch->fOuter) {
        if (watch->fHit == RegExLimit::none) {
            watch->fHit = limit;
            watch->fReason = reason;
        }
    }
}

std::string RegExLimitWatch::Warning() const {
    std::string warning = RegExLimitWarning(fHit);
    if (!fReason.empty()) {
        warning += " (" + fReason + ")";
    }
    return warning;
}

RegExLimitWatch::RegExLimitWatch() : fOuter(gInnermostWatch) {
    gInnermostWatch = this;
}

RegExLimitWatch::~RegExLimitWatch() {
    gInnermostWatch = fOuter;
}

const char* RegExLimitWarning(RegExLimit limit) {
    switch (limit) {
        case RegExLimit::match:
            return "A regular expression search gave up at the match limit";
        case RegExLimit::depth:
            return "A regular expression search gave up at the depth limit";
        case RegExLimit::heap:
            return "A regular expression search gave up at the heap limit";
        case RegExLimit::refused:
            return "The regular expression engine refused the pattern, so nothing was searched";
        case RegExLimit::none:
            break;
    }
    return "";
}

bool ReadStrFlags(const std::string& flags, EcmaFlags& options) {
    if (flags.empty()) {
        return false;
    }
    options = EcmaFlags{};
    for (const char letter : flags) {
        options.ignoreCase |= letter == 'i';
        options.multiline |= letter == 'm';
        options.dotAll |= letter == 's';
        options.unicodeSets |= letter == 'v';
    }
    return true;
}

std::u32string ExpandReplacement(const std::u32string& format, const std::u32string& text,
                                 const MatchGroups& match) {
    const std::size_t captures = match.groups.empty() ? 0 : match.groups.size() - 1;
    const MatchGroups::Span whole = match.groups.empty() ? MatchGroups::Span{} : match.groups.front();
    std::u32string result;
    for (std::size_t at = 0; at < format.size(); ++at) {
        const char32_t c = format[at];
        const char32_t next = at + 1 < format.size() ? format[at + 1] : 0;
        if (c != '$' || next == 0) {
            result += c;
            continue;
        }
        if (next == '$') {
            result += U'$';
            ++at;
        } else if (next == '&') {
            result += SpanText(text, whole);
            ++at;
        } else if (next == '`') {
            result += text.substr(0, whole.start);
            ++at;
        } else if (next == '\'') {
            result += text.substr(std::min(whole.end, text.size()));
            ++at;
        } else if (IsDigit(next)) {
            std::size_t digits = at + 2 < format.size() && IsDigit(format[at + 2]) ? 2 : 1;
            std::size_t index = next - '0';
            if (digits == 2) {
                index = index * 10 + (format[at + 2] - '0');
                if (index > captures) {
                    digits = 1;
                    index = next - '0';
                }
            }
            if (index >= 1 && index <= captures) {
                result += SpanText(text, match.groups[index]);
            } else {
                result += format.substr(at, 1 + digits);
            }
            at += digits;
        } else if (next == '<' && !match.names.empty()) {
            const std::size_t close = format.find(U'>', at + 2);
            if (close == std::u32string::npos) {
                result += U"$<";
                ++at;
                continue;
            }
            const std::u32string name = format.substr(at + 2, close - at - 2);
            for (const auto& [groupName, number] : match.names) {
                if (groupName == name && number < match.groups.size()) {
                    result += SpanText(text, match.groups[number]);
                }
            }
            at = close;
        } else {
            result += c;
        }
    }
    return result;
}

bool SearchUnicodeRegEx(const std::u32string& text, const std::u32string& pattern, unsigned long& position,
                        unsigned long& length, std::string& error) {
    Compiled& compiled = CompiledPattern(pattern, EcmaFlags{});
    if (!compiled.ok()) {
        return false;
    }
    const int found = compiled.Search(text, 0, 0);
    if (found == 0) {
        error = "Search error";
    }
    if (found <= 0) {
        return false;
    }
    const MatchGroups::Span whole = compiled.Groups().groups.front();
    position = whole.start;
    length = whole.end - whole.start;
    return true;
}

bool AcceptsRegEx(const std::u32string& pattern, const std::string& flags) {
    EcmaFlags options;
    return ReadStrFlags(flags, options) && CompiledPattern(pattern, options).ok();
}

bool ReplaceUnicodeRegEx(const std::u32string& text, const std::u32string& pattern, const std::string& flags,
                         const std::u32string& format, std::u32string& result) {
    EcmaFlags options;
    if (!ReadStrFlags(flags, options)) {
        return false;
    }
    Compiled& compiled = CompiledPattern(pattern, options);
    if (!compiled.ok() || compiled.Search(text, 0, 0) <= 0) {
        return false;
    }
    result = ExpandReplacement(format, text, compiled.Groups());
    return true;
}

bool ReplaceUnicodeMultipleRegEx(const std::u32string& text, const std::u32string& pattern,
                                 const std::string& flags, const std::u32string& format,
                                 std::vector<ReplacementString>& matches) {
    EcmaFlags options;
    if (!ReadStrFlags(flags, options)) {
        return false;
    }
    Compiled& compiled = CompiledPattern(pattern, options);
    if (!compiled.ok()) {
        return false;
    }
    // Matches go straight to the caller's list, which a failed search puts back as it was.
    const std::size_t before = matches.size();
    std::size_t start = 0;
    std::uint32_t retry = 0;  // after an empty match: a non-empty one at the same place
    // The engine checks the whole text on each search unless told it is valid: the first search
    // checks it, the later ones need not, so that finding every match costs the text once.
    std::uint32_t checked = 0;
    while (start <= text.size()) {
        const int result = compiled.Search(text, start, retry | checked);
        if (result < 0) {
            matches.resize(before);
            return false;
        }
        checked = PCRE2_NO_UTF_CHECK;
        if (result == 0) {
            if (retry == 0 || start == text.size()) {
                break;
            }
            retry = 0;
            ++start;
            continue;
        }
        const MatchGroups& groups = compiled.Groups();
        const MatchGroups::Span whole = groups.groups.front();
        if (whole.end == whole.start) {
            start = whole.end;
            retry = PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED;
            continue;
        }
        matches.push_back({whole.start, whole.end - whole.start, ExpandReplacement(format, text, groups)});
        start = whole.end;
        retry = 0;
    }
    return true;
}

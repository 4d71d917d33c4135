// Unicode regular expressions over UTF-32 text: ECMAScript patterns (EcmaPattern.h) matched by
// PCRE2 with bounded match, depth and heap limits (a limit hit is a failed search, noted by the
// RegExLimitWatch that is live). Positions and lengths count code points from the start of the
// text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "text/EcmaPattern.h"

// The engine's bound that made a search give up: backtracking steps, nesting of backtracking, or
// heap; or the pattern the engine refused, so that nothing was searched. A search that gives up
// answers like one that found nothing, so that it changes nothing.
enum class RegExLimit { none, match, depth, heap, refused };

// The warning a command's reply carries when one of its searches gave up: it names the limit, or
// says that the pattern was refused.
const char* RegExLimitWarning(RegExLimit limit);

// Notes the first limit that a search hits while the watch lives, so that a command can tell its
// client that "nothing found" may be "not searched to the end". Watches nest: a limit hit inside an
// inner watch is also noted by the outer ones. Searches run on the host's thread only.
class RegExLimitWatch {
public:
    RegExLimitWatch();
    ~RegExLimitWatch();
    RegExLimitWatch(const RegExLimitWatch&) = delete;
    RegExLimitWatch& operator=(const RegExLimitWatch&) = delete;

    RegExLimit Hit() const { return fHit; }
    // The reply's warning for what was hit: RegExLimitWarning, with the engine's reason for a
    // refused pattern when it gave one; empty when nothing was hit.
    std::string Warning() const;

private:
    friend void NoteRegExLimit(RegExLimit limit, const std::string& reason);
    RegExLimitWatch* fOuter = nullptr;
    RegExLimit fHit = RegExLimit::none;
    std::string fReason;
};

// One match of ReplaceUnicodeMultipleRegEx: where it is and the replacement format expanded for it.
struct ReplacementString {
    std::uint64_t position = 0;
    std::uint64_t length = 0;
    std::u32string text;
    bool operator==(const ReplacementString&) const = default;
};

// The flag text of a request ("regExFlag"): false for an empty text (no regular expression). The
// letters "i", "m", "s" and "v" set their option; every other character is ignored.
bool ReadStrFlags(const std::string& flags, EcmaFlags& options);

// The first match of the pattern (no flags): its position and length. No match: false with error
// "Search error"; a refused pattern or a failed search: false, error untouched.
// Compiles the pattern with the flags (kept for the searches that follow) and tells whether the
// engine takes it; a refusal is noted for the watch in force, whether or not any text is searched.
bool AcceptsRegEx(const std::u32string& pattern, const std::string& flags);

bool SearchUnicodeRegEx(const std::u32string& text, const std::u32string& pattern, unsigned long& position,
                        unsigned long& length, std::string& error);

// The format expanded for the first match only, without the text around it; false for empty flags,
// a refused pattern, no match or a failed search (result untouched then).
bool ReplaceUnicodeRegEx(const std::u32string& text, const std::u32string& pattern, const std::string& flags,
                         const std::u32string& format, std::u32string& result);

// Every non-empty match in text order with the format expanded for it, appended to matches; after
// an empty match the search tries the same place for a non-empty one, else moves on one code
// point. False for empty flags, a refused pattern or a failed search.
bool ReplaceUnicodeMultipleRegEx(const std::u32string& text, const std::u32string& pattern,
                                 const std::string& flags, const std::u32string& format,
                                 std::vector<ReplacementString>& matches);

// A match as the substitution sees it: the whole match and each group as [start, end) of the
// text, an unset group as none.
struct MatchGroups {
    struct Span {
        std::size_t start = 0;
        std::size_t end = 0;
        bool set = false;
    };
    std::vector<Span> groups;                                   // group 0 is the whole match
    std::vector<std::pair<std::u32string, std::size_t>> names;  // named groups and their numbers
};

// ECMAScript's substitution: $$ a dollar sign, $& the match, $` the text before it, $' the text
// after it, $n and $nn a group (two digits when that group exists, else one), $<name> a named
// group when the pattern has any; an unset group gives nothing; any other dollar sign is copied.
std::u32string ExpandReplacement(const std::u32string& format, const std::u32string& text,
                                 const MatchGroups& match);

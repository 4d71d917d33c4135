// ECMAScript regular expressions (Unicode mode, and Unicode sets with "v") written in PCRE2's
// syntax, for a PCRE2 pattern compiled with UTF, caseless matching for "i", and unset
// back-references matching the empty string.
//
// Where the two dialects read the same text differently, the translation writes what ECMAScript
// means: "." excludes CR, LF, U+2028 and U+2029 (all characters with "s"); ^ and $ are the ends of
// the text, or with "m" also next to those four line terminators; \s is ECMAScript's set; \d stays
// ASCII; \w, \W, \b and \B use ECMAScript's word characters (with "i" also U+017F and U+212A,
// which fold to ASCII letters); the captures of a repeated group are those of its last repetition
// (see EcmaTranslation); Unicode-set intersection (&&), subtraction (--), nested classes and \q{...}
// strings become lookaheads and alternations; an escaped surrogate pair is one code point; long
// property names (\p{Letter}, \p{Script=Greek}) become PCRE2's. What ECMAScript refuses in Unicode
// mode is refused, PCRE2's own extensions among it: possessive quantifiers, inline options such as
// (?i), \Q...\E, (*VERB), atomic groups, identity escapes of letters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The flag letters that change how a pattern reads or matches.
struct EcmaFlags {
    bool ignoreCase = false;   // "i"
    bool multiline = false;    // "m"
    bool dotAll = false;       // "s"
    bool unicodeSets = false;  // "v"
    bool operator==(const EcmaFlags&) const = default;
};

// A pattern in PCRE2's syntax, with what a match needs to give ECMAScript's captures.
//
// ECMAScript empties the captures inside a repeated group each time a repetition begins; PCRE2
// keeps what an earlier repetition set. The translation marks the start of each repetition of such
// a group with an empty group of its own and has each capture inside note, by the callout "c" as it
// closes, where the markers of the groups around it then were; a capture is ECMAScript's after the
// match only when that note was made with the markers' final places. A back-reference to such a
// capture is tried only when the capture is ECMAScript's ("s" callout, the PCRE2 group's number
// following), else it matches the empty string ("r"). A repetition that matched the empty string is
// refused by the callout "e" (the marker's number following), as ECMAScript refuses it.
struct EcmaTranslation {
    std::u32string pattern;
    // The PCRE2 number of each ECMAScript group (index 0: the whole match, 0).
    std::vector<std::uint32_t> groups;
    // For each ECMAScript group, the PCRE2 numbers of the markers of the repeated groups around it,
    // the outermost first; empty for a group outside every repeated group.
    std::vector<std::vector<std::uint32_t>> repeats;
};

// The pattern in PCRE2's syntax; none for a pattern ECMAScript refuses (or one this translation
// does not handle, such as an escaped lone surrogate, or a group that must repeat at least once
// and can match the empty string).
std::optional<EcmaTranslation> TranslateEcmaPattern(const std::u32string& pattern, const EcmaFlags& flags);

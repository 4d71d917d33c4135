// ECMAScript regular expressions (Unicode mode, and Unicode sets with "v") written in PCRE2's
// syntax, for a PCRE2 pattern compiled with UTF, caseless matching for "i", and unset
// back-references matching the empty string.
//
// Where the two dialects read the same text differently, the translation writes what ECMAScript
// means: "." excludes CR, LF, U+2028 and U+2029 (all characters with "s"); ^ and $ are the ends of
// the text, or with "m" also next to those four line terminators; \s is ECMAScript's set; \d, \w
// and \b stay ASCII; Unicode-set intersection (&&), subtraction (--), nested classes and \q{...}
// strings become lookaheads and alternations; an escaped surrogate pair is one code point; long
// property names (\p{Letter}, \p{Script=Greek}) become PCRE2's. What ECMAScript refuses in Unicode
// mode is refused, PCRE2's own extensions among it: possessive quantifiers, inline options such as
// (?i), \Q...\E, (*VERB), atomic groups, identity escapes of letters.
#pragma once

#include <optional>
#include <string>

// The flag letters that change how a pattern reads or matches.
struct EcmaFlags {
    bool ignoreCase = false;   // "i"
    bool multiline = false;    // "m"
    bool dotAll = false;       // "s"
    bool unicodeSets = false;  // "v"
};

// The pattern in PCRE2's syntax; none for a pattern ECMAScript refuses (or one this translation
// does not handle, such as an escaped lone surrogate).
std::optional<std::u32string> TranslateEcmaPattern(const std::u32string& pattern, const EcmaFlags& flags);

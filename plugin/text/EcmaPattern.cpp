// The translation of an ECMAScript pattern into PCRE2's syntax: two readings of the pattern, the
// first learning its groups and the second writing each group as the first found it must be.
#include "text/EcmaPattern.h"

#include <algorithm>
#include <span>
#include <string_view>
#include <vector>

#include "text/EcmaProperties.h"

namespace {

using namespace ecma;

// Groups and classes nest at most this deep; deeper patterns are refused rather than recursed into.
constexpr int kMaxNesting = 256;

// What an escape stands for: one code point, or a set written as the inside of a PCRE2 class
// (empty text: the empty set).
struct Escaped {
    bool isSet = false;
    char32_t code = 0;
    std::u32string set;
};

// A set as one PCRE2 atom outside classes.
std::u32string SetAtom(const std::u32string& set) {
    return set.empty() ? U"(?!)" : U"[" + set + U"]";
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// What a quantifier allows: at least min, at most max repetitions (kNone: no bound).
struct Repeat {
    bool present = false;
    std::size_t min = 1;
    std::size_t max = 1;
};

// One parenthesis of the pattern (a group or a lookaround), in the order they open.
struct Paren {
    std::size_t parent = kNone;
    std::size_t capture = 0;  // its ECMAScript group number; 0: not capturing
    std::size_t innerCaptures = 0;
    bool nullableBody = false;
    Repeat repeat;
};

// How the second reading writes each parenthesis, decided from what the first one learnt.
struct ParenPlan {
    std::uint32_t marker = 0;  // PCRE2 number of the empty group that marks each repetition's start
    bool rejectEmpty = false;  // a repetition that matches the empty string fails
    bool noteClose = false;    // the capture notes its closing (it lies in a repeated group)
};

struct Plan {
    std::vector<ParenPlan> parens;
    EcmaTranslation translation;
    std::vector<std::pair<std::u32string, std::size_t>> names;  // group names and numbers
};

// A repeated group: one that may match more than once.
bool Loops(const Repeat& repeat) {
    return repeat.present && repeat.max > 1;
}

class Translator {
public:
    Translator(const std::u32string& pattern, const EcmaFlags& flags, const Plan* plan = nullptr)
        : fPattern(pattern), fFlags(flags), fPlan(plan) {}

    std::u32string Run() {
        fGroups = CountGroups();
        Disjunction(0);
        if (fAt != fPattern.size()) {
            Refuse();  // a ")" without its "("
        }
        return fOut;
    }

    // After a first reading: where the second must mark repetitions and note captures, and how the
    // ECMAScript groups are numbered in PCRE2.
    Plan MakePlan() const {
        Plan plan;
        plan.names = fNames;
        plan.parens.resize(fParens.size());
        EcmaTranslation& t = plan.translation;
        t.groups.assign(fCaptures + 1, 0);
        t.repeats.assign(fCaptures + 1, {});
        std::uint32_t next = 0;
        for (std::size_t i = 0; i < fParens.size(); ++i) {
            const Paren& paren = fParens[i];
            ParenPlan& planned = plan.parens[i];
            // ECMAScript refuses a repetition that matches the empty string once the minimum is
            // reached; PCRE2 takes it and stops. With no minimum a failing callout does what
            // ECMAScript does; a minimum before an empty repetition can't be counted, so such a
            // pattern is refused.
            if (paren.repeat.present && paren.nullableBody && paren.repeat.max > paren.repeat.min) {
                if (paren.repeat.min > 0) {
                    Refuse();
                }
                planned.rejectEmpty = true;
            }
            if (paren.capture != 0) {
                t.groups[paren.capture] = ++next;
            }
            if (planned.rejectEmpty || (Loops(paren.repeat) && paren.innerCaptures > 0)) {
                planned.marker = ++next;
            }
        }
        for (std::size_t i = 0; i < fParens.size(); ++i) {
            if (fParens[i].capture == 0) {
                continue;
            }
            std::vector<std::uint32_t>& loops = t.repeats[fParens[i].capture];
            for (std::size_t up = fParens[i].parent; up != kNone; up = fParens[up].parent) {
                if (Loops(fParens[up].repeat)) {
                    loops.insert(loops.begin(), plan.parens[up].marker);
                }
            }
            plan.parens[i].noteClose = !loops.empty();
        }
        return plan;
    }

private:
    const std::u32string& fPattern;
    EcmaFlags fFlags;
    const Plan* fPlan;  // none in the first reading
    std::size_t fAt = 0;
    std::size_t fGroups = 0;
    std::u32string fOut;
    std::vector<Paren> fParens;
    std::vector<std::size_t> fOpen;  // the parentheses around the current place
    std::size_t fCaptures = 0;
    std::vector<std::pair<std::u32string, std::size_t>> fNames;

    bool AtEnd() const { return fAt >= fPattern.size(); }
    char32_t Peek(std::size_t ahead = 0) const {
        return fAt + ahead < fPattern.size() ? fPattern[fAt + ahead] : 0;
    }
    bool Take(char32_t c) {
        if (AtEnd() || fPattern[fAt] != c) {
            return false;
        }
        ++fAt;
        return true;
    }
    char32_t Next() {
        if (AtEnd()) {
            Refuse();
        }
        return fPattern[fAt++];
    }
    void Expect(char32_t c) {
        if (!Take(c)) {
            Refuse();
        }
    }

    // The capturing groups, for telling back-references from refused escapes.
    std::size_t CountGroups() const {
        std::size_t count = 0;
        int classDepth = 0;
        for (std::size_t i = 0; i < fPattern.size(); ++i) {
            const char32_t c = fPattern[i];
            if (c == '\\') {
                ++i;
            } else if (c == '[' && (classDepth == 0 || fFlags.unicodeSets)) {
                ++classDepth;
            } else if (c == ']' && classDepth > 0) {
                --classDepth;
            } else if (c == '(' && classDepth == 0) {
                const bool plain = i + 1 >= fPattern.size() || fPattern[i + 1] != '?';
                const bool named = i + 3 < fPattern.size() && fPattern[i + 1] == '?' &&
                                   fPattern[i + 2] == '<' && fPattern[i + 3] != '=' && fPattern[i + 3] != '!';
                count += plain || named ? 1 : 0;
            }
        }
        return count;
    }

    // Whether some alternative can match the empty string.
    bool Disjunction(int depth) {
        if (depth > kMaxNesting) {
            Refuse();
        }
        bool nullable = false;
        for (;;) {
            bool alternative = true;
            while (!AtEnd() && Peek() != '|' && Peek() != ')') {
                alternative = Term(depth) && alternative;
            }
            nullable = nullable || alternative;
            if (!Take('|')) {
                return nullable;
            }
            fOut += U"|";
        }
    }

    static bool StartsQuantifier(char32_t c) { return c == '*' || c == '+' || c == '?' || c == '{'; }

    // An assertion takes no quantifier.
    bool Assertion(std::u32string_view text) {
        fOut += text;
        if (StartsQuantifier(Peek())) {
            Refuse();
        }
        return true;
    }

    // An atom's quantifier; whether the two can match the empty string.
    bool QuantifiedAtom(bool nullable) {
        const Repeat repeat = Quantifier();
        return nullable || (repeat.present && repeat.min == 0);
    }

    // ECMAScript empties the captures of a repeated group at each repetition; PCRE2 keeps what an
    // earlier one set. So in the second reading a group that repeats with captures inside starts
    // each repetition with an empty marker group, and each capture inside notes, by a callout as
    // it closes, the marker's place then: after the match a capture that was not set in the last
    // repetition of every group around it is dropped (RegEx.cpp).
    bool Group(int depth, std::u32string_view opening, bool quantifiable, std::size_t capture = 0) {
        const std::size_t index = fParens.size();
        fParens.push_back({fOpen.empty() ? kNone : fOpen.back(), capture, 0, false, {}});
        const ParenPlan planned = fPlan != nullptr ? fPlan->parens.at(index) : ParenPlan{};
        const std::size_t capturesBefore = fCaptures;
        fOpen.push_back(index);
        if (planned.noteClose) {
            fOut += U"(?:";
        }
        fOut += opening;
        if (planned.marker != 0) {
            fOut += U"()(?:";
        }
        const bool nullable = Disjunction(depth + 1);
        Expect(')');
        if (planned.marker != 0) {
            fOut += U")";
        }
        if (planned.rejectEmpty) {
            fOut += U"(?C\"e" + Digits(planned.marker) + U"\")";
        }
        fOut += U")";
        if (planned.noteClose) {
            fOut += U"(?C\"c\"))";
        }
        fOpen.pop_back();
        fParens[index].innerCaptures = fCaptures - capturesBefore;
        fParens[index].nullableBody = nullable;
        if (quantifiable) {
            fParens[index].repeat = Quantifier();
            const Repeat& repeat = fParens[index].repeat;
            return nullable || (repeat.present && repeat.min == 0);
        }
        if (StartsQuantifier(Peek())) {
            Refuse();
        }
        return true;
    }

    // A back-reference to a group inside a repeated group: ECMAScript has emptied the group when a
    // later repetition began, so the reference then matches the empty string. Inside the group it
    // names, a back-reference always matches the empty string: the group has not closed in this
    // repetition, and whatever it closed on before was emptied when the repetition began.
    void BackReference(std::size_t group, std::u32string_view plain) {
        for (const std::size_t index : fOpen) {
            if (group != 0 && fParens[index].capture == group) {
                fOut += U"(?:)";
                return;
            }
        }
        if (fPlan == nullptr || group == 0 || group >= fPlan->translation.repeats.size() ||
            fPlan->translation.repeats[group].empty()) {
            fOut += plain;
            return;
        }
        const std::u32string number = Digits(fPlan->translation.groups[group]);
        fOut += U"(?:(?C\"s" + number + U"\")\\g{" + number + U"}|(?C\"r" + number + U"\"))";
    }

    bool Term(int depth) {
        const char32_t c = Next();
        switch (c) {
            case '^':
                return Assertion(fFlags.multiline ? U"(?<![^" + std::u32string(kLineTerminators) + U"])"
                                                  : std::u32string(U"\\A"));
            case '$':
                return Assertion(fFlags.multiline ? U"(?![^" + std::u32string(kLineTerminators) + U"])"
                                                  : std::u32string(U"\\z"));
            case '(':
                return Parenthesis(depth);
            case '[':
                fOut += fFlags.unicodeSets ? SetClass(0) : Class();
                return QuantifiedAtom(false);
            case '.':
                fOut += fFlags.dotAll ? U"(?s:.)" : U"[^" + std::u32string(kLineTerminators) + U"]";
                return QuantifiedAtom(false);
            case '\\':
                return AtomEscape();
            case '*':
            case '+':
            case '?':
            case '{':
            case '}':
            case ']':
                Refuse();  // nothing to repeat, or a lone bracket
            default:
                fOut += Literal(c);
                return QuantifiedAtom(false);
        }
    }

    bool Parenthesis(int depth) {
        if (!Take('?')) {
            return Group(depth, U"(", true, ++fCaptures);
        }
        if (Take(':')) {
            return Group(depth, U"(?:", true);
        }
        if (Take('=')) {
            return Group(depth, U"(?=", false);
        }
        if (Take('!')) {
            return Group(depth, U"(?!", false);
        }
        Expect('<');
        if (Take('=')) {
            return Group(depth, U"(?<=", false);
        }
        if (Take('!')) {
            return Group(depth, U"(?<!", false);
        }
        const std::u32string name = GroupName();
        fNames.emplace_back(name, ++fCaptures);
        return Group(depth, U"(?<" + name + U">", true, fCaptures);
    }

    std::u32string GroupName() {
        std::u32string name;
        while (!Take('>')) {
            const char32_t c = Next();
            if (!(IsAsciiAlnum(c) || c == '_' || c == '$' || c > 0x7F)) {
                Refuse();
            }
            name += c;
        }
        if (name.empty() || IsDigit(name.front())) {
            Refuse();
        }
        return name;
    }

    std::size_t Decimal() {
        std::size_t value = 0;
        bool any = false;
        while (IsDigit(Peek())) {
            value = std::min<std::size_t>(value * 10 + (Next() - '0'), 1'000'000'000);
            any = true;
        }
        if (!any) {
            Refuse();
        }
        return value;
    }

    Repeat Quantifier() {
        const char32_t c = Peek();
        Repeat repeat{true, 1, 1};
        if (c == '*' || c == '+' || c == '?') {
            fOut += Next();
            repeat.min = c == '+' ? 1 : 0;
            repeat.max = c == '?' ? 1 : kNone;
        } else if (c == '{') {
            ++fAt;
            const std::size_t least = Decimal();
            std::u32string text = U"{" + Digits(least);
            repeat.min = repeat.max = least;
            if (Take(',')) {
                text += U",";
                repeat.max = kNone;
                if (Peek() != '}') {
                    const std::size_t most = Decimal();
                    if (most < least) {
                        Refuse();
                    }
                    text += Digits(most);
                    repeat.max = most;
                }
            }
            Expect('}');
            fOut += text + U"}";
        } else {
            return {};
        }
        if (Take('?')) {
            fOut += U"?";
        }
        if (StartsQuantifier(Peek())) {
            Refuse();  // a possessive quantifier, or a quantifier of a quantifier
        }
        return repeat;
    }

    static std::u32string Digits(std::size_t value) {
        std::u32string text;
        for (std::size_t rest = value; rest != 0 || text.empty(); rest /= 10) {
            text.insert(text.begin(), static_cast<char32_t>('0' + rest % 10));
        }
        return text;
    }

    // ECMAScript's word characters for the flags. PCRE2's own \w and \b know only the ASCII ones
    // and don't fold case; a class of them does, so with "i" it also takes U+017F and U+212A.
    std::span<const CodeRange> WordRanges() const {
        if (fFlags.ignoreCase) {
            return kCaselessWord;
        }
        return kAsciiWord;
    }

    // \b (or \B): a word character on one side only (or on both or neither).
    std::u32string WordBoundary(bool boundary) const {
        const std::u32string word = U"[" + RangesText(WordRanges()) + U"]";
        const std::u32string before = U"(?<=" + word + U")";
        const std::u32string notBefore = U"(?<!" + word + U")";
        const std::u32string after = U"(?=" + word + U")";
        const std::u32string notAfter = U"(?!" + word + U")";
        if (boundary) {
            return U"(?:" + before + notAfter + U"|" + notBefore + after + U")";
        }
        return U"(?:" + before + after + U"|" + notBefore + notAfter + U")";
    }

    bool AtomEscape() {
        const char32_t c = Peek();
        if (c == 'b' || c == 'B') {
            ++fAt;
            return Assertion(WordBoundary(c == 'b'));
        }
        if (c >= '1' && c <= '9') {
            const std::size_t group = Decimal();
            if (group > fGroups) {
                Refuse();
            }
            const std::size_t number = fPlan != nullptr ? fPlan->translation.groups.at(group) : group;
            BackReference(group, U"\\g{" + Digits(number) + U"}");
            return QuantifiedAtom(true);
        }
        if (c == 'k') {
            ++fAt;
            Expect('<');
            const std::u32string name = GroupName();
            std::size_t group = 0;
            for (const auto& [known, number] : fPlan != nullptr ? fPlan->names : fNames) {
                group = known == name ? number : group;
            }
            BackReference(group, U"\\k<" + name + U">");
            return QuantifiedAtom(true);
        }
        const Escaped escaped = CharacterEscape(false);
        fOut += escaped.isSet ? SetAtom(escaped.set) : Literal(escaped.code);
        return QuantifiedAtom(false);
    }

    // The escape after a backslash, as one code point or a set; inClass: inside a class, where \b
    // is a backspace and "-" may be escaped (in Unicode-set classes also the reserved punctuators).
    Escaped CharacterEscape(bool inClass) {
        const char32_t c = Next();
        switch (c) {
            case 'd':
            case 'D':
                return {true, 0, U"\\" + std::u32string(1, c)};
            case 'w':
                return {true, 0, RangesText(WordRanges())};
            case 'W':
                return {true, 0, RangesText(Complement(WordRanges()))};
            case 's':
                return {true, 0, RangesText(kSpaces)};
            case 'S':
                return {true, 0, RangesText(Complement(kSpaces))};
            case 'p':
            case 'P':
                return {true, 0, Property(c == 'P')};
            case 't':
                return {false, '\t', {}};
            case 'n':
                return {false, '\n', {}};
            case 'v':
                return {false, '\v', {}};
            case 'f':
                return {false, '\f', {}};
            case 'r':
                return {false, '\r', {}};
            case 'c': {
                const char32_t letter = Next();
                if (!((letter | 0x20) >= 'a' && (letter | 0x20) <= 'z')) {
                    Refuse();
                }
                return {false, letter % 32, {}};
            }
            case '0':
                if (IsDigit(Peek())) {
                    Refuse();
                }
                return {false, 0, {}};
            case 'x': {
                const char32_t high = Next();
                const char32_t low = Next();
                if (!IsHex(high) || !IsHex(low)) {
                    Refuse();
                }
                return {false, HexValue(high) * 16 + HexValue(low), {}};
            }
            case 'u':
                return {false, UnicodeEscape(), {}};
            case 'b':
                if (inClass) {
                    return {false, '\b', {}};
                }
                Refuse();
            case '-':
                if (inClass) {
                    return {false, '-', {}};
                }
                Refuse();
            default:
                break;
        }
        static constexpr std::u32string_view kSyntax = U"^$\\.*+?()[]{}|/";
        static constexpr std::u32string_view kReserved = U"&-!#%,:;<=>@`~";
        if (kSyntax.find(c) != std::u32string_view::npos ||
            (inClass && fFlags.unicodeSets && kReserved.find(c) != std::u32string_view::npos)) {
            return {false, c, {}};
        }
        Refuse();  // identity escapes of other characters, \Q, \E, \A, \z, \h ...
    }

    std::u32string Property(bool negated) {
        Expect('{');
        const std::size_t close = fPattern.find(U'}', fAt);
        if (close == std::u32string::npos) {
            Refuse();
        }
        const std::u32string_view body(fPattern.data() + fAt, close - fAt);
        fAt = close + 1;
        return PropertySet(body, negated);
    }

    char32_t HexDigits(std::size_t count) {
        char32_t value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const char32_t c = Next();
            if (!IsHex(c)) {
                Refuse();
            }
            value = value * 16 + HexValue(c);
        }
        return value;
    }

    // \uHHHH (a surrogate pair written as two of them is one code point) or \u{H...}.
    char32_t UnicodeEscape() {
        if (Take('{')) {
            char32_t value = 0;
            bool any = false;
            while (!Take('}')) {
                const char32_t c = Next();
                if (!IsHex(c)) {
                    Refuse();
                }
                value = value * 16 + HexValue(c);
                any = true;
                if (value > kLastCodePoint) {
                    Refuse();
                }
            }
            if (!any || IsHighSurrogate(value) || IsLowSurrogate(value)) {
                Refuse();  // a lone surrogate matches nothing in valid text; refused as unsupported
            }
            return value;
        }
        const char32_t value = HexDigits(4);
        if (IsHighSurrogate(value) && Peek() == '\\' && Peek(1) == 'u' && Peek(2) != '{') {
            const std::size_t back = fAt;
            fAt += 2;
            const char32_t low = HexDigits(4);
            if (IsLowSurrogate(low)) {
                return CombineSurrogates(value, low);
            }
            fAt = back;
        }
        if (IsHighSurrogate(value) || IsLowSurrogate(value)) {
            Refuse();
        }
        return value;
    }

    // --- Classes without "v" -------------------------------------------------------------------------

    // One member of a class: a code point or a set.
    Escaped ClassAtom() {
        const char32_t c = Next();
        return c == '\\' ? CharacterEscape(true) : Escaped{false, c, {}};
    }

    std::u32string Class() {
        const bool negated = Take('^');
        std::u32string body;
        while (!Take(']')) {
            const Escaped first = ClassAtom();
            if (Peek() == '-' && Peek(1) != ']' && Peek(1) != 0) {
                ++fAt;
                const Escaped last = ClassAtom();
                if (first.isSet || last.isSet || last.code < first.code) {
                    Refuse();
                }
                body += Literal(first.code) + U"-" + Literal(last.code);
                continue;
            }
            body += first.isSet ? first.set : Literal(first.code);
        }
        if (body.empty()) {
            return negated ? U"(?s:.)" : U"(?!)";
        }
        return (negated ? U"[^" : U"[") + body + U"]";
    }

    // --- Classes with "v" ----------------------------------------------------------------------------

    // The members of a union: single code points and sets (the inside of a PCRE2 class), strings,
    // and nested classes as atoms.
    struct SetUnion {
        std::u32string singles;
        std::vector<std::u32string> strings;
        std::vector<std::u32string> nested;

        std::u32string Atom() const {
            std::vector<std::u32string> sorted = strings;
            std::stable_sort(sorted.begin(), sorted.end(),
                             [](const auto& a, const auto& b) { return a.size() > b.size(); });
            std::u32string alternatives;
            const auto add = [&alternatives](const std::u32string& text) {
                alternatives += (alternatives.empty() ? U"" : U"|") + text;
            };
            for (const std::u32string& text : sorted) {
                std::u32string literal;
                for (const char32_t c : text) {
                    literal += Literal(c);
                }
                add(literal);
            }
            for (const std::u32string& atom : nested) {
                add(atom);
            }
            if (!singles.empty()) {
                add(U"[" + singles + U"]");
            }
            return alternatives.empty() ? U"(?!)" : U"(?:" + alternatives + U")";
        }
    };

    static bool IsSetSyntax(char32_t c) {
        return std::u32string_view(U"()[]{}/-\\|").find(c) != std::u32string_view::npos;
    }

    // A single code point of a Unicode-set class (not a nested class, string or set).
    char32_t SetCharacter() {
        const char32_t c = Next();
        if (c == '\\') {
            const Escaped escaped = CharacterEscape(true);
            if (escaped.isSet) {
                Refuse();
            }
            return escaped.code;
        }
        static constexpr std::u32string_view kDoubled = U"&!#$%*+,.:;<=>?@^`~";
        if (IsSetSyntax(c) || (kDoubled.find(c) != std::u32string_view::npos && Peek() == c)) {
            Refuse();
        }
        return c;
    }

    // One operand: a nested class, \q{...}, a set escape or a code point; adds it to the union.
    // Answers the code point when the operand was one (a range may start there).
    std::optional<char32_t> SetOperand(int depth, SetUnion& members) {
        if (Take('[')) {
            members.nested.push_back(SetClass(depth + 1));
            return std::nullopt;
        }
        if (Peek() == '\\' && Peek(1) == 'q' && Peek(2) == '{') {
            fAt += 3;
            std::u32string text;
            for (;;) {
                if (Take('}')) {
                    members.strings.push_back(text);
                    return std::nullopt;
                }
                if (Take('|')) {
                    members.strings.push_back(text);
                    text.clear();
                    continue;
                }
                text += SetCharacter();
            }
        }
        if (Peek() == '\\' && std::u32string_view(U"dDwWsSpP").find(Peek(1)) != std::u32string_view::npos) {
            ++fAt;
            members.singles += CharacterEscape(true).set;
            return std::nullopt;
        }
        const char32_t c = SetCharacter();
        members.singles += Literal(c);
        return c;
    }

    // The operand of an intersection or subtraction as one atom.
    std::u32string OperandAtom(int depth) {
        SetUnion single;
        SetOperand(depth, single);
        return single.Atom();
    }

    // After "[": a Unicode-set class as one PCRE2 atom.
    std::u32string SetClass(int depth) {
        if (depth > kMaxNesting) {
            Refuse();
        }
        const bool negated = Take('^');
        SetUnion members;
        std::u32string atom;
        if (Take(']')) {
            atom = U"(?!)";
        } else {
            const std::optional<char32_t> first = SetOperand(depth, members);
            const auto op = [this](char32_t c) { return Peek() == c && Peek(1) == c; };
            if (op('&') || op('-')) {
                const bool intersection = op('&');
                const std::u32string head = members.Atom();
                std::vector<std::u32string> rest;
                while (op(intersection ? '&' : '-')) {
                    fAt += 2;
                    rest.push_back(OperandAtom(depth));
                }
                Expect(']');
                if (intersection) {
                    // A && B && C: what all of them match, written as lookaheads before the last.
                    std::u32string text = U"(?:(?=" + head + U")";
                    for (std::size_t i = 0; i + 1 < rest.size(); ++i) {
                        text += U"(?=" + rest[i] + U")";
                    }
                    atom = text + rest.back() + U")";
                } else {
                    std::u32string text = U"(?:";
                    for (const std::u32string& operand : rest) {
                        text += U"(?!" + operand + U")";
                    }
                    atom = text + head + U")";
                }
            } else {
                std::optional<char32_t> previous = first;
                while (!Take(']')) {
                    if (previous && Peek() == '-' && Peek(1) != '-') {
                        ++fAt;
                        const char32_t last = SetCharacter();
                        if (last < *previous) {
                            Refuse();
                        }
                        members.singles += U"-" + Literal(last);
                        previous.reset();
                        continue;
                    }
                    if (op('&') || op('-')) {
                        Refuse();  // operators of different kinds, or after a union, need brackets
                    }
                    previous = SetOperand(depth, members);
                }
                atom = members.Atom();
            }
        }
        if (negated) {
            return U"(?:(?!" + atom + U")(?s:.))";
        }
        return atom;
    }
};

}  // namespace

std::optional<EcmaTranslation> TranslateEcmaPattern(const std::u32string& pattern, const EcmaFlags& flags) {
    try {
        Translator first(pattern, flags);
        first.Run();
        Plan plan = first.MakePlan();
        plan.translation.pattern = Translator(pattern, flags, &plan).Run();
        return std::move(plan.translation);
    } catch (const Refused&) {
        return std::nullopt;
    }
}

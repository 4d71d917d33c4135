// The tag-query language's tokens: the token table, the tokenizer, the case normalisation of
// tokens and the syntax check. A query such as '(red|blue)&:children(panel)' arrives as UTF-8, is
// converted to UTF-32 once, and leaves here as a list of tokens that the evaluator
// (TagQueryEval.h) can rely on.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One row of the token table.
struct ppToken {
    std::u32string_view spelling;  // the token's exact text
    std::int64_t precedence;       // binding strength in the parser, 0 to 12
    bool binary;                   // two operands; otherwise one (or none, for parentheses)
};

// The token table. Pseudo-classes are prefix operators of the highest precedence; the binary
// ones take their member set and a position formula ':nthChild(row, 2n+1)'.
inline constexpr std::array<ppToken, 26> ppTokens{{
    {U"(", 0, false},
    {U")", 0, false},
    {U"|", 5, true},
    {U"&", 7, true},
    {U"~", 8, true},
    {U"<", 8, true},
    {U">", 8, true},
    {U"!", 9, false},
    {U"^", 10, false},
    {U"$", 10, false},
    {U":nthChild", 12, true},
    {U":firstOfType", 12, false},
    {U":lastOfType", 12, false},
    {U":nthOfType", 12, true},
    {U":siblingBefore", 12, false},
    {U":siblingAfter", 12, false},
    {U":parent", 12, false},
    {U":children", 12, false},
    {U":lastChild", 12, false},
    {U":firstChild", 12, false},
    {U":ancestors", 12, false},
    {U":descendants", 12, false},
    {U":leaves", 12, false},
    {U":globalNthOfType", 12, true},
    {U":globalFirstOfType", 12, false},
    {U":globalLastOfType", 12, false},
}};

// The row returned for a pseudo-class that the table does not hold.
inline constexpr ppToken kUnknownPseudoClass{U":", 0, false};
// The row returned for an operand (a tag text or a position formula).
inline constexpr ppToken kOperandToken{U" ", 0, false};

// The row of a token: its row in the table, else kUnknownPseudoClass for a token starting with
// ":", else kOperandToken (also for the empty token).
ppToken GetTokenType(std::u32string_view token);

// The class of a token: the first character of its row's spelling. The classes are ' ' (operand),
// '(', ')', '|', '&', '~', '<', '>', '!', '^', '$' and ':' (every pseudo-class).
char32_t GetTokenClass(std::u32string_view token);

// One row of the checking table: which neighbours a class of token accepts.
struct TokenCheck {
    std::u32string_view classes;  // the classes the row governs
    std::u32string_view before;   // classes allowed for the previous token
    std::u32string_view after;    // classes allowed for the next token
    bool canStart;
    bool canEnd;
};

inline constexpr std::array<TokenCheck, 8> pTokensToCheck{{
    {U" ", U" (|&~<>!^$", U" )|&~<>", true, true},
    {U"(", U":(|&~<>!^$", U" :(!^$", true, false},
    {U")", U" )", U")|&~<>", false, true},
    {U"|&", U" )", U" :(!^$", false, false},
    {U"~<>", U" ", U" :(", false, false},
    {U"!", U"(|&~<>", U" :(^$", true, false},
    {U"^$", U"(|&~<>!", U" ", true, false},
    {U":", U"(|&~<>!", U"(", true, false},
}};

// Splits a query into tokens: commas and spaces separate words, every operator character is a
// token of its own, ':' joins the word after it into a pseudo-class name, and the words of a
// position formula (after ':nthChild(', ':nthOfType(' or ':globalNthOfType(' and the first
// argument, exact case) are joined into one token: ':nthChild(item, 2n + 1)' gives ':nthChild',
// '(', 'item', '2n+1', ')'.
std::vector<std::u32string> Tokenize(std::u32string_view query);

// A position formula as a query reads it: its words, split at spaces and commas, joined into one
// text (' 2n + 1 ' gives '2n+1'), which NthStringToNum then reads.
std::u32string JoinFormulaWords(std::u32string_view formula);

// Lower-cases every token; a token that names a row of the table case-insensitively becomes that
// row's spelling (':FIRSTCHILD' becomes ':firstChild').
std::vector<std::u32string> NormalizeTokenCaps(const std::vector<std::u32string>& tokens);

// Whether the tokens form a well-formed query: balanced parentheses, every token next to
// neighbours its row of pTokensToCheck accepts, and no pseudo-class that the table does not hold.
// The empty list passes.
bool CheckTokens(const std::vector<std::u32string>& tokens);

// Tokenize, NormalizeTokenCaps and CheckTokens over a UTF-8 query. False when the check fails;
// tokens then holds what the tokenizer made.
bool TokenizeTagQuery(std::string_view query, std::vector<std::u32string>& tokens);

#include "art/TagQueryTokens.h"

#include <optional>

#include "art/TagText.h"
#include "core/TextHelpers.h"

namespace {

constexpr char32_t kSpace = U' ';

bool IsFormulaPseudoClass(std::u32string_view token) {
    return token == U":nthChild" || token == U":nthOfType" || token == U":globalNthOfType";
}

bool IsKnownToken(std::u32string_view token) {
    for (const ppToken& row : ppTokens) {
        if (row.spelling == token) {
            return true;
        }
    }
    return false;
}

// Pass 1 and 2: commas and spaces end words; operator characters are tokens of their own.
std::vector<std::u32string> SplitWords(std::u32string_view query) {
    std::vector<std::u32string> tokens;
    std::u32string word;
    auto endWord = [&] {
        if (!word.empty()) {
            tokens.push_back(std::move(word));
            word.clear();
        }
    };
    for (char32_t c : query) {
        if (c == U',') {
            c = kSpace;
        }
        if (c != kSpace && GetTokenClass(std::u32string_view(&c, 1)) == kSpace) {
            word.push_back(c);
            continue;
        }
        endWord();
        if (c != kSpace) {
            tokens.emplace_back(1, c);
        }
    }
    endWord();
    return tokens;
}

// Pass 3: a lone ':' takes the word after it as its name; a ':' without one is dropped.
std::vector<std::u32string> JoinPseudoClassNames(const std::vector<std::u32string>& words) {
    std::vector<std::u32string> tokens;
    for (size_t i = 0; i < words.size(); ++i) {
        if (GetTokenClass(words[i]) != U':') {
            tokens.push_back(words[i]);
            continue;
        }
        if (i + 1 < words.size() && GetTokenClass(words[i + 1]) == kSpace) {
            tokens.push_back(words[i] + words[i + 1]);
            ++i;
        }
    }
    return tokens;
}

// Pass 4: the words after the first argument of a formula pseudo-class form one formula token.
std::vector<std::u32string> JoinFormulas(const std::vector<std::u32string>& words) {
    enum class State { kOutside, kAfterName, kAfterParenthesis, kInFormula };
    std::vector<std::u32string> tokens;
    std::u32string formula;
    State state = State::kOutside;
    for (const std::u32string& token : words) {
        const char32_t tokenClass = GetTokenClass(token);
        switch (state) {
            case State::kOutside:
                if (IsFormulaPseudoClass(token)) {
                    state = State::kAfterName;
                }
                break;
            case State::kAfterName:
                state = tokenClass == U'(' ? State::kAfterParenthesis : State::kOutside;
                break;
            case State::kAfterParenthesis:
                state = tokenClass == kSpace ? State::kInFormula : State::kOutside;
                break;
            case State::kInFormula:
                if (tokenClass == kSpace) {
                    formula += token;
                    continue;
                }
                if (!formula.empty()) {
                    tokens.push_back(std::move(formula));
                    formula.clear();
                }
                state = State::kOutside;
                break;
        }
        tokens.push_back(token);
    }
    return tokens;
}

std::optional<TokenCheck> FindCheckRow(char32_t tokenClass) {
    std::optional<TokenCheck> found;
    for (const TokenCheck& row : pTokensToCheck) {
        if (row.classes.find(tokenClass) != std::u32string_view::npos) {
            found = row;
        }
    }
    return found;
}

}  // namespace

ppToken GetTokenType(std::u32string_view token) {
    if (token.empty()) {
        return kOperandToken;
    }
    for (const ppToken& row : ppTokens) {
        if (row.spelling == token) {
            return row;
        }
    }
    return token.front() == U':' ? kUnknownPseudoClass : kOperandToken;
}

char32_t GetTokenClass(std::u32string_view token) {
    return GetTokenType(token).spelling.front();
}

std::u32string JoinFormulaWords(std::u32string_view formula) {
    std::u32string joined;
    for (const std::u32string& word : SplitWords(formula)) {
        joined += word;
    }
    return joined;
}

std::vector<std::u32string> Tokenize(std::u32string_view query) {
    return JoinFormulas(JoinPseudoClassNames(SplitWords(query)));
}

std::vector<std::u32string> NormalizeTokenCaps(const std::vector<std::u32string>& tokens) {
    std::vector<std::u32string> normalized;
    normalized.reserve(tokens.size());
    for (const std::u32string& token : tokens) {
        std::u32string lower = LowerCaseText(token);
        for (const ppToken& row : ppTokens) {
            if (AsciiLowerCase(row.spelling) == lower) {
                lower = row.spelling;
                break;
            }
        }
        normalized.push_back(std::move(lower));
    }
    return normalized;
}

bool CheckTokens(const std::vector<std::u32string>& tokens) {
    long depth = 0;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const char32_t tokenClass = GetTokenClass(tokens[i]);
        if (tokenClass == U'(') {
            ++depth;
        } else if (tokenClass == U')' && --depth < 0) {
            return false;
        }
        // A pseudo-class the language does not know would otherwise pass its operand through
        // unchanged and act on objects the client never asked for.
        if (tokenClass == U':' && !IsKnownToken(tokens[i])) {
            return false;
        }
        const std::optional<TokenCheck> row = FindCheckRow(tokenClass);
        if (!row) {
            return false;
        }
        const bool first = i == 0;
        const bool last = i + 1 == tokens.size();
        if ((first && !row->canStart) || (last && !row->canEnd)) {
            return false;
        }
        if (!first && row->before.find(GetTokenClass(tokens[i - 1])) == std::u32string_view::npos) {
            return false;
        }
        if (!last && row->after.find(GetTokenClass(tokens[i + 1])) == std::u32string_view::npos) {
            return false;
        }
    }
    return depth == 0;
}

bool TokenizeTagQuery(std::string_view query, std::vector<std::u32string>& tokens) {
    tokens = NormalizeTokenCaps(Tokenize(ToUtf32(query)));
    return CheckTokens(tokens);
}

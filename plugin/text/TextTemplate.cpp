#include "text/TextTemplate.h"

#include <optional>

#include "AIArray.h"
#include "AIArt.h"
#include "AIDictionary.h"
#include "AIEntry.h"
#include "art/TagText.h"
#include "core/HostScopes.h"
#include "core/Suites.h"
#include "text/RegEx.h"

namespace {

bool HostReady() {
    return sAIArt != nullptr && sAIDictionary != nullptr && sAIArray != nullptr && sAIEntry != nullptr;
}

// Whether the host knows the key of the template's entry.
bool HasTemplateKey() {
    return DictionaryKey(TextTemplate::textTemplateTag) != nullptr;
}

// Appends the entry (made by the caller) to the array; false when either fails.
bool Append(AIArrayRef array, AIEntryRef made) {
    const EntryRef entry(made);
    return entry.Get() != nullptr && sAIArray->AppendEntry(array, entry.Get()) == kNoErr;
}

std::optional<std::u32string> TextAt(AIArrayRef array, ai::int32 index) {
    const EntryRef entry(sAIArray->Get(array, index));
    const char* text = nullptr;
    if (entry.Get() == nullptr || sAIEntry->ToString(entry.Get(), &text) != kNoErr || text == nullptr) {
        return std::nullopt;
    }
    return ToUtf32(text);
}

std::optional<ai::int32> IntegerAt(AIArrayRef array, ai::int32 index) {
    const EntryRef entry(sAIArray->Get(array, index));
    ai::int32 value = 0;
    if (entry.Get() == nullptr || sAIEntry->ToInteger(entry.Get(), &value) != kNoErr) {
        return std::nullopt;
    }
    return value;
}

constexpr unsigned long kBraces = 1;
constexpr unsigned long kParentheses = 2;
constexpr unsigned long kBoth = 3;
constexpr std::size_t kEmptyFieldLength = 4;

// Two escaped openings, the shortest run of characters other than line terminators, two escaped
// closings.
std::u32string FieldPattern(char32_t open, char32_t close) {
    const std::u32string opening = {U'\\', open, U'\\', open};
    const std::u32string closing = {U'\\', close, U'\\', close};
    return opening + U".*?" + closing;
}

}  // namespace

std::vector<TemplateToken> TextTemplate::TokenizeWithParentheses(const std::u32string& text, char32_t open,
                                                                 char32_t close, unsigned long kind) {
    const std::u32string pattern = FieldPattern(open, close);
    std::vector<TemplateToken> tokens;
    std::u32string rest = text;
    while (!rest.empty()) {
        unsigned long position = 0;
        unsigned long length = 0;
        std::string error;
        if (!SearchUnicodeRegEx(rest, pattern, position, length, error)) {
            tokens.push_back({rest, 0, rest});
            break;
        }
        if (position > 0) {
            const std::u32string before = rest.substr(0, position);
            tokens.push_back({before, 0, before});
        }
        const std::u32string field = rest.substr(position, length);
        if (length == kEmptyFieldLength) {
            tokens.push_back({U"", 0, field});
        } else {
            tokens.push_back({field.substr(2, length - 4), kind, field});
        }
        rest.erase(0, position + length);
    }
    return tokens;
}

TextTemplate::TextTemplate(const std::u32string& text) {
    for (TemplateToken& token : TokenizeWithParentheses(text, U'{', U'}', kBraces)) {
        if (token.kind == kBraces) {
            fTokens.push_back(std::move(token));
            continue;
        }
        for (TemplateToken& inner : TokenizeWithParentheses(token.shown, U'(', U')', kParentheses)) {
            fTokens.push_back(std::move(inner));
        }
    }
}

TextTemplate::TextTemplate(ArtObject* art, bool& found) {
    found = false;
    if (!HostReady() || !HasTemplateKey()) {
        return;
    }
    const DictionaryScope dictionary = DictionaryScope::OfArt(art, false);
    const EntryRef entry = dictionary.GetEntry(TextTemplate::textTemplateTag);
    ArrayRef array;
    if (entry.Get() == nullptr || sAIEntry->ToArray(entry.Get(), array.Out()) != kNoErr) {
        return;
    }
    const ai::int32 size = sAIArray->Size(array.Get());
    if (size <= 0 || size % 3 != 0) {
        return;
    }
    for (ai::int32 index = 0; index < size; index += 3) {
        const std::optional<std::u32string> text = TextAt(array.Get(), index);
        const std::optional<ai::int32> kind = IntegerAt(array.Get(), index + 1);
        const std::optional<std::u32string> shown = TextAt(array.Get(), index + 2);
        if (!text || !kind || *kind < 0 || !shown) {
            return;
        }
        fTokens.push_back({*text, static_cast<unsigned long>(*kind), *shown});
    }
    found = true;
}

bool TextTemplate::AddToArt(ArtObject* art) const {
    if (fTokens.empty() || !HostReady() || !HasTemplateKey()) {
        return false;
    }
    ArrayRef array;
    if (sAIArray->CreateArray(array.Out()) != kNoErr) {
        return false;
    }
    for (const TemplateToken& token : fTokens) {
        if (!Append(array.Get(), sAIEntry->FromString(ToUtf8(token.text).c_str())) ||
            !Append(array.Get(), sAIEntry->FromInteger(static_cast<ai::int32>(token.kind))) ||
            !Append(array.Get(), sAIEntry->FromString(ToUtf8(token.shown).c_str()))) {
            return false;
        }
    }
    if (!RemoveTemplateText(art)) {
        return false;
    }
    const EntryRef entry(sAIEntry->FromArray(array.Get()));
    return entry.Get() != nullptr &&
           DictionaryScope::OfArt(art, true).SetEntry(TextTemplate::textTemplateTag, entry.Get());
}

bool TextTemplate::RemoveTemplateText(ArtObject* art) {
    if (!HostReady()) {
        return false;
    }
    // Art without a dictionary holds no template: there is nothing to remove.
    if (!sAIArt->HasDictionary(art)) {
        return true;
    }
    if (!HasTemplateKey()) {
        return false;
    }
    return DictionaryScope::OfArt(art, true).Delete(TextTemplate::textTemplateTag);
}

bool TextTemplate::Describes(const std::u32string& storyText) const {
    std::size_t offset = 0;
    for (const TemplateToken& token : fTokens) {
        if (storyText.compare(offset, token.shown.size(), token.shown) != 0) {
            return false;
        }
        offset += token.shown.size();
    }
    return offset == storyText.size();
}

bool ModeConsidersKind(unsigned long mode, unsigned long kind) {
    return (mode == kBraces && kind == kBraces) || (mode == kParentheses && kind == kParentheses) ||
           (mode == kBoth && (kind == kBraces || kind == kParentheses));
}

bool TextTemplate::FindUnicodeText(const std::u32string& search, const std::string& regExFlag,
                                   unsigned long mode, unsigned long& position, unsigned long& length) const {
    if (mode < kBraces || mode > kBoth) {
        return false;
    }
    unsigned long offset = 0;
    for (const TemplateToken& token : fTokens) {
        unsigned long at = 0;
        unsigned long size = 0;
        if (ModeConsidersKind(mode, token.kind) && FindUnicodeText(token.text, search, regExFlag, at, size)) {
            position = offset;
            length = token.shown.size();
            return true;
        }
        offset += token.shown.size();
    }
    return false;
}

bool TextTemplate::FindUnicodeText(const std::u32string& text, const std::u32string& search,
                                   const std::string& regExFlag, unsigned long& position,
                                   unsigned long& length) {
    if (!regExFlag.empty()) {
        std::string error;
        return SearchUnicodeRegEx(text, search, position, length, error);
    }
    const std::size_t found = text.find(search);
    if (found == std::u32string::npos) {
        return false;
    }
    position = found;
    length = search.size();
    return true;
}

bool ReplaceMatchedStringUnicode(const std::u32string& key, const std::u32string& search,
                                 const std::u32string& replace, const std::string& regExFlag,
                                 std::u32string& newShown) {
    const std::u32string& wanted = search.empty() ? key : search;
    if (regExFlag.empty()) {
        if (key != wanted) {
            return false;
        }
        newShown = replace;
        return true;
    }
    return ReplaceUnicodeRegEx(key, wanted, regExFlag, replace, newShown);
}

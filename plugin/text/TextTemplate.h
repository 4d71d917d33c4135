// Text templates: where the fields of a story are. A story's text splits into literal runs and
// fields written between {{ and }} (kind 1) or (( and )) (kind 2); a field keeps its key while the
// text it shows is replaced, so that a later request for the key finds its span again. The shown
// texts, joined in order, are the story's text; a token's offset is the length of the shown texts
// before it, in code points.
#pragma once

#include <string>
#include <vector>

struct ArtObject;

struct TemplateToken {
    std::u32string text;     // a field's key; literal text itself
    unsigned long kind = 0;  // 0 literal, 1 braces, 2 parentheses
    std::u32string shown;    // what the story shows for the token
    bool operator==(const TemplateToken&) const = default;
};

class TextTemplate {
public:
    TextTemplate() = default;
    // The tokens of a text: brace fields first, then parenthesis fields in what is left; a field
    // never spans a line terminator, and an empty field ({{}} or (())) stays literal text.
    explicit TextTemplate(const std::u32string& text);
    // The template stored on the art; found is true only when the whole entry was read (an array
    // of 3 x n elements: key, kind and shown text of each token).
    TextTemplate(ArtObject* art, bool& found);

    // The art's dictionary entry that holds its template.
    static constexpr const char* textTemplateTag = "com.torvi.PlimUtils_Text_Template_Tag";
    // Stores the template on the art, replacing a stored one; false for a template without tokens
    // or a host failure (a stored template may then be gone).
    bool AddToArt(ArtObject* art) const;
    // Removes the stored template; true also when the art has none.
    static bool RemoveTemplateText(ArtObject* art);

    // The runs of the text between the delimiters open-open and close-close (shortest first),
    // fields of the kind given.
    static std::vector<TemplateToken> TokenizeWithParentheses(const std::u32string& text, char32_t open,
                                                              char32_t close, unsigned long kind);

    // The template still describes the story: its shown texts, joined, are the story's text. A
    // template that does not (the story was edited by other means) must not be used for offsets.
    bool Describes(const std::u32string& storyText) const;

    // The span in the story of the first field of the kinds the mode selects (1 braces, 2
    // parentheses, 3 both) whose key holds the search text (or matches the pattern when regExFlag
    // is non-empty). False for another mode or when no field matches.
    bool FindUnicodeText(const std::u32string& search, const std::string& regExFlag, unsigned long mode,
                         unsigned long& position, unsigned long& length) const;

    // The first occurrence of the search text in a text (an empty search text at 0), or, when
    // regExFlag is non-empty, the first match of the pattern read without flags.
    static bool FindUnicodeText(const std::u32string& text, const std::u32string& search,
                                const std::string& regExFlag, unsigned long& position, unsigned long& length);

    std::vector<TemplateToken>& Tokens() { return fTokens; }
    const std::vector<TemplateToken>& Tokens() const { return fTokens; }

private:
    std::vector<TemplateToken> fTokens;
};

// Whether a field's key matches the search and what it shows then. An empty search stands for the
// key itself. Literal (empty regExFlag): the whole key equals the search; newShown = replace.
// Regular expression: the pattern matches somewhere in the key; newShown = the replacement format
// expanded for its first match alone.
bool ReplaceMatchedStringUnicode(const std::u32string& key, const std::u32string& search,
                                 const std::u32string& replace, const std::string& regExFlag,
                                 std::u32string& newShown);

// The kinds of field a template mode considers: mode 1 braces, 2 parentheses, 3 both.
bool ModeConsidersKind(unsigned long mode, unsigned long kind);

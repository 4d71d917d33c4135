// The look of text as one record of optional features: read from request JSON, written as reply
// JSON, taken from a graphic style's colours and stroke, read from the host's text (a range or a
// named style) and applied to it. Only set features take part in writing and applying.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "IAIUnicodeString.h"
#include "IText.h"
#include "appearance/Colors.h"
#include "appearance/GStyle.h"
#include "core/Json.h"

class TextFeatures {
public:
    // Nothing set.
    TextFeatures() = default;
    // From a JSON object; wrong types leave a feature unset. Throws ColorSpaceError (and the
    // colour reader's other errors) for an unreadable "fillColor" or "strokeColor".
    explicit TextFeatures(const json& object);
    // The first fill's and the first stroke's colours, overprints and stroke width and join.
    explicit TextFeatures(const GStyle& style);
    // The features of the document's character style (true) or paragraph style (false) of that
    // name; nothing set when there is none.
    TextFeatures(const std::string& name, bool isCharStyle);
    // The features of a range: those shared by the whole range through its styles, or with
    // localOnly its local overrides only; with the names of its first named styles and its first
    // frame's story direction.
    TextFeatures(const ATE::ITextRange& range, bool localOnly);

    json WriteJson() const;
    // Whether any feature is set.
    bool Check() const;

    // Each feature becomes what the host reports: set when assigned, unset when not (or when the
    // host refuses, or answers a code that has no name).
    void ReadCharFeatures(const ATE::ICharFeatures& features);
    void ReadParaFeatures(const ATE::IParaFeatures& features);
    // Writes the set features into host features; a step the host refuses is skipped.
    void SetCharFeatures(ATE::ICharFeatures& features, bool withFont) const;
    void SetParaFeatures(ATE::IParaFeatures& features, bool withDefaultChar) const;
    // Applies the record to the text: named styles, paragraph and character overrides, fonts
    // character by character and the frames' story direction. False (only the named styles
    // applied) when the range has no paragraphs.
    bool SetTextFeatures(const ATE::ITextRange& range) const;

    std::optional<double> fontSize;
    std::optional<std::string> fontName;
    std::optional<std::string> fontFamily;
    std::optional<std::string> fontStyle;
    std::optional<PFieldColor> fillColor;
    std::optional<PFieldColor> strokeColor;
    std::optional<bool> autoLeading;
    std::optional<double> leading;
    std::optional<std::string> charDirection;
    std::optional<std::string> baselineOption;
    std::optional<bool> strikethrough;
    std::optional<bool> underline;
    std::optional<double> strokeWidth;
    std::optional<std::string> strokeJoin;
    std::optional<bool> overprintFill;
    std::optional<bool> overprintStroke;
    std::optional<int> tracking;
    std::optional<std::string> kerningType;
    std::optional<double> baselineShift;
    std::optional<double> horizontalScale;
    std::optional<double> verticalScale;
    std::optional<double> rotation;
    std::optional<std::string> language;
    std::optional<std::string> justification;
    std::optional<double> firstLineIndent;
    std::optional<std::string> composerEngine;
    std::optional<bool> everyLineComposer;
    std::optional<bool> leftToRight;
    std::optional<bool> storyDirection;  // true: "ltr"
    std::optional<std::string> charStyle;
    std::optional<std::string> paraStyle;

    // Whether a named style these features apply (charStyle, paraStyle) is missing from the
    // document: features that name one are refused before any text changes, never applied without it.
    bool NamesAMissingStyle() const;

private:
    // The stroke width means nothing without a stroke colour.
    void DropStrokeWidthWithoutStroke();
};

// The name of a host language value, and the first value of a name (exact); none outside the
// table.
std::optional<std::string> LanguageName(int value);
std::optional<int> LanguageValue(const std::string& name);

// A text as the text engine takes names: UTF-16 with a terminating zero.
std::vector<ASUnicode> AIUnicodeToASUnicode(const ai::UnicodeString& text);

// The document's text resources; null without a document or when the host refuses.
ATE::IDocumentTextResources DocumentTextResources();

// Whether the document has the named character (or paragraph) style.
bool TextStyleExists(const std::string& name, bool isCharStyle);

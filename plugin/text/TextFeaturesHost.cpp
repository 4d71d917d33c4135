// The text-feature record against the host's text engine: reading character and paragraph
// features, named styles and ranges, and applying a record to features and to text.
#include <algorithm>
#include <array>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "AIATEPaint.h"
#include "AIDocument.h"
#include "core/Suites.h"
#include "core/TextHelpers.h"
#include "text/FontSearch.h"
#include "text/TextFeatures.h"
#include "text/TextRanges.h"

namespace {

using ATE::ICharFeatures;
using ATE::IParaFeatures;

template <typename T>
using Member = std::optional<T> TextFeatures::*;

// The names of a host code, by code.
constexpr std::array<const char*, 3> kCharDirections = {"default", "ltr", "rtl"};
constexpr std::array<const char*, 3> kBaselineOptions = {"none", "superScript", "subScript"};
constexpr std::array<const char*, 3> kLineJoins = {"miter", "round", "bevel"};
constexpr std::array<const char*, 4> kKerningTypes = {"noKerning", "metric", "optical", "metricRomanOnly"};
constexpr std::array<const char*, 7> kJustifications = {"left",      "right",      "center", "fullLeft",
                                                        "fullRight", "fullCenter", "full"};
constexpr std::array<const char*, 3> kComposers = {"LatinCJKComposer", "OptycaComposer", "Adornment"};

// One feature of the host's features object kind `Features` kept as a value of type T.
template <typename Features, typename T, typename Value>
struct HostFeature {
    Member<Value> member;
    T (Features::*get)(bool*) const;
    void (Features::*set)(T);
};

template <typename Features>
using NumberFeature = HostFeature<Features, ASReal, double>;
template <typename Features>
using FlagFeature = HostFeature<Features, bool, bool>;

// A feature held as a code of the host and a name in the record.
template <typename Features>
struct CodeFeature {
    Member<std::string> member;
    ASInt32 (Features::*get)(bool*) const;
    void (Features::*set)(ASInt32);
    std::span<const char* const> names;
    bool asciiCaseIgnored;
};

// Leading and stroke width are read here and applied with their on/off partners below.
constexpr NumberFeature<ICharFeatures> kCharNumbers[] = {
    {&TextFeatures::fontSize, &ICharFeatures::GetFontSize, &ICharFeatures::SetFontSize},
    {&TextFeatures::baselineShift, &ICharFeatures::GetBaselineShift, &ICharFeatures::SetBaselineShift},
    {&TextFeatures::horizontalScale, &ICharFeatures::GetHorizontalScale, &ICharFeatures::SetHorizontalScale},
    {&TextFeatures::verticalScale, &ICharFeatures::GetVerticalScale, &ICharFeatures::SetVerticalScale},
    {&TextFeatures::rotation, &ICharFeatures::GetCharacterRotation, &ICharFeatures::SetCharacterRotation},
};
constexpr FlagFeature<ICharFeatures> kCharFlags[] = {
    {&TextFeatures::overprintFill, &ICharFeatures::GetFillOverPrint, &ICharFeatures::SetFillOverPrint},
    {&TextFeatures::overprintStroke, &ICharFeatures::GetStrokeOverPrint, &ICharFeatures::SetStrokeOverPrint},
};
constexpr CodeFeature<ICharFeatures> kCharCodes[] = {
    {&TextFeatures::charDirection, &ICharFeatures::GetDirOverride, &ICharFeatures::SetDirOverride,
     kCharDirections, true},
    {&TextFeatures::baselineOption, &ICharFeatures::GetFontBaselineOption,
     &ICharFeatures::SetFontBaselineOption, kBaselineOptions, false},
    {&TextFeatures::strokeJoin, &ICharFeatures::GetLineJoin, &ICharFeatures::SetLineJoin, kLineJoins, false},
    {&TextFeatures::kerningType, &ICharFeatures::GetAutoKernType, &ICharFeatures::SetAutoKernType,
     kKerningTypes, false},
};
constexpr NumberFeature<IParaFeatures> kParaNumbers[] = {
    {&TextFeatures::firstLineIndent, &IParaFeatures::GetFirstLineIndent, &IParaFeatures::SetFirstLineIndent},
};
constexpr FlagFeature<IParaFeatures> kParaFlags[] = {
    {&TextFeatures::everyLineComposer, &IParaFeatures::GetEveryLineComposer,
     &IParaFeatures::SetEveryLineComposer},
};
constexpr CodeFeature<IParaFeatures> kParaCodes[] = {
    {&TextFeatures::justification, &IParaFeatures::GetJustification, &IParaFeatures::SetJustification,
     kJustifications, false},
    {&TextFeatures::composerEngine, &IParaFeatures::GetComposerEngine, &IParaFeatures::SetComposerEngine,
     kComposers, false},
};

// Runs one step against the text engine; a refusal skips that step only.
template <typename Step>
void Guarded(Step step) {
    try {
        step();
    } catch (const ATE::Exception&) {
        // The host keeps what it had for this feature.
    }
}

// Reads one feature: set to the mapped value when the host reports it assigned, unset when not,
// when the mapping has no value for it, or when the host refuses.
template <typename Features, typename T, typename Value, typename Map>
void ReadFeature(const Features& features, T (Features::*get)(bool*) const, std::optional<Value>& out,
                 Map map) {
    try {
        bool assigned = false;
        const T value = (features.*get)(&assigned);
        out = assigned ? map(value) : std::nullopt;
    } catch (const ATE::Exception&) {
        out.reset();
    }
}

template <typename Value>
std::optional<Value> Same(Value value) {
    return value;
}

std::optional<std::string> CodeName(std::span<const char* const> names, ASInt32 code) {
    if (code < 0 || static_cast<size_t>(code) >= names.size()) {
        return std::nullopt;
    }
    return names[static_cast<size_t>(code)];
}

std::optional<ASInt32> NameCode(std::span<const char* const> names, const std::string& name) {
    for (size_t i = 0; i < names.size(); ++i) {
        if (name == names[i]) {
            return static_cast<ASInt32>(i);
        }
    }
    return std::nullopt;
}

// A direction code of paragraphs and stories: 0 is left to right (true), 1 right to left (false).
std::optional<bool> LeftToRightOfCode(ASInt32 code) {
    return code == 0 ? std::optional(true) : code == 1 ? std::optional(false) : std::nullopt;
}

// The plain features of one table kind, read into or written from the record.
template <typename Features, size_t N, size_t F, size_t C>
void ReadPlain(TextFeatures& record, const Features& features, const NumberFeature<Features> (&numbers)[N],
               const FlagFeature<Features> (&flags)[F], const CodeFeature<Features> (&codes)[C]) {
    for (const auto& row : numbers) {
        ReadFeature(features, row.get, record.*row.member, Same<double>);
    }
    for (const auto& row : flags) {
        ReadFeature(features, row.get, record.*row.member, Same<bool>);
    }
    for (const auto& row : codes) {
        ReadFeature(features, row.get, record.*row.member,
                    [&](ASInt32 code) { return CodeName(row.names, code); });
    }
}

template <typename Features, size_t N, size_t F, size_t C>
void WritePlain(const TextFeatures& record, Features& features, const NumberFeature<Features> (&numbers)[N],
                const FlagFeature<Features> (&flags)[F], const CodeFeature<Features> (&codes)[C]) {
    for (const auto& row : numbers) {
        if (const auto& value = record.*row.member) {
            Guarded([&] { (features.*row.set)(*value); });
        }
    }
    for (const auto& row : flags) {
        if (const auto& value = record.*row.member) {
            Guarded([&] { (features.*row.set)(*value); });
        }
    }
    for (const auto& row : codes) {
        const auto& name = record.*row.member;
        if (!name) {
            continue;
        }
        if (const auto code = NameCode(row.names, row.asciiCaseIgnored ? AsciiLowerCase(*name) : *name)) {
            Guarded([&] { (features.*row.set)(*code); });
        }
    }
}

// A fill or stroke paint as a model colour; none when it is not assigned or can't be converted.
void ReadPaint(const ICharFeatures& features, ATE::IApplicationPaint (ICharFeatures::*get)(bool*) const,
               std::optional<PFieldColor>& out) {
    try {
        bool assigned = false;
        const ATE::IApplicationPaint paint = (features.*get)(&assigned);
        AIColor color{};
        if (!assigned || sAIATEPaint == nullptr ||
            sAIATEPaint->GetAIColor(paint.GetRef(), &color) != kNoErr) {
            out.reset();
            return;
        }
        out = PFieldColor(color);
    } catch (const ATE::Exception&) {
        out.reset();
    }
}

// Turns a fill or stroke off for no colour; otherwise gives it the colour and turns it on, only
// once the colour has become a paint, so that a colour the host can't take leaves the text's paint
// as it was.
void WritePaint(ICharFeatures& features, const std::optional<PFieldColor>& color,
                void (ICharFeatures::*setOn)(bool),
                void (ICharFeatures::*setPaint)(const ATE::IApplicationPaint&)) {
    if (!color) {
        return;
    }
    if (color->colorSpace == "None" || color->swatchName == "[None]") {
        Guarded([&] { (features.*setOn)(false); });
        return;
    }
    const AIColor host = color->HostColor();
    ApplicationPaintRef made = nullptr;
    if (host.kind == kNoneColor || sAIATEPaint == nullptr ||
        sAIATEPaint->CreateATEApplicationPaint(&host, &made) != kNoErr) {
        return;
    }
    const ATE::IApplicationPaint paint(made);
    Guarded([&] {
        (features.*setPaint)(paint);
        (features.*setOn)(true);
    });
}

// The first name of a list of named styles; none for an empty list or name.
template <typename Iterator, typename Styles>
std::optional<std::string> FirstStyleName(const Styles& styles) {
    constexpr ASInt32 kNameBuffer = 65535;
    try {
        if (styles.IsNull() || styles.IsEmpty()) {
            return std::nullopt;
        }
        const Iterator iterator(styles);
        if (iterator.IsDone()) {
            return std::nullopt;
        }
        std::vector<ASUnicode> buffer(kNameBuffer);
        const ASInt32 copied = iterator.Item().GetName(buffer.data(), kNameBuffer);
        const std::u16string units(buffer.begin(),
                                   buffer.begin() + std::clamp<ASInt32>(copied, 0, kNameBuffer));
        if (units.empty()) {
            return std::nullopt;
        }
        return ai::UnicodeString(units).as_UTF8();
    } catch (const ATE::Exception&) {
        return std::nullopt;
    }
}

// The fonts that applying one record gives characters, searched once per record, per family and
// per style rather than once per character.
class FontChooser {
public:
    explicit FontChooser(const TextFeatures& features) : fFeatures(features) {
        if (features.fontName) {
            const std::vector<AIFontKey> named = SearchFontName(*features.fontName);
            fNamed = named.empty() ? nullptr : named.front();
        }
        if (fNamed == nullptr && features.fontFamily) {
            fFamily.fonts = SearchFontFamily(*features.fontFamily);
        }
    }

    bool ChangesFonts() const {
        return fNamed != nullptr || !fFamily.fonts.empty() || fFeatures.fontStyle.has_value();
    }

    // The font for a character with these local features; null to keep its font.
    AIFontKey FontFor(const ICharFeatures& local) {
        if (fNamed != nullptr) {
            return fNamed;
        }
        std::string name;
        std::string family;
        std::string style;
        const bool ownFont = CharFeaturesToFont(local, name, family, style);
        if (!fFamily.fonts.empty()) {
            return fFamily.Styled(fFeatures.fontStyle.value_or(ownFont ? style : std::string()));
        }
        if (!fFeatures.fontStyle || !ownFont) {
            return nullptr;
        }
        auto [cached, added] = fFamilies.try_emplace(family);
        if (added) {
            cached->second.fonts = SearchFontFamily(family);
        }
        return cached->second.Styled(*fFeatures.fontStyle);
    }

private:
    struct Family {
        std::vector<AIFontKey> fonts;
        std::map<std::string, AIFontKey> byStyle;

        AIFontKey Styled(const std::string& style) {
            auto [cached, added] = byStyle.try_emplace(style);
            if (added) {
                cached->second = SearchFontStyle(fonts, style);
            }
            return cached->second;
        }
    };

    const TextFeatures& fFeatures;
    AIFontKey fNamed = nullptr;
    Family fFamily;
    std::map<std::string, Family> fFamilies;
};

// Gives one character (a surrogate pair as one) its font. A null font, or one the text engine
// can't take, leaves the character's font as it was.
void SetCharacterFont(ATE::ITextRange& character, FontChooser& chooser) {
    const AIFontKey key = chooser.FontFor(character.GetUniqueLocalCharFeatures());
    const ATE::IFont font = EngineFont(key);
    if (font.IsNull()) {
        return;
    }
    ICharFeatures features;
    features.SetFont(font);
    character.ReplaceOrAddLocalCharFeatures(features);
}

// The text's units and the one after it, for finding surrogate pairs.
std::u16string RangeUnits(const ATE::ITextRange& text) {
    ATE::ITextRange range = text.Clone();
    range.SetEnd(range.GetEnd() + 1);
    const ASInt32 size = std::max<ASInt32>(range.GetSize(), 0);
    std::vector<ASUnicode> buffer(static_cast<size_t>(size));
    const ASInt32 copied = size == 0 ? 0 : range.GetContents(buffer.data(), size);
    return std::u16string(buffer.begin(), buffer.begin() + std::clamp<ASInt32>(copied, 0, size));
}

}  // namespace

void TextFeatures::ReadCharFeatures(const ICharFeatures& features) {
    ReadPlain(*this, features, kCharNumbers, kCharFlags, kCharCodes);
    std::string name;
    std::string family;
    std::string style;
    if (CharFeaturesToFont(features, name, family, style)) {
        fontName = name;
        fontFamily = family;
        fontStyle = style;
    }
    ReadPaint(features, &ICharFeatures::GetFillColor, fillColor);
    ReadPaint(features, &ICharFeatures::GetStrokeColor, strokeColor);
    ReadFeature(features, &ICharFeatures::GetAutoLeading, autoLeading, Same<bool>);
    ReadFeature(features, &ICharFeatures::GetLeading, leading, Same<double>);
    ReadFeature(features, &ICharFeatures::GetStrikethroughPosition, strikethrough, [](ASInt32 code) {
        return code == 1 ? std::optional(true) : code == 0 || code == 2 ? std::optional(false) : std::nullopt;
    });
    ReadFeature(features, &ICharFeatures::GetUnderlinePosition, underline, [](ASInt32 code) {
        return code == 1 || code == 2 ? std::optional(true) : code == 0 ? std::optional(false) : std::nullopt;
    });
    ReadFeature(features, &ICharFeatures::GetLineWidth, strokeWidth, Same<double>);
    DropStrokeWidthWithoutStroke();
    ReadFeature(features, &ICharFeatures::GetTracking, tracking, Same<int>);
    ReadFeature(features, &ICharFeatures::GetLanguage, language, LanguageName);
}

void TextFeatures::ReadParaFeatures(const IParaFeatures& features) {
    ReadPlain(*this, features, kParaNumbers, kParaFlags, kParaCodes);
    ReadFeature(features, &IParaFeatures::GetParagraphDirection, leftToRight, LeftToRightOfCode);
}

void TextFeatures::SetCharFeatures(ICharFeatures& features, bool withFont) const {
    if (withFont) {
        AIFontKey key = nullptr;
        if (fontName) {
            const std::vector<AIFontKey> named = SearchFontName(*fontName);
            key = named.empty() ? nullptr : named.front();
        }
        if (key == nullptr && fontFamily) {
            key = SearchFontStyle(SearchFontFamily(*fontFamily), fontStyle.value_or(""));
        }
        // A family without fonts finds none: the features keep the font they had.
        const ATE::IFont font = EngineFont(key);
        if (!font.IsNull()) {
            Guarded([&] { features.SetFont(font); });
        }
    }
    WritePaint(features, fillColor, &ICharFeatures::SetFill, &ICharFeatures::SetFillColor);
    WritePaint(features, strokeColor, &ICharFeatures::SetStroke, &ICharFeatures::SetStrokeColor);
    // A leading alone switches auto leading off; with auto leading on as well (as text set with
    // auto leading reads) auto leading stays on and the leading is kept for when it goes off.
    if (leading) {
        Guarded([&] {
            features.SetAutoLeading(autoLeading.value_or(false));
            features.SetLeading(*leading);
        });
    } else if (autoLeading) {
        Guarded([&] { features.SetAutoLeading(*autoLeading); });
    }
    if (strikethrough) {
        Guarded([&] { features.SetStrikethroughPosition(*strikethrough ? 1 : 0); });
    }
    if (underline) {
        Guarded([&] { features.SetUnderlinePosition(*underline ? 1 : 0); });
    }
    if (strokeWidth) {
        Guarded([&] {
            features.SetStroke(*strokeWidth != 0);
            if (*strokeWidth != 0) {
                features.SetLineWidth(*strokeWidth);
            }
        });
    }
    WritePlain(*this, features, kCharNumbers, kCharFlags, kCharCodes);
    if (tracking) {
        Guarded([&] { features.SetTracking(*tracking); });
    }
    if (const std::optional<int> value = language ? LanguageValue(*language) : std::nullopt) {
        Guarded([&] { features.SetLanguage(*value); });
    }
}

void TextFeatures::SetParaFeatures(IParaFeatures& features, bool withDefaultChar) const {
    WritePlain(*this, features, kParaNumbers, kParaFlags, kParaCodes);
    if (leftToRight) {
        Guarded([&] { features.SetParagraphDirection(*leftToRight ? 0 : 1); });
    }
    if (withDefaultChar) {
        Guarded([&] {
            ICharFeatures defaults;
            SetCharFeatures(defaults, true);
            features.SetDefaultCharFeatures(defaults);
        });
    }
}

bool TextStyleExists(const std::string& name, bool isCharStyle) {
    const std::vector<ASUnicode> units = AIUnicodeToASUnicode(ai::UnicodeString::FromUTF8(name));
    try {
        const ATE::IDocumentTextResources resources = DocumentTextResources();
        if (resources.IsNull()) {
            return false;
        }
        return isCharStyle ? !resources.GetCharStyle(units.data()).IsNull()
                           : !resources.GetParaStyle(units.data()).IsNull();
    } catch (const ATE::Exception&) {
        return false;
    }
}

bool TextFeatures::NamesAMissingStyle() const {
    return (charStyle && !TextStyleExists(*charStyle, true)) ||
           (paraStyle && !TextStyleExists(*paraStyle, false));
}

TextFeatures::TextFeatures(const std::string& name, bool isCharStyle) {
    const std::vector<ASUnicode> units = AIUnicodeToASUnicode(ai::UnicodeString::FromUTF8(name));
    try {
        const ATE::IDocumentTextResources resources = DocumentTextResources();
        if (resources.IsNull()) {
            return;
        }
        if (isCharStyle) {
            const ATE::ICharStyle style = resources.GetCharStyle(units.data());
            if (!style.IsNull()) {
                ReadCharFeatures(style.GetFeatures());
            }
            return;
        }
        const ATE::IParaStyle style = resources.GetParaStyle(units.data());
        if (!style.IsNull()) {
            ReadParaFeatures(style.GetFeatures());
        }
    } catch (const ATE::Exception&) {
        // What was read before the refusal stands.
    }
}

TextFeatures::TextFeatures(const ATE::ITextRange& range, bool localOnly) {
    ICharFeatures chars(nullptr);
    IParaFeatures paras(nullptr);
    try {
        chars = localOnly ? range.GetUniqueLocalCharFeatures() : range.GetUniqueCharFeatures();
        paras = localOnly ? range.GetUniqueLocalParaFeatures() : range.GetUniqueParaFeatures();
    } catch (const ATE::Exception&) {
        return;
    }
    ReadCharFeatures(chars);
    ReadParaFeatures(paras);
    Guarded([&] { charStyle = FirstStyleName<ATE::ICharStylesIterator>(range.GetNamedCharStyles()); });
    Guarded([&] { paraStyle = FirstStyleName<ATE::IParaStylesIterator>(range.GetNamedParaStyles()); });
    Guarded([&] {
        const ATE::ITextFramesIterator frames = range.GetTextFrames();
        if (frames.IsNull() || frames.IsDone()) {
            return;
        }
        storyDirection = LeftToRightOfCode(frames.Item().GetStoryDirection());
    });
}

bool TextFeatures::SetTextFeatures(const ATE::ITextRange& range) const {
    ICharFeatures chars;
    SetCharFeatures(chars, false);
    ATE::ITextRange text = range;
    for (const auto& [name, set] : {std::pair{&paraStyle, &ATE::ITextRange::SetNamedParaStyle},
                                    std::pair{&charStyle, &ATE::ITextRange::SetNamedCharStyle}}) {
        if (const auto& styleName = *name) {
            const std::vector<ASUnicode> units =
                AIUnicodeToASUnicode(ai::UnicodeString::FromUTF8(*styleName));
            Guarded([&] { (text.*set)(units.data()); });
        }
    }
    ATE::IParagraphsIterator paragraphs = text.GetParagraphs();
    if (paragraphs.IsNull() || paragraphs.IsEmpty()) {
        return false;
    }
    for (; paragraphs.IsNotDone(); paragraphs.Next()) {
        const ATE::IParagraph paragraph = paragraphs.Item();
        ATE::ITextRange paragraphText = paragraph.IsNull() ? ATE::ITextRange() : paragraph.GetTextRange();
        if (paragraphText.IsNull()) {
            continue;
        }
        IParaFeatures local = paragraphText.GetUniqueLocalParaFeatures();
        SetParaFeatures(local, false);
        paragraphText.ClearLocalParaFeatures();
        paragraphText.SetLocalParaFeatures(local);
    }
    text.ReplaceOrAddLocalCharFeatures(chars);

    FontChooser chooser(*this);
    if (chooser.ChangesFonts()) {
        ATE::IStory story = text.GetStory();
        const SuspendedReflow suspended(story);
        const std::u16string units = RangeUnits(text);
        const ASInt32 start = text.GetStart();
        for (ASInt32 position = start; position < text.GetEnd();) {
            const size_t at = static_cast<size_t>(position - start);
            const bool pair =
                at + 1 < units.size() && IsHighSurrogate(units[at]) && IsLowSurrogate(units[at + 1]);
            const ASInt32 width = pair ? 2 : 1;
            Guarded([&] {
                ATE::ITextRange character = story.GetTextRange(position, position + width);
                SetCharacterFont(character, chooser);
            });
            position += width;
        }
    }

    if (storyDirection) {
        Guarded([&] {
            for (ATE::ITextFramesIterator frames = text.GetTextFrames();
                 !frames.IsNull() && frames.IsNotDone(); frames.Next()) {
                frames.Item().SetStoryDirection(*storyDirection ? 0 : 1);
            }
        });
    }
    return true;
}

std::vector<ASUnicode> AIUnicodeToASUnicode(const ai::UnicodeString& text) {
    const std::u16string units = text.as_UTF16();
    std::vector<ASUnicode> out(units.begin(), units.end());
    out.push_back(0);
    return out;
}

ATE::IDocumentTextResources DocumentTextResources() {
    DocumentTextResourcesRef resources = nullptr;
    if (sAIDocument == nullptr || sAIDocument->GetDocumentTextResources(&resources) != kNoErr) {
        return {};
    }
    return ATE::IDocumentTextResources(resources);
}

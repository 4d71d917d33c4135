#include "text/EcmaProperties.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace ecma {
namespace {

// General category names ECMAScript accepts, long and short, with PCRE2's (short) name.
struct NamePair {
    std::u32string_view ecma;
    std::u32string_view pcre;
};
constexpr NamePair kCategories[] = {
    {U"Cased_Letter", U"LC"},
    {U"LC", U"LC"},
    {U"Close_Punctuation", U"Pe"},
    {U"Pe", U"Pe"},
    {U"Connector_Punctuation", U"Pc"},
    {U"Pc", U"Pc"},
    {U"Control", U"Cc"},
    {U"Cc", U"Cc"},
    {U"cntrl", U"Cc"},
    {U"Currency_Symbol", U"Sc"},
    {U"Sc", U"Sc"},
    {U"Dash_Punctuation", U"Pd"},
    {U"Pd", U"Pd"},
    {U"Decimal_Number", U"Nd"},
    {U"Nd", U"Nd"},
    {U"digit", U"Nd"},
    {U"Enclosing_Mark", U"Me"},
    {U"Me", U"Me"},
    {U"Final_Punctuation", U"Pf"},
    {U"Pf", U"Pf"},
    {U"Format", U"Cf"},
    {U"Cf", U"Cf"},
    {U"Initial_Punctuation", U"Pi"},
    {U"Pi", U"Pi"},
    {U"Letter", U"L"},
    {U"L", U"L"},
    {U"Letter_Number", U"Nl"},
    {U"Nl", U"Nl"},
    {U"Line_Separator", U"Zl"},
    {U"Zl", U"Zl"},
    {U"Lowercase_Letter", U"Ll"},
    {U"Ll", U"Ll"},
    {U"Mark", U"M"},
    {U"M", U"M"},
    {U"Combining_Mark", U"M"},
    {U"Math_Symbol", U"Sm"},
    {U"Sm", U"Sm"},
    {U"Modifier_Letter", U"Lm"},
    {U"Lm", U"Lm"},
    {U"Modifier_Symbol", U"Sk"},
    {U"Sk", U"Sk"},
    {U"Nonspacing_Mark", U"Mn"},
    {U"Mn", U"Mn"},
    {U"Number", U"N"},
    {U"N", U"N"},
    {U"Open_Punctuation", U"Ps"},
    {U"Ps", U"Ps"},
    {U"Other", U"C"},
    {U"C", U"C"},
    {U"Other_Letter", U"Lo"},
    {U"Lo", U"Lo"},
    {U"Other_Number", U"No"},
    {U"No", U"No"},
    {U"Other_Punctuation", U"Po"},
    {U"Po", U"Po"},
    {U"Other_Symbol", U"So"},
    {U"So", U"So"},
    {U"Paragraph_Separator", U"Zp"},
    {U"Zp", U"Zp"},
    {U"Private_Use", U"Co"},
    {U"Co", U"Co"},
    {U"Punctuation", U"P"},
    {U"P", U"P"},
    {U"punct", U"P"},
    {U"Separator", U"Z"},
    {U"Z", U"Z"},
    {U"Space_Separator", U"Zs"},
    {U"Zs", U"Zs"},
    {U"Spacing_Mark", U"Mc"},
    {U"Mc", U"Mc"},
    {U"Surrogate", U"Cs"},
    {U"Cs", U"Cs"},
    {U"Symbol", U"S"},
    {U"S", U"S"},
    {U"Titlecase_Letter", U"Lt"},
    {U"Lt", U"Lt"},
    {U"Unassigned", U"Cn"},
    {U"Cn", U"Cn"},
    {U"Uppercase_Letter", U"Lu"},
    {U"Lu", U"Lu"},
};

// The binary properties ECMAScript knows (those PCRE2 lacks fail to compile).
constexpr std::u32string_view kBinaryProperties[] = {
    U"ASCII_Hex_Digit",
    U"AHex",
    U"Alphabetic",
    U"Alpha",
    U"Bidi_Control",
    U"Bidi_C",
    U"Bidi_Mirrored",
    U"Bidi_M",
    U"Case_Ignorable",
    U"CI",
    U"Cased",
    U"Changes_When_Casefolded",
    U"CWCF",
    U"Changes_When_Casemapped",
    U"CWCM",
    U"Changes_When_Lowercased",
    U"CWL",
    U"Changes_When_NFKC_Casefolded",
    U"CWKCF",
    U"Changes_When_Titlecased",
    U"CWT",
    U"Changes_When_Uppercased",
    U"CWU",
    U"Dash",
    U"Default_Ignorable_Code_Point",
    U"DI",
    U"Deprecated",
    U"Dep",
    U"Diacritic",
    U"Dia",
    U"Emoji",
    U"Emoji_Component",
    U"EComp",
    U"Emoji_Modifier",
    U"EMod",
    U"Emoji_Modifier_Base",
    U"EBase",
    U"Emoji_Presentation",
    U"EPres",
    U"Extended_Pictographic",
    U"ExtPict",
    U"Extender",
    U"Ext",
    U"Grapheme_Base",
    U"Gr_Base",
    U"Grapheme_Extend",
    U"Gr_Ext",
    U"Hex_Digit",
    U"Hex",
    U"IDS_Binary_Operator",
    U"IDSB",
    U"IDS_Trinary_Operator",
    U"IDST",
    U"ID_Continue",
    U"IDC",
    U"ID_Start",
    U"IDS",
    U"Ideographic",
    U"Ideo",
    U"Join_Control",
    U"Join_C",
    U"Logical_Order_Exception",
    U"LOE",
    U"Lowercase",
    U"Lower",
    U"Math",
    U"Noncharacter_Code_Point",
    U"NChar",
    U"Pattern_Syntax",
    U"Pat_Syn",
    U"Pattern_White_Space",
    U"Pat_WS",
    U"Quotation_Mark",
    U"QMark",
    U"Radical",
    U"Regional_Indicator",
    U"RI",
    U"Sentence_Terminal",
    U"STerm",
    U"Soft_Dotted",
    U"SD",
    U"Terminal_Punctuation",
    U"Term",
    U"Unified_Ideograph",
    U"UIdeo",
    U"Uppercase",
    U"Upper",
    U"Variation_Selector",
    U"VS",
    U"White_Space",
    U"space",
    U"XID_Continue",
    U"XIDC",
    U"XID_Start",
    U"XIDS",
};

std::u32string_view CategoryName(std::u32string_view name) {
    for (const NamePair& pair : kCategories) {
        if (pair.ecma == name) {
            return pair.pcre;
        }
    }
    return {};
}

bool IsPropertyNameCharacter(char32_t c) {
    return IsAsciiAlnum(c) || c == '_';
}

}  // namespace

std::u32string Literal(char32_t c) {
    if (IsAsciiAlnum(c)) {
        return std::u32string(1, c);
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::u32string hex;
    for (char32_t rest = c; rest != 0 || hex.empty(); rest >>= 4) {
        hex.insert(hex.begin(), static_cast<char32_t>(kDigits[rest & 0xF]));
    }
    return U"\\x{" + hex + U"}";
}

std::u32string RangesText(std::span<const CodeRange> ranges) {
    std::u32string text;
    for (const CodeRange& range : ranges) {
        text += Literal(range.first);
        if (range.last != range.first) {
            text += U"-" + Literal(range.last);
        }
    }
    return text;
}

std::vector<CodeRange> Complement(std::span<const CodeRange> ranges) {
    std::vector<CodeRange> result;
    char32_t next = 0;
    for (const CodeRange& range : ranges) {
        if (range.first > next) {
            result.push_back({next, range.first - 1});
        }
        next = range.last + 1;
    }
    if (next <= kLastCodePoint) {
        result.push_back({next, kLastCodePoint});
    }
    return result;
}

std::u32string PropertySet(std::u32string_view body, bool negated) {
    const std::size_t equals = body.find(U'=');
    const std::u32string_view name = body.substr(0, equals);
    const std::u32string_view value = equals == std::u32string_view::npos ? U"" : body.substr(equals + 1);
    const auto wellFormed = [](std::u32string_view text) {
        return !text.empty() && std::all_of(text.begin(), text.end(), IsPropertyNameCharacter);
    };
    if (!wellFormed(name) || (equals != std::u32string_view::npos && !wellFormed(value))) {
        Refuse();
    }
    const std::u32string p = negated ? U"\\P{" : U"\\p{";
    if (equals != std::u32string_view::npos) {
        if (name == U"General_Category" || name == U"gc") {
            const std::u32string_view category = CategoryName(value);
            if (category.empty()) {
                Refuse();
            }
            return p + std::u32string(category) + U"}";
        }
        if (name == U"Script" || name == U"sc") {
            return p + U"sc:" + std::u32string(value) + U"}";
        }
        if (name == U"Script_Extensions" || name == U"scx") {
            return p + U"scx:" + std::u32string(value) + U"}";
        }
        Refuse();
    }
    if (const std::u32string_view category = CategoryName(name); !category.empty()) {
        return p + std::u32string(category) + U"}";
    }
    if (name == U"Any") {
        return negated ? U"" : RangesText(std::array{CodeRange{0, kLastCodePoint}});
    }
    if (name == U"ASCII") {
        return RangesText(std::array{negated ? CodeRange{0x80, kLastCodePoint} : CodeRange{0, 0x7F}});
    }
    if (name == U"Assigned") {
        return negated ? U"\\p{Cn}" : U"\\P{Cn}";
    }
    if (std::find(std::begin(kBinaryProperties), std::end(kBinaryProperties), name) ==
        std::end(kBinaryProperties)) {
        Refuse();
    }
    return p + std::u32string(name) + U"}";
}

}  // namespace ecma

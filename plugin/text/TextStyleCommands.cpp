// "getTextStyle" reads the features of a named character or paragraph style, or of the first place
// where a text occurs; "editTextStyle" creates or changes named styles from features given as JSON
// or taken from found text; "getFontList" lists the host's fonts with their names.
#include <algorithm>

#include "core/Failures.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"
#include "text/FindText.h"
#include "text/FontSearch.h"
#include "text/Overset.h"
#include "text/TextFeatures.h"

namespace {

constexpr const char* kNoSearchText = "No search text found";
constexpr const char* kNoText = "No text found";
constexpr const char* kNoInputStyle = "No input style found";

// A style's name: the text engine takes it as far as its first NUL character, so a name holding one
// would read or change another style than the one named; such a name ends the command.
std::string ReadStyleName(const json& request, std::string_view key) {
    std::string name = ReadTextStrictly(request, key);
    RequireNoNul(name, key);
    return name;
}

// The keys both style commands share; a key of another type than text ends the command.
struct StyleRequest {
    explicit StyleRequest(const json& request)
        : charStyle(ReadStyleName(request, "charStyle")),
          paraStyle(ReadStyleName(request, "paraStyle")),
          tagSearch(ReadTextStrictly(request, "tagSearch")),
          searchText(ReadTextStrictly(request, "searchText")) {}

    std::string charStyle;
    std::string paraStyle;
    std::string tagSearch;
    std::string searchText;
};

// The features of the text the request finds; none, with the reply's error, when it finds none.
std::optional<TextFeatures> FeaturesOfFoundText(const StyleRequest& request, json& reply) {
    reply["tagSearch"] = request.tagSearch;
    if (request.searchText.empty()) {
        reply["error"] = kNoSearchText;
        return std::nullopt;
    }
    ATE::ITextRange found;
    if (!FindTextRange(request.tagSearch, request.searchText, found)) {
        reply["error"] = kNoText;
        return std::nullopt;
    }
    return TextFeatures(found, false);
}

std::vector<ASUnicode> EngineName(const std::string& name) {
    return AIUnicodeToASUnicode(ai::UnicodeString::FromUTF8(name));
}

// Finds the named style and sets (replace) or merges its features, or creates it with them; the
// style, null when it can be neither found nor created.
template <typename Style, typename Features>
Style EditStyle(ATE::IDocumentTextResources& resources, const std::string& name, const Features& features,
                bool replace, Style (ATE::IDocumentTextResources::*get)(const ASUnicode*) const,
                Style (ATE::IDocumentTextResources::*create)(const ASUnicode*, const Features&)) {
    const std::vector<ASUnicode> units = EngineName(name);
    try {
        Style style = (resources.*get)(units.data());
        if (style.IsNull()) {
            return (resources.*create)(units.data(), features);
        }
        if (replace) {
            style.SetFeatures(features);
        } else {
            style.ReplaceOrAddFeatures(features);
        }
        return style;
    } catch (const ATE::Exception&) {
        return Style();
    }
}

// The font's names that can be written as JSON text; a name that is not valid UTF-8 is left out.
json FontEntry(AIFontKey font) {
    json entry = json::object();
    for (const FontNameRow& row : kFontNameRows) {
        const std::optional<std::string> name = ReadFontName(font, row.key);
        if (!name) {
            continue;
        }
        try {
            (void)json{{"inValue", *name}}.dump(-1, ' ', false, json::error_handler_t::strict);
        } catch (const json::type_error&) {
            continue;
        }
        entry[std::string(row.key)] = *name;
    }
    return entry;
}

}  // namespace

std::string PlimUtilsPlugin::GetTextStyle(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("getTextStyle", parsed);
    const StyleRequest keys(parsed);
    if (!keys.charStyle.empty() || !keys.paraStyle.empty()) {
        const bool isCharStyle = !keys.charStyle.empty();
        const std::string& name = isCharStyle ? keys.charStyle : keys.paraStyle;
        reply[isCharStyle ? "charStyle" : "paraStyle"] = name;
        if (!TextStyleExists(name, isCharStyle)) {
            reply["error"] = kNamedStyleNotFound;
        } else {
            reply["textFeatures"] = TextFeatures(name, isCharStyle).WriteJson();
        }
    } else if (keys.searchText.empty()) {
        reply["error"] = kNoSearchText;
    } else if (const std::optional<TextFeatures> found = FeaturesOfFoundText(keys, reply)) {
        reply["textFeatures"] = found->WriteJson();
    }
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::CreateTextStyle(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("editTextStyle", parsed);
    const StyleRequest keys(parsed);
    const bool replace = ReadBoolStrictly(parsed, "replace", false);
    std::optional<TextFeatures> features;
    if (!keys.tagSearch.empty()) {
        features = FeaturesOfFoundText(keys, reply);
        if (!features) {
            return DumpReply(reply);
        }
    } else if (const json* newStyle = FindKey(parsed, "newStyle")) {
        features = TextFeatures(*newStyle);
    }
    if (!features || !features->Check()) {
        reply["error"] = kNoInputStyle;
        return DumpReply(reply);
    }
    ATE::IDocumentTextResources resources = DocumentTextResources();
    if (resources.IsNull()) {
        reply["error"] = "Can't init document text resources";
        return DumpReply(reply);
    }
    const std::set<ArtObject*> oversetBefore = OversetTextArt();
    if (!keys.charStyle.empty()) {
        reply["charStyle"] = keys.charStyle;
        ATE::ICharFeatures chars;
        features->SetCharFeatures(chars, true);
        if (EditStyle(resources, keys.charStyle, chars, replace, &ATE::IDocumentTextResources::GetCharStyle,
                      &ATE::IDocumentTextResources::CreateCharStyleWithFeatures)
                .IsNull()) {
            reply["error"] = "Can't create a character style";
            return DumpReply(reply);
        }
    }
    if (!keys.paraStyle.empty()) {
        reply["paraStyle"] = keys.paraStyle;
        ATE::IParaFeatures paras;
        features->SetParaFeatures(paras, true);
        if (EditStyle(resources, keys.paraStyle, paras, replace, &ATE::IDocumentTextResources::GetParaStyle,
                      &ATE::IDocumentTextResources::CreateParaStyleWithFeatures)
                .IsNull()) {
            reply["error"] = "Can't create a paragraph style";
            return DumpReply(reply);
        }
    }
    if (!keys.charStyle.empty() || !keys.paraStyle.empty()) {
        const std::set<ArtObject*> oversetAfter = OversetTextArt();
        if (!std::includes(oversetBefore.begin(), oversetBefore.end(), oversetAfter.begin(),
                           oversetAfter.end())) {
            reply["warning"] = "Some text is overset because a text style was modified";
        }
    }
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::GetFontList(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("getFontList", parsed);
    json fonts = json::array();
    ai::int32 count = 0;
    if (sAIFont != nullptr && sAIFont->CountFonts(&count) == kNoErr) {
        for (ai::int32 i = 0; i < count; ++i) {
            AIFontKey font = nullptr;
            AIFontInfo info;
            if (sAIFont->IndexFontList(i, &font) != kNoErr || sAIFont->GetFontInfo(font, &info) != kNoErr) {
                break;
            }
            json entry = FontEntry(font);
            if (!entry.empty()) {
                fonts.push_back(std::move(entry));
            }
        }
    }
    reply["fontList"] = std::move(fonts);
    return DumpReply(reply);
}

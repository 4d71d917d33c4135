// "createGraphicStyle" makes or updates a named graphic style from a style record or from the style
// of found art; "editGraphicStyle" changes the styles of found art or a layer: a record applied as
// an edit script, a named style set or merged, or a search and replacement of paint fields and
// effects.
#include <algorithm>
#include <set>

#include "AIArtStyle.h"
#include "IAIUnicodeString.h"
#include "appearance/GStyle.h"
#include "appearance/ObjectAttributes.h"
#include "appearance/StyleLookups.h"
#include "appearance/StyleParts.h"
#include "art/TagSearch.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"

namespace {

constexpr const char* kUnreadableStyle = "Can't read the new style";
constexpr const char* kCantChangeNamed = "Can't change a named style";

// Swatches never taken as an art's first swatch colour.
constexpr const char* kExcludedSwatches[] = {"[None]", "[Registration]", "White", "Black"};

bool GraphicStyleNameExists(const std::string& name) {
    ai::int32 count = 0;
    if (sAIArtStyle->CountNamedArtStyles(&count) != kNoErr) {
        return false;
    }
    for (ai::int32 i = 0; i < count; ++i) {
        AIArtStyleHandle style = nullptr;
        ai::UnicodeString text;
        if (sAIArtStyle->GetNthNamedArtStyle(i, &style) == kNoErr &&
            sAIArtStyle->GetArtStyleName(style, text, nullptr) == kNoErr && text.as_UTF8() == name) {
            return true;
        }
    }
    return false;
}

// b merged into a; false when a host step fails.
bool MergeGraphicStyles(AIArtStyleHandle a, AIArtStyleHandle b, AIArtStyleHandle& out) {
    const ParsedStyle parsed(a);
    if (!parsed.Parsed() || sAIArtStyleParser->MergeStyleIntoParser(parsed.Get(), b) != kNoErr) {
        return false;
    }
    out = parsed.NewStyle();
    return out != nullptr;
}

void AddToRecolor(AIArtHandle art, std::vector<AIArtHandle>& out) {
    AIArtHandle child = nullptr;
    if (sAIArtStyle->IsColoredByMembers(art) && sAIArt->GetArtFirstChild(art, &child) == kNoErr &&
        child != nullptr) {
        for (; child != nullptr;) {
            AddToRecolor(child, out);
            if (sAIArt->GetArtSibling(child, &child) != kNoErr) {
                break;
            }
        }
        return;
    }
    if (std::find(out.begin(), out.end(), art) == out.end()) {
        out.push_back(art);
    }
}

// The art that carries the visible colours: groups coloured by their members stand for them.
std::vector<AIArtHandle> FindArtToRecolor(const ArtList& found) {
    std::vector<AIArtHandle> out;
    for (AIArtHandle art : found) {
        AddToRecolor(art, out);
    }
    return out;
}

// The first fill and stroke colours of the targets that name a document swatch.
void FirstSwatchColors(const std::vector<AIArtHandle>& targets, PFieldColor& fill, PFieldColor& stroke) {
    fill = PFieldColor();
    stroke = PFieldColor();
    for (AIArtHandle art : targets) {
        for (const PField& field : GStyle(art).paintFields) {
            const std::string& name = field.color.swatchName;
            const bool excluded = std::any_of(std::begin(kExcludedSwatches), std::end(kExcludedSwatches),
                                              [&](const char* swatch) { return name == swatch; });
            if (name.empty() || excluded || !field.isFillKnown || FindDocumentSwatch(name) == nullptr) {
                continue;
            }
            PFieldColor& slot = field.isFill ? fill : stroke;
            if (slot.colorSpace == "None") {
                slot = field.color;
            }
            if (fill.colorSpace != "None" && stroke.colorSpace != "None") {
                return;
            }
        }
    }
}

// --- Search -----------------------------------------------------------------------------------------

bool ColorFound(const PFieldColor& search, const PFieldColor& other) {
    if (search.colorSpace != other.colorSpace) {
        return false;
    }
    const std::string& space = search.colorSpace;
    if (space == "None" || space == "Grayscale" || space == "RGB" || space == "Lab" || space == "CMYK") {
        return search.channel_1 == other.channel_1 && search.channel_2 == other.channel_2 &&
               search.channel_3 == other.channel_3 && search.channel_4 == other.channel_4;
    }
    if (space == "Custom") {
        return search.swatchName == other.swatchName && search.customColorTint == other.customColorTint;
    }
    return (space == "Gradient" || space == "Pattern") && search.swatchName == other.swatchName;
}

template <typename T>
bool SameWhereBothSet(const std::optional<T>& a, const std::optional<T>& b, bool& compared) {
    if (!a || !b) {
        return true;
    }
    compared = true;
    return *a == *b;
}

bool StrokeFound(const PFieldStroke& search, const PFieldStroke& other) {
    bool compared = false;
    const auto text = [&](const std::string& a, const std::string& b) {
        if (a.empty() || b.empty()) {
            return true;
        }
        compared = true;
        return a == b;
    };
    const bool equal = SameWhereBothSet(search.width, other.width, compared) &&
                       SameWhereBothSet(search.dashVector, other.dashVector, compared) &&
                       SameWhereBothSet(search.lineCap, other.lineCap, compared) &&
                       SameWhereBothSet(search.lineJoin, other.lineJoin, compared) &&
                       text(search.strokeAlign, other.strokeAlign) &&
                       text(search.brushName, other.brushName) &&
                       SameWhereBothSet(search.adjustCorners, other.adjustCorners, compared) &&
                       SameWhereBothSet(search.flipAcross, other.flipAcross, compared) &&
                       SameWhereBothSet(search.flipAlong, other.flipAlong, compared) &&
                       SameWhereBothSet(search.beginArrow, other.beginArrow, compared) &&
                       SameWhereBothSet(search.endArrow, other.endArrow, compared) &&
                       SameWhereBothSet(search.arrowBeginScale, other.arrowBeginScale, compared) &&
                       SameWhereBothSet(search.arrowEndScale, other.arrowEndScale, compared) &&
                       SameWhereBothSet(search.arrowAlignment, other.arrowAlignment, compared) &&
                       SameWhereBothSet(search.dashAlignment, other.dashAlignment, compared);
    return compared && equal;
}

bool EffectsFound(const std::vector<Effect>& have, const std::vector<Effect>& search) {
    GStyle holder;
    holder.preEffects = have;
    return holder.FindPreEffects(search);
}

// Whether a paint field of the host, read as a record, matches the search record.
bool FieldFound(const PField& search, const PField& host) {
    const auto flag = [](const std::optional<bool>& wanted, const std::optional<bool>& have) {
        return !wanted || (have && *have == *wanted);
    };
    return host.visible == search.visible && (!search.isFillKnown || host.isFill == search.isFill) &&
           (!search.colorGiven || ColorFound(search.color, host.color)) &&
           (!search.strokeGiven || StrokeFound(search.pFieldStroke, host.pFieldStroke)) &&
           (!search.effectsGiven || EffectsFound(host.pfEffects, search.pfEffects)) &&
           flag(search.overprint, host.overprint) && flag(search.evenOdd, host.evenOdd);
}

// Edits every visible paint field that matches the search with the replacement. False unless both
// records are present.
bool ReplaceGstyle(const PField& search, const PField& replace, AIStyleParser parser) {
    if (!search.Present() || !replace.Present()) {
        return false;
    }
    const std::vector<AIParserPaintField> fields = PaintFields(parser);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i] == nullptr || !FieldFound(search, PField(fields[i]))) {
            continue;
        }
        const int position = static_cast<int>(i);
        replace.Normalize(position, parser).Edit(position, parser, replace.effectsGiven);
    }
    return true;
}

// Replaces the pre-effects and the post-effects that hold every searched name.
bool ReplaceParserEffects(const std::vector<Effect>& search, const std::vector<Effect>& replace,
                          AIStyleParser parser) {
    const GStyle current(parser);
    bool replaced = false;
    for (const bool pre : {true, false}) {
        if (!(pre ? current.FindPreEffects(search) : current.FindPostEffects(search))) {
            continue;
        }
        std::vector<GStyle::EffectInfo> infos;
        std::vector<Effect> script;
        for (std::size_t i = (pre ? current.preEffects : current.postEffects).size(); i > 0; --i) {
            Effect removal;
            removal.mode = "remove";
            removal.effectIndex = static_cast<int>(i - 1);
            script.push_back(removal);
            infos.insert(infos.begin(), GStyle::EffectInfo{static_cast<int>(i - 1), false});
        }
        GStyle::AddEffects(script, infos, parser, pre, false);
        // The replacement effects go in as given, not laid over defaults.
        const EffectList list(parser, pre);
        for (const Effect& effect : replace) {
            list.Insert(kEnd, effect);
        }
        replaced = true;
    }
    return replaced;
}

// A paint-field record of the search or replacement keys: only the keys given make it present.
PField ReadSearchField(const json& request, const char* fillKey, const char* colorKey,
                       const char* strokeKey) {
    PField field;
    if (request.contains(fillKey)) {
        field.isFill = ReadBoolStrictly(request, fillKey, true);
        field.isFillKnown = true;
    }
    if (const auto colour = request.find(colorKey); colour != request.end()) {
        bool ok = false;
        field.color = PFieldColor(*colour, ok);
        field.colorGiven = ok && field.color.Check();
        field.partialColor = PartialPFieldColor(*colour);
        field.colorJson = *colour;
    }
    if (const auto stroke = request.find(strokeKey); stroke != request.end()) {
        field.pFieldStroke = PFieldStroke(*stroke);
        field.strokeGiven = field.pFieldStroke.Present();
    }
    return field;
}

std::vector<Effect> ReadEffects(const json& request, const char* key) {
    std::vector<Effect> effects;
    if (const auto found = request.find(key); found != request.end()) {
        JsonToEffectsVector(*found, effects);
    }
    return effects;
}

// --- Creating ---------------------------------------------------------------------------------------

// The definition of a new style or the named style's new one, from the record; the error otherwise.
const char* DefineFromRecord(const GStyle& record, AIArtStyleHandle named, bool replace,
                             AIArtStyleHandle& out) {
    AIArtStyleHandle base = named;
    if (named == nullptr) {
        const AIPathStyle empty;  // fill and stroke not painted, colours of none
        if (sAIArtStyle->CreateArtStyleFromPathStyle(&empty, &base) != kNoErr) {
            return "Can't create a new style";
        }
    }
    const ParsedStyle parsed(base);
    if (!ArtToParser(parsed)) {
        return "Can't parse named style";
    }
    GStyle style = record;
    style.Normalize(parsed.Get());
    // A new style takes exactly what the record names.
    const bool whole = replace || named == nullptr;
    style.AddToParser(parsed.Get(), whole, whole);
    out = parsed.NewStyle();
    if (out == nullptr) {
        return named == nullptr ? "Can't create a new style" : kCantChangeNamed;
    }
    return nullptr;
}

void CreateStyle(const json& request, json& reply) {
    const std::string tagSearch = ReadTextStrictly(request, "tagSearch");
    reply["tagSearch"] = tagSearch;
    const bool replace = ReadBoolStrictly(request, "replace", false);
    const std::string styleName = ReadNameStrictly(request, "styleName");
    if (styleName.empty()) {
        reply["error"] = "No style name";
        return;
    }
    AIArtStyleHandle named = nullptr;
    if (GraphicStyleNameExists(styleName) && (named = NamedStyle(styleName)) == nullptr) {
        reply["error"] = kNamedStyleNotFound;
        return;
    }
    const ai::UnicodeString name = ai::UnicodeString::FromUTF8(styleName);
    const ArtList found = SearchTaggedArt(tagSearch);
    AIArtStyleHandle definition = nullptr;
    if (found.empty()) {
        const auto given = request.find("newStyle");
        if (given == request.end()) {
            reply["error"] = "No definition of a new style";
            return;
        }
        bool ok = false;
        const GStyle record(*given, ok);
        if (!ok) {
            reply["error"] = kUnreadableStyle;
            return;
        }
        if (const char* error = DefineFromRecord(record, named, replace, definition)) {
            reply["error"] = error;
            return;
        }
    } else if (sAIArtStyle->GetArtStyle(found.front(), &definition) != kNoErr || definition == nullptr) {
        reply["error"] = "Can't get artwork style";
        return;
    } else if (named != nullptr && !replace) {
        AIArtStyleHandle merged = nullptr;
        if (!MergeGraphicStyles(named, definition, merged)) {
            reply["error"] = "Can't merge styles";
            return;
        }
        definition = merged;
    }
    if (named == nullptr) {
        // Registered once its definition is whole, so that a failure leaves no half-made style.
        if (sAIArtStyle->CreateNamedArtStyle(name, definition, nullptr) != kNoErr) {
            reply["error"] = "Can't create named style";
        }
        return;
    }
    if (sAIArtStyle->RedefineNamedArtStyle(named, definition) != kNoErr) {
        reply["error"] = kCantChangeNamed;
    }
}

// --- Editing ----------------------------------------------------------------------------------------

struct EditRequest {
    bool replace = false;
    bool uiMethod = true;
    bool applyEffectsToGroupMembers = false;
    AIArtStyleHandle named = nullptr;
    std::optional<GStyle> style;
    std::optional<ObjectAttributes> attributes;
    PField search;
    PField replacement;
    std::vector<Effect> searchPreAndPost;
    std::vector<Effect> replacePreAndPost;
    bool replacePreAndPostGiven = false;
};

void ApplyNamedStyle(const EditRequest& edit, const std::vector<AIArtHandle>& targets) {
    for (AIArtHandle target : targets) {
        AIArtStyleHandle style = edit.named;
        AIArtStyleHandle current = nullptr;
        if (!edit.replace && (sAIArtStyle->GetArtStyle(target, &current) != kNoErr ||
                              !MergeGraphicStyles(current, edit.named, style))) {
            continue;
        }
        sAIArtStyle->SetArtStyle(target, style);
    }
}

void ApplyRecord(const EditRequest& edit, const ArtList& found, const std::vector<AIArtHandle>& targets) {
    GStyle style = *edit.style;
    PFieldColor fill;
    PFieldColor stroke;
    FirstSwatchColors(targets, fill, stroke);
    if (fill.colorSpace != "None") {
        for (PField& field : style.paintFields) {
            field.baseFillColor = fill;
            field.baseStrokeColor = stroke;
        }
    }
    const auto attributes = [&](AIArtHandle art) { edit.attributes->AddToObject(art); };
    if (!edit.uiMethod) {
        for (AIArtHandle target : targets) {
            style.AddToArt(target, edit.replace, edit.replace);
            attributes(target);
        }
        return;
    }
    if (edit.applyEffectsToGroupMembers) {
        for (AIArtHandle target : targets) {
            style.AddToArt(target, edit.replace, false);
            attributes(target);
        }
        return;
    }
    GStyle paint = style;
    paint.preEffects.clear();
    paint.postEffects.clear();
    for (AIArtHandle target : targets) {
        paint.AddToArt(target, edit.replace, false);
    }
    // The found art keeps its effects, without the style-level transparency a second time.
    GStyle effects = style;
    effects.paintFields.clear();
    effects.paintFieldsJson.clear();
    effects.contentsPosition.reset();
    effects.blend = BlendField();
    effects.blendGiven = false;
    for (AIArtHandle art : found) {
        effects.AddToArt(art, false, edit.replace);
        attributes(art);
    }
}

void SearchAndReplace(const EditRequest& edit, const std::vector<AIArtHandle>& targets) {
    for (AIArtHandle target : targets) {
        const ParsedStyle parsed(target);
        if (!ArtToParser(parsed)) {
            continue;
        }
        bool changed = ReplaceGstyle(edit.search, edit.replacement, parsed.Get());
        if (!edit.searchPreAndPost.empty() && edit.replacePreAndPostGiven && !changed) {
            changed = ReplaceParserEffects(edit.searchPreAndPost, edit.replacePreAndPost, parsed.Get());
        }
        if (changed) {
            parsed.ApplyTo(target);
        }
    }
}

void EditStyle(const json& request, json& reply) {
    const std::string tagSearch = ReadTextStrictly(request, "tagSearch");
    reply["tagSearch"] = tagSearch;
    EditRequest edit;
    edit.replace = ReadBoolStrictly(request, "replace", false);
    const LayerRequest layer = ReadLayerRequest(request);
    edit.uiMethod = ReadBoolStrictly(request, "uiMethod", true);
    edit.applyEffectsToGroupMembers = ReadBoolStrictly(request, "applyEffectsToGroupMembers", false);
    if (request.contains("styleName") &&
        (edit.named = NamedStyle(ReadTextStrictly(request, "styleName"))) == nullptr) {
        reply["error"] = kNamedStyleNotFound;
        return;
    }
    if (const auto given = request.find("newStyle"); given != request.end() && edit.named == nullptr) {
        bool ok = false;
        GStyle style(*given, ok);
        if (!ok) {
            // A record that can't be read is refused, not taken as a search.
            reply["error"] = kUnreadableStyle;
            return;
        }
        edit.style = std::move(style);
        edit.attributes.emplace(*given);
    }
    edit.search = ReadSearchField(request, "searchFill", "searchColor", "searchStroke");
    edit.replacement = ReadSearchField(request, "replaceFill", "replaceColor", "replaceStroke");
    edit.search.pfEffects = ReadEffects(request, "searchEffects");
    edit.search.effectsGiven = !edit.search.pfEffects.empty();
    edit.replacement.pfEffects = ReadEffects(request, "replaceEffects");
    edit.replacement.effectsGiven = request.contains("replaceEffects");
    edit.searchPreAndPost = ReadEffects(request, "searchPreAndPostEffects");
    edit.replacePreAndPost = ReadEffects(request, "replacePreAndPostEffects");
    edit.replacePreAndPostGiven = request.contains("replacePreAndPostEffects");

    ArtList found;
    if (layer.Asked()) {
        AIArtHandle contents = LayerContents(layer, reply);
        if (contents == nullptr) {
            return;
        }
        found.push_back(contents);
    } else {
        found = SearchTaggedArt(tagSearch);
    }
    const std::vector<AIArtHandle> targets =
        edit.uiMethod ? FindArtToRecolor(found) : std::vector<AIArtHandle>(found.begin(), found.end());
    if (found.empty() || targets.empty()) {
        reply["error"] = kNoArtworkFound;
        return;
    }
    if (edit.named != nullptr) {
        ApplyNamedStyle(edit, targets);
    } else if (edit.style) {
        ApplyRecord(edit, found, targets);
    } else {
        SearchAndReplace(edit, targets);
    }
}

}  // namespace

std::string PlimUtilsPlugin::CreateGraphicStyle(std::string request) {
    return Answer("createGraphicStyle", request, CreateStyle);
}

std::string PlimUtilsPlugin::EditGraphicStyle(std::string request) {
    return Answer("editGraphicStyle", request, EditStyle);
}

#include "appearance/ObjectAttributes.h"

#include "AIArtStyleParser.h"
#include "AIDictionary.h"
#include "AIPath.h"
#include "IAIUnicodeString.h"
#include "appearance/GStyle.h"
#include "appearance/StyleParts.h"
#include "appearance/TextArt.h"
#include "art/ArtTree.h"
#include "core/Suites.h"
#include "layout/Reduce.h"

namespace {

constexpr ai::int32 kSelected = 1;
constexpr ai::int32 kLocked = 2;
constexpr ai::int32 kHidden = 4;
constexpr ai::int32 kClipping = 0x1000;
constexpr ai::int32 kTextWrap = 0x10000;
constexpr ai::int32 kReadMask = 0x11007;
constexpr short kGroupType = 1;
constexpr short kPathType = 2;

template <typename T>
void ReadTyped(const json& object, const char* key, std::optional<T>& out) {
    if (object.is_object() && object.contains(key)) {
        const json& value = object.at(key);
        if constexpr (std::is_same_v<T, double>) {
            if (!value.is_number()) {
                throw json::type_error::create(302, std::string("\"") + key + "\" must be a number", &value);
            }
        } else if constexpr (std::is_same_v<T, bool>) {
            if (!value.is_boolean()) {
                throw json::type_error::create(302, std::string("\"") + key + "\" must be a boolean", &value);
            }
        } else if (!value.is_string()) {
            throw json::type_error::create(302, std::string("\"") + key + "\" must be a string", &value);
        }
        out = value.get<T>();
    }
}

short ArtType(AIArtHandle art) {
    short type = 0;
    return sAIArt->GetArtType(art, &type) == kNoErr ? type : short{-1};
}

void SetAttribute(AIArtHandle art, ai::int32 bit, const std::optional<bool>& value) {
    if (value) {
        sAIArt->SetArtUserAttr(art, bit, *value ? bit : 0);
    }
}

}  // namespace

// --- Object attributes ------------------------------------------------------------------------------

ObjectAttributes::ObjectAttributes(const json& object) {
    std::optional<bool> visible;
    ReadTyped(object, "visible", visible);
    if (visible) {
        hidden = !*visible;
    }
    ReadTyped(object, "locked", locked);
    ReadTyped(object, "selected", selected);
    ReadTyped(object, "clipping", clipping);
    ReadTyped(object, "wrapped", wrapped);
    ReadTyped(object, "name", name);
    ReadTyped(object, "wrapOffset", wrapOffset);
    ReadTyped(object, "wrapInside", wrapInside);
    ReadTyped(object, "layer", layer);
    ReadTyped(object, "closed", closed);
    ReadTyped(object, "guides", guides);
    ReadTyped(object, "note", note);
    ReadTyped(object, "imageMap", imageMap);
    ReadTyped(object, "url", url);
    // The application keeps these as strings that end at a NUL character.
    for (auto [key, field] : {std::pair{"name", &name}, std::pair{"layer", &layer}, std::pair{"note", &note},
                              std::pair{"url", &url}}) {
        if (*field) {
            RequireNoNul(**field, key);
        }
    }
}

ObjectAttributes::ObjectAttributes(AIArtHandle art) {
    ai::int32 attributes = 0;
    if (sAIArt->GetArtUserAttr(art, kReadMask, &attributes) == kNoErr) {
        hidden = (attributes & kHidden) != 0;
        locked = (attributes & kLocked) != 0;
        selected = (attributes & kSelected) != 0;
        clipping = (attributes & kClipping) != 0;
        wrapped = (attributes & kTextWrap) != 0;
    }
    ai::UnicodeString text;
    AIBoolean isDefault = true;
    if (sAIArt->GetArtName(art, text, &isDefault) == kNoErr && !isDefault) {
        name = text.as_UTF8();
    }
    AIReal offset = 0;
    AIBoolean inside = false;
    if (wrapped.value_or(false) && sAIArt->GetArtTextWrapProperty(art, &offset, &inside) == kNoErr) {
        wrapOffset = offset;
        wrapInside = inside != 0;
    }
    AILayerHandle artLayer = nullptr;
    ai::UnicodeString title;
    if (sAIArt->GetLayerOfArt(art, &artLayer) == kNoErr && artLayer != nullptr &&
        sAILayer->GetLayerTitle(artLayer, title) == kNoErr) {
        layer = title.as_UTF8();
    }
    if (ArtType(art) == kPathType) {
        AIBoolean flag = false;
        if (sAIPath->GetPathClosed(art, &flag) == kNoErr) {
            closed = flag != 0;
        }
        if (sAIPath->GetPathGuide(art, &flag) == kNoErr) {
            guides = flag != 0;
        }
    }
    ai::UnicodeString noteText;
    if (sAIArt->HasNote(art) && sAIArt->GetNote(art, noteText) == kNoErr) {
        note = noteText.as_UTF8();
    }
    const DictionaryScope dictionary = DictionaryScope::OfArt(art, false);
    if (dictionary.Get() == nullptr) {
        return;
    }
    if (const std::optional<ai::int32> map = dictionary.GetInteger("HostImageMap")) {
        if (*map == 1) {
            imageMap = "Rectangle";
        } else if (*map == 2) {
            imageMap = "Polygon";
        }
    }
    if (std::optional<std::string> link = dictionary.GetString("HostURL")) {
        url = std::move(*link);
    }
}

void ObjectAttributes::AddToObject(AIArtHandle art) const {
    if (hidden) {
        if (ArtType(art) == kGroupType) {
            SetGroupVisibility(art, *hidden);
        } else {
            SetAttribute(art, kHidden, hidden);
        }
    }
    SetAttribute(art, kLocked, locked);
    SetAttribute(art, kSelected, selected);
    SetAttribute(art, kTextWrap, wrapped);
    if (name) {
        sAIArt->SetArtName(art, ai::UnicodeString(*name, kAIUTF8CharacterEncoding));
    }
    if (wrapped.value_or(false)) {
        AIReal offset = 0;
        AIBoolean inside = false;
        const bool read = sAIArt->GetArtTextWrapProperty(art, &offset, &inside) == kNoErr;
        if (read || (wrapOffset && wrapInside)) {
            sAIArt->SetArtTextWrapProperty(
                art, wrapOffset.value_or(offset),
                wrapInside ? AIBoolean(*wrapInside) : (read ? inside : AIBoolean(false)));
        }
    }
    if (ArtType(art) == kPathType) {
        if (closed) {
            sAIPath->SetPathClosed(art, *closed);
        }
        if (guides) {
            sAIPath->SetPathGuide(art, *guides);
        }
    }
    if (note) {
        sAIArt->SetNote(art, ai::UnicodeString(*note, kAIUTF8CharacterEncoding));
    }
    // The dictionary is made when a link or an image map is to be written into it; "None" only
    // removes.
    const bool writesMap = imageMap && (*imageMap == "Rectangle" || *imageMap == "Polygon");
    const DictionaryScope dictionary = DictionaryScope::OfArt(art, url.has_value() || writesMap);
    if (dictionary.Get() == nullptr) {
        return;
    }
    if (writesMap) {
        dictionary.SetInteger("HostImageMap", *imageMap == "Rectangle" ? 1 : 2);
    } else if (imageMap == "None") {
        dictionary.Delete("HostImageMap");
    }
    if (url) {
        dictionary.SetString("HostURL", url->c_str());
    }
}

json ObjectAttributes::WriteJson() const {
    json out = json::object();
    if (hidden) {
        out["visible"] = !*hidden;
    }
    for (auto [key, field] :
         {std::pair{"locked", &locked}, std::pair{"selected", &selected}, std::pair{"clipping", &clipping},
          std::pair{"wrapped", &wrapped}, std::pair{"wrapInside", &wrapInside}, std::pair{"closed", &closed},
          std::pair{"guides", &guides}}) {
        if (*field) {
            out[key] = **field;
        }
    }
    for (auto [key, field] : {std::pair{"name", &name}, std::pair{"layer", &layer}, std::pair{"note", &note},
                              std::pair{"imageMap", &imageMap}, std::pair{"url", &url}}) {
        if (*field) {
            out[key] = **field;
        }
    }
    if (wrapOffset) {
        out["wrapOffset"] = *wrapOffset;
    }
    return out;
}

// --- Global style -----------------------------------------------------------------------------------

GlobalGStyle::GlobalGStyle(const json& object) {
    ReadTyped(object, "overprintFill", overprintFill);
    ReadTyped(object, "overprintStroke", overprintStroke);
    ReadTyped(object, "evenOdd", evenOdd);
    std::string align;
    if (ReadJsonValue(object, "strokeAlign", align)) {
        for (int i = 0; i < 3; ++i) {
            if (align == kStrokeAlignNames[i]) {
                strokeAlign = i;
            }
        }
    }
}

GlobalGStyle::GlobalGStyle(AIArtHandle art) {
    const json style = GStyle(art).WriteJson();
    if (!style.contains("paintFields")) {
        return;
    }
    bool allFills = true, noFill = true, allStrokes = true, noStroke = true;
    bool allEvenOdd = true, noEvenOdd = true, noneAligned = true, allInside = true, allOutside = true;
    for (const json& field : style.at("paintFields")) {
        if (!field.is_object()) {
            continue;
        }
        if (field.contains("isFill") && field.contains("overprint")) {
            const bool over = field.at("overprint").get<bool>();
            bool& all = field.at("isFill").get<bool>() ? allFills : allStrokes;
            bool& none = field.at("isFill").get<bool>() ? noFill : noStroke;
            all = all && over;
            none = none && !over;
        }
        if (field.contains("evenOdd")) {
            allEvenOdd = allEvenOdd && field.at("evenOdd").get<bool>();
            noEvenOdd = noEvenOdd && !field.at("evenOdd").get<bool>();
        }
        if (field.contains("pFieldStroke")) {
            const json& stroke = field.at("pFieldStroke");
            if (stroke.contains("strokeAlign")) {
                noneAligned = false;
                allInside = allInside && stroke.at("strokeAlign") == "Inside";
                allOutside = allOutside && stroke.at("strokeAlign") == "Outside";
            } else {
                allInside = false;
                allOutside = false;
            }
        }
    }
    const auto verdict = [](bool all, bool none) -> std::optional<bool> {
        if (all) {
            return true;
        }
        return none ? std::optional<bool>(false) : std::nullopt;
    };
    overprintFill = verdict(allFills, noFill);
    overprintStroke = verdict(allStrokes, noStroke);
    evenOdd = verdict(allEvenOdd, noEvenOdd);
    strokeAlign = noneAligned  ? std::optional<int>(0)
                  : allInside  ? std::optional<int>(1)
                  : allOutside ? std::optional<int>(2)
                               : std::nullopt;
}

void GlobalGStyle::AddToArt(AIArtHandle art) const {
    if (!overprintFill && !overprintStroke && !evenOdd && !strokeAlign) {
        return;
    }
    const ParsedStyle parsed(art);
    if (!parsed.Parsed()) {
        return;
    }
    const AIStyleParser parser = parsed.Get();
    for (const AIParserPaintField field : PaintFields(parser)) {
        if (field == nullptr) {
            continue;
        }
        if (sAIArtStyleParser->IsFill(field)) {
            AIFillStyle fill;
            if (overprintFill && sAIArtStyleParser->GetFill(field, &fill, nullptr) == kNoErr) {
                fill.overprint = *overprintFill;
                sAIArtStyleParser->SetFill(field, &fill, nullptr);
            }
        } else {
            AIStrokeStyle stroke;
            if (overprintStroke && sAIArtStyleParser->GetStroke(field, &stroke) == kNoErr) {
                stroke.overprint = *overprintStroke;
                sAIArtStyleParser->SetStroke(field, &stroke);
            }
            // The alignment goes to every stroke, so that reading it back gives what was written.
            DictionaryScope params;
            if (strokeAlign && sAIArtStyleParser->IsStroke(field) &&
                sAIArtStyleParser->GetStrokeParams(field, params.Out()) == kNoErr &&
                params.Get() != nullptr && DictionaryKey("StrokeOffsetInside") != nullptr) {
                if (*strokeAlign == 0) {
                    params.Delete("StrokeOffsetInside");
                } else {
                    params.SetBoolean("StrokeOffsetInside", *strokeAlign == 1);
                }
                sAIArtStyleParser->SetStrokeParams(field, params.Get());
            }
        }
        if (evenOdd) {
            sAIArtStyleParser->SetEvenOdd(field, *evenOdd);
        }
    }
    if (!parsed.ApplyTo(art)) {
        return;
    }
    // The characters of text art carry their own overprint.
    if (overprintFill || overprintStroke) {
        ApplyTextOverprint(art, overprintFill, overprintStroke);
    }
}

json GlobalGStyle::WriteJson() const {
    json out = json::object();
    for (auto [key, field] :
         {std::pair{"overprintFill", &overprintFill}, std::pair{"overprintStroke", &overprintStroke},
          std::pair{"evenOdd", &evenOdd}}) {
        if (*field) {
            out[key] = **field;
        }
    }
    if (strokeAlign) {
        out["strokeAlign"] = kStrokeAlignNames[*strokeAlign];
    }
    return out;
}

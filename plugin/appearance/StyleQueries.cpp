// "getGraphicStyle" reads the appearance of found art, a layer or a named graphic style;
// "getObjectAttributes" reads the attributes of found art or a layer; "setObjectAttributes" sets
// them on found art.
#include "AIArtStyle.h"
#include "IAIUnicodeString.h"
#include "appearance/GStyle.h"
#include "appearance/ObjectAttributes.h"
#include "appearance/StyleLookups.h"
#include "art/TagSearch.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"
#include "layout/Layers.h"
#include "layout/Lookups.h"
#include "layout/Reduce.h"

LayerRequest ReadLayerRequest(const json& request) {
    LayerRequest layer;
    layer.number = ReadIntegerStrictly(request, "layerNumber", -1);
    layer.name = ReadTextStrictly(request, "layerName");
    return layer;
}

AIArtHandle LayerContents(const LayerRequest& layer, json& reply) {
    AIArtHandle art = GetLayerArt(GetLayer(layer.number, layer.name));
    if (art == nullptr) {
        reply["error"] = kNoLayer;
    }
    return art;
}

AIArtStyleHandle NamedStyle(const std::string& name) {
    AIArtStyleHandle style = nullptr;
    if (sAIArtStyle->GetArtStyleByName(&style, ai::UnicodeString::FromUTF8(name)) != kNoErr) {
        return nullptr;
    }
    return style;
}

namespace {

void ReadGraphicStyle(const json& parsed, json& reply);
void ReadObjectAttributes(const json& parsed, json& reply);
void WriteObjectAttributes(const json& parsed, json& reply);

}  // namespace

std::string PlimUtilsPlugin::GetGraphicStyle(std::string request) {
    return Answer("getGraphicStyle", request, ReadGraphicStyle);
}

std::string PlimUtilsPlugin::GetObjectAttributes(std::string request) {
    return Answer("getObjectAttributes", request, ReadObjectAttributes);
}

std::string PlimUtilsPlugin::SetObjectAttributes(std::string request) {
    return Answer("setObjectAttributes", request, WriteObjectAttributes);
}

namespace {

void ReadGraphicStyle(const json& parsed, json& reply) {
    const LayerRequest layer = ReadLayerRequest(parsed);
    const std::string styleName = ReadTextStrictly(parsed, "styleName");
    const std::string tagSearch = ReadTextStrictly(parsed, "tagSearch");
    reply["tagSearch"] = tagSearch;
    const ArtList found = SearchTaggedArt(tagSearch);
    AIArtStyleHandle style = nullptr;
    if (layer.Asked()) {
        AIArtHandle art = LayerContents(layer, reply);
        if (art == nullptr || sAIArtStyle->GetArtStyle(art, &style) != kNoErr) {
            reply["error"] = kNoLayer;
            return;
        }
    } else if (!styleName.empty()) {
        style = NamedStyle(styleName);
        if (style == nullptr) {
            reply["error"] = kNamedStyleNotFound;
            return;
        }
    } else if (found.empty() || sAIArtStyle->GetArtStyle(found.front(), &style) != kNoErr) {
        reply["error"] = kNoArtworkFound;
        return;
    }
    const ParsedStyle parsedStyle(style);
    if (!parsedStyle.Parsed()) {
        // A style that can't be read is said so, rather than answered with nothing.
        reply["error"] = "Can't read the graphic style";
        return;
    }
    reply["graphicStyle"] = GStyle(parsedStyle.Get()).WriteJson();
}

void ReadObjectAttributes(const json& parsed, json& reply) {
    const LayerRequest layer = ReadLayerRequest(parsed);
    AIArtHandle art = nullptr;
    if (layer.Asked()) {
        reply["tagSearch"] = ReadTextStrictly(parsed, "tagSearch");
        art = LayerContents(layer, reply);
    } else {
        const ArtList found = FindRequestedArt(parsed, reply, kNoArtworkFound);
        art = found.empty() ? nullptr : found.front();
    }
    if (art == nullptr) {
        return;
    }
    json attributes = ObjectAttributes(art).WriteJson();
    attributes.merge_patch(GlobalGStyle(art).WriteJson());
    reply["objectAttributes"] = std::move(attributes);
}

void WriteObjectAttributes(const json& parsed, json& reply) {
    const ArtList found = FindRequestedArt(parsed, reply, kNoArtworkFound);
    if (found.empty()) {
        return;
    }
    // Both records are read before anything changes, so that a key of the wrong type changes nothing.
    const ObjectAttributes attributes(parsed);
    const GlobalGStyle global(parsed);
    for (AIArtHandle art : found) {
        attributes.AddToObject(art);
        global.AddToArt(art);
    }
}

}  // namespace

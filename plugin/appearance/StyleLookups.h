// What the style commands share: the art of a layer asked for by number or name, and named styles.
#pragma once

#include <string>

#include "AIArt.h"
#include "AIArtStyle.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "layout/Lookups.h"

inline constexpr const char* kNoLayer = "Layer not found or empty";

// "layerNumber" (counted from 1) or else "layerName". A layer is asked for by any number other
// than the default -1, or by a name: a number that names no layer (0 among them) is no request for
// the found art.
struct LayerRequest {
    int number = -1;
    std::string name;
    bool Asked() const { return LayerAsked(number, name); }
};

LayerRequest ReadLayerRequest(const json& request);
// The contents group of the asked layer; null (with the error in the reply) when there is none.
AIArtHandle LayerContents(const LayerRequest& layer, json& reply);
// The named style; null when the name is unknown.
AIArtStyleHandle NamedStyle(const std::string& name);

// Runs a command's work on its request and reply. A key of the wrong type ends the command through
// the common failure path, which keeps the "uid".
template <typename Work>
std::string Answer(const char* eventType, const std::string& request, Work work) {
    const json parsed = ParseRequest(request);
    json reply = StartReply(eventType, parsed);
    work(parsed, reply);
    return DumpReply(reply);
}

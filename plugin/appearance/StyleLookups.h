// What the style commands share: the art of a layer asked for by number or name, and named styles.
#pragma once

#include <string>

#include "AIArt.h"
#include "AIArtStyle.h"
#include "core/Failures.h"
#include "core/Json.h"

inline constexpr const char* kNoLayer = "Layer not found or empty";

// "layerNumber" (counted from 1) or else "layerName". A number below 1 asks for no layer, so that
// the name, or without one the found art, is used. A layer asked for (a number of 1 or more, or a
// name) and not found fails the command.
struct LayerRequest {
    int number = -1;
    std::string name;
    bool Asked() const { return number >= 1 || !name.empty(); }
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

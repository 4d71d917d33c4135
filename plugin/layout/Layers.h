// The record of a layer's own properties (`Layer`), each optional: read from a request or from a
// host layer, and written to a host layer by AddToLayer; and the group art that holds a layer's
// contents (GetLayerArt).
#pragma once

#include <array>
#include <optional>
#include <string>

#include "AIArt.h"
#include "AILayer.h"
#include "core/Json.h"

struct Layer {
    std::optional<std::string> name;          // the title, UTF-8
    std::optional<std::array<int, 3>> color;  // red, green, blue, each 0 to 255
    std::optional<bool> locked;               // not editable
    std::optional<bool> hidden;               // not visible
    std::optional<bool> isTemplate;           // "template"
    std::optional<bool> print;
    std::optional<bool> preview;
    std::optional<int> dimmedPercent;  // -1: placed images not dimmed; 0 to 100: dimmed

    Layer() = default;
    // From a request object: "newName", "color" {"red", "green", "blue"}, "locked", "visible",
    // "template", "print", "preview", "dimmedPercent" (-1 to 100; other values are ignored). A key of
    // the wrong JSON type fails the command.
    explicit Layer(const json& request);
    // From a host layer: each property the host answers; nothing for a null layer.
    explicit Layer(AILayerHandle layer);

    // Writes the set properties to the layer; nothing for a null layer.
    void AddToLayer(AILayerHandle layer) const;
};

// The group art that holds the layer's contents; null for a null layer or when the host fails.
ArtObject* GetLayerArt(AILayerHandle layer);

// Layers: the top-level (and nested) divisions of a document. Each layer's art lives in its layer
// group, a group art object that the layer owns.
#pragma once

#include <cstdint>
#include <string>

#include "model/Handles.h"

namespace host::model {

// A 16-bit-per-channel RGB colour, as the layer suite reads and writes it.
struct LayerColor {
    std::uint16_t red = 0;
    std::uint16_t green = 0;
    std::uint16_t blue = 0;
    bool operator==(const LayerColor&) const = default;
};

struct LayerProperties {
    std::string title;                         // UTF-8
    LayerColor color{0x4F4F, 0x8080, 0xFFFF};  // light blue
    bool visible = true;
    bool editable = true;  // false: the layer is locked
    bool printed = true;
    bool preview = true;  // false: outline display
    bool isTemplate = false;
    bool dimPlacedImages = false;
    int dimPercent = 50;  // 0 to 100, used when placed images are dimmed
    bool operator==(const LayerProperties&) const = default;
};

// A sublayer is a layer whose group is a child of another layer's group; its place among that
// layer's art is its place in the stacking order. The parent and the sublayers of a layer are read
// from the art tree.
struct Layer {
    LayerId id;
    ArtId group;
    LayerProperties properties;
    bool operator==(const Layer&) const = default;
};

}  // namespace host::model

// An art object's own attributes beside its style, and the paint attributes a client treats as one
// value for the whole object; both read from JSON or art, applied to art and written as JSON.
#pragma once

#include <optional>
#include <string>

#include "AIArt.h"
#include "AILayer.h"
#include "core/Json.h"

class ObjectAttributes {
public:
    // Throws the JSON library's type error for a key of the wrong type.
    explicit ObjectAttributes(const json& object);
    explicit ObjectAttributes(AIArtHandle art);
    void AddToObject(AIArtHandle art) const;
    json WriteJson() const;

    std::optional<bool> hidden;
    std::optional<bool> locked;
    std::optional<bool> selected;
    std::optional<bool> clipping;
    std::optional<bool> wrapped;
    std::optional<std::string> name;
    std::optional<double> wrapOffset;
    std::optional<bool> wrapInside;
    std::optional<std::string> layer;
    std::optional<bool> closed;
    std::optional<bool> guides;
    std::optional<std::string> note;
    std::optional<std::string> imageMap;
    std::optional<std::string> url;
};

class GlobalGStyle {
public:
    explicit GlobalGStyle(const json& object);
    explicit GlobalGStyle(AIArtHandle art);
    void AddToArt(AIArtHandle art) const;
    json WriteJson() const;

    std::optional<bool> overprintFill;
    std::optional<bool> overprintStroke;
    std::optional<bool> evenOdd;
    std::optional<int> strokeAlign;  // 0 "Center", 1 "Inside", 2 "Outside"
};

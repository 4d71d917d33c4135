#include <algorithm>
#include <tuple>

#include "model/DocumentReader.h"

namespace host::model::reading {

namespace {

[[noreturn]] void failToAdd(std::string_view key, std::size_t index, const std::string& name) {
    throw FormatError(std::string(key) + "[" + std::to_string(index) + "]",
                      "\"" + name + "\" cannot be added (a name used twice, or a colour naming nothing)");
}

}  // namespace

// Adds each named record in the order the resources depend on one another: custom colours,
// gradients and patterns first, then the swatches and styles that may name them.
DocumentColors colorsFrom(ColorFields fields) {
    DocumentColors colors(fields.model);
    for (std::size_t i = 0; i < fields.customColors.size(); ++i) {
        const auto& [name, definition] = fields.customColors[i];
        if (!colors.addCustomColor(name, definition)) {
            failToAdd("customColors", i, name);
        }
    }
    for (const auto& [key, kind, list] : {std::tuple{"gradients", Color::Kind::gradient, &fields.gradients},
                                          std::tuple{"patterns", Color::Kind::pattern, &fields.patterns}}) {
        for (std::size_t i = 0; i < list->size(); ++i) {
            if (!colors.addResource(kind, (*list)[i])) {
                failToAdd(key, i, (*list)[i].name);
            }
        }
    }
    if (fields.swatches) {
        while (!colors.swatches().empty()) {
            colors.removeSwatch(colors.swatches().back().id);
        }
        for (std::size_t i = 0; i < fields.swatches->size(); ++i) {
            const ColorFields::Named& swatch = (*fields.swatches)[i];
            if (!colors.appendSwatch(swatch.name, swatch.color)) {
                failToAdd("swatches", i, swatch.name);
            }
        }
    }
    for (std::size_t i = 0; i < fields.graphicStyles.size(); ++i) {
        const ColorFields::NamedStyle& style = fields.graphicStyles[i];
        if (!colors.addGraphicStyle(style.name, style.style, style.unlisted)) {
            failToAdd("graphicStyles", i, style.name);
        }
    }
    return colors;
}

// Reads the value of a colour key into the fields; false for a key that is not one.
bool DocumentReader::readColorKey(std::string_view key, ColorFields& colors) {
    if (key == "colorModel") {
        colors.model = readColorModel();
    } else if (key == "customColors") {
        readList([&] { colors.customColors.push_back(readCustomColor()); });
    } else if (key == "gradients") {
        readList([&] { colors.gradients.push_back(readResource(Color::Kind::gradient)); });
    } else if (key == "patterns") {
        readList([&] { colors.patterns.push_back(readResource(Color::Kind::pattern)); });
    } else if (key == "swatches") {
        colors.swatches.emplace();
        readList([&] { colors.swatches->push_back(readNamedColor()); });
    } else if (key == "graphicStyles") {
        readList([&] { colors.graphicStyles.push_back(readGraphicStyle()); });
    } else {
        return false;
    }
    return true;
}

ColorModel DocumentReader::readColorModel() {
    const std::string name = in_.readString();
    const auto known = std::find(std::begin(kColorModelNames), std::end(kColorModelNames), name);
    if (known == std::end(kColorModelNames)) {
        in_.fail("expected \"Grayscale\", \"RGB\" or \"CMYK\"");
    }
    return static_cast<ColorModel>(known - std::begin(kColorModelNames));
}

// A name that must be there and not be empty, read as "name" of the object the reader stands at.
void DocumentReader::requireName(std::uint64_t seen, std::uint64_t nameBit, const std::string& name) {
    if ((seen & nameBit) == 0) {
        in_.fail("the key \"name\" is missing");
    }
    if (name.empty()) {
        throw FormatError(in_.location() + ".name", "a name cannot be empty");
    }
}

std::pair<std::string, CustomColorDefinition> DocumentReader::readCustomColor() {
    static constexpr std::string_view kKeys[] = {"components", "kind", "name", "spot"};
    static_assert(inCanonicalOrder(kKeys));
    std::string name;
    CustomColorDefinition definition;
    std::vector<double> components;
    const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
        switch (key) {
            case keyIndex(kKeys, "components"):
                readList([&] { components.push_back(in_.readNumber()); });
                break;
            case keyIndex(kKeys, "kind"): {
                const std::string kind = in_.readString();
                const auto known = std::find(std::begin(kCustomKindNames), std::end(kCustomKindNames), kind);
                if (known == std::end(kCustomKindNames)) {
                    in_.fail("expected \"cmyk\", \"rgb\" or \"lab\"");
                }
                definition.kind =
                    static_cast<CustomColorDefinition::Kind>(known - std::begin(kCustomKindNames));
                break;
            }
            case keyIndex(kKeys, "name"):
                name = in_.readString();
                break;
            default:
                definition.spot = in_.readBool();
                break;
        }
    });
    requireName(seen, keyBit(kKeys, "name"), name);
    constexpr std::uint64_t kRequired = keyBit(kKeys, "components") | keyBit(kKeys, "kind");
    if ((seen & kRequired) != kRequired) {
        in_.fail("a custom colour needs \"kind\" and \"components\"");
    }
    if (components.size() != definition.componentCount()) {
        throw FormatError(in_.location() + ".components",
                          "expected " + std::to_string(definition.componentCount()) + " components");
    }
    std::copy(components.begin(), components.end(), definition.values.begin());
    if (definition.check() != Status::ok) {
        throw FormatError(in_.location() + ".components", "a component is out of its range");
    }
    return {std::move(name), definition};
}

ColorFields::Named DocumentReader::readNamedColor() {
    static constexpr std::string_view kKeys[] = {"color", "name"};
    ColorFields::Named named;
    const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
        if (key == 0) {
            named.color = readColor(in_);
        } else {
            named.name = in_.readString();
        }
    });
    requireName(seen, keyBit(kKeys, "name"), named.name);
    if ((seen & keyBit(kKeys, "color")) == 0) {
        in_.fail("the key \"color\" is missing");
    }
    return named;
}

// A gradient ("stops", "type") or a pattern ("art", "tile"): the keys of the other kind are refused.
PaintResource DocumentReader::readResource(Color::Kind kind) {
    static constexpr std::string_view kKeys[] = {"art", "color", "name", "stops", "tile", "type"};
    const bool gradient = kind == Color::Kind::gradient;
    PaintResource resource;
    const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
        if ((gradient && (key == 0 || key == 4)) || (!gradient && (key == 3 || key == 5))) {
            in_.fail(std::string("a ") + (gradient ? "gradient" : "pattern") + " has no \"" +
                     std::string(kKeys[key]) + "\"");
        }
        switch (key) {
            case keyIndex(kKeys, "art"):
                resource.art = readArt(2, false);
                break;
            case keyIndex(kKeys, "color"):
                resource.flat = readColor(in_);
                break;
            case keyIndex(kKeys, "name"):
                resource.name = in_.readString();
                break;
            case keyIndex(kKeys, "stops"):
                readList([&] { resource.stops.push_back(readStop()); });
                break;
            case keyIndex(kKeys, "tile"):
                resource.tile = readRect();
                if (!(resource.tile->right > resource.tile->left &&
                      resource.tile->top > resource.tile->bottom)) {
                    in_.fail("expected a tile wider and taller than 0");
                }
                break;
            default: {
                const std::string type = in_.readString();
                if (type != "linear" && type != "radial") {
                    in_.fail("expected \"linear\" or \"radial\"");
                }
                resource.type = type == "radial" ? GradientType::radial : GradientType::linear;
                break;
            }
        }
    });
    requireName(seen, keyBit(kKeys, "name"), resource.name);
    if ((seen & keyBit(kKeys, "color")) == 0) {
        in_.fail("the key \"color\" is missing");
    }
    return resource;
}

GradientStop DocumentReader::readStop() {
    static constexpr std::string_view kKeys[] = {"color", "midPoint", "opacity", "rampPoint"};
    GradientStop stop;
    const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
        const auto within = [&](double low, double high, const char* expected) {
            const double value = in_.peek() == JsonKind::number ? in_.readNumber() : low - 1.0;
            if (!(value >= low && value <= high)) {
                in_.fail(expected);
            }
            return value;
        };
        switch (key) {
            case keyIndex(kKeys, "color"):
                stop.color = readColor(in_);
                break;
            case keyIndex(kKeys, "midPoint"):
                stop.midPoint = within(kLeastMidPoint, kGreatestMidPoint, "expected a number from 13 to 87");
                break;
            case keyIndex(kKeys, "opacity"):
                stop.opacity = within(0.0, 1.0, "expected a number from 0 to 1");
                break;
            default:
                stop.rampPoint = within(0.0, 100.0, "expected a number from 0 to 100");
                break;
        }
    });
    constexpr std::uint64_t kRequired = keyBit(kKeys, "color") | keyBit(kKeys, "rampPoint");
    if ((seen & kRequired) != kRequired) {
        in_.fail("a stop needs \"color\" and \"rampPoint\"");
    }
    return stop;
}

ColorFields::NamedStyle DocumentReader::readGraphicStyle() {
    static constexpr std::string_view kKeys[] = {"name", "style", "unlisted"};
    ColorFields::NamedStyle named;
    const std::uint64_t seen = readMembers(in_, kKeys, [&](std::size_t key) {
        switch (key) {
            case keyIndex(kKeys, "name"):
                named.name = in_.readString();
                break;
            case keyIndex(kKeys, "style"):
                named.style = readStyle(in_, dictionaryReader(kGraphicStyleDictionaryDepth));
                break;
            default:
                named.unlisted = in_.readBool();
                break;
        }
    });
    requireName(seen, keyBit(kKeys, "name"), named.name);
    if ((seen & keyBit(kKeys, "style")) == 0) {
        in_.fail("the key \"style\" is missing");
    }
    return named;
}

}  // namespace host::model::reading

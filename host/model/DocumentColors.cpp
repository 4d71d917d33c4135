#include "model/DocumentColors.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "model/Utf8.h"

namespace host::model {

namespace {

bool isUnit(double value) {
    return std::isfinite(value) && value >= 0.0 && value <= 1.0;
}

bool isUsableName(std::string_view name) {
    return !name.empty() && isValidUtf8(name);
}

bool isFixedSwatch(std::string_view name) {
    return name == kNoneSwatch || name == kRegistrationSwatch;
}

}  // namespace

Status CustomColorDefinition::check() const {
    for (std::size_t i = 0; i < componentCount(); ++i) {
        const double value = values[i];
        const bool valid = kind != Kind::lab ? isUnit(value)
                           : i == 0          ? std::isfinite(value) && value >= 0.0 && value <= 100.0
                                             : std::isfinite(value) && value >= -128.0 && value <= 127.0;
        if (!valid) {
            return Status::badParameter;
        }
    }
    return Status::ok;
}

Color CustomColorDefinition::processColor() const {
    switch (kind) {
        case Kind::cmyk:
            return Color::cmyk(values[0], values[1], values[2], values[3]);
        case Kind::rgb:
            return Color::rgb(values[0], values[1], values[2]);
        case Kind::lab: {
            // Lightness alone, as a grey: the stand-in draws no colour-managed Lab.
            return Color::gray(1.0 - std::clamp(values[0] / 100.0, 0.0, 1.0));
        }
    }
    return Color::black();
}

DocumentColors::DocumentColors(ColorModel model) : model_(model) {
    for (Swatch& swatch : defaultSwatches(model)) {
        swatches_.pushBack(std::move(swatch));
    }
}

std::vector<Swatch> DocumentColors::defaultSwatches(ColorModel model) {
    const bool cmyk = model == ColorModel::cmyk;
    return {
        Swatch{ResourceId{nextHandleValue()}, std::string(kNoneSwatch), Color::none()},
        Swatch{ResourceId{nextHandleValue()}, std::string(kRegistrationSwatch), Color::cmyk(1, 1, 1, 1)},
        Swatch{ResourceId{nextHandleValue()}, "White", cmyk ? Color::cmyk(0, 0, 0, 0) : Color::rgb(1, 1, 1)},
        Swatch{ResourceId{nextHandleValue()}, "Black", cmyk ? Color::cmyk(0, 0, 0, 1) : Color::rgb(0, 0, 0)},
    };
}

Status DocumentColors::checkColor(const Color& color) const {
    ArtStyle probe;
    probe.paintFields.push_back(PaintField::fill(color));
    if (probe.check() != Status::ok) {
        return Status::badParameter;
    }
    switch (color.kind) {
        case Color::Kind::custom:
            return customColorByName(color.resource) != nullptr ? Status::ok : Status::badParameter;
        case Color::Kind::pattern:
        case Color::Kind::gradient:
            return resourceByName(color.resource, color.kind) != nullptr ? Status::ok : Status::badParameter;
        default:
            return Status::ok;
    }
}

namespace {

// badParameter when a colour of the style or dictionary is one checkColor refuses. The walk may
// change what it offers, so it walks a copy.
template <typename Holder>
Status checkEveryColor(const DocumentColors& colors, Holder copy) {
    Status status = Status::ok;
    model::forEachColor(copy, [&](Color& color) {
        if (colors.checkColor(color) != Status::ok) {
            status = Status::badParameter;
        }
    });
    return status;
}

}  // namespace

Status DocumentColors::checkStyle(const ArtStyle& style) const {
    if (style.check() != Status::ok) {
        return Status::badParameter;
    }
    return checkEveryColor(*this, style);
}

Status DocumentColors::checkDictionary(const Dictionary& dictionary) const {
    return dictionary.empty() ? Status::ok : checkEveryColor(*this, dictionary);
}

Status DocumentColors::checkTree(const ArtTree& tree) const {
    if (checkStyle(tree.data.style) != Status::ok || checkDictionary(tree.data.dictionary) != Status::ok) {
        return Status::badParameter;
    }
    for (const ArtTree& child : tree.children) {
        if (checkTree(child) != Status::ok) {
            return Status::badParameter;
        }
    }
    return Status::ok;
}

Color DocumentColors::flatColor(const Color& color) const {
    switch (color.kind) {
        case Color::Kind::custom: {
            const CustomColor* custom = customColorByName(color.resource);
            if (custom == nullptr) {
                return Color::none();
            }
            // A tint mixes the colour with white.
            const std::array<double, 3> rgb = toRgb(custom->definition.processColor());
            const double tint = color.values[0];
            return Color::rgb(rgb[0] + (1.0 - rgb[0]) * tint, rgb[1] + (1.0 - rgb[1]) * tint,
                              rgb[2] + (1.0 - rgb[2]) * tint);
        }
        case Color::Kind::pattern:
        case Color::Kind::gradient: {
            const PaintResource* resource = resourceByName(color.resource, color.kind);
            return resource != nullptr ? resource->flat : Color::none();
        }
        default:
            return color;
    }
}

const CustomColor* DocumentColors::findCustomColor(ResourceId id) const {
    return customColors_.find(id);
}

const CustomColor* DocumentColors::customColorByName(std::string_view name) const {
    return customColors_.byName(name);
}

Result<ResourceId> DocumentColors::addCustomColor(std::string_view name,
                                                  const CustomColorDefinition& definition) {
    if (!isUsableName(name) || customColorByName(name) != nullptr || definition.check() != Status::ok) {
        return Status::badParameter;
    }
    const ResourceId id{nextHandleValue()};
    customColors_.pushBack(CustomColor{id, std::string(name), definition});
    return id;
}

Status DocumentColors::setCustomColorDefinition(ResourceId id, const CustomColorDefinition& definition) {
    CustomColor* custom = customColors_.edit(id);
    if (custom == nullptr || definition.check() != Status::ok) {
        return Status::badParameter;
    }
    custom->definition = definition;
    return Status::ok;
}

Status DocumentColors::setCustomColorName(ResourceId id, std::string_view name) {
    const CustomColor* custom = customColors_.find(id);
    const CustomColor* holder = customColorByName(name);
    if (custom == nullptr || !isUsableName(name) || (holder != nullptr && holder != custom)) {
        return Status::badParameter;
    }
    customColors_.rename(id, std::string(name));
    return Status::ok;
}

const PaintResource* DocumentColors::findResource(ResourceId id, Color::Kind kind) const {
    return (kind == Color::Kind::gradient ? gradients_ : patterns_).find(id);
}

const PaintResource* DocumentColors::resourceByName(std::string_view name, Color::Kind kind) const {
    if (kind != Color::Kind::gradient && kind != Color::Kind::pattern) {
        return nullptr;
    }
    return (kind == Color::Kind::gradient ? gradients_ : patterns_).byName(name);
}

Result<ResourceId> DocumentColors::addResource(std::string_view name, Color::Kind kind, const Color& flat) {
    PaintResource resource;
    resource.name = std::string(name);
    resource.flat = flat;
    return addResource(kind, std::move(resource));
}

namespace {

bool isProcess(const Color& color) {
    return color.kind == Color::Kind::gray || color.kind == Color::Kind::rgb ||
           color.kind == Color::Kind::cmyk || color.kind == Color::Kind::none;
}

}  // namespace

bool DocumentColors::isDrawable(const PaintResource& resource, Color::Kind kind) const {
    if (kind == Color::Kind::gradient) {
        return std::all_of(resource.stops.begin(), resource.stops.end(), [&](const GradientStop& stop) {
            const bool colorKind = isProcess(stop.color) || stop.color.kind == Color::Kind::custom;
            return colorKind && stop.color.paints() && checkColor(stop.color) == Status::ok &&
                   std::isfinite(stop.rampPoint) && stop.rampPoint >= 0.0 && stop.rampPoint <= 100.0 &&
                   std::isfinite(stop.midPoint) && stop.midPoint >= kLeastMidPoint &&
                   stop.midPoint <= kGreatestMidPoint && isUnit(stop.opacity);
        });
    }
    if (resource.tile &&
        (!(resource.tile->right > resource.tile->left && resource.tile->top > resource.tile->bottom) ||
         !std::isfinite(resource.tile->left) || !std::isfinite(resource.tile->top) ||
         !std::isfinite(resource.tile->right) || !std::isfinite(resource.tile->bottom))) {
        return false;
    }
    if (!resource.art) {
        return true;
    }
    if (!isWellFormedTree(*resource.art, false)) {
        return false;
    }
    // Tiles may not name patterns: a pattern drawn inside itself would never end.
    bool drawable = true;
    const std::function<void(const ArtTree&)> check = [&](const ArtTree& tree) {
        ArtStyle style = tree.data.style;
        model::forEachColor(style, [&](Color& color) {
            drawable = drawable && color.kind != Color::Kind::pattern && checkColor(color) == Status::ok;
        });
        drawable = drawable && style.check() == Status::ok;
        for (const ArtTree& child : tree.children) {
            check(child);
        }
    };
    check(*resource.art);
    return drawable;
}

Result<ResourceId> DocumentColors::addResource(Color::Kind kind, PaintResource resource) {
    if ((kind != Color::Kind::gradient && kind != Color::Kind::pattern) || !isUsableName(resource.name) ||
        resourceByName(resource.name, kind) != nullptr || !isProcess(resource.flat) ||
        checkColor(resource.flat) != Status::ok || !isDrawable(resource, kind)) {
        return Status::badParameter;
    }
    const ResourceId id{nextHandleValue()};
    resource.id = id;
    (kind == Color::Kind::gradient ? gradients_ : patterns_).pushBack(std::move(resource));
    return id;
}

Result<std::size_t> DocumentColors::swatchIndex(ResourceId id) const {
    const std::size_t index = swatches_.indexOf(id);
    if (index == swatches_.size()) {
        return Status::notFound;
    }
    return index;
}

const Swatch* DocumentColors::findSwatch(ResourceId id) const {
    return swatches_.find(id);
}

const Swatch* DocumentColors::swatchByName(std::string_view name) const {
    return name.empty() ? nullptr : swatches_.byName(name);
}

Result<ResourceId> DocumentColors::appendSwatch(std::string_view name, const Color& color) {
    if (!isUsableName(name) || swatchByName(name) != nullptr || checkColor(color) != Status::ok) {
        return Status::badParameter;
    }
    const ResourceId id{nextHandleValue()};
    swatches_.pushBack(Swatch{id, std::string(name), color});
    return id;
}

ResourceId DocumentColors::insertSwatch(std::size_t index) {
    const ResourceId id{nextHandleValue()};
    swatches_.insert(index, Swatch{id, {}, Color::none()});
    return id;
}

Status DocumentColors::removeSwatch(ResourceId id) {
    if (swatches_.find(id) == nullptr) {
        return Status::badParameter;
    }
    swatches_.erase(id);
    return Status::ok;
}

Status DocumentColors::setSwatchName(ResourceId id, std::string_view name) {
    const Swatch* swatch = swatches_.find(id);
    const Swatch* holder = swatchByName(name);
    if (swatch == nullptr || !isUsableName(name) || isFixedSwatch(swatch->name) || isFixedSwatch(name) ||
        (holder != nullptr && holder != swatch)) {
        return Status::badParameter;
    }
    swatches_.rename(id, std::string(name));
    return Status::ok;
}

Status DocumentColors::setSwatchColor(ResourceId id, const Color& color) {
    Swatch* swatch = swatches_.edit(id);
    if (swatch == nullptr || isFixedSwatch(swatch->name) || checkColor(color) != Status::ok) {
        return Status::badParameter;
    }
    swatch->color = color;
    return Status::ok;
}

const GraphicStyle* DocumentColors::findGraphicStyle(ResourceId id) const {
    return graphicStyles_.find(id);
}

const GraphicStyle* DocumentColors::graphicStyleByName(std::string_view name) const {
    return graphicStyles_.byName(name);
}

Result<ResourceId> DocumentColors::addGraphicStyle(std::string_view name, const ArtStyle& style,
                                                   bool unlisted) {
    if (!isUsableName(name) || graphicStyleByName(name) != nullptr || checkStyle(style) != Status::ok) {
        return Status::badParameter;
    }
    const ResourceId id{nextHandleValue()};
    graphicStyles_.pushBack(GraphicStyle{id, std::string(name), style, unlisted});
    return id;
}

Status DocumentColors::setGraphicStyleDefinition(ResourceId id, const ArtStyle& style) {
    GraphicStyle* found = graphicStyles_.edit(id);
    if (found == nullptr) {
        return Status::notFound;
    }
    if (checkStyle(style) != Status::ok) {
        return Status::badParameter;
    }
    found->style = style;
    return Status::ok;
}

void DocumentColors::forEachColor(const ColorVisitor& visit, bool swatches) {
    if (swatches) {
        swatches_.editEach([&](Swatch& swatch) { visit(swatch.color); });
    }
    graphicStyles_.editEach([&](GraphicStyle& style) { model::forEachColor(style.style, visit); });
    // Stops and tiles keep to the colours they may hold (a document holding others would not open):
    // a change to anything else is undone.
    gradients_.editEach([&](PaintResource& gradient) {
        for (GradientStop& stop : gradient.stops) {
            const Color before = stop.color;
            visit(stop.color);
            if (!stop.color.paints() || (!isProcess(stop.color) && stop.color.kind != Color::Kind::custom)) {
                stop.color = before;
            }
        }
    });
    const ColorVisitor visitTile = [&](Color& color) {
        const Color before = color;
        visit(color);
        if (color.kind == Color::Kind::pattern) {
            color = before;
        }
    };
    const std::function<void(ArtTree&)> visitTree = [&](ArtTree& tree) {
        model::forEachColor(tree.data.style, visitTile);
        model::forEachColor(tree.data.dictionary, visitTile);
        for (ArtTree& child : tree.children) {
            visitTree(child);
        }
    };
    patterns_.editEach([&](PaintResource& pattern) {
        if (pattern.art) {
            visitTree(*pattern.art);
        }
    });
}

void DocumentColors::forEachGraphicStyle(const std::function<void(ArtStyle&)>& visit) {
    graphicStyles_.editEach([&](GraphicStyle& style) { visit(style.style); });
}

}  // namespace host::model

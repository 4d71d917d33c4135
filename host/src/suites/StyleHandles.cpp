#include "suites/StyleHandles.h"

#include <cmath>
#include <memory>

namespace host {

namespace {

bool IsUnit(AIReal value) {
    return std::isfinite(value) && value >= 0.0 && value <= 1.0;
}

}  // namespace

namespace {

// A digest of the parts of a style most styles differ in: equal styles have equal digests (numbers
// that compare equal digest alike, 0 and -0 too). Effects and stroke parameters are left to the
// comparison.
class StyleDigest {
public:
    explicit StyleDigest(const model::ArtStyle& style) {
        Add(style.preEffects.size());
        Add(style.postEffects.size());
        Add(style.contentsPosition);
        Add(style.blend);
        for (const model::PaintField& field : style.paintFields) {
            Add(field.paint.index());
            Add(field.effects.size());
            Add(static_cast<std::size_t>(field.visible) | static_cast<std::size_t>(field.evenOdd) << 1 |
                static_cast<std::size_t>(field.focus) << 2);
            Add(field.blend);
            if (const model::FillPaint* fill = field.fillPaint()) {
                Add(fill->color);
            } else if (const model::StrokePaint* stroke = field.strokePaint()) {
                Add(stroke->color);
                Add(stroke->width);
                Add(stroke->dashes.size());
            }
        }
    }
    std::size_t Value() const { return value_; }

private:
    void Add(std::size_t part) { value_ = (value_ ^ part) * 0x100000001B3ull; }
    void Add(double number) { Add(number == 0.0 ? std::size_t{0} : std::hash<double>{}(number)); }
    void Add(const model::BlendAttributes& blend) {
        Add(static_cast<std::size_t>(blend.mode));
        Add(blend.opacity);
    }
    void Add(const model::Color& color) {
        Add(static_cast<std::size_t>(color.kind));
        for (const double component : color.values) {
            Add(component);
        }
        Add(std::hash<std::string>{}(color.resource));
    }

    std::size_t value_ = 0xCBF29CE484222325ull;
};

}  // namespace

AIArtStyleHandle StyleHandleFor(HostState& state, const model::ArtStyle& style) {
    const std::size_t digest = StyleDigest(style).Value();
    const auto [first, last] = state.styles.valuesByDigest.equal_range(digest);
    for (auto each = first; each != last; ++each) {
        const auto handle = reinterpret_cast<AIArtStyleHandle>(each->second);
        const model::ArtStyle* known = state.styles.values.Find(handle);
        if (known != nullptr && *known == style) {
            return handle;
        }
    }
    const AIArtStyleHandle made =
        state.styles.values.Add<AIArtStyleHandle>(std::make_unique<const model::ArtStyle>(style));
    if (made != nullptr) {
        state.styles.valuesByDigest.emplace(digest, reinterpret_cast<std::uintptr_t>(made));
    }
    return made;
}

const model::ArtStyle* FindStyle(const HostState& state, AIArtStyleHandle style) {
    if (const model::ArtStyle* value = state.styles.values.Find(style)) {
        return value;
    }
    // A named graphic style of the current document, by its own handle.
    const model::GraphicStyle* named =
        state.documents.current != nullptr
            ? state.documents.current->colors().findGraphicStyle(ResourceIdOf(style))
            : nullptr;
    return named != nullptr ? &named->style : nullptr;
}

ParserPaintField FindPaintField(HostState& state, AIParserPaintField paintField) {
    ParserPaintField result;
    const auto number = reinterpret_cast<std::uintptr_t>(paintField);
    if (number == 0) {
        return result;
    }
    std::uintptr_t owner = 0;
    state.styles.parsers.ForEach([&](std::uintptr_t parser, const StyleParserRecord& record) {
        for (std::size_t i = 0; i < record.paintFieldHandles.size(); ++i) {
            if (record.paintFieldHandles[i] == number) {
                owner = parser;
                result.index = i;
            }
        }
        if (record.newPaintFields.contains(number)) {
            owner = parser;
            result.floating = number;
        }
    });
    if (owner != 0) {
        result.parser = state.styles.parsers.Find(reinterpret_cast<const void*>(owner));
    }
    return result;
}

namespace {

const model::Document* CurrentDocument() {
    const HostState* state = CurrentState();
    return state != nullptr ? state->documents.current.get() : nullptr;
}

// The resource named by a colour, as a handle of the current document; null when it has none.
const void* ResourceHandle(const model::Color& color) {
    const model::Document* document = CurrentDocument();
    if (document == nullptr) {
        return nullptr;
    }
    model::ResourceId id;
    if (color.kind == model::Color::Kind::custom) {
        const model::CustomColor* custom = document->colors().customColorByName(color.resource);
        id = custom != nullptr ? custom->id : model::ResourceId{};
    } else if (const model::PaintResource* resource =
                   document->colors().resourceByName(color.resource, color.kind)) {
        id = resource->id;
    }
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(id.value));
}

// The name of the custom colour behind the handle in the current document; a library's custom
// colour is added to the document first (or the document's of the same name is taken).
std::optional<std::string> CustomColorName(AICustomColorHandle handle) {
    HostState* state = CurrentState();
    if (state == nullptr || state->documents.current == nullptr) {
        return std::nullopt;
    }
    const SwatchLibraryRecord* library = nullptr;
    const model::CustomColor* custom = FindCustomColor(*state, handle, &library);
    if (custom == nullptr) {
        return std::nullopt;
    }
    // Only a library's colour the document lacks changes the document: a lookup records nothing.
    model::Document& document = *state->documents.current;
    if (library != nullptr && document.colors().customColorByName(custom->name) == nullptr &&
        !document.editColors().addCustomColor(custom->name, custom->definition)) {
        return std::nullopt;
    }
    return custom->name;
}

std::optional<model::Color> ResourceColor(const AIColor& color) {
    const model::Document* document = CurrentDocument();
    if (document == nullptr) {
        return std::nullopt;
    }
    const bool gradient = color.kind == kGradient;
    const void* handle = gradient ? static_cast<const void*>(color.c.b.gradient) : color.c.p.pattern;
    const model::Color::Kind kind = gradient ? model::Color::Kind::gradient : model::Color::Kind::pattern;
    const model::PaintResource* resource = document->colors().findResource(ResourceIdOf(handle), kind);
    if (resource == nullptr) {
        return std::nullopt;
    }
    if (!gradient) {
        return model::Color::pattern(resource->name);
    }
    const AIGradientStyle& style = color.c.b;
    const AIRealMatrix& m = style.matrix;
    for (const AIReal value :
         {style.gradientOrigin.h, style.gradientOrigin.v, style.gradientAngle, style.gradientLength,
          style.hiliteAngle, style.hiliteLength, m.a, m.b, m.c, m.d, m.tx, m.ty}) {
        if (!std::isfinite(value)) {
            return std::nullopt;
        }
    }
    if (style.gradientLength < 0) {
        return std::nullopt;
    }
    return model::Color::gradient(resource->name,
                                  model::GradientPlacement{{style.gradientOrigin.h, style.gradientOrigin.v},
                                                           style.gradientAngle,
                                                           style.gradientLength,
                                                           style.hiliteAngle,
                                                           style.hiliteLength,
                                                           {m.a, m.b, m.c, m.d, m.tx, m.ty}});
}

}  // namespace

const model::CustomColor* FindCustomColor(const HostState& state, AICustomColorHandle handle,
                                          const SwatchLibraryRecord** library) {
    const model::ResourceId id = ResourceIdOf(handle);
    if (library != nullptr) {
        *library = nullptr;
    }
    if (state.documents.current != nullptr) {
        if (const model::CustomColor* custom = state.documents.current->colors().findCustomColor(id)) {
            return custom;
        }
    }
    for (const SwatchLibraryRecord& record : state.colors.swatchLibraries) {
        if (const model::CustomColor* custom = record.colors.findCustomColor(id)) {
            if (library != nullptr) {
                *library = &record;
            }
            return custom;
        }
    }
    return nullptr;
}

AIColor ToAIColor(const model::Color& color) {
    AIColor result;
    switch (color.kind) {
        case model::Color::Kind::custom: {
            const void* handle = ResourceHandle(color);
            if (handle == nullptr) {
                break;  // none
            }
            result.kind = kCustomColor;
            result.c.c = {static_cast<AICustomColorHandle>(const_cast<void*>(handle)), color.values[0]};
            break;
        }
        case model::Color::Kind::pattern:
        case model::Color::Kind::gradient: {
            const void* handle = ResourceHandle(color);
            if (handle == nullptr) {
                break;
            }
            if (color.kind == model::Color::Kind::pattern) {
                result.kind = kPattern;
                result.c.p.pattern = static_cast<AIPatternHandle>(const_cast<void*>(handle));
            } else {
                const model::GradientPlacement& placement = color.placement;
                const model::Matrix& m = placement.matrix;
                result.kind = kGradient;
                result.c.b = AIGradientStyle{static_cast<AIGradientHandle>(const_cast<void*>(handle)),
                                             {placement.origin.x, placement.origin.y},
                                             placement.angle,
                                             placement.length,
                                             {m.a, m.b, m.c, m.d, m.tx, m.ty},
                                             placement.highlightAngle,
                                             placement.highlightLength};
            }
            break;
        }
        case model::Color::Kind::none:
            result.kind = kNoneColor;
            break;
        case model::Color::Kind::gray:
            result.kind = kGrayColor;
            result.c.g.gray = color.values[0];
            break;
        case model::Color::Kind::cmyk:
            result.kind = kFourColor;
            result.c.f = {color.values[0], color.values[1], color.values[2], color.values[3]};
            break;
        case model::Color::Kind::rgb:
            result.kind = kThreeColor;
            result.c.rgb = {color.values[0], color.values[1], color.values[2]};
            break;
    }
    return result;
}

std::optional<model::Color> FromAIColor(const AIColor& color) {
    model::Color result;
    switch (color.kind) {
        case kNoneColor:
            return model::Color::none();
        case kGrayColor:
            result = model::Color::gray(color.c.g.gray);
            break;
        case kFourColor:
            result = model::Color::cmyk(color.c.f.cyan, color.c.f.magenta, color.c.f.yellow, color.c.f.black);
            break;
        case kThreeColor:
            result = model::Color::rgb(color.c.rgb.red, color.c.rgb.green, color.c.rgb.blue);
            break;
        case kCustomColor: {
            const std::optional<std::string> name = CustomColorName(color.c.c.color);
            if (!name) {
                return std::nullopt;
            }
            result = model::Color::custom(*name, color.c.c.tint);
            break;
        }
        case kPattern:
        case kGradient:
            return ResourceColor(color);
        default:
            return std::nullopt;
    }
    for (std::size_t i = 0; i < result.componentCount(); ++i) {
        if (!IsUnit(result.values[i])) {
            return std::nullopt;
        }
    }
    return result;
}

AIFillStyle ToAIFill(const model::FillPaint& fill) {
    return AIFillStyle{ToAIColor(fill.color), fill.overprint};
}

std::optional<model::FillPaint> FromAIFill(const AIFillStyle& fill) {
    const std::optional<model::Color> color = FromAIColor(fill.color);
    if (!color) {
        return std::nullopt;
    }
    return model::FillPaint{*color, fill.overprint != 0};
}

AIStrokeStyle ToAIStroke(const model::StrokePaint& stroke) {
    AIStrokeStyle result;
    result.color = ToAIColor(stroke.color);
    result.overprint = stroke.overprint;
    result.width = stroke.width;
    result.cap = static_cast<AILineCap>(stroke.cap);
    result.join = static_cast<AILineJoin>(stroke.join);
    result.miterLimit = stroke.miterLimit;
    result.dash.offset = stroke.dashOffset;
    // The record holds six dashes; a longer pattern (only a document can hold one) shows its first
    // six, and the length never exceeds what was written.
    const std::size_t count = std::min<std::size_t>(stroke.dashes.size(), kMaxDashComponents);
    result.dash.length = static_cast<ai::int16>(count);
    for (std::size_t i = 0; i < count; ++i) {
        result.dash.array[i] = static_cast<AIFloat>(stroke.dashes[i]);
    }
    return result;
}

std::optional<model::StrokePaint> FromAIStroke(const AIStrokeStyle& stroke, const model::StrokePaint& base) {
    const std::optional<model::Color> color = FromAIColor(stroke.color);
    const bool validShape =
        std::isfinite(stroke.width) && stroke.width >= 0.0 && std::isfinite(stroke.miterLimit) &&
        stroke.miterLimit >= 1.0 && std::isfinite(stroke.dash.offset) && stroke.dash.length >= 0 &&
        stroke.dash.length <= kMaxDashComponents && stroke.cap >= kAIButtCap &&
        stroke.cap <= kAIProjectingCap && stroke.join >= kAIMiterJoin && stroke.join <= kAIBevelJoin;
    if (!color || !validShape) {
        return std::nullopt;
    }
    model::StrokePaint result = base;
    result.color = *color;
    result.overprint = stroke.overprint != 0;
    result.width = stroke.width;
    result.cap = static_cast<model::LineCap>(stroke.cap);
    result.join = static_cast<model::LineJoin>(stroke.join);
    result.miterLimit = stroke.miterLimit;
    result.dashOffset = stroke.dash.offset;
    result.dashes.clear();
    for (int i = 0; i < stroke.dash.length; ++i) {
        const double dash = stroke.dash.array[i];
        if (!std::isfinite(dash) || dash < 0.0) {
            return std::nullopt;
        }
        result.dashes.push_back(dash);
    }
    return result;
}

}  // namespace host

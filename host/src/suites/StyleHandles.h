// What the art-style, parser and path-style suites share: style handles and the conversions between
// the plug-in's paint records (AIColor, AIFillStyle, AIStrokeStyle) and the model's.
#pragma once

#include <optional>

#include "AIArtStyle.h"
#include "AIArtStyleParser.h"
#include "AIPathStyle.h"
#include "HostState.h"
#include "model/ArtStyle.h"

namespace host {

// The handle of the style value: the same handle for an equal value already handed out, else a new
// one. Styles are never disposed of, so a handle stays good for the life of the application.
AIArtStyleHandle StyleHandleFor(HostState& state, const model::ArtStyle& style);
// Null for a handle that names no style.
const model::ArtStyle* FindStyle(const HostState& state, AIArtStyleHandle style);

// The paint field behind a parser's paint-field handle.
// A new paint field not yet inserted is found by its handle (floating); an inserted one by its index.
struct ParserPaintField {
    StyleParserRecord* parser = nullptr;  // null when the handle names no paint field
    std::size_t index = 0;
    std::uintptr_t floating = 0;
    model::PaintField* field() const {
        return floating != 0 ? &parser->newPaintFields.at(floating).field
                             : &parser->style->paintFields[index];
    }
    std::vector<std::uintptr_t>& effectHandles() const {
        return floating != 0 ? parser->newPaintFields.at(floating).effectHandles
                             : parser->fieldEffectHandles[index];
    }
};
ParserPaintField FindPaintField(HostState& state, AIParserPaintField paintField);

// Conversions. A record that breaks the model's limits (a component outside 0 to 1, a negative
// width, an unknown kind) gives none. Custom colours, gradients and patterns are named by the
// current document's handles; a custom colour of a loaded swatch library is added to the current
// document's custom colours (under its name) when first used there. Without a document they
// convert to none (ToAIColor) or fail (FromAIColor).
AIColor ToAIColor(const model::Color& color);
std::optional<model::Color> FromAIColor(const AIColor& color);
// The custom colour behind a handle: the current document's, or a loaded library's; null when the
// handle names none. *library (when not null) tells which.
const model::CustomColor* FindCustomColor(const HostState& state, AICustomColorHandle handle,
                                          const SwatchLibraryRecord** library = nullptr);
inline AICustomColorHandle CustomColorHandleOf(model::ResourceId id) {
    return reinterpret_cast<AICustomColorHandle>(static_cast<std::uintptr_t>(id.value));
}
inline model::ResourceId ResourceIdOf(const void* handle) {
    return model::ResourceId{reinterpret_cast<std::uintptr_t>(handle)};
}
AIFillStyle ToAIFill(const model::FillPaint& fill);
std::optional<model::FillPaint> FromAIFill(const AIFillStyle& fill);
AIStrokeStyle ToAIStroke(const model::StrokePaint& stroke);
// The stroke parameters (dictionary) of `base` are kept.
std::optional<model::StrokePaint> FromAIStroke(const AIStrokeStyle& stroke, const model::StrokePaint& base);

}  // namespace host

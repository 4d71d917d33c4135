// The layer suite: the current document's top-level layers and sublayers, look-ups by title,
// adding and removing layers, and their properties. Changes are recorded in the journal.
#include <optional>
#include <string>
#include <vector>

#include "AILayer.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAILayerSuite;

using model::Document;
using model::LayerId;

AIErr AnswerLayer(const model::Result<LayerId>& found, AILayerHandle* out) {
    if (!found) {
        return Refuse(out, ErrorFromStatus(found.status()));
    }
    *out = LayerHandleOf(*found);
    return kNoErr;
}

AIErr CountLayers(ai::int32* count) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "CountLayers");
    error = OutputError(error, count);
    if (count != nullptr) {
        *count = error == kNoErr ? static_cast<ai::int32>(document->layers().count()) : 0;
    }
    return error;
}

AIErr GetNthLayer(ai::int32 n, AILayerHandle* layer) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetNthLayer");
    if (const AIErr refused = OutputError(error, layer)) {
        return Refuse(layer, refused);
    }
    // A position out of range finds nothing, which is no error.
    *layer = n >= 0 ? LayerHandleOf(document->layers().nth(static_cast<std::size_t>(n)).valueOr(LayerId{}))
                    : nullptr;
    return kNoErr;
}

AIErr GetFirstLayer(AILayerHandle* first) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetFirstLayer");
    if (const AIErr refused = OutputError(error, first)) {
        return Refuse(first, refused);
    }
    *first = LayerHandleOf(document->layers().first());
    return kNoErr;
}

// The navigations share one shape: a model look-up from a layer to another (null when none).
template <model::Result<LayerId> (model::LayerView::*Relation)(LayerId) const>
AIErr Related(const char* operation, AILayerHandle layer, AILayerHandle* related) {
    auto [state, document, error] = StartDocumentOperation(kSuite, operation);
    if (const AIErr refused = OutputError(error, related)) {
        return Refuse(related, refused);
    }
    return AnswerLayer((document->layers().*Relation)(LayerIdOf(layer)), related);
}

AIErr GetNextLayer(AILayerHandle layer, AILayerHandle* next) {
    return Related<&model::LayerView::next>("GetNextLayer", layer, next);
}
AIErr GetPrevLayer(AILayerHandle layer, AILayerHandle* prev) {
    return Related<&model::LayerView::previous>("GetPrevLayer", layer, prev);
}
AIErr GetLayerParent(AILayerHandle layer, AILayerHandle* parent) {
    return Related<&model::LayerView::parent>("GetLayerParent", layer, parent);
}

// Top-level layers are searched first, front to back; then every sublayer in document order.
LayerId LayerByTitle(const Document& document, const std::string& title) {
    if (const LayerId top = document.layers().topByTitle(title)) {
        return top;
    }
    return document.layers().byTitle(title);
}

AIErr GetLayerByTitle(AILayerHandle* layer, const ai::UnicodeString& title) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetLayerByTitle");
    if (const AIErr refused = OutputError(error, layer)) {
        return Refuse(layer, refused);
    }
    const std::optional<std::string> text = StringText(*state, title);
    if (!text) {
        return Refuse(layer, kBadParameterErr);
    }
    *layer = LayerHandleOf(LayerByTitle(*document, *text));
    return kNoErr;
}

// How the journal names a layer: its title; "null" for a null handle, "invalid" for one that names
// no layer of the document.
std::string LayerLabel(const Document* document, AILayerHandle layer) {
    if (layer == nullptr) {
        return "null";
    }
    const model::Result<model::LayerProperties> properties =
        document != nullptr ? document->layers().properties(LayerIdOf(layer))
                            : model::Result<model::LayerProperties>(model::Status::invalidHandle);
    return properties ? properties->title : std::string("invalid");
}

AIErr InsertLayer(AILayerHandle layer, ai::int16 paintOrder, AILayerHandle* newLayer) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "InsertLayer");
    const std::optional<model::PaintOrder> order = model::paintOrderFromCode(paintOrder);
    if (error == kNoErr && (newLayer == nullptr || !order)) {
        error = kBadParameterErr;
    }
    const std::string label = LayerLabel(document, layer);
    if (error == kNoErr) {
        error = AnswerLayer(document->editLayers().insert(LayerIdOf(layer), *order), newLayer);
    }
    Record(state, "InsertLayer", {label, std::to_string(paintOrder)}, error);
    return error == kNoErr ? kNoErr : Refuse(newLayer, error);
}

AIErr InsertLayerAtArt(AIArtHandle art, ai::int16 paintOrder, AILayerHandle* newLayer) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "InsertLayerAtArt");
    const std::optional<model::PaintOrder> order = model::paintOrderFromCode(paintOrder);
    if (error == kNoErr && (newLayer == nullptr || !order)) {
        error = kBadParameterErr;
    }
    const std::string label = ArtLabel(document, art);
    if (error == kNoErr) {
        error = AnswerLayer(document->editLayers().insertAtArt(ArtIdOf(art), *order), newLayer);
    }
    Record(state, "InsertLayerAtArt", {label, std::to_string(paintOrder)}, error);
    return error == kNoErr ? kNoErr : Refuse(newLayer, error);
}

AIErr DeleteLayer(AILayerHandle layer) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "DeleteLayer");
    const std::string label = LayerLabel(document, layer);
    if (error == kNoErr) {
        const model::Status status = document->editLayers().remove(LayerIdOf(layer));
        error = status == model::Status::notAllowed ? kCantHappenErr : ErrorFromStatus(status);
    }
    Record(state, "DeleteLayer", {label}, error);
    return error;
}

// --- Properties ------------------------------------------------------------------------------------

// The properties of a layer, after the operation's start; error is set when there are none.
struct PropertiesStart {
    HostState* state;
    Document* document;
    model::LayerProperties properties;
    AIErr error;
};

PropertiesStart StartPropertiesOperation(const char* operation, AILayerHandle layer) {
    auto [state, document, error] = StartDocumentOperation(kSuite, operation);
    if (error != kNoErr) {
        return {state, document, {}, error};
    }
    const model::Result<model::LayerProperties> properties = document->layers().properties(LayerIdOf(layer));
    if (!properties) {
        return {state, document, {}, ErrorFromStatus(properties.status())};
    }
    return {state, document, *properties, kNoErr};
}

// A getter of one property: the value, or the out-value's null value on an error.
template <typename T, typename Read>
AIErr GetProperty(const char* operation, AILayerHandle layer, T* out, Read read) {
    auto [state, document, properties, error] = StartPropertiesOperation(operation, layer);
    error = OutputError(error, out);
    if (out != nullptr) {
        *out = error == kNoErr ? read(properties) : T{};
    }
    return error;
}

// A setter of one property: changes a copy of the properties and hands it to the model, which
// refuses values it does not hold (a malformed title, a percentage outside 0 to 100).
template <typename Change>
AIErr SetProperty(const char* operation, AILayerHandle layer, const std::string& value, Change change) {
    auto [state, document, properties, error] = StartPropertiesOperation(operation, layer);
    const std::string label = LayerLabel(document, layer);
    if (error == kNoErr) {
        change(properties);
        error = ErrorFromStatus(document->editLayers().setProperties(LayerIdOf(layer), properties));
    }
    Record(state, operation, {label, value}, error);
    return error;
}

AIErr GetLayerTitle(AILayerHandle layer, ai::UnicodeString& title) {
    auto [state, document, properties, error] = StartPropertiesOperation("GetLayerTitle", layer);
    if (error == kNoErr) {
        SetStringText(*state, title, properties.title);
    }
    return error;
}

AIErr SetLayerTitle(AILayerHandle layer, const ai::UnicodeString& title) {
    auto [state, document, properties, error] = StartPropertiesOperation("SetLayerTitle", layer);
    const std::optional<std::string> text = state != nullptr ? StringText(*state, title) : std::nullopt;
    if (error == kNoErr && !text) {
        error = kBadParameterErr;
    }
    const std::string label = LayerLabel(document, layer);
    if (error == kNoErr) {
        properties.title = *text;
        error = ErrorFromStatus(document->editLayers().setProperties(LayerIdOf(layer), properties));
    }
    Record(state, "SetLayerTitle", {label, text.value_or("invalid")}, error);
    return error;
}

AIErr GetLayerColor(AILayerHandle layer, AIRGBColor* color) {
    return GetProperty("GetLayerColor", layer, color, [](const model::LayerProperties& properties) {
        return AIRGBColor{properties.color.red, properties.color.green, properties.color.blue};
    });
}

AIErr SetLayerColor(AILayerHandle layer, AIRGBColor color) {
    const std::string value =
        std::to_string(color.red) + " " + std::to_string(color.green) + " " + std::to_string(color.blue);
    return SetProperty("SetLayerColor", layer, value, [&](model::LayerProperties& properties) {
        properties.color = {color.red, color.green, color.blue};
    });
}

// The yes-or-no properties share one shape.
template <bool model::LayerProperties::*Flag>
AIErr GetFlag(const char* operation, AILayerHandle layer, AIBoolean* value) {
    return GetProperty(operation, layer, value, [](const model::LayerProperties& properties) {
        return static_cast<AIBoolean>(properties.*Flag ? 1 : 0);
    });
}

template <bool model::LayerProperties::*Flag>
AIErr SetFlag(const char* operation, AILayerHandle layer, AIBoolean value) {
    return SetProperty(operation, layer, value != 0 ? "1" : "0",
                       [&](model::LayerProperties& properties) { properties.*Flag = value != 0; });
}

using model::LayerProperties;

AIErr GetLayerVisible(AILayerHandle layer, AIBoolean* value) {
    return GetFlag<&LayerProperties::visible>("GetLayerVisible", layer, value);
}
AIErr SetLayerVisible(AILayerHandle layer, AIBoolean value) {
    return SetFlag<&LayerProperties::visible>("SetLayerVisible", layer, value);
}
AIErr GetLayerEditable(AILayerHandle layer, AIBoolean* value) {
    return GetFlag<&LayerProperties::editable>("GetLayerEditable", layer, value);
}
AIErr SetLayerEditable(AILayerHandle layer, AIBoolean value) {
    return SetFlag<&LayerProperties::editable>("SetLayerEditable", layer, value);
}
AIErr GetLayerPrinted(AILayerHandle layer, AIBoolean* value) {
    return GetFlag<&LayerProperties::printed>("GetLayerPrinted", layer, value);
}
AIErr SetLayerPrinted(AILayerHandle layer, AIBoolean value) {
    return SetFlag<&LayerProperties::printed>("SetLayerPrinted", layer, value);
}
AIErr GetLayerPreview(AILayerHandle layer, AIBoolean* value) {
    return GetFlag<&LayerProperties::preview>("GetLayerPreview", layer, value);
}
AIErr SetLayerPreview(AILayerHandle layer, AIBoolean value) {
    return SetFlag<&LayerProperties::preview>("SetLayerPreview", layer, value);
}
AIErr GetLayerIsTemplate(AILayerHandle layer, AIBoolean* value) {
    return GetFlag<&LayerProperties::isTemplate>("GetLayerIsTemplate", layer, value);
}
AIErr SetLayerIsTemplate(AILayerHandle layer, AIBoolean value) {
    return SetFlag<&LayerProperties::isTemplate>("SetLayerIsTemplate", layer, value);
}
AIErr GetLayerDimPlacedImages(AILayerHandle layer, AIBoolean* value) {
    return GetFlag<&LayerProperties::dimPlacedImages>("GetLayerDimPlacedImages", layer, value);
}
AIErr SetLayerDimPlacedImages(AILayerHandle layer, AIBoolean value) {
    return SetFlag<&LayerProperties::dimPlacedImages>("SetLayerDimPlacedImages", layer, value);
}

AIErr GetLayerDimmedPercent(AILayerHandle layer, ai::int32* percent) {
    return GetProperty("GetLayerDimmedPercent", layer, percent, [](const LayerProperties& properties) {
        return static_cast<ai::int32>(properties.dimPercent);
    });
}

AIErr SetLayerDimmedPercent(AILayerHandle layer, ai::int32 percent) {
    return SetProperty("SetLayerDimmedPercent", layer, std::to_string(percent),
                       [&](LayerProperties& properties) { properties.dimPercent = percent; });
}

}  // namespace

AILayerSuite gLayerSuite = {
    PLIM_SUITE_FUNCTION(CountLayers),
    PLIM_SUITE_FUNCTION(GetNthLayer),
    PLIM_SUITE_FUNCTION(GetFirstLayer),
    PLIM_SUITE_FUNCTION(GetNextLayer),
    PLIM_SUITE_FUNCTION(GetPrevLayer),
    PLIM_SUITE_FUNCTION(GetLayerParent),
    PLIM_SUITE_FUNCTION(GetLayerByTitle),
    PLIM_SUITE_FUNCTION(InsertLayer),
    PLIM_SUITE_FUNCTION(InsertLayerAtArt),
    PLIM_SUITE_FUNCTION(DeleteLayer),
    PLIM_SUITE_FUNCTION(GetLayerTitle),
    PLIM_SUITE_FUNCTION(SetLayerTitle),
    PLIM_SUITE_FUNCTION(GetLayerColor),
    PLIM_SUITE_FUNCTION(SetLayerColor),
    PLIM_SUITE_FUNCTION(GetLayerVisible),
    PLIM_SUITE_FUNCTION(SetLayerVisible),
    PLIM_SUITE_FUNCTION(GetLayerEditable),
    PLIM_SUITE_FUNCTION(SetLayerEditable),
    PLIM_SUITE_FUNCTION(GetLayerPrinted),
    PLIM_SUITE_FUNCTION(SetLayerPrinted),
    PLIM_SUITE_FUNCTION(GetLayerPreview),
    PLIM_SUITE_FUNCTION(SetLayerPreview),
    PLIM_SUITE_FUNCTION(GetLayerIsTemplate),
    PLIM_SUITE_FUNCTION(SetLayerIsTemplate),
    PLIM_SUITE_FUNCTION(GetLayerDimPlacedImages),
    PLIM_SUITE_FUNCTION(SetLayerDimPlacedImages),
    PLIM_SUITE_FUNCTION(GetLayerDimmedPercent),
    PLIM_SUITE_FUNCTION(SetLayerDimmedPercent),
};

}  // namespace host

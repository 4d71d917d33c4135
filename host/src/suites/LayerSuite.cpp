// The layer suite: the current document's top-level layers and sublayers, and look-ups by title.
#include <string>

#include "AILayer.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"

namespace host {
namespace {

constexpr const char* kSuite = kAILayerSuite;

using model::Document;
using model::LayerId;

AIErr Refuse(AILayerHandle* out, AIErr error) {
    if (out != nullptr) {
        *out = nullptr;
    }
    return error;
}

AIErr AnswerLayer(const model::Result<LayerId>& found, AILayerHandle* out) {
    if (!found) {
        return Refuse(out, ErrorFromStatus(found.status()));
    }
    *out = LayerHandleOf(*found);
    return kNoErr;
}

AIErr CountLayers(ai::int32* count) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "CountLayers");
    if (error == kNoErr && count == nullptr) {
        error = kBadParameterErr;
    }
    if (count != nullptr) {
        *count = error == kNoErr ? static_cast<ai::int32>(document->layerCount()) : 0;
    }
    return error;
}

AIErr GetNthLayer(ai::int32 n, AILayerHandle* layer) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetNthLayer");
    if (error != kNoErr || layer == nullptr) {
        return Refuse(layer, error != kNoErr ? error : kBadParameterErr);
    }
    // A position out of range finds nothing, which is no error.
    *layer =
        n >= 0 ? LayerHandleOf(document->nthLayer(static_cast<std::size_t>(n)).valueOr(LayerId{})) : nullptr;
    return kNoErr;
}

AIErr GetFirstLayer(AILayerHandle* first) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetFirstLayer");
    if (error != kNoErr || first == nullptr) {
        return Refuse(first, error != kNoErr ? error : kBadParameterErr);
    }
    *first = LayerHandleOf(document->firstLayer());
    return kNoErr;
}

// The navigations share one shape: a model look-up from a layer to another (null when none).
template <model::Result<LayerId> (Document::*Relation)(LayerId) const>
AIErr Related(const char* operation, AILayerHandle layer, AILayerHandle* related) {
    auto [state, document, error] = StartDocumentOperation(kSuite, operation);
    if (error != kNoErr || related == nullptr) {
        return Refuse(related, error != kNoErr ? error : kBadParameterErr);
    }
    return AnswerLayer((document->*Relation)(LayerIdOf(layer)), related);
}

AIErr GetNextLayer(AILayerHandle layer, AILayerHandle* next) {
    return Related<&Document::nextLayer>("GetNextLayer", layer, next);
}
AIErr GetPrevLayer(AILayerHandle layer, AILayerHandle* prev) {
    return Related<&Document::previousLayer>("GetPrevLayer", layer, prev);
}
AIErr GetLayerParent(AILayerHandle layer, AILayerHandle* parent) {
    return Related<&Document::parentLayer>("GetLayerParent", layer, parent);
}

// Top-level layers are searched first, front to back; then every sublayer in document order.
LayerId LayerByTitle(const Document& document, const std::string& title) {
    for (std::size_t index = 0; index < document.layerCount(); ++index) {
        const LayerId layer = document.nthLayer(index).valueOr(LayerId{});
        const model::Result<model::LayerProperties> properties = document.layerProperties(layer);
        if (properties && properties->title == title) {
            return layer;
        }
    }
    return document.layerByTitle(title);
}

AIErr GetLayerByTitle(AILayerHandle* layer, const ai::UnicodeString& title) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetLayerByTitle");
    if (error != kNoErr || layer == nullptr) {
        return Refuse(layer, error != kNoErr ? error : kBadParameterErr);
    }
    const std::optional<std::string> text = StringText(*state, title);
    if (!text) {
        return Refuse(layer, kBadParameterErr);
    }
    *layer = LayerHandleOf(LayerByTitle(*document, *text));
    return kNoErr;
}

}  // namespace

AILayerSuite gLayerSuite = {CountLayers,  GetNthLayer,    GetFirstLayer,  GetNextLayer,
                            GetPrevLayer, GetLayerParent, GetLayerByTitle};

}  // namespace host

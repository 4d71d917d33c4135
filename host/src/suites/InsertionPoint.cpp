#include "suites/InsertionPoint.h"

#include "suites/DocumentAccess.h"
#include "suites/SuiteBoundary.h"

namespace host {

namespace {

constexpr const char* kSuite = kAIArtSuite;

// Art can go where the layer is shown and not locked.
bool IsEditable(const model::Document& document, model::ArtId target) {
    const model::Result<model::LayerId> layer = document.layerOfArt(target);
    if (!layer) {
        return false;
    }
    const model::Result<model::LayerProperties> properties = document.layers().properties(*layer);
    return properties && properties->visible && properties->editable;
}

}  // namespace

InsertionPlace ResolveInsertionPoint(const HostState& state, const model::Document& document) {
    const model::ArtId set = state.documents.insertionPoint;
    if (set && document.isValid(set)) {
        const bool layerGroup = document.isLayerGroup(set).valueOr(false);
        return {layerGroup ? model::PaintOrder::insideOnTop : model::PaintOrder::above, set};
    }
    return {model::PaintOrder::insideOnTop, document.layers().group(document.layers().current()).valueOr({})};
}

AIErr GetInsertionPoint(AIArtHandle* art, ai::int16* paintOrder, AIBoolean* editable) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetInsertionPoint");
    if (error == kNoErr && (art == nullptr || paintOrder == nullptr)) {
        error = kBadParameterErr;
    }
    InsertionPlace place;
    if (error == kNoErr) {
        place = ResolveInsertionPoint(*state, *document);
    }
    if (art != nullptr) {
        *art = error == kNoErr ? ArtHandleOf(place.target) : nullptr;
    }
    if (paintOrder != nullptr) {
        *paintOrder = error == kNoErr ? static_cast<ai::int16>(place.order) : 0;
    }
    if (editable != nullptr) {
        *editable = error == kNoErr && IsEditable(*document, place.target);
    }
    return error;
}

AIErr SetInsertionPoint(AIArtHandle art) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "SetInsertionPoint");
    const std::string label = ArtLabel(document, art);
    if (error == kNoErr && !document->isValid(ArtIdOf(art))) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        state->documents.insertionPoint = ArtIdOf(art);
    }
    Record(state, "SetInsertionPoint", {label}, error);
    return error;
}

}  // namespace host

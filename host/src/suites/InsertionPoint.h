// The document's insertion point: where art made without a prep art goes (the art suite's
// GetInsertionPoint and SetInsertionPoint, and the shape construction suite's new shapes).
#pragma once

#include "AIArt.h"
#include "HostState.h"
#include "model/Document.h"

namespace host {

struct InsertionPlace {
    model::PaintOrder order = model::PaintOrder::insideOnTop;
    model::ArtId target;
};

// Directly above the art set as insertion point (inside on top when it is a layer group); inside
// on top of the current layer's group when none is set or the art is gone.
InsertionPlace ResolveInsertionPoint(const HostState& state, const model::Document& document);

AIErr GetInsertionPoint(AIArtHandle* art, ai::int16* paintOrder, AIBoolean* editable);
AIErr SetInsertionPoint(AIArtHandle art);

}  // namespace host

// The documents open besides the current one.
#pragma once

#include <cstdint>

#include "HostState.h"

namespace host {

// After the current document was closed: the most recently current of the others (if any) becomes
// current, with its handle and undo history.
void BringNextDocumentForward(HostState& state);

// The document of a handle, current or open behind it; null when the handle names none.
model::Document* FindOpenDocument(HostState& state, std::uintptr_t handle);

// The handles of the open documents in the document list's order: the current one first.
std::vector<std::uintptr_t> OpenDocumentHandles(const HostState& state);

}  // namespace host

// What the suites over the current document share: the start of an operation, handles, error codes,
// the journal's names for art and the plug-in's Unicode strings.
//
// Handles are the model's ids dressed as pointers (ArtId to AIArtHandle, LayerId to AILayerHandle,
// SymbolId to AIPatternHandle). The model draws every id from one counter and never reuses one, so
// a disposed, foreign or made-up handle simply names nothing, and a handle of one kind never names
// an object of another kind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "AIArt.h"
#include "AIDictionary.h"
#include "AILayer.h"
#include "AISymbol.h"
#include "HostState.h"
#include "IAIUnicodeString.h"
#include "model/Document.h"

namespace host {

struct DocumentStart {
    HostState* state;
    model::Document* document;  // null when error is set
    AIErr error;
};

// StartOperation, then the current document: kNoDocumentErr when none is open.
DocumentStart StartDocumentOperation(std::string_view suite, std::string_view operation);

// Every refusal of the model reads as kBadParameterErr: a stale handle, a bad argument, a missing
// entry, art of the wrong kind, a move the tree does not allow.
AIErr ErrorFromStatus(model::Status status);

inline model::ArtId ArtIdOf(AIArtHandle art) {
    return model::ArtId{reinterpret_cast<std::uintptr_t>(art)};
}
inline AIArtHandle ArtHandleOf(model::ArtId art) {
    return reinterpret_cast<AIArtHandle>(static_cast<std::uintptr_t>(art.value));
}
inline model::LayerId LayerIdOf(AILayerHandle layer) {
    return model::LayerId{reinterpret_cast<std::uintptr_t>(layer)};
}
inline AILayerHandle LayerHandleOf(model::LayerId layer) {
    return reinterpret_cast<AILayerHandle>(static_cast<std::uintptr_t>(layer.value));
}
inline model::SymbolId SymbolIdOf(AIPatternHandle symbol) {
    return model::SymbolId{reinterpret_cast<std::uintptr_t>(symbol)};
}
inline AIPatternHandle SymbolHandleOf(model::SymbolId symbol) {
    return reinterpret_cast<AIPatternHandle>(static_cast<std::uintptr_t>(symbol.value));
}

// How the journal names art: its UUID; "null" for a null handle, "invalid" for a handle that names
// no art of the document.
std::string ArtLabel(const model::Document* document, AIArtHandle art);

// The text of a plug-in's string as UTF-8 (a string without a reference is the empty text); none
// when its reference is not a live string of the host.
std::optional<std::string> StringText(const HostState& state, const ai::UnicodeString& text);
// Makes the plug-in's string hold the text. Done as the host's own work: the strings it makes are
// neither failed nor counted by fault injection.
void SetStringText(HostState& state, ai::UnicodeString& target, std::string_view utf8);

// Dictionary references (the dictionary suite): a new reference to the dictionary at the address,
// carrying one count; and the dictionary a live reference names now (null when the reference is
// unknown or released, or its dictionary is gone).
// A new reference to a dictionary held by the reference itself (a copy handed out, or a new empty
// one), in no document.
AIDictionaryRef NewOwnedDictionaryRef(HostState& state, model::Dictionary dictionary);
AIDictionaryRef NewDictionaryRef(HostState& state, model::DictionaryRef address);
const model::Dictionary* ResolveDictionaryRef(HostState& state, AIDictionaryRef dictionary);
// The same, for a change: the dictionary's owner is recorded in the document's change log.
model::Dictionary* ResolveDictionaryRefToEdit(HostState& state, AIDictionaryRef dictionary);

// A memory block (the MdMemory suite) holding the handles of the art, in order; the plug-in frees it.
AIArtHandle** NewArtBlock(HostState& state, const std::vector<model::ArtId>& arts);
// The same for symbol handles.
AIPatternHandle** NewSymbolBlock(HostState& state, const std::vector<model::SymbolId>& symbols);

}  // namespace host

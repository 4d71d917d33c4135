// The document's symbols: named definitions that symbol instances place.
#include <algorithm>

#include "model/Document.h"
#include "model/Utf8.h"

namespace host::model {

Result<SymbolId> Document::addSymbol(std::string_view name) {
    if (name.empty() || !isValidUtf8(name) || symbolByName(name)) {
        return Status::badParameter;
    }
    const SymbolId id{nextHandleValue()};
    symbols_.push_back(Symbol{id, std::string(name)});
    return id;
}

const Symbol* Document::findSymbol(SymbolId symbol) const {
    if (!symbol) {
        return nullptr;
    }
    const auto found =
        std::find_if(symbols_.begin(), symbols_.end(), [&](const Symbol& each) { return each.id == symbol; });
    return found == symbols_.end() ? nullptr : &*found;
}

SymbolId Document::symbolByName(std::string_view name) const {
    const auto found =
        std::find_if(symbols_.begin(), symbols_.end(), [&](const Symbol& each) { return each.name == name; });
    return found == symbols_.end() ? SymbolId{} : found->id;
}

}  // namespace host::model

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
    editFields().symbols.push_back(Symbol{id, std::string(name)});
    return id;
}

const Symbol* Document::findSymbol(SymbolId symbol) const {
    if (!symbol) {
        return nullptr;
    }
    const auto found = std::find_if(fields_->symbols.begin(), fields_->symbols.end(),
                                    [&](const Symbol& each) { return each.id == symbol; });
    return found == fields_->symbols.end() ? nullptr : &*found;
}

SymbolId Document::symbolByName(std::string_view name) const {
    const auto found = std::find_if(fields_->symbols.begin(), fields_->symbols.end(),
                                    [&](const Symbol& each) { return each.name == name; });
    return found == fields_->symbols.end() ? SymbolId{} : found->id;
}

}  // namespace host::model

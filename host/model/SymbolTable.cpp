// The symbol table: finding symbols by handle and name, adding them with their names checked.
#include "model/SymbolTable.h"

#include <algorithm>

#include "model/Document.h"
#include "model/Utf8.h"

namespace host::model {

namespace {

bool isValidSymbolName(std::string_view name) {
    return !name.empty() && isValidUtf8(name);
}

}  // namespace

const Symbol* SymbolTable::find(SymbolId symbol) const {
    if (!symbol) {
        return nullptr;
    }
    const auto found =
        std::find_if(symbols_.begin(), symbols_.end(), [&](const Symbol& each) { return each.id == symbol; });
    return found == symbols_.end() ? nullptr : &*found;
}

SymbolId SymbolTable::byName(std::string_view name) const {
    const auto found =
        std::find_if(symbols_.begin(), symbols_.end(), [&](const Symbol& each) { return each.name == name; });
    return found == symbols_.end() ? SymbolId{} : found->id;
}

Result<SymbolId> SymbolTable::add(std::string_view name) {
    return add(name, ArtTree{});
}

Result<SymbolId> SymbolTable::add(std::string_view name, ArtTree artwork) {
    if (!isValidSymbolName(name) || byName(name) || !isWellFormedTree(artwork, false)) {
        return Status::badParameter;
    }
    const SymbolId id{nextHandleValue()};
    const Rect frame = artworkBounds(artwork);
    symbols_.push_back(Symbol{id, std::string(name), Shared<ArtTree>(std::move(artwork)), frame});
    return id;
}

SymbolId SymbolTable::addCopy(const Symbol& symbol) {
    const SymbolId id{nextHandleValue()};
    symbols_.push_back(Symbol{id, symbol.name, symbol.definition, symbol.frame});
    return id;
}

Status SymbolTable::setName(SymbolId symbol, std::string_view name) {
    const Symbol* found = find(symbol);
    if (found == nullptr) {
        return Status::invalidHandle;
    }
    if (found->name == name) {
        return Status::ok;
    }
    if (!isValidSymbolName(name) || byName(name)) {
        return Status::badParameter;
    }
    symbols_[static_cast<std::size_t>(found - symbols_.data())].name = std::string(name);
    return Status::ok;
}

void SymbolTable::remove(SymbolId symbol) {
    std::erase_if(symbols_, [&](const Symbol& each) { return each.id == symbol; });
}

void SymbolTable::forEachDefinition(const std::function<void(Shared<ArtTree>& definition)>& visit) {
    for (Symbol& symbol : symbols_) {
        visit(symbol.definition);
    }
}

}  // namespace host::model

// The symbols of a document: named artwork that symbol instances place, in the order they were
// added. Instances refer to a symbol by its name; Document walks the art for the operations that
// follow its uses (renaming with them, deleting only what is unused, new instances, importing).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/ArtTree.h"
#include "model/Handles.h"
#include "model/Rect.h"
#include "model/Shared.h"
#include "model/Status.h"

namespace host::model {

struct Symbol {
    SymbolId id;
    std::string name;  // unique in its document, non-empty UTF-8
    // The artwork, as it stood when the symbol was defined (an empty group when none was given),
    // shared with copies of the document until it changes; and its geometric bounds, the frame of
    // every new instance.
    Shared<ArtTree> definition;
    Rect frame;
    bool operator==(const Symbol&) const = default;
};

class SymbolTable {
public:
    std::size_t size() const { return symbols_.size(); }
    bool empty() const { return symbols_.empty(); }
    const Symbol& operator[](std::size_t index) const { return symbols_[index]; }
    std::vector<Symbol>::const_iterator begin() const { return symbols_.begin(); }
    std::vector<Symbol>::const_iterator end() const { return symbols_.end(); }
    // Null for a handle that names no symbol of this table.
    const Symbol* find(SymbolId symbol) const;
    // Null when no symbol has the name.
    SymbolId byName(std::string_view name) const;

    // A symbol showing the artwork (none: an empty group). badParameter: an empty or malformed name,
    // one that another symbol has, or artwork that holds layers or is not well formed
    // (isWellFormedTree).
    Result<SymbolId> add(std::string_view name, ArtTree artwork = {});
    // A symbol of another document under a handle of its own, its artwork shared. Its name must be
    // free here.
    SymbolId addCopy(const Symbol& symbol);
    // Renames only the record; Document::renameSymbol also renames the uses. invalidHandle: no such
    // symbol; badParameter as add (the symbol's own name is ok).
    Status setName(SymbolId symbol, std::string_view name);
    // Removes only the record; Document::deleteSymbol refuses a symbol still in use.
    void remove(SymbolId symbol);
    // Replaces the artwork of the symbol at the index with artwork that differs only in what it names
    // or paints with: the frame stays as it is.
    void setDefinition(std::size_t index, ArtTree artwork) {
        symbols_[index].definition = Shared<ArtTree>(std::move(artwork));
    }

    bool operator==(const SymbolTable&) const = default;

private:
    std::vector<Symbol> symbols_;
};

}  // namespace host::model

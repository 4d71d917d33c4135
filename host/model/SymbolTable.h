// The symbols of a document: named artwork that symbol instances place, in the order they were
// added. Instances refer to a symbol by its name; the views beside the table walk the document's art
// for the operations that follow a symbol's uses (where it is used, renaming with them, deleting only
// what is unused, new instances, importing).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "model/ArtTree.h"
#include "model/Handles.h"
#include "model/NamedTable.h"
#include "model/PaintOrder.h"
#include "model/Point.h"
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
    // The symbol's place in the table; size() for a handle that names no symbol.
    std::size_t indexOf(SymbolId symbol) const { return symbols_.indexOf(symbol); }
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
    // Renames only the record; SymbolUseEditor::rename also renames the uses. invalidHandle: no such
    // symbol; badParameter as add (the symbol's own name is ok).
    Status setName(SymbolId symbol, std::string_view name);
    // Removes only the record; SymbolUseEditor::remove refuses a symbol still in use.
    void remove(SymbolId symbol);
    // Replaces the artwork of the symbol at the index with artwork that differs only in what it names
    // or paints with: the frame stays as it is.
    void setDefinition(std::size_t index, ArtTree artwork) {
        symbols_.editAt(index).definition = Shared<ArtTree>(std::move(artwork));
    }

    bool operator==(const SymbolTable&) const = default;

private:
    NamedTable<Symbol> symbols_;
};

// Where SymbolUseView::used looks for uses of symbols (bits that can be combined).
namespace symbolUse {
inline constexpr unsigned artwork = 0x01;        // symbol instances in the layers
inline constexpr unsigned artStyles = 0x02;      // arrowheads named by the strokes of art styles
inline constexpr unsigned definitions = 0x08;    // symbol instances inside other symbols' artwork
inline constexpr unsigned graphicStyles = 0x40;  // arrowheads named by named graphic styles
}  // namespace symbolUse

class Document;

// The uses of a document's symbols, found through its art, its symbols' artwork and its named
// styles. A view holds on to its document and is good while the document lives; the table itself
// is Document::symbols().
class SymbolUseView {
public:
    explicit SymbolUseView(const Document& document) : document_(document) {}

    // The symbols used where the bits of `where` (symbolUse) say, in the order of the table.
    std::vector<SymbolId> used(unsigned where) const;

private:
    const Document& document_;
};

// The changes to a document's symbols that keep their uses in view, besides what SymbolUseView
// reads. Each one records what it changes in the document's change log.
class SymbolUseEditor : public SymbolUseView {
public:
    explicit SymbolUseEditor(Document& document) : SymbolUseView(document), document_(document) {}

    // Renames the symbol and every use of it: its instances (in the layers and in other symbols'
    // artwork) and the arrowheads that name it. invalidHandle: no such symbol; badParameter as
    // SymbolTable::add.
    Status rename(SymbolId symbol, std::string_view name);
    // Removes a symbol. invalidHandle: no such symbol; notAllowed: an instance or an arrowhead
    // still uses it (used with every bit).
    Status remove(SymbolId symbol);
    // A new instance of the symbol whose frame is centred on the point, placed by the placement
    // rules. invalidHandle: no such symbol; badParameter: a point that is not finite.
    Result<ArtId> newInstance(SymbolId symbol, Point centre, PaintOrder order, ArtId target);
    // Brings a symbol of another document into this one, with the symbols its artwork uses that
    // this document lacks: a symbol of the same name here is taken as it is. invalidHandle: no such
    // symbol in the source; badParameter: its artwork names colours this document does not have.
    Result<SymbolId> import(const Document& source, SymbolId symbol);

private:
    Document& document_;
};

}  // namespace host::model

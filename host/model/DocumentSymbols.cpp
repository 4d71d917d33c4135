// Symbols: the table of a document's symbols, and the views that follow their uses through the
// document's art: where it uses them, renaming and deleting with the uses in view, new instances and
// symbols brought in from another document.
#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <set>

#include "model/Document.h"
#include "model/Utf8.h"

namespace host::model {

namespace {

constexpr std::string_view kArrowheadKeys[] = {"ArrowheadStart", "ArrowheadEnd"};
// A stroke's arrowheads are kept in this dictionary of its parameters, where the beautiful-strokes
// suite writes them; the same keys directly in the parameters name arrowheads too.
constexpr std::string_view kStrokeParamsKey = "BeautifulStrokeParams";

using NameSet = std::set<std::string, std::less<>>;

void collectArrowheadsIn(const Dictionary& parameters, NameSet& names) {
    for (const std::string_view key : kArrowheadKeys) {
        if (Result<std::string> name = parameters.string(key)) {
            names.insert(std::move(*name));
        }
    }
}

void collectArrowheads(const ArtStyle& style, NameSet& names) {
    for (const PaintField& field : style.paintFields) {
        const StrokePaint* stroke = field.strokePaint();
        if (stroke == nullptr) {
            continue;
        }
        collectArrowheadsIn(stroke->parameters, names);
        if (const Dictionary* nested = stroke->parameters.dictionary(kStrokeParamsKey)) {
            collectArrowheadsIn(*nested, names);
        }
    }
}

const std::string* instanceName(const ArtData& data) {
    const auto* instance = std::get_if<SymbolContent>(&data.content);
    return instance == nullptr ? nullptr : &instance->symbol;
}

// The symbols detached artwork names: its instances, and with arrowheads the arrowheads of its
// strokes.
void collectTreeNames(const ArtTree& tree, bool arrowheads, NameSet& names) {
    if (const std::string* name = instanceName(tree.data)) {
        names.insert(*name);
    }
    if (arrowheads) {
        collectArrowheads(tree.data.style, names);
    }
    for (const ArtTree& child : tree.children) {
        collectTreeNames(child, arrowheads, names);
    }
}

bool namesArrowhead(const ArtStyle& style, std::string_view name) {
    NameSet names;
    collectArrowheads(style, names);
    return names.contains(name);
}

void renameArrowheadsIn(Dictionary& parameters, std::string_view from, std::string_view to) {
    for (const std::string_view key : kArrowheadKeys) {
        if (parameters.string(key).valueOr("") == from) {
            parameters.setString(key, to);
        }
    }
}

void renameArrowheads(ArtStyle& style, std::string_view from, std::string_view to) {
    for (PaintField& field : style.paintFields) {
        StrokePaint* stroke = field.strokePaint();
        if (stroke == nullptr) {
            continue;
        }
        renameArrowheadsIn(stroke->parameters, from, to);
        if (Dictionary* nested = stroke->parameters.dictionary(kStrokeParamsKey)) {
            renameArrowheadsIn(*nested, from, to);
        }
    }
}

// Renames the instances and arrowheads of detached artwork.
void renameInTree(ArtTree& tree, std::string_view from, std::string_view to) {
    if (auto* instance = std::get_if<SymbolContent>(&tree.data.content);
        instance && instance->symbol == from) {
        instance->symbol = std::string(to);
    }
    renameArrowheads(tree.data.style, from, to);
    for (ArtTree& child : tree.children) {
        renameInTree(child, from, to);
    }
}

bool isValidSymbolName(std::string_view name) {
    return !name.empty() && isValidUtf8(name);
}

// The symbols a symbol's artwork names, instances and arrowheads, its own name left out: a symbol
// that holds itself is not in use for that.
NameSet namesInDefinition(const Symbol& symbol) {
    NameSet inside;
    collectTreeNames(*symbol.definition, true, inside);
    inside.erase(symbol.name);
    return inside;
}

}  // namespace

Rect artworkBounds(const ArtTree& artwork) {
    // Measured in a scratch document of its own, by the rules of every document.
    Document scratch(std::uint64_t{0});
    // The scratch document has none of the colours the artwork may name, and needs none to measure it.
    const Result<ArtId> copy = scratch.insertWellFormed(artwork, PaintOrder::aboveAll, ArtId{});
    return copy ? scratch.bounds(*copy, BoundsKind::geometric).valueOr(Rect()) : Rect();
}

const Symbol* SymbolTable::find(SymbolId symbol) const {
    return symbols_.find(symbol);
}

SymbolId SymbolTable::byName(std::string_view name) const {
    const Symbol* found = symbols_.byName(name);
    return found == nullptr ? SymbolId{} : found->id;
}

Result<SymbolId> SymbolTable::add(std::string_view name, ArtTree artwork) {
    if (!isValidSymbolName(name) || byName(name) || !isWellFormedTree(artwork, false)) {
        return Status::badParameter;
    }
    const SymbolId id{nextHandleValue()};
    const Rect frame = artworkBounds(artwork);
    symbols_.pushBack(Symbol{id, std::string(name), Shared<ArtTree>(std::move(artwork)), frame});
    return id;
}

SymbolId SymbolTable::addCopy(const Symbol& symbol) {
    const SymbolId id{nextHandleValue()};
    symbols_.pushBack(Symbol{id, symbol.name, symbol.definition, symbol.frame});
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
    symbols_.rename(symbol, std::string(name));
    return Status::ok;
}

void SymbolTable::remove(SymbolId symbol) {
    symbols_.erase(symbol);
}

Status SymbolUseEditor::rename(SymbolId symbol, std::string_view name) {
    const Symbol* found = document_.symbols().find(symbol);
    if (found == nullptr) {
        return Status::invalidHandle;
    }
    const std::string from = found->name;
    if (from == name) {
        return Status::ok;
    }
    if (const Status status = document_.editSymbols().setName(symbol, name); status != Status::ok) {
        return status;
    }
    for (const auto& [id, node] : document_.arts_) {
        const std::string* instance = instanceName(*node.data);
        const bool arrowhead = namesArrowhead(node.data->style, from);
        if ((instance == nullptr || *instance != from) && !arrowhead) {
            continue;
        }
        ArtData& data = document_.editData(id);
        if (auto* content = std::get_if<SymbolContent>(&data.content); content && content->symbol == from) {
            content->symbol = std::string(name);
        }
        renameArrowheads(data.style, from, name);
    }
    for (std::size_t index = 0; index < document_.symbols().size(); ++index) {
        NameSet inside;
        collectTreeNames(*document_.symbols()[index].definition, true, inside);
        if (inside.contains(from)) {
            ArtTree definition = *document_.symbols()[index].definition;
            renameInTree(definition, from, name);
            document_.editSymbols().setDefinition(index, std::move(definition));
        }
    }
    if (std::any_of(document_.colors().graphicStyles().begin(), document_.colors().graphicStyles().end(),
                    [&](const GraphicStyle& style) { return namesArrowhead(style.style, from); })) {
        document_.editColors().forEachGraphicStyle(
            [&](ArtStyle& style) { renameArrowheads(style, from, name); });
    }
    return Status::ok;
}

Document::SymbolUseCounts Document::countSymbolUses() const {
    SymbolUseCounts counts;
    const auto count = [&counts](NameSet names) {
        for (const std::string& name : names) {
            ++counts[name];
        }
    };
    for (const auto& [id, node] : arts_) {
        NameSet names;
        if (const std::string* instance = instanceName(*node.data)) {
            names.insert(*instance);
        }
        collectArrowheads(node.data->style, names);
        count(std::move(names));
    }
    for (const Symbol& symbol : symbols()) {
        count(namesInDefinition(symbol));
    }
    for (const GraphicStyle& style : colors().graphicStyles()) {
        NameSet names;
        collectArrowheads(style.style, names);
        count(std::move(names));
    }
    return counts;
}

std::vector<SymbolId> SymbolUseView::used(unsigned where) const {
    NameSet names;
    if ((where & (symbolUse::artwork | symbolUse::artStyles)) != 0) {
        for (const auto& [id, node] : document_.arts_) {
            const std::string* instance = instanceName(*node.data);
            if ((where & symbolUse::artwork) != 0 && instance != nullptr) {
                names.insert(*instance);
            }
            if ((where & symbolUse::artStyles) != 0) {
                collectArrowheads(node.data->style, names);
            }
        }
    }
    if ((where & symbolUse::definitions) != 0) {
        for (const Symbol& symbol : document_.symbols()) {
            NameSet inside;
            collectTreeNames(*symbol.definition, (where & symbolUse::artStyles) != 0, inside);
            inside.erase(symbol.name);
            names.merge(inside);
        }
    }
    if ((where & symbolUse::graphicStyles) != 0) {
        for (const GraphicStyle& style : document_.colors().graphicStyles()) {
            collectArrowheads(style.style, names);
        }
    }
    std::vector<SymbolId> inUse;
    for (const Symbol& symbol : document_.symbols()) {
        if (names.contains(symbol.name)) {
            inUse.push_back(symbol.id);
        }
    }
    return inUse;
}

Status SymbolUseEditor::remove(SymbolId symbol) {
    const Symbol* doomed = document_.symbols().find(symbol);
    if (doomed == nullptr) {
        return Status::invalidHandle;
    }
    // The counts of the uses everywhere (what used() finds with every bit) are worked out once and
    // kept with the document while nothing else changes it, so that deleting every unused symbol
    // one by one costs a walk of the document once, not once a symbol.
    std::optional<Document::SymbolUseCounts> counts = document_.symbolUseCounts_.take();
    if (!counts) {
        counts = document_.countSymbolUses();
    }
    if (counts->contains(doomed->name)) {
        document_.symbolUseCounts_.keep(std::move(*counts));
        return Status::notAllowed;
    }
    // Only the uses inside its own artwork go with an unused symbol.
    const NameSet inside = namesInDefinition(*doomed);
    document_.editSymbols().remove(symbol);
    for (const std::string& name : inside) {
        const auto found = counts->find(name);
        if (found != counts->end() && --found->second == 0) {
            counts->erase(found);
        }
    }
    document_.symbolUseCounts_.keep(std::move(*counts));
    return Status::ok;
}

Result<ArtId> SymbolUseEditor::newInstance(SymbolId symbol, Point centre, PaintOrder order, ArtId target) {
    const Symbol* found = document_.symbols().find(symbol);
    if (found == nullptr) {
        return Status::invalidHandle;
    }
    if (!std::isfinite(centre.x) || !std::isfinite(centre.y)) {
        return Status::badParameter;
    }
    const Rect frame = found->frame.isEmpty() ? Rect(0, 0, 0, 0) : found->frame;
    ArtTree instance;
    instance.data.content = SymbolContent{
        found->name, BoxGeometry{frame, Matrix::translation(centre.x - (frame.left + frame.right) / 2,
                                                            centre.y - (frame.top + frame.bottom) / 2)}};
    return document_.insertCopy(std::move(instance), order, target);
}

Result<SymbolId> SymbolUseEditor::import(const Document& source, SymbolId symbol) {
    const Symbol* wanted = source.symbols().find(symbol);
    if (wanted == nullptr) {
        return Status::invalidHandle;
    }
    if (const SymbolId here = document_.symbols().byName(wanted->name)) {
        return here;
    }
    // The symbols the artwork uses, nested ones too, that this document lacks: brought in first.
    std::vector<const Symbol*> missing{wanted};
    for (std::size_t next = 0; next < missing.size(); ++next) {
        NameSet inside;
        collectTreeNames(*missing[next]->definition, false, inside);
        for (const std::string& name : inside) {
            const Symbol* nested = source.symbols().find(source.symbols().byName(name));
            if (nested != nullptr && !document_.symbols().byName(name) &&
                std::find(missing.begin(), missing.end(), nested) == missing.end()) {
                missing.push_back(nested);
            }
        }
    }
    if (!std::all_of(missing.begin(), missing.end(), [&](const Symbol* each) {
            return document_.colors().checkTree(*each->definition) == Status::ok;
        })) {
        return Status::badParameter;
    }
    SymbolId imported;
    for (auto each = missing.rbegin(); each != missing.rend(); ++each) {
        imported = document_.editSymbols().addCopy(**each);
    }
    return imported;
}

}  // namespace host::model

// The data of single art objects: attributes and selection, names, notes, flags, tags and
// dictionaries.
#include <algorithm>
#include <cmath>

#include "model/Document.h"
#include "model/Utf8.h"

namespace host::model {

// --- Selection and attributes ----------------------------------------------------------------------

// Leaves (and empty containers) carry their own selected bit; a container with children reports
// what its children hold, so that selection never disagrees with what lies below.
Document::Selection Document::selectionOf(const ArtNode& node) const {
    if (node.children.empty()) {
        const bool selected = (node.data->attributes & attribute::selected) != 0;
        return {selected, selected};
    }
    Selection result{false, true};
    forEachChild(node, [&](ArtId child) {
        const Selection childSelection = selectionOf(nodeAt(child));
        result.selected = result.selected || childSelection.selected;
        result.fully = result.fully && childSelection.fully;
    });
    return result;
}

void Document::collectSelection(const ArtNode& node, std::unordered_map<ArtId, Selection>& out) const {
    if (node.children.empty()) {
        const bool selected = (node.data->attributes & attribute::selected) != 0;
        out[node.id] = {selected, selected};
        return;
    }
    Selection result{false, true};
    forEachChild(node, [&](ArtId child) {
        collectSelection(nodeAt(child), out);
        const Selection& childSelection = out.at(child);
        result.selected = result.selected || childSelection.selected;
        result.fully = result.fully && childSelection.fully;
    });
    out[node.id] = result;
}

ArtAttributes Document::reportedAttributes(const ArtNode& node, const Selection& selection) const {
    ArtAttributes result = node.data->attributes & attribute::stored & ~attribute::selected;
    if (selection.selected) {
        result |= attribute::selected;
    }
    if (selection.fully) {
        result |= attribute::fullySelected;
    }
    return result;
}

Result<ArtAttributes> Document::attributes(ArtId art, ArtAttributes mask) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    const bool needsSelection = (mask & (attribute::selected | attribute::fullySelected)) != 0;
    const Selection selection = needsSelection ? selectionOf(*node) : Selection{};
    return reportedAttributes(*node, selection) & mask;
}

// Only objects whose bit differs are changed, so that selecting what is selected records nothing.
void Document::setSelectedBelow(ArtId art, bool selected) {
    const std::vector<ArtId> below = *artTree(art);
    for (const ArtId id : below) {
        const bool isSelected = (nodeAt(id).data->attributes & attribute::selected) != 0;
        if (isSelected == selected) {
            continue;
        }
        ArtAttributes& attributes = editData(id).attributes;
        attributes = selected ? attributes | attribute::selected : attributes & ~attribute::selected;
    }
}

Status Document::setAttributes(ArtId art, ArtAttributes mask, ArtAttributes values) {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    if ((mask & attribute::selected) != 0) {
        setSelectedBelow(art, (values & attribute::selected) != 0);
    }
    const ArtAttributes others = mask & attribute::stored & ~attribute::selected;
    const ArtAttributes wanted = (node->data->attributes & ~others) | (values & others);
    if (wanted != node->data->attributes) {
        editData(art).attributes = wanted;
    }
    return Status::ok;
}

// --- Names and notes ---------------------------------------------------------------------------------

namespace {

std::string defaultName(const ArtData& data) {
    switch (data.type()) {
        case ArtType::group:
            return std::get<GroupContent>(data.content).clipped ? "<Clip Group>" : "<Group>";
        case ArtType::path:
            return "<Path>";
        case ArtType::compoundPath:
            return "<Compound Path>";
        case ArtType::textFrame:
            return "<Text>";
        case ArtType::placed:
            return "<Linked File>";
        case ArtType::raster:
            return "<Image>";
        case ArtType::symbol: {
            const std::string& symbol = std::get<SymbolContent>(data.content).symbol;
            return symbol.empty() ? "<Symbol>" : symbol;
        }
        case ArtType::unknown:
            break;
    }
    return "<Art>";
}

}  // namespace

Result<ArtName> Document::name(ArtId art) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    if (node->layer) {
        return ArtName{layers_.at(node->layer).properties.title, false};
    }
    if (node->data->name.empty()) {
        return ArtName{defaultName(*node->data), true};
    }
    return ArtName{node->data->name, false};
}

Status Document::setName(ArtId art, std::string_view name) {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    if (!isValidUtf8(name)) {
        return Status::badParameter;
    }
    if (node->layer) {
        retitleLayer(node->layer, std::string(name));
        return Status::ok;
    }
    editData(art).name = name;
    return Status::ok;
}

Result<std::string> Document::note(ArtId art) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    return node->data->note;
}

Status Document::setNote(ArtId art, std::string_view note) {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    if (!isValidUtf8(note)) {
        return Status::badParameter;
    }
    editData(art).note = note;
    return Status::ok;
}

Result<std::string> Document::uuid(ArtId art) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    return node->data->uuid;
}

Status Document::setStrokeWidth(ArtId art, double width) {
    if (!isValid(art)) {
        return Status::invalidHandle;
    }
    if (!std::isfinite(width) || width < 0.0) {
        return Status::badParameter;
    }
    // The width is the focal stroke's: set on it, added as a black stroke when there is none, and
    // a width of 0 takes the focal stroke away.
    ArtStyle& style = editData(art).style;
    const std::optional<std::size_t> focal = style.focalStrokeIndex();
    if (width == 0.0) {
        if (focal) {
            style.paintFields.erase(style.paintFields.begin() + static_cast<std::ptrdiff_t>(*focal));
            style.contentsPosition = std::min(style.contentsPosition, style.paintFields.size());
        }
        return Status::ok;
    }
    if (focal) {
        style.paintFields[*focal].strokePaint()->width = width;
        return Status::ok;
    }
    style.paintFields.push_back(PaintField::stroke(Color::black(), width));
    return Status::ok;
}

Status Document::setEnvelope(ArtId art, bool envelope) {
    if (!isValid(art)) {
        return Status::invalidHandle;
    }
    editData(art).envelope = envelope;
    return Status::ok;
}

Status Document::setIntertwine(ArtId art, bool intertwine) {
    if (!isValid(art)) {
        return Status::invalidHandle;
    }
    editData(art).intertwine = intertwine;
    return Status::ok;
}

// --- Tags and dictionaries -----------------------------------------------------------------------------

TagList* Document::editTags(ArtId art) {
    return isValid(art) ? &editData(art).tags : nullptr;
}

const TagList* Document::tags(ArtId art) const {
    const ArtNode* node = find(art);
    return node == nullptr ? nullptr : &node->data->tags;
}

Dictionary* Document::editDictionary(ArtId art) {
    return isValid(art) ? &editData(art).dictionary : nullptr;
}

const Dictionary* Document::dictionary(ArtId art) const {
    const ArtNode* node = find(art);
    return node == nullptr ? nullptr : &node->data->dictionary;
}

bool Document::hasDictionary(ArtId art) const {
    const ArtNode* node = find(art);
    return node != nullptr && !node->data->dictionary.empty();
}

const Dictionary* Document::resolve(const DictionaryRef& ref) const {
    const Dictionary* current = ref.art ? dictionary(ref.art) : &documentDictionary();
    for (const std::string& key : ref.path) {
        if (current == nullptr) {
            return nullptr;
        }
        current = current->dictionary(key);
    }
    return current;
}

// Resolved read-only first, so that a reference that names nothing records nothing.
Dictionary* Document::resolveToEdit(const DictionaryRef& ref) {
    if (resolve(ref) == nullptr) {
        return nullptr;
    }
    Dictionary* current = ref.art ? editDictionary(ref.art) : &editDocumentDictionary();
    for (const std::string& key : ref.path) {
        current = current->dictionary(key);
    }
    return current;
}

}  // namespace host::model

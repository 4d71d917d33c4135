// Construction, contents, snapshots, tree navigation, walks and matching queries.
#include "model/Document.h"

#include <algorithm>
#include <cmath>

namespace host::model {

Document::Document() : Document(nullptr) {
    createLayer(Slot{});
    tracking_.recording = true;
}

Document::Document(std::uint64_t uuidSeed) : Document(nullptr) {
    seedUuids(uuidSeed);
    createLayer(Slot{});
    tracking_.recording = true;
}

// A document in the making records nothing: there is no earlier state to go back to.
Document::Document(std::nullptr_t) {
    tracking_.recording = false;
}

Document::Tracking& Document::Tracking::operator=(const Tracking&) {
    log = ChangeLog();
    marks = {};
    lastRecorded = ArtId{};
    return *this;
}

Result<Document> Document::fromContents(DocumentContents contents, std::optional<std::uint64_t> uuidSeed) {
    Document document(nullptr);
    if (uuidSeed) {
        document.seedUuids(*uuidSeed);
    }
    for (const ArtTree& layer : contents.layers) {
        if (!layer.layer || !isWellFormedTree(layer, true)) {
            return Status::badParameter;
        }
    }
    for (ArtTree& layer : contents.layers) {
        document.insertTree(std::move(layer), Slot{}, UuidPolicy::keepWhenUsable);
    }
    // Fresh UUIDs only once every usable one is known, so that none of them can be handed out again.
    for (const ArtId id : document.documentOrder()) {
        if (document.nodeAt(id).data->uuid.empty()) {
            std::string& uuid = document.editData(id).uuid;
            uuid = document.takeUuid("", UuidPolicy::fresh);
            document.uuidIndex_[uuid] = id;
        }
    }
    if (document.fields_->topGroups.empty()) {
        document.createLayer(Slot{});
    }
    document.repairThreads();
    document.editFields().textStyles = std::move(contents.textStyles);
    document.editFields().xmp = std::move(contents.xmp);
    document.editFields().dictionary = std::move(contents.dictionary);
    if (document.setScale(contents.scale) != Status::ok ||
        document.setRulerUnits(contents.rulerUnits) != Status::ok) {
        return Status::badParameter;
    }
    for (SymbolDefinition& symbol : contents.symbols) {
        if (!document.editSymbols().add(symbol.name, std::move(symbol.art))) {
            return Status::badParameter;
        }
    }
    Result<Artboards> artboards = Artboards::from(std::move(contents.artboards), contents.activeArtboard);
    if (!artboards) {
        return Status::badParameter;
    }
    document.editFields().artboards = std::move(*artboards);
    document.editFields().colors = std::move(contents.colors);
    if (document.checkColors() != Status::ok) {
        return Status::badParameter;
    }
    document.tracking_.recording = true;
    return document;
}

Status Document::checkColors() const {
    const DocumentColors& known = colors();
    for (const auto& [id, node] : arts_) {
        if (known.checkStyle(node.data->style) != Status::ok ||
            known.checkDictionary(node.data->dictionary) != Status::ok) {
            return Status::badParameter;
        }
    }
    for (const Symbol& symbol : symbols()) {
        if (known.checkTree(*symbol.definition) != Status::ok) {
            return Status::badParameter;
        }
    }
    return known.checkDictionary(documentDictionary());
}

DocumentContents Document::contents() const {
    DocumentContents result;
    for (ArtId group = fields_->topGroups.first; group; group = nodeAt(group).next) {
        result.layers.push_back(extractTree(nodeAt(group)));
    }
    result.dictionary = *fields_->dictionary;
    result.scale = fields_->scale;
    result.rulerUnits = fields_->rulerUnits;
    for (const Symbol& symbol : fields_->symbols) {
        result.symbols.push_back(SymbolDefinition{symbol.name, *symbol.definition});
    }
    result.artboards = fields_->artboards.list();
    result.activeArtboard = fields_->artboards.activeIndex();
    result.textStyles = fields_->textStyles;
    result.xmp = fields_->xmp;
    result.colors = *fields_->colors;
    return result;
}

void Document::seedUuids(std::uint64_t seed) {
    uuids_.seed(seed);
}

bool Document::operator==(const Document& other) const {
    // The UUID index follows from the art, so comparing the art compares it too.
    return arts_ == other.arts_ && layers_ == other.layers_ && fields_ == other.fields_;
}

Status Document::setScale(double scale) {
    if (!std::isfinite(scale) || scale <= 0.0) {
        return Status::badParameter;
    }
    editFields().scale = scale;
    return Status::ok;
}

Status Document::setRulerUnits(int code) {
    if (code < kFirstRulerUnits || code > kLastRulerUnits) {
        return Status::badParameter;
    }
    editFields().rulerUnits = code;
    return Status::ok;
}

// With keepWhenUsable, an unusable UUID (malformed or taken) gives the empty text, to be replaced
// by a fresh one once the whole contents are in.
std::string Document::takeUuid(const std::string& wanted, UuidPolicy policy) {
    if (policy == UuidPolicy::keepWhenUsable) {
        const bool usable = isUuidText(wanted) && !uuidIndex_.contains(wanted);
        return usable ? wanted : std::string();
    }
    std::string uuid = uuids_.next();
    while (uuidIndex_.contains(uuid)) {
        uuid = uuids_.next();
    }
    return uuid;
}

// --- Lookups -------------------------------------------------------------------------------------

bool Document::isValid(ArtId art) const {
    return find(art) != nullptr;
}

const ArtNode* Document::find(ArtId art) const {
    const auto found = arts_.find(art);
    return found == arts_.end() ? nullptr : &found->second;
}

const ChildList& Document::childList(ArtId parent) const {
    return parent ? nodeAt(parent).children : fields_->topGroups;
}

ChildList& Document::editChildList(ArtId parent) {
    return parent ? editNode(parent)->children : editFields().topGroups;
}

bool Document::isInSubtree(ArtId candidate, ArtId root) const {
    for (const ArtNode* node = find(candidate); node != nullptr; node = find(node->parent)) {
        if (node->id == root) {
            return true;
        }
    }
    return false;
}

Result<ArtType> Document::type(ArtId art) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return frameOfPathObject(art) ? Result<ArtType>(ArtType::path) : Status::invalidHandle;
    }
    return node->data->type();
}

Result<ArtId> Document::parent(ArtId art) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    return node->parent;
}

Result<ArtId> Document::firstChild(ArtId art) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    return node->children.empty() ? ArtId{} : node->children.front();
}

Result<ArtId> Document::lastChild(ArtId art) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    return node->children.empty() ? ArtId{} : node->children.back();
}

Result<ArtId> Document::nextSibling(ArtId art) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    return node->next;
}

Result<ArtId> Document::previousSibling(ArtId art) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    return node->previous;
}

Result<std::vector<ArtId>> Document::children(ArtId art) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    std::vector<ArtId> result;
    result.reserve(node->children.size());
    forEachChild(*node, [&](ArtId child) { result.push_back(child); });
    return result;
}

Result<bool> Document::isLayerGroup(ArtId art) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    return static_cast<bool>(node->layer);
}

Result<LayerId> Document::layerOfArt(ArtId art) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    for (; node != nullptr; node = find(node->parent)) {
        if (node->layer) {
            return node->layer;
        }
    }
    return Status::notFound;  // cannot happen: every tree hangs from a layer group
}

Result<ArtId> Document::envelopeObject(ArtId art) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    if (!node->data->envelope || node->children.empty()) {
        return ArtId{};
    }
    return node->children.front();
}

ArtId Document::artByUuid(std::string_view uuid) const {
    const auto found = uuidIndex_.find(std::string(uuid));
    return found == uuidIndex_.end() ? ArtId{} : found->second;
}

// --- Walks -----------------------------------------------------------------------------------------

namespace {

// Pre-order along the links: down to the first child, else on to the next sibling of the nearest
// object that has one. No stack, so deep nesting cannot exhaust it.
template <typename Lookup>
void appendPreorder(ArtId root, const Lookup& nodeAt, std::vector<ArtId>& out) {
    ArtId current = root;
    while (true) {
        out.push_back(current);
        const ArtNode& node = nodeAt(current);
        if (node.children.first) {
            current = node.children.first;
            continue;
        }
        while (current != root && !nodeAt(current).next) {
            current = nodeAt(current).parent;
        }
        if (current == root) {
            return;
        }
        current = nodeAt(current).next;
    }
}

}  // namespace

std::vector<ArtId> Document::documentOrder() const {
    std::vector<ArtId> result;
    result.reserve(arts_.size());
    const auto lookup = [this](ArtId id) -> const ArtNode& { return nodeAt(id); };
    for (ArtId group = fields_->topGroups.first; group; group = nodeAt(group).next) {
        appendPreorder(group, lookup, result);
    }
    return result;
}

Result<std::vector<ArtId>> Document::artTree(ArtId root) const {
    if (!isValid(root)) {
        return Status::invalidHandle;
    }
    std::vector<ArtId> result;
    appendPreorder(
        root, [this](ArtId id) -> const ArtNode& { return nodeAt(id); }, result);
    return result;
}

// --- Matching --------------------------------------------------------------------------------------

std::vector<ArtId> Document::matching(const std::vector<ArtId>& candidates,
                                      std::span<const MatchSpec> criteria) const {
    std::vector<ArtId> result;
    if (criteria.empty()) {
        return result;
    }
    const bool needsSelection = std::any_of(criteria.begin(), criteria.end(), [](const MatchSpec& criterion) {
        return (criterion.attributeMask & (attribute::selected | attribute::fullySelected)) != 0;
    });
    std::unordered_map<ArtId, Selection> selection;
    for (const ArtId id : candidates) {
        const ArtNode& node = arts_.at(id);
        // Candidates come in pre-order, so one collection at the top of each subtree covers it.
        if (needsSelection && !selection.contains(id)) {
            collectSelection(node, selection);
        }
        const Selection state = needsSelection ? selection.at(id) : Selection{};
        const ArtAttributes attributes = reportedAttributes(node, state);
        const bool matches = std::any_of(criteria.begin(), criteria.end(), [&](const MatchSpec& criterion) {
            if (criterion.type && *criterion.type != node.data->type()) {
                return false;
            }
            return (attributes & criterion.attributeMask) ==
                   (criterion.attributeValues & criterion.attributeMask);
        });
        if (matches) {
            result.push_back(id);
        }
    }
    return result;
}

std::vector<ArtId> Document::matchingArt(std::span<const MatchSpec> criteria) const {
    return matching(documentOrder(), criteria);
}

Result<std::vector<ArtId>> Document::matchingArtIn(ArtId root, std::span<const MatchSpec> criteria) const {
    Result<std::vector<ArtId>> tree = artTree(root);
    if (!tree) {
        return tree.status();
    }
    return matching(*tree, criteria);
}

}  // namespace host::model

// Layers: the top-level (and nested) divisions of a document. Each layer's art lives in its layer
// group, a group art object that the layer owns. A document's layers are walked and changed through
// its art tree, by the views Document::layers() and Document::editLayers() hand out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/Handles.h"
#include "model/PaintOrder.h"
#include "model/Status.h"

namespace host::model {

// A 16-bit-per-channel RGB colour, as the layer suite reads and writes it.
struct LayerColor {
    std::uint16_t red = 0;
    std::uint16_t green = 0;
    std::uint16_t blue = 0;
    bool operator==(const LayerColor&) const = default;
};

struct LayerProperties {
    std::string title;                         // UTF-8
    LayerColor color{0x4F4F, 0x8080, 0xFFFF};  // light blue
    bool visible = true;
    bool editable = true;  // false: the layer is locked
    bool printed = true;
    bool preview = true;  // false: outline display
    bool isTemplate = false;
    bool dimPlacedImages = false;
    int dimPercent = 50;  // 0 to 100, used when placed images are dimmed
    bool operator==(const LayerProperties&) const = default;
};

// A sublayer is a layer whose group is a child of another layer's group; its place among that
// layer's art is its place in the stacking order. The parent and the sublayers of a layer are read
// from the art tree.
struct Layer {
    LayerId id;
    ArtId group;
    LayerProperties properties;
    bool operator==(const Layer&) const = default;
};

class Document;

// What finding a layer by position or title would otherwise walk the tree for: the top-level layers
// front to back, every layer in pre-order, and the first layer of each title (in pre-order, and
// among the top-level layers).
// It follows from the document alone: the document drops it when a layer group is linked into or
// out of the tree, or a title changes among others that share it, and builds it again when next
// asked, from the layer groups and their direct children; removing a layer, adding one in front of
// or behind all others, and giving a layer a title of its own bring it up to date in place.
struct LayerIndex {
    std::vector<LayerId> top;
    std::vector<LayerId> preorder;
    struct Titled {
        LayerId first;
        LayerId firstTop;       // null when only sublayers have the title
        std::size_t count = 0;  // the layers that have it
    };
    std::unordered_map<std::string, Titled> titles;
};

// The layers of a document, read through its art tree: a layer's place, parent and sublayers are
// those of its layer group. A view holds on to its document and is good while the document lives.
class LayerView {
public:
    explicit LayerView(const Document& document) : document_(document) {}

    // Null for a handle that names no layer of the document.
    const Layer* find(LayerId layer) const;
    // Top-level layers, front to back.
    std::size_t count() const;
    Result<LayerId> nth(std::size_t index) const;  // notFound beyond the last
    LayerId first() const;
    // The layers next to this one at its own level (top-level or among its parent's sublayers);
    // null at the end.
    Result<LayerId> next(LayerId layer) const;
    Result<LayerId> previous(LayerId layer) const;
    // Null for a top-level layer.
    Result<LayerId> parent(LayerId layer) const;
    Result<std::vector<LayerId>> sublayers(LayerId layer) const;
    // The next layer in pre-order over every layer and sublayer; null after the last.
    Result<LayerId> nextPreorder(LayerId layer) const;
    // Every layer and sublayer in pre-order.
    std::vector<LayerId> all() const;
    // The first layer in pre-order with the title; null when none has it.
    LayerId byTitle(std::string_view title) const;
    // The front-most top-level layer with the title; null when none has it.
    LayerId topByTitle(std::string_view title) const;
    Result<ArtId> group(LayerId layer) const;
    Result<LayerProperties> properties(LayerId layer) const;
    // The layer new art goes to by default; the first layer when the current one was deleted.
    LayerId current() const;

private:
    const Document& document_;
};

// The changes to a document's layers, besides everything LayerView reads. Each one records what it
// changes in the document's change log.
class LayerEditor : public LayerView {
public:
    explicit LayerEditor(Document& document) : LayerView(document), document_(document) {}

    // badParameter: malformed title, dim percentage outside 0 to 100.
    Status setProperties(LayerId layer, const LayerProperties& properties);
    // A new layer "Layer N" relative to another: "above"/"below" at its level, "inside" orders make a
    // sublayer of it, "all" orders go to the top or bottom of the top-level layers (relative may be
    // null then).
    Result<LayerId> insert(LayerId relative, PaintOrder order);
    // A new layer whose group is placed relative to the art by the placement rules.
    Result<LayerId> insertAtArt(ArtId art, PaintOrder order);
    // Removes the layer with its art and sublayers. notAllowed for the only top-level layer.
    Status remove(LayerId layer);
    Status setCurrent(LayerId layer);

private:
    Document& document_;
};

}  // namespace host::model

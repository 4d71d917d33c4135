// A document: its layers and the tree of art they hold, the document dictionary, the editing state
// and the parts that stand on their own (artboards, colours and styles, symbols, text styles), held
// in its fields. Everything is reached through handles (ArtId, LayerId) that are never reused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

#include "model/ArtAttributes.h"
#include "model/ArtTree.h"
#include "model/ArtType.h"
#include "model/Artboard.h"
#include "model/DerivedCache.h"
#include "model/Dictionary.h"
#include "model/DocumentColors.h"
#include "model/Handles.h"
#include "model/IdMap.h"
#include "model/Layer.h"
#include "model/Matrix.h"
#include "model/PaintOrder.h"
#include "model/Rect.h"
#include "model/Shared.h"
#include "model/Status.h"
#include "model/Story.h"
#include "model/SymbolTable.h"
#include "model/TagList.h"
#include "model/Uuid.h"

namespace host::model {

// The children of a container (or the top-level layer groups of a document): the ends of a list
// linked through the children's sibling handles, front-most (top of the stacking order) first.
struct ChildList {
    ArtId first;
    ArtId last;
    std::size_t count = 0;

    bool empty() const { return count == 0; }
    std::size_t size() const { return count; }
    ArtId front() const { return first; }
    ArtId back() const { return last; }
    bool operator==(const ChildList&) const = default;
};

// One art object in the document: its data and its place in the tree. Siblings are linked, so that
// the next or previous one, and a place to insert at, are found in constant time.
struct ArtNode {
    ArtId id;
    ArtId parent;    // null for a top-level layer group
    ArtId previous;  // the sibling in front; null for the front-most
    ArtId next;      // the sibling behind; null for the back-most
    ChildList children;
    LayerId layer;  // set on layer groups only: the layer whose art this group holds
    // Shared with copies of the document and with undo records until it changes.
    Shared<ArtData> data;
    bool operator==(const ArtNode&) const = default;
};

struct ArtName {
    std::string text;
    bool isDefault = false;  // the object has no name of its own; text is its type's default name
};

// One criterion of a matching-art query: the art's type (none: any type) and the attributes that
// must have given values: (attributes & attributeMask) == (attributeValues & attributeMask).
struct MatchSpec {
    std::optional<ArtType> type;
    ArtAttributes attributeMask = 0;
    ArtAttributes attributeValues = 0;
};

enum class BoundsKind {
    geometric,  // the geometry alone
    visible,    // the geometry with half the stroke width added on every side
};

// One outlined glyph of a text frame: its closed contours in document coordinates and its paint.
struct OutlineShape {
    std::vector<PathGeometry> contours;
    ArtStyle style;
};

// The address of a dictionary: the document's (null art) or an art object's, then the keys of
// nested dictionary entries from there. Suites keep these instead of pointers, so that a dictionary
// reference survives changes elsewhere and fails cleanly when its owner is gone.
struct DictionaryRef {
    ArtId art;
    std::vector<std::string> path;
};

// Modes of editing that some commands look at. They are session state, not saved with the document.
struct EditingState {
    int isolationKind = 0;  // 0: not in isolation mode; otherwise the host's isolation kind
    ArtId isolatedArt;
    bool patternEditing = false;
    bool operator==(const EditingState&) const = default;
};

// The ruler units of a document, by the host's codes: 1 inches, 2 centimetres, 3 points, 4 picas,
// 5 millimetres, 6 pixels, 7 quarter millimetres, 8 feet and inches, 9 metres, 10 yards, 11 feet.
inline constexpr int kPointsRulerUnits = 3;
inline constexpr int kFirstRulerUnits = 1;
inline constexpr int kLastRulerUnits = 11;

// A symbol as the document format holds it: its name and the artwork its instances show.
struct SymbolDefinition {
    std::string name;
    ArtTree art;  // an empty group when the symbol shows nothing
};

// The whole savable content of a document, as the document format reads and writes it.
struct DocumentContents {
    std::vector<ArtTree> layers;  // top-level layer trees (layer set), front to back
    Dictionary dictionary;
    double scale = 1.0;                     // the document's scale factor (see Document::scale)
    int rulerUnits = kPointsRulerUnits;     // the code of the document's ruler units
    std::vector<SymbolDefinition> symbols;  // the document's symbols, in order
    // The artboards, in order (empty: the default artboard), and the index of the active one.
    std::vector<Artboard> artboards;
    std::size_t activeArtboard = 0;
    TextStyles textStyles;  // the named character and paragraph styles
    std::string xmp;        // the XMP metadata packet; empty: none
    // The colour model, custom colours, gradients, patterns, swatches and named graphic styles.
    DocumentColors colors;
};

// What Document::transformArt changes.
struct TransformOptions {
    // The geometry; a container takes everything below it along. Without it only the object's own
    // records (patterns, stroke width) change.
    bool objects = true;
    bool fillPatterns = false;    // the fill pattern's matrix follows the transformation
    bool strokePatterns = false;  // the stroke pattern's matrix follows the transformation
    bool scaleLines = false;      // stroke widths are multiplied by the line scale
};

// The geometric bounds of detached artwork (a symbol's frame, a pattern's tile by default): empty for
// artwork without geometry.
Rect artworkBounds(const ArtTree& artwork);

// How deep symbols nest where they are shown: an instance inside a symbol's artwork shows that
// symbol in turn, to this many instances deep; deeper instances, and an instance of a symbol that is
// already being shown around it (a symbol that holds itself), show nothing.
inline constexpr std::size_t kSymbolNestingLimit = 16;

// The document's own state apart from its art and layers: the top-level layer list, the document
// dictionary and settings. A change log keeps it whole (shared until it changes) when any of it
// changes, so state added here is undone and redone with the rest.
struct DocumentFields {
    ChildList topGroups;  // the groups of the top-level layers, front to back
    Shared<Dictionary> dictionary;
    LayerId currentLayer;
    EditingState editing;
    double scale = 1.0;
    int rulerUnits = kPointsRulerUnits;
    SymbolTable symbols;
    Artboards artboards;
    TextStyles textStyles;
    std::string xmp;
    // The colour model, custom colours, gradients, patterns, swatches and named graphic styles.
    Shared<DocumentColors> colors;
    bool operator==(const DocumentFields&) const = default;
};

// What a document looked like before a series of changes: each art object, layer record and the
// document's own fields as they were before the first change to them (none: it did not exist).
// Applying a log to the document puts those states back and keeps the ones they replace, so the
// same log applied again repeats the changes: undo and redo cost what the changes touched.
class ChangeLog {
public:
    bool empty() const { return arts_.empty() && layers_.empty() && !fields_; }
    // Joins a log of later changes: the result takes the document back to before both.
    void absorb(ChangeLog later);

private:
    friend class Document;
    IdMap<ArtId, std::optional<ArtNode>> arts_;
    std::unordered_map<LayerId, std::optional<Layer>> layers_;
    std::optional<Shared<DocumentFields>> fields_;
};

// A Document is a value: copying it copies the whole state (sharing object data until either copy
// changes it), and handles keep naming the same objects in the copy. Every change is also recorded
// in the document's change log, which undo takes after each transaction (takeChanges) and applies
// to step back and forth (applyChanges).
class Document {
public:
    // A new document with one layer, "Layer 1".
    Document();
    // The same, with every UUID (the first layer's included) following from the seed.
    explicit Document(std::uint64_t uuidSeed);
    // A document holding the contents. Art whose UUID is missing, malformed or already taken gets a
    // fresh one; a document without layers gets "Layer 1". badParameter: a top-level tree that is
    // not a layer, or a layer tree below something that is not a layer.
    static Result<Document> fromContents(DocumentContents contents,
                                         std::optional<std::uint64_t> uuidSeed = std::nullopt);
    DocumentContents contents() const;
    // badParameter when art anywhere in the document (in the layers, in a symbol's artwork, or kept
    // in a dictionary entry) names a custom colour, gradient or pattern the document does not have:
    // what the reader refuses and the writer does not write.
    Status checkColors() const;

    // Puts the state of an earlier copy back. The UUID generator keeps running (UUIDs made after the
    // copy was taken are not made again) and handles stay what they are in the copy. The change log
    // starts empty: what restore replaced is not recorded.
    void restore(const Document& snapshot);
    // UUIDs made from now on follow from the seed.
    void seedUuids(std::uint64_t seed);

    // Equal when the whole state is: art (handles, tree, data), layers, the document dictionary,
    // settings, the current layer and the editing state. Where the UUID generator stands and what
    // the change log holds are not part of a document's state.
    bool operator==(const Document& other) const;

    // A number that names the document's present state: every change gives the document a new one,
    // a copy holds its original's until either changes, and no other state of any document of the
    // process is given it (a moved-from document takes a new one). A picture drawn elsewhere from
    // a copy of the document knows by it that the copy still holds what the document holds.
    std::uint64_t revision() const { return revision_.value; }

    // --- Change tracking ---------------------------------------------------------------------------

    // What changed since the log was last taken, records of things that ended as they began left
    // out; the document starts a new, empty log. Costs what changed, not what the document holds.
    ChangeLog takeChanges();
    // Whether what changed since the log was last taken holds anything that did not end as it
    // began. Costs what changed.
    bool hasChanges() const;
    // The same, counting from the states of an earlier log first: a log set aside
    // (setChangesAside), or several joined oldest first, together with what changed after it.
    bool hasChangesSince(const ChangeLog& earlier) const;
    // Puts the states the log holds back, leaving in it the states they replaced (see ChangeLog).
    // Not itself recorded in the change log; the selection marks see it.
    void applyChanges(ChangeLog& changes);
    // Puts a log taken earlier back in front of what changed since, as though it had never been
    // taken: the host sets one aside to tell the changes after a revert mark from those before it.
    void putBackChanges(ChangeLog earlier);
    // Takes the log as it stands, records of things that ended as they began included, and starts
    // a new, empty one: what a revert mark sets aside to put back later. Costs nothing, however
    // much changed before, so that a mark for every command of a long batch stays cheap.
    ChangeLog setChangesAside();
    // Starts watching the selection: selectionChanged() then tells whether the set of objects whose
    // own selected bit is set differs from now, looking only at the objects changed since.
    void markSelection();
    bool selectionChanged() const;
    // The objects whose own selected bit was set at the mark, in handle order.
    std::vector<ArtId> selectionAtMark() const;
    // The objects whose own selected bit is set, in handle order (a walk of the whole document).
    std::vector<ArtId> selectedArt() const;

    // --- Document settings ------------------------------------------------------------------------

    // The scale factor of the canvas: 1 for a document of ordinary size; a large canvas has a larger
    // one, and its lengths in points stand for the factor times as many.
    double scale() const { return fields_->scale; }
    // badParameter: not finite or not above 0.
    Status setScale(double scale);
    // The code of the ruler units (kFirstRulerUnits to kLastRulerUnits); points unless set.
    int rulerUnits() const { return fields_->rulerUnits; }
    // badParameter: a code the host does not know.
    Status setRulerUnits(int code);
    // The document's XMP metadata packet as text; empty when it has none. The host keeps it as
    // given: whether it is well-formed is the writer's concern.
    const std::string& xmp() const { return fields_->xmp; }
    void setXmp(std::string packet) { editFields().xmp = std::move(packet); }

    // --- The art tree ---------------------------------------------------------------------------

    // The valid-art test: the handle names an art object of this document.
    bool isValid(ArtId art) const;
    const ArtNode* find(ArtId art) const;
    Result<ArtType> type(ArtId art) const;
    // Null for a top-level layer group.
    Result<ArtId> parent(ArtId art) const;
    // Null when there is none. Siblings: "next" is the one behind, "previous" the one in front.
    Result<ArtId> firstChild(ArtId art) const;
    Result<ArtId> lastChild(ArtId art) const;
    Result<ArtId> nextSibling(ArtId art) const;
    Result<ArtId> previousSibling(ArtId art) const;
    Result<std::vector<ArtId>> children(ArtId art) const;
    Result<bool> isLayerGroup(ArtId art) const;
    // The layer of the nearest layer group at or above the art.
    Result<LayerId> layerOfArt(ArtId art) const;
    // The object an envelope distorts (its first child); null for art that is no envelope.
    Result<ArtId> envelopeObject(ArtId art) const;
    // The art whose UUID is the text; null when none is.
    ArtId artByUuid(std::string_view uuid) const;

    // Document order: pre-order over the layers front to back, each container's children front to
    // back, parents before children. Layer groups are included.
    std::vector<ArtId> documentOrder() const;
    // The art and everything below it, in document order.
    Result<std::vector<ArtId>> artTree(ArtId root) const;
    // The art of the document order that meets at least one of the criteria.
    std::vector<ArtId> matchingArt(std::span<const MatchSpec> criteria) const;
    // The same over the art and everything below it.
    Result<std::vector<ArtId>> matchingArtIn(ArtId root, std::span<const MatchSpec> criteria) const;

    // --- Art data -----------------------------------------------------------------------------------

    // The bits of `mask` (attribute::known) that are set. Selection is reported on containers: a
    // container with children is selected when any child is and fully selected when all are.
    Result<ArtAttributes> attributes(ArtId art, ArtAttributes mask) const;
    // Sets the stored bits of mask to those of values. Selecting or deselecting a container does the
    // same to everything below it. Bits outside attribute::stored are ignored.
    Status setAttributes(ArtId art, ArtAttributes mask, ArtAttributes values);
    // A layer group's name is its layer's title and is never default.
    Result<ArtName> name(ArtId art) const;
    // An empty name goes back to the default name (for a layer group: sets an empty title).
    // badParameter: malformed UTF-8.
    Status setName(ArtId art, std::string_view name);
    Result<std::string> note(ArtId art) const;
    Status setNote(ArtId art, std::string_view note);
    // badParameter: an offset that is not finite.
    Status setTextWrap(ArtId art, double offset, bool inside);
    Result<std::string> uuid(ArtId art) const;
    // Sets the width of the focal stroke (adding a black one; 0 removes it). badParameter: negative
    // or not finite.
    Status setStrokeWidth(ArtId art, double width);
    // The art's appearance (ArtStyle.h).
    Result<ArtStyle> style(ArtId art) const;
    // badParameter: a style whose numbers break its limits (ArtStyle::check), or whose colours name
    // a custom colour, gradient or pattern the document does not have.
    Status setStyle(ArtId art, ArtStyle style);
    Status setEnvelope(ArtId art, bool envelope);
    Status setIntertwine(ArtId art, bool intertwine);

    // Pointers into the document (tags, dictionaries, content, nodes) stay valid until their art is
    // disposed or the document is assigned or restored; suites keep handles, not pointers. The edit
    // forms record the object in the change log and make its data its own: take them only to
    // change something, and change it before the transaction closes.

    // The art's tag entries; null for an invalid handle.
    const TagList* tags(ArtId art) const;
    TagList* editTags(ArtId art);
    // The art's dictionary; null for an invalid handle. An art "has" a dictionary when it is not
    // empty.
    const Dictionary* dictionary(ArtId art) const;
    Dictionary* editDictionary(ArtId art);
    bool hasDictionary(ArtId art) const;
    const Dictionary& documentDictionary() const { return *fields_->dictionary; }
    Dictionary& editDocumentDictionary() { return editFields().dictionary.edit(); }
    // Null when the owner is gone or a key on the path names no dictionary entry.
    const Dictionary* resolve(const DictionaryRef& ref) const;
    Dictionary* resolveToEdit(const DictionaryRef& ref);

    // The content of the art when it is of the kind T (PathContent, GroupContent, ...), else null.
    // Changing geometry through it is allowed; the kind of an object never changes.
    template <typename T>
    T* editContent(ArtId art) {
        const ArtNode* node = find(art);
        if (node == nullptr || !std::holds_alternative<T>(node->data->content)) {
            return nullptr;
        }
        return &std::get<T>(editData(art).content);
    }
    template <typename T>
    const T* contentAs(ArtId art) const {
        const ArtNode* node = find(art);
        return node == nullptr ? nullptr : std::get_if<T>(&node->data->content);
    }

    // --- Creating, copying, moving and removing art -------------------------------------------

    // Placement rules, for every operation that puts art somewhere: "above" and "below" go next to
    // the target in its container, "inside" orders need a container target (a group or a compound
    // path), "all" orders ignore the target. Layer groups can only be placed among the top-level
    // layers or in another layer group; other art only inside a layer group or below it; compound
    // paths take only paths, compound paths and groups. Breaking a rule gives notAllowed, a
    // non-container target for an "inside" order wrongType, a missing target badParameter and a
    // stale target invalidHandle.

    // A new, empty object of the type (a path without anchors, a group without children, ...).
    Result<ArtId> newArt(ArtType type, PaintOrder order, ArtId target);
    // A deep copy of the art with fresh UUIDs; names, notes, attributes, tags and dictionaries are
    // copied. A layer group's copy is a new layer (with copies of its sublayers) holding copies of
    // its art, placed as layer groups are.
    Result<ArtId> duplicate(ArtId art, PaintOrder order, ArtId target);
    // Moves the art. notAllowed when the target is the art or lies below it.
    Status reorder(ArtId art, PaintOrder order, ArtId target);
    // Removes the art and everything below it; their handles become invalid. notAllowed for layer
    // groups (delete the layer instead).
    Status dispose(ArtId art);
    // A detached copy of the art and everything below it (UUIDs kept), for a dictionary entry.
    // notAllowed for layer groups.
    Result<ArtTree> copyOf(ArtId art) const;
    // Puts a copy of the tree into the artwork, every object with a fresh UUID. badParameter for
    // trees that hold layers, and for art naming a colour the document does not have (checkColors).
    Result<ArtId> insertCopy(ArtTree tree, PaintOrder order, ArtId target);

    // --- Geometry ----------------------------------------------------------------------------------

    // The bounds of the art after the matrix is applied to it; empty for art without geometry (an
    // empty group, a path without anchors). Groups unite their children; a clipped group gives the
    // geometric bounds of its clipping-mask members (all its members when none is marked).
    Result<Rect> bounds(ArtId art, BoundsKind kind, const Matrix& matrix = Matrix::identity()) const;
    // Applies the matrix to the art and everything below it. badParameter: a matrix that is not
    // finite.
    Status transform(ArtId art, const Matrix& matrix);
    // The outline of a text frame: a new group directly above the frame holding one path (one
    // contour) or compound path (several) per shape, in order, each painted with its shape's style.
    // The frame itself stays. wrongType: not a text frame; notFound: no shape (a frame without
    // text, or whose text shows no glyph).
    Result<ArtId> createOutline(ArtId textFrame, const std::vector<OutlineShape>& shapes);
    // createOutline, then the frame is disposed of.
    Result<ArtId> replaceWithOutline(ArtId textFrame, const std::vector<OutlineShape>& shapes);
    // Transforms the art as the options say: with `objects`, the art and everything below it (the
    // patterns and line widths of all of them too); without, only the art's own records.
    // badParameter: a matrix or line scale that is not finite, a negative line scale, or a result
    // that would not be finite (nothing changes then).
    Status transformArt(ArtId art, const Matrix& matrix, double lineScale, TransformOptions options);

    // --- Layers ------------------------------------------------------------------------------------

    // A layer is a group in the art tree (its layer group) and a record the change log keeps layer
    // by layer; layers are walked and changed through the tree, by these views (Layer.h).
    LayerView layers() const { return LayerView(*this); }
    LayerEditor editLayers() { return LayerEditor(*this); }

    // --- Editing state -----------------------------------------------------------------------------

    const EditingState& editingState() const { return fields_->editing; }
    void setEditingState(const EditingState& state) { editFields().editing = state; }

    // --- Artboards ---------------------------------------------------------------------------------

    // The artboards in order and the active one; a document always has at least one.
    const Artboards& artboards() const { return fields_->artboards; }
    // Records the document's own fields in the change log: take it only to change something.
    Artboards& editArtboards() { return editFields().artboards; }

    // --- Colours ----------------------------------------------------------------------------------

    // The colour model, custom colours, gradients, patterns, swatches and named graphic styles.
    const DocumentColors& colors() const { return *fields_->colors; }
    // Records the document's own fields in the change log: take it only to change something.
    DocumentColors& editColors() { return editFields().colors.edit(); }
    // Renames a custom colour and every use of it (art, swatches, named styles). A global or spot
    // swatch and its custom colour are one colour with one name: the swatch of the colour's name
    // that paints it is renamed with it. badParameter as DocumentColors::setCustomColorName, or when
    // another swatch has the name.
    Status renameCustomColor(ResourceId id, std::string_view name);
    // Renames a swatch; the swatch of a custom colour renames the colour with it (renameCustomColor),
    // so that every use follows. badParameter as DocumentColors::setSwatchName.
    Status renameSwatch(ResourceId id, std::string_view name);
    // Offers every colour of the art and everything below it, the text of text frames included
    // (null art: of every art object, art kept in dictionary entries, symbol, the document
    // dictionary, the text styles and every named style, and with swatches every swatch) to visit,
    // which may change it and says so.
    // Answers whether anything changed. A change the document cannot hold is not kept.
    Result<bool> forEachColor(ArtId art, const std::function<void(Color&, bool& changed)>& visit,
                              bool swatches = false);

    // --- Symbols -----------------------------------------------------------------------------------

    // The document's symbols, in the order they were added.
    const SymbolTable& symbols() const { return fields_->symbols; }
    // Records the document's own fields in the change log: take it only to change something.
    SymbolTable& editSymbols() { return editFields().symbols; }
    // The uses of the symbols, and the changes that keep them in view (SymbolTable.h).
    SymbolUseView symbolUses() const { return SymbolUseView(*this); }
    SymbolUseEditor editSymbolUses() { return SymbolUseEditor(*this); }

    // --- Text --------------------------------------------------------------------------------------

    // Stories, threads and path objects live in the text frames' art data and go with the frames
    // through the tree; the named styles are a value held in the fields.
    // The story a text frame shows (held by the first frame of its thread); null for art that is
    // no text frame. editStory records the first frame in the change log.
    const Story* story(ArtId textFrame) const;
    Story* editStory(ArtId textFrame);
    // The frames the frame's story flows through, in order (the frame alone when unthreaded).
    Result<std::vector<ArtId>> thread(ArtId textFrame) const;
    // Lets the story of the frame's thread flow on into `next` after its last frame. badParameter:
    // not both area or path text; notAllowed: `next` is threaded already or its story is not empty.
    Status threadFrame(ArtId textFrame, ArtId next);
    const TextStyles& textStyles() const { return fields_->textStyles; }
    TextStyles& editTextStyles() { return editFields().textStyles; }

    // The path object of area text or text on a path: a handle of its own naming the frame's shape
    // as a path (area text: its rectangle; text on a path: the path it follows), made from the
    // frame's handle, so that it stays the same while the frame lives and goes stale with it. type,
    // bounds and transformArt take it (a path, its geometric bounds, the frame's shape transformed)
    // and duplicate makes a path of the frame's shape; every other operation finds no art behind it.
    // invalidHandle: no art; wrongType: no text frame; badParameter: point text, which has no path.
    Result<ArtId> pathObject(ArtId textFrame) const;
    // The frame whose path object the handle names; null when it names none.
    ArtId frameOfPathObject(ArtId art) const;

private:
    // The views over the layers and the symbols' uses read and change the tree as members do.
    friend class LayerView;
    friend class LayerEditor;
    friend class SymbolUseView;
    friend class SymbolUseEditor;

    // Where art goes: into the parent's child list (null: the top-level layer list) in front of
    // `before` (null: at the back).
    struct Slot {
        ArtId parent;
        ArtId before;
    };
    enum class UuidPolicy { fresh, keepWhenUsable };

    // The change log, and the selection marks: the own selected bit, at the mark, of every object
    // changed since. A copy of a document starts with neither.
    struct Tracking {
        ChangeLog log;
        IdMap<ArtId, bool> marks;
        // The object recorded last, in both the log and the marks since either was last emptied:
        // edits come in runs on one object, and the rest of a run needs no look-ups.
        ArtId lastRecorded;
        bool recording = true;

        Tracking() = default;
        Tracking(const Tracking&) {}
        Tracking(Tracking&&) noexcept = default;
        Tracking& operator=(const Tracking&);
        Tracking& operator=(Tracking&&) noexcept = default;
    };

    // How many places name each symbol, everywhere SymbolUseEditor::remove looks for uses: each art
    // object, each symbol's artwork (its own name left out) and each named graphic style counts
    // once for every symbol it names.
    using SymbolUseCounts = std::unordered_map<std::string, std::size_t>;
    SymbolUseCounts countSymbolUses() const;
    // Forgets what is worked out from the art, the symbols and the styles: every change to them
    // comes through here (editNode, editFields, adding and erasing art, applying a change log).
    void forgetDerived() { symbolUseCounts_.clear(); }

    Document(std::nullptr_t);  // a document without layers, for fromContents
    // insertCopy without the colour check, for measuring artwork in a scratch document.
    Result<ArtId> insertWellFormed(ArtTree tree, PaintOrder order, ArtId target);
    friend Rect artworkBounds(const ArtTree& artwork);
    const ArtNode& nodeAt(ArtId art) const { return arts_.at(art); }
    // Every change goes through these: they record what is about to change, then hand it out.
    ArtNode* editNode(ArtId art);
    ArtData& editData(ArtId art);
    // The layer record to change in place; a title changes through retitleLayer.
    Layer& editLayer(LayerId layer);
    // Gives the layer the title, keeping the layer index up to date.
    void retitleLayer(LayerId layer, std::string title);
    DocumentFields& editFields();
    void recordArt(ArtId art);
    void recordLayer(LayerId layer);
    void markArt(ArtId art, const ArtNode* node);

    const ChildList& childList(ArtId parent) const;
    ChildList& editChildList(ArtId parent);
    bool isInSubtree(ArtId candidate, ArtId root) const;
    std::string takeUuid(const std::string& wanted, UuidPolicy policy);
    // Visits the children of the node front to back.
    template <typename Visit>
    void forEachChild(const ArtNode& node, const Visit& visit) const {
        for (ArtId child = node.children.first; child; child = nodeAt(child).next) {
            visit(child);
        }
    }

    Status checkAccepts(ArtId container, bool movingLayerGroup, ArtType movingType) const;
    Result<Slot> slotFor(PaintOrder order, ArtId target, bool movingLayerGroup, ArtType movingType) const;
    void attach(ArtId art, Slot slot);
    void detach(ArtId art);
    ArtId insertTree(ArtTree tree, Slot slot, UuidPolicy policy);
    ArtTree extractTree(const ArtNode& node) const;
    void eraseSubtree(ArtId art);

    // Text frames. extractTree for a copy that leaves the document: every text frame holds the whole
    // story it shows and is threaded to nothing.
    ArtTree detachedTree(const ArtNode& node) const;
    void detachText(ArtTree& tree) const;
    // The shape of the frame whose path object the handle names, in artwork coordinates.
    std::optional<PathGeometry> pathObjectGeometry(ArtId art) const;
    // Transforms a frame's shape through its path object: area text takes the bounds of its mapped
    // rectangle in its own space (its area stays a rectangle), text on a path the mapped path.
    // badParameter: a result that is not finite, or a frame matrix that can't be inverted.
    Status transformPathObject(ArtId art, const Matrix& matrix);
    // duplicate for a frame's path object. invalidHandle: the handle names none.
    Result<ArtId> duplicatePathObject(ArtId art, PaintOrder order, ArtId target);
    ArtId threadHeadOf(ArtId textFrame) const;
    // Keeps threads whole when frames go: a first frame hands its story on to the next frame that
    // stays; frames that go leave their thread.
    void releaseThreads(const std::vector<ArtId>& doomed);
    // After reading contents: thread links that name no frame, or that do not agree, are dropped.
    void repairThreads();

    // Layers.
    LayerId createLayer(Slot slot);
    LayerProperties defaultLayerProperties() const;
    // The look-ups of the layers, built when first asked for after a change to them.
    const LayerIndex& layerIndex() const;
    void dropLayerIndex() { layerIndex_.reset(); }
    // The layer index taken out, for an edit that knows what it changes to bring it up to date and
    // put it back; null when none is built or a copy of the document shares it.
    std::shared_ptr<LayerIndex> takeLayerIndex();
    void putBackLayerIndex(std::shared_ptr<LayerIndex> index) { layerIndex_ = std::move(index); }

    struct Selection {
        bool selected = false;
        bool fully = false;
    };
    Selection selectionOf(const ArtNode& node) const;
    void collectSelection(const ArtNode& node, std::unordered_map<ArtId, Selection>& out) const;
    ArtAttributes reportedAttributes(const ArtNode& node, const Selection& selection) const;
    void setSelectedBelow(ArtId art, bool selected);
    std::vector<ArtId> matching(const std::vector<ArtId>& candidates,
                                std::span<const MatchSpec> criteria) const;

    Rect boundsOf(const ArtNode& node, BoundsKind kind, const Matrix& matrix) const;

    // The number of the present state (revision()), drawn from the handles' counter.
    struct Revision {
        std::uint64_t value = nextHandleValue();

        Revision() = default;
        Revision(const Revision&) = default;
        Revision(Revision&& other) noexcept : value(std::exchange(other.value, nextHandleValue())) {}
        Revision& operator=(const Revision&) = default;
        Revision& operator=(Revision&& other) noexcept {
            value = std::exchange(other.value, nextHandleValue());
            return *this;
        }
    };
    // Every change comes through here (recordArt, recordLayer, editFields, applyChanges).
    void changed() { revision_.value = nextHandleValue(); }

    std::unordered_map<ArtId, ArtNode> arts_;
    std::unordered_map<LayerId, Layer> layers_;
    // operator== compares the art, the layers and the fields; the UUID index follows from the art.
    std::unordered_map<std::string, ArtId> uuidIndex_;
    Shared<DocumentFields> fields_;
    UuidGenerator uuids_;
    Tracking tracking_;
    // Kept by SymbolUseEditor::remove between removals; empty after any other change, and in a copy.
    DerivedCache<SymbolUseCounts> symbolUseCounts_;
    // Derived from the layers and the tree alone, so a copy may share it; never compared. Dropped by
    // linking a layer group in or out, by a title shared with other layers and by applying a log; a
    // layer's removal, a new layer in front of or behind all others and a title of its own bring it
    // up to date instead.
    mutable std::shared_ptr<LayerIndex> layerIndex_;
    Revision revision_;
};

}  // namespace host::model

// The art suite: the art tree of the current document, its attributes, names, bounds and
// dictionaries. Changes are recorded in the journal, art named by its UUID.
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/DocumentFormat.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/InsertionPoint.h"
#include "suites/SuiteBoundary.h"

namespace host {

// Plug-ins keep art within the depth the platform states; it is the depth documents can be read at.
static_assert(kAIMaxArtDepth == model::kMaxDocumentDepth);

namespace {

constexpr const char* kSuite = kAIArtSuite;

using model::ArtId;
using model::Document;
using model::Status;

AIErr AnswerArt(const model::Result<ArtId>& result, AIArtHandle* out) {
    if (!result) {
        return Refuse(out, ErrorFromStatus(result.status()));
    }
    *out = ArtHandleOf(*result);
    return kNoErr;
}

// The art plug-ins create through this suite; text frames, placed art, rasters and symbol
// instances come from suites of their own.
bool CanCreate(ai::int16 type) {
    return type == kGroupArt || type == kPathArt || type == kCompoundPathArt || type == kRasterArt;
}

bool IsFinite(const AIRealMatrix& m) {
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.tx) && std::isfinite(m.ty);
}

// --- Creating, moving and removing ----------------------------------------------------------------

AIErr NewArt(ai::int16 type, ai::int16 paintOrder, AIArtHandle prep, AIArtHandle* newArt) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "NewArt");
    const std::optional<model::PaintOrder> order = model::paintOrderFromCode(paintOrder);
    if (error == kNoErr && (newArt == nullptr || !CanCreate(type) || !order)) {
        error = kBadParameterErr;
    }
    const std::string prepLabel = ArtLabel(document, prep);
    if (error == kNoErr) {
        error = AnswerArt(document->newArt(static_cast<model::ArtType>(type), *order, ArtIdOf(prep)), newArt);
    }
    Record(state, "NewArt", {std::to_string(type), std::to_string(paintOrder), prepLabel}, error);
    return error == kNoErr ? kNoErr : Refuse(newArt, error);
}

AIErr DisposeArt(AIArtHandle art) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "DisposeArt");
    const std::string label = ArtLabel(document, art);
    if (error == kNoErr) {
        error = ErrorFromStatus(document->dispose(ArtIdOf(art)));
    }
    Record(state, "DisposeArt", {label}, error);
    return error;
}

AIErr ReorderArt(AIArtHandle art, ai::int16 paintOrder, AIArtHandle prep) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "ReorderArt");
    const std::optional<model::PaintOrder> order = model::paintOrderFromCode(paintOrder);
    if (error == kNoErr && !order) {
        error = kBadParameterErr;
    }
    const std::string label = ArtLabel(document, art);
    const std::string prepLabel = ArtLabel(document, prep);
    if (error == kNoErr) {
        error = ErrorFromStatus(document->reorder(ArtIdOf(art), *order, ArtIdOf(prep)));
    }
    Record(state, "ReorderArt", {label, std::to_string(paintOrder), prepLabel}, error);
    return error;
}

AIErr DuplicateArt(AIArtHandle art, ai::int16 paintOrder, AIArtHandle prep, AIArtHandle* newArt) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "DuplicateArt");
    const std::optional<model::PaintOrder> order = model::paintOrderFromCode(paintOrder);
    if (error == kNoErr && (newArt == nullptr || !order)) {
        error = kBadParameterErr;
    }
    const std::string label = ArtLabel(document, art);
    const std::string prepLabel = ArtLabel(document, prep);
    if (error == kNoErr) {
        error = AnswerArt(document->duplicate(ArtIdOf(art), *order, ArtIdOf(prep)), newArt);
    }
    Record(state, "DuplicateArt", {label, std::to_string(paintOrder), prepLabel}, error);
    return error == kNoErr ? kNoErr : Refuse(newArt, error);
}

// --- The tree ------------------------------------------------------------------------------------

AIErr GetArtType(AIArtHandle art, ai::int16* type) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetArtType");
    if (const AIErr refused = OutputError(error, type)) {
        return Refuse(type, refused);
    }
    const model::Result<model::ArtType> found = document->type(ArtIdOf(art));
    if (!found) {
        return Refuse(type, ErrorFromStatus(found.status()));
    }
    *type = static_cast<ai::int16>(*found);
    return kNoErr;
}

// The relations share one shape: a model lookup from the art to another art (null when there is
// none).
template <model::Result<ArtId> (Document::*Relation)(ArtId) const>
AIErr Related(const char* operation, AIArtHandle art, AIArtHandle* related) {
    auto [state, document, error] = StartDocumentOperation(kSuite, operation);
    if (const AIErr refused = OutputError(error, related)) {
        return Refuse(related, refused);
    }
    return AnswerArt((document->*Relation)(ArtIdOf(art)), related);
}

AIErr GetArtParent(AIArtHandle art, AIArtHandle* parent) {
    return Related<&Document::parent>("GetArtParent", art, parent);
}
AIErr GetArtFirstChild(AIArtHandle art, AIArtHandle* child) {
    return Related<&Document::firstChild>("GetArtFirstChild", art, child);
}
AIErr GetArtLastChild(AIArtHandle art, AIArtHandle* child) {
    return Related<&Document::lastChild>("GetArtLastChild", art, child);
}
AIErr GetArtSibling(AIArtHandle art, AIArtHandle* sibling) {
    return Related<&Document::nextSibling>("GetArtSibling", art, sibling);
}
AIErr GetArtPriorSibling(AIArtHandle art, AIArtHandle* sibling) {
    return Related<&Document::previousSibling>("GetArtPriorSibling", art, sibling);
}

AIErr IsArtLayerGroup(AIArtHandle art, AIBoolean* isLayerGroup) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "IsArtLayerGroup");
    if (const AIErr refused = OutputError(error, isLayerGroup)) {
        return Refuse(isLayerGroup, refused);
    }
    const model::Result<bool> found = document->isLayerGroup(ArtIdOf(art));
    if (!found) {
        return Refuse(isLayerGroup, ErrorFromStatus(found.status()));
    }
    *isLayerGroup = *found;
    return kNoErr;
}

AIErr GetLayerOfArt(AIArtHandle art, AILayerHandle* layer) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetLayerOfArt");
    if (const AIErr refused = OutputError(error, layer)) {
        return Refuse(layer, refused);
    }
    const model::Result<model::LayerId> found = document->layerOfArt(ArtIdOf(art));
    if (!found) {
        return Refuse(layer, ErrorFromStatus(found.status()));
    }
    *layer = LayerHandleOf(*found);
    return kNoErr;
}

AIErr GetFirstArtOfLayer(AILayerHandle layer, AIArtHandle* art) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetFirstArtOfLayer");
    if (const AIErr refused = OutputError(error, art)) {
        return Refuse(art, refused);
    }
    const model::LayerId which = layer != nullptr ? LayerIdOf(layer) : document->layers().current();
    return AnswerArt(document->layers().group(which), art);
}

// --- Attributes and names ------------------------------------------------------------------------

AIErr GetArtUserAttr(AIArtHandle art, ai::int32 whichAttr, ai::int32* attr) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetArtUserAttr");
    if (const AIErr refused = OutputError(error, attr)) {
        return Refuse(attr, refused);
    }
    const auto mask = static_cast<model::ArtAttributes>(whichAttr) & model::attribute::known;
    const model::Result<model::ArtAttributes> found = document->attributes(ArtIdOf(art), mask);
    if (!found) {
        return Refuse(attr, ErrorFromStatus(found.status()));
    }
    *attr = static_cast<ai::int32>(*found);
    return kNoErr;
}

AIErr SetArtUserAttr(AIArtHandle art, ai::int32 whichAttr, ai::int32 attr) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "SetArtUserAttr");
    const std::string label = ArtLabel(document, art);
    if (error == kNoErr) {
        error = ErrorFromStatus(document->setAttributes(ArtIdOf(art),
                                                        static_cast<model::ArtAttributes>(whichAttr),
                                                        static_cast<model::ArtAttributes>(attr)));
    }
    Record(state, "SetArtUserAttr", {label, std::to_string(whichAttr), std::to_string(attr)}, error);
    return error;
}

AIErr GetArtName(AIArtHandle art, ai::UnicodeString& name, AIBoolean* isDefaultName) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetArtName");
    if (error != kNoErr) {
        return Refuse(isDefaultName, error);
    }
    const model::Result<model::ArtName> found = document->name(ArtIdOf(art));
    if (!found) {
        return Refuse(isDefaultName, ErrorFromStatus(found.status()));
    }
    SetStringText(*state, name, found->text);
    if (isDefaultName != nullptr) {
        *isDefaultName = found->isDefault;
    }
    return kNoErr;
}

AIErr SetArtName(AIArtHandle art, const ai::UnicodeString& name) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "SetArtName");
    const std::string label = ArtLabel(document, art);
    std::optional<std::string> text;
    if (error == kNoErr) {
        text = StringText(*state, name);
        error = text ? ErrorFromStatus(document->setName(ArtIdOf(art), *text)) : kBadParameterErr;
    }
    Record(state, "SetArtName", {label, text.value_or("")}, error);
    return error;
}

// --- Bounds ----------------------------------------------------------------------------------------

AIErr AnswerBounds(const model::Result<model::Rect>& found, AIRealRect* bounds) {
    if (!found) {
        return Refuse(bounds, ErrorFromStatus(found.status()));
    }
    if (found->isEmpty()) {
        return Refuse(bounds, kBadParameterErr);
    }
    bounds->left = found->left;
    bounds->top = found->top;
    bounds->right = found->right;
    bounds->bottom = found->bottom;
    return kNoErr;
}

AIErr GetArtBounds(AIArtHandle art, AIRealRect* bounds) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetArtBounds");
    if (const AIErr refused = OutputError(error, bounds)) {
        return Refuse(bounds, refused);
    }
    return AnswerBounds(document->bounds(ArtIdOf(art), model::BoundsKind::visible), bounds);
}

AIErr GetArtTransformBounds(AIArtHandle art, const AIRealMatrix* transform, ai::int32 flags,
                            AIRealRect* bounds) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetArtTransformBounds");
    if (error != kNoErr || bounds == nullptr || (transform != nullptr && !IsFinite(*transform))) {
        return Refuse(bounds, error != kNoErr ? error : kBadParameterErr);
    }
    model::Matrix matrix;
    if (transform != nullptr) {
        matrix = {transform->a, transform->b, transform->c, transform->d, transform->tx, transform->ty};
    }
    const model::BoundsKind kind =
        (flags & kNoStrokeBounds) != 0 ? model::BoundsKind::geometric : model::BoundsKind::visible;
    return AnswerBounds(document->bounds(ArtIdOf(art), kind, matrix), bounds);
}

// --- Validity and dictionaries ---------------------------------------------------------------------

AIBoolean ValidArt(AIArtHandle art, AIBoolean /*searchAllLayerLists: one document is open at most*/) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "ValidArt");
    // A text frame's path object is valid while its frame is.
    return error == kNoErr && (document->isValid(ArtIdOf(art)) || document->frameOfPathObject(ArtIdOf(art)));
}

AIBoolean HasDictionary(AIArtHandle art) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "HasDictionary");
    return error == kNoErr && document->hasDictionary(ArtIdOf(art));
}

AIErr GetDictionary(AIArtHandle art, AIDictionaryRef* dictionary) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetDictionary");
    if (const AIErr refused = OutputError(error, dictionary)) {
        return Refuse(dictionary, refused);
    }
    if (!document->isValid(ArtIdOf(art))) {
        return Refuse(dictionary, kBadParameterErr);
    }
    *dictionary = NewDictionaryRef(*state, model::DictionaryRef{ArtIdOf(art), {}});
    return kNoErr;
}

AIBoolean HasNote(AIArtHandle art) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "HasNote");
    const model::Result<std::string> note = error == kNoErr
                                                ? document->note(ArtIdOf(art))
                                                : model::Result<std::string>(model::Status::badParameter);
    return note && !note->empty();
}

AIErr GetNote(AIArtHandle art, ai::UnicodeString& text) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetNote");
    const model::Result<std::string> note = error == kNoErr
                                                ? document->note(ArtIdOf(art))
                                                : model::Result<std::string>(model::Status::badParameter);
    if (error == kNoErr && !note) {
        error = ErrorFromStatus(note.status());
    }
    if (error == kNoErr) {
        SetStringText(*state, text, *note);
    }
    return error;
}

AIErr SetNote(AIArtHandle art, const ai::UnicodeString& text) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "SetNote");
    const std::string label = ArtLabel(document, art);
    const std::optional<std::string> value = error == kNoErr ? StringText(*state, text) : std::nullopt;
    if (error == kNoErr) {
        error = value ? ErrorFromStatus(document->setNote(ArtIdOf(art), *value)) : kBadParameterErr;
    }
    if (state != nullptr) {
        state->journal.Record("SetNote", {label, value.value_or("invalid")}, error);
    }
    return error;
}

AIErr GetArtTextWrapProperty(AIArtHandle art, AIReal* offset, AIBoolean* invert) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetArtTextWrapProperty");
    const model::ArtNode* node = error == kNoErr ? document->find(ArtIdOf(art)) : nullptr;
    error = OutputError(error, node);
    if (offset != nullptr) {
        *offset = error == kNoErr ? node->data->wrapOffset : 0;
    }
    if (invert != nullptr) {
        *invert = error == kNoErr && node->data->wrapInside;
    }
    return error;
}

AIErr SetArtTextWrapProperty(AIArtHandle art, AIReal offset, AIBoolean invert) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "SetArtTextWrapProperty");
    const std::string label = ArtLabel(document, art);
    if (error == kNoErr) {
        error = ErrorFromStatus(document->setTextWrap(ArtIdOf(art), offset, invert != 0));
    }
    if (state != nullptr) {
        state->journal.Record("SetArtTextWrapProperty", {label, std::to_string(offset), invert ? "1" : "0"},
                              error);
    }
    return error;
}

}  // namespace

AIArtSuite gArtSuite = {
    PLIM_SUITE_FUNCTION(NewArt),
    PLIM_SUITE_FUNCTION(DisposeArt),
    PLIM_SUITE_FUNCTION(ReorderArt),
    PLIM_SUITE_FUNCTION(DuplicateArt),
    PLIM_SUITE_FUNCTION(GetArtType),
    PLIM_SUITE_FUNCTION(GetArtParent),
    PLIM_SUITE_FUNCTION(GetArtFirstChild),
    PLIM_SUITE_FUNCTION(GetArtLastChild),
    PLIM_SUITE_FUNCTION(GetArtSibling),
    PLIM_SUITE_FUNCTION(GetArtPriorSibling),
    PLIM_SUITE_FUNCTION(IsArtLayerGroup),
    PLIM_SUITE_FUNCTION(GetLayerOfArt),
    PLIM_SUITE_FUNCTION(GetFirstArtOfLayer),
    PLIM_SUITE_FUNCTION(GetArtUserAttr),
    PLIM_SUITE_FUNCTION(SetArtUserAttr),
    PLIM_SUITE_FUNCTION(GetArtName),
    PLIM_SUITE_FUNCTION(SetArtName),
    PLIM_SUITE_FUNCTION(GetArtBounds),
    PLIM_SUITE_FUNCTION(GetArtTransformBounds),
    PLIM_SUITE_FUNCTION(ValidArt),
    PLIM_SUITE_FUNCTION(HasDictionary),
    PLIM_SUITE_FUNCTION(GetDictionary),
    PLIM_SUITE_FUNCTION(GetInsertionPoint),
    PLIM_SUITE_FUNCTION(SetInsertionPoint),
    PLIM_SUITE_FUNCTION(HasNote),
    PLIM_SUITE_FUNCTION(GetNote),
    PLIM_SUITE_FUNCTION(SetNote),
    PLIM_SUITE_FUNCTION(GetArtTextWrapProperty),
    PLIM_SUITE_FUNCTION(SetArtTextWrapProperty),
};

}  // namespace host

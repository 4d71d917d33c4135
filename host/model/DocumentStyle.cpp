// Reading and setting the appearance of art.
#include "model/Document.h"

namespace host::model {

Result<ArtStyle> Document::style(ArtId art) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    return node->data->style;
}

Status Document::setStyle(ArtId art, ArtStyle style) {
    if (!isValid(art)) {
        return Status::invalidHandle;
    }
    if (style.check() != Status::ok) {
        return Status::badParameter;
    }
    editData(art).style = std::move(style);
    return Status::ok;
}

}  // namespace host::model

// The shape construction suite: new rectangles at the document's insertion point.
#include <algorithm>
#include <cmath>

#include "AIShapeConstruction.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/InsertionPoint.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIShapeConstructionSuite;

bool IsFinite(AIReal a, AIReal b, AIReal c, AIReal d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// The rectangle's anchors run clockwise from the top-left corner (y up); reversed, the same corner
// starts a counter-clockwise run.
model::PathGeometry RectangleGeometry(const model::Rect& rect, bool reversed) {
    model::PathGeometry geometry = model::PathGeometry::rectangle(rect);
    if (reversed && geometry.segments.size() > 1) {
        std::reverse(geometry.segments.begin() + 1, geometry.segments.end());
    }
    return geometry;
}

AIErr NewRect(AIReal top, AIReal left, AIReal bottom, AIReal right, AIBoolean reversed, AIArtHandle* newArt) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "NewRect");
    if (error == kNoErr &&
        (newArt == nullptr || !IsFinite(top, left, bottom, right) || top < bottom || right < left)) {
        error = kBadParameterErr;
    }
    model::ArtId made;
    if (error == kNoErr) {
        const InsertionPlace place = ResolveInsertionPoint(*state, *document);
        const model::Result<model::ArtId> created =
            document->newArt(model::ArtType::path, place.order, place.target);
        error = ErrorFromStatus(created.status());
        made = created.valueOr({});
    }
    if (error == kNoErr) {
        document->editContent<model::PathContent>(made)->geometry =
            RectangleGeometry(model::Rect(left, top, right, bottom), reversed != 0);
    }
    if (newArt != nullptr) {
        *newArt = ArtHandleOf(made);
    }
    Record(state, "NewRect", {ArtLabel(document, ArtHandleOf(made))}, error);
    return error;
}

}  // namespace

AIShapeConstructionSuite gShapeConstructionSuite = {
    PLIM_SUITE_FUNCTION(NewRect),
};

}  // namespace host

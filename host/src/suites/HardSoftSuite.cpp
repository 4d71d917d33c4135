// The hard/soft suite: document coordinates (y up, the document's own origin) and the rulers'
// artboard coordinates (y down, from the active artboard's ruler origin).
#include "AIHardSoft.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIHardSoftSuite;

bool IsKnownSystem(ai::int16 system) {
    return system == kAIDocumentCoordinateSystem || system == kAIArtboardCoordinateSystem;
}

AIErr ConvertCoordinates(AIRealPoint* point, ai::int16 from, ai::int16 to, AIBoolean isVector) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "ConvertCoordinates");
    if (error == kNoErr && (point == nullptr || !IsKnownSystem(from) || !IsKnownSystem(to))) {
        error = kBadParameterErr;
    }
    Record(state, "ConvertCoordinates", {std::to_string(from), std::to_string(to)}, error);
    if (error != kNoErr || from == to) {
        return error;
    }
    // Both ways flip the vertical axis about the origin; a vector has no origin to move by.
    const model::Point origin = isVector ? model::Point{} : document->artboards().rulerOrigin();
    if (from == kAIDocumentCoordinateSystem) {
        *point = {point->h - origin.x, origin.y - point->v};
    } else {
        *point = {origin.x + point->h, origin.y - point->v};
    }
    return kNoErr;
}

}  // namespace

AIHardSoftSuite gHardSoftSuite = {
    PLIM_SUITE_FUNCTION(ConvertCoordinates),
};

}  // namespace host

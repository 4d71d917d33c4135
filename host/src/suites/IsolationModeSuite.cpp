// The isolation-mode suite: the editing state of the current document.
#include "AIIsolationMode.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIIsolationModeSuite;

// Pattern editing is a kind of isolation of its own, and wins over the isolation kind.
AIIsolationModeType KindOf(const model::EditingState& editing) {
    if (editing.patternEditing) {
        return kAIPatternEditIsolation;
    }
    switch (editing.isolationKind) {
        case kAIGroupOrLayerIsolation:
            return kAIGroupOrLayerIsolation;
        case kAISingleArtIsolation:
            return kAISingleArtIsolation;
        case kAIPatternEditIsolation:
            return kAIPatternEditIsolation;
        default:
            return kAINotIsolated;
    }
}

AIBoolean IsInIsolationMode() {
    auto [state, document, error] = StartDocumentOperation(kSuite, "IsInIsolationMode");
    return error == kNoErr && KindOf(document->editingState()) != kAINotIsolated;
}

AIIsolationModeType GetIsolationModeType() {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetIsolationModeType");
    return error == kNoErr ? KindOf(document->editingState()) : kAINotIsolated;
}

}  // namespace

AIIsolationModeSuite gIsolationModeSuite = {
    PLIM_SUITE_FUNCTION(IsInIsolationMode),
    PLIM_SUITE_FUNCTION(GetIsolationModeType),
};

}  // namespace host

// The pathfinder suite: the ten shape operations over the operands of a data record (see
// Pathfinder.h for what each one makes and where it goes).
#include <string>
#include <vector>

#include "AIPathfinder.h"
#include "Pathfinder.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIPathfinderSuite;
// More operands than any document of this host could offer: a count beyond it is a bad record.
constexpr ai::int32 kMaxOperands = 1 << 20;

AIErr Run(const char* operationName, PathfinderOperation operation, AIPathfinderData* data) {
    auto [state, document, error] = StartDocumentOperation(kSuite, operationName);
    if (error == kNoErr && (data == nullptr || data->operands == nullptr || data->operandCount < 1 ||
                            data->operandCount > kMaxOperands)) {
        error = kBadParameterErr;
    }
    model::ArtId made;
    if (error == kNoErr) {
        std::vector<model::ArtId> operands;
        for (ai::int32 i = 0; i < data->operandCount; ++i) {
            operands.push_back(ArtIdOf(data->operands[i]));
        }
        const model::Result<model::ArtId> result = RunPathfinder(*document, operation, operands);
        if (result) {
            made = *result;
        } else {
            error = result.status() == model::Status::notFound ? kCantHappenErr : kBadParameterErr;
        }
    }
    if (data != nullptr) {
        // Only the operations that report their result write it; the others leave the field null.
        data->result = error == kNoErr && MakesGroup(operation) ? ArtHandleOf(made) : nullptr;
    }
    Record(state, operationName, {ArtLabel(document, ArtHandleOf(made))}, error);
    return error;
}

// The filter message is not read: no menu filter runs in this host.
#define PLIM_PATHFINDER_OPERATION(name, operation)                     \
    AIErr name(AIPathfinderData* data, AIFilterMessage* /*message*/) { \
        return Run(#name, PathfinderOperation::operation, data);       \
    }

PLIM_PATHFINDER_OPERATION(DoUniteEffect, unite)
PLIM_PATHFINDER_OPERATION(DoIntersectEffect, intersect)
PLIM_PATHFINDER_OPERATION(DoExcludeEffect, exclude)
PLIM_PATHFINDER_OPERATION(DoBackMinusFrontEffect, minusFront)
PLIM_PATHFINDER_OPERATION(DoFrontMinusBackEffect, minusBack)
PLIM_PATHFINDER_OPERATION(DoDivideEffect, divide)
PLIM_PATHFINDER_OPERATION(DoTrimEffect, trim)
PLIM_PATHFINDER_OPERATION(DoMergeEffect, merge)
PLIM_PATHFINDER_OPERATION(DoCropEffect, crop)
PLIM_PATHFINDER_OPERATION(DoOutlineEffect, outline)

#undef PLIM_PATHFINDER_OPERATION

}  // namespace

AIPathfinderSuite gPathfinderSuite = {
    PLIM_SUITE_FUNCTION(DoUniteEffect),          PLIM_SUITE_FUNCTION(DoIntersectEffect),
    PLIM_SUITE_FUNCTION(DoExcludeEffect),        PLIM_SUITE_FUNCTION(DoBackMinusFrontEffect),
    PLIM_SUITE_FUNCTION(DoFrontMinusBackEffect), PLIM_SUITE_FUNCTION(DoDivideEffect),
    PLIM_SUITE_FUNCTION(DoTrimEffect),           PLIM_SUITE_FUNCTION(DoMergeEffect),
    PLIM_SUITE_FUNCTION(DoCropEffect),           PLIM_SUITE_FUNCTION(DoOutlineEffect),
};

}  // namespace host

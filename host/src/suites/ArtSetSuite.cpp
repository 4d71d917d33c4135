// The art set suite: ordered sets of art handles that the host keeps for the plug-in.
#include "AIArtSet.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIArtSetSuite;

// The set behind a handle, after the common start of an operation; null with an error otherwise.
struct SetStart {
    HostState* state;
    ArtSetMembers* members;
    AIErr error;
};

SetStart StartSetOperation(const char* operation, AIArtSet set) {
    auto [state, error] = StartOperation(kSuite, operation);
    ArtSetMembers* members = error == kNoErr ? state->art.sets.Find(set) : nullptr;
    error = OutputError(error, members);
    return {state, members, error};
}

AIErr NewArtSet(AIArtSet* artSet) {
    auto [state, error] = StartOperation(kSuite, "NewArtSet");
    error = OutputError(error, artSet);
    if (error != kNoErr) {
        return Refuse(artSet, error);
    }
    *artSet = state->art.sets.Add<AIArtSet>(std::make_unique<ArtSetMembers>());
    return kNoErr;
}

AIErr DisposeArtSet(AIArtSet* artSet) {
    auto [state, error] = StartOperation(kSuite, "DisposeArtSet");
    if (error == kNoErr && (artSet == nullptr || !state->art.sets.Remove(*artSet))) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        *artSet = nullptr;
    }
    return error;
}

AIErr CountArtSet(AIArtSet artSet, std::size_t* count) {
    auto [state, members, error] = StartSetOperation("CountArtSet", artSet);
    error = OutputError(error, count);
    if (count != nullptr) {
        *count = error == kNoErr ? members->order.size() : 0;
    }
    return error;
}

AIErr IndexArtSet(AIArtSet artSet, std::size_t index, AIArtHandle* art) {
    auto [state, members, error] = StartSetOperation("IndexArtSet", artSet);
    if (error == kNoErr && (art == nullptr || index >= members->order.size())) {
        error = kBadParameterErr;
    }
    if (art != nullptr) {
        *art = error == kNoErr ? ArtHandleOf(members->order[index]) : nullptr;
    }
    return error;
}

AIErr AddArtToArtSet(AIArtSet artSet, AIArtHandle art) {
    auto [state, members, error] = StartSetOperation("AddArtToArtSet", artSet);
    if (error == kNoErr &&
        (state->documents.current == nullptr || !state->documents.current->isValid(ArtIdOf(art)))) {
        error = state->documents.current == nullptr ? kNoDocumentErr : kBadParameterErr;
    }
    if (error == kNoErr && members->held.insert(ArtIdOf(art)).second) {
        members->order.push_back(ArtIdOf(art));
    }
    return error;
}

}  // namespace

AIArtSetSuite gArtSetSuite = {
    PLIM_SUITE_FUNCTION(NewArtSet),   PLIM_SUITE_FUNCTION(DisposeArtSet),  PLIM_SUITE_FUNCTION(CountArtSet),
    PLIM_SUITE_FUNCTION(IndexArtSet), PLIM_SUITE_FUNCTION(AddArtToArtSet),
};

}  // namespace host

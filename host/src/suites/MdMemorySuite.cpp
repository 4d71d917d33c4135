// Memory blocks the host hands to plug-ins (the matching-art answers), freed by the plug-in here.
#include <memory>

#include "AIMdMemory.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

AIErr MdMemoryDisposeHandle(AIMdMemoryHandle handle) {
    auto [state, error] = StartOperation(kAIMdMemorySuite, "MdMemoryDisposeHandle");
    if (error != kNoErr || handle == nullptr) {
        return error;
    }
    // Only the handle's value is looked at: a handle the host did not hand out is never read.
    return state->art.memoryBlocks.erase(handle) != 0 ? kNoErr : kBadParameterErr;
}

}  // namespace

AIArtHandle** NewArtBlock(HostState& state, const std::vector<model::ArtId>& arts) {
    auto block = std::make_unique<MemoryBlock>();
    block->arts.reserve(arts.size());
    for (const model::ArtId art : arts) {
        block->arts.push_back(ArtHandleOf(art));
    }
    block->data = block->arts.data();
    AIArtHandle** handle = &block->data;
    state.art.memoryBlocks.emplace(handle, std::move(block));
    return handle;
}

AIPatternHandle** NewSymbolBlock(HostState& state, const std::vector<model::SymbolId>& symbols) {
    auto block = std::make_unique<MemoryBlock>();
    for (const model::SymbolId symbol : symbols) {
        block->symbols.push_back(SymbolHandleOf(symbol));
    }
    block->symbolData = block->symbols.data();
    AIPatternHandle** handle = &block->symbolData;
    state.art.memoryBlocks.emplace(handle, std::move(block));
    return handle;
}

AIMdMemorySuite gMdMemorySuite = {
    PLIM_SUITE_FUNCTION(MdMemoryDisposeHandle),
};

}  // namespace host

// The host's movable memory blocks. Whatever the host hands out as a block (the answers of the
// matching-art queries, for one) belongs to the caller, who frees it here exactly once.
#pragma once

#include "SPTypes.h"

#define kAIMdMemorySuite "AI MdMemory Suite"
constexpr ASInt32 kAIMdMemorySuiteVersion = 1003;

struct AIMdMemoryBlock;
// A handle: a pointer to the pointer to the block's data. Callers cast the typed handle they
// received (for instance AIArtHandle**) to this type to free it.
using AIMdMemoryHandle = AIMdMemoryBlock**;

struct AIMdMemorySuite {
    // Frees a block handed out by the host. A null handle is accepted and does nothing; a handle
    // the host did not hand out, or one already freed, gives kBadParameterErr.
    AIErr (*MdMemoryDisposeHandle)(AIMdMemoryHandle handle);
};

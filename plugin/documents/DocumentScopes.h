// Scope objects for what document and file commands hold: an action's parameter block and a file
// descriptor. Each gives its state back on every way out.
#pragma once

#include <unistd.h>

#include "AIActionManager.h"
#include "core/Suites.h"

// The parameter block of one play, deleted on every way out.
class ActionBlock {
public:
    ActionBlock() {
        if (sAIActionManager == nullptr || sAIActionManager->AINewActionParamValue(&fBlock) != kNoErr) {
            fBlock = nullptr;
        }
    }
    ~ActionBlock() {
        if (fBlock != nullptr) {
            sAIActionManager->AIDeleteActionParamValue(fBlock);
        }
    }
    ActionBlock(const ActionBlock&) = delete;
    ActionBlock& operator=(const ActionBlock&) = delete;

    AIActionParamValueRef Get() const { return fBlock; }
    // Deletes the block now; false when the host refuses.
    bool Delete() {
        AIActionParamValueRef block = fBlock;
        fBlock = nullptr;
        return sAIActionManager->AIDeleteActionParamValue(block) == kNoErr;
    }

private:
    AIActionParamValueRef fBlock = nullptr;
};

// Closes the descriptor when the scope ends.
class Descriptor {
public:
    explicit Descriptor(int descriptor) : fDescriptor(descriptor) {}
    ~Descriptor() {
        if (fDescriptor >= 0) {
            close(fDescriptor);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return fDescriptor; }
    bool Close() {
        const int descriptor = fDescriptor;
        fDescriptor = -1;
        return close(descriptor) == 0;
    }

private:
    int fDescriptor;
};

// Scope objects for what document and file commands hold: an action's parameter block, a file
// descriptor and the signals held back while a temporary file exists. Each gives its state back on
// every way out.
#pragma once

#include <signal.h>
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

// Holds back the signals that end a process (interrupt, terminate, hang-up, quit) on this thread
// while the scope lives; one that arrives meanwhile takes effect when the scope ends, as the
// application handles it. A temporary file made inside the scope is gone again by then, so no
// signal leaves it behind: the plug-in can't install handlers of its own in the application, and
// a handler would have to remove the file from inside the signal. Scopes nest.
class TerminationDeferred {
public:
    TerminationDeferred() {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
            sigaddset(&held, signal);
        }
        fHeld = pthread_sigmask(SIG_BLOCK, &held, &fPrevious) == 0;
    }
    ~TerminationDeferred() {
        if (fHeld) {
            pthread_sigmask(SIG_SETMASK, &fPrevious, nullptr);
        }
    }
    TerminationDeferred(const TerminationDeferred&) = delete;
    TerminationDeferred& operator=(const TerminationDeferred&) = delete;

private:
    sigset_t fPrevious{};
    bool fHeld = false;
};

// The panel event library: keeps the plug-ins' event listeners and carries events between them and
// the host's panel side. Everything runs on the host's thread; listeners may add or remove
// listeners and dispatch events while they are called.
#include <cstring>
#include <string>
#include <vector>

#include "PlugPlugBinding.h"

#define PLUGPLUG_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using csxs::event::Event;
using csxs::event::EventErrorCode;
using csxs::event::EventListenerFn;
using csxs::event::kEventErrorCode_Success;

struct Listener {
    std::string type;
    EventListenerFn function;
    void* context;

    bool Matches(const char* otherType, EventListenerFn otherFunction, void* otherContext) const {
        return type == otherType && function == otherFunction && context == otherContext;
    }
};

struct Library {
    PlugPlugHostBinding host{};
    bool bound = false;
    std::vector<Listener> listeners;
};

Library& TheLibrary() {
    static Library library;
    return library;
}

std::size_t Deliver(const Event* event) {
    if (event == nullptr || event->type == nullptr) {
        return 0;
    }
    // A copy: listeners may add or remove listeners while they run.
    const std::vector<Listener> listeners = TheLibrary().listeners;
    std::size_t called = 0;
    for (const Listener& listener : listeners) {
        if (listener.type == event->type) {
            listener.function(event, listener.context);
            ++called;
        }
    }
    return called;
}

std::size_t ListenerCount(const char* type) {
    const auto& listeners = TheLibrary().listeners;
    if (type == nullptr) {
        return listeners.size();
    }
    std::size_t count = 0;
    for (const Listener& listener : listeners) {
        count += listener.type == type ? 1 : 0;
    }
    return count;
}

void ReportListenerChange(const char* type, int added, EventErrorCode result) {
    const Library& library = TheLibrary();
    if (library.bound && library.host.listenerChanged != nullptr) {
        library.host.listenerChanged(library.host.host, type, added, result);
    }
}

void ReportExtension(const char* extensionId, int loaded) {
    const Library& library = TheLibrary();
    if (library.bound && library.host.extensionLoaded != nullptr) {
        library.host.extensionLoaded(library.host.host, extensionId, loaded);
    }
}

}  // namespace

PLUGPLUG_EXPORT int PlugPlugBindHost(PlugPlugHostBinding* binding) {
    Library& library = TheLibrary();
    library.listeners.clear();
    if (binding == nullptr) {
        library.host = {};
        library.bound = false;
        return 0;
    }
    binding->deliver = Deliver;
    binding->listenerCount = ListenerCount;
    library.host = *binding;
    library.bound = true;
    return 0;
}

PLUGPLUG_EXPORT EventErrorCode PlugPlugLoadExtension(const char* extensionId) {
    if (extensionId == nullptr) {
        return kPlugPlugBadArgument;
    }
    ReportExtension(extensionId, 1);
    return kEventErrorCode_Success;
}

PLUGPLUG_EXPORT EventErrorCode PlugPlugUnloadExtension(const char* extensionId) {
    if (extensionId == nullptr) {
        return kPlugPlugBadArgument;
    }
    ReportExtension(extensionId, 0);
    return kEventErrorCode_Success;
}

// Adding a listener that is already there changes nothing and succeeds: each event reaches it once.
PLUGPLUG_EXPORT EventErrorCode PlugPlugAddEventListener(const char* type, EventListenerFn listener,
                                                        void* context) {
    if (type == nullptr || listener == nullptr) {
        ReportListenerChange(type != nullptr ? type : "", 1, kPlugPlugBadArgument);
        return kPlugPlugBadArgument;
    }
    auto& listeners = TheLibrary().listeners;
    bool present = false;
    for (const Listener& existing : listeners) {
        present = present || existing.Matches(type, listener, context);
    }
    if (!present) {
        listeners.push_back({type, listener, context});
    }
    ReportListenerChange(type, 1, kEventErrorCode_Success);
    return kEventErrorCode_Success;
}

PLUGPLUG_EXPORT EventErrorCode PlugPlugRemoveEventListener(const char* type, EventListenerFn listener,
                                                           void* context) {
    if (type == nullptr || listener == nullptr) {
        ReportListenerChange(type != nullptr ? type : "", 0, kPlugPlugBadArgument);
        return kPlugPlugBadArgument;
    }
    auto& listeners = TheLibrary().listeners;
    for (auto it = listeners.begin(); it != listeners.end(); ++it) {
        if (it->Matches(type, listener, context)) {
            listeners.erase(it);
            ReportListenerChange(type, 0, kEventErrorCode_Success);
            return kEventErrorCode_Success;
        }
    }
    ReportListenerChange(type, 0, kPlugPlugListenerNotFound);
    return kPlugPlugListenerNotFound;
}

// Events go to the host's panel side only: a plug-in's own listeners don't hear what it dispatches.
PLUGPLUG_EXPORT EventErrorCode PlugPlugDispatchEvent(const Event* event) {
    if (event == nullptr || event->type == nullptr) {
        return kPlugPlugBadArgument;
    }
    const Library& library = TheLibrary();
    if (!library.bound || library.host.dispatched == nullptr) {
        return kPlugPlugNotBound;
    }
    library.host.dispatched(library.host.host, event);
    return kEventErrorCode_Success;
}

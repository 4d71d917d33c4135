// The one function of the panel event library that plug-ins never use: the host calls it to bind
// the library to its event bus before any plug-in starts. The host and the plug-in open the same
// file, so they share one instance of the library and its listeners.
#pragma once

#include <cstddef>

#include "PlugPlug.h"

extern "C" {

struct PlugPlugHostBinding {
    // Filled in by the host. Every callback gets `host` back as its first argument.
    void* host;
    // An event a plug-in dispatched; the strings live only for the call.
    void (*dispatched)(void* host, const csxs::event::Event* event);
    // PlugPlugLoadExtension (loaded 1) and PlugPlugUnloadExtension (loaded 0).
    void (*extensionLoaded)(void* host, const char* extensionId, int loaded);
    // PlugPlugAddEventListener (added 1) and PlugPlugRemoveEventListener (added 0), with their result.
    void (*listenerChanged)(void* host, const char* type, int added, csxs::event::EventErrorCode result);

    // Filled in by the library.
    // Calls every listener added for the event's type, in the order they were added; answers how
    // many were called.
    std::size_t (*deliver)(const csxs::event::Event* event);
    // How many listeners are added for a type; every listener when the type is null.
    std::size_t (*listenerCount)(const char* type);
};

// Binds the library to a host, dropping the listeners of an earlier binding; a null binding
// unbinds it (the listeners are dropped too, since the module they point into may go away).
// Answers 0.
using PlugPlugBindHostFn = int (*)(PlugPlugHostBinding* binding);
}

inline constexpr const char* kPlugPlugBindHostName = "PlugPlugBindHost";

// The library's error codes besides kEventErrorCode_Success and kEventErrorCode_Unknown.
inline constexpr csxs::event::EventErrorCode kPlugPlugBadArgument = 2;
inline constexpr csxs::event::EventErrorCode kPlugPlugListenerNotFound = 3;
inline constexpr csxs::event::EventErrorCode kPlugPlugNotBound = 4;

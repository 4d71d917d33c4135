// The panel event library: events between the host's HTML panels and plug-ins.
#pragma once

#include <cstdint>

namespace csxs::event {

enum EventScope : std::int32_t { kEventScope_Global = 0, kEventScope_Application = 1 };

struct Event {
    const char* type;  // e.g. "com.torvi.event.result"
    std::int32_t scope;
    const char* appId;        // e.g. "HOST"
    const char* extensionId;  // sender, or addressee of a reply; may be null
    const char* data;         // the payload text
};

using EventListenerFn = void (*)(const Event* event, void* context);
using EventErrorCode = std::int32_t;
constexpr EventErrorCode kEventErrorCode_Success = 0;
constexpr EventErrorCode kEventErrorCode_Unknown = 1;

}  // namespace csxs::event

// The library's exported functions, looked up by name.
extern "C" {
using PlugPlugLoadExtensionFn = csxs::event::EventErrorCode (*)(const char* extensionId);
using PlugPlugUnloadExtensionFn = csxs::event::EventErrorCode (*)(const char* extensionId);
using PlugPlugAddEventListenerFn = csxs::event::EventErrorCode (*)(const char* type,
                                                                   csxs::event::EventListenerFn listener,
                                                                   void* context);
using PlugPlugRemoveEventListenerFn = csxs::event::EventErrorCode (*)(const char* type,
                                                                      csxs::event::EventListenerFn listener,
                                                                      void* context);
using PlugPlugDispatchEventFn = csxs::event::EventErrorCode (*)(const csxs::event::Event* event);
}

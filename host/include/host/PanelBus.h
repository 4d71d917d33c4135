// PanelBus: the host's side of the panel event library. Tests play the panel through it: they send
// panel events to the listeners a plug-in added, and read every event the plug-in dispatched.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "PlugPlug.h"

struct PlugPlugHostBinding;

namespace host {

class Application;

// The extension id the panel sends its events with, unless a test names another.
inline constexpr const char* kPanelExtensionId = "com.torvi.panel";
// The application id of the events the panel sends.
inline constexpr const char* kPanelApplicationId = "HOST";

// An event as it crossed the bus, copied when it was sent.
struct PanelEvent {
    std::string type;
    std::int32_t scope = 0;
    std::string appId;
    std::optional<std::string> extensionId;  // nullopt: the event had none
    std::string data;

    bool operator==(const PanelEvent&) const = default;
};

class PanelBus {
public:
    using Responder = std::function<void(const PanelEvent& dispatched)>;

    explicit PanelBus(Application& application);
    ~PanelBus();
    PanelBus(const PanelBus&) = delete;
    PanelBus& operator=(const PanelBus&) = delete;

    // Opens the library file and binds it to this bus; false with the reason when it can't.
    bool Bind(const std::filesystem::path& library, std::string* reason = nullptr);
    // Drops the library's listeners and closes it.
    void Unbind();
    bool IsBound() const { return fBindHost != nullptr; }
    const std::filesystem::path& LibraryPath() const { return fLibraryPath; }

    // Plays the panel: delivers an event (scope application, application id "HOST") to the
    // listeners added for its type, and answers how many were called. Sent while the host is
    // inside a call into a plug-in, the event waits until the outermost call returns, and the
    // answer is 0. An unbound bus calls nobody.
    std::size_t Send(std::string_view type, std::string_view data,
                     std::optional<std::string> extensionId = std::string(kPanelExtensionId));

    // Listeners added for a type; every listener when the type is empty.
    std::size_t ListenerCount(std::string_view type = {}) const;

    // Every event the plug-in dispatched, in order.
    const std::vector<PanelEvent>& Dispatched() const { return fDispatched; }
    // The dispatched events, leaving none.
    std::vector<PanelEvent> TakeDispatched();
    void ClearDispatched() { fDispatched.clear(); }

    // Called with every event the plug-in dispatches, while the dispatch runs (as the panel would
    // react to it). One responder at a time; an empty function removes it.
    void OnDispatch(Responder responder) { fResponder = std::move(responder); }

    // Extensions loaded (and not unloaded) through PlugPlugLoadExtension.
    std::vector<std::string> LoadedExtensions() const;

private:
    static void Dispatched(void* bus, const csxs::event::Event* event);
    static void ExtensionLoaded(void* bus, const char* extensionId, int loaded);
    static void ListenerChanged(void* bus, const char* type, int added, csxs::event::EventErrorCode result);
    std::size_t DeliverNow(const PanelEvent& event);

    Application& fApplication;
    std::filesystem::path fLibraryPath;
    void* fLibrary = nullptr;
    int (*fBindHost)(PlugPlugHostBinding*) = nullptr;
    std::size_t (*fDeliver)(const csxs::event::Event*) = nullptr;
    std::size_t (*fListenerCount)(const char*) = nullptr;
    std::vector<PanelEvent> fDispatched;
    std::map<std::string, int> fExtensions;
    Responder fResponder;
};

}  // namespace host

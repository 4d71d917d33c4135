// The host's side of the panel event library.
#include "host/PanelBus.h"

#include <dlfcn.h>

#include <exception>
#include <memory>

#include "PlugPlugBinding.h"
#include "host/Application.h"

namespace host {

PanelBus::PanelBus(Application& application) : fApplication(application) {}

PanelBus::~PanelBus() {
    Unbind();
}

bool PanelBus::Bind(const std::filesystem::path& library, std::string* reason) {
    Unbind();
    std::string ignored;
    std::string& why = reason != nullptr ? *reason : ignored;
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::canonical(library, error);
    if (error) {
        why = "cannot find the panel library " + library.string() + ": " + error.message();
        return false;
    }
    void* handle = dlopen(canonical.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* message = dlerror();
        why = "cannot load the panel library " + canonical.string() + ": " +
              (message != nullptr ? message : "");
        return false;
    }
    auto* bindHost = reinterpret_cast<PlugPlugBindHostFn>(dlsym(handle, kPlugPlugBindHostName));
    if (bindHost == nullptr) {
        dlclose(handle);
        why = "the panel library " + canonical.string() + " has no " + kPlugPlugBindHostName;
        return false;
    }
    PlugPlugHostBinding binding{};
    binding.host = this;
    binding.dispatched = &PanelBus::Dispatched;
    binding.extensionLoaded = &PanelBus::ExtensionLoaded;
    binding.listenerChanged = &PanelBus::ListenerChanged;
    bindHost(&binding);
    fLibrary = handle;
    fLibraryPath = canonical;
    fBindHost = bindHost;
    fDeliver = binding.deliver;
    fListenerCount = binding.listenerCount;
    return true;
}

void PanelBus::Unbind() {
    if (fBindHost != nullptr) {
        fBindHost(nullptr);
    }
    if (fLibrary != nullptr) {
        dlclose(fLibrary);
    }
    fLibrary = nullptr;
    fBindHost = nullptr;
    fDeliver = nullptr;
    fListenerCount = nullptr;
    fLibraryPath.clear();
}

std::size_t PanelBus::Send(std::string_view type, std::string_view data,
                           std::optional<std::string> extensionId) {
    // The library's event holds C strings: a NUL would cut the type or the data short and deliver
    // another event than the one sent, so such an event is not delivered.
    if (type.find('\0') != std::string_view::npos || data.find('\0') != std::string_view::npos) {
        fApplication.Journal().Record("PanelEventRefused", {std::string(type.substr(0, type.find('\0')))});
        return 0;
    }
    PanelEvent event{std::string(type), csxs::event::kEventScope_Application, kPanelApplicationId,
                     std::move(extensionId), std::string(data)};
    auto called = std::make_shared<std::size_t>(0);
    fApplication.RunAsPluginCall([this, event = std::move(event), called] {
        fApplication.Journal().Record("PanelEvent", {event.type});
        *called = DeliverNow(event);
    });
    return *called;
}

std::size_t PanelBus::DeliverNow(const PanelEvent& event) {
    if (fDeliver == nullptr) {
        return 0;
    }
    const csxs::event::Event raw{event.type.c_str(), event.scope, event.appId.c_str(),
                                 event.extensionId ? event.extensionId->c_str() : nullptr,
                                 event.data.c_str()};
    // A listener is plug-in code: whatever it throws stops here, as at PluginMain.
    try {
        return fDeliver(&raw);
    } catch (const std::exception& exception) {
        fApplication.Journal().Record("ListenerException", {event.type, exception.what()});
    } catch (...) {
        fApplication.Journal().Record("ListenerException", {event.type, "unknown exception"});
    }
    return 0;
}

std::size_t PanelBus::ListenerCount(std::string_view type) const {
    if (fListenerCount == nullptr) {
        return 0;
    }
    return type.empty() ? fListenerCount(nullptr) : fListenerCount(std::string(type).c_str());
}

std::vector<PanelEvent> PanelBus::TakeDispatched() {
    std::vector<PanelEvent> taken;
    taken.swap(fDispatched);
    return taken;
}

std::vector<std::string> PanelBus::LoadedExtensions() const {
    std::vector<std::string> loaded;
    for (const auto& [id, isLoaded] : fExtensions) {
        if (isLoaded != 0) {
            loaded.push_back(id);
        }
    }
    return loaded;
}

void PanelBus::Dispatched(void* bus, const csxs::event::Event* event) {
    auto& self = *static_cast<PanelBus*>(bus);
    PanelEvent copy{
        event->type != nullptr ? event->type : "", event->scope, event->appId != nullptr ? event->appId : "",
        event->extensionId != nullptr ? std::optional<std::string>(event->extensionId) : std::nullopt,
        event->data != nullptr ? event->data : ""};
    self.fApplication.Journal().Record("DispatchEvent", {copy.type});
    self.fDispatched.push_back(copy);
    // A copy: the responder may replace itself.
    if (Responder responder = self.fResponder) {
        responder(copy);
    }
}

void PanelBus::ExtensionLoaded(void* bus, const char* extensionId, int loaded) {
    auto& self = *static_cast<PanelBus*>(bus);
    self.fExtensions[extensionId] = loaded;
    self.fApplication.Journal().Record(loaded != 0 ? "LoadExtension" : "UnloadExtension", {extensionId});
}

void PanelBus::ListenerChanged(void* bus, const char* type, int added, csxs::event::EventErrorCode result) {
    auto& self = *static_cast<PanelBus*>(bus);
    self.fApplication.Journal().Record(added != 0 ? "AddEventListener" : "RemoveEventListener", {type},
                                       result);
}

}  // namespace host

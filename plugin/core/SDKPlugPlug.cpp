#include "core/SDKPlugPlug.h"

#include "IAIFilePath.hpp"

namespace {

// Where the library lies below the application folder.
constexpr const char* kPlugPlugFramework = "/Frameworks/PlugPlugOwl.framework";

template <typename Function>
bool LookUp(CFBundleRef bundle, const char* name, Function& out) {
    out = reinterpret_cast<Function>(
        CFBundleGetFunctionPointerForName(bundle, CFStringMakeConstantString(name)));
    return out != nullptr;
}

}  // namespace

ASErr SDKPlugPlug::Load(AIFoldersSuite* folders) {
    const ai::UnicodeString framework(kPlugPlugFramework);
    ai::FilePath path;
    if (folders == nullptr) {
        return kCantHappenErr;
    }
    if (ASErr error = folders->FindFolder(kAIApplicationFolderType, false, path)) {
        return error;
    }
    path.AddComponent(framework);
    if (!path.Exists(false)) {
        return kCantHappenErr;
    }
    CFURLRef url = path.GetAsCFURL();
    fPlugPlugBundle = CFBundleCreate(kCFAllocatorDefault, url);
    CFRelease(url);
    if (fPlugPlugBundle == nullptr) {
        return kCantHappenErr;
    }
    const bool found = LookUp(fPlugPlugBundle, "PlugPlugLoadExtension", fLoadExtension) &&
                       LookUp(fPlugPlugBundle, "PlugPlugUnloadExtension", fUnloadExtension) &&
                       LookUp(fPlugPlugBundle, "PlugPlugAddEventListener", fAddEventListener) &&
                       LookUp(fPlugPlugBundle, "PlugPlugRemoveEventListener", fRemoveEventListener) &&
                       LookUp(fPlugPlugBundle, "PlugPlugDispatchEvent", fDispatchEvent);
    return found ? kNoErr : kCantHappenErr;
}

ASErr SDKPlugPlug::Unload() {
    if (fPlugPlugBundle != nullptr) {
        CFRelease(fPlugPlugBundle);
        fPlugPlugBundle = nullptr;
    }
    // The functions lived in the library: nothing may call them once it is released.
    fLoadExtension = nullptr;
    fUnloadExtension = nullptr;
    fAddEventListener = nullptr;
    fRemoveEventListener = nullptr;
    fDispatchEvent = nullptr;
    return kNoErr;
}

bool SDKPlugPlug::isPlugPlugLoaded() const {
    return fPlugPlugBundle != nullptr && CFBundleIsExecutableLoaded(fPlugPlugBundle) != 0;
}

csxs::event::EventErrorCode SDKPlugPlug::LoadExtension(const char* extensionId) const {
    return fLoadExtension != nullptr ? fLoadExtension(extensionId) : csxs::event::kEventErrorCode_Success;
}

csxs::event::EventErrorCode SDKPlugPlug::UnloadExtension(const char* extensionId) const {
    return fUnloadExtension != nullptr ? fUnloadExtension(extensionId) : csxs::event::kEventErrorCode_Success;
}

csxs::event::EventErrorCode SDKPlugPlug::AddEventListener(const char* type,
                                                          csxs::event::EventListenerFn listener,
                                                          void* context) const {
    return fAddEventListener != nullptr ? fAddEventListener(type, listener, context)
                                        : csxs::event::kEventErrorCode_Unknown;
}

csxs::event::EventErrorCode SDKPlugPlug::RemoveEventListener(const char* type,
                                                             csxs::event::EventListenerFn listener,
                                                             void* context) const {
    if (!isPlugPlugLoaded() || fRemoveEventListener == nullptr) {
        return csxs::event::kEventErrorCode_Unknown;
    }
    return fRemoveEventListener(type, listener, context);
}

csxs::event::EventErrorCode SDKPlugPlug::DispatchEvent(const csxs::event::Event* event) const {
    return fDispatchEvent != nullptr ? fDispatchEvent(event) : csxs::event::kEventErrorCode_Unknown;
}

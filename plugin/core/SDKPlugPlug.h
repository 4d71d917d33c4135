// SDKPlugPlug: the panel event library, loaded at run time from the application's frameworks and
// reached through five functions looked up by name. Every call tests for a missing function.
#pragma once

#include "AIFolders.h"
#include "CFBundle.h"
#include "PlugPlug.h"

class SDKPlugPlug {
public:
    // Finds and loads the library; 0, the folders suite's error, or 'CANT'.
    ASErr Load(AIFoldersSuite* folders);
    // Releases the library; afterwards every call answers as if the library were missing.
    ASErr Unload();
    bool isPlugPlugLoaded() const;

    csxs::event::EventErrorCode LoadExtension(const char* extensionId) const;
    csxs::event::EventErrorCode UnloadExtension(const char* extensionId) const;
    csxs::event::EventErrorCode AddEventListener(const char* type, csxs::event::EventListenerFn listener,
                                                 void* context) const;
    csxs::event::EventErrorCode RemoveEventListener(const char* type, csxs::event::EventListenerFn listener,
                                                    void* context) const;
    csxs::event::EventErrorCode DispatchEvent(const csxs::event::Event* event) const;

private:
    CFBundleRef fPlugPlugBundle = nullptr;
    PlugPlugLoadExtensionFn fLoadExtension = nullptr;
    PlugPlugUnloadExtensionFn fUnloadExtension = nullptr;
    PlugPlugAddEventListenerFn fAddEventListener = nullptr;
    PlugPlugRemoveEventListenerFn fRemoveEventListener = nullptr;
    PlugPlugDispatchEventFn fDispatchEvent = nullptr;
};

#include "core/HtmlUIController.h"

#include "core/Suites.h"

HtmlUIController::HtmlUIController(const char* extensionId) : fExtensionId(extensionId) {
    // A panel library that can't be loaded is not an error: messages to the panel are dropped.
    fPPLib.Load(sAIFolders);
}

HtmlUIController::~HtmlUIController() {
    fPPLib.Unload();
}

csxs::event::EventErrorCode HtmlUIController::LoadExtension() {
    return fPPLib.LoadExtension(fExtensionId);
}

csxs::event::EventErrorCode HtmlUIController::UnloadExtension() {
    return fPPLib.UnloadExtension(fExtensionId);
}

// HtmlUIController: the base of a panel controller. It owns the panel event library and the
// extension id of its panel; the library is loaded on construction and released on destruction.
#pragma once

#include "core/SDKPlugPlug.h"

class HtmlUIController {
public:
    explicit HtmlUIController(const char* extensionId);
    virtual ~HtmlUIController();

    HtmlUIController(const HtmlUIController&) = delete;
    HtmlUIController& operator=(const HtmlUIController&) = delete;

    virtual csxs::event::EventErrorCode LoadExtension();
    virtual csxs::event::EventErrorCode UnloadExtension();
    virtual csxs::event::EventErrorCode RegisterCSXSEventListeners() = 0;
    virtual csxs::event::EventErrorCode RemoveEventListeners() = 0;
    virtual ASErr SendData() = 0;
    virtual void ParsePanelData() = 0;

    const SDKPlugPlug& PlugPlug() const { return fPPLib; }

protected:
    SDKPlugPlug fPPLib;
    const char* fExtensionId;
};

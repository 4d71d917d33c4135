// PlimPanelController: the bridge to the plug-in's own panel: its listeners and its messages.
#pragma once

#include <string>

#include "AIUITheme.h"
#include "IAIUnicodeString.h"
#include "core/HtmlUIController.h"

extern const char* const PLIM_UI_EXTENSION;

class PlimPanelController : public HtmlUIController {
public:
    PlimPanelController();

    // Adds one listener per panel request; once only, however often the library reports ready.
    csxs::event::EventErrorCode RegisterCSXSEventListeners() override;
    // Removes every listener, trying them all; answers the first failure.
    csxs::event::EventErrorCode RemoveEventListeners() override;
    ASErr SendData() override { return kNoErr; }
    void ParsePanelData() override {}

    // A command's JSON reply, addressed to the extension that asked.
    ASErr SendResult(const std::string& reply, const char* extensionId) const;
    // An XML reply: the text inside "<payload><result>" and "</result></payload>".
    ASErr SendResult(const ai::UnicodeString& text) const;
    // The start-up handshake: the plug-in's name and version.
    ASErr StartupMessageToPanel() const;
    // The host's five interface colours; answers the result of the last colour query.
    ASErr SendTheme() const;

    static std::string AIRGBColorToXML(const AIUIThemeColor& color);

private:
    void Dispatch(const char* type, const char* extensionId, const std::string& data) const;

    // How many rows of the command table the registration has gone past, from the first.
    size_t fListenersAdded = 0;
};

// Percent-encodes a text for the panel: "%" and the space are escaped, other ASCII characters pass
// as they are, every other character is written as the percent-encoded bytes of its UTF-8.
ai::UnicodeString encodeUTF8(const ai::UnicodeString& text);

// The content of the first element named tag, or "no_match" when there is no opening tag.
ai::UnicodeString getPara(const ai::UnicodeString& text, const ai::UnicodeString& tag);

// The text made safe as XML element content: "&", "<" and ">" written as entities. Quotes
// stay as they are, since panels read quoted lists out of the content.
std::string EscapeXml(const std::string& text);

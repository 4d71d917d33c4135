// Everything the plug-in says to its panel: command replies, the XML replies of the older requests,
// the start-up handshake and the host's interface theme.
#include <cmath>
#include <cstdio>
#include <sstream>

#include "core/PlimPanelController.h"
#include "core/Suites.h"
#include "core/TextHelpers.h"

namespace {

constexpr const char* kResultEvent = "com.torvi.event.result";
constexpr const char* kStartupEvent = "com.torvi.event.startup_callback";
constexpr const char* kThemeEvent = "com.host.csxs.events.BrightnessChange";
constexpr const char* kApplicationId = "HOST";
constexpr const char* kXmlReplyExtension = "com.torvi.PlimUtils";
constexpr const char* kPluginInfo = "PlimUtils Plugin v.0.0.1";

struct ThemeElement {
    const char* name;
    AIUIComponentColor color;
};

// The panel's element names and the host's colour numbers; 3 and 4 are crossed on purpose.
constexpr ThemeElement kThemeElements[] = {
    {"backgroundColor", 0},      {"textColor", 1},      {"focusColor", 2},
    {"inputBackgroundColor", 4}, {"inputTextColor", 3},
};
constexpr AIUIThemeSelector kThemeSelector = 1;

void AppendPercentByte(std::u16string& out, unsigned value) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += u'%';
    out += static_cast<char16_t>(kHex[(value >> 4) & 0xF]);
    out += static_cast<char16_t>(kHex[value & 0xF]);
}

void AppendPercentUtf8(std::u16string& out, char32_t c) {
    if (c < 0x800) {
        AppendPercentByte(out, 0xC0 | ((c >> 6) & 0x1F));
        AppendPercentByte(out, 0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        AppendPercentByte(out, 0xE0 | (c >> 12));
        AppendPercentByte(out, 0x80 | ((c >> 6) & 0x3F));
        AppendPercentByte(out, 0x80 | (c & 0x3F));
    } else {
        AppendPercentByte(out, 0xF0 | (c >> 18));
        AppendPercentByte(out, 0x80 | ((c >> 12) & 0x3F));
        AppendPercentByte(out, 0x80 | ((c >> 6) & 0x3F));
        AppendPercentByte(out, 0x80 | (c & 0x3F));
    }
}

}  // namespace

void PlimPanelController::Dispatch(const char* type, const char* extensionId, const std::string& data) const {
    const csxs::event::Event event{type, csxs::event::kEventScope_Application, kApplicationId, extensionId,
                                   data.c_str()};
    fPPLib.DispatchEvent(&event);
}

ASErr PlimPanelController::SendResult(const std::string& reply, const char* extensionId) const {
    Dispatch(kResultEvent, extensionId, reply);
    return kNoErr;
}

ASErr PlimPanelController::SendResult(const ai::UnicodeString& text) const {
    Dispatch(kResultEvent, kXmlReplyExtension,
             "<payload><result>" + EscapeXml(text.as_Roman()) + "</result></payload>");
    return kNoErr;
}

ASErr PlimPanelController::StartupMessageToPanel() const {
    Dispatch(kStartupEvent, nullptr,
             std::string("<payload><pluginInfo>") + kPluginInfo + "</pluginInfo></payload>");
    return kNoErr;
}

std::string PlimPanelController::AIRGBColorToXML(const AIUIThemeColor& color) {
    auto channel = [](AIReal value) {
        const double scaled = std::trunc(value * 255.0);
        // Out-of-range or non-finite channels are clamped rather than converted undefined.
        const double clamped =
            std::isfinite(scaled) ? std::fmax(-2147483648.0, std::fmin(scaled, 2147483647.0)) : 0.0;
        return std::to_string(static_cast<ai::int32>(clamped));
    };
    std::ostringstream alpha;
    alpha << color.alpha;
    return "<color><alpha>" + alpha.str() + "</alpha><red>" + channel(color.red) + "</red><green>" +
           channel(color.green) + "</green><blue>" + channel(color.blue) + "</blue></color>";
}

ASErr PlimPanelController::SendTheme() const {
    AIUIThemeColor colors[5];
    for (AIUIThemeColor& color : colors) {
        color = AIUIThemeColor{1.0, 0.0, 0.0, 0.0};
    }
    ASErr result = kNoErr;
    for (AIUIComponentColor number = 0; number < 5; ++number) {
        result = sAIUITheme != nullptr
                     ? sAIUITheme->GetUIComponentColor(number, kThemeSelector, colors[number])
                     : kSPSuiteNotFoundError;
    }
    std::string xml = "<payload><theme>";
    for (const ThemeElement& element : kThemeElements) {
        xml += std::string("<") + element.name + ">" + AIRGBColorToXML(colors[element.color]) + "</" +
               element.name + ">";
    }
    xml += "</theme></payload>";
    Dispatch(kThemeEvent, nullptr, xml);
    return result;
}

ai::UnicodeString encodeUTF8(const ai::UnicodeString& text) {
    const std::u16string units = text.as_UTF16();
    std::u16string out;
    for (size_t i = 0; i < units.size(); ++i) {
        const char16_t c = units[i];
        if (c == u'%') {
            out += u"%25";
        } else if (c == u' ') {
            out += u"%20";
        } else if (c < 0x80) {
            out += c;
        } else if (IsHighSurrogate(c) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            AppendPercentUtf8(out, CombineSurrogates(c, units[i + 1]));
            ++i;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            AppendPercentUtf8(out, 0xFFFD);  // a lone surrogate is no character
        } else {
            AppendPercentUtf8(out, c);
        }
    }
    return ai::UnicodeString(out);
}

ai::UnicodeString getPara(const ai::UnicodeString& text, const ai::UnicodeString& tag) {
    const std::u16string content = text.as_UTF16();
    const std::u16string name = tag.as_UTF16();
    const std::u16string open = u"<" + name + u">";
    const std::u16string close = u"</" + name + u">";
    const size_t openAt = content.find(open);
    if (openAt == std::u16string::npos) {
        return ai::UnicodeString("no_match");
    }
    const size_t start = openAt + open.size();
    const size_t closeAt = content.find(close);
    const size_t end = closeAt == std::u16string::npos || closeAt < start ? content.size() : closeAt;
    return ai::UnicodeString(content.substr(start, end - start));
}

std::string EscapeXml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

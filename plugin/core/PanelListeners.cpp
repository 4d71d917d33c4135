// The panel's way in: one listener per row of the command table that the panel takes, for the
// request "com.torvi.event.<name>". Each listener runs its command on the event's data and sends
// the reply back to the extension that asked (the XML replies to the panel's own extension).
#include <array>
#include <string>
#include <utility>

#include "core/CommandTable.h"
#include "core/PlimPanelController.h"

namespace {

constexpr size_t kRowCount = std::size(kCommandRows);

// The event type of each row, made once.
const std::string& EventType(size_t row) {
    static const auto types = [] {
        std::array<std::string, kRowCount> all;
        for (size_t i = 0; i < kRowCount; ++i) {
            all[i] = std::string(kEventPrefix) + kCommandRows[i].name;
        }
        return all;
    }();
    return types[row];
}

void Listen(size_t rowIndex, const csxs::event::Event* event, void* context) {
    PlimUtilsPlugin* plugin = GetPlimPlugin();
    // An event that arrives after shut-down, or for a controller that is gone, is dropped.
    if (plugin == nullptr || event == nullptr || context == nullptr || plugin->PanelController() != context) {
        return;
    }
    const PlimPanelController& panel = *plugin->PanelController();
    const CommandRow& row = kCommandRows[rowIndex];
    try {
        const std::string request = event->data != nullptr && event->data[0] != '\0' ? event->data : "{}";
        RunCommand(row, request, kByPanel, [&](const std::string& reply) {
            if (row.route == Route::kXml) {
                panel.SendResult(ai::UnicodeString::FromUTF8(reply));
            } else if (RepliesWithJson(row.route)) {
                panel.SendResult(reply, event->extensionId);
            }
        });
    } catch (...) {
        // Nothing may be thrown into the panel library; commands already answer their own failures.
    }
}

template <size_t Row>
void RowListener(const csxs::event::Event* event, void* context) {
    Listen(Row, event, context);
}

template <size_t... Rows>
constexpr std::array<csxs::event::EventListenerFn, sizeof...(Rows)> MakeListeners(
    std::index_sequence<Rows...>) {
    return {&RowListener<Rows>...};
}

// One plain function per row, as the library identifies a listener by its function too.
constexpr auto kListeners = MakeListeners(std::make_index_sequence<kRowCount>());

}  // namespace

const char* const PLIM_UI_EXTENSION = "com.torvi.panel";

PlimPanelController::PlimPanelController() : HtmlUIController(PLIM_UI_EXTENSION) {}

csxs::event::EventErrorCode PlimPanelController::RegisterCSXSEventListeners() {
    // Rows already registered stay; a later call goes on from the first row that failed.
    for (; fListenersAdded < kRowCount; ++fListenersAdded) {
        if (!kCommandRows[fListenersAdded].TakenBy(kByPanel)) {
            continue;
        }
        if (auto error = fPPLib.AddEventListener(EventType(fListenersAdded).c_str(),
                                                 kListeners[fListenersAdded], this)) {
            return error;
        }
    }
    return csxs::event::kEventErrorCode_Success;
}

csxs::event::EventErrorCode PlimPanelController::RemoveEventListeners() {
    csxs::event::EventErrorCode first = csxs::event::kEventErrorCode_Success;
    for (size_t row = 0; row < fListenersAdded; ++row) {
        if (!kCommandRows[row].TakenBy(kByPanel)) {
            continue;
        }
        auto error = fPPLib.RemoveEventListener(EventType(row).c_str(), kListeners[row], this);
        if (first == csxs::event::kEventErrorCode_Success) {
            first = error;
        }
    }
    fListenersAdded = 0;
    return first;
}

std::string PlimUtilsPlugin::ApplyPaintXml(std::string data) {
    return applyPaint(getPara(ai::UnicodeString::FromUTF8(data), ai::UnicodeString("payload"))).as_UTF8();
}

std::string PlimUtilsPlugin::SymbolListXml(std::string) {
    return encodeUTF8(getSymbolList()).as_UTF8();
}

std::string PlimUtilsPlugin::ArtStyleListXml(std::string) {
    return encodeUTF8(getArtStyleList()).as_UTF8();
}

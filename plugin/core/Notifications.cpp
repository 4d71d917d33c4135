// Host notifications: the panel's listeners once the panel library is ready, the theme when the
// interface brightness changes, the symbol list when asked, and the selection's tags on every
// selection change while tag notification is on.
#include "AISymbol.h"
#include "core/PlimPanelController.h"
#include "core/PlimUtilsPlugin.h"
#include "core/TextHelpers.h"

namespace {

// Returned to the host when a notification fails by exception.
constexpr ASErr kNotificationFailed = FourCharCode("EPN ");

}  // namespace

ASErr PlimUtilsPlugin::Notify(AINotifierMessage* message) {
    try {
        PlimPanelController* panel = fPanelController.get();
        if (message->notifier == fPlugPlugNotifier && fPlugPlugNotifier != nullptr && panel != nullptr) {
            panel->RegisterCSXSEventListeners();
        }
        ASErr result = kNoErr;
        if (message->notifier == fBrightnessNotifier && fBrightnessNotifier != nullptr && panel != nullptr) {
            result = panel->SendTheme();
        }
        if (Is(message->type, "GetSymbolListNotifier") && panel != nullptr) {
            panel->SendResult(getSymbolList());
        }
        if (Is(message->type, kAIArtSelectionChangedNotifier) && fTagNotify && panel != nullptr) {
            panel->SendResult(getTags("{}"), "HOST");
        }
        return result;
    } catch (...) {
        return kNotificationFailed;
    }
}

ai::UnicodeString PlimUtilsPlugin::getSymbolList() {
    ai::int32 count = 0;
    if (sAISymbol == nullptr || sAISymbol->CountSymbolPatterns(&count, true) != kNoErr) {
        return ai::UnicodeString();
    }
    ai::UnicodeString list;
    const ai::UnicodeString separator(",");
    bool first = true;
    for (ai::int32 index = 0; index < count; ++index) {
        AIPatternHandle symbol = nullptr;
        ai::UnicodeString name;
        if (sAISymbol->GetNthSymbolPattern(index, &symbol, true) != kNoErr ||
            sAISymbol->GetSymbolPatternName(symbol, name) != kNoErr) {
            continue;
        }
        if (!first) {
            list.append(separator);
        }
        list.append(name);
        first = false;
    }
    return list;
}

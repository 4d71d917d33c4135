// The user-interface theme: five colours, one set whatever theme selector is asked for.
#include <string>

#include "HostState.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

AIErr GetUIComponentColor(AIUIComponentColor component, AIUIThemeSelector, AIUIThemeColor& color) {
    auto [state, error] = StartOperation(kAIUIThemeSuite, "GetUIComponentColor");
    if (state == nullptr) {
        return error;
    }
    const ThemeSlot* slot = state->ui.ThemeSlotOf(component);
    if (error == kNoErr) {
        error = slot != nullptr ? slot->failure : kBadParameterErr;
    }
    // A failed query leaves the caller's colour as it was.
    if (error == kNoErr) {
        color = slot->color;
    }
    state->journal.Record("GetUIComponentColor", {std::to_string(component)}, error);
    return error;
}

}  // namespace

AIUIThemeSuite gUIThemeSuite = {
    PLIM_SUITE_FUNCTION(GetUIComponentColor),
};

}  // namespace host

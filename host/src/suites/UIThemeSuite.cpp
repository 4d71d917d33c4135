// The user-interface theme: five colours, one set whatever theme selector is asked for.
#include <string>

#include "HostState.h"
#include "suites/HostSuites.h"

namespace host {
namespace {

AIErr GetUIComponentColor(AIUIComponentColor component, AIUIThemeSelector, AIUIThemeColor& color) {
    auto [state, error] = StartOperation(kAIUIThemeSuite, "GetUIComponentColor");
    if (state == nullptr) {
        return error;
    }
    if (error == kNoErr && (component < 0 || component >= kThemeColorCount)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        error = state->theme[static_cast<std::size_t>(component)].failure;
    }
    // A failed query leaves the caller's colour as it was.
    if (error == kNoErr) {
        color = state->theme[static_cast<std::size_t>(component)].color;
    }
    state->journal.Record("GetUIComponentColor", {std::to_string(component)}, error);
    return error;
}

}  // namespace

AIUIThemeSuite gUIThemeSuite = {GetUIComponentColor};

}  // namespace host

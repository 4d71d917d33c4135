// The application's state and what every operation does first.
#include "HostState.h"

#include <algorithm>
#include <atomic>
#include <utility>

#include "host/HostOperation.h"

namespace host {

namespace detail {

std::uintptr_t NextHandleNumber() {
    // Spaced like aligned addresses, far from null.
    static std::atomic<std::uintptr_t> next{0x10000};
    return next.fetch_add(0x10);
}

}  // namespace detail

namespace {

// The theme of each brightness: background, text, focus, input text, input background (alpha, red,
// green, blue).
using Theme = std::array<AIUIThemeColor, kThemeColorCount>;
constexpr std::array<std::pair<UIBrightness, Theme>, 4> kThemes{{
    {UIBrightness::dark,
     {{{1.0, 0.196, 0.196, 0.196},
       {1.0, 0.839, 0.839, 0.839},
       {1.0, 0.275, 0.541, 0.898},
       {1.0, 0.937, 0.937, 0.937},
       {1.0, 0.118, 0.118, 0.118}}}},
    {UIBrightness::mediumDark,
     {{{1.0, 0.325, 0.325, 0.325},
       {1.0, 0.937, 0.937, 0.937},
       {1.0, 0.275, 0.541, 0.898},
       {1.0, 0.937, 0.937, 0.937},
       {1.0, 0.216, 0.216, 0.216}}}},
    {UIBrightness::mediumLight,
     {{{1.0, 0.722, 0.722, 0.722},
       {1.0, 0.110, 0.110, 0.110},
       {1.0, 0.118, 0.420, 0.820},
       {1.0, 0.000, 0.000, 0.000},
       {1.0, 0.929, 0.929, 0.929}}}},
    {UIBrightness::light,
     {{{1.0, 0.941, 0.941, 0.941},
       {1.0, 0.157, 0.157, 0.157},
       {1.0, 0.118, 0.420, 0.820},
       {1.0, 0.000, 0.000, 0.000},
       {1.0, 1.000, 1.000, 1.000}}}},
}};

}  // namespace

ThemeSlot* UIState::ThemeSlotOf(AIUIComponentColor component) {
    if (component < 0 || component >= kThemeColorCount) {
        return nullptr;
    }
    return &theme[static_cast<std::size_t>(component)];
}

bool UIState::SetTheme(UIBrightness brightness) {
    const auto found = std::find_if(kThemes.begin(), kThemes.end(),
                                    [&](const auto& entry) { return entry.first == brightness; });
    if (found == kThemes.end()) {
        return false;
    }
    for (std::size_t i = 0; i < theme.size(); ++i) {
        theme[i].color = found->second[i];
    }
    return true;
}

// The application starts dark.
namespace {

// The live effects this application knows, by internal name.
constexpr std::string_view kLiveEffectNames[] = {
    "Host Shape Effects",      "Host Punk and Bloat", "Host Roughen",
    "Host Scribble and Tweak", "Host Twirl",          "Host Zigzag",
    "Host Offset Path",        "Host Outline Type",   "Host Pathfinder",
    "Host Round Corners",      "Host Trim Marks",     "Host Transform",
    "Host Outline Stroke",     "Host Rasterize",      "Host Drop Shadow",
    "Host Fuzzy Mask",         "Host Inner Glow",     "Host Outer Glow",
    "Host Scribble Fill",      "Host Deform",         "Host PSL Gaussian Blur",
};

}  // namespace

HostState::HostState(Application& application, ApplicationOptions resolved)
    : options(std::move(resolved)), panel(application) {
    ui.SetTheme(UIBrightness::dark);
    for (const std::string_view name : kLiveEffectNames) {
        colors.liveEffects.emplace_back(detail::NextHandleNumber(), std::string(name));
    }
}

HostState* CurrentState() {
    Application* application = Application::Current();
    return application != nullptr ? application->fState.get() : nullptr;
}

std::filesystem::path CurrentDocumentFolder() {
    std::error_code failed;
    if (const HostState* state = CurrentState()) {
        const auto found = state->documents.paths.find(state->documents.handle);
        if (found != state->documents.paths.end() && !found->second.empty()) {
            return std::filesystem::absolute(std::filesystem::path(found->second), failed).parent_path();
        }
    }
    return std::filesystem::current_path(failed);
}

Application* CurrentApplication() {
    return Application::Current();
}

OperationStart StartOperation(std::string_view suite, std::string_view operation) {
    HostState* state = CurrentState();
    if (state == nullptr) {
        return {nullptr, kCantHappenErr};
    }
    if (FaultInjector::CallSite* site = std::exchange(detail::tCallSite, nullptr)) {
        return {state, state->faults.Check(suite, operation, *site)};
    }
    return {state, state->faults.Check(suite, operation)};
}

ASErr InjectedFault(std::string_view suite, std::string_view operation) {
    return StartOperation(suite, operation).error;
}

std::string ErrorText(ASErr error) {
    const auto code = static_cast<std::uint32_t>(error);
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto character = static_cast<char>((code >> shift) & 0xFF);
        if (character < 0x20 || character > 0x7E) {
            return std::to_string(error);
        }
        text.push_back(character);
    }
    return "'" + text + "'";
}

}  // namespace host

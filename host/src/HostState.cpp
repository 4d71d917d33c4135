// The application's state and what every operation does first.
#include "HostState.h"

#include <atomic>

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

// The default theme: a dark one.
constexpr std::array<AIUIThemeColor, kThemeColorCount> kDefaultTheme{{
    {1.0, 0.196, 0.196, 0.196},  // background
    {1.0, 0.839, 0.839, 0.839},  // text
    {1.0, 0.275, 0.541, 0.898},  // focus
    {1.0, 0.937, 0.937, 0.937},  // input text
    {1.0, 0.118, 0.118, 0.118},  // input background
}};

}  // namespace

HostState::HostState(Application& application, ApplicationOptions resolved)
    : options(std::move(resolved)), panel(application) {
    for (std::size_t i = 0; i < theme.size(); ++i) {
        theme[i].color = kDefaultTheme[i];
    }
}

HostState* CurrentState() {
    Application* application = Application::Current();
    return application != nullptr ? application->fState.get() : nullptr;
}

Application* CurrentApplication() {
    return Application::Current();
}

OperationStart StartOperation(std::string_view suite, std::string_view operation) {
    HostState* state = CurrentState();
    if (state == nullptr) {
        return {nullptr, kCantHappenErr};
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

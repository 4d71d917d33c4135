// What every host operation does first. A suite operation calls InjectedFault with its suite and
// operation names and returns the answer at once when it isn't 0:
//
//     if (const ASErr fault = host::InjectedFault(kAIUndoSuite, "SetKind")) return fault;
//
// Without an application (none created, or already destroyed) the answer is kCantHappenErr.
#pragma once

#include <string>
#include <string_view>

#include "SPTypes.h"

namespace host {

class Application;

// The application the suites serve; null when there is none.
Application* CurrentApplication();

ASErr InjectedFault(std::string_view suite, std::string_view operation);

// An error code as people read it: 'S!Fd' when its four bytes are printable, else the number.
std::string ErrorText(ASErr error);

}  // namespace host

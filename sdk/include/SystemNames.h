// The names the system gives the user and the computer. The platform answers them through its own
// calls (Foundation's user name, the kernel's host name); here they are small shims over the C
// library.
#pragma once

#include <string>

// The user's login name; empty when the system can't tell.
std::string NSUserName();
// The computer's host name; false when the system can't tell.
bool GetKernelHostName(std::string* name);

// The names the system gives the user and the computer. The platform answers them through its own
// calls (Foundation's user name, the kernel's host name); here they are small shims over the C
// library.
#pragma once

#include <string>

// The user's login name; empty when the system can't tell.
std::string NSUserName();
// The user's home folder: $HOME when it is set and not empty, else the home folder of the user's
// entry in the password database; empty when neither tells.
std::string NSHomeDirectory();
// The home folder of the user of that login name in the password database; empty when there is
// no such user.
std::string NSHomeDirectoryForUser(const std::string& name);
// The computer's host name; false when the system can't tell.
bool GetKernelHostName(std::string* name);

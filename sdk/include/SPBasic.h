// The basic suite: the one suite every message carries, through which all others are acquired.
#pragma once

#include "SPTypes.h"

struct SPBasicSuite {
    // Stores the suite's function table in *suite; an error when the host has no such suite or
    // refuses it. Every successful acquire must be matched by a release.
    SPErr (*AcquireSuite)(const char* name, ASInt32 version, const void** suite);
    SPErr (*ReleaseSuite)(const char* name, ASInt32 version);
};

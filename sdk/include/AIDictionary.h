// Dictionaries: keyed entries attached to art objects and documents, reached through counted
// references. Only the reference type and its release are declared here so far.
#pragma once

#include "SPTypes.h"

#define kAIDictionarySuite "AI Dictionary Suite"
constexpr ASInt32 kAIDictionarySuiteVersion = 1010;

struct AIDictionaryImpl;
using AIDictionaryRef = AIDictionaryImpl*;

struct AIDictionarySuite {
    // Takes one more count on the dictionary.
    ASInt32 (*AddRef)(AIDictionaryRef dictionary);
    // Gives back one count; every reference the host hands out carries one count to give back.
    ASInt32 (*Release)(AIDictionaryRef dictionary);
};

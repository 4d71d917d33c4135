// Arrays: ordered lists of values that a dictionary entry can hold (AIEntry.h turns an array into
// an entry and back). The stand-in's arrays hold integers, booleans, reals and UTF-8 texts.
#pragma once

#include "AIEntry.h"

#define kAIArraySuite "AI Array Suite"
constexpr ASInt32 kAIArraySuiteVersion = 1006;

// Operations answer kBadParameterErr for an unknown or released array or entry and a null
// out-pointer.
struct AIArraySuite {
    // A new, empty array with one count.
    AIErr (*CreateArray)(AIArrayRef* array);
    // Takes one more count; answers the new count (0 for an unknown array).
    ai::int32 (*AddRef)(AIArrayRef array);
    // Gives back one count; the count left (0 when it is gone, and for an unknown array).
    ai::int32 (*Release)(AIArrayRef array);
    // The number of elements; 0 for an unknown array.
    ai::int32 (*Size)(AIArrayRef array);
    // A new entry holding a copy of the element at index (from 0); null outside the array. Release
    // the entry.
    AIEntryRef (*Get)(AIArrayRef array, ai::int32 index);
    // Appends a copy of the entry's value; kWrongEntryTypeErr for an entry that is no integer,
    // boolean, real or text.
    AIErr (*AppendEntry)(AIArrayRef array, AIEntryRef entry);
};

// Dictionary entries as values, and iterators over a dictionary's entries in key order.
#pragma once

#include "AIDictionary.h"
#include "AIPathStyle.h"

#define kAIEntrySuite "AI Entry Suite"
constexpr ASInt32 kAIEntrySuiteVersion = 1007;
#define kAIDictionaryIteratorSuite "AI Dictionary Iterator Suite"
constexpr ASInt32 kAIDictionaryIteratorSuiteVersion = 1005;

// A copy of one entry's value, held until released.
struct _AIEntry;
using AIEntryRef = _AIEntry*;
struct _AIArray;
using AIArrayRef = _AIArray*;
struct _AIDictionaryIterator;
using AIDictionaryIterator = _AIDictionaryIterator*;

enum AIEntryType : ai::int32 {
    kUnknownEntryType = -1,
    kIntegerEntryType = 0,
    kBooleanEntryType = 1,
    kRealEntryType = 2,
    kStringEntryType = 3,
    kArtEntryType = 4,
    kDictEntryType = 5,
    kFillStyleEntryType = 6,
    kStrokeStyleEntryType = 7,
    kArrayEntryType = 8,
};

// Operations answer kBadParameterErr for an unknown or released entry and a null out-pointer, and
// kWrongEntryTypeErr for reading an entry as another type.
struct AIEntrySuite {
    // Gives back the entry; the count left (0 when it is gone, and for an unknown entry).
    ai::int32 (*Release)(AIEntryRef entry);
    AIErr (*GetType)(AIEntryRef entry, AIEntryType* type);
    AIErr (*ToInteger)(AIEntryRef entry, ai::int32* value);
    AIErr (*ToBoolean)(AIEntryRef entry, AIBoolean* value);
    AIErr (*ToReal)(AIEntryRef entry, AIReal* value);
    // The entry's own copy of the text, valid until the entry is released.
    AIErr (*ToString)(AIEntryRef entry, const char** value);
    AIErr (*ToFillStyle)(AIEntryRef entry, AIFillStyle* value);
    AIErr (*ToStrokeStyle)(AIEntryRef entry, AIStrokeStyle* value);
    // New entries of a value, with one count; null for a malformed text (UTF-8) or an unknown
    // array. An array entry holds a copy of the array.
    AIEntryRef (*FromInteger)(ai::int32 value);
    AIEntryRef (*FromString)(const char* value);
    AIEntryRef (*FromArray)(AIArrayRef array);
    // A new array (one count) holding a copy of the entry's array.
    AIErr (*ToArray)(AIEntryRef entry, AIArrayRef* array);
};

// An iterator walks the entries the dictionary held when it began, in ascending key order.
struct AIDictionaryIteratorSuite {
    // A new iterator at the first entry; kBadParameterErr for a dictionary that names nothing.
    AIErr (*Begin)(AIDictionaryRef dictionary, AIDictionaryIterator* iterator);
    // Gives back the iterator (0 left: it is gone).
    ai::int32 (*Release)(AIDictionaryIterator iterator);
    // True past the last entry, and for an unknown iterator.
    AIBoolean (*AtEnd)(AIDictionaryIterator iterator);
    void (*Next)(AIDictionaryIterator iterator);
    // The key of the entry at the iterator (null at the end).
    AIDictKey (*GetKey)(AIDictionaryIterator iterator);
    // A new entry holding a copy of the value at the iterator (null at the end); release it.
    AIEntryRef (*GetEntry)(AIDictionaryIterator iterator);
};

// Dictionaries: keyed entries attached to art objects and documents, reached through counted
// references. An entry holds a boolean, an integer, a real, a UTF-8 text or a copy of an art object
// (with everything below it); setting a key replaces its entry whatever the entry held before.
#pragma once

#include "SPTypes.h"

#define kAIDictionarySuite "AI Dictionary Suite"
constexpr ASInt32 kAIDictionarySuiteVersion = 1010;

struct AIDictionaryImpl;
using AIDictionaryRef = AIDictionaryImpl*;

// A key: made once from its text and valid for the life of the application. The same text always
// gives the same key.
struct AIDictKeyImpl;
using AIDictKey = AIDictKeyImpl*;

struct ArtObject;
using AIArtHandle = ArtObject*;

struct _AIEntry;
using AIEntryRef = _AIEntry*;

// The entry is missing, or holds another type than the operation reads.
constexpr AIErr kNoSuchKeyErr = FourCharCode("KEY?");
constexpr AIErr kWrongEntryTypeErr = FourCharCode("TYP?");

// Entry operations answer kNoDocumentErr without a document and kBadParameterErr for an unknown or
// released dictionary reference, a dictionary whose owner is gone, an unknown key or a null
// out-pointer. A failing operation changes nothing and writes its output's null value.
struct AIDictionarySuite {
    // Takes one more count on the dictionary.
    ASInt32 (*AddRef)(AIDictionaryRef dictionary);
    // Gives back one count; every reference the host hands out carries one count to give back.
    ASInt32 (*Release)(AIDictionaryRef dictionary);

    // The key for a text: non-empty UTF-8 (kBadParameterErr otherwise).
    AIErr (*Key)(const char* name, AIDictKey* key);
    // Whether the dictionary has an entry under the key. Never an error: false for a bad reference
    // or key.
    AIBoolean (*IsKnown)(AIDictionaryRef dictionary, AIDictKey key);
    // Removes the entry; kNoSuchKeyErr when there is none.
    AIErr (*DeleteEntry)(AIDictionaryRef dictionary, AIDictKey key);

    // Typed entries. Get answers kNoSuchKeyErr for a missing entry and kWrongEntryTypeErr for an
    // entry of another type.
    AIErr (*SetBooleanEntry)(AIDictionaryRef dictionary, AIDictKey key, AIBoolean value);
    AIErr (*GetBooleanEntry)(AIDictionaryRef dictionary, AIDictKey key, AIBoolean* value);
    AIErr (*SetIntegerEntry)(AIDictionaryRef dictionary, AIDictKey key, ai::int32 value);
    AIErr (*GetIntegerEntry)(AIDictionaryRef dictionary, AIDictKey key, ai::int32* value);
    // A real must be finite (kBadParameterErr otherwise).
    AIErr (*SetRealEntry)(AIDictionaryRef dictionary, AIDictKey key, AIReal value);
    AIErr (*GetRealEntry)(AIDictionaryRef dictionary, AIDictKey key, AIReal* value);
    // Texts are null-terminated UTF-8 (kBadParameterErr for malformed text); the host copies the
    // value. Get gives the host's copy, valid until the dictionary changes or the document's state
    // is put back by undo or redo.
    AIErr (*SetStringEntry)(AIDictionaryRef dictionary, AIDictKey key, const char* value);
    AIErr (*GetStringEntry)(AIDictionaryRef dictionary, AIDictKey key, const char** value);
    // A reference to the dictionary held as the entry, carrying one count to give back. Inside a
    // document it names that dictionary itself; inside a dictionary of the plug-in's own (or a copy
    // handed out) it is a copy.
    AIErr (*GetDictEntry)(AIDictionaryRef dictionary, AIDictKey key, AIDictionaryRef* value);

    // Stores a copy of the art and everything below it (names, attributes, tag entries, nested
    // dictionaries and UUIDs kept) as the entry. The art must be art of the current document and
    // not a layer group (kBadParameterErr).
    AIErr (*CopyArtToEntry)(AIDictionaryRef dictionary, AIDictKey key, AIArtHandle art);
    // Puts a copy of the entry's art into the artwork, placed by paintOrder relative to prep
    // (AIPaintOrder, AIArt.h), every object of it with a new UUID; *newArt receives the copy
    // (newArt may be null). The entry stays, so it can be copied out again. kWrongEntryTypeErr when
    // the entry holds no art; kBadParameterErr for a placement the artwork does not allow.
    AIErr (*CopyEntryToArt)(AIDictionaryRef dictionary, AIDictKey key, ai::int16 paintOrder, AIArtHandle prep,
                            AIArtHandle* newArt);

    // A new, empty dictionary of the plug-in's own (attached to no art or document), with one count.
    AIErr (*CreateDictionary)(AIDictionaryRef* dictionary);
    // The text of a key (valid for the life of the application); null for an unknown key.
    const char* (*GetKeyString)(AIDictKey key);
    // Fill-style and stroke-style entries (AIPathStyle.h); a paint the host cannot hold (components
    // outside 0 to 1, a negative width) is kBadParameterErr.
    AIErr (*SetFillStyleEntry)(AIDictionaryRef dictionary, AIDictKey key, const struct AIFillStyle* value);
    AIErr (*SetStrokeStyleEntry)(AIDictionaryRef dictionary, AIDictKey key,
                                 const struct AIStrokeStyle* value);

    // Sets a copy of the entry's value under the key (AIEntry.h); kBadParameterErr for an unknown
    // entry or a value out of its limits.
    AIErr (*Set)(AIDictionaryRef dictionary, AIDictKey key, AIEntryRef entry);
    // A new entry (one count) holding a copy of the value under the key; kNoSuchKeyErr when the
    // key is absent.
    AIErr (*Get)(AIDictionaryRef dictionary, AIDictKey key, AIEntryRef* entry);
};

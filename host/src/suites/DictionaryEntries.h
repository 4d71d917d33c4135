// The entry operations of the dictionary suite (AIDictionary.h): keys, typed entries and art copies.
// The suite's table (DictionarySuite.cpp) lists them after its reference operations.
#pragma once

#include <string_view>

#include "AIDictionary.h"
#include "AIPathStyle.h"

namespace host::dictionary_entries {

AIErr Key(const char* name, AIDictKey* key);
// The key of a text, made as the host's own work (no fault injection); null for an empty or
// malformed text.
AIDictKey KeyForText(std::string_view text);
// The text of a key made by Key; null for another.
const char* GetKeyString(AIDictKey key);
AIBoolean IsKnown(AIDictionaryRef dictionary, AIDictKey key);
AIErr DeleteEntry(AIDictionaryRef dictionary, AIDictKey key);
AIErr SetBooleanEntry(AIDictionaryRef dictionary, AIDictKey key, AIBoolean value);
AIErr GetBooleanEntry(AIDictionaryRef dictionary, AIDictKey key, AIBoolean* value);
AIErr SetIntegerEntry(AIDictionaryRef dictionary, AIDictKey key, ai::int32 value);
AIErr GetIntegerEntry(AIDictionaryRef dictionary, AIDictKey key, ai::int32* value);
AIErr SetFillStyleEntry(AIDictionaryRef dictionary, AIDictKey key, const AIFillStyle* value);
AIErr SetStrokeStyleEntry(AIDictionaryRef dictionary, AIDictKey key, const AIStrokeStyle* value);
AIErr SetRealEntry(AIDictionaryRef dictionary, AIDictKey key, AIReal value);
AIErr GetRealEntry(AIDictionaryRef dictionary, AIDictKey key, AIReal* value);
AIErr SetStringEntry(AIDictionaryRef dictionary, AIDictKey key, const char* value);
AIErr GetStringEntry(AIDictionaryRef dictionary, AIDictKey key, const char** value);
// Set and Get of entries of the entry suite (AIEntry.h).
AIErr Set(AIDictionaryRef dictionary, AIDictKey key, AIEntryRef entry);
AIErr Get(AIDictionaryRef dictionary, AIDictKey key, AIEntryRef* entry);
AIErr CopyArtToEntry(AIDictionaryRef dictionary, AIDictKey key, AIArtHandle art);
AIErr GetDictEntry(AIDictionaryRef dictionary, AIDictKey key, AIDictionaryRef* value);
AIErr CopyEntryToArt(AIDictionaryRef dictionary, AIDictKey key, ai::int16 paintOrder, AIArtHandle prep,
                     AIArtHandle* newArt);

}  // namespace host::dictionary_entries

// The native format's text: stories with their features, and the named text styles. Readers throw
// FormatError (JsonText.h) with the place of the problem.
#pragma once

#include <string>
#include <vector>

#include "model/JsonText.h"
#include "model/Story.h"

namespace host::model {

// A story with features: {"paragraphs": [...], "runs": [...], "text": "..."}. A frame whose story is
// plain writes it as "text" instead.
void writeStory(JsonWriter& out, const Story& story);
Story readStory(JsonReader& in);

// A thread's UUIDs: an array of strings.
void writeThread(JsonWriter& out, const std::vector<std::string>& thread);
std::vector<std::string> readThread(JsonReader& in);

// "textStyles": {"character": {name: features}, "paragraph": {name: features}}, written only when
// something differs from the normal styles with their built-in features (hasTextStyles).
bool hasTextStyles(const TextStyles& styles);
void writeTextStyles(JsonWriter& out, const TextStyles& styles);
TextStyles readTextStyles(JsonReader& in);

}  // namespace host::model

// Swatch helpers of the swatch commands and of colour edits.
#pragma once

#include <string>

#include "AIPathStyle.h"
#include "appearance/ColorSet.h"
#include "appearance/Colors.h"
#include "core/Json.h"

// The name of the document swatch at the 0-based index; empty when there is none.
std::string SwatchNumberToName(int index);
// When the object names a document swatch ("swatchName") whose colour can be read, color becomes
// that colour and the answer is true; otherwise false and color untouched.
bool SwatchToPFColor(const json& object, PFieldColor& color);
// Renames the first document swatch named oldName; false when there is none or the host refuses.
bool RenameSwatch(const std::string& oldName, const std::string& newName);
// The colour walk's callback of mergeSwatches: data is a MergeData.
struct MergeData {
    AIColor target;
    ColorSet merged;
};
void MergeColors(AIColor* color, void* data, AIErr* error, AIBoolean* changed);

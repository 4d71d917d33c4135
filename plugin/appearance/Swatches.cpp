#include "appearance/Swatches.h"

#include "IAIUnicodeString.h"
#include "core/Suites.h"

std::string SwatchNumberToName(int index) {
    AISwatchListRef list = DocumentSwatchList();
    if (list == nullptr || index < 0 || index >= sAISwatchList->CountSwatches(list)) {
        return {};
    }
    AISwatchRef swatch = sAISwatchList->GetNthSwatch(list, index);
    ai::UnicodeString name;
    if (swatch == nullptr || sAISwatchList->GetSwatchName(swatch, name) != kNoErr) {
        return {};
    }
    return name.as_UTF8();
}

bool SwatchToPFColor(const json& object, PFieldColor& color) {
    std::string name;
    if (!ReadJsonValue(object, "swatchName", name)) {
        return false;
    }
    bool found = false;
    const PFieldColor swatchColor(name, found);
    if (found) {
        color = swatchColor;
    }
    return found;
}

bool RenameSwatch(const std::string& oldName, const std::string& newName) {
    AISwatchRef swatch = FindDocumentSwatch(oldName);
    return swatch != nullptr &&
           sAISwatchList->SetSwatchName(swatch, ai::UnicodeString::FromUTF8(newName)) == kNoErr;
}

void MergeColors(AIColor* color, void* data, AIErr* error, AIBoolean* changed) {
    if (data == nullptr) {
        *error = kBadParameterErr;
        return;
    }
    const auto* merge = static_cast<const MergeData*>(data);
    *changed = false;
    if (merge->merged.Contains(*color)) {
        *color = merge->target;
        *changed = true;
    }
    *error = kNoErr;
}

// Conversions that let test tables be written in UTF-8.
#pragma once

#include <string>
#include <vector>

#include "art/TagText.h"

inline std::vector<std::string> ToUtf8List(const std::vector<std::u32string>& texts) {
    std::vector<std::string> list;
    for (const std::u32string& text : texts) {
        list.push_back(ToUtf8(text));
    }
    return list;
}

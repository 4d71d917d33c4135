// UTF-8 validation of texts that the model stores and the document format writes.
#pragma once

#include <string_view>

namespace host::model {

// True for well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

}  // namespace host::model

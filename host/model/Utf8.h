// UTF-8 of texts that the model stores and the document format writes: validation, and conversion
// to and from the UTF-16 that stories and the host hold.
#pragma once

#include <string>
#include <string_view>

namespace host::model {

// True for well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

// Decodes UTF-8 without refusing input: what isn't valid becomes U+FFFD, one for each maximal
// invalid subsequence.
std::u16string utf16Of(std::string_view utf8);

// Encodes UTF-16 as UTF-8, surrogate pairs as one code point; a lone surrogate becomes U+FFFD.
std::string utf8Of(std::u16string_view units);

}  // namespace host::model

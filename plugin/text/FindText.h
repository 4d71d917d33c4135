// Finding the first place where a literal text occurs in the stories of text art.
#pragma once

#include <string>

#include "IText.h"

// The first occurrence of searchText (UTF-8) in the stories of the art that tagSearch finds (every
// art object of the document when it is empty), art by art in the order found: `found` becomes a
// range over exactly the occurrence. False for an empty searchText, when nothing is found, or when
// the engine refuses the range.
bool FindTextRange(const std::string& tagSearch, const std::string& searchText, ATE::ITextRange& found);

// Overset text: a story holds more text than its frames show. Its last character is then laid out
// in no frame, which the host's text utilities answer with 'INVB' instead of bounds.
#pragma once

#include <set>

#include "AIArt.h"
#include "IText.h"

// For text-frame art: whether its story is overset. False (overset unchanged) for other art, an
// empty story or a host failure.
bool CheckTextForOverset(ArtObject* art, bool& overset);
// The same for a range that is a whole story.
bool CheckTextRangeForOverset(const ATE::ITextRange& range, bool& overset);
// False for point text, which grows with its text and is never overset; true for other text art
// and when the host does not tell the kind.
bool MayBeOverset(ArtObject* art);
// The art of the document (layer groups aside) whose story the test finds overset.
std::set<ArtObject*> OversetTextArt();

// Text fitting: text made as large as its frames take, shrunk into them, by scaling the font size
// (and explicit leading) of every character and testing the host's layout after each step.
#pragma once

#include <string>

#include "AIArt.h"
#include "IText.h"
#include "core/Json.h"

// Multiplies the font size, and an assigned leading, of every character of the range by factor.
// False for a factor of 0 or less, or a character without a font size (earlier ones stay scaled).
bool ScaleTextRange(const ATE::ITextRange& range, double factor);

// For area text: whether its frame grows with its text, measured on a copy. False for other art or
// a host failure; the art and its text stay as they were. The copy counts as a change to the
// document: the caller keeps the document's modified flag, once for all the frames it checks.
bool CheckTextForAutoSize(ArtObject* art, bool& autoSized);

// Fits the text that the request finds by its "fittingMethod"; the reply's "error" says what
// failed, and its "warning" names the limit at which a regular-expression search gave up.
std::string FitText(const json& request);

// Whether a fit's "error" names a text it could not fit, left at its sizes of before, while the
// others it found were fitted: a failure of one text among many, not of the request.
bool LeftTextUnfitted(const json& error);

// The names and depths that the reader and the writer of the native document format share.
#pragma once

#include <string_view>

namespace host::model {

// The names of the colour models and of the kinds of custom colours, by their codes.
inline constexpr std::string_view kColorModelNames[] = {"Grayscale", "RGB", "CMYK"};
inline constexpr std::string_view kCustomKindNames[] = {"cmyk", "rgb", "lab"};

// The depth of the dictionaries in a named graphic style's effects and strokes: one below the
// document, as an object's dictionary in a top-level layer.
inline constexpr int kGraphicStyleDictionaryDepth = 2;

}  // namespace host::model

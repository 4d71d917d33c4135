// Texts and packets that the SVG writer puts into its markup. What comes from the document (the
// file's name, the XMP packet) is written anew from what it says, so that it stays well-formed and
// can't add markup of its own to the picture.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace host {

// The text as XML character data or an attribute value: the markup characters escaped, and what
// XML 1.0 can't hold (control characters other than tab, line feed and carriage return, U+FFFE,
// U+FFFF) left out; bytes that are not UTF-8 become U+FFFD.
std::string XmlText(std::string_view text);

// The packet's elements, to go inside a metadata element: parsed, then written again with every
// text and attribute value escaped (XmlText), and without declarations, processing instructions,
// comments or a document type. None, with the error set, for a packet that does not parse as XML
// or gives no element, and for one holding an element that is not in a namespace of its own (an
// element without a prefix, with an undeclared one, or in the SVG or XHTML namespace), since the
// picture would read it as its own markup. An end tag that closes nothing ends the packet: what
// follows it is left out.
std::optional<std::string> MetadataElements(std::string_view packet, std::string* error);

}  // namespace host

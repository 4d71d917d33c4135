// The XMP packet of exported files: the job's "metadata" written into the document's own packet,
// property by property, before the writer runs; the host writes the packet into the file.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

// The packet with the job's "metadata" in place of the properties it names. Everything outside the
// x:xmpmeta element comes back byte for byte; the element comes back in the XML printer's layout.
// A value of the wrong type, or a text holding a character XML 1.0 forbids, is skipped. A property
// whose prefix the packet doesn't declare gets its standard namespace declared, or is skipped when
// the prefix has none known here. None when the packet can't be edited (markers missing, not XML,
// no rdf:Description, no "metadata" object): the caller keeps the packet as it was.
std::optional<std::string> EditXmpPacket(const std::string& packet, const nlohmann::json& job);

// Whether the text is UTF-8 made only of characters XML 1.0 allows.
bool IsXmlText(const std::string& text);

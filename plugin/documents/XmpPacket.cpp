#include "documents/XmpPacket.h"

#include <array>
#include <string_view>
#include <vector>

#include <tinyxml2.h>

#include "core/Json.h"

namespace {

enum class PropertyKind { kListText, kText, kNumber, kBool };

struct MetadataRow {
    std::string_view key;
    const char* property;
    PropertyKind kind;
};

constexpr std::array kMetadataRows = {
    MetadataRow{"author", "dc:creator", PropertyKind::kListText},
    MetadataRow{"authorTitle", "photoshop:AuthorsPosition", PropertyKind::kText},
    MetadataRow{"copyrightInfoURL", "xmpRights:WebStatement", PropertyKind::kText},
    MetadataRow{"copyrightNotice", "dc:rights", PropertyKind::kListText},
    MetadataRow{"copyrightStatus", "xmpRights:Marked", PropertyKind::kBool},
    MetadataRow{"description", "dc:description", PropertyKind::kListText},
    MetadataRow{"descriptionWriter", "photoshop:CaptionWriter", PropertyKind::kText},
    MetadataRow{"keywords", "dc:subject", PropertyKind::kListText},
    MetadataRow{"rating", "xmp:Rating", PropertyKind::kNumber},
};

struct Container {
    std::string_view property;
    const char* element;
};

constexpr std::array kContainers = {
    Container{"dc:creator", "rdf:Seq"},
    Container{"dc:subject", "rdf:Bag"},
    Container{"dc:description", "rdf:Alt"},
    Container{"dc:rights", "rdf:Alt"},
};

// Namespaces that can be declared when a packet lacks them.
struct KnownNamespace {
    std::string_view prefix;
    const char* uri;
};

constexpr std::array kKnownNamespaces = {
    KnownNamespace{"dc", "http://purl.org/dc/elements/1.1/"},
    KnownNamespace{"rdf", "http://www.w3.org/1999/02/22-rdf-syntax-ns#"},
};

const char* ContainerOf(std::string_view property) {
    for (const Container& container : kContainers) {
        if (container.property == property) {
            return container.element;
        }
    }
    return nullptr;
}

std::string PrefixOf(std::string_view property) {
    const std::size_t colon = property.find(':');
    return std::string(property.substr(0, colon == std::string_view::npos ? 0 : colon));
}

bool Declares(const tinyxml2::XMLElement* element, const std::string& prefix) {
    const std::string attribute = "xmlns:" + prefix;
    for (const tinyxml2::XMLNode* node = element; node != nullptr; node = node->Parent()) {
        const tinyxml2::XMLElement* ancestor = node->ToElement();
        if (ancestor != nullptr && ancestor->Attribute(attribute.c_str()) != nullptr) {
            return true;
        }
    }
    return false;
}

// Makes sure the prefix is declared on the description or above it: false when it isn't and no
// namespace is known for it.
bool EnsurePrefix(tinyxml2::XMLElement* description, const std::string& prefix) {
    if (Declares(description, prefix)) {
        return true;
    }
    for (const KnownNamespace& known : kKnownNamespaces) {
        if (known.prefix == prefix) {
            description->SetAttribute(("xmlns:" + prefix).c_str(), known.uri);
            return true;
        }
    }
    return false;
}

std::optional<std::vector<std::string>> XmlTextList(const json& value) {
    std::vector<std::string> items;
    for (const json& item : value) {
        if (!item.is_string() || !IsXmlText(item.get<std::string>())) {
            return std::nullopt;
        }
        items.push_back(item.get<std::string>());
    }
    return items;
}

bool HasRequiredType(const json& value, PropertyKind kind) {
    switch (kind) {
        case PropertyKind::kListText:
            return value.is_array();
        case PropertyKind::kText:
            return value.is_string() && IsXmlText(value.get<std::string>());
        case PropertyKind::kNumber:
            return value.is_number_integer();
        case PropertyKind::kBool:
            return value.is_boolean();
    }
    return false;
}

void FillList(tinyxml2::XMLElement* property, const std::vector<std::string>& items,
              const char* containerName) {
    if (items.empty() || containerName == nullptr) {
        return;
    }
    tinyxml2::XMLElement* container = property->InsertNewChildElement(containerName);
    const bool alternatives = std::string_view(containerName) == "rdf:Alt";
    for (const std::string& item : items) {
        tinyxml2::XMLElement* entry = container->InsertNewChildElement("rdf:li");
        if (alternatives) {
            entry->SetAttribute("xml:lang", "x-default");
        }
        entry->SetText(item.c_str());
    }
}

void WriteProperty(tinyxml2::XMLElement* description, const MetadataRow& row, const json& value) {
    if (!HasRequiredType(value, row.kind) || !EnsurePrefix(description, PrefixOf(row.property))) {
        return;
    }
    if (row.kind == PropertyKind::kListText && ContainerOf(row.property) != nullptr &&
        !EnsurePrefix(description, "rdf")) {
        return;
    }
    if (tinyxml2::XMLElement* old = description->FirstChildElement(row.property)) {
        description->DeleteChild(old);
    }
    tinyxml2::XMLElement* property = description->InsertNewChildElement(row.property);
    switch (row.kind) {
        case PropertyKind::kText:
            property->SetText(value.get<std::string>().c_str());
            break;
        case PropertyKind::kNumber: {
            const auto rating = value.get<long long>();
            if (rating >= 1 && rating <= 5) {
                property->SetText(static_cast<int>(rating));
            }
            break;
        }
        case PropertyKind::kBool:
            property->SetText(value.get<bool>());
            break;
        case PropertyKind::kListText:
            // A list holding anything but allowed texts stays empty.
            if (const std::optional<std::vector<std::string>> items = XmlTextList(value)) {
                FillList(property, *items, ContainerOf(row.property));
            }
            break;
    }
}

const MetadataRow* FindRow(std::string_view key) {
    for (const MetadataRow& row : kMetadataRows) {
        if (row.key == key) {
            return &row;
        }
    }
    return nullptr;
}

// The code point at the text's position, moving past it; none for a malformed sequence.
std::optional<char32_t> NextCodePoint(const std::string& text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 1;
    char32_t code = lead;
    if (lead >= 0x80) {
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07u;
        } else {
            return std::nullopt;
        }
    }
    if (at + length > text.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0u) != 0x80u) {
            return std::nullopt;
        }
        code = (code << 6) | (next & 0x3Fu);
    }
    constexpr std::array<char32_t, 4> kSmallest = {0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length - 1]) {
        return std::nullopt;  // an overlong form
    }
    at += length;
    return code;
}

}  // namespace

bool IsXmlText(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const std::optional<char32_t> code = NextCodePoint(text, at);
        if (!code) {
            return false;
        }
        const char32_t c = *code;
        const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                             (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
        if (!allowed) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> EditXmpPacket(const std::string& packet, const json& job) {
    static constexpr std::string_view kOpen = "<x:xmpmeta";
    static constexpr std::string_view kClose = "</x:xmpmeta>";
    const std::size_t start = packet.find(kOpen);
    const std::size_t close = packet.find(kClose);
    if (start == std::string::npos || close == std::string::npos || start >= close + kClose.size()) {
        return std::nullopt;
    }
    const std::size_t end = close + kClose.size();
    if (start == 0 || end >= packet.size() || start >= end) {
        return std::nullopt;
    }
    const json* metadata = FindKey(job, "metadata");
    if (metadata == nullptr || !metadata->is_object()) {
        return std::nullopt;
    }

    tinyxml2::XMLDocument document;
    const std::string element = packet.substr(start, end - start);
    if (document.Parse(element.c_str(), element.size()) != tinyxml2::XML_SUCCESS) {
        return std::nullopt;
    }
    tinyxml2::XMLElement* meta = document.FirstChildElement("x:xmpmeta");
    tinyxml2::XMLElement* rdf = meta != nullptr ? meta->FirstChildElement("rdf:RDF") : nullptr;
    tinyxml2::XMLElement* description = rdf != nullptr ? rdf->FirstChildElement("rdf:Description") : nullptr;
    if (description == nullptr) {
        return std::nullopt;
    }
    for (const auto& [key, value] : metadata->items()) {
        if (const MetadataRow* row = FindRow(key)) {
            WriteProperty(description, *row, value);
        }
    }
    tinyxml2::XMLPrinter printer(nullptr, false);
    document.Print(&printer);
    std::string printed(printer.CStr(),
                        static_cast<std::size_t>(printer.CStrSize() > 0 ? printer.CStrSize() - 1 : 0));
    // The printer ends the root element with a line break of its own; the packet's own bytes after
    // the element follow it directly instead.
    if (printed.ends_with('\n')) {
        printed.pop_back();
    }
    return packet.substr(0, start) + printed + packet.substr(end);
}

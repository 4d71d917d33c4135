#include "XmlMetadata.h"

#include <tinyxml2.h>

#include <map>
#include <set>
#include <stdexcept>
#include <vector>

#include "model/Utf8.h"

namespace host {

namespace {

constexpr std::string_view kSvgNamespace = "http://www.w3.org/2000/svg";
constexpr std::string_view kXhtmlNamespace = "http://www.w3.org/1999/xhtml";
constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

// The code points of the text; bytes that are not UTF-8 become U+FFFD.
std::u32string CodePoints(std::string_view text) {
    const std::u16string units = model::utf16Of(text);
    std::u32string points;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size()) {
            points += 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else {
            points += unit;
        }
    }
    return points;
}

bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

std::string Utf8Of(char32_t c) {
    std::u16string units;
    if (c >= 0x10000) {
        units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        units += static_cast<char16_t>(c);
    }
    return model::utf8Of(units);
}

// XML 1.0's NameStartChar and NameChar, without the colon that namespaces keep for the prefix.
bool IsNameStart(char32_t c) {
    return (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
           (c >= 0x37F && c <= 0x1FFF) || c == 0x200C || c == 0x200D || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
           (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c) {
    return IsNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || c == 0x203F || c == 0x2040;
}

// A name without a colon (an NCName of the namespaces recommendation).
bool IsLocalName(std::string_view text) {
    if (!model::isValidUtf8(text)) {
        return false;
    }
    const std::u32string points = CodePoints(text);
    if (points.empty() || !IsNameStart(points.front())) {
        return false;
    }
    for (const char32_t c : points) {
        if (!IsNameChar(c)) {
            return false;
        }
    }
    return true;
}

// A name split at its colon: the prefix (empty for none) and the local part; none for a name that
// is not a name with at most one colon between two local names.
struct QualifiedName {
    std::string prefix;
    std::string local;
};

std::optional<QualifiedName> SplitName(std::string_view name) {
    const std::size_t colon = name.find(':');
    if (colon == std::string_view::npos) {
        return IsLocalName(name) ? std::optional(QualifiedName{"", std::string(name)}) : std::nullopt;
    }
    const std::string_view prefix = name.substr(0, colon);
    const std::string_view local = name.substr(colon + 1);
    if (!IsLocalName(prefix) || !IsLocalName(local)) {
        return std::nullopt;
    }
    return QualifiedName{std::string(prefix), std::string(local)};
}

using Scope = std::map<std::string, std::string, std::less<>>;  // prefix -> namespace name

// Writes the packet's elements again; an element that can't go in throws runtime_error.
class PacketWriter {
public:
    std::string out;

    // The scope is the one map of the whole packet: an element's declarations go into it while the
    // element is written and come out after, so that no element copies what is in scope above it.
    void Element(const tinyxml2::XMLElement& element, Scope& scope) {
        const std::optional<QualifiedName> name = SplitName(element.Name());
        if (!name) {
            throw std::runtime_error("an element's name is not a name XML allows");
        }
        std::vector<std::pair<std::string, std::optional<std::string>>> shadowed;
        const std::vector<const tinyxml2::XMLAttribute*> declarations =
            Declarations(element, scope, shadowed);
        const struct Restore {
            Scope& scope;
            std::vector<std::pair<std::string, std::optional<std::string>>>& shadowed;
            ~Restore() {
                for (auto at = shadowed.rbegin(); at != shadowed.rend(); ++at) {
                    if (at->second) {
                        scope[at->first] = *at->second;
                    } else {
                        scope.erase(at->first);
                    }
                }
            }
        } restore{scope, shadowed};
        const auto space = scope.find(name->prefix);
        if (name->prefix.empty() || space == scope.end() || space->second == kSvgNamespace ||
            space->second == kXhtmlNamespace) {
            throw std::runtime_error(std::string("the element \"") + element.Name() +
                                     "\" is not in a namespace of its own");
        }
        out += '<';
        out += element.Name();
        for (const tinyxml2::XMLAttribute* declaration : declarations) {
            Attribute(declaration->Name(), declaration->Value());
        }
        Attributes(element, scope);
        out += '>';
        for (const tinyxml2::XMLNode* child = element.FirstChild(); child != nullptr;
             child = child->NextSibling()) {
            if (const tinyxml2::XMLElement* nested = child->ToElement()) {
                Element(*nested, scope);
            } else if (const tinyxml2::XMLText* text = child->ToText()) {
                out += XmlText(text->Value());
            }
        }
        out += "</";
        out += element.Name();
        out += '>';
    }

private:
    // The element's namespace declarations that XML allows, added to the scope; the others (the
    // reserved prefixes, a prefix bound to no name) are left out.
    // What each declaration replaced (none for a prefix not in scope before) goes into shadowed.
    static std::vector<const tinyxml2::XMLAttribute*> Declarations(
        const tinyxml2::XMLElement& element, Scope& scope,
        std::vector<std::pair<std::string, std::optional<std::string>>>& shadowed) {
        std::vector<const tinyxml2::XMLAttribute*> kept;
        for (const tinyxml2::XMLAttribute* attribute = element.FirstAttribute(); attribute != nullptr;
             attribute = attribute->Next()) {
            const std::optional<QualifiedName> name = SplitName(attribute->Name());
            const std::string_view value = attribute->Value();
            if (!name || !model::isValidUtf8(value)) {
                continue;
            }
            const bool isDefault = name->prefix.empty() && name->local == "xmlns";
            const bool isPrefixed = name->prefix == "xmlns" && name->local != "xml" &&
                                    name->local != "xmlns" && !value.empty() && value != kXmlNamespace;
            if (isDefault || isPrefixed) {
                const std::string prefix = isDefault ? std::string() : name->local;
                const auto before = scope.find(prefix);
                shadowed.emplace_back(prefix,
                                      before == scope.end() ? std::nullopt : std::optional(before->second));
                scope[prefix] = std::string(value);
                kept.push_back(attribute);
            }
        }
        return kept;
    }

    // The other attributes: each expanded name once, prefixes declared.
    void Attributes(const tinyxml2::XMLElement& element, const Scope& scope) {
        std::set<std::pair<std::string, std::string>> written;
        for (const tinyxml2::XMLAttribute* attribute = element.FirstAttribute(); attribute != nullptr;
             attribute = attribute->Next()) {
            const std::optional<QualifiedName> name = SplitName(attribute->Name());
            if (!name || name->prefix == "xmlns" || (name->prefix.empty() && name->local == "xmlns")) {
                continue;
            }
            std::string space;
            if (name->prefix == "xml") {
                space = kXmlNamespace;
            } else if (!name->prefix.empty()) {
                const auto found = scope.find(name->prefix);
                if (found == scope.end()) {
                    continue;
                }
                space = found->second;
            }
            if (written.insert({space, name->local}).second) {
                Attribute(attribute->Name(), attribute->Value());
            }
        }
    }

    void Attribute(std::string_view name, std::string_view value) {
        out += ' ';
        out += name;
        out += "=\"";
        out += XmlText(value);
        out += '"';
    }
};

}  // namespace

std::string XmlText(std::string_view text) {
    std::string escaped;
    for (const char32_t c : CodePoints(text)) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\r':
                escaped += "&#13;";  // kept as it is: a reader turns a raw one into a line feed
                break;
            default:
                if (IsXmlChar(c)) {
                    escaped += Utf8Of(c);
                }
        }
    }
    return escaped;
}

namespace {

// The packet without its processing instructions (an XMP packet starts and ends with <?xpacket?>):
// tinyxml2 takes every instruction for a declaration and refuses one anywhere but before the
// first element, and instructions are not written into the SVG anyway. Comments and CDATA sections
// are kept as they are; an unterminated one is left for the parser to judge.
std::string WithoutInstructions(std::string_view packet) {
    std::string kept;
    std::size_t at = 0;
    while (at < packet.size()) {
        const std::size_t open = packet.find('<', at);
        if (open == std::string_view::npos) {
            break;
        }
        const std::string_view rest = packet.substr(open);
        const auto skipTo = [&](std::string_view end, bool keep) {
            const std::size_t close = packet.find(end, open);
            const std::size_t next = close == std::string_view::npos ? packet.size() : close + end.size();
            kept.append(packet.substr(at, (keep ? next : open) - at));
            at = next;
        };
        if (rest.starts_with("<?")) {
            skipTo("?>", false);
        } else if (rest.starts_with("<!--")) {
            skipTo("-->", true);
        } else if (rest.starts_with("<![CDATA[")) {
            skipTo("]]>", true);
        } else {
            kept.append(packet.substr(at, open + 1 - at));
            at = open + 1;
        }
    }
    kept.append(packet.substr(std::min(at, packet.size())));
    return kept;
}

}  // namespace

std::optional<std::string> MetadataElements(std::string_view whole, std::string* error) {
    const std::string packet = WithoutInstructions(whole);
    tinyxml2::XMLDocument document(true, tinyxml2::PRESERVE_WHITESPACE);
    if (document.Parse(packet.data(), packet.size()) != tinyxml2::XML_SUCCESS) {
        *error = "the XMP packet is not well-formed XML";
        return std::nullopt;
    }
    // tinyxml2 ends the document at an end tag that closes nothing, without an error: what follows
    // it is never read, so none of it reaches the SVG. A packet that gives no element at all is
    // not a packet.
    if (document.FirstChildElement() == nullptr) {
        *error = "the XMP packet holds no element";
        return std::nullopt;
    }
    // A document type can declare entities whose text tinyxml2 neither reads nor expands.
    for (const tinyxml2::XMLNode* node = document.FirstChild(); node != nullptr; node = node->NextSibling()) {
        if (node->ToUnknown() != nullptr) {
            *error = "the XMP packet declares a document type";
            return std::nullopt;
        }
    }
    PacketWriter writer;
    try {
        for (const tinyxml2::XMLElement* element = document.FirstChildElement(); element != nullptr;
             element = element->NextSiblingElement()) {
            Scope scope;
            writer.Element(*element, scope);
        }
    } catch (const std::runtime_error& failure) {
        *error = std::string("the XMP packet can't go into the SVG: ") + failure.what();
        return std::nullopt;
    }
    return std::move(writer.out);
}

}  // namespace host

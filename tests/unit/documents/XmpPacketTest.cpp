// XMP packets: writing each kind of property, prefixes, refusals and XML-safe text.
#include <gtest/gtest.h>

#include <tinyxml2.h>

#include "documents/XmpPacket.h"

using json = nlohmann::json;

namespace {

const std::string kBefore = "<?xpacket begin=\"\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n";
const std::string kAfter = "\n      \n<?xpacket end=\"w\"?>";

std::string Packet(const std::string& description) {
    return kBefore +
           "<x:xmpmeta xmlns:x=\"urn:x-meta/\"><rdf:RDF "
           "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"><rdf:Description rdf:about=\"\" "
           "xmlns:xmp=\"urn:test:xmp\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">" +
           description + "</rdf:Description></rdf:RDF></x:xmpmeta>" + kAfter;
}

// The description element of an edited packet, which must be well-formed XML.
std::string Described(const std::string& packet, const char* property) {
    const std::size_t start = packet.find("<x:xmpmeta");
    const std::size_t end = packet.find("</x:xmpmeta>") + 12;
    tinyxml2::XMLDocument document;
    EXPECT_EQ(document.Parse(packet.substr(start, end - start).c_str()), tinyxml2::XML_SUCCESS);
    const tinyxml2::XMLElement* description = document.FirstChildElement("x:xmpmeta")
                                                  ->FirstChildElement("rdf:RDF")
                                                  ->FirstChildElement("rdf:Description");
    const tinyxml2::XMLElement* found = description->FirstChildElement(property);
    if (found == nullptr) {
        return "(none)";
    }
    tinyxml2::XMLPrinter printer(nullptr, true);
    found->Accept(&printer);
    return printer.CStr();
}

}  // namespace

TEST(XmpPacket, WritesEachKindOfProperty) {
    struct Case {
        json metadata;
        const char* property;
        std::string expected;
    };
    const std::string old = "<xmp:Rating>2</xmp:Rating><dc:creator>old</dc:creator>";
    const Case cases[] = {
        {{{"rating", 3}}, "xmp:Rating", "<xmp:Rating>3</xmp:Rating>"},
        {{{"rating", 7}}, "xmp:Rating", "<xmp:Rating/>"},
        {{{"rating", 3.0}}, "xmp:Rating", "<xmp:Rating>2</xmp:Rating>"},
        {{{"keywords", json::array()}}, "dc:subject", "<dc:subject/>"},
        {{{"description", {"A", "B"}}},
         "dc:description",
         "<dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">A</rdf:li><rdf:li "
         "xml:lang=\"x-default\">B</rdf:li></rdf:Alt></dc:description>"},
        {{{"author", {"X", 5}}}, "dc:creator", "<dc:creator/>"},
        {{{"author", {"X\u0001"}}}, "dc:creator", "<dc:creator/>"},
        {{{"author", {"<&>"}}},
         "dc:creator",
         "<dc:creator><rdf:Seq><rdf:li>&lt;&amp;&gt;</rdf:li></rdf:Seq></dc:creator>"},
        {{{"copyrightStatus", true}}, "xmpRights:Marked", "(none)"},
        {{{"unknown", 1}}, "dc:creator", "<dc:creator>old</dc:creator>"},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> edited = EditXmpPacket(Packet(old), json{{"metadata", c.metadata}});
        ASSERT_TRUE(edited) << c.metadata;
        EXPECT_EQ(Described(*edited, c.property), c.expected) << c.metadata;
        EXPECT_EQ(edited->substr(0, kBefore.size()), kBefore);
        EXPECT_EQ(edited->substr(edited->size() - kAfter.size()), kAfter);
    }
}

TEST(XmpPacket, DeclaresAMissingPrefixItKnows) {
    const std::string packet =
        kBefore +
        "<x:xmpmeta><rdf:RDF><rdf:Description rdf:about=\"\"></rdf:Description></rdf:RDF>"
        "</x:xmpmeta>" +
        kAfter;
    const std::optional<std::string> edited =
        EditXmpPacket(packet, json{{"metadata", {{"keywords", {"k"}}}}});
    ASSERT_TRUE(edited);
    EXPECT_NE(edited->find("xmlns:dc=\"http://purl.org/dc/elements/1.1/\""), std::string::npos);
    EXPECT_NE(edited->find("xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\""), std::string::npos);
}

TEST(XmpPacket, RefusesWhatItCantEdit) {
    const json job = {{"metadata", {{"rating", 1}}}};
    const std::string cases[] = {
        "",
        "no markers at all",
        "</x:xmpmeta> <x:xmpmeta>",
        "<x:xmpmeta><rdf:RDF><rdf:Description/></rdf:RDF></x:xmpmeta>",  // nothing before
        kBefore + "<x:xmpmeta><rdf:RDF></rdf:RDF></x:xmpmeta>" + kAfter,
        kBefore + "<x:xmpmeta><rdf:RDF><rdf:Description></rdf:RDF></x:xmpmeta>" + kAfter,
    };
    for (const std::string& packet : cases) {
        EXPECT_FALSE(EditXmpPacket(packet, job)) << packet;
    }
    EXPECT_FALSE(EditXmpPacket(Packet(""), json::object()));
    EXPECT_FALSE(EditXmpPacket(Packet(""), json{{"metadata", "text"}}));
}

TEST(XmlText, AllowsOnlyXmlCharacters) {
    EXPECT_TRUE(IsXmlText("plain \t\n\r \xC3\xA9 \xF0\x9F\x98\x80"));
    const std::string bads[] = {"\x01",     std::string(1, '\0'), "\xEF\xBF\xBE",
                                "\xC0\xAF", "\xED\xA0\x80",       "\xFF"};
    for (const std::string& bad : bads) {
        EXPECT_FALSE(IsXmlText(bad));
    }
}

// Small PSD, TIFF and PDF files built byte by byte, for the tests and fuzz seeds of the file patches
// and placed files.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace crafted {

using Bytes = std::vector<unsigned char>;

inline void PutBigEndian(Bytes& bytes, std::uint64_t value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

inline void PutNumber(Bytes& bytes, std::uint64_t value, int width, bool bigEndian) {
    if (bigEndian) {
        PutBigEndian(bytes, value, width);
        return;
    }
    for (int i = 0; i < width; ++i) {
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

struct PsdResource {
    std::uint16_t id;
    std::string name;
    Bytes data;
};

// An image resource block: "8BIM", id, Pascal name padded to even, size, data padded to even.
inline Bytes ResourceBlock(const PsdResource& resource) {
    Bytes block = {'8', 'B', 'I', 'M'};
    PutBigEndian(block, resource.id, 2);
    block.push_back(static_cast<unsigned char>(resource.name.size()));
    block.insert(block.end(), resource.name.begin(), resource.name.end());
    if ((resource.name.size() + 1) % 2 != 0) {
        block.push_back(0);
    }
    PutBigEndian(block, resource.data.size(), 4);
    block.insert(block.end(), resource.data.begin(), resource.data.end());
    if (resource.data.size() % 2 != 0) {
        block.push_back(0);
    }
    return block;
}

// ResolutionInfo data: 72 ppi, units inch, 16 bytes.
inline Bytes ResolutionInfo() {
    return {0, 0x48, 0, 0, 0, 1, 0, 1, 0, 0x48, 0, 0, 0, 1, 0, 1};
}

// A PSD file: 26 header bytes, colour mode data, the resources, then a little image data.
inline Bytes Psd(const std::vector<PsdResource>& resources, const Bytes& colorModeData = {}) {
    Bytes file = {'8', 'B', 'P', 'S', 0, 1};
    file.resize(26, 0);
    PutBigEndian(file, colorModeData.size(), 4);
    file.insert(file.end(), colorModeData.begin(), colorModeData.end());
    Bytes blocks;
    for (const PsdResource& resource : resources) {
        const Bytes block = ResourceBlock(resource);
        blocks.insert(blocks.end(), block.begin(), block.end());
    }
    PutBigEndian(file, blocks.size(), 4);
    file.insert(file.end(), blocks.begin(), blocks.end());
    file.insert(file.end(), {0, 0, 0, 0, 0, 0});
    return file;
}

struct TiffField {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::uint32_t value;  // the value field; for kRationalHere, the offset of a rational appended
};
inline constexpr std::uint32_t kRationalHere = 0xFFFFFFFF;

// A classic TIFF: header, the directory at 8, then the rationals the fields ask for (72/1 each).
inline Bytes Tiff(bool bigEndian, const std::vector<TiffField>& fields, std::uint32_t nextIfd = 0) {
    Bytes file = bigEndian ? Bytes{'M', 'M'} : Bytes{'I', 'I'};
    PutNumber(file, 42, 2, bigEndian);
    PutNumber(file, 8, 4, bigEndian);
    std::uint32_t rationalAt = static_cast<std::uint32_t>(8 + 2 + 12 * fields.size() + 4);
    Bytes rationals;
    PutNumber(file, fields.size(), 2, bigEndian);
    for (const TiffField& field : fields) {
        PutNumber(file, field.tag, 2, bigEndian);
        PutNumber(file, field.type, 2, bigEndian);
        PutNumber(file, field.count, 4, bigEndian);
        if (field.value == kRationalHere) {
            PutNumber(file, rationalAt, 4, bigEndian);
            PutNumber(rationals, 72, 4, bigEndian);
            PutNumber(rationals, 1, 4, bigEndian);
            rationalAt += 8;
        } else if (field.type == 3 && field.count == 1) {
            PutNumber(file, field.value, 2, bigEndian);  // a SHORT, left-justified
            PutNumber(file, 0, 2, bigEndian);
        } else {
            PutNumber(file, field.value, 4, bigEndian);
        }
    }
    PutNumber(file, nextIfd, 4, bigEndian);
    file.insert(file.end(), rationals.begin(), rationals.end());
    return file;
}

// The usual resolution fields: XResolution, YResolution and ResolutionUnit (centimetre).
inline std::vector<TiffField> ResolutionFields() {
    return {{256, 3, 1, 4}, {282, 5, 1, kRationalHere}, {283, 5, 1, kRationalHere}, {296, 3, 1, 3}};
}

// A PDF stream object: the dictionary's entries, its length, and the data.
inline std::string PdfStream(const std::string& entries, const std::string& data) {
    return "<< " + entries + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data +
           "\nendstream";
}

// A zlib stream of no bytes: the data of a /FlateDecode stream that a reader measuring only its
// dictionary never needs to inflate.
inline std::string EmptyFlate() {
    return std::string("\x78\x9c\x03\x00\x00\x00\x00\x01", 8);
}

// Forms from object `first` on, each drawing the next ten times (as /X): 10^(count - 1) times the
// last one, whose content and resources are given.
inline std::vector<std::string> FormChain(int first, int count, const std::string& last = "0 0 1 1 re f",
                                          const std::string& lastResources = "") {
    std::vector<std::string> forms;
    for (int i = 0; i < count; ++i) {
        const bool end = i + 1 == count;
        std::string content;
        for (int copy = 0; copy < 10 && !end; ++copy) {
            content += "/X Do ";
        }
        forms.push_back(PdfStream(
            "/Type /XObject /Subtype /Form /BBox [0 0 1 1] /Resources << " +
                (end ? lastResources : "/XObject << /X " + std::to_string(first + i + 1) + " 0 R >>") + " >>",
            end ? last : content));
    }
    return forms;
}

// A PDF file of one page (object 3), its content object 4, and the further objects from 5 on, with a
// cross-reference table. The page's entries (boxes, resources) are given.
inline std::string Pdf(const std::string& pageEntries, const std::string& content,
                       const std::vector<std::string>& further = {}) {
    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R " + pageEntries + " /Contents 4 0 R >>", PdfStream("", content)};
    objects.insert(objects.end(), further.begin(), further.end());
    std::string file = "%PDF-1.4\n";
    std::string table = "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t i = 0; i < objects.size(); ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", file.size());
        table += line;
        file += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t start = file.size();
    return file + table + "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(start) + "\n%%EOF\n";
}

// The bytes in base64, as a data: URL holds them.
inline std::string Base64(const std::string& bytes) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        std::uint32_t group = 0;
        for (std::size_t i = 0; i < 3; ++i) {
            group = (group << 8) | (at + i < bytes.size() ? static_cast<unsigned char>(bytes[at + i]) : 0u);
        }
        const std::size_t digits = std::min<std::size_t>(4, (bytes.size() - at) * 8 / 6 + 1);
        for (std::size_t i = 0; i < 4; ++i) {
            text += i < digits ? kDigits[(group >> (18 - 6 * i)) & 0x3F] : '=';
        }
    }
    return text;
}

}  // namespace crafted

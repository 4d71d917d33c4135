// Small PSD and TIFF files built byte by byte, for the tests and fuzz seeds of the file patches.
#pragma once

#include <cstdint>
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

}  // namespace crafted

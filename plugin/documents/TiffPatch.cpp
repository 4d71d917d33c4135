#include <algorithm>
#include <array>
#include <vector>

#include "documents/ByteFile.h"
#include "documents/FilePatches.h"

namespace {

constexpr std::uint64_t kTiffHeaderSize = 8;
constexpr std::uint64_t kLargestTiff = 4294967296;  // classic TIFF offsets are 32 bits
constexpr std::uint64_t kEntrySize = 12;

constexpr std::uint16_t kXResolution = 282;
constexpr std::uint16_t kYResolution = 283;
constexpr std::uint16_t kResolutionUnit = 296;
constexpr std::uint16_t kRational = 5;
constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kInch = 2;

// The expected key of a directory entry.
struct TiffEntry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
};

bool ReadUInt16(const std::vector<unsigned char>& bytes, std::uint64_t offset, std::uint16_t& value,
                bool bigEndian) {
    if (offset + 2 > bytes.size()) {
        return false;
    }
    value = bigEndian ? static_cast<std::uint16_t>(bytes[offset] << 8 | bytes[offset + 1])
                      : static_cast<std::uint16_t>(bytes[offset + 1] << 8 | bytes[offset]);
    return true;
}

bool ReadUInt32(const std::vector<unsigned char>& bytes, std::uint64_t offset, std::uint32_t& value,
                bool bigEndian) {
    if (offset + 4 > bytes.size()) {
        return false;
    }
    value = 0;
    for (std::uint64_t i = 0; i < 4; ++i) {
        const std::uint32_t byte = bytes[offset + (bigEndian ? i : 3 - i)];
        value = value << 8 | byte;
    }
    return true;
}

bool WriteUInt32(std::vector<unsigned char>& bytes, std::uint64_t offset, std::uint32_t value,
                 bool bigEndian) {
    if (offset + 4 > bytes.size()) {
        return false;
    }
    for (std::uint64_t i = 0; i < 4; ++i) {
        bytes[offset + (bigEndian ? 3 - i : i)] = static_cast<unsigned char>(value >> (8 * i));
    }
    return true;
}

struct TiffHeader {
    std::uint64_t fileSize = 0;
    bool bigEndian = false;
    std::uint64_t ifdOffset = 0;
    std::uint16_t entryCount = 0;

    std::uint64_t DirectorySize() const { return 2 + kEntrySize * entryCount + 4; }
};

bool ReadTiffHeader(ByteFile& file, TiffHeader& header, std::string& error) {
    if (!file.IsOpen()) {
        error = "Can't open a file";
        return false;
    }
    header.fileSize = file.Size();
    if (header.fileSize < kTiffHeaderSize) {
        error = "File size is less than 8 bytes";
        return false;
    }
    if (header.fileSize > kLargestTiff) {
        error = "File size is bigger than 4 Gb";
        return false;
    }
    std::vector<unsigned char> bytes;
    if (!file.Read(0, kTiffHeaderSize, bytes) || bytes[0] != bytes[1] ||
        (bytes[0] != 'M' && bytes[0] != 'I')) {
        error = "Can't read endianness";
        return false;
    }
    header.bigEndian = bytes[0] == 'M';
    std::uint16_t version = 0;
    if (!ReadUInt16(bytes, 2, version, header.bigEndian) || version != 42) {
        error = "Not a TIFF file";
        return false;
    }
    std::uint32_t ifdOffset = 0;
    ReadUInt32(bytes, 4, ifdOffset, header.bigEndian);
    header.ifdOffset = ifdOffset;
    // A directory overlapping the header would be rewritten over it.
    if (header.ifdOffset < kTiffHeaderSize || header.fileSize < header.ifdOffset + 6) {
        error = "IFD offset is too large";
        return false;
    }
    if (!file.Read(header.ifdOffset, 2, bytes) ||
        !ReadUInt16(bytes, 0, header.entryCount, header.bigEndian)) {
        error = "Can't read IFD header";
        return false;
    }
    if (header.fileSize < header.ifdOffset + header.DirectorySize()) {
        error = "IFD size is too large";
        return false;
    }
    return true;
}

bool GetEntryValueUInt32(const std::vector<unsigned char>& entries, std::uint64_t offset, TiffEntry expected,
                         bool bigEndian, std::uint32_t& value) {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    if (offset + kEntrySize > entries.size() || !ReadUInt16(entries, offset, tag, bigEndian) ||
        !ReadUInt16(entries, offset + 2, type, bigEndian) ||
        !ReadUInt32(entries, offset + 4, count, bigEndian)) {
        return false;
    }
    if (tag != expected.tag || type != expected.type || count != expected.count) {
        return false;
    }
    return ReadUInt32(entries, offset + 8, value, bigEndian);
}

// A rational's 8 bytes must lie inside the file and clear of the header and the directory.
bool IsWritableValue(const TiffHeader& header, std::uint64_t offset) {
    const std::uint64_t end = offset + 8;
    const std::uint64_t directoryEnd = header.ifdOffset + header.DirectorySize();
    return offset >= kTiffHeaderSize && end <= header.fileSize &&
           (end <= header.ifdOffset || offset >= directoryEnd);
}

bool WriteResolution(ByteFile& file, std::uint64_t offset, bool bigEndian, std::uint32_t numerator,
                     std::uint32_t denominator) {
    std::vector<unsigned char> bytes(8);
    WriteUInt32(bytes, 0, numerator, bigEndian);
    WriteUInt32(bytes, 4, denominator, bigEndian);
    return file.Write(offset, bytes);
}

struct ResolutionTargets {
    std::uint64_t x = 0;     // file offset of XResolution's rational; 0: none
    std::uint64_t y = 0;     // the same for YResolution
    std::uint64_t unit = 0;  // file offset of ResolutionUnit's value field; 0: none
};

bool FindResolutionTargets(const TiffHeader& header, const std::vector<unsigned char>& entries,
                           ResolutionTargets& targets, std::string& error) {
    for (std::uint64_t i = 0; i < header.entryCount; ++i) {
        const std::uint64_t at = kEntrySize * i;
        std::uint16_t tag = 0;
        ReadUInt16(entries, at, tag, header.bigEndian);
        std::uint32_t value = 0;
        if (tag == kResolutionUnit) {
            if (!GetEntryValueUInt32(entries, at, {kResolutionUnit, kShort, 1}, header.bigEndian, value)) {
                error = "Can't read ResolutionUnit";
                return false;
            }
            targets.unit = header.ifdOffset + 2 + at + 8;
        } else if (tag == kYResolution) {
            if (!GetEntryValueUInt32(entries, at, {kYResolution, kRational, 1}, header.bigEndian, value)) {
                error = "Can't read YResolution offset";
                return false;
            }
            targets.y = value;
        } else if (tag == kXResolution) {
            if (!GetEntryValueUInt32(entries, at, {kXResolution, kRational, 1}, header.bigEndian, value)) {
                error = "Can't read XResolution offset";
                return false;
            }
            targets.x = value;
        }
    }
    if (targets.x != 0 && !IsWritableValue(header, targets.x)) {
        error = "Can't write XResolution";
        return false;
    }
    if (targets.y != 0 && !IsWritableValue(header, targets.y)) {
        error = "Can't write YResolution";
        return false;
    }
    return true;
}

}  // namespace

bool PatchTiffResolution(const std::string& path, std::uint32_t resolution, std::string& error) {
    ByteFile file(path);
    TiffHeader header;
    if (!ReadTiffHeader(file, header, error)) {
        return false;
    }
    std::vector<unsigned char> entries;
    if (!file.Read(header.ifdOffset + 2, kEntrySize * header.entryCount, entries)) {
        error = "IFD size is too large";
        return false;
    }
    ResolutionTargets targets;
    if (!FindResolutionTargets(header, entries, targets, error)) {
        return false;
    }
    if (targets.x != 0 && !WriteResolution(file, targets.x, header.bigEndian, resolution, 1)) {
        error = "Can't write XResolution";
        return false;
    }
    if (targets.y != 0 && !WriteResolution(file, targets.y, header.bigEndian, resolution, 1)) {
        error = "Can't write YResolution";
        return false;
    }
    if (targets.unit != 0) {
        // A SHORT is left-justified in the 4-byte value field.
        const std::array<unsigned char, 4> unit = header.bigEndian
                                                      ? std::array<unsigned char, 4>{0, kInch, 0, 0}
                                                      : std::array<unsigned char, 4>{kInch, 0, 0, 0};
        if (!file.Write(targets.unit, unit)) {
            error = "Can't write ResolutionUnit";
            return false;
        }
    }
    if (!file.Flush()) {
        error = "Can't write a file";
        return false;
    }
    return true;
}

bool RemoveIfdTags(const std::string& path, const std::set<std::uint16_t>& tags, std::string& error) {
    if (tags.empty()) {
        error = "No IFD tags to remove";
        return false;
    }
    ByteFile file(path);
    TiffHeader header;
    if (!ReadTiffHeader(file, header, error)) {
        return false;
    }
    std::vector<unsigned char> directory;
    if (!file.Read(header.ifdOffset, header.DirectorySize(), directory)) {
        error = "IFD size is too large";
        return false;
    }
    std::vector<unsigned char> rewritten(directory.size(), 0);
    std::uint64_t kept = 0;
    for (std::uint64_t i = 0; i < header.entryCount; ++i) {
        const std::uint64_t at = 2 + kEntrySize * i;
        std::uint16_t tag = 0;
        ReadUInt16(directory, at, tag, header.bigEndian);
        if (tags.contains(tag)) {
            continue;
        }
        std::copy_n(directory.begin() + static_cast<std::ptrdiff_t>(at), kEntrySize,
                    rewritten.begin() + static_cast<std::ptrdiff_t>(2 + kEntrySize * kept));
        ++kept;
    }
    if (kept == 0 || kept == header.entryCount) {
        return true;
    }
    std::uint32_t nextIfd = 0;
    ReadUInt32(directory, 2 + kEntrySize * header.entryCount, nextIfd, header.bigEndian);
    WriteUInt32(rewritten, 2 + kEntrySize * kept, nextIfd, header.bigEndian);
    // The count is a SHORT: its two bytes in the file's order.
    std::vector<unsigned char> count(4);
    WriteUInt32(count, 0, static_cast<std::uint32_t>(kept), header.bigEndian);
    rewritten[0] = header.bigEndian ? count[2] : count[0];
    rewritten[1] = header.bigEndian ? count[3] : count[1];
    if (!file.Write(header.ifdOffset, rewritten) || !file.Flush()) {
        error = "Can't write a file";
        return false;
    }
    return true;
}

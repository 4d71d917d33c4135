#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "documents/ByteFile.h"
#include "documents/FilePatches.h"

namespace {

constexpr std::uint64_t kHeaderSize = 30;  // up to and including the colour-mode data length
constexpr std::uint16_t kResolutionInfoId = 1005;
constexpr std::uint64_t kResolutionInfoSize = 16;

std::uint32_t ReadBigEndian32(const std::vector<unsigned char>& bytes, std::uint64_t at) {
    return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
           std::uint32_t{bytes[at + 2]} << 8 | std::uint32_t{bytes[at + 3]};
}

bool HasSignature(const std::vector<unsigned char>& bytes, std::uint64_t at, std::string_view signature) {
    return at + signature.size() <= bytes.size() &&
           std::equal(signature.begin(), signature.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

struct ResourceBlock {
    std::uint64_t dataOffset = 0;  // within the resources
    std::uint64_t dataSize = 0;
};

// Walks the resource blocks from the start; a malformed block ends the walk.
std::optional<ResourceBlock> FindResource(const std::vector<unsigned char>& resources, std::uint16_t id) {
    const std::uint64_t size = resources.size();
    std::uint64_t at = 0;
    while (at + 8 < size && HasSignature(resources, at, "8BIM")) {
        const std::uint16_t blockId = static_cast<std::uint16_t>(resources[at + 4] << 8 | resources[at + 5]);
        const std::uint64_t nameLength = resources[at + 6] + 1u;
        const std::uint64_t nameSize = nameLength + (nameLength % 2);
        const std::uint64_t dataOffset = at + 10 + nameSize;
        if (dataOffset > size) {
            return std::nullopt;
        }
        const std::uint64_t dataSize = ReadBigEndian32(resources, at + 6 + nameSize);
        if (blockId == id) {
            return ResourceBlock{dataOffset, dataSize};
        }
        const std::uint64_t end = dataOffset + dataSize;
        at = end + (end % 2);
    }
    return std::nullopt;
}

}  // namespace

bool PatchPsdResolution(const std::string& path, std::uint32_t resolution, std::string& error) {
    ByteFile file(path);
    if (!file.IsOpen()) {
        error = "Can't open a file";
        return false;
    }
    const std::uint64_t fileSize = file.Size();
    if (fileSize < kHeaderSize) {
        error = "File size is less than 30 bytes";
        return false;
    }
    std::vector<unsigned char> header;
    if (!file.Read(0, kHeaderSize, header) || !HasSignature(header, 0, "8BPS")) {
        error = "File signature doesn't match";
        return false;
    }
    const std::uint64_t colorModeLength = ReadBigEndian32(header, 26);
    if (fileSize < colorModeLength + 34) {
        error = "Image Resources Section offset is too large";
        return false;
    }
    std::vector<unsigned char> lengthBytes;
    if (!file.Read(kHeaderSize + colorModeLength, 4, lengthBytes)) {
        error = "Image Resources Section offset is too large";
        return false;
    }
    const std::uint64_t resourcesStart = colorModeLength + 34;
    const std::uint64_t resourcesLength = ReadBigEndian32(lengthBytes, 0);
    std::vector<unsigned char> resources;
    if (fileSize < resourcesStart + resourcesLength ||
        !file.Read(resourcesStart, resourcesLength, resources)) {
        error = "Image Resources Section is too large";
        return false;
    }
    const std::optional<ResourceBlock> block = FindResource(resources, kResolutionInfoId);
    if (!block) {
        error = "Can't find ResolutionInfo structure";
        return false;
    }
    // Both fields must lie inside the block and the block inside the resources, so that nothing
    // else of the file is overwritten.
    if (block->dataSize < kResolutionInfoSize || block->dataOffset + kResolutionInfoSize > resourcesLength) {
        error = "Can't write ResolutionInfo structure";
        return false;
    }
    const std::uint32_t pixelsPerInch = resolution >= 1 && resolution <= 65535 ? resolution : 72;
    const std::uint32_t fixed = pixelsPerInch << 16;
    const unsigned char value[4] = {static_cast<unsigned char>(fixed >> 24),
                                    static_cast<unsigned char>(fixed >> 16), 0, 0};
    const std::uint64_t fields = resourcesStart + block->dataOffset;
    if (!file.Write(fields, value) || !file.Write(fields + 8, value) || !file.Flush()) {
        error = "Can't write ResolutionInfo structure";
        return false;
    }
    return true;
}

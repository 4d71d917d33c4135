#include "documents/ByteFile.h"

#include <limits>

ByteFile::ByteFile(const std::string& path) : fFile(path, std::ios::in | std::ios::out | std::ios::binary) {}

std::uint64_t ByteFile::Size() {
    fFile.clear();
    fFile.seekg(0, std::ios::end);
    const std::streamoff end = fFile.tellg();
    fFile.seekg(0, std::ios::beg);
    return end < 0 ? 0 : static_cast<std::uint64_t>(end);
}

bool ByteFile::Read(std::uint64_t offset, std::uint64_t count, std::vector<unsigned char>& bytes) {
    constexpr auto kLargest = static_cast<std::uint64_t>(std::numeric_limits<std::streamoff>::max());
    if (offset > kLargest || count > kLargest - offset || count > Size()) {
        return false;
    }
    bytes.assign(static_cast<std::size_t>(count), 0);
    fFile.clear();
    fFile.seekg(static_cast<std::streamoff>(offset));
    fFile.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
    return fFile.good() && static_cast<std::uint64_t>(fFile.gcount()) == count;
}

bool ByteFile::Write(std::uint64_t offset, std::span<const unsigned char> bytes) {
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<std::streamoff>::max())) {
        return false;
    }
    fFile.seekp(static_cast<std::streamoff>(offset));
    fFile.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return fFile.good();
}

bool ByteFile::Flush() {
    fFile.flush();
    return fFile.good();
}

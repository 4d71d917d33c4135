// A file opened for reading and writing in place, in binary mode, without truncation: reads and
// writes at offsets, each answering whether it succeeded.
#pragma once

#include <cstdint>
#include <fstream>
#include <span>
#include <string>
#include <vector>

class ByteFile {
public:
    explicit ByteFile(const std::string& path);

    bool IsOpen() const { return fFile.is_open(); }
    // The file's length in bytes; 0 when it can't be told.
    std::uint64_t Size();
    // Reads count bytes at the offset into bytes; false when fewer are there.
    bool Read(std::uint64_t offset, std::uint64_t count, std::vector<unsigned char>& bytes);
    bool Write(std::uint64_t offset, std::span<const unsigned char> bytes);
    // Pushes what was written to the file; false when any write since opening failed.
    bool Flush();

private:
    std::fstream fFile;
};

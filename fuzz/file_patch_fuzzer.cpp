// Feeds crafted files to the PSD and TIFF patches: whatever the bytes, they must not crash, must
// keep the file's length, and must leave a file they refuse unchanged.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "documents/FilePatches.h"

namespace {

using Bytes = std::vector<unsigned char>;

const std::string& ScratchFile() {
    static const std::string path = "/tmp/plim_patch_fuzz_" + std::to_string(getpid());
    return path;
}

void Store(const std::uint8_t* data, std::size_t size) {
    std::ofstream(ScratchFile(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

Bytes Load() {
    std::ifstream in(ScratchFile(), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void Check(bool patched, const Bytes& before) {
    const Bytes after = Load();
    if (after.size() != before.size() || (!patched && after != before)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes before(data, data + size);
    std::string error;
    Store(data, size);
    Check(PatchPsdResolution(ScratchFile(), 300, error), before);
    Store(data, size);
    Check(PatchTiffResolution(ScratchFile(), 300, error), before);
    Store(data, size);
    Check(RemoveIfdTags(ScratchFile(), kTiffMetadataTags, error), before);
    std::remove(ScratchFile().c_str());
    return 0;
}

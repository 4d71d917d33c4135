// Fuzzes the native document reader with documents mutated from the examples (the seed corpus and
// a dictionary of the format's keys): whatever the text, reading answers a document or an error.
// A document that was read must be written, and the text written must read back and be written
// again to the same bytes. The same texts go through the swatch-library reader, which shares the
// colour keys.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/DocumentFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace host::model;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    static_cast<void>(readSwatchLibrary(text));
    const ReadResult read = readDocument(text, 1);
    if (!read.document) {
        return 0;
    }
    const WriteResult written = writeDocument(*read.document);
    if (!written.text) {
        std::abort();  // the writer refuses a document the reader accepted
    }
    const ReadResult again = readDocument(*written.text, 1);
    if (!again.document || writeDocument(*again.document).text != written.text) {
        std::abort();  // the canonical text does not survive reading
    }
    return 0;
}

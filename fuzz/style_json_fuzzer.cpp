// Fuzzes the readers of the colour object and of the graphic-style object (with its paint fields,
// strokes, effects and partial colours), then writes what was read. Without a host, the document's
// colour space is RGB and colour conversions answer that they can't convert. Every failure must come
// back as a result or as what the command that reads it turns into its reply (an exception of the
// JSON library or a CommandError, as editGraphicStyle and makeSwatch do); anything else is a finding.
// The style reader catches its own failures and answers them as not read.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "appearance/Colors.h"
#include "appearance/GStyle.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const json value = json::parse(text.begin(), text.end(), nullptr, false);
    if (value.is_discarded()) {
        return 0;
    }
    try {
        bool ok = false;
        const PFieldColor colour(value, ok);
        if (ok) {
            colour.WriteJson().dump();
            colour.Check();
        }
    } catch (const json::exception&) {
    } catch (const CommandError&) {
    }
    try {
        const PartialPFieldColor partial(value);
        partial.WriteJson().dump();
        partial.MergeToPFieldColor(PFieldColor()).WriteJson().dump();
    } catch (const json::exception&) {
    } catch (const CommandError&) {
    }
    bool ok = false;
    const GStyle style(value, ok);
    style.WriteJson().dump();
    return 0;
}

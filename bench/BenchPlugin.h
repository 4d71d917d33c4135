// What the benchmark programs that run the real plug-in share: the application options that load
// the plug-in built beside them, and the entry name under which the plug-in stores a tag.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "art/Crc32.h"
#include "host/Application.h"

inline host::ApplicationOptions PluginOptions() {
    host::ApplicationOptions options;
    options.applicationFolder = PLIM_BIN_DIR;
    options.pluginPath = PLIM_PLUGIN_PATH;
    return options;
}

// "_p_tag_" and the tag text's checksum.
inline std::string TagEntryName(std::string_view tag) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(CRC32(tag)));
    return std::string("_p_tag_") + hex;
}

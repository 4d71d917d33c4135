// What the style records share when they talk to the host: the names of blend modes, knockouts,
// caps, joins and arrowhead alignments by their host values, and the positions of the lists that a
// style edit works on.
#pragma once

#include <cstddef>
#include <string>

#include "AIDictionary.h"
#include "core/HostScopes.h"
#include "core/Suites.h"

inline constexpr const char* kBlendModes[] = {
    "Normal", "Multiply", "Screen",     "Overlay",   "SoftLight", "HardLight",  "ColorDodge", "ColorBurn",
    "Darken", "Lighten",  "Difference", "Exclusion", "Hue",       "Saturation", "Color",      "Luminosity"};
inline constexpr const char* kKnockouts[] = {"Off", "On", "Inherit"};
inline constexpr const char* kCaps[] = {"butt", "round", "projecting"};
inline constexpr const char* kJoins[] = {"miter", "round", "bevel"};
inline constexpr const char* kStrokeAlignNames[] = {"Center", "Inside", "Outside"};
inline constexpr const char* kArrowAlignments[] = {"tipAtEnd", "attachmentPtAtEnd", "truncationPtAtEnd"};

// The eleven effects that the legacy mixed list puts before the paint.
inline constexpr const char* kPreEffectNames[] = {
    "Host Deform",         "Host Offset Path", "Host Outline Type",  "Host Pathfinder",
    "Host Punk and Bloat", "Host Roughen",     "Host Round Corners", "Host Scribble and Tweak",
    "Host Shape Effects",  "Host Twirl",       "Host Zigzag"};

template <std::size_t N>
inline std::string NameAt(const char* const (&names)[N], long long index) {
    return index >= 0 && index < static_cast<long long>(N) ? names[index] : std::string();
}

// Positions in the lists of a style edit are 0-based; kNoPosition means none, kEnd the end of a list.
inline constexpr int kNoPosition = -3;
inline constexpr int kEnd = -1;

// Inserts info at the position of a list of records, or appends it for kEnd or a position past the
// end.
template <typename Infos, typename Info>
void InsertInfo(Infos& infos, int at, Info info) {
    if (at == kEnd || at >= static_cast<int>(infos.size())) {
        infos.push_back(info);
    } else {
        infos.insert(infos.begin() + at, info);
    }
}

inline AIParserPaintField NthPaintField(AIStyleParser parser, int n) {
    AIParserPaintField field = nullptr;
    return sAIArtStyleParser->GetNthPaintField(parser, n, &field) == kNoErr ? field : nullptr;
}

inline AIDictKey KeyOf(const char* name) {
    AIDictKey key = nullptr;
    return sAIDictionary->Key(name, &key) == kNoErr ? key : nullptr;
}

// The host value of a name (its index in the table); -1 for another name.
template <std::size_t N>
int IndexOf(const char* const (&names)[N], const std::string& name) {
    for (std::size_t i = 0; i < N; ++i) {
        if (name == names[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

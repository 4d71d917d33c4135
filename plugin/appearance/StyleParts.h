// What the style records share when they talk to the host: the names of blend modes, knockouts,
// caps, joins and arrowhead alignments by their host values, and the positions of the lists that a
// style edit works on, and the live-effect lists of a parsed style.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "AIArtStyleParser.h"
#include "appearance/GStyle.h"
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

// The paint fields of a parsed style by position; null where the host refuses one.
inline std::vector<AIParserPaintField> PaintFields(AIStyleParser parser) {
    std::vector<AIParserPaintField> fields;
    for (int i = 0, count = sAIArtStyleParser->CountPaintFields(parser); i < count; ++i) {
        fields.push_back(NthPaintField(parser, i));
    }
    return fields;
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

// The live-effect lists of a parsed style: the pre- or post-effects, or a paint field's effects.
// Reading a paint field's list needs no parser (null).
class EffectList {
public:
    EffectList(AIStyleParser parser, bool pre) : fParser(parser), fPre(pre) {}
    EffectList(AIStyleParser parser, AIParserPaintField field) : fParser(parser), fField(field) {}

    int Count() const {
        if (fField != nullptr) {
            return sAIArtStyleParser->CountEffectsOfPaintField(fField);
        }
        return fPre ? sAIArtStyleParser->CountPreEffects(fParser)
                    : sAIArtStyleParser->CountPostEffects(fParser);
    }
    AIParserLiveEffect Get(int n) const {
        AIParserLiveEffect effect = nullptr;
        const AIErr error = fField != nullptr
                                ? sAIArtStyleParser->GetNthEffectOfPaintField(fField, n, &effect)
                            : fPre ? sAIArtStyleParser->GetNthPreEffect(fParser, n, &effect)
                                   : sAIArtStyleParser->GetNthPostEffect(fParser, n, &effect);
        return error == kNoErr ? effect : nullptr;
    }
    // Makes the effect and inserts it at n; false (nothing left behind) when a step fails.
    bool Insert(int n, const Effect& effect) const {
        AIParserLiveEffect made = nullptr;
        if (!effect.MakeAIParserEffect(fParser, made)) {
            return false;
        }
        const AIErr error = fField != nullptr
                                ? sAIArtStyleParser->InsertNthEffectOfPaintField(fParser, fField, n, made)
                            : fPre ? sAIArtStyleParser->InsertNthPreEffect(fParser, n, made)
                                   : sAIArtStyleParser->InsertNthPostEffect(fParser, n, made);
        if (error != kNoErr) {
            sAIArtStyleParser->RemoveEffect(fParser, made);
        }
        return error == kNoErr;
    }
    bool Remove(int n) const {
        const AIParserLiveEffect effect = Get(n);
        return effect != nullptr && sAIArtStyleParser->RemoveEffect(fParser, effect) == kNoErr;
    }
    std::vector<Effect> Read() const {
        std::vector<Effect> effects;
        for (int i = 0, count = Count(); i < count; ++i) {
            if (const AIParserLiveEffect effect = Get(i)) {
                effects.emplace_back(effect);
            }
        }
        return effects;
    }

private:
    AIStyleParser fParser;
    AIParserPaintField fField = nullptr;
    bool fPre = false;
};

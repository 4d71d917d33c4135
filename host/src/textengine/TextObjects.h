// The text engine's objects as the plug-in holds them: counted references to ranges, stories,
// frames, lines, paragraphs, features, styles, fonts and paints, and their iterators.
//
// Ranges (and paragraphs and lines, which are ranges) are live: they name a frame of their story
// and two positions, and every edit of the story moves their positions (an insertion shifts the
// boundaries after it and extends an end that equals its place; a removal collapses the boundaries
// inside it). Styles and resources name their document by its handle and the style by its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "host/HandleTable.h"
#include "model/Document.h"

namespace host {

struct TextRangeObject {
    model::ArtId anchor;  // a frame of the story
    std::size_t start = 0;
    std::size_t end = 0;
};
struct ParagraphObject {
    TextRangeObject range;
};
struct TextLineObject {
    TextRangeObject range;
};
struct StoryObject {
    model::ArtId anchor;
};
struct TextFrameObject {
    model::ArtId frame;
};
// An iterator over the items it was made with: frames, or the ranges of paragraphs or lines.
struct FramesIteratorObject {
    std::vector<model::ArtId> frames;
    std::size_t next = 0;
};
struct ParagraphsIteratorObject {
    std::vector<TextRangeObject> ranges;
    std::size_t next = 0;
};
struct LinesIteratorObject {
    std::vector<TextRangeObject> ranges;
    std::size_t next = 0;
};
struct CharFeaturesObject {
    model::CharFeatures features;
};
struct ParaFeaturesObject {
    model::ParaFeatures features;
};
struct CharStyleObject {
    std::uintptr_t document = 0;
    std::string name;
};
struct ParaStyleObject {
    std::uintptr_t document = 0;
    std::string name;
};
struct CharStylesObject {
    std::uintptr_t document = 0;
    std::vector<std::string> names;
};
struct ParaStylesObject {
    std::uintptr_t document = 0;
    std::vector<std::string> names;
};
struct CharStylesIteratorObject {
    CharStylesObject styles;
    std::size_t next = 0;
};
struct ParaStylesIteratorObject {
    ParaStylesObject styles;
    std::size_t next = 0;
};
struct TextResourcesObject {
    std::uintptr_t document = 0;
};
struct FontObject {
    std::size_t face = 0;  // in the installed font list
};
struct PaintObject {
    model::TextColor color;  // none: a fill or stroke that is off
};

using TextObject = std::variant<TextRangeObject, ParagraphObject, TextLineObject, StoryObject,
                                TextFrameObject, FramesIteratorObject, ParagraphsIteratorObject,
                                LinesIteratorObject, CharFeaturesObject, ParaFeaturesObject, CharStyleObject,
                                ParaStyleObject, CharStylesObject, ParaStylesObject, CharStylesIteratorObject,
                                ParaStylesIteratorObject, TextResourcesObject, FontObject, PaintObject>;

struct TextObjectRecord {
    TextObject object;
    std::int32_t count = 1;
};

// The text engine's registry: its counted objects, and how often reflow is suspended.
struct TextEngineRegistry {
    HandleTable<TextObjectRecord> objects;
    std::int32_t reflowSuspensions = 0;
};

}  // namespace host

// Reducing the appearance of art to its basic appearance (one fill and one stroke).
#pragma once

#include "AIArtStyleParser.h"
#include "art/ArtList.h"

// A parser holding the parts of an art object's style (or of a style), disposed of on every way
// out. Parsed() is false when the style can't be had, parsed, or built back.
class ParsedStyle {
public:
    explicit ParsedStyle(ArtObject* art);
    explicit ParsedStyle(AIArtStyleHandle style);
    ~ParsedStyle();
    ParsedStyle(const ParsedStyle&) = delete;
    ParsedStyle& operator=(const ParsedStyle&) = delete;

    bool Parsed() const { return fParsed; }
    AIStyleParser Get() const { return fParser; }

private:
    void Parse(AIArtStyleHandle style);

    AIStyleParser fParser = nullptr;
    bool fParsed = false;
};

// Parses the art's style, simplifies it to its basic appearance and, without keepPaint, removes
// that fill and stroke too; sets the result on the art. False when the style can't be parsed or a
// host call fails (the art keeps its style then).
bool ReduceArtToBasicAppearance(ArtObject* art, bool keepPaint);

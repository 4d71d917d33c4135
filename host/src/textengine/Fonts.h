// The fonts of the text engine: the TrueType faces of the system's DejaVu folder, read with
// FreeType (not fontconfig, whose substitutions differ between machines), in the order of their
// PostScript names. Metrics are in font units, unhinted.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Point.h"

typedef struct _cairo_font_face cairo_font_face_t;

namespace host::text {

inline constexpr const char* kFontFolder = "/usr/share/fonts/truetype/dejavu";

// The names of a face, taken from its name table (see docs/host.md for which name is which).
struct FontNames {
    std::string postScript;    // name 6
    std::string full;          // name 4
    std::string family;        // name 16, else name 1
    std::string style;         // name 17, else name 2
    std::string familyNative;  // name 1
    std::string styleNative;   // name 2
};

// One closed contour of a glyph, in font units: cubic segments from `start`, each three points.
struct GlyphContour {
    model::Point start;
    std::vector<model::Point> cubics;  // control, control, end; repeated
};

struct FontFace {
    std::string file;
    FontNames names;
    int unitsPerEm = 2048;
    int ascender = 0;   // above the baseline, font units
    int descender = 0;  // below the baseline, font units, positive
};

class FontList {
public:
    // The faces of a folder (not its subfolders), every file FreeType reads as a scalable face;
    // files it can't read are left out.
    explicit FontList(const std::string& folder);
    ~FontList();
    FontList(const FontList&) = delete;
    FontList& operator=(const FontList&) = delete;

    // The faces of kFontFolder, read once.
    static const FontList& Installed();

    const std::vector<FontFace>& Faces() const { return fFaces; }
    std::optional<std::size_t> IndexOf(std::string_view postScriptName) const;
    // The advance of the code point's glyph (the missing glyph's for a code point the face lacks).
    int Advance(std::size_t face, char32_t codePoint) const;
    // The outline of the glyph that shows the code point, quadratic pieces raised to cubics.
    std::vector<GlyphContour> Outline(std::size_t face, char32_t codePoint) const;
    // The index in the face of the glyph that shows the code point: the missing glyph (0) for a
    // code point the face lacks, the space for a control character (which shows nothing).
    unsigned GlyphIndex(std::size_t face, char32_t codePoint) const;
    // The face as cairo draws it, made once and held by the list; null when cairo can't have it.
    // Cairo sizes and turns the face it draws with, so it gets a face of its own, read from the same
    // file, which lives as long as cairo holds it.
    cairo_font_face_t* DrawingFace(std::size_t face) const;

private:
    struct Engine;
    std::unique_ptr<Engine> fEngine;
    std::vector<FontFace> fFaces;
};

}  // namespace host::text

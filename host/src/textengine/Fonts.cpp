#include "textengine/Fonts.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <unordered_map>

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H

#include "textengine/Text.h"

namespace host::text {

namespace {

// The name-table entries the font list uses.
constexpr FT_UShort kFamilyName = 1;
constexpr FT_UShort kStyleName = 2;
constexpr FT_UShort kFullName = 4;
constexpr FT_UShort kPostScriptName = 6;
constexpr FT_UShort kTypographicFamily = 16;
constexpr FT_UShort kTypographicStyle = 17;

// A name of the table: the Windows English (United States) entry, read as UTF-16 big-endian, else
// the Macintosh Roman English one, read as Latin-1; empty when neither is there.
std::string TableName(FT_Face face, FT_UShort nameId) {
    std::string roman;
    const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    for (FT_UInt index = 0; index < count; ++index) {
        FT_SfntName name;
        if (FT_Get_Sfnt_Name(face, index, &name) != 0 || name.name_id != nameId) {
            continue;
        }
        const bool windowsUnicode = name.platform_id == TT_PLATFORM_MICROSOFT &&
                                    name.encoding_id == TT_MS_ID_UNICODE_CS &&
                                    name.language_id == TT_MS_LANGID_ENGLISH_UNITED_STATES;
        if (windowsUnicode) {
            std::u16string units;
            for (FT_UInt byte = 0; byte + 1 < name.string_len; byte += 2) {
                units.push_back(static_cast<char16_t>((name.string[byte] << 8) | name.string[byte + 1]));
            }
            return EncodeUTF8(units);
        }
        const bool macRoman = name.platform_id == TT_PLATFORM_MACINTOSH &&
                              name.encoding_id == TT_MAC_ID_ROMAN &&
                              name.language_id == TT_MAC_LANGID_ENGLISH;
        if (macRoman && roman.empty()) {
            roman = EncodeUTF8(
                DecodeRoman(std::string_view(reinterpret_cast<const char*>(name.string), name.string_len)));
        }
    }
    return roman;
}

FontNames NamesOf(FT_Face face) {
    FontNames names;
    const char* postScript = FT_Get_Postscript_Name(face);
    names.postScript = postScript != nullptr ? postScript : TableName(face, kPostScriptName);
    names.full = TableName(face, kFullName);
    names.familyNative = TableName(face, kFamilyName);
    names.styleNative = TableName(face, kStyleName);
    names.family = TableName(face, kTypographicFamily);
    names.style = TableName(face, kTypographicStyle);
    if (names.family.empty()) {
        names.family = names.familyNative;
    }
    if (names.style.empty()) {
        names.style = names.styleNative;
    }
    return names;
}

struct OutlineSink {
    std::vector<GlyphContour> contours;
    model::Point current;

    static model::Point PointOf(const FT_Vector* vector) {
        return {static_cast<double>(vector->x), static_cast<double>(vector->y)};
    }
    static OutlineSink& Of(void* user) { return *static_cast<OutlineSink*>(user); }
    void Cubic(model::Point a, model::Point b, model::Point end) {
        if (contours.empty()) {
            contours.push_back(GlyphContour{current, {}});
        }
        contours.back().cubics.insert(contours.back().cubics.end(), {a, b, end});
        current = end;
    }

    static int MoveTo(const FT_Vector* to, void* user) {
        OutlineSink& sink = Of(user);
        sink.current = PointOf(to);
        sink.contours.push_back(GlyphContour{sink.current, {}});
        return 0;
    }
    static int LineTo(const FT_Vector* to, void* user) {
        OutlineSink& sink = Of(user);
        const model::Point end = PointOf(to);
        sink.Cubic(sink.current, end, end);
        return 0;
    }
    // A quadratic piece raised to a cubic: the controls two thirds of the way to the quadratic's.
    static int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
        OutlineSink& sink = Of(user);
        const model::Point c = PointOf(control);
        const model::Point end = PointOf(to);
        const model::Point a{sink.current.x + 2.0 / 3.0 * (c.x - sink.current.x),
                             sink.current.y + 2.0 / 3.0 * (c.y - sink.current.y)};
        const model::Point b{end.x + 2.0 / 3.0 * (c.x - end.x), end.y + 2.0 / 3.0 * (c.y - end.y)};
        sink.Cubic(a, b, end);
        return 0;
    }
    static int CubicTo(const FT_Vector* a, const FT_Vector* b, const FT_Vector* to, void* user) {
        Of(user).Cubic(PointOf(a), PointOf(b), PointOf(to));
        return 0;
    }
};

// The glyph that shows the code point. Control characters (a tab, a line feed) take the room of
// the missing glyph but show nothing: they show as the space, not as the missing glyph's box.
FT_UInt ShownGlyph(FT_Face face, char32_t codePoint) {
    const bool control = codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0);
    return FT_Get_Char_Index(face, control ? U' ' : codePoint);
}

// A face that cairo draws with: a FreeType library of its own and the face read with it, both done
// when cairo releases the font face (which may be after the font list is gone).
struct DrawingFaceOwner {
    FT_Library library;
    FT_Face face;
};

void ReleaseDrawingFace(void* data) {
    const std::unique_ptr<DrawingFaceOwner> owner(static_cast<DrawingFaceOwner*>(data));
    FT_Done_Face(owner->face);
    FT_Done_FreeType(owner->library);
}

const cairo_user_data_key_t kDrawingFaceKey{};

constexpr std::size_t kDirectAdvances = 256;
constexpr int kUnread = -1;

// The glyph's advance in font units; 0 for a glyph the face cannot load.
int ReadAdvance(FT_Face face, char32_t codePoint) {
    const FT_UInt glyph = FT_Get_Char_Index(face, codePoint);
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0) {
        return 0;
    }
    return static_cast<int>(face->glyph->advance.x);
}

}  // namespace

struct FontList::Engine {
    FT_Library library = nullptr;
    std::vector<FT_Face> faces;
    mutable std::vector<std::unordered_map<char32_t, int>> advances;
    // The advances of the first code points, which most text is made of, read without hashing
    // (kUnread until read).
    mutable std::vector<std::array<int, kDirectAdvances>> directAdvances;
    // Made when first drawn with; the list holds one reference of each.
    mutable std::vector<cairo_font_face_t*> drawingFaces;

    ~Engine() {
        for (cairo_font_face_t* face : drawingFaces) {
            if (face != nullptr) {
                cairo_font_face_destroy(face);
            }
        }
        for (FT_Face face : faces) {
            FT_Done_Face(face);
        }
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
    }
};

FontList::FontList(const std::string& folder) : fEngine(std::make_unique<Engine>()) {
    if (FT_Init_FreeType(&fEngine->library) != 0) {
        fEngine->library = nullptr;
        return;
    }
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file(error)) {
            files.push_back(entry.path());
        }
    }
    std::vector<std::pair<FontFace, FT_Face>> found;
    for (const std::filesystem::path& file : files) {
        FT_Face face = nullptr;
        if (FT_New_Face(fEngine->library, file.c_str(), 0, &face) != 0) {
            continue;
        }
        FontFace record{file.string(), NamesOf(face), face->units_per_EM, face->ascender, -face->descender};
        if (!FT_IS_SCALABLE(face) || record.names.postScript.empty() || record.unitsPerEm <= 0) {
            FT_Done_Face(face);
            continue;
        }
        found.emplace_back(std::move(record), face);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::tie(a.first.names.postScript, a.first.file) <
               std::tie(b.first.names.postScript, b.first.file);
    });
    for (auto& [record, face] : found) {
        fFaces.push_back(std::move(record));
        fEngine->faces.push_back(face);
    }
    fEngine->advances.resize(fFaces.size());
    std::array<int, kDirectAdvances> unread{};
    unread.fill(kUnread);
    fEngine->directAdvances.resize(fFaces.size(), unread);
    fEngine->drawingFaces.resize(fFaces.size(), nullptr);
}

FontList::~FontList() = default;

const FontList& FontList::Installed() {
    static const FontList installed(kFontFolder);
    return installed;
}

std::optional<std::size_t> FontList::IndexOf(std::string_view postScriptName) const {
    for (std::size_t index = 0; index < fFaces.size(); ++index) {
        if (fFaces[index].names.postScript == postScriptName) {
            return index;
        }
    }
    return std::nullopt;
}

int FontList::Advance(std::size_t face, char32_t codePoint) const {
    if (face >= fFaces.size()) {
        return 0;
    }
    if (codePoint < kDirectAdvances) {
        int& direct = fEngine->directAdvances[face][codePoint];
        if (direct == kUnread) {
            direct = ReadAdvance(fEngine->faces[face], codePoint);
        }
        return direct;
    }
    auto& cache = fEngine->advances[face];
    if (const auto known = cache.find(codePoint); known != cache.end()) {
        return known->second;
    }
    const int advance = ReadAdvance(fEngine->faces[face], codePoint);
    cache.emplace(codePoint, advance);
    return advance;
}

std::vector<GlyphContour> FontList::Outline(std::size_t face, char32_t codePoint) const {
    if (face >= fFaces.size()) {
        return {};
    }
    FT_Face ftFace = fEngine->faces[face];
    const FT_UInt glyph = ShownGlyph(ftFace, codePoint);
    if (FT_Load_Glyph(ftFace, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0 ||
        ftFace->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
        return {};
    }
    const FT_Outline_Funcs funcs{
        &OutlineSink::MoveTo, &OutlineSink::LineTo, &OutlineSink::ConicTo, &OutlineSink::CubicTo, 0, 0};
    OutlineSink sink;
    FT_Outline_Decompose(&ftFace->glyph->outline, &funcs, &sink);
    std::erase_if(sink.contours, [](const GlyphContour& contour) { return contour.cubics.empty(); });
    return sink.contours;
}

unsigned FontList::GlyphIndex(std::size_t face, char32_t codePoint) const {
    return face < fFaces.size() ? ShownGlyph(fEngine->faces[face], codePoint) : 0;
}

cairo_font_face_t* FontList::DrawingFace(std::size_t face) const {
    if (face >= fFaces.size()) {
        return nullptr;
    }
    cairo_font_face_t*& drawing = fEngine->drawingFaces[face];
    if (drawing != nullptr) {
        return drawing;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        return nullptr;
    }
    FT_Face ftFace = nullptr;
    if (FT_New_Face(library, fFaces[face].file.c_str(), 0, &ftFace) != 0) {
        FT_Done_FreeType(library);
        return nullptr;
    }
    auto owner = std::make_unique<DrawingFaceOwner>(DrawingFaceOwner{library, ftFace});
    // Unhinted, as the layout measures and the outlines follow the glyphs.
    cairo_font_face_t* made = cairo_ft_font_face_create_for_ft_face(ftFace, FT_LOAD_NO_HINTING);
    if (cairo_font_face_status(made) != CAIRO_STATUS_SUCCESS ||
        cairo_font_face_set_user_data(made, &kDrawingFaceKey, owner.get(), &ReleaseDrawingFace) !=
            CAIRO_STATUS_SUCCESS) {
        // Cairo could not take the face: nothing of cairo's refers to it.
        cairo_font_face_destroy(made);
        ReleaseDrawingFace(owner.release());
        return nullptr;
    }
    owner.release();
    drawing = made;
    return drawing;
}

}  // namespace host::text

#include "textengine/Outline.h"

#include <algorithm>
#include <numbers>

#include "textengine/Fonts.h"
#include "textengine/Layout.h"

namespace host::text {

namespace {

// Justification codes: 0 left, 1 right, 2 centre, 3 to 6 full with the last line left, right,
// centred or full.
constexpr int kRight = 1;
constexpr int kCentre = 2;
constexpr int kFullLastRight = 4;
constexpr int kFullLastCentre = 5;
constexpr int kFullAll = 6;

bool IsSpace(char16_t unit) {
    return unit == u' ' || unit == u'\t';
}

// Where a line's glyphs move: the whole line, and each space's extra width under full justification.
struct LineShift {
    double start = 0;
    double perSpace = 0;
};

LineShift ShiftOf(const std::u16string& text, const LaidLine& line, double width, int justification) {
    std::size_t last = line.end;  // one past the last glyph that is no space nor break
    while (last > line.start && (IsSpace(text[last - 1]) || text[last - 1] == u'\r')) {
        --last;
    }
    if (last == line.start) {
        return {};
    }
    const std::size_t index = last - 1 - line.start;
    const double extra = width - (line.x[index] + line.advance[index]);
    if (extra <= 0) {
        return {};
    }
    const bool lastOfParagraph = line.end == text.size() || text[line.end - 1] == u'\r';
    int align = justification;
    if (justification > kCentre) {
        const bool full = justification == kFullAll || !lastOfParagraph;
        const auto spaces = std::count_if(text.begin() + static_cast<std::ptrdiff_t>(line.start),
                                          text.begin() + static_cast<std::ptrdiff_t>(last), IsSpace);
        if (full && spaces > 0) {
            return {0, extra / static_cast<double>(spaces)};
        }
        align = justification == kFullLastRight ? kRight : justification == kFullLastCentre ? kCentre : 0;
    }
    return {align == kRight ? extra : align == kCentre ? extra / 2 : 0, 0};
}

model::PathGeometry ContourPath(const GlyphContour& contour, const model::Matrix& matrix) {
    model::PathGeometry path;
    path.closed = true;
    path.segments.push_back(model::Segment::straight(contour.start));
    for (std::size_t index = 0; index + 2 < contour.cubics.size(); index += 3) {
        path.segments.back().out = contour.cubics[index];
        model::Segment next = model::Segment::straight(contour.cubics[index + 2]);
        next.in = contour.cubics[index + 1];
        path.segments.push_back(next);
    }
    // The contour ends where it began: the closing piece's end is the first anchor.
    if (path.segments.size() > 1 && path.segments.back().anchor == contour.start) {
        path.segments.front().in = path.segments.back().in;
        path.segments.pop_back();
    }
    for (model::Segment& segment : path.segments) {
        segment.corner = false;
    }
    path.transform(matrix);
    return path;
}

// Font units of the unit's glyph to the place of its origin (x along the line, baseline up).
model::Matrix GlyphMatrix(const model::CharFeatures& features, const FontFace& face, model::Point origin) {
    const double scale = features.fontSize.value_or(12.0) / face.unitsPerEm;
    const double turn = features.characterRotation.value_or(0.0) * std::numbers::pi / 180.0;
    return model::Matrix::scaling(scale * features.horizontalScale.value_or(1.0),
                                  scale * features.verticalScale.value_or(1.0))
        .then(model::Matrix::rotation(turn))
        .then(model::Matrix::translation(origin.x, origin.y + features.baselineShift.value_or(0.0)));
}

}  // namespace

std::vector<PlacedGlyph> PlaceGlyphs(const model::Document& document, model::ArtId frame) {
    std::vector<PlacedGlyph> glyphs;
    const auto* content = document.contentAs<model::TextFrameContent>(frame);
    const model::Story* story = document.story(frame);
    if (content == nullptr || story == nullptr) {
        return glyphs;
    }
    const StoryLayout layout = LayOut(document, frame);
    const auto own = std::find_if(layout.frames.begin(), layout.frames.end(),
                                  [frame](const FrameLayout& laid) { return laid.frame == frame; });
    if (own == layout.frames.end()) {
        return glyphs;
    }
    const FontList& fonts = FontList::Installed();
    const std::u16string& text = story->text();
    const model::TextStyles& styles = document.textStyles();
    for (const LaidLine& line : own->lines) {
        LineShift shift;
        if (content->kind == model::TextKind::area) {
            const int justification =
                story->effectivePara(story->paragraphAt(line.start), styles).justification.value_or(0);
            shift = ShiftOf(text, line, content->box.frame.width(), justification);
        }
        double spaces = 0;
        for (std::size_t unit = line.start; unit < line.end; ++unit) {
            const double x = shift.start + shift.perSpace * spaces + line.x[unit - line.start];
            if (IsSpace(text[unit])) {
                ++spaces;
            }
            if (text[unit] == u'\r' || IsSecondOfPair(text, unit)) {
                continue;
            }
            const model::CharFeatures features = story->effectiveChar(unit, styles);
            const std::size_t face = fonts.IndexOf(features.font.value_or("")).value_or(0);
            if (face >= fonts.Faces().size()) {
                continue;
            }
            PlacedGlyph glyph{unit, face, CodePointAt(text, unit), {}, std::nullopt, std::nullopt, 0.0};
            if (content->kind == model::TextKind::onPath) {
                glyph.place = GlyphMatrix(features, fonts.Faces()[face], PointAlong(content->path, x));
            } else {
                const model::Rect& box = content->box.frame;
                glyph.place =
                    GlyphMatrix(features, fonts.Faces()[face], {box.left + x, box.top - line.baseline})
                        .then(content->box.matrix);
            }
            if (features.fill.value_or(true) && features.fillColor) {
                glyph.fill = features.fillColor;
            }
            if (features.stroke.value_or(false) && features.strokeColor) {
                glyph.stroke = features.strokeColor;
                glyph.strokeWidth = features.lineWidth.value_or(1.0);
            }
            glyphs.push_back(std::move(glyph));
        }
    }
    return glyphs;
}

std::vector<model::OutlineShape> GlyphShapes(const model::Document& document, model::ArtId frame) {
    std::vector<model::OutlineShape> shapes;
    const FontList& fonts = FontList::Installed();
    for (const PlacedGlyph& glyph : PlaceGlyphs(document, frame)) {
        const std::vector<GlyphContour> contours = fonts.Outline(glyph.face, glyph.codePoint);
        if (contours.empty()) {
            continue;
        }
        model::OutlineShape shape{{}, model::ArtStyle::basic(glyph.fill, glyph.stroke, glyph.strokeWidth)};
        for (const GlyphContour& contour : contours) {
            shape.contours.push_back(ContourPath(contour, glyph.place));
        }
        shapes.push_back(std::move(shape));
    }
    return shapes;
}

}  // namespace host::text

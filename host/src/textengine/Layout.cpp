#include "textengine/Layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/Unicode.h"
#include "textengine/Fonts.h"

namespace host::text {

namespace {

constexpr double kTolerance = 1e-9;
constexpr int kCurvePieces = 32;
constexpr double kAutoLeading = 1.2;
// Units measured before the metrics first grow: a short story's all, a long one's first lines.
constexpr std::size_t kUnitsReserved = 4096;

// What the layout needs of one unit's features.
struct UnitMetrics {
    double advance = 0;
    double ascent = 0;
    double descent = 0;
    double leading = 0;
    double size = 0;
};

// What the layout needs of one stretch of units that share their features: found once per stretch,
// so that each unit costs only its advance.
struct StretchMetrics {
    const FontList* fonts = nullptr;
    std::optional<std::size_t> face;  // none: a font the list lacks, which shows nothing
    double size = 0;
    double scale = 0;  // points per font unit
    double ascent = 0;
    double descent = 0;
    double leading = 0;
    double horizontalScale = 1;
    double tracking = 0;  // points added to every advance
};

StretchMetrics MetricsOf(const model::CharFeatures& features) {
    const FontList& fonts = FontList::Installed();
    const std::size_t face = fonts.IndexOf(features.font.value_or("")).value_or(0);
    StretchMetrics metrics;
    metrics.fonts = &fonts;
    const double size = features.fontSize.value_or(12.0);
    metrics.size = size;
    if (face >= fonts.Faces().size()) {
        return metrics;
    }
    const FontFace& font = fonts.Faces()[face];
    metrics.face = face;
    metrics.scale = size / font.unitsPerEm;
    metrics.ascent = font.ascender * metrics.scale;
    metrics.descent = font.descender * metrics.scale;
    metrics.leading =
        features.autoLeading.value_or(true) ? kAutoLeading * size : features.leading.value_or(0.0);
    metrics.horizontalScale = features.horizontalScale.value_or(1.0);
    metrics.tracking = features.tracking.value_or(0) / 1000.0 * size;
    return metrics;
}

UnitMetrics MetricsOf(const StretchMetrics& stretch, char32_t code) {
    UnitMetrics metrics;
    metrics.size = stretch.size;
    if (!stretch.face) {
        return metrics;
    }
    metrics.ascent = stretch.ascent;
    metrics.descent = stretch.descent;
    metrics.leading = stretch.leading;
    if (code != U'\r') {
        metrics.advance =
            stretch.fonts->Advance(*stretch.face, code) * stretch.scale * stretch.horizontalScale +
            stretch.tracking;
    }
    return metrics;
}

// Every unit's metrics, worked out as the layout reaches the unit, so that what no frame takes is
// never measured; the second unit of a surrogate pair has no advance of its own.
class StoryMetrics {
public:
    StoryMetrics(const model::Story& story, const model::TextStyles& styles)
        : fStory(story), fStyles(styles), fText(story.text()), fRuns(story.charRuns()) {
        fUnits.reserve(std::min(fText.size(), kUnitsReserved));
    }

    // index lies within the story.
    const UnitMetrics& operator[](std::size_t index) {
        while (fUnits.size() <= index) {
            Extend();
        }
        return fUnits[index];
    }

private:
    // Measures the rest of the current run inside its paragraph, with one resolution of features.
    void Extend() {
        while (fOffset == fRuns[fRun].length) {
            ++fRun;
            fOffset = 0;
        }
        const model::CharRun& run = fRuns[fRun];
        const StretchMetrics stretch =
            MetricsOf(model::resolveChar(run.local, run.style, fStory.paragraph(fParagraph).style, fStyles));
        while (fOffset < run.length) {
            const std::size_t position = fUnits.size();
            const char16_t unit = fText[position];
            fUnits.push_back(MetricsOf(stretch, CodePointAt(fText, position)));
            if (IsSecondOfPair(fText, position)) {
                fUnits.back().advance = 0;
            }
            ++fOffset;
            if (unit == u'\r') {
                ++fParagraph;
                return;
            }
        }
    }

    const model::Story& fStory;
    const model::TextStyles& fStyles;
    const std::u16string& fText;
    const std::vector<model::CharRun>& fRuns;
    std::vector<UnitMetrics> fUnits;
    std::size_t fRun = 0;
    std::size_t fOffset = 0;  // units of the current run measured
    std::size_t fParagraph = 0;
};

// The frame's own room for text: its width (infinite for point text, the path's length for text
// on a path) and height (infinite unless area text that does not size itself).
struct Room {
    double width = std::numeric_limits<double>::infinity();
    double height = std::numeric_limits<double>::infinity();
    bool wraps = false;    // area text wraps at spaces
    bool oneLine = false;  // text on a path: one line, paragraphs and all
};

double CurveLength(const model::Point& a, const model::Point& b, const model::Point& c,
                   const model::Point& d) {
    double length = 0;
    model::Point previous = a;
    for (int piece = 1; piece <= kCurvePieces; ++piece) {
        const double t = static_cast<double>(piece) / kCurvePieces;
        const double u = 1 - t;
        const model::Point point{
            u * u * u * a.x + 3 * u * u * t * b.x + 3 * u * t * t * c.x + t * t * t * d.x,
            u * u * u * a.y + 3 * u * u * t * b.y + 3 * u * t * t * c.y + t * t * t * d.y};
        length += std::hypot(point.x - previous.x, point.y - previous.y);
        previous = point;
    }
    return length;
}

double PathLength(const model::PathGeometry& path) {
    const std::size_t count = path.segments.size();
    double length = 0;
    const std::size_t pieces = path.closed ? count : (count == 0 ? 0 : count - 1);
    for (std::size_t index = 0; index < pieces; ++index) {
        const model::Segment& from = path.segments[index];
        const model::Segment& to = path.segments[(index + 1) % count];
        length += CurveLength(from.anchor, from.out, to.in, to.anchor);
    }
    return length;
}

Room RoomOf(const model::TextFrameContent& frame) {
    Room room;
    switch (frame.kind) {
        case model::TextKind::point:
            break;
        case model::TextKind::area:
            room.wraps = true;
            room.width = frame.box.frame.width();
            if (!frame.autoSize) {
                room.height = frame.box.frame.height();
            }
            break;
        case model::TextKind::onPath:
            room.oneLine = true;
            room.width = PathLength(frame.path);
            break;
    }
    return room;
}

bool IsSpace(char16_t unit) {
    return unit == u' ' || unit == u'\t';
}

// Sets one line from `start`: the end of the line, or none when not even its first glyph fits.
std::optional<std::size_t> LineEnd(const std::u16string& text, StoryMetrics& metrics, std::size_t start,
                                   double width, const Room& room) {
    double x = 0;
    std::size_t afterSpaces = 0;  // where the line may break: after a run of spaces
    std::size_t index = start;
    while (index < text.size()) {
        const char16_t unit = text[index];
        if (unit == u'\r' && !room.oneLine) {
            return index + 1;
        }
        const double advance = metrics[index].advance;
        if (room.wraps && IsSpace(unit)) {
            x += advance;
            afterSpaces = ++index;
            continue;
        }
        if (x + advance > width + kTolerance) {
            if (afterSpaces > start) {
                return afterSpaces;
            }
            if (index == start) {
                return std::nullopt;
            }
            return index;
        }
        x += advance;
        ++index;
    }
    return index;
}

LaidLine MakeLine(StoryMetrics& metrics, std::size_t start, std::size_t end, double indent) {
    LaidLine line;
    line.start = start;
    line.end = end;
    line.x.reserve(end - start);
    line.advance.reserve(end - start);
    double x = indent;
    for (std::size_t index = start; index < end; ++index) {
        const UnitMetrics& unit = metrics[index];
        line.ascent = std::max(line.ascent, unit.ascent);
        line.descent = std::max(line.descent, unit.descent);
        line.x.push_back(x);
        line.advance.push_back(unit.advance);
        x += unit.advance;
    }
    return line;
}

double LineLeading(StoryMetrics& metrics, const LaidLine& line) {
    double leading = 0;
    for (std::size_t index = line.start; index < line.end; ++index) {
        leading = std::max(leading, metrics[index].leading);
    }
    return leading;
}

// Lays out as much of the story from `start` as the frame takes.
FrameLayout LayOutFrame(const model::Story& story, const model::TextStyles& styles, StoryMetrics& metrics,
                        model::ArtId frameId, const model::TextFrameContent& frame, std::size_t start) {
    const Room room = RoomOf(frame);
    const std::u16string& text = story.text();
    FrameLayout layout{frameId, start, start, {}};
    std::size_t position = start;
    while (position < text.size()) {
        const bool firstOfParagraph = position == 0 || text[position - 1] == u'\r';
        const double indent =
            firstOfParagraph && room.wraps
                ? story.effectivePara(story.paragraphAt(position), styles).firstLineIndent.value_or(0.0)
                : 0.0;
        const std::optional<std::size_t> end = LineEnd(text, metrics, position, room.width - indent, room);
        if (!end) {
            break;
        }
        LaidLine line = MakeLine(metrics, position, *end, indent);
        line.baseline =
            layout.lines.empty() ? line.ascent : layout.lines.back().baseline + LineLeading(metrics, line);
        if (line.baseline + line.descent > room.height + kTolerance) {
            break;
        }
        position = *end;
        layout.lines.push_back(std::move(line));
        if (room.oneLine) {
            break;
        }
    }
    layout.end = position;
    return layout;
}

}  // namespace

char32_t CodePointAt(const std::u16string& text, std::size_t position) {
    return model::codePointAt(text, position);
}

bool IsSecondOfPair(const std::u16string& text, std::size_t position) {
    return model::isLowSurrogate(text[position]) && position > 0 &&
           model::isHighSurrogate(text[position - 1]);
}

model::Point PointAlong(const model::PathGeometry& path, double distance) {
    const std::size_t count = path.segments.size();
    if (count == 0) {
        return {};
    }
    const std::size_t pieces = path.closed ? count : count - 1;
    for (std::size_t index = 0; index < pieces; ++index) {
        const model::Segment& from = path.segments[index];
        const model::Segment& to = path.segments[(index + 1) % count];
        const double length = CurveLength(from.anchor, from.out, to.in, to.anchor);
        if (distance <= length && length > 0) {
            const double t = distance / length;
            const double u = 1 - t;
            return {u * u * u * from.anchor.x + 3 * u * u * t * from.out.x + 3 * u * t * t * to.in.x +
                        t * t * t * to.anchor.x,
                    u * u * u * from.anchor.y + 3 * u * u * t * from.out.y + 3 * u * t * t * to.in.y +
                        t * t * t * to.anchor.y};
        }
        distance -= length;
    }
    return path.segments[pieces % count].anchor;
}

std::optional<std::pair<std::size_t, std::size_t>> StoryLayout::Locate(std::size_t unit) const {
    for (std::size_t frame = 0; frame < frames.size(); ++frame) {
        const std::vector<LaidLine>& lines = frames[frame].lines;
        for (std::size_t line = 0; line < lines.size(); ++line) {
            if (unit >= lines[line].start && unit < lines[line].end) {
                return std::pair{frame, line};
            }
        }
    }
    return std::nullopt;
}

StoryLayout LayOut(const model::Document& document, model::ArtId frame) {
    StoryLayout layout;
    const model::Story* story = document.story(frame);
    const model::Result<std::vector<model::ArtId>> frames = document.thread(frame);
    if (story == nullptr || !frames) {
        return layout;
    }
    StoryMetrics metrics(*story, document.textStyles());
    layout.frames.reserve(frames->size());
    std::size_t position = 0;
    for (const model::ArtId id : *frames) {
        layout.frames.push_back(LayOutFrame(*story, document.textStyles(), metrics, id,
                                            *document.contentAs<model::TextFrameContent>(id), position));
        position = layout.frames.back().end;
    }
    layout.laidEnd = position;
    return layout;
}

std::optional<model::Rect> SpanBounds(const model::Document& document, const StoryLayout& layout,
                                      model::TextSpan span) {
    model::Rect bounds;
    for (std::size_t unit = span.start; unit < span.end; ++unit) {
        const auto place = layout.Locate(unit);
        if (!place) {
            return std::nullopt;
        }
        const FrameLayout& frame = layout.frames[place->first];
        const LaidLine& line = frame.lines[place->second];
        const std::size_t index = unit - line.start;
        const auto* content = document.contentAs<model::TextFrameContent>(frame.frame);
        model::Rect glyph;
        if (content->kind == model::TextKind::onPath) {
            const model::Point at = PointAlong(content->path, line.x[index]);
            glyph = model::Rect(at.x, at.y + line.ascent, at.x + line.advance[index], at.y - line.descent);
        } else {
            const model::Rect& box = content->box.frame;
            const double baseline = box.top - line.baseline;
            const model::Rect local(box.left + line.x[index], baseline + line.ascent,
                                    box.left + line.x[index] + line.advance[index], baseline - line.descent);
            glyph = content->box.matrix.mapRect(local);
        }
        bounds = bounds.united(glyph);
    }
    return bounds;
}

double NeededHeight(const FrameLayout& frame) {
    return frame.lines.empty() ? 0.0 : frame.lines.back().baseline + frame.lines.back().descent;
}

}  // namespace host::text

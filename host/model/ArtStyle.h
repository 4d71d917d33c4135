// Art styles: the whole appearance of an art object as a plain value. A style holds paint fields
// (a fill, a stroke, or neither, each with its own colour, overprint, stroke parameters, effects,
// visibility, fill rule and blend), the live effects applied before and after the paint fields,
// where the object's contents sit among the paint fields, and the transparency of the whole.
//
// Paint fields are kept in painting order: the first is painted first (lowest). The focal fill and
// focal stroke (the fill and the stroke that carry the focus, else the first of each kind) are the
// object's basic appearance, which the path-style record shows.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "model/Dictionary.h"
#include "model/Matrix.h"
#include "model/Point.h"
#include "model/Status.h"

#include <functional>
#include <utility>

namespace host::model {

// Where a fill or stroke lays its gradient out, in the art's coordinates: the gradient's axis starts
// at the origin and runs `length` points at `angle` degrees (counter-clockwise from the x axis); a
// radial gradient's circle has the origin as centre and the length as radius, and its highlight (the
// focal point) lies highlightLength times the length from the origin at highlightAngle degrees. The
// matrix then maps the whole layout. A length of 0 lays the gradient across the painted art's
// bounds instead: along the angle through their centre, a radial one from their centre to their
// farthest side.
struct GradientPlacement {
    Point origin;
    double angle = 0.0;
    double length = 0.0;
    double highlightAngle = 0.0;
    double highlightLength = 0.0;
    Matrix matrix;
    bool operator==(const GradientPlacement&) const = default;
};

// A colour: none, a grey level, process CMYK or RGB, components from 0 to 1 (grey: 0 white, 1
// black); or a document resource by its name: a custom colour at a tint (values[0], 0 the full
// colour, 1 none of it), a pattern or a gradient (laid out by `placement`).
struct Color {
    enum class Kind { none, gray, cmyk, rgb, custom, pattern, gradient };
    Kind kind = Kind::none;
    std::array<double, 4> values{};  // gray: [gray]; cmyk: c, m, y, k; rgb: r, g, b; custom: [tint]
    std::string resource;            // custom, pattern, gradient: the resource's name
    GradientPlacement placement;     // gradient only

    static Color none() { return {}; }
    static Color gray(double level) { return of(Kind::gray, {level, 0, 0, 0}); }
    static Color rgb(double red, double green, double blue) { return of(Kind::rgb, {red, green, blue, 0}); }
    static Color cmyk(double c, double m, double y, double k) { return of(Kind::cmyk, {c, m, y, k}); }
    static Color custom(std::string name, double tint) {
        return of(Kind::custom, {tint, 0, 0, 0}, std::move(name));
    }
    static Color pattern(std::string name) { return of(Kind::pattern, {}, std::move(name)); }
    static Color gradient(std::string name, GradientPlacement placement = {}) {
        Color color = of(Kind::gradient, {}, std::move(name));
        color.placement = placement;
        return color;
    }
    static Color black() { return gray(1.0); }

    bool paints() const { return kind != Kind::none; }
    bool isResource() const {
        return kind == Kind::custom || kind == Kind::pattern || kind == Kind::gradient;
    }
    // How many of `values` the kind uses: 0, 1 (gray, and the tint of custom), 4 or 3.
    std::size_t componentCount() const;
    bool operator==(const Color&) const = default;

private:
    static Color of(Kind kind, std::array<double, 4> values, std::string resource = {}) {
        Color color;
        color.kind = kind;
        color.values = values;
        color.resource = std::move(resource);
        return color;
    }
};

// The colour as red, green and blue from 0 to 1 (what a screen shows of it); black for none. A
// resource shows as mid grey here: the document resolves it (Document::flatColor).
std::array<double, 3> toRgb(const Color& color);

// Transparency: blend mode (0 normal to 15 luminosity), opacity from 0 to 1, whether the opacity
// applies, isolation, knockout (0 off, 1 on, 2 inherit) and whether opacity defines knockout.
struct BlendAttributes {
    int mode = 0;
    double opacity = 1.0;
    bool opacityEnabled = true;
    bool isolated = false;
    int knockout = 0;
    bool alphaIsShape = false;
    bool operator==(const BlendAttributes&) const = default;
};

// A live effect: the host's effect name, its version, whether it shows, and its parameters.
struct Effect {
    std::string name;
    int version = 1;
    bool visible = true;
    Dictionary parameters;
    bool operator==(const Effect&) const = default;
};

struct FillPaint {
    Color color;
    bool overprint = false;
    bool operator==(const FillPaint&) const = default;
};

enum class LineCap { butt = 0, round = 1, projecting = 2 };
enum class LineJoin { miter = 0, round = 1, bevel = 2 };

struct StrokePaint {
    Color color;
    bool overprint = false;
    double width = 1.0;  // points
    LineCap cap = LineCap::butt;
    LineJoin join = LineJoin::miter;
    double miterLimit = 4.0;
    std::vector<double> dashes;  // dash and gap lengths; empty: solid
    double dashOffset = 0.0;
    // Further stroke parameters (alignment, brushes, arrowheads) under the host's keys.
    Dictionary parameters;
    bool operator==(const StrokePaint&) const = default;
};

struct PaintField {
    // Neither (a paint field that only carries effects), a fill or a stroke.
    std::variant<std::monostate, FillPaint, StrokePaint> paint;
    std::vector<Effect> effects;
    bool visible = true;
    bool evenOdd = false;
    BlendAttributes blend;
    // The focus fill or focus stroke of its style (at most one of each kind carries it).
    bool focus = false;

    static PaintField fill(Color color);
    static PaintField stroke(Color color, double width);
    bool isFill() const { return std::holds_alternative<FillPaint>(paint); }
    bool isStroke() const { return std::holds_alternative<StrokePaint>(paint); }
    const FillPaint* fillPaint() const { return std::get_if<FillPaint>(&paint); }
    FillPaint* fillPaint() { return std::get_if<FillPaint>(&paint); }
    const StrokePaint* strokePaint() const { return std::get_if<StrokePaint>(&paint); }
    StrokePaint* strokePaint() { return std::get_if<StrokePaint>(&paint); }
    // Visible, and its colour paints something.
    bool paints() const;
    bool operator==(const PaintField&) const = default;
};

// The limits a style's numbers must keep: finite widths and miter limits at least 0 (a miter limit
// at least 1), colour components and opacities from 0 to 1, blend modes 0 to 15, knockout 0 to 2,
// dashes at least 0, a contents position from 0 to the number of paint fields.
constexpr int kLastBlendMode = 15;
constexpr int kLastKnockout = 2;

struct ArtStyle {
    std::vector<Effect> preEffects;
    std::vector<PaintField> paintFields;
    // Where the object's contents (a group's members) are painted: above the first n paint fields.
    // 0 paints them below every paint field.
    std::size_t contentsPosition = 0;
    std::vector<Effect> postEffects;
    BlendAttributes blend;

    // A style with one fill and, when width is above 0, one stroke of the colour.
    static ArtStyle basic(std::optional<Color> fill, std::optional<Color> stroke, double strokeWidth);
    // The style older documents describe with a stroke width alone: one black stroke of that width,
    // or nothing for 0.
    static ArtStyle ofStrokeWidth(double width);

    std::optional<std::size_t> focalFillIndex() const;
    std::optional<std::size_t> focalStrokeIndex() const;
    // The widest stroke that paints: what the visible bounds add half of on every side; 0 when none
    // paints.
    double strokeWidth() const;
    // Multiplies every stroke's width (and dashes) by the factor.
    void scaleStrokes(double factor);
    // Moves the gradients that fills and strokes lay out themselves (a placement of length above 0)
    // with the art, through the matrix; the others follow the art's bounds anyway.
    void transformGradients(const Matrix& matrix);
    // The basic appearance: the focal fill and focal stroke alone (fill below stroke), without
    // effects or transparency, the contents at the bottom.
    ArtStyle simplified() const;
    // True when the style is what ofStrokeWidth(width) gives for some width, stored in *width.
    bool isStrokeWidthOnly(double* width) const;
    // ok when every number keeps its limits.
    Status check() const;
    bool operator==(const ArtStyle&) const = default;
};

// ok when the paint keeps the style's limits.
Status checkPaint(const FillPaint& fill);
Status checkPaint(const StrokePaint& stroke);

// Calls visit for every colour the style holds (paint fields, and the fill and stroke entries of
// effect and stroke parameters, nested dictionaries included); visit may change it. A dictionary
// also offers the colours of the art copies its entries hold (forEachColor of ArtTree.h), unless
// keptArt is false.
using ColorVisitor = std::function<void(Color&)>;
void forEachColor(ArtStyle& style, const ColorVisitor& visit);
void forEachColor(Dictionary& dictionary, const ColorVisitor& visit, bool keptArt = true);

}  // namespace host::model

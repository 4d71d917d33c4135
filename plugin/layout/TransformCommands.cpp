// The commands that change the geometry of found art: "translate" moves it, "rotate" turns each
// object about the centre of its bounds, and "transform" rotates, shears, scales (also to a target
// size), flips and places each object about a reference point.
//
// Each command reduces the found art to its top-most objects, so that an object found together
// with one of its ancestors moves (or turns) once, and transforms the leaves of each with one
// matrix.
#include <cmath>
#include <optional>
#include <string>

#include "AIHardSoft.h"
#include "art/ArtTree.h"
#include "art/TagSearch.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Preferences.h"
#include "core/Suites.h"
#include "core/TextHelpers.h"
#include "core/Units.h"
#include "layout/Geometry.h"
#include "layout/LayoutRequest.h"
#include "layout/LayoutScopes.h"
#include "layout/ReferencePoints.h"

namespace {

// Shears closer than this to a right angle (in degrees) would stretch art towards infinity.
constexpr double kShearTolerance = 1e-3;

// The found art reduced to its top-most objects.
ArtList FindTopMost(const std::string& tagSearch) {
    return RemoveLeaves2(SearchTaggedArt(tagSearch));
}

ai::int32 ReadTransformOptions(const json& request, bool withScaleLines) {
    ai::int32 options = 0;
    if (ReadBoolStrictly(request, "transformObjects", true)) {
        options |= kTransformObjects;
    }
    if (ReadBoolStrictly(request, "changeFillPatterns", true)) {
        options |= kTransformFillPatterns;
    }
    if (ReadBoolStrictly(request, "changeStrokePattern", true)) {
        options |= kTransformStrokePatterns;
    }
    if (withScaleLines && ReadBoolStrictly(request, "scaleLines", true)) {
        options |= kScaleLines;
    }
    return options;
}

bool IsNearRightAngle(double degrees) {
    return std::abs(std::fmod(std::abs(degrees), 180.0) - 90.0) < kShearTolerance;
}

// Everything "transform" reads, lengths in points.
struct TransformRequest {
    std::string tagSearch;
    AIRealMatrix matrix;  // the rotation, then the shear
    double rotation = 0.0;
    double shearH = 0.0;
    double shearV = 0.0;
    double scaleH = 1.0;  // as requested, before each object's own adjustment
    double scaleV = 1.0;
    double width = 0.0;
    double height = 0.0;
    double widthDiff = 0.0;
    double heightDiff = 0.0;
    double deltaX = 0.0;
    double deltaY = 0.0;
    AIRealPoint position;  // x, y
    bool xGiven = false;
    bool yGiven = false;
    bool keepProportions = false;
    bool widthLeads = false;   // "scaleH", "width" or "widthDiff" given
    bool heightLeads = false;  // "scaleV", "height" or "heightDiff" given
    std::string fittingMethod;
    std::string flip;
    std::string anchorPoint;
    std::string xyAnchor;
    bool xyMode = false;
    bool visibleBounds = false;
    ai::int32 options = 0;
    std::optional<bool> scaleCorners;
    std::string error;  // set when the request can't be carried out
};

void ReadRotationAndShear(const json& request, TransformRequest& transform) {
    std::optional<double> rotation = ReadOptionalNumberStrictly(request, "rotation");
    if (!rotation && !HasKey(request, "distance")) {
        rotation = ReadOptionalNumberStrictly(request, "angle");
    }
    transform.matrix = IdentityMatrix();
    if (rotation) {
        transform.rotation = *rotation;
        transform.matrix = Concat(transform.matrix, RotationMatrix(DegreesToRadians(*rotation)));
    }
    const std::optional<double> shear = ReadOptionalNumberStrictly(request, "shear");
    const std::optional<double> shearH = ReadOptionalNumberStrictly(request, "shearH");
    const std::optional<double> shearV = ReadOptionalNumberStrictly(request, "shearV");
    transform.shearH = shear.value_or(shearH.value_or(0.0));
    transform.shearV = shearV.value_or(0.0);
    const bool horizontal = shear || shearH;
    const std::optional<double> degrees = shear ? shear : (shearH ? shearH : shearV);
    if (!degrees || DegreesToRadians(*degrees) == 0.0) {
        return;
    }
    if (IsNearRightAngle(*degrees)) {
        transform.error = "A shear of 90 degrees can't be applied";
        return;
    }
    AIRealMatrix shearMatrix = IdentityMatrix();
    const double slope = std::tan(DegreesToRadians(*degrees));
    if (horizontal) {
        shearMatrix.c = slope;
    } else {
        shearMatrix.b = slope;
    }
    transform.matrix = Concat(transform.matrix, shearMatrix);
}

void ReadScaling(const json& request, const std::string& units, TransformRequest& transform) {
    const std::optional<double> scaleH = ReadOptionalNumberStrictly(request, "scaleH");
    const std::optional<double> scaleV = ReadOptionalNumberStrictly(request, "scaleV");
    const std::optional<double> scale = ReadOptionalNumberStrictly(request, "scale");
    transform.scaleH = scale.value_or(scaleH.value_or(1.0));
    transform.scaleV = scale.value_or(scaleV.value_or(1.0));
    if (transform.scaleH == 0.0 || transform.scaleV == 0.0) {
        transform.error = "A scale factor can't be 0";
    }
    transform.width = ReadLengthStrictly(request, "width", units, 0.0);
    transform.height = ReadLengthStrictly(request, "height", units, 0.0);
    transform.widthDiff = ReadLengthStrictly(request, "widthDiff", units, 0.0);
    transform.heightDiff = ReadLengthStrictly(request, "heightDiff", units, 0.0);
    transform.keepProportions = ReadBoolStrictly(request, "keepProportions", scale.has_value());
    transform.widthLeads = scaleH || HasKey(request, "width") || HasKey(request, "widthDiff");
    transform.heightLeads = scaleV || HasKey(request, "height") || HasKey(request, "heightDiff");
    std::string fitting;
    ReadJsonValue(request, "fittingMethod", fitting);
    transform.fittingMethod = AsciiLowerCase(fitting);
    ReadJsonValue(request, "flip", transform.flip);
}

void ReadPlacement(const json& request, const std::string& units, TransformRequest& transform) {
    transform.deltaX = ReadLengthStrictly(request, "deltaX", units, 0.0);
    transform.deltaY = ReadLengthStrictly(request, "deltaY", units, 0.0);
    if (const std::optional<double> distance = ReadOptionalNumberStrictly(request, "distance")) {
        const double angle = DegreesToRadians(ReadNumberLeniently(request, "angle", 0.0));
        transform.deltaX = CheckedLength(LenUnitsToPoints(*distance * std::cos(angle), units), "distance");
        transform.deltaY = CheckedLength(LenUnitsToPoints(*distance * std::sin(angle), units), "distance");
    }
    std::optional<double> x = ReadOptionalNumberStrictly(request, "x");
    std::optional<double> y = ReadOptionalNumberStrictly(request, "y");
    const std::optional<double> left = ReadOptionalNumberStrictly(request, "left");
    const std::optional<double> top = ReadOptionalNumberStrictly(request, "top");
    transform.anchorPoint = ReadTextStrictly(request, "anchorPoint");
    const bool xyAnchorGiven = HasKey(request, "xyAnchorPoint");
    transform.xyAnchor = ReadTextStrictly(request, "xyAnchorPoint");
    if (left || top) {
        transform.xyAnchor = "TOPLEFT";
    }
    x = left ? left : x;
    y = top ? top : y;
    transform.xGiven = x.has_value();
    transform.yGiven = y.has_value();
    transform.position = {CheckedLength(LenUnitsToPoints(x.value_or(0.0), units), left ? "left" : "x"),
                          CheckedLength(LenUnitsToPoints(y.value_or(0.0), units), top ? "top" : "y")};
    // A position without an anchor of the object places the object's top-left corner (the xy
    // anchor, "TOPLEFT" or empty, which the mode "move" reads as the top-left).
    transform.xyMode =
        xyAnchorGiven || ((transform.xGiven || transform.yGiven) && transform.anchorPoint.empty());
}

// Ruler coordinates (from the active artboard's ruler origin, y down) become document coordinates.
void ConvertPosition(const json& request, TransformRequest& transform) {
    bool globalRuler = false;
    ReadJsonValue(request, "useGlobalRuler", globalRuler);
    if (globalRuler || (!transform.xGiven && !transform.yGiven)) {
        return;
    }
    if (sAIHardSoft == nullptr ||
        sAIHardSoft->ConvertCoordinates(&transform.position, kAIArtboardCoordinateSystem,
                                        kAIDocumentCoordinateSystem, false) != kNoErr) {
        transform.error = "Can't convert the position to document coordinates";
    }
}

TransformRequest ReadTransformRequest(const json& request) {
    TransformRequest transform;
    transform.tagSearch = ReadTextStrictly(request, "tagSearch");
    const std::string units = ReadTextStrictly(request, "units");
    ReadRotationAndShear(request, transform);
    ReadScaling(request, units, transform);
    ReadPlacement(request, units, transform);
    transform.visibleBounds = ReadBoundsOptions(request, false).visible;
    transform.options = ReadTransformOptions(request, true);
    bool scaleCorners = false;
    if (ReadJsonValue(request, "scaleCorners", scaleCorners)) {
        transform.scaleCorners = scaleCorners;
    }
    if (transform.error.empty()) {
        ConvertPosition(request, transform);
    }
    return transform;
}

double Signed(double factor, double magnitude) {
    if (factor == 0.0) {
        return 0.0;
    }
    return factor < 0.0 ? -magnitude : magnitude;
}

// One side of an object's bounds and the size asked of it.
struct Side {
    double measured;  // as measured: with strokes when visible bounds are used
    double margin;    // what strokes add to the geometry's side (0 for geometric bounds)
    double target;    // the size asked; 0 for none

    bool Sized() const { return target != 0.0 && measured != 0.0; }
    double Geometry() const { return measured - margin; }
    // Whether strokes count: a margin, geometry to scale, and a target both reach.
    bool Stroked() const { return margin > 0.0 && Geometry() > 0.0 && target > margin; }
};

// The factor that gives a side its target when line widths stay: the geometry takes the target
// less the strokes' margin.
double FactorKeepingLines(const Side& side) {
    return side.Stroked() ? (side.target - side.margin) / side.Geometry() : side.target / side.measured;
}

// The factor that gives a side its target when line widths scale with the root of both factors
// and the other factor is fixed: with L that root, geometry × L² / other + margin × L = target.
double FactorScalingLines(const Side& side, double other) {
    const double fixed = std::abs(other);
    if (!side.Stroked() || fixed == 0.0) {
        return side.target / side.measured;
    }
    const double g = side.Geometry();
    const double b = fixed * side.margin;
    const double root = (-b + std::sqrt(b * b + 4.0 * g * fixed * side.target)) / (2.0 * g);
    return root * root / fixed;
}

// Both factors when both sides have a target and line widths scale with the root L of their
// product: each side's geometry takes its target less its margin times L, which makes
// L² (gw gh - mw mh) + L (tw mh + th mw) - tw th = 0. None when that has no positive root.
std::optional<AIRealPoint> FactorsScalingLines(const Side& width, const Side& height) {
    if (!width.Stroked() && !height.Stroked()) {
        return std::nullopt;
    }
    const double a = width.Geometry() * height.Geometry() - width.margin * height.margin;
    const double b = width.target * height.margin + height.target * width.margin;
    const double c = width.target * height.target;
    if (a <= 0.0 || width.Geometry() <= 0.0 || height.Geometry() <= 0.0 || c <= 0.0) {
        return std::nullopt;
    }
    const double lines = (-b + std::sqrt(b * b + 4.0 * a * c)) / (2.0 * a);
    const double h = (width.target - lines * width.margin) / width.Geometry();
    const double v = (height.target - lines * height.margin) / height.Geometry();
    if (!(h > 0.0 && v > 0.0)) {
        return std::nullopt;
    }
    return AIRealPoint{h, v};
}

// The factors that give the object the sizes asked. Measured with strokes, the strokes' margin
// does not follow the geometry's factor: it keeps its width when line widths are not scaled, and
// follows the line scale (the root of both factors) when they are, so a plain ratio of sizes would
// miss the target.
AIRealPoint SizeFactors(const TransformRequest& transform, const Side& width, const Side& height) {
    double h = transform.scaleH;
    double v = transform.scaleV;
    const bool scaleLines = (transform.options & kScaleLines) != 0;
    const bool tiedToWidth = transform.keepProportions && transform.widthLeads;
    const bool tiedToHeight = transform.keepProportions && !transform.widthLeads && transform.heightLeads;
    if (!scaleLines) {
        h = width.Sized() ? FactorKeepingLines(width) : h;
        v = height.Sized() ? FactorKeepingLines(height) : v;
    } else if (transform.keepProportions || (!width.Stroked() && !height.Stroked())) {
        // One factor for both sides scales the strokes by it too: the plain ratio is exact.
        h = width.Sized() ? width.target / width.measured : h;
        v = height.Sized() ? height.target / height.measured : v;
    } else if (width.Sized() && height.Sized()) {
        const std::optional<AIRealPoint> both = FactorsScalingLines(width, height);
        h = both ? both->h : width.target / width.measured;
        v = both ? both->v : height.target / height.measured;
    } else if (width.Sized()) {
        h = FactorScalingLines(width, v);
    } else if (height.Sized()) {
        v = FactorScalingLines(height, h);
    }
    if (tiedToWidth) {
        v = h;
    } else if (tiedToHeight) {
        h = v;
    }
    return {h, v};
}

// The scale factors for one object, worked out afresh from the request for each object; geometry
// is the object's bounds without strokes (the same as bounds when those are measured so).
AIRealPoint ScaleFor(const TransformRequest& transform, const AIRealRect& bounds,
                     const AIRealRect& geometry) {
    const double w = std::abs(bounds.left - bounds.right);
    const double ht = std::abs(bounds.top - bounds.bottom);
    const Side width{w, std::max(0.0, w - std::abs(geometry.left - geometry.right)),
                     transform.widthDiff != 0.0 ? w + transform.widthDiff : transform.width};
    const Side height{ht, std::max(0.0, ht - std::abs(geometry.top - geometry.bottom)),
                      transform.heightDiff != 0.0 ? ht + transform.heightDiff : transform.height};
    const AIRealPoint factors = SizeFactors(transform, width, height);
    double h = factors.h;
    double v = factors.v;
    if (transform.fittingMethod == "shrink") {
        h = Signed(h, std::min(std::abs(h), 1.0));
        v = Signed(v, std::min(std::abs(v), 1.0));
    } else if (transform.fittingMethod == "enlarge") {
        h = Signed(h, std::max(std::abs(h), 1.0));
        v = Signed(v, std::max(std::abs(v), 1.0));
    }
    if (transform.flip == "h" || transform.flip == "hv") {
        h = -std::abs(h);
    }
    if (transform.flip == "v" || transform.flip == "hv") {
        v = -std::abs(v);
    }
    return {h, v};
}

// Where the art's anchor point is after the matrix, measured without changing the art: for visible
// bounds the stroke's margin around the geometry grows with the line widths.
std::optional<AIRealPoint> AnchorAfter(ArtObject* art, const TransformRequest& transform,
                                       const AIRealRect& before, const AIRealMatrix& matrix,
                                       double lineScale) {
    std::optional<AIRealRect> after = ArtBounds(art, false, matrix);
    if (!after) {
        return std::nullopt;
    }
    if (transform.visibleBounds) {
        const std::optional<AIRealRect> geometry = ArtBounds(art, false);
        if (!geometry) {
            return std::nullopt;
        }
        const double scale = (transform.options & kScaleLines) != 0 ? lineScale : 1.0;
        after->left -= (geometry->left - before.left) * scale;
        after->right += (before.right - geometry->right) * scale;
        after->top += (before.top - geometry->top) * scale;
        after->bottom -= (geometry->bottom - before.bottom) * scale;
    }
    return GetFixedPoint(*after, transform.xyAnchor, "move");
}

enum class Outcome { kMoved, kRefused, kUnmeasured };

// Transforms one object with one matrix: the scaling, rotation and shear about the anchor point and
// the move to the requested place together, applied once or not at all.
Outcome TransformOne(ArtObject* art, const TransformRequest& transform) {
    const std::optional<AIRealRect> bounds = ArtBounds(art, transform.visibleBounds);
    if (!bounds) {
        return Outcome::kUnmeasured;
    }
    const std::optional<AIRealRect> geometry = transform.visibleBounds ? ArtBounds(art, false) : bounds;
    if (!geometry) {
        return Outcome::kUnmeasured;
    }
    const AIRealPoint scale = ScaleFor(transform, *bounds, *geometry);
    AIRealMatrix matrix = transform.matrix;
    double lineScale = 1.0;
    if (scale.h != 1.0 || scale.v != 1.0) {
        matrix = Concat(transform.matrix, ScaleMatrix(scale.h, scale.v));
        lineScale = std::sqrt(std::abs(scale.h * scale.v));
    }
    const std::string& anchor = transform.xyMode ? transform.xyAnchor : transform.anchorPoint;
    const AIRealPoint before = GetFixedPoint(*bounds, anchor, transform.xyMode ? "move" : "distort");
    AIRealPoint after = Transform(matrix, before);
    if (transform.xyMode) {
        const std::optional<AIRealPoint> measured = AnchorAfter(art, transform, *bounds, matrix, lineScale);
        if (!measured) {
            return Outcome::kUnmeasured;
        }
        after = *measured;
    }
    const double x = transform.xGiven ? transform.position.h : before.h;
    const double y = transform.yGiven ? transform.position.v : before.v;
    const AIRealMatrix placed =
        Concat(matrix, TranslationMatrix(x - after.h + transform.deltaX, y - after.v + transform.deltaY));
    return TransformTree(art, placed, lineScale, transform.options, true) ? Outcome::kMoved
                                                                          : Outcome::kRefused;
}

}  // namespace

std::string PlimUtilsPlugin::TranslateObjects(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("translate", parsed);
    const std::string tagSearch = ReadTextStrictly(parsed, "tagSearch");
    const std::string units = ReadTextStrictly(parsed, "units");
    double deltaX = ReadNumberStrictly(parsed, "deltaX", 0.0);
    double deltaY = ReadNumberStrictly(parsed, "deltaY", 0.0);
    const std::optional<double> distance = ReadOptionalNumberStrictly(parsed, "distance");
    const std::optional<double> angle = distance ? ReadOptionalNumberStrictly(parsed, "angle") : std::nullopt;
    const bool polar = distance && angle;
    if (polar) {
        deltaX = *distance * std::cos(DegreesToRadians(*angle));
        deltaY = *distance * std::sin(DegreesToRadians(*angle));
    }
    const ai::int32 options = ReadTransformOptions(parsed, false);
    const AIRealMatrix move =
        TranslationMatrix(CheckedLength(LenUnitsToPoints(deltaX, units), polar ? "distance" : "deltaX"),
                          CheckedLength(LenUnitsToPoints(deltaY, units), polar ? "distance" : "deltaY"));
    reply["tagSearch"] = tagSearch;
    reply["deltaX"] = deltaX;
    reply["deltaY"] = deltaY;

    const ArtList objects = FindTopMost(tagSearch);
    if (objects.empty()) {
        reply["error"] = kNoArtworkFound;
        return DumpReply(reply);
    }
    MoveTally tally;
    for (ArtObject* art : objects) {
        tally.Count(TransformTree(art, move, 1.0, options, false));
    }
    ReportTally(reply, tally);
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::RotateObjects(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("rotate", parsed);
    const std::string tagSearch = ReadTextStrictly(parsed, "tagSearch");
    const double rotation = ReadNumberStrictly(parsed, "rotation", 0.0);
    reply["tagSearch"] = tagSearch;
    reply["rotation"] = rotation;

    const ArtList objects = FindTopMost(tagSearch);
    if (objects.empty()) {
        reply["error"] = kNoArtworkFound;
        return DumpReply(reply);
    }
    const AIRealMatrix turn = RotationMatrix(DegreesToRadians(rotation));
    MoveTally tally;
    for (ArtObject* art : objects) {
        const std::optional<AIRealRect> bounds = ArtBounds(art, false);
        if (!bounds) {
            ++tally.unmeasured;
            continue;
        }
        const AIRealPoint center = CenterOf(*bounds);
        const AIRealPoint turned = Transform(turn, center);
        const AIRealMatrix aboutCenter =
            Concat(turn, TranslationMatrix(center.h - turned.h, center.v - turned.v));
        tally.Count(TransformTree(art, aboutCenter, 1.0, kTransformObjects, false));
    }
    ReportTally(reply, tally);
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::TransformObjects(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("transform", parsed);
    const TransformRequest transform = ReadTransformRequest(parsed);
    reply["tagSearch"] = transform.tagSearch;
    reply["rotation"] = transform.rotation;
    reply["shearH"] = transform.shearH;
    reply["shearV"] = transform.shearV;
    reply["scaleH"] = transform.scaleH;
    reply["scaleV"] = transform.scaleV;
    reply["deltaX"] = transform.deltaX;
    reply["deltaY"] = transform.deltaY;
    if (!transform.error.empty()) {
        reply["error"] = transform.error;
        return DumpReply(reply);
    }

    const ArtList objects = FindTopMost(transform.tagSearch);
    if (objects.empty()) {
        reply["error"] = kNoArtworkFound;
        return DumpReply(reply);
    }
    const CornerPolicyScope corners(transform.scaleCorners);
    MoveTally tally;
    for (ArtObject* art : objects) {
        const Outcome outcome = TransformOne(art, transform);
        if (outcome == Outcome::kUnmeasured) {
            ++tally.unmeasured;
        } else {
            tally.Count(outcome == Outcome::kMoved);
        }
    }
    ReportTally(reply, tally);
    return DumpReply(reply);
}

#include "model/ArtStyle.h"

#include <algorithm>
#include <cmath>

#include "model/ArtTree.h"

namespace host::model {

namespace {

bool isUnit(double value) {
    return std::isfinite(value) && value >= 0.0 && value <= 1.0;
}

bool isFinite(const GradientPlacement& placement) {
    const Matrix& m = placement.matrix;
    for (const double value :
         {placement.origin.x, placement.origin.y, placement.angle, placement.length, placement.highlightAngle,
          placement.highlightLength, m.a, m.b, m.c, m.d, m.tx, m.ty}) {
        if (!std::isfinite(value)) {
            return false;
        }
    }
    return true;
}

Status checkColor(const Color& color) {
    if (color.isResource() && color.resource.empty()) {
        return Status::badParameter;
    }
    if (color.kind == Color::Kind::gradient && (!isFinite(color.placement) || color.placement.length < 0.0)) {
        return Status::badParameter;
    }
    for (std::size_t i = 0; i < color.componentCount(); ++i) {
        if (!isUnit(color.values[i])) {
            return Status::badParameter;
        }
    }
    return Status::ok;
}

Status checkBlend(const BlendAttributes& blend) {
    const bool valid = blend.mode >= 0 && blend.mode <= kLastBlendMode && isUnit(blend.opacity) &&
                       blend.knockout >= 0 && blend.knockout <= kLastKnockout;
    return valid ? Status::ok : Status::badParameter;
}

Status checkStroke(const StrokePaint& stroke) {
    const auto nonNegative = [](double value) { return std::isfinite(value) && value >= 0.0; };
    if (!nonNegative(stroke.width) || !std::isfinite(stroke.miterLimit) || stroke.miterLimit < 1.0 ||
        !std::isfinite(stroke.dashOffset) ||
        !std::all_of(stroke.dashes.begin(), stroke.dashes.end(), nonNegative)) {
        return Status::badParameter;
    }
    return checkColor(stroke.color);
}

Status checkField(const PaintField& field) {
    if (checkBlend(field.blend) != Status::ok) {
        return Status::badParameter;
    }
    if (const FillPaint* fill = field.fillPaint()) {
        return checkColor(fill->color);
    }
    if (const StrokePaint* stroke = field.strokePaint()) {
        return checkStroke(*stroke);
    }
    return Status::ok;
}

template <typename Predicate>
std::optional<std::size_t> firstIndex(const std::vector<PaintField>& fields, Predicate predicate) {
    const auto found = std::find_if(fields.begin(), fields.end(), predicate);
    return found == fields.end() ? std::nullopt : std::optional<std::size_t>(found - fields.begin());
}

}  // namespace

std::size_t Color::componentCount() const {
    switch (kind) {
        case Kind::none:
            return 0;
        case Kind::gray:
            return 1;
        case Kind::cmyk:
            return 4;
        case Kind::rgb:
            return 3;
        case Kind::custom:
            return 1;
        case Kind::pattern:
        case Kind::gradient:
            return 0;
    }
    return 0;
}

std::array<double, 3> toRgb(const Color& color) {
    switch (color.kind) {
        case Color::Kind::gray: {
            const double level = 1.0 - color.values[0];
            return {level, level, level};
        }
        case Color::Kind::cmyk: {
            const double white = 1.0 - color.values[3];
            return {(1.0 - color.values[0]) * white, (1.0 - color.values[1]) * white,
                    (1.0 - color.values[2]) * white};
        }
        case Color::Kind::rgb:
            return {color.values[0], color.values[1], color.values[2]};
        case Color::Kind::custom:
        case Color::Kind::pattern:
        case Color::Kind::gradient:
            return {0.5, 0.5, 0.5};
        case Color::Kind::none:
            break;
    }
    return {0.0, 0.0, 0.0};
}

Status checkPaint(const FillPaint& fill) {
    return checkColor(fill.color);
}

Status checkPaint(const StrokePaint& stroke) {
    return checkStroke(stroke);
}

void forEachColor(Dictionary& dictionary, const ColorVisitor& visit, bool keptArt) {
    for (const std::string& key : dictionary.keys()) {
        if (Dictionary* nested = dictionary.dictionary(key)) {
            forEachColor(*nested, visit, keptArt);
        } else if (FillPaint* fill = dictionary.fillStyle(key)) {
            visit(fill->color);
        } else if (StrokePaint* stroke = dictionary.strokeStyle(key)) {
            visit(stroke->color);
            forEachColor(stroke->parameters, visit);
        } else if (ArtTree* art = keptArt ? dictionary.art(key) : nullptr) {
            // Art kept in an entry goes back into the artwork as it is: its colours are the
            // document's as much as those of the art in the layers.
            forEachColor(*art, visit);
        }
    }
}

namespace {

void visitEffects(std::vector<Effect>& effects, const ColorVisitor& visit) {
    for (Effect& effect : effects) {
        forEachColor(effect.parameters, visit);
    }
}

}  // namespace

void forEachColor(ArtStyle& style, const ColorVisitor& visit) {
    visitEffects(style.preEffects, visit);
    for (PaintField& field : style.paintFields) {
        if (FillPaint* fill = field.fillPaint()) {
            visit(fill->color);
        }
        if (StrokePaint* stroke = field.strokePaint()) {
            visit(stroke->color);
            forEachColor(stroke->parameters, visit);
        }
        visitEffects(field.effects, visit);
    }
    visitEffects(style.postEffects, visit);
}

PaintField PaintField::fill(Color color) {
    PaintField field;
    field.paint = FillPaint{color, false};
    return field;
}

PaintField PaintField::stroke(Color color, double width) {
    PaintField field;
    StrokePaint stroke;
    stroke.color = color;
    stroke.width = width;
    field.paint = std::move(stroke);
    return field;
}

bool PaintField::paints() const {
    if (!visible) {
        return false;
    }
    if (const FillPaint* fill = fillPaint()) {
        return fill->color.paints();
    }
    if (const StrokePaint* stroke = strokePaint()) {
        return stroke->color.paints() && stroke->width > 0.0;
    }
    return false;
}

ArtStyle ArtStyle::basic(std::optional<Color> fill, std::optional<Color> stroke, double strokeWidth) {
    ArtStyle style;
    if (fill) {
        style.paintFields.push_back(PaintField::fill(*fill));
    }
    if (stroke && strokeWidth > 0.0) {
        style.paintFields.push_back(PaintField::stroke(*stroke, strokeWidth));
    }
    return style;
}

ArtStyle ArtStyle::ofStrokeWidth(double width) {
    return basic(std::nullopt, Color::black(), width);
}

std::optional<std::size_t> ArtStyle::focalFillIndex() const {
    const auto focused =
        firstIndex(paintFields, [](const PaintField& field) { return field.isFill() && field.focus; });
    return focused ? focused
                   : firstIndex(paintFields, [](const PaintField& field) { return field.isFill(); });
}

std::optional<std::size_t> ArtStyle::focalStrokeIndex() const {
    const auto focused =
        firstIndex(paintFields, [](const PaintField& field) { return field.isStroke() && field.focus; });
    return focused ? focused
                   : firstIndex(paintFields, [](const PaintField& field) { return field.isStroke(); });
}

double ArtStyle::strokeWidth() const {
    double widest = 0.0;
    for (const PaintField& field : paintFields) {
        if (field.isStroke() && field.paints()) {
            widest = std::max(widest, field.strokePaint()->width);
        }
    }
    return widest;
}

void ArtStyle::transformGradients(const Matrix& matrix) {
    for (PaintField& field : paintFields) {
        Color* color = field.fillPaint() != nullptr     ? &field.fillPaint()->color
                       : field.strokePaint() != nullptr ? &field.strokePaint()->color
                                                        : nullptr;
        if (color != nullptr && color->kind == Color::Kind::gradient && color->placement.length > 0.0) {
            color->placement.matrix = color->placement.matrix.then(matrix);
        }
    }
}

void ArtStyle::scaleStrokes(double factor) {
    for (PaintField& field : paintFields) {
        if (StrokePaint* stroke = field.strokePaint()) {
            stroke->width *= factor;
            for (double& dash : stroke->dashes) {
                dash *= factor;
            }
            stroke->dashOffset *= factor;
        }
    }
}

ArtStyle ArtStyle::simplified() const {
    ArtStyle basicStyle;
    for (const std::optional<std::size_t> index : {focalFillIndex(), focalStrokeIndex()}) {
        if (!index) {
            continue;
        }
        PaintField field;
        field.paint = paintFields[*index].paint;
        field.visible = paintFields[*index].visible;
        field.evenOdd = paintFields[*index].evenOdd;
        basicStyle.paintFields.push_back(std::move(field));
    }
    return basicStyle;
}

bool ArtStyle::isStrokeWidthOnly(double* width) const {
    const double candidate = strokeWidth();
    if (*this != ofStrokeWidth(candidate)) {
        return false;
    }
    *width = candidate;
    return true;
}

Status ArtStyle::check() const {
    if (contentsPosition > paintFields.size() || checkBlend(blend) != Status::ok) {
        return Status::badParameter;
    }
    for (const PaintField& field : paintFields) {
        if (checkField(field) != Status::ok) {
            return Status::badParameter;
        }
    }
    return Status::ok;
}

}  // namespace host::model

#include "layout/Geometry.h"

#include <cmath>
#include <vector>

#include "AIArt.h"
#include "art/ArtTree.h"
#include "core/Suites.h"

AIRealMatrix IdentityMatrix() {
    AIRealMatrix matrix;
    if (sAIRealMath != nullptr) {
        sAIRealMath->AIRealMatrixSetIdentity(&matrix);
    }
    return matrix;
}

AIRealMatrix TranslationMatrix(double dx, double dy) {
    AIRealMatrix matrix;
    if (sAIRealMath != nullptr) {
        sAIRealMath->AIRealMatrixSetTranslate(&matrix, dx, dy);
    }
    return matrix;
}

AIRealMatrix ScaleMatrix(double h, double v) {
    AIRealMatrix matrix;
    if (sAIRealMath != nullptr) {
        sAIRealMath->AIRealMatrixSetScale(&matrix, h, v);
    }
    return matrix;
}

AIRealMatrix RotationMatrix(double radians) {
    AIRealMatrix matrix;
    if (sAIRealMath != nullptr) {
        sAIRealMath->AIRealMatrixSetRotate(&matrix, radians);
    }
    return matrix;
}

AIRealMatrix Concat(const AIRealMatrix& first, const AIRealMatrix& then) {
    AIRealMatrix result = first;
    if (sAIRealMath != nullptr) {
        sAIRealMath->AIRealMatrixConcat(&first, &then, &result);
    }
    return result;
}

AIRealPoint Transform(const AIRealMatrix& matrix, const AIRealPoint& point) {
    AIRealPoint result = point;
    if (sAIRealMath != nullptr) {
        sAIRealMath->AIRealMatrixXformPoint(&matrix, &point, &result);
    }
    return result;
}

AIRealRect Union(const AIRealRect& a, const AIRealRect& b) {
    AIRealRect result = a;
    if (sAIRealMath != nullptr) {
        sAIRealMath->AIUnionRealRect(&a, &b, &result);
    }
    return result;
}

AIRealPoint CenterOf(const AIRealRect& rect) {
    return {(rect.left + rect.right) * 0.5, (rect.top + rect.bottom) * 0.5};
}

std::optional<AIRealRect> ArtBounds(ArtObject* art, bool visible) {
    AIRealRect bounds;
    const ai::int32 flags = visible ? kVisibleBounds : kNoStrokeBounds;
    if (sAIArt == nullptr || sAIArt->GetArtTransformBounds(art, nullptr, flags, &bounds) != kNoErr) {
        return std::nullopt;
    }
    return bounds;
}

bool TransformArt(ArtObject* art, const AIRealMatrix& matrix, double lineScale, ai::int32 options) {
    return sAITransformArt != nullptr &&
           sAITransformArt->TransformArt(art, &matrix, lineScale, options) == kNoErr;
}

std::optional<AIRealRect> ArtBounds(ArtObject* art, bool visible, const AIRealMatrix& matrix) {
    AIRealRect bounds;
    const ai::int32 flags = visible ? kVisibleBounds : kNoStrokeBounds;
    if (sAIArt == nullptr || sAIArt->GetArtTransformBounds(art, &matrix, flags, &bounds) != kNoErr) {
        return std::nullopt;
    }
    return bounds;
}

namespace {

bool IsFinite(const AIRealRect& rect) {
    return std::isfinite(rect.left) && std::isfinite(rect.top) && std::isfinite(rect.right) &&
           std::isfinite(rect.bottom);
}

// The matrix that undoes the given one; none when it has no inverse.
std::optional<AIRealMatrix> Inverse(const AIRealMatrix& m) {
    const double determinant = m.a * m.d - m.b * m.c;
    if (determinant == 0.0 || !std::isfinite(determinant)) {
        return std::nullopt;
    }
    AIRealMatrix inverse;
    inverse.a = m.d / determinant;
    inverse.b = -m.b / determinant;
    inverse.c = -m.c / determinant;
    inverse.d = m.a / determinant;
    inverse.tx = -(inverse.a * m.tx + inverse.c * m.ty);
    inverse.ty = -(inverse.b * m.tx + inverse.d * m.ty);
    return inverse;
}

struct TransformStep {
    ArtObject* art;
    ai::int32 options;
};

}  // namespace

bool TransformTree(ArtObject* art, const AIRealMatrix& matrix, double lineScale, ai::int32 options,
                   bool withGroups) {
    if ((options & kTransformObjects) != 0) {
        const std::optional<AIRealRect> after = ArtBounds(art, false, matrix);
        if (after && !IsFinite(*after)) {
            return false;
        }
    }
    ArtList leaves;
    FindSubTree(art, leaves);
    std::vector<TransformStep> steps;
    for (ArtObject* leaf : leaves) {
        steps.push_back({leaf, options});
    }
    if (withGroups) {
        const ai::int32 withoutGeometry = options & ~static_cast<ai::int32>(kTransformObjects);
        for (ArtObject* group : FindGroups(art)) {
            steps.push_back({group, withoutGeometry});
        }
    }
    for (size_t done = 0; done < steps.size(); ++done) {
        if (TransformArt(steps[done].art, matrix, lineScale, steps[done].options)) {
            continue;
        }
        // Best effort: the inverse puts back what the host already took.
        if (const std::optional<AIRealMatrix> inverse = Inverse(matrix); inverse && lineScale != 0.0) {
            while (done > 0) {
                --done;
                TransformArt(steps[done].art, *inverse, 1.0 / lineScale, steps[done].options);
            }
        }
        return false;
    }
    return true;
}

bool MoveWithSubTree(ArtObject* art, double dx, double dy) {
    return art == nullptr || TransformTree(art, TranslationMatrix(dx, dy), 1.0, kMoveOptions, false);
}

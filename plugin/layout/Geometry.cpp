#include "layout/Geometry.h"

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

void TransformLeaves(ArtObject* art, const AIRealMatrix& matrix, double lineScale, ai::int32 options) {
    ArtList leaves;
    FindSubTree(art, leaves);
    for (ArtObject* leaf : leaves) {
        TransformArt(leaf, matrix, lineScale, options);
    }
}

void TransformGroups(ArtObject* art, const AIRealMatrix& matrix, double lineScale, ai::int32 options) {
    const ai::int32 withoutGeometry = options & ~static_cast<ai::int32>(kTransformObjects);
    for (ArtObject* group : FindGroups(art)) {
        TransformArt(group, matrix, lineScale, withoutGeometry);
    }
}

void MoveWithSubTree(ArtObject* art, double dx, double dy) {
    if (art == nullptr) {
        return;
    }
    TransformLeaves(art, TranslationMatrix(dx, dy), 1.0, kMoveOptions);
}

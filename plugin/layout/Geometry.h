// Matrices, points and rectangles through the host's real math suite, and the transformations of
// art through its transform art suite. Coordinates are the host's: points, y growing upward.
#pragma once

#include <optional>

#include "AIRealMath.h"
#include "AITransformArt.h"
#include "art/ArtList.h"

// The options the geometry commands pass to the host's art transformation.
inline constexpr ai::int32 kMoveOptions =
    kTransformObjects | kTransformFillPatterns | kTransformStrokePatterns | kScaleLines;

AIRealMatrix IdentityMatrix();
AIRealMatrix TranslationMatrix(double dx, double dy);
AIRealMatrix ScaleMatrix(double h, double v);
AIRealMatrix RotationMatrix(double radians);
// first followed by then: points are mapped by first, then by then.
AIRealMatrix Concat(const AIRealMatrix& first, const AIRealMatrix& then);
AIRealPoint Transform(const AIRealMatrix& matrix, const AIRealPoint& point);
// The smallest rectangle holding both (a rectangle of zero width or height counts).
AIRealRect Union(const AIRealRect& a, const AIRealRect& b);
AIRealPoint CenterOf(const AIRealRect& rect);

// The art's bounds from the host (visible: strokes included); none when they can't be read.
std::optional<AIRealRect> ArtBounds(ArtObject* art, bool visible);

// The art's bounds as they would be after the matrix, without changing it (visible: strokes included,
// at their present width); none when they can't be read.
std::optional<AIRealRect> ArtBounds(ArtObject* art, bool visible, const AIRealMatrix& matrix);

// Applies the matrix to one art; false when the host refuses.
bool TransformArt(ArtObject* art, const AIRealMatrix& matrix, double lineScale, ai::int32 options);
// Applies one matrix to the art: to every leaf of it (FindSubTree) and then, withGroups, to every
// group of its tree with the geometry option cleared, so that their patterns and line widths follow
// without their members moving twice. All or nothing: a matrix that would take the art's bounds
// out of the finite plane is refused before anything changes, and when the host refuses a step the
// steps already done are taken back. False when the art was left as it was.
bool TransformTree(ArtObject* art, const AIRealMatrix& matrix, double lineScale, ai::int32 options,
                   bool withGroups);
// Moves every leaf of the art by (dx, dy), patterns included, all or nothing; false when the host
// refused. A null art does nothing.
bool MoveWithSubTree(ArtObject* art, double dx, double dy);

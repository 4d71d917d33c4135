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

// Applies the matrix to one art; false when the host refuses.
bool TransformArt(ArtObject* art, const AIRealMatrix& matrix, double lineScale, ai::int32 options);
// Applies the matrix to every leaf of the art (FindSubTree).
void TransformLeaves(ArtObject* art, const AIRealMatrix& matrix, double lineScale, ai::int32 options);
// Applies the matrix to every group of the art's tree with the geometry option cleared, so that
// their patterns and line widths follow without their members being moved twice.
void TransformGroups(ArtObject* art, const AIRealMatrix& matrix, double lineScale, ai::int32 options);
// Moves every leaf of the art by (dx, dy), patterns included; a null art does nothing.
void MoveWithSubTree(ArtObject* art, double dx, double dy);

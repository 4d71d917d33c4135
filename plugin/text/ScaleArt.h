// Scaling art with the host's own transform about a point that stays where it is, with the host's
// corner-scaling preference held at 1 while it runs.
#pragma once

#include "AIRealMath.h"
#include "art/ArtList.h"

// The scale (sx, sy) about p: p maps onto itself. Without the real-math suite, the identity.
AIRealMatrix CreateScaleMatrixWithStaticPoint(double sx, double sy, AIRealPoint p);

// Transforms each art in order with the matrix (line scale sqrt(|a d|)), stopping at the first that
// fails; true when every art was transformed (an empty list too). "policyForPreservingCorners" is
// 1 meanwhile, and afterwards back to what it was when that was 1 or 2.
bool ScaleAllObjects(const ArtList& art, const AIRealMatrix& matrix);

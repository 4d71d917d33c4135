#include "text/ScaleArt.h"

#include <cmath>

#include "AITransformArt.h"
#include "core/Preferences.h"
#include "core/Suites.h"
#include "layout/LayoutScopes.h"

namespace {

// The transform's options: objects, fill and stroke patterns, line widths, and the children's.
constexpr ai::int32 kScaleOptions = 0x7D;

}  // namespace

AIRealMatrix CreateScaleMatrixWithStaticPoint(double sx, double sy, AIRealPoint p) {
    AIRealMatrix matrix;
    if (sAIRealMath == nullptr) {
        return matrix;
    }
    sAIRealMath->AIRealMatrixSetScale(&matrix, sx, sy);
    AIRealPoint q;
    sAIRealMath->AIRealMatrixXformPoint(&matrix, &p, &q);
    AIRealMatrix shift;
    sAIRealMath->AIRealMatrixSetTranslate(&shift, p.h - q.h, p.v - q.v);
    sAIRealMath->AIRealMatrixConcat(&matrix, &shift, &matrix);
    return matrix;
}

bool ScaleAllObjects(const ArtList& art, const AIRealMatrix& matrix) {
    int old = 0;
    const bool restore = ReadPluginPrefInt("", kCornerPolicy, old) && (old == 1 || old == 2);
    WritePluginPrefInt("", kCornerPolicy, 1);
    const double lineScale = std::sqrt(std::fabs(matrix.a * matrix.d));
    bool all = true;
    for (std::size_t index = 0; all && index < art.size(); ++index) {
        all = sAITransformArt != nullptr &&
              sAITransformArt->TransformArt(art[index], &matrix, lineScale, kScaleOptions) == kNoErr;
    }
    if (restore) {
        WritePluginPrefInt("", kCornerPolicy, old);
    }
    return all;
}

// The real math suite: matrices and rectangles, by the model's own geometry (model/Matrix.h,
// model/Rect.h), so that the plug-in's matrices and the host's transformations agree.
#include <cmath>

#include "AIRealMath.h"
#include "host/HostOperation.h"
#include "model/Matrix.h"
#include "model/Rect.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIRealMathSuite;

model::Matrix ToModel(const AIRealMatrix& m) {
    return {m.a, m.b, m.c, m.d, m.tx, m.ty};
}

AIRealMatrix FromModel(const model::Matrix& m) {
    return {m.a, m.b, m.c, m.d, m.tx, m.ty};
}

// A failed (or refused) operation leaves its output alone.
bool Refused(const char* operation, const void* out) {
    return InjectedFault(kSuite, operation) != kNoErr || out == nullptr;
}

void SetIdentity(AIRealMatrix* matrix) {
    if (!Refused("AIRealMatrixSetIdentity", matrix)) {
        *matrix = FromModel(model::Matrix::identity());
    }
}

void SetTranslate(AIRealMatrix* matrix, AIReal tx, AIReal ty) {
    if (!Refused("AIRealMatrixSetTranslate", matrix)) {
        *matrix = FromModel(model::Matrix::translation(tx, ty));
    }
}

void SetScale(AIRealMatrix* matrix, AIReal h, AIReal v) {
    if (!Refused("AIRealMatrixSetScale", matrix)) {
        *matrix = FromModel(model::Matrix::scaling(h, v));
    }
}

void SetRotate(AIRealMatrix* matrix, AIReal angle) {
    if (!Refused("AIRealMatrixSetRotate", matrix)) {
        *matrix = FromModel(model::Matrix::rotation(angle));
    }
}

void Concat(const AIRealMatrix* m, const AIRealMatrix* n, AIRealMatrix* result) {
    if (Refused("AIRealMatrixConcat", result) || m == nullptr || n == nullptr) {
        return;
    }
    *result = FromModel(ToModel(*m).then(ToModel(*n)));
}

void XformPoint(const AIRealMatrix* matrix, const AIRealPoint* in, AIRealPoint* out) {
    if (Refused("AIRealMatrixXformPoint", out) || matrix == nullptr || in == nullptr) {
        return;
    }
    const model::Point mapped = ToModel(*matrix).map({in->h, in->v});
    out->h = mapped.x;
    out->v = mapped.y;
}

void UnionRect(const AIRealRect* a, const AIRealRect* b, AIRealRect* result) {
    if (Refused("AIUnionRealRect", result) || a == nullptr || b == nullptr) {
        return;
    }
    const model::Rect first(a->left, a->top, a->right, a->bottom);
    const model::Rect second(b->left, b->top, b->right, b->bottom);
    const model::Rect both = first.united(second);
    if (both.isEmpty()) {
        // Two empty rectangles: the first one stands for the (empty) union.
        *result = *a;
        return;
    }
    *result = {both.left, both.top, both.right, both.bottom};
}

}  // namespace

AIRealMathSuite gRealMathSuite = {
    PLIM_SUITE_FUNCTION_AS(AIRealMatrixSetIdentity, SetIdentity),
    PLIM_SUITE_FUNCTION_AS(AIRealMatrixSetTranslate, SetTranslate),
    PLIM_SUITE_FUNCTION_AS(AIRealMatrixSetScale, SetScale),
    PLIM_SUITE_FUNCTION_AS(AIRealMatrixSetRotate, SetRotate),
    PLIM_SUITE_FUNCTION_AS(AIRealMatrixConcat, Concat),
    PLIM_SUITE_FUNCTION_AS(AIRealMatrixXformPoint, XformPoint),
    PLIM_SUITE_FUNCTION_AS(AIUnionRealRect, UnionRect),
};

}  // namespace host

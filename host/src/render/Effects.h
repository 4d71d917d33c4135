// The live effects the renderer draws around an object: "Host Drop Shadow" and "Host Outer Glow"
// (a blurred copy of the object's shape in the effect's colour, below it; the shadow moved by its
// offsets), "Host Inner Glow" (a blurred colour inside the object's shape, from its edges or from
// its centre) and "Host PSL Gaussian Blur" (the object itself blurred). Each is worked out in pixels
// of the surface drawn on (points for vector files): the object's alpha drawn into an image, box
// blurred three times, and painted through as a mask.
#pragma once

#include <vector>

#include "model/Document.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_pattern cairo_pattern_t;

namespace host {

// The visible effects of the style's own (not its paint fields') that the renderer draws, in
// order; empty for most styles, without allocating.
std::vector<const model::Effect*> DrawnEffects(const model::ArtStyle& style);

// Paints the object (drawn by itself, as cairo_pop_group gives it) onto the context with the
// effects around it.
void PaintWithEffects(cairo_t* cr, const model::Document& document, cairo_pattern_t* object,
                      const std::vector<const model::Effect*>& effects);

}  // namespace host

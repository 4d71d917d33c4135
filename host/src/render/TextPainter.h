// Text frames as the renderer draws them: every character the layout puts in a frame as a glyph of
// its DejaVu face, through cairo's FreeType font faces, where the outline code places it. Drawn as
// glyphs (not as filled outlines), PDF and SVG copies embed subsets of the fonts, and the PDF carries
// each glyph's text, so that readers can extract and search it.
#pragma once

#include "model/Document.h"

typedef struct _cairo cairo_t;

namespace host {

// Draws the text frame's own characters onto the context, whose user space is document points:
// each in its fill colour, then its stroke colour, at the opacity of the frame's style. Overset
// text is not drawn, nor glyphs that cairo could not place (a size or matrix that flattens them).
void DrawTextFrame(cairo_t* cr, const model::Document& document, const model::ArtNode& frame);

}  // namespace host

// Text frames as the renderer draws them: every character the layout puts in a frame as a glyph of
// its DejaVu face, through cairo's FreeType font faces, where the outline code places it. Drawn as
// glyphs (not as filled outlines), PDF and SVG copies embed subsets of the fonts, and the PDF carries
// each glyph's text, so that readers can extract and search it.
#pragma once

#include "model/Document.h"
#include "render/RenderContext.h"

namespace host {

// Draws the text frame's own characters onto the context, whose user space is document points:
// each in its fill colour, then its stroke colour, at the opacity of the frame's style. Overset
// text is not drawn, nor glyphs that cairo could not place (a size or matrix that flattens them).
// The points of the glyphs' outlines are the picture's points; strokes are drawn a few glyphs at
// a time, as many as can be stroked together without their strokes lying over one another, and
// each such piece is priced as a path's stroke (RenderBudget.h): past the picture's budget it is
// left out, and standard error says so once the picture is drawn.
void DrawTextFrame(const RenderContext& context, const model::ArtNode& frame);

}  // namespace host

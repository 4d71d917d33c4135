// What drawing a placed PDF or SVG file may cost, checked before the library that draws it sees
// it: poppler and librsvg take no limits of their own, so a small file could otherwise ask for
// gigabytes of pixels or an endless drawing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace host {

// The most pixels of one image inside a placed file, and of all the images of a placed SVG file
// together (librsvg keeps every image it decodes for as long as the file is drawn).
inline constexpr std::size_t kMaxPlacedPixels = std::size_t{1} << 26;
// The most work drawing one page of a placed PDF file may take: each byte of page or form content
// and each pixel of an image counts once every time it is drawn.
inline constexpr std::uint64_t kMaxPlacedPdfWork = std::uint64_t{1} << 28;
// The deepest nesting of form XObjects in a placed PDF file.
inline constexpr int kDeepestPlacedForms = 28;

// Whether drawing the first page of the PDF file stays within the limits above; when not, the
// reason in error. A file that can't be parsed is refused too.
bool PdfWithinBudget(const std::string& bytes, std::string& error);

// Whether the images a placed SVG file embeds (its data: URLs) stay within the limits above, each
// measured from its header (PNG and JPEG; an image of another kind can't be measured and is
// refused); when not, the reason in error. A link whose text an entity supplies can't be checked
// and is refused too.
bool SvgWithinBudget(std::string_view bytes, std::string& error);

}  // namespace host

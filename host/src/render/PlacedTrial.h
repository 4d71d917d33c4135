// Reading and drawing a placed file where the operating system can stop it. The decoders that
// placed files reach (poppler's functions, shadings, JBIG2 and DCT streams and fonts, librsvg,
// libjpeg, libtiff) take their sizes and their work from the file itself, in more ways than a check
// made beforehand can price, so the first time a picture needs a file's content, a process of its
// own reads and draws it under a bound of CPU time, memory and wall-clock time; the picture draws
// the file only when that trial ended within the bound. The verdict is kept for the content (its
// SHA-256) for the life of the process, so that a file placed a thousand times is tried once.
//
// The trials are forked from a helper process that this process forks the first time a trial is
// needed, before the picture's libraries have started threads of their own (librsvg starts a pool
// of threads that a forked copy of a process lacks): the helper forks one child per trial, bounds its
// CPU time (setrlimit; no core file either), watches its resident memory, kills it past the memory
// or the wall-clock limit, always reaps it, and answers. The helper ends when this process does.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace host {

// The bound of one placed file's trial: CPU seconds (the child is stopped past them), the resident
// memory it may take besides what it held when it started (its allocations are not refused: a
// decoder refused one draws less, and the picture drawing the file afterwards would be granted it;
// the helper kills the child once it holds more), and the wall-clock seconds before it is killed.
inline constexpr unsigned kPlacedTrialCpuSeconds = 3;
inline constexpr std::size_t kPlacedTrialBytes = std::size_t{1} << 30;
inline constexpr unsigned kPlacedTrialWallSeconds = 6;

// What the picture draws the file onto, as the trial draws it: pixels (the frame's size in device
// pixels), or a vector surface of the picture's kind (a PDF, SVG or PostScript file), on which every
// image keeps all its pixels; or, for placing the file, what placing reads of it (placing, of no
// size: its verdicts are kept apart from the pictures').
struct PlacedTrialTarget {
    enum class Kind { pixels, pdf, svg, postscript, other, placing };
    Kind kind = Kind::pixels;
    std::size_t width = 0;
    std::size_t height = 0;
};

// What the trial does in its own process: reads the file and draws it onto the target; false, with
// the reason in failure, when the readers refuse the file or it can't be drawn.
using PlacedTrialWork = bool (*)(const std::filesystem::path& file, const PlacedTrialTarget& target,
                                 std::string& failure);

// Whether the file may be drawn: true when its trial (this content's, on a target of that kind at
// least that large) read and drew it within the bound, or when the file can't be read here (its
// reader then says why). False, with the reason in failure, when the trial refused it, went beyond
// the bound, or failed. Never throws.
bool TryPlacedFile(const std::filesystem::path& file, const PlacedTrialTarget& target, PlacedTrialWork work,
                   std::string& failure) noexcept;

}  // namespace host

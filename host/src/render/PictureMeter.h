// What a picture's process tells the program while it draws, through a page of memory the two share:
// how much work the picture has priced so far (the bound it is drawn under grows with it,
// PictureProcess.h), and which placed file it is drawing, if any, since when, and what that file
// holds, so that a file the bound stops is the one refused, by its content.
//
// Only the picture's process writes the page, the program only reads it; outside a picture's
// process there is no page and every call here does nothing.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace host {

// What a file holds, to know it again whatever its name: its size and a hash of its bytes.
struct ContentId {
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
    auto operator<=>(const ContentId&) const = default;
};

ContentId IdentifyContent(std::string_view bytes);

struct PictureMeter {
    // The work the picture's budget priced so far (RenderBudget.h), across every page and level.
    std::atomic<double> pathWork{0.0};
    std::atomic<double> pixelWork{0.0};
    // Bytes of the placed files read.
    std::atomic<std::uint64_t> placedBytes{0};

    // The CPU time (of the picture's process, in nanoseconds) its placed files have taken, those
    // finished and the one being drawn; the time they may take in all, which the program sets.
    std::atomic<std::int64_t> placedSpent{0};
    std::atomic<std::int64_t> placedAllowed{0};
    // The placed file being drawn: the process's CPU time when it started (0: none is), and its
    // content and path once read.
    std::atomic<std::int64_t> placedSince{0};
    std::atomic<bool> placedKnown{false};
    std::atomic<bool> placedExcused{false};  // it is shown as its frame: its time is the art's
    ContentId placedContent;
    std::uint64_t placedContentBytes = 0;
    char placedFile[1024] = {};

    // The placed files drawn to the end so far, each with the bytes read of it and the CPU time it
    // took: those that took more than their bytes allow took the placed files' time.
    struct DrawnFile {
        ContentId content;
        std::uint64_t bytes = 0;
        std::int64_t taken = 0;
    };
    static constexpr int kDrawnFiles = 64;
    std::atomic<int> drawnFiles{0};
    DrawnFile drawn[kDrawnFiles];

    // Set by the program when the placed files have no time left: every placed file is read to
    // know what it holds, then shown as its frame, its content noted here.
    std::atomic<bool> framesOnly{false};
    std::atomic<int> framedFiles{0};
    ContentId framed[kDrawnFiles];
};

// The page of the picture being drawn in this process; null outside a picture's process.
inline PictureMeter* gPictureMeter = nullptr;

// The CPU time this process has taken, in nanoseconds.
std::int64_t ProcessCpuNanoseconds();

// Adds to the picture's priced work (RenderBudget.h calls it as it spends).
inline void MeterWork(std::atomic<double> PictureMeter::*counter, double work) {
    if (gPictureMeter != nullptr) {
        std::atomic<double>& to = gPictureMeter->*counter;
        to.store(to.load(std::memory_order_relaxed) + work, std::memory_order_relaxed);
    }
}

// The drawing of one placed file whose work no budget prices (an image, a PDF page, an SVG
// document: their decoders), from before it is read to its last stroke: its CPU time counts against
// what the picture's placed files may take, not against the picture's own art. Not nested: a scope
// inside another (a file placed in a native document placed in this one) leaves it to the outer.
class PlacedFileWork {
public:
    PlacedFileWork();
    ~PlacedFileWork();
    PlacedFileWork(const PlacedFileWork&) = delete;
    PlacedFileWork& operator=(const PlacedFileWork&) = delete;

    // Whether the picture's placed files have taken all the time they may.
    static bool TimeSpent();

private:
    bool started_ = false;
};

// The placed file being drawn is shown as its frame: the time it took to be read is not its own.
void ExcusePlacedReading();

// True, the content noted, when the picture's placed files have no time left and the file that
// holds it is to be shown as its frame.
bool ShownAsFrameForTime(const ContentId& content);

// Says what the placed file being drawn holds, once its bytes are read: it is the file refused when
// the bound stops the picture while it draws.
void NotePlacedContent(const ContentId& content, const std::filesystem::path& file, std::size_t bytes);

}  // namespace host

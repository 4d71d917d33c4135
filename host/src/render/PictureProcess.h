// Drawing a picture where the operating system can stop it. A picture (pixels of art, a PDF, SVG or
// EPS copy, the artboard's PNG, placing's read of a file) reaches decoders that take their sizes and
// their work from what they read (poppler's functions, shadings, JBIG2 and DCT streams and fonts,
// librsvg, libjpeg, libtiff), in more ways than a check made beforehand can price, and those
// libraries start threads of their own. So each picture is drawn as a whole in a child process
// forked at the time of the picture, under a bound of CPU time, memory and wall-clock time, and
// hands back what it made in a file of memory that this process then maps, so that pixels and
// copies are not copied on the way: this process never runs those libraries, stays
// single-threaded (so it can always fork, and the signals it holds back stay held), and a picture
// past the bound fails as a whole, its reason on standard error, with nothing partial written.
//
// The child dies with this process (PR_SET_PDEATHSIG), holds its signals' default actions, ends
// with _exit, and writes to none of this process's descriptors but its result's: what it says on
// standard error is kept and said here once it has ended. Under the sanitizers, a sanitizer's report
// from the child is printed here, and this process aborts, so that faults are still seen.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "render/PictureMeter.h"

namespace host {

// The base of a picture's bound: what it may take for what can't be priced, whatever it holds. CPU
// seconds for its own art, and as many again for its placed files (an image, a PDF page, an SVG
// document: their decoders), the resident memory it may take besides what it held when it started
// and the picture's own surface (its allocations are not refused: a decoder refused one draws less;
// the child is killed once it holds more), and the wall-clock time before it is killed (not
// counting the time it waited for a processor while the machine was busy, nor the time this
// process itself was stopped, up to ten times the bound). The bound a picture is drawn under grows
// from this base with what it holds and draws (PictureAllowance).
struct PictureBound {
    std::chrono::milliseconds cpu{3000};
    std::size_t bytes = std::size_t{1} << 30;
    std::chrono::milliseconds wall{6000};
    bool operator==(const PictureBound&) const = default;
};

// The bound every picture of this process is drawn under (the defaults above until set; four times
// the time in a build under the sanitizers, whose own code is slower). The user sets it through the
// application's preferences "pictureTimeLimit" (seconds) and "pictureMemoryLimit" (MiB); tests
// that expect a hostile picture to be refused lower it; setting the defaults puts the build's own
// back.
PictureBound CurrentPictureBound();
void SetPictureBound(const PictureBound& bound);
// The bound from the user's limits: seconds of CPU time (the wall-clock time twice as long) and MiB
// of memory, the times four times as long under the sanitizers.
void SetPictureLimits(unsigned seconds, std::size_t mebibytes);

// What a picture's CPU time grows by beyond its base (in seconds), for what it holds and draws: its
// surface's pixels (made, cleared, put on white and handed back), the objects and points of paths
// the document holds of the art drawn, and the work its budget prices as it draws (RenderBudget.h:
// path work, pixel work). Each is one and a half to three times what this machine takes for it
// (the prices of the budget's constructs are measured against cairo by bench/PricesBench.cpp), so
// that a picture the budgets admit ends within the bound on a slower one, and one that costs more
// than it is priced at spends the job's base; a document of a few kilobytes holds little, and its
// bound stays near the base. Its placed files' time grows with their bytes.
// Times four under the sanitizers.
struct PictureAllowance {
    static constexpr double kPerSurfacePixel = 60e-9;
    static constexpr double kPerObject = 300e-6;
    static constexpr double kPerPoint = 1e-6;
    static constexpr double kPerPathWork = 1.5e-6;
    static constexpr double kPerPixelWork = 40e-9;
    static constexpr double kPerPlacedByte = 100e-9;
};

// What a picture holds and draws onto: the pixels of its surface (none for a vector copy), the
// bytes its surface and its result take (allowed besides the bound's memory), and the objects and
// points of paths of the art it draws, as the document holds them.
struct PictureLoad {
    std::size_t pixels = 0;
    std::size_t bytes = 0;
    std::size_t objects = 0;
    std::size_t points = 0;
    std::size_t pages = 1;  // the pages of a vector copy, each priced by a budget of its own
};

// The pictures of one job (an export, a rasterize, the artboard's picture: one call of the plug-in,
// or one picture drawn by itself) share one base. Each picture may take the allowances of what it
// holds and draws, and a little more for its own process (kPictureSlack); what it takes beyond
// that comes out of the job's base, so a job of any number of pictures takes at most one base
// beyond its content's allowances, and a picture stopped once the job's base is spent is refused.
// Its placed files likewise: each may take the base, and beyond what their bytes allow, the placed
// files of the whole job may take twice the base. The files that took that time (more than their
// bytes allow) are drawn as their frames for the rest of the job, at once. Scopes nest: an inner
// one joins the job already running.
class PictureJob {
public:
    PictureJob();
    ~PictureJob();
    PictureJob(const PictureJob&) = delete;
    PictureJob& operator=(const PictureJob&) = delete;
};

// What a picture's own process takes besides its drawing (its start and end, the handing back),
// allowed to every picture without spending the job's base. Four times as much under the
// sanitizers.
inline constexpr std::chrono::milliseconds kPictureSlack{20};

// The reason a placed file's content was refused (the bound stopped a picture while it drew that
// content), for as long as this process runs, or is shown as its frame for the rest of the job
// (it took the time of the job's placed files); null when it was neither. Every later picture
// shows such a file as its grey frame at once, whatever its name.
const std::string* RefusedContent(const ContentId& content);
// Forgets every refusal (for tests).
void ForgetRefusedContent();

// Where the picture's process writes what it made, as it makes it, up to the bound's memory.
class PictureOutput {
public:
    PictureOutput(int descriptor, std::size_t capacity) : descriptor_(descriptor), capacity_(capacity) {}
    // False when the bytes can't be written: past the capacity (full() then says so), or the
    // system refused them.
    bool Write(const void* data, std::size_t size);
    bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
    std::size_t written() const { return written_; }
    bool full() const { return full_; }

private:
    int descriptor_;
    std::size_t capacity_;
    std::size_t written_ = 0;
    bool full_ = false;
};

// The work of one picture, in its own process: writes what it made to the output; false, with the
// reason in failure, when it can't be drawn (a refusal of the picture's own, within the bound).
using PictureWork = std::function<bool(PictureOutput& output, std::string& failure)>;

// The bytes a picture's process made, mapped from where it wrote them; they stay valid as long as
// this object.
class PictureBytes {
public:
    PictureBytes() = default;
    // Bytes of a mapping of their own, unmapped with this object.
    PictureBytes(void* mapping, std::size_t mapped, std::size_t size)
        : mapping_(mapping), mapped_(mapped), size_(size) {}
    // Bytes of a mapping the lease keeps, which is written again once no object holds the lease:
    // their memory is kept for that (GiveBack gives nothing back).
    PictureBytes(const void* bytes, std::size_t size, std::shared_ptr<const void> lease)
        : mapping_(const_cast<void*>(bytes)), size_(size), lease_(std::move(lease)) {}
    PictureBytes(PictureBytes&& other) noexcept { *this = std::move(other); }
    PictureBytes& operator=(PictureBytes&& other) noexcept;
    PictureBytes(const PictureBytes&) = delete;
    PictureBytes& operator=(const PictureBytes&) = delete;
    ~PictureBytes();

    std::string_view view() const { return {static_cast<const char*>(mapping_), size_}; }
    operator std::string_view() const { return view(); }
    std::size_t size() const { return size_; }
    char operator[](std::size_t at) const { return view()[at]; }
    // The first size bytes, the mapping moved into them.
    PictureBytes Prefix(std::size_t size) &&;
    // Gives the memory of the bytes before end back to the system (whole pages): they are not to be
    // read again.
    void GiveBack(std::size_t end) noexcept;

private:
    void Unmap() noexcept;

    void* mapping_ = nullptr;
    std::size_t mapped_ = 0;
    std::size_t size_ = 0;
    std::size_t givenBack_ = 0;
    std::shared_ptr<const void> lease_;
};

struct PictureResult {
    enum class End {
        made,    // the work answered true: bytes holds what it wrote
        failed,  // the work answered false within the bound: failure says why
        beyond,  // past the bound, or its process could not be started or ended abnormally
    };
    End end = End::beyond;
    PictureBytes bytes;
    std::string failure;
    bool made() const { return end == End::made; }
};

// Runs the work in a child process under the current bound, grown by what the picture holds and
// draws, within what its job has left (PictureJob; a picture drawn outside a job is a job of its
// own). Each placed file may take the base of CPU time, and the placed files of a job twice the
// base in all, over every drawing, beyond what their bytes allow. When the bound stops it while it draws a
// placed file that took more than one may (or the memory or the wall-clock time), that file's content is
// refused (RefusedContent) and the picture is drawn again at once, showing the file as its frame; when the
// placed files together took all their time, the picture is drawn again showing those it has no
// time left for as their frames. Past the bound, the reason goes to standard error too. Never
// throws.
PictureResult DrawPictureApart(const PictureWork& work, const PictureLoad& load) noexcept;

// The work of a picture a job's worker draws (DrawPictureInWorker): a function of this program,
// which the worker, a copy of this process, holds at the same address, and the bytes of the recipe
// it draws from.
using PictureRecipeWork = bool (*)(std::string_view recipe, PictureOutput& output, std::string& failure);

// What a worker holds of this process that a recipe may name rather than carry: an object (a
// document) as it was when the worker started, by its address and the revision of its state.
struct PictureHeld {
    const void* object = nullptr;
    std::uint64_t revision = 0;
    bool operator==(const PictureHeld&) const = default;
};

// The recipe of a picture, asked for once its worker is known: held true when the worker holds the
// object as it now is (the recipe may name it: the worker draws its own copy); false when the
// recipe must carry it whole (none when it would be too much to hand over: a worker is then
// started that holds it, and the recipe asked for again, held).
using PictureRecipe = std::function<std::optional<std::string>(bool held)>;

// Draws the picture as DrawPictureApart does, under the same bound, in the same job, with the same
// accounting, refusals and frames, its result in a file of memory, but in the job's worker: a
// process forked from this one at the job's first such picture (or when the bound, the refusals or
// frames of placed files changed, or the one before ended: killed at its picture's bound, or at the
// most CPU time it may take), that draws one picture after another, each under its own bound (the
// CPU time, memory and wall-clock time it takes from its start), each told its recipe. A picture
// thus pays no process of its own, nor the copy of this process's memory a process costs to
// start. The worker is ended with its job (PictureJob), or with this process. When no worker can be
// started, the picture is drawn in a process of its own.
PictureResult DrawPictureInWorker(PictureRecipeWork draw, const PictureRecipe& recipe,
                                  const PictureHeld& held, const PictureLoad& load) noexcept;

// The process id of the job's worker; 0 when none runs (for tests).
int PictureWorkerProcess();

}  // namespace host

#include "render/PlacedPainter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <limits>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <cairo.h>
#include <glib-object.h>
#include <glib.h>
#include <librsvg/rsvg.h>
#include <poppler.h>

#include "model/ResolvedPath.h"
#include "render/CairoHandles.h"
#include "render/PictureProcess.h"
#include "render/PixelSurface.h"
#include "render/PlacedFiles.h"
#include "render/RenderContext.h"

namespace host {
namespace {

// Native documents inside native documents are drawn this many levels deep at most.
constexpr std::size_t kDeepestDocuments = 16;
// Native documents drawn inside one picture at most: documents that each place the next many
// times would otherwise multiply the drawing beyond any time a picture may take.
constexpr std::size_t kMostDocumentDraws = 4096;

struct ErrorDeleter {
    void operator()(GError* error) const { g_error_free(error); }
};
using Error = std::unique_ptr<GError, ErrorDeleter>;

// A file read for drawing: one of its forms, and its extent in its own units (y growing downward,
// the top-left corner at the origin), which the frame of the placed object receives. An image may
// be kept smaller than its pixels: at the size a picture of pixels draws it.
struct LoadedFile {
    double width = 0.0;
    double height = 0.0;
    CairoSurface image;
    std::size_t imageWidth = 0;  // the kept image's pixels
    std::size_t imageHeight = 0;
    std::optional<model::Document> document;
    model::Rect artboard;
    std::size_t bytes = 0;  // an image's pixels in memory
    std::shared_ptr<PopplerPage> page;
    std::shared_ptr<RsvgHandle> svg;
    ContentId content;  // what the file held (images and vector files)
};

bool HasExtension(const std::filesystem::path& file, std::string_view wanted) {
    const std::string extension = file.extension().string();
    return extension.size() == wanted.size() + 1 &&
           g_ascii_strncasecmp(extension.c_str() + 1, wanted.data(), wanted.size()) == 0;
}

// The image's pixels as a surface, made smaller when the picture draws it smaller (kept at the size
// wanted, each side no larger than the image's): a picture drawing a large image many times then
// keeps what it shows, not every pixel of the file.
std::unique_ptr<LoadedFile> LoadImage(model::RasterPixels& pixels, std::size_t wantedWidth,
                                      std::size_t wantedHeight, std::string& error) {
    if (pixels.empty() || !pixels.isConsistent()) {
        error = "the image's pixels can't be read";  // a PSD whose composite image the reader can't read
        return nullptr;
    }
    auto loaded = std::make_unique<LoadedFile>();
    loaded->image.reset(MakePixelSurface(pixels));
    if (loaded->image == nullptr) {
        error = "the image is too large to draw";
        return nullptr;
    }
    loaded->width = static_cast<double>(pixels.width);
    loaded->height = static_cast<double>(pixels.height);
    pixels = {};  // the decoded bytes go before a smaller copy is made
    loaded->imageWidth = std::clamp<std::size_t>(wantedWidth, 1, static_cast<std::size_t>(loaded->width));
    loaded->imageHeight = std::clamp<std::size_t>(wantedHeight, 1, static_cast<std::size_t>(loaded->height));
    if (loaded->imageWidth < static_cast<std::size_t>(loaded->width) ||
        loaded->imageHeight < static_cast<std::size_t>(loaded->height)) {
        CairoSurface smaller(cairo_image_surface_create(CAIRO_FORMAT_ARGB32,
                                                        static_cast<int>(loaded->imageWidth),
                                                        static_cast<int>(loaded->imageHeight)));
        const CairoContext context(cairo_create(smaller.get()));
        cairo_scale(context.get(), static_cast<double>(loaded->imageWidth) / loaded->width,
                    static_cast<double>(loaded->imageHeight) / loaded->height);
        cairo_set_source_surface(context.get(), loaded->image.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(context.get()), CAIRO_FILTER_GOOD);
        cairo_paint(context.get());
        if (cairo_status(context.get()) != CAIRO_STATUS_SUCCESS) {
            error = "the image could not be made smaller to draw";
            return nullptr;
        }
        loaded->image = std::move(smaller);
    }
    loaded->bytes = loaded->imageWidth * loaded->imageHeight * 4;
    return loaded;
}

std::unique_ptr<LoadedFile> LoadDocument(PlacedFile& placed, std::string& error) {
    auto loaded = std::make_unique<LoadedFile>();
    loaded->artboard = placed.frame;
    loaded->width = placed.frame.width();
    loaded->height = placed.frame.height();
    loaded->document = std::move(placed.document);
    if (!loaded->document) {
        error = "the document can't be read";
        return nullptr;
    }
    return loaded;
}

// Whether the host draws files of the kind: images, native documents, PDF and SVG files (not EPS
// or text files).
bool Drawable(const std::filesystem::path& file) {
    const std::optional<PlacedKind> kind = PlacedKindOf(file);
    return kind && *kind != PlacedKind::text && !HasExtension(file, "eps") && !HasExtension(file, "epsf");
}

// The file read, in a form to draw; an image at the size wanted.
std::unique_ptr<LoadedFile> LoadRead(PlacedFile& placed, std::size_t wantedWidth, std::size_t wantedHeight,
                                     std::string& error) {
    const PlacedKind kind = placed.kind;
    if (kind == PlacedKind::image) {
        std::unique_ptr<LoadedFile> loaded = LoadImage(placed.pixels, wantedWidth, wantedHeight, error);
        if (loaded != nullptr) {
            loaded->content = placed.content;
        }
        return loaded;
    }
    if (kind == PlacedKind::document) {
        return LoadDocument(placed, error);
    }
    auto loaded = std::make_unique<LoadedFile>();
    loaded->content = placed.content;
    loaded->width = placed.frame.width();
    loaded->height = placed.frame.height();
    loaded->page = std::move(placed.pdfPage);
    loaded->svg = std::move(placed.svg);
    return loaded;
}

// The file in a form to draw, an image at the size wanted; null, with the reason in error, when it
// can't be drawn. The placed-art suite's readers open it (size limits, the cost of a PDF page or an
// SVG file's images, the extent as the drawing library measures it), so a file they refuse is not
// drawn either.
std::unique_ptr<LoadedFile> LoadFile(const std::filesystem::path& file, std::size_t wantedWidth,
                                     std::size_t wantedHeight, std::string& error) {
    if (!Drawable(file)) {
        error = "the host draws no files of this kind";
        return nullptr;
    }
    std::optional<PlacedFile> placed = ReadPlacedFile(file, true, error);
    if (!placed) {
        return nullptr;
    }
    return LoadRead(*placed, wantedWidth, wantedHeight, error);
}

// The path as a message can show it: a NUL, which ends a C string, shown as "\0".
std::string Printable(const std::filesystem::path& file) {
    std::string text;
    for (const char c : file.string()) {
        text += c == '\0' ? std::string("\\0") : std::string(1, c);
    }
    return text;
}

// Draws a file read as a PDF page or an SVG document onto the context, its extent from the origin;
// false, with the reason in failure, when librsvg fails. Images and native documents are not drawn
// here.
bool PaintLoaded(cairo_t* cr, const LoadedFile& loaded, std::string& failure) {
    if (loaded.page) {
        poppler_page_render(loaded.page.get(), cr);  // poppler scales its images to the device
        return true;
    }
    if (loaded.svg) {
        const RsvgRectangle viewport{0.0, 0.0, loaded.width, loaded.height};
        GError* error = nullptr;
        const bool drawn = rsvg_handle_render_document(loaded.svg.get(), cr, &viewport, &error) != FALSE;
        const Error freed(error);
        if (!drawn) {
            failure = std::string("librsvg could not draw it") +
                      (error != nullptr ? std::string(": ") + error->message : "");
        }
        return drawn;
    }
    failure = "it can't be drawn";
    return false;
}

}  // namespace

struct PlacedPainter::Session {
    // A file read, or the reason it can't be drawn.
    struct Entry {
        std::unique_ptr<LoadedFile> loaded;
        std::string failure;
    };
    // By the file's absolute path.
    std::map<std::filesystem::path, Entry> files;
    // The images among them, the least recently drawn first, and their pixels' bytes together.
    std::list<std::filesystem::path> images;
    std::size_t imageBytes = 0;
    // The native documents being drawn, the outermost first.
    std::vector<std::filesystem::path> documents;
    // How many native documents this picture has drawn.
    std::size_t documentDraws = 0;
    // Where the links of the picture's own document resolve.
    std::filesystem::path linkFolder;
    // What standard error has said of this picture's files: each file and reason once.
    std::set<std::pair<std::filesystem::path, std::string>> reported;
    // The links resolved, by the path they join to.
    std::map<std::filesystem::path, std::filesystem::path> links;

    // The file read, an image at least the size wanted (when its pixels allow); null, with the
    // reason in failure, when it can't be drawn. A file is read once per picture, an image again
    // only when it is wanted larger than it is kept, or its room was needed for others.
    const LoadedFile* Find(const std::filesystem::path& file, std::size_t wantedWidth,
                           std::size_t wantedHeight, std::string& failure) {
        const auto found = files.find(file);
        if (found != files.end()) {
            Entry& entry = found->second;
            const LoadedFile* loaded = entry.loaded.get();
            failure = entry.failure;
            if (loaded == nullptr || loaded->image == nullptr) {
                return loaded;
            }
            if (LargeEnough(*loaded, wantedWidth, wantedHeight)) {
                if (const auto at = std::find(images.begin(), images.end(), file); at != images.end()) {
                    images.splice(images.end(), images, at);  // the most recently drawn now
                }
                return loaded;
            }
            wantedWidth = std::max(wantedWidth, loaded->imageWidth);
            wantedHeight = std::max(wantedHeight, loaded->imageHeight);
            Forget(file);
        }
        std::unique_ptr<LoadedFile> loaded = LoadFile(file, wantedWidth, wantedHeight, failure);
        if (loaded != nullptr && loaded->image != nullptr) {
            KeepImage(file, loaded->bytes);
        }
        return files.emplace(file, Entry{std::move(loaded), failure}).first->second.loaded.get();
    }

    // Says on standard error why the file shows as its frame, once per file, reason and picture.
    void Report(const std::filesystem::path& file, const std::string& reason) {
        if (!reported.emplace(file, reason).second) {
            return;
        }
        if (file.empty()) {
            std::cerr << "plimhost: a placed object is drawn as its frame: " << reason << '\n';
        } else {
            std::cerr << "plimhost: the placed file " << Printable(file)
                      << " is drawn as its frame: " << reason << '\n';
        }
    }

private:
    static bool LargeEnough(const LoadedFile& loaded, std::size_t wantedWidth, std::size_t wantedHeight) {
        return (loaded.imageWidth >= wantedWidth ||
                loaded.imageWidth >= static_cast<std::size_t>(loaded.width)) &&
               (loaded.imageHeight >= wantedHeight ||
                loaded.imageHeight >= static_cast<std::size_t>(loaded.height));
    }

    void Forget(const std::filesystem::path& file) {
        const auto found = files.find(file);
        if (found->second.loaded != nullptr && found->second.loaded->image != nullptr) {
            imageBytes -= found->second.loaded->bytes;
            images.remove(file);
        }
        files.erase(found);
    }

    // Makes room for an image of that many bytes: the least recently drawn images go (drawn again,
    // they are read again), so that a picture holds at most kPlacedImageBytes of them besides the
    // one being drawn.
    void KeepImage(const std::filesystem::path& file, std::size_t bytes) {
        while (!images.empty() && imageBytes + bytes > kPlacedImageBytes) {
            Forget(images.front());
        }
        images.push_back(file);
        imageBytes += bytes;
    }
};

namespace {
// The file a link names, its folder resolved as the system resolves it (a link's ".." is the parent
// of its target; the file's own name kept, so that its kind is the link's): a relative link resolves
// against the folder of the document holding it (the innermost native document being drawn, else
// the current document). A folder the system fails stays as joined, so that reading the file fails
// as the system fails. Empty for an empty link. Each link is resolved once a picture.
std::filesystem::path ResolvedLink(PlacedPainter::Session& session, const std::string& link) {
    if (link.empty()) {
        return {};
    }
    const std::filesystem::path path(link);
    if (!path.is_absolute() && session.documents.empty() && session.linkFolder.empty()) {
        std::error_code failed;
        session.linkFolder = std::filesystem::current_path(failed);
    }
    const std::filesystem::path joined =
        path.is_absolute()
            ? path
            : (session.documents.empty() ? session.linkFolder : session.documents.back().parent_path()) /
                  path;
    const auto known = session.links.find(joined);
    if (known != session.links.end()) {
        return known->second;
    }
    return session.links.emplace(joined, model::resolvedPath(joined)).first->second;
}

// Draws the document's active artboard in its own units, the artboard's top-left corner at the
// origin, through the picture's drawer; a document already being drawn, one too deep inside others,
// or one beyond the picture's count of documents is not drawn, the reason in failure.
bool DrawDocument(cairo_t* cr, ArtDrawer& drawer, PlacedPainter::Session& session,
                  const std::filesystem::path& file, const LoadedFile& loaded, std::string& failure) {
    if (std::find(session.documents.begin(), session.documents.end(), file) != session.documents.end()) {
        failure = "the document is drawn inside itself";
        return false;
    }
    if (session.documents.size() >= kDeepestDocuments) {
        failure = "documents placed inside one another are drawn " + std::to_string(kDeepestDocuments) +
                  " deep at most";
        return false;
    }
    if (session.documentDraws >= kMostDocumentDraws) {
        failure = "a picture draws " + std::to_string(kMostDocumentDraws) + " placed documents at most";
        return false;
    }
    session.documents.push_back(file);
    ++session.documentDraws;
    const bool drawn = drawer.DrawDocument(cr, *loaded.document, loaded.artboard);
    session.documents.pop_back();
    if (!drawn) {
        failure = "drawing the document went beyond what a picture may draw, or cairo failed";
    }
    return drawn;
}

// The pixels a picture of pixels needs to show the frame at its size: the frame's sides on the
// device. None on a vector surface, which keeps an image's every pixel.
std::optional<std::pair<std::size_t, std::size_t>> WantedPixels(cairo_t* cr,
                                                                const model::PlacedContent& placed) {
    const cairo_surface_type_t type = cairo_surface_get_type(cairo_get_target(cr));
    if (type != CAIRO_SURFACE_TYPE_IMAGE) {
        return std::nullopt;
    }
    const model::Matrix& m = placed.box.matrix;
    cairo_matrix_t device;
    cairo_get_matrix(cr, &device);
    cairo_matrix_t frame;
    cairo_matrix_init(&frame, m.a, m.b, m.c, m.d, m.tx, m.ty);
    cairo_matrix_multiply(&device, &frame, &device);
    const auto side = [](double length) {
        return std::isfinite(length) && length < 1e9 ? static_cast<std::size_t>(std::ceil(length)) + 1
                                                     : std::numeric_limits<std::size_t>::max();
    };
    return std::pair(side(placed.box.frame.width() * std::hypot(device.xx, device.yx)),
                     side(placed.box.frame.height() * std::hypot(device.xy, device.yy)));
}

// Moves the context's user space into the frame the placement makes of the file's extent, and
// clips it there: nothing shows outside the frame (a PDF page or SVG document may draw beyond its
// box).
void EnterFrame(cairo_t* cr, const LoadedFile& loaded, const cairo_matrix_t& placement) {
    cairo_transform(cr, &placement);
    cairo_rectangle(cr, 0.0, 0.0, loaded.width, loaded.height);
    cairo_clip(cr);
}

// Notes the object left out for want of budget; true, as nothing is left to draw.
bool LeftOut(const RenderContext& context, const model::ArtData& art) {
    context.picture.simplified.Note(Simplification::fillLeftOut, art);
    return true;
}

// Paints a decoded image in its frame, as the document's work: priced by the picture's budget (its
// pixels, and the clip it is painted under), left out past it.
bool PaintImage(const RenderContext& context, const model::ArtData& art, const model::PlacedContent& placed,
                const LoadedFile& loaded, const cairo_matrix_t& placement) {
    cairo_t* cr = context.cr;
    if (!SpendClip(context) || !SpendPaint(context, placed.box.bounds(), 0.0, DeviceClip(cr))) {
        return LeftOut(context, art);
    }
    const SavedState saved(cr);
    EnterFrame(cr, loaded, placement);
    cairo_scale(cr, loaded.width / static_cast<double>(loaded.imageWidth),
                loaded.height / static_cast<double>(loaded.imageHeight));
    cairo_set_source_surface(cr, loaded.image.get(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    return true;
}

// A group pushed onto the context, popped however the drawing into it ends.
class PushedGroup {
public:
    explicit PushedGroup(cairo_t* cr) : cr_(cr) { cairo_push_group(cr); }
    ~PushedGroup() {
        if (cr_ != nullptr) {
            cairo_pattern_destroy(cairo_pop_group(cr_));
        }
    }
    PushedGroup(const PushedGroup&) = delete;
    PushedGroup& operator=(const PushedGroup&) = delete;

    CairoPattern Pop() { return CairoPattern(cairo_pop_group(std::exchange(cr_, nullptr))); }

private:
    cairo_t* cr_;
};

// Draws a PDF page or an SVG document in its frame, in the file's time (work). Under a clip that
// cairo would rasterize at every stroke of the file, it draws into an image of the frame within the
// clip, without the clip, and that image is painted under the clip once the file's time has ended,
// as the document's work: priced by the picture's budget (the image's pixels, and the clip), left
// out past it.
bool DrawVectorFile(const RenderContext& context, const model::ArtData& art,
                    const model::PlacedContent& placed, const LoadedFile& loaded,
                    const cairo_matrix_t& placement, std::optional<PlacedFileWork>& work,
                    std::string& failure) {
    cairo_t* cr = context.cr;
    if (!PaintRasterizesClip(cr)) {
        const SavedState saved(cr);
        EnterFrame(cr, loaded, placement);
        return PaintLoaded(cr, loaded, failure);
    }
    SavedState bounds;
    ClipToExtent(cr, placed.box.bounds(), bounds);
    const double pixels = ShownPixels(cr);
    if (pixels == 0.0) {
        return true;  // nothing of the frame shows
    }
    if (!SpendClip(context) || !context.picture.budget.SpendPixels(pixels)) {
        return LeftOut(context, art);
    }
    bool drawn = false;
    CairoPattern image;
    {
        PushedGroup group(cr);
        cairo_reset_clip(cr);
        EnterFrame(cr, loaded, placement);
        drawn = PaintLoaded(cr, loaded, failure);
        image = group.Pop();
    }
    work.reset();
    if (drawn) {
        cairo_set_source(cr, image.get());
        cairo_paint(cr);
    }
    return drawn;
}

// Placing's work, in a process of its own: reads the file as placing does, decodes an image whole,
// and draws a PDF page or an SVG document onto pixels of its whole frame at 300 pixels per inch,
// as a print's picture draws it (its longer side 4,096 at most). Writes the kind, the frame and,
// when asked, the image's pixels.
bool ReadForPlacing(const std::filesystem::path& file, bool decode, PictureOutput& output,
                    std::string& failure) {
    const PlacedFileWork work;
    const bool image = PlacedKindOf(file) == PlacedKind::image;
    std::optional<PlacedFile> placed = ReadPlacedFile(file, image, failure);
    if (!placed) {
        return false;
    }
    if (image && (placed->pixels.empty() || !placed->pixels.isConsistent())) {
        failure = "the image's pixels can't be read";
        return false;
    }
    if (!image && Drawable(file)) {
        const std::unique_ptr<LoadedFile> loaded = LoadRead(*placed, 0, 0, failure);
        if (loaded == nullptr) {
            return false;
        }
        if (!(loaded->width > 0.0) || !(loaded->height > 0.0)) {
            failure = "its extent is empty";
            return false;
        }
        static constexpr double kLargestSide = 4096.0;
        const double scale = std::min(300.0 / 72.0, kLargestSide / std::max(loaded->width, loaded->height));
        const auto side = [scale](double length) {
            return static_cast<int>(std::clamp(std::ceil(length * scale), 1.0, kLargestSide));
        };
        const CairoSurface surface(
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, side(loaded->width), side(loaded->height)));
        const CairoContext context(cairo_create(surface.get()));
        cairo_scale(context.get(), scale, scale);
        cairo_rectangle(context.get(), 0.0, 0.0, loaded->width, loaded->height);
        cairo_clip(context.get());
        if (!PaintLoaded(context.get(), *loaded, failure)) {
            return false;
        }
    }
    const auto kind = static_cast<std::uint8_t>(placed->kind);
    const double frame[4] = {placed->frame.left, placed->frame.top, placed->frame.right,
                             placed->frame.bottom};
    return output.Write(&kind, 1) && output.Write(frame, sizeof frame) &&
           (!image || !decode || WritePixels(output, placed->pixels));
}

// What ReadForPlacing wrote, read back; none when it isn't whole.
std::optional<PlacedFile> ReadPlacingAnswer(std::string_view bytes, bool pixels) {
    double frame[4];
    if (bytes.size() < 1 + sizeof frame || bytes[0] > static_cast<char>(PlacedKind::text)) {
        return std::nullopt;
    }
    PlacedFile placed;
    placed.kind = static_cast<PlacedKind>(bytes[0]);
    std::memcpy(frame, bytes.data() + 1, sizeof frame);
    placed.frame = model::Rect(frame[0], frame[1], frame[2], frame[3]);
    bytes.remove_prefix(1 + sizeof frame);
    if (pixels) {
        std::optional<model::RasterPixels> read = ReadPixels(bytes);
        if (!read) {
            return std::nullopt;
        }
        placed.pixels = std::move(*read);
    }
    return placed;
}

}  // namespace

std::optional<PlacedFile> ReadPlacedFileWithinBound(const std::filesystem::path& file, bool decode,
                                                    std::string& error) {
    const std::optional<PlacedKind> kind = PlacedKindOf(file);
    if (!kind || *kind == PlacedKind::document || *kind == PlacedKind::text) {
        return ReadPlacedFile(file, decode, error);  // the host's own readers, which run no decoder
    }
    constexpr std::size_t kLargestSide = 4096;
    const PictureResult picture =
        DrawPictureApart([&](PictureOutput& output,
                             std::string& failure) { return ReadForPlacing(file, decode, output, failure); },
                         PictureLoad{kLargestSide * kLargestSide, kLargestSide * kLargestSide * 4});
    if (!picture.made()) {
        error = picture.failure;
        return std::nullopt;
    }
    std::optional<PlacedFile> placed = ReadPlacingAnswer(picture.bytes, *kind == PlacedKind::image && decode);
    if (!placed) {
        error = "the file's reading answered nothing whole";
    }
    return placed;
}

PlacedPainter::PlacedPainter(ArtDrawer& drawer, const std::filesystem::path& linkFolder)
    : session_(std::make_unique<Session>()), drawer_(drawer) {
    session_->linkFolder = linkFolder;  // empty: the working folder, found when a link needs it
}

PlacedPainter::~PlacedPainter() = default;

void PlacedPainter::StartPage() {
    session_->documentDraws = 0;
}

bool PlacedPainter::Draw(const RenderContext& context, const model::ArtData& art,
                         const model::PlacedContent& placed) noexcept {
    std::filesystem::path file;
    std::string failure;
    try {
        file = ResolvedLink(*session_, placed.file);
        if (file.empty()) {
            failure = "the placed object links to no file";
        } else if (DrawFile(context, art, placed, file, failure)) {
            return true;
        }
    } catch (const std::exception& error) {
        failure = std::string("drawing it failed: ") + error.what();
    } catch (...) {
        failure = "drawing it failed";
    }
    try {
        session_->Report(file, failure.empty() ? std::string("it can't be drawn") : failure);
    } catch (...) {
        // Standard error can't be written: the frame shows all the same.
    }
    return false;
}

bool PlacedPainter::DrawFile(const RenderContext& context, const model::ArtData& art,
                             const model::PlacedContent& placed, const std::filesystem::path& file,
                             std::string& failure) {
    cairo_t* cr = context.cr;
    // A file whose work no budget prices (an image, a PDF page, an SVG document) takes the time of
    // the picture's placed files for its reading, decoding and drawing; what the document does
    // around it (painting an image onto the picture, the clip it is painted under) is art the
    // picture's budget prices, and so is a native document.
    std::optional<PlacedFileWork> work;
    if (PlacedKindOf(file) != PlacedKind::document) {
        if (PlacedFileWork::TimeSpent()) {
            failure = "the picture's placed files have taken all the time they may take";
            return false;
        }
        work.emplace();
    }
    const std::optional<std::pair<std::size_t, std::size_t>> wanted = WantedPixels(cr, placed);
    constexpr std::size_t kEvery = std::numeric_limits<std::size_t>::max();
    const LoadedFile* loaded =
        session_->Find(file, wanted ? wanted->first : kEvery, wanted ? wanted->second : kEvery, failure);
    if (loaded == nullptr) {
        return false;
    }
    NotePlacedContent(loaded->content, file, 0);
    if (!(loaded->width > 0.0) || !(loaded->height > 0.0)) {
        failure = "its extent is empty";
        return false;
    }
    // The file's extent fills the frame, its top-left corner at the frame's, and the object's
    // matrix places the frame.
    const cairo_matrix_t placement = FramePlacement(placed.box, loaded->width, loaded->height);
    if (!DeviceMatrix(cr, placement)) {
        return true;  // a frame that covers no area, or lies beyond what cairo can draw, shows nothing
    }
    if (loaded->page || loaded->svg) {
        return DrawVectorFile(context, art, placed, *loaded, placement, work, failure);
    }
    work.reset();  // the image is decoded: painting it is the document's
    if (loaded->image) {
        return PaintImage(context, art, placed, *loaded, placement);
    }
    const SavedState saved(cr);
    EnterFrame(cr, *loaded, placement);
    return DrawDocument(cr, drawer_, *session_, file, *loaded, failure);
}

}  // namespace host

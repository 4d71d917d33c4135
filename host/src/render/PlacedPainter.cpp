#include "render/PlacedPainter.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <limits>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <glib-object.h>
#include <glib.h>
#include <librsvg/rsvg.h>
#include <poppler.h>

#include "render/CairoHandles.h"
#include "render/PixelSurface.h"
#include "render/PlacedFiles.h"
#include "render/PlacedTrial.h"
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

// The file in a form to draw, an image at the size wanted; null, with the reason in error, when it
// can't be drawn. The placed-art suite's readers open it (size limits, the cost of a PDF page or an
// SVG file's images, the extent as the drawing library measures it), so a file they refuse is not
// drawn either.
std::unique_ptr<LoadedFile> LoadFile(const std::filesystem::path& file, std::size_t wantedWidth,
                                     std::size_t wantedHeight, std::string& error) {
    const std::optional<PlacedKind> kind = PlacedKindOf(file);
    if (!kind || *kind == PlacedKind::text || HasExtension(file, "eps") || HasExtension(file, "epsf")) {
        error = "the host draws no files of this kind";
        return nullptr;
    }
    std::optional<PlacedFile> placed = ReadPlacedFile(file, true, error);
    if (!placed) {
        return nullptr;
    }
    if (*kind == PlacedKind::image) {
        return LoadImage(placed->pixels, wantedWidth, wantedHeight, error);
    }
    if (*kind == PlacedKind::document) {
        return LoadDocument(*placed, error);
    }
    auto loaded = std::make_unique<LoadedFile>();
    loaded->width = placed->frame.width();
    loaded->height = placed->frame.height();
    loaded->page = std::move(placed->pdfPage);
    loaded->svg = std::move(placed->svg);
    return loaded;
}

// The path as a message can show it: a NUL, which ends a C string, shown as "\0".
std::string Printable(const std::filesystem::path& file) {
    std::string text;
    for (const char c : file.string()) {
        text += c == '\0' ? std::string("\\0") : std::string(1, c);
    }
    return text;
}

// Draws a file read as an image, a PDF page or an SVG document onto the context, its extent from
// the origin; false, with the reason in failure, when librsvg fails. A native document is not drawn
// here (the picture's drawer draws it).
bool PaintLoaded(cairo_t* cr, const LoadedFile& loaded, std::string& failure) {
    if (loaded.image) {
        cairo_scale(cr, loaded.width / static_cast<double>(loaded.imageWidth),
                    loaded.height / static_cast<double>(loaded.imageHeight));
        cairo_set_source_surface(cr, loaded.image.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_paint(cr);
        return true;
    }
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

// Whether the file is one the trial reads and draws: images, PDF and SVG files. Native documents
// are drawn by the picture's drawer under the picture's own budget; EPS and text files are not drawn.
bool Tried(const std::filesystem::path& file) {
    const std::optional<PlacedKind> kind = PlacedKindOf(file);
    return kind &&
           (*kind == PlacedKind::image ||
            (*kind == PlacedKind::vector && !HasExtension(file, "eps") && !HasExtension(file, "epsf")));
}

cairo_status_t DiscardBytes(void* /*closure*/, const unsigned char* /*data*/, unsigned int /*length*/) {
    return CAIRO_STATUS_SUCCESS;
}

// A trial's work, in its own process: reads the file as the picture would, and draws it onto a
// surface like the picture's: pixels of the frame's device size (each side 4,096 at most, the rest
// of the frame clipped away as the picture clips it), or a vector file of the picture's kind,
// written to nowhere and finished, as writing the file's images and fonts is part of the work.
// For placing, it reads the file as placing does, and draws a file a picture draws onto pixels of
// its whole frame at 300 pixels per inch, as a print's picture draws it (its longer side 4,096 at
// most), all its image's pixels decoded.
bool TryDrawing(const std::filesystem::path& file, const PlacedTrialTarget& target, std::string& failure) {
    constexpr std::size_t kEvery = std::numeric_limits<std::size_t>::max();
    const bool placing = target.kind == PlacedTrialTarget::Kind::placing;
    if (placing && !Tried(file)) {
        return ReadPlacedFile(file, false, failure).has_value();
    }
    const bool pixels = target.kind == PlacedTrialTarget::Kind::pixels;
    const std::unique_ptr<LoadedFile> loaded =
        LoadFile(file, pixels ? target.width : kEvery, pixels ? target.height : kEvery, failure);
    if (loaded == nullptr) {
        return false;
    }
    if (!(loaded->width > 0.0) || !(loaded->height > 0.0)) {
        failure = "its extent is empty";
        return false;
    }
    constexpr std::size_t kLargestSide = 4096;
    constexpr double kLargestScale = 1e6;
    // The pixels drawn onto, and the frame's scale on them.
    std::size_t width = std::clamp<std::size_t>(target.width, 1, kLargestSide);
    std::size_t height = std::clamp<std::size_t>(target.height, 1, kLargestSide);
    double scaleX = std::min(static_cast<double>(target.width) / loaded->width, kLargestScale);
    double scaleY = std::min(static_cast<double>(target.height) / loaded->height, kLargestScale);
    if (placing) {
        constexpr double kPlacingScale = 300.0 / 72.0;
        scaleX = scaleY = std::min(
            kPlacingScale, static_cast<double>(kLargestSide) / std::max(loaded->width, loaded->height));
        width = std::clamp<std::size_t>(static_cast<std::size_t>(std::ceil(loaded->width * scaleX)), 1,
                                        kLargestSide);
        height = std::clamp<std::size_t>(static_cast<std::size_t>(std::ceil(loaded->height * scaleY)), 1,
                                         kLargestSide);
    }
    CairoSurface surface;
    switch (target.kind) {
        case PlacedTrialTarget::Kind::pixels:
        case PlacedTrialTarget::Kind::placing:
            surface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width),
                                                     static_cast<int>(height)));
            break;
        case PlacedTrialTarget::Kind::pdf:
            surface.reset(
                cairo_pdf_surface_create_for_stream(DiscardBytes, nullptr, loaded->width, loaded->height));
            break;
        case PlacedTrialTarget::Kind::svg:
            surface.reset(
                cairo_svg_surface_create_for_stream(DiscardBytes, nullptr, loaded->width, loaded->height));
            break;
        case PlacedTrialTarget::Kind::postscript:
            surface.reset(
                cairo_ps_surface_create_for_stream(DiscardBytes, nullptr, loaded->width, loaded->height));
            break;
        case PlacedTrialTarget::Kind::other:
            surface.reset(cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr));
            break;
    }
    {
        const CairoContext context(cairo_create(surface.get()));
        if (pixels || placing) {
            cairo_scale(context.get(), scaleX, scaleY);
        }
        cairo_rectangle(context.get(), 0.0, 0.0, loaded->width, loaded->height);
        cairo_clip(context.get());
        if (!PaintLoaded(context.get(), *loaded, failure)) {
            return false;
        }
    }
    cairo_surface_finish(surface.get());
    return true;
}

// The kind of surface the context draws onto, and the frame's size on it in device pixels.
PlacedTrialTarget TrialTarget(cairo_t* cr, std::size_t wantedWidth, std::size_t wantedHeight) {
    PlacedTrialTarget target;
    switch (cairo_surface_get_type(cairo_get_target(cr))) {
        case CAIRO_SURFACE_TYPE_IMAGE:
            target.kind = PlacedTrialTarget::Kind::pixels;
            target.width = wantedWidth;
            target.height = wantedHeight;
            break;
        case CAIRO_SURFACE_TYPE_PDF:
            target.kind = PlacedTrialTarget::Kind::pdf;
            break;
        case CAIRO_SURFACE_TYPE_SVG:
            target.kind = PlacedTrialTarget::Kind::svg;
            break;
        case CAIRO_SURFACE_TYPE_PS:
            target.kind = PlacedTrialTarget::Kind::postscript;
            break;
        default:
            target.kind = PlacedTrialTarget::Kind::other;
            break;
    }
    return target;
}

}  // namespace

struct PlacedPainter::Session {
    // A file read, or the reason it can't be drawn.
    struct Entry {
        std::unique_ptr<LoadedFile> loaded;
        std::string failure;
        // The largest frame in device pixels the file's trial has drawn it at, for a PDF page or an
        // SVG document, which is drawn at whatever size the picture asks.
        std::size_t triedWidth = 0;
        std::size_t triedHeight = 0;
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

    // The file read, an image at least the size wanted (when its pixels allow); null, with the
    // reason in failure, when it can't be drawn. A file is read once per picture, an image again
    // only when it is wanted larger than it is kept, or its room was needed for others.
    const LoadedFile* Find(cairo_t* cr, const std::filesystem::path& file, std::size_t wantedWidth,
                           std::size_t wantedHeight, std::string& failure) {
        const auto found = files.find(file);
        if (found != files.end()) {
            Entry& entry = found->second;
            const LoadedFile* loaded = entry.loaded.get();
            failure = entry.failure;
            if (loaded != nullptr && (loaded->page != nullptr || loaded->svg != nullptr) &&
                (wantedWidth > entry.triedWidth || wantedHeight > entry.triedHeight)) {
                // Drawn larger than its trial drew it: tried again at this size.
                if (!TryPlacedFile(file, TrialTarget(cr, wantedWidth, wantedHeight), TryDrawing, failure)) {
                    return nullptr;
                }
                entry.triedWidth = std::max(entry.triedWidth, wantedWidth);
                entry.triedHeight = std::max(entry.triedHeight, wantedHeight);
            }
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
        // Read and drawn first where the bound stops it (once per content for the process).
        // A native document is read there as placing reads it; it is drawn by the picture's drawer.
        std::unique_ptr<LoadedFile> loaded;
        const PlacedTrialTarget target = PlacedKindOf(file) == PlacedKind::document
                                             ? PlacedTrialTarget{PlacedTrialTarget::Kind::placing, 0, 0}
                                             : TrialTarget(cr, wantedWidth, wantedHeight);
        if ((!Tried(file) && target.kind != PlacedTrialTarget::Kind::placing) ||
            TryPlacedFile(file, target, TryDrawing, failure)) {
            loaded = LoadFile(file, wantedWidth, wantedHeight, failure);
        }
        if (loaded != nullptr && loaded->image != nullptr) {
            KeepImage(file, loaded->bytes);
        }
        return files.emplace(file, Entry{std::move(loaded), failure, wantedWidth, wantedHeight})
            .first->second.loaded.get();
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
// The file a link names: a relative link resolves against the folder of the document holding it
// (the innermost native document being drawn, else the current document). Empty for an empty link.
std::filesystem::path ResolvedLink(const PlacedPainter::Session& session, const std::string& link) {
    if (link.empty()) {
        return {};
    }
    const std::filesystem::path path(link);
    if (path.is_absolute()) {
        return path.lexically_normal();
    }
    const std::filesystem::path folder =
        session.documents.empty() ? session.linkFolder : session.documents.back().parent_path();
    return (folder / path).lexically_normal();
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
}  // namespace

std::optional<PlacedFile> ReadPlacedFileWithinBound(const std::filesystem::path& file, bool decode,
                                                    std::string& error) {
    if (!TryPlacedFile(file, PlacedTrialTarget{PlacedTrialTarget::Kind::placing, 0, 0}, TryDrawing, error)) {
        return std::nullopt;
    }
    return ReadPlacedFile(file, decode, error);
}

PlacedPainter::PlacedPainter(ArtDrawer& drawer, const std::filesystem::path& linkFolder)
    : session_(std::make_unique<Session>()), drawer_(drawer) {
    std::error_code failed;
    session_->linkFolder = linkFolder.empty() ? std::filesystem::current_path(failed) : linkFolder;
}

PlacedPainter::~PlacedPainter() = default;

void PlacedPainter::StartPage() {
    session_->documentDraws = 0;
}

bool PlacedPainter::Draw(cairo_t* cr, const model::PlacedContent& placed) noexcept {
    std::filesystem::path file;
    std::string failure;
    try {
        file = ResolvedLink(*session_, placed.file);
        if (file.empty()) {
            failure = "the placed object links to no file";
        } else if (DrawFile(cr, placed, file, failure)) {
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

bool PlacedPainter::DrawFile(cairo_t* cr, const model::PlacedContent& placed,
                             const std::filesystem::path& file, std::string& failure) {
    const std::optional<std::pair<std::size_t, std::size_t>> wanted = WantedPixels(cr, placed);
    constexpr std::size_t kEvery = std::numeric_limits<std::size_t>::max();
    const LoadedFile* loaded =
        session_->Find(cr, file, wanted ? wanted->first : kEvery, wanted ? wanted->second : kEvery, failure);
    if (loaded == nullptr) {
        return false;
    }
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
    const SavedState saved(cr);
    cairo_transform(cr, &placement);
    // Nothing shows outside the frame: a PDF page or SVG document may draw beyond its box.
    cairo_rectangle(cr, 0.0, 0.0, loaded->width, loaded->height);
    cairo_clip(cr);
    if (loaded->image || loaded->page || loaded->svg) {
        return PaintLoaded(cr, *loaded, failure);
    }
    return DrawDocument(cr, drawer_, *session_, file, *loaded, failure);
}

}  // namespace host

#include "render/PlacedPainter.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <cairo.h>
#include <glib-object.h>
#include <glib.h>
#include <librsvg/rsvg.h>
#include <poppler.h>

#include "render/CairoHandles.h"
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
// the top-left corner at the origin), which the frame of the placed object receives.
struct LoadedFile {
    double width = 0.0;
    double height = 0.0;
    CairoSurface image;
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

std::unique_ptr<LoadedFile> LoadImage(model::RasterPixels& pixels, std::string& error) {
    if (pixels.empty() || !pixels.isConsistent()) {
        error = "the image's pixels can't be read";  // a PSD whose composite image the reader can't read
        return nullptr;
    }
    auto loaded = std::make_unique<LoadedFile>();
    loaded->image.reset(MakePixelSurface(pixels));
    loaded->width = static_cast<double>(pixels.width);
    loaded->height = static_cast<double>(pixels.height);
    loaded->bytes = static_cast<std::size_t>(pixels.width) * pixels.height * 4;
    if (loaded->image == nullptr) {
        error = "the image is too large to draw";
        return nullptr;
    }
    return loaded;
}

std::unique_ptr<LoadedFile> LoadDocument(PlacedFile& placed) {
    auto loaded = std::make_unique<LoadedFile>();
    loaded->artboard = placed.frame;
    loaded->width = placed.frame.width();
    loaded->height = placed.frame.height();
    loaded->document = std::move(placed.document);
    return loaded->document ? std::move(loaded) : nullptr;
}

// The file in a form to draw; null, with the reason in error, when it can't be drawn. The
// placed-art suite's readers open it (size limits, the cost of a PDF page or an SVG file's images,
// the extent as the drawing library measures it), so a file they refuse is not drawn either.
std::unique_ptr<LoadedFile> LoadFile(const std::filesystem::path& file, std::string& error) {
    const std::optional<PlacedKind> kind = PlacedKindOf(file);
    if (!kind || *kind == PlacedKind::text || HasExtension(file, "eps") || HasExtension(file, "epsf")) {
        return nullptr;  // shown as its frame by design, not a failure to report
    }
    std::optional<PlacedFile> placed = ReadPlacedFile(file, true, error);
    if (!placed) {
        return nullptr;
    }
    if (*kind == PlacedKind::image) {
        return LoadImage(placed->pixels, error);
    }
    if (*kind == PlacedKind::document) {
        return LoadDocument(*placed);
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

}  // namespace

struct PlacedPainter::Session {
    // By the file's absolute path; null for a file that can't be drawn.
    std::map<std::filesystem::path, std::unique_ptr<LoadedFile>> files;
    // The images among them, the least recently loaded first, and their pixels' bytes together.
    std::list<std::filesystem::path> images;
    std::size_t imageBytes = 0;
    // The native documents being drawn, the outermost first.
    std::vector<std::filesystem::path> documents;
    // How many native documents this picture has drawn.
    std::size_t documentDraws = 0;
    // Where the links of the picture's own document resolve.
    std::filesystem::path linkFolder;

    const LoadedFile* Find(const std::filesystem::path& file) {
        const auto found = files.find(file);
        if (found != files.end()) {
            return found->second.get();
        }
        std::string error;
        std::unique_ptr<LoadedFile> loaded = LoadFile(file, error);
        if (loaded == nullptr && !error.empty()) {
            // Once per file and picture: a failure is kept, so the file is not read again.
            std::cerr << "plimhost: the placed file " << Printable(file)
                      << " is drawn as its frame: " << error << '\n';
        }
        if (loaded != nullptr && loaded->image != nullptr) {
            KeepImage(file, loaded->bytes);
        }
        return files.emplace(file, std::move(loaded)).first->second.get();
    }

private:
    // Makes room for an image of that many bytes: the least recently loaded images go (drawn
    // again, they are read again), so that a picture holds at most kPlacedImageBytes of them
    // besides the one being drawn.
    void KeepImage(const std::filesystem::path& file, std::size_t bytes) {
        while (!images.empty() && imageBytes + bytes > kPlacedImageBytes) {
            const auto oldest = files.find(images.front());
            imageBytes -= oldest->second->bytes;
            files.erase(oldest);
            images.pop_front();
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
// or one beyond the picture's count of documents is not drawn.
bool DrawDocument(cairo_t* cr, ArtDrawer& drawer, PlacedPainter::Session& session,
                  const std::filesystem::path& file, const LoadedFile& loaded) {
    if (session.documents.size() >= kDeepestDocuments || session.documentDraws >= kMostDocumentDraws ||
        std::find(session.documents.begin(), session.documents.end(), file) != session.documents.end()) {
        return false;
    }
    session.documents.push_back(file);
    ++session.documentDraws;
    const bool drawn = drawer.DrawDocument(cr, *loaded.document, loaded.artboard);
    session.documents.pop_back();
    return drawn;
}
}  // namespace

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
    try {
        const std::filesystem::path file = ResolvedLink(*session_, placed.file);
        const LoadedFile* loaded = file.empty() ? nullptr : session_->Find(file);
        if (loaded == nullptr || !(loaded->width > 0.0) || !(loaded->height > 0.0)) {
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
        if (loaded->image) {
            cairo_set_source_surface(cr, loaded->image.get(), 0, 0);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
            cairo_paint(cr);
            return true;
        }
        if (loaded->page) {
            poppler_page_render(loaded->page.get(), cr);  // poppler scales its images to the device
            return true;
        }
        if (loaded->svg) {
            const RsvgRectangle viewport{0.0, 0.0, loaded->width, loaded->height};
            GError* error = nullptr;
            const bool drawn = rsvg_handle_render_document(loaded->svg.get(), cr, &viewport, &error) != FALSE;
            const Error freed(error);
            return drawn;
        }
        return DrawDocument(cr, drawer_, *session_, file, *loaded);
    } catch (...) {
        return false;
    }
}

}  // namespace host

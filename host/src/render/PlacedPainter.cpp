#include "render/PlacedPainter.h"

#include <algorithm>
#include <filesystem>
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

#include "PlacedFiles.h"
#include "render/CairoHandles.h"
#include "render/PixelSurface.h"
#include "render/RenderContext.h"

namespace host {
namespace {

// Native documents inside native documents are drawn this many levels deep at most.
constexpr std::size_t kDeepestDocuments = 16;
// Native documents drawn inside one picture at most: documents that each place the next many
// times would otherwise multiply the drawing beyond any time a picture may take.
constexpr std::size_t kMostDocumentDraws = 4096;

struct ObjectDeleter {
    void operator()(void* object) const { g_object_unref(object); }
};
struct ErrorDeleter {
    void operator()(GError* error) const { g_error_free(error); }
};
template <typename T>
using Object = std::unique_ptr<T, ObjectDeleter>;
using Error = std::unique_ptr<GError, ErrorDeleter>;

// A file read for drawing: one of its forms, and its extent in its own units (y growing downward,
// the top-left corner at the origin), which the frame of the placed object receives.
struct LoadedFile {
    double width = 0.0;
    double height = 0.0;
    CairoSurface image;
    std::optional<model::Document> document;
    model::Rect artboard;
    Object<PopplerDocument> pdf;
    Object<PopplerPage> page;
    Object<RsvgHandle> svg;
};

bool HasExtension(const std::filesystem::path& file, std::string_view wanted) {
    const std::string extension = file.extension().string();
    return extension.size() == wanted.size() + 1 &&
           g_ascii_strncasecmp(extension.c_str() + 1, wanted.data(), wanted.size()) == 0;
}

std::unique_ptr<LoadedFile> LoadImage(model::RasterPixels& pixels) {
    if (pixels.empty() || !pixels.isConsistent()) {
        return nullptr;  // a PSD whose composite image the reader can't read
    }
    auto loaded = std::make_unique<LoadedFile>();
    loaded->image.reset(MakePixelSurface(pixels));
    loaded->width = static_cast<double>(pixels.width);
    loaded->height = static_cast<double>(pixels.height);
    return loaded->image ? std::move(loaded) : nullptr;
}

std::unique_ptr<LoadedFile> LoadDocument(PlacedFile& placed) {
    auto loaded = std::make_unique<LoadedFile>();
    loaded->artboard = placed.frame;
    loaded->width = placed.frame.width();
    loaded->height = placed.frame.height();
    loaded->document = std::move(placed.document);
    return loaded->document ? std::move(loaded) : nullptr;
}

// The first page of the PDF file, measured by poppler (its crop box).
std::unique_ptr<LoadedFile> LoadPdf(const std::filesystem::path& file) {
    GError* failed = nullptr;
    const std::unique_ptr<char, decltype(&g_free)> uri(g_filename_to_uri(file.c_str(), nullptr, &failed),
                                                       &g_free);
    Error error(failed);
    if (uri == nullptr) {
        return nullptr;
    }
    auto loaded = std::make_unique<LoadedFile>();
    loaded->pdf.reset(poppler_document_new_from_file(uri.get(), nullptr, &failed));
    error.reset(failed);
    if (loaded->pdf == nullptr || poppler_document_get_n_pages(loaded->pdf.get()) < 1) {
        return nullptr;
    }
    loaded->page.reset(poppler_document_get_page(loaded->pdf.get(), 0));
    if (loaded->page == nullptr) {
        return nullptr;
    }
    poppler_page_get_size(loaded->page.get(), &loaded->width, &loaded->height);
    return loaded;
}

// The SVG document, with the extent the placed-art suite read from it.
std::unique_ptr<LoadedFile> LoadSvg(const std::filesystem::path& file, const model::Rect& frame) {
    GError* failed = nullptr;
    auto loaded = std::make_unique<LoadedFile>();
    loaded->svg.reset(rsvg_handle_new_from_file(file.c_str(), &failed));
    const Error error(failed);
    loaded->width = frame.width();
    loaded->height = frame.height();
    return loaded->svg ? std::move(loaded) : nullptr;
}

// The file in a form to draw; null when it can't be drawn. The placed-art suite's readers check it
// first (size limits, the box of vector files), so a file they refuse is not drawn either.
std::unique_ptr<LoadedFile> LoadFile(const std::filesystem::path& file) {
    const std::optional<PlacedKind> kind = PlacedKindOf(file);
    if (!kind || *kind == PlacedKind::text || HasExtension(file, "eps") || HasExtension(file, "epsf")) {
        return nullptr;
    }
    std::string error;
    std::optional<PlacedFile> placed = ReadPlacedFile(file, true, error);
    if (!placed) {
        return nullptr;
    }
    switch (*kind) {
        case PlacedKind::image:
            return LoadImage(placed->pixels);
        case PlacedKind::document:
            return LoadDocument(*placed);
        case PlacedKind::vector:
            return HasExtension(file, "pdf") ? LoadPdf(file) : LoadSvg(file, placed->frame);
        case PlacedKind::text:
            break;
    }
    return nullptr;
}

// Keeps the context's state for one scope.
class SavedState {
public:
    explicit SavedState(cairo_t* cr) : cr_(cr) { cairo_save(cr_); }
    ~SavedState() { cairo_restore(cr_); }
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

private:
    cairo_t* cr_;
};

}  // namespace

struct PlacedPainter::Session {
    // By the file's absolute path; null for a file that can't be drawn.
    std::map<std::filesystem::path, std::unique_ptr<LoadedFile>> files;
    // The native documents being drawn, the outermost first.
    std::vector<std::filesystem::path> documents;
    // How many native documents this picture has drawn.
    std::size_t documentDraws = 0;

    const LoadedFile* Find(const std::filesystem::path& file) {
        const auto found = files.find(file);
        if (found != files.end()) {
            return found->second.get();
        }
        return files.emplace(file, LoadFile(file)).first->second.get();
    }
};

namespace {
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

PlacedPainter::PlacedPainter(ArtDrawer& drawer) : session_(std::make_unique<Session>()), drawer_(drawer) {}

PlacedPainter::~PlacedPainter() = default;

void PlacedPainter::StartPage() {
    session_->documentDraws = 0;
}

bool PlacedPainter::Draw(cairo_t* cr, const model::PlacedContent& placed) noexcept {
    try {
        std::error_code failed;
        const std::filesystem::path file =
            std::filesystem::absolute(std::filesystem::path(placed.file), failed);
        const LoadedFile* loaded = failed || placed.file.empty() ? nullptr : session_->Find(file);
        if (loaded == nullptr || !(loaded->width > 0.0) || !(loaded->height > 0.0)) {
            return false;
        }
        // The file's extent fills the frame, its top-left corner at the frame's, and the object's
        // matrix places the frame.
        const model::Rect& frame = placed.box.frame;
        cairo_matrix_t placement;
        const model::Matrix& m = placed.box.matrix;
        cairo_matrix_init(&placement, m.a, m.b, m.c, m.d, m.tx, m.ty);
        cairo_matrix_translate(&placement, frame.left, frame.top);
        cairo_matrix_scale(&placement, frame.width() / loaded->width, -frame.height() / loaded->height);
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
            poppler_page_render(loaded->page.get(), cr);
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

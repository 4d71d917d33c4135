// Reading the files that the placed-art suite places. The kind of a file follows its extension;
// every reader is defensive: reads are bounded, the image libraries' errors come back as an error
// text (libjpeg through its own error handler, libtiff's handlers silenced), and sizes beyond the
// limits below are refused.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "model/ArtContent.h"
#include "model/Document.h"
#include "render/PictureMeter.h"
#include "render/PlacedCost.h"

typedef struct _PopplerPage PopplerPage;
typedef struct _RsvgHandle RsvgHandle;

namespace host {

enum class PlacedKind {
    image,     // PNG, JPEG, TIFF, PSD: sized from pixels and resolution
    document,  // native documents ("ai", "ait"): a group holding one clip group when embedded
    vector,    // PDF, SVG, EPS: sized from their boxes
    text,      // "txt": placed as point text
};

// The kind of a file by its extension (compared in lower case); none for any other extension.
std::optional<PlacedKind> PlacedKindOf(const std::filesystem::path& file);

// What placing needs of a file.
struct PlacedFile {
    PlacedKind kind = PlacedKind::image;
    // The content's extent in points, with its bottom-left corner at (0, 0).
    model::Rect frame;
    // Images, decoded only when asked (an embedded image); a PSD image keeps no pixels when its
    // composite image is not one the reader can read.
    model::RasterPixels pixels;
    // Native documents.
    std::optional<model::Document> document;
    // Text files: the text, paragraphs separated by "\r".
    std::string text;
    // PDF files: the first page as poppler opened it (it keeps its document); SVG files: the
    // document as librsvg opened it, from the file's bytes with no base file, so that it draws
    // nothing from other files. The frame is the extent the same library measures (the crop box;
    // the intrinsic size at 72 pixels per inch, else the view box), so frame and picture agree.
    std::shared_ptr<PopplerPage> pdfPage;
    std::shared_ptr<RsvgHandle> svg;
    // What the file held when it was read (images and vector files).
    ContentId content;
};

// Files larger than this are not read.
inline constexpr std::uintmax_t kMaxPlacedFileBytes = 256u << 20;

// Reads the file; decode asks for an image's pixels. None, with the reason in error, when the kind
// is unknown, the path holds a NUL (the C libraries would read the file the text before it names),
// the file is not a regular file, is larger than the limit, can't be read, drawing it would go
// beyond the limits of PlacedCost.h, or (an image or vector file) what it holds was refused by the
// bound of an earlier picture (PictureProcess.h).
std::optional<PlacedFile> ReadPlacedFile(const std::filesystem::path& file, bool decode, std::string& error);

}  // namespace host

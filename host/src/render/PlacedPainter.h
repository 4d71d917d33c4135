// Drawing of placed files: the renderer shows a placed object as the file it links to, fitted into
// the object's frame and placed by its matrix. Images (PNG, JPEG, TIFF, PSD) are drawn from the
// pixels the placed-art suite's readers decode, native documents as the art of their active
// artboard, PDF files as their first page (poppler) and SVG files as their document (librsvg).
// What can't be drawn (EPS, text files, files that can't be read) is left to the caller, which
// shows the frame.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "model/ArtContent.h"
#include "render/PlacedFiles.h"

namespace host {

namespace model {
struct ArtData;
}

class ArtDrawer;
struct RenderContext;

// Reads the file as ReadPlacedFile does, for placing: an image, PDF, SVG or EPS file in a process of
// its own under the picture's bound (PictureProcess.h), which decodes an image whole and draws a
// PDF page or an SVG document at 300 pixels per inch, and hands back the kind, the frame and, when
// decode asks, the image's pixels (no PDF page or SVG document); native documents and text files
// by the host's own readers, here. None, with the reason in error, when the reader refuses the file,
// it can't be drawn, or it went beyond the bound.
std::optional<PlacedFile> ReadPlacedFileWithinBound(const std::filesystem::path& file, bool decode,
                                                    std::string& error);

// The most bytes of decoded images one picture keeps at a time; images beyond it are read again
// when drawn again. A picture of pixels keeps each image at the size it draws it, so that an image
// drawn again and again is decoded once.
inline constexpr std::size_t kPlacedImageBytes = std::size_t{512} << 20;

// Draws placed files for one picture, which holds one painter for all its levels. Every file is
// read once per picture, however often it is placed (images beyond kPlacedImageBytes, or drawn
// larger than before, aside), in the
// native documents drawn inside it too; the painter sees which documents are being drawn, so that a
// document placing itself, or a cycle of documents, stops. Native documents are drawn by the
// picture's drawer. A relative link resolves against the folder of the document holding it. A file
// that can't be read or drawn shows as its frame, and standard error names it with the reason,
// whatever the reason (each file and reason once per picture).
//
// A file's own time (PlacedFileWork) holds reading, decoding and drawing the file, nothing of the
// document around it: an image is painted onto the picture outside it, priced by the picture's
// budget with the clip it is painted under (SpendPaint, SpendClip); a PDF page or SVG document
// under a clip that cairo rasterizes as it paints is drawn into an image of its own without that
// clip, which is then painted under the clip outside the file's time, priced likewise. What the
// budget can't pay for is left out, and named with the picture's simplifications.
class PlacedPainter {
public:
    // Relative links of the document being drawn resolve against linkFolder (empty: the working folder).
    PlacedPainter(ArtDrawer& drawer, const std::filesystem::path& linkFolder);
    ~PlacedPainter();
    PlacedPainter(const PlacedPainter&) = delete;
    PlacedPainter& operator=(const PlacedPainter&) = delete;

    // The next page of a vector copy, a picture of its own: the files already read serve it, and
    // it draws as many native documents as a picture may.
    void StartPage();

    // Draws the placed object's file (art holds it) onto the context, whose user space is the
    // document's points. False, with nothing drawn, when the file can't be read or drawn.
    bool Draw(const RenderContext& context, const model::ArtData& art,
              const model::PlacedContent& placed) noexcept;

    struct Session;

private:
    // Draw's work: false, with the reason in failure, when the file shows as its frame.
    bool DrawFile(const RenderContext& context, const model::ArtData& art, const model::PlacedContent& placed,
                  const std::filesystem::path& file, std::string& failure);

    std::unique_ptr<Session> session_;
    ArtDrawer& drawer_;
};

}  // namespace host

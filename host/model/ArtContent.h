// What distinguishes the kinds of art: the content of each type, held in one variant whose
// alternative decides the art's type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/ArtType.h"
#include "model/Matrix.h"
#include "model/PathGeometry.h"
#include "model/Rect.h"
#include "model/Story.h"

namespace host::model {

// A rectangle in the object's own space and the matrix that places it in the artwork; the object's
// bounds are the bounding box of the mapped rectangle.
struct BoxGeometry {
    Rect frame{0.0, 0.0, 0.0, 0.0};
    Matrix matrix;

    Rect bounds() const { return matrix.mapRect(frame); }
    bool operator==(const BoxGeometry&) const = default;
};

struct GroupContent {
    // A clipped group shows its other members only inside its clipping-mask members.
    bool clipped = false;
    bool operator==(const GroupContent&) const = default;
};

struct PathContent {
    PathGeometry geometry;
    bool guide = false;  // a guide shows while editing and is never printed
    bool operator==(const PathContent&) const = default;
};

// A compound path's paths are its children.
struct CompoundPathContent {
    bool operator==(const CompoundPathContent&) const = default;
};

// Point text hangs from a point and sets one line per paragraph; area text flows inside its frame;
// text on a path follows the path. The codes are this host's text-frame kinds.
enum class TextKind : int { point = 0, area = 1, onPath = 2 };

std::string_view textKindName(TextKind kind);  // "point", "area", "onPath"
std::optional<TextKind> textKindFromName(std::string_view name);

struct TextFrameContent {
    TextKind kind = TextKind::point;
    // The story the frame shows. The first frame of a thread holds it; the frames after it hold an
    // empty story and name the first frame in `threadHead`.
    Story story;
    // Threading: in the first frame, the UUIDs of the frames its story flows on to, in order; in a
    // frame after the first, the UUID of the first (empty: the frame holds its own story).
    std::vector<std::string> thread;
    std::string threadHead;
    // The direction of the frame's lines: 0 horizontal, 1 vertical (read and written only).
    int storyDirection = 0;
    // Area text whose frame grows or shrinks in height with its text.
    bool autoSize = false;
    // Point and area text: the frame rectangle (for point text the box its text takes).
    BoxGeometry box;
    // Text on a path: the path it follows.
    PathGeometry path;
    bool operator==(const TextFrameContent&) const = default;
};

// How content placed in place of placed or raster art is fitted into the art's bounds: scaled by
// the method (as is 0, fill 1, fit 2, conform 3), aligned by one of nine positions (column * 3 +
// row, 4 the centre), and whether it is clipped to the bounds. Kept with the art, so that undoing a
// change of them, or of the art, gives them back; the document format doesn't hold them.
struct PlaceFit {
    int method = 2;
    int alignment = 4;
    bool clip = false;
    bool operator==(const PlaceFit&) const = default;
};

struct PlacedContent {
    std::string file;  // the linked file's path, UTF-8
    BoxGeometry box;
    PlaceFit fit;
    bool operator==(const PlacedContent&) const = default;
};

// The pixels of a raster image: rows from the top, each pixel's colour components in the order of
// its colour space ("gray" 1 component and "rgb" 3, from 0 black to 255 full light; "cmyk" 4, from
// 0 no ink to 255 full ink), followed by an alpha byte (0 transparent) when the raster has one.
struct RasterPixels {
    enum class Space { gray, rgb, cmyk };
    std::size_t width = 0;
    std::size_t height = 0;
    Space space = Space::rgb;
    bool alpha = false;
    std::vector<std::uint8_t> bytes;  // width * height * channels()

    std::size_t channels() const;
    bool empty() const { return width == 0 || height == 0; }
    // The sizes agree with the number of bytes.
    bool isConsistent() const;
    bool operator==(const RasterPixels&) const = default;
};

std::string_view rasterSpaceName(RasterPixels::Space space);  // "gray", "rgb", "cmyk"
std::optional<RasterPixels::Space> rasterSpaceFromName(std::string_view name);

// A raster image: its frame is the image's extent in its own space, the matrix places it; without
// pixels it shows as its frame filled grey.
struct RasterContent {
    BoxGeometry box;
    RasterPixels pixels;
    PlaceFit fit;
    bool operator==(const RasterContent&) const = default;
};

struct SymbolContent {
    std::string symbol;  // the name of the symbol this is an instance of, UTF-8
    BoxGeometry box;
    bool operator==(const SymbolContent&) const = default;
};

using ArtContent = std::variant<GroupContent, PathContent, CompoundPathContent, TextFrameContent,
                                PlacedContent, RasterContent, SymbolContent>;

ArtType artTypeOf(const ArtContent& content);
// The content of a new, empty object of the type; none for unknown.
std::optional<ArtContent> makeContent(ArtType type);

// Maps one object's own content (not what it holds) through the matrix.
void transformContent(ArtContent& content, const Matrix& matrix);

}  // namespace host::model

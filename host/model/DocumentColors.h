// The colour resources of a document: its colour model, custom colours (spot and global colours),
// gradients and patterns, the ordered swatch list and the named graphic styles. Art refers to
// custom colours, gradients and patterns by name (Color::resource); swatches, custom colours,
// resources and named styles have handles of their own (ResourceId) that stay with them when they
// are renamed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/ArtStyle.h"
#include "model/ArtTree.h"
#include "model/Handles.h"
#include "model/NamedTable.h"
#include "model/Status.h"

namespace host::model {

struct ResourceId {
    std::uint64_t value = 0;

    explicit operator bool() const { return value != 0; }
    auto operator<=>(const ResourceId&) const = default;
};

// The colour model of a document, by the host's codes.
enum class ColorModel { gray = 0, rgb = 1, cmyk = 2 };

// A custom colour's definition: process CMYK or RGB (0 to 1) or Lab (L 0 to 100, a and b -128 to
// 127), and whether it is a spot colour (otherwise a global process colour).
struct CustomColorDefinition {
    enum class Kind { cmyk, rgb, lab };
    Kind kind = Kind::cmyk;
    std::array<double, 4> values{};
    bool spot = false;

    std::size_t componentCount() const { return kind == Kind::cmyk ? 4 : 3; }
    Status check() const;
    // The process colour it shows as.
    Color processColor() const;
    bool operator==(const CustomColorDefinition&) const = default;
};

struct CustomColor {
    ResourceId id;
    std::string name;  // non-empty, unique among the document's custom colours
    CustomColorDefinition definition;
    bool operator==(const CustomColor&) const = default;
};

// One colour stop of a gradient: its colour (a process or custom colour), where it sits on the
// gradient's axis (rampPoint, 0 to 100 percent), where the blend to the next stop reaches half way
// (midPoint, 13 to 87 percent of the distance to it) and its opacity (0 to 1).
struct GradientStop {
    Color color;
    double rampPoint = 0.0;
    double midPoint = 50.0;
    double opacity = 1.0;
    bool operator==(const GradientStop&) const = default;
};

enum class GradientType { linear = 0, radial = 1 };

inline constexpr double kLeastMidPoint = 13.0;
inline constexpr double kGreatestMidPoint = 87.0;

// A gradient or a pattern: named, with the one process colour it shows as where its own drawing is
// not available (flat). A gradient has its type and stops, in order along its axis (without stops
// it paints its flat colour). A pattern has the art of one tile, repeated side by side from the
// origin of the art it fills, and the tile's bounds (without them: the art's geometric bounds);
// without art it paints its flat colour.
struct PaintResource {
    ResourceId id;
    std::string name;  // non-empty, unique among the resources of its kind
    Color flat;
    GradientType type = GradientType::linear;  // gradients
    std::vector<GradientStop> stops;           // gradients
    std::optional<ArtTree> art;                // patterns: a tree without layers
    std::optional<Rect> tile;                  // patterns
    bool operator==(const PaintResource&) const = default;
};

struct Swatch {
    ResourceId id;
    std::string name;  // empty only while a new swatch waits for its name
    Color color;
    bool operator==(const Swatch&) const = default;
};

struct GraphicStyle {
    ResourceId id;
    std::string name;
    ArtStyle style;
    bool unlisted = false;  // kept out of the document's list of styles
    bool operator==(const GraphicStyle&) const = default;
};

// The two swatches every document has first and whose name and colour cannot change.
inline constexpr std::string_view kNoneSwatch = "[None]";
inline constexpr std::string_view kRegistrationSwatch = "[Registration]";

class DocumentColors {
public:
    // The default resources of a new document in the model: no custom colours, gradients,
    // patterns or styles; the swatches "[None]", "[Registration]", "White" and "Black".
    explicit DocumentColors(ColorModel model = ColorModel::rgb);
    static std::vector<Swatch> defaultSwatches(ColorModel model);

    ColorModel colorModel() const { return model_; }
    void setColorModel(ColorModel model) { model_ = model; }

    // badParameter when the colour is out of its limits, or names a custom colour, gradient or
    // pattern the document does not have.
    Status checkColor(const Color& color) const;
    Status checkStyle(const ArtStyle& style) const;
    // badParameter when a colour of the dictionary (art kept in its entries included) is one
    // checkColor refuses.
    Status checkDictionary(const Dictionary& dictionary) const;
    // badParameter when a style or a dictionary of the artwork, members included, is one checkStyle
    // or checkDictionary refuses.
    Status checkTree(const ArtTree& tree) const;
    // The process colour a colour shows as (a resource's flat colour, a custom colour at its tint).
    Color flatColor(const Color& color) const;

    // --- Custom colours ---
    const std::vector<CustomColor>& customColors() const { return customColors_.records(); }
    const CustomColor* findCustomColor(ResourceId id) const;
    const CustomColor* customColorByName(std::string_view name) const;
    // badParameter: an empty, malformed or taken name, or a definition out of its ranges.
    Result<ResourceId> addCustomColor(std::string_view name, const CustomColorDefinition& definition);
    Status setCustomColorDefinition(ResourceId id, const CustomColorDefinition& definition);
    // Renames only the record; Document::renameCustomColor also moves the uses.
    Status setCustomColorName(ResourceId id, std::string_view name);

    // --- Gradients and patterns ---
    const std::vector<PaintResource>& gradients() const { return gradients_.records(); }
    const std::vector<PaintResource>& patterns() const { return patterns_.records(); }
    const PaintResource* findResource(ResourceId id, Color::Kind kind) const;
    const PaintResource* resourceByName(std::string_view name, Color::Kind kind) const;
    // badParameter: an empty or taken name, a flat colour that is not a process colour.
    Result<ResourceId> addResource(std::string_view name, Color::Kind kind, const Color& flat);
    // A gradient or pattern with the drawing the record holds (its id is given here). badParameter as
    // above, and for stops out of their limits or with colours other than process and custom colours
    // of the document, or for pattern art that holds layers, names a pattern or a colour the document
    // lacks, or has a tile that is empty or not finite.
    Result<ResourceId> addResource(Color::Kind kind, PaintResource resource);

    // --- Swatches ---
    const std::vector<Swatch>& swatches() const { return swatches_.records(); }
    // The index of the swatch; notFound when it names none.
    Result<std::size_t> swatchIndex(ResourceId id) const;
    const Swatch* findSwatch(ResourceId id) const;
    const Swatch* swatchByName(std::string_view name) const;
    // A named swatch at the end, as a stored list has it (the fixed swatches too). badParameter: an
    // empty, malformed or taken name, or a colour checkColor refuses.
    Result<ResourceId> appendSwatch(std::string_view name, const Color& color);
    // A new unnamed swatch painting nothing at the index (beyond the last: at the end).
    ResourceId insertSwatch(std::size_t index);
    Status removeSwatch(ResourceId id);
    // badParameter: an empty, malformed or taken name, a fixed swatch, or a colour checkColor refuses.
    Status setSwatchName(ResourceId id, std::string_view name);
    Status setSwatchColor(ResourceId id, const Color& color);

    // --- Named graphic styles ---
    const std::vector<GraphicStyle>& graphicStyles() const { return graphicStyles_.records(); }
    const GraphicStyle* findGraphicStyle(ResourceId id) const;
    const GraphicStyle* graphicStyleByName(std::string_view name) const;
    // badParameter: an empty, malformed or taken name, or a style checkStyle refuses.
    Result<ResourceId> addGraphicStyle(std::string_view name, const ArtStyle& style, bool unlisted);
    // notFound: no named style has the id; badParameter: a style checkStyle refuses.
    Status setGraphicStyleDefinition(ResourceId id, const ArtStyle& style);

    // Every colour of the named styles, of the gradients' stops and of the patterns' art, and of the
    // swatches when asked; visit may change it.
    void forEachColor(const ColorVisitor& visit, bool swatches);
    // Offers every named style to visit, which may change it (within the limits checkStyle keeps).
    void forEachGraphicStyle(const std::function<void(ArtStyle&)>& visit);

    bool operator==(const DocumentColors&) const = default;

private:
    // The gradient's stops or the pattern's tile and art keep their limits.
    bool isDrawable(const PaintResource& resource, Color::Kind kind) const;

    ColorModel model_;
    NamedTable<CustomColor> customColors_;
    NamedTable<PaintResource> gradients_;
    NamedTable<PaintResource> patterns_;
    NamedTable<Swatch> swatches_;
    NamedTable<GraphicStyle> graphicStyles_;
};

}  // namespace host::model

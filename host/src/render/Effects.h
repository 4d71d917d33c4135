// The live effects the renderer draws around an object: "Host Drop Shadow" and "Host Outer Glow"
// (a blurred copy of the object's shape in the effect's colour, below it; the shadow moved by its
// offsets), "Host Inner Glow" (a blurred colour inside the object's shape, from its edges or from
// its centre) and "Host PSL Gaussian Blur" (the object itself blurred). A style's effects are read
// once into typed records, each with its parameters, how far it reaches beyond the object and its
// drawing. Each is worked out in pixels of the surface drawn on (points for vector files): the
// object's alpha drawn into an image the size of what the context shows, box blurred three times, and
// painted through as a mask.
#pragma once

#include <array>
#include <variant>
#include <vector>

#include "model/Document.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_pattern cairo_pattern_t;

namespace host {

struct EffectCanvas;

// Below the object: its shape blurred by blur points, moved right and down by the offsets, in the
// colour at the opacity with the blend mode.
struct DropShadow {
    double blur = 5.0;
    double right = 7.0;
    double down = 7.0;
    std::array<double, 3> rgb{0.0, 0.0, 0.0};
    double opacity = 0.75;
    int mode = 1;  // multiply

    double Reach() const;
    void Draw(EffectCanvas& canvas) const;
};

// Below the object: its shape blurred, in the colour.
struct OuterGlow {
    double blur = 5.0;
    std::array<double, 3> rgb{0.0, 0.0, 0.0};
    double opacity = 0.75;
    int mode = 2;  // screen

    double Reach() const;
    void Draw(EffectCanvas& canvas) const;
};

// Above the object, inside its shape: the colour from the edges inward, or from the centre outward.
struct InnerGlow {
    double blur = 5.0;
    bool fromEdges = true;
    std::array<double, 3> rgb{1.0, 1.0, 1.0};
    double opacity = 0.75;
    int mode = 2;  // screen

    double Reach() const { return 0.0; }
    void Draw(EffectCanvas& canvas) const;
};

// The object itself, blurred.
struct GaussianBlur {
    double blur = 10.0;

    double Reach() const;
    void Draw(EffectCanvas& canvas) const;
};

using EffectRecord = std::variant<DropShadow, OuterGlow, InnerGlow, GaussianBlur>;

// The drawn effects of one style, in order: the visible effects of the style's own (not its paint
// fields') whose names the renderer knows. Parameters that are absent, of another type or not finite
// take their defaults; blurs are held to 0 to 250 points, blend modes out of range draw as normal.
class Effects {
public:
    Effects() = default;
    // Reads the style's effects; a style without effects costs no allocation.
    Effects(const model::Document& document, const model::ArtStyle& style);

    bool empty() const { return effects_.empty(); }
    const std::vector<EffectRecord>& records() const { return effects_; }

    // How far the effects reach beyond the object, in the object's own units (points): 0 for none.
    double Reach() const;

    // What working the effects out costs for each device pixel of their image, in pixels of a
    // group (RenderBudget.h): kEffectPixelPrice for each effect, kBlurPixelPrice for a Gaussian
    // blur.
    double PixelPrice() const;

    // Paints the object (drawn by itself, as cairo_pop_group gives it) onto the context with the
    // effects around it. Where the context's matrix or what it shows leaves no image to work in
    // (nothing shown, more than 4096 x 4096 pixels, a matrix without a usable inverse), the object is
    // painted without them.
    void Paint(cairo_t* cr, cairo_pattern_t* object) const;

private:
    std::vector<EffectRecord> effects_;
};

// Blurs every byte channel of the rows (channels bytes a pixel, stride bytes a row) in place: three
// box blurs each way of the radius's half width. Each pass costs the image's size whatever the
// radius; a radius beyond the image spreads its content thinly over it.
void BoxBlur(unsigned char* data, int width, int height, int stride, int channels, double radius);

}  // namespace host

// Gradients of many stops are drawn from the stops 8-bit channels can tell apart: drawn by cairo
// from those alone and from every stop, linear and radial, across the device's axes, no channel of
// any pixel differs by more than one, and a smooth ramp keeps few of its stops.
#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "render/PaintSource.h"

namespace {

using host::RampStop;

constexpr int kSide = 400;

// Ramps of 1,024 stops: waves of colour and opacity, one channel a straight line; a ramp whose
// colour changes by less than a 255th between stops; black and white in turn; and one with a
// sharp change (a green stop at the offset of another) in a straight ramp: the stop before it, it
// and the stop after it are kept besides the ends.
std::vector<RampStop> Ramp(const std::string& kind) {
    std::vector<RampStop> ramp;
    const int count = 1024;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / (count - 1);
        RampStop stop{t, {}};
        if (kind == "waves") {
            stop.rgba = {0.5 + 0.5 * std::sin(6.0 * M_PI * t), t, 0.5 + 0.5 * std::cos(11.0 * t),
                         0.6 + 0.4 * std::sin(3.0 * t)};
        } else if (kind == "fine") {
            stop.rgba = {0.3 + 0.2 * t * t, 0.5, 0.7 - 0.3 * t, 1.0};
        } else if (kind == "alternating") {
            const double v = i % 2;
            stop.rgba = {v, v, v, 1.0};
        } else {
            stop.rgba = {t, 0.0, 1.0 - t, 1.0};
        }
        ramp.push_back(stop);
        if (kind == "sharp" && i == count / 2) {
            ramp.push_back(RampStop{t, {0.0, 1.0, 0.0, 1.0}});
        }
    }
    return ramp;
}

struct StopsCase {
    const char* ramp;
    std::size_t mostKept;  // the most stops ShownStops may keep
};

const StopsCase kCases[] = {{"waves", 300}, {"fine", 40}, {"alternating", 1024}, {"sharp", 5}};

// The pixels of a square filled with the stops: a linear gradient at 30 degrees across it, or a
// radial one off its centre with its focus inside.
std::vector<unsigned char> Drawn(const std::vector<RampStop>& stops, bool radial) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSide, kSide);
    cairo_t* cr = cairo_create(surface);
    cairo_pattern_t* pattern = radial ? cairo_pattern_create_radial(150, 180, 0, 190, 210, 260)
                                      : cairo_pattern_create_linear(10, 20, 380, 230);
    for (const RampStop& stop : stops) {
        cairo_pattern_add_color_stop_rgba(pattern, stop.offset, stop.rgba[0], stop.rgba[1], stop.rgba[2],
                                          stop.rgba[3]);
    }
    cairo_set_source(cr, pattern);
    cairo_paint(cr);
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    std::vector<unsigned char> pixels(data, data + cairo_image_surface_get_stride(surface) * kSide);
    cairo_pattern_destroy(pattern);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return pixels;
}

class GradientStops : public testing::TestWithParam<StopsCase> {};

TEST_P(GradientStops, ShowWhatEveryStopShows) {
    const std::vector<RampStop> ramp = Ramp(GetParam().ramp);
    const std::vector<RampStop> kept = host::ShownStops(ramp);
    EXPECT_LE(kept.size(), GetParam().mostKept);
    ASSERT_GE(kept.size(), 2u);
    EXPECT_EQ(kept.front().offset, 0.0);
    EXPECT_EQ(kept.back().offset, 1.0);
    for (const bool radial : {false, true}) {
        const std::vector<unsigned char> every = Drawn(ramp, radial);
        const std::vector<unsigned char> shown = Drawn(kept, radial);
        int most = 0;
        for (std::size_t i = 0; i < every.size(); ++i) {
            most = std::max(most, std::abs(int(every[i]) - int(shown[i])));
        }
        EXPECT_LE(most, 1) << (radial ? "radial" : "linear");
    }
}

INSTANTIATE_TEST_SUITE_P(Ramps, GradientStops, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.ramp); });

}  // namespace

// Common ground of the structure tests (groups, clip groups, compound paths, the pathfinder,
// arrange and duplicate): examples/shapes.json open in the host with the plug-in started, and the
// document read back from its saved text.
//
// The example, in points (y up), layer "Shapes" front to back:
//   "Blue" [50..150]² blue (blue, square); "Red" [0..100]² red, stroke 2 (red, square);
//   "Green" [300..400 x 0..100] and "Lime" [350..450 x 50..150], both green (green/lime, greens);
//   point text "Word" (word) frame [0..100 x 280..300]; placed "Picture" (picture);
//   group "Pair" (pair) of "Left" [600..650 x 0..50] and "Right" [660..710 x 0..50] (member);
//   compound path "Ring" (ring, even-odd) of "Outer" [800..900 x 0..100] and "Hole" [825..875 x 25..75];
//   group "Nested" (nested) holding group "Inner" (innergroup) of "Deep" and "Deeper" (deep);
//   clip group "Window" (window) of the mask "Frame" and "Scene" (scene); the circle "Circle"
//   (circle) of radius 50 about (1100, 50).
// Layer "Back": "Floor" [0..1000 x -100..-50] (floor).
#pragma once

#include <array>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "LayoutFixture.h"

namespace structuretest {

inline std::string ShapesExample() {
    return std::string(PLIM_SOURCE_DIR) + "/examples/shapes.json";
}

inline std::set<std::string> TagsOf(const json& art) {
    std::set<std::string> tags;
    for (const json& entry : art.value("tags", json::array())) {
        tags.insert(entry["value"].get<std::string>());
    }
    return tags;
}

// The art of a saved document that carries the tag, in document order.
inline void FindTagged(const json& node, const std::string& tag, std::vector<const json*>& out) {
    if (TagsOf(node).contains(tag)) {
        out.push_back(&node);
    }
    for (const char* key : {"layers", "children"}) {
        if (!node.contains(key)) {
            continue;
        }
        for (const json& child : node[key]) {
            FindTagged(child, tag, out);
        }
    }
}

// The area the fill of saved art covers, for outlines of straight segments (what the pathfinder
// makes): outer outlines run counter-clockwise and holes clockwise, so signed areas add up.
inline double SignedArea(const json& art) {
    double area = 0.0;
    if (art.contains("segments")) {
        const json& segments = art["segments"];
        for (std::size_t i = 0; i < segments.size(); ++i) {
            const json& a = segments[i]["anchor"];
            const json& b = segments[(i + 1) % segments.size()]["anchor"];
            area += a[0].get<double>() * b[1].get<double>() - b[0].get<double>() * a[1].get<double>();
        }
        return area / 2;
    }
    for (const json& child : art.value("children", json::array())) {
        area += SignedArea(child);
    }
    return area;
}

// left, top, right, bottom of every anchor below the art.
inline std::array<double, 4> AnchorBounds(const json& art) {
    std::array<double, 4> box{1e300, -1e300, -1e300, 1e300};
    for (const json& segment : art.value("segments", json::array())) {
        const double x = segment["anchor"][0];
        const double y = segment["anchor"][1];
        box = {std::min(box[0], x), std::max(box[1], y), std::max(box[2], x), std::min(box[3], y)};
    }
    for (const json& child : art.value("children", json::array())) {
        const std::array<double, 4> inner = AnchorBounds(child);
        box = {std::min(box[0], inner[0]), std::max(box[1], inner[1]), std::max(box[2], inner[2]),
               std::min(box[3], inner[3])};
    }
    return box;
}

// The names of a container's children, front to back ("*" for art without a name of its own).
inline std::vector<std::string> ChildNames(const json& container) {
    std::vector<std::string> names;
    for (const json& child : container.value("children", json::array())) {
        names.push_back(child.value("name", child.value("title", std::string("*"))));
    }
    return names;
}

// Copies of the saved art that carries the tag, in document order.
inline std::vector<json> TaggedCopies(const json& saved, const std::string& tag) {
    std::vector<const json*> found;
    FindTagged(saved, tag, found);
    std::vector<json> copies;
    for (const json* art : found) {
        copies.push_back(*art);
    }
    return copies;
}

class StructureTest : public layouttest::SavedExampleTest {
protected:
    StructureTest() : SavedExampleTest(ShapesExample()) {}

    // The saved art named so; an empty object when there is none.
    json Named(const std::string& name) {
        const json saved = Saved();
        const json* art = layouttest::FindArt(saved, name);
        return art != nullptr ? *art : json::object();
    }

    bool Exists(const std::string& name) { return !Named(name).empty(); }

    std::vector<json> Tagged(const std::string& tag) { return TaggedCopies(Saved(), tag); }

    std::vector<std::string> Layer(const std::string& title) {
        const json saved = Saved();
        for (const json& layer : saved["layers"]) {
            if (layer["title"] == title) {
                return ChildNames(layer);
            }
        }
        return {};
    }

    std::vector<std::string> LayerTitles() {
        std::vector<std::string> titles;
        const json saved = Saved();
        for (const json& layer : saved["layers"]) {
            titles.push_back(layer["title"]);
        }
        return titles;
    }
};

inline void ExpectBounds(const std::array<double, 4>& actual, const std::array<double, 4>& expected,
                         const std::string& what, double tolerance = 1e-6) {
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(actual[i], expected[i], tolerance) << what << " [" << i << "]";
    }
}

}  // namespace structuretest

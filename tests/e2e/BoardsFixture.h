// Common ground of the artboard and layer tests: examples/boards.json open in the host with the
// plug-in started, and the artboards and layers read back from the saved document.
//
// The example, in points (y up):
//   artboards "One" [0, 200, 200, 0] (active), "Two" [300, 200, 400, 100], "Three" [500, 200, 650, 50]
//   layer "Top": closed paths "R1" [50..150 x 50..150] (tags r1, art) on One, "R2" [320..380 x 120..180]
//     (r2, art) on Two; sublayer "Inner" with "R3" [520..560 x 60..100] (r3, art) on Three
//   layer "Bottom" (colour 65535, 0, 32896): "S1" [10..30 x 10..30] stroke 2 (s1, art) on One, "Far"
//     [1000..1010 x 0..10] (far) on no artboard
#pragma once

#include <array>
#include <string>
#include <vector>

#include "LayoutFixture.h"

namespace boardstest {

using Rect = std::array<double, 4>;  // left, top, right, bottom

struct SavedBoard {
    std::string name;
    Rect rect{};
    json data;  // the whole saved object
};

class BoardsTest : public layouttest::LayoutTest {
public:
    // How many objects below the node (a saved document's JSON) have the name.
    static int CountIn(const json& node, const std::string& name) {
        int count = node.value("name", "") == name ? 1 : 0;
        for (const char* key : {"layers", "children"}) {
            for (const json& child : node.value(key, json::array())) {
                count += CountIn(child, name);
            }
        }
        return count;
    }

protected:
    void SetUp() override {
        layouttest::LayoutTest::SetUp();
        OpenExample("boards.json", 7);
    }

    // The artboards of the saved document, in order (the default one when none is saved).
    std::vector<SavedBoard> Boards() {
        const json saved = Saved();
        std::vector<SavedBoard> boards;
        for (const json& board : saved.value("artboards", json::array())) {
            boards.push_back({board.value("name", ""), board["rect"].get<Rect>(), board});
        }
        return boards;
    }

    std::vector<std::string> BoardNames() {
        std::vector<std::string> names;
        for (const SavedBoard& board : Boards()) {
            names.push_back(board.name);
        }
        return names;
    }

    SavedBoard Board(const std::string& name) {
        for (const SavedBoard& board : Boards()) {
            if (board.name == name) {
                return board;
            }
        }
        ADD_FAILURE() << "no artboard named " << name;
        return {};
    }

    int ActiveBoard() { return Saved().value("activeArtboard", 0); }

    // How many objects of the saved document have the name.
    int CountNamed(const std::string& name) { return CountIn(Saved(), name); }

    // The anchors' bounds of every saved object of that name, in document order.
    std::vector<Rect> BoundsOfAll(const std::string& name) {
        std::vector<Rect> found;
        Collect(Saved(), name, found);
        return found;
    }

    static void Collect(const json& node, const std::string& name, std::vector<Rect>& found) {
        if (node.value("name", "") == name && node.contains("segments")) {
            found.push_back(layouttest::ReadSavedArt(node).AnchorBounds());
        }
        for (const char* key : {"layers", "children"}) {
            for (const json& child : node.value(key, json::array())) {
                Collect(child, name, found);
            }
        }
    }

    Rect AnchorBounds(const std::string& name) { return Art(name).AnchorBounds(); }

    // The saved layer with the title (depth first); null when none has it.
    static const json* FindLayer(const json& node, const std::string& title) {
        if (node.value("type", "") == "layer" && node.value("title", "") == title) {
            return &node;
        }
        for (const char* key : {"layers", "children"}) {
            if (!node.contains(key)) {
                continue;
            }
            for (const json& child : node[key]) {
                if (const json* found = FindLayer(child, title)) {
                    return found;
                }
            }
        }
        return nullptr;
    }

    json SavedLayer(const std::string& title) {
        const json saved = Saved();
        const json* layer = FindLayer(saved, title);
        if (layer == nullptr) {
            ADD_FAILURE() << "no layer titled " << title;
            return json::object();
        }
        return *layer;
    }

    // The titles of the top-level layers, front to back.
    std::vector<std::string> TopLayers() {
        std::vector<std::string> titles;
        const json saved = Saved();
        for (const json& layer : saved["layers"]) {
            titles.push_back(layer.value("title", ""));
        }
        return titles;
    }

    // What a layer holds, front to back: art names and sublayer titles.
    std::vector<std::string> Contents(const std::string& title) {
        std::vector<std::string> names;
        for (const json& child : SavedLayer(title).value("children", json::array())) {
            names.push_back(child.value("type", "") == "layer" ? "layer " + child.value("title", "")
                                                               : child.value("name", ""));
        }
        return names;
    }
};

inline void ExpectRect(const Rect& actual, const Rect& expected, const std::string& what) {
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-6) << what << " [" << i << "]";
    }
}

}  // namespace boardstest

// Common ground of the layout tests: examples/layout.json open in the host with the plug-in
// started, and the document read back from its saved text, as a user would read it.
//
// The example, in points (y up):
//   layer "Shapes": paths "A" [10..50 x 50..90] stroke 4 (tags box, a), "B" [100..160 x 40..80]
//     stroke 2 (box, b), "C" [200..220 x 20..120] no stroke (box, c); group "Pair" (pair) of "P1"
//     [300..340 x 60..100] stroke 2 and the curved "P2" (both inner); the empty group "Empty" and the
//     path "H" [500..540 x 60..100] (both hollow); the vertical line "V" x 580, y 0..100 (line)
//   layer "Media": clip group "Clip" (clip) of the mask [0..50 x -150..-100] and the stroked path
//     "Big"; point text "Label" (label) frame [10, 200, 110, 180]; placed "Photo" (placed) frame
//     [0, 50, 100, 0] at (300, 150); raster "Pixels" (raster) frame [0, 20, 20, 0] at (400, 150)
//   artboards "Main" [0, 300, 600, -300] (active) and "Side" [700, 300, 900, 100], ruler origin
//     (10, 20)
#pragma once

#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "PluginFixture.h"
#include "ProgramRun.h"
#include "model/DocumentFormat.h"

namespace layouttest {

using Point = std::array<double, 2>;
using Anchors = std::vector<Point>;

inline std::string LayoutExample() {
    return std::string(PLIM_SOURCE_DIR) + "/examples/layout.json";
}

// A file name of its own for each use: tests run in parallel processes.
inline std::filesystem::path TempFile(const std::string& stem, const std::string& extension) {
    static int counter = 0;
    return std::filesystem::temp_directory_path() /
           (stem + "-" + std::to_string(getpid()) + "-" + std::to_string(++counter) + extension);
}

// The art named so in a saved document's JSON (layers searched depth first); null when none is.
inline const json* FindArt(const json& node, const std::string& name) {
    if (node.contains("name") && node["name"] == name) {
        return &node;
    }
    for (const char* key : {"layers", "children"}) {
        if (!node.contains(key)) {
            continue;
        }
        for (const json& child : node[key]) {
            if (const json* found = FindArt(child, name)) {
                return found;
            }
        }
    }
    return nullptr;
}

// The saved form of one object: what the tests compare.
struct SavedArt {
    Anchors anchors;
    Anchors ins;
    Anchors outs;
    std::vector<double> matrix;       // placed art, rasters and text frames: [a, b, c, d, tx, ty]
    std::vector<double> fillPattern;  // empty: none recorded
    std::vector<double> strokePattern;
    double strokeWidth = 0.0;

    // left, top, right, bottom of the anchors.
    std::array<double, 4> AnchorBounds() const {
        std::array<double, 4> box{1e300, -1e300, -1e300, 1e300};
        for (const Point& p : anchors) {
            box = {std::min(box[0], p[0]), std::max(box[1], p[1]), std::max(box[2], p[0]),
                   std::min(box[3], p[1])};
        }
        return box;
    }
};

inline SavedArt ReadSavedArt(const json& art) {
    SavedArt saved;
    for (const json& segment : art.value("segments", json::array())) {
        const Point anchor{segment["anchor"][0].get<double>(), segment["anchor"][1].get<double>()};
        saved.anchors.push_back(anchor);
        saved.ins.push_back(segment.contains("in") ? Point{segment["in"][0], segment["in"][1]} : anchor);
        saved.outs.push_back(segment.contains("out") ? Point{segment["out"][0], segment["out"][1]} : anchor);
    }
    const auto numbers = [&](const char* key) {
        return art.contains(key) ? art[key].get<std::vector<double>>() : std::vector<double>{};
    };
    saved.matrix = numbers("matrix");
    saved.fillPattern = numbers("fillPattern");
    saved.strokePattern = numbers("strokePattern");
    saved.strokeWidth = art.value("strokeWidth", 0.0);
    return saved;
}

// Coordinates are compared to a millionth of a point: exact arithmetic in the tests' own terms,
// rounding of sines and unit factors aside.
inline void ExpectPoints(const Anchors& actual, const Anchors& expected, const std::string& what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i][0], expected[i][0], 1e-6) << what << " point " << i << " x";
        EXPECT_NEAR(actual[i][1], expected[i][1], 1e-6) << what << " point " << i << " y";
    }
}

inline void ExpectNumbers(const std::vector<double>& actual, const std::vector<double>& expected,
                          const std::string& what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-6) << what << " [" << i << "]";
    }
}

// Every anchor moved by (dx, dy).
inline Anchors Moved(const Anchors& anchors, double dx, double dy) {
    Anchors moved;
    for (const Point& p : anchors) {
        moved.push_back({p[0] + dx, p[1] + dy});
    }
    return moved;
}

// The rectangle paths of the example, anchors from the top-left corner clockwise.
inline Anchors Rectangle(double left, double top, double right, double bottom) {
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

// An example document open in the host with the plug-in started, read back from the file it is
// saved to.
class SavedExampleTest : public PluginTest {
protected:
    explicit SavedExampleTest(std::string example) : fExample(std::move(example)) {}

    void SetUp() override {
        PluginTest::SetUp();
        OpenDocument(fExample, 5);
    }

    host::model::Document& Doc() { return *app->CurrentDocument(); }

    // The document saved in the native format and read back as JSON.
    json Saved() {
        const std::filesystem::path file = TempFile("example-saved", ".json");
        std::string error;
        EXPECT_TRUE(host::model::saveDocument(Doc(), file, &error)) << error;
        std::ifstream stream(file);
        json saved = json::parse(stream);
        std::filesystem::remove(file);
        return saved;
    }

private:
    std::string fExample;
};

class LayoutTest : public SavedExampleTest {
protected:
    LayoutTest() : SavedExampleTest(LayoutExample()) {}

    SavedArt Art(const std::string& name) {
        const json saved = Saved();
        const json* art = FindArt(saved, name);
        if (art == nullptr) {
            ADD_FAILURE() << "no art named " << name;
            return {};
        }
        return ReadSavedArt(*art);
    }

    Anchors AnchorsOf(const std::string& name) { return Art(name).anchors; }

    host::model::ArtId Named(const std::string& name) {
        for (host::model::ArtId art : Doc().documentOrder()) {
            auto artName = Doc().name(art);
            if (artName.ok() && artName->text == name) {
                return art;
            }
        }
        ADD_FAILURE() << "no art named " << name;
        return {};
    }

    // The geometric bounds the host gives the named art.
    host::model::Rect BoundsOf(const std::string& name) {
        return Doc().bounds(Named(name), host::model::BoundsKind::geometric).valueOr(host::model::Rect());
    }

    // The journal's entries of an operation, as text.
    std::vector<std::string> JournalOf(const std::string& operation) {
        std::vector<std::string> texts;
        for (const std::string& text : app->Journal().Texts()) {
            if (text.rfind(operation + "(", 0) == 0) {
                texts.push_back(text);
            }
        }
        return texts;
    }
};

// plimhost run on a script: the reply lines and the document it saved.
struct PlimhostRun {
    int status = -1;
    std::vector<std::string> lines;
    json saved;
};

inline PlimhostRun RunPlimhost(const std::string& document, const std::string& script) {
    const testsupport::ScratchFolder scratch("layout-plimhost");
    const std::filesystem::path saved = scratch.Path() / "saved.json";
    const testsupport::ProgramRun program =
        testsupport::RunProgram(scratch,
                                std::string(PLIM_BIN_DIR) + "/plimhost --open " + document + " --save " +
                                    saved.string() + " " + scratch.Write("script.plim", script),
                                "");
    PlimhostRun run;
    run.status = program.status;
    run.lines = program.Lines();
    if (std::ifstream file(saved); file) {
        run.saved = json::parse(file, nullptr, false);
    }
    return run;
}

// An error reply of a geometry command, and the document left as it was. The cases are
// instantiated by each command family's test file.
struct ErrorCase {
    const char* command;
    const char* request;
    const char* reply;
};

inline void PrintTo(const ErrorCase& c, std::ostream* out) {
    *out << c.command << " " << c.request;
}

class GeometryErrors : public LayoutTest, public testing::WithParamInterface<ErrorCase> {};

// The boxes "A", "B" and "C" of the example, and the cases of a command that moves them: the
// request and how far each box moves.
inline const Anchors kA = Rectangle(10, 90, 50, 50);
inline const Anchors kB = Rectangle(100, 80, 160, 40);
inline const Anchors kC = Rectangle(200, 120, 220, 20);

struct Move {
    double dx;
    double dy;
};

struct BoxesCase {
    const char* name;
    const char* request;
    Move a;
    Move b;
    Move c;
};

inline void PrintTo(const BoxesCase& c, std::ostream* out) {
    *out << c.name;
}

class BoxMoves : public LayoutTest, public testing::WithParamInterface<BoxesCase> {
protected:
    void ExpectBoxesMoved() {
        ExpectPoints(AnchorsOf("A"), Moved(kA, GetParam().a.dx, GetParam().a.dy), "A");
        ExpectPoints(AnchorsOf("B"), Moved(kB, GetParam().b.dx, GetParam().b.dy), "B");
        ExpectPoints(AnchorsOf("C"), Moved(kC, GetParam().c.dx, GetParam().c.dy), "C");
    }
};

}  // namespace layouttest

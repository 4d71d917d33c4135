// The grid that finds which boxes may meet a box: what it finds, against looking at every box.
#include <random>

#include "ModelTestSupport.h"
#include "model/BoxGrid.h"

namespace host::model {
namespace {

struct GridCase {
    const char* name;
    Rect extent;        // what the grid is laid over
    double largest;     // boxes are up to this wide and tall
    std::size_t count;  // boxes added
};

void PrintTo(const GridCase& c, std::ostream* out) {
    *out << c.name;
}

class BoxGridQueries : public ::testing::TestWithParam<GridCase> {};

// Boxes of every size, some past the extent, some lines and points, some inverted (empty); each
// query finds exactly the boxes added before it that meet it, in the order added.
TEST_P(BoxGridQueries, FindWhatLookingAtEveryBoxFinds) {
    const GridCase& c = GetParam();
    std::mt19937 random(7);
    const auto between = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    const auto someBox = [&]() {
        const double left = between(c.extent.left - c.largest, c.extent.right);
        const double bottom = between(c.extent.bottom - c.largest, c.extent.top);
        switch (random() % 10) {
            case 0:
                return Rect(left, bottom, left, bottom);  // a point
            case 1:
                return Rect(left, bottom + 1, left - 1, bottom);  // inverted
            case 2:
                return Rect(left, bottom + c.largest * 20, left + c.largest * 20, bottom);  // wide
            default:
                return Rect(left, bottom + between(0, c.largest), left + between(0, c.largest), bottom);
        }
    };
    BoxGrid grid(c.extent, c.count, Rect(0, c.largest / 2, c.largest / 2, 0));
    std::vector<Rect> added;
    for (std::size_t id = 0; id < c.count; ++id) {
        const Rect query = someBox();
        std::vector<std::size_t> expected;
        for (std::size_t other = 0; other < added.size(); ++other) {
            if (added[other].intersects(query)) {
                expected.push_back(other);
            }
        }
        ASSERT_EQ(grid.meeting(query), expected) << "query " << id;
        added.push_back(someBox());
        grid.add(id, added.back());
    }
}

INSTANTIATE_TEST_SUITE_P(Extents, BoxGridQueries,
                         ::testing::Values(GridCase{"square", Rect(0, 1000, 1000, 0), 40, 600},
                                           GridCase{"longAndFlat", Rect(-5000, 1, 5000, 0), 3, 400},
                                           GridCase{"bigBoxes", Rect(0, 100, 100, 0), 400, 300},
                                           GridCase{"onePoint", Rect(5, 5, 5, 5), 0, 50},
                                           GridCase{"noExtent", Rect(), 10, 50},
                                           GridCase{"huge", Rect(-1e15, 1e15, 1e15, -1e15), 1e13, 300}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace host::model

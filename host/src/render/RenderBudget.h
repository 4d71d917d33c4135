// The budget of one picture: the most it may draw, counted across every level of its drawing
// (symbols, pattern tiles, placed native documents), so that a small document can't ask for more
// work than a picture could ever use.
#pragma once

#include <cstddef>

namespace host {

// The most one picture draws: symbol instances (those inside pattern tiles and placed documents
// included) and points of paths. A picture that asks for more is refused as a whole.
inline constexpr std::size_t kInstancesPerPicture = 100'000;
inline constexpr std::size_t kPointsPerPicture = 20'000'000;

// What one picture may draw at most.
struct RenderLimits {
    std::size_t instances = kInstancesPerPicture;
    std::size_t points = kPointsPerPicture;
};

// The work one picture has done so far, against its limits.
class RenderBudget {
public:
    RenderBudget() = default;
    explicit RenderBudget(const RenderLimits& limits) : limits_(limits) {}

    // False, and the budget exceeded from then on, when the picture would draw more than it may.
    bool SpendInstance() { return Spend(instances_, 1, limits_.instances); }
    bool SpendPoints(std::size_t count) { return Spend(points_, count, limits_.points); }
    bool exceeded() const { return exceeded_; }

private:
    bool Spend(std::size_t& spent, std::size_t count, std::size_t limit) {
        if (exceeded_ || count > limit - spent) {
            exceeded_ = true;
            return false;
        }
        spent += count;
        return true;
    }

    RenderLimits limits_;
    std::size_t instances_ = 0;
    std::size_t points_ = 0;
    bool exceeded_ = false;
};

}  // namespace host

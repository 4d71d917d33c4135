// Text containers for placing: a group's paths become area text threaded column by column, left to
// right and each column top first, however the group orders them.
#include <gtest/gtest.h>

#include "StandIn.h"
#include "documents/PlaceGeometry.h"

namespace {

// Four 40 x 40 squares in two columns (x 0 and x 103, the second a little off), listed out of order.
constexpr const char* kColumns = R"({"format": "plimhost-document", "version": 1, "layers": [
  {"type": "layer", "title": "L", "children": [
    {"type": "group", "name": "G", "children": [
      {"type": "path", "name": "RightBottom", "closed": true,
       "segments": [{"anchor": [103, 0]}, {"anchor": [143, 0]}, {"anchor": [143, 40]}, {"anchor": [103, 40]}]},
      {"type": "path", "name": "LeftBottom", "closed": true,
       "segments": [{"anchor": [0, 0]}, {"anchor": [40, 0]}, {"anchor": [40, 40]}, {"anchor": [0, 40]}]},
      {"type": "path", "name": "RightTop", "closed": true,
       "segments": [{"anchor": [100, 50]}, {"anchor": [140, 50]}, {"anchor": [140, 90]}, {"anchor": [100, 90]}]},
      {"type": "path", "name": "LeftTop", "closed": true,
       "segments": [{"anchor": [0, 50]}, {"anchor": [40, 50]}, {"anchor": [40, 90]}, {"anchor": [0, 90]}]}]}]}]})";

TEST(TextContainers, AGroupsPathsAreThreadedByColumns) {
    unittest::StandIn host;
    host.Load(kColumns);
    ATE::ITextRange range;
    ArtObject* group = host.Art("G");
    ASSERT_EQ(MakeTextContainer(group, range), group);
    EXPECT_FALSE(range.IsNull());
    host::model::ArtId first;
    const std::vector<host::model::ArtId> children =
        *host.Doc().children(host::model::ArtId{reinterpret_cast<std::uintptr_t>(group)});
    for (const host::model::ArtId child : children) {
        const auto* text = host.Doc().contentAs<host::model::TextFrameContent>(child);
        ASSERT_NE(text, nullptr);  // every path became a frame
        if (text->threadHead.empty()) {
            first = child;
        }
    }
    std::vector<std::pair<double, double>> corners;
    const std::vector<host::model::ArtId> thread = *host.Doc().thread(first);
    for (const host::model::ArtId frame : thread) {
        const host::model::Rect bounds = *host.Doc().bounds(frame, host::model::BoundsKind::geometric);
        corners.emplace_back(bounds.left, bounds.top);
    }
    EXPECT_EQ(corners, (std::vector<std::pair<double, double>>{{0, 90}, {0, 40}, {100, 90}, {103, 40}}));
}

TEST(TextContainers, OtherArtTakesNoText) {
    unittest::StandIn host;
    host.Load(kColumns);
    ATE::ITextRange range;
    EXPECT_EQ(MakeTextContainer(nullptr, range), nullptr);
    EXPECT_TRUE(range.IsNull());
}

}  // namespace

// The handle map of the change log and the selection marks, checked against the standard map over
// a long random series of additions, look-ups and removals.
#include <gtest/gtest.h>

#include <random>
#include <unordered_map>

#include "model/Handles.h"
#include "model/IdMap.h"

namespace {

using host::model::ArtId;
using host::model::IdMap;

TEST(IdMap, AgreesWithTheStandardMap) {
    IdMap<ArtId, int> map;
    std::unordered_map<ArtId, int> expected;
    std::mt19937_64 random(7);
    for (int step = 0; step < 20'000; ++step) {
        // Handles near each other, as one counter gives them, and a few far apart.
        const ArtId id{random() % 8 == 0 ? random() | 1 : 1 + random() % 3'000};
        const int value = static_cast<int>(random() % 1'000);
        if (step % 2'500 == 2'499) {
            const auto odd = [](const auto& entry) { return entry.second % 2 == 1; };
            map.eraseIf(odd);
            std::erase_if(expected, odd);
        } else if (random() % 3 == 0) {
            ASSERT_EQ(map.contains(id), expected.contains(id));
        } else {
            ASSERT_EQ(map.try_emplace(id, value), expected.try_emplace(id, value).second);
        }
        ASSERT_EQ(map.size(), expected.size());
    }
    for (const auto& [id, value] : map) {
        ASSERT_NE(map.find(id), nullptr);
        EXPECT_EQ(*map.find(id), value);
        EXPECT_EQ(expected.at(id), value);
    }
}

}  // namespace

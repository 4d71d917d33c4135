// The indexed table of named records, checked against a plain list searched from its start over a
// long random series of insertions, removals, renames and copies, with names shared by several
// records (as unnamed swatches share the empty name).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "model/DocumentColors.h"
#include "model/NamedTable.h"

namespace {

using host::model::NamedTable;
using host::model::ResourceId;
using host::model::Swatch;

const Swatch* FirstNamed(const std::vector<Swatch>& list, const std::string& name) {
    for (const Swatch& swatch : list) {
        if (swatch.name == name) {
            return &swatch;
        }
    }
    return nullptr;
}

void ExpectAgrees(const NamedTable<Swatch>& table, const std::vector<Swatch>& expected,
                  std::uint64_t lastId) {
    ASSERT_EQ(table.records(), expected);
    for (std::uint64_t id = 0; id <= lastId + 1; ++id) {
        const Swatch* found = table.find(ResourceId{id});
        const auto place = std::find_if(expected.begin(), expected.end(),
                                        [&](const Swatch& each) { return each.id.value == id; });
        if (place == expected.end() || id == 0) {
            ASSERT_EQ(found, nullptr) << id;
            ASSERT_EQ(table.indexOf(ResourceId{id}), table.size()) << id;
            continue;
        }
        ASSERT_NE(found, nullptr) << id;
        ASSERT_EQ(found->id.value, id);
        ASSERT_EQ(table.indexOf(ResourceId{id}), static_cast<std::size_t>(place - expected.begin()));
    }
    for (const std::string name : {"", "a", "b", "c", "d", "e", "f", "g"}) {
        const Swatch* want = FirstNamed(expected, name);
        const Swatch* found = table.byName(name);
        ASSERT_EQ(found == nullptr, want == nullptr) << name;
        if (want != nullptr) {
            ASSERT_EQ(found->id, want->id) << name;
        }
    }
}

TEST(NamedTable, AgreesWithAListSearchedFromItsStart) {
    NamedTable<Swatch> table;
    std::vector<Swatch> expected;
    std::mt19937_64 random(11);
    std::uint64_t lastId = 0;
    const auto someName = [&] {
        return std::string(random() % 4 == 0 ? "" : std::string(1, 'a' + random() % 7));
    };
    const auto someId = [&] { return ResourceId{random() % (lastId + 2)}; };
    for (int step = 0; step < 4'000; ++step) {
        switch (random() % 6) {
            case 0:
            case 1: {
                const std::size_t index = random() % (expected.size() + 3);
                const Swatch swatch{ResourceId{++lastId}, someName(), {}};
                table.insert(index, swatch);
                expected.insert(
                    expected.begin() + static_cast<std::ptrdiff_t>(std::min(index, expected.size())), swatch);
                break;
            }
            case 2: {
                const ResourceId id = someId();
                table.erase(id);
                std::erase_if(expected, [&](const Swatch& each) { return id && each.id == id; });
                break;
            }
            case 3: {
                const ResourceId id = someId();
                const std::string name = someName();
                table.rename(id, name);
                for (Swatch& each : expected) {
                    if (id && each.id == id) {
                        each.name = name;
                    }
                }
                break;
            }
            case 4: {
                // A copy answers as the original did and goes its own way after.
                const NamedTable<Swatch> copy = table;
                table = copy;
                break;
            }
            default: {
                if (Swatch* swatch = table.edit(someId())) {
                    swatch->color = host::model::Color::gray(0.5);
                    for (Swatch& each : expected) {
                        if (each.id == swatch->id) {
                            each.color = swatch->color;
                        }
                    }
                }
                break;
            }
        }
        if (step % 50 == 0 || expected.size() < 8) {
            ExpectAgrees(table, expected, lastId);
        }
    }
    ExpectAgrees(table, expected, lastId);
}

}  // namespace

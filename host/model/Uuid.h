// UUIDs of art objects: random (version 4) UUIDs from a generator that tests can seed.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace host::model {

class UuidGenerator {
public:
    // Seeded from the system's random device.
    UuidGenerator();
    explicit UuidGenerator(std::uint64_t seed);

    // From now on the same seed gives the same sequence of UUIDs.
    void seed(std::uint64_t seed);
    // A version 4, variant 1 UUID as 36 lower-case characters: 8-4-4-4-12 hexadecimal digits.
    std::string next();

private:
    std::mt19937_64 engine_;
};

// True for the 36-character form with lower-case hexadecimal digits that `next` writes.
bool isUuidText(std::string_view text);

}  // namespace host::model

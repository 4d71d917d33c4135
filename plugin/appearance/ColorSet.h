// ColorSet: host colours gathered once (the colours a document paints with, the swatches a merge
// takes in) so that whether another colour is among them costs a look-up, not a comparison with
// each of them.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "AIPathStyle.h"

class ColorSet {
public:
    // Adds the colour unless an equal one is there already.
    void Insert(const AIColor& color);
    // Whether a colour of the set is equal to this one, as the host's colour suite judges it.
    bool Contains(const AIColor& color) const;
    bool Empty() const { return groups_.empty(); }

private:
    // What equal colours have in common: their kind, their custom colour, gradient or pattern, and
    // their components (a custom colour's tint). Only colours of one group are compared by the host.
    using Key = std::array<std::uint64_t, 6>;
    static Key KeyOf(const AIColor& color);
    const std::vector<AIColor>* GroupOf(const Key& key) const;

    std::map<Key, std::vector<AIColor>> groups_;
};

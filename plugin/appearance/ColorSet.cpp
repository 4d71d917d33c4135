#include "appearance/ColorSet.h"

#include <algorithm>
#include <bit>

#include "AIColor.h"
#include "core/Suites.h"

namespace {

// The bits of a component, -0 taken as 0, so that components equal as numbers give one key.
std::uint64_t ComponentBits(AIReal value) {
    return std::bit_cast<std::uint64_t>(value == 0 ? AIReal{0} : value);
}

std::uint64_t HandleBits(const void* handle) {
    return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(handle));
}

}  // namespace

ColorSet::Key ColorSet::KeyOf(const AIColor& color) {
    Key key{static_cast<std::uint64_t>(color.kind), 0, 0, 0, 0, 0};
    switch (color.kind) {
        case kGrayColor:
            key[2] = ComponentBits(color.c.g.gray);
            break;
        case kFourColor:
            key[2] = ComponentBits(color.c.f.cyan);
            key[3] = ComponentBits(color.c.f.magenta);
            key[4] = ComponentBits(color.c.f.yellow);
            key[5] = ComponentBits(color.c.f.black);
            break;
        case kThreeColor:
            key[2] = ComponentBits(color.c.rgb.red);
            key[3] = ComponentBits(color.c.rgb.green);
            key[4] = ComponentBits(color.c.rgb.blue);
            break;
        case kCustomColor:
            key[1] = HandleBits(color.c.c.color);
            key[2] = ComponentBits(color.c.c.tint);
            break;
        case kPattern:
            key[1] = HandleBits(color.c.p.pattern);
            break;
        case kGradient:
            // A gradient is the same colour wherever it is laid out.
            key[1] = HandleBits(color.c.b.gradient);
            break;
        case kNoneColor:
            break;
    }
    return key;
}

const std::vector<AIColor>* ColorSet::GroupOf(const Key& key) const {
    const auto found = groups_.find(key);
    return found == groups_.end() ? nullptr : &found->second;
}

bool ColorSet::Contains(const AIColor& color) const {
    const std::vector<AIColor>* group = GroupOf(KeyOf(color));
    return group != nullptr && std::any_of(group->begin(), group->end(), [&](const AIColor& each) {
               return sAIColor->IsEqual(&color, &each);
           });
}

void ColorSet::Insert(const AIColor& color) {
    if (!Contains(color)) {
        groups_[KeyOf(color)].push_back(color);
    }
}

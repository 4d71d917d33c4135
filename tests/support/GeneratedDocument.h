// A generated document in the native format's model, for the format's golden tests and its
// benchmark: layers of groups of ten objects, mostly curved, tagged paths, with now and then a
// styled path, a text frame, a raster, a note and a dictionary, so that every kind of value the
// format writes shows up many times.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/Document.h"

namespace testsupport {

namespace detail {

// The text followed by the number.
inline std::string Numbered(std::string text, std::size_t number) {
    text += std::to_string(number);
    return text;
}

inline host::model::ArtTree GeneratedPath(std::size_t i) {
    using namespace host::model;
    ArtTree tree;
    tree.data.name = Numbered("Path ", i) + (i % 7 == 0 ? " \xe2\x82\xac \"quoted\"\t" : "");
    PathGeometry geometry;
    const double x = static_cast<double>(i % 1000) * 1.37;
    const double y = static_cast<double>(i / 1000) * 2.11;
    for (int k = 0; k < 6; ++k) {
        const Point anchor{x + k * 10.25, y + (k % 2) * 7.5};
        Segment segment = Segment::straight(anchor);
        if (k % 2 == 1) {
            segment.in = {anchor.x - 3.1, anchor.y + 0.3};
            segment.out = {anchor.x + 3.1, anchor.y - 0.3};
            segment.corner = false;
        }
        geometry.segments.push_back(segment);
    }
    geometry.closed = i % 3 == 0;
    tree.data.content = PathContent{geometry};
    tree.data.tags.set(Numbered("_p_tag_", 10000000 + i % 10), "string", Numbered("t", i % 10));
    tree.data.tags.set("_p_tag_90000000", "string", "all");
    if (i % 5 == 0) {
        tree.data.style = ArtStyle::basic(Color::rgb(0.25, 0.5, 1.0 / 3.0), Color::black(), 1.5);
    } else {
        tree.data.style = ArtStyle::ofStrokeWidth(static_cast<double>(i % 4));
    }
    if (i % 11 == 0) {
        tree.data.note = Numbered("note ", i) + "\nsecond line";
        tree.data.attributes = attribute::locked | attribute::hidden;
    }
    if (i % 13 == 0) {
        tree.data.dictionary.setInteger("count", static_cast<std::int32_t>(i));
        tree.data.dictionary.setReal("ratio", static_cast<double>(i) / 7.0);
        tree.data.dictionary.setString("label", Numbered("entry ", i));
    }
    return tree;
}

inline host::model::ArtTree GeneratedLeaf(std::size_t i) {
    using namespace host::model;
    if (i % 50 == 17) {
        ArtTree text;
        TextFrameContent content;
        content.kind = TextKind::area;
        content.story = *Story::plain(Numbered("Text ", i) + "\rsecond");
        content.box = BoxGeometry{Rect(0, 20, 100, 0), Matrix::rotation(0.1)};
        text.data.content = std::move(content);
        return text;
    }
    if (i % 100 == 42) {
        ArtTree raster;
        RasterPixels pixels{2, 2, RasterPixels::Space::gray, true, {0, 255, 128, 64, 1, 2, 3, 4}};
        raster.data.content =
            RasterContent{BoxGeometry{Rect(0, 2, 2, 0), Matrix::translation(5.5, 6)}, pixels, PlaceFit{}};
        return raster;
    }
    return GeneratedPath(i);
}

}  // namespace detail

// About `objects` objects (layer groups and groups included), UUIDs following from the seed.
inline host::model::Document GenerateDocument(std::size_t objects, std::uint64_t seed = 1) {
    using namespace host::model;
    constexpr std::size_t kLayers = 4;
    constexpr std::size_t kGroupSize = 10;
    DocumentContents contents;
    const std::size_t perLayer = objects / kLayers;
    std::size_t index = 0;
    for (std::size_t l = 0; l < kLayers; ++l) {
        ArtTree layer;
        layer.layer = LayerProperties{};
        layer.layer->title = detail::Numbered("Layer ", l + 1);
        for (std::size_t made = 1; made + kGroupSize + 1 <= perLayer; made += kGroupSize + 1) {
            ArtTree group;
            group.data.name = detail::Numbered("Group ", index);
            for (std::size_t k = 0; k < kGroupSize; ++k) {
                group.children.push_back(detail::GeneratedLeaf(index++));
            }
            layer.children.push_back(std::move(group));
        }
        contents.layers.push_back(std::move(layer));
    }
    contents.dictionary.setString("generated", "yes");
    contents.artboards = {defaultArtboard(), Artboard{Rect(0, 600, 600, 0), "Second", {10, 20}, 1.0, true}};
    return std::move(*Document::fromContents(std::move(contents), seed));
}

}  // namespace testsupport

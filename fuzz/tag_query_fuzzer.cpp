// Fuzzes the tag-query language: tokenizer, checker, parser and evaluator, and the tag-text
// normalisation. The first bytes of the input shape a synthetic document (tree, keys with
// collisions, tags); the rest is the query. Queries run both through the checked entry point and,
// unchecked, straight into the parser, which must refuse what it cannot evaluate without
// crashing. The host-side index builder (MakeArtIndex) is not reached here: it needs a document
// of the stand-in host and is exercised by the end-to-end tests.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "AIUnicodeString.h"
#include "art/TagQueryEval.h"
#include "art/TagQueryTokens.h"
#include "art/TagText.h"

extern "C" AIUnicodeStringSuite* sAIUnicodeString = nullptr;

namespace {

constexpr std::string_view kTags[] = {"a", "b", "row", "cell", "red", "icon", "icon_small", "2n+1"};

struct Document {
    std::deque<int> slots;  // addresses standing in for art handles
    ArtIndex index;
    TagIndex tags;
};

// Up to 24 objects under two layers; each object's parent is an earlier group, so the listing
// stays in document order.
void BuildDocument(std::string_view shape, Document& document) {
    std::vector<ArtObject*> arts;
    auto add = [&](ArtObject* parent, std::int32_t crc, bool layerGroup, bool group, std::uint8_t tagBits) {
        document.slots.emplace_back();
        ArtObject* art = reinterpret_cast<ArtObject*>(&document.slots.back());
        const std::int32_t ordinal =
            document.index.Add(art, crc, layerGroup, group, (tagBits & 0x80) == 0, parent);
        arts.push_back(art);
        for (std::size_t bit = 0; bit < std::size(kTags) && !layerGroup; ++bit) {
            if ((tagBits >> bit) & 1u) {
                document.tags[ToUtf32(kTags[bit])].push_back(ordinal);
            }
        }
    };
    add(nullptr, 1000, true, true, 0);
    add(nullptr, 2000, true, true, 0);
    for (std::size_t i = 0; i + 1 < shape.size() && arts.size() < 26; i += 2) {
        const auto choice = static_cast<std::uint8_t>(shape[i]);
        const auto tagBits = static_cast<std::uint8_t>(shape[i + 1]);
        ArtObject* parent = arts[choice % arts.size()];
        // Few distinct keys, so that collisions happen.
        const std::int32_t crc = static_cast<std::int32_t>(choice % 7) - 3;
        add(parent, crc, false, (choice & 0x40) != 0, tagBits);
    }
}

// Results hold objects only, in ascending (key, position) order.
void CheckResult(const ArtList& found, const ArtIndex& index) {
    std::pair<std::int32_t, std::int32_t> previous{0, kNoArt};
    for (ArtObject* art : found) {
        const std::int32_t ordinal = index.Find(art);
        if (!index.IsObject(ordinal)) {
            std::abort();
        }
        const std::pair<std::int32_t, std::int32_t> identity{index.Key(ordinal), ordinal};
        if (previous.second != kNoArt && !(previous < identity)) {
            std::abort();
        }
        previous = identity;
    }
}

void CheckNormalForm(std::string_view text) {
    const std::string normal = NormalizeTagName(text);
    if (NormalizeTagName(normal) != normal || ToUtf8(ToUtf32(normal)) != normal || !OwnTag(TagName(normal))) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t shapeLength = size == 0 ? 0 : std::min<std::size_t>(data[0] % 49, size - 1);
    const std::string_view shape = input.substr(size == 0 ? 0 : 1, shapeLength);
    const std::string_view query = input.substr(size == 0 ? 0 : 1 + shapeLength);

    Document document;
    BuildDocument(shape, document);

    ArtList found;
    if (EvaluateTagQuery(query, document.index, document.tags, found)) {
        CheckResult(found, document.index);
    }

    // Unchecked tokens straight into the parser.
    const std::vector<std::u32string> tokens = Tokenize(ToUtf32(query));
    const tokenSet value = Shunting(tokens, document.index, document.tags);
    if (value.valid) {
        CheckResult(MergeTokenSet(value, document.index), document.index);
    } else if (!value.art.empty()) {
        std::abort();
    }

    int a = 0;
    int b = 0;
    NthStringToNum(ToUtf32(query), a, b);
    for (std::int64_t position = -2; position < 6; ++position) {
        NthPositionMatches(a, b, position);
    }
    // The formula as testTokens reads it: no separator left, and joining again changes nothing.
    const std::u32string formula = JoinFormulaWords(ToUtf32(query));
    if (formula.find_first_of(U" ,") != std::u32string::npos || JoinFormulaWords(formula) != formula) {
        std::abort();
    }
    NthStringToNum(formula, a, b);
    CheckNormalForm(query);
    return 0;
}

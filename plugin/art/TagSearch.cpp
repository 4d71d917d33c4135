#include "art/TagSearch.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <unordered_map>

#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "art/TagQueryTokens.h"
#include "art/Tags.h"

namespace {

// Merges the ordinals of two stored texts that read as one tag text (invalid UTF-8 replaced).
void MergeInto(ArtOrdinals& into, const ArtOrdinals& more) {
    ArtOrdinals merged;
    std::set_union(into.begin(), into.end(), more.begin(), more.end(), std::back_inserter(merged));
    into = std::move(merged);
}

}  // namespace

void MakeArtIndex(ArtIndex& index, TagIndex& tags) {
    // One host string serves every identity the index reads.
    auto scratch = std::make_shared<ai::UnicodeString>();
    index = ArtIndex([scratch](ArtObject* art) { return ArtUUID(art, *scratch); });
    tags.clear();
    // Tags are gathered by their stored text, and each distinct text is converted once.
    std::unordered_map<std::string, ArtOrdinals> byText;
    for (ArtObject* art : GetAllObjects(true)) {
        const std::optional<ai::int16> type = hostart::Type(art);
        const std::optional<ArtObject*> parent = hostart::Parent(art);
        const bool layerGroup = hostart::IsLayerGroup(art);
        const std::size_t before = index.size();
        const std::int32_t ordinal = index.Add(art, std::nullopt, layerGroup, type && *type == kGroupArt,
                                               type.has_value(), parent.value_or(nullptr));
        if (layerGroup || index.size() == before) {
            continue;
        }
        ForEachTag(art, [&](std::string_view value) {
            ArtOrdinals& carriers = byText[std::string(value)];
            if (carriers.empty() || carriers.back() != ordinal) {
                carriers.push_back(ordinal);
            }
        });
    }
    for (auto& [text, ordinals] : byText) {
        auto [slot, added] = tags.try_emplace(ToUtf32(text), std::move(ordinals));
        if (!added) {
            MergeInto(slot->second, ordinals);
        }
    }
}

bool TagSearchSnapshot::Prepare(std::string_view query) {
    // The snapshot is taken only once a query passes the check.
    std::vector<std::u32string> tokens;
    if (query.empty() || !TokenizeTagQuery(query, tokens) || tokens.empty()) {
        return false;
    }
    if (!fTaken) {
        MakeArtIndex(fIndex, fTags);
        fTaken = true;
    }
    return true;
}

std::optional<bool> TagSearchSnapshot::Finds(std::string_view query) {
    ArtOrdinals found;
    if (!Prepare(query) || !EvaluateTagQueryInDocumentOrder(query, fIndex, fTags, found)) {
        return std::nullopt;
    }
    return !found.empty();
}

bool TagSearchSnapshot::Search(std::string_view query, ArtList& out, std::vector<std::string>* uuids) {
    ArtOrdinals found;
    if (!Prepare(query) || !EvaluateTagQuery(query, fIndex, fTags, found)) {
        return false;
    }
    out = fIndex.Handles(found);
    if (uuids != nullptr) {
        uuids->clear();
        for (std::int32_t ordinal : found) {
            uuids->push_back(fIndex.Uuid(ordinal));
        }
    }
    return true;
}

bool SearchTaggedArt(std::string_view query, ArtList& out) {
    TagSearchSnapshot snapshot;
    return snapshot.Search(query, out);
}

ArtList SearchTaggedArt(std::string_view query) {
    ArtList found;
    SearchTaggedArt(query, found);
    return found;
}

ArtList FindRequestedArt(const json& request, json& reply, const char* noArtError) {
    const std::string tagSearch = ReadTextStrictly(request, "tagSearch");
    reply["tagSearch"] = tagSearch;
    ArtList found = SearchTaggedArt(tagSearch);
    if (found.empty()) {
        reply["error"] = noArtError;
    }
    return found;
}

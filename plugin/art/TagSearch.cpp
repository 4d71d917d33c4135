#include "art/TagSearch.h"

#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "art/TagQueryTokens.h"
#include "art/Tags.h"

void MakeArtIndex(ArtIndex& index, TagIndex& tags) {
    index = ArtIndex();
    tags.clear();
    for (ArtObject* art : GetAllObjects(true)) {
        const std::optional<ai::int16> type = hostart::Type(art);
        const std::optional<ArtObject*> parent = hostart::Parent(art);
        index.Add(art, ArtCRC(art), hostart::IsLayerGroup(art), type && *type == kGroupArt, type.has_value(),
                  parent.value_or(nullptr));
    }
    for (const IndexedArt& entry : index.entries()) {
        index.SetChildren(entry.id.ordinal, hostart::Children(entry.art));
        if (entry.layerGroup) {
            continue;
        }
        for (const std::string& tag : ReadTags(entry.art)) {
            tags[ToUtf32(tag)].insert(entry.id);
        }
    }
}

bool SearchTaggedArt(std::string_view query, ArtList& out) {
    std::vector<std::u32string> tokens;
    if (query.empty() || !TokenizeTagQuery(query, tokens) || tokens.empty()) {
        return false;
    }
    ArtIndex index;
    TagIndex tags;
    MakeArtIndex(index, tags);
    const tokenSet value = Shunting(tokens, index, tags);
    if (!value.valid) {
        return false;
    }
    out = MergeTokenSet(value, index);
    return true;
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

// The tag commands: set, read, remove and search tags, select art by a query, copy tags into art
// names and back, and switch the push of the selection's tags.
#include <algorithm>

#include "AIMatchingArt.h"
#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "art/TagQueryEval.h"
#include "art/TagQueryTokens.h"
#include "art/TagSearch.h"
#include "art/Tags.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"
#include "core/TextHelpers.h"

namespace {

json TagArray(const TagSet& tags) {
    return json(std::vector<std::string>(tags.begin(), tags.end()));
}

TagSet ToTagSet(const std::vector<std::string>& texts) {
    return TagSet(texts.begin(), texts.end());
}

// Sets the reply's "contents" and, when asked, "contentTags": the tags of everything below the
// objects.
void AddContentTags(json& reply, const ArtList& objects, bool contents) {
    reply["contents"] = contents;
    if (!contents) {
        return;
    }
    TagSet nested;
    for (ArtObject* art : objects) {
        nested.merge(GetNestedTags(art));
    }
    reply["contentTags"] = TagArray(nested);
}

// The objects a naming command works on: the top fully selected art, or every object.
ArtList ChosenObjects(bool selected) {
    return selected ? GetTopFullySelectedObjects() : GetAllObjects(false);
}

// A changed object gets its selection written twice, so that the host sees the change; with
// "selected" it ends selected, otherwise deselected.
void MarkChanged(ArtObject* art, bool selected) {
    hostart::SetUserAttr(art, kArtSelected, !selected);
    hostart::SetUserAttr(art, kArtSelected, selected);
}

// The tags a name stands for: its comma-separated pieces, each with its words joined by "-" and
// then normalised; pieces that come out empty are dropped.
TagSet TagsFromName(const std::string& name) {
    TagSet tags;
    for (const std::u32string& piece : Tokenize(ToUtf32(name), U",")) {
        const std::u32string joined = ProcessSpacesInArtName(piece);
        if (joined.empty()) {
            continue;
        }
        std::string tag = ToUtf8(NormalizeTagName(std::u32string_view(joined)));
        if (!tag.empty()) {
            tags.insert(std::move(tag));
        }
    }
    return tags;
}

}  // namespace

std::string PlimUtilsPlugin::setTags(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("setTags", parsed);
    const std::string tagSearch = ReadTextStrictly(parsed, "tagSearch");
    const TagSet tags = ToTagSet(ReadTextArrayStrictly(parsed, "tags"));
    const bool replace = ReadBoolStrictly(parsed, "replace", false);

    const ArtList objects = tagSearch.empty() ? GetTopFullySelectedObjects() : SearchTaggedArt(tagSearch);
    SetTags(objects, tags, replace);

    reply["tagSearch"] = tagSearch;
    reply["tags"] = TagArray(tags);
    reply["replace"] = replace;
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::getTags(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("getTags", parsed);
    const bool mixedRequested = ReadBoolStrictly(parsed, "mixed", true);
    const bool contents = ReadBoolStrictly(parsed, "contents", true);

    const ArtList objects = GetTopFullySelectedObjects();
    TagSet tags;
    size_t firstCount = 0;
    bool countsDiffer = false;
    for (size_t i = 0; i < objects.size(); ++i) {
        const TagSet own = ReadTags(objects[i]);
        if (i == 0) {
            tags = own;
            firstCount = own.size();
            continue;
        }
        countsDiffer = countsDiffer || own.size() != firstCount;
        if (mixedRequested) {
            tags.insert(own.begin(), own.end());
        } else {
            TagSet common;
            std::set_intersection(tags.begin(), tags.end(), own.begin(), own.end(),
                                  std::inserter(common, common.end()));
            tags = std::move(common);
        }
    }
    reply["tags"] = TagArray(tags);
    reply["mixed"] = countsDiffer || tags.empty() || tags.size() != firstCount;
    AddContentTags(reply, objects, contents);
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::GetAllTags(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("getAllTags", parsed);
    const bool contents = ReadBoolStrictly(parsed, "contents", true);

    const ArtHandleSet top = GetTopObjects();
    const ArtList objects(top.begin(), top.end());
    reply["tags"] = TagArray(ReadTags(objects));
    AddContentTags(reply, objects, contents);
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::GetByTags(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("getByTags", parsed);
    const std::string tagSearch = ReadTextStrictly(parsed, "tagSearch");
    reply["tagSearch"] = tagSearch;
    if (tagSearch.empty()) {
        reply["error"] = "No search string";
        return DumpReply(reply);
    }
    ArtList objects;
    std::vector<std::string> uuids;
    TagSearchSnapshot().Search(tagSearch, objects, &uuids);
    if (objects.empty()) {
        reply["error"] = kNoArtworkFound;
        return DumpReply(reply);
    }
    reply["uuid"] = std::move(uuids);
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::SelectByTags(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("selectByTags", parsed);
    const std::string tagSearch = ReadTextStrictly(parsed, "tagSearch");
    const bool add = ReadBoolStrictly(parsed, "add", false);
    reply["tagSearch"] = tagSearch;
    reply["add"] = add;
    if (tagSearch.empty()) {
        reply["error"] = "Tag search is empty";
        return DumpReply(reply);
    }
    // The query is checked before the selection changes, so that a mistyped query keeps it.
    ArtList objects;
    if (!SearchTaggedArt(tagSearch, objects)) {
        reply["error"] = "Can't parse the tag search";
        return DumpReply(reply);
    }
    if (!add && sAIMatchingArt != nullptr) {
        sAIMatchingArt->DeselectAll();
    }
    if (objects.empty()) {
        reply["warning"] = kNoArtworkFound;
        return DumpReply(reply);
    }
    for (ArtObject* art : objects) {
        SelectSubTree(art);
    }
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::ValidateSearchStrings(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("validateTagSearches", parsed);
    json valid = json::array();
    json exists = json::array();
    TagSearchSnapshot snapshot;
    for (const std::string& query : ReadTextArrayStrictly(parsed, "tagSearches")) {
        const std::optional<bool> found = snapshot.Finds(query);
        valid.push_back(found.has_value());
        exists.push_back(found.value_or(false));
    }
    reply["valid"] = std::move(valid);
    reply["exists"] = std::move(exists);
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::RemoveTags(std::string request) {
    return RemoveTagsOf(request, false);
}

std::string PlimUtilsPlugin::RemoveTagsSelected(std::string request) {
    return RemoveTagsOf(request, true);
}

std::string PlimUtilsPlugin::RemoveTagsOf(const std::string& request, bool selected) {
    const json parsed = ParseRequest(request);
    json reply = StartReply(selected ? "removeTagsSelected" : "removeTags", parsed);
    const std::vector<std::string> texts = ReadTextArrayStrictly(parsed, "tags");
    const bool all = ReadBoolStrictly(parsed, "all", false);
    const bool contents = ReadBoolStrictly(parsed, "contents", true);

    if (!selected) {
        ::RemoveTags(GetAllObjects(false), texts, all);
    } else {
        const ArtList objects = GetTopFullySelectedObjects();
        ::RemoveTags(objects, texts, all);
        if (contents) {
            for (ArtObject* art : objects) {
                ArtList below = GetArtTree(art);
                below.erase(std::remove(below.begin(), below.end(), art), below.end());
                ::RemoveTags(below, texts, all);
            }
        }
        reply["contents"] = contents;
    }
    reply["all"] = all;
    reply["tags"] = all ? json::array() : json(texts);
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::NameToTags(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("nameToTags", parsed);
    const bool selected = ReadBoolStrictly(parsed, "selected", false);
    const bool replace = ReadBoolStrictly(parsed, "replace", false);

    for (ArtObject* art : ChosenObjects(selected)) {
        std::string name;
        bool isDefault = true;
        if (!GetArtNameText(art, name, isDefault) || isDefault) {
            continue;
        }
        if (SetTagsOnArt(art, TagsFromName(name), replace)) {
            MarkChanged(art, selected);
        }
    }
    reply["selected"] = selected;
    reply["replace"] = replace;
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::TagsToName(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("tagsToName", parsed);
    const bool selected = ReadBoolStrictly(parsed, "selected", false);

    for (ArtObject* art : ChosenObjects(selected)) {
        std::string name;
        for (const std::string& value : ReadTagsInEntryOrder(art)) {
            if (!name.empty()) {
                name += ", ";
            }
            name += NormalizeTagName(std::string_view(value));
        }
        if (!name.empty() && SetArtNameText(art, name)) {
            MarkChanged(art, selected);
        }
    }
    reply["selected"] = selected;
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::TagNotify(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("tagNotify", parsed);
    const std::string mode = AsciiLowerCase(ReadTextStrictly(parsed, "mode"));
    if (mode == "on") {
        fTagNotify = true;
    } else if (mode == "off") {
        fTagNotify = false;
    } else {
        reply["mode"] = fTagNotify ? "On" : "Off";
    }
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::TestTokens(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("testTokens", parsed);
    int a = 0;
    int b = 0;
    // Read as a query reads the formula of ':nthChild(row, 2n + 1)', spaces and all.
    const bool ok = NthStringToNum(JoinFormulaWords(ToUtf32(ReadTextStrictly(parsed, "tagSearch"))), a, b);
    reply["tagSearch"] = std::to_string(ok ? 1 : 0) + " " + std::to_string(a) + " " + std::to_string(b);
    return DumpReply(reply);
}

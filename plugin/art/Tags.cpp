#include "art/Tags.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>

#include "AITag.h"
#include "AITextFrame.h"
#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "core/Suites.h"

namespace {

std::optional<ai::int32> CountEntries(ArtObject* art) {
    ai::int32 count = 0;
    if (sAITag == nullptr || sAITag->CountTags(art, &count) != kNoErr) {
        return std::nullopt;
    }
    return std::max<ai::int32>(count, 0);
}

std::optional<std::string> EntryName(ArtObject* art, ai::int32 n) {
    const char* name = nullptr;
    if (sAITag->GetNthTag(art, n, &name) != kNoErr || name == nullptr) {
        return std::nullopt;
    }
    return std::string(name);
}

bool WriteEntry(ArtObject* art, const std::string& normalized) {
    return sAITag->SetTag(art, TagName(normalized).c_str(), kAITagStringType, normalized.c_str()) == kNoErr;
}

// Lower-cases the hexadecimal digits of an entry name, which readers accept in either case.
std::string CanonicalEntryName(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c; });
    return name;
}

// Removes, from the last entry down (so that the positions still to visit stay valid), the own
// entries that `matches` accepts; answers how many went.
template <typename Matches>
int RemoveOwnEntries(ArtObject* art, Matches matches) {
    const std::optional<ai::int32> count = CountEntries(art);
    if (!count) {
        return 0;
    }
    int removed = 0;
    for (ai::int32 n = *count - 1; n >= 0; --n) {
        const std::optional<std::string> name = EntryName(art, n);
        if (name && OwnTag(*name) && matches(*name) && sAITag->RemoveTag(art, name->c_str()) == kNoErr) {
            ++removed;
        }
    }
    return removed;
}

TagSet NormalizedTags(const TagSet& tags) {
    TagSet normalized;
    for (const std::string& text : tags) {
        if (text.empty()) {
            continue;
        }
        std::string tag = NormalizeTagName(text);
        if (!tag.empty()) {
            normalized.insert(std::move(tag));
        }
    }
    return normalized;
}

}  // namespace

void ForEachTag(ArtObject* art, const std::function<void(std::string_view)>& visit) {
    const std::optional<ai::int32> count = CountEntries(art);
    if (!count) {
        return;
    }
    for (ai::int32 n = 0; n < *count; ++n) {
        const char* name = nullptr;
        if (sAITag->GetNthTag(art, n, &name) != kNoErr || name == nullptr || !OwnTag(name)) {
            continue;
        }
        const char* value = nullptr;
        if (sAITag->GetTag(art, name, kAITagStringType, &value) == kNoErr && value != nullptr) {
            visit(value);
        }
    }
}

std::vector<std::string> ReadTagsInEntryOrder(ArtObject* art) {
    std::vector<std::string> tags;
    ForEachTag(art, [&](std::string_view value) { tags.emplace_back(value); });
    return tags;
}

TagSet ReadTags(ArtObject* art) {
    const std::vector<std::string> tags = ReadTagsInEntryOrder(art);
    return TagSet(tags.begin(), tags.end());
}

TagSet ReadTags(const ArtList& list) {
    TagSet tags;
    for (ArtObject* art : list) {
        tags.merge(ReadTags(art));
    }
    return tags;
}

TagSet GetNestedTags(ArtObject* art) {
    TagSet tags;
    if (art == nullptr) {
        return tags;
    }
    for (ArtObject* below : GetArtTree(art)) {
        if (below != art) {
            tags.merge(ReadTags(below));
        }
    }
    return tags;
}

void WriteTags(ArtObject* art, const TagSet& tags) {
    if (sAITag == nullptr) {
        return;
    }
    for (const std::string& tag : NormalizedTags(tags)) {
        WriteEntry(art, tag);
    }
}

bool SetTagsOnArt(ArtObject* art, const TagSet& normalizedTags, bool replace) {
    if (!CountEntries(art)) {
        return false;
    }
    bool changed = false;
    TagSet toWrite;
    if (replace) {
        changed = RemoveOwnEntries(art, [](const std::string&) { return true; }) > 0;
        toWrite = normalizedTags;
    } else {
        const TagSet present = ReadTags(art);
        std::set_difference(normalizedTags.begin(), normalizedTags.end(), present.begin(), present.end(),
                            std::inserter(toWrite, toWrite.end()));
    }
    for (const std::string& tag : toWrite) {
        if (!tag.empty() && WriteEntry(art, tag)) {
            changed = true;
        }
    }
    return changed;
}

void SetTags(const ArtList& list, const TagSet& tags, bool replace) {
    const TagSet normalized = NormalizedTags(tags);
    for (ArtObject* art : list) {
        SetTagsOnArt(art, normalized, replace);
    }
}

void RemoveTags(ArtObject* art) {
    RemoveOwnEntries(art, [](const std::string&) { return true; });
}

void RemoveTags(ArtObject* art, const std::vector<std::string>& texts) {
    std::set<std::string> names;
    for (const std::string& text : texts) {
        names.insert(TagName(text));
        names.insert(TagName(NormalizeTagName(text)));
    }
    RemoveOwnEntries(art, [&](const std::string& name) { return names.contains(CanonicalEntryName(name)); });
}

void RemoveTags(const ArtList& list, const std::vector<std::string>& texts, bool all) {
    for (ArtObject* art : list) {
        if (all) {
            RemoveTags(art);
        } else {
            RemoveTags(art, texts);
        }
    }
}

std::map<ArtObject*, int> ArtOrderNumbers(const ArtList& list) {
    const ArtHandleSet members(list.begin(), list.end());
    std::map<ArtObject*, int> numbers;
    int next = 0;
    for (ArtObject* art : GetAllObjects(true)) {
        if (members.contains(art) && numbers.emplace(art, next).second) {
            ++next;
        }
    }
    return numbers;
}

void AddSeriesTagToArt(const ArtList& list, const std::string& series, int start) {
    const std::map<ArtObject*, int> numbers = ArtOrderNumbers(list);
    for (ArtObject* art : list) {
        auto number = numbers.find(art);
        if (number != numbers.end()) {
            // Widened so that a start near the integer limit numbers on instead of wrapping.
            WriteTags(art, {SerialTag(series, std::int64_t{start} + number->second)});
        }
    }
}

ArtObject* OutlineArt(ArtObject* art) {
    if (art == nullptr) {
        return nullptr;
    }
    // Decided now: a text frame is disposed of below, and its handle must not be asked anything
    // after that.
    const bool artIsTextFrame = hostart::IsOfType(art, kTextFrameArt);
    ArtObject* lastOutline = nullptr;
    for (ArtObject* frame : GetArtTree(art)) {
        if (!hostart::IsOfType(frame, kTextFrameArt)) {
            continue;
        }
        const TagSet tags = ReadTags(frame);
        ArtObject* outline = nullptr;
        if (sAITextFrame == nullptr || sAIArt == nullptr ||
            sAITextFrame->CreateOutline(frame, &outline) != kNoErr || outline == nullptr) {
            lastOutline = nullptr;
            continue;
        }
        sAIArt->DisposeArt(frame);
        WriteTags(outline, tags);
        lastOutline = outline;
    }
    return artIsTextFrame ? lastOutline : art;
}

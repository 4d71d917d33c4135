// Reading, writing and removing the tags of art objects. Each tag is one host tag entry on the
// art: its name is TagName(text), its type "string" and its value the normalised text, so tags
// live in the document and are saved, copied, undone and redone with the art. Entries of other
// owners are never touched, and a host error on one entry or one art skips only that.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "art/ArtList.h"
#include "art/TagText.h"

// The tags of the art's own entries, as stored.
TagSet ReadTags(ArtObject* art);
// Calls visit with the value of each own entry of the art, in entry order, as stored; entries the
// host fails to give are skipped.
void ForEachTag(ArtObject* art, const std::function<void(std::string_view)>& visit);
// The values of the art's own entries in the order of the entries (the host's order), as stored.
std::vector<std::string> ReadTagsInEntryOrder(ArtObject* art);
// The union of the tags of every listed art.
TagSet ReadTags(const ArtList& list);
// The union of the tags of everything below the art (not the art's own); empty for null art.
TagSet GetNestedTags(ArtObject* art);

// Writes one entry per tag, normalising each text first; an entry of the same name is replaced.
// A text that is empty (or normalises to nothing) is not written.
void WriteTags(ArtObject* art, const TagSet& tags);
// Gives each art the (normalised, non-empty) tags: with replace, its own entries are removed
// first; without, only the tags it lacks are written.
void SetTags(const ArtList& list, const TagSet& tags, bool replace);

// SetTags on one art with tags already normalised; answers whether the art changed (an own entry
// was removed or a tag written). Nothing happens, and false, when its entries cannot be counted.
bool SetTagsOnArt(ArtObject* art, const TagSet& normalizedTags, bool replace);

// Removes every own entry of the art.
void RemoveTags(ArtObject* art);
// Removes the own entries of the given texts. Each text is looked up both as given and normalised,
// so a text removes what setting it wrote as well as an entry stored under its exact spelling.
void RemoveTags(ArtObject* art, const std::vector<std::string>& texts);
// For each art: every own entry when all is true, else the entries of the given texts.
void RemoveTags(const ArtList& list, const std::vector<std::string>& texts, bool all);

// Each listed art's 0-based position in document order among the listed art; art that the
// document does not list gets no number.
std::map<ArtObject*, int> ArtOrderNumbers(const ArtList& list);
// Tags each listed art with SerialTag(series, start + its position in document order).
void AddSeriesTagToArt(const ArtList& list, const std::string& series, int start);

// Turns the text frames of the art's tree into outlines that carry the frames' tags. Answers the
// art itself when it is not a text frame, the outline when it is one (null when the host could
// not make it), and null for null art.
ArtObject* OutlineArt(ArtObject* art);

// Finding art by tag query: the entry point that about every command uses to pick its objects.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "art/ArtList.h"
#include "art/TagQueryEval.h"
#include "core/Json.h"

// Builds the snapshot of the current document that queries are evaluated over: every art object
// in document order (layer groups included, for ancestry) and the tags of every object. Identity
// keys are read from the host only for the objects a query finds.
void MakeArtIndex(ArtIndex& index, TagIndex& tags);

// One snapshot of the current document for every query of a command: taken at the first query
// that passes the check and kept, with the identities read so far, for the later ones. The
// document must not change while it is in use.
class TagSearchSnapshot {
public:
    // As SearchTaggedArt(query, out). With uuids, it also receives the UUID text of each object
    // found, in the same order (read once, for the ordering of the result).
    bool Search(std::string_view query, ArtList& out, std::vector<std::string>* uuids = nullptr);
    // Whether a query passes the check (nullopt when not) and selects anything. Reads no
    // identities, as it needs no order.
    std::optional<bool> Finds(std::string_view query);

private:
    // Takes the snapshot unless taken; false (and nothing taken) for a query that fails the check.
    bool Prepare(std::string_view query);

    bool fTaken = false;
    ArtIndex fIndex;
    TagIndex fTags;
};

// The objects that a tag query selects, in ascending order of their keys (ArtCRC); empty for an
// empty, ill-formed or invalid query, or when nothing matches.
ArtList SearchTaggedArt(std::string_view query);
// False for an empty query, one without tokens, one that fails the check, and one that cannot be
// evaluated (a missing operand, values left over); out is then untouched. Otherwise true, and out
// receives the objects found (possibly none).
bool SearchTaggedArt(std::string_view query, ArtList& out);

// The common start of a command that acts on the art of its "tagSearch": the query (which must be
// text) is echoed in the reply, and the art it finds is answered. When it finds none, the reply
// gets "error" with the given text.
ArtList FindRequestedArt(const json& request, json& reply, const char* noArtError);

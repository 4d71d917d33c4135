// Evaluation of checked tag queries over a snapshot of the document's art and tags. The snapshot
// (ArtIndex, TagIndex) is built from the host by MakeArtIndex (TagSearch.h); everything here works
// on the snapshot alone, so the whole language can be exercised without a document.
//
// While a query is evaluated, objects are known by their position in the snapshot (their ordinal
// in document order), and every value is a sorted list of ordinals: & and | are merges, ! and the
// relations are single passes over the document order. Only the objects of the final result get
// their identity key (the checksum of the UUID text), which orders the result.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "art/ArtList.h"

inline constexpr std::int32_t kNoArt = -1;

// Positions of objects in the snapshot, ascending and without repeats.
using ArtOrdinals = std::vector<std::int32_t>;

// One object of the snapshot, as the host reported it, with its place among the indexed objects.
struct IndexedArt {
    ArtObject* art = nullptr;
    ArtObject* parentArt = nullptr;  // the host's parent, indexed or not
    bool layerGroup = false;         // the group that holds a layer's art
    bool group = false;              // host art type group (layer groups included)
    bool typeKnown = false;          // false when the host could not give the type
    // Ordinals of the indexed relations; kNoArt where there is none. Children and siblings are
    // the indexed objects whose parent is indexed, in document order, which is child order.
    std::int32_t parent = kNoArt;
    std::int32_t firstChild = kNoArt;
    std::int32_t lastChild = kNoArt;
    std::int32_t previousSibling = kNoArt;
    std::int32_t nextSibling = kNoArt;
};

// Every art object of the document in document order, layer groups included, with its parent and
// children. Layer groups take part in ancestry (':parent' can reach one) but never stand for
// objects of their own: IsObject() is false for them, and results never hold them.
class ArtIndex {
public:
    // Reads the UUID text of an object; a key is the checksum of that text (0 for the empty text).
    using UuidReader = std::function<std::string(ArtObject*)>;

    ArtIndex() = default;
    explicit ArtIndex(UuidReader readUuid) : fReadUuid(std::move(readUuid)) {}

    // Adds the next object in document order and answers its ordinal; an object already added
    // keeps its first ordinal. The parent counts as indexed only when it was added before (the
    // document order lists parents first). The key, when not given, is read from the UUID only
    // when it is needed.
    std::int32_t Add(ArtObject* art, std::optional<std::int32_t> key, bool layerGroup, bool group,
                     bool typeKnown, ArtObject* parent);

    std::size_t size() const { return fEntries.size(); }
    const IndexedArt& at(std::int32_t ordinal) const {
        return fEntries.at(static_cast<std::size_t>(ordinal));
    }
    // The ordinal of an indexed handle, kNoArt when it is not indexed.
    std::int32_t Find(ArtObject* art) const;
    // Whether the ordinal names an indexed object that is not a layer group.
    bool IsObject(std::int32_t ordinal) const;
    // The handles of indexed ordinals, in the same order.
    ArtList Handles(const ArtOrdinals& ordinals) const;

    // The identity key of an object (ArtCRC) and its UUID text, read once and kept. The text is
    // empty when keys were given instead of read.
    std::int32_t Key(std::int32_t ordinal) const;
    const std::string& Uuid(std::int32_t ordinal) const;

private:
    void ReadIdentity(std::int32_t ordinal) const;

    std::vector<IndexedArt> fEntries;
    std::unordered_map<ArtObject*, std::int32_t> fOrdinals;
    UuidReader fReadUuid;
    // Identities are filled in as results need them.
    mutable std::vector<std::optional<std::int32_t>> fKeys;
    mutable std::vector<std::string> fUuids;
};

// Tag text (UTF-32, as stored) to the ordinals of the objects that carry it.
using TagIndex = std::map<std::u32string, ArtOrdinals>;

// The value of a (sub-)expression: its text (an operand's token, or the expression rebuilt from
// its operands' texts, read by '^', '$' and position formulas), whether it could be evaluated,
// and the objects it selects.
struct tokenSet {
    std::u32string text;
    bool valid = true;
    ArtOrdinals art;
};

// Sets an operand's objects: those carrying its text as a tag.
void InitTokenSet(tokenSet& operand, const TagIndex& tags);

// Applies the operator on top of the operator stack to the values on top of the value stack.
// False when the query is malformed there: an operator without all its operands, a parenthesis
// left open, or an operator the language does not have.
bool ProcessOp(std::vector<tokenSet>& values, std::vector<std::u32string>& operators, const ArtIndex& index,
               const TagIndex& tags);

// Evaluates checked tokens (TokenizeTagQuery) with a shunting-yard parser, applying each operator
// as soon as it is output. The result is invalid (valid false, no objects) when the query is
// malformed or does not end with exactly one value.
tokenSet Shunting(const std::vector<std::u32string>& tokens, const ArtIndex& index, const TagIndex& tags);

// The objects of a value in ascending identity order: by key (checksum order), then by document
// position, so that objects with equal keys stay apart. Layer groups are left out.
ArtOrdinals OrderByKey(const tokenSet& value, const ArtIndex& index);
// The same as art handles.
ArtList MergeTokenSet(const tokenSet& value, const ArtIndex& index);

// Reads a decimal integer the way the position formulas do: the empty text is 0; a text holding
// anything but "+-0123456789" fails; otherwise the leading number is read ('1-2' gives 1) and a
// text without one gives 0 ('-'). A number beyond the int range fails.
bool StringToNum(std::string_view text, int& value);

// Reads a position formula 'an+b' (CSS style): '2n+1' gives 2 and 1, '3' gives 0 and 3, 'n'
// 1 and 0, '-n+3' -1 and 3, '2n-1' 2 and -1. Upper-case 'N' is accepted. False when the formula
// cannot be read ('odd').
bool NthStringToNum(std::u32string_view formula, int& a, int& b);

// Whether a 1-based position is one of a*i + b for some i >= 0.
bool NthPositionMatches(int a, int b, std::int64_t position);

// Tokenizes, checks and evaluates a UTF-8 query over a snapshot. False for a query that is empty,
// has no tokens, fails the check or evaluates invalid; out is then untouched. Otherwise true, and
// out holds the ordinals of the selected objects in identity order (OrderByKey).
bool EvaluateTagQuery(std::string_view query, const ArtIndex& index, const TagIndex& tags, ArtOrdinals& out);
// The same with the objects as art handles.
bool EvaluateTagQuery(std::string_view query, const ArtIndex& index, const TagIndex& tags, ArtList& out);
// As EvaluateTagQuery, with the objects in document order: for callers that need no identity
// order, as the order needs every object's identity read from the host.
bool EvaluateTagQueryInDocumentOrder(std::string_view query, const ArtIndex& index, const TagIndex& tags,
                                     ArtOrdinals& out);

// Evaluation of checked tag queries over a snapshot of the document's art and tags. The snapshot
// (ArtIndex, TagIndex) is built from the host by MakeArtIndex (TagSearch.h); everything here works
// on the snapshot alone, so the whole language can be exercised without a document.
#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "art/ArtList.h"

// The identity of an art object during one evaluation. Objects are keyed and ordered by their
// UUID checksum (ArtCRC), as clients expect results in that order; the document position breaks
// ties, so two objects whose checksums are equal (or whose UUIDs are missing, key 0) stay two
// objects and never answer for each other.
struct ArtId {
    std::int32_t crc = 0;
    std::int32_t ordinal = 0;  // position in document order, layer groups included
    auto operator<=>(const ArtId&) const = default;
};
using ArtIdSet = std::set<ArtId>;

inline constexpr std::int32_t kNoArt = -1;

// One object of the snapshot, as the host reported it.
struct IndexedArt {
    ArtObject* art = nullptr;
    ArtId id;
    bool layerGroup = false;  // the group that holds a layer's art
    bool group = false;       // host art type group (layer groups included)
    bool typeKnown = false;   // false when the host could not give the type
    ArtObject* parentArt = nullptr;
    // Ordinals of the children in child order (front to back); kNoArt for a child that the
    // document listing did not hold, so that positions still count it.
    std::vector<std::int32_t> children;
};

// Every art object of the document in document order, layer groups included, with its parent and
// children. Layer groups take part in ancestry (':parent' can reach one) but never stand for
// objects of their own: Object() does not give them, and results never hold them.
class ArtIndex {
public:
    // Adds the next object in document order and answers its ordinal; an object already added
    // keeps its first ordinal.
    std::int32_t Add(ArtObject* art, std::int32_t crc, bool layerGroup, bool group, bool typeKnown,
                     ArtObject* parent);
    // Records an object's children in child order; call once every object is added.
    void SetChildren(std::int32_t ordinal, const ArtList& children);

    std::size_t size() const { return fEntries.size(); }
    const std::vector<IndexedArt>& entries() const { return fEntries; }
    const IndexedArt& at(std::int32_t ordinal) const {
        return fEntries.at(static_cast<std::size_t>(ordinal));
    }
    // Any indexed art, layer groups included; null when the handle or identity is not indexed.
    const IndexedArt* Find(ArtObject* art) const;
    const IndexedArt* Find(const ArtId& id) const;
    // The indexed object of an identity, null for layer groups and identities not indexed.
    const IndexedArt* Object(const ArtId& id) const;
    // The indexed parent, null at the top or when the parent is not indexed.
    const IndexedArt* Parent(const IndexedArt& art) const;

private:
    std::vector<IndexedArt> fEntries;
    std::unordered_map<ArtObject*, std::int32_t> fOrdinals;
};

// Tag text (UTF-32, as stored) to the identities of the objects that carry it.
using TagIndex = std::map<std::u32string, ArtIdSet>;

// The value of a (sub-)expression: its text (an operand's token, or the expression rebuilt from
// its operands' texts, read by '^', '$' and position formulas), whether it could be evaluated,
// and the objects it selects.
struct tokenSet {
    std::u32string text;
    bool valid = true;
    ArtIdSet art;
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

// The objects of a value in ascending identity order (checksum order); layer groups are left out.
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
// out holds the selected objects in checksum order.
bool EvaluateTagQuery(std::string_view query, const ArtIndex& index, const TagIndex& tags, ArtList& out);

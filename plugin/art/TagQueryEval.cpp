#include "art/TagQueryEval.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <optional>
#include <unordered_set>
#include <utility>

#include "art/Crc32.h"
#include "art/TagQueryTokens.h"
#include "art/TagText.h"
#include "core/TextHelpers.h"

// ---------------------------------------------------------------------------------------------
// The snapshot

std::int32_t ArtIndex::Add(ArtObject* art, std::optional<std::int32_t> key, bool layerGroup, bool group,
                           bool typeKnown, ArtObject* parent) {
    const auto ordinal = static_cast<std::int32_t>(fEntries.size());
    if (auto [found, added] = fOrdinals.try_emplace(art, ordinal); !added) {
        return found->second;
    }
    IndexedArt entry;
    entry.art = art;
    entry.parentArt = parent;
    entry.layerGroup = layerGroup;
    entry.group = group;
    entry.typeKnown = typeKnown;
    entry.parent = parent != art ? Find(parent) : kNoArt;
    if (entry.parent != kNoArt) {
        IndexedArt& parentEntry = fEntries[static_cast<std::size_t>(entry.parent)];
        entry.previousSibling = parentEntry.lastChild;
        if (parentEntry.lastChild == kNoArt) {
            parentEntry.firstChild = ordinal;
        } else {
            fEntries[static_cast<std::size_t>(parentEntry.lastChild)].nextSibling = ordinal;
        }
        parentEntry.lastChild = ordinal;
    }
    fEntries.push_back(entry);
    fKeys.push_back(key);
    return ordinal;
}

std::int32_t ArtIndex::Find(ArtObject* art) const {
    auto found = fOrdinals.find(art);
    return found != fOrdinals.end() ? found->second : kNoArt;
}

bool ArtIndex::IsObject(std::int32_t ordinal) const {
    return ordinal >= 0 && static_cast<std::size_t>(ordinal) < fEntries.size() &&
           !fEntries[static_cast<std::size_t>(ordinal)].layerGroup;
}

void ArtIndex::ReadIdentity(std::int32_t ordinal) const {
    const auto slot = static_cast<std::size_t>(ordinal);
    if (fUuids.size() < fEntries.size()) {
        fUuids.resize(fEntries.size());
    }
    fUuids[slot] = fReadUuid != nullptr ? fReadUuid(fEntries[slot].art) : std::string();
    fKeys[slot] = fUuids[slot].empty() ? 0 : static_cast<std::int32_t>(CRC32(fUuids[slot]));
}

std::int32_t ArtIndex::Key(std::int32_t ordinal) const {
    const auto slot = static_cast<std::size_t>(ordinal);
    if (!fKeys.at(slot)) {
        ReadIdentity(ordinal);
    }
    return *fKeys[slot];
}

ArtList ArtIndex::Handles(const ArtOrdinals& ordinals) const {
    ArtList handles;
    handles.reserve(ordinals.size());
    for (std::int32_t ordinal : ordinals) {
        handles.push_back(at(ordinal).art);
    }
    return handles;
}

const std::string& ArtIndex::Uuid(std::int32_t ordinal) const {
    static const std::string kNone;
    Key(ordinal);
    const auto slot = static_cast<std::size_t>(ordinal);
    return slot < fUuids.size() ? fUuids[slot] : kNone;
}

namespace {

// ---------------------------------------------------------------------------------------------
// Sets of ordinals. Values are sorted lists; masks over the whole snapshot answer membership
// where an operator needs it for every object.

using Mask = std::vector<char>;

Mask MaskOf(const ArtOrdinals& members, const ArtIndex& index) {
    Mask mask(index.size(), 0);
    for (std::int32_t ordinal : members) {
        if (ordinal >= 0 && static_cast<std::size_t>(ordinal) < mask.size()) {
            mask[static_cast<std::size_t>(ordinal)] = 1;
        }
    }
    return mask;
}

bool InMask(const Mask& mask, std::int32_t ordinal) {
    return ordinal != kNoArt && mask[static_cast<std::size_t>(ordinal)] != 0;
}

// The ordinals a mask holds, in order.
ArtOrdinals Collect(const Mask& mask) {
    ArtOrdinals result;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] != 0) {
            result.push_back(static_cast<std::int32_t>(i));
        }
    }
    return result;
}

ArtOrdinals SortedUnique(ArtOrdinals ordinals) {
    std::sort(ordinals.begin(), ordinals.end());
    ordinals.erase(std::unique(ordinals.begin(), ordinals.end()), ordinals.end());
    return ordinals;
}

// Calls visit on each member that is an object of the snapshot (not a layer group).
template <typename Visit>
void ForEachObject(const ArtOrdinals& members, const ArtIndex& index, Visit visit) {
    for (std::int32_t ordinal : members) {
        if (index.IsObject(ordinal)) {
            visit(index.at(ordinal), ordinal);
        }
    }
}

// For every object, whether it or an ancestor is in the mask: one pass in document order, as
// parents are indexed before their children.
Mask InsideOf(const Mask& members, const ArtIndex& index) {
    Mask inside(members);
    for (std::size_t i = 0; i < inside.size(); ++i) {
        const std::int32_t parent = index.at(static_cast<std::int32_t>(i)).parent;
        if (parent != kNoArt && inside[static_cast<std::size_t>(parent)] != 0) {
            inside[i] = 1;
        }
    }
    return inside;
}

// Visits everything below the art in pre-order, skipping what `seen` already holds and marking
// what it visits; callers that collect a union share `seen` between members.
template <typename Visit>
void ForEachBelow(const ArtIndex& index, const IndexedArt& art, Mask& seen, Visit visit) {
    std::vector<std::int32_t> pending;
    for (std::int32_t child = art.lastChild; child != kNoArt; child = index.at(child).previousSibling) {
        pending.push_back(child);
    }
    while (!pending.empty()) {
        const std::int32_t ordinal = pending.back();
        pending.pop_back();
        if (seen[static_cast<std::size_t>(ordinal)] != 0) {
            continue;
        }
        seen[static_cast<std::size_t>(ordinal)] = 1;
        const IndexedArt& below = index.at(ordinal);
        visit(below, ordinal);
        for (std::int32_t child = below.lastChild; child != kNoArt; child = index.at(child).previousSibling) {
            pending.push_back(child);
        }
    }
}

// Calls visit(ordinal, rank) for each member object, rank counting the members of its row of
// siblings from 1 in child order (or from the back when reversed). Members without an indexed
// parent are alone in their row.
template <typename Visit>
void ForEachRankedMember(const ArtOrdinals& members, const ArtIndex& index, bool reversed, Visit visit) {
    const Mask mask = MaskOf(members, index);
    ArtOrdinals parents;
    ForEachObject(members, index, [&](const IndexedArt& object, std::int32_t ordinal) {
        if (object.parent == kNoArt) {
            visit(ordinal, std::int64_t{1});
        } else {
            parents.push_back(object.parent);
        }
    });
    for (std::int32_t parent : SortedUnique(std::move(parents))) {
        const IndexedArt& row = index.at(parent);
        std::int64_t rank = 0;
        for (std::int32_t slot = reversed ? row.lastChild : row.firstChild; slot != kNoArt;
             slot = reversed ? index.at(slot).previousSibling : index.at(slot).nextSibling) {
            if (InMask(mask, slot)) {
                ++rank;
                if (index.IsObject(slot)) {
                    visit(slot, rank);
                }
            }
        }
    }
}

// Calls visit(child, position) for each child of each member object, position counting from 1.
template <typename Visit>
void ForEachChild(const ArtOrdinals& members, const ArtIndex& index, Visit visit) {
    ForEachObject(members, index, [&](const IndexedArt& object, std::int32_t) {
        std::int64_t position = 0;
        for (std::int32_t child = object.firstChild; child != kNoArt; child = index.at(child).nextSibling) {
            visit(child, ++position);
        }
    });
}

// ---------------------------------------------------------------------------------------------
// One function per operator: the objects of the result, from its operands.

ArtOrdinals ProcessAndToken(const tokenSet& a, const tokenSet& b, const ArtIndex&, const TagIndex&) {
    ArtOrdinals result;
    std::set_intersection(a.art.begin(), a.art.end(), b.art.begin(), b.art.end(), std::back_inserter(result));
    return result;
}

ArtOrdinals ProcessOrToken(const tokenSet& a, const tokenSet& b, const ArtIndex&, const TagIndex&) {
    ArtOrdinals result;
    std::set_union(a.art.begin(), a.art.end(), b.art.begin(), b.art.end(), std::back_inserter(result));
    return result;
}

// a > b: the members of b inside (at any depth) a member of a.
ArtOrdinals ProcessChildWithParentToken(const tokenSet& a, const tokenSet& b, const ArtIndex& index,
                                        const TagIndex&) {
    const Mask inside = InsideOf(MaskOf(a.art, index), index);
    ArtOrdinals result;
    ForEachObject(b.art, index, [&](const IndexedArt& object, std::int32_t ordinal) {
        if (InMask(inside, object.parent)) {
            result.push_back(ordinal);
        }
    });
    return result;
}

// a < b: for each member of b, the nearest enclosing member of a.
ArtOrdinals ProcessParentWithChildToken(const tokenSet& a, const tokenSet& b, const ArtIndex& index,
                                        const TagIndex&) {
    const Mask enclosing = MaskOf(a.art, index);
    // The nearest ancestor in a of every object, in one pass down the document order.
    std::vector<std::int32_t> nearest(index.size(), kNoArt);
    for (std::size_t i = 0; i < nearest.size(); ++i) {
        const std::int32_t parent = index.at(static_cast<std::int32_t>(i)).parent;
        if (parent != kNoArt) {
            nearest[i] = InMask(enclosing, parent) ? parent : nearest[static_cast<std::size_t>(parent)];
        }
    }
    ArtOrdinals result;
    ForEachObject(b.art, index, [&](const IndexedArt&, std::int32_t ordinal) {
        if (const std::int32_t found = nearest[static_cast<std::size_t>(ordinal)]; found != kNoArt) {
            result.push_back(found);
        }
    });
    return SortedUnique(std::move(result));
}

// a ~ b: the members of a that share their parent with a member of b (a member of both counts).
ArtOrdinals ProcessSiblingsToken(const tokenSet& a, const tokenSet& b, const ArtIndex& index,
                                 const TagIndex&) {
    std::unordered_set<ArtObject*> parents;
    ForEachObject(b.art, index, [&](const IndexedArt& object, std::int32_t) {
        if (object.parentArt != nullptr) {
            parents.insert(object.parentArt);
        }
    });
    ArtOrdinals result;
    ForEachObject(a.art, index, [&](const IndexedArt& object, std::int32_t ordinal) {
        if (object.parentArt != nullptr && parents.contains(object.parentArt)) {
            result.push_back(ordinal);
        }
    });
    return result;
}

// !a: every object that is neither a member of a nor inside one.
ArtOrdinals ProcessInvToken(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    const Mask inside = InsideOf(MaskOf(a.art, index), index);
    ArtOrdinals result;
    for (std::size_t i = 0; i < inside.size(); ++i) {
        if (inside[i] == 0 && index.IsObject(static_cast<std::int32_t>(i))) {
            result.push_back(static_cast<std::int32_t>(i));
        }
    }
    return result;
}

// The objects of every tag whose text the operand's text begins (or ends) with.
ArtOrdinals TagsMatching(const tokenSet& a, const TagIndex& tags, bool atEnd) {
    ArtOrdinals result;
    for (const auto& [text, ordinals] : tags) {
        const bool matches = atEnd ? text.ends_with(a.text) : text.starts_with(a.text);
        if (matches) {
            result.insert(result.end(), ordinals.begin(), ordinals.end());
        }
    }
    return SortedUnique(std::move(result));
}

ArtOrdinals ProcessStartToken(const tokenSet& a, const tokenSet&, const ArtIndex&, const TagIndex& tags) {
    return TagsMatching(a, tags, false);
}

ArtOrdinals ProcessEndToken(const tokenSet& a, const tokenSet&, const ArtIndex&, const TagIndex& tags) {
    return TagsMatching(a, tags, true);
}

// One relation of each member object: its parent, a sibling next to it, its first or last child.
ArtOrdinals Related(const tokenSet& a, const ArtIndex& index, std::int32_t IndexedArt::*relation) {
    ArtOrdinals result;
    ForEachObject(a.art, index, [&](const IndexedArt& object, std::int32_t) {
        if (const std::int32_t related = object.*relation; related != kNoArt) {
            result.push_back(related);
        }
    });
    return SortedUnique(std::move(result));
}

ArtOrdinals ProcessParent(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    return Related(a, index, &IndexedArt::parent);
}

ArtOrdinals ProcessSiblingBefore(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    return Related(a, index, &IndexedArt::previousSibling);
}

ArtOrdinals ProcessSiblingAfter(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    return Related(a, index, &IndexedArt::nextSibling);
}

ArtOrdinals ProcessChildren(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    ArtOrdinals result;
    ForEachChild(a.art, index, [&](std::int32_t child, std::int64_t) { result.push_back(child); });
    return SortedUnique(std::move(result));
}

// The members that come first (or last) among the members of their type.
ArtOrdinals EndsOfType(const tokenSet& a, const ArtIndex& index, bool last) {
    ArtOrdinals result;
    ForEachRankedMember(a.art, index, last, [&](std::int32_t ordinal, std::int64_t rank) {
        if (rank == 1) {
            result.push_back(ordinal);
        }
    });
    return SortedUnique(std::move(result));
}

ArtOrdinals ProcessFirstChild(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    return Related(a, index, &IndexedArt::firstChild);
}

ArtOrdinals ProcessLastChild(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    return Related(a, index, &IndexedArt::lastChild);
}

ArtOrdinals ProcessFirstOfType(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    return EndsOfType(a, index, false);
}

ArtOrdinals ProcessLastOfType(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    return EndsOfType(a, index, true);
}

// Every ancestor of each member up to, not including, the first layer group. A climb stops at an
// ancestor met before, whose own ancestors are in already.
ArtOrdinals ProcessAncestors(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    Mask found(index.size(), 0);
    ForEachObject(a.art, index, [&](const IndexedArt& object, std::int32_t) {
        for (std::int32_t ancestor = object.parent; ancestor != kNoArt && !index.at(ancestor).layerGroup &&
                                                    found[static_cast<std::size_t>(ancestor)] == 0;
             ancestor = index.at(ancestor).parent) {
            found[static_cast<std::size_t>(ancestor)] = 1;
        }
    });
    return Collect(found);
}

ArtOrdinals ProcessDescendants(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    Mask seen(index.size(), 0);
    ArtOrdinals result;
    ForEachObject(a.art, index, [&](const IndexedArt& object, std::int32_t) {
        ForEachBelow(index, object, seen,
                     [&](const IndexedArt&, std::int32_t below) { result.push_back(below); });
    });
    return SortedUnique(std::move(result));
}

// Every object that is not a group in the members' trees, the members themselves included.
ArtOrdinals ProcessLeaves(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    Mask seen(index.size(), 0);
    ArtOrdinals result;
    auto collect = [&](const IndexedArt& art, std::int32_t ordinal) {
        if (art.typeKnown && !art.group) {
            result.push_back(ordinal);
        }
    };
    ForEachObject(a.art, index, [&](const IndexedArt& object, std::int32_t ordinal) {
        if (seen[static_cast<std::size_t>(ordinal)] != 0) {
            return;
        }
        seen[static_cast<std::size_t>(ordinal)] = 1;
        collect(object, ordinal);
        ForEachBelow(index, object, seen, collect);
    });
    return SortedUnique(std::move(result));
}

// The member objects in document order, which is ordinal order.
ArtOrdinals MemberObjects(const tokenSet& a, const ArtIndex& index) {
    ArtOrdinals members;
    ForEachObject(a.art, index, [&](const IndexedArt&, std::int32_t ordinal) { members.push_back(ordinal); });
    return members;
}

ArtOrdinals ProcessGlobalFirstOfType(const tokenSet& a, const tokenSet&, const ArtIndex& index,
                                     const TagIndex&) {
    const ArtOrdinals members = MemberObjects(a, index);
    return members.empty() ? ArtOrdinals{} : ArtOrdinals{members.front()};
}

ArtOrdinals ProcessGlobalLastOfType(const tokenSet& a, const tokenSet&, const ArtIndex& index,
                                    const TagIndex&) {
    const ArtOrdinals members = MemberObjects(a, index);
    return members.empty() ? ArtOrdinals{} : ArtOrdinals{members.back()};
}

// The art that walk offers (each with its 1-based position) whose position fits the formula, in
// ordinal order; none for a formula that does not read, and none for one whose offset is below 0
// ('2n-1'): positions are counted from an offset of 0 or more.
template <typename Walk>
ArtOrdinals NthMatches(const tokenSet& formula, Walk walk) {
    int step = 0;
    int offset = 0;
    if (!NthStringToNum(formula.text, step, offset) || offset < 0) {
        return {};
    }
    ArtOrdinals result;
    walk([&](std::int32_t ordinal, std::int64_t position) {
        if (NthPositionMatches(step, offset, position)) {
            result.push_back(ordinal);
        }
    });
    return SortedUnique(std::move(result));
}

// :nthChild(a, F): each member's children at the positions of the formula.
ArtOrdinals ProcessNthChild(const tokenSet& a, const tokenSet& formula, const ArtIndex& index,
                            const TagIndex&) {
    return NthMatches(formula, [&](auto offer) { ForEachChild(a.art, index, offer); });
}

// :nthOfType(a, F): the members whose rank among their member siblings fits the formula.
ArtOrdinals ProcessNthOfType(const tokenSet& a, const tokenSet& formula, const ArtIndex& index,
                             const TagIndex&) {
    return NthMatches(formula, [&](auto offer) { ForEachRankedMember(a.art, index, false, offer); });
}

// :globalNthOfType(a, F): the members whose rank among all members in document order fits.
ArtOrdinals ProcessGlobalNthOfType(const tokenSet& a, const tokenSet& formula, const ArtIndex& index,
                                   const TagIndex&) {
    return NthMatches(formula, [&](auto offer) {
        const ArtOrdinals members = MemberObjects(a, index);
        for (std::size_t k = 0; k < members.size(); ++k) {
            offer(members[k], static_cast<std::int64_t>(k) + 1);
        }
    });
}

// ---------------------------------------------------------------------------------------------
// The operator table

using OperatorFunction = ArtOrdinals (*)(const tokenSet&, const tokenSet&, const ArtIndex&, const TagIndex&);

// How a result's text is rebuilt from its operands.
enum class Notation { kInfix, kPrefix, kPseudoClass };

struct OperatorRow {
    std::u32string_view spelling;
    Notation notation;
    OperatorFunction function;
};

constexpr OperatorRow kOperators[] = {
    {U"|", Notation::kInfix, ProcessOrToken},
    {U"&", Notation::kInfix, ProcessAndToken},
    {U"~", Notation::kInfix, ProcessSiblingsToken},
    {U"<", Notation::kInfix, ProcessParentWithChildToken},
    {U">", Notation::kInfix, ProcessChildWithParentToken},
    {U"!", Notation::kPrefix, ProcessInvToken},
    {U"^", Notation::kPrefix, ProcessStartToken},
    {U"$", Notation::kPrefix, ProcessEndToken},
    {U":nthChild", Notation::kPseudoClass, ProcessNthChild},
    {U":firstOfType", Notation::kPseudoClass, ProcessFirstOfType},
    {U":lastOfType", Notation::kPseudoClass, ProcessLastOfType},
    {U":nthOfType", Notation::kPseudoClass, ProcessNthOfType},
    {U":siblingBefore", Notation::kPseudoClass, ProcessSiblingBefore},
    {U":siblingAfter", Notation::kPseudoClass, ProcessSiblingAfter},
    {U":parent", Notation::kPseudoClass, ProcessParent},
    {U":children", Notation::kPseudoClass, ProcessChildren},
    {U":lastChild", Notation::kPseudoClass, ProcessLastChild},
    {U":firstChild", Notation::kPseudoClass, ProcessFirstChild},
    {U":ancestors", Notation::kPseudoClass, ProcessAncestors},
    {U":descendants", Notation::kPseudoClass, ProcessDescendants},
    {U":leaves", Notation::kPseudoClass, ProcessLeaves},
    {U":globalNthOfType", Notation::kPseudoClass, ProcessGlobalNthOfType},
    {U":globalFirstOfType", Notation::kPseudoClass, ProcessGlobalFirstOfType},
    {U":globalLastOfType", Notation::kPseudoClass, ProcessGlobalLastOfType},
};

const OperatorRow* FindOperator(std::u32string_view spelling) {
    for (const OperatorRow& row : kOperators) {
        if (row.spelling == spelling) {
            return &row;
        }
    }
    return nullptr;
}

// Rebuilt texts are only ever read as tag texts or formulas, which they can never spell (they hold
// operator characters); past this length they are cut so that long queries stay linear.
constexpr std::size_t kMaxExpressionText = 1024;

std::u32string ExpressionText(const OperatorRow& row, bool binary, const tokenSet& a, const tokenSet& b) {
    std::u32string text;
    switch (row.notation) {
        case Notation::kInfix:
            text = U"(" + a.text + std::u32string(row.spelling) + b.text + U")";
            break;
        case Notation::kPrefix:
            text = std::u32string(row.spelling) + a.text;
            break;
        case Notation::kPseudoClass:
            text = std::u32string(row.spelling) + U"(" + a.text + (binary ? U", " + b.text : U"") + U")";
            break;
    }
    if (text.size() > kMaxExpressionText) {
        text.resize(kMaxExpressionText);
    }
    return text;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The parser

void InitTokenSet(tokenSet& operand, const TagIndex& tags) {
    operand.valid = true;
    auto found = tags.find(operand.text);
    operand.art = found != tags.end() ? found->second : ArtOrdinals{};
}

bool ProcessOp(std::vector<tokenSet>& values, std::vector<std::u32string>& operators, const ArtIndex& index,
               const TagIndex& tags) {
    if (operators.empty()) {
        return false;
    }
    const std::u32string op = std::move(operators.back());
    operators.pop_back();
    const OperatorRow* row = FindOperator(op);
    if (row == nullptr) {
        return false;
    }
    const bool binary = GetTokenType(op).binary;
    if (values.size() < (binary ? 2u : 1u)) {
        return false;
    }
    tokenSet b;
    if (binary) {
        b = std::move(values.back());
        values.pop_back();
    }
    tokenSet a = std::move(values.back());
    values.pop_back();

    tokenSet result;
    result.text = ExpressionText(*row, binary, a, b);
    result.valid = a.valid && b.valid;
    if (result.valid) {
        result.art = row->function(a, b, index, tags);
    }
    values.push_back(std::move(result));
    return true;
}

tokenSet Shunting(const std::vector<std::u32string>& tokens, const ArtIndex& index, const TagIndex& tags) {
    std::vector<tokenSet> values;
    std::vector<std::u32string> operators;
    bool wellFormed = true;
    auto apply = [&] {
        if (!ProcessOp(values, operators, index, tags)) {
            wellFormed = false;
        }
    };

    for (const std::u32string& token : tokens) {
        const ppToken type = GetTokenType(token);
        const char32_t tokenClass = type.spelling.front();
        if (tokenClass == U' ') {
            tokenSet operand;
            operand.text = token;
            InitTokenSet(operand, tags);
            values.push_back(std::move(operand));
        } else if (tokenClass == U'(') {
            operators.push_back(token);
        } else if (tokenClass == U')') {
            while (!operators.empty() && GetTokenClass(operators.back()) != U'(') {
                apply();
            }
            if (operators.empty()) {
                wellFormed = false;
            } else {
                operators.pop_back();
            }
        } else {
            // Equal precedence does not evaluate: operators of one level group to the right.
            while (!operators.empty() && GetTokenType(operators.back()).precedence > type.precedence) {
                apply();
            }
            operators.push_back(token);
        }
    }
    while (!operators.empty()) {
        apply();
    }
    if (!wellFormed || values.size() != 1) {
        return tokenSet{U"", false, {}};
    }
    return std::move(values.front());
}

ArtOrdinals OrderByKey(const tokenSet& value, const ArtIndex& index) {
    ArtOrdinals objects;
    ForEachObject(value.art, index,
                  [&](const IndexedArt&, std::int32_t ordinal) { objects.push_back(ordinal); });
    std::vector<std::pair<std::int32_t, std::int32_t>> keyed;
    keyed.reserve(objects.size());
    for (std::int32_t ordinal : objects) {
        keyed.emplace_back(index.Key(ordinal), ordinal);
    }
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        objects[i] = keyed[i].second;
    }
    return objects;
}

ArtList MergeTokenSet(const tokenSet& value, const ArtIndex& index) {
    return index.Handles(OrderByKey(value, index));
}

// ---------------------------------------------------------------------------------------------
// Position formulas

bool StringToNum(std::string_view text, int& value) {
    if (text.find_first_not_of("+-0123456789") != std::string_view::npos) {
        return false;
    }
    std::size_t next = 0;
    bool negative = false;
    if (next < text.size() && (text[next] == '+' || text[next] == '-')) {
        negative = text[next] == '-';
        ++next;
    }
    std::int64_t magnitude = 0;
    for (; next < text.size() && text[next] >= '0' && text[next] <= '9'; ++next) {
        magnitude = magnitude * 10 + (text[next] - '0');
        if (magnitude > std::int64_t{std::numeric_limits<int>::max()} + 1) {
            return false;
        }
    }
    const std::int64_t number = negative ? -magnitude : magnitude;
    if (number > std::numeric_limits<int>::max()) {
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

bool NthStringToNum(std::u32string_view formula, int& a, int& b) {
    a = 0;
    b = 0;
    const std::string text = AsciiLowerCase(ToUtf8(formula));
    const std::size_t n = text.find('n');
    if (n == std::string::npos) {
        return StringToNum(text, b);
    }
    const std::string_view step = std::string_view(text).substr(0, n);
    const std::string_view offset = std::string_view(text).substr(n + 1);
    // A bare sign before the "n" stands for one step that way: '-n+3' counts 3, 2, 1.
    if (step.empty() || step == "+") {
        a = 1;
    } else if (step == "-") {
        a = -1;
    } else if (!StringToNum(step, a)) {
        return false;
    }
    return offset.empty() || StringToNum(offset, b);
}

bool NthPositionMatches(int a, int b, std::int64_t position) {
    if (a == 0) {
        return position == b;
    }
    const std::int64_t distance = position - b;
    return distance % a == 0 && distance / a >= 0;
}

namespace {

// The value of a query; nullopt for a query that is empty, has no tokens, fails the check or
// evaluates invalid.
std::optional<tokenSet> QueryValue(std::string_view query, const ArtIndex& index, const TagIndex& tags) {
    std::vector<std::u32string> tokens;
    if (query.empty() || !TokenizeTagQuery(query, tokens) || tokens.empty()) {
        return std::nullopt;
    }
    tokenSet value = Shunting(tokens, index, tags);
    if (!value.valid) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

bool EvaluateTagQuery(std::string_view query, const ArtIndex& index, const TagIndex& tags, ArtOrdinals& out) {
    const std::optional<tokenSet> value = QueryValue(query, index, tags);
    if (!value) {
        return false;
    }
    out = OrderByKey(*value, index);
    return true;
}

bool EvaluateTagQueryInDocumentOrder(std::string_view query, const ArtIndex& index, const TagIndex& tags,
                                     ArtOrdinals& out) {
    const std::optional<tokenSet> value = QueryValue(query, index, tags);
    if (!value) {
        return false;
    }
    out = MemberObjects(*value, index);
    return true;
}

bool EvaluateTagQuery(std::string_view query, const ArtIndex& index, const TagIndex& tags, ArtList& out) {
    ArtOrdinals found;
    if (!EvaluateTagQuery(query, index, tags, found)) {
        return false;
    }
    out = index.Handles(found);
    return true;
}

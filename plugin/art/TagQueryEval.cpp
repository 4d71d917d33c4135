#include "art/TagQueryEval.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <utility>

#include "art/TagQueryTokens.h"
#include "art/TagText.h"

// ---------------------------------------------------------------------------------------------
// The snapshot

std::int32_t ArtIndex::Add(ArtObject* art, std::int32_t crc, bool layerGroup, bool group, bool typeKnown,
                           ArtObject* parent) {
    if (auto found = fOrdinals.find(art); found != fOrdinals.end()) {
        return found->second;
    }
    const auto ordinal = static_cast<std::int32_t>(fEntries.size());
    IndexedArt entry;
    entry.art = art;
    entry.id = ArtId{crc, ordinal};
    entry.layerGroup = layerGroup;
    entry.group = group;
    entry.typeKnown = typeKnown;
    entry.parentArt = parent;
    fEntries.push_back(std::move(entry));
    fOrdinals.emplace(art, ordinal);
    return ordinal;
}

void ArtIndex::SetChildren(std::int32_t ordinal, const ArtList& children) {
    std::vector<std::int32_t> slots;
    slots.reserve(children.size());
    for (ArtObject* child : children) {
        const IndexedArt* found = Find(child);
        slots.push_back(found != nullptr ? found->id.ordinal : kNoArt);
    }
    fEntries.at(static_cast<std::size_t>(ordinal)).children = std::move(slots);
}

const IndexedArt* ArtIndex::Find(ArtObject* art) const {
    auto found = fOrdinals.find(art);
    return found != fOrdinals.end() ? &fEntries[static_cast<std::size_t>(found->second)] : nullptr;
}

const IndexedArt* ArtIndex::Find(const ArtId& id) const {
    if (id.ordinal < 0 || static_cast<std::size_t>(id.ordinal) >= fEntries.size()) {
        return nullptr;
    }
    const IndexedArt& entry = fEntries[static_cast<std::size_t>(id.ordinal)];
    return entry.id == id ? &entry : nullptr;
}

const IndexedArt* ArtIndex::Object(const ArtId& id) const {
    const IndexedArt* entry = Find(id);
    return entry != nullptr && !entry->layerGroup ? entry : nullptr;
}

const IndexedArt* ArtIndex::Parent(const IndexedArt& art) const {
    if (art.parentArt == nullptr || art.parentArt == art.art) {
        return nullptr;
    }
    return Find(art.parentArt);
}

namespace {

// ---------------------------------------------------------------------------------------------
// Walks over the snapshot. The host's answers are not trusted to form a tree: every walk is
// bounded, so a parent loop cannot hang a query.

// Calls visit on each ancestor, nearest first, until it answers true.
template <typename Visit>
void ForEachAncestor(const ArtIndex& index, const IndexedArt& art, Visit visit) {
    const IndexedArt* current = index.Parent(art);
    for (std::size_t steps = 0; current != nullptr && steps < index.size(); ++steps) {
        if (visit(*current)) {
            return;
        }
        current = index.Parent(*current);
    }
}

bool HasAncestorIn(const ArtIndex& index, const IndexedArt& art, const ArtIdSet& set) {
    bool found = false;
    ForEachAncestor(index, art,
                    [&](const IndexedArt& ancestor) { return found = set.contains(ancestor.id); });
    return found;
}

// Visits everything below the art in pre-order, skipping what `seen` already holds and marking
// what it visits; callers that collect a union share `seen` between members.
template <typename Visit>
void ForEachBelow(const ArtIndex& index, const IndexedArt& art, std::vector<bool>& seen, Visit visit) {
    std::vector<std::int32_t> pending(art.children.rbegin(), art.children.rend());
    while (!pending.empty()) {
        const std::int32_t ordinal = pending.back();
        pending.pop_back();
        if (ordinal == kNoArt || seen[static_cast<std::size_t>(ordinal)]) {
            continue;
        }
        seen[static_cast<std::size_t>(ordinal)] = true;
        const IndexedArt& below = index.at(ordinal);
        visit(below);
        pending.insert(pending.end(), below.children.rbegin(), below.children.rend());
    }
}

// The members' objects grouped under their indexed parents (members without one are listed
// apart), so that sibling rows are each walked once.
struct SiblingRows {
    std::set<std::int32_t> parents;
    std::vector<const IndexedArt*> orphans;
};

SiblingRows GroupByParent(const ArtIdSet& members, const ArtIndex& index) {
    SiblingRows rows;
    for (const ArtId& id : members) {
        const IndexedArt* object = index.Object(id);
        if (object == nullptr) {
            continue;
        }
        const IndexedArt* parent = index.Parent(*object);
        if (parent == nullptr) {
            rows.orphans.push_back(object);
        } else {
            rows.parents.insert(parent->id.ordinal);
        }
    }
    return rows;
}

// Calls visit(object, rank) for each member object, rank counting the members of its row of
// siblings from 1 in child order (or from the back when reversed).
template <typename Visit>
void ForEachRankedMember(const ArtIdSet& members, const ArtIndex& index, bool reversed, Visit visit) {
    const SiblingRows rows = GroupByParent(members, index);
    for (const IndexedArt* orphan : rows.orphans) {
        visit(*orphan, std::int64_t{1});
    }
    for (std::int32_t parent : rows.parents) {
        std::vector<std::int32_t> slots = index.at(parent).children;
        if (reversed) {
            std::reverse(slots.begin(), slots.end());
        }
        std::int64_t rank = 0;
        for (std::int32_t slot : slots) {
            if (slot == kNoArt || !members.contains(index.at(slot).id)) {
                continue;
            }
            ++rank;
            if (const IndexedArt* object = index.Object(index.at(slot).id)) {
                visit(*object, rank);
            }
        }
    }
}

// For each member object in ascending identity order, its child slots.
std::vector<const std::vector<std::int32_t>*> GetChildArt(const tokenSet& value, const ArtIndex& index) {
    std::vector<const std::vector<std::int32_t>*> rows;
    for (const ArtId& id : value.art) {
        if (const IndexedArt* object = index.Object(id)) {
            rows.push_back(&object->children);
        }
    }
    return rows;
}

void InsertSlot(ArtIdSet& result, const ArtIndex& index, std::int32_t slot) {
    if (slot != kNoArt) {
        result.insert(index.at(slot).id);
    }
}

// ---------------------------------------------------------------------------------------------
// One function per operator: the objects of the result, from its operands.

ArtIdSet ProcessAndToken(const tokenSet& a, const tokenSet& b, const ArtIndex&, const TagIndex&) {
    ArtIdSet result;
    std::set_intersection(a.art.begin(), a.art.end(), b.art.begin(), b.art.end(),
                          std::inserter(result, result.end()));
    return result;
}

ArtIdSet ProcessOrToken(const tokenSet& a, const tokenSet& b, const ArtIndex&, const TagIndex&) {
    ArtIdSet result = a.art;
    result.insert(b.art.begin(), b.art.end());
    return result;
}

// a > b: the members of b inside (at any depth) a member of a.
ArtIdSet ProcessChildWithParentToken(const tokenSet& a, const tokenSet& b, const ArtIndex& index,
                                     const TagIndex&) {
    ArtIdSet result;
    for (const ArtId& id : b.art) {
        const IndexedArt* object = index.Object(id);
        if (object != nullptr && HasAncestorIn(index, *object, a.art)) {
            result.insert(id);
        }
    }
    return result;
}

// a < b: for each member of b, the nearest enclosing member of a.
ArtIdSet ProcessParentWithChildToken(const tokenSet& a, const tokenSet& b, const ArtIndex& index,
                                     const TagIndex&) {
    ArtIdSet result;
    for (const ArtId& id : b.art) {
        const IndexedArt* object = index.Object(id);
        if (object == nullptr) {
            continue;
        }
        ForEachAncestor(index, *object, [&](const IndexedArt& ancestor) {
            if (!a.art.contains(ancestor.id)) {
                return false;
            }
            result.insert(ancestor.id);
            return true;
        });
    }
    return result;
}

// a ~ b: the members of a that share their parent with a member of b (a member of both counts).
ArtIdSet ProcessSiblingsToken(const tokenSet& a, const tokenSet& b, const ArtIndex& index, const TagIndex&) {
    ArtHandleSet parents;
    for (const ArtId& id : b.art) {
        const IndexedArt* object = index.Object(id);
        if (object != nullptr && object->parentArt != nullptr) {
            parents.insert(object->parentArt);
        }
    }
    ArtIdSet result;
    for (const ArtId& id : a.art) {
        const IndexedArt* object = index.Object(id);
        if (object != nullptr && object->parentArt != nullptr && parents.contains(object->parentArt)) {
            result.insert(id);
        }
    }
    return result;
}

// !a: every object that is neither a member of a nor inside one.
ArtIdSet ProcessInvToken(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    ArtIdSet result;
    for (const IndexedArt& entry : index.entries()) {
        if (!entry.layerGroup && !a.art.contains(entry.id) && !HasAncestorIn(index, entry, a.art)) {
            result.insert(entry.id);
        }
    }
    return result;
}

// ^a: the objects carrying a tag that begins with a's text.
ArtIdSet ProcessStartToken(const tokenSet& a, const tokenSet&, const ArtIndex&, const TagIndex& tags) {
    ArtIdSet result;
    for (auto tag = tags.lower_bound(a.text); tag != tags.end() && tag->first.starts_with(a.text); ++tag) {
        result.insert(tag->second.begin(), tag->second.end());
    }
    return result;
}

// $a: the objects carrying a tag that ends with a's text.
ArtIdSet ProcessEndToken(const tokenSet& a, const tokenSet&, const ArtIndex&, const TagIndex& tags) {
    ArtIdSet result;
    for (const auto& [text, ids] : tags) {
        if (text.ends_with(a.text)) {
            result.insert(ids.begin(), ids.end());
        }
    }
    return result;
}

ArtIdSet ProcessParent(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    ArtIdSet result;
    for (const ArtId& id : a.art) {
        const IndexedArt* object = index.Object(id);
        const IndexedArt* parent = object != nullptr ? index.Parent(*object) : nullptr;
        if (parent != nullptr) {
            result.insert(parent->id);
        }
    }
    return result;
}

// The sibling next to each member: offset -1 for the one before, +1 for the one after.
ArtIdSet NeighbourSiblings(const tokenSet& a, const ArtIndex& index, std::ptrdiff_t offset) {
    ArtIdSet result;
    for (const ArtId& id : a.art) {
        const IndexedArt* object = index.Object(id);
        const IndexedArt* parent = object != nullptr ? index.Parent(*object) : nullptr;
        if (parent == nullptr) {
            continue;
        }
        const std::vector<std::int32_t>& slots = parent->children;
        const auto position = std::find(slots.begin(), slots.end(), object->id.ordinal) - slots.begin();
        const std::ptrdiff_t neighbour = position + offset;
        if (position < std::ssize(slots) && neighbour >= 0 && neighbour < std::ssize(slots)) {
            InsertSlot(result, index, slots[static_cast<std::size_t>(neighbour)]);
        }
    }
    return result;
}

ArtIdSet ProcessSiblingBefore(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    return NeighbourSiblings(a, index, -1);
}

ArtIdSet ProcessSiblingAfter(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    return NeighbourSiblings(a, index, +1);
}

ArtIdSet ProcessChildren(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    ArtIdSet result;
    for (const std::vector<std::int32_t>* slots : GetChildArt(a, index)) {
        for (std::int32_t slot : *slots) {
            InsertSlot(result, index, slot);
        }
    }
    return result;
}

// The first (or last) child of each member.
ArtIdSet EndChildren(const tokenSet& a, const ArtIndex& index, bool last) {
    ArtIdSet result;
    for (const std::vector<std::int32_t>* slots : GetChildArt(a, index)) {
        if (!slots->empty()) {
            InsertSlot(result, index, last ? slots->back() : slots->front());
        }
    }
    return result;
}

// The members that come first (or last) among the members of their type.
ArtIdSet EndsOfType(const tokenSet& a, const ArtIndex& index, bool last) {
    ArtIdSet result;
    ForEachRankedMember(a.art, index, last, [&](const IndexedArt& object, std::int64_t rank) {
        if (rank == 1) {
            result.insert(object.id);
        }
    });
    return result;
}

ArtIdSet ProcessFirstChild(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    return EndChildren(a, index, false);
}

ArtIdSet ProcessLastChild(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    return EndChildren(a, index, true);
}

ArtIdSet ProcessFirstOfType(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    return EndsOfType(a, index, false);
}

ArtIdSet ProcessLastOfType(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    return EndsOfType(a, index, true);
}

// Every ancestor of each member up to, not including, the first layer group.
ArtIdSet ProcessAncestors(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    ArtIdSet result;
    for (const ArtId& id : a.art) {
        const IndexedArt* object = index.Object(id);
        if (object == nullptr) {
            continue;
        }
        ForEachAncestor(index, *object, [&](const IndexedArt& ancestor) {
            if (ancestor.layerGroup) {
                return true;
            }
            result.insert(ancestor.id);
            return false;
        });
    }
    return result;
}

ArtIdSet ProcessDescendants(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    ArtIdSet result;
    std::vector<bool> seen(index.size());
    for (const ArtId& id : a.art) {
        if (const IndexedArt* object = index.Object(id)) {
            ForEachBelow(index, *object, seen, [&](const IndexedArt& below) { result.insert(below.id); });
        }
    }
    return result;
}

// Every object that is not a group in the members' trees, the members themselves included.
ArtIdSet ProcessLeaves(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    ArtIdSet result;
    std::vector<bool> seen(index.size());
    auto collect = [&](const IndexedArt& art) {
        if (art.typeKnown && !art.group) {
            result.insert(art.id);
        }
    };
    for (const ArtId& id : a.art) {
        const IndexedArt* object = index.Object(id);
        if (object == nullptr || seen[static_cast<std::size_t>(object->id.ordinal)]) {
            continue;
        }
        seen[static_cast<std::size_t>(object->id.ordinal)] = true;
        collect(*object);
        ForEachBelow(index, *object, seen, collect);
    }
    return result;
}

// The member objects in document order.
std::vector<const IndexedArt*> MembersInDocumentOrder(const tokenSet& a, const ArtIndex& index) {
    std::vector<const IndexedArt*> members;
    for (const ArtId& id : a.art) {
        if (const IndexedArt* object = index.Object(id)) {
            members.push_back(object);
        }
    }
    std::sort(members.begin(), members.end(),
              [](const IndexedArt* x, const IndexedArt* y) { return x->id.ordinal < y->id.ordinal; });
    return members;
}

ArtIdSet ProcessGlobalFirstOfType(const tokenSet& a, const tokenSet&, const ArtIndex& index,
                                  const TagIndex&) {
    const std::vector<const IndexedArt*> members = MembersInDocumentOrder(a, index);
    return members.empty() ? ArtIdSet{} : ArtIdSet{members.front()->id};
}

ArtIdSet ProcessGlobalLastOfType(const tokenSet& a, const tokenSet&, const ArtIndex& index, const TagIndex&) {
    const std::vector<const IndexedArt*> members = MembersInDocumentOrder(a, index);
    return members.empty() ? ArtIdSet{} : ArtIdSet{members.back()->id};
}

// :nthChild(a, F): each member's children at the positions of the formula.
ArtIdSet ProcessNthChild(const tokenSet& a, const tokenSet& formula, const ArtIndex& index, const TagIndex&) {
    int step = 0;
    int offset = 0;
    if (!NthStringToNum(formula.text, step, offset)) {
        return {};
    }
    ArtIdSet result;
    for (const std::vector<std::int32_t>* slots : GetChildArt(a, index)) {
        for (std::size_t k = 0; k < slots->size(); ++k) {
            if (NthPositionMatches(step, offset, static_cast<std::int64_t>(k) + 1)) {
                InsertSlot(result, index, (*slots)[k]);
            }
        }
    }
    return result;
}

// :nthOfType(a, F): the members whose rank among their member siblings fits the formula.
ArtIdSet ProcessNthOfType(const tokenSet& a, const tokenSet& formula, const ArtIndex& index,
                          const TagIndex&) {
    int step = 0;
    int offset = 0;
    if (!NthStringToNum(formula.text, step, offset)) {
        return {};
    }
    ArtIdSet result;
    ForEachRankedMember(a.art, index, false, [&](const IndexedArt& object, std::int64_t rank) {
        if (NthPositionMatches(step, offset, rank)) {
            result.insert(object.id);
        }
    });
    return result;
}

// :globalNthOfType(a, F): the members whose rank among all members in document order fits.
ArtIdSet ProcessGlobalNthOfType(const tokenSet& a, const tokenSet& formula, const ArtIndex& index,
                                const TagIndex&) {
    int step = 0;
    int offset = 0;
    if (!NthStringToNum(formula.text, step, offset)) {
        return {};
    }
    ArtIdSet result;
    const std::vector<const IndexedArt*> members = MembersInDocumentOrder(a, index);
    for (std::size_t k = 0; k < members.size(); ++k) {
        if (NthPositionMatches(step, offset, static_cast<std::int64_t>(k) + 1)) {
            result.insert(members[k]->id);
        }
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
// The operator table

using OperatorFunction = ArtIdSet (*)(const tokenSet&, const tokenSet&, const ArtIndex&, const TagIndex&);

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
    operand.art = found != tags.end() ? found->second : ArtIdSet{};
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

ArtList MergeTokenSet(const tokenSet& value, const ArtIndex& index) {
    ArtList result;
    for (const ArtId& id : value.art) {
        if (const IndexedArt* object = index.Object(id)) {
            result.push_back(object->art);
        }
    }
    return result;
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
    std::string text = ToUtf8(formula);
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
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

bool EvaluateTagQuery(std::string_view query, const ArtIndex& index, const TagIndex& tags, ArtList& out) {
    std::vector<std::u32string> tokens;
    if (query.empty() || !TokenizeTagQuery(query, tokens) || tokens.empty()) {
        return false;
    }
    const tokenSet value = Shunting(tokens, index, tags);
    if (!value.valid) {
        return false;
    }
    out = MergeTokenSet(value, index);
    return true;
}

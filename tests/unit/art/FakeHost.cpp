#include "FakeHost.h"

#include <utf8.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "AIMatchingArt.h"
#include "AIMdMemory.h"
#include "AITag.h"
#include "AITextFrame.h"
#include "AIUUID.h"
#include "AIUnicodeString.h"
#include "IAIUnicodeString.h"
#include "core/Suites.h"

FakeHost* FakeHost::current = nullptr;

// Host strings: UTF-8 held as is; lower-casing covers ASCII and the Latin-1 capitals, enough to
// tell the host's lower-casing from the plug-in's own fallback.
struct AIUnicodeStringImpl {
    std::u32string text;
    std::u16string units;  // filled when asked for, valid until the next change
};

namespace {

FakeHost& Host() {
    return *FakeHost::current;
}

bool Fails(const char* operation) {
    return Host().Fails(operation);
}

AIErr CreateString(const char* bytes, size_t count, AICharacterEncoding, AIUnicodeStringRef* out) {
    std::string valid;
    utf8::replace_invalid(bytes, bytes + count, std::back_inserter(valid));
    auto* string = new AIUnicodeStringImpl;
    utf8::utf8to32(valid.begin(), valid.end(), std::back_inserter(string->text));
    *out = string;
    return kNoErr;
}

AIErr DisposeString(AIUnicodeStringRef string) {
    delete string;
    return kNoErr;
}

AIErr DuplicateString(AIUnicodeStringRef string, AIUnicodeStringRef* out) {
    *out = new AIUnicodeStringImpl(*string);
    return kNoErr;
}

AIErr GetStringAs(AIUnicodeStringRef string, AICharacterEncoding, char* buffer, size_t size, size_t* needed) {
    std::string utf8;
    utf8::utf32to8(string->text.begin(), string->text.end(), std::back_inserter(utf8));
    *needed = utf8.size();
    if (buffer != nullptr) {
        std::memcpy(buffer, utf8.data(), std::min(size, utf8.size()));
    }
    return kNoErr;
}

AIErr CreateUTF16String(const ASUnicode* units, size_t count, AIUnicodeStringRef* out) {
    std::string utf8;
    utf8::utf16to8(units, units + count, std::back_inserter(utf8));
    return CreateString(utf8.data(), utf8.size(), kAIUTF8CharacterEncoding, out);
}

AIErr GetStringUTF16(AIUnicodeStringRef string, const ASUnicode** units, size_t* count) {
    std::string utf8;
    utf8::utf32to8(string->text.begin(), string->text.end(), std::back_inserter(utf8));
    string->units.clear();
    utf8::utf8to16(utf8.begin(), utf8.end(), std::back_inserter(string->units));
    *units = reinterpret_cast<const ASUnicode*>(string->units.data());
    *count = string->units.size();
    return kNoErr;
}

AIErr AppendString(AIUnicodeStringRef string, AIUnicodeStringRef tail) {
    string->text += tail->text;
    return kNoErr;
}

AIErr LowerString(AIUnicodeStringRef string) {
    for (char32_t& c : string->text) {
        if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
            c += 0x20;
        }
    }
    return kNoErr;
}

// ---- art

AIErr GetArtType(AIArtHandle art, ai::int16* type) {
    FakeArt* found = Host().Live(art);
    if (found == nullptr || Fails("GetArtType")) {
        return kBadParameterErr;
    }
    *type = found->type;
    return kNoErr;
}

AIErr GetArtParent(AIArtHandle art, AIArtHandle* parent) {
    FakeArt* found = Host().Live(art);
    if (found == nullptr || Fails("GetArtParent")) {
        return kBadParameterErr;
    }
    *parent = found->parent != nullptr ? Host().Handle(found->parent) : nullptr;
    return kNoErr;
}

AIErr GetArtFirstChild(AIArtHandle art, AIArtHandle* child) {
    FakeArt* found = Host().Live(art);
    if (found == nullptr || Fails("GetArtFirstChild")) {
        return kBadParameterErr;
    }
    *child = found->children.empty() ? nullptr : Host().Handle(found->children.front());
    return kNoErr;
}

AIErr GetArtSibling(AIArtHandle art, AIArtHandle* sibling) {
    FakeArt* found = Host().Live(art);
    if (found == nullptr || Fails("GetArtSibling")) {
        return kBadParameterErr;
    }
    *sibling = nullptr;
    if (found->parent != nullptr) {
        auto& row = found->parent->children;
        auto at = std::find(row.begin(), row.end(), found);
        if (at != row.end() && std::next(at) != row.end()) {
            *sibling = Host().Handle(*std::next(at));
        }
    }
    return kNoErr;
}

AIErr IsArtLayerGroup(AIArtHandle art, AIBoolean* isLayerGroup) {
    FakeArt* found = Host().Live(art);
    if (found == nullptr || Fails("IsArtLayerGroup")) {
        return kBadParameterErr;
    }
    *isLayerGroup = found->layerGroup;
    return kNoErr;
}

AIErr GetArtUserAttr(AIArtHandle art, ai::int32 which, ai::int32* attr) {
    FakeArt* found = Host().Live(art);
    if (found == nullptr || Fails("GetArtUserAttr")) {
        return kBadParameterErr;
    }
    ai::int32 all = found->attributes & ~(kArtSelected | kArtFullySelected);
    all |= Host().Selected(found) ? kArtSelected : 0;
    all |= Host().FullySelected(found) ? kArtFullySelected : 0;
    *attr = all & which;
    return kNoErr;
}

AIErr SetArtUserAttr(AIArtHandle art, ai::int32 which, ai::int32 attr) {
    FakeArt* found = Host().Live(art);
    if (found == nullptr || Fails("SetArtUserAttr")) {
        return kBadParameterErr;
    }
    found->attributes = (found->attributes & ~which) | (attr & which);
    return kNoErr;
}

AIErr DisposeArt(AIArtHandle art) {
    FakeArt* found = Host().Live(art);
    if (found == nullptr || Fails("DisposeArt")) {
        return kBadParameterErr;
    }
    Host().Detach(found);
    Host().DisposeTree(found);
    return kNoErr;
}

AIErr DuplicateArt(AIArtHandle art, ai::int16 paintOrder, AIArtHandle prep, AIArtHandle* newArt) {
    FakeArt* found = Host().Live(art);
    FakeArt* target = Host().Live(prep);
    if (found == nullptr || target == nullptr || paintOrder != kPlaceAbove || Fails("DuplicateArt")) {
        return kBadParameterErr;
    }
    FakeArt* copy = Host().Copy(*found);
    Host().InsertBefore(copy, target);
    *newArt = Host().Handle(copy);
    return kNoErr;
}

AIErr ReorderArt(AIArtHandle art, ai::int16 paintOrder, AIArtHandle prep) {
    FakeArt* found = Host().Live(art);
    FakeArt* target = Host().Live(prep);
    if (found == nullptr || target == nullptr || paintOrder != kPlaceAbove || Fails("ReorderArt")) {
        return kBadParameterErr;
    }
    Host().Detach(found);
    Host().InsertBefore(found, target);
    return kNoErr;
}

AIErr GetArtName(AIArtHandle art, ai::UnicodeString& name, AIBoolean* isDefault) {
    FakeArt* found = Host().Live(art);
    if (found == nullptr || Fails("GetArtName")) {
        return kBadParameterErr;
    }
    name = ai::UnicodeString(found->name.empty() ? "<Path>" : found->name, kAIUTF8CharacterEncoding);
    if (isDefault != nullptr) {
        *isDefault = found->name.empty();
    }
    return kNoErr;
}

AIErr SetArtName(AIArtHandle art, const ai::UnicodeString& name) {
    FakeArt* found = Host().Live(art);
    if (found == nullptr || Fails("SetArtName")) {
        return kBadParameterErr;
    }
    found->name = name.as_UTF8();
    return kNoErr;
}

// ---- tags

AIErr SetTag(AIArtHandle art, const char* name, const char* type, const void* value) {
    FakeArt* found = Host().Live(art);
    if (found == nullptr || name == nullptr || std::strcmp(type, kAITagStringType) != 0 || Fails("SetTag")) {
        return kBadParameterErr;
    }
    found->entries[name] = static_cast<const char*>(value);
    return kNoErr;
}

AIErr GetTag(AIArtHandle art, const char* name, const char* type, void* value) {
    FakeArt* found = Host().Live(art);
    if (found == nullptr || name == nullptr || std::strcmp(type, kAITagStringType) != 0 || Fails("GetTag")) {
        return kBadParameterErr;
    }
    auto entry = found->entries.find(name);
    if (entry == found->entries.end()) {
        return kBadParameterErr;
    }
    *static_cast<const char**>(value) = entry->second.c_str();
    return kNoErr;
}

AIErr RemoveTag(AIArtHandle art, const char* name) {
    FakeArt* found = Host().Live(art);
    if (found == nullptr || name == nullptr || Fails("RemoveTag") || found->entries.erase(name) == 0) {
        return kBadParameterErr;
    }
    return kNoErr;
}

AIErr CountTags(AIArtHandle art, ai::int32* count) {
    FakeArt* found = Host().Live(art);
    if (found == nullptr || Fails("CountTags")) {
        return kBadParameterErr;
    }
    *count = static_cast<ai::int32>(found->entries.size());
    return kNoErr;
}

AIErr GetNthTag(AIArtHandle art, ai::int32 n, const char** name) {
    FakeArt* found = Host().Live(art);
    if (found == nullptr || n < 0 || n >= static_cast<ai::int32>(found->entries.size()) ||
        Fails("GetNthTag")) {
        return kBadParameterErr;
    }
    *name = std::next(found->entries.begin(), n)->first.c_str();
    return kNoErr;
}

// ---- matching art and memory

bool Matches(const FakeArt* art, const AIMatchingArtSpec& criterion) {
    ai::int32 attributes = art->attributes;
    attributes |= Host().Selected(art) ? kArtSelected : 0;
    attributes |= Host().FullySelected(art) ? kArtFullySelected : 0;
    return (criterion.type == kAnyArt || criterion.type == art->type) &&
           (attributes & criterion.whichAttr) == criterion.attr;
}

AIErr Answer(const std::vector<FakeArt*>& candidates, const AIMatchingArtSpec* criteria,
             ai::int16 criterionCount, AIArtHandle*** matches, ai::int32* numMatches) {
    std::vector<ArtObject*> found;
    for (FakeArt* art : candidates) {
        if (std::any_of(criteria, criteria + criterionCount,
                        [&](const AIMatchingArtSpec& criterion) { return Matches(art, criterion); })) {
            found.push_back(Host().Handle(art));
        }
    }
    *numMatches = static_cast<ai::int32>(found.size());
    *matches = nullptr;
    if (!found.empty()) {
        *matches = Host().NewBlock(std::move(found));
    }
    return kNoErr;
}

AIErr GetMatchingArt(const AIMatchingArtSpec* criteria, ai::int16 criterionCount, AIArtHandle*** matches,
                     ai::int32* numMatches) {
    if (Fails("GetMatchingArt")) {
        return kBadParameterErr;
    }
    return Answer(Host().PreOrder(nullptr), criteria, criterionCount, matches, numMatches);
}

AIErr GetMatchingArtFromArt(AIArtHandle searchArt, const AIMatchingArtSpec* criteria,
                            ai::int16 criterionCount, AIArtHandle*** matches, ai::int32* numMatches) {
    FakeArt* found = Host().Live(searchArt);
    if (found == nullptr || Fails("GetMatchingArtFromArt")) {
        return kBadParameterErr;
    }
    return Answer(Host().PreOrder(found), criteria, criterionCount, matches, numMatches);
}

AIErr MdMemoryDisposeHandle(AIMdMemoryHandle handle) {
    if (handle == nullptr) {
        return kNoErr;
    }
    return Host().FreeBlock(handle) ? kNoErr : kBadParameterErr;
}

// ---- UUIDs and text frames

AIErr GetArtUUID(AIArtHandle art, AIUUID* uuid) {
    FakeArt* found = Host().Live(art);
    if (found == nullptr || Fails("GetArtUUID")) {
        return kBadParameterErr;
    }
    // The fake's UUID is the address of the art; its text is looked up again below.
    *uuid = AIUUID{};
    std::memcpy(uuid->bytes, &found, sizeof found);
    return kNoErr;
}

AIErr GetUUIDAsString(const AIUUID& uuid, ai::UnicodeString& text) {
    FakeArt* art = nullptr;
    std::memcpy(&art, uuid.bytes, sizeof art);
    if (Host().Live(Host().Handle(art)) == nullptr) {
        return kBadParameterErr;
    }
    text = ai::UnicodeString(art->uuid, kAIUTF8CharacterEncoding);
    return kNoErr;
}

AIErr CreateOutline(AIArtHandle frame, AIArtHandle* outline) {
    FakeArt* found = Host().Live(frame);
    if (found == nullptr || found->type != kTextFrameArt || Fails("CreateOutline")) {
        return kBadParameterErr;
    }
    FakeArt* made = Host().MakeArt(found->name + " outline", kGroupArt);
    Host().InsertBefore(made, found);
    *outline = Host().Handle(made);
    return kNoErr;
}

AIUnicodeStringSuite gUnicodeSuite{};
AIArtSuite gArtSuite{};
AITagSuite gTagSuite{};
AIMatchingArtSuite gMatchingSuite{};
AIMdMemorySuite gMemorySuite{};
AIUUIDSuite gUUIDSuite{};
AITextFrameSuite gTextFrameSuite{};

void FillSuites() {
    gUnicodeSuite.Create = CreateString;
    gUnicodeSuite.CreateUTF16 = CreateUTF16String;
    gUnicodeSuite.GetUTF16 = GetStringUTF16;
    gUnicodeSuite.Append = AppendString;
    gUnicodeSuite.Dispose = DisposeString;
    gUnicodeSuite.Duplicate = DuplicateString;
    gUnicodeSuite.GetAs = GetStringAs;
    gUnicodeSuite.ToLower = LowerString;

    gArtSuite.GetArtType = GetArtType;
    gArtSuite.GetArtParent = GetArtParent;
    gArtSuite.GetArtFirstChild = GetArtFirstChild;
    gArtSuite.GetArtSibling = GetArtSibling;
    gArtSuite.IsArtLayerGroup = IsArtLayerGroup;
    gArtSuite.GetArtUserAttr = GetArtUserAttr;
    gArtSuite.SetArtUserAttr = SetArtUserAttr;
    gArtSuite.DisposeArt = DisposeArt;
    gArtSuite.DuplicateArt = DuplicateArt;
    gArtSuite.ReorderArt = ReorderArt;
    gArtSuite.GetArtName = GetArtName;
    gArtSuite.SetArtName = SetArtName;

    gTagSuite.SetTag = SetTag;
    gTagSuite.GetTag = GetTag;
    gTagSuite.RemoveTag = RemoveTag;
    gTagSuite.CountTags = CountTags;
    gTagSuite.GetNthTag = GetNthTag;

    gMatchingSuite.GetMatchingArt = GetMatchingArt;
    gMatchingSuite.GetMatchingArtFromArt = GetMatchingArtFromArt;
    gMemorySuite.MdMemoryDisposeHandle = MdMemoryDisposeHandle;
    gUUIDSuite.GetArtUUID = GetArtUUID;
    gUUIDSuite.GetUUIDAsString = GetUUIDAsString;
    gTextFrameSuite.CreateOutline = CreateOutline;
}

}  // namespace

FakeHost::FakeHost() {
    current = this;
    FillSuites();
    sAIUnicodeString = &gUnicodeSuite;
    sAIArt = &gArtSuite;
    sAITag = &gTagSuite;
    sAIMatchingArt = &gMatchingSuite;
    sAIMdMemory = &gMemorySuite;
    sAIUUID = &gUUIDSuite;
    sAITextFrame = &gTextFrameSuite;
}

FakeHost::~FakeHost() {
    sAIUnicodeString = nullptr;
    sAIArt = nullptr;
    sAITag = nullptr;
    sAIMatchingArt = nullptr;
    sAIMdMemory = nullptr;
    sAIUUID = nullptr;
    sAITextFrame = nullptr;
    current = nullptr;
}

FakeArt* FakeHost::MakeArt(const std::string& name, ai::int16 type) {
    fStorage.push_back(std::make_unique<FakeArt>());
    FakeArt* art = fStorage.back().get();
    art->name = name;
    art->type = type;
    art->uuid = "uuid-" + name;
    fLive.insert(art);
    return art;
}

ArtObject* FakeHost::AddLayer(const std::string& name) {
    FakeArt* group = MakeArt(name, kGroupArt);
    group->layerGroup = true;
    fLayers.push_back(group);
    return Handle(group);
}

ArtObject* FakeHost::Add(ArtObject* parent, const std::string& name, ai::int16 type, std::string uuid) {
    FakeArt* art = MakeArt(name, type);
    if (!uuid.empty()) {
        art->uuid = std::move(uuid);
    }
    art->parent = Live(parent);
    art->parent->children.push_back(art);
    return Handle(art);
}

FakeArt& FakeHost::Art(ArtObject* art) {
    return *Live(art);
}

FakeArt* FakeHost::Live(ArtObject* art) const {
    auto* candidate = reinterpret_cast<FakeArt*>(art);
    return fLive.contains(candidate) ? candidate : nullptr;
}

bool FakeHost::IsLive(ArtObject* art) const {
    return Live(art) != nullptr;
}

std::string FakeHost::NameOf(ArtObject* art) const {
    const FakeArt* found = Live(art);
    return found != nullptr ? found->name : "<dead>";
}

std::vector<std::string> FakeHost::Names(const std::vector<ArtObject*>& list) const {
    std::vector<std::string> names;
    for (ArtObject* art : list) {
        names.push_back(NameOf(art));
    }
    return names;
}

std::vector<std::string> FakeHost::ChildNames(ArtObject* art) const {
    std::vector<std::string> names;
    for (const FakeArt* child : Live(art)->children) {
        names.push_back(child->name);
    }
    return names;
}

std::vector<ArtObject*> FakeHost::DocumentOrder() const {
    std::vector<ArtObject*> order;
    for (FakeArt* art : PreOrder(nullptr)) {
        order.push_back(Handle(art));
    }
    return order;
}

ArtObject* FakeHost::Find(const std::string& name) const {
    for (FakeArt* art : PreOrder(nullptr)) {
        if (art->name == name) {
            return Handle(art);
        }
    }
    return nullptr;
}

FakeArt* FakeHost::Copy(const FakeArt& original) {
    FakeArt* copy = MakeArt(original.name, original.type);
    copy->entries = original.entries;
    copy->attributes = original.attributes;
    copy->uuid = original.uuid + "-copy" + std::to_string(++fCopies);
    for (const FakeArt* child : original.children) {
        FakeArt* childCopy = Copy(*child);
        childCopy->parent = copy;
        copy->children.push_back(childCopy);
    }
    return copy;
}

void FakeHost::Detach(FakeArt* art) {
    if (art->parent != nullptr) {
        std::erase(art->parent->children, art);
        art->parent = nullptr;
    } else {
        std::erase(fLayers, art);
    }
}

void FakeHost::InsertBefore(FakeArt* art, FakeArt* prep) {
    art->parent = prep->parent;
    auto& row = prep->parent != nullptr ? prep->parent->children : fLayers;
    row.insert(std::find(row.begin(), row.end(), prep), art);
}

void FakeHost::DisposeTree(FakeArt* art) {
    for (FakeArt* child : art->children) {
        DisposeTree(child);
    }
    fLive.erase(art);
}

std::vector<FakeArt*> FakeHost::PreOrder(FakeArt* from) const {
    std::vector<FakeArt*> order;
    std::vector<FakeArt*> pending;
    if (from != nullptr) {
        pending.push_back(from);
    } else {
        pending.assign(fLayers.rbegin(), fLayers.rend());
    }
    while (!pending.empty()) {
        FakeArt* art = pending.back();
        pending.pop_back();
        order.push_back(art);
        pending.insert(pending.end(), art->children.rbegin(), art->children.rend());
    }
    return order;
}

bool FakeHost::Selected(const FakeArt* art) const {
    if ((art->attributes & kArtSelected) != 0) {
        return true;
    }
    return std::any_of(art->children.begin(), art->children.end(),
                       [&](const FakeArt* c) { return Selected(c); });
}

bool FakeHost::FullySelected(const FakeArt* art) const {
    if (art->children.empty()) {
        return (art->attributes & kArtSelected) != 0;
    }
    return std::all_of(art->children.begin(), art->children.end(),
                       [&](const FakeArt* c) { return FullySelected(c); });
}

AIArtHandle** FakeHost::NewBlock(std::vector<ArtObject*> handles) {
    auto block = std::make_unique<Block>();
    block->handles = std::move(handles);
    block->data = block->handles.data();
    AIArtHandle** handle = &block->data;
    fBlocks.emplace(static_cast<void*>(handle), std::move(block));
    return handle;
}

bool FakeHost::FreeBlock(void* block) {
    auto found = fBlocks.find(block);
    if (found == fBlocks.end()) {
        return false;
    }
    fBlocks.erase(found);
    return true;
}

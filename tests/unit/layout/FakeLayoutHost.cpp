#include "FakeLayoutHost.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "AIArtboard.h"
#include "AIArtboardRange.h"
#include "AIDocument.h"
#include "AIDocumentList.h"
#include "AIFilePath.h"
#include "AIGroup.h"
#include "AIMatchingArt.h"
#include "AIMdMemory.h"
#include "AIPreference.h"
#include "AIUnicodeString.h"
#include "IAIFilePath.hpp"

FakeLayoutHost* FakeLayoutHost::current = nullptr;

namespace {

FakeLayoutHost& Host() {
    return *FakeLayoutHost::current;
}
FakeNode* NodeOf(AIArtHandle art) {
    return reinterpret_cast<FakeNode*>(art);
}

// --- Document settings -----------------------------------------------------------------------------

AIErr GetDocumentScale(AIReal* scale) {
    if (!Host().scale) {
        return kCantHappenErr;
    }
    *scale = *Host().scale;
    return kNoErr;
}

AIErr GetDocumentRulerUnits(ai::int16* units) {
    if (!Host().rulerUnits) {
        return kCantHappenErr;
    }
    *units = static_cast<ai::int16>(*Host().rulerUnits);
    return kNoErr;
}

AIDocumentSuite gDocument{};

// --- Real math ---------------------------------------------------------------------------------------

void SetIdentity(AIRealMatrix* m) {
    *m = AIRealMatrix{};
}
void SetTranslate(AIRealMatrix* m, AIReal tx, AIReal ty) {
    *m = {1, 0, 0, 1, tx, ty};
}
void SetScale(AIRealMatrix* m, AIReal h, AIReal v) {
    *m = {h, 0, 0, v, 0, 0};
}
void SetRotate(AIRealMatrix* m, AIReal angle) {
    *m = {std::cos(angle), std::sin(angle), -std::sin(angle), std::cos(angle), 0, 0};
}
void Concat(const AIRealMatrix* m, const AIRealMatrix* n, AIRealMatrix* r) {
    const AIRealMatrix a = *m;
    const AIRealMatrix b = *n;
    *r = {a.a * b.a + a.b * b.c, a.a * b.b + a.b * b.d,          a.c * b.a + a.d * b.c,
          a.c * b.b + a.d * b.d, a.tx * b.a + a.ty * b.c + b.tx, a.tx * b.b + a.ty * b.d + b.ty};
}
void XformPoint(const AIRealMatrix* m, const AIRealPoint* in, AIRealPoint* out) {
    const AIRealPoint p = *in;
    *out = {m->a * p.h + m->c * p.v + m->tx, m->b * p.h + m->d * p.v + m->ty};
}
void UnionRect(const AIRealRect* a, const AIRealRect* b, AIRealRect* r) {
    *r = {std::min(a->left, b->left), std::max(a->top, b->top), std::max(a->right, b->right),
          std::min(a->bottom, b->bottom)};
}

AIRealMathSuite gMath{SetIdentity, SetTranslate, SetScale, SetRotate, Concat, XformPoint, UnionRect};

// --- Art ----------------------------------------------------------------------------------------------

std::optional<AIRealRect> BoundsOf(const FakeNode& node, bool visible) {
    if (node.type != kGroupArt) {
        if (!node.bounds) {
            return std::nullopt;
        }
        AIRealRect r = *node.bounds;
        const double half = visible ? node.strokeWidth / 2 : 0.0;
        return AIRealRect{r.left - half, r.top + half, r.right + half, r.bottom - half};
    }
    std::optional<AIRealRect> united;
    for (const FakeNode* child : node.children) {
        const std::optional<AIRealRect> bounds = BoundsOf(*child, visible);
        if (bounds) {
            AIRealRect both = *bounds;
            if (united) {
                UnionRect(&*united, &*bounds, &both);
            }
            united = both;
        }
    }
    return united;
}

AIErr GetArtType(AIArtHandle art, ai::int16* type) {
    if (Host().Fails("GetArtType")) {
        return kCantHappenErr;
    }
    *type = NodeOf(art)->type;
    return kNoErr;
}

AIErr GetArtParent(AIArtHandle art, AIArtHandle* parent) {
    *parent = reinterpret_cast<AIArtHandle>(NodeOf(art)->parent);
    return kNoErr;
}

AIErr GetArtFirstChild(AIArtHandle art, AIArtHandle* child) {
    const FakeNode* node = NodeOf(art);
    *child = node->children.empty() ? nullptr : reinterpret_cast<AIArtHandle>(node->children.front());
    return kNoErr;
}

AIErr GetArtSibling(AIArtHandle art, AIArtHandle* sibling) {
    if (Host().Fails("GetArtSibling")) {
        return kCantHappenErr;
    }
    const FakeNode* node = NodeOf(art);
    *sibling = nullptr;
    if (node->parent != nullptr) {
        const auto& siblings = node->parent->children;
        const auto at = std::find(siblings.begin(), siblings.end(), node);
        if (at + 1 < siblings.end()) {
            *sibling = reinterpret_cast<AIArtHandle>(*(at + 1));
        }
    }
    return kNoErr;
}

AIErr IsArtLayerGroup(AIArtHandle art, AIBoolean* isLayerGroup) {
    *isLayerGroup = NodeOf(art)->layer != nullptr;
    return kNoErr;
}

AIErr GetLayerOfArt(AIArtHandle art, AILayerHandle* layer) {
    const FakeNode* node = NodeOf(art);
    while (node != nullptr && node->layer == nullptr) {
        node = node->parent;
    }
    *layer = node != nullptr ? node->layer : nullptr;
    return kNoErr;
}

AIErr GetFirstArtOfLayer(AILayerHandle layer, AIArtHandle* art) {
    if (Host().Fails("GetFirstArtOfLayer")) {
        return kCantHappenErr;
    }
    const AILayerHandle which = layer != nullptr ? layer : Host().currentLayer;
    *art = which != nullptr ? Host().GroupOf(which) : nullptr;
    return kNoErr;
}

AIErr GetArtUserAttr(AIArtHandle art, ai::int32 whichAttr, ai::int32* attr) {
    *attr = NodeOf(art)->clipMask ? (whichAttr & kArtIsClipMask) : 0;
    return kNoErr;
}

AIErr GetArtTransformBounds(AIArtHandle art, const AIRealMatrix*, ai::int32 flags, AIRealRect* bounds) {
    const std::optional<AIRealRect> found = BoundsOf(*NodeOf(art), (flags & kNoStrokeBounds) == 0);
    if (Host().Fails("GetArtTransformBounds") || !found) {
        return kBadParameterErr;
    }
    *bounds = *found;
    return kNoErr;
}

AIArtSuite gArt{};

AIErr GetGroupClipped(AIArtHandle group, AIBoolean* clipped) {
    *clipped = NodeOf(group)->clipped;
    return kNoErr;
}

AIGroupSuite gGroup{GetGroupClipped, nullptr};

// --- Matching art ---------------------------------------------------------------------------------------

AIArtHandle** NewBlock(std::vector<ArtObject*> arts) {
    auto block = std::make_unique<FakeBlock>();
    block->arts = std::move(arts);
    block->data = block->arts.data();
    AIArtHandle** handle = &block->data;
    Host().blocks[handle] = std::move(block);
    return handle;
}

AIErr GetMatchingArt(const AIMatchingArtSpec*, ai::int16, AIArtHandle*** matches, ai::int32* count) {
    std::vector<ArtObject*> all;
    for (FakeNode* node : Host().PreOrder()) {
        all.push_back(Host().Handle(node));
    }
    *count = static_cast<ai::int32>(all.size());
    *matches = NewBlock(std::move(all));
    return kNoErr;
}

AIErr DisposeHandle(AIMdMemoryHandle handle) {
    return Host().blocks.erase(handle) != 0 ? kNoErr : kBadParameterErr;
}

AIMatchingArtSuite gMatching{GetMatchingArt, nullptr, nullptr};
AIMdMemorySuite gMemory{DisposeHandle};

// --- Layers ------------------------------------------------------------------------------------------

AIErr CountLayers(ai::int32* count) {
    *count = static_cast<ai::int32>(Host().LayersIn(nullptr).size());
    return kNoErr;
}

AIErr GetNthLayer(ai::int32 n, AILayerHandle* layer) {
    const auto layers = Host().LayersIn(nullptr);
    *layer =
        n >= 0 && n < static_cast<ai::int32>(layers.size()) ? layers[static_cast<std::size_t>(n)] : nullptr;
    return kNoErr;
}

AIErr GetFirstLayer(AILayerHandle* first) {
    return GetNthLayer(0, first);
}

AIErr Neighbour(AILayerHandle layer, int step, AILayerHandle* out) {
    const auto siblings = Host().LayersIn(Host().Layer(layer).parent);
    const auto at = std::find(siblings.begin(), siblings.end(), layer) - siblings.begin();
    const auto wanted = at + step;
    *out = wanted >= 0 && wanted < static_cast<std::ptrdiff_t>(siblings.size())
               ? siblings[static_cast<std::size_t>(wanted)]
               : nullptr;
    return kNoErr;
}

AIErr GetNextLayer(AILayerHandle layer, AILayerHandle* next) {
    return Neighbour(layer, 1, next);
}
AIErr GetPrevLayer(AILayerHandle layer, AILayerHandle* prev) {
    return Neighbour(layer, -1, prev);
}

AIErr GetLayerParent(AILayerHandle layer, AILayerHandle* parent) {
    if (Host().Fails("GetLayerParent")) {
        return kCantHappenErr;
    }
    *parent = Host().Layer(layer).parent;
    return kNoErr;
}

AIErr GetLayerByTitle(AILayerHandle* layer, const ai::UnicodeString& title) {
    *layer = nullptr;
    for (FakeNode* node : Host().PreOrder()) {
        if (node->layer != nullptr && Host().Layer(node->layer).title == title.as_UTF8()) {
            *layer = node->layer;
            break;
        }
    }
    return kNoErr;
}

// The operations the lookups call; the rest stay null.
AILayerSuite gLayer = [] {
    AILayerSuite suite{};
    suite.CountLayers = CountLayers;
    suite.GetNthLayer = GetNthLayer;
    suite.GetFirstLayer = GetFirstLayer;
    suite.GetNextLayer = GetNextLayer;
    suite.GetPrevLayer = GetPrevLayer;
    suite.GetLayerParent = GetLayerParent;
    suite.GetLayerByTitle = GetLayerByTitle;
    return suite;
}();

// --- Unicode strings (UTF-8 held as given) -----------------------------------------------------------------

struct FakeString {
    std::string utf8;
    std::u16string units;
};

AIErr CreateString(const char* bytes, size_t count, AICharacterEncoding, AIUnicodeStringRef* out) {
    auto* text = new FakeString{std::string(bytes, count), {}};
    text->units.assign(text->utf8.begin(), text->utf8.end());
    *out = reinterpret_cast<AIUnicodeStringRef>(text);
    return kNoErr;
}

AIErr DisposeString(AIUnicodeStringRef ref) {
    delete reinterpret_cast<FakeString*>(ref);
    return kNoErr;
}

AIErr DuplicateString(AIUnicodeStringRef ref, AIUnicodeStringRef* out) {
    *out = reinterpret_cast<AIUnicodeStringRef>(new FakeString(*reinterpret_cast<FakeString*>(ref)));
    return kNoErr;
}

AIErr GetUTF16(AIUnicodeStringRef ref, const ASUnicode** units, size_t* count) {
    const auto* text = reinterpret_cast<FakeString*>(ref);
    *units = reinterpret_cast<const ASUnicode*>(text->units.data());
    *count = text->units.size();
    return kNoErr;
}

AIErr GetAs(AIUnicodeStringRef ref, AICharacterEncoding, char* buffer, size_t size, size_t* needed) {
    const std::string& text = reinterpret_cast<FakeString*>(ref)->utf8;
    *needed = text.size();
    if (buffer != nullptr) {
        std::copy_n(text.begin(), std::min(size, text.size()), buffer);
    }
    return kNoErr;
}

AIUnicodeStringSuite gStrings{CreateString, nullptr, DisposeString, DuplicateString,
                              GetUTF16,     GetAs,   nullptr,       nullptr};

// --- File paths and the document list ---------------------------------------------------------------------

AIErr CreatePath(const char* path, AIFilePathRef* out) {
    *out = reinterpret_cast<AIFilePathRef>(new std::string(path));
    return kNoErr;
}
AIErr DisposePath(AIFilePathRef path) {
    delete reinterpret_cast<std::string*>(path);
    return kNoErr;
}
AIErr DuplicatePath(AIFilePathRef path, AIFilePathRef* out) {
    *out = reinterpret_cast<AIFilePathRef>(new std::string(*reinterpret_cast<std::string*>(path)));
    return kNoErr;
}
AIErr GetPath(AIFilePathRef path, const char** out) {
    *out = reinterpret_cast<std::string*>(path)->c_str();
    return kNoErr;
}
AIBoolean PathExists(const ai::FilePath& path, AIBoolean, AIBoolean*, AIBoolean*) {
    std::error_code error;
    return std::filesystem::exists(path.GetFullPathUTF8(), error);
}

AIFilePathSuite gPaths{CreatePath, DisposePath, DuplicatePath, GetPath, nullptr, nullptr, PathExists};

AIDocumentHandle DocumentHandle(std::size_t index) {
    return reinterpret_cast<AIDocumentHandle>(index + 1);
}

AIErr CountDocuments(ai::int32* count) {
    *count = static_cast<ai::int32>(Host().documentPaths.size());
    return kNoErr;
}

AIErr GetNthDocument(AIDocumentHandle* document, ai::int32 n) {
    if (n < 0 || n >= static_cast<ai::int32>(Host().documentPaths.size())) {
        return kBadParameterErr;
    }
    *document = DocumentHandle(static_cast<std::size_t>(n));
    return kNoErr;
}

AIErr GetDocumentFilePath(AIDocumentHandle document, ai::FilePath& path) {
    const auto index = reinterpret_cast<std::uintptr_t>(document) - 1;
    if (index >= Host().documentPaths.size()) {
        return kBadParameterErr;
    }
    path = ai::FilePath(Host().documentPaths[index]);
    return kNoErr;
}

AIDocumentListSuite gDocuments{CountDocuments, GetNthDocument, GetDocumentFilePath,
                               nullptr,        nullptr,        nullptr};

// --- Artboards -------------------------------------------------------------------------------------------

AIErr InitBoard(ArtboardRef* properties) {
    *properties = reinterpret_cast<ArtboardRef>(new FakeArtboard{});
    return kNoErr;
}
AIErr CloneBoard(ArtboardRef* copy, ArtboardRef source) {
    *copy = reinterpret_cast<ArtboardRef>(new FakeArtboard(*reinterpret_cast<FakeArtboard*>(source)));
    return kNoErr;
}
AIErr DisposeBoard(ArtboardRef properties) {
    delete reinterpret_cast<FakeArtboard*>(properties);
    return kNoErr;
}
AIErr GetPosition(ArtboardRef properties, AIRealRect* rect) {
    *rect = reinterpret_cast<FakeArtboard*>(properties)->rect;
    return kNoErr;
}
AIErr GetBoardName(ArtboardRef properties, ai::UnicodeString& name) {
    name = ai::UnicodeString::FromUTF8(reinterpret_cast<FakeArtboard*>(properties)->name);
    return kNoErr;
}
AIErr GetArtboardList(ArtboardListRef* list) {
    if (Host().Fails("GetArtboardList")) {
        return kNoDocumentErr;
    }
    *list = reinterpret_cast<ArtboardListRef>(&Host());
    return kNoErr;
}
AIErr ReleaseArtboardList(ArtboardListRef) {
    return kNoErr;
}
AIErr GetBoardCount(ArtboardListRef, ArtboardID* count) {
    *count = static_cast<ArtboardID>(Host().artboards.size());
    return kNoErr;
}
AIErr GetActive(ArtboardListRef, ArtboardID* index) {
    *index = Host().activeArtboard;
    return kNoErr;
}
AIErr GetBoardProperties(ArtboardListRef, ArtboardID index, ArtboardRef properties) {
    if (index < 0 || index >= static_cast<ArtboardID>(Host().artboards.size())) {
        return kBadParameterErr;
    }
    *reinterpret_cast<FakeArtboard*>(properties) = Host().artboards[static_cast<std::size_t>(index)];
    return kNoErr;
}

AIArtboardSuite gArtboards{};

// Ranges: the empty text for all, or single numbers separated by commas.
struct FakeCursor {
    std::vector<ArtboardID> indexes;
    std::size_t next = 0;
};

std::optional<std::vector<ArtboardID>> Parse(const std::string& text) {
    std::vector<ArtboardID> indexes;
    if (text.empty()) {
        for (std::size_t i = 0; i < Host().artboards.size(); ++i) {
            indexes.push_back(static_cast<ArtboardID>(i));
        }
        return indexes;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        if (item.empty() || item.find_first_not_of("0123456789") != std::string::npos || item.size() > 6) {
            return std::nullopt;
        }
        const int number = std::stoi(item);
        if (number < 1 || number > static_cast<int>(Host().artboards.size())) {
            return std::nullopt;
        }
        indexes.push_back(number - 1);
        start = comma + 1;
    }
    return indexes;
}

AIErr ValidateString(const ai::UnicodeString& range, AIBoolean* valid) {
    *valid = Parse(range.as_UTF8()).has_value();
    return kNoErr;
}
AIErr CreateRange(const ai::UnicodeString& range, AIArtboardRangeHandle* handle) {
    const auto indexes = Parse(range.as_UTF8());
    if (!indexes) {
        return kBadParameterErr;
    }
    *handle = reinterpret_cast<AIArtboardRangeHandle>(new std::vector<ArtboardID>(*indexes));
    return kNoErr;
}
AIErr DisposeRange(AIArtboardRangeHandle handle) {
    delete reinterpret_cast<std::vector<ArtboardID>*>(handle);
    return kNoErr;
}
AIErr Begin(AIArtboardRangeHandle handle, AIArtboardRangeIterator* iterator) {
    *iterator = reinterpret_cast<AIArtboardRangeIterator>(
        new FakeCursor{*reinterpret_cast<std::vector<ArtboardID>*>(handle), 0});
    return kNoErr;
}
AIErr Next(AIArtboardRangeIterator iterator, ArtboardID* index) {
    auto* cursor = reinterpret_cast<FakeCursor*>(iterator);
    if (cursor->next >= cursor->indexes.size()) {
        return kEndOfRangeErr;
    }
    *index = cursor->indexes[cursor->next++];
    return kNoErr;
}
AIErr DisposeIterator(AIArtboardRangeIterator iterator) {
    delete reinterpret_cast<FakeCursor*>(iterator);
    return kNoErr;
}

AIArtboardRangeSuite gRanges{ValidateString, CreateRange, DisposeRange,   nullptr,
                             Begin,          Next,        DisposeIterator};

// --- Preferences ------------------------------------------------------------------------------------------

AIErr IsSet(const char* prefix, const char* name, AIBoolean* isSet) {
    *isSet = prefix == nullptr && Host().preferences.contains(name);
    return kNoErr;
}
AIErr GetBooleanPreference(const char*, const char* name, AIBoolean* value) {
    *value = Host().preferences.at(name) != 0;
    return kNoErr;
}
AIErr GetIntegerPreference(const char*, const char* name, ai::int32* value) {
    *value = Host().preferences.at(name);
    return kNoErr;
}
AIErr PutIntegerPreference(const char*, const char* name, ai::int32 value) {
    Host().preferences[name] = value;
    return kNoErr;
}

AIPreferenceSuite gPreferences{GetBooleanPreference, nullptr, GetIntegerPreference, PutIntegerPreference,
                               IsSet};

}  // namespace

FakeLayoutHost::FakeLayoutHost() {
    current = this;
    gDocument.GetDocumentScale = GetDocumentScale;
    gDocument.GetDocumentRulerUnits = GetDocumentRulerUnits;
    gArt.GetArtType = GetArtType;
    gArt.GetArtParent = GetArtParent;
    gArt.GetArtFirstChild = GetArtFirstChild;
    gArt.GetArtSibling = GetArtSibling;
    gArt.IsArtLayerGroup = IsArtLayerGroup;
    gArt.GetLayerOfArt = GetLayerOfArt;
    gArt.GetFirstArtOfLayer = GetFirstArtOfLayer;
    gArt.GetArtUserAttr = GetArtUserAttr;
    gArt.GetArtTransformBounds = GetArtTransformBounds;
    gArtboards.Init = InitBoard;
    gArtboards.CloneArtboard = CloneBoard;
    gArtboards.Dispose = DisposeBoard;
    gArtboards.GetPosition = GetPosition;
    gArtboards.GetName = GetBoardName;
    gArtboards.GetArtboardList = GetArtboardList;
    gArtboards.ReleaseArtboardList = ReleaseArtboardList;
    gArtboards.GetCount = GetBoardCount;
    gArtboards.GetActive = GetActive;
    gArtboards.GetArtboardProperties = GetBoardProperties;
    sAIDocument = &gDocument;
    sAIRealMath = &gMath;
    sAIArt = &gArt;
    sAIGroup = &gGroup;
    sAIMatchingArt = &gMatching;
    sAIMdMemory = &gMemory;
    sAILayer = &gLayer;
    sAIUnicodeString = &gStrings;
    sAIFilePath = &gPaths;
    sAIDocumentList = &gDocuments;
    sAIArtboard = &gArtboards;
    sAIArtboardRange = &gRanges;
    sAIPreference = &gPreferences;
}

FakeLayoutHost::~FakeLayoutHost() {
    sAIDocument = nullptr;
    sAIRealMath = nullptr;
    sAIArt = nullptr;
    sAIGroup = nullptr;
    sAIMatchingArt = nullptr;
    sAIMdMemory = nullptr;
    sAILayer = nullptr;
    sAIUnicodeString = nullptr;
    sAIFilePath = nullptr;
    sAIDocumentList = nullptr;
    sAIArtboard = nullptr;
    sAIArtboardRange = nullptr;
    sAIPreference = nullptr;
    current = nullptr;
}

ArtObject* FakeLayoutHost::Add(ArtObject* parent, const std::string& name, ai::int16 type,
                               std::optional<AIRealRect> bounds, double strokeWidth) {
    fNodes.push_back(std::make_unique<FakeNode>());
    FakeNode* node = fNodes.back().get();
    node->name = name;
    node->type = type;
    node->bounds = bounds;
    node->strokeWidth = strokeWidth;
    node->parent = parent != nullptr ? &Node(parent) : nullptr;
    if (node->parent != nullptr) {
        node->parent->children.push_back(node);
    }
    return Handle(node);
}

std::string FakeLayoutHost::NameOf(ArtObject* art) const {
    return art != nullptr ? reinterpret_cast<FakeNode*>(art)->name : "null";
}

std::vector<FakeNode*> FakeLayoutHost::PreOrder() const {
    std::vector<FakeNode*> order;
    std::vector<FakeNode*> pending;
    for (auto it = fLayerOrder.rbegin(); it != fLayerOrder.rend(); ++it) {
        const FakeLayer& layer = *reinterpret_cast<FakeLayer*>(*it);
        if (layer.parent == nullptr) {
            pending.push_back(layer.group);
        }
    }
    while (!pending.empty()) {
        FakeNode* node = pending.back();
        pending.pop_back();
        order.push_back(node);
        pending.insert(pending.end(), node->children.rbegin(), node->children.rend());
    }
    return order;
}

AILayerHandle FakeLayoutHost::AddLayer(const std::string& title, AILayerHandle parent) {
    fLayers.push_back(std::make_unique<FakeLayer>());
    FakeLayer* layer = fLayers.back().get();
    auto* handle = reinterpret_cast<AILayerHandle>(layer);
    layer->title = title;
    layer->parent = parent;
    ArtObject* group = Add(parent != nullptr ? GroupOf(parent) : nullptr, title, kGroupArt);
    Node(group).layer = handle;
    layer->group = &Node(group);
    fLayerOrder.push_back(handle);
    if (currentLayer == nullptr) {
        currentLayer = handle;
    }
    return handle;
}

std::vector<AILayerHandle> FakeLayoutHost::LayersIn(AILayerHandle parent) const {
    std::vector<AILayerHandle> layers;
    for (AILayerHandle layer : fLayerOrder) {
        if (reinterpret_cast<FakeLayer*>(layer)->parent == parent) {
            layers.push_back(layer);
        }
    }
    return layers;
}

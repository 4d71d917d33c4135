// A small in-memory host behind the suites the layout helpers call: document settings, real math,
// art bounds with groups and clip groups, layers, file paths, the document list, Unicode strings,
// artboards and their ranges, preferences and matching-art queries. It installs itself into the
// plug-in's suite pointers for the life of the object and can make single operations fail.
//
// Its clip groups measure as the union of all their members (as a host that ignores clipping
// would), so that the plug-in's own clipping-aware bounds are told apart from the host's.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "AIArt.h"
#include "AILayer.h"
#include "AIRealMath.h"
#include "core/Suites.h"

struct FakeNode {
    std::string name;
    ai::int16 type = kPathArt;
    FakeNode* parent = nullptr;
    std::vector<FakeNode*> children;
    std::optional<AIRealRect> bounds;  // leaves: the geometry's bounds; none: can't be measured
    double strokeWidth = 0.0;
    bool clipped = false;
    bool clipMask = false;
    LayerObject* layer = nullptr;  // set on layer groups
};

struct FakeLayer {
    std::string title;
    LayerObject* parent = nullptr;
    FakeNode* group = nullptr;
};

// A matching-art answer: the plug-in holds &data and frees it through the MdMemory suite.
struct FakeBlock {
    std::vector<ArtObject*> arts;
    ArtObject** data = nullptr;
};

struct FakeArtboard {
    std::string name;
    AIRealRect rect;
};

class FakeLayoutHost {
public:
    FakeLayoutHost();
    ~FakeLayoutHost();
    FakeLayoutHost(const FakeLayoutHost&) = delete;
    FakeLayoutHost& operator=(const FakeLayoutHost&) = delete;

    static FakeLayoutHost* current;

    // --- Document settings (none: the host call fails) ---
    std::optional<double> scale = 1.0;
    std::optional<int> rulerUnits = 3;

    // --- Art ---
    // A new last child of the parent (a layer's group when the parent is a layer's art).
    ArtObject* Add(ArtObject* parent, const std::string& name, ai::int16 type,
                   std::optional<AIRealRect> bounds = std::nullopt, double strokeWidth = 0.0);
    FakeNode& Node(ArtObject* art) { return *reinterpret_cast<FakeNode*>(art); }
    ArtObject* Handle(FakeNode* node) const { return reinterpret_cast<ArtObject*>(node); }
    std::string NameOf(ArtObject* art) const;
    std::vector<FakeNode*> PreOrder() const;

    // --- Layers: a top-level layer (parent null) or a sublayer, listed after the others ---
    AILayerHandle AddLayer(const std::string& title, AILayerHandle parent = nullptr);
    FakeLayer& Layer(AILayerHandle layer) { return *reinterpret_cast<FakeLayer*>(layer); }
    // The layers at one level (top-level ones for null), in order.
    std::vector<AILayerHandle> LayersIn(AILayerHandle parent) const;
    ArtObject* GroupOf(AILayerHandle layer) { return Handle(Layer(layer).group); }
    AILayerHandle currentLayer = nullptr;

    // --- Documents: their file paths in list order ---
    std::vector<std::string> documentPaths{""};

    // --- Artboards ---
    std::vector<FakeArtboard> artboards;
    int activeArtboard = 0;

    // --- Preferences by name (the empty prefix only) ---
    std::map<std::string, int> preferences;

    // --- Failures ---
    void Fail(const std::string& operation) { fFailing.insert(operation); }
    bool Fails(const std::string& operation) const { return fFailing.contains(operation); }

    // Blocks handed out by matching queries and not yet freed, by the handle given out.
    std::map<const void*, std::unique_ptr<FakeBlock>> blocks;

private:
    std::vector<std::unique_ptr<FakeNode>> fNodes;
    std::vector<std::unique_ptr<FakeLayer>> fLayers;
    std::vector<AILayerHandle> fLayerOrder;
    std::set<std::string> fFailing;
};

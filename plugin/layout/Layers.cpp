// The layer record and the command "editLayer": adds, removes, edits and duplicates layers and
// places a layer relative to a target layer or object.
#include "layout/Layers.h"

#include <algorithm>
#include <cmath>

#include "art/ArtChanges.h"
#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "art/TagSearch.h"
#include "core/Failures.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"
#include "layout/LayoutRequest.h"
#include "layout/Lookups.h"

namespace {

constexpr const char* kCantAdd = "Can't add a layer";
constexpr const char* kCantFind = "Can't find a layer";
constexpr const char* kCantMove = "Can't move a layer";
constexpr const char* kCantRemove = "Can't remove a layer";

// Layer colours are 8 bits a channel in requests and 16 bits in the host: 255 becomes 65535.
constexpr int kChannelScale = 257;

std::optional<std::array<int, 3>> ReadColor(const json& request) {
    if (!HasKey(request, "color") || !request["color"].is_object()) {
        return std::nullopt;
    }
    const json& color = request["color"];
    std::array<int, 3> channels{};
    const char* keys[] = {"red", "green", "blue"};
    for (std::size_t i = 0; i < channels.size(); ++i) {
        if (!ReadJsonValue(color, keys[i], channels[i])) {
            return std::nullopt;
        }
    }
    return channels;
}

// A channel of 0 to 255 as 16 bits; values outside are taken to the nearest end rather than wrapped
// round into another colour.
ai::uint16 ToHostChannel(int channel) {
    return static_cast<ai::uint16>(std::clamp(channel, 0, 255) * kChannelScale);
}

// A yes-or-no property through one of the layer suite's getters; none when the host fails.
std::optional<bool> ReadFlag(AIErr (*getter)(AILayerHandle, AIBoolean*), AILayerHandle layer) {
    AIBoolean value = false;
    if (getter == nullptr || getter(layer, &value) != kNoErr) {
        return std::nullopt;
    }
    return value != 0;
}

std::optional<bool> Negated(const std::optional<bool>& value) {
    return value ? std::optional<bool>(!*value) : std::nullopt;
}

}  // namespace

Layer::Layer(const json& request) {
    if (HasKey(request, "newName")) {
        name = ReadNameStrictly(request, "newName");
    }
    color = ReadColor(request);
    locked = ReadOptionalBoolStrictly(request, "locked");
    hidden = Negated(ReadOptionalBoolStrictly(request, "visible"));
    isTemplate = ReadOptionalBoolStrictly(request, "template");
    print = ReadOptionalBoolStrictly(request, "print");
    preview = ReadOptionalBoolStrictly(request, "preview");
    if (const std::optional<double> percent = ReadOptionalNumberStrictly(request, "dimmedPercent")) {
        const double whole = std::trunc(*percent);
        if (whole >= -1.0 && whole <= 100.0) {
            dimmedPercent = static_cast<int>(whole);
        }
    }
}

Layer::Layer(AILayerHandle layer) {
    if (layer == nullptr || sAILayer == nullptr) {
        return;
    }
    dimmedPercent = -1;
    ai::UnicodeString title;
    if (sAILayer->GetLayerTitle(layer, title) == kNoErr) {
        name = title.as_UTF8();
    }
    AIRGBColor hostColor{};
    if (sAILayer->GetLayerColor(layer, &hostColor) == kNoErr) {
        color = std::array<int, 3>{hostColor.red / kChannelScale, hostColor.green / kChannelScale,
                                   hostColor.blue / kChannelScale};
    }
    locked = Negated(ReadFlag(sAILayer->GetLayerEditable, layer));
    hidden = Negated(ReadFlag(sAILayer->GetLayerVisible, layer));
    isTemplate = ReadFlag(sAILayer->GetLayerIsTemplate, layer);
    print = ReadFlag(sAILayer->GetLayerPrinted, layer);
    preview = ReadFlag(sAILayer->GetLayerPreview, layer);
    ai::int32 percent = 0;
    if (ReadFlag(sAILayer->GetLayerDimPlacedImages, layer).value_or(false) &&
        sAILayer->GetLayerDimmedPercent(layer, &percent) == kNoErr) {
        dimmedPercent = percent;
    }
}

void Layer::AddToLayer(AILayerHandle layer) const {
    if (layer == nullptr || sAILayer == nullptr) {
        return;
    }
    if (name) {
        sAILayer->SetLayerTitle(layer, ai::UnicodeString(*name, kAIUTF8CharacterEncoding));
    }
    if (color) {
        sAILayer->SetLayerColor(layer, AIRGBColor{ToHostChannel((*color)[0]), ToHostChannel((*color)[1]),
                                                  ToHostChannel((*color)[2])});
    }
    if (locked) {
        sAILayer->SetLayerEditable(layer, !*locked);
    }
    if (hidden) {
        sAILayer->SetLayerVisible(layer, !*hidden);
    }
    if (isTemplate) {
        sAILayer->SetLayerIsTemplate(layer, *isTemplate);
    }
    if (print) {
        sAILayer->SetLayerPrinted(layer, *print);
    }
    if (preview) {
        sAILayer->SetLayerPreview(layer, *preview);
    }
    if (!dimmedPercent) {
        return;
    }
    if (*dimmedPercent == -1) {
        sAILayer->SetLayerDimPlacedImages(layer, false);
    } else if (*dimmedPercent >= 0 && *dimmedPercent <= 100 &&
               sAILayer->SetLayerDimPlacedImages(layer, true) == kNoErr) {
        sAILayer->SetLayerDimmedPercent(layer, *dimmedPercent);
    }
}

ArtObject* GetLayerArt(AILayerHandle layer) {
    ArtObject* art = nullptr;
    // A null layer would name the current layer to the host: it names none here.
    if (layer == nullptr || sAIArt == nullptr || sAIArt->GetFirstArtOfLayer(layer, &art) != kNoErr) {
        return nullptr;
    }
    return art;
}

namespace {

struct EditLayerRequest {
    std::string mode;
    std::string layerName;
    int layerNumber = -1;
    int location = 0;
    std::string targetLayer;
    int targetLayerNumber = -1;
    std::string targetTagSearch;
};

EditLayerRequest ReadEditLayerRequest(const json& request) {
    EditLayerRequest edit;
    edit.mode = ReadTextStrictly(request, "mode");
    edit.layerName = ReadNameStrictly(request, "layerName");
    edit.layerNumber = ReadIntegerStrictly(request, "layerNumber", -1);
    edit.location = GetNumLocation(ReadTextStrictly(request, "location", "above"));
    edit.targetLayer = ReadNameStrictly(request, "targetLayer");
    edit.targetLayerNumber = ReadIntegerStrictly(request, "targetLayerNumber", -1);
    edit.targetTagSearch = ReadTextStrictly(request, "targetTagSearch");
    return edit;
}

AILayerHandle LayerOfArt(ArtObject* art) {
    AILayerHandle layer = nullptr;
    if (sAIArt == nullptr || sAIArt->GetLayerOfArt(art, &layer) != kNoErr) {
        return nullptr;
    }
    return layer;
}

bool IsLayerGroupStrictly(ArtObject* art) {
    AIBoolean isLayerGroup = false;
    return sAIArt != nullptr && sAIArt->IsArtLayerGroup(art, &isLayerGroup) == kNoErr && isLayerGroup;
}

// Whether a found object can stand as the target of the placement: a layer group for the "inside"
// placements, an object directly in a layer group for "above" and "below".
bool CanTarget(ArtObject* art, int location) {
    if (location == kPlaceInsideOnTop || location == kPlaceInsideOnBottom) {
        return IsLayerGroupStrictly(art);
    }
    if (location == kPlaceAbove || location == kPlaceBelow) {
        const std::optional<ArtObject*> parent = hostart::Parent(art);
        return parent && *parent != nullptr && IsLayerGroupStrictly(*parent);
    }
    return true;
}

// The target of the placement, or null without one. A target layer or query that is given and names
// nothing sets the error text: the layer then never goes to the top of the list instead.
ArtObject* FindTarget(const EditLayerRequest& edit, const char*& error) {
    error = nullptr;
    if (edit.location == 0) {
        return nullptr;
    }
    AILayerHandle targetLayer = nullptr;
    const bool layerFound = FindAskedLayer(edit.targetLayerNumber, edit.targetLayer, targetLayer);
    ArtObject* targetLayerArt = GetLayerArt(targetLayer);
    if (!layerFound || (targetLayer != nullptr && targetLayerArt == nullptr)) {
        error = kCantFind;
        return nullptr;
    }
    const ArtList found = edit.targetTagSearch.empty() ? ArtList{} : SearchTaggedArt(edit.targetTagSearch);
    if (targetLayerArt != nullptr && edit.targetTagSearch.empty()) {
        return targetLayerArt;
    }
    ArtObject* target = nullptr;
    for (ArtObject* art : found) {
        if (targetLayerArt == nullptr || LayerOfArt(art) == targetLayer) {
            target = art;
            break;
        }
    }
    if (!edit.targetTagSearch.empty() && target == nullptr) {
        error = kNoArtworkFound;
        return nullptr;
    }
    return target != nullptr && CanTarget(target, edit.location) ? target : nullptr;
}

// Whether the art is the root or lies below it.
bool IsAtOrBelow(ArtObject* art, ArtObject* root) {
    for (int depth = 0; art != nullptr && depth < 10000; ++depth) {
        if (art == root) {
            return true;
        }
        const std::optional<ArtObject*> parent = hostart::Parent(art);
        if (!parent) {
            return false;
        }
        art = *parent;
    }
    return false;
}

ArtObject* LayerArtAt(int position) {
    AILayerHandle layer = nullptr;
    if (position < 0 || sAILayer->GetNthLayer(position, &layer) != kNoErr) {
        return nullptr;
    }
    return GetLayerArt(layer);
}

// Moves the layer's art to the placement; false when the host refuses or the placement would put
// the layer into itself.
bool MoveLayer(ArtObject* layerArt, ArtObject* target, int location) {
    if (target != nullptr && location >= kPlaceAbove && location <= kPlaceInsideOnBottom) {
        // A layer can't go next to or inside itself or its own sublayers, nor deeper than a document
        // may nest: refused before the host sees it.
        const std::optional<int> depth = DepthOfPlacement(static_cast<ai::int16>(location), target);
        return !IsAtOrBelow(target, layerArt) && depth && FitsAtDepth(layerArt, *depth) &&
               sAIArt->ReorderArt(layerArt, location, target) == kNoErr;
    }
    if (location == kPlaceAboveAll || location == kPlaceBelowAll) {
        ai::int32 count = 0;
        if (location == kPlaceBelowAll && (sAILayer->CountLayers(&count) != kNoErr || count < 1)) {
            return false;
        }
        ArtObject* reference = LayerArtAt(location == kPlaceAboveAll ? 0 : count - 1);
        if (reference == nullptr) {
            return false;
        }
        // The layer that is already the first (last) one stays where it is.
        if (reference == layerArt) {
            return true;
        }
        return sAIArt->ReorderArt(layerArt, location == kPlaceAboveAll ? kPlaceAbove : kPlaceBelow,
                                  reference) == kNoErr;
    }
    return true;
}

class EditLayerCommand {
public:
    EditLayerCommand(const json& request, json& reply)
        : fRequest(request), fReply(reply), fEdit(ReadEditLayerRequest(request)) {}

    void Run() {
        static const std::array<std::string, 5> kModes{"add", "remove", "edit", "addEdit", "duplicate"};
        if (std::find(kModes.begin(), kModes.end(), fEdit.mode) == kModes.end()) {
            return Fail(kNoValidMode);
        }
        if (sAILayer == nullptr || sAIArt == nullptr) {
            return Fail(kCantFind);
        }
        std::string mode = fEdit.mode;
        if (mode == "addEdit") {
            mode = GetLayer(fEdit.layerNumber, fEdit.layerName) != nullptr ? "edit" : "add";
        }
        if (mode == "remove") {
            return Remove();
        }
        fRecord = Layer(fRequest);
        const char* targetError = nullptr;
        ArtObject* target = FindTarget(fEdit, targetError);
        if (targetError != nullptr) {
            return Fail(targetError);
        }
        if (mode == "add") {
            return Add(target);
        }
        EditOrDuplicate(target, mode == "duplicate");
    }

private:
    void Fail(const std::string& message) { fReply["error"] = message; }

    void Add(ArtObject* target) {
        AILayerHandle added = nullptr;
        AIErr error = kNoErr;
        if (target != nullptr && fEdit.location != 0) {
            const std::optional<int> depth = DepthOfPlacement(static_cast<ai::int16>(fEdit.location), target);
            if (!depth || *depth > kAIMaxArtDepth) {
                return Fail(kCantAdd);
            }
            error = sAILayer->InsertLayerAtArt(target, static_cast<ai::int16>(fEdit.location), &added);
        } else {
            const bool bottom = fEdit.location == kPlaceBelow || fEdit.location == kPlaceInsideOnBottom ||
                                fEdit.location == kPlaceBelowAll;
            error = sAILayer->InsertLayer(nullptr, bottom ? kPlaceBelowAll : kPlaceAboveAll, &added);
        }
        if (error != kNoErr || added == nullptr) {
            return Fail(kCantAdd);
        }
        Layer record = fRecord;
        if (HasKey(fRequest, "layerName") && !HasKey(fRequest, "newName")) {
            record.name = fEdit.layerName;
        }
        record.AddToLayer(added);
    }

    void Remove() {
        AILayerHandle layer = GetLayer(fEdit.layerNumber, fEdit.layerName);
        if (layer == nullptr) {
            return Fail(kCantFind);
        }
        // The application keeps its last layer: a refusal is told, not taken for a removal.
        if (sAILayer->DeleteLayer(layer) != kNoErr) {
            Fail(kCantRemove);
        }
    }

    void EditOrDuplicate(ArtObject* target, bool duplicate) {
        AILayerHandle layer = GetLayer(fEdit.layerNumber, fEdit.layerName);
        ArtObject* layerArt = GetLayerArt(layer);
        if (layer == nullptr || layerArt == nullptr) {
            return Fail(kCantFind);
        }
        // The layer is moved before its properties change, so that a refused move leaves it as it
        // was; a copy that can't be moved goes again.
        ArtChanges made;
        if (duplicate) {
            ArtObject* copy = made.Duplicate(layerArt, kPlaceAbove, layerArt);
            layer = copy != nullptr ? LayerOfArt(copy) : nullptr;
            layerArt = copy;
            if (layer == nullptr) {
                return Fail(kCantMove);
            }
        }
        if (!MoveLayer(layerArt, target, fEdit.location)) {
            return Fail(kCantMove);
        }
        made.Keep();
        fRecord.AddToLayer(layer);
    }

    const json& fRequest;
    json& fReply;
    EditLayerRequest fEdit;
    // The layer's new properties, read before anything changes (in every mode but "remove"): a key
    // that can't be read fails the command with nothing added or moved.
    Layer fRecord;
};

}  // namespace

std::string PlimUtilsPlugin::EditLayer(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("editLayer", parsed);
    const EditLayerRequest echo = ReadEditLayerRequest(parsed);
    reply["layerName"] = echo.layerName;
    reply["targetLayer"] = echo.targetLayer;
    reply["targetTagSearch"] = echo.targetTagSearch;
    if (echo.layerNumber != -1) {
        reply["layerNumber"] = echo.layerNumber;
    }
    if (echo.targetLayerNumber != -1) {
        reply["targetLayerNumber"] = echo.targetLayerNumber;
    }
    EditLayerCommand(parsed, reply).Run();
    return DumpReply(reply);
}

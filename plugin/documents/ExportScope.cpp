#include "documents/ExportScope.h"

#include <algorithm>
#include <numeric>
#include <set>

#include "AIArt.h"
#include "AIDocument.h"
#include "IAIArtboards.hpp"
#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "art/TagSearch.h"
#include "core/Json.h"
#include "core/Suites.h"
#include "documents/HostDocuments.h"
#include "layout/Lookups.h"
#include "text/FitText.h"

namespace {

// Every container above the listed art, up to its layer group.
ArtHandleSet AncestorsOf(const ArtList& art) {
    ArtHandleSet ancestors;
    for (ArtObject* member : art) {
        std::optional<ArtObject*> parent = hostart::Parent(member);
        for (int depth = 0; parent && *parent != nullptr && depth < kAIMaxArtDepth; ++depth) {
            if (!ancestors.insert(*parent).second) {
                break;  // the rest of the way up is in already
            }
            parent = hostart::Parent(*parent);
        }
    }
    return ancestors;
}

void DisposeArt(ArtObject* art) {
    if (sAIArt->DisposeArt(art) == kNoErr) {
        return;
    }
    // Some parts of a text frame can't go alone; the frame goes instead.
    const std::optional<ArtObject*> parent = hostart::Parent(art);
    if (parent && *parent != nullptr && hostart::IsOfType(*parent, kTextFrameArt)) {
        sAIArt->DisposeArt(*parent);
    }
}

// Disposes of the children of the container that are neither listed nor hold listed art; goes on
// into those that hold it.
void KeepListedBelow(ArtObject* container, const ArtHandleSet& listed, const ArtHandleSet& ancestors,
                     int depth) {
    if (depth >= kAIMaxArtDepth) {
        return;
    }
    for (ArtObject* child : hostart::Children(container)) {
        // A clipping path stays with the art it clips.
        if (listed.contains(child) || hostart::HasUserAttr(child, kArtIsClipMask)) {
            continue;
        }
        if (ancestors.contains(child) || hostart::IsLayerGroup(child)) {
            KeepListedBelow(child, listed, ancestors, depth + 1);
            continue;
        }
        DisposeArt(child);
    }
}

bool LayerHidden(AILayerHandle layer) {
    AIBoolean visible = true;
    return sAILayer->GetLayerVisible(layer, &visible) == kNoErr && !visible;
}

AIDocumentHandle CurrentDocumentOrNull() {
    return sAIDocument != nullptr ? GetCurrentDocument() : nullptr;
}

}  // namespace

ArtList GetArtToExport(const json& job) {
    const std::string range = ReadTextStrictly(job, "artboardRange");
    const bool selected = ReadBoolStrictly(job, "exportSelected", false);
    const std::string tagSearch = ReadTextStrictly(job, "tagSearch");
    if (!range.empty()) {
        // Top objects only, already in paint order: none lies inside another.
        return ArtboardRangeToArtVector(range);
    }
    ArtList art;
    if (tagSearch.empty()) {
        art = selected ? GetAllSelectedObjects(false) : GetAllObjects(false);
    } else {
        art = SearchTaggedArt(tagSearch);
    }
    return SortArtByPaintOrder(RemoveLeaves2(art), false);
}

std::vector<AILayerHandle> GetLayersToExport(const ArtList& art) {
    std::vector<AILayerHandle> layers;
    for (ArtObject* member : art) {
        AILayerHandle layer = GetArtTopLayer(member);
        if (layer != nullptr && std::find(layers.begin(), layers.end(), layer) == layers.end()) {
            layers.push_back(layer);
        }
    }
    return layers;
}

bool RemoveNonListedArt(const ArtList& art) {
    const ArtHandleSet listed(art.begin(), art.end());
    const ArtHandleSet ancestors = AncestorsOf(art);
    for (AILayerHandle layer : GetTopLayers()) {
        AIArtHandle group = nullptr;
        if (sAIArt->GetFirstArtOfLayer(layer, &group) == kNoErr && group != nullptr) {
            KeepListedBelow(group, listed, ancestors, 0);
        }
    }
    return true;
}

bool RemoveNonListedLayers(const std::vector<AILayerHandle>& layers) {
    std::vector<AILayerHandle> doomed;
    for (AILayerHandle layer : GetTopLayers()) {
        if (std::find(layers.begin(), layers.end(), layer) == layers.end() || LayerHidden(layer)) {
            doomed.push_back(layer);
        }
    }
    for (AILayerHandle layer : doomed) {
        sAILayer->DeleteLayer(layer);
    }
    return true;
}

bool RemoveNonListedArtboards(const std::string& range) {
    std::vector<int> numbers;
    std::vector<std::string> names;
    if (!GetArtboardNumbersAndNames(range, numbers, names)) {
        return false;
    }
    ai::ArtboardList list;
    ArtboardID count = 0;
    if (!list.IsValid() || list.GetCount(count) != kNoErr || count < 1) {
        return false;
    }
    std::set<ArtboardID> remaining;
    for (ArtboardID index = 0; index < count; ++index) {
        remaining.insert(index);
    }
    for (int number : numbers) {
        remaining.erase(number);
    }
    if (remaining.empty()) {
        return true;
    }
    if (std::ssize(remaining) == count) {
        return false;
    }
    return list.Delete(std::vector<ArtboardID>(remaining.begin(), remaining.end())) == kNoErr;
}

SuspendedContext::SuspendedContext() : fDocument(CurrentDocumentOrNull()) {
    if (fDocument != nullptr && sAIAppContext != nullptr &&
        sAIAppContext->SuspendAppContext(fDocument, &fSuspended) != kNoErr) {
        fSuspended = nullptr;
    }
}

SuspendedContext::~SuspendedContext() {
    if (fDocument != nullptr && fSuspended != nullptr) {
        sAIAppContext->ResumeAppContext(fSuspended, fDocument);
    }
}

std::string ReadXAP() {
    const char* xmp = nullptr;
    if (sAIDocument == nullptr || sAIDocument->GetDocumentXAP(&xmp) != kNoErr || xmp == nullptr) {
        return {};
    }
    return xmp;
}

void FitJobText(const json& job) {
    std::string method;
    ReadJsonValue(job, "fittingMethod", method);
    if (!method.empty()) {
        FitText(json{{"fittingMethod", method}});
    }
}

bool CutDocumentToJob(const json& job, const ArtList& selectedArt, std::string& error) {
    const std::string range = ReadTextStrictly(job, "artboardRange");
    const bool exportSelected = ReadBoolStrictly(job, "exportSelected", false);
    ArtList art;
    {
        InnerContext inner;
        art = exportSelected ? selectedArt : GetArtToExport(job);
    }
    if (art.empty()) {
        error = "Can't find an art to export";
        return false;
    }
    const std::vector<AILayerHandle> layers = GetLayersToExport(art);
    if (layers.empty()) {
        error = "Can't find layers to export";
        return false;
    }
    RemoveNonListedArt(art);
    RemoveNonListedLayers(layers);
    if (!range.empty() && !RemoveNonListedArtboards(range)) {
        error = "Can't remove artboards from the document";
        return false;
    }
    return true;
}

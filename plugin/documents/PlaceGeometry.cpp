#include "documents/PlaceGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string_view>

#include "AIFolders.h"
#include "AIGroup.h"
#include "AIPathStyle.h"
#include "AIShapeConstruction.h"
#include "AITextFrame.h"
#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "core/Suites.h"
#include "core/TextHelpers.h"
#include "documents/FileHelpers.h"
#include "documents/HostDocuments.h"
#include "layout/Reduce.h"
#include "layout/Structure.h"
#include "text/TextRanges.h"

namespace {

constexpr std::array<std::string_view, 14> kVectorExtensions{
    "ai", "ait", "pdf", "dwg", "dxf", "cgm", "cdr", "eps", "epsf", "ps", "emf", "svg", "svgz", "wmf"};
constexpr std::array<std::string_view, 25> kRasterExtensions{
    "gif", "jpg", "jpe", "jpeg", "jpf", "jpx", "jp2", "j2k", "j2c", "jpc", "pic", "pct", "pcx",
    "psd", "psb", "pdd", "pxr",  "png", "pns", "tga", "vda", "icb", "vst", "tif", "tiff"};
constexpr std::array<std::string_view, 4> kTextExtensions{"txt", "rtf", "doc", "docx"};

template <std::size_t N>
bool Holds(const std::array<std::string_view, N>& set, const std::string& extension) {
    for (std::string_view each : set) {
        if (each == extension) {
            return true;
        }
    }
    return false;
}

std::optional<AIRealRect> Bounds(ArtObject* art, bool visible) {
    AIRealRect bounds{};
    if (sAIArt->GetArtTransformBounds(art, nullptr, visible ? kVisibleBounds : kNoStrokeBounds, &bounds) !=
        kNoErr) {
        return std::nullopt;
    }
    return bounds;
}

// Moves the art directly above the target; false on failure.
bool MoveAbove(ArtObject* art, ArtObject* target) {
    return sAIArt->ReorderArt(art, kPlaceAbove, target) == kNoErr;
}

bool IsShapeType(ai::int16 type) {
    return type == kGroupArt || type == kPathArt || type == kCompoundPathArt;
}

// Every clipped group of the art's tree is replaced by its clipping path, outer groups first; the
// art itself may be one, and is then replaced too.
bool ReplaceClipGroupsByPaths(ArtObject*& art) {
    for (ArtObject* group : GetObjectsTree(art)) {
        AIBoolean valid = sAIArt->ValidArt(group, false);
        ArtObject* mask = valid ? FindClippingMask(group) : nullptr;
        if (mask == nullptr) {
            continue;
        }
        if (!MoveAbove(mask, group) || !hostart::SetUserAttr(mask, kArtIsClipMask, false) ||
            sAIArt->DisposeArt(group) != kNoErr) {
            return false;
        }
        if (group == art) {
            art = mask;
        }
    }
    return true;
}

// A copy of a text frame's path placed above it; null for text without a frame path (point text).
ArtObject* CopyFramePath(ArtObject* frame) {
    ArtObject* path = nullptr;
    ArtObject* copy = nullptr;
    if (sAITextFrame->GetPathObject(frame, &path) != kNoErr || path == nullptr ||
        sAIArt->DuplicateArt(path, kPlaceAbove, frame, &copy) != kNoErr) {
        return nullptr;
    }
    return copy;
}

// What stands in for a part that is not a group, path or compound path: a text frame's path, or
// the rectangle of the part's geometric bounds.
ArtObject* ShapeReplacement(ArtObject* part, ai::int16 type) {
    ArtObject* framePath = type == kTextFrameArt ? CopyFramePath(part) : nullptr;
    return framePath != nullptr ? framePath : MakeBounds(part, false);
}

// A shape in place of every part that is not a group, path or compound path; the art itself may be
// one, and is then replaced too.
bool ReplaceOtherPartsByShapes(ArtObject*& art) {
    for (ArtObject* part : GetObjectsTree(art)) {
        const std::optional<ai::int16> type = hostart::Type(part);
        if (type && IsShapeType(*type)) {
            continue;
        }
        ArtObject* replacement = type ? ShapeReplacement(part, *type) : nullptr;
        if (sAIArt->DisposeArt(part) != kNoErr) {
            return false;
        }
        if (replacement == nullptr) {
            continue;
        }
        ReduceArtToBasicAppearance(replacement, false);
        if (part == art) {
            art = replacement;
        }
    }
    return true;
}

}  // namespace

std::string FileType(const std::string& path) {
    const std::string extension = AsciiLowerCase(StringPathExtension(path));
    if (Holds(kVectorExtensions, extension)) {
        return "vector";
    }
    if (Holds(kRasterExtensions, extension)) {
        return "raster";
    }
    return Holds(kTextExtensions, extension) ? "text" : std::string();
}

bool SwapPlaced(ArtObject* art, const std::string& file, bool embed, ai::PlaceMethod method,
                ai::PlaceAlignment alignment, ArtObject*& newArt, bool clip) {
    const std::string extension = AsciiLowerCase(StringPathExtension(file));
    if (extension == "svg" || FileType(file) == "text") {
        embed = true;
    }
    if (sAIPlaced == nullptr) {
        return false;
    }
    AIPlaceRequestData request;
    if (art != nullptr) {
        ai::int32 attributes = 0;
        const std::optional<ai::int16> type = hostart::Type(art);
        if (sAIArt->GetArtUserAttr(art, kArtLocked | kArtHidden, &attributes) != kNoErr || attributes != 0 ||
            !type || (*type != kRasterArt && *type != kPlacedArt) ||
            sAIPlaced->SetPlaceOptions(art, method, alignment, clip) != kNoErr) {
            return false;
        }
        request.m_lPlaceMode = kForceReplace;
        request.m_hOldArt = art;
    }
    const ai::FilePath path(file);
    request.m_pFilePath = &path;
    request.m_filemethod = embed ? 0 : 1;
    {
        InteractionOff quiet;
        if (sAIPlaced->ExecPlaceRequest(request) != kNoErr) {
            return false;
        }
    }
    newArt = request.m_hNewArt;
    if (extension == "ai" || extension == "pdf") {
        if (ArtObject* content = RemovePDFClipping(newArt)) {
            newArt = content;
        }
    }
    return true;
}

ArtObject* RemoveClippingMask(ArtObject* art) {
    if (!hostart::IsOfType(art, kGroupArt)) {
        return art;
    }
    AIBoolean clipped = false;
    if (sAIGroup->GetGroupClipped(art, &clipped) != kNoErr || !clipped) {
        return nullptr;
    }
    const ArtList children = hostart::Children(art);
    ArtObject* mask = nullptr;
    for (ArtObject* child : children) {
        if (hostart::HasUserAttr(child, kArtIsClipMask)) {
            mask = child;
        }
    }
    if (mask == nullptr || children.size() < 2 || sAIArt->DisposeArt(mask) != kNoErr) {
        return nullptr;
    }
    if (children.size() == 2) {
        ArtObject* remaining = children.front() == mask ? children.back() : children.front();
        return MoveAbove(remaining, art) && sAIArt->DisposeArt(art) == kNoErr ? remaining : nullptr;
    }
    return sAIGroup->SetGroupClipped(art, false) == kNoErr ? art : nullptr;
}

ArtObject* RemovePDFClipping(ArtObject* art) {
    if (!hostart::IsOfType(art, kGroupArt) || hostart::Children(art).size() != 1) {
        return nullptr;
    }
    ArtList content;
    if (!UngroupArt(art, content) || content.size() != 1) {
        return nullptr;
    }
    ArtObject* child = content.front();
    ArtObject* result = RemoveClippingMask(child);
    if (result == nullptr) {
        return child;  // the content, still live
    }
    if (result != child) {
        return result;
    }
    for (ArtObject* member : hostart::Children(result)) {
        RemoveClippingMask(member);
    }
    const ArtList members = hostart::Children(result);
    if (members.size() == 1) {
        ArtList single;
        return UngroupArt(result, single) && single.size() == 1 ? single.front() : result;
    }
    return result;
}

ArtObject* MakeBounds(ArtObject* art, bool visible) {
    const std::optional<AIRealRect> bounds = Bounds(art, visible);
    ArtObject* rectangle = nullptr;
    if (!bounds || sAIShapeConstruction == nullptr || sAIArt->SetInsertionPoint(art) != kNoErr ||
        sAIShapeConstruction->NewRect(bounds->top, bounds->left, bounds->bottom, bounds->right, false,
                                      &rectangle) != kNoErr) {
        return nullptr;
    }
    return rectangle;
}

bool ConvertToPath(ArtObject*& art) {
    ArtObject* copy = nullptr;
    if (sAIArt->DuplicateArt(art, kPlaceAbove, art, &copy) != kNoErr || copy == nullptr ||
        !ReplaceClipGroupsByPaths(copy) || sAIArt->DisposeArt(art) != kNoErr) {
        return false;
    }
    art = copy;
    return ReplaceOtherPartsByShapes(art);
}

ArtObject* UniteArt(ArtObject* art) {
    if (hostart::IsOfType(art, kPathArt)) {
        return art;
    }
    std::string error;
    return Pathfinder2({art}, "unite", error);
}

ArtObject* CopyToGroup(const ArtList& list) {
    ArtObject* group = nullptr;
    if (sAIArt->NewArt(kGroupArt, kPlaceAboveAll, nullptr, &group) != kNoErr || group == nullptr) {
        return nullptr;
    }
    bool copied = false;
    for (ArtObject* art : list) {
        ArtObject* copy = nullptr;
        if (sAIArt->DuplicateArt(art, kPlaceInsideOnTop, group, &copy) == kNoErr && copy != nullptr) {
            copied = ConvertToPath(copy) || copied;
        }
    }
    if (!copied) {
        sAIArt->DisposeArt(group);
        return nullptr;
    }
    return group;
}

ArtObject* CopyToCompoundPath(ArtObject* art) {
    const std::optional<ai::int16> type = hostart::Type(art);
    ArtObject* copy = nullptr;
    if (type == kPathArt || type == kCompoundPathArt) {
        return sAIArt->DuplicateArt(art, kPlaceAbove, art, &copy) == kNoErr ? copy : nullptr;
    }
    if (type != kGroupArt || sAIArt->NewArt(kCompoundPathArt, kPlaceAboveAll, nullptr, &copy) != kNoErr) {
        return nullptr;
    }
    for (ArtObject* child : hostart::Children(art)) {
        ArtObject* member = nullptr;
        sAIArt->DuplicateArt(child, kPlaceInsideOnTop, copy, &member);
    }
    return copy;
}

AILayerHandle MoveToTemplateLayer(ArtObject* art) {
    AILayerHandle layer = nullptr;
    ArtObject* group = nullptr;
    constexpr ai::int32 kTemplateDimming = 50;
    if (sAILayer->InsertLayer(nullptr, kPlaceAboveAll, &layer) != kNoErr ||
        sAIArt->GetFirstArtOfLayer(layer, &group) != kNoErr ||
        sAIArt->ReorderArt(art, kPlaceInsideOnTop, group) != kNoErr ||
        sAILayer->SetLayerIsTemplate(layer, true) != kNoErr ||
        sAILayer->SetLayerEditable(layer, false) != kNoErr ||
        sAILayer->SetLayerDimPlacedImages(layer, true) != kNoErr ||
        sAILayer->SetLayerDimmedPercent(layer, kTemplateDimming) != kNoErr) {
        return nullptr;
    }
    return layer;
}

AIPatternHandle NameToPattern(const std::string& name) {
    if (name.empty()) {
        return nullptr;
    }
    const ai::UnicodeString text = ai::UnicodeString::FromUTF8(name);
    AIPatternHandle symbol = nullptr;
    if (sAISymbol->GetSymbolByName(text, &symbol) == kNoErr && symbol != nullptr) {
        return symbol;
    }
    ai::FilePath folder;
    if (sAIFolders->FindFolder(kAIArrowheadsFolderType, false, folder) != kNoErr) {
        return nullptr;
    }
    const std::string library = AddNameToPath(folder.GetFullPathUTF8(), "Arrowheads.ai");
    if (!IsRegularFile(library)) {
        return nullptr;
    }
    AIDocumentHandle document = nullptr;
    AIPatternHandle found = nullptr;
    AIPatternHandle current = nullptr;
    if (sAIPathStyle->ImportStyles(ai::FilePath(library), &document) != kNoErr || document == nullptr ||
        sAISymbol->GetSymbolByNameFromDocument(text, &found, document) != kNoErr || found == nullptr ||
        sAISymbol->RetargetForCurrentDocument(found, &current) != kNoErr) {
        return nullptr;
    }
    return current;
}

ArtObject* PlaceSymbolInstance(AIPatternHandle symbol, AIRealPoint centre) {
    ArtObject* instance = nullptr;
    if (sAISymbol->NewInstanceAtLocation(symbol, centre, kPlaceAboveAll, nullptr, &instance) != kNoErr) {
        return nullptr;
    }
    return instance;
}

bool CreateNewSymbol(ArtObject*& art, const std::string& name, const std::string& file) {
    AIPatternHandle symbol = nullptr;
    AIRealRect bounds{};
    if (sAIArt->GetArtBounds(art, &bounds) != kNoErr ||
        sAISymbol->NewSymbolPatternFromArt(&symbol, art, kSymbolCenterPoint, kGraphicType, false) != kNoErr ||
        symbol == nullptr) {
        return false;
    }
    const std::string symbolName = name.empty() ? std::filesystem::path(file).stem().string() : name;
    if (!symbolName.empty()) {
        sAISymbol->SetSymbolPatternName(symbol, ai::UnicodeString::FromUTF8(symbolName));
    }
    sAIArt->DisposeArt(art);
    art = PlaceSymbolInstance(symbol, {(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2});
    return art != nullptr;
}

namespace {

struct Placed {
    ArtObject* art;
    AIRealRect bounds;
};

// The group's paths in the order text flows through them: sorted by left edge and cut into columns
// (a path whose left edge is further than a tenth of the column's mean width from the column's mean
// left edge, itself included, starts a new column), each column top first.
std::vector<ArtObject*> ColumnOrder(ArtObject* group) {
    std::vector<Placed> paths;
    for (ArtObject* child : hostart::Children(group)) {
        AIRealRect bounds{};
        if (hostart::IsOfType(child, kPathArt) && sAIArt->GetArtBounds(child, &bounds) == kNoErr) {
            paths.push_back({child, bounds});
        }
    }
    std::stable_sort(paths.begin(), paths.end(),
                     [](const Placed& a, const Placed& b) { return a.bounds.left < b.bounds.left; });
    std::vector<std::vector<Placed>> columns;
    double sumLeft = 0;
    double sumWidth = 0;
    for (const Placed& path : paths) {
        const double count = columns.empty() ? 0.0 : static_cast<double>(columns.back().size());
        const double meanLeft = (sumLeft + path.bounds.left) / (count + 1);
        const double meanWidth = (sumWidth + path.bounds.right - path.bounds.left) / (count + 1);
        if (columns.empty() || std::abs(path.bounds.left - meanLeft) > 0.1 * meanWidth) {
            columns.emplace_back();
            sumLeft = 0;
            sumWidth = 0;
        }
        columns.back().push_back(path);
        sumLeft += path.bounds.left;
        sumWidth += path.bounds.right - path.bounds.left;
    }
    std::vector<ArtObject*> order;
    for (std::vector<Placed>& column : columns) {
        std::stable_sort(column.begin(), column.end(),
                         [](const Placed& a, const Placed& b) { return a.bounds.top > b.bounds.top; });
        for (const Placed& path : column) {
            order.push_back(path.art);
        }
    }
    return order;
}

// A new area text frame in the path, continuing the base frame's thread when one is given.
ArtObject* AreaTextIn(ArtObject* path, ArtObject* baseFrame) {
    ArtObject* frame = nullptr;
    if (sAITextFrame->NewInPathText(kPlaceAbove, path, kHorizontalTextOrientation, path, baseFrame, &frame) !=
        kNoErr) {
        return nullptr;
    }
    return frame;
}

}  // namespace

ArtObject* MakeTextContainer(ArtObject* art, ATE::ITextRange& range) {
    switch (hostart::Type(art).value_or(kUnknownArt)) {
        case kTextFrameArt:
            ArtToTextRange(art, range);
            return nullptr;
        case kPathArt: {
            ArtObject* frame = AreaTextIn(art, nullptr);
            return frame != nullptr && ArtToTextRange(frame, range) ? frame : nullptr;
        }
        case kGroupArt: {
            ArtObject* previous = nullptr;
            ArtObject* first = nullptr;
            for (ArtObject* path : ColumnOrder(art)) {
                if ((previous = AreaTextIn(path, previous)) == nullptr) {
                    return nullptr;
                }
                first = first != nullptr ? first : previous;
            }
            return first != nullptr && ArtToTextRange(first, range) ? art : nullptr;
        }
        default:
            return nullptr;
    }
}

ArtObject* GetTopObject(AILayerHandle layer) {
    ArtObject* group = nullptr;
    if (sAIArt->GetFirstArtOfLayer(layer, &group) != kNoErr || group == nullptr) {
        return nullptr;
    }
    return hostart::FirstChild(group).value_or(nullptr);
}

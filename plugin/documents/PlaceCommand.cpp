// The "place" command: puts one content (a file, a copy of tagged art, or text) into the container
// art that a tag query finds. Raster and placed containers can have their file swapped; every
// other container is replaced by the content fitted, aligned and clipped to its shape.
#include <limits>
#include <string>
#include <vector>

#include "AIMatchingArt.h"
#include "appearance/GStyle.h"
#include "art/ArtTree.h"
#include "art/HostArt.h"
#include "art/TagSearch.h"
#include "art/Tags.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"
#include "documents/FileHelpers.h"
#include "documents/PlaceGeometry.h"
#include "layout/Lookups.h"
#include "layout/Reduce.h"
#include "layout/Structure.h"
#include "text/TextFeatures.h"
#include "text/TextRanges.h"

namespace {

constexpr const char* kFilePathNotFound = "filePath not found";

// The request, read once; every key is optional, and a key of another JSON type fails the command
// with an error naming it.
struct PlaceRequest {
    std::string tagSearch;
    std::string filePath;  // "~" expanded
    std::string file;      // the file found for filePath; empty when none is
    std::string fileKind;  // FileType of the file
    std::string textToPlace;
    bool plainText = false;
    bool outlineText = false;
    TextFeatures textFeatures;  // applied to the placed text when any feature is set
    ai::PlaceMethod method = kReconform;
    ai::PlaceAlignment alignment = 4;
    bool clipping = true;
    bool keepBackground = false;
    bool usePreviewBounds = true;
    bool unite = false;
    std::string symbolName;
    bool placeAsSymbol = false;
    std::string mode;
    bool embed = false;
    bool addBoundingBox = false;
    bool placeAsTemplate = false;
    TagSet tags;
    bool deselectArt = true;
    std::string placeTagSearch;
    bool keepOriginal = true;
    std::optional<bool> tagOriginal;
    std::string seriesTag;
    int seriesStart = 1;

    bool textPlacing() const { return fileKind == "text" || !textToPlace.empty(); }
    bool symbolPlacing() const { return !symbolName.empty() || placeAsSymbol; }
    // A symbol of the document (or of the arrowhead library) is placed when no file is found.
    bool symbolByName() const { return symbolPlacing() && !symbolName.empty() && file.empty(); }
    bool embedFlag() const { return symbolPlacing() || embed; }
};

// "original", "fill", "fit", "bounds"; anything else reconforms.
ai::PlaceMethod PlaceMethodNamed(const std::string& name) {
    constexpr std::pair<const char*, PlaceMethod> kMethods[] = {
        {"original", kAsIs}, {"fill", kFill}, {"fit", kFit}, {"bounds", kConform}};
    for (const auto& [text, method] : kMethods) {
        if (name == text) {
            return method;
        }
    }
    return kReconform;
}

// "image" and "bounds" or "mask" as asked; otherwise "image" for a raster file and "mask" for
// anything else; text files can't replace images.
std::string DecideMode(std::string mode, const std::string& fileKind) {
    if (mode != "image" && mode != "bounds" && mode != "mask") {
        mode = fileKind == "raster" ? "image" : "mask";
    }
    return mode == "image" && fileKind == "text" ? "mask" : mode;
}

PlaceRequest ReadPlaceRequest(const json& parsed) {
    PlaceRequest place;
    place.tagSearch = ReadTextStrictly(parsed, "tagSearch");
    place.filePath = ExpandUserPath(ReadPathStrictly(parsed, "filePath"));
    place.textToPlace = ReadTextStrictly(parsed, "textToPlace");
    place.plainText = ReadBoolStrictly(parsed, "plainText", false);
    place.outlineText = ReadBoolStrictly(parsed, "outlineText", false);
    if (const json* features = FindKey(parsed, "textFeatures")) {
        if (!features->is_object()) {
            throw CommandError("\"textFeatures\" must be an object");
        }
        place.textFeatures = TextFeatures(*features);
        if (place.textFeatures.NamesAMissingStyle()) {
            throw CommandError(kNamedStyleNotFound);
        }
    }
    place.method = PlaceMethodNamed(ReadTextStrictly(parsed, "fittingMethod"));
    if (HasKey(parsed, "alignment")) {
        place.alignment = GetAlignment(ReadTextStrictly(parsed, "alignment"));
    }
    place.clipping = ReadBoolStrictly(parsed, "clipping", true);
    place.keepBackground = ReadBoolStrictly(parsed, "keepBackground", false);
    place.usePreviewBounds = ReadBoolStrictly(parsed, "usePreviewBounds", true);
    place.unite = ReadBoolStrictly(parsed, "unite", false);
    place.symbolName = ReadNameStrictly(parsed, "symbolName");
    place.placeAsSymbol = ReadBoolStrictly(parsed, "placeAsSymbol", false);
    place.mode = ReadBoolStrictly(parsed, "useBounds", false) ? "bounds" : "";
    place.mode = ReadTextStrictly(parsed, "mode", place.mode);
    place.embed = ReadBoolStrictly(parsed, "embed", false);
    place.addBoundingBox = ReadBoolStrictly(parsed, "addBoundingBox", false);
    place.placeAsTemplate = ReadBoolStrictly(parsed, "placeAsTemplate", false);
    for (const std::string& tag : ReadTextArrayStrictly(parsed, "tags")) {
        place.tags.insert(tag);
    }
    place.deselectArt = ReadBoolStrictly(parsed, "deselectArt", true);
    place.placeTagSearch = ReadTextStrictly(parsed, "placeTagSearch");
    place.keepOriginal = ReadBoolStrictly(parsed, "keepOriginal", true);
    if (HasKey(parsed, "tagOriginal")) {
        place.tagOriginal = ReadBoolStrictly(parsed, "tagOriginal", false);
    }
    place.seriesTag = ReadTextStrictly(parsed, "seriesTag");
    // Bounded so that the numbers of a whole series stay within the integer range.
    constexpr int kMaxSeriesStart = std::numeric_limits<int>::max() / 2;
    place.seriesStart = ReadIntegerStrictly(parsed, "seriesStart", 1);
    if (place.seriesStart < -kMaxSeriesStart || place.seriesStart > kMaxSeriesStart) {
        throw CommandError("\"seriesStart\" is out of range");
    }
    ai::FilePath found;
    if (!place.filePath.empty() && MakeAIFilePath(place.filePath, found)) {
        place.file = found.GetFullPathUTF8();
    }
    place.fileKind = FileType(place.file.empty() ? place.filePath : place.file);
    place.mode = DecideMode(place.mode, place.fileKind);
    return place;
}

// The finishing step of placing, taken on every way out once placing has begun: all art is
// deselected when the request asks for it.
class FinishPlacing {
public:
    explicit FinishPlacing(const PlaceRequest& place) : fDeselect(place.deselectArt) {}
    ~FinishPlacing() {
        if (fDeselect && sAIMatchingArt != nullptr) {
            sAIMatchingArt->DeselectAll();
        }
    }
    FinishPlacing(const FinishPlacing&) = delete;
    FinishPlacing& operator=(const FinishPlacing&) = delete;

private:
    bool fDeselect;
};

// With unite, the containers act as one: a new group of their path copies, carrying their tags,
// the request's tags and the series tag. Null when the group can't be made.
ArtObject* UniteContainers(const PlaceRequest& place, const ArtList& containers, int seriesOffset) {
    const TagSet tags = ReadTags(containers);
    ArtObject* group = CopyToGroup(containers);
    if (group == nullptr) {
        return nullptr;
    }
    WriteTags(group, tags);
    WriteTags(group, place.tags);
    if (!place.seriesTag.empty()) {
        WriteTags(group, {SerialTag(place.seriesTag, seriesOffset)});
    }
    return group;
}

// The one-point black stroke of a bounding box, applied as a style record to the first stroke. The
// box's reduced appearance holds no paint field at all, so the record adds the stroke where there is
// none and edits it where there is one.
constexpr const char* kBoundingBoxStyle =
    R"({"paintFields": [{"strokeIndex": 1, "mode": "addEdit", "color": {"channel_1": 0, "channel_2": 0,
    "channel_3": 0, "channel_4": 100, "colorSpace": "CMYK"}, "pFieldStroke": {"width": 1}}]})";

bool StrokeBlack(ArtObject* art) {
    bool ok = false;
    const GStyle style(json::parse(kBoundingBoxStyle), ok);
    return ok && style.AddToArt(art, true, true);
}

constexpr const char* kTextFeaturesRefused = "Can't apply the text features to the placed text";

// Gives the placed text the request's text features, when any is set. A step the text engine
// refuses leaves that feature as it was: the text itself is placed either way, and the reply's
// warning says that the features were not all applied.
void ApplyTextFeatures(const PlaceRequest& place, const ATE::ITextRange& range, json& reply) {
    if (!place.textFeatures.Check()) {
        return;
    }
    try {
        place.textFeatures.SetTextFeatures(range);
    } catch (const ATE::Exception&) {
        if (!reply.contains("warning")) {
            reply["warning"] = kTextFeaturesRefused;
        }
    }
}

// Puts the text into the range that flows through a text container: the request's text, or a copy
// of the placed content's story (with its common local features, or none with "plainText"). False
// when the text engine refuses.
bool FillTextRange(const PlaceRequest& place, ArtObject* content, const ATE::ITextRange& range, json& reply) {
    try {
        ATE::ITextRange target = range;
        if (!place.textToPlace.empty()) {
            const std::u16string units = ai::UnicodeString::FromUTF8(place.textToPlace).as_UTF16();
            target.InsertAfter(reinterpret_cast<const ASUnicode*>(units.data()),
                               static_cast<ASInt32>(units.size()));
            ApplyTextFeatures(place, target.GetStory().GetTextRange(), reply);
            return true;
        }
        ATE::ITextRange source;
        if (content == nullptr || !ArtToTextRange(content, source)) {
            return false;
        }
        std::u16string units(static_cast<std::size_t>(source.GetSize()), u'\0');
        source.GetContents(reinterpret_cast<ASUnicode*>(units.data()), static_cast<ASInt32>(units.size()));
        const ATE::ICharFeatures characters = source.GetUniqueLocalCharFeatures();
        const ATE::IParaFeatures paragraphs = source.GetUniqueLocalParaFeatures();
        target.InsertAfter(reinterpret_cast<const ASUnicode*>(units.data()),
                           static_cast<ASInt32>(units.size()));
        ATE::ITextRange whole = target.GetStory().GetTextRange();
        if (place.plainText) {
            whole.ClearLocalParaFeatures();
            whole.ClearLocalCharFeatures();
        } else {
            whole.ReplaceOrAddLocalParaFeatures(paragraphs);
            whole.ReplaceOrAddLocalCharFeatures(characters);
        }
        ApplyTextFeatures(place, target.GetStory().GetTextRange(), reply);
        return true;
    } catch (const ATE::Exception&) {
        return false;
    }
}

// The text flowed into one container's shape: the area text made from it, outlined with
// "outlineText". Null when the shape can't take text (with a warning when it is not made of groups,
// paths and text frames). The content is kept for the containers after this one.
ArtObject* PlaceTextIntoShape(const PlaceRequest& place, ArtObject* content, ArtObject* shape, json& reply) {
    if (!MadeFromArtOfType(shape, {kGroupArt, kPathArt, kTextFrameArt})) {
        reply["warning"] = "Text container must be a non-compound path or a text frame.";
        sAIArt->DisposeArt(shape);
        return nullptr;
    }
    ATE::ITextRange range;
    ArtObject* text = MakeTextContainer(shape, range);
    if (text == nullptr || !FillTextRange(place, content, range, reply)) {
        sAIArt->DisposeArt(text != nullptr ? text : shape);
        return nullptr;
    }
    return place.outlineText ? OutlineArt(text) : text;
}

// Image mode: every raster and placed container gets the file swapped in. The host makes a new
// object in the container's place, which takes over the container's tags and the name it was given
// (its UUID is the new object's own). Answers the containers that could not be swapped (they are
// served by the mask mode).
ArtList SwapImages(const PlaceRequest& place, const ArtList& containers, int seriesOffset) {
    ArtList placed;
    ArtList failed;
    for (ArtObject* container : containers) {
        const TagSet tags = ReadTags(container);
        std::string name;
        bool defaultName = true;
        const bool named = GetArtNameText(container, name, defaultName) && !defaultName;
        ArtObject* swapped = nullptr;
        if (!SwapPlaced(container, place.file, place.embedFlag(), place.method, place.alignment, swapped,
                        place.clipping) ||
            swapped == nullptr) {
            failed.push_back(container);
            continue;
        }
        if (named) {
            SetArtNameText(swapped, name);
        }
        WriteTags(swapped, tags);
        WriteTags(swapped, place.tags);
        hostart::SetUserAttr(swapped, kArtSelected, false);
        placed.push_back(swapped);
    }
    if (!place.seriesTag.empty()) {
        AddSeriesTagToArt(placed, place.seriesTag, seriesOffset);
    }
    return failed;
}

// The shape a container gives: its bounds rectangle, or a united compound path of its plain paths.
ArtObject* ContainerShape(const PlaceRequest& place, ArtObject* container) {
    if (place.mode == "bounds") {
        return MakeBounds(container, false);
    }
    ArtObject* copy = nullptr;
    if (sAIArt->DuplicateArt(container, kPlaceAboveAll, nullptr, &copy) != kNoErr || copy == nullptr ||
        !ConvertToPath(copy)) {
        return nullptr;
    }
    ArtObject* united = UniteArt(copy);
    if (united == nullptr) {
        sAIArt->DisposeArt(copy);
        return nullptr;
    }
    // Text flows into the united shape itself; art is clipped by a compound path of it.
    ArtObject* shape = place.textPlacing() ? united : CopyToCompoundPath(united);
    if (shape != united) {
        sAIArt->DisposeArt(united);
    }
    // The shape is the container's copy: its tags move to the result, not to the clipping path
    // inside it, so that a tag query finds the result once.
    if (shape != nullptr) {
        RemoveTags(shape);
    }
    return shape;
}

// The content fitted into one container's shape and clipped by it; null (with a warning) when it can't be.
ArtObject* PlaceIntoShape(const PlaceRequest& place, ArtObject* content, ArtObject* shape, json& reply) {
    ArtObject* copy = nullptr;
    if (sAIArt->DuplicateArt(content, kPlaceAboveAll, nullptr, &copy) != kNoErr || copy == nullptr) {
        reply["warning"] = "Can't duplicate a container art";
        sAIArt->DisposeArt(shape);
        return nullptr;
    }
    if (!TransformArtForClipping(copy, shape, static_cast<PlaceMethod>(place.method), place.alignment,
                                 place.usePreviewBounds)) {
        reply["warning"] = "Can't transform a container art for clipping";
        sAIArt->DisposeArt(copy);
        sAIArt->DisposeArt(shape);
        return nullptr;
    }
    ReduceArtToBasicAppearance(shape, place.keepBackground);
    if (place.clipping) {
        return CreateClipGroup(copy, shape);
    }
    sAIArt->DisposeArt(shape);
    return copy;
}

// The content: an instance of the symbol named when no file is found, a copy of the art to copy,
// or the file placed as new art (turned into a symbol and an instance of it with symbol placing). Null with
// an error in the reply when it can't be had; stop is set when the request ends with the content (bounding
// box, template).
ArtObject* MakeContent(const PlaceRequest& place, ArtObject* source, json& reply, bool& stop) {
    ArtObject* content = nullptr;
    if (place.symbolByName()) {
        AIPatternHandle symbol = NameToPattern(place.symbolName);
        content = symbol != nullptr ? PlaceSymbolInstance(symbol, {0, 0}) : nullptr;
        if (content == nullptr) {
            reply["error"] = "Cant't get a symbol by name";
        }
        return content;
    }
    if (source != nullptr) {
        if (sAIArt->DuplicateArt(source, kPlaceAboveAll, nullptr, &content) != kNoErr || content == nullptr) {
            reply["error"] = "Cant't duplicate an art specified by placeTagSearch";
            return nullptr;
        }
        if (place.tagOriginal.value_or(true) && !place.seriesTag.empty()) {
            WriteTags(source, {SerialTag(place.seriesTag, place.seriesStart)});
        }
        if (!place.keepOriginal && sAIArt->DisposeArt(source) != kNoErr) {
            reply["error"] = "Cant't remove an art specified by placeTagSearch";
            return nullptr;
        }
        return content;
    }
    if (!SwapPlaced(nullptr, place.file, place.embedFlag(), place.method, place.alignment, content,
                    place.clipping)) {
        reply["error"] = "Cant't place the image";
        return nullptr;
    }
    if (content == nullptr && (content = GetTopObject(nullptr)) == nullptr) {
        reply["error"] = "No image handle";
        return nullptr;
    }
    if (place.symbolPlacing()) {
        if (!CreateNewSymbol(content, place.symbolName, place.file)) {
            reply["error"] = "Can't create a symbol";
            return nullptr;
        }
        return content;
    }
    if (place.addBoundingBox) {
        stop = true;
        ArtObject* box = MakeBounds(content, true);
        if (box == nullptr || sAIArt->ReorderArt(box, kPlaceAbove, content) != kNoErr ||
            !ReduceArtToBasicAppearance(box, false)) {
            reply["error"] = "Can't add a bounding box";
        } else if (!StrokeBlack(box)) {
            reply["error"] = "Can't change stroke color";
        }
        return content;
    }
    if (place.placeAsTemplate) {
        stop = true;
        AILayerHandle layer = MoveToTemplateLayer(content);
        if (layer == nullptr) {
            reply["error"] = "Can't add an art as a template";
        } else if (const std::string title = "Template " + place.file.substr(place.file.rfind('/') + 1);
                   sAILayer->SetLayerTitle(layer, ai::UnicodeString::FromUTF8(title)) != kNoErr) {
            reply["error"] = "Can't set a name of a template";
        }
        return content;
    }
    return content;
}

// What the command acts on: the containers the tag query found (with text placing, those a text
// can go into), the art to copy, and the first number of the series tag.
struct PlaceTargets {
    ArtList containers;
    ArtObject* source = nullptr;
    int seriesOffset = 1;
};

// Finds the containers and the art to copy and checks what can be checked before the first change;
// false with the error in the reply.
bool FindPlaceTargets(const PlaceRequest& place, PlaceTargets& targets, json& reply) {
    targets.containers = place.tagSearch.empty() ? ArtList{} : SearchTaggedArt(place.tagSearch);
    if (!place.tagSearch.empty() && targets.containers.empty()) {
        reply["error"] = "Can't find an art specified by search string";
        return false;
    }
    const ArtList sources = place.placeTagSearch.empty() ? ArtList{} : SearchTaggedArt(place.placeTagSearch);
    if (!place.placeTagSearch.empty() && sources.empty()) {
        reply["error"] = "Can't find an art specified by placeTagSearch";
        return false;
    }
    targets.source = sources.empty() ? nullptr : sources.front();
    targets.seriesOffset =
        place.seriesStart + (place.tagOriginal.value_or(targets.source != nullptr) ? 1 : 0);

    const bool needsFile =
        !place.symbolByName() && targets.source == nullptr &&
        (place.textToPlace.empty() || (place.mode == "image" && !targets.containers.empty()));
    // A file named and not found is never replaced by a symbol, a copy or the text alone.
    const bool namedFileMissing = !place.filePath.empty() && place.file.empty();
    if (namedFileMissing ||
        (needsFile && !(place.mode == "image" && place.textPlacing()) && place.file.empty())) {
        reply["error"] = kFilePathNotFound;
        return false;
    }
    const auto takesNoText = [](ArtObject* container) {
        return !MadeFromArtOfType(container, {kGroupArt, kPathArt, kTextFrameArt});
    };
    if (place.textPlacing() && std::erase_if(targets.containers, takesNoText) != 0) {
        reply["warning"] = "Text container must be a non-compound path.";
    }
    return true;
}

// With no containers, the content stays where it was made: text features applied and outlined as asked, then
// tagged with the request's tags and the series tag.
void FinishLooseContent(const PlaceRequest& place, ArtObject* content, int seriesOffset, json& reply) {
    if (content == nullptr) {
        return;
    }
    if (ATE::ITextRange range; place.textPlacing() && place.textFeatures.Check()) {
        if (ArtToTextRange(content, range)) {
            ApplyTextFeatures(place, range, reply);
        }
    }
    if (place.textPlacing() && place.outlineText) {
        content = OutlineArt(content);
    }
    if (content != nullptr) {
        WriteTags(content, place.tags);
        if (!place.seriesTag.empty()) {
            WriteTags(content, {SerialTag(place.seriesTag, seriesOffset)});
        }
    }
}

// The content fitted into each container (the united group, with unite) above it, carrying the container's
// tags, the request's tags and the series tag; then the content and the containers that were served are
// removed (with unite, the originals found when the group was served, and the group itself).
void PlaceIntoContainers(const PlaceRequest& place, ArtObject* content, const ArtList& containers,
                         const ArtList& found, bool united, int seriesOffset, json& reply) {
    ArtList results;
    ArtList served;  // the containers that received a result: only these are removed
    for (ArtObject* container : containers) {
        const TagSet tags = ReadTags(container);
        ArtObject* shape = ContainerShape(place, container);
        ArtObject* result = shape == nullptr      ? nullptr
                            : place.textPlacing() ? PlaceTextIntoShape(place, content, shape, reply)
                                                  : PlaceIntoShape(place, content, shape, reply);
        if (result == nullptr) {
            continue;
        }
        WriteTags(result, tags);
        WriteTags(result, place.tags);
        if (sAIArt->ReorderArt(result, kPlaceAbove, container) != kNoErr) {
            sAIArt->ReorderArt(result, kPlaceAboveAll, nullptr);
        }
        results.push_back(result);
        served.push_back(container);
    }
    if (!place.seriesTag.empty()) {
        AddSeriesTagToArt(results, place.seriesTag, seriesOffset);
    }

    if (content != nullptr) {
        sAIArt->DisposeArt(content);
    }
    if (united && !served.empty()) {
        for (ArtObject* container : found) {
            sAIArt->DisposeArt(container);
        }
    }
    for (ArtObject* container : united ? containers : served) {
        sAIArt->DisposeArt(container);
    }
}

}  // namespace

std::string PlimUtilsPlugin::PlaceFile(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("place", parsed);
    const PlaceRequest place = ReadPlaceRequest(parsed);
    reply["tagSearch"] = place.tagSearch;

    PlaceTargets targets;
    if (!FindPlaceTargets(place, targets, reply)) {
        return DumpReply(reply);
    }
    UnlockUnhideLayersSublayers layers;
    const bool swapping = place.mode == "image" && !targets.containers.empty();
    if (swapping && place.textPlacing()) {
        return DumpReply(reply);
    }
    const FinishPlacing finishing(place);
    if (swapping) {
        targets.containers = SwapImages(place, targets.containers, targets.seriesOffset);
        if (targets.containers.empty()) {
            return DumpReply(reply);
        }
    }

    // The united group is made before the content, so that a group the host refuses leaves the
    // document as it was.
    const ArtList found = targets.containers;
    const bool united = place.unite && targets.containers.size() >= 2;
    if (united) {
        ArtObject* group = UniteContainers(place, targets.containers, targets.seriesOffset);
        if (group == nullptr) {
            reply["error"] = "Can't unite the containers";
            return DumpReply(reply);
        }
        targets.containers = {group};
    }

    bool stop = false;
    ArtObject* content = nullptr;
    if (targets.source != nullptr || place.textToPlace.empty() || place.symbolByName()) {
        content = MakeContent(place, targets.source, reply, stop);
        if (content == nullptr || stop) {
            if (united) {
                sAIArt->DisposeArt(targets.containers.front());
            }
            return DumpReply(reply);
        }
    }
    if (targets.containers.empty()) {
        FinishLooseContent(place, content, targets.seriesOffset, reply);
    } else {
        PlaceIntoContainers(place, content, targets.containers, found, united, targets.seriesOffset, reply);
    }
    return DumpReply(reply);
}

// The art style suite: an art object's style as an immutable value behind a handle.
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/StyleHandles.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIArtStyleSuite;

AIErr GetArtStyle(AIArtHandle art, AIArtStyleHandle* style) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetArtStyle");
    if (error == kNoErr && style == nullptr) {
        error = kBadParameterErr;
    }
    const model::Result<model::ArtStyle> found =
        error == kNoErr ? document->style(ArtIdOf(art))
                        : model::Result<model::ArtStyle>(model::Status::badParameter);
    if (error == kNoErr && !found) {
        error = ErrorFromStatus(found.status());
    }
    if (style != nullptr) {
        *style = error == kNoErr ? StyleHandleFor(*state, *found) : nullptr;
    }
    return error;
}

AIErr SetArtStyle(AIArtHandle art, AIArtStyleHandle style) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "SetArtStyle");
    const std::string label = ArtLabel(document, art);
    const model::ArtStyle* value = error == kNoErr ? FindStyle(*state, style) : nullptr;
    if (error == kNoErr && value == nullptr) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        error = ErrorFromStatus(document->setStyle(ArtIdOf(art), *value));
    }
    Record(state, "SetArtStyle", {label}, error);
    return error;
}

// Live effects are not drawn by this host, so an art object carries its own appearance; a layer
// group has none.
AIErr GetStyledArt(AIArtHandle art, AIArtHandle* styledArt) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetStyledArt");
    if (error == kNoErr && styledArt == nullptr) {
        error = kBadParameterErr;
    }
    const model::Result<bool> layerGroup = error == kNoErr ? document->isLayerGroup(ArtIdOf(art))
                                                           : model::Result<bool>(model::Status::badParameter);
    if (error == kNoErr && !layerGroup) {
        error = ErrorFromStatus(layerGroup.status());
    }
    if (styledArt != nullptr) {
        *styledArt = error == kNoErr && !*layerGroup ? art : nullptr;
    }
    return error;
}

}  // namespace

AIArtStyleSuite gArtStyleSuite = {
    PLIM_SUITE_FUNCTION(GetArtStyle),
    PLIM_SUITE_FUNCTION(SetArtStyle),
    PLIM_SUITE_FUNCTION(GetStyledArt),
};

}  // namespace host

// The art style suite: an art object's style as an immutable value behind a handle.
#include <algorithm>

#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/StyleHandles.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIArtStyleSuite;

AIErr GetArtStyle(AIArtHandle art, AIArtStyleHandle* style) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetArtStyle");
    error = OutputError(error, style);
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
    error = OutputError(error, value);
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
    error = OutputError(error, styledArt);
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

AIErr CountNamedArtStyles(ai::int32* count) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "CountNamedArtStyles");
    error = OutputError(error, count);
    if (count != nullptr) {
        *count = error == kNoErr ? static_cast<ai::int32>(document->colors().graphicStyles().size()) : 0;
    }
    return error;
}

AIArtStyleHandle NamedStyleHandle(const model::GraphicStyle& style) {
    return reinterpret_cast<AIArtStyleHandle>(static_cast<std::uintptr_t>(style.id.value));
}

AIErr GetNthNamedArtStyle(ai::int32 index, AIArtStyleHandle* style) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetNthNamedArtStyle");
    const std::size_t count = error == kNoErr ? document->colors().graphicStyles().size() : 0;
    if (error == kNoErr && (style == nullptr || index < 0 || static_cast<std::size_t>(index) >= count)) {
        error = kBadParameterErr;
    }
    if (style != nullptr) {
        *style = error == kNoErr
                     ? NamedStyleHandle(document->colors().graphicStyles()[static_cast<std::size_t>(index)])
                     : nullptr;
    }
    return error;
}

AIErr GetArtStyleName(AIArtStyleHandle style, ai::UnicodeString& name, AIBoolean* unlisted) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetArtStyleName");
    if (error == kNoErr && FindStyle(*state, style) == nullptr) {
        error = kBadParameterErr;
    }
    const model::GraphicStyle* named =
        error == kNoErr ? document->colors().findGraphicStyle(ResourceIdOf(style)) : nullptr;
    if (error == kNoErr) {
        SetStringText(*state, name, named != nullptr ? named->name : std::string());
    }
    if (unlisted != nullptr) {
        *unlisted = named != nullptr && named->unlisted;
    }
    return error;
}

AIErr GetArtStyleByName(AIArtStyleHandle* style, const ai::UnicodeString& name) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetArtStyleByName");
    const std::optional<std::string> text = error == kNoErr ? StringText(*state, name) : std::nullopt;
    if (error == kNoErr && (style == nullptr || !text)) {
        error = kBadParameterErr;
    }
    const model::GraphicStyle* named =
        error == kNoErr ? document->colors().graphicStyleByName(*text) : nullptr;
    if (error == kNoErr && named == nullptr) {
        error = kNameNotFoundErr;
    }
    if (style != nullptr) {
        *style = error == kNoErr ? NamedStyleHandle(*named) : nullptr;
    }
    return error;
}

AIErr CreateArtStyleFromPathStyle(const AIPathStyle* pathStyle, AIArtStyleHandle* style) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "CreateArtStyleFromPathStyle");
    if (error == kNoErr && (pathStyle == nullptr || style == nullptr)) {
        error = kBadParameterErr;
    }
    std::optional<model::FillPaint> fill;
    std::optional<model::StrokePaint> stroke;
    if (error == kNoErr && pathStyle->fillPaint && pathStyle->fill.color.kind != kNoneColor) {
        fill = FromAIFill(pathStyle->fill);
        error = fill ? kNoErr : kBadParameterErr;
    }
    if (error == kNoErr && pathStyle->strokePaint && pathStyle->stroke.color.kind != kNoneColor) {
        stroke = FromAIStroke(pathStyle->stroke, model::StrokePaint{});
        error = stroke ? kNoErr : kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(style, error);
    }
    model::ArtStyle made;
    if (fill) {
        model::PaintField field;
        field.paint = *fill;
        field.evenOdd = pathStyle->evenodd != 0;
        made.paintFields.push_back(std::move(field));
    }
    if (stroke) {
        model::PaintField field;
        field.paint = *stroke;
        made.paintFields.push_back(std::move(field));
    }
    *style = StyleHandleFor(*state, made);
    return kNoErr;
}

AIErr CreateNamedArtStyle(const ai::UnicodeString& name, AIArtStyleHandle style, AIArtStyleHandle* named) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "CreateNamedArtStyle");
    const std::optional<std::string> text = error == kNoErr ? StringText(*state, name) : std::nullopt;
    const model::ArtStyle* value = error == kNoErr ? FindStyle(*state, style) : nullptr;
    if (error == kNoErr &&
        (!text || value == nullptr || document->colors().graphicStyleByName(*text) != nullptr ||
         document->colors().checkStyle(*value) != model::Status::ok)) {
        error = kBadParameterErr;
    }
    model::Result<model::ResourceId> id(model::Status::badParameter);
    if (error == kNoErr) {
        const model::ArtStyle copy = *value;  // the value may live in the colours that change
        id = document->editColors().addGraphicStyle(*text, copy, false);
        error = id ? kNoErr : ErrorFromStatus(id.status());
    }
    Record(state, "CreateNamedArtStyle", {text.value_or("")}, error);
    if (named != nullptr) {
        *named = error == kNoErr ? reinterpret_cast<AIArtStyleHandle>(static_cast<std::uintptr_t>(id->value))
                                 : nullptr;
    }
    return error;
}

AIErr RedefineNamedArtStyle(AIArtStyleHandle named, AIArtStyleHandle definition) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "RedefineNamedArtStyle");
    const model::GraphicStyle* target =
        error == kNoErr ? document->colors().findGraphicStyle(ResourceIdOf(named)) : nullptr;
    const model::ArtStyle* value = error == kNoErr ? FindStyle(*state, definition) : nullptr;
    if (error == kNoErr && (target == nullptr || value == nullptr ||
                            document->colors().checkStyle(*value) != model::Status::ok)) {
        error = kBadParameterErr;
    }
    const std::string label = target != nullptr ? target->name : std::string();
    if (error == kNoErr) {
        const model::ArtStyle copy = *value;
        error = ErrorFromStatus(document->editColors().setGraphicStyleDefinition(ResourceIdOf(named), copy));
    }
    Record(state, "RedefineNamedArtStyle", {label}, error);
    return error;
}

AIBoolean IsColoredByMembers(AIArtHandle art) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "IsColoredByMembers");
    if (error != kNoErr) {
        return false;
    }
    const model::ArtId id = ArtIdOf(art);
    const model::Result<model::ArtType> type = document->type(id);
    const model::Result<bool> layerGroup = document->isLayerGroup(id);
    const model::Result<model::ArtId> first = document->firstChild(id);
    const model::Result<model::ArtStyle> style = document->style(id);
    if (!type || *type != model::ArtType::group || !layerGroup || *layerGroup || !first || !*first ||
        !style) {
        return false;
    }
    return std::none_of(style->paintFields.begin(), style->paintFields.end(),
                        [](const model::PaintField& field) { return field.paints(); });
}

}  // namespace

AIArtStyleSuite gArtStyleSuite = {
    PLIM_SUITE_FUNCTION(GetArtStyle),         PLIM_SUITE_FUNCTION(SetArtStyle),
    PLIM_SUITE_FUNCTION(GetStyledArt),        PLIM_SUITE_FUNCTION(CountNamedArtStyles),
    PLIM_SUITE_FUNCTION(GetNthNamedArtStyle), PLIM_SUITE_FUNCTION(GetArtStyleName),
    PLIM_SUITE_FUNCTION(GetArtStyleByName),   PLIM_SUITE_FUNCTION(CreateArtStyleFromPathStyle),
    PLIM_SUITE_FUNCTION(CreateNamedArtStyle), PLIM_SUITE_FUNCTION(RedefineNamedArtStyle),
    PLIM_SUITE_FUNCTION(IsColoredByMembers),
};

}  // namespace host

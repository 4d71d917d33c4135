// The text-frame suite: frame kinds, the text engine's frames, outlines, new area text and path objects.
#include "AITextFrame.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"
#include "suites/TextEngineAccess.h"
#include "textengine/Outline.h"

namespace host {
namespace {

constexpr const char* kSuite = kAITextFrameSuite;

// The outline is a group directly above the frame holding a path or compound path per glyph the frame
// shows; the frame stays. A frame that shows no glyph has nothing to outline and is refused like art
// that is no text frame.
AIErr CreateOutline(AIArtHandle textFrame, AIArtHandle* outline) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "CreateOutline");
    const std::string label = ArtLabel(document, textFrame);
    error = OutputError(error, outline);
    model::ArtId created;
    if (error == kNoErr) {
        const model::Result<model::ArtId> made =
            document->createOutline(ArtIdOf(textFrame), text::GlyphShapes(*document, ArtIdOf(textFrame)));
        error = ErrorFromStatus(made.status());
        created = made.valueOr(model::ArtId{});
    }
    if (outline != nullptr) {
        *outline = ArtHandleOf(created);
    }
    Record(state, "CreateOutline", {label}, error);
    return error;
}

// The frame's content, or the error: no document, or art that is no text frame.
struct FrameStart {
    HostState* state;
    model::Document* document;
    const model::TextFrameContent* content;
    AIErr error;
};

FrameStart OpenFrame(AIArtHandle textFrame, std::string_view operation) {
    auto [state, document, error] = StartDocumentOperation(kSuite, operation);
    const model::TextFrameContent* content =
        error == kNoErr ? document->contentAs<model::TextFrameContent>(ArtIdOf(textFrame)) : nullptr;
    return {state, document, content, error == kNoErr && content == nullptr ? kBadParameterErr : error};
}

AIErr GetType(AIArtHandle textFrame, AITextFrameType* type) {
    auto [state, document, content, error] = OpenFrame(textFrame, "GetType");
    if ((error = OutputError(error, type)) != kNoErr) {
        return Refuse(type, error);
    }
    *type = static_cast<AITextFrameType>(content->kind);
    return kNoErr;
}

AIErr GetATETextFrame(AIArtHandle textFrame, TextFrameRef* frame) {
    auto [state, document, content, error] = OpenFrame(textFrame, "GetATETextFrame");
    if ((error = OutputError(error, frame)) != kNoErr) {
        return Refuse(frame, error);
    }
    return Answer(*state, frame, TextFrameObject{ArtIdOf(textFrame)});
}

AIErr GetAITextFrame(TextFrameRef frame, AIArtHandle* textFrame) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetAITextFrame");
    const TextFrameObject* object = error == kNoErr ? TextObjectOf<TextFrameObject>(*state, frame) : nullptr;
    if ((error = OutputError(error, textFrame)) == kNoErr &&
        (object == nullptr || document->contentAs<model::TextFrameContent>(object->frame) == nullptr)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(textFrame, error);
    }
    *textFrame = ArtHandleOf(object->frame);
    return kNoErr;
}

AIErr GetPathObject(AIArtHandle textFrame, AIArtHandle* pathObject) {
    auto [state, document, content, error] = OpenFrame(textFrame, "GetPathObject");
    if ((error = OutputError(error, pathObject)) != kNoErr) {
        return Refuse(pathObject, error);
    }
    const model::Result<model::ArtId> path = document->pathObject(ArtIdOf(textFrame));
    if (!path) {
        return Refuse(pathObject, kBadParameterErr);
    }
    *pathObject = ArtHandleOf(*path);
    return kNoErr;
}

// The frame takes the path's geometric bounds as its area; the path goes once the frame exists.
AIErr NewInPathText(ai::int16 paintOrder, AIArtHandle prep, AITextOrientation orientation, AIArtHandle path,
                    AIArtHandle baseFrame, AIArtHandle* newTextFrame) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "NewInPathText");
    const std::string label = ArtLabel(document, path);
    const std::optional<model::PaintOrder> order = model::paintOrderFromCode(paintOrder);
    const bool isPath = error == kNoErr && document->contentAs<model::PathContent>(ArtIdOf(path)) != nullptr;
    if (error == kNoErr &&
        (newTextFrame == nullptr || !order || !isPath ||
         (orientation != kHorizontalTextOrientation && orientation != kVerticalTextOrientation))) {
        error = kBadParameterErr;
    }
    model::ArtId frame;
    if (error == kNoErr) {
        const model::Rect area = *document->bounds(ArtIdOf(path), model::BoundsKind::geometric);
        const model::Result<model::ArtId> made =
            document->newArt(model::ArtType::textFrame, *order, ArtIdOf(prep));
        error = made ? kNoErr : ErrorFromStatus(made.status());
        frame = made ? *made : model::ArtId{};
        if (model::TextFrameContent* text =
                made ? document->editContent<model::TextFrameContent>(frame) : nullptr) {
            text->kind = model::TextKind::area;
            text->box = model::BoxGeometry{area, model::Matrix::identity()};
            text->storyDirection = orientation;
        }
    }
    if (error == kNoErr && baseFrame != nullptr) {
        error = ErrorFromStatus(document->threadFrame(ArtIdOf(baseFrame), frame));
    }
    if (error == kNoErr) {
        error = ErrorFromStatus(document->dispose(ArtIdOf(path)));
    }
    if (error != kNoErr && frame) {
        document->dispose(frame);
    }
    Record(state, "NewInPathText", {label, std::to_string(paintOrder)}, error);
    if (error != kNoErr) {
        return Refuse(newTextFrame, error);
    }
    *newTextFrame = ArtHandleOf(frame);
    return kNoErr;
}

}  // namespace

AITextFrameSuite gTextFrameSuite = {
    PLIM_SUITE_FUNCTION(GetType),        PLIM_SUITE_FUNCTION(GetATETextFrame),
    PLIM_SUITE_FUNCTION(GetAITextFrame), PLIM_SUITE_FUNCTION(CreateOutline),
    PLIM_SUITE_FUNCTION(NewInPathText),  PLIM_SUITE_FUNCTION(GetPathObject),
};

}  // namespace host

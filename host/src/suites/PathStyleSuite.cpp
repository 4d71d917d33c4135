// The path style suite: an art object's focal fill and focal stroke, the basic appearance that the
// path-style record shows, read from and written into its art style.
#include "AIPaintStyle.h"
#include "Documents.h"
#include "IAIFilePath.hpp"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/StyleHandles.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIPathStyleSuite;

// Whether the style holds more than the record can show: paint fields beyond the focal fill and
// stroke, effects, or transparency.
bool HasMoreThanBasicAppearance(const model::ArtStyle& style) {
    return style != style.simplified();
}

AIErr GetPathStyle(AIArtHandle art, AIPathStyle* pathStyle, AIBoolean* outHasAdvFill) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetPathStyle");
    const model::Result<model::ArtStyle> style =
        error == kNoErr ? document->style(ArtIdOf(art))
                        : model::Result<model::ArtStyle>(model::Status::badParameter);
    if (error == kNoErr && (!style || pathStyle == nullptr)) {
        error = style ? kBadParameterErr : ErrorFromStatus(style.status());
    }
    if (outHasAdvFill != nullptr) {
        *outHasAdvFill = error == kNoErr && HasMoreThanBasicAppearance(*style);
    }
    if (error != kNoErr) {
        return error;
    }
    AIPathStyle result;
    if (const std::optional<std::size_t> fill = style->focalFillIndex()) {
        const model::PaintField& field = style->paintFields[*fill];
        result.fill = ToAIFill(*field.fillPaint());
        result.fillPaint = field.paints();
        result.evenodd = field.evenOdd;
    }
    if (const std::optional<std::size_t> stroke = style->focalStrokeIndex()) {
        const model::PaintField& field = style->paintFields[*stroke];
        result.stroke = ToAIStroke(*field.strokePaint());
        result.strokePaint = field.paints();
    }
    *pathStyle = result;
    return kNoErr;
}

// Puts the paint field at the focal index (or adds it), or removes the focal one when the record
// paints nothing there.
void ReplaceFocal(model::ArtStyle& style, std::optional<std::size_t> focal,
                  std::optional<model::PaintField> field) {
    if (focal && field) {
        model::PaintField& current = style.paintFields[*focal];
        current.paint = field->paint;
        current.visible = true;
        current.evenOdd = field->evenOdd;
        return;
    }
    if (focal) {
        style.paintFields.erase(style.paintFields.begin() + static_cast<std::ptrdiff_t>(*focal));
        if (style.contentsPosition > *focal) {
            --style.contentsPosition;
        }
        return;
    }
    if (field) {
        // A new fill goes below everything, a new stroke above everything.
        if (field->isFill()) {
            style.paintFields.insert(style.paintFields.begin(), *field);
            if (style.contentsPosition > 0) {
                ++style.contentsPosition;
            }
        } else {
            style.paintFields.push_back(*field);
        }
    }
}

// Rewrites the focal paint field in place: a painted one takes the paint and shows, an unpainted
// one is hidden. None to rewrite: a painted one is added.
void RewriteFocal(model::ArtStyle& style, std::optional<std::size_t> focal,
                  std::optional<model::PaintField> field) {
    if (!focal) {
        ReplaceFocal(style, focal, std::move(field));
        return;
    }
    model::PaintField& current = style.paintFields[*focal];
    current.visible = field.has_value();
    if (field) {
        current.paint = field->paint;
        if (field->isFill()) {
            current.evenOdd = field->evenOdd;
        }
    }
}

// The fill and stroke a record paints: none for one it does not paint; false when a painted one is
// outside the limits.
bool PaintedFields(const model::ArtStyle& style, const AIPathStyle& pathStyle,
                   std::optional<model::PaintField>& fill, std::optional<model::PaintField>& stroke) {
    if (pathStyle.fillPaint && pathStyle.fill.color.kind != kNoneColor) {
        const std::optional<model::FillPaint> paint = FromAIFill(pathStyle.fill);
        if (!paint) {
            return false;
        }
        fill = model::PaintField{};
        fill->paint = *paint;
        fill->evenOdd = pathStyle.evenodd != 0;
    }
    if (pathStyle.strokePaint && pathStyle.stroke.color.kind != kNoneColor) {
        const std::optional<std::size_t> focal = style.focalStrokeIndex();
        const model::StrokePaint base =
            focal ? *style.paintFields[*focal].strokePaint() : model::StrokePaint{};
        const std::optional<model::StrokePaint> paint = FromAIStroke(pathStyle.stroke, base);
        if (!paint) {
            return false;
        }
        stroke = model::PaintField{};
        stroke->paint = *paint;
    }
    return true;
}

// The one write of a path-style record; rewrite says what becomes of the focal paint fields.
template <typename Rewrite>
AIErr WritePathStyle(const char* operation, AIArtHandle art, const AIPathStyle* pathStyle, Rewrite rewrite) {
    auto [state, document, error] = StartDocumentOperation(kSuite, operation);
    const std::string label = ArtLabel(document, art);
    model::Result<model::ArtStyle> style = error == kNoErr
                                               ? document->style(ArtIdOf(art))
                                               : model::Result<model::ArtStyle>(model::Status::badParameter);
    if (error == kNoErr && !style) {
        error = ErrorFromStatus(style.status());
    }
    error = OutputError(error, pathStyle);
    std::optional<model::PaintField> fill;
    std::optional<model::PaintField> stroke;
    if (error == kNoErr && !PaintedFields(*style, *pathStyle, fill, stroke)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        // The stroke first: removing or adding the fill moves the stroke's index.
        rewrite(*style, style->focalStrokeIndex(), std::move(stroke));
        rewrite(*style, style->focalFillIndex(), std::move(fill));
        error = ErrorFromStatus(document->setStyle(ArtIdOf(art), std::move(*style)));
    }
    Record(state, operation, {label}, error);
    return error;
}

AIErr SetPathStyle(AIArtHandle art, const AIPathStyle* pathStyle) {
    return WritePathStyle("SetPathStyle", art, pathStyle, ReplaceFocal);
}

AIErr SetFocusPathStyle(AIArtHandle art, const AIPathStyle* pathStyle) {
    return WritePathStyle("SetFocusPathStyle", art, pathStyle, RewriteFocal);
}

AIErr SetObjectAIColor(AIPathStyle* pathStyle, const AIColor* color, AIBoolean stroke, AIArtHandle art) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "SetObjectAIColor");
    if (error == kNoErr && (pathStyle == nullptr || color == nullptr || !document->isValid(ArtIdOf(art)))) {
        error = kBadParameterErr;
    }
    // The colour must be one the document can paint with (its custom colours, gradients, patterns).
    if (error == kNoErr && !FromAIColor(*color)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return error;
    }
    if (stroke) {
        pathStyle->strokePaint = true;
        pathStyle->stroke.color = *color;
    } else {
        pathStyle->fillPaint = true;
        pathStyle->fill.color = *color;
    }
    return kNoErr;
}

AIErr AdjustObjectAIColors(AIArtHandle art, AIAdjustColorFunc adjust, void* userData, ai::int32,
                           AIBoolean* madeReplacement) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "AdjustObjectAIColors");
    if (error == kNoErr && adjust == nullptr) {
        error = kBadParameterErr;
    }
    if (madeReplacement != nullptr) {
        *madeReplacement = false;
    }
    if (error != kNoErr) {
        return error;
    }
    // The walk changes the document itself, so that what it changes is in the document's change log
    // like any other edit: an undo, or a revert to a mark set before, takes it back. The changes made
    // before are set aside, so that a failure part way takes back the walk's changes alone.
    model::ChangeLog before = document->takeChanges();
    AIErr result = kNoErr;
    const model::Result<bool> changed = document->forEachColor(
        model::ArtId{reinterpret_cast<std::uintptr_t>(art)}, [&](model::Color& color, bool& altered) {
            if (result != kNoErr) {
                return;
            }
            AIColor offered = ToAIColor(color);
            AIBoolean didAlter = false;
            AIErr callError = kNoErr;
            adjust(&offered, userData, &callError, &didAlter);
            result = callError;
            if (result != kNoErr || !didAlter) {
                return;
            }
            if (const std::optional<model::Color> value = FromAIColor(offered)) {
                color = *value;
                altered = true;
            }
        });
    error = !changed ? ErrorFromStatus(changed.status()) : result;
    if (error != kNoErr) {
        model::ChangeLog walked = document->takeChanges();
        document->applyChanges(walked);
    } else if (madeReplacement != nullptr) {
        *madeReplacement = *changed;
    }
    document->putBackChanges(std::move(before));
    state->journal.Record("AdjustObjectAIColors", {ArtLabel(document, art)}, error);
    return error;
}

AIErr ImportStyles(const ai::FilePath& file, AIDocumentHandle* document) {
    auto [state, error] = StartOperation(kAIPathStyleSuite, "ImportStyles");
    const std::string* path = state != nullptr ? state->text.paths.Find(file.ref()) : nullptr;
    if (error == kNoErr && (document == nullptr || path == nullptr)) {
        error = kBadParameterErr;
    }
    std::uintptr_t opened = 0;
    if (error == kNoErr) {
        error = OpenLibraryFile(*state, *path, &opened);
    }
    Record(state, "ImportStyles", {path != nullptr ? *path : std::string()}, error);
    if (error != kNoErr) {
        return Refuse(document, error);
    }
    *document = reinterpret_cast<AIDocumentHandle>(opened);
    return kNoErr;
}

// --- Paint style: stroke alignment ---------------------------------------------------------------

constexpr const char* kAlignKey = "StrokeOffsetInside";

AIErr GetStrokeAlignment(AIArtHandle art, ai::int32* alignment) {
    auto [state, document, error] = StartDocumentOperation(kAIPaintStyleSuite, "GetStrokeAlignment");
    const model::Result<model::ArtStyle> style =
        error == kNoErr ? document->style(ArtIdOf(art))
                        : model::Result<model::ArtStyle>(model::Status::badParameter);
    const std::optional<std::size_t> focal = style ? style->focalStrokeIndex() : std::nullopt;
    if (error == kNoErr && (alignment == nullptr || !focal)) {
        error = style ? kBadParameterErr : ErrorFromStatus(style.status());
    }
    if (error != kNoErr) {
        return Refuse(alignment, error);
    }
    const model::Result<bool> inside =
        style->paintFields[*focal].strokePaint()->parameters.boolean(kAlignKey);
    *alignment = !inside   ? kAIStrokeAlignmentCenter
                 : *inside ? kAIStrokeAlignmentInside
                           : kAIStrokeAlignmentOutside;
    return kNoErr;
}

AIErr SetStrokeAlignment(AIArtHandle art, ai::int32 alignment) {
    auto [state, document, error] = StartDocumentOperation(kAIPaintStyleSuite, "SetStrokeAlignment");
    const std::string label = ArtLabel(document, art);
    model::Result<model::ArtStyle> style = error == kNoErr
                                               ? document->style(ArtIdOf(art))
                                               : model::Result<model::ArtStyle>(model::Status::badParameter);
    const std::optional<std::size_t> focal = style ? style->focalStrokeIndex() : std::nullopt;
    if (error == kNoErr &&
        (!focal || alignment < kAIStrokeAlignmentCenter || alignment > kAIStrokeAlignmentOutside)) {
        error = style ? kBadParameterErr : ErrorFromStatus(style.status());
    }
    if (error == kNoErr) {
        model::Dictionary& parameters = style->paintFields[*focal].strokePaint()->parameters;
        if (alignment == kAIStrokeAlignmentCenter) {
            parameters.erase(kAlignKey);
        } else {
            parameters.setBoolean(kAlignKey, alignment == kAIStrokeAlignmentInside);
        }
        error = ErrorFromStatus(document->setStyle(ArtIdOf(art), std::move(*style)));
    }
    Record(state, "SetStrokeAlignment", {label, std::to_string(alignment)}, error);
    return error;
}

}  // namespace

AIPaintStyleSuite gPaintStyleSuite = {
    PLIM_SUITE_FUNCTION(GetStrokeAlignment),
    PLIM_SUITE_FUNCTION(SetStrokeAlignment),
};

AIPathStyleSuite gPathStyleSuite = {
    PLIM_SUITE_FUNCTION(GetPathStyle),         PLIM_SUITE_FUNCTION(SetPathStyle),
    PLIM_SUITE_FUNCTION(SetFocusPathStyle),    PLIM_SUITE_FUNCTION(SetObjectAIColor),
    PLIM_SUITE_FUNCTION(AdjustObjectAIColors), PLIM_SUITE_FUNCTION(ImportStyles),
};

}  // namespace host

// The art-style parser suite: a mutable copy of a style's parts that builds back into a new style.
// Paint fields get handles of their own, valid while their parser holds them.
#include <memory>

#include "host/HandleTable.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/StyleHandles.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIArtStyleParserSuite;

// The parser behind a handle, after the common start; null with an error otherwise. A parser that
// has parsed nothing yet is refused by the operations that need a style (parsedOnly).
struct ParserStart {
    HostState* state;
    StyleParserRecord* parser;
    AIErr error;
};

ParserStart StartParserOperation(const char* operation, AIStyleParser parser, bool parsedOnly) {
    auto [state, document, error] = StartDocumentOperation(kSuite, operation);
    StyleParserRecord* record = error == kNoErr ? state->styles.parsers.Find(parser) : nullptr;
    if (error == kNoErr && (record == nullptr || (parsedOnly && !record->style))) {
        error = kBadParameterErr;
    }
    return {state, error == kNoErr ? record : nullptr, error};
}

struct FieldStart {
    HostState* state;
    ParserPaintField field;
    AIErr error;
};

FieldStart StartFieldOperation(const char* operation, AIParserPaintField paintField) {
    auto [state, document, error] = StartDocumentOperation(kSuite, operation);
    ParserPaintField field = error == kNoErr ? FindPaintField(*state, paintField) : ParserPaintField{};
    if (error == kNoErr && field.parser == nullptr) {
        error = kBadParameterErr;
    }
    return {state, field, error};
}

void RenumberPaintFields(StyleParserRecord& record) {
    record.paintFieldHandles.clear();
    for (std::size_t i = 0; i < record.style->paintFields.size(); ++i) {
        record.paintFieldHandles.push_back(detail::NextHandleNumber());
    }
}

AIErr NewParser(AIStyleParser* parser) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "NewParser");
    if (error == kNoErr && parser == nullptr) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(parser, error);
    }
    *parser = state->styles.parsers.Add<AIStyleParser>(std::make_unique<StyleParserRecord>());
    return kNoErr;
}

AIErr DisposeParser(AIStyleParser parser) {
    // Disposing needs no document: parsers outlive document switches and must always be freed.
    auto [state, error] = StartOperation(kSuite, "DisposeParser");
    if (error == kNoErr && !state->styles.parsers.Remove(parser)) {
        error = kBadParameterErr;
    }
    return error;
}

AIErr ParseStyle(AIStyleParser parser, AIArtStyleHandle style) {
    auto [state, record, error] = StartParserOperation("ParseStyle", parser, false);
    const model::ArtStyle* value = error == kNoErr ? FindStyle(*state, style) : nullptr;
    if (error == kNoErr && value == nullptr) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        record->style = *value;
        RenumberPaintFields(*record);
    }
    return error;
}

AIBoolean IsStyleParseable(AIStyleParser parser) {
    auto [state, record, error] = StartParserOperation("IsStyleParseable", parser, true);
    return error == kNoErr;
}

AIErr Simplify(AIStyleParser parser) {
    auto [state, record, error] = StartParserOperation("Simplify", parser, true);
    if (error == kNoErr) {
        record->style = record->style->simplified();
        RenumberPaintFields(*record);
    }
    return error;
}

AIErr CreateNewStyle(AIStyleParser parser, AIArtStyleHandle* style) {
    auto [state, record, error] = StartParserOperation("CreateNewStyle", parser, true);
    if (error == kNoErr && style == nullptr) {
        error = kBadParameterErr;
    }
    if (style != nullptr) {
        *style = error == kNoErr ? StyleHandleFor(*state, *record->style) : nullptr;
    }
    return error;
}

ai::int32 CountPaintFields(AIStyleParser parser) {
    auto [state, record, error] = StartParserOperation("CountPaintFields", parser, true);
    return error == kNoErr ? static_cast<ai::int32>(record->style->paintFields.size()) : 0;
}

AIErr GetNthPaintField(AIStyleParser parser, ai::int32 n, AIParserPaintField* paintField) {
    auto [state, record, error] = StartParserOperation("GetNthPaintField", parser, true);
    const bool inRange =
        error == kNoErr && n >= 0 && static_cast<std::size_t>(n) < record->paintFieldHandles.size();
    if (error == kNoErr && (paintField == nullptr || !inRange)) {
        error = kBadParameterErr;
    }
    if (paintField != nullptr) {
        *paintField =
            error == kNoErr
                ? reinterpret_cast<AIParserPaintField>(record->paintFieldHandles[static_cast<std::size_t>(n)])
                : nullptr;
    }
    return error;
}

AIErr RemovePaintField(AIStyleParser parser, AIParserPaintField paintField) {
    auto [state, record, error] = StartParserOperation("RemovePaintField", parser, true);
    const ParserPaintField field = error == kNoErr ? FindPaintField(*state, paintField) : ParserPaintField{};
    if (error == kNoErr && field.parser != record) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        model::ArtStyle& style = *record->style;
        const auto offset = static_cast<std::ptrdiff_t>(field.index);
        style.paintFields.erase(style.paintFields.begin() + offset);
        record->paintFieldHandles.erase(record->paintFieldHandles.begin() + offset);
        // The contents keep their place among the paint fields that remain.
        if (style.contentsPosition > field.index) {
            --style.contentsPosition;
        }
    }
    return error;
}

AIBoolean IsFill(AIParserPaintField paintField) {
    auto [state, field, error] = StartFieldOperation("IsFill", paintField);
    return error == kNoErr && field.field()->isFill();
}

AIBoolean IsStroke(AIParserPaintField paintField) {
    auto [state, field, error] = StartFieldOperation("IsStroke", paintField);
    return error == kNoErr && field.field()->isStroke();
}

AIErr GetFill(AIParserPaintField paintField, AIFillStyle* fill, AIArtStylePaintData* paintData) {
    auto [state, field, error] = StartFieldOperation("GetFill", paintField);
    if (error == kNoErr && (fill == nullptr || !field.field()->isFill())) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return error;
    }
    *fill = ToAIFill(*field.field()->fillPaint());
    if (paintData != nullptr) {
        *paintData = AIArtStylePaintData{};  // gradients and patterns are not modelled: all unknown
    }
    return kNoErr;
}

AIErr SetFill(AIParserPaintField paintField, const AIFillStyle* fill, const AIArtStylePaintData*) {
    auto [state, field, error] = StartFieldOperation("SetFill", paintField);
    const std::optional<model::FillPaint> value = fill != nullptr ? FromAIFill(*fill) : std::nullopt;
    if (error == kNoErr && (!value || !field.field()->isFill())) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        *field.field()->fillPaint() = *value;
    }
    return error;
}

AIErr GetStroke(AIParserPaintField paintField, AIStrokeStyle* stroke) {
    auto [state, field, error] = StartFieldOperation("GetStroke", paintField);
    if (error == kNoErr && (stroke == nullptr || !field.field()->isStroke())) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        *stroke = ToAIStroke(*field.field()->strokePaint());
    }
    return error;
}

AIErr SetStroke(AIParserPaintField paintField, const AIStrokeStyle* stroke) {
    auto [state, field, error] = StartFieldOperation("SetStroke", paintField);
    const bool isStroke = error == kNoErr && field.field()->isStroke();
    const std::optional<model::StrokePaint> value =
        isStroke && stroke != nullptr ? FromAIStroke(*stroke, *field.field()->strokePaint()) : std::nullopt;
    if (error == kNoErr && !value) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        *field.field()->strokePaint() = *value;
    }
    return error;
}

}  // namespace

AIArtStyleParserSuite gArtStyleParserSuite = {
    PLIM_SUITE_FUNCTION(NewParser),        PLIM_SUITE_FUNCTION(DisposeParser),
    PLIM_SUITE_FUNCTION(ParseStyle),       PLIM_SUITE_FUNCTION(IsStyleParseable),
    PLIM_SUITE_FUNCTION(Simplify),         PLIM_SUITE_FUNCTION(CreateNewStyle),
    PLIM_SUITE_COUNT(CountPaintFields),    PLIM_SUITE_FUNCTION(GetNthPaintField),
    PLIM_SUITE_FUNCTION(RemovePaintField), PLIM_SUITE_FUNCTION(IsFill),
    PLIM_SUITE_FUNCTION(IsStroke),         PLIM_SUITE_FUNCTION(GetFill),
    PLIM_SUITE_FUNCTION(SetFill),          PLIM_SUITE_FUNCTION(GetStroke),
    PLIM_SUITE_FUNCTION(SetStroke),
};

}  // namespace host

// The text engine's ranges, stories, frames, lines, paragraphs and their iterators.
#include <algorithm>
#include <type_traits>

#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"
#include "suites/TextEngineAccess.h"
#include "textengine/Layout.h"
#include "textengine/TextEngine.h"

namespace host {

namespace {

// A range's view, or the error that stops the operation: no document, or a story that is gone.
struct RangeStart {
    HostState* state;
    TextRangeObject* range;
    std::optional<text::RangeView> view;
    ATEErr error;
};

RangeStart OpenRange(TextRangeRef reference, std::string_view operation) {
    auto [state, range, error] = OpenTextObject<TextRangeObject>(reference, operation);
    if (error != kNoError) {
        return {state, nullptr, std::nullopt, error};
    }
    if (state->documents.current == nullptr) {
        return {state, nullptr, std::nullopt, kTextNoDocumentErr};
    }
    std::optional<text::RangeView> view = text::ViewOf(*state, *range);
    return {state, range, view, view ? kNoError : kBadParameterErr};
}

// The journal entry of a change through a range: the UUID of the range's frame ("invalid" when the
// range or its story is gone), its start and end before the change, then what the change names.
// Failed changes are recorded too, with their result. Nothing is built while the journal is off.
struct RangeEntry {
    HostState* state;
    std::string operation;
    std::vector<std::string> arguments;
    bool recorded = true;

    ATEErr operator()(ATEErr error, std::vector<std::string> more = {}) {
        if (!recorded) {
            return error;
        }
        arguments.insert(arguments.end(), std::make_move_iterator(more.begin()),
                         std::make_move_iterator(more.end()));
        Record(state, std::move(operation), std::move(arguments), error);
        return error;
    }
};

RangeEntry EntryOf(std::string_view operation, const RangeStart& start) {
    if (start.state != nullptr && !start.state->journal.Enabled()) {
        return {start.state, {}, {}, false};
    }
    if (!start.view) {
        return {start.state, std::string(operation), {"invalid"}};
    }
    return {start.state,
            std::string(operation),
            {ArtLabel(start.view->document, ArtHandleOf(start.range->anchor)),
             std::to_string(start.view->span.start), std::to_string(start.view->span.end)}};
}

// Answers a new object made from the range's view by make(state, range, view).
template <typename Out, typename Make>
ATEErr AnswerOfRange(std::string_view operation, TextRangeRef reference, Out* out, Make make) {
    auto [state, range, view, error] = OpenRange(reference, operation);
    if (error != kNoError) {
        return Refuse(out, error);
    }
    return Answer(*state, out, make(*state, *range, *view));
}

ASInt32 Position(std::size_t value) {
    return static_cast<ASInt32>(value);
}

// The lines of a frame as ranges.
std::vector<TextRangeObject> LineRanges(const model::Document& document, model::ArtId frame) {
    const text::StoryLayout layout = text::LayOut(document, frame);
    std::vector<TextRangeObject> ranges;
    for (const text::FrameLayout& laid : layout.frames) {
        if (laid.frame != frame) {
            continue;
        }
        for (const text::LaidLine& line : laid.lines) {
            ranges.push_back(TextRangeObject{frame, line.start, line.end});
        }
    }
    return ranges;
}

}  // namespace

// --- Ranges ---------------------------------------------------------------------------------------

namespace textrange {

constexpr auto AddRef = &AddTextRef<TextRangeRef, TextRangeObject>;
constexpr auto Release = &ReleaseTextRef<TextRangeRef, TextRangeObject>;

ATEErr Clone(TextRangeRef reference, TextRangeRef* copy) {
    auto [state, range, view, error] = OpenRange(reference, "Clone");
    return error != kNoError ? Refuse(copy, error) : Answer(*state, copy, *range);
}

ATEErr GetStart(TextRangeRef reference, ASInt32* start) {
    auto [state, range, view, error] = OpenRange(reference, "GetStart");
    if ((error = OutputError(error, start)) != kNoError) {
        return Refuse(start, error);
    }
    *start = Position(view->span.start);
    return kNoError;
}

ATEErr GetEnd(TextRangeRef reference, ASInt32* end) {
    auto [state, range, view, error] = OpenRange(reference, "GetEnd");
    if ((error = OutputError(error, end)) != kNoError) {
        return Refuse(end, error);
    }
    *end = Position(view->span.end);
    return kNoError;
}

ATEErr GetSize(TextRangeRef reference, ASInt32* size) {
    auto [state, range, view, error] = OpenRange(reference, "GetSize");
    if ((error = OutputError(error, size)) != kNoError) {
        return Refuse(size, error);
    }
    *size = Position(view->span.size());
    return kNoError;
}

// Puts the range at [start, end], both clamped to the story; an end before the start meets it.
ATEErr Place(std::string_view operation, TextRangeRef reference, std::optional<ASInt32> start,
             std::optional<ASInt32> end) {
    auto [state, range, view, error] = OpenRange(reference, operation);
    if (error != kNoError) {
        return error;
    }
    const auto clamp = [&](ASInt32 value) {
        return std::min<std::size_t>(static_cast<std::size_t>(std::max<ASInt32>(value, 0)),
                                     view->story->size());
    };
    if (start) {
        range->start = clamp(*start);
        range->end = std::max(range->end, range->start);
    }
    if (end) {
        range->end = clamp(*end);
        range->start = std::min(range->start, range->end);
    }
    return kNoError;
}

ATEErr SetStart(TextRangeRef reference, ASInt32 start) {
    return Place("SetStart", reference, start, std::nullopt);
}
ATEErr SetEnd(TextRangeRef reference, ASInt32 end) {
    return Place("SetEnd", reference, std::nullopt, end);
}
ATEErr SetRange(TextRangeRef reference, ASInt32 start, ASInt32 end) {
    if (end < start) {
        return kBadParameterErr;
    }
    return Place("SetRange", reference, start, end);
}

ATEErr GetContents_AsUnicode(TextRangeRef reference, ASUnicode* text, ASInt32 maxLength, ASInt32* copied) {
    auto [state, range, view, error] = OpenRange(reference, "GetContents_AsUnicode");
    if ((error = OutputError(error, copied)) != kNoError || (text == nullptr && maxLength > 0) ||
        maxLength < 0) {
        return Refuse(copied, error != kNoError ? error : kBadParameterErr);
    }
    const std::size_t count = std::min<std::size_t>(view->span.size(), static_cast<std::size_t>(maxLength));
    for (std::size_t index = 0; index < count; ++index) {
        text[index] = view->story->unit(view->span.start + index);
    }
    *copied = Position(count);
    return kNoError;
}

ATEErr Insert(std::string_view operation, TextRangeRef reference, const ASUnicode* text, ASInt32 length,
              bool after) {
    const RangeStart start = OpenRange(reference, operation);
    RangeEntry entry = EntryOf(operation, start);
    if (start.error != kNoError) {
        return entry(start.error);
    }
    if (length < 0 || (text == nullptr && length > 0)) {
        return entry(kBadParameterErr);
    }
    const std::u16string units(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length));
    const text::RangeView& view = *start.view;
    text::InsertUnits(*start.state, *view.document, start.range->anchor,
                      after ? view.span.end : view.span.start, units);
    if (!entry.recorded) {
        return kNoError;
    }
    return entry(kNoError, {text::EncodeUTF8(units)});
}

ATEErr InsertAfter_AsUnicode(TextRangeRef reference, const ASUnicode* text, ASInt32 length) {
    return Insert("InsertAfter_AsUnicode", reference, text, length, true);
}
ATEErr InsertBefore_AsUnicode(TextRangeRef reference, const ASUnicode* text, ASInt32 length) {
    return Insert("InsertBefore_AsUnicode", reference, text, length, false);
}

ATEErr Remove(TextRangeRef reference) {
    const RangeStart start = OpenRange(reference, "Remove");
    RangeEntry entry = EntryOf("Remove", start);
    if (start.error != kNoError) {
        return entry(start.error);
    }
    text::EraseUnits(*start.state, *start.view->document, start.range->anchor, start.view->span);
    return entry(kNoError);
}

ATEErr GetStory(TextRangeRef reference, StoryRef* story) {
    auto [state, range, view, error] = OpenRange(reference, "GetStory");
    return error != kNoError ? Refuse(story, error) : Answer(*state, story, StoryObject{range->anchor});
}

ATEErr GetParagraphs(TextRangeRef reference, ParagraphsIteratorRef* paragraphs) {
    auto [state, range, view, error] = OpenRange(reference, "GetParagraphs");
    if (error != kNoError) {
        return Refuse(paragraphs, error);
    }
    ParagraphsIteratorObject iterator;
    for (const std::size_t paragraph : view->story->paragraphsOf(view->span)) {
        const model::TextSpan span = view->story->paragraphSpan(paragraph);
        iterator.ranges.push_back(TextRangeObject{range->anchor, span.start, span.end});
    }
    return Answer(*state, paragraphs, std::move(iterator));
}

ATEErr GetTextFrames(TextRangeRef reference, TextFramesIteratorRef* frames) {
    return AnswerOfRange(
        "GetTextFrames", reference, frames,
        [](HostState&, const TextRangeObject& range, const text::RangeView& view) {
            return FramesIteratorObject{text::FramesShowing(*view.document, range.anchor, view.span)};
        });
}

ATEErr GetUniqueCharFeatures(TextRangeRef reference, CharFeaturesRef* features) {
    return AnswerOfRange(
        "GetUniqueCharFeatures", reference, features,
        [](HostState&, const TextRangeObject&, const text::RangeView& view) {
            return CharFeaturesObject{text::UniqueChar(*view.story, view.span, view.document->textStyles())};
        });
}

ATEErr GetUniqueLocalCharFeatures(TextRangeRef reference, CharFeaturesRef* features) {
    return AnswerOfRange("GetUniqueLocalCharFeatures", reference, features,
                         [](HostState&, const TextRangeObject&, const text::RangeView& view) {
                             return CharFeaturesObject{text::UniqueLocalChar(*view.story, view.span)};
                         });
}

ATEErr GetUniqueParaFeatures(TextRangeRef reference, ParaFeaturesRef* features) {
    return AnswerOfRange(
        "GetUniqueParaFeatures", reference, features,
        [](HostState&, const TextRangeObject&, const text::RangeView& view) {
            return ParaFeaturesObject{text::UniquePara(*view.story, view.span, view.document->textStyles())};
        });
}

ATEErr GetUniqueLocalParaFeatures(TextRangeRef reference, ParaFeaturesRef* features) {
    return AnswerOfRange("GetUniqueLocalParaFeatures", reference, features,
                         [](HostState&, const TextRangeObject&, const text::RangeView& view) {
                             return ParaFeaturesObject{text::UniqueLocalPara(*view.story, view.span)};
                         });
}

// How a local-feature operation changes the features it is given.
enum class LocalEdit { set, merge, clear };

template <typename Features, typename Object>
void ChangeLocal(LocalEdit edit, Features& local, const Object* given) {
    switch (edit) {
        case LocalEdit::set:
            local = given->features;
            break;
        case LocalEdit::merge:
            local.overlay(given->features);
            break;
        case LocalEdit::clear:
            local = {};
            break;
    }
}

// Changes the local character features of the range's runs, or the local paragraph features of
// the paragraphs it touches; features that are needed and missing, or refused, change nothing.
template <typename Object, typename Ref>
ATEErr EditLocal(std::string_view operation, TextRangeRef reference, Ref given, LocalEdit edit) {
    const RangeStart start = OpenRange(reference, operation);
    RangeEntry entry = EntryOf(operation, start);
    auto [state, range, view, error] = start;
    if (error != kNoError) {
        return entry(error);
    }
    const Object* features = given == nullptr ? nullptr : TextObjectOf<Object>(*state, given);
    if ((edit != LocalEdit::clear && given == nullptr) || (given != nullptr && features == nullptr)) {
        return entry(kBadParameterErr);
    }
    // Adding no features changes nothing: the story is not even asked for.
    if (edit != LocalEdit::merge || !features->features.empty()) {
        model::Story* story = view->document->editStory(range->anchor);
        if constexpr (std::is_same_v<Object, CharFeaturesObject>) {
            story->editRuns(view->span, [&](model::CharRun& run) { ChangeLocal(edit, run.local, features); });
        } else {
            for (const std::size_t paragraph : story->paragraphsOf(view->span)) {
                ChangeLocal(edit, story->paragraph(paragraph).local, features);
            }
        }
    }
    text::Reflow(*view->document, range->anchor);
    return entry(kNoError);
}

ATEErr SetLocalCharFeatures(TextRangeRef reference, CharFeaturesRef features) {
    return EditLocal<CharFeaturesObject>("SetLocalCharFeatures", reference, features, LocalEdit::set);
}
ATEErr ReplaceOrAddLocalCharFeatures(TextRangeRef reference, CharFeaturesRef features) {
    return EditLocal<CharFeaturesObject>("ReplaceOrAddLocalCharFeatures", reference, features,
                                         LocalEdit::merge);
}
ATEErr ClearLocalCharFeatures(TextRangeRef reference) {
    return EditLocal<CharFeaturesObject>("ClearLocalCharFeatures", reference, CharFeaturesRef{},
                                         LocalEdit::clear);
}
ATEErr SetLocalParaFeatures(TextRangeRef reference, ParaFeaturesRef features) {
    return EditLocal<ParaFeaturesObject>("SetLocalParaFeatures", reference, features, LocalEdit::set);
}
ATEErr ReplaceOrAddLocalParaFeatures(TextRangeRef reference, ParaFeaturesRef features) {
    return EditLocal<ParaFeaturesObject>("ReplaceOrAddLocalParaFeatures", reference, features,
                                         LocalEdit::merge);
}
ATEErr ClearLocalParaFeatures(TextRangeRef reference) {
    return EditLocal<ParaFeaturesObject>("ClearLocalParaFeatures", reference, ParaFeaturesRef{},
                                         LocalEdit::clear);
}

ATEErr GetNamedCharStyles(TextRangeRef reference, CharStylesRef* styles) {
    return AnswerOfRange(
        "GetNamedCharStyles", reference, styles,
        [](HostState& state, const TextRangeObject&, const text::RangeView& view) {
            return CharStylesObject{state.documents.handle, text::CharStyleNames(*view.story, view.span)};
        });
}

ATEErr GetNamedParaStyles(TextRangeRef reference, ParaStylesRef* styles) {
    return AnswerOfRange(
        "GetNamedParaStyles", reference, styles,
        [](HostState& state, const TextRangeObject&, const text::RangeView& view) {
            return ParaStylesObject{state.documents.handle, text::ParaStyleNames(*view.story, view.span)};
        });
}

// The name a unit stores: empty for the normal style.
std::string StoredName(const std::string& name, std::string_view normal) {
    return name == normal ? std::string() : name;
}

ATEErr SetNamedCharStyle(TextRangeRef reference, const ASUnicode* name) {
    const RangeStart start = OpenRange(reference, "SetNamedCharStyle");
    RangeEntry entry = EntryOf("SetNamedCharStyle", start);
    auto [state, range, view, error] = start;
    const std::optional<std::string> text = NameText(name);
    if (error != kNoError) {
        return entry(error, {text.value_or("invalid")});
    }
    if (!text || view->document->textStyles().charStyle(*text) == nullptr) {
        return entry(kBadParameterErr, {text.value_or("invalid")});
    }
    const std::string stored = StoredName(*text, model::kNormalCharStyle);
    view->document->editStory(range->anchor)->editRuns(view->span, [&](model::CharRun& run) {
        run.style = stored;
    });
    text::Reflow(*view->document, range->anchor);
    return entry(kNoError, {*text});
}

ATEErr SetNamedParaStyle(TextRangeRef reference, const ASUnicode* name) {
    const RangeStart start = OpenRange(reference, "SetNamedParaStyle");
    RangeEntry entry = EntryOf("SetNamedParaStyle", start);
    auto [state, range, view, error] = start;
    const std::optional<std::string> text = NameText(name);
    if (error != kNoError) {
        return entry(error, {text.value_or("invalid")});
    }
    if (!text || view->document->textStyles().paraStyle(*text) == nullptr) {
        return entry(kBadParameterErr, {text.value_or("invalid")});
    }
    model::Story* story = view->document->editStory(range->anchor);
    for (const std::size_t paragraph : story->paragraphsOf(view->span)) {
        story->paragraph(paragraph).style = StoredName(*text, model::kNormalParaStyle);
    }
    text::Reflow(*view->document, range->anchor);
    return entry(kNoError, {*text});
}

}  // namespace textrange

ATETextRangeSuite gTextRangeSuite = {
    PLIM_SUITE_FUNCTION_AS(AddRef, textrange::AddRef),
    PLIM_SUITE_FUNCTION_AS(Release, textrange::Release),
    PLIM_SUITE_FUNCTION_AS(Clone, textrange::Clone),
    PLIM_SUITE_FUNCTION_AS(GetStart, textrange::GetStart),
    PLIM_SUITE_FUNCTION_AS(SetStart, textrange::SetStart),
    PLIM_SUITE_FUNCTION_AS(GetEnd, textrange::GetEnd),
    PLIM_SUITE_FUNCTION_AS(SetEnd, textrange::SetEnd),
    PLIM_SUITE_FUNCTION_AS(SetRange, textrange::SetRange),
    PLIM_SUITE_FUNCTION_AS(GetSize, textrange::GetSize),
    PLIM_SUITE_FUNCTION_AS(GetContents_AsUnicode, textrange::GetContents_AsUnicode),
    PLIM_SUITE_FUNCTION_AS(InsertAfter_AsUnicode, textrange::InsertAfter_AsUnicode),
    PLIM_SUITE_FUNCTION_AS(InsertBefore_AsUnicode, textrange::InsertBefore_AsUnicode),
    PLIM_SUITE_FUNCTION_AS(Remove, textrange::Remove),
    PLIM_SUITE_FUNCTION_AS(GetStory, textrange::GetStory),
    PLIM_SUITE_FUNCTION_AS(GetParagraphs, textrange::GetParagraphs),
    PLIM_SUITE_FUNCTION_AS(GetTextFrames, textrange::GetTextFrames),
    PLIM_SUITE_FUNCTION_AS(GetUniqueCharFeatures, textrange::GetUniqueCharFeatures),
    PLIM_SUITE_FUNCTION_AS(GetUniqueLocalCharFeatures, textrange::GetUniqueLocalCharFeatures),
    PLIM_SUITE_FUNCTION_AS(GetUniqueParaFeatures, textrange::GetUniqueParaFeatures),
    PLIM_SUITE_FUNCTION_AS(GetUniqueLocalParaFeatures, textrange::GetUniqueLocalParaFeatures),
    PLIM_SUITE_FUNCTION_AS(SetLocalCharFeatures, textrange::SetLocalCharFeatures),
    PLIM_SUITE_FUNCTION_AS(ReplaceOrAddLocalCharFeatures, textrange::ReplaceOrAddLocalCharFeatures),
    PLIM_SUITE_FUNCTION_AS(ClearLocalCharFeatures, textrange::ClearLocalCharFeatures),
    PLIM_SUITE_FUNCTION_AS(SetLocalParaFeatures, textrange::SetLocalParaFeatures),
    PLIM_SUITE_FUNCTION_AS(ReplaceOrAddLocalParaFeatures, textrange::ReplaceOrAddLocalParaFeatures),
    PLIM_SUITE_FUNCTION_AS(ClearLocalParaFeatures, textrange::ClearLocalParaFeatures),
    PLIM_SUITE_FUNCTION_AS(GetNamedCharStyles, textrange::GetNamedCharStyles),
    PLIM_SUITE_FUNCTION_AS(GetNamedParaStyles, textrange::GetNamedParaStyles),
    PLIM_SUITE_FUNCTION_AS(SetNamedCharStyle, textrange::SetNamedCharStyle),
    PLIM_SUITE_FUNCTION_AS(SetNamedParaStyle, textrange::SetNamedParaStyle),
};

// --- Stories --------------------------------------------------------------------------------------

namespace story {

constexpr auto AddRef = &AddTextRef<StoryRef, StoryObject>;
constexpr auto Release = &ReleaseTextRef<StoryRef, StoryObject>;

struct StoryStart {
    HostState* state;
    StoryObject* story;
    const model::Story* text;
    ATEErr error;
};

StoryStart OpenStory(StoryRef reference, std::string_view operation) {
    auto [state, story, error] = OpenTextObject<StoryObject>(reference, operation);
    if (error != kNoError) {
        return {state, nullptr, nullptr, error};
    }
    model::Document* document = state->documents.current.get();
    if (document == nullptr) {
        return {state, nullptr, nullptr, kTextNoDocumentErr};
    }
    const model::Story* text = document->story(story->anchor);
    return {state, story, text, text == nullptr ? kBadParameterErr : kNoError};
}

ATEErr GetTextRange_entire(StoryRef reference, TextRangeRef* range) {
    auto [state, story, text, error] = OpenStory(reference, "GetTextRange_entire");
    return error != kNoError ? Refuse(range, error)
                             : Answer(*state, range, TextRangeObject{story->anchor, 0, text->size()});
}

ATEErr GetTextRange(StoryRef reference, ASInt32 start, ASInt32 end, TextRangeRef* range) {
    auto [state, story, text, error] = OpenStory(reference, "GetTextRange");
    if (error == kNoError && (start < 0 || end < start || static_cast<std::size_t>(end) > text->size())) {
        error = kBadParameterErr;
    }
    return error != kNoError ? Refuse(range, error)
                             : Answer(*state, range,
                                      TextRangeObject{story->anchor, static_cast<std::size_t>(start),
                                                      static_cast<std::size_t>(end)});
}

ATEErr GetFrameCount(StoryRef reference, ASInt32* count) {
    auto [state, story, text, error] = OpenStory(reference, "GetFrameCount");
    if ((error = OutputError(error, count)) != kNoError) {
        return Refuse(count, error);
    }
    *count = static_cast<ASInt32>(state->documents.current->thread(story->anchor)->size());
    return kNoError;
}

ATEErr GetFrame(StoryRef reference, ASInt32 index, TextFrameRef* frame) {
    auto [state, story, text, error] = OpenStory(reference, "GetFrame");
    if (error != kNoError) {
        return Refuse(frame, error);
    }
    const std::vector<model::ArtId> frames = state->documents.current->thread(story->anchor).value();
    if (index < 0 || static_cast<std::size_t>(index) >= frames.size()) {
        return Refuse(frame, kBadParameterErr);
    }
    return Answer(*state, frame, TextFrameObject{frames[static_cast<std::size_t>(index)]});
}

ATEErr SuspendReflow(StoryRef reference) {
    auto [state, story, text, error] = OpenStory(reference, "SuspendReflow");
    if (error == kNoError) {
        ++state->textEngine.reflowSuspensions;
    }
    return error;
}

ATEErr ResumeReflow(StoryRef reference) {
    auto [state, story, text, error] = OpenStory(reference, "ResumeReflow");
    if (error == kNoError) {
        --state->textEngine.reflowSuspensions;
    }
    return error;
}

}  // namespace story

ATEStorySuite gStorySuite = {
    PLIM_SUITE_FUNCTION_AS(AddRef, story::AddRef),
    PLIM_SUITE_FUNCTION_AS(Release, story::Release),
    PLIM_SUITE_FUNCTION_AS(GetTextRange_entire, story::GetTextRange_entire),
    PLIM_SUITE_FUNCTION_AS(GetTextRange, story::GetTextRange),
    PLIM_SUITE_FUNCTION_AS(GetFrameCount, story::GetFrameCount),
    PLIM_SUITE_FUNCTION_AS(GetFrame, story::GetFrame),
    PLIM_SUITE_FUNCTION_AS(SuspendReflow, story::SuspendReflow),
    PLIM_SUITE_FUNCTION_AS(ResumeReflow, story::ResumeReflow),
};

// --- Frames ---------------------------------------------------------------------------------------

namespace frame {

constexpr auto AddRef = &AddTextRef<TextFrameRef, TextFrameObject>;
constexpr auto Release = &ReleaseTextRef<TextFrameRef, TextFrameObject>;

struct FrameStart {
    HostState* state;
    model::ArtId frame;
    const model::TextFrameContent* content;
    ATEErr error;
};

FrameStart OpenFrame(TextFrameRef reference, std::string_view operation) {
    auto [state, frame, error] = OpenTextObject<TextFrameObject>(reference, operation);
    if (error != kNoError) {
        return {state, {}, nullptr, error};
    }
    model::Document* document = state->documents.current.get();
    if (document == nullptr) {
        return {state, {}, nullptr, kTextNoDocumentErr};
    }
    const auto* content = document->contentAs<model::TextFrameContent>(frame->frame);
    return {state, frame->frame, content, content == nullptr ? kBadParameterErr : kNoError};
}

ATEErr GetTextRange(TextFrameRef reference, bool includeOverflow, TextRangeRef* range) {
    auto [state, frame, content, error] = OpenFrame(reference, "GetTextRange");
    if (error != kNoError) {
        return Refuse(range, error);
    }
    const model::Document& document = *state->documents.current;
    const text::StoryLayout layout = text::LayOut(document, frame);
    const auto laid = std::find_if(layout.frames.begin(), layout.frames.end(),
                                   [&](const text::FrameLayout& each) { return each.frame == frame; });
    TextRangeObject result{frame, laid->start, laid->end};
    if (includeOverflow && laid + 1 == layout.frames.end()) {
        result.end = document.story(frame)->size();
    }
    return Answer(*state, range, result);
}

ATEErr GetStory(TextFrameRef reference, StoryRef* story) {
    auto [state, frame, content, error] = OpenFrame(reference, "GetStory");
    return error != kNoError ? Refuse(story, error) : Answer(*state, story, StoryObject{frame});
}

ATEErr GetTextLinesIterator(TextFrameRef reference, TextLinesIteratorRef* lines) {
    auto [state, frame, content, error] = OpenFrame(reference, "GetTextLinesIterator");
    return error != kNoError
               ? Refuse(lines, error)
               : Answer(*state, lines, LinesIteratorObject{LineRanges(*state->documents.current, frame)});
}

ATEErr GetStoryDirection(TextFrameRef reference, ASInt32* direction) {
    auto [state, frame, content, error] = OpenFrame(reference, "GetStoryDirection");
    if ((error = OutputError(error, direction)) != kNoError) {
        return Refuse(direction, error);
    }
    *direction = content->storyDirection;
    return kNoError;
}

ATEErr SetStoryDirection(TextFrameRef reference, ASInt32 direction) {
    auto [state, frame, content, error] = OpenFrame(reference, "SetStoryDirection");
    if (error == kNoError && direction != 0 && direction != 1) {
        error = kBadParameterErr;
    }
    if (error == kNoError) {
        state->documents.current->editContent<model::TextFrameContent>(frame)->storyDirection = direction;
    }
    const model::Document* document = state == nullptr ? nullptr : state->documents.current.get();
    Record(state, "SetStoryDirection", {ArtLabel(document, ArtHandleOf(frame)), std::to_string(direction)},
           error);
    return error;
}

}  // namespace frame

ATETextFrameSuite gTextEngineFrameSuite = {
    PLIM_SUITE_FUNCTION_AS(AddRef, frame::AddRef),
    PLIM_SUITE_FUNCTION_AS(Release, frame::Release),
    PLIM_SUITE_FUNCTION_AS(GetTextRange, frame::GetTextRange),
    PLIM_SUITE_FUNCTION_AS(GetStory, frame::GetStory),
    PLIM_SUITE_FUNCTION_AS(GetTextLinesIterator, frame::GetTextLinesIterator),
    PLIM_SUITE_FUNCTION_AS(GetStoryDirection, frame::GetStoryDirection),
    PLIM_SUITE_FUNCTION_AS(SetStoryDirection, frame::SetStoryDirection),
};

// --- Paragraphs and lines -------------------------------------------------------------------------

namespace spans {

template <typename Ref, typename T>
ATEErr GetTextRangeOf(Ref reference, TextRangeRef* range) {
    auto [state, object, error] = OpenTextObject<T>(reference, "GetTextRange");
    return error != kNoError ? Refuse(range, error) : Answer(*state, range, object->range);
}

constexpr auto ParagraphAddRef = &AddTextRef<ParagraphRef, ParagraphObject>;
constexpr auto ParagraphRelease = &ReleaseTextRef<ParagraphRef, ParagraphObject>;
constexpr auto ParagraphRange = &GetTextRangeOf<ParagraphRef, ParagraphObject>;
constexpr auto LineAddRef = &AddTextRef<TextLineRef, TextLineObject>;
constexpr auto LineRelease = &ReleaseTextRef<TextLineRef, TextLineObject>;
constexpr auto LineRange = &GetTextRangeOf<TextLineRef, TextLineObject>;

}  // namespace spans

ATEParagraphSuite gParagraphSuite = {
    PLIM_SUITE_FUNCTION_AS(AddRef, spans::ParagraphAddRef),
    PLIM_SUITE_FUNCTION_AS(Release, spans::ParagraphRelease),
    PLIM_SUITE_FUNCTION_AS(GetTextRange, spans::ParagraphRange),
};

ATETextLineSuite gTextLineSuite = {
    PLIM_SUITE_FUNCTION_AS(AddRef, spans::LineAddRef),
    PLIM_SUITE_FUNCTION_AS(Release, spans::LineRelease),
    PLIM_SUITE_FUNCTION_AS(GetTextRange, spans::LineRange),
};

// --- Iterators ------------------------------------------------------------------------------------

namespace iterators {

template <typename T>
std::size_t CountOf(const T& iterator) {
    if constexpr (std::is_same_v<T, FramesIteratorObject>) {
        return iterator.frames.size();
    } else {
        return iterator.ranges.size();
    }
}

template <typename Ref, typename T>
ATEErr IsNotDone(Ref reference, bool* notDone) {
    return ReadTextObject<T>(reference, "IsNotDone", notDone,
                             [&](const T* iterator) { return iterator->next < CountOf(*iterator); });
}

template <typename Ref, typename T>
ATEErr IsEmpty(Ref reference, bool* empty) {
    return ReadTextObject<T>(reference, "IsEmpty", empty,
                             [&](const T* iterator) { return CountOf(*iterator) == 0; });
}

template <typename Ref, typename T>
ATEErr Next(Ref reference) {
    auto [state, iterator, error] = OpenTextObject<T>(reference, "Next");
    if (error != kNoError) {
        return error;
    }
    if (iterator->next >= CountOf(*iterator)) {
        return kBadParameterErr;
    }
    ++iterator->next;
    return kNoError;
}

template <typename Ref, typename T, typename ItemRef>
ATEErr Item(Ref reference, ItemRef* item) {
    auto [state, iterator, error] = OpenTextObject<T>(reference, "Item");
    if (error == kNoError && iterator->next >= CountOf(*iterator)) {
        error = kBadParameterErr;
    }
    if (error != kNoError) {
        return Refuse(item, error);
    }
    if constexpr (std::is_same_v<T, FramesIteratorObject>) {
        return Answer(*state, item, TextFrameObject{iterator->frames[iterator->next]});
    } else if constexpr (std::is_same_v<T, ParagraphsIteratorObject>) {
        return Answer(*state, item, ParagraphObject{iterator->ranges[iterator->next]});
    } else {
        return Answer(*state, item, TextLineObject{iterator->ranges[iterator->next]});
    }
}

#define PLIM_TEXT_ITERATOR_TABLE(Ref, Type, ItemRef)                           \
    PLIM_SUITE_FUNCTION_AS(AddRef, (&AddTextRef<Ref, Type>)),                  \
        PLIM_SUITE_FUNCTION_AS(Release, (&ReleaseTextRef<Ref, Type>)),         \
        PLIM_SUITE_FUNCTION_AS(IsNotDone, (&iterators::IsNotDone<Ref, Type>)), \
        PLIM_SUITE_FUNCTION_AS(IsEmpty, (&iterators::IsEmpty<Ref, Type>)),     \
        PLIM_SUITE_FUNCTION_AS(Next, (&iterators::Next<Ref, Type>)),           \
        PLIM_SUITE_FUNCTION_AS(Item, (&iterators::Item<Ref, Type, ItemRef>))

}  // namespace iterators

ATETextFramesIteratorSuite gTextFramesIteratorSuite = {
    PLIM_TEXT_ITERATOR_TABLE(TextFramesIteratorRef, FramesIteratorObject, TextFrameRef)};
ATEParagraphsIteratorSuite gParagraphsIteratorSuite = {
    PLIM_TEXT_ITERATOR_TABLE(ParagraphsIteratorRef, ParagraphsIteratorObject, ParagraphRef)};
ATETextLinesIteratorSuite gTextLinesIteratorSuite = {
    PLIM_TEXT_ITERATOR_TABLE(TextLinesIteratorRef, LinesIteratorObject, TextLineRef)};

}  // namespace host

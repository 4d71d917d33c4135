#include "textengine/TextEngine.h"

#include <algorithm>

#include "textengine/Layout.h"

namespace host::text {

namespace {

// Every live range of the registry: ranges, paragraphs and lines.
template <typename Fn>
void ForEachLiveRange(HostState& state, Fn fn) {
    state.textEngine.objects.ForEach([&](std::uintptr_t, TextObjectRecord& record) {
        TextObject& object = record.object;
        if (auto* range = std::get_if<TextRangeObject>(&object)) {
            fn(*range);
        } else if (auto* paragraph = std::get_if<ParagraphObject>(&object)) {
            fn(paragraph->range);
        } else if (auto* line = std::get_if<TextLineObject>(&object)) {
            fn(line->range);
        }
    });
}

// Whether a range anchored at a frame belongs to the story edited through another frame: the same
// frame needs no look-up, which a series of edits through one frame would otherwise repeat.
bool InStory(const model::Document& document, model::ArtId rangeAnchor, model::ArtId editAnchor,
             const model::Story* story) {
    return rangeAnchor == editAnchor || document.story(rangeAnchor) == story;
}

// Calls fn(local, charStyle, paragraph index, length) for each stretch of the span that shares a
// run and a paragraph.
template <typename Fn>
void ForEachStretch(const model::Story& story, model::TextSpan span, Fn fn) {
    if (span.start >= span.end) {
        const model::CharRun& run = story.runAt(span.start > 0 ? span.start - 1 : 0);
        fn(run.local, run.style, story.paragraphAt(span.start), std::size_t{0});
        return;
    }
    std::size_t paragraph = story.paragraphAt(span.start);
    std::size_t position = span.start;
    for (const model::CharRun& run : story.runsOf(span)) {
        const std::size_t end = position + run.length;
        while (position < end) {
            const std::size_t paragraphEnd = story.paragraphSpan(paragraph).end;
            const std::size_t stop = std::min(end, paragraphEnd);
            fn(run.local, run.style, paragraph, stop - position);
            if (stop == paragraphEnd) {
                ++paragraph;
            }
            position = stop;
        }
    }
}

std::string ShownName(const std::string& style, std::string_view normal) {
    return style.empty() ? std::string(normal) : style;
}

void AddOnce(std::vector<std::string>& names, std::string name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) {
        names.push_back(std::move(name));
    }
}

}  // namespace

std::optional<RangeView> ViewOf(HostState& state, TextRangeObject& range) {
    model::Document* document = state.documents.current.get();
    const model::Story* story = document == nullptr ? nullptr : document->story(range.anchor);
    if (story == nullptr) {
        return std::nullopt;
    }
    range.start = std::min(range.start, story->size());
    range.end = std::clamp(range.end, range.start, story->size());
    return RangeView{document, story, {range.start, range.end}};
}

void InsertUnits(HostState& state, model::Document& document, model::ArtId anchor, std::size_t position,
                 std::u16string_view units) {
    model::Story* story = document.editStory(anchor);
    if (story == nullptr || units.empty()) {
        return;
    }
    story->insert(position, units);
    ForEachLiveRange(state, [&](TextRangeObject& range) {
        if (!InStory(document, range.anchor, anchor, story)) {
            return;
        }
        if (range.start > position) {
            range.start += units.size();
        }
        if (range.end >= position) {
            range.end += units.size();
        }
    });
    Reflow(document, anchor);
}

void EraseUnits(HostState& state, model::Document& document, model::ArtId anchor, model::TextSpan span) {
    model::Story* story = document.editStory(anchor);
    if (story == nullptr || span.start >= span.end) {
        return;
    }
    story->erase(span);
    const auto shift = [&](std::size_t& boundary) {
        if (boundary >= span.end) {
            boundary -= span.size();
        } else if (boundary > span.start) {
            boundary = span.start;
        }
    };
    ForEachLiveRange(state, [&](TextRangeObject& range) {
        if (InStory(document, range.anchor, anchor, story)) {
            shift(range.start);
            shift(range.end);
        }
    });
    Reflow(document, anchor);
}

void Reflow(model::Document& document, model::ArtId anchor) {
    // A frame outside any thread sizes itself only as auto-sized area text.
    const auto* own = document.contentAs<model::TextFrameContent>(anchor);
    if (own != nullptr && own->threadHead.empty() && own->thread.empty() &&
        !(own->kind == model::TextKind::area && own->autoSize)) {
        return;
    }
    const model::Result<std::vector<model::ArtId>> frames = document.thread(anchor);
    if (!frames) {
        return;
    }
    const bool sizes = std::any_of(frames->begin(), frames->end(), [&](model::ArtId frame) {
        const auto* text = document.contentAs<model::TextFrameContent>(frame);
        return text->kind == model::TextKind::area && text->autoSize;
    });
    if (!sizes) {
        return;
    }
    const StoryLayout layout = LayOut(document, anchor);
    for (const FrameLayout& frame : layout.frames) {
        const auto* text = document.contentAs<model::TextFrameContent>(frame.frame);
        if (text->kind == model::TextKind::area && text->autoSize) {
            const double bottom = text->box.frame.top - NeededHeight(frame);
            document.editContent<model::TextFrameContent>(frame.frame)->box.frame.bottom = bottom;
        }
    }
}

void ReflowAll(model::Document& document) {
    for (const model::ArtId art : document.documentOrder()) {
        const auto* text = document.contentAs<model::TextFrameContent>(art);
        if (text != nullptr && text->threadHead.empty()) {
            Reflow(document, art);
        }
    }
}

model::CharFeatures UniqueChar(const model::Story& story, model::TextSpan span,
                               const model::TextStyles& styles) {
    std::optional<model::CharFeatures> shared;
    ForEachStretch(
        story, span,
        [&](const model::CharFeatures& local, const std::string& style, std::size_t paragraph, std::size_t) {
            const model::CharFeatures features =
                model::resolveChar(local, style, story.paragraph(paragraph).style, styles);
            if (shared) {
                shared->intersect(features);
            } else {
                shared = features;
            }
        });
    return shared.value_or(model::CharFeatures{});
}

model::CharFeatures UniqueLocalChar(const model::Story& story, model::TextSpan span) {
    std::optional<model::CharFeatures> shared;
    story.forEachRunOf(span, [&](const model::CharRun& run, std::size_t) {
        if (shared) {
            shared->intersect(run.local);
        } else {
            shared = run.local;
        }
    });
    return shared.value_or(model::CharFeatures{});
}

model::ParaFeatures UniquePara(const model::Story& story, model::TextSpan span,
                               const model::TextStyles& styles) {
    std::optional<model::ParaFeatures> shared;
    for (const std::size_t paragraph : story.paragraphsOf(span)) {
        model::ParaFeatures features = story.effectivePara(paragraph, styles);
        features.defaultChar.reset();
        if (shared) {
            shared->intersect(features);
        } else {
            shared = features;
        }
    }
    return shared.value_or(model::ParaFeatures{});
}

model::ParaFeatures UniqueLocalPara(const model::Story& story, model::TextSpan span) {
    std::optional<model::ParaFeatures> shared;
    for (const std::size_t paragraph : story.paragraphsOf(span)) {
        if (shared) {
            shared->intersect(story.paragraph(paragraph).local);
        } else {
            shared = story.paragraph(paragraph).local;
        }
    }
    return shared.value_or(model::ParaFeatures{});
}

std::vector<std::string> CharStyleNames(const model::Story& story, model::TextSpan span) {
    std::vector<std::string> names;
    for (const model::CharRun& run : story.runsOf(span)) {
        AddOnce(names, ShownName(run.style, model::kNormalCharStyle));
    }
    return names;
}

std::vector<std::string> ParaStyleNames(const model::Story& story, model::TextSpan span) {
    std::vector<std::string> names;
    for (const std::size_t paragraph : story.paragraphsOf(span)) {
        AddOnce(names, ShownName(story.paragraph(paragraph).style, model::kNormalParaStyle));
    }
    return names;
}

std::vector<model::ArtId> FramesShowing(const model::Document& document, model::ArtId anchor,
                                        model::TextSpan span) {
    const StoryLayout layout = LayOut(document, anchor);
    std::vector<model::ArtId> frames;
    for (const FrameLayout& frame : layout.frames) {
        const bool shows = span.start < span.end ? frame.start < span.end && span.start < frame.end
                                                 : frame.start <= span.start && span.start <= frame.end;
        if (shows) {
            frames.push_back(frame.frame);
        }
    }
    if (frames.empty() && !layout.frames.empty() && span.start >= span.end) {
        frames.push_back(layout.frames.front().frame);
    }
    return frames;
}

}  // namespace host::text

// The text engine's edits and queries over the stories of the current document, shared by the
// text-engine suites: live ranges follow every edit, and auto-sized frames follow their text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "HostState.h"

namespace host::text {

// What a live range names now: its document, story and units (clamped to the story). Reading
// leaves the document's change log alone; an edit asks the document for the story to change.
struct RangeView {
    model::Document* document;
    const model::Story* story;
    model::TextSpan span;
};
std::optional<RangeView> ViewOf(HostState& state, TextRangeObject& range);

// Edits of the story the anchor frame shows; every live range of the story follows.
void InsertUnits(HostState& state, model::Document& document, model::ArtId anchor, std::size_t position,
                 std::u16string_view units);
void EraseUnits(HostState& state, model::Document& document, model::ArtId anchor, model::TextSpan span);

// Auto-sized area frames take the height of what they hold: those of one story, or all.
void Reflow(model::Document& document, model::ArtId anchor);
void ReflowAll(model::Document& document);

// The features shared by every unit of the span: resolved through the styles, or the local ones.
model::CharFeatures UniqueChar(const model::Story& story, model::TextSpan span,
                               const model::TextStyles& styles);
model::CharFeatures UniqueLocalChar(const model::Story& story, model::TextSpan span);
model::ParaFeatures UniquePara(const model::Story& story, model::TextSpan span,
                               const model::TextStyles& styles);
model::ParaFeatures UniqueLocalPara(const model::Story& story, model::TextSpan span);

// The styles applied over the span, each once, in text order; the normal style stands for none.
std::vector<std::string> CharStyleNames(const model::Story& story, model::TextSpan span);
std::vector<std::string> ParaStyleNames(const model::Story& story, model::TextSpan span);

// The frames of the thread that show some of the span (the frame holding its place when empty).
std::vector<model::ArtId> FramesShowing(const model::Document& document, model::ArtId anchor,
                                        model::TextSpan span);

}  // namespace host::text

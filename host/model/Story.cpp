#include "model/Story.h"

#include <algorithm>
#include <cmath>

#include "model/Utf8.h"

namespace host::model {

namespace {

constexpr char16_t kParagraphBreak = u'\r';

bool isValidColor(const TextColor& color) {
    for (std::size_t index = 0; index < color.componentCount(); ++index) {
        const double value = color.values[index];
        if (!std::isfinite(value) || value < 0.0 || value > 1.0) {
            return false;
        }
    }
    return true;
}

template <typename T>
void overlayOne(std::optional<T>& target, const std::optional<T>& over) {
    if (over) {
        target = over;
    }
}

template <typename T>
void intersectOne(std::optional<T>& target, const std::optional<T>& other) {
    if (target != other) {
        target.reset();
    }
}

template <typename T>
bool keepsRule(const std::optional<T>& value, FeatureRule rule) {
    return !value || accepts(rule, *value);
}

std::size_t countBreaks(std::u16string_view units) {
    return static_cast<std::size_t>(std::count(units.begin(), units.end(), kParagraphBreak));
}

}  // namespace

bool accepts(FeatureRule rule, double value) {
    switch (rule.kind) {
        case FeatureRule::Kind::any:
        case FeatureRule::Kind::finite:
            return std::isfinite(value);
        case FeatureRule::Kind::nonNegative:
            return std::isfinite(value) && value >= 0.0;
        case FeatureRule::Kind::positive:
            return std::isfinite(value) && value > 0.0;
        case FeatureRule::Kind::codes:
            return false;
    }
    return false;
}

bool accepts(FeatureRule rule, int value) {
    return rule.kind != FeatureRule::Kind::codes || (value >= rule.first && value <= rule.last);
}

bool accepts(FeatureRule, bool) {
    return true;
}

// --- Features ---------------------------------------------------------------------------------------

#define PLIM_TEXT_OVERLAY(Name, member, type, rule) overlayOne(member, over.member);
#define PLIM_TEXT_INTERSECT(Name, member, type, rule) intersectOne(member, other.member);
#define PLIM_TEXT_KEEPS_RULE(Name, member, type, rule) &&keepsRule(member, rule)

void CharFeatures::overlay(const CharFeatures& over) {
    overlayOne(font, over.font);
    overlayOne(fillColor, over.fillColor);
    overlayOne(strokeColor, over.strokeColor);
    PLIM_TEXT_CHAR_VALUES(PLIM_TEXT_OVERLAY)
}

void CharFeatures::intersect(const CharFeatures& other) {
    intersectOne(font, other.font);
    intersectOne(fillColor, other.fillColor);
    intersectOne(strokeColor, other.strokeColor);
    PLIM_TEXT_CHAR_VALUES(PLIM_TEXT_INTERSECT)
}

bool CharFeatures::isValid() const {
    return (!font || (!font->empty() && isValidUtf8(*font))) && (!fillColor || isValidColor(*fillColor)) &&
           (!strokeColor || isValidColor(*strokeColor)) PLIM_TEXT_CHAR_VALUES(PLIM_TEXT_KEEPS_RULE);
}

void ParaFeatures::overlay(const ParaFeatures& over) {
    if (over.defaultChar) {
        if (!defaultChar) {
            defaultChar.emplace();
        }
        defaultChar->overlay(*over.defaultChar);
    }
    PLIM_TEXT_PARA_VALUES(PLIM_TEXT_OVERLAY)
}

void ParaFeatures::intersect(const ParaFeatures& other) {
    intersectOne(defaultChar, other.defaultChar);
    PLIM_TEXT_PARA_VALUES(PLIM_TEXT_INTERSECT)
}

bool ParaFeatures::isValid() const {
    return (!defaultChar || defaultChar->isValid()) PLIM_TEXT_PARA_VALUES(PLIM_TEXT_KEEPS_RULE);
}

#undef PLIM_TEXT_OVERLAY
#undef PLIM_TEXT_INTERSECT
#undef PLIM_TEXT_KEEPS_RULE

CharFeatures defaultCharFeatures() {
    CharFeatures features;
    features.font = std::string(kDefaultFont);
    features.fontSize = 12.0;
    features.fill = true;
    features.fillColor = TextColor::black();
    features.stroke = false;
    features.strokeColor = TextColor::black();
    features.autoLeading = true;
    features.leading = 14.4;
    features.dirOverride = 0;
    features.baselineOption = 0;
    features.strikethroughPosition = 0;
    features.underlinePosition = 0;
    features.lineWidth = 1.0;
    features.lineJoin = 0;
    features.fillOverPrint = false;
    features.strokeOverPrint = false;
    features.tracking = 0;
    features.autoKernType = 1;
    features.baselineShift = 0.0;
    features.horizontalScale = 1.0;
    features.verticalScale = 1.0;
    features.characterRotation = 0.0;
    features.language = 0;
    return features;
}

ParaFeatures defaultParaFeatures() {
    ParaFeatures features;
    features.justification = 0;
    features.firstLineIndent = 0.0;
    features.composerEngine = 0;
    features.everyLineComposer = false;
    features.paragraphDirection = 0;
    return features;
}

// --- Styles -----------------------------------------------------------------------------------------

TextStyles::TextStyles() {
    char_.emplace(kNormalCharStyle, CharFeatures{});
    ParaFeatures normal = defaultParaFeatures();
    normal.defaultChar = defaultCharFeatures();
    para_.emplace(kNormalParaStyle, std::move(normal));
}

const CharFeatures* TextStyles::charStyle(std::string_view name) const {
    const auto found = char_.find(name);
    return found == char_.end() ? nullptr : &found->second;
}

const ParaFeatures* TextStyles::paraStyle(std::string_view name) const {
    const auto found = para_.find(name);
    return found == para_.end() ? nullptr : &found->second;
}

Status TextStyles::setCharStyle(std::string_view name, CharFeatures features) {
    if (name.empty() || !isValidUtf8(name) || !features.isValid()) {
        return Status::badParameter;
    }
    char_.insert_or_assign(std::string(name), std::move(features));
    return Status::ok;
}

Status TextStyles::setParaStyle(std::string_view name, ParaFeatures features) {
    if (name.empty() || !isValidUtf8(name) || !features.isValid()) {
        return Status::badParameter;
    }
    para_.insert_or_assign(std::string(name), std::move(features));
    return Status::ok;
}

bool TextStyles::isDefault() const {
    return *this == TextStyles{};
}

CharFeatures resolveChar(const CharFeatures& local, std::string_view charStyle, std::string_view paraStyle,
                         const TextStyles& styles) {
    CharFeatures result = defaultCharFeatures();
    const ParaFeatures* normalPara = styles.paraStyle(kNormalParaStyle);
    if (normalPara != nullptr && normalPara->defaultChar) {
        result.overlay(*normalPara->defaultChar);
    }
    if (const CharFeatures* normalChar = styles.charStyle(kNormalCharStyle)) {
        result.overlay(*normalChar);
    }
    const ParaFeatures* para = paraStyle.empty() ? nullptr : styles.paraStyle(paraStyle);
    if (para != nullptr && para->defaultChar) {
        result.overlay(*para->defaultChar);
    }
    if (const CharFeatures* style = charStyle.empty() ? nullptr : styles.charStyle(charStyle)) {
        result.overlay(*style);
    }
    result.overlay(local);
    return result;
}

// --- Stories ----------------------------------------------------------------------------------------

Story::Story()
    : runs_(std::vector<CharRun>{CharRun{}}),
      paragraphs_(std::vector<ParaRun>{ParaRun{}}),
      paragraphLengths_(std::vector<std::size_t>{0}) {}

std::optional<Story> Story::plain(std::string_view utf8) {
    if (!isValidUtf8(utf8)) {
        return std::nullopt;
    }
    Story story;
    story.insert(0, utf16Of(utf8));
    return story;
}

std::optional<Story> Story::fromParts(std::u16string text, std::vector<CharRun> runs,
                                      std::vector<ParaRun> paragraphs) {
    std::size_t covered = 0;
    for (const CharRun& run : runs) {
        covered += run.length;
    }
    if (runs.empty() || covered != text.size() || paragraphs.size() != countBreaks(text) + 1) {
        return std::nullopt;
    }
    // Runs as given may repeat their neighbours or be empty: each unit's features are what count.
    std::vector<CharRun> merged;
    merged.reserve(runs.size());
    for (CharRun& run : runs) {
        if (run.length == 0) {
            continue;
        }
        if (!merged.empty() && merged.back().local == run.local && merged.back().style == run.style) {
            merged.back().length += run.length;
            continue;
        }
        merged.push_back(std::move(run));
    }
    if (merged.empty()) {
        CharRun empty = std::move(runs.front());
        empty.length = 0;
        merged.push_back(std::move(empty));
    }
    std::vector<std::size_t> lengths;
    lengths.reserve(paragraphs.size());
    std::size_t start = 0;
    for (std::size_t next = text.find(kParagraphBreak); next != std::u16string::npos;
         next = text.find(kParagraphBreak, start)) {
        lengths.push_back(next + 1 - start);
        start = next + 1;
    }
    lengths.push_back(text.size() - start);
    Story story;
    story.text_ = GapArray<std::u16string>(std::move(text));
    story.runs_ = GapArray<std::vector<CharRun>>(std::move(merged));
    story.paragraphs_ = GapArray<std::vector<ParaRun>>(std::move(paragraphs));
    story.paragraphLengths_ = GapArray<std::vector<std::size_t>>(std::move(lengths));
    return story;
}

std::string Story::utf8() const {
    return utf8Of(text());
}

bool Story::isPlain() const {
    const auto plainRun = [](const CharRun& run) { return run.local.empty() && run.style.empty(); };
    const auto plainPara = [](const ParaRun& para) { return para.local.empty() && para.style.empty(); };
    const std::vector<CharRun>& runs = charRuns();
    const std::vector<ParaRun>& paras = paragraphs();
    return std::all_of(runs.begin(), runs.end(), plainRun) &&
           std::all_of(paras.begin(), paras.end(), plainPara);
}

std::size_t Story::locateRun(std::size_t position) const {
    Cursor& cursor = runCursor_;
    if (cursor.index >= runs_.size()) {
        cursor = {};
    }
    while (cursor.index > 0 && position < cursor.start) {
        --cursor.index;
        cursor.start -= runs_[cursor.index].length;
    }
    while (cursor.index + 1 < runs_.size() && position >= cursor.start + runs_[cursor.index].length) {
        cursor.start += runs_[cursor.index].length;
        ++cursor.index;
    }
    return cursor.index;
}

std::size_t Story::locateParagraph(std::size_t position) const {
    Cursor& cursor = paragraphCursor_;
    if (cursor.index >= paragraphLengths_.size()) {
        cursor = {};
    }
    while (cursor.index > 0 && position < cursor.start) {
        --cursor.index;
        cursor.start -= paragraphLengths_[cursor.index];
    }
    while (cursor.index + 1 < paragraphLengths_.size() &&
           position >= cursor.start + paragraphLengths_[cursor.index]) {
        cursor.start += paragraphLengths_[cursor.index];
        ++cursor.index;
    }
    return cursor.index;
}

TextSpan Story::paragraphSpan(std::size_t index) const {
    if (index >= paragraphLengths_.size()) {
        return {size(), size()};
    }
    Cursor& cursor = paragraphCursor_;
    if (cursor.index >= paragraphLengths_.size()) {
        cursor = {};
    }
    while (cursor.index > index) {
        --cursor.index;
        cursor.start -= paragraphLengths_[cursor.index];
    }
    while (cursor.index < index) {
        cursor.start += paragraphLengths_[cursor.index];
        ++cursor.index;
    }
    return {cursor.start, cursor.start + paragraphLengths_[index]};
}

std::size_t Story::paragraphAt(std::size_t position) const {
    return locateParagraph(std::min(position, size()));
}

std::vector<std::size_t> Story::paragraphsOf(TextSpan span) const {
    const std::size_t first = paragraphAt(span.start);
    const std::size_t last = span.end > span.start ? paragraphAt(span.end - 1) : first;
    std::vector<std::size_t> result;
    for (std::size_t index = first; index <= last && index < paragraphs_.size(); ++index) {
        result.push_back(index);
    }
    return result;
}

void Story::insert(std::size_t position, std::u16string_view units) {
    position = std::min(position, size());
    if (units.empty()) {
        return;
    }
    // The run holding the unit before the place grows; at the start, the first run.
    if (position == 0) {
        runCursor_ = {};
    }
    runs_[position > 0 ? locateRun(position - 1) : 0].length += units.size();

    // The paragraph at the place takes the units up to the first inserted break; each further break
    // starts a copy of it, the last of which takes the rest of the paragraph.
    const std::size_t paragraph = locateParagraph(position);
    const std::size_t offset = position - paragraphCursor_.start;
    std::vector<std::size_t> breaks;
    for (std::size_t index = 0; index < units.size(); ++index) {
        if (units[index] == kParagraphBreak) {
            breaks.push_back(index);
        }
    }
    if (breaks.empty()) {
        paragraphLengths_[paragraph] += units.size();
    } else {
        const std::size_t length = paragraphLengths_[paragraph];
        std::vector<std::size_t> lengths;
        lengths.reserve(breaks.size());
        for (std::size_t index = 1; index < breaks.size(); ++index) {
            lengths.push_back(breaks[index] - breaks[index - 1]);
        }
        lengths.push_back(length - offset + units.size() - breaks.back() - 1);
        paragraphLengths_[paragraph] = offset + breaks.front() + 1;
        paragraphLengths_.insert(paragraph + 1, lengths.begin(), lengths.size());
        const ParaRun features = paragraphs_[paragraph];
        paragraphs_.insertCopies(paragraph + 1, breaks.size(), features);
    }
    text_.insert(position, units.begin(), units.size());
}

void Story::erase(TextSpan span) {
    span.end = std::min(span.end, size());
    if (span.start >= span.end) {
        return;
    }
    // The paragraphs whose breaks go join the first, which keeps its features.
    const std::size_t paragraph = locateParagraph(span.start);
    std::size_t joined = 0;
    for (std::size_t index = span.start; index < span.end; ++index) {
        joined += text_[index] == kParagraphBreak ? 1 : 0;
    }
    std::size_t length = 0;
    for (std::size_t index = paragraph; index <= paragraph + joined; ++index) {
        length += paragraphLengths_[index];
    }
    paragraphLengths_[paragraph] = length - span.size();
    paragraphLengths_.erase(paragraph + 1, joined);
    paragraphs_.erase(paragraph + 1, joined);

    // Inside one run that keeps some units (or the story's only run): the run only shrinks, and its
    // neighbours still differ from it.
    const std::size_t holder = locateRun(span.start);
    const std::size_t holderLength = runs_[holder].length;
    if (span.end <= runCursor_.start + holderLength && (span.size() < holderLength || runs_.size() == 1)) {
        runs_[holder].length -= span.size();
        text_.erase(span.start, span.size());
        return;
    }
    const std::size_t first = splitAt(span.start);
    const std::size_t last = splitAt(span.end);
    CharRun kept = runs_[first];
    runs_.erase(first, last - first);
    if (runs_.empty()) {
        kept.length = 0;
        runs_.insertCopies(0, 1, kept);
    }
    text_.erase(span.start, span.size());
    // Only the runs on either side of the removed ones can have become equal.
    runCursor_ = {};
    if (first > 0) {
        mergeRuns(first, first, span.start);
    }
}

const CharRun& Story::runAt(std::size_t position) const {
    return runs_[locateRun(position)];
}

std::vector<CharRun> Story::runsOf(TextSpan span) const {
    std::vector<CharRun> result;
    forEachRunOf(span, [&](const CharRun& run, std::size_t units) {
        result.push_back(run);
        result.back().length = units;
    });
    return result;
}

CharFeatures Story::effectiveChar(std::size_t position, const TextStyles& styles) const {
    const CharRun& run = runAt(position);
    return resolveChar(run.local, run.style, paragraph(paragraphAt(position)).style, styles);
}

ParaFeatures Story::effectivePara(std::size_t paragraphIndex, const TextStyles& styles) const {
    ParaFeatures result = defaultParaFeatures();
    if (const ParaFeatures* normal = styles.paraStyle(kNormalParaStyle)) {
        result.overlay(*normal);
    }
    const ParaRun& para = paragraph(paragraphIndex);
    if (const ParaFeatures* style = para.style.empty() ? nullptr : styles.paraStyle(para.style)) {
        result.overlay(*style);
    }
    result.overlay(para.local);
    return result;
}

std::size_t Story::splitAt(std::size_t position) {
    if (position >= size()) {
        return runs_.size();
    }
    const std::size_t index = locateRun(position);
    const std::size_t start = runCursor_.start;
    if (start == position) {
        return index;
    }
    CharRun tail = runs_[index];
    tail.length = start + runs_[index].length - position;
    runs_[index].length = position - start;
    runs_.insertCopies(index + 1, 1, tail);
    return index + 1;
}

void Story::mergeRuns(std::size_t first, std::size_t last, std::size_t start) {
    std::size_t index = first > 0 ? first - 1 : 0;
    std::size_t indexStart = first > 0 ? start - runs_[first - 1].length : start;
    runCursor_ = {index, indexStart};
    std::size_t end = std::min(last, runs_.size() - 1);
    while (index < end) {
        CharRun& run = runs_[index];
        const CharRun& next = runs_[index + 1];
        if (run.local == next.local && run.style == next.style) {
            run.length += next.length;
            runs_.erase(index + 1, 1);
            --end;
            continue;
        }
        ++index;
    }
}

namespace {

// The colours of one set of character features; true when one changed and the features still keep
// their limits.
bool VisitColors(CharFeatures& features, const ColorVisitor& visit) {
    const CharFeatures before = features;
    for (std::optional<TextColor>* color : {&features.fillColor, &features.strokeColor}) {
        if (*color) {
            visit(**color);
        }
    }
    if (features == before) {
        return false;
    }
    if (!features.isValid()) {
        features = before;
        return false;
    }
    return true;
}

}  // namespace

void forEachColor(Story& story, const ColorVisitor& visit) {
    std::vector<CharRun> runs = story.charRuns();
    std::vector<ParaRun> paragraphs = story.paragraphs();
    bool changed = false;
    for (CharRun& run : runs) {
        changed = VisitColors(run.local, visit) || changed;
    }
    for (ParaRun& paragraph : paragraphs) {
        if (paragraph.local.defaultChar) {
            changed = VisitColors(*paragraph.local.defaultChar, visit) || changed;
        }
    }
    if (!changed) {
        return;
    }
    if (std::optional<Story> recoloured =
            Story::fromParts(story.text(), std::move(runs), std::move(paragraphs))) {
        story = std::move(*recoloured);
    }
}

void forEachColor(TextStyles& styles, const ColorVisitor& visit) {
    // Copies: setting a style replaces the map's entry.
    const auto charStyles = styles.charStyles();
    for (auto [name, features] : charStyles) {
        if (VisitColors(features, visit)) {
            styles.setCharStyle(name, std::move(features));
        }
    }
    const auto paraStyles = styles.paraStyles();
    for (auto [name, features] : paraStyles) {
        if (features.defaultChar && VisitColors(*features.defaultChar, visit)) {
            styles.setParaStyle(name, std::move(features));
        }
    }
}

}  // namespace host::model

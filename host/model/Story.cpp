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

// UTF-8 to UTF-16 for text already known to be valid.
std::u16string utf16Of(std::string_view utf8) {
    std::u16string out;
    for (std::size_t index = 0; index < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[index]);
        const int length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
        char32_t code = length == 1   ? byte
                        : length == 2 ? byte & 0x1F
                        : length == 3 ? byte & 0x0F
                                      : byte & 0x07;
        for (int more = 1; more < length; ++more) {
            code = (code << 6) | (static_cast<unsigned char>(utf8[index + more]) & 0x3F);
        }
        index += length;
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
    }
    return out;
}

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
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

Story::Story() : runs_{CharRun{}}, paragraphs_{ParaRun{}} {}

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
    Story story;
    story.text_ = std::move(text);
    story.runs_ = std::move(runs);
    story.paragraphs_ = std::move(paragraphs);
    story.mergeRuns();
    return story;
}

std::string Story::utf8() const {
    std::string out;
    out.reserve(text_.size());
    for (std::size_t index = 0; index < text_.size(); ++index) {
        const char16_t unit = text_[index];
        const bool high = unit >= 0xD800 && unit < 0xDC00;
        if (high && index + 1 < text_.size() && text_[index + 1] >= 0xDC00 && text_[index + 1] < 0xE000) {
            appendUtf8(
                out, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text_[index + 1] - 0xDC00));
            ++index;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

bool Story::isPlain() const {
    const auto plainRun = [](const CharRun& run) { return run.local.empty() && run.style.empty(); };
    const auto plainPara = [](const ParaRun& para) { return para.local.empty() && para.style.empty(); };
    return std::all_of(runs_.begin(), runs_.end(), plainRun) &&
           std::all_of(paragraphs_.begin(), paragraphs_.end(), plainPara);
}

TextSpan Story::paragraphSpan(std::size_t index) const {
    std::size_t start = 0;
    for (std::size_t seen = 0; seen < index; ++seen) {
        const std::size_t next = text_.find(kParagraphBreak, start);
        if (next == std::u16string::npos) {
            return {text_.size(), text_.size()};
        }
        start = next + 1;
    }
    const std::size_t end = text_.find(kParagraphBreak, start);
    return {start, end == std::u16string::npos ? text_.size() : end + 1};
}

std::size_t Story::paragraphAt(std::size_t position) const {
    const std::size_t limit = std::min(position, text_.size());
    return countBreaks(std::u16string_view(text_).substr(0, limit));
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
    position = std::min(position, text_.size());
    if (units.empty()) {
        return;
    }
    // The run holding the unit before the place grows; at the start, the first run.
    std::size_t offset = 0;
    std::size_t index = 0;
    if (position > 0) {
        while (offset + runs_[index].length < position) {
            offset += runs_[index].length;
            ++index;
        }
    }
    runs_[index].length += units.size();
    const std::size_t paragraph = paragraphAt(position);
    paragraphs_.insert(paragraphs_.begin() + static_cast<std::ptrdiff_t>(paragraph) + 1, countBreaks(units),
                       paragraphs_[paragraph]);
    text_.insert(position, units);
}

void Story::erase(TextSpan span) {
    span.end = std::min(span.end, text_.size());
    if (span.start >= span.end) {
        return;
    }
    const std::size_t paragraph = paragraphAt(span.start);
    const std::size_t joined = countBreaks(std::u16string_view(text_).substr(span.start, span.size()));
    const auto from = paragraphs_.begin() + static_cast<std::ptrdiff_t>(paragraph) + 1;
    paragraphs_.erase(from, from + static_cast<std::ptrdiff_t>(joined));

    const std::size_t first = splitAt(span.start);
    const std::size_t last = splitAt(span.end);
    CharRun kept = runs_[first];
    runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(first),
                runs_.begin() + static_cast<std::ptrdiff_t>(last));
    if (runs_.empty()) {
        kept.length = 0;
        runs_.push_back(std::move(kept));
    }
    text_.erase(span.start, span.size());
    mergeRuns();
}

const CharRun& Story::runAt(std::size_t position) const {
    std::size_t offset = 0;
    for (const CharRun& run : runs_) {
        if (position < offset + run.length) {
            return run;
        }
        offset += run.length;
    }
    return runs_.back();
}

std::vector<CharRun> Story::runsOf(TextSpan span) const {
    if (span.start >= span.end) {
        CharRun run = runAt(span.start > 0 ? span.start - 1 : 0);
        run.length = 0;
        return {run};
    }
    std::vector<CharRun> result;
    std::size_t offset = 0;
    for (const CharRun& run : runs_) {
        const std::size_t start = std::max(offset, span.start);
        const std::size_t end = std::min(offset + run.length, span.end);
        if (start < end) {
            CharRun cut = run;
            cut.length = end - start;
            result.push_back(std::move(cut));
        }
        offset += run.length;
    }
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
    std::size_t offset = 0;
    for (std::size_t index = 0; index < runs_.size(); ++index) {
        if (offset == position) {
            return index;
        }
        if (position < offset + runs_[index].length) {
            CharRun tail = runs_[index];
            tail.length = offset + runs_[index].length - position;
            runs_[index].length = position - offset;
            runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(index) + 1, std::move(tail));
            return index + 1;
        }
        offset += runs_[index].length;
    }
    return runs_.size();
}

void Story::mergeRuns() {
    std::vector<CharRun> merged;
    merged.reserve(runs_.size());
    for (CharRun& run : runs_) {
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
        CharRun empty = runs_.empty() ? CharRun{} : runs_.front();
        empty.length = 0;
        merged.push_back(std::move(empty));
    }
    runs_ = std::move(merged);
}

}  // namespace host::model

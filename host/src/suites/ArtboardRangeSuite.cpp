// The artboard range suite: range texts ("" for all, "1-3,5", numbers from 1) checked against the
// current document's artboards, ranges and their iterators.
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "AIArtboardRange.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIArtboardRangeSuite;

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// An artboard number from 1 to count; none for anything else (signs, blanks inside, overflow).
std::optional<std::size_t> ParseNumber(std::string_view text, std::size_t count) {
    text = Trimmed(text);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    std::size_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number < 1 || number > count) {
        return std::nullopt;
    }
    return number;
}

// The 0-based indexes a range text names among count artboards, in the order written, each once;
// none when the text is not a valid range.
std::optional<std::vector<ai::int32>> ParseArtboardRange(std::string_view text, std::size_t count) {
    std::vector<ai::int32> indexes;
    std::vector<bool> seen(count, false);
    const auto add = [&](std::size_t number) {
        if (!seen[number - 1]) {
            seen[number - 1] = true;
            indexes.push_back(static_cast<ai::int32>(number - 1));
        }
    };
    if (Trimmed(text).empty()) {
        for (std::size_t number = 1; number <= count; ++number) {
            add(number);
        }
        return indexes;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view item = text.substr(start, comma - start);
        const std::size_t dash = item.find('-');
        const std::optional<std::size_t> first = ParseNumber(item.substr(0, dash), count);
        const std::optional<std::size_t> last =
            dash == std::string_view::npos ? first : ParseNumber(item.substr(dash + 1), count);
        if (!first || !last || *first > *last) {
            return std::nullopt;
        }
        for (std::size_t number = *first; number <= *last; ++number) {
            add(number);
        }
        start = comma + 1;
    }
    return indexes;
}

// The range a text names among the current document's artboards; kBadParameterErr for a text
// that is not valid (or not a live string).
AIErr RangeOf(HostState& state, const model::Document& document, const ai::UnicodeString& text,
              std::vector<ai::int32>& out) {
    const std::optional<std::string> utf8 = StringText(state, text);
    if (!utf8) {
        return kBadParameterErr;
    }
    std::optional<std::vector<ai::int32>> indexes = ParseArtboardRange(*utf8, document.artboards().size());
    if (!indexes) {
        return kBadParameterErr;
    }
    out = std::move(*indexes);
    return kNoErr;
}

AIErr ValidateString(const ai::UnicodeString& range, AIBoolean* valid) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "ValidateString");
    error = OutputError(error, valid);
    if (error != kNoErr) {
        return Refuse(valid, error);
    }
    std::vector<ai::int32> indexes;
    *valid = RangeOf(*state, *document, range, indexes) == kNoErr;
    return kNoErr;
}

AIErr Create(const ai::UnicodeString& range, AIArtboardRangeHandle* handle) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "Create");
    error = OutputError(error, handle);
    std::vector<ai::int32> indexes;
    if (error == kNoErr) {
        error = RangeOf(*state, *document, range, indexes);
    }
    if (error != kNoErr) {
        return Refuse(handle, error);
    }
    *handle = state->artboards.ranges.Add<AIArtboardRangeHandle>(
        std::make_unique<ArtboardRange>(ArtboardRange{indexes}));
    return kNoErr;
}

AIErr Dispose(AIArtboardRangeHandle handle) {
    auto [state, error] = StartOperation(kSuite, "Dispose");
    if (error == kNoErr && !state->artboards.ranges.Remove(handle)) {
        error = kBadParameterErr;
    }
    return error;
}

AIErr GetCount(AIArtboardRangeHandle handle, ai::int32* count) {
    auto [state, error] = StartOperation(kSuite, "GetCount");
    const ArtboardRange* range = error == kNoErr ? state->artboards.ranges.Find(handle) : nullptr;
    if (error == kNoErr && (range == nullptr || count == nullptr)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(count, error);
    }
    *count = static_cast<ai::int32>(range->indexes.size());
    return kNoErr;
}

AIErr Begin(AIArtboardRangeHandle handle, AIArtboardRangeIterator* iterator) {
    auto [state, error] = StartOperation(kSuite, "Begin");
    const ArtboardRange* range = error == kNoErr ? state->artboards.ranges.Find(handle) : nullptr;
    if (error == kNoErr && (range == nullptr || iterator == nullptr)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(iterator, error);
    }
    *iterator = state->artboards.rangeCursors.Add<AIArtboardRangeIterator>(
        std::make_unique<ArtboardRangeCursor>(ArtboardRangeCursor{range->indexes, 0}));
    return kNoErr;
}

AIErr Next(AIArtboardRangeIterator iterator, ArtboardID* index) {
    auto [state, error] = StartOperation(kSuite, "Next");
    ArtboardRangeCursor* cursor = error == kNoErr ? state->artboards.rangeCursors.Find(iterator) : nullptr;
    if (error == kNoErr && (cursor == nullptr || index == nullptr)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr && cursor->next >= cursor->indexes.size()) {
        error = kEndOfRangeErr;
    }
    if (error != kNoErr) {
        return Refuse(index, error);
    }
    *index = cursor->indexes[cursor->next++];
    return kNoErr;
}

AIErr DisposeIterator(AIArtboardRangeIterator iterator) {
    auto [state, error] = StartOperation(kSuite, "DisposeIterator");
    if (error == kNoErr && !state->artboards.rangeCursors.Remove(iterator)) {
        error = kBadParameterErr;
    }
    return error;
}

}  // namespace

AIArtboardRangeSuite gArtboardRangeSuite = {
    PLIM_SUITE_FUNCTION(ValidateString),  PLIM_SUITE_FUNCTION(Create), PLIM_SUITE_FUNCTION(Dispose),
    PLIM_SUITE_FUNCTION(GetCount),        PLIM_SUITE_FUNCTION(Begin),  PLIM_SUITE_FUNCTION(Next),
    PLIM_SUITE_FUNCTION(DisposeIterator),
};

}  // namespace host

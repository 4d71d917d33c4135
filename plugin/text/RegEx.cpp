#include "text/RegEx.h"

#include <memory>
#include <optional>

#define PCRE2_CODE_UNIT_WIDTH 32
#include <pcre2.h>

namespace {

// Bounds of one search: backtracking steps, nesting of backtracking, and heap in KiB.
constexpr std::uint32_t kMatchLimit = 5'000'000;
constexpr std::uint32_t kDepthLimit = 100'000;
constexpr std::uint32_t kHeapLimitKiB = 64 * 1024;

struct CodeFree {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataFree {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct MatchContextFree {
    void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};

using Code = std::unique_ptr<pcre2_code, CodeFree>;

PCRE2_SPTR Units(const std::u32string& text) {
    return reinterpret_cast<PCRE2_SPTR>(text.data());
}

// A compiled pattern with what a search needs; empty when the pattern is refused.
class Compiled {
public:
    Compiled(const std::u32string& pattern, const EcmaFlags& flags) {
        const std::optional<std::u32string> translated = TranslateEcmaPattern(pattern, flags);
        if (!translated) {
            return;
        }
        const std::uint32_t options =
            PCRE2_UTF | PCRE2_MATCH_UNSET_BACKREF | PCRE2_NEVER_UCP | (flags.ignoreCase ? PCRE2_CASELESS : 0);
        int error = 0;
        PCRE2_SIZE offset = 0;
        code_.reset(pcre2_compile(Units(*translated), translated->size(), options, &error, &offset, nullptr));
        if (!code_) {
            return;
        }
        data_.reset(pcre2_match_data_create_from_pattern(code_.get(), nullptr));
        context_.reset(pcre2_match_context_create(nullptr));
        if (!data_ || !context_) {
            code_.reset();
            return;
        }
        pcre2_set_match_limit(context_.get(), kMatchLimit);
        pcre2_set_depth_limit(context_.get(), kDepthLimit);
        pcre2_set_heap_limit(context_.get(), kHeapLimitKiB);
    }

    bool ok() const { return code_ != nullptr; }

    // 1: a match at or after start; 0: none; -1: the search failed (a limit, invalid text).
    int Search(const std::u32string& text, std::size_t start, std::uint32_t options) {
        const int result =
            pcre2_match(code_.get(), Units(text), text.size(), start, options, data_.get(), context_.get());
        if (result == PCRE2_ERROR_NOMATCH) {
            return 0;
        }
        return result < 0 ? -1 : 1;
    }

    // The last match's groups, every one of the pattern's.
    MatchGroups Groups() const {
        MatchGroups match;
        std::uint32_t count = 0;
        pcre2_pattern_info(code_.get(), PCRE2_INFO_CAPTURECOUNT, &count);
        const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(data_.get());
        const std::uint32_t pairs = pcre2_get_ovector_count(data_.get());
        for (std::uint32_t group = 0; group <= count; ++group) {
            const bool set = group < pairs && vector[2 * group] != PCRE2_UNSET;
            match.groups.push_back(set ? MatchGroups::Span{vector[2 * group], vector[2 * group + 1], true}
                                       : MatchGroups::Span{});
        }
        std::uint32_t names = 0;
        std::uint32_t entrySize = 0;
        PCRE2_SPTR table = nullptr;
        pcre2_pattern_info(code_.get(), PCRE2_INFO_NAMECOUNT, &names);
        pcre2_pattern_info(code_.get(), PCRE2_INFO_NAMEENTRYSIZE, &entrySize);
        pcre2_pattern_info(code_.get(), PCRE2_INFO_NAMETABLE, &table);
        for (std::uint32_t index = 0; index < names; ++index) {
            PCRE2_SPTR entry = table + static_cast<std::size_t>(index) * entrySize;
            std::u32string name;
            for (PCRE2_SPTR c = entry + 1; *c != 0; ++c) {
                name.push_back(static_cast<char32_t>(*c));
            }
            match.names.emplace_back(std::move(name), entry[0]);
        }
        return match;
    }

private:
    Code code_;
    std::unique_ptr<pcre2_match_data, MatchDataFree> data_;
    std::unique_ptr<pcre2_match_context, MatchContextFree> context_;
};

std::u32string SpanText(const std::u32string& text, const MatchGroups::Span& span) {
    return span.set ? text.substr(span.start, span.end - span.start) : std::u32string();
}

bool IsDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool ReadStrFlags(const std::string& flags, EcmaFlags& options) {
    if (flags.empty()) {
        return false;
    }
    options = EcmaFlags{};
    for (const char letter : flags) {
        options.ignoreCase |= letter == 'i';
        options.multiline |= letter == 'm';
        options.dotAll |= letter == 's';
        options.unicodeSets |= letter == 'v';
    }
    return true;
}

std::u32string ExpandReplacement(const std::u32string& format, const std::u32string& text,
                                 const MatchGroups& match) {
    const std::size_t captures = match.groups.empty() ? 0 : match.groups.size() - 1;
    const MatchGroups::Span whole = match.groups.empty() ? MatchGroups::Span{} : match.groups.front();
    std::u32string result;
    for (std::size_t at = 0; at < format.size(); ++at) {
        const char32_t c = format[at];
        const char32_t next = at + 1 < format.size() ? format[at + 1] : 0;
        if (c != '$' || next == 0) {
            result += c;
            continue;
        }
        if (next == '$') {
            result += U'$';
            ++at;
        } else if (next == '&') {
            result += SpanText(text, whole);
            ++at;
        } else if (next == '`') {
            result += text.substr(0, whole.start);
            ++at;
        } else if (next == '\'') {
            result += text.substr(std::min(whole.end, text.size()));
            ++at;
        } else if (IsDigit(next)) {
            std::size_t digits = at + 2 < format.size() && IsDigit(format[at + 2]) ? 2 : 1;
            std::size_t index = next - '0';
            if (digits == 2) {
                index = index * 10 + (format[at + 2] - '0');
                if (index > captures) {
                    digits = 1;
                    index = next - '0';
                }
            }
            if (index >= 1 && index <= captures) {
                result += SpanText(text, match.groups[index]);
            } else {
                result += format.substr(at, 1 + digits);
            }
            at += digits;
        } else if (next == '<' && !match.names.empty()) {
            const std::size_t close = format.find(U'>', at + 2);
            if (close == std::u32string::npos) {
                result += U"$<";
                ++at;
                continue;
            }
            const std::u32string name = format.substr(at + 2, close - at - 2);
            for (const auto& [groupName, number] : match.names) {
                if (groupName == name && number < match.groups.size()) {
                    result += SpanText(text, match.groups[number]);
                }
            }
            at = close;
        } else {
            result += c;
        }
    }
    return result;
}

bool SearchUnicodeRegEx(const std::u32string& text, const std::u32string& pattern, unsigned long& position,
                        unsigned long& length, std::string& error) {
    Compiled compiled(pattern, EcmaFlags{});
    if (!compiled.ok()) {
        return false;
    }
    const int found = compiled.Search(text, 0, 0);
    if (found == 0) {
        error = "Search error";
    }
    if (found <= 0) {
        return false;
    }
    const MatchGroups::Span whole = compiled.Groups().groups.front();
    position = whole.start;
    length = whole.end - whole.start;
    return true;
}

bool ReplaceUnicodeRegEx(const std::u32string& text, const std::u32string& pattern, const std::string& flags,
                         const std::u32string& format, std::u32string& result) {
    EcmaFlags options;
    if (!ReadStrFlags(flags, options)) {
        return false;
    }
    Compiled compiled(pattern, options);
    if (!compiled.ok() || compiled.Search(text, 0, 0) <= 0) {
        return false;
    }
    result = ExpandReplacement(format, text, compiled.Groups());
    return true;
}

bool ReplaceUnicodeMultipleRegEx(const std::u32string& text, const std::u32string& pattern,
                                 const std::string& flags, const std::u32string& format,
                                 std::vector<ReplacementString>& matches) {
    EcmaFlags options;
    if (!ReadStrFlags(flags, options)) {
        return false;
    }
    Compiled compiled(pattern, options);
    if (!compiled.ok()) {
        return false;
    }
    std::vector<ReplacementString> found;
    std::size_t start = 0;
    std::uint32_t retry = 0;  // after an empty match: a non-empty one at the same place
    // The engine checks the whole text on each search unless told it is valid: the first search
    // checks it, the later ones need not, so that finding every match costs the text once.
    std::uint32_t checked = 0;
    while (start <= text.size()) {
        const int result = compiled.Search(text, start, retry | checked);
        if (result < 0) {
            return false;
        }
        checked = PCRE2_NO_UTF_CHECK;
        if (result == 0) {
            if (retry == 0 || start == text.size()) {
                break;
            }
            retry = 0;
            ++start;
            continue;
        }
        const MatchGroups groups = compiled.Groups();
        const MatchGroups::Span whole = groups.groups.front();
        if (whole.end == whole.start) {
            start = whole.end;
            retry = PCRE2_NOTEMPTY_ATSTART | PCRE2_ANCHORED;
            continue;
        }
        found.push_back({whole.start, whole.end - whole.start, ExpandReplacement(format, text, groups)});
        start = whole.end;
        retry = 0;
    }
    matches.insert(matches.end(), found.begin(), found.end());
    return true;
}

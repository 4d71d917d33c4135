#include "model/JsonText.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

// The canonical text writes numbers exactly as nlohmann's dump does, with its own shortest
// round-trip formatting.
#include <nlohmann/detail/conversions/to_chars.hpp>

#include "model/Unicode.h"
#include "model/Utf8.h"

namespace host::model {

namespace {

constexpr std::size_t kNoIndex = static_cast<std::size_t>(-1);
constexpr std::size_t kDrainSize = std::size_t{1} << 20;

bool isBlank(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Bytes a string scan must stop at: the closing quote, escapes, control characters and the bytes of
// multi-byte characters (which need checking).
constexpr std::array<bool, 256> kStringStops = [] {
    std::array<bool, 256> stops{};
    for (int c = 0; c < 256; ++c) {
        stops[c] = c < 0x20 || c == '"' || c == '\\' || c >= 0x80;
    }
    return stops;
}();

int hexValue(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::string_view jsonKindName(JsonKind kind) {
    constexpr std::string_view kNames[] = {"null", "boolean", "number", "string", "array", "object"};
    return kNames[static_cast<int>(kind)];
}

// --- Reading ---------------------------------------------------------------------------------------

JsonReader::JsonReader(std::string_view text) : text_(text) {
    // A byte order mark may lead the text.
    if (text_.starts_with("\xEF\xBB\xBF")) {
        position_ = 3;
    }
}

void JsonReader::skipBlanks() {
    while (position_ < text_.size() && isBlank(text_[position_])) {
        ++position_;
    }
}

void JsonReader::syntaxError(const std::string& what) const {
    syntaxErrorAt(position_, what);
}

void JsonReader::syntaxErrorAt(std::size_t position, const std::string& what) const {
    std::size_t line = 1;
    std::size_t lineStart = 0;
    const std::size_t end = std::min(position, text_.size());
    for (std::size_t i = 0; i < end; ++i) {
        if (text_[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    throw FormatError("", "not JSON: line " + std::to_string(line) + ", column " +
                              std::to_string(end - lineStart + 1) + ": " + what);
}

void JsonReader::expect(char c, const char* what) {
    if (position_ >= text_.size() || text_[position_] != c) {
        syntaxError(std::string("expected ") + what);
    }
    ++position_;
}

JsonKind JsonReader::peek() {
    skipBlanks();
    if (position_ >= text_.size()) {
        syntaxError("the text ends where a value should be");
    }
    const std::string_view rest = text_.substr(position_);
    switch (rest.front()) {
        case '{':
            return JsonKind::object;
        case '[':
            return JsonKind::array;
        case '"':
            return JsonKind::string;
        case 't':
        case 'f':
            if (rest.starts_with("true") || rest.starts_with("false")) {
                return JsonKind::boolean;
            }
            break;
        case 'n':
            if (rest.starts_with("null")) {
                return JsonKind::null;
            }
            break;
        default:
            if (rest.front() == '-' || isDigit(rest.front())) {
                return JsonKind::number;
            }
            break;
    }
    syntaxError("no value starts here");
}

void JsonReader::beginObject() {
    if (peek() != JsonKind::object) {
        failExpected("an object");
    }
    ++position_;
    frames_.push_back(Frame{false, kNoIndex, 0});
}

bool JsonReader::nextKey(std::string_view* key) {
    skipBlanks();
    Frame& frame = frames_.back();
    if (position_ < text_.size() && text_[position_] == '}') {
        ++position_;
        frames_.pop_back();
        return false;
    }
    if (frame.keyPosition != 0) {
        expect(',', "',' or '}'");
        skipBlanks();
    }
    if (position_ >= text_.size() || text_[position_] != '"') {
        syntaxError("expected a key");
    }
    frame.keyPosition = position_;
    *key = scanString();
    skipBlanks();
    expect(':', "':'");
    return true;
}

std::string JsonReader::keyText() const {
    std::size_t position = frames_.back().keyPosition;
    return decodeString(&position);
}

void JsonReader::beginArray() {
    if (peek() != JsonKind::array) {
        failExpected("an array");
    }
    ++position_;
    frames_.push_back(Frame{true, kNoIndex, 0});
}

bool JsonReader::nextElement() {
    skipBlanks();
    Frame& frame = frames_.back();
    if (position_ < text_.size() && text_[position_] == ']') {
        ++position_;
        frames_.pop_back();
        return false;
    }
    if (frame.index != kNoIndex) {
        expect(',', "',' or ']'");
    }
    ++frame.index;
    return true;
}

// Reads the string at the position (its opening quote) into UTF-8, escapes decoded, and moves the
// position past its closing quote.
std::string JsonReader::decodeString(std::size_t* position) const {
    std::string out;
    std::size_t i = *position + 1;
    const auto fail = [&](const char* what) { syntaxErrorAt(i, what); };
    const auto readHex = [&](std::size_t at) -> std::uint32_t {
        std::uint32_t code = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const int digit = at + k < text_.size() ? hexValue(text_[at + k]) : -1;
            if (digit < 0) {
                fail("expected four hexadecimal digits after \\u");
            }
            code = (code << 4) | static_cast<std::uint32_t>(digit);
        }
        return code;
    };
    while (true) {
        if (i >= text_.size()) {
            fail("the text ends inside a string");
        }
        const char c = text_[i];
        if (c == '"') {
            break;
        }
        if (static_cast<unsigned char>(c) < 0x20) {
            fail("a control character inside a string");
        }
        if (c != '\\') {
            out += c;
            ++i;
            continue;
        }
        const char escaped = i + 1 < text_.size() ? text_[i + 1] : '\0';
        constexpr std::string_view kSimple = "\"\\/bfnrt";
        constexpr std::string_view kMeaning = "\"\\/\b\f\n\r\t";
        if (const std::size_t simple = kSimple.find(escaped);
            escaped != '\0' && simple != std::string_view::npos) {
            out += kMeaning[simple];
            i += 2;
            continue;
        }
        if (escaped != 'u') {
            fail("an unknown escape");
        }
        std::uint32_t code = readHex(i + 2);
        i += 6;
        if (isLowSurrogate(code)) {
            fail("a low surrogate without a high one");
        }
        if (isHighSurrogate(code)) {
            if (text_.substr(i, 2) != "\\u") {
                fail("a high surrogate without a low one");
            }
            const std::uint32_t low = readHex(i + 2);
            if (!isLowSurrogate(low)) {
                fail("a high surrogate without a low one");
            }
            code = combineSurrogates(code, low);
            i += 6;
        }
        appendUtf8(out, code);
    }
    if (!isValidUtf8(out)) {
        fail("a string that is not UTF-8");
    }
    *position = i + 1;
    return out;
}

// Moves past the string at the position and answers its text as written (without the quotes).
// Strings with escapes or other than ASCII characters are decoded once to check them.
std::string_view JsonReader::scanString() {
    const std::size_t start = position_;
    std::size_t i = start + 1;
    bool plain = true;
    while (i < text_.size()) {
        const auto c = static_cast<unsigned char>(text_[i]);
        if (!kStringStops[c]) {
            ++i;
            continue;
        }
        if (c == '"') {
            break;
        }
        if (c < 0x20) {
            position_ = i;
            syntaxError("a control character inside a string");
        }
        plain = false;
        i += c == '\\' ? 2 : 1;
    }
    if (i >= text_.size()) {
        position_ = text_.size();
        syntaxError("the text ends inside a string");
    }
    if (!plain) {
        std::size_t check = start;
        decodeString(&check);
    }
    position_ = i + 1;
    return text_.substr(start + 1, i - start - 1);
}

std::string JsonReader::readString() {
    if (peek() != JsonKind::string) {
        failExpected("a string");
    }
    const std::size_t start = position_;
    const std::string_view raw = scanString();
    if (raw.find('\\') == std::string_view::npos) {
        return std::string(raw);
    }
    std::size_t at = start;
    return decodeString(&at);
}

bool JsonReader::readBool() {
    if (peek() != JsonKind::boolean) {
        failExpected("true or false");
    }
    const bool value = text_[position_] == 't';
    position_ += value ? 4 : 5;
    return value;
}

// Moves past the number at the position (JSON's grammar: no leading zeros, no "+", digits on both
// sides of the point) and answers its text.
std::string_view JsonReader::scanNumber(bool* integer) {
    const std::size_t start = position_;
    std::size_t i = start;
    const auto digits = [&] {
        const std::size_t first = i;
        while (i < text_.size() && isDigit(text_[i])) {
            ++i;
        }
        if (i == first) {
            position_ = i;
            syntaxError("a malformed number");
        }
    };
    if (text_[i] == '-') {
        ++i;
    }
    if (i < text_.size() && text_[i] == '0') {
        ++i;
    } else {
        digits();
    }
    *integer = true;
    if (i < text_.size() && text_[i] == '.') {
        ++i;
        digits();
        *integer = false;
    }
    if (i < text_.size() && (text_[i] == 'e' || text_[i] == 'E')) {
        ++i;
        if (i < text_.size() && (text_[i] == '+' || text_[i] == '-')) {
            ++i;
        }
        digits();
        *integer = false;
    }
    position_ = i;
    return text_.substr(start, i - start);
}

double JsonReader::readNumber() {
    if (peek() != JsonKind::number) {
        failExpected("a number");
    }
    bool integer = false;
    const std::string_view token = scanNumber(&integer);
    double value = 0.0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too small numbers read as the nearest there is (down to 0), as strtod reads them.
        value = std::strtod(std::string(token).c_str(), nullptr);
    }
    if (!std::isfinite(value)) {
        fail("the number is out of range");
    }
    return value;
}

std::int64_t JsonReader::readInteger(std::int64_t low, std::int64_t high) {
    if (peek() != JsonKind::number) {
        failExpected("an integer");
    }
    bool integer = false;
    const std::string_view token = scanNumber(&integer);
    if (!integer) {
        fail("expected an integer, found number");
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (error != std::errc() || value < low || value > high) {
        fail("the integer is out of range (" + std::to_string(low) + " to " + std::to_string(high) + ")");
    }
    return value;
}

void JsonReader::skipValue() {
    // Without recursion: nesting is only bounded by the text.
    const std::size_t base = frames_.size();
    do {
        switch (peek()) {
            case JsonKind::object:
                beginObject();
                break;
            case JsonKind::array:
                beginArray();
                break;
            case JsonKind::string:
                scanString();
                break;
            case JsonKind::number: {
                bool integer = false;
                scanNumber(&integer);
                break;
            }
            case JsonKind::boolean:
            case JsonKind::null:
                position_ += text_[position_] == 'f' ? 5 : 4;
                break;
        }
        while (frames_.size() > base) {
            std::string_view key;
            if (frames_.back().array ? nextElement() : nextKey(&key)) {
                break;
            }
        }
    } while (frames_.size() > base);
}

JsonReader::Mark JsonReader::mark() {
    skipBlanks();
    return Mark{position_, frames_.empty() ? 0 : frames_.back().keyPosition};
}

void JsonReader::seek(const Mark& mark) {
    position_ = mark.position;
    if (!frames_.empty()) {
        frames_.back().keyPosition = mark.keyPosition;
    }
}

void JsonReader::finish() {
    skipBlanks();
    if (position_ != text_.size()) {
        syntaxError("more text after the document");
    }
}

void JsonReader::appendPlace(std::string& out, std::size_t frames) const {
    for (std::size_t i = 0; i < frames; ++i) {
        const Frame& frame = frames_[i];
        if (frame.array) {
            if (frame.index != kNoIndex) {
                out += '[';
                out += std::to_string(frame.index);
                out += ']';
            }
            continue;
        }
        if (frame.keyPosition != 0) {
            std::size_t position = frame.keyPosition;
            out += out.empty() ? "" : ".";
            out += decodeString(&position);
        }
    }
}

std::string JsonReader::location() const {
    std::string out;
    appendPlace(out, frames_.size());
    return out;
}

std::string JsonReader::containerLocation() const {
    std::string out;
    appendPlace(out, frames_.empty() ? 0 : frames_.size() - 1);
    return out;
}

void JsonReader::fail(const std::string& what) const {
    throw FormatError(location(), what);
}

void JsonReader::failAtContainer(const std::string& what) const {
    throw FormatError(containerLocation(), what);
}

void JsonReader::failExpected(std::string_view what) {
    const JsonKind found = peek();
    fail("expected " + std::string(what) + ", found " + std::string(jsonKindName(found)));
}

// --- Writing ---------------------------------------------------------------------------------------

JsonWriter::JsonWriter(std::string& out, Drain drain) : out_(out), drain_(std::move(drain)) {}

void JsonWriter::separate() {
    if (!first_) {
        out_ += ',';
    }
    out_ += '\n';
    out_.append(static_cast<std::size_t>(indent_) * 2, ' ');
    first_ = false;
}

void JsonWriter::open(char bracket) {
    out_ += bracket;
    ++indent_;
    first_ = true;
}

void JsonWriter::close(char bracket) {
    --indent_;
    if (!first_) {
        out_ += '\n';
        out_.append(static_cast<std::size_t>(indent_) * 2, ' ');
    }
    out_ += bracket;
    first_ = false;
}

void JsonWriter::beginObject() {
    open('{');
#ifndef NDEBUG
    lastKeys_.emplace_back();
#endif
}

void JsonWriter::key(std::string_view key) {
#ifndef NDEBUG
    assert(lastKeys_.back() < key && "keys are written in byte-wise ascending order");
    lastKeys_.back() = key;
#endif
    separate();
    string(key);
    out_ += ": ";
}

void JsonWriter::endObject() {
    close('}');
#ifndef NDEBUG
    lastKeys_.pop_back();
#endif
}

void JsonWriter::beginArray() {
    open('[');
}

void JsonWriter::element() {
    separate();
}

void JsonWriter::endArray() {
    close(']');
}

void JsonWriter::string(std::string_view text) {
    out_ += '"';
    std::size_t runStart = 0;
    bool ascii = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!kStringStops[c]) {
            continue;
        }
        if (c >= 0x80) {
            ascii = false;
            continue;
        }
        out_.append(text, runStart, i - runStart);
        runStart = i + 1;
        switch (c) {
            case '"':
                out_ += "\\\"";
                break;
            case '\\':
                out_ += "\\\\";
                break;
            case '\b':
                out_ += "\\b";
                break;
            case '\t':
                out_ += "\\t";
                break;
            case '\n':
                out_ += "\\n";
                break;
            case '\f':
                out_ += "\\f";
                break;
            case '\r':
                out_ += "\\r";
                break;
            default: {
                constexpr char kHex[] = "0123456789abcdef";
                out_ += "\\u00";
                out_ += kHex[c >> 4];
                out_ += kHex[c & 0xF];
                break;
            }
        }
    }
    if (!ascii && !isValidUtf8(text)) {
        throw FormatError("", "a text is not UTF-8");
    }
    out_.append(text, runStart, text.size() - runStart);
    out_ += '"';
}

void JsonWriter::number(double value) {
    if (!std::isfinite(value)) {
        throw FormatError("", "a number is not finite");
    }
    std::array<char, 64> buffer{};
    const char* end = nlohmann::detail::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    out_.append(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
}

void JsonWriter::integer(std::int64_t value) {
    std::array<char, 24> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    out_.append(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
}

void JsonWriter::boolean(bool value) {
    out_ += value ? "true" : "false";
}

void JsonWriter::drainIfFull() {
    if (drain_ && out_.size() >= kDrainSize) {
        drain();
    }
}

void JsonWriter::drain() {
    if (drain_ && !out_.empty()) {
        drain_(out_);
        out_.clear();
    }
}

}  // namespace host::model

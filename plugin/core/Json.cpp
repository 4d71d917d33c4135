#include "core/Json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <type_traits>

namespace {

// The library's messages start with "[json.exception.<kind>.<id>] "; clients want the rest.
std::string WithoutLibraryPrefix(const char* text) {
    std::string message = text;
    if (message.rfind("[json.exception.", 0) == 0) {
        const size_t end = message.find("] ");
        if (end != std::string::npos) {
            message.erase(0, end + 2);
        }
    }
    return message;
}

bool ToInt32(const json& value, int& out) {
    constexpr auto kMin = std::numeric_limits<int>::min();
    constexpr auto kMax = std::numeric_limits<int>::max();
    if (value.is_boolean()) {
        out = value.get<bool>() ? 1 : 0;
        return true;
    }
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(kMax)) {
            return false;
        }
        out = static_cast<int>(number);
        return true;
    }
    if (value.is_number_integer()) {
        const auto number = value.get<std::int64_t>();
        if (number < kMin || number > kMax) {
            return false;
        }
        out = static_cast<int>(number);
        return true;
    }
    if (value.is_number_float()) {
        const double number = std::trunc(value.get<double>());
        if (!std::isfinite(number) || number < kMin || number > kMax) {
            return false;
        }
        out = static_cast<int>(number);
        return true;
    }
    return false;
}

[[noreturn]] void FailKey(std::string_view key, const char* what) {
    throw CommandError("\"" + std::string(key) + "\" " + what);
}

// Whether a JSON value has the type that T reads: a number for double, a string, a boolean.
template <typename T>
bool IsOfType(const json& value) {
    if constexpr (std::is_same_v<T, double>) {
        return value.is_number();
    } else if constexpr (std::is_same_v<T, std::string>) {
        return value.is_string();
    } else {
        return value.is_boolean();
    }
}

// The value under the key when it has T's type; none for an absent key, and a present key of
// another type fails the command with the failure text.
template <typename T>
std::optional<T> ReadOptionalStrictly(const json& request, std::string_view key, const char* failure) {
    const json* value = FindKey(request, key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (!IsOfType<T>(*value)) {
        FailKey(key, failure);
    }
    return value->get<T>();
}

// Sets out to the value under the key when it has out's type; false, out untouched, otherwise.
template <typename T>
bool ReadIfOfType(const json& request, std::string_view key, T& out) {
    const json* value = FindKey(request, key);
    if (value == nullptr || !IsOfType<T>(*value)) {
        return false;
    }
    out = value->get<T>();
    return true;
}

// The elements of an array under the key when all are of the type; none otherwise (absent key,
// another type, or an element of another type).
template <typename T>
std::optional<std::vector<T>> ReadArray(const json& request, std::string_view key) {
    const json* value = FindKey(request, key);
    if (value == nullptr || !value->is_array()) {
        return std::nullopt;
    }
    std::vector<T> values;
    for (const json& element : *value) {
        if (!IsOfType<T>(element)) {
            return std::nullopt;
        }
        values.push_back(element.get<T>());
    }
    return values;
}

template <typename T>
std::vector<T> ReadArrayStrictly(const json& request, std::string_view key, const char* what) {
    if (!HasKey(request, key)) {
        return {};
    }
    std::optional<std::vector<T>> values = ReadArray<T>(request, key);
    if (!values) {
        FailKey(key, what);
    }
    return std::move(*values);
}

// Requests deeper than this are refused: writing such a value back (a batch passes each entry's
// data on as text) would recurse once per level and could exhaust the stack.
constexpr int kMaxRequestDepth = 512;

// The deepest nesting of arrays and objects in a JSON text, strings skipped.
int NestingDepth(const std::string& text) {
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

// Follows a parse to name the key whose value stopped it: the key of the innermost object member
// open at that point (an array's elements count under the key that holds the array).
class FailingKeyFinder : public nlohmann::json_sax<json> {
public:
    std::optional<std::string> failingKey;

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override {
        keys_.emplace_back();
        return true;
    }
    bool key(string_t& key) override {
        keys_.back() = key;
        return true;
    }
    bool end_object() override {
        keys_.pop_back();
        return true;
    }
    bool start_array(std::size_t) override {
        keys_.push_back(keys_.empty() ? std::string() : keys_.back());
        return true;
    }
    bool end_array() override {
        keys_.pop_back();
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        if (!keys_.empty() && !keys_.back().empty()) {
            failingKey = keys_.back();
        }
        return false;
    }

private:
    std::vector<std::string> keys_;
};

// A number too large for a double is no JSON error but a value out of range: the text with each
// such number written 0, so that the rest of the request (its "uid") can still be read.
std::string WithOverflowsAsZero(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            out += c;
            if (c == '\\' && i + 1 < text.size()) {
                out += text[++i];
            } else if (c == '"') {
                inString = false;
            }
            continue;
        }
        if (c == '"') {
            inString = true;
        }
        if (c != '-' && (c < '0' || c > '9')) {
            out += c;
            continue;
        }
        size_t end = i;
        while (end < text.size() &&
               std::string_view("0123456789+-.eE").find(text[end]) != std::string_view::npos) {
            ++end;
        }
        const std::string_view number = std::string_view(text).substr(i, end - i);
        double value = 0;
        const bool overflows = std::from_chars(number.data(), number.data() + number.size(), value).ec ==
                               std::errc::result_out_of_range;
        out += overflows ? std::string_view("0") : number;
        i = end - 1;
    }
    return out;
}

}  // namespace

json ParseRequest(const std::string& text) {
    if (NestingDepth(text) > kMaxRequestDepth) {
        throw CommandError("The request is nested too deeply");
    }
    try {
        return json::parse(text, nullptr, true, false);
    } catch (const json::parse_error& error) {
        throw CommandError("The request is not valid JSON: " + WithoutLibraryPrefix(error.what()));
    } catch (const json::out_of_range& error) {
        // A number beyond a double's range: the key that holds it is out of range, as a number too
        // large for the key is elsewhere.
        FailingKeyFinder finder;
        json::sax_parse(text, &finder, json::input_format_t::json, true, false);
        if (finder.failingKey) {
            FailKey(*finder.failingKey, "is out of range");
        }
        throw CommandError("The request is not valid JSON: " + WithoutLibraryPrefix(error.what()));
    }
}

json StartReply(const std::string& eventType, const json& request) {
    json reply = json::object();
    reply["eventType"] = eventType;
    if (const json* uid = FindKey(request, "uid")) {
        if (!uid->is_string()) {
            throw CommandError("\"uid\" must be a string");
        }
        reply["uid"] = *uid;
    }
    return reply;
}

std::string DumpReply(const json& reply) {
    return reply.dump(-1, ' ', false, json::error_handler_t::replace);
}

const json* FindKey(const json& request, std::string_view key) {
    if (!request.is_object()) {
        return nullptr;
    }
    const auto found = request.find(key);
    return found == request.end() ? nullptr : &*found;
}

bool HasKey(const json& request, std::string_view key) {
    return FindKey(request, key) != nullptr;
}

bool ReadJsonValue(const json& request, std::string_view key, int& out) {
    const json* value = FindKey(request, key);
    return value != nullptr && ToInt32(*value, out);
}

bool ReadJsonValue(const json& request, std::string_view key, double& out) {
    return ReadIfOfType(request, key, out);
}

bool ReadJsonValue(const json& request, std::string_view key, std::string& out) {
    return ReadIfOfType(request, key, out);
}

bool ReadJsonValue(const json& request, std::string_view key, bool& out) {
    return ReadIfOfType(request, key, out);
}

double ReadNumberLeniently(const json& request, std::string_view key, double fallback) {
    const json* value = FindKey(request, key);
    return value != nullptr && value->is_number() ? value->get<double>() : fallback;
}

std::vector<std::string> ReadTextArrayLeniently(const json& request, std::string_view key) {
    return ReadArray<std::string>(request, key).value_or(std::vector<std::string>{});
}

std::vector<double> ReadNumberArrayLeniently(const json& request, std::string_view key) {
    return ReadArray<double>(request, key).value_or(std::vector<double>{});
}

std::string ReadTextStrictly(const json& request, std::string_view key, const std::string& fallback) {
    return ReadOptionalStrictly<std::string>(request, key, "must be a string").value_or(fallback);
}

std::optional<bool> ReadOptionalBoolStrictly(const json& request, std::string_view key) {
    return ReadOptionalStrictly<bool>(request, key, "must be true or false");
}

bool HoldsNul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

bool CanNameAFile(std::string_view text) {
    return !HoldsNul(text);
}

std::string NulFailure(std::string_view key) {
    return "\"" + std::string(key) + "\" must not contain a NUL character";
}

void RequireNoNul(std::string_view text, std::string_view key) {
    if (HoldsNul(text)) {
        throw CommandError(NulFailure(key));
    }
}

std::string ReadNameStrictly(const json& request, std::string_view key, const std::string& fallback) {
    std::string text = ReadTextStrictly(request, key, fallback);
    RequireNoNul(text, key);
    return text;
}

std::string ReadPathStrictly(const json& request, std::string_view key, const std::string& fallback) {
    return ReadNameStrictly(request, key, fallback);
}

bool ReadBoolStrictly(const json& request, std::string_view key, bool fallback) {
    return ReadOptionalBoolStrictly(request, key).value_or(fallback);
}

std::optional<double> ReadOptionalNumberStrictly(const json& request, std::string_view key) {
    return ReadOptionalStrictly<double>(request, key, "must be a number");
}

double ReadNumberStrictly(const json& request, std::string_view key, double fallback) {
    return ReadOptionalNumberStrictly(request, key).value_or(fallback);
}

int ReadIntegerStrictly(const json& request, std::string_view key, int fallback) {
    const std::optional<double> number = ReadOptionalNumberStrictly(request, key);
    if (!number) {
        return fallback;
    }
    const double truncated = std::trunc(*number);
    if (!(truncated >= std::numeric_limits<int>::min() && truncated <= std::numeric_limits<int>::max())) {
        FailKey(key, "is out of range");
    }
    return static_cast<int>(truncated);
}

std::vector<std::string> ReadTextArrayStrictly(const json& request, std::string_view key) {
    return ReadArrayStrictly<std::string>(request, key, "must be an array of strings");
}

std::vector<double> ReadNumberArrayStrictly(const json& request, std::string_view key) {
    return ReadArrayStrictly<double>(request, key, "must be an array of numbers");
}

std::optional<std::string> FindUid(const std::string& request) {
    if (NestingDepth(request) > kMaxRequestDepth) {
        return std::nullopt;
    }
    json parsed = json::parse(request, nullptr, false, false);
    if (parsed.is_discarded()) {
        parsed = json::parse(WithOverflowsAsZero(request), nullptr, false, false);
    }
    const json* uid = FindKey(parsed, "uid");
    if (uid == nullptr || !uid->is_string()) {
        return std::nullopt;
    }
    return uid->get<std::string>();
}

std::string DescribeException(const std::exception& exception) {
    if (dynamic_cast<const std::bad_alloc*>(&exception) != nullptr) {
        return "Out of memory";
    }
    return WithoutLibraryPrefix(exception.what());
}

std::string ExceptionReply(const std::string& eventType, const std::string& request,
                           const std::exception& exception) {
    json reply = json::object();
    reply["eventType"] = eventType;
    if (std::optional<std::string> uid = FindUid(request)) {
        reply["uid"] = std::move(*uid);
    }
    reply["error"] = DescribeException(exception);
    return DumpReply(reply);
}

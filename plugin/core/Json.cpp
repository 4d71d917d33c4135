#include "core/Json.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

const json* FindKey(const json& request, const std::string& key) {
    if (!request.is_object()) {
        return nullptr;
    }
    const auto found = request.find(key);
    return found == request.end() ? nullptr : &*found;
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

}  // namespace

json ParseRequest(const std::string& text) {
    if (NestingDepth(text) > kMaxRequestDepth) {
        throw CommandError("The request is nested too deeply");
    }
    try {
        return json::parse(text, nullptr, true, false);
    } catch (const json::parse_error& error) {
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

std::string DumpReply(const json& reply) { return reply.dump(-1, ' ', false, json::error_handler_t::replace); }

bool ReadJsonValue(const json& request, const std::string& key, int& out) {
    const json* value = FindKey(request, key);
    return value != nullptr && ToInt32(*value, out);
}

bool ReadJsonValue(const json& request, const std::string& key, std::string& out) {
    const json* value = FindKey(request, key);
    if (value == nullptr || !value->is_string()) {
        return false;
    }
    out = value->get<std::string>();
    return true;
}

bool ReadJsonValue(const json& request, const std::string& key, bool& out) {
    const json* value = FindKey(request, key);
    if (value == nullptr || !value->is_boolean()) {
        return false;
    }
    out = value->get<bool>();
    return true;
}

std::string ReadText(const json& request, const std::string& key, const std::string& fallback) {
    const json* value = FindKey(request, key);
    if (value == nullptr) {
        return fallback;
    }
    if (!value->is_string()) {
        throw CommandError("\"" + key + "\" must be a string");
    }
    return value->get<std::string>();
}

bool ReadBool(const json& request, const std::string& key, bool fallback) {
    const json* value = FindKey(request, key);
    if (value == nullptr) {
        return fallback;
    }
    if (!value->is_boolean()) {
        throw CommandError("\"" + key + "\" must be true or false");
    }
    return value->get<bool>();
}

std::vector<std::string> ReadTextArray(const json& request, const std::string& key) {
    const json* value = FindKey(request, key);
    if (value == nullptr) {
        return {};
    }
    if (!value->is_array()) {
        throw CommandError("\"" + key + "\" must be an array of strings");
    }
    std::vector<std::string> texts;
    for (const json& element : *value) {
        if (!element.is_string()) {
            throw CommandError("\"" + key + "\" must be an array of strings");
        }
        texts.push_back(element.get<std::string>());
    }
    return texts;
}

std::string DescribeException(const std::exception& exception) {
    if (dynamic_cast<const std::bad_alloc*>(&exception) != nullptr) {
        return "Out of memory";
    }
    return WithoutLibraryPrefix(exception.what());
}

std::string ExceptionReply(const std::string& eventType, const std::exception& exception) {
    json reply = json::object();
    reply["eventType"] = eventType;
    reply["error"] = DescribeException(exception);
    return DumpReply(reply);
}

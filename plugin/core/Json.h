// Requests and replies: every command takes one JSON text and returns one JSON text.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

using json = nlohmann::json;

// A failure that ends a command; its text becomes the reply's "error".
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses a request text: the whole text, comments refused. Throws CommandError naming what is
// wrong when the text is not valid JSON.
json ParseRequest(const std::string& text);

// Starts a reply: "eventType" and, when the request has one, its "uid" (which must be a string;
// otherwise CommandError).
json StartReply(const std::string& eventType, const json& request);

// The reply's text: compact, keys sorted, non-ASCII written as UTF-8. Invalid UTF-8 in a string
// is replaced rather than failing the reply.
std::string DumpReply(const json& reply);

// Reads an optional key. Answers false and leaves out untouched when the request is not an object,
// the key is absent or its value doesn't convert. The integer form takes integers and
// floating-point numbers (truncated toward zero) within the 32-bit range, and booleans (1 or 0);
// the text form only strings, the boolean form only booleans.
bool ReadJsonValue(const json& request, const std::string& key, int& out);
bool ReadJsonValue(const json& request, const std::string& key, std::string& out);
bool ReadJsonValue(const json& request, const std::string& key, bool& out);

// Typed reads of optional keys: an absent key gives the fallback, a key of another type fails the
// command (CommandError naming the key). A request that is not an object has no keys.
std::string ReadText(const json& request, const std::string& key, const std::string& fallback = {});
bool ReadBool(const json& request, const std::string& key, bool fallback);
std::vector<std::string> ReadTextArray(const json& request, const std::string& key);

// The text for the reply's "error" when a command fails by exception.
std::string DescribeException(const std::exception& exception);

// The reply of a command that failed by exception: {"error": what, "eventType": eventType}.
std::string ExceptionReply(const std::string& eventType, const std::exception& exception);

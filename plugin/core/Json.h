// Requests and replies: every command takes one JSON text and returns one JSON text.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
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

// The value under the key when the request is an object holding it; null otherwise.
const json* FindKey(const json& request, std::string_view key);
// Whether the request is an object holding the key (of any type).
bool HasKey(const json& request, std::string_view key);

// Lenient reads: an absent key, a value of another type, or a request that is not an object leave
// the caller's default.
//
// ReadJsonValue answers false and leaves out untouched when the key can't be read. The integer form
// takes integers and floating-point numbers (truncated toward zero) within the 32-bit range, and
// booleans (1 or 0); the text form only strings, the boolean form only booleans, the double form
// any number (integer or floating-point) and nothing else.
bool ReadJsonValue(const json& request, std::string_view key, int& out);
bool ReadJsonValue(const json& request, std::string_view key, double& out);
bool ReadJsonValue(const json& request, std::string_view key, std::string& out);
bool ReadJsonValue(const json& request, std::string_view key, bool& out);
double ReadNumberLeniently(const json& request, std::string_view key, double fallback);
// An array whose elements are all of the type; anything else gives an empty list.
std::vector<std::string> ReadTextArrayLeniently(const json& request, std::string_view key);
std::vector<double> ReadNumberArrayLeniently(const json& request, std::string_view key);

// Strict reads: an absent key gives the fallback; a present key of another type fails the command
// (CommandError naming the key) before anything has changed. A request that is not an object has
// no keys.
std::string ReadTextStrictly(const json& request, std::string_view key, const std::string& fallback = {});
// A path, folder or file name: read as ReadTextStrictly, and a text holding a NUL character fails
// the command as well, since the file system would take the NUL as the end of the path and reach
// another file than the one named.
std::string ReadPathStrictly(const json& request, std::string_view key, const std::string& fallback = {});
// A name the application keeps (of art, a layer, an artboard, a swatch), or a note or link of art:
// read as ReadTextStrictly, and a text holding a NUL character fails the command as well, since the
// application keeps such texts as strings that end at the first NUL.
std::string ReadNameStrictly(const json& request, std::string_view key, const std::string& fallback = {});
// Whether a path or file name can reach the file it names: it holds no NUL character.
bool CanNameAFile(std::string_view text);
// Fails the command (CommandError naming the key) when the request's text holds a NUL character:
// the host keeps names and texts of this kind as strings that end at the first NUL, so it would
// reach or keep another one than the request gave. NulFailure is the failure's text.
void RequireNoNul(std::string_view text, std::string_view key);
bool HoldsNul(std::string_view text);
std::string NulFailure(std::string_view key);
bool ReadBoolStrictly(const json& request, std::string_view key, bool fallback);
std::optional<bool> ReadOptionalBoolStrictly(const json& request, std::string_view key);
double ReadNumberStrictly(const json& request, std::string_view key, double fallback);
std::optional<double> ReadOptionalNumberStrictly(const json& request, std::string_view key);
// A number truncated toward zero; also a failure when it is outside the 32-bit range.
int ReadIntegerStrictly(const json& request, std::string_view key, int fallback);
std::vector<std::string> ReadTextArrayStrictly(const json& request, std::string_view key);
std::vector<double> ReadNumberArrayStrictly(const json& request, std::string_view key);

// The "uid" of a request text, when the text parses and holds a string "uid": what a failure reply
// echoes, whatever stage the command failed at.
std::optional<std::string> FindUid(const std::string& request);

// The text for the reply's "error" when a command fails by exception.
std::string DescribeException(const std::exception& exception);

// The reply of a command that failed by exception: "eventType", the request's "uid" when the text
// carries one, and "error" describing the exception.
std::string ExceptionReply(const std::string& eventType, const std::string& request,
                           const std::exception& exception);

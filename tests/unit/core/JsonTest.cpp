// Reading request keys and writing replies.
#include <gtest/gtest.h>

#include <limits>

#include "core/Json.h"

namespace {

struct IntCase {
    const char* request;
    bool read;
    int value;  // what the variable holds afterwards; the default is 42
};

class ReadIntTest : public testing::TestWithParam<IntCase> {};

TEST_P(ReadIntTest, ConvertsOrLeavesTheDefault) {
    const IntCase& c = GetParam();
    int value = 42;
    EXPECT_EQ(ReadJsonValue(json::parse(c.request), "n", value), c.read) << c.request;
    EXPECT_EQ(value, c.value) << c.request;
}

INSTANTIATE_TEST_SUITE_P(
    Requests, ReadIntTest,
    testing::Values(
        IntCase{R"({"n": 7})", true, 7}, IntCase{R"({"n": -7})", true, -7}, IntCase{R"({"n": 2.9})", true, 2},
        IntCase{R"({"n": -2.9})", true, -2}, IntCase{R"({"n": true})", true, 1},
        IntCase{R"({"n": false})", true, 0}, IntCase{R"({"n": "2"})", false, 42},
        IntCase{R"({"n": null})", false, 42}, IntCase{R"({"n": [1]})", false, 42},
        IntCase{R"({"m": 1})", false, 42}, IntCase{R"([1, 2])", false, 42}, IntCase{R"("n")", false, 42},
        IntCase{R"({"n": 2147483647})", true, 2147483647},
        IntCase{R"({"n": -2147483648})", true, std::numeric_limits<int>::min()},
        IntCase{R"({"n": 2147483648})", false, 42}, IntCase{R"({"n": -2147483649})", false, 42},
        IntCase{R"({"n": 18446744073709551615})", false, 42}, IntCase{R"({"n": 4294967297})", false, 42},
        IntCase{R"({"n": 2147483647.9})", true, 2147483647}, IntCase{R"({"n": 2147483648.0})", false, 42},
        IntCase{R"({"n": -2147483648.5})", true, std::numeric_limits<int>::min()},
        IntCase{R"({"n": 1e300})", false, 42}, IntCase{R"({"n": -1e300})", false, 42}));

TEST(ReadJsonValue, DoubleFromAnyNumberOnly) {
    const std::pair<const char*, double> read[] = {
        {R"({"x": 2})", 2.0},
        {R"({"x": -2.5})", -2.5},
        {R"({"x": 1e300})", 1e300},
        {R"({"x": 18446744073709551615})", 18446744073709551615.0}};
    for (const auto& [request, expected] : read) {
        double value = 42;
        EXPECT_TRUE(ReadJsonValue(json::parse(request), "x", value)) << request;
        EXPECT_EQ(value, expected) << request;
    }
    for (const char* request :
         {R"({"x": "2"})", R"({"x": true})", R"({"x": null})", R"({"x": [1]})", R"({"y": 1})", "[1]"}) {
        double value = 42;
        EXPECT_FALSE(ReadJsonValue(json::parse(request), "x", value)) << request;
        EXPECT_EQ(value, 42) << request;
    }
}

TEST(ReadJsonValue, TextOnlyFromStrings) {
    std::string text = "default";
    EXPECT_FALSE(ReadJsonValue(json::parse(R"({"name": 5})"), "name", text));
    EXPECT_FALSE(ReadJsonValue(json::parse(R"({"name": null})"), "name", text));
    EXPECT_FALSE(ReadJsonValue(json::parse(R"({"name": true})"), "name", text));
    EXPECT_EQ(text, "default");
    EXPECT_TRUE(ReadJsonValue(json::parse(R"({"name": "é"})"), "name", text));
    EXPECT_EQ(text, "é");
}

TEST(ReadJsonValue, BooleanOnlyFromBooleans) {
    bool flag = true;
    EXPECT_FALSE(ReadJsonValue(json::parse(R"({"flag": 1})"), "flag", flag));
    EXPECT_FALSE(ReadJsonValue(json::parse(R"({"flag": "false"})"), "flag", flag));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(ReadJsonValue(json::parse(R"({"flag": false})"), "flag", flag));
    EXPECT_FALSE(flag);
}

TEST(Replies, KeysAreSortedAndCompact) {
    json reply = StartReply("translate", json::parse(R"({"uid": "u1"})"));
    reply["error"] = "No artwork found";
    EXPECT_EQ(DumpReply(reply), R"({"error":"No artwork found","eventType":"translate","uid":"u1"})");
}

TEST(Replies, NoUidWithoutOne) {
    EXPECT_EQ(DumpReply(StartReply("comment", json::parse(R"({"text": "x"})"))),
              R"({"eventType":"comment"})");
}

TEST(Replies, UidMustBeText) {
    EXPECT_THROW(StartReply("comment", json::parse(R"({"uid": 5})")), CommandError);
}

TEST(Replies, NonAsciiIsWrittenAsUtf8AndInvalidUtf8IsReplaced) {
    json reply = json::object();
    reply["name"] = "caf\xC3\xA9";
    reply["bad"] = std::string(
        "a\xFF"
        "b");
    EXPECT_EQ(DumpReply(reply),
              "{\"bad\":\"a\xEF\xBF\xBD"
              "b\",\"name\":\"caf\xC3\xA9\"}");
}

TEST(Requests, ParseErrorsNameTheProblem) {
    try {
        ParseRequest("{\"a\": ");
        FAIL() << "no exception";
    } catch (const CommandError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("The request is not valid JSON: ", 0), 0u) << error.what();
        EXPECT_EQ(std::string(error.what()).find("[json.exception"), std::string::npos);
    }
    EXPECT_THROW(ParseRequest("{} // comment"), CommandError);
    EXPECT_THROW(ParseRequest(""), CommandError);
}

}  // namespace

namespace {

std::string Nested(int depth) {
    return "{\"a\":" + std::string(depth, '[') + std::string(depth, ']') + "}";
}

TEST(Requests, DeepNestingIsRefusedBeforeParsing) {
    EXPECT_NO_THROW(ParseRequest(Nested(500)));
    EXPECT_THROW(ParseRequest(Nested(100000)), CommandError);
    // Brackets inside strings don't count.
    EXPECT_NO_THROW(ParseRequest("{\"a\":\"" + std::string(100000, '[') + "\\\"\"}"));
}

}  // namespace

// UTF-8 in the model: what counts as well-formed, and how it turns into UTF-16 and back.
#include <gtest/gtest.h>

#include "model/Utf8.h"

namespace host::model {
namespace {

struct Utf8Case {
    const char* label;
    std::string bytes;
    bool valid;
    std::u16string units;  // what it decodes to
};

class Utf8Text : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Text, IsValidExactlyWhenItDecodesWithoutReplacementAndThenRoundTrips) {
    const Utf8Case& c = GetParam();
    EXPECT_EQ(isValidUtf8(c.bytes), c.valid);
    EXPECT_EQ(utf16Of(c.bytes), c.units);
    if (c.valid) {
        EXPECT_EQ(utf8Of(c.units), c.bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8Text,
    testing::Values(Utf8Case{"ascii", "a b", true, u"a b"},
                    Utf8Case{"mixedLengths", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", true,
                             u"\u00E9\u20AC\U0001F600"},
                    Utf8Case{"lastBeforeSurrogates", "\xED\x9F\xBF", true, u"\uD7FF"},
                    Utf8Case{"firstAfterSurrogates", "\xEE\x80\x80", true, u"\uE000"},
                    Utf8Case{"highestCodePoint", "\xF4\x8F\xBF\xBF", true, u"\U0010FFFF"},
                    Utf8Case{"encodedSurrogate", "\xED\xA0\x80", false, u"\uFFFD\uFFFD\uFFFD"},
                    Utf8Case{"overlongTwoBytes", "\xC1\xBF", false, u"\uFFFD\uFFFD"},
                    Utf8Case{"overlongFourBytes", "\xF0\x8F\xBF\xBF", false, u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                    Utf8Case{"aboveUnicode", "\xF4\x90\x80\x80", false, u"\uFFFD\uFFFD\uFFFD\uFFFD"},
                    Utf8Case{"cutShort", "x\xF0\x9F\x98", false, u"x\uFFFD"},
                    Utf8Case{"strayContinuation", "\x80z", false, u"\uFFFDz"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace host::model

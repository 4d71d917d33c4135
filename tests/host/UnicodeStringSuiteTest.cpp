// The Unicode string suite: UTF-16 storage, the four encodings, size queries, and the
// ai::UnicodeString class of the host on top of it.
#include <cstring>

#include "AIUnicodeString.h"
#include "HostFixture.h"
#include "IAIUnicodeString.h"

namespace {

using hosttest::HostTest;

class UnicodeStrings : public HostTest {
protected:
    void SetUp() override {
        suite = hosttest::Acquire<AIUnicodeStringSuite>(app->BasicSuite(), kAIUnicodeStringSuite,
                                                        kAIUnicodeStringSuiteVersion);
        ASSERT_NE(suite, nullptr);
    }

    AIUnicodeStringRef Make(const std::string& bytes, AICharacterEncoding encoding) {
        AIUnicodeStringRef ref = nullptr;
        EXPECT_EQ(suite->Create(bytes.data(), bytes.size(), encoding, &ref), kNoErr);
        return ref;
    }

    std::u16string Units(AIUnicodeStringRef ref) {
        const ASUnicode* units = nullptr;
        size_t count = 0;
        EXPECT_EQ(suite->GetUTF16(ref, &units, &count), kNoErr);
        return std::u16string(reinterpret_cast<const char16_t*>(units), count);
    }

    std::string As(AIUnicodeStringRef ref, AICharacterEncoding encoding) {
        size_t needed = 0;
        EXPECT_EQ(suite->GetAs(ref, encoding, nullptr, 0, &needed), kNoErr);
        std::string bytes(needed, '\0');
        EXPECT_EQ(suite->GetAs(ref, encoding, bytes.data(), bytes.size(), &needed), kNoErr);
        return bytes;
    }

    const AIUnicodeStringSuite* suite = nullptr;
};

struct EncodingCase {
    const char* label;
    AICharacterEncoding encoding;
    std::string bytes;
    std::u16string units;
    std::string readBack;  // the same text read in the same encoding
};

class Encodings : public UnicodeStrings, public testing::WithParamInterface<EncodingCase> {};

TEST_P(Encodings, CreateStoresUTF16AndGetAsWritesTheEncoding) {
    const EncodingCase& c = GetParam();
    AIUnicodeStringRef ref = Make(c.bytes, c.encoding);
    EXPECT_EQ(Units(ref), c.units);
    EXPECT_EQ(As(ref, c.encoding), c.readBack);
    EXPECT_EQ(suite->Dispose(ref), kNoErr);
}

std::string Utf16Bytes(std::u16string_view units) {
    std::string bytes(units.size() * 2, '\0');
    std::memcpy(bytes.data(), units.data(), bytes.size());
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Encodings,
    testing::Values(EncodingCase{"platform_is_utf8", kAIPlatformCharacterEncoding, "\xC3\xA9t\xC3\xA9",
                                 u"\u00E9t\u00E9", "\xC3\xA9t\xC3\xA9"},
                    EncodingCase{"utf8", kAIUTF8CharacterEncoding, "\xF0\x9F\x98\x80", u"\U0001F600",
                                 "\xF0\x9F\x98\x80"},
                    EncodingCase{"invalid_utf8_is_replaced", kAIUTF8CharacterEncoding, "a\xFFz", u"a\uFFFDz",
                                 "a\xEF\xBF\xBDz"},
                    EncodingCase{"roman", kAIRomanCharacterEncoding, "caf\xE9", u"caf\u00E9", "caf\xE9"},
                    EncodingCase{"utf16", kAIUTF16CharacterEncoding, Utf16Bytes(u"x\U0001F600"),
                                 u"x\U0001F600", Utf16Bytes(u"x\U0001F600")},
                    EncodingCase{"empty", kAIUTF8CharacterEncoding, "", u"", ""}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(UnicodeStrings, RomanWritesQuestionMarksAboveLatin1) {
    AIUnicodeStringRef ref = Make("\xE2\x82\xAC \xF0\x9F\x98\x80 \xC3\xA9", kAIUTF8CharacterEncoding);
    EXPECT_EQ(As(ref, kAIRomanCharacterEncoding), "? ? \xE9");
    suite->Dispose(ref);
}

TEST_F(UnicodeStrings, AShortBufferGetsWholeCharactersAndTheFullSize) {
    AIUnicodeStringRef ref = Make("a\xE2\x82\xAC", kAIUTF8CharacterEncoding);  // 4 bytes in UTF-8
    char buffer[4] = {'-', '-', '-', '-'};
    size_t needed = 0;
    EXPECT_EQ(suite->GetAs(ref, kAIUTF8CharacterEncoding, buffer, 3, &needed), kNoErr);
    EXPECT_EQ(needed, 4u);
    EXPECT_EQ(std::string(buffer, 4), "a---");  // the euro sign does not fit in two bytes
    suite->Dispose(ref);
}

TEST_F(UnicodeStrings, AShortUTF16BufferDoesNotSplitASurrogatePair) {
    AIUnicodeStringRef ref = Make("a\xF0\x9F\x98\x80", kAIUTF8CharacterEncoding);
    char buffer[6] = {};
    size_t needed = 0;
    EXPECT_EQ(suite->GetAs(ref, kAIUTF16CharacterEncoding, buffer, 4, &needed), kNoErr);
    EXPECT_EQ(needed, 6u);
    EXPECT_EQ(std::string(buffer, 2), Utf16Bytes(u"a"));
    EXPECT_EQ(buffer[2], '\0');
    suite->Dispose(ref);
}

TEST_F(UnicodeStrings, AppendAcceptsTheStringItself) {
    AIUnicodeStringRef ref = Make("ab", kAIUTF8CharacterEncoding);
    EXPECT_EQ(suite->Append(ref, ref), kNoErr);
    EXPECT_EQ(Units(ref), u"abab");
    suite->Dispose(ref);
}

TEST_F(UnicodeStrings, DuplicatesAreIndependent) {
    AIUnicodeStringRef original = Make("Ab", kAIUTF8CharacterEncoding);
    AIUnicodeStringRef copy = nullptr;
    ASSERT_EQ(suite->Duplicate(original, &copy), kNoErr);
    EXPECT_NE(copy, original);
    EXPECT_EQ(suite->ToLower(copy), kNoErr);
    EXPECT_EQ(Units(original), u"Ab");
    EXPECT_EQ(Units(copy), u"ab");
    suite->Dispose(original);
    suite->Dispose(copy);
}

TEST_F(UnicodeStrings, ToLowerWorksPerCodePoint) {
    AIUnicodeStringRef ref = nullptr;
    const std::u16string text = u"\u00C9T\u00C9 \U00010400 \u0130";
    ASSERT_EQ(suite->CreateUTF16(reinterpret_cast<const ASUnicode*>(text.data()), text.size(), &ref), kNoErr);
    ASSERT_EQ(suite->ToLower(ref), kNoErr);
    EXPECT_EQ(Units(ref), u"\u00E9t\u00E9 \U00010428 i");
    suite->Dispose(ref);
}

TEST_F(UnicodeStrings, CreateUTF16KeepsLoneSurrogatesWhichUTF8ReplacesOnOutput) {
    AIUnicodeStringRef ref = nullptr;
    const std::u16string text = u"a\xD800";
    ASSERT_EQ(suite->CreateUTF16(reinterpret_cast<const ASUnicode*>(text.data()), text.size(), &ref), kNoErr);
    EXPECT_EQ(Units(ref), text);
    EXPECT_EQ(As(ref, kAIUTF8CharacterEncoding), "a\xEF\xBF\xBD");
    suite->Dispose(ref);
}

TEST_F(UnicodeStrings, BadArgumentsAreRefused) {
    AIUnicodeStringRef ref = reinterpret_cast<AIUnicodeStringRef>(0x99);
    EXPECT_EQ(suite->Create(nullptr, 3, kAIUTF8CharacterEncoding, &ref), kBadParameterErr);
    EXPECT_EQ(ref, nullptr);
    EXPECT_EQ(suite->Create("a", 1, static_cast<AICharacterEncoding>(9), &ref), kBadParameterErr);
    EXPECT_EQ(suite->Create("a", 1, kAIUTF8CharacterEncoding, nullptr), kBadParameterErr);
    EXPECT_EQ(suite->CreateUTF16(nullptr, 2, &ref), kBadParameterErr);
    ASSERT_EQ(suite->Create(nullptr, 0, kAIUTF8CharacterEncoding, &ref), kNoErr);  // the empty text
    EXPECT_EQ(Units(ref), u"");
    size_t needed = 1;
    EXPECT_EQ(suite->GetAs(ref, static_cast<AICharacterEncoding>(-1), nullptr, 0, &needed), kBadParameterErr);
    EXPECT_EQ(suite->GetUTF16(ref, nullptr, &needed), kBadParameterErr);
    suite->Dispose(ref);
}

TEST_F(UnicodeStrings, DisposedStringsAreStaleForEveryOperation) {
    AIUnicodeStringRef ref = Make("x", kAIUTF8CharacterEncoding);
    AIUnicodeStringRef other = Make("y", kAIUTF8CharacterEncoding);
    ASSERT_EQ(suite->Dispose(ref), kNoErr);
    AIUnicodeStringRef copy = nullptr;
    const ASUnicode* units = nullptr;
    size_t count = 0;
    EXPECT_EQ(suite->Dispose(ref), kBadParameterErr);
    EXPECT_EQ(suite->Duplicate(ref, &copy), kBadParameterErr);
    EXPECT_EQ(suite->GetUTF16(ref, &units, &count), kBadParameterErr);
    EXPECT_EQ(suite->GetAs(ref, kAIUTF8CharacterEncoding, nullptr, 0, &count), kBadParameterErr);
    EXPECT_EQ(suite->Append(ref, other), kBadParameterErr);
    EXPECT_EQ(suite->Append(other, ref), kBadParameterErr);
    EXPECT_EQ(suite->ToLower(ref), kBadParameterErr);
    // A newer string never takes the disposed handle.
    EXPECT_NE(Make("z", kAIUTF8CharacterEncoding), ref);
}

TEST_F(UnicodeStrings, TheHostsOwnClassRoundTripsThroughTheSuite) {
    const size_t before = app->LiveStrings();
    {
        ai::UnicodeString text = ai::UnicodeString::FromUTF8(
            "Stra\xC3\x9F"
            "e");
        EXPECT_EQ(text.length(), 6u);
        EXPECT_EQ(text.as_Roman(),
                  "Stra\xDF"
                  "e");
        ai::UnicodeString copy = text;
        copy.append(ai::UnicodeString("!")).toLower();
        EXPECT_EQ(copy.as_UTF8(),
                  "stra\xC3\x9F"
                  "e!");
        EXPECT_EQ(text.as_UTF8(),
                  "Stra\xC3\x9F"
                  "e");
        EXPECT_EQ(app->LiveStrings(), before + 2);
    }
    EXPECT_EQ(app->LiveStrings(), before);
}

TEST(UnicodeStringsWithoutApplication, AnswerCantHappen) {
    const AIUnicodeStringSuite* suite = nullptr;
    {
        host::Application app(hosttest::ProbeOptions());
        suite = hosttest::Acquire<AIUnicodeStringSuite>(app.BasicSuite(), kAIUnicodeStringSuite,
                                                        kAIUnicodeStringSuiteVersion);
        ASSERT_NE(suite, nullptr);
    }
    AIUnicodeStringRef ref = nullptr;
    EXPECT_EQ(suite->Create("a", 1, kAIUTF8CharacterEncoding, &ref), kCantHappenErr);
    EXPECT_EQ(ref, nullptr);
    EXPECT_EQ(suite->Dispose(ref), kCantHappenErr);
    EXPECT_TRUE(ai::UnicodeString::FromUTF8("text").as_UTF8().empty());
}

}  // namespace

// Name templates: every kind of part, counters, case and delimiters, and time tokens.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "core/Counters.h"
#include "documents/NameTemplate.h"
#include "documents/TimeTokens.h"

using json = nlohmann::json;

namespace {

NameSources FakeSources(Counters& counters) {
    NameSources sources;
    sources.rulerUnit = [] { return std::string("pixels"); };
    sources.colorSpace = [] { return std::string("RGB"); };
    sources.userName = [] { return std::string("ann"); };
    sources.computerName = [] { return std::string("box"); };
    sources.counters = &counters;
    return sources;
}

}  // namespace

TEST(NameTemplate, ResolvesEveryKindOfPart) {
    struct Case {
        json part;
        json job;
        json expected;
    };
    const json name = {{"artboardName", "Front Cover_v2"}, {"artboardNumber", 4}, {"fileFormat", "png"}};
    const Case cases[] = {
        {"img_", name, "img_"},
        {{{"command", "artboard_number"}, {"artboardNumberLength", 3}}, name, "005"},
        {{{"command", "artboard_name"}, {"casing", "UPPER"}, {"delimiter", "-"}}, name, "FRONT-COVER-V2"},
        {{{"command", "artboard_name"}}, {{"artboardName", std::string("a/b\0c", 5)}}, "a_b_c"},
        {{{"command", "ruler_unit"}, {"casing", "upper"}}, name, "PIXELS"},
        {{{"command", "file_format"}, {"casing", "Title"}}, name, "Png"},
        {{{"command", "color_space"}}, name, "RGB"},
        {{{"command", "user_name"}}, name, "ann"},
        {{{"command", "computer_name"}}, name, "box"},
        {{{"command", "counter"}, {"name", "File"}, {"plus", 1}, {"padding", 3}}, name, "002"},
        {{{"command", "counter"}, {"name", "file"}, {"plus", "artboards"}},
         {{"documentArtboardsQuantity", 4}},
         "5"},
        {{{"command", "counter"}, {"name", "nobody"}}, name, {{"command", "counter"}, {"name", "nobody"}}},
        {{{"command", "date"}}, name, {{"command", "date"}}},
        {{{"command", "whatever"}}, name, {{"command", "whatever"}}},
    };
    for (const Case& c : cases) {
        Counters counters;
        json job = c.job;
        job["fileName"] = json::array({c.part, 5, json::object()});
        EXPECT_EQ(JsonToNamePartArray(job, "fileName", FakeSources(counters)), json::array({c.expected}))
            << c.part;
    }
}

TEST(NameTemplate, CounterOverridesLastAndPaddingIsCapped) {
    Counters counters;
    const NameSources sources = FakeSources(counters);
    const json job = {
        {"fileName", {{{"command", "counter"}, {"overrides", {{"name", "Pages"}, {"count", 7}}}}}}};
    EXPECT_EQ(JsonToNamePartArray(job, "fileName", sources), json::array({"7"}));
    EXPECT_EQ(counters.All()[counters.Find("pages")].count, 7);
    const json wide = {{"fileName", {{{"command", "counter"}, {"name", "file"}, {"padding", 2000000000}}}}};
    EXPECT_EQ(JsonToNamePartArray(wide, "fileName", sources)[0].get<std::string>().size(), 255u);
}

TEST(NameTemplate, CaseAndDelimiters) {
    EXPECT_EQ(ChangeCase("mY dOG", "TITLE"), "My Dog");
    EXPECT_EQ(ToTitle("JOHN-DOE abc123def"), "John-Doe Abc123Def");
    EXPECT_EQ(ChangeCase("mY dOG", "shout"), "mY dOG");
    EXPECT_EQ(ReplaceDelimiters("a\xC2\xA6"
                                "b\xC3\xA9:c",
                                kNameDelimiters, "+"),
              "a+b\xC3\xA9+c");
    EXPECT_EQ(ReplaceDelimiters("a b", kNameDelimiters, ""), "a b");
}

class TimeTokens : public testing::Test {
protected:
    void SetUp() override {
        const char* zone = std::getenv("TZ");
        saved = zone != nullptr ? std::optional<std::string>(zone) : std::nullopt;
        setenv("TZ", "UTC-2", 1);  // two hours east of UTC, no daylight saving
        tzset();
    }
    void TearDown() override {
        if (saved) {
            setenv("TZ", saved->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    std::optional<std::string> saved;
};

TEST_F(TimeTokens, FormatTheFixedInstant) {
    // 7 May 2024, 13:45:09.007 local time (11:45:09 UTC).
    const TimeInstant instant{1715082309, 7};
    const std::pair<const char*, const char*> cases[] = {
        {"YYYYMMDDHHmmss", "20240507134509"},
        {"YYYY-MM-DD HH:mm:ss", "2024-05-07 13;45;09"},
        {"D.M.YY", "7524"},
        {"D_M_YY", "7_5_24"},
        {"h A", "1 PM"},
        {"h a", "1 pm"},
        {"x", "1715082309007"},
        {"X", "1715082309.007"},
        {"SSS", "007"},
        {"Z", "GMT+0200"},
        {"\xC2\xA6\xC2\xA6||  ", ";;;;  "},
        {"YYY SS XX", "  "},
    };
    for (const auto& [format, expected] : cases) {
        EXPECT_EQ(FormatTimeAt(format, instant), expected) << format;
    }
}

TEST_F(TimeTokens, PartsUseTheirDefaultsAndFormats) {
    EXPECT_EQ(JsonToTimeStr(json{{"command", "time_stamp"}}).size(), 14u);
    EXPECT_EQ(JsonToTimeStr(json{{"command", "date"}}).size(), 8u);
    EXPECT_EQ(JsonToTimeStr(json{{"command", "time"}}).size(), 6u);
    EXPECT_EQ(JsonToTimeStr(json{{"command", "date"}, {"format", ""}}), "");
    EXPECT_EQ(JsonToTimeStr(json{{"command", "other"}}), "");
}

// Text of commands (an artboard's name above all) can't lead out of the folder the request gave:
// the "." and ".." components it helps to form, and a "~" it puts at the folder's start, are
// written with "_"; the request's own literal text stays as it is.
TEST(NameTemplate, NamesFromTheDocumentStayInTheFolder) {
    struct Case {
        const char* label;
        json parts;
        std::string artboardName;
        bool folder;
        std::string expected;
    };
    const json name = {{"command", "artboard_name"}};
    const json slashes = {{"command", "artboard_name"}, {"delimiter", "/"}};
    const Case cases[] = {
        {"dot_dot", {"out/", name}, "..", true, "out/__"},
        {"dot", {"out/", name}, ".", true, "out/_"},
        {"dot_dot_inside", {"out/", name, "/x"}, "..", true, "out/__/x"},
        {"two_names_make_dot_dot", {"out/", name, name}, ".", true, "out/__"},
        {"literal_dot_and_name", {"out/.", name}, ".", true, "out/._"},
        {"dots_in_a_longer_name", {"out/", name}, "..x", true, "out/..x"},
        {"made_by_the_delimiter", {"out/", slashes}, ".. x", true, "out/__/x"},
        {"request_dot_dot_stays", {"../out/", name}, "x", true, "../out/x"},
        {"home_at_the_start", {name, "/x"}, "~", true, "_/x"},
        {"home_inside", {"out/", name}, "~", true, "out/~"},
        {"request_home_stays", {"~/", name}, "x", true, "~/x"},
        {"slash_in_a_name", {"out/", name}, "../a", true, "out/.._a"},
        {"file_dot_dot", {name}, "..", false, "__"},
        {"file_home", {name}, "~", false, "~"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Counters counters;
        const json job = {{"artboardName", c.artboardName}, {"t", c.parts}};
        std::vector<ResolvedPart> parts = ResolveNameParts(job, "t", FakeSources(counters));
        ConfineNameParts(parts, c.folder);
        const json resolved = {{"t", NamePartValues(std::move(parts))}};
        EXPECT_EQ(FilePathNameToString(resolved, "t"), c.expected);
    }
}

// Counters: names, padding, 32-bit arithmetic, triggers, the list and selections.
#include <gtest/gtest.h>

#include <climits>

#include "core/Counters.h"

using json = nlohmann::json;

TEST(CounterNames, AreNormalised) {
    const std::pair<const char*, const char*> cases[] = {
        {"My Counter", "my_counter"}, {"--Row  File--", "row_file"}, {"_", ""}, {"", ""}, {"A-b c", "a_b_c"},
    };
    for (const auto& [given, expected] : cases) {
        EXPECT_EQ(NormalizeCounterName(given), expected) << given;
    }
}

TEST(CounterPad, FillsWithZerosAndCapsTheWidth) {
    struct Case {
        int count;
        int padding;
        std::string expected;
    };
    const Case cases[] = {{7, 4, "0007"}, {12345, 4, "12345"}, {-5, 4, "00-5"}, {3, 0, "3"}, {3, -9, "3"}};
    for (const Case& c : cases) {
        Counter counter;
        counter.count = c.count;
        counter.padding = c.padding;
        EXPECT_EQ(counter.Pad(), c.expected) << c.count << " " << c.padding;
    }
    Counter huge;
    huge.padding = 2000000000;
    EXPECT_EQ(huge.Pad().size(), static_cast<std::size_t>(kMaxCounterPadding));
}

TEST(CounterArithmetic, WrapsModulo32Bits) {
    EXPECT_EQ(WrappingAdd(INT_MAX, 1), INT_MIN);
    EXPECT_EQ(WrappingAdd(INT_MIN, -1), INT_MAX);
    Counters counters;
    counters.Reset({0}, INT_MAX);
    counters.Increment({0}, INT_MAX);
    EXPECT_EQ(counters.All()[0].count, -2);
}

TEST(CounterTriggers, FireAsTheExportNeedsThem) {
    Counters counters;
    counters.ResetAndIncrement("artboard");
    EXPECT_EQ(counters.All()[counters.Find("artboard")].count, 2);
    counters.Increment("File");
    for (const char* name : {"file", "row_file", "running_file"}) {
        EXPECT_EQ(counters.All()[counters.Find(name)].count, 2) << name;
    }
    counters.Reset("export");
    for (const char* name : {"artboard", "row_file", "job"}) {
        EXPECT_EQ(counters.All()[counters.Find(name)].count, 1) << name;
    }
    EXPECT_EQ(counters.All()[counters.Find("file")].count, 2);
}

TEST(CounterList, AddsEditsAndRemoves) {
    Counters counters;
    EXPECT_TRUE(counters.Add(json{{"name", "My Counter"}, {"erasable", false}}));
    EXPECT_FALSE(counters.Add(json{{"name", "my-counter"}}));
    EXPECT_TRUE(counters.Add(json{{"name", "other"}, {"padding", 3}}));
    EXPECT_TRUE(counters.AddEdit(json{{"counter", "file"}, {"padding", 3}}));
    EXPECT_EQ(counters.All()[1].padding, 3);
    EXPECT_EQ(counters.All()[1].incrementTrigger, "file");
    EXPECT_TRUE(counters.AddEdit(json{{"counter", "nothing"}, {"newName", "Fresh One"}}));
    EXPECT_NE(counters.Find("fresh_one"), Counters::kNotFound);
    EXPECT_FALSE(counters.AddEdit(json{{"counter", "nothing"}}));

    EXPECT_TRUE(counters.Remove(json{{"all", true}}));
    EXPECT_EQ(counters.All().size(), 8u);  // the built-ins and the one that can't be erased
    EXPECT_TRUE(counters.Remove(json{{"counters", {"file"}}}));
    EXPECT_EQ(counters.All().size(), 8u);
    counters.HardReset();
    EXPECT_FALSE(counters.Remove(json{{"all", true}}));
}

TEST(CounterSelection, FollowsAllAndNames) {
    Counters counters;
    EXPECT_EQ(counters.JsonToCountersVector(json{{"counters", "file"}}, true).size(), 7u);
    EXPECT_TRUE(counters.JsonToCountersVector(json{{"counters", "file"}}, false).empty());
    EXPECT_EQ(counters.JsonToCountersVector(json{{"counters", {"JOB", "file", "job"}}}, false),
              (Counters::Indices{1, 5}));
    const Counters::Indices all = counters.GetAllCounters();
    EXPECT_EQ(counters.FilterByIncrementTrigger(all, json{{"incrementTrigger", "File"}}),
              (Counters::Indices{1, 2, 3}));
}

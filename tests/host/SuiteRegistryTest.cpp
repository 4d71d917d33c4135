// The suite registry and the basic suite: every suite offered by exact name and version, counted
// acquisitions, empty tables for what nobody implements yet.
#include "AICSXSExtension.h"
#include "AIUndo.h"
#include "HostFixture.h"
#include "SuiteCatalogue.h"

namespace {

using host::SuiteRegistry;
using hosttest::HostTest;

struct Offered {
    std::string name;
    ASInt32 version;
};

std::vector<Offered> Catalogue() {
    std::vector<Offered> suites{{"SP Access Suite", 3},      {"SP Plug-ins Suite", 4},
                                {"AI Notifier Suite", 1004}, {"AI Context Suite", 1010},
                                {"AI User Suite", 1021},     {"AI File Path Suite", 1008},
                                {"AI Folders Suite", 1005},  {"AI CSXS Extension Suite", 1004}};
#define PLIM_LIST_APPLICATION_SUITE(type, pointer, name, version) suites.push_back({name, version});
    PLIM_APPLICATION_SUITES(PLIM_LIST_APPLICATION_SUITE)
#undef PLIM_LIST_APPLICATION_SUITE
#define PLIM_LIST_TEXT_ENGINE_SUITE(word, version) suites.push_back({"ATE " #word " Suite", version});
    PLIM_TEXT_ENGINE_SUITES(PLIM_LIST_TEXT_ENGINE_SUITE)
#undef PLIM_LIST_TEXT_ENGINE_SUITE
    return suites;
}

// The number of rows the catalogue lists, counted from its own lists.
#define PLIM_COUNT_ROW(...) +1
constexpr std::size_t kCatalogueRows =
    0 PLIM_BASIC_SUITES(PLIM_COUNT_ROW) PLIM_POST_STARTUP_SUITES(PLIM_COUNT_ROW)
        PLIM_APPLICATION_SUITES(PLIM_COUNT_ROW) PLIM_TEXT_ENGINE_SUITES(PLIM_COUNT_ROW);
#undef PLIM_COUNT_ROW

using Registry = HostTest;

TEST_F(Registry, OffersEveryCatalogueSuiteAndNothingElse) {
    const std::vector<Offered> catalogue = Catalogue();
    for (const Offered& suite : catalogue) {
        EXPECT_TRUE(app->Suites().Has(suite.name, suite.version)) << suite.name;
    }
    EXPECT_EQ(app->Suites().Size(), catalogue.size());
    EXPECT_EQ(app->Suites().Size(), kCatalogueRows);
}

struct ImplementedCase {
    const char* name;
    ASInt32 version;
    bool implemented;
};

class Implemented : public Registry, public testing::WithParamInterface<ImplementedCase> {};

TEST_P(Implemented, MatchesWhatTheHostProvides) {
    EXPECT_EQ(app->Suites().IsImplemented(GetParam().name, GetParam().version), GetParam().implemented);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Implemented,
    testing::Values(
        ImplementedCase{"SP Access Suite", 3, true}, ImplementedCase{"SP Plug-ins Suite", 4, true},
        ImplementedCase{"AI Notifier Suite", 1004, true}, ImplementedCase{"AI Context Suite", 1010, true},
        ImplementedCase{"AI User Suite", 1021, true}, ImplementedCase{"AI File Path Suite", 1008, true},
        ImplementedCase{"AI Folders Suite", 1005, true},
        ImplementedCase{"AI Unicode String Suite", 1009, true},
        ImplementedCase{"AI User Interface Theme Suite", 1002, true},
        ImplementedCase{"AI Undo Suite", 1012, true}, ImplementedCase{"AI CSXS Extension Suite", 1004, true},
        ImplementedCase{"AI Art Suite", 1021, true}, ImplementedCase{"AI Tag Suite", 1004, true},
        ImplementedCase{"AI Matching Art Suite", 1007, true},
        ImplementedCase{"AI MdMemory Suite", 1003, true}, ImplementedCase{"AI UUID Suite", 1003, true},
        ImplementedCase{"AI Layer Suite", 1013, true}, ImplementedCase{"AI Group Suite", 1005, true},
        ImplementedCase{"AI Envelope Suite", 1004, true}, ImplementedCase{"AI Intertwine Suite", 1001, true},
        ImplementedCase{"AI Isolation Mode", 1006, true}, ImplementedCase{"AI Text Frame Suite", 1004, true},
        ImplementedCase{"AI Dictionary Suite", 1010, true}, ImplementedCase{"AI Symbol Suite", 1008, true},
        ImplementedCase{"AI Art Set Suite", 1009, true}, ImplementedCase{"AI Runtime Suite", 1014, false},
        ImplementedCase{"ATE TextRange Suite", 2, true}, ImplementedCase{"AI Font Suite", 1006, true},
        ImplementedCase{"ATE Spell Suite", 102, false}));

TEST_F(Registry, VersionsMustMatchExactly) {
    const void* table = &table;
    EXPECT_EQ(app->Suites().Acquire(kAIUndoSuite, 1011, &table), kSPSuiteNotFoundError);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(app->Suites().Acquire(kAIUndoSuite, 1013, &table), kSPSuiteNotFoundError);
    EXPECT_EQ(app->Suites().Acquire("AI Undo", 1012, &table), kSPSuiteNotFoundError);
    EXPECT_EQ(app->Suites().Acquire(kAIUndoSuite, 1012, &table), kNoErr);
    EXPECT_NE(table, nullptr);
}

TEST_F(Registry, CountsOutstandingAcquisitions) {
    SuiteRegistry& suites = app->Suites();
    const void* table = nullptr;
    ASSERT_EQ(suites.Acquire("AI Art Suite", 1021, &table), kNoErr);
    ASSERT_EQ(suites.Acquire("AI Art Suite", 1021, &table), kNoErr);
    EXPECT_EQ(suites.AcquireCount("AI Art Suite", 1021), 2);
    EXPECT_EQ(suites.TotalAcquired(), 2);
    ASSERT_EQ(suites.Held().size(), 1u);
    EXPECT_EQ(suites.Held()[0].name, "AI Art Suite");
    EXPECT_EQ(suites.Release("AI Art Suite", 1021), kNoErr);
    EXPECT_EQ(suites.Release("AI Art Suite", 1021), kNoErr);
    EXPECT_EQ(suites.Release("AI Art Suite", 1021), kSPBadParameterError);
    EXPECT_EQ(suites.AcquireCount("AI Art Suite", 1021), 0);
    EXPECT_EQ(suites.Release("No Such Suite", 1), kSPSuiteNotFoundError);
    EXPECT_EQ(suites.AcquireCount("No Such Suite", 1), 0);
}

TEST_F(Registry, UnimplementedSuitesHandOutTheEmptyTable) {
    const void* table = nullptr;
    ASSERT_EQ(app->Suites().Acquire("ATE Spell Suite", 102, &table), kNoErr);
    EXPECT_EQ(table, SuiteRegistry::EmptyTable());
    const auto* slots = static_cast<void (*const*)()>(table);
    for (size_t i = 0; i < SuiteRegistry::kEmptySuiteSlots; ++i) {
        EXPECT_EQ(slots[i], nullptr) << i;
    }
}

TEST_F(Registry, ImplementingReplacesTheEmptyTableAndKeepsTheCount) {
    static const AIUndoSuite kFake{};
    const void* table = nullptr;
    ASSERT_EQ(app->Suites().Acquire("AI Art Set Suite", 1009, &table), kNoErr);
    app->Suites().Implement("AI Art Set Suite", 1009, &kFake);
    EXPECT_TRUE(app->Suites().IsImplemented("AI Art Set Suite", 1009));
    EXPECT_EQ(app->Suites().AcquireCount("AI Art Set Suite", 1009), 1);
    ASSERT_EQ(app->Suites().Acquire("AI Art Set Suite", 1009, &table), kNoErr);
    EXPECT_EQ(table, &kFake);
    // Registering again does not take the implementation away.
    app->Suites().Register("AI Art Set Suite", 1009);
    EXPECT_TRUE(app->Suites().IsImplemented("AI Art Set Suite", 1009));
}

TEST_F(Registry, TheBasicSuiteRecordsEveryAcquisitionAndRelease) {
    const SPBasicSuite& basic = app->BasicSuite();
    const void* table = nullptr;
    app->Journal().Clear();
    EXPECT_EQ(basic.AcquireSuite(kAIUndoSuite, kAIUndoSuiteVersion, &table), kNoErr);
    EXPECT_EQ(basic.AcquireSuite("AI Undo Suite", 9, &table), kSPSuiteNotFoundError);
    EXPECT_EQ(basic.ReleaseSuite(kAIUndoSuite, kAIUndoSuiteVersion), kNoErr);
    EXPECT_EQ(basic.ReleaseSuite(kAIUndoSuite, kAIUndoSuiteVersion), kSPBadParameterError);
    EXPECT_EQ(
        app->Journal().Texts(),
        (std::vector<std::string>{"AcquireSuite(AI Undo Suite, 1012)", "AcquireSuite(AI Undo Suite, 9)",
                                  "ReleaseSuite(AI Undo Suite, 1012)", "ReleaseSuite(AI Undo Suite, 1012)"}));
    const auto acquisitions = app->Journal().Find("AcquireSuite");
    ASSERT_EQ(acquisitions.size(), 2u);
    EXPECT_EQ(acquisitions[0].result, kNoErr);
    EXPECT_EQ(acquisitions[1].result, kSPSuiteNotFoundError);
}

TEST_F(Registry, TheBasicSuiteRefusesNullArguments) {
    const SPBasicSuite& basic = app->BasicSuite();
    const void* table = &table;
    EXPECT_EQ(basic.AcquireSuite(nullptr, 1, &table), kSPBadParameterError);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(basic.AcquireSuite(kAIUndoSuite, kAIUndoSuiteVersion, nullptr), kSPBadParameterError);
    EXPECT_EQ(basic.ReleaseSuite(nullptr, 1), kSPBadParameterError);
    EXPECT_EQ(app->Suites().TotalAcquired(), 0);
}

}  // namespace

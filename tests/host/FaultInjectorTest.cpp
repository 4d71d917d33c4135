// Failure injection: suites refused when acquired, operations failing always or on one call.
#include "AIUndo.h"
#include "HostFixture.h"
#include "host/HostOperation.h"

namespace {

using hosttest::HostTest;

constexpr ASErr kBoom = FourCharCode("BOOM");

class Faults : public HostTest {
protected:
    void SetUp() override {
        undo = hosttest::Acquire<AIUndoSuite>(app->BasicSuite(), kAIUndoSuite, kAIUndoSuiteVersion);
        ASSERT_NE(undo, nullptr);
    }
    const AIUndoSuite* undo = nullptr;
};

TEST_F(Faults, AnOperationCanFailOnEveryCall) {
    app->Faults().FailOperation(kAIUndoSuite, "SetKind", kBoom);
    EXPECT_EQ(undo->SetKind(0), kBoom);
    EXPECT_EQ(undo->SetKind(2), kBoom);
    EXPECT_TRUE(app->UndoKinds().empty());
    EXPECT_EQ(app->Journal().Find("SetKind").at(1).result, kBoom);
}

class NthCall : public Faults, public testing::WithParamInterface<int> {};

TEST_P(NthCall, FailsThatCallOnly) {
    const int failing = GetParam();
    app->Faults().FailOperation(kAIUndoSuite, "SetKind", kBoom, failing);
    for (int call = 1; call <= 4; ++call) {
        EXPECT_EQ(undo->SetKind(0), call == failing ? kBoom : kNoErr) << "call " << call;
    }
    EXPECT_EQ(app->UndoKinds().size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Calls, NthCall, testing::Values(1, 2, 4));

TEST_F(Faults, AnOperationIsKnownByItsNameWhereverTheNameIsKept) {
    app->Faults().FailOperation(kAIUndoSuite, "SetKind", kBoom);
    std::string name = "GetKind";  // the same storage then holds the failing operation's name
    EXPECT_EQ(host::InjectedFault(kAIUndoSuite, name), kNoErr);
    name = "SetKind";
    EXPECT_EQ(host::InjectedFault(kAIUndoSuite, name), kBoom);
    EXPECT_EQ(app->Faults().Calls(kAIUndoSuite, "GetKind"), 1);
    EXPECT_EQ(app->Faults().Calls(kAIUndoSuite, "SetKind"), 1);
}

TEST_F(Faults, CallsAreCountedFromWhenTheFaultIsSet) {
    EXPECT_EQ(undo->SetKind(0), kNoErr);
    EXPECT_EQ(undo->SetKind(0), kNoErr);
    app->Faults().FailOperation(kAIUndoSuite, "SetKind", kBoom, 1);
    EXPECT_EQ(undo->SetKind(0), kBoom);
    EXPECT_EQ(undo->SetKind(0), kNoErr);
    EXPECT_EQ(app->Faults().Calls(kAIUndoSuite, "SetKind"), 4);
}

TEST_F(Faults, OtherOperationsAndClearedFaultsAreUnaffected) {
    app->Faults().FailOperation(kAIUndoSuite, "SetKindOfSomethingElse", kBoom);
    EXPECT_EQ(undo->SetKind(0), kNoErr);
    app->Faults().FailOperation(kAIUndoSuite, "SetKind", kBoom);
    app->Faults().Clear();
    EXPECT_EQ(undo->SetKind(0), kNoErr);
}

TEST_F(Faults, ASuiteCanBeRefused) {
    app->Faults().FailSuite(kAIUndoSuite, kBoom);
    const void* table = &table;
    EXPECT_EQ(app->BasicSuite().AcquireSuite(kAIUndoSuite, kAIUndoSuiteVersion, &table), kBoom);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(app->Suites().AcquireCount(kAIUndoSuite, kAIUndoSuiteVersion), 1);  // the fixture's
    EXPECT_EQ(app->Journal().Find("AcquireSuite").back().result, kBoom);
    app->Faults().FailSuite("AI Art Suite");
    EXPECT_EQ(app->BasicSuite().AcquireSuite("AI Art Suite", 1021, &table), kSPSuiteNotFoundError);
}

TEST_F(Faults, TheHostsOwnWorkIsNeitherFailedNorCounted) {
    app->Faults().FailOperation(kAIUndoSuite, "SetKind", kBoom);
    {
        host::FaultInjector::Suspension suspension(app->Faults());
        EXPECT_EQ(undo->SetKind(0), kNoErr);
    }
    EXPECT_EQ(app->Faults().Calls(kAIUndoSuite, "SetKind"), 0);
    EXPECT_EQ(undo->SetKind(0), kBoom);
}

TEST_F(Faults, AnyHostOperationChecksThroughInjectedFault) {
    EXPECT_EQ(host::InjectedFault("AI Future Suite", "DoThing"), kNoErr);
    app->Faults().FailOperation("AI Future Suite", "DoThing", kBoom, 2);
    EXPECT_EQ(host::InjectedFault("AI Future Suite", "DoThing"), kNoErr);
    EXPECT_EQ(host::InjectedFault("AI Future Suite", "DoThing"), kBoom);
    EXPECT_EQ(app->Faults().Calls("AI Future Suite", "DoThing"), 3);
    EXPECT_EQ(host::CurrentApplication(), app.get());
    app.reset();
    EXPECT_EQ(host::CurrentApplication(), nullptr);
    EXPECT_EQ(host::InjectedFault("AI Future Suite", "DoThing"), kCantHappenErr);
}

TEST(ErrorText, ShowsFourCharacterCodesAndNumbers) {
    EXPECT_EQ(host::ErrorText(kBoom), "'BOOM'");
    EXPECT_EQ(host::ErrorText(kSPSuiteNotFoundError), "'S!Fd'");
    EXPECT_EQ(host::ErrorText(361), "361");
    EXPECT_EQ(host::ErrorText(-1), "-1");
}

}  // namespace

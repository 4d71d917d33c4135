// The action manager's parameter blocks: each value is played with the type it was set with, the
// journal shows it as "<key>=<type>:<text>", and nothing is formatted for a journal that is off.
#include <algorithm>
#include <filesystem>
#include <functional>

#include "AIActionManager.h"
#include "DocumentFixture.h"
#include "ProgramRun.h"

namespace {

using hosttest::DocumentSuites;

constexpr const char* kNativeFormat = "Host Any Format Writer";

class ActionBlocks : public DocumentSuites {
public:
    void SetUp() override {
        DocumentSuites::SetUp();
        actions = hosttest::Acquire<AIActionManagerSuite>(app->BasicSuite(), kAIActionManagerSuite,
                                                          kAIActionManagerSuiteVersion);
        ASSERT_NE(actions, nullptr);
        ASSERT_EQ(actions->AINewActionParamValue(&block), kNoErr);
        ASSERT_EQ(actions->AIActionSetString(block, ActionKey("frmt"), kNativeFormat), kNoErr);
        ASSERT_EQ(actions->AIActionSetStringUS(block, ActionKey("name"), ai::UnicodeString(Target())),
                  kNoErr);
    }
    void TearDown() override {
        if (actions != nullptr && block != nullptr) {
            actions->AIDeleteActionParamValue(block);
        }
    }

    std::string Target() const { return (folder.Path() / "copy.ai").string(); }

    AIErr Play() { return actions->PlayActionEvent("host_saveACopyAs", kDialogOff, block); }

    const AIActionManagerSuite* actions = nullptr;
    AIActionParamValueRef block = nullptr;
    testsupport::ScratchFolder folder{"action_blocks"};
};

struct ValueCase {
    const char* name;
    std::function<AIErr(const AIActionManagerSuite&, AIActionParamValueRef)> set;
    const char* journalled;
};

const ValueCase kValueCases[] = {
    {"text", [](auto& a, auto b) { return a.AIActionSetString(b, ActionKey("txt "), "a b"); }, "txt =s:a b"},
    {"unicode",
     [](auto& a, auto b) { return a.AIActionSetStringUS(b, ActionKey("uni "), ai::UnicodeString("é")); },
     "uni =u:é"},
    {"true", [](auto& a, auto b) { return a.AIActionSetBoolean(b, ActionKey("flag"), true); }, "flag=b:1"},
    {"false", [](auto& a, auto b) { return a.AIActionSetBoolean(b, ActionKey("flag"), false); }, "flag=b:0"},
    {"integer", [](auto& a, auto b) { return a.AIActionSetInteger(b, ActionKey("numb"), -7); }, "numb=i:-7"},
    {"real", [](auto& a, auto b) { return a.AIActionSetReal(b, ActionKey("real"), 0.1); },
     "real=r:0.10000000000000001"},
    {"enumeration", [](auto& a, auto b) { return a.AIActionSetEnumerated(b, ActionKey("enum"), "mode", 3); },
     "enum=e:mode=3"},
    {"unnamed enumeration",
     [](auto& a, auto b) { return a.AIActionSetEnumerated(b, ActionKey("enum"), nullptr, 24); },
     "enum=e:=24"},
};

TEST_F(ActionBlocks, EveryValueIsJournalledWithItsTypeAndTheCopyIsWritten) {
    for (const ValueCase& c : kValueCases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.set(*actions, block), kNoErr);
        app->Journal().Clear();
        ASSERT_EQ(Play(), kNoErr);
        const std::vector<host::JournalEntry> plays = app->Journal().Find("PlayActionEvent");
        ASSERT_EQ(plays.size(), 1u);
        const std::vector<std::string>& arguments = plays[0].arguments;
        EXPECT_NE(std::find(arguments.begin(), arguments.end(), c.journalled), arguments.end());
        EXPECT_NE(std::find(arguments.begin(), arguments.end(), std::string("frmt=s:") + kNativeFormat),
                  arguments.end());
        EXPECT_NE(std::find(arguments.begin(), arguments.end(), "name=u:" + Target()), arguments.end());
        EXPECT_TRUE(std::filesystem::exists(Target()));
        std::filesystem::remove(Target());
    }
}

TEST_F(ActionBlocks, APlayIsNotJournalledWhileTheJournalIsOff) {
    ASSERT_EQ(actions->AIActionSetReal(block, ActionKey("real"), 2.5), kNoErr);
    app->Journal().Clear();
    app->Journal().SetEnabled(false);
    EXPECT_EQ(Play(), kNoErr);
    app->Journal().SetEnabled(true);
    EXPECT_EQ(app->Journal().Count("PlayActionEvent"), 0u);
    EXPECT_TRUE(std::filesystem::exists(Target()));
}

TEST_F(ActionBlocks, AnEmptyPathIsRefused) {
    ASSERT_EQ(actions->AIActionSetStringUS(block, ActionKey("name"), ai::UnicodeString("")), kNoErr);
    EXPECT_EQ(Play(), kBadParameterErr);
    EXPECT_EQ(app->Journal().Find("PlayActionEvent").back().result, kBadParameterErr);
}

}  // namespace

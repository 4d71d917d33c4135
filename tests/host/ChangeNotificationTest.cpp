// Notifications that the application raises when something changed: the selection (compared
// before and after each call into the plug-in, and across undo and redo) and the brightness of the
// user interface. They reach the plug-in after the call that caused them has returned.
#include <string>
#include <vector>

#include "HostFixture.h"

namespace {

constexpr const char* kSelection1 = "notify probe selection 1 AI Art Selection Changed Notifier";
constexpr const char* kSelection2 = "notify probe selection 2 AI Art Selection Changed Notifier";

class ChangeNotifications : public hosttest::ProbeTest {
protected:
    void SetUp() override {
        ProbeTest::SetUp();
        ASSERT_EQ(Script("batch", "newPath A;newPath B"), "0;0");
        Forget();
    }

    // The probe's log since the last call of Forget, without the "log" calls themselves.
    std::vector<std::string> Heard() {
        std::vector<std::string> lines = ProbeLog();
        return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(fSeen), lines.end());
    }
    void Forget() { fSeen = ProbeLog().size(); }

    std::size_t fSeen = 0;
};

using Lines = std::vector<std::string>;

struct SelectionCase {
    const char* label;
    const char* setUp;  // a batch before (its notifications are forgotten)
    const char* call;   // the batch whose effect is checked
    bool notified;
};

class SelectionChanges : public ChangeNotifications, public testing::WithParamInterface<SelectionCase> {};

TEST_P(SelectionChanges, ACallThatLeavesAnotherSelectionIsFollowedByOneNotification) {
    if (*GetParam().setUp != '\0') {
        Script("batch", GetParam().setUp);
        Forget();
    }
    Script("batch", GetParam().call);
    const Lines expected =
        GetParam().notified ? Lines{"script batch", kSelection1, kSelection2} : Lines{"script batch"};
    EXPECT_EQ(Heard(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectionChanges,
    testing::Values(
        SelectionCase{"select", "", "select A", true},
        SelectionCase{"several_changes_one_notification", "", "select A;select B;deselect A", true},
        SelectionCase{"deselect", "select A", "deselect A", true},
        SelectionCase{"dispose_selected_art", "select A", "dispose A", true},
        SelectionCase{"undo_a_selection_during_the_call", "select A", "undo", true},
        SelectionCase{"selected_art_put_back_from_a_copy", "select A;snapshot A", "restore A", true},
        SelectionCase{"select_and_deselect_again", "", "select A;deselect A", false},
        SelectionCase{"other_changes", "select A", "newPath C;docSet k=v;undoTag t", false},
        SelectionCase{"dispose_unselected_art", "select A", "dispose B", false},
        SelectionCase{"nothing", "", "echo x", false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ChangeNotifications, TheNotificationWaitsForTheOutermostCall) {
    Script("select", "A");
    const Lines heard = Heard();
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[0], "script select");
    // Delivered after the script message returned: not nested in it.
    EXPECT_FALSE(hosttest::Has(heard, "nested"));
}

TEST_F(ChangeNotifications, TheUsersUndoAndRedoNotifyAtOnce) {
    Script("select", "A");
    Forget();
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(Heard(), (Lines{kSelection1, kSelection2}));
    Forget();
    ASSERT_EQ(app->Redo(), kNoErr);
    EXPECT_EQ(Heard(), (Lines{kSelection1, kSelection2}));
    Forget();
    // Undoing what didn't touch the selection says nothing.
    Script("newPath", "C");
    Forget();
    ASSERT_EQ(app->Undo(), kNoErr);
    EXPECT_EQ(Heard(), Lines{});
}

TEST_F(ChangeNotifications, ReplacingTheDocumentDuringNoCallSaysNothing) {
    Script("select", "A");
    Forget();
    app->NewDocument();
    EXPECT_EQ(Heard(), Lines{});
}

TEST_F(ChangeNotifications, TheHostsOwnChangesOutsideCallsAreNotCalls) {
    host::Document& document = *app->CurrentDocument();
    ASSERT_EQ(document.setAttributes(document.documentOrder().back(), host::model::attribute::selected,
                                     host::model::attribute::selected),
              host::model::Status::ok);
    // The next call finds the selection as the host left it, and leaves it so.
    Script("echo", "x");
    EXPECT_EQ(Heard(), Lines{"script echo"});
}

// --- Brightness ---------------------------------------------------------------------------------

struct BrightnessCase {
    const char* label;
    host::UIBrightness brightness;
    double background;  // the red of the panel background
    double text;        // the red of the text
};

class Brightness : public ChangeNotifications, public testing::WithParamInterface<BrightnessCase> {};

TEST_P(Brightness, PickingABrightnessChangesTheThemeAndNotifies) {
    EXPECT_EQ(app->SetBrightness(GetParam().brightness), kNoErr);
    EXPECT_EQ(Heard(), Lines{"notify probe brightness AI UI Brightness Changed Notifier"});
    EXPECT_DOUBLE_EQ(app->ThemeColor(host::kThemeBackground)->red, GetParam().background);
    EXPECT_DOUBLE_EQ(app->ThemeColor(host::kThemeText)->red, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Brightness,
    testing::Values(BrightnessCase{"dark", host::UIBrightness::dark, 0.196, 0.839},
                    BrightnessCase{"medium_dark", host::UIBrightness::mediumDark, 0.325, 0.937},
                    BrightnessCase{"medium_light", host::UIBrightness::mediumLight, 0.722, 0.110},
                    BrightnessCase{"light", host::UIBrightness::light, 0.941, 0.157}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ChangeNotifications, AnUnknownBrightnessIsRefused) {
    const AIUIThemeColor before = *app->ThemeColor(host::kThemeBackground);
    EXPECT_EQ(app->SetBrightness(static_cast<host::UIBrightness>(17)), kBadParameterErr);
    EXPECT_EQ(app->ThemeColor(host::kThemeBackground)->red, before.red);
    EXPECT_EQ(Heard(), Lines{});
}

}  // namespace

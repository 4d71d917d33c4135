// The panel's way in and out: listeners per request, result events addressed to the sender, the
// start-up handshake, the theme, and the selection's tags.
#include <algorithm>

#include "CommandTableRows.h"
#include "PluginFixture.h"
#include "model/Document.h"

namespace {

using Panel = PluginTest;

// One listener per row of the command table that the panel takes.
const size_t kListenerRows = std::count_if(std::begin(kRows), std::end(kRows),
                                           [](const Row& row) { return (row.ways & kByPanel) != 0; });

TEST_F(Panel, ListenersAreAddedOnceAndRemovedAtShutdown) {
    EXPECT_EQ(app->Panel().ListenerCount(), kListenerRows);
    EXPECT_EQ(app->Panel().ListenerCount("com.torvi.event.translate"), 1u);
    // The library can report ready again; the listeners stay single.
    ASSERT_EQ(app->NotifyPanelLibraryReady(), kNoErr);
    EXPECT_EQ(app->Panel().ListenerCount(), kListenerRows);
    ASSERT_EQ(app->Shutdown(), kNoErr);
    EXPECT_EQ(app->Panel().ListenerCount(), 0u);
    EXPECT_EQ(app->Panel().Send("com.torvi.event.version", "{}"), 0u);
    EXPECT_TRUE(app->Panel().Dispatched().empty());
}

TEST_F(Panel, ACommandEventGetsOneResultAddressedToTheSender) {
    app->Panel().ClearDispatched();
    ASSERT_EQ(app->Panel().Send("com.torvi.event.version", R"({"uid":"p1"})", "com.example.sender"), 1u);
    const auto events = app->Panel().TakeDispatched();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, "com.torvi.event.result");
    EXPECT_EQ(events[0].scope, 1);
    EXPECT_EQ(events[0].appId, "HOST");
    EXPECT_EQ(events[0].extensionId, "com.example.sender");
    EXPECT_EQ(events[0].data, Script("version", R"({"uid":"p1"})"));
}

TEST_F(Panel, EmptyOrMissingDataRunsTheCommandOnAnEmptyObject) {
    for (std::optional<std::string> sender :
         {std::optional<std::string>("x"), std::optional<std::string>()}) {
        app->Panel().ClearDispatched();
        app->Panel().Send("com.torvi.event.comment", "", sender);
        const auto events = app->Panel().TakeDispatched();
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].data, R"({"eventType":"comment"})");
        EXPECT_EQ(events[0].extensionId, sender);
    }
}

TEST_F(Panel, InvalidRequestsAreAnsweredWithAnError) {
    app->Panel().ClearDispatched();
    app->Panel().Send("com.torvi.event.version", "{nope");
    const auto events = app->Panel().TakeDispatched();
    ASSERT_EQ(events.size(), 1u);
    const json reply = json::parse(events[0].data);
    EXPECT_EQ(reply["eventType"], "version");
    EXPECT_TRUE(reply.contains("error"));
}

TEST_F(Panel, PanelReadyAnswersWithTheHandshake) {
    app->Panel().ClearDispatched();
    app->Panel().Send("com.torvi.event.panelready", "ignored");
    const auto events = app->Panel().TakeDispatched();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, "com.torvi.event.startup_callback");
    EXPECT_EQ(events[0].extensionId, std::nullopt);
    EXPECT_EQ(events[0].data, "<payload><pluginInfo>PlimUtils Plugin v.0.0.1</pluginInfo></payload>");
}

TEST_F(Panel, TagNotificationSwitchesAnswerNothing) {
    app->Panel().ClearDispatched();
    const int pushes = app->ContextPushes();
    app->Panel().Send("com.torvi.event.tagNotifyOff", "{}");
    app->Panel().Send("com.torvi.event.tagNotifyOn", "{}");
    EXPECT_TRUE(app->Panel().Dispatched().empty());
    EXPECT_EQ(app->ContextPushes(), pushes);
}

TEST_F(Panel, SelectionChangesPushTagsOnlyWhileNotificationIsOn) {
    app->Panel().ClearDispatched();
    ASSERT_EQ(app->NotifySelectionChanged(), kNoErr);
    auto events = app->Panel().TakeDispatched();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, "com.torvi.event.result");
    EXPECT_EQ(events[0].extensionId, "HOST");
    EXPECT_EQ(json::parse(events[0].data)["eventType"], "getTags");

    app->Panel().Send("com.torvi.event.tagNotifyOff", "{}");
    ASSERT_EQ(app->NotifySelectionChanged(), kNoErr);
    EXPECT_TRUE(app->Panel().TakeDispatched().empty());
    Script("tagNotifyOn");
    ASSERT_EQ(app->NotifySelectionChanged(), kNoErr);
    EXPECT_EQ(app->Panel().TakeDispatched().size(), 1u);
}

TEST_F(Panel, BrightnessChangeSendsTheTheme) {
    app->SetThemeColor(0, {1.0, 0.5, 0.25, 0.0});
    app->SetThemeColor(1, {0.5, 0.999, 1.0, 0.0});
    app->SetThemeColor(2, {1.0, 0.0, 0.0, 1.0});
    app->SetThemeColor(3, {1.0, 0.1, 0.2, 0.3});
    app->SetThemeColor(4, {1.0, 0.4, 0.5, 0.6});
    app->FailThemeColor(2, FourCharCode("BOOM"));
    app->Panel().ClearDispatched();
    ASSERT_EQ(app->NotifyBrightnessChanged(), kNoErr);
    const auto events = app->Panel().TakeDispatched();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, "com.host.csxs.events.BrightnessChange");
    EXPECT_EQ(events[0].extensionId, std::nullopt);
    EXPECT_EQ(
        events[0].data,
        "<payload><theme>"
        "<backgroundColor><color><alpha>1</alpha><red>127</red><green>63</green><blue>0</blue></color>"
        "</backgroundColor>"
        "<textColor><color><alpha>0.5</alpha><red>254</red><green>255</green><blue>0</blue></color>"
        "</textColor>"
        "<focusColor><color><alpha>1</alpha><red>0</red><green>0</green><blue>0</blue></color></focusColor>"
        "<inputBackgroundColor><color><alpha>1</alpha><red>102</red><green>127</green><blue>153</blue>"
        "</color></inputBackgroundColor>"
        "<inputTextColor><color><alpha>1</alpha><red>25</red><green>51</green><blue>76</blue></color>"
        "</inputTextColor>"
        "</theme></payload>");
}

TEST_F(Panel, TheLastThemeQueryDecidesTheResult) {
    app->FailThemeColor(4, FourCharCode("BOOM"));
    EXPECT_EQ(app->NotifyBrightnessChanged(), FourCharCode("BOOM"));
}

TEST_F(Panel, SpecialRowsSetTheirContextAndUndoKind) {
    app->Panel().Send("com.torvi.event.startContext", "{}");
    EXPECT_EQ(app->LastUndoKind(), 0);
    app->Panel().Send("com.torvi.event.translate", "{}");
    EXPECT_EQ(app->LastUndoKind(), 2);
    // Reading commands leave the undo kind alone.
    const size_t kinds = app->UndoKinds().size();
    app->Panel().Send("com.torvi.event.getTags", "{}");
    app->Panel().Send("com.torvi.event.comment", "{}");
    EXPECT_EQ(app->UndoKinds().size(), kinds);
    app->Panel().Send("com.torvi.event.exportFile", "{}");
    EXPECT_EQ(app->LastUndoKind(), 0);
    // The context flag is shared with script messages. The export of a new document fails, which
    // leaves the context open; undoChanges closes it.
    Script("translate");
    EXPECT_EQ(app->LastUndoKind(), 2);
    app->Panel().Send("com.torvi.event.undoChanges", "{}");
    Script("translate");
    EXPECT_EQ(app->LastUndoKind(), 0);
    EXPECT_EQ(app->ContextDepth(), 0);
}

TEST_F(Panel, DuplicateAndZOrderRunTheSameCommand) {
    app->Panel().ClearDispatched();
    app->Panel().Send("com.torvi.event.duplicate", "{}");
    app->Panel().Send("com.torvi.event.z-order", "{}");
    const auto events = app->Panel().TakeDispatched();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(json::parse(events[0].data)["eventType"], "duplicate");
    EXPECT_EQ(json::parse(events[1].data)["eventType"], "move");
}

TEST_F(Panel, ApplyPaintAnswersInItsXmlForm) {
    app->Panel().ClearDispatched();
    app->Panel().Send("com.torvi.event.applyPaint", "<payload><tag>x</tag></payload>", "com.example.other");
    const auto events = app->Panel().TakeDispatched();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].extensionId, "com.torvi.PlimUtils");
    EXPECT_EQ(events[0].data.rfind("<payload><result>", 0), 0u);
}

}  // namespace

namespace {

// The symbol list, as the panel and the symbol-list notification receive it.
class SymbolList : public PluginTest {
protected:
    std::string ListFor(const std::vector<std::string>& names) {
        auto document = std::make_unique<host::model::Document>();
        for (const std::string& name : names) {
            EXPECT_TRUE(document->editSymbols().add(name).ok()) << name;
        }
        app->SetDocument(std::move(document));
        app->Panel().ClearDispatched();
        app->Panel().Send("com.torvi.event.getSymbolList", "", "com.example.asker");
        const auto events = app->Panel().TakeDispatched();
        EXPECT_EQ(events.size(), 1u);
        if (events.empty()) {
            return {};
        }
        EXPECT_EQ(events[0].extensionId, "com.torvi.PlimUtils");
        return events[0].data;
    }
};

TEST_F(SymbolList, NamesArePercentEncodedAndEscaped) {
    EXPECT_EQ(ListFor({}), "<payload><result></result></payload>");
    EXPECT_EQ(ListFor({"A", "B"}), "<payload><result>A,B</result></payload>");
    EXPECT_EQ(ListFor({"a b%c"}), "<payload><result>a%20b%25c</result></payload>");
    EXPECT_EQ(ListFor({"\xC3\xA9t\xC3\xA9"}), "<payload><result>%c3%a9t%c3%a9</result></payload>");
    // A character beyond the basic plane is the UTF-8 of the whole character, not of its halves.
    EXPECT_EQ(ListFor({"\xF0\x9F\x98\x80"}), "<payload><result>%f0%9f%98%80</result></payload>");
    // A name cannot close the payload's elements.
    EXPECT_EQ(ListFor({"a</result>"}), "<payload><result>a&lt;/result&gt;</result></payload>");
}

TEST_F(SymbolList, TheNotificationAnswersWithTheSameList) {
    auto document = std::make_unique<host::model::Document>();
    ASSERT_TRUE(document->editSymbols().add("Star").ok());
    ASSERT_TRUE(document->editSymbols().add("Moon").ok());
    app->SetDocument(std::move(document));
    app->Panel().ClearDispatched();
    ASSERT_EQ(app->NotifySymbolList(), kNoErr);
    const auto events = app->Panel().TakeDispatched();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].data, "<payload><result>Star,Moon</result></payload>");
}

}  // namespace

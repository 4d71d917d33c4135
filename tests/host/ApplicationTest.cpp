// The application itself: its options, one instance at a time, loading modules, the document.
#include <stdexcept>

#include "HostFixture.h"

namespace {

TEST(Application, DefaultsToTheExecutablesFolderAndThePluginBesideIt) {
    host::Application app;
    EXPECT_EQ(std::filesystem::canonical(app.ApplicationFolder()), std::filesystem::canonical(HOST_BIN_DIR));
    EXPECT_EQ(app.PluginPath(), app.ApplicationFolder() / "PlimUtils.so");
    EXPECT_TRUE(app.Panel().IsBound());
}

TEST(Application, OnlyOneExistsAtATime) {
    host::Application first(hosttest::ProbeOptions());
    EXPECT_EQ(host::Application::Current(), &first);
    EXPECT_THROW(host::Application second(hosttest::ProbeOptions()), std::logic_error);
    EXPECT_EQ(host::Application::Current(), &first);
}

TEST(Application, AMissingModuleIsReportedAndNothingIsSent) {
    host::ApplicationOptions options = hosttest::ProbeOptions();
    options.pluginPath = "/nonexistent/Plugin.so";
    host::Application app(options);
    EXPECT_FALSE(app.Load());
    EXPECT_NE(app.LoadError().find("/nonexistent/Plugin.so"), std::string::npos) << app.LoadError();
    EXPECT_FALSE(app.IsLoaded());
    EXPECT_EQ(app.Startup(), kCantHappenErr);
    EXPECT_EQ(app.SendMessage("SP Interface", "About"), kCantHappenErr);
    EXPECT_EQ(app.ScriptMessage("echo", "x").error, kCantHappenErr);
    EXPECT_EQ(app.PluginRef(), nullptr);
    EXPECT_EQ(app.Journal().Count("PluginMain"), 0u);
}

TEST(Application, ALibraryWithoutPluginMainIsNotAPlugin) {
    host::ApplicationOptions options = hosttest::ProbeOptions();
    options.pluginPath = std::string(HOST_BIN_DIR) + "/Frameworks/PlugPlugOwl.framework/PlugPlugOwl";
    host::Application app(options);
    EXPECT_FALSE(app.Load());
    EXPECT_NE(app.LoadError().find("PluginMain"), std::string::npos) << app.LoadError();
}

TEST(Application, AFileThatIsNoLibraryCannotBeLoaded) {
    host::ApplicationOptions options = hosttest::ProbeOptions();
    options.pluginPath = __FILE__;
    host::Application app(options);
    EXPECT_FALSE(app.Load());
    EXPECT_NE(app.LoadError().find("cannot load"), std::string::npos) << app.LoadError();
}

TEST(Application, LoadsTheModuleOnceUnderItsCanonicalPath) {
    host::ApplicationOptions options = hosttest::ProbeOptions();
    options.pluginPath =
        std::string(HOST_BIN_DIR) + "/./" + std::filesystem::path(HOST_PROBE_PLUGIN).filename().string();
    host::Application app(options);
    ASSERT_TRUE(app.Load());
    const SPPluginRef self = app.PluginRef();
    EXPECT_TRUE(app.Load());
    EXPECT_EQ(app.PluginRef(), self);
    const auto loads = app.Journal().Find("LoadPlugin");
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].arguments[0], std::filesystem::canonical(HOST_PROBE_PLUGIN).string());
}

TEST(Application, AStartedPluginIsShutDownWithTheApplication) {
    // Were it not shut down, the probe's state would leak with its module (LeakSanitizer reports it).
    auto app = std::make_unique<host::Application>(hosttest::ProbeOptions());
    ASSERT_EQ(app->Startup(), kNoErr);
    app.reset();
    host::Application next(hosttest::ProbeOptions());
    EXPECT_EQ(next.Suites().TotalAcquired(), 0);
    ASSERT_EQ(next.Startup(), kNoErr);
    EXPECT_EQ(next.ScriptMessage("log", "").output, "SP Interface/Startup");
}

TEST(Document, TheApplicationStartsWithANewDocument) {
    host::Application app(hosttest::ProbeOptions());
    host::Document* document = app.CurrentDocument();
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->layers().count(), 1u);
    EXPECT_EQ(document->layers().properties(document->layers().first())->title, "Layer 1");
    EXPECT_EQ(document->documentOrder().size(), 1u);  // the layer group alone
    EXPECT_TRUE(document->documentDictionary().empty());
    const host::model::LayerId first = document->layers().first();
    ASSERT_TRUE(document->newArt(host::model::ArtType::path, host::model::PaintOrder::aboveAll, {}).ok());
    app.NewDocument();
    host::Document* fresh = app.CurrentDocument();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->documentOrder().size(), 1u);
    // Handles are never reused, not even by a new document.
    EXPECT_EQ(fresh->layers().find(first), nullptr);
}

TEST(Document, ADocumentCanBeReplacedOrClosed) {
    host::Application app(hosttest::ProbeOptions());
    auto document = std::make_unique<host::Document>();
    ASSERT_TRUE(document->editSymbols().add("named").ok());
    app.SetDocument(std::move(document));
    ASSERT_EQ(app.CurrentDocument()->symbols().size(), 1u);
    EXPECT_EQ(app.CurrentDocument()->symbols()[0].name, "named");
    app.CloseDocument();
    EXPECT_EQ(app.CurrentDocument(), nullptr);
}

}  // namespace

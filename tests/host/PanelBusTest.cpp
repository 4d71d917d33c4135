// The panel library and the host's panel bus: listeners by (type, function, context), events
// delivered to them, events dispatched to the panel copied as they were sent.
#include <dlfcn.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "HostFixture.h"
#include "PlugPlugBinding.h"

namespace {

using csxs::event::Event;
using hosttest::Has;

std::string LibraryPath() {
    return std::string(HOST_BIN_DIR) + "/Frameworks/PlugPlugOwl.framework/PlugPlugOwl";
}

// The library's functions, from the instance the host opened (the same file is the same instance).
class PanelLibrary : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app->Panel().IsBound());
        handle = dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(handle, nullptr);
        add = reinterpret_cast<PlugPlugAddEventListenerFn>(dlsym(handle, "PlugPlugAddEventListener"));
        remove =
            reinterpret_cast<PlugPlugRemoveEventListenerFn>(dlsym(handle, "PlugPlugRemoveEventListener"));
        dispatch = reinterpret_cast<PlugPlugDispatchEventFn>(dlsym(handle, "PlugPlugDispatchEvent"));
        loadExtension = reinterpret_cast<PlugPlugLoadExtensionFn>(dlsym(handle, "PlugPlugLoadExtension"));
        unloadExtension =
            reinterpret_cast<PlugPlugUnloadExtensionFn>(dlsym(handle, "PlugPlugUnloadExtension"));
        ASSERT_TRUE(add && remove && dispatch && loadExtension && unloadExtension);
    }
    void TearDown() override {
        app.reset();
        if (handle != nullptr) {
            dlclose(handle);
        }
    }

    std::unique_ptr<host::Application> app = std::make_unique<host::Application>(hosttest::ProbeOptions());
    void* handle = nullptr;
    PlugPlugAddEventListenerFn add = nullptr;
    PlugPlugRemoveEventListenerFn remove = nullptr;
    PlugPlugDispatchEventFn dispatch = nullptr;
    PlugPlugLoadExtensionFn loadExtension = nullptr;
    PlugPlugUnloadExtensionFn unloadExtension = nullptr;
};

// What a listener heard.
struct Heard {
    std::vector<host::PanelEvent> events;
};

void Record(const Event* event, void* context) {
    static_cast<Heard*>(context)->events.push_back(
        {event->type, event->scope, event->appId,
         event->extensionId != nullptr ? std::optional<std::string>(event->extensionId) : std::nullopt,
         event->data});
}

void RecordAgain(const Event* event, void* context) {
    Record(event, context);
}

TEST_F(PanelLibrary, TheHostBindsTheLibraryInTheApplicationFolder) {
    EXPECT_EQ(app->Panel().LibraryPath(), std::filesystem::canonical(LibraryPath()));
    EXPECT_EQ(app->Panel().ListenerCount(), 0u);
}

TEST_F(PanelLibrary, PanelEventsReachTheListenersOfTheirType) {
    Heard heard;
    ASSERT_EQ(add("com.torvi.event.a", Record, &heard), 0);
    EXPECT_EQ(app->Panel().Send("com.torvi.event.a", "{\"x\":1}", "com.example.sender"), 1u);
    EXPECT_EQ(app->Panel().Send("com.torvi.event.b", "{}"), 0u);
    EXPECT_EQ(app->Panel().Send("com.torvi.event.a", "", std::nullopt), 1u);
    ASSERT_EQ(heard.events.size(), 2u);
    EXPECT_EQ(heard.events[0],
              (host::PanelEvent{"com.torvi.event.a", 1, "HOST", "com.example.sender", "{\"x\":1}"}));
    EXPECT_EQ(heard.events[1].extensionId, std::nullopt);
    EXPECT_EQ(app->Panel().Send("com.torvi.event.a", "{}"), 1u);
    ASSERT_EQ(heard.events.size(), 3u);
    EXPECT_EQ(heard.events[2].extensionId, host::kPanelExtensionId);
    EXPECT_EQ(app->Journal().Count("PanelEvent"), 4u);
    EXPECT_TRUE(app->Journal().Contains("AddEventListener(com.torvi.event.a)"));
}

// The library's event holds C strings: an event whose type or data holds a NUL would reach the
// listeners of the type before the NUL, or with data cut short, so it is not delivered.
TEST_F(PanelLibrary, AnEventHoldingANulIsNotDelivered) {
    Heard heard;
    ASSERT_EQ(add("com.torvi.event.a", Record, &heard), 0);
    using namespace std::string_literals;
    EXPECT_EQ(app->Panel().Send("com.torvi.event.a\0b"s, "{}"), 0u);
    EXPECT_EQ(app->Panel().Send("com.torvi.event.a", "{}\0{\"x\":1}"s), 0u);
    EXPECT_TRUE(heard.events.empty());
    EXPECT_EQ(app->Journal().Count("PanelEventRefused"), 2u);
    EXPECT_EQ(app->Panel().Send("com.torvi.event.a", "{}"), 1u);
}

TEST_F(PanelLibrary, ListenersAreIdentifiedByTypeFunctionAndContext) {
    Heard first;
    Heard second;
    ASSERT_EQ(add("t", Record, &first), 0);
    ASSERT_EQ(add("t", Record, &first), 0);  // already there: still one
    ASSERT_EQ(add("t", Record, &second), 0);
    ASSERT_EQ(add("t", RecordAgain, &first), 0);
    EXPECT_EQ(app->Panel().ListenerCount("t"), 3u);
    EXPECT_EQ(app->Panel().Send("t", "d"), 3u);
    EXPECT_EQ(first.events.size(), 2u);
    EXPECT_EQ(second.events.size(), 1u);

    EXPECT_EQ(remove("t", Record, &first), 0);
    EXPECT_EQ(remove("t", Record, &first), kPlugPlugListenerNotFound);
    EXPECT_EQ(remove("u", Record, &second), kPlugPlugListenerNotFound);
    EXPECT_EQ(remove("t", RecordAgain, &second), kPlugPlugListenerNotFound);
    EXPECT_EQ(app->Panel().ListenerCount("t"), 2u);
    EXPECT_EQ(app->Journal().Find("RemoveEventListener").back().result, kPlugPlugListenerNotFound);
}

TEST_F(PanelLibrary, BadArgumentsAreRefused) {
    Heard heard;
    EXPECT_EQ(add(nullptr, Record, &heard), kPlugPlugBadArgument);
    EXPECT_EQ(add("t", nullptr, &heard), kPlugPlugBadArgument);
    EXPECT_EQ(remove(nullptr, Record, &heard), kPlugPlugBadArgument);
    EXPECT_EQ(dispatch(nullptr), kPlugPlugBadArgument);
    const Event untyped{nullptr, 1, "HOST", nullptr, "d"};
    EXPECT_EQ(dispatch(&untyped), kPlugPlugBadArgument);
    EXPECT_EQ(loadExtension(nullptr), kPlugPlugBadArgument);
    EXPECT_EQ(app->Panel().ListenerCount(), 0u);
}

void RemoveItself(const Event* event, void* context);

struct SelfRemoving {
    PlugPlugRemoveEventListenerFn remove;
    int calls = 0;
};

void RemoveItself(const Event* event, void* context) {
    auto* self = static_cast<SelfRemoving*>(context);
    ++self->calls;
    self->remove(event->type, RemoveItself, self);
}

TEST_F(PanelLibrary, AListenerMayRemoveItselfWhileCalled) {
    SelfRemoving listener{remove};
    ASSERT_EQ(add("t", RemoveItself, &listener), 0);
    EXPECT_EQ(app->Panel().Send("t", ""), 1u);
    EXPECT_EQ(app->Panel().Send("t", ""), 0u);
    EXPECT_EQ(listener.calls, 1);
}

void Throw(const Event*, void*) {
    throw std::runtime_error("listener failed");
}

TEST_F(PanelLibrary, AnExceptionFromAListenerStopsAtTheHost) {
    ASSERT_EQ(add("t", Throw, nullptr), 0);
    EXPECT_EQ(app->Panel().Send("t", "d"), 0u);
    const auto caught = app->Journal().Find("ListenerException");
    ASSERT_EQ(caught.size(), 1u);
    EXPECT_EQ(caught[0].arguments, (std::vector<std::string>{"t", "listener failed"}));
}

TEST_F(PanelLibrary, DispatchedEventsAreCopiedWhenSent) {
    char data[] = "original";
    const Event event{"com.torvi.event.result", 1, "HOST", nullptr, data};
    ASSERT_EQ(dispatch(&event), 0);
    std::strcpy(data, "changed!");
    const Event addressed{"com.torvi.event.result", 0, "APP", "com.example", "x"};
    ASSERT_EQ(dispatch(&addressed), 0);
    ASSERT_EQ(app->Panel().Dispatched().size(), 2u);
    EXPECT_EQ(app->Panel().Dispatched()[0],
              (host::PanelEvent{"com.torvi.event.result", 1, "HOST", std::nullopt, "original"}));
    EXPECT_EQ(app->Panel().Dispatched()[1],
              (host::PanelEvent{"com.torvi.event.result", 0, "APP", "com.example", "x"}));
    EXPECT_EQ(app->Panel().TakeDispatched().size(), 2u);
    EXPECT_TRUE(app->Panel().Dispatched().empty());
    EXPECT_EQ(app->Journal().Count("DispatchEvent"), 2u);
}

TEST_F(PanelLibrary, NullTextsInADispatchedEventAreReadAsEmpty) {
    const Event sparse{"t", 1, nullptr, nullptr, nullptr};
    ASSERT_EQ(dispatch(&sparse), 0);
    EXPECT_EQ(app->Panel().Dispatched().at(0), (host::PanelEvent{"t", 1, "", std::nullopt, ""}));
}

TEST_F(PanelLibrary, ExtensionsLoadedThroughTheLibraryAreKnown) {
    EXPECT_EQ(loadExtension("com.torvi.panel"), 0);
    EXPECT_EQ(loadExtension("com.other"), 0);
    EXPECT_EQ(unloadExtension("com.other"), 0);
    EXPECT_EQ(app->Panel().LoadedExtensions(), (std::vector<std::string>{"com.torvi.panel"}));
}

TEST_F(PanelLibrary, AnUnboundLibraryDropsItsListenersAndRefusesToDispatch) {
    Heard heard;
    ASSERT_EQ(add("t", Record, &heard), 0);
    app->Panel().Unbind();
    EXPECT_FALSE(app->Panel().IsBound());
    const Event event{"t", 1, "HOST", nullptr, "d"};
    EXPECT_EQ(dispatch(&event), kPlugPlugNotBound);
    EXPECT_EQ(app->Panel().Send("t", "d"), 0u);
    EXPECT_TRUE(heard.events.empty());
    ASSERT_TRUE(app->Panel().Bind(LibraryPath()));
    EXPECT_EQ(app->Panel().ListenerCount(), 0u);
}

TEST_F(PanelLibrary, ANewApplicationStartsWithoutTheListenersOfTheLastOne) {
    Heard heard;
    ASSERT_EQ(add("t", Record, &heard), 0);
    app.reset();
    app = std::make_unique<host::Application>(hosttest::ProbeOptions());
    EXPECT_EQ(app->Panel().ListenerCount(), 0u);
    EXPECT_EQ(app->Panel().Send("t", "d"), 0u);
}

TEST(PanelBus, AMissingLibraryLeavesTheBusUnbound) {
    host::ApplicationOptions options = hosttest::ProbeOptions();
    options.applicationFolder = std::filesystem::temp_directory_path();
    host::Application app(options);
    EXPECT_FALSE(app.Panel().IsBound());
    EXPECT_EQ(app.Panel().Send("t", "d"), 0u);
    EXPECT_EQ(app.Panel().ListenerCount(), 0u);
    EXPECT_EQ(app.Journal().Count("PanelLibraryMissing"), 1u);
    std::string reason;
    EXPECT_FALSE(app.Panel().Bind(std::string(HOST_PROBE_PLUGIN), &reason));
    EXPECT_NE(reason.find("PlugPlugBindHost"), std::string::npos) << reason;
}

// --- With the probe plug-in ----------------------------------------------------------------------

class PanelWithProbe : public hosttest::ProbeTest {
protected:
    void SetUp() override {
        ProbeTest::SetUp();
        ASSERT_EQ(Script("panel"), "0");
    }
};

TEST_F(PanelWithProbe, ThePluginsListenerAnswersTheSender) {
    ASSERT_EQ(Script("listen", "com.torvi.event.ping"), "0");
    EXPECT_EQ(app->Panel().Send("com.torvi.event.ping", "hello", "com.example.sender"), 1u);
    const auto events = app->Panel().TakeDispatched();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0],
              (host::PanelEvent{"com.torvi.event.result", 1, "HOST", "com.example.sender", "reply:hello"}));
    EXPECT_TRUE(Has(ProbeLog(), "event com.torvi.event.ping hello com.example.sender"));
    EXPECT_EQ(Script("unlisten", "com.torvi.event.ping"), "0");
    EXPECT_EQ(Script("unlisten", "com.torvi.event.ping"), std::to_string(kPlugPlugListenerNotFound));
}

TEST_F(PanelWithProbe, PanelEventsSentDuringACallWaitForItToReturn) {
    ASSERT_EQ(Script("listen", "com.torvi.event.ping"), "0");
    size_t calledAtOnce = 99;
    app->Panel().OnDispatch([&](const host::PanelEvent& event) {
        if (event.type == "com.torvi.event.first") {
            calledAtOnce = app->Panel().Send("com.torvi.event.ping", "later");
        }
    });
    EXPECT_EQ(Script("dispatch", "com.torvi.event.first"), "0");
    EXPECT_EQ(calledAtOnce, 0u);
    const std::vector<std::string> log = ProbeLog();
    EXPECT_FALSE(Has(log, "nested"));
    const auto dispatch = std::find(log.begin(), log.end(), "script dispatch");
    const auto event = std::find(log.begin(), log.end(), "event com.torvi.event.ping later com.torvi.panel");
    ASSERT_NE(event, log.end());
    EXPECT_LT(dispatch, event);
}

}  // namespace

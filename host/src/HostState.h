// HostState: everything the application keeps, in one place, so that the suites (plain C
// functions) reach it through CurrentState().
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "AIUITheme.h"
#include "PluginModule.h"
#include "SPMessageData.h"
#include "host/Application.h"
#include "host/HandleTable.h"
#include "host/HostOperation.h"

namespace host {

struct PluginRecord {
    std::string name;         // given through the plug-ins suite
    void* globals = nullptr;  // the plug-in's own pointer, kept between messages
    bool started = false;
};

struct NotifierRecord {
    SPPluginRef owner = nullptr;
    std::string name;
    std::string type;
    bool active = true;
};

struct AccessRecord {
    SPPluginRef plugin = nullptr;
};

struct ThemeSlot {
    AIUIThemeColor color{};
    ASErr failure = kNoErr;
};

struct HostState {
    HostState(Application& application, ApplicationOptions options);

    ApplicationOptions options;  // folders resolved
    SuiteRegistry suites;
    FaultInjector faults;
    CallJournal journal;
    PanelBus panel;

    // The plug-in.
    PluginModule module;
    std::string loadError;
    SPPluginRef plugin = nullptr;
    HandleTable<PluginRecord> plugins;
    HandleTable<NotifierRecord> notifiers;
    HandleTable<AccessRecord> accesses;

    // Calls into the plug-in and the work waiting for the outermost one to return.
    int callDepth = 0;
    bool draining = false;
    std::deque<std::function<void()>> pending;

    // Suite state.
    std::vector<std::uintptr_t> contexts;  // the application-context stack, innermost last
    int contextPushes = 0;
    int contextPops = 0;
    std::vector<ai::int32> undoKinds;
    std::vector<AIErr> errorAlerts;
    HandleTable<std::u16string> strings;
    HandleTable<std::string> paths;
    std::array<ThemeSlot, kThemeColorCount> theme;
    std::map<std::string, ai::int32, std::less<>> extensionStates;

    std::unique_ptr<Document> document;
};

// The state of the current application; null when there is none.
HostState* CurrentState();

// The start of every suite operation: the state, and the error to return at once (kCantHappenErr
// without an application, or an injected fault).
struct OperationStart {
    HostState* state;
    ASErr error;
};
OperationStart StartOperation(std::string_view suite, std::string_view operation);

}  // namespace host

// The probe: a tiny plug-in for the host's own tests. It records every message it receives and
// answers script messages by making one host call each, so that the tests can watch the host from
// the plug-in's side: message records, globals, suites, notifiers, contexts, folders, the panel
// library and the timing of notifications.
//
// Script messages (selector: what it does with the input string; the output string says the result):
//   echo      the input, unchanged             log        every recorded line, joined by '\n'
//   lower     the input lower-cased            length     the input's length in UTF-16 units
//   acquire   "NAME|VERSION": acquire a suite  release    "NAME|VERSION": release it
//   push      push an application context      pop        pop the last one pushed
//   popBogus  pop a made-up context handle     folder     "TYPE": the folder's path, or "error N"
//   exists    whether the path exists          panel      load the panel library as plug-ins do
//   listen    add a listener for the type      unlisten   remove it
//   dispatch  dispatch an event of that type   fail       return the input as PluginMain's error
//   throw     let an exception out of PluginMain
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "AIContext.h"
#include "AIFolders.h"
#include "AINotifier.h"
#include "AIScriptMessage.h"
#include "CFBundle.h"
#include "IAIFilePath.hpp"
#include "PlugPlug.h"
#include "SPAccess.h"
#include "SPPlugins.h"

extern "C" {
AIUnicodeStringSuite* sAIUnicodeString = nullptr;
AIFilePathSuite* sAIFilePath = nullptr;
}

namespace {

SPBasicSuite* sBasic = nullptr;
AINotifierSuite* sNotifier = nullptr;
AIAppContextSuite* sContext = nullptr;
SPPluginsSuite* sPlugins = nullptr;
SPAccessSuite* sAccess = nullptr;
AIFoldersSuite* sFolders = nullptr;

struct SuiteRow {
    const char* name;
    ASInt32 version;
    const void** pointer;
};

template <typename Suite>
const void** Address(Suite*& pointer) {
    return const_cast<const void**>(reinterpret_cast<void**>(&pointer));
}

const std::vector<SuiteRow>& Suites() {
    static const std::vector<SuiteRow> rows{
        {"AI Unicode String Suite", 1009, Address(sAIUnicodeString)},
        {"AI File Path Suite", 1008, Address(sAIFilePath)},
        {"AI Notifier Suite", 1004, Address(sNotifier)},
        {"AI Context Suite", 1010, Address(sContext)},
        {"SP Plug-ins Suite", 4, Address(sPlugins)},
        {"SP Access Suite", 3, Address(sAccess)},
        {"AI Folders Suite", 1005, Address(sFolders)},
    };
    return rows;
}

struct PlugPlug {
    CFBundleRef bundle = nullptr;
    PlugPlugAddEventListenerFn add = nullptr;
    PlugPlugRemoveEventListenerFn remove = nullptr;
    PlugPlugDispatchEventFn dispatch = nullptr;
};

struct Probe {
    SPPluginRef self = nullptr;
    SPBasicSuite* basic = nullptr;
    SPAccessRef access = nullptr;
    std::vector<std::string> log;
    std::map<AINotifierHandle, std::string> notifiers;
    std::vector<AIAppContextHandle> contexts;
    PlugPlug plugplug;
    int depth = 0;
};

// Counts calls into the probe, so that a call arriving inside another is noticed.
class Depth {
public:
    explicit Depth(Probe& probe) : fProbe(probe) {
        if (++fProbe.depth > 1) {
            fProbe.log.push_back("nested");
        }
    }
    ~Depth() { --fProbe.depth; }

private:
    Probe& fProbe;
};

void ReleaseSuites() {
    for (const SuiteRow& row : Suites()) {
        if (*row.pointer != nullptr) {
            sBasic->ReleaseSuite(row.name, row.version);
            *row.pointer = nullptr;
        }
    }
}

ASErr AcquireSuites() {
    for (const SuiteRow& row : Suites()) {
        if (const ASErr error = sBasic->AcquireSuite(row.name, row.version, row.pointer)) {
            ReleaseSuites();
            return error;
        }
    }
    return kNoErr;
}

void Listener(const csxs::event::Event* event, void* context) {
    auto& probe = *static_cast<Probe*>(context);
    Depth depth(probe);
    const std::string data = event->data != nullptr ? event->data : "(null)";
    probe.log.push_back(std::string("event ") + event->type + " " + data + " " +
                        (event->extensionId != nullptr ? event->extensionId : "(null)"));
    const std::string reply = "reply:" + data;
    const csxs::event::Event answer{"com.torvi.event.result", csxs::event::kEventScope_Application, "ILST",
                                    event->extensionId, reply.c_str()};
    if (probe.plugplug.dispatch != nullptr) {
        probe.plugplug.dispatch(&answer);
    }
}

// Loads the panel library the way plug-ins find it: the application folder, then the framework.
std::string LoadPanelLibrary(Probe& probe) {
    ai::FilePath path;
    if (const AIErr error = sFolders->FindFolder(kAIApplicationFolderType, false, path)) {
        return "error " + std::to_string(error);
    }
    path.AddComponent(ai::UnicodeString("/Frameworks/PlugPlugOwl.framework"));
    if (!path.Exists(false)) {
        return "missing " + path.GetFullPathUTF8();
    }
    CFURLRef url = path.GetAsCFURL();
    probe.plugplug.bundle = CFBundleCreate(kCFAllocatorDefault, url);
    CFRelease(url);
    if (probe.plugplug.bundle == nullptr) {
        return "cannot open";
    }
    probe.plugplug.add = reinterpret_cast<PlugPlugAddEventListenerFn>(
        CFBundleGetFunctionPointerForName(probe.plugplug.bundle, CFSTR("PlugPlugAddEventListener")));
    probe.plugplug.remove = reinterpret_cast<PlugPlugRemoveEventListenerFn>(
        CFBundleGetFunctionPointerForName(probe.plugplug.bundle, CFSTR("PlugPlugRemoveEventListener")));
    probe.plugplug.dispatch = reinterpret_cast<PlugPlugDispatchEventFn>(
        CFBundleGetFunctionPointerForName(probe.plugplug.bundle, CFSTR("PlugPlugDispatchEvent")));
    return "0";
}

// "NAME|VERSION"
std::pair<std::string, ASInt32> SuiteOf(const std::string& input) {
    const std::size_t bar = input.find('|');
    return {input.substr(0, bar), bar == std::string::npos ? 0 : std::atoi(input.c_str() + bar + 1)};
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

std::string RunScript(Probe& probe, const std::string& command, const std::string& input) {
    if (command == "echo") {
        return input;
    }
    if (command == "log") {
        return Join(probe.log);
    }
    if (command == "lower") {
        return ai::UnicodeString::FromUTF8(input).toLower().as_UTF8();
    }
    if (command == "length") {
        return std::to_string(ai::UnicodeString::FromUTF8(input).length());
    }
    if (command == "acquire" || command == "release") {
        const auto [name, version] = SuiteOf(input);
        const void* suite = nullptr;
        const ASErr error = command == "acquire" ? sBasic->AcquireSuite(name.c_str(), version, &suite)
                                                 : sBasic->ReleaseSuite(name.c_str(), version);
        return std::to_string(error);
    }
    if (command == "push") {
        AIAppContextHandle context = nullptr;
        const AIErr error = sContext->PushAppContext(probe.self, &context);
        if (error == kNoErr) {
            probe.contexts.push_back(context);
        }
        return std::to_string(error);
    }
    if (command == "pop") {
        AIAppContextHandle context = probe.contexts.empty() ? nullptr : probe.contexts.back();
        const AIErr error = sContext->PopAppContext(context);
        if (error == kNoErr) {
            probe.contexts.pop_back();
        }
        return std::to_string(error);
    }
    if (command == "popBogus") {
        return std::to_string(sContext->PopAppContext(reinterpret_cast<AIAppContextHandle>(0x1234)));
    }
    if (command == "folder") {
        ai::FilePath path;
        const AIErr error = sFolders->FindFolder(std::atoi(input.c_str()), false, path);
        return error == kNoErr ? path.GetFullPathUTF8() : "error " + std::to_string(error);
    }
    if (command == "exists") {
        return ai::FilePath(input).Exists(false) ? "1" : "0";
    }
    if (command == "panel") {
        return LoadPanelLibrary(probe);
    }
    if (command == "listen" || command == "unlisten") {
        auto function = command == "listen" ? probe.plugplug.add : probe.plugplug.remove;
        return function != nullptr ? std::to_string(function(input.c_str(), Listener, &probe)) : "no library";
    }
    if (command == "dispatch") {
        const csxs::event::Event event{input.c_str(), csxs::event::kEventScope_Application, "ILST", nullptr,
                                       "from probe"};
        return probe.plugplug.dispatch != nullptr ? std::to_string(probe.plugplug.dispatch(&event))
                                                  : "no library";
    }
    return "unknown " + command;
}

ASErr Startup(SPMessageData* message) {
    if (message->globals != nullptr) {
        return FourCharCode("DUP?");
    }
    if (const ASErr error = AcquireSuites()) {
        return error;
    }
    auto* probe = new Probe;
    probe->self = message->self;
    probe->basic = message->basic;
    message->globals = probe;
    probe->log.push_back("SP Interface/Startup");
    sPlugins->SetPluginName(message->self, "probe");
    const std::pair<const char*, const char*> notifiers[] = {
        {"probe started", kAIApplicationStartedNotifier},
        {"probe selection 1", kAIArtSelectionChangedNotifier},
        {"probe brightness", kAIUIBrightnessChangedNotifier},
        {"probe selection 2", kAIArtSelectionChangedNotifier},
    };
    for (const auto& [name, type] : notifiers) {
        AINotifierHandle handle = nullptr;
        if (sNotifier->AddNotifier(message->self, name, type, &handle) == kNoErr) {
            probe->notifiers[handle] = name;
        }
    }
    sAccess->AcquirePlugin(message->self, &probe->access);
    return kNoErr;
}

ASErr Shutdown(Probe* probe, SPMessageData* message) {
    if (probe->access != nullptr) {
        sAccess->ReleasePlugin(probe->access);
    }
    if (probe->plugplug.bundle != nullptr) {
        CFRelease(probe->plugplug.bundle);
    }
    ReleaseSuites();
    delete probe;
    message->globals = nullptr;
    return kNoErr;
}

bool Is(const char* text, const char* expected) {
    return text != nullptr && std::string(text) == expected;
}

ASErr Dispatch(const char* caller, const char* selector, SPMessageData* message) {
    sBasic = message->basic;
    if (Is(caller, kSPInterfaceCaller) && Is(selector, kSPInterfaceStartupSelector)) {
        return Startup(message);
    }
    auto* probe = static_cast<Probe*>(message->globals);
    if (probe == nullptr) {
        return kNoErr;
    }
    if (message->SPCheck != kSPValidSPMessageData || message->self != probe->self ||
        message->basic != probe->basic) {
        probe->log.push_back("bad record");
    }
    if (Is(caller, kSPInterfaceCaller) && Is(selector, kSPInterfaceShutdownSelector)) {
        return Shutdown(probe, message);
    }
    Depth depth(*probe);
    if (Is(caller, kCallerAINotify)) {
        const auto* notification = reinterpret_cast<AINotifierMessage*>(message);
        probe->log.push_back(std::string("notify ") + probe->notifiers[notification->notifier] + " " +
                             notification->type);
        return kNoErr;
    }
    if (!Is(caller, kCallerAIScriptMessage)) {
        probe->log.push_back(std::string(caller) + "/" + selector);
        return kNoErr;
    }
    auto* script = reinterpret_cast<AIScriptMessage*>(message);
    const std::string command = selector;
    const std::string input = script->inParam.as_UTF8();
    if (command == "throw") {
        throw std::runtime_error("the probe throws");
    }
    if (command == "fail") {
        return std::atoi(input.c_str());
    }
    if (command != "log") {
        probe->log.push_back("script " + command);
    }
    script->outParam = ai::UnicodeString::FromUTF8(RunScript(*probe, command, input));
    return kNoErr;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) SPErr PluginMain(const char* caller, const char* selector,
                                                                   void* message) {
    return Dispatch(caller, selector, static_cast<SPMessageData*>(message));
}

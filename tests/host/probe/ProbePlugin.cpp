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
//   size      the file's size in bytes (what was written to it so far)
//   listen    add a listener for the type      unlisten   remove it
//   dispatch  dispatch an event of that type   fail       return the input as PluginMain's error
//   throw     let an exception out of PluginMain
//
// Document commands borrow the suites they need for the call (so that start-up acquires no more)
// and answer the error code, or what they read:
//   undoKind   "KIND": set the undo kind          undoTag    tag the running transaction
//   undoCount  "PAST FUTURE"                       undoTagOf  "N": the tag of transaction N
//   undo, redo the document suite's Undo, Redo     docSet     "KEY=TEXT": a document dictionary entry
//   docGet     "KEY": the entry's text             docDelete  "KEY": delete the entry
//   newPath    "NAME": a new path above all art    select, deselect  "NAME": that art
//   snapshot   "NAME": copy the art into its own dictionary (key "probe.snapshot")
//   restore    "NAME": put the copy back above the art and dispose of the art
//   dispose    "NAME": dispose of the art
//   mark, revertMark, forgetMark  "NAME": set a revert mark under the name, revert to it, forget it
//   modified   "1" or "0": the modified flag      setModified  "1" or "0": set it
//   batch      "COMMAND ARGUMENT;COMMAND ARGUMENT...": several commands in one call, answers joined by ';'
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "AIArt.h"
#include "AIContext.h"
#include "AIDictionary.h"
#include "AIDocument.h"
#include "AIFolders.h"
#include "AINotifier.h"
#include "AIScriptMessage.h"
#include "AIUndo.h"
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
    const csxs::event::Event answer{"com.torvi.event.result", csxs::event::kEventScope_Application, "HOST",
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

// A suite held for one command.
template <typename Suite>
class Borrowed {
public:
    Borrowed(const char* name, ASInt32 version) : fName(name), fVersion(version) {
        const void* table = nullptr;
        if (sBasic->AcquireSuite(name, version, &table) == kNoErr) {
            fSuite = static_cast<const Suite*>(table);
        }
    }
    ~Borrowed() {
        if (fSuite != nullptr) {
            sBasic->ReleaseSuite(fName, fVersion);
        }
    }
    Borrowed(const Borrowed&) = delete;
    Borrowed& operator=(const Borrowed&) = delete;

    const Suite* operator->() const { return fSuite; }

private:
    const char* fName;
    ASInt32 fVersion;
    const Suite* fSuite = nullptr;
};

std::string Code(AIErr error) {
    return std::to_string(error);
}

// The first art in document order (from the current layer) with that name; null when none has it.
AIArtHandle FindNamed(const AIArtSuite& art, AIArtHandle from, const std::string& name) {
    for (AIArtHandle each = from; each != nullptr;) {
        ai::UnicodeString text;
        if (art.GetArtName(each, text, nullptr) == kNoErr && text.as_UTF8() == name) {
            return each;
        }
        AIArtHandle child = nullptr;
        art.GetArtFirstChild(each, &child);
        if (AIArtHandle found = FindNamed(art, child, name)) {
            return found;
        }
        AIArtHandle next = nullptr;
        art.GetArtSibling(each, &next);
        each = next;
    }
    return nullptr;
}

AIArtHandle FindNamed(const AIArtSuite& art, const std::string& name) {
    AIArtHandle layerGroup = nullptr;
    art.GetFirstArtOfLayer(nullptr, &layerGroup);
    return FindNamed(art, layerGroup, name);
}

std::string RunScript(Probe& probe, const std::string& command, const std::string& input);

// Keeps a copy of the art in its own dictionary, or puts the copy back in its place.
std::string Snapshot(const std::string& command, const std::string& name) {
    Borrowed<AIArtSuite> art(kAIArtSuite, kAIArtSuiteVersion);
    Borrowed<AIDictionarySuite> dictionaries(kAIDictionarySuite, kAIDictionarySuiteVersion);
    AIArtHandle target = FindNamed(*art.operator->(), name);
    AIDictionaryRef dictionary = nullptr;
    AIDictKey key = nullptr;
    if (AIErr error = art->GetDictionary(target, &dictionary)) {
        return Code(error);
    }
    AIErr error = dictionaries->Key("probe.snapshot", &key);
    if (error == kNoErr && command == "snapshot") {
        error = dictionaries->CopyArtToEntry(dictionary, key, target);
    } else if (error == kNoErr) {
        AIArtHandle copy = nullptr;
        error = dictionaries->CopyEntryToArt(dictionary, key, kPlaceAbove, target, &copy);
        if (error == kNoErr) {
            error = art->DisposeArt(target);
        }
    }
    dictionaries->Release(dictionary);
    return Code(error);
}

// The document dictionary's string entries.
std::string DocumentEntry(const std::string& command, const std::string& input) {
    Borrowed<AIDocumentSuite> documents(kAIDocumentSuite, kAIDocumentSuiteVersion);
    Borrowed<AIDictionarySuite> dictionaries(kAIDictionarySuite, kAIDictionarySuiteVersion);
    const std::size_t equals = input.find('=');
    AIDictionaryRef dictionary = nullptr;
    if (AIErr error = documents->GetDictionary(&dictionary)) {
        return Code(error);
    }
    AIDictKey key = nullptr;
    AIErr error = dictionaries->Key(input.substr(0, equals).c_str(), &key);
    std::string answer;
    if (error == kNoErr && command == "docSet") {
        const std::string value = equals == std::string::npos ? "" : input.substr(equals + 1);
        error = dictionaries->SetStringEntry(dictionary, key, value.c_str());
    } else if (error == kNoErr && command == "docDelete") {
        error = dictionaries->DeleteEntry(dictionary, key);
    } else if (error == kNoErr) {
        const char* value = nullptr;
        error = dictionaries->GetStringEntry(dictionary, key, &value);
        answer = value != nullptr ? value : "";
    }
    dictionaries->Release(dictionary);
    return error != kNoErr || command != "docGet" ? Code(error) : answer;
}

std::optional<std::string> RunDocumentScript(Probe& probe, const std::string& command,
                                             const std::string& input) {
    if (command == "undoKind" || command == "undoTag" || command == "undoCount" || command == "undoTagOf") {
        Borrowed<AIUndoSuite> undo(kAIUndoSuite, kAIUndoSuiteVersion);
        if (command == "undoKind") {
            return Code(undo->SetKind(std::atoi(input.c_str())));
        }
        if (command == "undoTag") {
            return Code(undo->SetUndoTagUS(ai::UnicodeString::FromUTF8(input)));
        }
        if (command == "undoCount") {
            ai::int32 past = -1;
            ai::int32 future = -1;
            const AIErr error = undo->CountTransactions(&past, &future);
            return error == kNoErr ? std::to_string(past) + " " + std::to_string(future)
                                   : "error " + Code(error);
        }
        ai::UnicodeString tag("unchanged");
        const AIErr error = undo->GetNthTransactionTag(std::atoi(input.c_str()), tag);
        return error == kNoErr ? tag.as_UTF8() : "error " + Code(error) + " " + tag.as_UTF8();
    }
    if (command == "mark" || command == "revertMark" || command == "forgetMark") {
        // Revert marks by the name they were set under.
        static std::map<std::string, AIUndoMark> marks;
        Borrowed<AIUndoSuite> undo(kAIUndoSuite, kAIUndoSuiteVersion);
        if (command == "mark") {
            AIUndoMark& mark = marks[input];
            return Code(undo->SetRevertMark(&mark));
        }
        const auto found = marks.find(input);
        AIUndoMark mark = found != marks.end() ? found->second : nullptr;
        return Code(command == "revertMark" ? undo->RevertToMark(mark) : undo->ForgetMark(mark));
    }
    if (command == "undo" || command == "redo") {
        Borrowed<AIDocumentSuite> documents(kAIDocumentSuite, kAIDocumentSuiteVersion);
        return Code(command == "undo" ? documents->Undo() : documents->Redo());
    }
    if (command == "modified" || command == "setModified") {
        Borrowed<AIDocumentSuite> documents(kAIDocumentSuite, kAIDocumentSuiteVersion);
        if (command == "setModified") {
            return Code(documents->SetDocumentModified(input == "1"));
        }
        AIBoolean modified = false;
        const AIErr error = documents->GetDocumentModified(&modified);
        return error != kNoErr ? "error " + Code(error) : std::to_string(modified != 0 ? 1 : 0);
    }
    if (command == "docSet" || command == "docGet" || command == "docDelete") {
        return DocumentEntry(command, input);
    }
    if (command == "snapshot" || command == "restore") {
        return Snapshot(command, input);
    }
    if (command == "newPath" || command == "select" || command == "deselect" || command == "dispose") {
        Borrowed<AIArtSuite> art(kAIArtSuite, kAIArtSuiteVersion);
        if (command == "newPath") {
            AIArtHandle path = nullptr;
            const AIErr error = art->NewArt(kPathArt, kPlaceAboveAll, nullptr, &path);
            return Code(error != kNoErr ? error : art->SetArtName(path, ai::UnicodeString::FromUTF8(input)));
        }
        AIArtHandle target = FindNamed(*art.operator->(), input);
        if (command == "dispose") {
            return Code(art->DisposeArt(target));
        }
        return Code(art->SetArtUserAttr(target, kArtSelected, command == "select" ? kArtSelected : 0));
    }
    if (command == "batch") {
        std::string answers;
        std::size_t start = 0;
        while (start <= input.size()) {
            const std::size_t end = std::min(input.find(';', start), input.size());
            const std::string item = input.substr(start, end - start);
            const std::size_t blank = item.find(' ');
            const std::string name = item.substr(0, blank);
            const std::string argument = blank == std::string::npos ? "" : item.substr(blank + 1);
            answers += (start == 0 ? "" : ";") + RunScript(probe, name, argument);
            start = end + 1;
        }
        return answers;
    }
    return std::nullopt;
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
    if (command == "size") {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(input, error);
        return error ? "error" : std::to_string(size);
    }
    if (command == "panel") {
        return LoadPanelLibrary(probe);
    }
    if (command == "listen" || command == "unlisten") {
        auto function = command == "listen" ? probe.plugplug.add : probe.plugplug.remove;
        return function != nullptr ? std::to_string(function(input.c_str(), Listener, &probe)) : "no library";
    }
    if (command == "dispatch") {
        const csxs::event::Event event{input.c_str(), csxs::event::kEventScope_Application, "HOST", nullptr,
                                       "from probe"};
        return probe.plugplug.dispatch != nullptr ? std::to_string(probe.plugplug.dispatch(&event))
                                                  : "no library";
    }
    if (std::optional<std::string> answer = RunDocumentScript(probe, command, input)) {
        return *answer;
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

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
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "AIArt.h"
#include "AIUITheme.h"
#include "PluginModule.h"
#include "SPMessageData.h"
#include "UndoHistory.h"
#include "host/Application.h"
#include "host/HandleTable.h"
#include "host/HostOperation.h"
#include "host/Preferences.h"
#include "model/ArtStyle.h"
#include "model/Artboard.h"

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

// A block of memory handed to a plug-in (a matching-art answer). The plug-in holds &data, a pointer
// to the pointer to the art handles, and frees it with the MdMemory suite.
struct MemoryBlock {
    std::vector<AIArtHandle> arts;
    AIArtHandle* data = nullptr;
};

// A counted dictionary reference: where the dictionary is (an art object's or the document's, then
// keys of nested dictionary entries), in which document, resolved afresh on every use so that it
// fails cleanly once its owner is gone. The reference goes when its count drops to 0.
struct DictionaryRecord {
    model::DictionaryRef address;
    std::uintptr_t document = 0;  // the documentHandle of the document it was made in
    ASInt32 count = 1;
};

// A document open behind the current one, with the handle and undo history it keeps while it waits.
struct BackgroundDocument {
    std::unique_ptr<Document> document;
    std::uintptr_t handle = 0;
    UndoHistory undo;
};

// An artboard range (the artboard range suite): 0-based artboard indexes in order.
struct ArtboardRange {
    std::vector<ai::int32> indexes;
};

struct ArtboardRangeCursor {
    std::vector<ai::int32> indexes;
    std::size_t next = 0;
};

// An art-style parser: the parts of the style it parsed (none before the first parse) and the
// handle numbers of its paint fields, one per entry of style->paintFields.
struct StyleParserRecord {
    std::optional<model::ArtStyle> style;
    std::vector<std::uintptr_t> paintFieldHandles;
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
    // Blocks handed out and not yet freed, by the handle the plug-in holds (&block->data).
    std::map<const void*, std::unique_ptr<MemoryBlock>> memoryBlocks;
    HandleTable<DictionaryRecord> dictionaries;
    // The current document's handle (new for every document) and undo history, with the
    // transaction of the running call.
    std::uintptr_t documentHandle = 0;
    UndoHistory undo;

    // The other open documents, the most recently current first, and the files of the open
    // documents by their handles (none for a new document).
    std::vector<BackgroundDocument> backgroundDocuments;
    std::map<std::uintptr_t, std::string> documentPaths;

    PreferenceStore preferences;

    // Artboard property records, artboard lists (each naming the handle of its document), artboard
    // ranges and their iterators.
    HandleTable<model::Artboard> artboardRecords;
    HandleTable<std::uintptr_t> artboardLists;
    HandleTable<ArtboardRange> artboardRanges;
    HandleTable<ArtboardRangeCursor> artboardRangeCursors;

    // Art sets (the art set suite): art handles in the order added, each once.
    HandleTable<std::vector<model::ArtId>> artSets;
    // Where art made without a prep art goes: directly above this art (inside on top of a layer
    // group). A null or stale art means inside on top of the current layer.
    model::ArtId insertionPoint;

    // Art styles: immutable values, one handle per distinct value (StyleHandles.h); and art-style
    // parsers, each a mutable copy of a style's parts.
    HandleTable<const model::ArtStyle> artStyles;
    HandleTable<StyleParserRecord> styleParsers;
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

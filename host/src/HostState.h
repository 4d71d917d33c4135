// HostState: everything the application keeps, in parts a reader can name: the plug-in session,
// the document session, the user interface, and the handle registries of each suite family.
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
#include <unordered_map>
#include <unordered_set>
#include <variant>
#include <vector>

#include "AIArt.h"
#include "AISymbol.h"
#include "AIUITheme.h"
#include "PluginModule.h"
#include "SPMessageData.h"
#include "UndoHistory.h"
#include "host/Application.h"
#include "host/FaultInjector.h"
#include "host/HandleTable.h"
#include "host/HostOperation.h"
#include "host/Preferences.h"
#include "model/ArtStyle.h"
#include "model/Artboard.h"
#include "model/DocumentColors.h"
#include "textengine/TextObjects.h"

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
    // A block of symbol handles (the symbol suite's usage search) holds &symbolData instead.
    std::vector<AIPatternHandle> symbols;
    AIPatternHandle* symbolData = nullptr;
};

// A library of styles and symbols (the path-style suite's ImportStyles): a document read from a
// file and kept outside the document list, under a handle of its own.
struct LibraryDocument {
    std::uintptr_t handle = 0;
    std::unique_ptr<Document> document;
};

// A counted dictionary reference: where the dictionary is (an art object's or the document's, then
// keys of nested dictionary entries), in which document, resolved afresh on every use so that it
// fails cleanly once its owner is gone. The reference goes when its count drops to 0.
struct DictionaryRecord {
    // A dictionary of the plug-in's own, or a copy handed out (effect and stroke parameters): held
    // here, in no document. Otherwise the address in the document.
    std::shared_ptr<model::Dictionary> owned;
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
    // Handles of the live effects before and after the paint fields, of each paint field's own
    // effects (one list per paint field), and of the style's blend field; made with the paint
    // field handles.
    std::vector<std::uintptr_t> preEffectHandles;
    std::vector<std::uintptr_t> postEffectHandles;
    std::vector<std::vector<std::uintptr_t>> fieldEffectHandles;
    std::uintptr_t blendFieldHandle = 0;
    // Paint fields and live effects made by the parser and not yet inserted, by handle; disposing of
    // the parser frees them.
    struct NewPaintField {
        model::PaintField field;
        std::vector<std::uintptr_t> effectHandles;
    };
    std::map<std::uintptr_t, NewPaintField> newPaintFields;
    std::map<std::uintptr_t, model::Effect> newEffects;
};

// A copy of one dictionary entry's value (the entry suite), and an iterator over a copy of a
// dictionary's entries (the dictionary iterator suite).
struct EntryRecord {
    model::DictionaryValue value;
    std::string text;  // a string entry's text, handed out by ToString
};
// An array of the array suite, with its count.
struct ArrayRecord {
    model::EntryArray values;
    ai::int32 count = 1;
};
struct DictionaryIteratorRecord {
    std::vector<std::pair<std::string, model::DictionaryValue>> entries;
    std::size_t at = 0;
};

// A swatch library loaded by the application (Application::LoadSwatchLibrary), with the handle of
// its swatch list.
struct SwatchLibraryRecord {
    std::uintptr_t handle = 0;
    std::string name;
    model::DocumentColors colors;
};

// The plug-in session: the loaded module, the plug-in's own record and the handles it was given
// for itself (its notifiers, its accesses), and the calls into it with the work waiting for the
// outermost one to return.
struct PluginSession {
    PluginModule module;
    std::string loadError;
    SPPluginRef self = nullptr;  // the plug-in's reference, kept for the life of the application
    HandleTable<PluginRecord> records;
    HandleTable<NotifierRecord> notifiers;
    HandleTable<AccessRecord> accesses;

    int callDepth = 0;
    bool draining = false;
    std::deque<std::function<void()>> pending;
};

// The document session: the current document with its handle (new for every document) and undo
// history (with the transaction of the running call), the documents open behind it, and what the
// suites keep about editing it.
struct DocumentSession {
    std::unique_ptr<Document> current;
    std::uintptr_t handle = 0;
    UndoHistory undo;
    std::vector<ai::int32> undoKinds;  // every kind set through the undo suite, in order
    // The kind of the running call's transaction: a document that joins the call part way takes it.
    ai::int32 callKind = kAIStandardUndoContext;

    // The other open documents, the most recently current first, and the files of the open
    // documents by their handles (none for a new document).
    std::vector<BackgroundDocument> background;
    std::map<std::uintptr_t, std::string> paths;
    // What the application knows of each open document besides its content, by handle: its path
    // in the cloud storage (cloud documents only), the revision of its history when it was last
    // opened or saved (none recorded: 0, the start of its history; kModifiedRevision: changed
    // whatever the history says). The XMP packet is the document's own (model::Document::xmp).
    std::map<std::uintptr_t, std::string> cloudPaths;
    std::map<std::uintptr_t, std::uint64_t> savedRevisions;
    // The libraries opened so far, by the absolute path of their file.
    std::map<std::string, LibraryDocument> libraries;

    // New documents made so far: the next one's UUIDs follow from this number (NewHostDocument).
    std::uint64_t newDocuments = 0;

    // Where art made without a prep art goes: directly above this art (inside on top of a layer
    // group). A null or stale art means inside on top of the current layer.
    model::ArtId insertionPoint;
};

// The user interface: the application-context stack, the alerts shown, the theme and the panels'
// extension states.
struct UIState {
    std::vector<std::uintptr_t> contexts;  // the application-context stack, innermost last
    // How much the application may ask the user (ASUserInteraction.h): -1 nothing to 2 everything.
    ai::int32 interaction = 2;
    int contextPushes = 0;
    int contextPops = 0;
    std::vector<AIErr> errorAlerts;
    std::array<ThemeSlot, kThemeColorCount> theme;
    std::map<std::string, ai::int32, std::less<>> extensionStates;

    // The slot of a theme colour; null for a number that names none.
    ThemeSlot* ThemeSlotOf(AIUIComponentColor component);
    // Every colour of the theme for that brightness; false (nothing changed) for an unknown one.
    bool SetTheme(UIBrightness brightness);
};

// The handle registries, one per suite family. -------------------------------------------------

// The Unicode string and file path suites: the text behind each handle.
struct TextRegistry {
    HandleTable<std::u16string> strings;
    HandleTable<std::string> paths;
};

// An art set: art handles in the order added, each once.
struct ArtSetMembers {
    std::vector<model::ArtId> order;
    // What order holds, so that adding to a set costs no walk of it.
    std::unordered_set<model::ArtId> held;
};

// The suites over art: art sets, the memory blocks handed out and not yet freed (by the handle the
// plug-in holds, &block->data), and dictionary references.
struct ArtRegistry {
    HandleTable<ArtSetMembers> sets;
    std::map<const void*, std::unique_ptr<MemoryBlock>> memoryBlocks;
    HandleTable<DictionaryRecord> dictionaries;
};

// The artboard suites: property records, artboard lists (each naming the handle of its document),
// artboard ranges and their iterators.
struct ArtboardRegistry {
    HandleTable<model::Artboard> records;
    HandleTable<std::uintptr_t> lists;
    HandleTable<ArtboardRange> ranges;
    HandleTable<ArtboardRangeCursor> rangeCursors;
};

// The art style suites: immutable style values, one handle per distinct value (StyleHandles.h),
// and parsers, each a mutable copy of a style's parts.
struct StyleRegistry {
    HandleTable<const model::ArtStyle> values;
    // The handles of the values by a digest of each (StyleHandles.cpp), so that the handle of an
    // equal value is found among the few of the same digest rather than among all of them.
    std::unordered_multimap<std::size_t, std::uintptr_t> valuesByDigest;
    HandleTable<StyleParserRecord> parsers;
};

// One value of an action's parameter block, kept as it was set: the set call's type letter ('s'
// text, 'u' Unicode text, 'b' boolean, 'i' integer, 'e' enumeration, 'r' real) and its value (an
// enumeration's number, with its name in `name`).
struct ActionParam {
    char type = 's';
    std::variant<bool, std::int64_t, double, std::string> value;
    std::string name;
};

// The action manager: parameter blocks, each its values by four-character key. The journal shows a
// value as its type letter and text ("name=u:/tmp/a.ai").
struct ActionRegistry {
    HandleTable<std::map<ai::uint32, ActionParam>> blocks;
};

// Export support: revert marks of the current document, and the application contexts of documents
// suspended for a writer (by the handle of the suspension: the document's handle). A mark holds the
// change log the document had when it was set, so that the document's log holds only what changed
// after the newest mark; putting the logs back in order (newest first) gives the call's whole log.
struct RevertMark {
    model::ChangeLog before;
    // The current document's saved revision when the mark was set (none recorded: nothing), and
    // whether the document was saved since: a revert puts the modified flag back as it was at the
    // mark, unless a save came after it.
    std::optional<std::uint64_t> savedRevision;
    bool savedSince = false;
};

struct ExportRegistry {
    HandleTable<RevertMark> revertMarks;
    std::vector<const void*> markOrder;  // the marks set and not yet reverted or forgotten, oldest first
    HandleTable<std::uintptr_t> suspendedContexts;
};

// The colour and entry suites: entries, arrays and dictionary iterators handed out, the handle of the
// current document's swatch list, the loaded swatch libraries in order, and the live effects the
// application knows (handle and internal name).
struct ColorRegistry {
    HandleTable<EntryRecord> entries;
    HandleTable<ArrayRecord> arrays;
    HandleTable<DictionaryIteratorRecord> dictionaryIterators;
    std::uintptr_t documentSwatchList = detail::NextHandleNumber();
    std::vector<SwatchLibraryRecord> swatchLibraries;
    std::vector<std::pair<std::uintptr_t, std::string>> liveEffects;
};

// Everything the application keeps, so that the suites (plain C functions) reach it through
// CurrentState(): its services, then the parts named above.
struct HostState {
    HostState(Application& application, ApplicationOptions options);

    ApplicationOptions options;  // folders resolved
    SuiteRegistry suites;
    FaultInjector faults;
    CallJournal journal;
    PanelBus panel;
    PreferenceStore preferences;

    PluginSession plugin;
    DocumentSession documents;
    UIState ui;

    TextRegistry text;
    ArtRegistry art;
    ArtboardRegistry artboards;
    StyleRegistry styles;
    TextEngineRegistry textEngine;
    ActionRegistry actions;
    ExportRegistry exports;
    ColorRegistry colors;
};

// The state of the current application; null when there is none.
HostState* CurrentState();

// The folder that the current document's relative links resolve against: its file's folder, or
// the working folder for a document never saved (or without an application).
std::filesystem::path CurrentDocumentFolder();

// The start of every suite operation: the state, and the error to return at once (kCantHappenErr
// without an application, or an injected fault).
struct OperationStart {
    HostState* state;
    ASErr error;
};
OperationStart StartOperation(std::string_view suite, std::string_view operation);

namespace detail {
// The call site of the suite function now called through its table (SuiteBoundary.h); its first
// operation is counted through it, and it is null from then until the next such call.
inline thread_local constinit FaultInjector::CallSite* tCallSite = nullptr;
}  // namespace detail

}  // namespace host

// The panel's way in: one listener per request name "com.torvi.event.<name>". Each listener runs
// its command on the event's data and sends the reply back to the extension that asked.
#include <array>
#include <string>
#include <utility>

#include "AIUndo.h"
#include "core/AppContext.h"
#include "core/CommandTable.h"
#include "core/PlimPanelController.h"

namespace {

constexpr const char* kEventPrefix = "com.torvi.event.";

// What a listener does around its command.
enum class Listening {
    kCommand,          // application context, reply
    kUndoableCommand,  // application context, undo kind from the context flag, reply
    kPanelReady,       // the start-up handshake instead of a reply
    kTagNotifyOn,      // only the flag: no context, no reply
    kTagNotifyOff,
    kStartContext,     // flag on, then the standard undo kind
    kUndoChanges,      // flag off, no undo kind
    kExportFile,       // flag off, then the undo kind from it (standard)
    kComment,          // no context, no undo kind
    kDuplicate,
    kZOrder,
    kApplyPaint,       // XML request and reply
    kSymbolList,       // XML reply, percent-encoded
    kArtStyleList,
};

struct ListenerRow {
    const char* name;
    Listening listening;
    CommandHandler handler;
};

using P = PlimUtilsPlugin;
using L = Listening;

// Registration order.
constexpr ListenerRow kListenerRows[] = {
    {"panelready", L::kPanelReady, nullptr},
    {"setTags", L::kUndoableCommand, &P::setTags},
    {"getTags", L::kCommand, &P::getTags},
    {"tagNotify", L::kCommand, &P::TagNotify},
    {"tagNotifyOn", L::kTagNotifyOn, nullptr},
    {"tagNotifyOff", L::kTagNotifyOff, nullptr},
    {"getAllTags", L::kCommand, &P::GetAllTags},
    {"getByTags", L::kCommand, &P::GetByTags},
    {"selectByTags", L::kUndoableCommand, &P::SelectByTags},
    {"validateTagSearches", L::kCommand, &P::ValidateSearchStrings},
    {"removeTags", L::kUndoableCommand, &P::RemoveTags},
    {"removeTagsSelected", L::kUndoableCommand, &P::RemoveTagsSelected},
    {"rotate", L::kUndoableCommand, &P::RotateObjects},
    {"translate", L::kUndoableCommand, &P::TranslateObjects},
    {"transform", L::kUndoableCommand, &P::TransformObjects},
    {"duplicate", L::kDuplicate, nullptr},
    {"z-order", L::kZOrder, nullptr},
    {"startContext", L::kStartContext, &P::StartContext},
    {"undoChanges", L::kUndoChanges, &P::UndoAllChanges},
    {"listUndoPoints", L::kUndoableCommand, &P::ListUndoPoints},
    {"place", L::kUndoableCommand, &P::PlaceFile},
    {"testTokens", L::kUndoableCommand, &P::TestTokens},
    {"tagsToName", L::kUndoableCommand, &P::TagsToName},
    {"nameToTags", L::kUndoableCommand, &P::NameToTags},
    {"getGraphicStyle", L::kUndoableCommand, &P::GetGraphicStyle},
    {"editGraphicStyle", L::kUndoableCommand, &P::EditGraphicStyle},
    {"createGraphicStyle", L::kUndoableCommand, &P::CreateGraphicStyle},
    {"makeSwatch", L::kUndoableCommand, &P::MakeSwatch},
    {"reduceToBasicAppearance", L::kUndoableCommand, &P::ReduceToBasicAppearance},
    {"copyToDictionary", L::kUndoableCommand, &P::CopyToDictionary},
    {"restoreFromDictionary", L::kUndoableCommand, &P::RestoreFromDictionary},
    {"getTextStyle", L::kUndoableCommand, &P::GetTextStyle},
    {"text", L::kUndoableCommand, &P::Text},
    {"editTextStyle", L::kUndoableCommand, &P::CreateTextStyle},
    {"checkTextOverset", L::kUndoableCommand, &P::CheckTextOverset},
    {"getFontList", L::kUndoableCommand, &P::GetFontList},
    {"remove", L::kUndoableCommand, &P::RemoveObjects},
    {"revert", L::kUndoableCommand, &P::Revert},
    {"arrange", L::kUndoableCommand, &P::Arrange},
    {"version", L::kUndoableCommand, &P::Version},
    {"outlineText", L::kUndoableCommand, &P::OutlineText},
    {"getObjectAttributes", L::kUndoableCommand, &P::GetObjectAttributes},
    {"setObjectAttributes", L::kUndoableCommand, &P::SetObjectAttributes},
    {"setDocumentColorMode", L::kUndoableCommand, &P::SetDocumentColorMode},
    {"getDocumentUnits", L::kUndoableCommand, &P::GetDocumentUnits},
    {"openFile", L::kUndoableCommand, &P::OpenFile},
    {"saveFile", L::kUndoableCommand, &P::SaveFile},
    {"closeDocument", L::kUndoableCommand, &P::CloseDocument},
    {"exportFile", L::kExportFile, &P::ExportFile},
    {"openCloudFile", L::kUndoableCommand, &P::OpenCloudFile},
    {"saveCloudFile", L::kUndoableCommand, &P::SaveCloudFile},
    {"copyFile", L::kUndoableCommand, &P::Copy_File},
    {"groupObjects", L::kUndoableCommand, &P::GroupObjects},
    {"ungroupObjects", L::kUndoableCommand, &P::UngroupObjects},
    {"makeCompoundPath", L::kUndoableCommand, &P::MakeCompoundPath},
    {"releaseCompoundPath", L::kUndoableCommand, &P::ReleaseCompoundPath},
    {"makeClipGroup", L::kUndoableCommand, &P::MakeClipGroup},
    {"releaseClipGroup", L::kUndoableCommand, &P::ReleaseClipGroup},
    {"expand", L::kUndoableCommand, &P::Expand},
    {"editLayer", L::kUndoableCommand, &P::EditLayer},
    {"editArtboards", L::kUndoableCommand, &P::EditArtboards},
    {"fitArtboardToBounds", L::kUndoableCommand, &P::FitArtboardToBounds},
    {"alignObjects", L::kUndoableCommand, &P::AlignObjects},
    {"distributeObjects", L::kUndoableCommand, &P::DistributeObjects},
    {"pathfinder", L::kUndoableCommand, &P::Pathfinder},
    {"cleanDocument", L::kUndoableCommand, &P::CleanDocument},
    {"mergeSwatches", L::kUndoableCommand, &P::MergeSwatches},
    {"rasterize", L::kUndoableCommand, &P::Rasterize},
    {"counters", L::kUndoableCommand, &P::ProcessCounters},
    {"batchCall", L::kUndoableCommand, &P::BatchCall},
    {"comment", L::kComment, &P::Comment},
    {"applyPaint", L::kApplyPaint, nullptr},
    {"getSymbolList", L::kSymbolList, nullptr},
    {"getArtStyleList", L::kArtStyleList, nullptr},
};
constexpr size_t kListenerCount = std::size(kListenerRows);
static_assert(kListenerCount == 74);

// The event type of each row, made once.
const std::string& EventType(size_t row) {
    static const auto types = [] {
        std::array<std::string, kListenerCount> all;
        for (size_t i = 0; i < kListenerCount; ++i) {
            all[i] = std::string(kEventPrefix) + kListenerRows[i].name;
        }
        return all;
    }();
    return types[row];
}

// Runs a JSON command on the event's data and sends its reply to the sender.
void AnswerCommand(const PlimPanelController& panel, const csxs::event::Event& event, const ListenerRow& row) {
    const std::string request = event.data != nullptr && event.data[0] != '\0' ? event.data : "{}";
    std::string reply;
    if (row.listening == Listening::kDuplicate || row.listening == Listening::kZOrder) {
        reply = RunDuplicateCommand(row.name, row.listening == Listening::kZOrder, request);
    } else {
        reply = RunCommand(row.name, row.handler, request);
    }
    panel.SendResult(reply, event.extensionId);
}

void Listen(size_t rowIndex, const csxs::event::Event* event, void* context) {
    PlimUtilsPlugin* plugin = GetPlimPlugin();
    // An event that arrives after shut-down, or for a controller that is gone, is dropped.
    if (plugin == nullptr || event == nullptr || context == nullptr || plugin->PanelController() != context) {
        return;
    }
    const PlimPanelController& panel = *plugin->PanelController();
    const ListenerRow& row = kListenerRows[rowIndex];

    try {
        switch (row.listening) {
            case Listening::kTagNotifyOn:
                plugin->fTagNotify = true;
                return;
            case Listening::kTagNotifyOff:
                plugin->fTagNotify = false;
                return;
            case Listening::kComment:
                AnswerCommand(panel, *event, row);
                return;
            case Listening::kPanelReady: {
                CommandContext scope;
                panel.StartupMessageToPanel();
                return;
            }
            case Listening::kStartContext: {
                plugin->fUndoContext = true;
                CommandContext scope;
                PlimUtilsPlugin::SetUndoKind(kAIStandardUndoContext);
                AnswerCommand(panel, *event, row);
                return;
            }
            case Listening::kUndoChanges: {
                plugin->fUndoContext = false;
                CommandContext scope;
                AnswerCommand(panel, *event, row);
                return;
            }
            case Listening::kExportFile: {
                CommandContext scope;
                plugin->fUndoContext = false;
                plugin->SetUndoKindFromContext();
                AnswerCommand(panel, *event, row);
                return;
            }
            case Listening::kApplyPaint: {
                CommandContext scope;
                const ai::UnicodeString data = ai::UnicodeString::FromUTF8(event->data != nullptr ? event->data : "");
                panel.SendResult(plugin->applyPaint(getPara(data, ai::UnicodeString("payload"))));
                return;
            }
            case Listening::kSymbolList:
            case Listening::kArtStyleList: {
                CommandContext scope;
                const ai::UnicodeString list = row.listening == Listening::kSymbolList ? plugin->getSymbolList()
                                                                                         : plugin->getArtStyleList();
                panel.SendResult(encodeUTF8(list));
                return;
            }
            case Listening::kCommand: {
                CommandContext scope;
                AnswerCommand(panel, *event, row);
                return;
            }
            case Listening::kUndoableCommand:
            case Listening::kDuplicate:
            case Listening::kZOrder: {
                CommandContext scope;
                plugin->SetUndoKindFromContext();
                AnswerCommand(panel, *event, row);
                return;
            }
        }
    } catch (...) {
        // Nothing may be thrown into the panel library; commands already answer their own failures.
    }
}

template <size_t Row>
void RowListener(const csxs::event::Event* event, void* context) {
    Listen(Row, event, context);
}

template <size_t... Rows>
constexpr std::array<csxs::event::EventListenerFn, sizeof...(Rows)> MakeListeners(std::index_sequence<Rows...>) {
    return {&RowListener<Rows>...};
}

// One plain function per row, as the library identifies a listener by its function too.
constexpr auto kListeners = MakeListeners(std::make_index_sequence<kListenerCount>());

}  // namespace

const char* const PLIM_UI_EXTENSION = "com.torvi.panel";

PlimPanelController::PlimPanelController() : HtmlUIController(PLIM_UI_EXTENSION) {}

csxs::event::EventErrorCode PlimPanelController::RegisterCSXSEventListeners() {
    // Rows already registered stay; a later call goes on from the first row that failed.
    for (; fListenersAdded < kListenerCount; ++fListenersAdded) {
        if (auto error = fPPLib.AddEventListener(EventType(fListenersAdded).c_str(), kListeners[fListenersAdded],
                                                 this)) {
            return error;
        }
    }
    return csxs::event::kEventErrorCode_Success;
}

csxs::event::EventErrorCode PlimPanelController::RemoveEventListeners() {
    csxs::event::EventErrorCode first = csxs::event::kEventErrorCode_Success;
    for (size_t row = 0; row < fListenersAdded; ++row) {
        auto error = fPPLib.RemoveEventListener(EventType(row).c_str(), kListeners[row], this);
        if (first == csxs::event::kEventErrorCode_Success) {
            first = error;
        }
    }
    fListenersAdded = 0;
    return first;
}

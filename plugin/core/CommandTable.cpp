// Script messages: the selector names the command, the input string carries the request JSON and
// the reply JSON goes into the output string.
#include "core/CommandTable.h"

#include "AIScriptMessage.h"
#include "AIUndo.h"
#include "core/AppContext.h"
#include "core/Json.h"

namespace {

constexpr const char* kUnknownEventType = "Unknown event type: ";

template <typename Call>
std::string Guarded(const std::string& eventType, Call call) {
    try {
        return call();
    } catch (const std::exception& exception) {
        return ExceptionReply(eventType, exception);
    } catch (...) {
        return ExceptionReply(eventType, std::runtime_error("Unexpected failure"));
    }
}

std::string UnknownCommandReply(const std::string& name) {
    json reply = json::object();
    reply["error"] = kUnknownEventType + name;
    return DumpReply(reply);
}

}  // namespace

const std::map<std::string, CommandEntry>& GetCommandTable() {
    using P = PlimUtilsPlugin;
    static const std::map<std::string, CommandEntry> sCommandTable = {
        {"alignObjects", {&P::AlignObjects, true}},
        {"arrange", {&P::Arrange, true}},
        {"batchCall", {&P::BatchCall, true}},
        {"checkTextOverset", {&P::CheckTextOverset, true}},
        {"cleanDocument", {&P::CleanDocument, true}},
        {"closeDocument", {&P::CloseDocument, true}},
        {"copyFile", {&P::Copy_File, true}},
        {"copyToDictionary", {&P::CopyToDictionary, true}},
        {"counters", {&P::ProcessCounters, true}},
        {"createGraphicStyle", {&P::CreateGraphicStyle, true}},
        {"distributeObjects", {&P::DistributeObjects, true}},
        {"editArtboards", {&P::EditArtboards, true}},
        {"editGraphicStyle", {&P::EditGraphicStyle, true}},
        {"editLayer", {&P::EditLayer, true}},
        {"editTextStyle", {&P::CreateTextStyle, true}},
        {"expand", {&P::Expand, true}},
        {"fitArtboardToBounds", {&P::FitArtboardToBounds, true}},
        {"getAllTags", {&P::GetAllTags, false}},
        {"getByTags", {&P::GetByTags, false}},
        {"getDocumentUnits", {&P::GetDocumentUnits, true}},
        {"getFontList", {&P::GetFontList, true}},
        {"getGraphicStyle", {&P::GetGraphicStyle, true}},
        {"getObjectAttributes", {&P::GetObjectAttributes, true}},
        {"getTags", {&P::getTags, false}},
        {"getTextStyle", {&P::GetTextStyle, true}},
        {"groupObjects", {&P::GroupObjects, true}},
        {"listUndoPoints", {&P::ListUndoPoints, true}},
        {"makeClipGroup", {&P::MakeClipGroup, true}},
        {"makeCompoundPath", {&P::MakeCompoundPath, true}},
        {"makeSwatch", {&P::MakeSwatch, true}},
        {"mergeSwatches", {&P::MergeSwatches, true}},
        {"nameToTags", {&P::NameToTags, true}},
        {"openCloudFile", {&P::OpenCloudFile, true}},
        {"openFile", {&P::OpenFile, true}},
        {"outlineText", {&P::OutlineText, true}},
        {"pathfinder", {&P::Pathfinder, true}},
        {"place", {&P::PlaceFile, true}},
        {"rasterize", {&P::Rasterize, true}},
        {"reduceToBasicAppearance", {&P::ReduceToBasicAppearance, true}},
        {"releaseClipGroup", {&P::ReleaseClipGroup, true}},
        {"releaseCompoundPath", {&P::ReleaseCompoundPath, true}},
        {"remove", {&P::RemoveObjects, true}},
        {"removeTags", {&P::RemoveTags, true}},
        {"removeTagsSelected", {&P::RemoveTagsSelected, true}},
        {"restoreFromDictionary", {&P::RestoreFromDictionary, true}},
        {"revert", {&P::Revert, true}},
        {"rotate", {&P::RotateObjects, true}},
        {"saveCloudFile", {&P::SaveCloudFile, true}},
        {"saveFile", {&P::SaveFile, true}},
        {"selectByTags", {&P::SelectByTags, true}},
        {"setDocumentColorMode", {&P::SetDocumentColorMode, true}},
        {"setObjectAttributes", {&P::SetObjectAttributes, true}},
        {"setTags", {&P::setTags, true}},
        {"tagNotify", {&P::TagNotify, false}},
        {"tagsToName", {&P::TagsToName, true}},
        {"text", {&P::Text, true}},
        {"transform", {&P::TransformObjects, true}},
        {"translate", {&P::TranslateObjects, true}},
        {"ungroupObjects", {&P::UngroupObjects, true}},
        {"validateTagSearches", {&P::ValidateSearchStrings, false}},
        {"version", {&P::Version, true}},
    };
    return sCommandTable;
}

std::string RunCommand(const std::string& eventType, CommandHandler handler, const std::string& request) {
    return Guarded(eventType, [&] { return (GetPlimPlugin()->*handler)(request); });
}

std::string RunDuplicateCommand(const std::string& eventType, bool zOrder, const std::string& request) {
    return Guarded(eventType, [&] { return GetPlimPlugin()->DuplicateObjects(request, zOrder); });
}

ASErr PlimUtilsPlugin::Message(const char* caller, const char* selector, void* message) {
    if (caller == nullptr || std::string_view(caller) != kCallerAIScriptMessage) {
        return Plugin::Message(caller, selector, message);
    }
    auto* scriptMessage = static_cast<AIScriptMessage*>(message);
    const std::string name = selector != nullptr ? selector : "";
    std::string request = scriptMessage->inParam.as_UTF8();
    if (request.empty()) {
        request = "{}";
    }
    std::string reply;

    const auto& table = GetCommandTable();
    if (const auto entry = table.find(name); entry != table.end()) {
        CommandContext context;
        if (entry->second.undoable) {
            SetUndoKindFromContext();
        }
        reply = RunCommand(name, entry->second.handler, request);
    } else if (name == "comment") {
        reply = RunCommand(name, &PlimUtilsPlugin::Comment, request);
    } else if (name == "duplicate" || name == "z-order") {
        CommandContext context;
        SetUndoKindFromContext();
        reply = RunDuplicateCommand(name, name == "z-order", request);
    } else if (name == "exportFile") {
        CommandContext context;
        fUndoContext = false;
        SetUndoKindFromContext();
        reply = RunCommand(name, &PlimUtilsPlugin::ExportFile, request);
    } else if (name == "startContext") {
        fUndoContext = true;
        CommandContext context;
        SetUndoKind(kAIStandardUndoContext);
        reply = RunCommand(name, &PlimUtilsPlugin::StartContext, request);
    } else if (name == "tagNotifyOff") {
        fTagNotify = false;
    } else if (name == "tagNotifyOn") {
        fTagNotify = true;
    } else if (name == "undoChanges") {
        fUndoContext = false;
        CommandContext context;
        reply = RunCommand(name, &PlimUtilsPlugin::UndoAllChanges, request);
    } else {
        reply = UnknownCommandReply(name);
    }

    scriptMessage->outParam = ai::UnicodeString::FromUTF8(reply);
    // A reply that the host could not take is a failure, not an empty answer.
    if (!reply.empty() && scriptMessage->outParam.ref() == nullptr) {
        return kCantHappenErr;
    }
    return kNoErr;
}

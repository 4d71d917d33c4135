// "batchCall": runs a list of commands in order and answers all of them in one reply.
#include <map>

#include "core/CommandTable.h"
#include "core/Json.h"

namespace {

constexpr std::string_view kEventPrefix = "com.torvi.event.";

// The commands a batch can run: the script table but for "batchCall" and "listUndoPoints", with
// "comment" and "exportFile". Built for each batch.
std::map<std::string, CommandHandler> MakeBatchTable() {
    using P = PlimUtilsPlugin;
    return {
        {"setTags", &P::setTags},
        {"getTags", &P::getTags},
        {"tagNotify", &P::TagNotify},
        {"getAllTags", &P::GetAllTags},
        {"getByTags", &P::GetByTags},
        {"selectByTags", &P::SelectByTags},
        {"validateTagSearches", &P::ValidateSearchStrings},
        {"removeTags", &P::RemoveTags},
        {"removeTagsSelected", &P::RemoveTagsSelected},
        {"rotate", &P::RotateObjects},
        {"translate", &P::TranslateObjects},
        {"transform", &P::TransformObjects},
        {"place", &P::PlaceFile},
        {"tagsToName", &P::TagsToName},
        {"nameToTags", &P::NameToTags},
        {"getGraphicStyle", &P::GetGraphicStyle},
        {"editGraphicStyle", &P::EditGraphicStyle},
        {"createGraphicStyle", &P::CreateGraphicStyle},
        {"makeSwatch", &P::MakeSwatch},
        {"reduceToBasicAppearance", &P::ReduceToBasicAppearance},
        {"copyToDictionary", &P::CopyToDictionary},
        {"restoreFromDictionary", &P::RestoreFromDictionary},
        {"getTextStyle", &P::GetTextStyle},
        {"text", &P::Text},
        {"editTextStyle", &P::CreateTextStyle},
        {"checkTextOverset", &P::CheckTextOverset},
        {"getFontList", &P::GetFontList},
        {"remove", &P::RemoveObjects},
        {"revert", &P::Revert},
        {"arrange", &P::Arrange},
        {"version", &P::Version},
        {"outlineText", &P::OutlineText},
        {"getObjectAttributes", &P::GetObjectAttributes},
        {"setObjectAttributes", &P::SetObjectAttributes},
        {"setDocumentColorMode", &P::SetDocumentColorMode},
        {"getDocumentUnits", &P::GetDocumentUnits},
        {"openFile", &P::OpenFile},
        {"saveFile", &P::SaveFile},
        {"closeDocument", &P::CloseDocument},
        {"exportFile", &P::ExportFile},
        {"openCloudFile", &P::OpenCloudFile},
        {"saveCloudFile", &P::SaveCloudFile},
        {"copyFile", &P::Copy_File},
        {"groupObjects", &P::GroupObjects},
        {"ungroupObjects", &P::UngroupObjects},
        {"makeCompoundPath", &P::MakeCompoundPath},
        {"releaseCompoundPath", &P::ReleaseCompoundPath},
        {"makeClipGroup", &P::MakeClipGroup},
        {"releaseClipGroup", &P::ReleaseClipGroup},
        {"expand", &P::Expand},
        {"editLayer", &P::EditLayer},
        {"editArtboards", &P::EditArtboards},
        {"fitArtboardToBounds", &P::FitArtboardToBounds},
        {"alignObjects", &P::AlignObjects},
        {"distributeObjects", &P::DistributeObjects},
        {"pathfinder", &P::Pathfinder},
        {"cleanDocument", &P::CleanDocument},
        {"mergeSwatches", &P::MergeSwatches},
        {"rasterize", &P::Rasterize},
        {"counters", &P::ProcessCounters},
        {"comment", &P::Comment},
    };
}

// Runs one entry and answers its sub-reply.
json RunBatchEntry(const std::map<std::string, CommandHandler>& table, const json& entry) {
    json subReply = json::object();
    std::string eventType;
    if (!ReadJsonValue(entry, "eventType", eventType) || eventType.size() <= kEventPrefix.size() ||
        eventType.compare(0, kEventPrefix.size(), kEventPrefix) != 0) {
        subReply["error"] = "No eventType found";
        return subReply;
    }
    const std::string name = eventType.substr(kEventPrefix.size());
    subReply["eventType"] = eventType;

    const auto data = entry.find("data");
    if (data == entry.end() || !data->is_object()) {
        subReply["error"] = "No event data found";
        return subReply;
    }
    const std::string request = DumpReply(*data);
    std::string reply;
    if (const auto command = table.find(name); command != table.end()) {
        reply = RunCommand(name, command->second, request);
    } else if (name == "duplicate" || name == "z-order") {
        reply = RunDuplicateCommand(name, name == "z-order", request);
    } else {
        subReply["error"] = "Unknown eventType: " + name;
        return subReply;
    }
    try {
        subReply["data"] = json::parse(reply);
    } catch (const json::exception& error) {
        subReply["error"] = "The command's reply is not valid JSON";
    }
    return subReply;
}

bool HasKey(const json& value, const char* key) { return value.is_object() && value.contains(key); }

}  // namespace

std::string PlimUtilsPlugin::BatchCall(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("batchCall", parsed);
    json results = json::array();
    bool errors = false;
    bool warnings = false;

    const auto entries = parsed.is_object() ? parsed.find("data") : parsed.end();
    if (!parsed.is_object() || entries == parsed.end() || !entries->is_array()) {
        reply["error"] = "No data found";
    } else {
        const auto table = MakeBatchTable();
        for (const json& entry : *entries) {
            json subReply = RunBatchEntry(table, entry);
            const json& data = HasKey(subReply, "data") ? subReply["data"] : json();
            errors = errors || HasKey(subReply, "error") || HasKey(data, "error");
            warnings = warnings || HasKey(subReply, "warning") || HasKey(data, "warning");
            results.push_back(std::move(subReply));
        }
    }
    reply["data"] = std::move(results);
    reply["errorsPresent"] = errors;
    reply["warningsPresent"] = warnings;
    return DumpReply(reply);
}

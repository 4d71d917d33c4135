// The one list of commands: every command once, with the member that runs it, its route and the
// ways in that take it. The script messages, the panel's listeners and the batch entries are views
// of this list (core/CommandTable.h). Adding a command is one row here and one member of
// PlimUtilsPlugin.
//
// The list is a macro so that tests can walk the same rows without linking the plug-in: each user
// defines ROW(name, member, route, ways) and expands PLIM_COMMAND_ROWS(ROW). Members are written
// with P standing for PlimUtilsPlugin; a route names a Route enumerator; the order is the panel's
// registration order.
#pragma once

#include <cstdint>

// What happens around a command's member, for a script message or a panel event. Inside a batch
// every route only runs the member: the batch runs within the context and undo kind of
// "batchCall".
enum class Route : std::uint8_t {
    kPlain,         // application context; the undo kind is left alone
    kUndoable,      // application context; undo kind from the context flag (append while it is on)
    kNoContext,     // no application context and no undo kind
    kStartContext,  // context flag on, application context, standard undo kind
    kUndoChanges,   // context flag off, application context, no undo kind
    kExportFile,    // application context, context flag off, undo kind from the flag (standard)
    kTagNotifyOn,   // only the tag-notification flag: no context, no member, no reply
    kTagNotifyOff,
    kPanelReady,  // application context; the start-up handshake instead of a reply
    kXml,         // application context; the reply is the panel's XML form
};

// Whether the route's reply is a JSON text to send back to whoever asked.
constexpr bool RepliesWithJson(Route route) {
    return route != Route::kTagNotifyOn && route != Route::kTagNotifyOff && route != Route::kPanelReady &&
           route != Route::kXml;
}

// The ways in that take a command.
inline constexpr unsigned kByScript = 1;
inline constexpr unsigned kByPanel = 2;
inline constexpr unsigned kInBatch = 4;
inline constexpr unsigned kNotInBatch = kByScript | kByPanel;
inline constexpr unsigned kAnyWay = kByScript | kByPanel | kInBatch;

// clang-format off
#define PLIM_COMMAND_ROWS(ROW)                                                                       \
    ROW("panelready",              nullptr,                       kPanelReady,   kByPanel)           \
    ROW("setTags",                 &P::setTags,                   kUndoable,     kAnyWay)            \
    ROW("getTags",                 &P::getTags,                   kPlain,        kAnyWay)            \
    ROW("tagNotify",               &P::TagNotify,                 kPlain,        kAnyWay)            \
    ROW("tagNotifyOn",             nullptr,                       kTagNotifyOn,  kNotInBatch)        \
    ROW("tagNotifyOff",            nullptr,                       kTagNotifyOff, kNotInBatch)        \
    ROW("getAllTags",              &P::GetAllTags,                kPlain,        kAnyWay)            \
    ROW("getByTags",               &P::GetByTags,                 kPlain,        kAnyWay)            \
    ROW("selectByTags",            &P::SelectByTags,              kUndoable,     kAnyWay)            \
    ROW("validateTagSearches",     &P::ValidateSearchStrings,     kPlain,        kAnyWay)            \
    ROW("removeTags",              &P::RemoveTags,                kUndoable,     kAnyWay)            \
    ROW("removeTagsSelected",      &P::RemoveTagsSelected,        kUndoable,     kAnyWay)            \
    ROW("rotate",                  &P::RotateObjects,             kUndoable,     kAnyWay)            \
    ROW("translate",               &P::TranslateObjects,          kUndoable,     kAnyWay)            \
    ROW("transform",               &P::TransformObjects,          kUndoable,     kAnyWay)            \
    ROW("duplicate",               &P::Duplicate,                 kUndoable,     kAnyWay)            \
    ROW("z-order",                 &P::ZOrder,                    kUndoable,     kAnyWay)            \
    ROW("startContext",            &P::StartContext,              kStartContext, kNotInBatch)        \
    ROW("undoChanges",             &P::UndoAllChanges,            kUndoChanges,  kNotInBatch)        \
    ROW("listUndoPoints",          &P::ListUndoPoints,            kUndoable,     kNotInBatch)        \
    ROW("place",                   &P::PlaceFile,                 kUndoable,     kAnyWay)            \
    ROW("testTokens",              &P::TestTokens,                kUndoable,     kByPanel)           \
    ROW("tagsToName",              &P::TagsToName,                kUndoable,     kAnyWay)            \
    ROW("nameToTags",              &P::NameToTags,                kUndoable,     kAnyWay)            \
    ROW("getGraphicStyle",         &P::GetGraphicStyle,           kUndoable,     kAnyWay)            \
    ROW("editGraphicStyle",        &P::EditGraphicStyle,          kUndoable,     kAnyWay)            \
    ROW("createGraphicStyle",      &P::CreateGraphicStyle,        kUndoable,     kAnyWay)            \
    ROW("makeSwatch",              &P::MakeSwatch,                kUndoable,     kAnyWay)            \
    ROW("reduceToBasicAppearance", &P::ReduceToBasicAppearance,   kUndoable,     kAnyWay)            \
    ROW("copyToDictionary",        &P::CopyToDictionary,          kUndoable,     kAnyWay)            \
    ROW("restoreFromDictionary",   &P::RestoreFromDictionary,     kUndoable,     kAnyWay)            \
    ROW("getTextStyle",            &P::GetTextStyle,              kUndoable,     kAnyWay)            \
    ROW("text",                    &P::Text,                      kUndoable,     kAnyWay)            \
    ROW("editTextStyle",           &P::CreateTextStyle,           kUndoable,     kAnyWay)            \
    ROW("checkTextOverset",        &P::CheckTextOverset,          kUndoable,     kAnyWay)            \
    ROW("getFontList",             &P::GetFontList,               kUndoable,     kAnyWay)            \
    ROW("remove",                  &P::RemoveObjects,             kUndoable,     kAnyWay)            \
    ROW("revert",                  &P::Revert,                    kUndoable,     kAnyWay)            \
    ROW("arrange",                 &P::Arrange,                   kUndoable,     kAnyWay)            \
    ROW("version",                 &P::Version,                   kUndoable,     kAnyWay)            \
    ROW("outlineText",             &P::OutlineText,               kUndoable,     kAnyWay)            \
    ROW("getObjectAttributes",     &P::GetObjectAttributes,       kUndoable,     kAnyWay)            \
    ROW("setObjectAttributes",     &P::SetObjectAttributes,       kUndoable,     kAnyWay)            \
    ROW("setDocumentColorMode",    &P::SetDocumentColorMode,      kUndoable,     kAnyWay)            \
    ROW("getDocumentUnits",        &P::GetDocumentUnits,          kUndoable,     kAnyWay)            \
    ROW("openFile",                &P::OpenFile,                  kUndoable,     kAnyWay)            \
    ROW("saveFile",                &P::SaveFile,                  kUndoable,     kAnyWay)            \
    ROW("closeDocument",           &P::CloseDocument,             kUndoable,     kAnyWay)            \
    ROW("exportFile",              &P::ExportFile,                kExportFile,   kAnyWay)            \
    ROW("openCloudFile",           &P::OpenCloudFile,             kUndoable,     kAnyWay)            \
    ROW("saveCloudFile",           &P::SaveCloudFile,             kUndoable,     kAnyWay)            \
    ROW("copyFile",                &P::Copy_File,                 kUndoable,     kAnyWay)            \
    ROW("groupObjects",            &P::GroupObjects,              kUndoable,     kAnyWay)            \
    ROW("ungroupObjects",          &P::UngroupObjects,            kUndoable,     kAnyWay)            \
    ROW("makeCompoundPath",        &P::MakeCompoundPath,          kUndoable,     kAnyWay)            \
    ROW("releaseCompoundPath",     &P::ReleaseCompoundPath,       kUndoable,     kAnyWay)            \
    ROW("makeClipGroup",           &P::MakeClipGroup,             kUndoable,     kAnyWay)            \
    ROW("releaseClipGroup",        &P::ReleaseClipGroup,          kUndoable,     kAnyWay)            \
    ROW("expand",                  &P::Expand,                    kUndoable,     kAnyWay)            \
    ROW("editLayer",               &P::EditLayer,                 kUndoable,     kAnyWay)            \
    ROW("editArtboards",           &P::EditArtboards,             kUndoable,     kAnyWay)            \
    ROW("fitArtboardToBounds",     &P::FitArtboardToBounds,       kUndoable,     kAnyWay)            \
    ROW("alignObjects",            &P::AlignObjects,              kUndoable,     kAnyWay)            \
    ROW("distributeObjects",       &P::DistributeObjects,         kUndoable,     kAnyWay)            \
    ROW("pathfinder",              &P::Pathfinder,                kUndoable,     kAnyWay)            \
    ROW("cleanDocument",           &P::CleanDocument,             kUndoable,     kAnyWay)            \
    ROW("mergeSwatches",           &P::MergeSwatches,             kUndoable,     kAnyWay)            \
    ROW("rasterize",               &P::Rasterize,                 kUndoable,     kAnyWay)            \
    ROW("counters",                &P::ProcessCounters,           kUndoable,     kAnyWay)            \
    ROW("batchCall",               &P::BatchCall,                 kUndoable,     kNotInBatch)        \
    ROW("comment",                 &P::Comment,                   kNoContext,    kAnyWay)            \
    ROW("applyPaint",              &P::ApplyPaintXml,             kXml,          kByPanel)           \
    ROW("getSymbolList",           &P::SymbolListXml,             kXml,          kByPanel)           \
    ROW("getArtStyleList",         &P::ArtStyleListXml,           kXml,          kByPanel)
// clang-format on

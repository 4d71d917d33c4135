// PlimUtilsPlugin: the one plug-in object. It holds the plug-in's state between commands and every
// command of the system as a member that takes the request JSON text and returns the reply JSON text.
#pragma once

#include <memory>
#include <string>

#include "IAIUnicodeString.h"
#include "core/Counters.h"
#include "core/Plugin.h"

class PlimPanelController;

class PlimUtilsPlugin : public Plugin {
public:
    explicit PlimUtilsPlugin(SPPluginRef pluginRef);
    ~PlimUtilsPlugin() override;

    ASErr StartupPlugin(SPMessageData* message) override;
    ASErr PostStartupPlugin() override;
    ASErr ShutdownPlugin(SPMessageData* message) override;
    ASErr Message(const char* caller, const char* selector, void* message) override;
    ASErr SetGlobal(Plugin* plugin) override;
    ASErr Notify(AINotifierMessage* message) override;

    ASErr AcquirePostStartupSuites();
    ASErr ReleasePostStartupSuites();

    // Undoes a start-up that failed part way: the panel controller, the memory lock and the suites
    // go, and gPlugin no longer names this object.
    void AbandonStartup();
    // Prepares the object for a reload message: forgets the base's notifiers and starts the
    // counters again from their built-in set.
    friend void FixupReload(Plugin* plugin);

    // Sets the host's undo kind for the next changes: append while a context opened by
    // "startContext" is in force, standard otherwise.
    void SetUndoKindFromContext() const;
    // Sets the host's undo kind: 0 standard, 2 append.
    static void SetUndoKind(ai::int32 kind);

    PlimPanelController* PanelController() const { return fPanelController.get(); }

    // Core.
    std::string Version(std::string request);
    std::string Comment(std::string request);
    std::string BatchCall(std::string request);
    std::string StartContext(std::string request);
    std::string UndoAllChanges(std::string request);
    std::string ListUndoPoints(std::string request);
    std::string CopyToDictionary(std::string request);
    std::string RestoreFromDictionary(std::string request);

    // The panel's older requests, which speak XML-like text.
    ai::UnicodeString getSymbolList();
    ai::UnicodeString applyPaint(ai::UnicodeString payload);
    ai::UnicodeString getArtStyleList();
    // The same as commands of the table: the event's data in, the XML reply text out (the lists
    // percent-encoded).
    std::string ApplyPaintXml(std::string data);
    std::string SymbolListXml(std::string data);
    std::string ArtStyleListXml(std::string data);

    // Art model and tags.
    std::string setTags(std::string request);
    std::string getTags(std::string request);
    std::string TagNotify(std::string request);
    std::string GetAllTags(std::string request);
    std::string GetByTags(std::string request);
    std::string SelectByTags(std::string request);
    std::string ValidateSearchStrings(std::string request);
    std::string RemoveTags(std::string request);
    std::string RemoveTagsSelected(std::string request);
    std::string TagsToName(std::string request);
    std::string NameToTags(std::string request);
    std::string TestTokens(std::string request);
    // "removeTags" over every object, or "removeTagsSelected" over the selection.
    std::string RemoveTagsOf(const std::string& request, bool selected);

    // Layout and structure.
    std::string AlignObjects(std::string request);
    std::string Arrange(std::string request);
    std::string DistributeObjects(std::string request);
    std::string RotateObjects(std::string request);
    std::string TransformObjects(std::string request);
    std::string TranslateObjects(std::string request);
    std::string DuplicateObjects(std::string request, bool zOrder);
    // "duplicate" and "z-order": DuplicateObjects without and with z-order.
    std::string Duplicate(std::string request);
    std::string ZOrder(std::string request);
    std::string EditArtboards(std::string request);
    std::string FitArtboardToBounds(std::string request);
    std::string EditLayer(std::string request);
    std::string GroupObjects(std::string request);
    std::string UngroupObjects(std::string request);
    std::string MakeClipGroup(std::string request);
    std::string ReleaseClipGroup(std::string request);
    std::string MakeCompoundPath(std::string request);
    std::string ReleaseCompoundPath(std::string request);
    std::string Pathfinder(std::string request);
    std::string Expand(std::string request);
    std::string Rasterize(std::string request);
    std::string ReduceToBasicAppearance(std::string request);
    std::string RemoveObjects(std::string request);

    // Appearance.
    std::string CreateGraphicStyle(std::string request);
    std::string EditGraphicStyle(std::string request);
    std::string GetGraphicStyle(std::string request);
    std::string GetObjectAttributes(std::string request);
    std::string SetObjectAttributes(std::string request);
    std::string MakeSwatch(std::string request);
    std::string MergeSwatches(std::string request);

    // Text.
    std::string CheckTextOverset(std::string request);
    std::string CreateTextStyle(std::string request);
    std::string GetFontList(std::string request);
    std::string GetTextStyle(std::string request);
    std::string OutlineText(std::string request);
    std::string Text(std::string request);

    // Documents, placing, naming and export.
    std::string CleanDocument(std::string request);
    std::string CloseDocument(std::string request);
    std::string Copy_File(std::string request);
    std::string ExportFile(std::string request);
    std::string GetDocumentUnits(std::string request);
    std::string OpenCloudFile(std::string request);
    std::string OpenFile(std::string request);
    std::string PlaceFile(std::string request);
    std::string ProcessCounters(std::string request);
    std::string Revert(std::string request);
    std::string SaveCloudFile(std::string request);
    std::string SaveFile(std::string request);
    std::string SetDocumentColorMode(std::string request);

    bool fTagNotify = true;
    bool fUndoContext = false;
    Counters fCounters;

private:
    std::unique_ptr<PlimPanelController> fPanelController;
    AINotifierHandle fBrightnessNotifier = nullptr;
    AINotifierHandle fPlugPlugNotifier = nullptr;
    AINotifierHandle fShutdownNotifier = nullptr;
    AINotifierHandle fSymbolListNotifier = nullptr;
    AINotifierHandle fSelectionNotifier = nullptr;
};

// A command: a member that takes the request JSON text and returns the reply JSON text.
using CommandHandler = std::string (PlimUtilsPlugin::*)(std::string);

PlimUtilsPlugin* AllocatePlugin(SPPluginRef pluginRef);
void FixupReload(Plugin* plugin);

// The plug-in object as its own class; null outside start-up..shut-down.
PlimUtilsPlugin* GetPlimPlugin();

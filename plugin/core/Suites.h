// The host suites the plug-in acquires, the global pointers that hold them, and the Suites object
// that acquires and releases them with one count shared by every Suites object.
#pragma once

#include "SPBasic.h"
#include "SuiteCatalogue.h"

struct SPAccessSuite;
struct SPPluginsSuite;
struct AINotifierSuite;
struct AIAppContextSuite;
struct AIUserSuite;
struct AIFilePathSuite;
struct AIFoldersSuite;
struct AICSXSExtensionSuite;

// One row of a suite table; a row with a null name ends the table.
struct ImportSuite {
    const char* name;
    ASInt32 version;
    const void** suite;  // where the acquired suite goes; null: the row is skipped
};

extern "C" {
extern SPBasicSuite* sSPBasic;

// The basic table.
extern SPAccessSuite* sSPAccess;
extern SPPluginsSuite* sSPPlugins;
extern AINotifierSuite* sAINotifier;
extern AIAppContextSuite* sAIAppContext;
extern AIUserSuite* sAIUser;
extern AIFilePathSuite* sAIFilePath;
extern AIFoldersSuite* sAIFolders;

// The imported table.
extern AIFileFormatSuite* sAIFileFormat;
extern AIMatchingArtSuite* sAIMatchingArt;
extern AIMdMemorySuite* sAIMdMemory;
extern AIDictionarySuite* sAIDictionary;
extern AIDictionaryIteratorSuite* sAIDictionaryIterator;
extern AIPreferenceSuite* sAIPreference;
extern AILayerSuite* sAILayer;
extern AIRuntimeSuite* sAIRuntime;
extern AIUndoSuite* sAIUndo;
extern AITextFrameSuite* sAITextFrame;
extern AIFontSuite* sAIFont;
extern AIDataFilterSuite* sAIDataFilter;
extern AIStringFormatUtilsSuite* sAIStringFormatUtils;
extern AIUIThemeSuite* sAIUITheme;
extern SPBlocksSuite* sSPBlocks;
extern AIUnicodeStringSuite* sAIUnicodeString;
extern AIDocumentSuite* sAIDocument;
extern AIArtSuite* sAIArt;
extern AIArtSetSuite* sAIArtSet;
extern AITagSuite* sAITag;
extern AIPathSuite* sAIPath;
extern AIPathStyleSuite* sAIPathStyle;
extern AIPaintStyleSuite* sAIPaintStyle;
extern AISwatchListSuite* sAISwatchList;
extern AIATEPaintSuite* sAIATEPaint;
extern AIMenuSuite* sAIMenu;
extern AIArtStyleSuite* sAIArtStyle;
extern AIActionManagerSuite* sAIActionManager;
extern AISymbolSuite* sAISymbol;
extern AILiveEffectSuite* sAILiveEffect;
extern AIArraySuite* sAIArray;
extern AIBeautifulStrokesSuite* sAIBeautifulStroke;
extern AIArtStyleParserSuite* sAIArtStyleParser;
extern AIIsolationModeSuite* sAIIsolationMode;
extern AIPatternSuite* sAIPattern;
extern AIUUIDSuite* sAIUUID;
extern AIRealMathSuite* sAIRealMath;
extern AITransformArtSuite* sAITransformArt;
extern AIHardSoftSuite* sAIHardSoft;
extern AIPlacedSuite* sAIPlaced;
extern ASUserInteractionSuite* sASUserInteraction;
extern AIDocumentListSuite* sAIDocumentList;
extern AIEntrySuite* sAIEntry;
extern AISwatchGroupSuite* sAISwatchGroup;
extern AISwatchLibrariesSuite* sAISwatchLibraries;
extern AICustomColorSuite* sAICustomColor;
extern AIBlendStyleSuite* AIBlendStyle;
extern AIDocumentViewSuite* sAIDocumentView;
extern AIEnvelopeSuite* sAIEnvelope;
extern AIShapeConstructionSuite* sAIShapeConstruction;
extern AIPathfinderSuite* sAIPathfinder;
extern AIPluginGroupSuite* sAIPluginGroup;
extern AIGroupSuite* sAIGroup;
extern AIArtboardSuite* sAIArtboard;
extern AIAssertionSuite* sAIAssertion;
extern AIColorSuite* sAIColor;
extern AITextUtilSuite* sAITextUtil;
extern AIExpandSuite* sAIExpand;
extern AIRasterExportSuite* sAIRasterExport;
extern AIRasterizeSuite* sAIRasterize;
extern AIRasterSuite* sAIRaster;
extern AICountedObjectSuite* sAICountedObject;
extern AIImageOptSuite* sAIImageOpt;
extern AICloudDocumentSuite* sAICloudDocument;
extern AIArtboardRangeSuite* sAIArtboardRange;
extern AIColorConversionSuite* sAIColorConversion;
extern AIIntertwineSuite* sAIIntertwine;
extern AIArtConverterSuite* sAIArtConverter;

#define PLIM_DECLARE_TEXT_ENGINE_POINTER(word, version) extern ATE##word##Suite* s##word;
PLIM_TEXT_ENGINE_SUITES(PLIM_DECLARE_TEXT_ENGINE_POINTER)
#undef PLIM_DECLARE_TEXT_ENGINE_POINTER

// Acquired once the application has started.
extern AICSXSExtensionSuite* sAICSXSExtension;

extern ImportSuite gImportSuites[];
extern ImportSuite gPostStartupSuites[];
}

class Suites {
public:
    // Acquires the basic and imported tables, then any optional rows; the result is kept.
    Suites();
    // Releases what this object's acquisition holds; the last outstanding acquisition releases
    // the suites themselves.
    ~Suites();

    ASErr Error() const { return fError; }
    void acquire_Optional_Suites();

    static ASErr AcquireSuite(ImportSuite* row);
    static ASErr ReleaseSuite(ImportSuite* row);

    // How many acquisitions are outstanding, shared by every Suites object.
    static ASInt16 fAcquiredCount;

private:
    ASErr AcquireSuites();
    ASErr ReleaseSuites();

    ASErr fError = kNoErr;
    ASUInt16 fOptionalSuitesTotalCount = 0;
    ASUInt16 fRequiredSuitesCount = 0;
    ASUInt16 fOptionalSuitesAcquiredCount = 0;
};

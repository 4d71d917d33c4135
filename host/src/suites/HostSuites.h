// The suite tables the host implements, and the registration of every suite it offers.
#pragma once

#include "AIATEPaint.h"
#include "AIATETextUtil.h"
#include "AIActionManager.h"
#include "AIArray.h"
#include "AIArt.h"
#include "AIArtSet.h"
#include "AIArtStyle.h"
#include "AIArtStyleParser.h"
#include "AIArtboard.h"
#include "AIArtboardRange.h"
#include "AIBeautifulStrokes.h"
#include "AICSXSExtension.h"
#include "AICloudDocument.h"
#include "AIColor.h"
#include "AIColorConversion.h"
#include "AIContext.h"
#include "AICustomColor.h"
#include "AIDictionary.h"
#include "AIDocument.h"
#include "AIDocumentList.h"
#include "AIEntry.h"
#include "AIEnvelope.h"
#include "AIExpand.h"
#include "AIFilePath.h"
#include "AIFolders.h"
#include "AIFont.h"
#include "AIGroup.h"
#include "AIHardSoft.h"
#include "AIIntertwine.h"
#include "AIIsolationMode.h"
#include "AILayer.h"
#include "AILiveEffect.h"
#include "AIMatchingArt.h"
#include "AIMdMemory.h"
#include "AINotifier.h"
#include "AIPaintStyle.h"
#include "AIPath.h"
#include "AIPathStyle.h"
#include "AIPathfinder.h"
#include "AIPlaced.h"
#include "AIPreference.h"
#include "AIRaster.h"
#include "AIRasterExport.h"
#include "AIRasterize.h"
#include "AIRealMath.h"
#include "AIShapeConstruction.h"
#include "AISwatchList.h"
#include "AISymbol.h"
#include "AITag.h"
#include "AITextFrame.h"
#include "AITransformArt.h"
#include "AIUITheme.h"
#include "AIUUID.h"
#include "AIUndo.h"
#include "AIUnicodeString.h"
#include "AIUser.h"
#include "ASUserInteraction.h"
#include "ATESuites.h"
#include "SPAccess.h"
#include "SPBasic.h"
#include "SPPlugins.h"
#include "host/SuiteRegistry.h"

namespace ai {
class FilePath;
}

namespace host {

struct HostState;

inline constexpr const char* kSPBasicSuite = "SP Basic Suite";

extern SPBasicSuite gBasicSuite;
extern SPAccessSuite gAccessSuite;
extern SPPluginsSuite gPluginsSuite;
extern AINotifierSuite gNotifierSuite;
extern AIAppContextSuite gContextSuite;
extern AIUserSuite gUserSuite;
extern AIFilePathSuite gFilePathSuite;
extern AIFoldersSuite gFoldersSuite;
extern AIUnicodeStringSuite gUnicodeStringSuite;
extern AIUIThemeSuite gUIThemeSuite;
extern AIUndoSuite gUndoSuite;
extern AIActionManagerSuite gActionManagerSuite;
extern AICSXSExtensionSuite gCSXSExtensionSuite;
// The suites over the current document.
extern AIArtSuite gArtSuite;
extern AITagSuite gTagSuite;
extern AIMatchingArtSuite gMatchingArtSuite;
extern AIMdMemorySuite gMdMemorySuite;
extern AIUUIDSuite gUUIDSuite;
extern AILayerSuite gLayerSuite;
extern AIGroupSuite gGroupSuite;
extern AIEnvelopeSuite gEnvelopeSuite;
extern AIIntertwineSuite gIntertwineSuite;
extern AIIsolationModeSuite gIsolationModeSuite;
extern AITextFrameSuite gTextFrameSuite;
extern AIDictionarySuite gDictionarySuite;
extern AISymbolSuite gSymbolSuite;
extern AIDocumentSuite gDocumentSuite;
// Geometry, artboards, preferences and the open documents.
extern AIRealMathSuite gRealMathSuite;
extern AITransformArtSuite gTransformArtSuite;
extern AIHardSoftSuite gHardSoftSuite;
extern AIPreferenceSuite gPreferenceSuite;
extern AIArtboardSuite gArtboardSuite;
extern AIArtboardRangeSuite gArtboardRangeSuite;
extern AIDocumentListSuite gDocumentListSuite;
// Documents, files and placing.
extern ASUserInteractionSuite gUserInteractionSuite;
extern AICloudDocumentSuite gCloudDocumentSuite;
extern AIPlacedSuite gPlacedSuite;
// Art styles, expanding and rasterizing.
extern AIArtStyleSuite gArtStyleSuite;
extern AIArtStyleParserSuite gArtStyleParserSuite;
extern AIPathStyleSuite gPathStyleSuite;
extern AIPaintStyleSuite gPaintStyleSuite;
extern AIExpandSuite gExpandSuite;
// Colours, swatches, entries, live effects, beautiful strokes and paths.
extern AICustomColorSuite gCustomColorSuite;
extern AIColorSuite gColorSuite;
extern AIColorConversionSuite gColorConversionSuite;
extern AISwatchListSuite gSwatchListSuite;
extern AISwatchLibrariesSuite gSwatchLibrariesSuite;
extern AIEntrySuite gEntrySuite;
extern AIDictionaryIteratorSuite gDictionaryIteratorSuite;
extern AILiveEffectSuite gLiveEffectSuite;
extern AIArraySuite gArraySuite;
extern AIBeautifulStrokesSuite gBeautifulStrokesSuite;
extern AIPathSuite gPathSuite;
extern AIRasterizeSuite gRasterizeSuite;
extern AIRasterSuite gRasterSuite;
extern AIRasterExportSuite gRasterExportSuite;
// Structure: art sets, new shapes and the pathfinder.
extern AIArtSetSuite gArtSetSuite;
extern AIShapeConstructionSuite gShapeConstructionSuite;
extern AIPathfinderSuite gPathfinderSuite;
// The text engine and the application's suites over it.
extern AIFontSuite gFontSuite;
extern AIATEPaintSuite gATEPaintSuite;
extern AITextUtilSuite gTextUtilSuite;
extern ATETextRangeSuite gTextRangeSuite;
extern ATEStorySuite gStorySuite;
extern ATETextFrameSuite gTextEngineFrameSuite;
extern ATETextFramesIteratorSuite gTextFramesIteratorSuite;
extern ATETextLineSuite gTextLineSuite;
extern ATETextLinesIteratorSuite gTextLinesIteratorSuite;
extern ATEParagraphSuite gParagraphSuite;
extern ATEParagraphsIteratorSuite gParagraphsIteratorSuite;
extern ATECharFeaturesSuite gCharFeaturesSuite;
extern ATEParaFeaturesSuite gParaFeaturesSuite;
extern ATECharStyleSuite gCharStyleSuite;
extern ATEParaStyleSuite gParaStyleSuite;
extern ATECharStylesSuite gCharStylesSuite;
extern ATEParaStylesSuite gParaStylesSuite;
extern ATECharStylesIteratorSuite gCharStylesIteratorSuite;
extern ATEParaStylesIteratorSuite gParaStylesIteratorSuite;
extern ATEDocumentTextResourcesSuite gDocumentTextResourcesSuite;
extern ATEFontSuite gEngineFontSuite;
extern ATEApplicationPaintSuite gApplicationPaintSuite;

// Offers every suite of the platform: the ones implemented with their tables, the others with
// the empty table.
void RegisterHostSuites(SuiteRegistry& registry);

// Makes a file path (possibly the plug-in's own ai::FilePath object) hold the text, without going
// through fault injection.
void SetFilePathText(HostState& state, ai::FilePath& path, const std::string& utf8Path);

}  // namespace host

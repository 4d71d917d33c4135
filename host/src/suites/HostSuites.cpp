// Every suite the application offers. A suite that nobody implements yet hands out the empty
// table; implementing one is one more line in the list at the end.
#include "suites/HostSuites.h"

#include <string>

#include "SuiteCatalogue.h"

namespace host {

void RegisterHostSuites(SuiteRegistry& registry) {
    // The seven suites every plug-in acquires first, and the one it acquires once the application
    // has started.
    registry.Register(kSPAccessSuite, kSPAccessSuiteVersion);
    registry.Register(kSPPluginsSuite, kSPPluginsSuiteVersion);
    registry.Register(kAINotifierSuite, kAINotifierSuiteVersion);
    registry.Register(kAIAppContextSuite, kAIAppContextSuiteVersion);
    registry.Register(kAIUserSuite, kAIUserSuiteVersion);
    registry.Register(kAIFilePathSuite, kAIFilePathSuiteVersion);
    registry.Register(kAIFoldersSuite, kAIFoldersSuiteVersion);
    registry.Register(kAICSXSExtensionSuite, kAICSXSExtensionSuiteVersion);

#define PLIM_REGISTER_APPLICATION_SUITE(type, pointer, name, version) registry.Register(name, version);
    PLIM_APPLICATION_SUITES(PLIM_REGISTER_APPLICATION_SUITE)
#undef PLIM_REGISTER_APPLICATION_SUITE
#define PLIM_REGISTER_TEXT_ENGINE_SUITE(word, version) registry.Register("ATE " #word " Suite", version);
    PLIM_TEXT_ENGINE_SUITES(PLIM_REGISTER_TEXT_ENGINE_SUITE)
#undef PLIM_REGISTER_TEXT_ENGINE_SUITE

    // The implemented suites.
    registry.Implement(kSPAccessSuite, kSPAccessSuiteVersion, &gAccessSuite);
    registry.Implement(kSPPluginsSuite, kSPPluginsSuiteVersion, &gPluginsSuite);
    registry.Implement(kAINotifierSuite, kAINotifierSuiteVersion, &gNotifierSuite);
    registry.Implement(kAIAppContextSuite, kAIAppContextSuiteVersion, &gContextSuite);
    registry.Implement(kAIUserSuite, kAIUserSuiteVersion, &gUserSuite);
    registry.Implement(kAIFilePathSuite, kAIFilePathSuiteVersion, &gFilePathSuite);
    registry.Implement(kAIFoldersSuite, kAIFoldersSuiteVersion, &gFoldersSuite);
    registry.Implement(kAIUnicodeStringSuite, kAIUnicodeStringSuiteVersion, &gUnicodeStringSuite);
    registry.Implement(kAIUIThemeSuite, kAIUIThemeSuiteVersion, &gUIThemeSuite);
    registry.Implement(kAIUndoSuite, kAIUndoSuiteVersion, &gUndoSuite);
    registry.Implement(kAIActionManagerSuite, kAIActionManagerSuiteVersion, &gActionManagerSuite);
    registry.Implement(kAICSXSExtensionSuite, kAICSXSExtensionSuiteVersion, &gCSXSExtensionSuite);
    registry.Implement(kAIArtSuite, kAIArtSuiteVersion, &gArtSuite);
    registry.Implement(kAITagSuite, kAITagSuiteVersion, &gTagSuite);
    registry.Implement(kAIMatchingArtSuite, kAIMatchingArtSuiteVersion, &gMatchingArtSuite);
    registry.Implement(kAIMdMemorySuite, kAIMdMemorySuiteVersion, &gMdMemorySuite);
    registry.Implement(kAIUUIDSuite, kAIUUIDSuiteVersion, &gUUIDSuite);
    registry.Implement(kAILayerSuite, kAILayerSuiteVersion, &gLayerSuite);
    registry.Implement(kAIGroupSuite, kAIGroupSuiteVersion, &gGroupSuite);
    registry.Implement(kAIEnvelopeSuite, kAIEnvelopeSuiteVersion, &gEnvelopeSuite);
    registry.Implement(kAIIntertwineSuite, kAIIntertwineSuiteVersion, &gIntertwineSuite);
    registry.Implement(kAIIsolationModeSuite, kAIIsolationModeSuiteVersion, &gIsolationModeSuite);
    registry.Implement(kAITextFrameSuite, kAITextFrameSuiteVersion, &gTextFrameSuite);
    registry.Implement(kAIDictionarySuite, kAIDictionarySuiteVersion, &gDictionarySuite);
    registry.Implement(kAISymbolSuite, kAISymbolSuiteVersion, &gSymbolSuite);
    registry.Implement(kAIDocumentSuite, kAIDocumentSuiteVersion, &gDocumentSuite);
    registry.Implement(kAIRealMathSuite, kAIRealMathSuiteVersion, &gRealMathSuite);
    registry.Implement(kAITransformArtSuite, kAITransformArtSuiteVersion, &gTransformArtSuite);
    registry.Implement(kAIHardSoftSuite, kAIHardSoftSuiteVersion, &gHardSoftSuite);
    registry.Implement(kAIPreferenceSuite, kAIPreferenceSuiteVersion, &gPreferenceSuite);
    registry.Implement(kAIArtboardSuite, kAIArtboardSuiteVersion, &gArtboardSuite);
    registry.Implement(kAIArtboardRangeSuite, kAIArtboardRangeSuiteVersion, &gArtboardRangeSuite);
    registry.Implement(kAIDocumentListSuite, kAIDocumentListSuiteVersion, &gDocumentListSuite);
    registry.Implement(kAIArtStyleSuite, kAIArtStyleSuiteVersion, &gArtStyleSuite);
    registry.Implement(kAIArtStyleParserSuite, kAIArtStyleParserSuiteVersion, &gArtStyleParserSuite);
    registry.Implement(kAIPathStyleSuite, kAIPathStyleSuiteVersion, &gPathStyleSuite);
    registry.Implement(kAIPaintStyleSuite, kAIPaintStyleSuiteVersion, &gPaintStyleSuite);
    registry.Implement(kAIExpandSuite, kAIExpandSuiteVersion, &gExpandSuite);
    registry.Implement(kAIRasterizeSuite, kAIRasterizeSuiteVersion, &gRasterizeSuite);
    registry.Implement(kAIRasterSuite, kAIRasterSuiteVersion, &gRasterSuite);
    registry.Implement(kAIRasterExportSuite, kAIRasterExportSuiteVersion, &gRasterExportSuite);
    registry.Implement(kAIArtSetSuite, kAIArtSetSuiteVersion, &gArtSetSuite);
    registry.Implement(kAIShapeConstructionSuite, kAIShapeConstructionSuiteVersion, &gShapeConstructionSuite);
    registry.Implement(kAIPathfinderSuite, kAIPathfinderSuiteVersion, &gPathfinderSuite);
    registry.Implement(kAIFontSuite, kAIFontSuiteVersion, &gFontSuite);
    registry.Implement(kAIATEPaintSuite, kAIATEPaintSuiteVersion, &gATEPaintSuite);
    registry.Implement(kAITextUtilSuite, kAITextUtilSuiteVersion, &gTextUtilSuite);
    const auto implementEngine = [&](const char* word, int version, const void* table) {
        registry.Implement(std::string("ATE ") + word + " Suite", version, table);
    };
    implementEngine("TextRange", 2, &gTextRangeSuite);
    implementEngine("Story", 1, &gStorySuite);
    implementEngine("TextFrame", 101, &gTextEngineFrameSuite);
    implementEngine("TextFramesIterator", 1, &gTextFramesIteratorSuite);
    implementEngine("TextLine", 2, &gTextLineSuite);
    implementEngine("TextLinesIterator", 1, &gTextLinesIteratorSuite);
    implementEngine("Paragraph", 1, &gParagraphSuite);
    implementEngine("ParagraphsIterator", 1, &gParagraphsIteratorSuite);
    implementEngine("CharFeatures", 102, &gCharFeaturesSuite);
    implementEngine("ParaFeatures", 102, &gParaFeaturesSuite);
    implementEngine("CharStyle", 1, &gCharStyleSuite);
    implementEngine("ParaStyle", 1, &gParaStyleSuite);
    implementEngine("CharStyles", 1, &gCharStylesSuite);
    implementEngine("ParaStyles", 1, &gParaStylesSuite);
    implementEngine("CharStylesIterator", 1, &gCharStylesIteratorSuite);
    implementEngine("ParaStylesIterator", 1, &gParaStylesIteratorSuite);
    implementEngine("DocumentTextResources", 102, &gDocumentTextResourcesSuite);
    implementEngine("Font", 1, &gEngineFontSuite);
    implementEngine("ApplicationPaint", 1, &gApplicationPaintSuite);
    registry.Implement(kAICustomColorSuite, kAICustomColorSuiteVersion, &gCustomColorSuite);
    registry.Implement(kAIColorSuite, kAIColorSuiteVersion, &gColorSuite);
    registry.Implement(kAIColorConversionSuite, kAIColorConversionSuiteVersion, &gColorConversionSuite);
    registry.Implement(kAISwatchListSuite, kAISwatchListSuiteVersion, &gSwatchListSuite);
    registry.Implement(kAISwatchLibrariesSuite, kAISwatchLibrariesSuiteVersion, &gSwatchLibrariesSuite);
    registry.Implement(kAIEntrySuite, kAIEntrySuiteVersion, &gEntrySuite);
    registry.Implement(kAIDictionaryIteratorSuite, kAIDictionaryIteratorSuiteVersion,
                       &gDictionaryIteratorSuite);
    registry.Implement(kAILiveEffectSuite, kAILiveEffectSuiteVersion, &gLiveEffectSuite);
    registry.Implement(kAIArraySuite, kAIArraySuiteVersion, &gArraySuite);
    registry.Implement(kAIBeautifulStrokesSuite, kAIBeautifulStrokesSuiteVersion, &gBeautifulStrokesSuite);
    registry.Implement(kAIPathSuite, kAIPathSuiteVersion, &gPathSuite);
    registry.Implement(kASUserInteractionSuite, kASUserInteractionSuiteVersion, &gUserInteractionSuite);
    registry.Implement(kAICloudDocumentSuite, kAICloudDocumentSuiteVersion, &gCloudDocumentSuite);
    registry.Implement(kAIPlacedSuite, kAIPlacedSuiteVersion, &gPlacedSuite);
}

}  // namespace host

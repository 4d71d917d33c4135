// The catalogue of the host's suites: every suite the host offers plug-ins, by name and version,
// and the global pointer in which the plug-in keeps it. X-macro lists, in the order in which the
// plug-in acquires them:
//   PLIM_BASIC_SUITES(X)            X(type, pointer, name, version): acquired first, from the
//                                   constants of the suite families' headers, which users include
//   PLIM_APPLICATION_SUITE_ROWS(X, AGAIN)
//                                   X(type, pointer, name, version); AGAIN(...) stands where the
//                                   plug-in's import table names a suite a second time
//   PLIM_APPLICATION_SUITES(X)      the same, every suite once
//   PLIM_TEXT_ENGINE_SUITES(X)      X(word, version): "ATE " + word + " Suite", type ATE<word>Suite,
//                                   pointer s<word>
//   PLIM_POST_STARTUP_SUITES(X)     X(type, pointer, name, version): acquired once the application
//                                   has started
#pragma once

#define PLIM_BASIC_SUITES(X)                                                           \
    X(SPAccessSuite, sSPAccess, kSPAccessSuite, kSPAccessSuiteVersion)                 \
    X(SPPluginsSuite, sSPPlugins, kSPPluginsSuite, kSPPluginsSuiteVersion)             \
    X(AINotifierSuite, sAINotifier, kAINotifierSuite, kAINotifierSuiteVersion)         \
    X(AIAppContextSuite, sAIAppContext, kAIAppContextSuite, kAIAppContextSuiteVersion) \
    X(AIUserSuite, sAIUser, kAIUserSuite, kAIUserSuiteVersion)                         \
    X(AIFilePathSuite, sAIFilePath, kAIFilePathSuite, kAIFilePathSuiteVersion)         \
    X(AIFoldersSuite, sAIFolders, kAIFoldersSuite, kAIFoldersSuiteVersion)

#define PLIM_POST_STARTUP_SUITES(X) \
    X(AICSXSExtensionSuite, sAICSXSExtension, kAICSXSExtensionSuite, kAICSXSExtensionSuiteVersion)

// Two pointers keep names of their own: sAIBeautifulStroke, and AIBlendStyle without the "s".
#define PLIM_APPLICATION_SUITE_ROWS(X, AGAIN)                                                   \
    X(AIFileFormatSuite, sAIFileFormat, "AI File Format Suite", 1016)                           \
    X(AIMatchingArtSuite, sAIMatchingArt, "AI Matching Art Suite", 1007)                        \
    X(AIMdMemorySuite, sAIMdMemory, "AI MdMemory Suite", 1003)                                  \
    X(AIDictionarySuite, sAIDictionary, "AI Dictionary Suite", 1010)                            \
    X(AIDictionaryIteratorSuite, sAIDictionaryIterator, "AI Dictionary Iterator Suite", 1005)   \
    X(AIPreferenceSuite, sAIPreference, "AI Preference Suite", 1007)                            \
    X(AILayerSuite, sAILayer, "AI Layer Suite", 1013)                                           \
    X(AIRuntimeSuite, sAIRuntime, "AI Runtime Suite", 1014)                                     \
    X(AIUndoSuite, sAIUndo, "AI Undo Suite", 1012)                                              \
    X(AITextFrameSuite, sAITextFrame, "AI Text Frame Suite", 1004)                              \
    X(AIFontSuite, sAIFont, "AI Font Suite", 1006)                                              \
    X(AIDataFilterSuite, sAIDataFilter, "AI Data Filter Suite", 1010)                           \
    X(AIStringFormatUtilsSuite, sAIStringFormatUtils, "AI String Format Utils Suite", 1003)     \
    X(AIUIThemeSuite, sAIUITheme, "AI User Interface Theme Suite", 1002)                        \
    X(SPBlocksSuite, sSPBlocks, "SP Blocks Suite", 2)                                           \
    X(AIUnicodeStringSuite, sAIUnicodeString, "AI Unicode String Suite", 1009)                  \
    AGAIN(AIStringFormatUtilsSuite, sAIStringFormatUtils, "AI String Format Utils Suite", 1003) \
    X(AIDocumentSuite, sAIDocument, "AI Document Suite", 1021)                                  \
    X(AIArtSuite, sAIArt, "AI Art Suite", 1021)                                                 \
    X(AIArtSetSuite, sAIArtSet, "AI Art Set Suite", 1009)                                       \
    X(AITagSuite, sAITag, "AI Tag Suite", 1004)                                                 \
    X(AIPathSuite, sAIPath, "AI Path Suite", 1013)                                              \
    X(AIPathStyleSuite, sAIPathStyle, "AI Path Style Suite", 1014)                              \
    X(AIPaintStyleSuite, sAIPaintStyle, "AI Paint Style Suite", 1010)                           \
    X(AISwatchListSuite, sAISwatchList, "AI Swatch List Suite", 1007)                           \
    X(AIATEPaintSuite, sAIATEPaint, "AIATE Paint Suite", 1003)                                  \
    X(AIMenuSuite, sAIMenu, "AI Menu Suite", 1011)                                              \
    X(AIArtStyleSuite, sAIArtStyle, "AI Art Style Suite", 1008)                                 \
    X(AIActionManagerSuite, sAIActionManager, "AI Action Manager Suite", 1005)                  \
    X(AISymbolSuite, sAISymbol, "AI Symbol Suite", 1008)                                        \
    X(AILiveEffectSuite, sAILiveEffect, "AI Live Effect Suite", 1007)                           \
    X(AIArraySuite, sAIArray, "AI Array Suite", 1006)                                           \
    X(AIBeautifulStrokesSuite, sAIBeautifulStroke, "AI Beautiful Strokes Suite", 1003)          \
    X(AIArtStyleParserSuite, sAIArtStyleParser, "AI Art Style Parser Suite", 1009)              \
    X(AIIsolationModeSuite, sAIIsolationMode, "AI Isolation Mode", 1006)                        \
    X(AIPatternSuite, sAIPattern, "AI Pattern Suite", 1010)                                     \
    X(AIUUIDSuite, sAIUUID, "AI UUID Suite", 1003)                                              \
    X(AIRealMathSuite, sAIRealMath, "AI Real Math Suite", 1005)                                 \
    X(AITransformArtSuite, sAITransformArt, "AI Transform Art Suite", 1003)                     \
    X(AIHardSoftSuite, sAIHardSoft, "AI Hard Soft Suite", 1006)                                 \
    X(AIPlacedSuite, sAIPlaced, "AI Placed Suite", 1010)                                        \
    X(ASUserInteractionSuite, sASUserInteraction, "AS User Interaction Suite", 4)               \
    X(AIDocumentListSuite, sAIDocumentList, "AI Document List Suite", 1011)                     \
    X(AIEntrySuite, sAIEntry, "AI Entry Suite", 1007)                                           \
    X(AISwatchGroupSuite, sAISwatchGroup, "AI Swatch Group Suite", 1003)                        \
    X(AISwatchLibrariesSuite, sAISwatchLibraries, "AI Swatch Libraries Suite", 1008)            \
    X(AICustomColorSuite, sAICustomColor, "AI Custom Color Suite", 1008)                        \
    X(AIBlendStyleSuite, AIBlendStyle, "AI Blend Style Suite", 1005)                            \
    X(AIDocumentViewSuite, sAIDocumentView, "AI Document View Suite", 1016)                     \
    X(AIEnvelopeSuite, sAIEnvelope, "AI Envelope Suite", 1004)                                  \
    X(AIShapeConstructionSuite, sAIShapeConstruction, "AI Shape Construction Suite", 1008)      \
    X(AIPathfinderSuite, sAIPathfinder, "AI Pathfinder Suite", 1007)                            \
    X(AIPluginGroupSuite, sAIPluginGroup, "AI Plugin Group Suite", 1006)                        \
    X(AIGroupSuite, sAIGroup, "AI Group Suite", 1005)                                           \
    X(AIArtboardSuite, sAIArtboard, "AI Artboard Suite", 1006)                                  \
    X(AIAssertionSuite, sAIAssertion, "AI Assertion Suite", 1001)                               \
    X(AIColorSuite, sAIColor, "AI Color Suite", 1001)                                           \
    X(AITextUtilSuite, sAITextUtil, "AI ATE Text Util Suite", 1004)                             \
    X(AIExpandSuite, sAIExpand, "AI Expand Suite", 1004)                                        \
    X(AIRasterExportSuite, sAIRasterExport, "AI Raster Export Suite", 1001)                     \
    X(AIRasterizeSuite, sAIRasterize, "AI Rasterize Suite", 1012)                               \
    X(AIRasterSuite, sAIRaster, "AI Raster Suite", 1010)                                        \
    X(AICountedObjectSuite, sAICountedObject, "AI Counted Object Suite", 1003)                  \
    X(AIImageOptSuite, sAIImageOpt, "AI Image Optimization Suite", 1007)                        \
    X(AICloudDocumentSuite, sAICloudDocument, "AI Cloud Document Suite", 1001)                  \
    X(AIArtboardRangeSuite, sAIArtboardRange, "AI Artboard Range Suite", 1004)                  \
    X(AIColorConversionSuite, sAIColorConversion, "AI Color Conversion Suite", 1010)            \
    X(AIIntertwineSuite, sAIIntertwine, "AI Intertwine Suite", 1001)                            \
    X(AIArtConverterSuite, sAIArtConverter, "AI Art Converter Suite", 1003)

#define PLIM_CATALOGUE_NOTHING(type, pointer, name, version)
#define PLIM_APPLICATION_SUITES(X) PLIM_APPLICATION_SUITE_ROWS(X, PLIM_CATALOGUE_NOTHING)

#define PLIM_TEXT_ENGINE_SUITES(X)        \
    X(ApplicationPaint, 1)                \
    X(CompFont, 1)                        \
    X(CompFontClass, 1)                   \
    X(CompFontClassSet, 1)                \
    X(CompFontComponent, 1)               \
    X(CompFontSet, 1)                     \
    X(GlyphRun, 2)                        \
    X(GlyphRunsIterator, 1)               \
    X(ListStyle, 1)                       \
    X(ListStyleSet, 1)                    \
    X(MojiKumi, 1)                        \
    X(MojiKumiSet, 1)                     \
    X(TextFrame, 101)                     \
    X(TextFramesIterator, 1)              \
    X(TextLine, 2)                        \
    X(TextLinesIterator, 1)               \
    X(TextResources, 1)                   \
    X(ApplicationTextResources, 2)        \
    X(DocumentTextResources, 102)         \
    X(VersionInfo, 1)                     \
    X(ArrayApplicationPaintRef, 1)        \
    X(ArrayReal, 1)                       \
    X(ArrayBool, 1)                       \
    X(ArrayInteger, 1)                    \
    X(ArrayLineCapType, 1)                \
    X(ArrayFigureStyle, 1)                \
    X(ArrayLineJoinType, 1)               \
    X(ArrayWariChuJustification, 1)       \
    X(ArrayStyleRunAlignment, 1)          \
    X(ArrayAutoKernType, 1)               \
    X(ArrayBaselineDirection, 1)          \
    X(ArrayLanguage, 1)                   \
    X(ArrayFontCapsOption, 1)             \
    X(ArrayFontBaselineOption, 1)         \
    X(ArrayFontOpenTypePositionOption, 1) \
    X(ArrayUnderlinePosition, 1)          \
    X(ArrayStrikethroughPosition, 1)      \
    X(ArrayParagraphJustification, 1)     \
    X(ArrayArrayReal, 1)                  \
    X(ArrayBurasagariType, 1)             \
    X(ArrayPreferredKinsokuOrder, 1)      \
    X(ArrayKinsokuRef, 1)                 \
    X(ArrayListStyleRef, 1)               \
    X(ArrayListStyleSetRef, 1)            \
    X(ArrayMojiKumiRef, 1)                \
    X(ArrayMojiKumiSetRef, 1)             \
    X(ArrayTabStopsRef, 1)                \
    X(ArrayLeadingType, 1)                \
    X(ArrayFontRef, 1)                    \
    X(ArrayGlyphID, 1)                    \
    X(ArrayRealPoint, 1)                  \
    X(ArrayRealMatrix, 1)                 \
    X(ArrayParagraphDirection, 1)         \
    X(ArrayJustificationMethod, 1)        \
    X(ArrayKashidaWidth, 1)               \
    X(ArrayKashidas, 1)                   \
    X(ArrayDirOverride, 1)                \
    X(ArrayDigitSet, 1)                   \
    X(ArrayDiacVPos, 1)                   \
    X(CharFeatures, 102)                  \
    X(CharInspector, 102)                 \
    X(CharStyle, 1)                       \
    X(CharStyles, 1)                      \
    X(CharStylesIterator, 1)              \
    X(Find, 101)                          \
    X(Font, 1)                            \
    X(Glyph, 1)                           \
    X(Glyphs, 1)                          \
    X(GlyphsIterator, 1)                  \
    X(Kinsoku, 1)                         \
    X(KinsokuSet, 1)                      \
    X(ParaFeatures, 102)                  \
    X(Paragraph, 1)                       \
    X(ParagraphsIterator, 1)              \
    X(ParaInspector, 102)                 \
    X(ParaStyle, 1)                       \
    X(ParaStyles, 1)                      \
    X(ParaStylesIterator, 1)              \
    X(Spell, 102)                         \
    X(Stories, 1)                         \
    X(Story, 1)                           \
    X(TabStop, 1)                         \
    X(TabStops, 1)                        \
    X(TabStopsIterator, 1)                \
    X(TextRange, 2)                       \
    X(TextRanges, 2)                      \
    X(TextRangesIterator, 1)              \
    X(TextRunsIterator, 1)                \
    X(WordsIterator, 1)                   \
    X(ArrayLine, 1)                       \
    X(ArrayComposerEngine, 1)

// Every suite type is declared here; the header of a suite family defines the operations.
#define PLIM_DECLARE_SUITE(type, pointer, name, version) struct type;
PLIM_BASIC_SUITES(PLIM_DECLARE_SUITE)
PLIM_APPLICATION_SUITES(PLIM_DECLARE_SUITE)
PLIM_POST_STARTUP_SUITES(PLIM_DECLARE_SUITE)
#undef PLIM_DECLARE_SUITE
#define PLIM_DECLARE_TEXT_ENGINE_SUITE(word, version) struct ATE##word##Suite;
PLIM_TEXT_ENGINE_SUITES(PLIM_DECLARE_TEXT_ENGINE_SUITE)
#undef PLIM_DECLARE_TEXT_ENGINE_SUITE

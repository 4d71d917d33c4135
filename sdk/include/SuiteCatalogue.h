// The catalogue of the host's suites: every suite the host offers plug-ins, by name and version.
// X-macro lists: X(type, name, version) for the application's suites, and X(word, version) for
// the text engine's suites, each named "ATE " + word + " Suite" with the type ATE<word>Suite.
#pragma once

#define PLIM_APPLICATION_SUITES(X) \
    X(AIFileFormatSuite, "AI File Format Suite", 1016) \
    X(AIMatchingArtSuite, "AI Matching Art Suite", 1007) \
    X(AIMdMemorySuite, "AI MdMemory Suite", 1003) \
    X(AIDictionarySuite, "AI Dictionary Suite", 1010) \
    X(AIDictionaryIteratorSuite, "AI Dictionary Iterator Suite", 1005) \
    X(AIPreferenceSuite, "AI Preference Suite", 1007) \
    X(AILayerSuite, "AI Layer Suite", 1013) \
    X(AIRuntimeSuite, "AI Runtime Suite", 1014) \
    X(AIUndoSuite, "AI Undo Suite", 1012) \
    X(AITextFrameSuite, "AI Text Frame Suite", 1004) \
    X(AIFontSuite, "AI Font Suite", 1006) \
    X(AIDataFilterSuite, "AI Data Filter Suite", 1010) \
    X(AIStringFormatUtilsSuite, "AI String Format Utils Suite", 1003) \
    X(AIUIThemeSuite, "AI User Interface Theme Suite", 1002) \
    X(SPBlocksSuite, "SP Blocks Suite", 2) \
    X(AIUnicodeStringSuite, "AI Unicode String Suite", 1009) \
    X(AIDocumentSuite, "AI Document Suite", 1021) \
    X(AIArtSuite, "AI Art Suite", 1021) \
    X(AIArtSetSuite, "AI Art Set Suite", 1009) \
    X(AITagSuite, "AI Tag Suite", 1004) \
    X(AIPathSuite, "AI Path Suite", 1013) \
    X(AIPathStyleSuite, "AI Path Style Suite", 1014) \
    X(AIPaintStyleSuite, "AI Paint Style Suite", 1010) \
    X(AISwatchListSuite, "AI Swatch List Suite", 1007) \
    X(AIATEPaintSuite, "AIATE Paint Suite", 1003) \
    X(AIMenuSuite, "AI Menu Suite", 1011) \
    X(AIArtStyleSuite, "AI Art Style Suite", 1008) \
    X(AIActionManagerSuite, "AI Action Manager Suite", 1005) \
    X(AISymbolSuite, "AI Symbol Suite", 1008) \
    X(AILiveEffectSuite, "AI Live Effect Suite", 1007) \
    X(AIArraySuite, "AI Array Suite", 1006) \
    X(AIBeautifulStrokesSuite, "AI Beautiful Strokes Suite", 1003) \
    X(AIArtStyleParserSuite, "AI Art Style Parser Suite", 1009) \
    X(AIIsolationModeSuite, "AI Isolation Mode", 1006) \
    X(AIPatternSuite, "AI Pattern Suite", 1010) \
    X(AIUUIDSuite, "AI UUID Suite", 1003) \
    X(AIRealMathSuite, "AI Real Math Suite", 1005) \
    X(AITransformArtSuite, "AI Transform Art Suite", 1003) \
    X(AIHardSoftSuite, "AI Hard Soft Suite", 1006) \
    X(AIPlacedSuite, "AI Placed Suite", 1010) \
    X(ASUserInteractionSuite, "AS User Interaction Suite", 4) \
    X(AIDocumentListSuite, "AI Document List Suite", 1011) \
    X(AIEntrySuite, "AI Entry Suite", 1007) \
    X(AISwatchGroupSuite, "AI Swatch Group Suite", 1003) \
    X(AISwatchLibrariesSuite, "AI Swatch Libraries Suite", 1008) \
    X(AICustomColorSuite, "AI Custom Color Suite", 1008) \
    X(AIBlendStyleSuite, "AI Blend Style Suite", 1005) \
    X(AIDocumentViewSuite, "AI Document View Suite", 1016) \
    X(AIEnvelopeSuite, "AI Envelope Suite", 1004) \
    X(AIShapeConstructionSuite, "AI Shape Construction Suite", 1008) \
    X(AIPathfinderSuite, "AI Pathfinder Suite", 1007) \
    X(AIPluginGroupSuite, "AI Plugin Group Suite", 1006) \
    X(AIGroupSuite, "AI Group Suite", 1005) \
    X(AIArtboardSuite, "AI Artboard Suite", 1006) \
    X(AIAssertionSuite, "AI Assertion Suite", 1001) \
    X(AIColorSuite, "AI Color Suite", 1001) \
    X(AITextUtilSuite, "AI ATE Text Util Suite", 1004) \
    X(AIExpandSuite, "AI Expand Suite", 1004) \
    X(AIRasterExportSuite, "AI Raster Export Suite", 1001) \
    X(AIRasterizeSuite, "AI Rasterize Suite", 1012) \
    X(AIRasterSuite, "AI Raster Suite", 1010) \
    X(AICountedObjectSuite, "AI Counted Object Suite", 1003) \
    X(AIImageOptSuite, "AI Image Optimization Suite", 1007) \
    X(AICloudDocumentSuite, "AI Cloud Document Suite", 1001) \
    X(AIArtboardRangeSuite, "AI Artboard Range Suite", 1004) \
    X(AIColorConversionSuite, "AI Color Conversion Suite", 1010) \
    X(AIIntertwineSuite, "AI Intertwine Suite", 1001) \
    X(AIArtConverterSuite, "AI Art Converter Suite", 1003)

#define PLIM_TEXT_ENGINE_SUITES(X) \
    X(ApplicationPaint, 1) \
    X(CompFont, 1) \
    X(CompFontClass, 1) \
    X(CompFontClassSet, 1) \
    X(CompFontComponent, 1) \
    X(CompFontSet, 1) \
    X(GlyphRun, 2) \
    X(GlyphRunsIterator, 1) \
    X(ListStyle, 1) \
    X(ListStyleSet, 1) \
    X(MojiKumi, 1) \
    X(MojiKumiSet, 1) \
    X(TextFrame, 101) \
    X(TextFramesIterator, 1) \
    X(TextLine, 2) \
    X(TextLinesIterator, 1) \
    X(TextResources, 1) \
    X(ApplicationTextResources, 2) \
    X(DocumentTextResources, 102) \
    X(VersionInfo, 1) \
    X(ArrayApplicationPaintRef, 1) \
    X(ArrayReal, 1) \
    X(ArrayBool, 1) \
    X(ArrayInteger, 1) \
    X(ArrayLineCapType, 1) \
    X(ArrayFigureStyle, 1) \
    X(ArrayLineJoinType, 1) \
    X(ArrayWariChuJustification, 1) \
    X(ArrayStyleRunAlignment, 1) \
    X(ArrayAutoKernType, 1) \
    X(ArrayBaselineDirection, 1) \
    X(ArrayLanguage, 1) \
    X(ArrayFontCapsOption, 1) \
    X(ArrayFontBaselineOption, 1) \
    X(ArrayFontOpenTypePositionOption, 1) \
    X(ArrayUnderlinePosition, 1) \
    X(ArrayStrikethroughPosition, 1) \
    X(ArrayParagraphJustification, 1) \
    X(ArrayArrayReal, 1) \
    X(ArrayBurasagariType, 1) \
    X(ArrayPreferredKinsokuOrder, 1) \
    X(ArrayKinsokuRef, 1) \
    X(ArrayListStyleRef, 1) \
    X(ArrayListStyleSetRef, 1) \
    X(ArrayMojiKumiRef, 1) \
    X(ArrayMojiKumiSetRef, 1) \
    X(ArrayTabStopsRef, 1) \
    X(ArrayLeadingType, 1) \
    X(ArrayFontRef, 1) \
    X(ArrayGlyphID, 1) \
    X(ArrayRealPoint, 1) \
    X(ArrayRealMatrix, 1) \
    X(ArrayParagraphDirection, 1) \
    X(ArrayJustificationMethod, 1) \
    X(ArrayKashidaWidth, 1) \
    X(ArrayKashidas, 1) \
    X(ArrayDirOverride, 1) \
    X(ArrayDigitSet, 1) \
    X(ArrayDiacVPos, 1) \
    X(CharFeatures, 102) \
    X(CharInspector, 102) \
    X(CharStyle, 1) \
    X(CharStyles, 1) \
    X(CharStylesIterator, 1) \
    X(Find, 101) \
    X(Font, 1) \
    X(Glyph, 1) \
    X(Glyphs, 1) \
    X(GlyphsIterator, 1) \
    X(Kinsoku, 1) \
    X(KinsokuSet, 1) \
    X(ParaFeatures, 102) \
    X(Paragraph, 1) \
    X(ParagraphsIterator, 1) \
    X(ParaInspector, 102) \
    X(ParaStyle, 1) \
    X(ParaStyles, 1) \
    X(ParaStylesIterator, 1) \
    X(Spell, 102) \
    X(Stories, 1) \
    X(Story, 1) \
    X(TabStop, 1) \
    X(TabStops, 1) \
    X(TabStopsIterator, 1) \
    X(TextRange, 2) \
    X(TextRanges, 2) \
    X(TextRangesIterator, 1) \
    X(TextRunsIterator, 1) \
    X(WordsIterator, 1) \
    X(ArrayLine, 1) \
    X(ArrayComposerEngine, 1)

// Every suite type is declared here; the header of a suite family defines the operations.
#define PLIM_DECLARE_APPLICATION_SUITE(type, name, version) struct type;
PLIM_APPLICATION_SUITES(PLIM_DECLARE_APPLICATION_SUITE)
#undef PLIM_DECLARE_APPLICATION_SUITE
#define PLIM_DECLARE_TEXT_ENGINE_SUITE(word, version) struct ATE##word##Suite;
PLIM_TEXT_ENGINE_SUITES(PLIM_DECLARE_TEXT_ENGINE_SUITE)
#undef PLIM_DECLARE_TEXT_ENGINE_SUITE

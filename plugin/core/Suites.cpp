// The suite tables and their acquisition.
#include "core/Suites.h"

#include <algorithm>
#include <vector>

#include "SPAccess.h"

namespace {

// Where a table row stores its suite.
template <typename Suite>
const void** SuiteAddress(Suite*& pointer) {
    return reinterpret_cast<const void**>(const_cast<const Suite**>(&pointer));
}

}  // namespace

extern "C" {
SPBasicSuite* sSPBasic = nullptr;

SPAccessSuite* sSPAccess = nullptr;
SPPluginsSuite* sSPPlugins = nullptr;
AINotifierSuite* sAINotifier = nullptr;
AIAppContextSuite* sAIAppContext = nullptr;
AIUserSuite* sAIUser = nullptr;
AIFilePathSuite* sAIFilePath = nullptr;
AIFoldersSuite* sAIFolders = nullptr;
AIFileFormatSuite* sAIFileFormat = nullptr;
AIMatchingArtSuite* sAIMatchingArt = nullptr;
AIMdMemorySuite* sAIMdMemory = nullptr;
AIDictionarySuite* sAIDictionary = nullptr;
AIDictionaryIteratorSuite* sAIDictionaryIterator = nullptr;
AIPreferenceSuite* sAIPreference = nullptr;
AILayerSuite* sAILayer = nullptr;
AIRuntimeSuite* sAIRuntime = nullptr;
AIUndoSuite* sAIUndo = nullptr;
AITextFrameSuite* sAITextFrame = nullptr;
AIFontSuite* sAIFont = nullptr;
AIDataFilterSuite* sAIDataFilter = nullptr;
AIStringFormatUtilsSuite* sAIStringFormatUtils = nullptr;
AIUIThemeSuite* sAIUITheme = nullptr;
SPBlocksSuite* sSPBlocks = nullptr;
AIUnicodeStringSuite* sAIUnicodeString = nullptr;
AIDocumentSuite* sAIDocument = nullptr;
AIArtSuite* sAIArt = nullptr;
AIArtSetSuite* sAIArtSet = nullptr;
AITagSuite* sAITag = nullptr;
AIPathSuite* sAIPath = nullptr;
AIPathStyleSuite* sAIPathStyle = nullptr;
AIPaintStyleSuite* sAIPaintStyle = nullptr;
AISwatchListSuite* sAISwatchList = nullptr;
AIATEPaintSuite* sAIATEPaint = nullptr;
AIMenuSuite* sAIMenu = nullptr;
AIArtStyleSuite* sAIArtStyle = nullptr;
AIActionManagerSuite* sAIActionManager = nullptr;
AISymbolSuite* sAISymbol = nullptr;
AILiveEffectSuite* sAILiveEffect = nullptr;
AIArraySuite* sAIArray = nullptr;
AIBeautifulStrokesSuite* sAIBeautifulStroke = nullptr;
AIArtStyleParserSuite* sAIArtStyleParser = nullptr;
AIIsolationModeSuite* sAIIsolationMode = nullptr;
AIPatternSuite* sAIPattern = nullptr;
AIUUIDSuite* sAIUUID = nullptr;
AIRealMathSuite* sAIRealMath = nullptr;
AITransformArtSuite* sAITransformArt = nullptr;
AIHardSoftSuite* sAIHardSoft = nullptr;
AIPlacedSuite* sAIPlaced = nullptr;
ASUserInteractionSuite* sASUserInteraction = nullptr;
AIDocumentListSuite* sAIDocumentList = nullptr;
AIEntrySuite* sAIEntry = nullptr;
AISwatchGroupSuite* sAISwatchGroup = nullptr;
AISwatchLibrariesSuite* sAISwatchLibraries = nullptr;
AICustomColorSuite* sAICustomColor = nullptr;
AIBlendStyleSuite* AIBlendStyle = nullptr;
AIDocumentViewSuite* sAIDocumentView = nullptr;
AIEnvelopeSuite* sAIEnvelope = nullptr;
AIShapeConstructionSuite* sAIShapeConstruction = nullptr;
AIPathfinderSuite* sAIPathfinder = nullptr;
AIPluginGroupSuite* sAIPluginGroup = nullptr;
AIGroupSuite* sAIGroup = nullptr;
AIArtboardSuite* sAIArtboard = nullptr;
AIAssertionSuite* sAIAssertion = nullptr;
AIColorSuite* sAIColor = nullptr;
AITextUtilSuite* sAITextUtil = nullptr;
AIExpandSuite* sAIExpand = nullptr;
AIRasterExportSuite* sAIRasterExport = nullptr;
AIRasterizeSuite* sAIRasterize = nullptr;
AIRasterSuite* sAIRaster = nullptr;
AICountedObjectSuite* sAICountedObject = nullptr;
AIImageOptSuite* sAIImageOpt = nullptr;
AICloudDocumentSuite* sAICloudDocument = nullptr;
AIArtboardRangeSuite* sAIArtboardRange = nullptr;
AIColorConversionSuite* sAIColorConversion = nullptr;
AIIntertwineSuite* sAIIntertwine = nullptr;
AIArtConverterSuite* sAIArtConverter = nullptr;
AICSXSExtensionSuite* sAICSXSExtension = nullptr;
#define PLIM_DEFINE_TEXT_ENGINE_POINTER(word, version) ATE##word##Suite* s##word = nullptr;
PLIM_TEXT_ENGINE_SUITES(PLIM_DEFINE_TEXT_ENGINE_POINTER)
#undef PLIM_DEFINE_TEXT_ENGINE_POINTER

// The application's suites, then the text engine's. The string format suite stands in two rows;
// each acquisition is matched by its own release.
ImportSuite gImportSuites[] = {
    {"AI File Format Suite", 1016, SuiteAddress(sAIFileFormat)},
    {"AI Matching Art Suite", 1007, SuiteAddress(sAIMatchingArt)},
    {"AI MdMemory Suite", 1003, SuiteAddress(sAIMdMemory)},
    {"AI Dictionary Suite", 1010, SuiteAddress(sAIDictionary)},
    {"AI Dictionary Iterator Suite", 1005, SuiteAddress(sAIDictionaryIterator)},
    {"AI Preference Suite", 1007, SuiteAddress(sAIPreference)},
    {"AI Layer Suite", 1013, SuiteAddress(sAILayer)},
    {"AI Runtime Suite", 1014, SuiteAddress(sAIRuntime)},
    {"AI Undo Suite", 1012, SuiteAddress(sAIUndo)},
    {"AI Text Frame Suite", 1004, SuiteAddress(sAITextFrame)},
    {"AI Font Suite", 1006, SuiteAddress(sAIFont)},
    {"AI Data Filter Suite", 1010, SuiteAddress(sAIDataFilter)},
    {"AI String Format Utils Suite", 1003, SuiteAddress(sAIStringFormatUtils)},
    {"AI User Interface Theme Suite", 1002, SuiteAddress(sAIUITheme)},
    {"SP Blocks Suite", 2, SuiteAddress(sSPBlocks)},
    {"AI Unicode String Suite", 1009, SuiteAddress(sAIUnicodeString)},
    {"AI String Format Utils Suite", 1003, SuiteAddress(sAIStringFormatUtils)},
    {"AI Document Suite", 1021, SuiteAddress(sAIDocument)},
    {"AI Art Suite", 1021, SuiteAddress(sAIArt)},
    {"AI Art Set Suite", 1009, SuiteAddress(sAIArtSet)},
    {"AI Tag Suite", 1004, SuiteAddress(sAITag)},
    {"AI Path Suite", 1013, SuiteAddress(sAIPath)},
    {"AI Path Style Suite", 1014, SuiteAddress(sAIPathStyle)},
    {"AI Paint Style Suite", 1010, SuiteAddress(sAIPaintStyle)},
    {"AI Swatch List Suite", 1007, SuiteAddress(sAISwatchList)},
    {"AIATE Paint Suite", 1003, SuiteAddress(sAIATEPaint)},
    {"AI Menu Suite", 1011, SuiteAddress(sAIMenu)},
    {"AI Art Style Suite", 1008, SuiteAddress(sAIArtStyle)},
    {"AI Action Manager Suite", 1005, SuiteAddress(sAIActionManager)},
    {"AI Symbol Suite", 1008, SuiteAddress(sAISymbol)},
    {"AI Live Effect Suite", 1007, SuiteAddress(sAILiveEffect)},
    {"AI Array Suite", 1006, SuiteAddress(sAIArray)},
    {"AI Beautiful Strokes Suite", 1003, SuiteAddress(sAIBeautifulStroke)},
    {"AI Art Style Parser Suite", 1009, SuiteAddress(sAIArtStyleParser)},
    {"AI Isolation Mode", 1006, SuiteAddress(sAIIsolationMode)},
    {"AI Pattern Suite", 1010, SuiteAddress(sAIPattern)},
    {"AI UUID Suite", 1003, SuiteAddress(sAIUUID)},
    {"AI Real Math Suite", 1005, SuiteAddress(sAIRealMath)},
    {"AI Transform Art Suite", 1003, SuiteAddress(sAITransformArt)},
    {"AI Hard Soft Suite", 1006, SuiteAddress(sAIHardSoft)},
    {"AI Placed Suite", 1010, SuiteAddress(sAIPlaced)},
    {"AS User Interaction Suite", 4, SuiteAddress(sASUserInteraction)},
    {"AI Document List Suite", 1011, SuiteAddress(sAIDocumentList)},
    {"AI Entry Suite", 1007, SuiteAddress(sAIEntry)},
    {"AI Swatch Group Suite", 1003, SuiteAddress(sAISwatchGroup)},
    {"AI Swatch Libraries Suite", 1008, SuiteAddress(sAISwatchLibraries)},
    {"AI Custom Color Suite", 1008, SuiteAddress(sAICustomColor)},
    {"AI Blend Style Suite", 1005, SuiteAddress(AIBlendStyle)},
    {"AI Document View Suite", 1016, SuiteAddress(sAIDocumentView)},
    {"AI Envelope Suite", 1004, SuiteAddress(sAIEnvelope)},
    {"AI Shape Construction Suite", 1008, SuiteAddress(sAIShapeConstruction)},
    {"AI Pathfinder Suite", 1007, SuiteAddress(sAIPathfinder)},
    {"AI Plugin Group Suite", 1006, SuiteAddress(sAIPluginGroup)},
    {"AI Group Suite", 1005, SuiteAddress(sAIGroup)},
    {"AI Artboard Suite", 1006, SuiteAddress(sAIArtboard)},
    {"AI Assertion Suite", 1001, SuiteAddress(sAIAssertion)},
    {"AI Color Suite", 1001, SuiteAddress(sAIColor)},
    {"AI ATE Text Util Suite", 1004, SuiteAddress(sAITextUtil)},
    {"AI Expand Suite", 1004, SuiteAddress(sAIExpand)},
    {"AI Raster Export Suite", 1001, SuiteAddress(sAIRasterExport)},
    {"AI Rasterize Suite", 1012, SuiteAddress(sAIRasterize)},
    {"AI Raster Suite", 1010, SuiteAddress(sAIRaster)},
    {"AI Counted Object Suite", 1003, SuiteAddress(sAICountedObject)},
    {"AI Image Optimization Suite", 1007, SuiteAddress(sAIImageOpt)},
    {"AI Cloud Document Suite", 1001, SuiteAddress(sAICloudDocument)},
    {"AI Artboard Range Suite", 1004, SuiteAddress(sAIArtboardRange)},
    {"AI Color Conversion Suite", 1010, SuiteAddress(sAIColorConversion)},
    {"AI Intertwine Suite", 1001, SuiteAddress(sAIIntertwine)},
    {"AI Art Converter Suite", 1003, SuiteAddress(sAIArtConverter)},
#define PLIM_TEXT_ENGINE_ROW(word, version) {"ATE " #word " Suite", version, SuiteAddress(s##word)},
    PLIM_TEXT_ENGINE_SUITES(PLIM_TEXT_ENGINE_ROW)
#undef PLIM_TEXT_ENGINE_ROW
    {nullptr, 0, nullptr},
};

ImportSuite gPostStartupSuites[] = {
    {"AI CSXS Extension Suite", 1004, SuiteAddress(sAICSXSExtension)},
    {nullptr, 0, nullptr},
};
}

namespace {

// A terminating row with this version announces optional rows after it.
constexpr ASInt32 kOptionalSuitesTag = FourCharCode("OPTS");

ImportSuite gBasicSuites[] = {
    {"SP Access Suite", 3, SuiteAddress(sSPAccess)},
    {"SP Plug-ins Suite", 4, SuiteAddress(sSPPlugins)},
    {"AI Notifier Suite", 1004, SuiteAddress(sAINotifier)},
    {"AI Context Suite", 1010, SuiteAddress(sAIAppContext)},
    {"AI User Suite", 1021, SuiteAddress(sAIUser)},
    {"AI File Path Suite", 1008, SuiteAddress(sAIFilePath)},
    {"AI Folders Suite", 1005, SuiteAddress(sAIFolders)},
};

// The rows whose acquisition is outstanding, once per successful acquire. Two rows can share one
// pointer, so the pointer alone can't tell whether a row still holds the suite.
std::vector<const ImportSuite*>& HeldRows() {
    static std::vector<const ImportSuite*> rows;
    return rows;
}

size_t CountRows(const ImportSuite* first) {
    size_t count = 0;
    while (first[count].name != nullptr) {
        ++count;
    }
    return count;
}

}  // namespace

ASInt16 Suites::fAcquiredCount = 0;

Suites::Suites() {
    fError = AcquireSuites();
    fRequiredSuitesCount = static_cast<ASUInt16>(CountRows(gImportSuites));
    const ImportSuite& terminator = gImportSuites[fRequiredSuitesCount];
    if (terminator.version == kOptionalSuitesTag) {
        fOptionalSuitesTotalCount = static_cast<ASUInt16>(CountRows(&terminator + 1));
    }
    if (fError == kNoErr) {
        acquire_Optional_Suites();
    }
}

Suites::~Suites() { ReleaseSuites(); }

ASErr Suites::AcquireSuite(ImportSuite* row) {
    if (row->suite == nullptr) {
        return kNoErr;
    }
    if (sSPBasic == nullptr) {
        return kSPSuiteNotFoundError;
    }
    ASErr error = sSPBasic->AcquireSuite(row->name, row->version, row->suite);
    if (error == kNoErr) {
        HeldRows().push_back(row);
    }
    return error;
}

ASErr Suites::ReleaseSuite(ImportSuite* row) {
    if (row->suite == nullptr) {
        return kNoErr;
    }
    auto& held = HeldRows();
    auto found = std::find(held.begin(), held.end(), row);
    if (found == held.end()) {
        return kNoErr;
    }
    held.erase(found);
    ASErr error = sSPBasic != nullptr ? sSPBasic->ReleaseSuite(row->name, row->version) : kSPSuiteNotFoundError;
    *row->suite = nullptr;
    return error;
}

ASErr Suites::AcquireSuites() {
    if (fAcquiredCount != 0) {
        ++fAcquiredCount;
        return kNoErr;
    }
    for (ImportSuite& row : gBasicSuites) {
        if (ASErr error = AcquireSuite(&row)) {
            return error;
        }
    }
    for (ImportSuite* row = gImportSuites; row->name != nullptr; ++row) {
        if (ASErr error = AcquireSuite(row)) {
            return error;
        }
    }
    ++fAcquiredCount;
    return kNoErr;
}

void Suites::acquire_Optional_Suites() {
    if (fOptionalSuitesAcquiredCount == fOptionalSuitesTotalCount) {
        return;
    }
    ImportSuite* row = &gImportSuites[fRequiredSuitesCount] + 1;
    for (ASUInt16 i = 0; i < fOptionalSuitesTotalCount && row->suite != nullptr; ++i, ++row) {
        if (*row->suite == nullptr && AcquireSuite(row) == kNoErr) {
            ++fOptionalSuitesAcquiredCount;
        }
    }
}

ASErr Suites::ReleaseSuites() {
    // A failed acquisition leaves the rows before the failure held: they are released whatever
    // the shared count says, so that nothing stays acquired.
    if (fAcquiredCount > 0 && --fAcquiredCount != 0) {
        return kNoErr;
    }
    for (ImportSuite& row : gBasicSuites) {
        if (ASErr error = ReleaseSuite(&row)) {
            return error;
        }
    }
    for (ImportSuite* row = gImportSuites; row->name != nullptr; ++row) {
        if (ASErr error = ReleaseSuite(row)) {
            return error;
        }
    }
    if (gImportSuites[fRequiredSuitesCount].version == kOptionalSuitesTag) {
        ImportSuite* row = &gImportSuites[fRequiredSuitesCount] + 1;
        for (; fOptionalSuitesAcquiredCount != 0 && row->name != nullptr; ++row) {
            if (ASErr error = ReleaseSuite(row)) {
                return error;
            }
            --fOptionalSuitesAcquiredCount;
        }
    }
    return kNoErr;
}

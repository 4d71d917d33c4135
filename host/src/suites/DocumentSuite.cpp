// The document suite: the current document's handle, dictionary and settings, and undo and redo.
#include <cstring>
#include <string>

#include "AIDocument.h"
#include "Documents.h"
#include "HostState.h"
#include "IAIFilePath.hpp"
#include "Transactions.h"
#include "UndoHistory.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"
#include "suites/TextEngineAccess.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIDocumentSuite;

AIErr GetDocument(AIDocumentHandle* document) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "GetDocument");
    error = OutputError(error, document);
    if (error != kNoErr) {
        return Refuse(document, error);
    }
    *document = reinterpret_cast<AIDocumentHandle>(state->documents.handle);
    return kNoErr;
}

AIErr GetDictionary(AIDictionaryRef* dictionary) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "GetDictionary");
    error = OutputError(error, dictionary);
    if (error != kNoErr) {
        return Refuse(dictionary, error);
    }
    // A null art in the address names the document's own dictionary.
    *dictionary = NewDictionaryRef(*state, model::DictionaryRef{});
    return kNoErr;
}

AIErr Step(const char* operation, bool forward) {
    auto [state, current, error] = StartDocumentOperation(kSuite, operation);
    if (error == kNoErr) {
        error = StepHistory(*state, forward);
    }
    Record(state, operation, {}, error);
    return error;
}

AIErr Undo() {
    return Step("Undo", false);
}

AIErr Redo() {
    return Step("Redo", true);
}

AIErr GetDocumentScale(AIReal* scale) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "GetDocumentScale");
    error = OutputError(error, scale);
    if (error != kNoErr) {
        return Refuse(scale, error);
    }
    *scale = current->scale();
    return kNoErr;
}

AIErr GetDocumentRulerUnits(ai::int16* units) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "GetDocumentRulerUnits");
    error = OutputError(error, units);
    if (error != kNoErr) {
        return Refuse(units, error);
    }
    *units = static_cast<ai::int16>(current->rulerUnits());
    return kNoErr;
}

// The document's colour model ("colorModel" of the format; RGB unless set).
AIErr GetDocumentColorModel(ai::int16* colorModel) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "GetDocumentColorModel");
    error = OutputError(error, colorModel);
    if (error != kNoErr) {
        return Refuse(colorModel, error);
    }
    *colorModel = static_cast<ai::int16>(current->colors().colorModel());
    return kNoErr;
}

AIErr SetDocumentColorModel(ai::int16 colorModel) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "SetDocumentColorModel");
    if (error == kNoErr && (colorModel < kDocGrayColor || colorModel > kDocCMYKColor)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr && current->colors().colorModel() != static_cast<model::ColorModel>(colorModel)) {
        current->editColors().setColorModel(static_cast<model::ColorModel>(colorModel));
    }
    Record(state, "SetDocumentColorModel", {std::to_string(colorModel)}, error);
    return error;
}

AIErr GetDocumentFileSpecification(ai::FilePath& file) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "GetDocumentFileSpecification");
    if (error != kNoErr) {
        return error;
    }
    const auto found = state->documents.paths.find(state->documents.handle);
    SetFilePathText(*state, file, found != state->documents.paths.end() ? found->second : std::string());
    return kNoErr;
}

AIErr GetDocumentTextResources(DocumentTextResourcesRef* resources) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "GetDocumentTextResources");
    if ((error = OutputError(error, resources)) != kNoErr) {
        return Refuse(resources, error);
    }
    return Answer(*state, resources, TextResourcesObject{state->documents.handle});
}

AIErr GetDocumentModified(AIBoolean* modified) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "GetDocumentModified");
    error = OutputError(error, modified);
    if (error != kNoErr) {
        return Refuse(modified, error);
    }
    *modified = IsDocumentModified(*state, state->documents.handle) ? 1 : 0;
    return kNoErr;
}

AIErr SetModified(AIBoolean modified) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "SetDocumentModified");
    if (error == kNoErr) {
        host::SetDocumentModified(*state, state->documents.handle, modified != 0);
    }
    Record(state, "SetDocumentModified", {modified != 0 ? "1" : "0"}, error);
    return error;
}

AIErr WriteDocument(const ai::FilePath& file, const char* fileFormatName, ASBoolean /*askForParameters*/) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "WriteDocument");
    const std::string* path = error == kNoErr ? state->text.paths.Find(file.ref()) : nullptr;
    if (error == kNoErr && (path == nullptr || path->empty() || fileFormatName == nullptr ||
                            std::strcmp(fileFormatName, kAIAnyFormatWriter) != 0)) {
        error = kBadParameterErr;
    }
    std::string reason;
    if (error == kNoErr && !WriteDocumentFile(*state, *current, *path, &reason)) {
        error = kCantHappenErr;
    }
    Record(state, "WriteDocument", {path != nullptr ? *path : std::string(), reason}, error);
    return error;
}

AIErr GetDocumentXAP(const char** xap) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "GetDocumentXAP");
    error = OutputError(error, xap);
    if (error != kNoErr) {
        return Refuse(xap, error);
    }
    *xap = current->xmp().c_str();
    return kNoErr;
}

// A null packet takes the document's packet away.
AIErr SetDocumentXAP(const char* xap) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "SetDocumentXAP");
    if (error == kNoErr) {
        current->setXmp(xap != nullptr ? xap : "");
    }
    Record(state, "SetDocumentXAP", {}, error);
    return error;
}

}  // namespace

AIDocumentSuite gDocumentSuite = {
    PLIM_SUITE_FUNCTION(GetDocument),
    PLIM_SUITE_FUNCTION(GetDictionary),
    PLIM_SUITE_FUNCTION(Undo),
    PLIM_SUITE_FUNCTION(Redo),
    PLIM_SUITE_FUNCTION(GetDocumentScale),
    PLIM_SUITE_FUNCTION(GetDocumentRulerUnits),
    PLIM_SUITE_FUNCTION(GetDocumentColorModel),
    PLIM_SUITE_FUNCTION(SetDocumentColorModel),
    PLIM_SUITE_FUNCTION(GetDocumentFileSpecification),
    PLIM_SUITE_FUNCTION(GetDocumentModified),
    PLIM_SUITE_FUNCTION_AS(SetDocumentModified, SetModified),
    PLIM_SUITE_FUNCTION(WriteDocument),
    PLIM_SUITE_FUNCTION(GetDocumentXAP),
    PLIM_SUITE_FUNCTION(SetDocumentXAP),
    PLIM_SUITE_FUNCTION(GetDocumentTextResources),
};

}  // namespace host

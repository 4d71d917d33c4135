// The document suite: the current document's handle, dictionary and settings, and undo and redo.
#include "AIDocument.h"
#include "HostState.h"
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
    if (error == kNoErr && document == nullptr) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(document, error);
    }
    *document = reinterpret_cast<AIDocumentHandle>(state->documents.handle);
    return kNoErr;
}

AIErr GetDictionary(AIDictionaryRef* dictionary) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "GetDictionary");
    if (error == kNoErr && dictionary == nullptr) {
        error = kBadParameterErr;
    }
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
    if (error == kNoErr && scale == nullptr) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(scale, error);
    }
    *scale = current->scale();
    return kNoErr;
}

AIErr GetDocumentRulerUnits(ai::int16* units) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "GetDocumentRulerUnits");
    if (error == kNoErr && units == nullptr) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(units, error);
    }
    *units = static_cast<ai::int16>(current->rulerUnits());
    return kNoErr;
}

// The document's colour model ("colorModel" of the format; RGB unless set).
AIErr GetDocumentColorModel(ai::int16* colorModel) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "GetDocumentColorModel");
    if (error == kNoErr && colorModel == nullptr) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(colorModel, error);
    }
    *colorModel = static_cast<ai::int16>(current->colors().colorModel());
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
    if ((error = OutputError(error, modified)) != kNoErr) {
        return Refuse(modified, error);
    }
    *modified = state->documents.undo.Modified();
    return kNoErr;
}

AIErr SetDocumentModified(AIBoolean modified) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "SetDocumentModified");
    if (error == kNoErr) {
        state->documents.undo.SetModified(modified != 0);
    }
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
    PLIM_SUITE_FUNCTION(GetDocumentTextResources),
    PLIM_SUITE_FUNCTION(GetDocumentModified),
    PLIM_SUITE_FUNCTION(SetDocumentModified),
};

}  // namespace host

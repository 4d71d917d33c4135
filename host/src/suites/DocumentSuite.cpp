// The document suite: the current document's handle, dictionary and settings, and undo and redo.
#include "AIDocument.h"
#include "HostState.h"
#include "UndoHistory.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIDocumentSuite;

template <typename Out>
AIErr Refuse(Out* out, AIErr error) {
    if (out != nullptr) {
        *out = Out{};
    }
    return error;
}

AIErr GetDocument(AIDocumentHandle* document) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "GetDocument");
    if (error == kNoErr && document == nullptr) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(document, error);
    }
    *document = reinterpret_cast<AIDocumentHandle>(state->documentHandle);
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
    if (state != nullptr) {
        state->journal.Record(operation, {}, error);
    }
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

// Documents of this host are RGB documents.
AIErr GetDocumentColorModel(ai::int16* colorModel) {
    auto [state, current, error] = StartDocumentOperation(kSuite, "GetDocumentColorModel");
    if (error == kNoErr && colorModel == nullptr) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(colorModel, error);
    }
    *colorModel = kDocRGBColor;
    return kNoErr;
}

}  // namespace

AIDocumentSuite gDocumentSuite = {GetDocument,      GetDictionary,         Undo,
                                  Redo,             GetDocumentScale,      GetDocumentRulerUnits,
                                  GetDocumentColorModel};

}  // namespace host

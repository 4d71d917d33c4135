// The document list suite: the open documents, the current one first, and the files they came from.
#include <string>

#include "AIDocumentList.h"
#include "Documents.h"
#include "HostState.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIDocumentListSuite;

AIErr Count(ai::int32* count) {
    auto [state, error] = StartOperation(kSuite, "Count");
    error = OutputError(error, count);
    if (error != kNoErr) {
        return Refuse(count, error);
    }
    *count = static_cast<ai::int32>(OpenDocumentHandles(*state).size());
    return kNoErr;
}

AIErr GetNthDocument(AIDocumentHandle* document, ai::int32 n) {
    auto [state, error] = StartOperation(kSuite, "GetNthDocument");
    error = OutputError(error, document);
    const std::vector<std::uintptr_t> handles =
        error == kNoErr ? OpenDocumentHandles(*state) : std::vector<std::uintptr_t>{};
    if (error == kNoErr && (n < 0 || static_cast<std::size_t>(n) >= handles.size())) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(document, error);
    }
    *document = reinterpret_cast<AIDocumentHandle>(handles[static_cast<std::size_t>(n)]);
    return kNoErr;
}

AIErr GetDocumentFilePath(AIDocumentHandle document, ai::FilePath& path) {
    auto [state, error] = StartOperation(kSuite, "GetDocumentFilePath");
    const auto handle = reinterpret_cast<std::uintptr_t>(document);
    if (error == kNoErr && FindOpenDocument(*state, handle) == nullptr) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return error;
    }
    const auto found = state->documents.paths.find(handle);
    SetFilePathText(*state, path, found != state->documents.paths.end() ? found->second : std::string());
    return kNoErr;
}

AIErr Open(const ai::FilePath& file, AIColorModel colorModel, ActionDialogStatus /*dialogStatus*/,
           AIBoolean forceCopy, AIDocumentHandle* document) {
    auto [state, error] = StartOperation(kSuite, "Open");
    const std::string* path = state != nullptr ? state->text.paths.Find(file.ref()) : nullptr;
    if (error == kNoErr && (document == nullptr || path == nullptr)) {
        error = kBadParameterErr;
    }
    std::uintptr_t opened = 0;
    if (error == kNoErr) {
        error = OpenDocumentFile(*state, *path, colorModel, forceCopy != 0, &opened);
    }
    Record(state, "Open", {path != nullptr ? *path : std::string(), std::to_string(colorModel)}, error);
    if (error != kNoErr) {
        return Refuse(document, error);
    }
    *document = reinterpret_cast<AIDocumentHandle>(opened);
    return kNoErr;
}

AIErr Close(AIDocumentHandle document) {
    auto [state, error] = StartOperation(kSuite, "Close");
    if (error == kNoErr) {
        error = CloseOpenDocument(*state, reinterpret_cast<std::uintptr_t>(document));
    }
    Record(state, "Close", {}, error);
    return error;
}

AIErr Activate(AIDocumentHandle document, ASBoolean /*setFocus*/) {
    auto [state, error] = StartOperation(kSuite, "Activate");
    if (error == kNoErr) {
        error = ActivateOpenDocument(*state, reinterpret_cast<std::uintptr_t>(document));
    }
    Record(state, "Activate", {}, error);
    return error;
}

}  // namespace

AIDocumentListSuite gDocumentListSuite = {
    PLIM_SUITE_FUNCTION(Count), PLIM_SUITE_FUNCTION(GetNthDocument), PLIM_SUITE_FUNCTION(GetDocumentFilePath),
    PLIM_SUITE_FUNCTION(Open),  PLIM_SUITE_FUNCTION(Close),          PLIM_SUITE_FUNCTION(Activate),
};

}  // namespace host

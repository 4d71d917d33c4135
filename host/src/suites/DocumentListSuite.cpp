// The document list suite: the open documents, the current one first, and the files they came from.
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
    if (error == kNoErr && count == nullptr) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(count, error);
    }
    *count = static_cast<ai::int32>(OpenDocumentHandles(*state).size());
    return kNoErr;
}

AIErr GetNthDocument(AIDocumentHandle* document, ai::int32 n) {
    auto [state, error] = StartOperation(kSuite, "GetNthDocument");
    if (error == kNoErr && document == nullptr) {
        error = kBadParameterErr;
    }
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

}  // namespace

AIDocumentListSuite gDocumentListSuite = {
    PLIM_SUITE_FUNCTION(Count),
    PLIM_SUITE_FUNCTION(GetNthDocument),
    PLIM_SUITE_FUNCTION(GetDocumentFilePath),
};

}  // namespace host

// The symbol suite: the current document's symbols, in order, and their names. Every symbol of this
// host is listed, so asking for unlisted ones too changes nothing.
#include "AISymbol.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAISymbolSuite;

AIErr CountSymbolPatterns(ai::int32* count, ASBoolean /*includeUnlisted*/) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "CountSymbolPatterns");
    if (error == kNoErr && count == nullptr) {
        error = kBadParameterErr;
    }
    if (count != nullptr) {
        *count = error == kNoErr ? static_cast<ai::int32>(document->symbols().size()) : 0;
    }
    return error;
}

AIErr GetNthSymbolPattern(ai::int32 index, AIPatternHandle* symbol, ASBoolean /*includeUnlisted*/) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetNthSymbolPattern");
    if (error == kNoErr &&
        (symbol == nullptr || index < 0 || static_cast<std::size_t>(index) >= document->symbols().size())) {
        error = kBadParameterErr;
    }
    if (symbol != nullptr) {
        *symbol = error == kNoErr ? SymbolHandleOf(document->symbols()[static_cast<std::size_t>(index)].id)
                                  : nullptr;
    }
    return error;
}

AIErr GetSymbolPatternName(AIPatternHandle symbol, ai::UnicodeString& name) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetSymbolPatternName");
    if (error != kNoErr) {
        return error;
    }
    const model::Symbol* found = document->findSymbol(SymbolIdOf(symbol));
    if (found == nullptr) {
        return kBadParameterErr;
    }
    SetStringText(*state, name, found->name);
    return kNoErr;
}

}  // namespace

AISymbolSuite gSymbolSuite = {
    PLIM_SUITE_FUNCTION(CountSymbolPatterns),
    PLIM_SUITE_FUNCTION(GetNthSymbolPattern),
    PLIM_SUITE_FUNCTION(GetSymbolPatternName),
};

}  // namespace host

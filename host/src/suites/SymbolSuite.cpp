// The symbol suite: the current document's symbols, in order, their names, where they are used,
// new symbols and instances, deleting, and symbols of libraries and other documents. Every symbol of
// this host is listed, so asking for unlisted ones too changes nothing.
#include <string>

#include "AISymbol.h"
#include "Documents.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAISymbolSuite;

// The label of a symbol in the journal: its name, "invalid" for a handle the document doesn't know.
std::string SymbolLabel(const model::Document* document, AIPatternHandle symbol) {
    const model::Symbol* found = document != nullptr ? document->symbols().find(SymbolIdOf(symbol)) : nullptr;
    return found != nullptr ? found->name : "invalid";
}

AIErr AnswerSymbol(const model::Result<model::SymbolId>& result, AIPatternHandle* out) {
    if (!result) {
        return Refuse(out, ErrorFromStatus(result.status()));
    }
    *out = SymbolHandleOf(*result);
    return kNoErr;
}

AIErr CountSymbolPatterns(ai::int32* count, ASBoolean /*includeUnlisted*/) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "CountSymbolPatterns");
    error = OutputError(error, count);
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
    const model::Symbol* found = document->symbols().find(SymbolIdOf(symbol));
    if (found == nullptr) {
        return kBadParameterErr;
    }
    SetStringText(*state, name, found->name);
    return kNoErr;
}

AIErr SetSymbolPatternName(AIPatternHandle symbol, const ai::UnicodeString& name) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "SetSymbolPatternName");
    const std::string label = SymbolLabel(document, symbol);
    const std::optional<std::string> text = state != nullptr ? StringText(*state, name) : std::nullopt;
    if (error == kNoErr) {
        error = text ? ErrorFromStatus(document->editSymbolUses().rename(SymbolIdOf(symbol), *text))
                     : kBadParameterErr;
    }
    Record(state, "SetSymbolPatternName", {label, text.value_or("")}, error);
    return error;
}

// The symbol of the name in the document; kNameNotFoundErr when it has none.
AIErr FindSymbolByName(HostState& state, const model::Document& document, const ai::UnicodeString& name,
                       AIPatternHandle* symbol) {
    const std::optional<std::string> text = StringText(state, name);
    if (!text || symbol == nullptr) {
        return Refuse(symbol, kBadParameterErr);
    }
    const model::SymbolId found = document.symbols().byName(*text);
    *symbol = SymbolHandleOf(found);
    return found ? kNoErr : kNameNotFoundErr;
}

AIErr GetSymbolByName(const ai::UnicodeString& name, AIPatternHandle* symbol) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetSymbolByName");
    return error == kNoErr ? FindSymbolByName(*state, *document, name, symbol) : Refuse(symbol, error);
}

AIErr GetSymbolByNameFromDocument(const ai::UnicodeString& name, AIPatternHandle* symbol,
                                  AIDocumentHandle source) {
    auto [state, error] = StartOperation(kSuite, "GetSymbolByNameFromDocument");
    const model::Document* document =
        error == kNoErr ? FindDocumentOrLibrary(*state, reinterpret_cast<std::uintptr_t>(source)) : nullptr;
    error = OutputError(error, document);
    return error == kNoErr ? FindSymbolByName(*state, *document, name, symbol) : Refuse(symbol, error);
}

// "New Symbol", or "New Symbol N" with the first N from 1 that no symbol has.
std::string FreeSymbolName(const model::Document& document) {
    std::string name = "New Symbol";
    for (int number = 1; document.symbols().byName(name); ++number) {
        name = "New Symbol " + std::to_string(number);
    }
    return name;
}

AIErr NewSymbolPatternFromArt(AIPatternHandle* symbol, AIArtHandle art,
                              AISymbolRegistrationPoint registration, AISymbolType /*type*/,
                              ASBoolean /*enableGuides*/) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "NewSymbolPatternFromArt");
    const std::string label = ArtLabel(document, art);
    if (error == kNoErr && (symbol == nullptr || registration < 1 || registration > 9)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        model::Result<model::ArtTree> artwork = document->copyOf(ArtIdOf(art));
        error = artwork
                    ? AnswerSymbol(
                          document->editSymbols().add(FreeSymbolName(*document), std::move(*artwork)), symbol)
                    : ErrorFromStatus(artwork.status());
    }
    Record(state, "NewSymbolPatternFromArt", {label, std::to_string(registration)}, error);
    return error == kNoErr ? kNoErr : Refuse(symbol, error);
}

AIErr DeleteSymbolPattern(AIPatternHandle symbol) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "DeleteSymbolPattern");
    const std::string label = SymbolLabel(document, symbol);
    if (error == kNoErr) {
        const model::Status status = document->editSymbolUses().remove(SymbolIdOf(symbol));
        error = status == model::Status::notAllowed ? kCantHappenErr : ErrorFromStatus(status);
    }
    Record(state, "DeleteSymbolPattern", {label}, error);
    return error;
}

AIErr GetUsedSymbolPatterns(ai::int32 searchScope, AIPatternHandle*** symbols, ai::int32* count) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetUsedSymbolPatterns");
    if (error == kNoErr && (symbols == nullptr || count == nullptr)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        Refuse(symbols, error);
        return Refuse(count, error);
    }
    const std::vector<model::SymbolId> used = document->symbolUses().used(static_cast<unsigned>(searchScope));
    *symbols = used.empty() ? nullptr : NewSymbolBlock(*state, used);
    *count = static_cast<ai::int32>(used.size());
    return kNoErr;
}

AIErr NewInstanceAtLocation(AIPatternHandle symbol, AIRealPoint location, ai::int16 paintOrder,
                            AIArtHandle prep, AIArtHandle* instance) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "NewInstanceAtLocation");
    const std::string label = SymbolLabel(document, symbol);
    const std::optional<model::PaintOrder> order = model::paintOrderFromCode(paintOrder);
    if (error == kNoErr && (instance == nullptr || !order)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        const model::Result<model::ArtId> made = document->editSymbolUses().newInstance(
            SymbolIdOf(symbol), {location.h, location.v}, *order, ArtIdOf(prep));
        error = made ? kNoErr : ErrorFromStatus(made.status());
        *instance = made ? ArtHandleOf(*made) : nullptr;
    }
    Record(state, "NewInstanceAtLocation", {label, std::to_string(paintOrder)}, error);
    return error == kNoErr ? kNoErr : Refuse(instance, error);
}

AIErr RetargetForCurrentDocument(AIPatternHandle symbol, AIPatternHandle* current) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "RetargetForCurrentDocument");
    const model::Document* source =
        error == kNoErr ? FindDocumentOfSymbol(*state, SymbolIdOf(symbol)) : nullptr;
    if (error == kNoErr && (current == nullptr || source == nullptr)) {
        error = kBadParameterErr;
    }
    const std::string label = SymbolLabel(source, symbol);
    if (error == kNoErr) {
        error = source == document
                    ? AnswerSymbol(SymbolIdOf(symbol), current)
                    : AnswerSymbol(document->editSymbolUses().import(*source, SymbolIdOf(symbol)), current);
    }
    Record(state, "RetargetForCurrentDocument", {label}, error);
    return error == kNoErr ? kNoErr : Refuse(current, error);
}

}  // namespace

AISymbolSuite gSymbolSuite = {
    PLIM_SUITE_FUNCTION(CountSymbolPatterns),
    PLIM_SUITE_FUNCTION(GetNthSymbolPattern),
    PLIM_SUITE_FUNCTION(GetSymbolPatternName),
    PLIM_SUITE_FUNCTION(SetSymbolPatternName),
    PLIM_SUITE_FUNCTION(GetSymbolByName),
    PLIM_SUITE_FUNCTION(GetSymbolByNameFromDocument),
    PLIM_SUITE_FUNCTION(NewSymbolPatternFromArt),
    PLIM_SUITE_FUNCTION(DeleteSymbolPattern),
    PLIM_SUITE_FUNCTION(GetUsedSymbolPatterns),
    PLIM_SUITE_FUNCTION(NewInstanceAtLocation),
    PLIM_SUITE_FUNCTION(RetargetForCurrentDocument),
};

}  // namespace host

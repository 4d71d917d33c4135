// The boundary every suite function is called through, and the journal records the suites share.
#include "suites/SuiteBoundary.h"

#include <exception>
#include <new>

namespace host {

void Record(HostState* state, std::string operation, std::vector<std::string> arguments, AIErr result) {
    if (state != nullptr) {
        state->journal.Record(std::move(operation), std::move(arguments), result);
    }
}

namespace detail {

ASErr CaughtException(const char* operation) noexcept {
    ASErr error = kCantHappenErr;
    const char* text = "unknown exception";
    try {
        throw;
    } catch (const std::bad_alloc& exception) {
        error = kSPOutOfMemoryError;
        text = exception.what();
    } catch (const std::exception& exception) {
        text = exception.what();
    } catch (...) {
    }
    HostState* state = CurrentState();
    if (state == nullptr) {
        return error;
    }
    try {
        state->journal.Record("SuiteException", {operation, text}, error);
    } catch (...) {
        // Not even the record fits in memory: the error code still says what happened.
    }
    return error;
}

}  // namespace detail

}  // namespace host

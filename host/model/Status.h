// Status codes of model operations and the small result type that carries a value or a status.
#pragma once

#include <optional>
#include <utility>

namespace host::model {

// Why a model operation did not do what it was asked. The suites translate these into the error
// codes the plug-in sees; the model itself never throws for bad handles or bad arguments.
enum class Status {
    ok,
    invalidHandle,  // unknown, disposed or null handle
    badParameter,   // an argument out of range, malformed text, a missing required object
    notFound,       // a key, entry or object that is not there
    wrongType,      // an entry or art object of another type than the operation needs
    notAllowed,     // the operation would break the document's structure (cycles, misplaced layers)
};

const char* statusName(Status status);

// A value, or the status that explains why there is none. Reading the value of a failed result is a
// programming error and is checked by the standard library in debug builds (std::optional::value).
template <typename T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}
    // A failure; Status::ok is taken as badParameter so that a result without value never says ok.
    Result(Status status) : status_(status == Status::ok ? Status::badParameter : status) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    Status status() const { return status_; }

    const T& value() const& { return value_.value(); }
    T& value() & { return value_.value(); }
    T&& value() && { return std::move(value_).value(); }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    // The value, or the fallback when there is none.
    T valueOr(T fallback) const { return value_ ? *value_ : std::move(fallback); }

private:
    Status status_ = Status::ok;
    std::optional<T> value_;
};

}  // namespace host::model

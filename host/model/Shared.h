// A value held on the heap and shared between copies until one of them changes it (copy on write),
// so that copies of large parts of the model (an object's data, the document's own state) cost a
// pointer until they differ.
#pragma once

#include <memory>
#include <utility>

namespace host::model {

// Reading goes through * and ->, which give const access only; changing goes through edit(), which
// first makes the value this holder's own when another holder shares it.
template <typename T>
class Shared {
public:
    Shared() : held_(std::make_shared<T>()) {}
    Shared(T value) : held_(std::make_shared<T>(std::move(value))) {}
    // A move copies the pointer, so that a moved-from holder still holds a value.
    Shared(const Shared&) = default;
    Shared& operator=(const Shared&) = default;

    const T& operator*() const { return *held_; }
    const T* operator->() const { return held_.get(); }

    // The value, unshared: changes through the reference reach this holder only.
    T& edit() {
        if (held_.use_count() > 1) {
            held_ = std::make_shared<T>(*held_);
        }
        return *held_;
    }

    // Holders compare by their values; the same value held twice is equal without looking at it.
    friend bool operator==(const Shared& a, const Shared& b) {
        return a.held_ == b.held_ || *a.held_ == *b.held_;
    }

private:
    std::shared_ptr<T> held_;
};

}  // namespace host::model

// A heap-held value with value semantics, for the recursive parts of the model (dictionaries that
// hold dictionaries and art copies, art copies that hold dictionaries).
#pragma once

#include <memory>
#include <utility>

namespace host::model {

// Copying copies the held value. Moving also leaves the source holding a (moved-from) value, so a
// Box never holds nothing and never needs a null check.
template <typename T>
class Box {
public:
    Box(T value) : held_(std::make_unique<T>(std::move(value))) {}
    Box(const Box& other) : held_(std::make_unique<T>(*other.held_)) {}
    Box(Box&& other) : held_(std::make_unique<T>(std::move(*other.held_))) {}
    Box& operator=(const Box& other) {
        if (this != &other) {
            held_ = std::make_unique<T>(*other.held_);
        }
        return *this;
    }
    Box& operator=(Box&& other) {
        if (this != &other) {
            *held_ = std::move(*other.held_);
        }
        return *this;
    }
    ~Box() = default;

    T& operator*() { return *held_; }
    const T& operator*() const { return *held_; }
    T* operator->() { return held_.get(); }
    const T* operator->() const { return held_.get(); }

    // Boxes compare by the values they hold.
    friend bool operator==(const Box& a, const Box& b) { return *a.held_ == *b.held_; }

private:
    std::unique_ptr<T> held_;
};

}  // namespace host::model

// GapArray: a sequence held with a gap at the place of its last edit, so that a series of edits
// that moves through it (find and replace, front to back) costs the distance between them rather
// than the length of what follows each one.
//
// Reading an element by index costs a constant; an edit moves the gap to its place first. The
// sequence as one contiguous container (flat) closes the gap, which costs the length once; the
// next edit opens it again.
#pragma once

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <utility>

namespace host::model {

template <typename Container>
class GapArray {
public:
    using value_type = typename Container::value_type;

    GapArray() = default;
    explicit GapArray(Container items) : items_(std::move(items)) {}

    std::size_t size() const { return items_.size() - gapLength_; }
    bool empty() const { return size() == 0; }

    const value_type& operator[](std::size_t index) const { return items_[Slot(index)]; }
    value_type& operator[](std::size_t index) { return items_[Slot(index)]; }
    const value_type& at(std::size_t index) const {
        if (index >= size()) {
            throw std::out_of_range("GapArray::at");
        }
        return (*this)[index];
    }
    value_type& at(std::size_t index) {
        if (index >= size()) {
            throw std::out_of_range("GapArray::at");
        }
        return (*this)[index];
    }

    // Inserts count copies of the elements from first at position.
    template <typename Iterator>
    void insert(std::size_t position, Iterator first, std::size_t count) {
        OpenGap(position, count);
        for (std::size_t index = 0; index < count; ++index, ++first) {
            items_[gapStart_ + index] = *first;
        }
        gapStart_ += count;
        gapLength_ -= count;
    }
    void insertCopies(std::size_t position, std::size_t count, const value_type& value) {
        OpenGap(position, count);
        std::fill_n(items_.begin() + static_cast<std::ptrdiff_t>(gapStart_), count, value);
        gapStart_ += count;
        gapLength_ -= count;
    }
    void erase(std::size_t position, std::size_t count) {
        if (count == 0) {
            return;
        }
        MoveGap(position);
        gapLength_ += count;
    }

    // The elements as one container, the gap closed.
    const Container& flat() const {
        if (gapLength_ > 0) {
            MoveGap(size());
            items_.resize(size());
            gapLength_ = 0;
        }
        return items_;
    }

    friend bool operator==(const GapArray& a, const GapArray& b) {
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t index = 0; index < a.size(); ++index) {
            if (!(a[index] == b[index])) {
                return false;
            }
        }
        return true;
    }

private:
    std::size_t Slot(std::size_t index) const { return index < gapStart_ ? index : index + gapLength_; }

    // Puts the gap at position, moving the elements between its old and new places.
    void MoveGap(std::size_t position) const {
        if (gapLength_ == 0) {
            gapStart_ = position;
            return;
        }
        const auto at = [this](std::size_t slot) {
            return items_.begin() + static_cast<std::ptrdiff_t>(slot);
        };
        if (position < gapStart_) {
            std::move_backward(at(position), at(gapStart_), at(gapStart_ + gapLength_));
        } else if (position > gapStart_) {
            std::move(at(gapStart_ + gapLength_), at(position + gapLength_), at(gapStart_));
        }
        gapStart_ = position;
    }

    // Puts the gap at position with room for count elements; a gap that grows takes an eighth of
    // the sequence more, so that growing costs the length only now and then.
    void OpenGap(std::size_t position, std::size_t count) {
        MoveGap(position);
        if (gapLength_ >= count) {
            return;
        }
        const std::size_t grow = count - gapLength_ + size() / 8;
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(gapStart_), grow, value_type{});
        gapLength_ += grow;
    }

    // Mutable: closing the gap to read the sequence whole leaves its elements as they are.
    mutable Container items_;
    mutable std::size_t gapStart_ = 0;
    mutable std::size_t gapLength_ = 0;
};

}  // namespace host::model

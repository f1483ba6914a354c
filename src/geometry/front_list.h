#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <iterator>

namespace orvo {

// An ordered list whose insertions go to the front, so that it reads in the
// reverse order of insertion. Copying inserts a copy of each source element,
// in source order, at the front: a copy therefore holds the elements in the
// reverse order of its source. Moving keeps the order (nothing is copied).
// These orders are visible in the files the program writes (hole order in a
// drawing, segment order in a discretised arc), so they are kept exactly.
template <typename T>
class FrontList {
public:
    using value_type = T;
    using iterator = typename std::deque<T>::iterator;
    using const_iterator = typename std::deque<T>::const_iterator;

    FrontList() = default;
    FrontList(const FrontList& other) { copyReversed(other); }
    FrontList(FrontList&&) noexcept = default;
    FrontList& operator=(const FrontList& other)
    {
        if (this != &other) {
            items_.clear();
            copyReversed(other);
        }
        return *this;
    }
    FrontList& operator=(FrontList&&) noexcept = default;

    // Links a copy of the value directly after the head: it becomes the first element.
    void insert(const T& value) { items_.push_front(value); }
    void insert(T&& value) { items_.push_front(std::move(value)); }

    // Appends every element of the source by front insertion: the source elements end up
    // in reverse order in front of the existing ones.
    void insertAll(const FrontList& source)
    {
        for (const T& value : source.items_) items_.push_front(value);
    }

    // Unlinks one element; asking to erase the end (the tail sentinel) does nothing.
    iterator erase(const_iterator position)
    {
        if (position == items_.cend()) return items_.end();
        return items_.erase(position);
    }
    void clear() { items_.clear(); }

    int32_t count() const { return static_cast<int32_t>(items_.size()); }
    bool empty() const { return items_.empty(); }

    T& front() { return items_.front(); }
    const T& front() const { return items_.front(); }

    iterator begin() { return items_.begin(); }
    iterator end() { return items_.end(); }
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }

private:
    void copyReversed(const FrontList& other)
    {
        for (const T& value : other.items_) items_.push_front(value);
    }

    std::deque<T> items_;
};

}  // namespace orvo

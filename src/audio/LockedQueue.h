// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <mutex>
#include <optional>
#include <vector>

// A queue between threads under a short lock: no waiting on it, no work
// done while it is held.
template <typename T>
class LockedQueue {
public:
    // True when the queue was empty before.
    bool push(T item)
    {
        std::lock_guard lock(mutex_);
        const bool wasEmpty = items_.empty();
        items_.push_back(std::move(item));
        return wasEmpty;
    }
    std::optional<T> pop()
    {
        std::lock_guard lock(mutex_);
        if (items_.empty()) {
            return std::nullopt;
        }
        T item = std::move(items_.front());
        items_.pop_front();
        return item;
    }
    std::vector<T> takeAll()
    {
        std::lock_guard lock(mutex_);
        std::vector<T> all(std::make_move_iterator(items_.begin()),
                           std::make_move_iterator(items_.end()));
        items_.clear();
        return all;
    }
    bool empty() const
    {
        std::lock_guard lock(mutex_);
        return items_.empty();
    }

private:
    mutable std::mutex mutex_;
    std::deque<T> items_;
};

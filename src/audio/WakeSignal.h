// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>

struct SDL_semaphore;

// Wakes one waiting thread. notify() may be called from the output callback:
// it never blocks or allocates (a semaphore post at most once per wait).
class WakeSignal {
public:
    WakeSignal();
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    void notify() noexcept;
    // Returns when notified or when the timeout has passed.
    void waitFor(std::chrono::milliseconds timeout) noexcept;

private:
    std::atomic<bool> pending_{false};
    SDL_semaphore* sem_;
};

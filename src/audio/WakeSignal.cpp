// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/WakeSignal.h"

#include <SDL.h>

WakeSignal::WakeSignal() : sem_(SDL_CreateSemaphore(0)) {}

WakeSignal::~WakeSignal()
{
    if (sem_ != nullptr) {
        SDL_DestroySemaphore(sem_);
    }
}

void WakeSignal::notify() noexcept
{
    if (!pending_.exchange(true, std::memory_order_acq_rel) && sem_ != nullptr) {
        SDL_SemPost(sem_);
    }
}

void WakeSignal::waitFor(std::chrono::milliseconds timeout) noexcept
{
    if (sem_ == nullptr) {
        SDL_Delay(static_cast<Uint32>(timeout.count()));
        return;
    }
    SDL_SemWaitTimeout(sem_, static_cast<Uint32>(timeout.count()));
    // A notify from here on posts again. One that came between the wake-up
    // and this reset is seen by the caller's look around after the wait. A
    // count left behind only makes the next wait return at once: draining it
    // could swallow a notify that came just now, and the waiter would sleep
    // through it.
    pending_.store(false, std::memory_order_release);
}

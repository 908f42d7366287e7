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
    // Posts that raced with the flag reset leave a count behind: drain it so
    // the next wait really waits.
    while (SDL_SemTryWait(sem_) == 0) {
    }
    pending_.store(false, std::memory_order_release);
}

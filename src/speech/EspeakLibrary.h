// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SynthSink.h"
#include "speech/VoiceCatalog.h"

#include <cstdint>
#include <mutex>
#include <vector>

// espeak-ng keeps one global state per process: it can be started only once
// (starting it again after ending it hangs) and is not thread-safe. This
// object starts it on first use and is the one way to reach it; every call
// into the synthesizer is made with lock() held, from a synthesis thread.
class EspeakLibrary {
public:
    // Starts the synthesizer on first use (about a tenth of a second).
    static EspeakLibrary& instance();

    bool ready() const { return sampleRate_ > 0; }
    int sampleRate() const { return sampleRate_; }
    const std::vector<SynthVoice>& voices() const { return voices_; }
    const std::vector<SynthVoice>& variants() const { return variants_; }

    std::unique_lock<std::mutex> lock() { return std::unique_lock<std::mutex>(mutex_); }

    // With the lock held: the settings last put on the synthesizer, so that a
    // speaker can tell whether its own are still in place.
    std::uint64_t appliedSettings = 0;

    // With the lock held: synthesizes the text to the end (or until the sink
    // aborts) on the calling thread; words are named from the text. False
    // when the synthesizer refused it.
    bool synthesize(const QString& text, unsigned flags, SynthSink& sink);

private:
    EspeakLibrary();

    std::mutex mutex_;
    int sampleRate_ = 0;
    std::vector<SynthVoice> voices_;
    std::vector<SynthVoice> variants_;
};

#pragma once

#include "speech/VoiceCatalog.h"

#include <cstdint>
#include <mutex>
#include <vector>

#include <espeak-ng/speak_lib.h>

// Receives the synthesizer's output during EspeakLibrary::synthesize().
class SynthSink {
public:
    virtual ~SynthSink() = default;
    // A block of mono 16-bit samples (possibly none) and its events, ended by
    // an event of type 0. Returns false to abort the text.
    virtual bool onSynthBlock(const short* samples, int count, const espeak_EVENT* events) = 0;
};

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

    // With the lock held: synthesizes UTF-8 text to the end (or until the sink
    // aborts) on the calling thread. False when the synthesizer refused it.
    bool synthesize(const QByteArray& utf8, unsigned flags, SynthSink& sink);

private:
    EspeakLibrary();
    static int onBlock(short* samples, int count, espeak_EVENT* events);

    std::mutex mutex_;
    int sampleRate_ = 0;
    std::vector<SynthVoice> voices_;
    std::vector<SynthVoice> variants_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SpeechConfig.h"
#include "speech/SpokenWord.h"
#include "speech/VoiceCatalog.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class TextSynthesis;
class VoiceOutput;

// The synthesis thread: takes texts in order, synthesizes each on its voice's
// synthesizer (espeak-ng or flite) and pushes its samples into the voice
// output as they come.
// Public methods are for the owner's thread (the GUI thread) unless marked.
class SynthesisWorker {
public:
    // Starts the thread and waits until the synthesizers are up and their
    // voices are listed. The output must outlive the worker.
    explicit SynthesisWorker(VoiceOutput& output);
    ~SynthesisWorker();
    SynthesisWorker(const SynthesisWorker&) = delete;
    SynthesisWorker& operator=(const SynthesisWorker&) = delete;

    const VoiceCatalog& catalog() const { return catalog_; }

    // Queues a text; returns its number (1, 2, ...).
    std::uint64_t enqueue(const QString& text, std::shared_ptr<const SpeechConfig> config);
    // Drops every queued text, ends the one being synthesized and flushes the
    // voice output.
    void cancelAll();
    // Any thread: true while a handed-over text is not yet fully synthesized.
    bool busy() const;

    void setWordListener(WordListener listener);
    // Called on the synthesis thread each time the voice falls silent: the
    // queue is empty and the last pushed sample has left the output (the
    // output tells when that may be; nothing polls).
    void setSilenceListener(std::function<void()> listener);

private:
    struct Job {
        std::uint64_t number = 0;
        QString text;
        std::shared_ptr<const SpeechConfig> config;
    };

    void run();
    void waitForSilence();
    void speak(const Job& job, WordListener listener);
    void speakEspeak(const QString& text, const SpeechConfig& config, TextSynthesis& synthesis);
    void speakFlite(const QString& text, const SpeechConfig& config, TextSynthesis& synthesis);
    bool cancelled(std::uint64_t number) const { return number <= cancelledThrough_.load(); }

    VoiceOutput& output_;
    VoiceCatalog catalog_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> queue_;
    bool quit_ = false;
    WordListener listener_;
    std::function<void()> silenceListener_;

    std::atomic<std::uint64_t> handed_{0};
    std::atomic<std::uint64_t> finished_{0};
    std::atomic<std::uint64_t> cancelledThrough_{0};

    std::thread thread_;
};

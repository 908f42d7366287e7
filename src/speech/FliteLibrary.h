// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/SynthSink.h"
#include "speech/VoiceCatalog.h"

#include <QByteArray>
#include <mutex>
#include <vector>

struct cst_voice_struct;

// flite and its English voices, built into the program. flite keeps global
// state and its voices are shared objects that a synthesis changes (its
// settings ride on the voice), so one object starts it on first use and is
// the one way to reach it; every synthesis is made with lock() held, from a
// synthesis thread.
class FliteLibrary {
public:
    // How a text is spoken, relative to the voice's own way.
    struct Tuning {
        double durationStretch = 1.0;  // 2 takes twice as long
        double pitchFactor = 1.0;      // times the voice's mean pitch
        double rangeFactor = 1.0;      // times the voice's pitch variation
    };

    static FliteLibrary& instance();

    // In the order they are listed: the most natural voice first.
    const std::vector<FliteVoice>& voices() const { return voices_; }
    // 0 when there is no such voice.
    int sampleRate(const QByteArray& voiceName) const;

    std::unique_lock<std::mutex> lock() { return std::unique_lock<std::mutex>(mutex_); }

    // With the lock held: synthesizes a plain text (no markup is obeyed) as
    // one utterance to the end, or until the sink aborts; the sink hears
    // blocks of about 20 ms as the voice makes them. False when there is no
    // such voice.
    bool synthesize(const QByteArray& voiceName, const QString& text, const Tuning& tuning,
                    SynthSink& sink);

private:
    struct Loaded {
        cst_voice_struct* voice = nullptr;
        float pitchMean = 0;
        float pitchDeviation = 0;
        float durationStretch = 1;
    };

    FliteLibrary();
    const Loaded* find(const QByteArray& voiceName) const;

    std::mutex mutex_;
    std::vector<FliteVoice> voices_;
    std::vector<Loaded> loaded_;
};

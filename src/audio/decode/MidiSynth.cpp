// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/decode/MidiSynth.h"

#include <fluidsynth.h>
#include <QFile>
#include <mutex>

namespace {
// FluidSynth's default gain (0.2) leaves General MIDI songs far quieter than
// mastered mp3s; this brings a typical arrangement to a similar loudness
// without clipping.
constexpr double kGain = 0.6;

void silenceLibraryLog()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) {
            fluid_set_log_function(level, nullptr, nullptr);
        }
    });
}
}  // namespace

MidiSynth::MidiSynth(QString soundFont) : soundFont_(std::move(soundFont)) {}

MidiSynth::~MidiSynth()
{
    if (synth_ != nullptr) {
        delete_fluid_synth(synth_);
    }
    if (settings_ != nullptr) {
        delete_fluid_settings(settings_);
    }
}

fluid_synth_t* MidiSynth::synth()
{
    if (tried_) {
        return synth_;
    }
    tried_ = true;
    silenceLibraryLog();
    settings_ = new_fluid_settings();
    if (settings_ == nullptr) {
        return nullptr;
    }
    fluid_settings_setnum(settings_, "synth.sample-rate", kRate);
    fluid_settings_setnum(settings_, "synth.gain", kGain);
    // Songs are rendered offline: the player follows the rendered samples,
    // not the wall clock.
    fluid_settings_setstr(settings_, "player.timing-source", "sample");
    fluid_settings_setint(settings_, "synth.threadsafe-api", 0);
    synth_ = new_fluid_synth(settings_);
    const QByteArray font = QFile::encodeName(soundFont_);
    if (synth_ != nullptr && fluid_synth_sfload(synth_, font.constData(), 1) == FLUID_FAILED) {
        delete_fluid_synth(synth_);
        synth_ = nullptr;
    }
    return synth_;
}

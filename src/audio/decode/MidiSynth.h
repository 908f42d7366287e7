// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct _fluid_hashtable_t;
struct _fluid_synth_t;

// FluidSynth with the General MIDI sound font loaded, kept from one MIDI song
// to the next: loading the font takes about a tenth of a second. Built on
// first use; used by one decoder at a time, on the decode thread.
class MidiSynth {
public:
    static constexpr int kRate = 44100;

    explicit MidiSynth(QString soundFont);
    ~MidiSynth();
    MidiSynth(const MidiSynth&) = delete;
    MidiSynth& operator=(const MidiSynth&) = delete;

    const QString& soundFont() const { return soundFont_; }
    // Null when the synthesizer or the font cannot be loaded.
    _fluid_synth_t* synth();

private:
    QString soundFont_;
    bool tried_ = false;
    _fluid_hashtable_t* settings_ = nullptr;
    _fluid_synth_t* synth_ = nullptr;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/VoiceSettings.h"

#include <QString>

// What the voice dialogs may do to the voice. GUI thread only.
class VoiceTuning {
public:
    virtual ~VoiceTuning() = default;

    virtual VoiceSettings voiceSettings() const = 0;
    // Takes effect at once, for every text handed over from now on; not kept.
    virtual void applyVoiceSettings(const VoiceSettings& settings) = 0;
    // Keeps the settings in effect in the program's settings; true when written.
    virtual bool saveVoiceSettings() = 0;
    // Stops any speech and speaks the text with the settings in effect.
    virtual void tryVoice(const QString& text) = 0;
};

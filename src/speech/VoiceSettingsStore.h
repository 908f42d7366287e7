#pragma once

#include "speech/VoiceSettings.h"

class QSettings;

// Keeps the voice settings in the "Voice" section, beside the program's
// Options (same company and application words). Values that are missing or
// unreadable fall back to the defaults. GUI thread only.
class VoiceSettingsStore {
public:
    static const QString kSection;

    VoiceSettings load() const;
    // Replaces the whole section in one write; true when it was written.
    bool save(const VoiceSettings& settings);
};

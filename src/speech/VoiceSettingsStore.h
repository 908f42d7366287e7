// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "speech/VoiceSettings.h"

#include <memory>

class QSettings;

// Keeps the voice settings in the "Voice" section, beside the program's
// Options (same company and application words). Values that are missing or
// unreadable fall back to the defaults; so does a settings file that is left
// alone (see SettingsFile), which is then not written either. GUI thread only.
class VoiceSettingsStore {
public:
    static const QString kSection;

    VoiceSettings load() const;
    // Replaces the whole section in one write; true when it was written.
    bool save(const VoiceSettings& settings);

private:
    std::unique_ptr<QSettings> open() const;

    mutable QString told_;
};

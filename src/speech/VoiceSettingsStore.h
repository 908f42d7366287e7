#pragma once

#include "speech/VoiceSettings.h"

#include <memory>

class CRegSettings;

// Keeps the voice settings in the "Voice" section, beside the program's
// Options. Values that are missing or unreadable fall back to the defaults.
// GUI thread only.
class VoiceSettingsStore {
public:
    static const QString kSection;

    // A store on the program's own settings location.
    VoiceSettingsStore();
    // A store on the given settings (not owned; must outlive this object).
    explicit VoiceSettingsStore(CRegSettings& settings);
    ~VoiceSettingsStore();
    VoiceSettingsStore(const VoiceSettingsStore&) = delete;
    VoiceSettingsStore& operator=(const VoiceSettingsStore&) = delete;

    VoiceSettings load() const;
    // True when every value was written.
    bool save(const VoiceSettings& settings);

private:
    int readInt(const QString& key, int fallback) const;
    QString read(const QString& key, const QString& fallback) const;
    bool write(const QString& key, const QString& value);

    std::unique_ptr<CRegSettings> owned_;
    CRegSettings* settings_;
};

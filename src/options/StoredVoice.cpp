// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/StoredVoice.h"

#include "settings/RadioSettings.h"
#include "speech/SpeechEngine.h"

#include <exception>

namespace {
// Start-up goes on whatever one step does.
template <typename Step>
void guarded(Step&& step)
{
    try {
        step();
    } catch (const std::exception&) {
    }
}

void chooseStoredEngine(RadioSettings& settings, const SpeechEngine& voice)
{
    const QString key(RadioSettings::kEngineVoiceKey);
    const QString identity = settings.storedText(key, QString());
    if (!identity.isEmpty()) {
        const int engine = voice.engineForIdentity(identity);
        if (engine > 0) {
            settings.EngineNum = engine;
        }
        return;
    }
    if (settings.storedText(settings.EngineNum.key(), QString()).isEmpty()) {
        return;
    }
    settings.EngineNum = voice.migratedEngineNumber(settings.EngineNum);
    const QString migrated = voice.engineIdentity(settings.EngineNum);
    if (!migrated.isEmpty()) {
        settings.write(settings.EngineNum);
        settings.writeText(key, migrated);
    }
}
}  // namespace

void UseStoredVoice(RadioSettings& settings, SpeechEngine& voice)
{
    guarded([&] { chooseStoredEngine(settings, voice); });
    guarded([&] { voice.selectEngine(settings.EngineNum); });
    guarded([&] { voice.setSpeed(settings.EngineSpeed); });
}

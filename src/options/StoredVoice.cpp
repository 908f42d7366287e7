// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/StoredVoice.h"

#include "base/GuardedStep.h"
#include "settings/RadioSettings.h"
#include "speech/SpeechEngine.h"

namespace {

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
    guardedStep([&] { chooseStoredEngine(settings, voice); });
    guardedStep([&] { voice.selectEngine(settings.EngineNum); });
    guardedStep([&] { voice.setSpeed(settings.EngineSpeed); });
}

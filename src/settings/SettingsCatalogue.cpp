#include "settings/SettingsCatalogue.h"

#include "base/ProgramNames.h"
#include "base/RandomSource.h"
#include "settings/CRegSettings.h"
#include "settings/RadioSettings.h"
#include "speech/SpeechEngine.h"

#include <cmath>
#include <exception>
#include <span>

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

// The engine to use: the one whose voice was stored beside the number, else
// the stored number. A number stored before voices had identities counted
// espeak-ng's voices alone; it is put in today's numbering and stored with
// its identity, once.
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

void InitSettings(RadioSettings& settings)
{
    settings.Settings = std::make_unique<CRegSettings>();
    settings.Settings->setCompany(QString(ProgramNames::kCompany));
    settings.Settings->setAppName(QString(ProgramNames::kSettingsApplication));
    settings.SettingsSection = QString(ProgramNames::kSettingsSection);
}

void LoadSettings(RadioSettings& settings, RandomSource& random, SpeechEngine* voice,
                  const AnnouncerBoxes& showBoxes)
{
    guarded([&] { InitSettings(settings); });

    settings.read(settings.NowTime);
    settings.read(settings.NowNews);
    if (showBoxes) {
        guarded([&] { showBoxes(settings.NowTime, settings.NowNews); });
    }

    // all() is in load order: the two switches, ManyTime to EngineSpeed,
    // then Randoms and MakeItTop.
    const auto inOrder = settings.all();
    for (SettingBase* setting : std::span(inOrder).subspan(2, 11)) {
        settings.read(*setting);
    }

    if (voice != nullptr) {
        guarded([&] { chooseStoredEngine(settings, *voice); });
        guarded([&] { voice->selectEngine(settings.EngineNum); });
        guarded([&] { voice->setSpeed(settings.EngineSpeed); });
    }

    settings.read(settings.Randoms);
    if (settings.Randoms) {
        settings.ManyTime = static_cast<std::int16_t>(randomCount(random.next()));
        settings.ManyNews = static_cast<std::int16_t>(randomCount(random.next()));
    }

    settings.read(settings.MakeItTop);
}

void SaveAnnouncerSwitches(RadioSettings& settings)
{
    settings.write(settings.NowTime);
    settings.write(settings.NowNews);
}

int randomCount(double r)
{
    return static_cast<int>(std::nearbyint(r * 50.0 + 1.0));
}

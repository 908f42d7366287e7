// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/SettingsCatalogue.h"

#include "base/GuardedStep.h"
#include "base/ProgramNames.h"
#include "base/RandomSource.h"
#include "settings/CRegSettings.h"
#include "settings/RadioSettings.h"

#include <algorithm>
#include <cmath>
#include <span>

void InitSettings(RadioSettings& settings)
{
    settings.Settings = std::make_unique<CRegSettings>();
    settings.Settings->setCompany(QString(ProgramNames::kCompany));
    settings.Settings->setAppName(QString(ProgramNames::kSettingsApplication));
    settings.SettingsSection = QString(ProgramNames::kSettingsSection);
}

void LoadSettings(RadioSettings& settings, RandomSource& random, const AnnouncerBoxes& showBoxes)
{
    guardedStep([&] { InitSettings(settings); });

    settings.read(settings.NowTime);
    settings.read(settings.NowNews);
    if (showBoxes) {
        guardedStep([&] { showBoxes(settings.NowTime, settings.NowNews); });
    }

    // all() is in load order: the two switches, ManyTime to EngineSpeed,
    // then Randoms and MakeItTop.
    const auto inOrder = settings.all();
    for (SettingBase* setting : std::span(inOrder).subspan(2, 11)) {
        settings.read(*setting);
    }

    settings.read(settings.Randoms);
    if (settings.Randoms) {
        settings.ManyTime = static_cast<std::int16_t>(randomCount(random.next()));
        settings.ManyNews = static_cast<std::int16_t>(randomCount(random.next()));
    }

    settings.read(settings.MakeItTop);

    settings.read(settings.Crossfade);
    settings.Crossfade =
        std::clamp<std::int16_t>(settings.Crossfade, 0, RadioSettings::kMaxCrossfade);
    settings.read(settings.HostKnowsMusic);
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

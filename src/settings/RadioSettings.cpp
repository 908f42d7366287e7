// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/RadioSettings.h"

#include "settings/CRegSettings.h"

void SettingBase::changed()
{
    emit owner_.changed(key());
}

RadioSettings::RadioSettings(QObject* parent) : QObject(parent) {}

RadioSettings::~RadioSettings() = default;

std::array<SettingBase*, RadioSettings::kCount> RadioSettings::all()
{
    return {&NowTime,    &NowNews,   &ManyTime,    &ManyNews, &Loops,
            &Rands,      &Release,   &Progressbar, &Slow,     &FlushBack,
            &FlushCount, &EngineNum, &EngineSpeed, &Randoms,  &MakeItTop};
}

QString RadioSettings::storedText(const QString& key, const QString& defaultText) const
{
    if (!Settings) {
        return defaultText;
    }
    return Settings->GetSetting(SettingsSection, key, defaultText);
}

void RadioSettings::read(SettingBase& setting)
{
    setting.setFromText(storedText(setting.key(), setting.defaultText()));
}

bool RadioSettings::write(const SettingBase& setting)
{
    return writeText(setting.key(), setting.text());
}

bool RadioSettings::writeText(const QString& key, const QString& text)
{
    return Settings && Settings->SaveSetting(SettingsSection, key, text);
}

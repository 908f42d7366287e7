// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/Setting.h"

#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

class CRegSettings;

// The radio's settings: the store they are kept in and the fifteen settings in
// use, each named after its key. Built once in main() and handed by reference
// to whatever reads or changes a setting; every change is announced by
// changed(). Loading (LoadSettings) and the options window write the values.
// GUI thread only.
class RadioSettings : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t kCount = 15;

    explicit RadioSettings(QObject* parent = nullptr);
    ~RadioSettings() override;

    // The store and its section (set up by InitSettings).
    std::unique_ptr<CRegSettings> Settings;
    QString SettingsSection;

    Setting<bool> NowTime{*this, QLatin1String("NowTime"), QLatin1String("True")};
    Setting<bool> NowNews{*this, QLatin1String("NowNews"), QLatin1String("False")};
    Setting<std::int16_t> ManyTime{*this, QLatin1String("ManyTime"), QLatin1String("4")};
    Setting<std::int16_t> ManyNews{*this, QLatin1String("ManyNews"), QLatin1String("15")};
    Setting<bool> Loops{*this, QLatin1String("Loops"), QLatin1String("True")};
    Setting<bool> Rands{*this, QLatin1String("Rands"), QLatin1String("False")};
    Setting<bool> Release{*this, QLatin1String("Release"), QLatin1String("False")};
    Setting<bool> Progressbar{*this, QLatin1String("Progressbar"), QLatin1String("False")};
    Setting<bool> Slow{*this, QLatin1String("Slow"), QLatin1String("False")};
    Setting<bool> FlushBack{*this, QLatin1String("FlushBack"), QLatin1String("True")};
    Setting<std::int16_t> FlushCount{*this, QLatin1String("FlushCount"), QLatin1String("500")};
    Setting<std::int32_t> EngineNum{*this, QLatin1String("EngineNum"), QLatin1String("1")};
    Setting<std::int32_t> EngineSpeed{*this, QLatin1String("EngineSpeed"), QLatin1String("165")};
    Setting<bool> Randoms{*this, QLatin1String("Randoms"), QLatin1String("False")};
    Setting<bool> MakeItTop{*this, QLatin1String("MakeItTop"), QLatin1String("True")};

    // Beside the fifteen, loaded after them. How many seconds a song starts
    // under the end of the one before when nothing is said between them (0
    // to 10; 0, one right after the other).
    Setting<std::int16_t> Crossfade{*this, QLatin1String("Crossfade"), QLatin1String("0")};
    static constexpr std::int16_t kMaxCrossfade = 10;
    // The host names the artist of the song that ended and the song that
    // comes next.
    Setting<bool> HostKnowsMusic{*this, QLatin1String("HostKnowsMusic"), QLatin1String("False")};

    // Kept beside EngineNum: the identity of that engine's voice, which stays
    // the same when voices are added or removed (engine numbers do not).
    static constexpr QLatin1String kEngineVoiceKey{"EngineVoice"};

    // All fifteen, in the order they are loaded.
    std::array<SettingBase*, kCount> all();

    // The stored text of any key of the section, or the default (also without
    // a store).
    QString storedText(const QString& key, const QString& defaultText) const;
    // Reads the setting from the store; a text that does not convert leaves
    // its value as it was.
    void read(SettingBase& setting);
    // Stores the setting's value; false without a store or when the write
    // failed.
    bool write(const SettingBase& setting);
    // Stores a text under any key of the section.
    bool writeText(const QString& key, const QString& text);

signals:
    // A setting's value in use changed (not necessarily stored yet).
    void changed(const QString& key);

private:
    friend class SettingBase;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/CRegSettings.h"
#include "settings/RadioSettings.h"
#include "settings/SettingsCatalogue.h"

#include <QSettings>
#include <QStringList>

// The program's settings store as a test sees it (inside a SettingsSandbox):
// values written the way an earlier run would have, and what reached it.
namespace stored_settings {

inline QSettings options()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QStringLiteral("Quintaviel Software"), QStringLiteral("Tolvar MP3 v1.0"));
}

inline void store(const QString& key, const QString& text)
{
    options().setValue(QStringLiteral("Options/") + key, text);
}

inline QString stored(const QString& key, const QString& missing = QStringLiteral("<missing>"))
{
    return options().value(QStringLiteral("Options/") + key, missing).toString();
}

inline QStringList storedKeys()
{
    QSettings store = options();
    store.beginGroup(QStringLiteral("Options"));
    return store.childKeys();
}

// Sets the store up as at start.
inline void openStore(RadioSettings& settings)
{
    InitSettings(settings);
}

// The order in which the options window's Save writes its keys.
inline const QStringList& saveOrder()
{
    static const QStringList keys{QStringLiteral("EngineNum"),   QStringLiteral("EngineSpeed"),
                                  QStringLiteral("Progressbar"), QStringLiteral("Release"),
                                  QStringLiteral("Slow"),        QStringLiteral("Rands"),
                                  QStringLiteral("Loops"),       QStringLiteral("MakeItTop"),
                                  QStringLiteral("FlushBack"),   QStringLiteral("FlushCount"),
                                  QStringLiteral("ManyTime"),    QStringLiteral("ManyNews"),
                                  QStringLiteral("Randoms"),     QStringLiteral("HostKnowsMusic"),
                                  QStringLiteral("Crossfade")};
    return keys;
}

}  // namespace stored_settings

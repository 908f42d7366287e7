#pragma once

#include "core/Tolvars.h"
#include "settings/CRegSettings.h"
#include "settings/SettingsCatalogue.h"

#include <QSettings>
#include <QStringList>

// The program's store in the sandbox, set up as at start, and a way to look at
// what reached it.
namespace options_test {

inline void openStore(Tolvars& vars)
{
    InitSettings(vars);
}

inline QStringList storedKeys()
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope,
                    QStringLiteral("Quintaviel Software"), QStringLiteral("Tolvar MP3 v1.0"));
    store.beginGroup(QStringLiteral("Options"));
    return store.childKeys();
}

inline QString stored(const QString& key)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope,
                    QStringLiteral("Quintaviel Software"), QStringLiteral("Tolvar MP3 v1.0"));
    store.beginGroup(QStringLiteral("Options"));
    return store.value(key, QStringLiteral("<missing>")).toString();
}

// The order in which save writes its keys.
inline const QStringList& saveOrder()
{
    static const QStringList keys{
        QStringLiteral("EngineNum"),  QStringLiteral("EngineSpeed"), QStringLiteral("Progressbar"),
        QStringLiteral("Release"),    QStringLiteral("Slow"),        QStringLiteral("Rands"),
        QStringLiteral("Loops"),      QStringLiteral("MakeItTop"),   QStringLiteral("FlushBack"),
        QStringLiteral("FlushCount"), QStringLiteral("ManyTime"),    QStringLiteral("ManyNews"),
        QStringLiteral("Randoms")};
    return keys;
}

}  // namespace options_test

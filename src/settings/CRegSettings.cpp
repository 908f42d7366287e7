#include "settings/CRegSettings.h"

#include <QSettings>

namespace {
const QString kDefaultCompany = QStringLiteral("VB and VBA Program Settings");
const QString kProductName = QStringLiteral("Tolvar MP3 Radio");

QString trimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' ')) {
        ++first;
    }
    while (last > first && text.at(last - 1) == QLatin1Char(' ')) {
        --last;
    }
    return text.mid(first, last - first);
}
}  // namespace

CRegSettings::CRegSettings() : company_(kDefaultCompany), appName_(kProductName) {}

QString CRegSettings::Company() const { return company_; }

void CRegSettings::setCompany(const QString& company)
{
    company_ = company.isEmpty() ? kDefaultCompany : trimSpaces(company);
}

QString CRegSettings::AppName() const { return appName_; }

void CRegSettings::setAppName(const QString& appName)
{
    appName_ = appName.isEmpty() ? kProductName : trimSpaces(appName);
}

QString CRegSettings::GetSetting(const QString& section, const QString& key,
                                 const QString& defaultValue) const
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, company_, appName_);
    if (!section.isEmpty()) {
        store.beginGroup(section);
    }
    const QString name = key == QLatin1String("*") ? QStringLiteral("Default") : key;
    const QVariant value = store.value(name);
    return value.isValid() ? value.toString() : defaultValue;
}

bool CRegSettings::SaveSetting(const QString& section, const QString& key, const QString& setting)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, company_, appName_);
    if (!store.isWritable()) {
        return false;
    }
    if (!section.isEmpty()) {
        store.beginGroup(section);
    }
    const QString name = key == QLatin1String("*") ? QStringLiteral("Default") : key;
    store.setValue(name, setting);
    store.sync();
    return store.status() == QSettings::NoError;
}

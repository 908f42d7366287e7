// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/CRegSettings.h"

#include "base/ProgramNames.h"
#include "base/TrimSpaces.h"
#include "files/SettingsFile.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>

namespace {
const QString kDefaultCompany = QStringLiteral("VB and VBA Program Settings");
const QString kProductName = QString(ProgramNames::kProductName);
// The name QSettings gives a registry key's unnamed value; the settings file
// uses the same name so both stores look alike.
const QString kUnnamedValue = QStringLiteral("Default");

// A hand-edited line such as "Key=a, b" reads back as a list; as a text it is
// what the line said.
std::optional<QString> storedText(const QVariant& value)
{
    if (!value.isValid()) {
        return std::nullopt;
    }
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", "));
    }
    if (!value.canConvert<QString>()) {
        return std::nullopt;
    }
    return value.toString();
}
}  // namespace

CRegSettings::CRegSettings() : company_(kDefaultCompany), appName_(kProductName) {}

QString CRegSettings::Company() const
{
    return company_;
}

void CRegSettings::setCompany(const QString& company)
{
    company_ = company.isEmpty() ? kDefaultCompany : trimSpaces(company);
}

QString CRegSettings::AppName() const
{
    return appName_;
}

void CRegSettings::setAppName(const QString& appName)
{
    appName_ = appName.isEmpty() ? kProductName : trimSpaces(appName);
}

std::optional<QString> CRegSettings::valuePath(const QString& section, const QString& key) const
{
    // An empty word would make QSettings pick a folder of its own choosing.
    if (company_.isEmpty() || appName_.isEmpty()) {
        return std::nullopt;
    }
    // A separator in a value name would read or write some other section.
    if (key.contains(QLatin1Char('/')) || key.contains(QLatin1Char('\\'))) {
        return std::nullopt;
    }
    const QString name = (key.isEmpty() || key == QLatin1String("*")) ? kUnnamedValue : key;
    if (section.isEmpty()) {
        return name;
    }
    // Sections nest with backslashes, as registry keys do.
    QString group = section;
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return group + QLatin1Char('/') + name;
}

QString CRegSettings::GetSetting(const QString& section, const QString& key,
                                 const QString& defaultValue) const
{
    const std::optional<QString> path = valuePath(section, key);
    if (!path) {
        return defaultValue;
    }
    const std::unique_ptr<const QSettings> store = open();
    return store ? storedText(store->value(*path)).value_or(defaultValue) : defaultValue;
}

bool CRegSettings::SaveSetting(const QString& section, const QString& key, const QString& setting)
{
    const std::optional<QString> path = valuePath(section, key);
    if (!path) {
        return false;
    }
    const std::unique_ptr<QSettings> store = open();
    if (!store || !store->isWritable()) {
        return false;
    }
    store->setValue(*path, setting);
    store->sync();
    if (store->status() != QSettings::FormatError) {
        return store->status() == QSettings::NoError;
    }
    // A damaged file reports its read error even after a write, which hides
    // whether the write worked; a successful write leaves a clean file that
    // holds the value.
    const std::unique_ptr<const QSettings> check = open();
    return check && check->status() == QSettings::NoError &&
           check->value(*path).toString() == setting;
}

std::unique_ptr<QSettings> CRegSettings::open() const
{
    const SettingsFile file(company_, appName_);
    file.tell(told_);
    return file.open();
}

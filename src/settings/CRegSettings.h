#pragma once

#include <QString>

// A small store of named text values, one group per section, kept in the
// user's settings file (the registry on Windows). It knows nothing of what the
// values mean and falls back to the caller's default whenever anything is
// missing or fails. GUI thread only.
class CRegSettings {
public:
    CRegSettings();

    QString Company() const;
    // Empty text restores the default word; otherwise the text without its
    // surrounding spaces.
    void setCompany(const QString& company);
    QString AppName() const;
    void setAppName(const QString& appName);

    // The stored text of Key in Section, or Default. "*" names the section's
    // unnamed default value.
    QString GetSetting(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    // Writes Setting as Key in Section; true when the value was written.
    bool SaveSetting(const QString& section, const QString& key, const QString& setting);

private:
    QString company_;
    QString appName_;
};

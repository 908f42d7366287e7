// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>
#include <optional>

class QSettings;

// A small store of named text values, one group per section, kept in the
// user's settings file (the registry on Windows): company / application /
// section / value name. It knows nothing of what the values mean and falls
// back to the caller's default whenever anything is missing or fails. Every
// call opens the store, does one read or one write and lets go of it again.
// A settings file that is no regular file, or a huge one, is left alone (see
// SettingsFile): reads give the defaults, writes fail, and stderr is told
// once. GUI thread only.
class CRegSettings {
public:
    CRegSettings();

    QString Company() const;
    // Empty text restores the default word; otherwise the text without its
    // surrounding spaces (so a text of spaces only leaves the word empty).
    void setCompany(const QString& company);
    QString AppName() const;
    void setAppName(const QString& appName);

    // The stored text of Key in Section, or Default. "*" names the section's
    // unnamed default value; an empty Section means values directly under
    // the application.
    QString GetSetting(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    // Writes Setting as Key in Section; true exactly when the value was written.
    bool SaveSetting(const QString& section, const QString& key, const QString& setting);

private:
    // Where Key of Section lives in the store, or nothing when the words or
    // the key cannot name a value.
    std::optional<QString> valuePath(const QString& section, const QString& key) const;
    // The store, or nothing when its file is to be left alone.
    std::unique_ptr<QSettings> open() const;

    QString company_;
    QString appName_;
    // Why the file was last left alone, as stderr was told.
    mutable QString told_;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/SettingsFile.h"

#include "files/NativePath.h"
#include "files/RegularFile.h"

#include <QTextStream>

namespace {

#ifndef Q_OS_WIN
// QSettings keeps to itself where its files go (QSettings::setPath may have
// moved them). A settings object for a name that no program uses tells it,
// without a file to read.
QString settingsFolder()
{
    const QString company = QStringLiteral("tolvar-radio-settings-folder");
    const QString application = QStringLiteral("probe");
    const QSettings probe(QSettings::NativeFormat, QSettings::UserScope, company, application);
    const QString tail =
        QLatin1Char('/') + company + QLatin1Char('/') + application + QStringLiteral(".conf");
    const QString file = probe.fileName();
    return file.endsWith(tail) ? file.chopped(tail.size()) : QString();
}
#endif

}  // namespace

SettingsFile::SettingsFile(const QString& company, const QString& application)
    : company_(company), application_(application)
{
#ifdef Q_OS_WIN
    state_ = State::Usable;
#else
    const QString folder = settingsFolder();
    if (folder.isEmpty() || company.isEmpty() || application.isEmpty()) {
        state_ = State::Unreadable;
        why_ = QStringLiteral("has no place for its settings file");
        return;
    }
    path_ = folder + QLatin1Char('/') + company + QLatin1Char('/') + application +
            QStringLiteral(".conf");
    const RegularFile file(path_, RegularFile::Access::Read);
    switch (file.status()) {
        case RegularFile::Status::Open:
            if (file.size() > kMaxBytes) {
                state_ = State::TooLarge;
                why_ = QStringLiteral("is larger than %1 KiB").arg(kMaxBytes / 1024);
            } else {
                state_ = State::Usable;
            }
            break;
        case RegularFile::Status::Missing:
            state_ = State::Absent;
            break;
        case RegularFile::Status::Folder:
        case RegularFile::Status::NotRegular:
            state_ = State::NotRegular;
            why_ = QStringLiteral("is not a regular file");
            break;
        case RegularFile::Status::Failed: {
            // A socket, for one, fails to open at all.
            const std::optional<struct stat> info = NativePath::status(path_);
            if (info && !S_ISREG(info->st_mode)) {
                state_ = State::NotRegular;
                why_ = QStringLiteral("is not a regular file");
            } else {
                state_ = State::Unreadable;
                why_ = QStringLiteral("cannot be read (%1)").arg(file.errorString());
            }
            break;
        }
    }
#endif
}

std::unique_ptr<QSettings> SettingsFile::open() const
{
    if (!usable()) {
        return nullptr;
    }
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, company_,
                                       application_);
#else
    // The one file looked at, and no other: QSettings would also read the
    // company-wide and system-wide files beside it.
    return std::make_unique<QSettings>(path_, QSettings::NativeFormat);
#endif
}

void SettingsFile::tell(QString& lastSaid) const
{
    if (usable()) {
        lastSaid.clear();
        return;
    }
    if (why_ == lastSaid) {
        return;
    }
    lastSaid = why_;
    QTextStream(stderr) << "tolvar-radio: the settings file " << path_ << ' ' << why_
                        << "; the radio runs on its defaults and leaves the file alone" << Qt::endl;
}

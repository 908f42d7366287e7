// SPDX-License-Identifier: GPL-3.0-or-later
#include "broadcast/BroadcastStore.h"

#include "files/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {
constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;

// Makes the file (when missing) and its mode readable by its owner alone,
// without following a link there. QSettings then writes it through a
// temporary file that keeps this mode.
std::optional<QString> makePrivate(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(),
                          O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, kOwnerOnly);
    if (fd < 0) {
        return QStringLiteral("%1 cannot be written (%2)")
            .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    }
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    const bool made = regular && ::fchmod(fd, kOwnerOnly) == 0;
    ::close(fd);
    if (!made) {
        return QStringLiteral("%1 is not a regular file readable by you alone").arg(path);
    }
    return std::nullopt;
}
}  // namespace

BroadcastStore::BroadcastStore(QString company, QString application)
    : company_(std::move(company)), application_(std::move(application))
{
}

QString BroadcastStore::path() const
{
    return SettingsFile(company_, application_).path();
}

QString BroadcastStore::address() const
{
    const std::unique_ptr<QSettings> settings = SettingsFile(company_, application_).open();
    return settings ? settings->value(kKey).toString() : QString();
}

std::optional<QString> BroadcastStore::setAddress(const QString& address)
{
    const SettingsFile file(company_, application_);
    if (!file.usable()) {
        return QStringLiteral("the settings file %1 is not usable").arg(file.path());
    }
    if (!file.path().isEmpty()) {
        QDir().mkpath(QFileInfo(file.path()).absolutePath());
        if (std::optional<QString> problem = makePrivate(file.path())) {
            return problem;
        }
    }
    const std::unique_ptr<QSettings> settings = file.open();
    if (address.isEmpty()) {
        settings->remove(kKey);
    } else {
        settings->setValue(kKey, address);
    }
    settings->sync();
    if (settings->status() != QSettings::NoError) {
        return QStringLiteral("the settings file %1 could not be written").arg(file.path());
    }
    // Again, should the writing have made a new file after all.
    if (!file.path().isEmpty()) {
        return makePrivate(file.path());
    }
    return std::nullopt;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/NonRegularFiles.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <cstring>

namespace testing_support {

NonRegularFiles::NonRegularFiles(const QString& folder, const QString& suffix)
{
    const QDir dir(folder);
    const QString fifo = dir.filePath(QStringLiteral("fifo") + suffix);
    if (::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0) {
        entries_.push_back({fifo, "FIFO"});
        const QString link = dir.filePath(QStringLiteral("fifo-link") + suffix);
        if (QFile::link(fifo, link)) {
            entries_.push_back({link, "link to a FIFO"});
        }
    }
    const QString device = dir.filePath(QStringLiteral("zero") + suffix);
    if (QFile::link(QStringLiteral("/dev/zero"), device)) {
        entries_.push_back({device, "link to a device"});
    }
    const QByteArray socketPath =
        QFile::encodeName(dir.filePath(QStringLiteral("socket") + suffix));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (socket_ >= 0 && static_cast<std::size_t>(socketPath.size()) < sizeof(address.sun_path)) {
        std::memcpy(address.sun_path, socketPath.constData(),
                    static_cast<std::size_t>(socketPath.size()));
        if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
            entries_.push_back({QFile::decodeName(socketPath), "socket"});
        }
    }
    const QString sub = QStringLiteral("folder") + suffix;
    if (dir.mkdir(sub)) {
        entries_.push_back({dir.filePath(sub), "folder"});
    }
}

NonRegularFiles::~NonRegularFiles()
{
    if (socket_ >= 0) {
        ::close(socket_);
    }
}

}  // namespace testing_support

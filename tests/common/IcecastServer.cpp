// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/IcecastServer.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTcpServer>
#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

namespace {
// A port nobody listens on now: the system's pick for a socket bound to 0.
quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) {
        return 0;
    }
    return probe.serverPort();
}

QByteArray httpGet(quint16 port, const QString& path, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return {};
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QByteArray answer;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        const QByteArray request = "GET " + path.toUtf8() + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
        ::send(fd, request.constData(), static_cast<std::size_t>(request.size()), MSG_NOSIGNAL);
        char buffer[8192];
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd ready{fd, POLLIN, 0};
            if (::poll(&ready, 1, 50) <= 0) {
                continue;
            }
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0) {
                break;
            }
            answer.append(buffer, got);
        }
    }
    ::close(fd);
    const qsizetype end = answer.indexOf("\r\n\r\n");
    if (end < 0 || !answer.contains(" 200 ")) {
        return {};
    }
    return answer.mid(end + 4);
}

// The sources of status-json.xsl: one object, or an array when there are more.
QJsonObject sourceOf(const QByteArray& status, const QString& mount)
{
    const QJsonValue sources = QJsonDocument::fromJson(status)
                                   .object()
                                   .value(QStringLiteral("icestats"))
                                   .toObject()
                                   .value(QStringLiteral("source"));
    const QJsonArray all = sources.isArray() ? sources.toArray() : QJsonArray{sources};
    for (const QJsonValue& source : all) {
        const QJsonObject object = source.toObject();
        if (object.value(QStringLiteral("listenurl")).toString().endsWith(mount)) {
            return object;
        }
    }
    return {};
}
}  // namespace

IcecastServer::IcecastServer() : port_(freePort())
{
    writeConfiguration();
}

IcecastServer::~IcecastServer()
{
    stop();
}

QString IcecastServer::program()
{
    QString found = QStandardPaths::findExecutable(QStringLiteral("icecast2"));
    if (found.isEmpty()) {
        found = QStandardPaths::findExecutable(QStringLiteral("icecast2"),
                                               {QStringLiteral("/usr/bin")});
    }
    return found;
}

bool IcecastServer::writeConfiguration()
{
    // Icecast will not run as root: it changes to nobody, who must then be
    // able to write its logs here.
    QString security;
    if (::geteuid() == 0) {
        if (const passwd* nobody = ::getpwnam("nobody")) {
            if (::chown(dir_.path().toLocal8Bit().constData(), nobody->pw_uid, nobody->pw_gid) !=
                0) {
                return false;
            }
        }
        security = QStringLiteral(
            "<security><chroot>0</chroot><changeowner><user>nobody</user>"
            "<group>nogroup</group></changeowner></security>");
    }
    const QString configuration =
        QStringLiteral(
            "<icecast>\n"
            "<location>test</location><admin>test@localhost</admin>\n"
            "<limits><clients>200</clients><sources>4</sources>"
            "<queue-size>524288</queue-size><client-timeout>30</client-timeout>"
            "<header-timeout>15</header-timeout><source-timeout>10</source-timeout>"
            "<burst-on-connect>1</burst-on-connect><burst-size>65535</burst-size></limits>\n"
            "<authentication><source-password>%1</source-password>"
            "<admin-user>admin</admin-user><admin-password>tolvar-test-admin</admin-password>"
            "</authentication>\n"
            "<hostname>127.0.0.1</hostname>\n"
            "<listen-socket><port>%2</port><bind-address>127.0.0.1</bind-address>"
            "</listen-socket>\n"
            "<fileserve>1</fileserve>\n"
            "<paths><basedir>/usr/share/icecast2</basedir><logdir>%3</logdir>"
            "<webroot>/usr/share/icecast2/web</webroot>"
            "<adminroot>/usr/share/icecast2/admin</adminroot></paths>\n"
            "<logging><accesslog>access.log</accesslog><errorlog>error.log</errorlog>"
            "<loglevel>3</loglevel></logging>\n"
            "%4\n"
            "</icecast>\n")
            .arg(QString::fromLatin1(kSourcePassword))
            .arg(port_)
            .arg(dir_.path(), security);
    QFile file(dir_.filePath(QStringLiteral("icecast.xml")));
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(configuration.toUtf8());
    return true;
}

bool IcecastServer::start(std::chrono::milliseconds timeout)
{
    stop();
    if (port_ == 0 || program().isEmpty()) {
        return false;
    }
    process_ = std::make_unique<QProcess>();
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->setStandardOutputFile(QProcess::nullDevice());
    process_->start(program(),
                    {QStringLiteral("-c"), dir_.filePath(QStringLiteral("icecast.xml"))});
    if (!process_->waitForStarted(static_cast<int>(timeout.count()))) {
        stop();
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!running()) {
            break;
        }
        if (!get(QStringLiteral("/status-json.xsl"), std::chrono::milliseconds(500)).isEmpty()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    stop();
    return false;
}

void IcecastServer::stop()
{
    if (!process_) {
        return;
    }
    if (process_->state() != QProcess::NotRunning) {
        process_->terminate();
        if (!process_->waitForFinished(5000)) {
            process_->kill();
            process_->waitForFinished(5000);
        }
    }
    process_.reset();
}

bool IcecastServer::running() const
{
    return process_ && process_->state() == QProcess::Running;
}

QString IcecastServer::sourceAddress(const QString& mount, const QString& password) const
{
    return QStringLiteral("icecast://source:%1@127.0.0.1:%2%3")
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(password)))
        .arg(port_)
        .arg(mount);
}

QByteArray IcecastServer::get(const QString& path, std::chrono::milliseconds timeout) const
{
    return httpGet(port_, path, timeout);
}

QString IcecastServer::titleOf(const QString& mount) const
{
    return sourceOf(get(QStringLiteral("/status-json.xsl")), mount)
        .value(QStringLiteral("title"))
        .toString();
}

int IcecastServer::listenersOf(const QString& mount) const
{
    const QJsonObject source = sourceOf(get(QStringLiteral("/status-json.xsl")), mount);
    return source.isEmpty() ? -1 : source.value(QStringLiteral("listeners")).toInt();
}

QString IcecastServer::errorLog() const
{
    QFile file(dir_.filePath(QStringLiteral("error.log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll().right(4000))
                                          : QString();
}

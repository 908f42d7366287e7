// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/LocalHttpServer.h"

#include <QHostAddress>
#include <QPointer>
#include <QSslConfiguration>
#include <QSslServer>
#include <QTcpSocket>
#include <QTimer>

LocalHttpServer::LocalHttpServer(Handler handler)
    : server_(std::make_unique<QTcpServer>()), handler_(std::move(handler))
{
    server_->listen(QHostAddress::LocalHost, 0);
    connect(server_.get(), &QTcpServer::pendingConnectionAvailable, this,
            &LocalHttpServer::onConnection);
}

LocalHttpServer::LocalHttpServer(Handler handler, const TlsIdentity& tls)
    : handler_(std::move(handler)), tls_(true)
{
    auto server = std::make_unique<QSslServer>();
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(tls.certificate);
    configuration.setPrivateKey(tls.key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    server->setSslConfiguration(configuration);
    server_ = std::move(server);
    server_->listen(QHostAddress::LocalHost, 0);
    // Sockets become pending once their handshake is done.
    connect(server_.get(), &QTcpServer::pendingConnectionAvailable, this,
            &LocalHttpServer::onConnection);
}

QString LocalHttpServer::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(server_->serverPort());
}

QString LocalHttpServer::url(const QString& path) const
{
    return (tls_ ? QStringLiteral("https://") : QStringLiteral("http://")) + host() + path;
}

void LocalHttpServer::serve(const QByteArray& body)
{
    handler_ = [body](const Request&) { return ok(body); };
}

LocalHttpServer::Answer LocalHttpServer::ok(const QByteArray& body)
{
    Answer answer;
    answer.body = body;
    answer.headers = {{"Content-Type", "text/xml"}};
    return answer;
}

LocalHttpServer::Answer LocalHttpServer::redirect(const QByteArray& location)
{
    Answer answer;
    answer.status = 302;
    answer.headers = {{"Location", location}};
    return answer;
}

void LocalHttpServer::onConnection()
{
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onData(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        // A TLS socket may hold the request already when its handshake ends.
        if (socket->bytesAvailable() > 0) {
            onData(socket);
        }
    }
}

void LocalHttpServer::onData(QTcpSocket* socket)
{
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    socket->setProperty("buffer", buffer);
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0 || socket->property("answered").toBool()) {
        return;
    }
    socket->setProperty("answered", true);

    Request request;
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    request.method = first.value(0);
    request.path = first.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0) {
            request.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
        }
    }
    requests_.append(request);

    const Answer answer = handler_ ? handler_(request) : ok(QByteArray());
    if (answer.silent) {
        return;
    }
    if (answer.delay.count() > 0) {
        QPointer<QTcpSocket> guard(socket);
        QTimer::singleShot(answer.delay, this, [this, guard, answer] {
            if (guard) {
                respond(guard, answer);
            }
        });
        return;
    }
    respond(socket, answer);
}

void LocalHttpServer::respond(QTcpSocket* socket, const Answer& answer)
{
    if (!answer.hangUp) {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + " Test\r\n";
        for (const auto& [name, value] : answer.headers) {
            head += name + ": " + value + "\r\n";
        }
        if (!answer.noLength) {
            head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
        }
        head += "Connection: close\r\n\r\n";
        socket->write(head);
        socket->write(answer.body);
    }
    socket->disconnectFromHost();
}

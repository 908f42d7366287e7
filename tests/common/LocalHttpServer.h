// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>
#include <QTcpServer>
#include <chrono>
#include <functional>
#include <memory>

class QTcpSocket;

// A tiny HTTP/1.0-style server on 127.0.0.1 for tests: every request is handed
// to a handler that says how to answer it. One answer per connection. With a
// certificate and key it speaks HTTPS.
class LocalHttpServer : public QObject {
    Q_OBJECT

public:
    struct Request {
        QByteArray method;
        QByteArray path;
        // Header lines in the order they arrived, names as sent.
        QList<QPair<QByteArray, QByteArray>> headers;
    };

    struct Answer {
        int status = 200;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        // Wait this long before answering.
        std::chrono::milliseconds delay{0};
        // Never answer (the connection stays open until the client gives up).
        bool silent = false;
        // Close the connection without a byte of answer.
        bool hangUp = false;
        // Send no Content-Length: the body ends when the connection closes.
        bool noLength = false;
    };

    struct TlsIdentity {
        QSslCertificate certificate;
        QSslKey key;
    };

    using Handler = std::function<Answer(const Request&)>;

    explicit LocalHttpServer(Handler handler = {});
    LocalHttpServer(Handler handler, const TlsIdentity& tls);

    // "127.0.0.1:<port>", ready to be used as a feed host.
    QString host() const;
    // "http://127.0.0.1:<port><path>" ("https" with TLS).
    QString url(const QString& path) const;
    quint16 port() const { return server_->serverPort(); }
    void setHandler(Handler handler) { handler_ = std::move(handler); }
    // Answers every request with this body and status 200.
    void serve(const QByteArray& body);

    const QList<Request>& requests() const { return requests_; }

    static Answer ok(const QByteArray& body);
    static Answer redirect(const QByteArray& location);

private:
    void onConnection();
    void onData(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const Answer& answer);

    std::unique_ptr<QTcpServer> server_;
    Handler handler_;
    bool tls_ = false;
    QList<Request> requests_;
};

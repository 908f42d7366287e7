// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TestCertificate.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace testing_support {

std::optional<LocalHttpServer::TlsIdentity> makeLocalCertificate()
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        return std::nullopt;
    }
    const QString keyPath = dir.filePath(QStringLiteral("key.pem"));
    const QString certificatePath = dir.filePath(QStringLiteral("certificate.pem"));
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                   QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                   QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
                   keyPath, QStringLiteral("-out"), certificatePath});
    if (!openssl.waitForFinished(20000) || openssl.exitStatus() != QProcess::NormalExit ||
        openssl.exitCode() != 0) {
        openssl.kill();
        openssl.waitForFinished(1000);
        return std::nullopt;
    }
    QFile key(keyPath);
    QFile certificate(certificatePath);
    if (!key.open(QIODevice::ReadOnly) || !certificate.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    LocalHttpServer::TlsIdentity identity{QSslCertificate(certificate.readAll()),
                                          QSslKey(key.readAll(), QSsl::Ec)};
    if (identity.certificate.isNull() || identity.key.isNull()) {
        return std::nullopt;
    }
    return identity;
}

}  // namespace testing_support

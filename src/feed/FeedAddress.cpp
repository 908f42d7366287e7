// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/FeedAddress.h"

#include <QHostAddress>

namespace {

bool isSchemeChar(QChar c)
{
    return (c.isLetterOrNumber() && c.unicode() < 0x80) || c == u'+' || c == u'-' || c == u'.';
}

bool isLabelChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

bool isLabel(QByteArrayView label)
{
    if (label.isEmpty() || label.size() > 63 || label.front() == '-' || label.back() == '-') {
        return false;
    }
    for (char c : label) {
        if (!isLabelChar(c)) {
            return false;
        }
    }
    return true;
}

bool isWebUrl(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

}  // namespace

bool FeedAddress::hasScheme(QStringView value)
{
    const qsizetype mark = value.indexOf(u"://");
    if (mark <= 0 || !value.front().isLetter() || value.front().unicode() >= 0x80) {
        return false;
    }
    for (QChar c : value.left(mark)) {
        if (!isSchemeChar(c)) {
            return false;
        }
    }
    return true;
}

QString FeedAddress::requestText(const QString& value)
{
    if (hasScheme(value)) {
        return value;
    }
    return QStringLiteral("http://") + value + QStringLiteral("/slashdot.xml");
}

QUrl FeedAddress::requestUrl(const QString& value)
{
    const QUrl url(requestText(value));
    if (hasScheme(value) && !isWebUrl(url)) {
        return QUrl();
    }
    return url;
}

bool FeedAddress::isAcceptable(const QString& value)
{
    if (hasScheme(value)) {
        return isWebUrl(QUrl(value, QUrl::StrictMode));
    }
    return isHostAndPort(value);
}

bool FeedAddress::isHostAndPort(QStringView value)
{
    if (value.startsWith(u'[')) {
        const qsizetype close = value.indexOf(u']');
        if (close < 0) {
            return false;
        }
        const QStringView rest = value.mid(close + 1);
        const QHostAddress address(value.mid(1, close - 1).toString());
        const bool portOk = rest.isEmpty() || (rest.startsWith(u':') && isPort(rest.mid(1)));
        return address.protocol() == QAbstractSocket::IPv6Protocol && portOk;
    }
    const qsizetype colon = value.indexOf(u':');
    if (colon < 0) {
        return isHostName(value);
    }
    return isHostName(value.left(colon)) && isPort(value.mid(colon + 1));
}

bool FeedAddress::isHostName(QStringView host)
{
    // International names are checked in the form that goes on the wire.
    const QByteArray ace = QUrl::toAce(host.toString());
    if (ace.isEmpty() || ace.size() > 253) {
        return false;
    }
    for (const QByteArray& label : ace.split('.')) {
        if (!isLabel(label)) {
            return false;
        }
    }
    return true;
}

bool FeedAddress::isPort(QStringView port)
{
    if (port.isEmpty() || port.size() > 5) {
        return false;
    }
    uint number = 0;
    for (QChar c : port) {
        if (c < u'0' || c > u'9') {
            return false;
        }
        number = number * 10 + (c.unicode() - u'0');
    }
    return number >= 1 && number <= 65535;
}

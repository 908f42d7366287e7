// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringView>
#include <QUrl>

// The headline source as the NewsHost setting names it. A bare host (with an
// optional port) is fetched exactly as the classic http://<host>/slashdot.xml;
// a value that starts with a scheme ("https://...") is the whole address.
class FeedAddress {
public:
    // The setting (in the Options section) and its value when absent.
    static QString settingKey() { return QStringLiteral("NewsHost"); }
    static QString defaultHost() { return QStringLiteral("slashdot.org"); }

    // Whether the value starts with "<scheme>://".
    static bool hasScheme(QStringView value);

    // The address fetched for the value, as text.
    static QString requestText(const QString& value);

    // The URL to fetch; an invalid URL when the value has a scheme other
    // than http or https, or no host.
    static QUrl requestUrl(const QString& value);

    // Whether the options window may store the value: a host name or
    // address with an optional port, or an http(s) URL with a host.
    static bool isAcceptable(const QString& value);

private:
    static bool isHostAndPort(QStringView value);
    static bool isHostName(QStringView host);
    static bool isPort(QStringView port);
};

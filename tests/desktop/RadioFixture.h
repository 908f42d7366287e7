// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/FakeRadio.h"
#include "desktop/RadioMediaControl.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

// A radio on fakes: the real sequencer and media control over a recording
// player, voice and announcer, with song and playlist files in a temporary
// folder.
struct RadioFixture : FakeRadio {
    RadioFixture() { settings.FlushCount = 500; }

    // A non-empty file (a song needs no real sound for the fake player).
    QString makeFile(const QString& name, const QByteArray& bytes = QByteArrayLiteral("music"))
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(bytes);
        }
        return path;
    }

    // A .pyl file: one path per line, CR LF after each.
    QString makePlaylist(const QString& name, const QStringList& songs)
    {
        QByteArray bytes;
        for (const QString& song : songs) {
            bytes += song.toLocal8Bit() + "\r\n";
        }
        return makeFile(name, bytes);
    }

    static QUrl url(const QString& path) { return QUrl::fromLocalFile(path); }

    RadioMediaControl::Links links()
    {
        RadioMediaControl::Links links;
        links.quit = [this] { ++quits; };
        links.raise = [this] { ++raises; };
        return links;
    }

    QTemporaryDir dir;
    int quits = 0;
    int raises = 0;
    RadioMediaControl control{settings, playlist, seq, player, voice, links()};
};

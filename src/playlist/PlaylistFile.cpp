// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PlaylistFile.h"

#include "files/RegularFile.h"
#include "playlist/M3uReader.h"
#include "playlist/PlsReader.h"
#include "playlist/PylReader.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

std::optional<PlaylistFile::Format> PlaylistFile::formatOf(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == u"pyl") {
        return Format::Pyl;
    }
    if (suffix == u"m3u") {
        return Format::M3u;
    }
    if (suffix == u"m3u8") {
        return Format::M3u8;
    }
    if (suffix == u"pls") {
        return Format::Pls;
    }
    return std::nullopt;
}

std::vector<PlaylistEntry> PlaylistFile::entries(Format format, QByteArrayView bytes)
{
    switch (format) {
        case Format::Pyl: {
            PylReader reader;
            reader.feed(bytes);
            return reader.finishNumbered();
        }
        case Format::M3u:
            return M3uReader::entries(bytes, false);
        case Format::M3u8:
            return M3uReader::entries(bytes, true);
        case Format::Pls:
            return PlsReader::entries(bytes);
    }
    return {};
}

std::optional<std::vector<PlaylistEntry>> PlaylistFile::read(const QString& path, Format format)
{
    // Only a regular file: a FIFO or a device under the name cannot hang the
    // reading.
    const RegularFile file(path, RegularFile::Access::Read);
    const std::optional<QByteArray> bytes = file.isOpen() ? file.readAll(kMaxBytes) : std::nullopt;
    if (!bytes) {
        return std::nullopt;
    }
    return entries(format, *bytes);
}

std::optional<QString> PlaylistFile::localPath(const QString& text, const QDir& folder)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(text);
        const bool here = url.host().isEmpty() || url.host() == QLatin1String("localhost");
        if (!url.isValid() || !url.isLocalFile() || !here) {
            return std::nullopt;
        }
        QUrl withoutHost = url;
        withoutHost.setHost(QString());
        const QString path = withoutHost.toLocalFile();
        return path.isEmpty() ? std::nullopt : std::optional<QString>(QDir::cleanPath(path));
    }
    // "http://...", "rtsp://..." and the like: streams the radio does not play.
    if (scheme.match(text).hasMatch()) {
        return std::nullopt;
    }
    return QDir::cleanPath(folder.absoluteFilePath(text));
}

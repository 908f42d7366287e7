// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PylFormat.h"

#include "files/NativePath.h"
#include "playlist/PathText.h"
#include "playlist/PylReader.h"

QByteArray PylFormat::encode(const QStringList& paths)
{
    QByteArray out;
    out.reserve(paths.size() * 64);
    for (const QString& path : paths) {
        out += NativePath::toBytes(trimSpaces(path));
        out += "\r\n";
    }
    return out;
}

QStringList PylFormat::decode(const QByteArray& bytes)
{
    PylReader reader;
    reader.feed(bytes);
    return reader.finish();
}

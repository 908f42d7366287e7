// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>
#include <QByteArray>
#include <QString>
#include <optional>

// File names as the file system has them: bytes. Qt reads bytes that are no
// UTF-8 as U+FFFD, so such a name can be shown but never opened again. Here
// each byte that is no part of valid UTF-8 is kept as a lone surrogate
// (U+DC80 to U+DCFF), which no valid UTF-8 can give, so every name a folder
// lists comes back to its very bytes when it is opened, and names that are
// UTF-8 are the same texts as Qt's. Everything that lists, looks at or opens
// a user's file by name goes through here. Any thread.
namespace NativePath {

// The text of a name the file system gave.
QString fromBytes(const QByteArray& bytes);
// The bytes to hand the file system for a name; fromBytes() undone.
QByteArray toBytes(const QString& path);

// A name for people to read: the kept bytes read as the Windows code page
// that old collections were written in (a byte it leaves undefined shows
// as U+FFFD). Only for showing: it does not open.
QString readable(const QString& path);
// Whether the name holds bytes that are no UTF-8 (and so cannot travel as
// text, over the desktop bus for one).
bool hasKeptBytes(const QString& path);

// stat() of the name, following links; nothing when it cannot be had.
std::optional<struct stat> status(const QString& path);
// The name with every link and "." or ".." resolved; empty when it cannot be.
QString canonical(const QString& path);

}  // namespace NativePath

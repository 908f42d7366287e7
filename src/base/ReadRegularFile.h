#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The whole content of a regular file of at most maxBytes bytes. The file is
// opened without blocking and checked on the open descriptor, so a FIFO, a
// device or a folder under the name is refused at once instead of hanging;
// so is a file that is, or grows, too large. Any thread.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

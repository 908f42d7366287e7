// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlist/PathText.h"

#include <QDir>

namespace {

bool isSeparator(QChar c)
{
#ifdef Q_OS_WIN
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
#else
    return c == QLatin1Char('/');
#endif
}

}  // namespace

QString FileNameOnly(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        if (isSeparator(path.at(i))) {
            return path.mid(i + 1);
        }
    }
    return path;
}

QString JoinPath(const QString& folder, const QString& name)
{
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(folder) + QLatin1Char('\\') + name;
#else
    return folder + QLatin1Char('/') + name;
#endif
}

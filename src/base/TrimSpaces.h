// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The text without its leading and trailing U+0020 characters; tabs and other
// white space stay. Names, entries, tag fields and headlines all trim this way.
inline QString trimSpaces(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' ')) {
        ++first;
    }
    while (last > first && text.at(last - 1) == QLatin1Char(' ')) {
        --last;
    }
    return text.mid(first, last - first);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "announcer/TimeOfDayWord.h"

QString TimeOfDayWord(const QTime& time)
{
    constexpr int noon = 12 * 3600;
    constexpr int evening = 18 * 3600;
    constexpr int lastMinute = 23 * 3600 + 59 * 60;
    const int second = time.msecsSinceStartOfDay() / 1000;
    if (second > 0 && second < noon) {
        return QStringLiteral("This mornings");
    }
    if (second > noon && second < evening) {
        return QStringLiteral("This afternoons");
    }
    if (second > evening && second < lastMinute) {
        return QStringLiteral("Tonights");
    }
    return QString();
}

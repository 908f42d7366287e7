// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTime>

// "This mornings", "This afternoons" or "Tonights" for a time of day, taken to
// the second. Midnight, noon, 18:00:00 and the last minute of the day
// (23:59:00 to 23:59:59) give the empty text.
QString TimeOfDayWord(const QTime& time);

// SPDX-License-Identifier: GPL-3.0-or-later
#include "announcer/TimeOfDayWord.h"

#include <gtest/gtest.h>

TEST(TimeOfDayWord, BoundariesBelongToNoPartOfTheDay)
{
    struct Case {
        QTime time;
        const char* word;
    };
    const Case cases[] = {
        {QTime(0, 0, 0), ""},
        {QTime(0, 0, 0, 999), ""},
        {QTime(0, 0, 1), "This mornings"},
        {QTime(11, 59, 59, 999), "This mornings"},
        {QTime(12, 0, 0), ""},
        {QTime(12, 0, 0, 500), ""},
        {QTime(12, 0, 1), "This afternoons"},
        {QTime(17, 59, 59), "This afternoons"},
        {QTime(18, 0, 0), ""},
        {QTime(18, 0, 1), "Tonights"},
        {QTime(23, 58, 59, 999), "Tonights"},
        {QTime(23, 59, 0), ""},
        {QTime(23, 59, 30), ""},
        {QTime(23, 59, 59, 999), ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TimeOfDayWord(c.time), QString::fromLatin1(c.word))
            << c.time.toString(QStringLiteral("HH:mm:ss.zzz")).toStdString();
    }
}

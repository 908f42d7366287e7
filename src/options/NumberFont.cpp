// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/NumberFont.h"

#include <QStringList>

QFont numberFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Serif"), QStringLiteral("DejaVu Serif"),
                      QStringLiteral("Liberation Serif"), QStringLiteral("Times New Roman"),
                      QStringLiteral("serif")});
    font.setStyleHint(QFont::Serif);
    font.setPointSize(8);
    return font;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/LabelRow.h"

#include <QLabel>

void LabelRow::keepGapAfter(const QLabel& caption, QLabel& value)
{
    const int earliest = caption.geometry().right() + 1 + gap(caption);
    const QRect place = value.geometry();
    if (place.left() < earliest) {
        value.setGeometry(QRect(QPoint(earliest, place.top()), place.bottomRight()));
    }
}

void LabelRow::flow(std::initializer_list<QLabel*> labels)
{
    const QLabel* before = nullptr;
    for (QLabel* label : labels) {
        if (before != nullptr) {
            label->adjustSize();
            label->setGeometry(before->geometry().right() + 1 + gap(*before), before->y(),
                               label->width(), before->height());
        }
        before = label;
    }
}

void LabelRow::showWithin(QLabel& value, const QString& text)
{
    const int room = value.contentsRect().width() - gap(value);
    const QString shown = value.fontMetrics().elidedText(text, Qt::ElideRight, room);
    value.setText(shown);
    const bool cut = shown != text;
    value.setToolTip(cut ? text : QString());
    value.setAccessibleName(cut ? text : QString());
}

int LabelRow::gap(const QLabel& label)
{
    return label.fontMetrics().horizontalAdvance(QLatin1Char(' '));
}

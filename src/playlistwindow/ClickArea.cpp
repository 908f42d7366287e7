// SPDX-License-Identifier: GPL-3.0-or-later
#include "playlistwindow/ClickArea.h"

#include <QMouseEvent>

void ClickArea::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void ClickArea::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit clicked();
    }
}

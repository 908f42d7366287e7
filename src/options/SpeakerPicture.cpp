// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/SpeakerPicture.h"

#include <QPainter>

QPixmap speakerPicture(int side)
{
    QPixmap picture(side, side);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(128, 0, 0), side / 12.0));
    painter.setBrush(QColor(192, 0, 0));
    const double u = side / 8.0;
    painter.drawRect(QRectF(u, 3 * u, 1.5 * u, 2 * u));
    painter.drawPolygon(QPolygonF({QPointF(2.5 * u, 3 * u), QPointF(4 * u, 1.5 * u),
                                   QPointF(4 * u, 6.5 * u), QPointF(2.5 * u, 5 * u)}));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(3 * u, 2.5 * u, 3 * u, 3 * u), -50 * 16, 100 * 16);
    painter.drawArc(QRectF(2.5 * u, 1.5 * u, 5 * u, 5 * u), -50 * 16, 100 * 16);
    return picture;
}

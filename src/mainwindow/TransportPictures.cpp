// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/TransportPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {
const QColor kInk(0xf2, 0xf4, 0xf8);

// A right-pointing triangle in a box of the given left, width and height.
QPolygonF triangle(qreal left, qreal top, qreal width, qreal height, bool pointsRight)
{
    const qreal tip = pointsRight ? left + width : left;
    const qreal base = pointsRight ? left : left + width;
    return QPolygonF(
        {QPointF(base, top), QPointF(tip, top + height / 2), QPointF(base, top + height)});
}

void draw(QPainter& p, TransportCommand command, qreal s)
{
    const qreal top = s * 0.2;
    const qreal h = s * 0.6;
    switch (command) {
        case TransportCommand::Play:
            p.drawPolygon(triangle(s * 0.3, top, s * 0.5, h, true));
            break;
        case TransportCommand::Pause:
            p.drawRect(QRectF(s * 0.25, top, s * 0.18, h));
            p.drawRect(QRectF(s * 0.57, top, s * 0.18, h));
            break;
        case TransportCommand::Stop:
            p.drawRect(QRectF(s * 0.25, s * 0.25, s * 0.5, s * 0.5));
            break;
        case TransportCommand::Forward:
            p.drawPolygon(triangle(s * 0.12, top, s * 0.32, h, true));
            p.drawPolygon(triangle(s * 0.44, top, s * 0.32, h, true));
            p.drawRect(QRectF(s * 0.78, top, s * 0.1, h));
            break;
        case TransportCommand::Reverse:
            p.drawRect(QRectF(s * 0.12, top, s * 0.1, h));
            p.drawPolygon(triangle(s * 0.24, top, s * 0.32, h, false));
            p.drawPolygon(triangle(s * 0.56, top, s * 0.32, h, false));
            break;
    }
}
}  // namespace

QPixmap transportPicture(TransportCommand command, int side, qreal devicePixelRatio)
{
    const int pixels = qMax(1, qRound(side * devicePixelRatio));
    QPixmap picture(pixels, pixels);
    picture.setDevicePixelRatio(devicePixelRatio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    draw(painter, command, side);
    return picture;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Panel.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

Panel::Panel(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Panel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    QLinearGradient shade(area.topLeft(), area.bottomLeft());
    shade.setColorAt(0.0, QColor(0x4a, 0x52, 0x63));
    shade.setColorAt(1.0, QColor(0x23, 0x27, 0x31));
    painter.fillRect(area, shade);
    painter.setPen(QColor(0x6b, 0x75, 0x8a));
    painter.drawLine(area.topLeft(), area.topRight());
}

void Panel::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->button(), event->modifiers(), event->position().toPoint());
    event->accept();
}

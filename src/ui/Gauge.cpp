// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Gauge.h"

#include <QPainter>
#include <algorithm>

Gauge::Gauge(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Gauge::setPercent(int percent)
{
    const int shown = std::clamp(percent, 0, 100);
    if (shown != percent_) {
        percent_ = shown;
        update();
    }
}

void Gauge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x14, 0x17, 0x1d));
    const int filled = width() * percent_ / 100;
    painter.fillRect(QRect(0, 0, filled, height()), QColor(0x3f, 0xa9, 0xf5));
}

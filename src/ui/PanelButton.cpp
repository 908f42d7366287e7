// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PanelButton.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

PanelButton::PanelButton(int index, QWidget* parent) : QAbstractButton(parent), index_(index)
{
    // Reached by Tab and pressed by Space, but a click leaves the focus where it was.
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::clicked, this, [this] { emit indexClicked(index_); });
}

void PanelButton::setPicture(const QPixmap& picture)
{
    picture_ = picture;
    update();
}

QSize PanelButton::sizeHint() const
{
    if (!picture_.isNull()) {
        return picture_.deviceIndependentSize().toSize() + QSize(8, 6);
    }
    return fontMetrics().size(Qt::TextSingleLine, text()) + QSize(16, 8);
}

void PanelButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient shade(area.topLeft(), area.bottomLeft());
    const bool down = isDown();
    QColor top = down ? QColor(0x2a, 0x30, 0x3c) : QColor(0x6a, 0x74, 0x88);
    QColor bottom = down ? QColor(0x45, 0x4d, 0x5e) : QColor(0x36, 0x3d, 0x4b);
    if (hovered_ && !down) {
        top = top.lighter(115);
        bottom = bottom.lighter(115);
    }
    shade.setColorAt(0.0, top);
    shade.setColorAt(1.0, bottom);
    QPainterPath outline;
    outline.addRoundedRect(area, 3, 3);
    painter.fillPath(outline, shade);
    painter.setPen(QColor(0x1b, 0x1e, 0x25));
    painter.drawPath(outline);
    // The keyboard focus, plain to see on the dark button; only once the
    // keyboard has moved it, as the platform's own buttons do (the focus the
    // window hands its first button at start is no one's choice).
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        painter.setPen(QPen(QColor(0xf2, 0xf4, 0xf8), 1, Qt::DotLine));
        painter.drawRoundedRect(area.adjusted(2, 2, -2, -2), 2, 2);
    }

    const QPoint shift = down ? QPoint(1, 1) : QPoint(0, 0);
    if (!picture_.isNull()) {
        const QSizeF size = picture_.deviceIndependentSize();
        const QPointF corner((width() - size.width()) / 2.0, (height() - size.height()) / 2.0);
        painter.drawPixmap(corner + shift, picture_);
        return;
    }
    painter.setPen(isEnabled() ? QColor(0xf2, 0xf4, 0xf8) : QColor(0x9a, 0xa0, 0xac));
    painter.drawText(rect().translated(shift), Qt::AlignCenter, text());
}

void PanelButton::enterEvent(QEnterEvent* event)
{
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void PanelButton::leaveEvent(QEvent* event)
{
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

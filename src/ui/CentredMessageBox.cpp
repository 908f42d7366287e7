// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/CentredMessageBox.h"

#include <QScreen>
#include <QShowEvent>
#include <algorithm>

CentredMessageBox::CentredMessageBox(Icon icon, const QString& title, const QString& text,
                                     StandardButtons buttons, QWidget* owner)
    : QMessageBox(icon, title, text, buttons, owner)
{
}

QPoint CentredMessageBox::placeOver(const QRect& owner, const QSize& size, const QRect& area)
{
    QPoint at = owner.topLeft() +
                QPoint((owner.width() - size.width()) / 2, (owner.height() - size.height()) / 2);
    if (!area.isEmpty()) {
        at.setX(std::clamp(at.x(), area.left(),
                           std::max(area.left(), area.right() + 1 - size.width())));
        at.setY(std::clamp(at.y(), area.top(),
                           std::max(area.top(), area.bottom() + 1 - size.height())));
    }
    return at;
}

void CentredMessageBox::showEvent(QShowEvent* event)
{
    // The box has its size by now and is not yet on the screen.
    QMessageBox::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    centre();
}

void CentredMessageBox::centre()
{
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    if (owner == nullptr || !owner->isVisible()) {
        return;
    }
    const QScreen* screen = owner->screen();
    // The owner's client area: its frame margins come from the platform too.
    const QPoint at = placeOver(owner->geometry(), frameGeometry().size(),
                                screen != nullptr ? screen->availableGeometry() : QRect());
    if (frameGeometry().topLeft() != at) {
        move(at);
    }
}

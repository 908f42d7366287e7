// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>

// A message box that comes up centred over the window it belongs to, kept
// on that window's screen. Qt's own placement asks the platform window where
// the owner is, and under a window manager that can still answer (0, 0), with
// frame margins to match, after the owner was placed and mapped: the box then
// came up at the screen's top-left. The owner's own client geometry is used
// here. GUI thread only.
class CentredMessageBox : public QMessageBox {
    Q_OBJECT
public:
    CentredMessageBox(Icon icon, const QString& title, const QString& text, StandardButtons buttons,
                      QWidget* owner);

    // Where a box of `size` goes over `owner` (a window), within `area`.
    static QPoint placeOver(const QRect& owner, const QSize& size, const QRect& area);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void centre();
};

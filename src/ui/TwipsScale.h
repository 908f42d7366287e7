// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

// Window layouts are given in twips (1/1440 inch). A TwipsScale turns them
// into pixels with the screen's twips per pixel (1440 / logical DPI); each
// value is converted on its own and rounded half to even, so a rectangle's
// edges land where a control placed by its left, top, width and height would.
class TwipsScale {
public:
    TwipsScale(double twipsPerPixelX, double twipsPerPixelY);

    // The factors of the widget's screen, or of the primary screen when the
    // widget is null or not on one; 15 (96 DPI) when there is no screen at all.
    static TwipsScale forWidget(const QWidget* widget);
    static TwipsScale forScreen(const QScreen* screen);

    double perPixelX() const { return perPixelX_; }
    double perPixelY() const { return perPixelY_; }

    int x(int twips) const;
    int y(int twips) const;
    QSize size(int widthTwips, int heightTwips) const;
    QRect rect(int leftTwips, int topTwips, int widthTwips, int heightTwips) const;

private:
    double perPixelX_;
    double perPixelY_;
};

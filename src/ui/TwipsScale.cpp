// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TwipsScale.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kDefaultTwipsPerPixel = 15.0;

int toPixels(int twips, double twipsPerPixel)
{
    return static_cast<int>(std::nearbyint(twips / twipsPerPixel));
}

double perPixel(double dpi)
{
    return dpi > 0.0 ? kTwipsPerInch / dpi : kDefaultTwipsPerPixel;
}

}  // namespace

TwipsScale::TwipsScale(double twipsPerPixelX, double twipsPerPixelY)
    : perPixelX_(twipsPerPixelX > 0.0 ? twipsPerPixelX : kDefaultTwipsPerPixel),
      perPixelY_(twipsPerPixelY > 0.0 ? twipsPerPixelY : kDefaultTwipsPerPixel)
{
}

TwipsScale TwipsScale::forWidget(const QWidget* widget)
{
    const QScreen* screen = widget != nullptr ? widget->screen() : nullptr;
    return forScreen(screen);
}

TwipsScale TwipsScale::forScreen(const QScreen* screen)
{
    if (screen == nullptr && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return {kDefaultTwipsPerPixel, kDefaultTwipsPerPixel};
    }
    return {perPixel(screen->logicalDotsPerInchX()), perPixel(screen->logicalDotsPerInchY())};
}

int TwipsScale::x(int twips) const
{
    return toPixels(twips, perPixelX_);
}

int TwipsScale::y(int twips) const
{
    return toPixels(twips, perPixelY_);
}

QSize TwipsScale::size(int widthTwips, int heightTwips) const
{
    return {x(widthTwips), y(heightTwips)};
}

QRect TwipsScale::rect(int leftTwips, int topTwips, int widthTwips, int heightTwips) const
{
    return {x(leftTwips), y(topTwips), x(widthTwips), y(heightTwips)};
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/WindowDrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace {

constexpr const char* kSurfaceButtons = "tolvarDragButtons";

}  // namespace

WindowDrag::WindowDrag(QWidget* window)
    : QObject(window),
      window_(window),
      systemMove_([](QWindow* handle) { return handle->startSystemMove(); })
{
}

WindowDrag::~WindowDrag()
{
    stop();
}

void WindowDrag::setSystemMoveAllowed(bool allowed)
{
    if (allowed) {
        systemMove_ = [](QWindow* handle) { return handle->startSystemMove(); };
    } else {
        systemMove_ = nullptr;
    }
}

void WindowDrag::addSurface(QWidget* surface, Qt::MouseButtons buttons)
{
    if (surface == nullptr) {
        return;
    }
    surface->setProperty(kSurfaceButtons, static_cast<int>(buttons.toInt()));
    surface->installEventFilter(this);
}

void WindowDrag::start(const QPointF& globalPos)
{
    if (window_ == nullptr) {
        return;
    }
    grabOffset_ = globalPos - QPointF(window_->window()->pos());
    pressPos_ = globalPos;
    if (systemMove_) {
        armed_ = true;
    } else {
        following_ = true;
    }
    watch();
}

void WindowDrag::watch()
{
    // Moves and the release go to whichever widget took the press, so they
    // are watched application-wide.
    qApp->removeEventFilter(this);
    qApp->installEventFilter(this);
}

void WindowDrag::takeOff(const QPointF& globalPos)
{
    armed_ = false;
    QWindow* handle = window_ != nullptr ? window_->window()->windowHandle() : nullptr;
    if (handle != nullptr && systemMove_ && systemMove_(handle)) {
        stop();  // the window manager has the pointer now
        return;
    }
    following_ = true;
    follow(globalPos);
}

bool WindowDrag::eventFilter(QObject* watched, QEvent* event)
{
    if (armed_ || following_) {
        switch (event->type()) {
            case QEvent::MouseMove: {
                const auto* move = static_cast<QMouseEvent*>(event);
                if (move->buttons() == Qt::NoButton) {
                    stop();  // the release went elsewhere
                } else if (following_) {
                    follow(move->globalPosition());
                } else if ((move->globalPosition() - pressPos_).manhattanLength() >=
                           QApplication::startDragDistance()) {
                    takeOff(move->globalPosition());
                }
                return false;
            }
            case QEvent::MouseButtonRelease: {
                const auto* release = static_cast<QMouseEvent*>(event);
                if (following_) {
                    follow(release->globalPosition());
                }
                if (release->buttons() == Qt::NoButton) {
                    stop();
                }
                return false;
            }
            default:
                break;
        }
    }
    return handleSurfacePress(watched, event);
}

bool WindowDrag::handleSurfacePress(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress || !watched->isWidgetType()) {
        return false;
    }
    const QVariant allowed = watched->property(kSurfaceButtons);
    if (!allowed.isValid()) {
        return false;
    }
    const auto* press = static_cast<QMouseEvent*>(event);
    if ((Qt::MouseButtons::fromInt(allowed.toInt()) & press->button()) == 0) {
        return false;
    }
    start(press->globalPosition());
    return true;
}

void WindowDrag::follow(const QPointF& globalPos)
{
    if (window_ != nullptr) {
        window_->window()->move((globalPos - grabOffset_).toPoint());
    }
}

void WindowDrag::stop()
{
    if (armed_ || following_) {
        armed_ = false;
        following_ = false;
        qApp->removeEventFilter(this);
    }
}

#include "ui/WindowDrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace {

constexpr const char* kSurfaceButtons = "tolvarDragButtons";

}  // namespace

WindowDrag::WindowDrag(QWidget* window) : QObject(window), window_(window) {}

WindowDrag::~WindowDrag()
{
    stop();
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
    QWidget* top = window_->window();
    QWindow* handle = top->windowHandle();
    if (systemMoveAllowed_ && handle != nullptr && handle->startSystemMove()) {
        return;
    }
    grabOffset_ = globalPos - QPointF(top->pos());
    if (!following_) {
        following_ = true;
        // Moves and the release go to whichever widget took the press, so
        // they are watched application-wide.
        qApp->installEventFilter(this);
    }
}

bool WindowDrag::eventFilter(QObject* watched, QEvent* event)
{
    if (following_) {
        switch (event->type()) {
            case QEvent::MouseMove: {
                const auto* move = static_cast<QMouseEvent*>(event);
                if (move->buttons() == Qt::NoButton) {
                    stop();  // the release went elsewhere
                } else {
                    follow(move->globalPosition());
                }
                return false;
            }
            case QEvent::MouseButtonRelease: {
                const auto* release = static_cast<QMouseEvent*>(event);
                follow(release->globalPosition());
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
    if (following_) {
        following_ = false;
        qApp->removeEventFilter(this);
    }
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <functional>

class QWidget;
class QWindow;

// Moves a caption-less top-level window while a mouse button is held, as if
// its title bar were dragged.
//
//   auto* drag = new WindowDrag(window);       // owned by the window
//   drag->addSurface(panel);                   // presses on panel drag
//   // or, from a press handler of one's own:
//   drag->start(event->globalPosition());
//
// The window manager does the move when it offers one
// (QWindow::startSystemMove); where it does not (bare X servers, offscreen)
// the window follows the mouse itself until the button is released. The
// window manager is asked only once the mouse has moved with the button
// held: asked at the press, it may miss a release that comes at once (a quick
// click) and keep the window on the pointer until the next click.
// GUI thread only.
class WindowDrag : public QObject {
    Q_OBJECT
public:
    explicit WindowDrag(QWidget* window);
    ~WindowDrag() override;

    // Presses of the given buttons on the surface (or on children of it that
    // leave presses to it) start a drag.
    void addSurface(QWidget* surface, Qt::MouseButtons buttons = Qt::AllButtons);

    // Starts a drag for a press at the given global position.
    void start(const QPointF& globalPos);

    // True while the window follows the mouse by hand.
    bool following() const { return following_; }

    // Asks the window manager to move the window; false when it cannot.
    using SystemMove = std::function<bool(QWindow*)>;
    // Tests: replaces QWindow::startSystemMove.
    void setSystemMove(SystemMove move) { systemMove_ = std::move(move); }
    // Tests and odd platforms: never ask the window manager.
    void setSystemMoveAllowed(bool allowed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleSurfacePress(QObject* watched, QEvent* event);
    void follow(const QPointF& globalPos);
    void stop();

    void watch();
    // The first move of the held button: the window manager takes over, or
    // the window follows by hand.
    void takeOff(const QPointF& globalPos);

    QPointer<QWidget> window_;
    QPointF grabOffset_;
    QPointF pressPos_;
    // Pressed, waiting for the mouse to move before asking the window manager.
    bool armed_ = false;
    bool following_ = false;
    SystemMove systemMove_;
};

#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>

class QWidget;

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
// the window follows the mouse itself until the button is released.
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

    // Tests and odd platforms: never ask the window manager.
    void setSystemMoveAllowed(bool allowed) { systemMoveAllowed_ = allowed; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleSurfacePress(QObject* watched, QEvent* event);
    void follow(const QPointF& globalPos);
    void stop();

    QPointer<QWidget> window_;
    QPointF grabOffset_;
    bool following_ = false;
    bool systemMoveAllowed_ = true;
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class PulsingLight;
class WindowDrag;

// Base of the caption-less secondary windows (playlist, options, tag editor).
//
// It gives a window:
//  - no caption bar (frameless dialog; open it with exec() to make it modal);
//  - an outline cut to a rounded rectangle with 20 x 20 pixel corner
//    ellipses, made from the window's size when it is shown or resized and
//    removed when the window closes (hiding keeps it);
//  - dragging: a press of any mouse button on the window body, or on a child
//    that leaves presses to its parent (labels, plain panels), moves the
//    window; addDragSurface() adds widgets that take presses themselves;
//  - the pulsing light (`fades()`, its timer "Timer1" running from creation);
//  - twips helpers for laying out controls.
//
// A subclass sizes itself and places its controls in twips:
//
//   TagWindow::TagWindow(QWidget* parent) : RoundedDialog(parent)
//   {
//       setSizeTwips(4050, 3165);
//       placeFades(3510, 2790);
//       auto* song = new QLineEdit(this);
//       song->setGeometry(twips(990, 450, 2655, 285));
//   }
//
// Controls of an array are named "Name_index" (e.g. "CmdOk_0", "Fades_3").
class RoundedDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCornerEllipse = 20;

    explicit RoundedDialog(QWidget* parent = nullptr);
    ~RoundedDialog() override;

    PulsingLight* fades() const { return fades_; }
    WindowDrag* drag() const { return drag_; }

    // The outline for a window of the given size.
    static QRegion roundedOutline(const QSize& size);

protected:
    QRect twips(int left, int top, int width, int height) const;
    void setSizeTwips(int width, int height);
    // The light is 255 x 45 twips wherever a window puts it.
    void placeFades(int left, int top);
    void addDragSurface(QWidget* surface);

    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void applyOutline();

    PulsingLight* fades_ = nullptr;
    WindowDrag* drag_ = nullptr;
};

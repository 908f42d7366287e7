// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// A background panel that fills a window or a part of it and tells which
// mouse button went down on it (a drag helper may take presses first).
class Panel : public QWidget {
    Q_OBJECT
public:
    explicit Panel(QWidget* parent = nullptr);

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

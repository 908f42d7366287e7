// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A flat button of a button group, addressed by its index. It shows its
// picture when it has one, otherwise its caption, and reports clicks with its
// index.
class PanelButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PanelButton(int index, QWidget* parent = nullptr);

    int index() const { return index_; }
    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }

    QSize sizeHint() const override;

signals:
    void indexClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int index_;
    QPixmap picture_;
    bool hovered_ = false;
};

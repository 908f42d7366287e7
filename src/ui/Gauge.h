// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

// A thin bar filled to a percentage, 0 to 100.
class Gauge : public QWidget {
    Q_OBJECT
public:
    explicit Gauge(QWidget* parent = nullptr);

    int percent() const { return percent_; }
    // Values outside 0..100 are shown as the nearer end.
    void setPercent(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int percent_ = 0;
};
